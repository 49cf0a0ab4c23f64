#pragma once

#include "EZCrypt.h"
#include "uCommonData.h"
#include "uFonts.h"

#include <QDate>
#include <QString>

class TIniFile;

/**
 * Everything the program keeps between runs in common.dat beside it: the
 * issue date, the common data, the layout file last used, the five fonts and
 * the automatic update switch.
 */
struct TSettings
{
  QDate IssueDate;
  TCommonData Common;
  QString LastFileName;
  TFontSet Fonts;
  bool AutoCheckUpdate = true;
};

/// The key common.dat is scrambled with. Files written with one key read as
/// empty with any other, so it must never change between releases.
inline constexpr TCryptKey ProgramCryptKey{0xB5A7, 0x3C1D, 0x7E29};

/// common.dat in the program's folder.
QString SettingsFileName();
/// The plain copy of the settings (common.ini beside common.dat): it exists
/// only while the settings are read or written.
QString SettingsPlainFileName();

/**
 * Reads common.dat: unscrambles it into the plain copy, reads every value
 * with its default and deletes the plain copy. A missing or unreadable value
 * takes its default (the issue date today, the fonts their kinds' defaults,
 * the update switch on); with no common.dat a plain copy left over from an
 * interrupted run is read instead. Throws EAppError when common.dat cannot be
 * read or the plain copy cannot be made; no plain copy remains either way.
 */
TSettings ReadSettingsFile();

/**
 * Writes every value into a new plain copy, scrambles it over common.dat and
 * deletes the plain copy. Throws EAppError ("Unable to write to <plain copy>"
 * when the plain copy cannot be written); common.dat then keeps its previous
 * content, and no plain copy remains.
 */
void WriteSettingsFile(const TSettings &settings);

/// Reads a font from `section`: the face from Name ("Times New Roman" when
/// absent or empty), the size in points from Size (`defaultSize` when absent,
/// not a whole number or not positive), then the style cleared and bold and
/// italic added as Bold and Italic say (the defaults when absent or not
/// numbers). Colour and character set stay as they are.
void ReadFont(const TIniFile &ini, const QString &section, TDtkFont &font, int defaultSize, bool defaultBold,
              bool defaultItalic);
/// Writes a font's Name, Size (points), Bold and Italic into `section`.
void WriteFont(TIniFile &ini, const QString &section, const TDtkFont &font);

/// What the year field shows after loading: "20" and `god` when `god` holds
/// something, otherwise the four-digit year of the issue date.
QString YearFieldText(const QString &god, const QDate &issueDate);
