#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

/**
 * An INI text file read and written the way the Windows private-profile
 * functions treat it; layout, settings and back-side files share it.
 *
 * The file is read once, when the object is made: a missing or unreadable
 * file reads as empty. The text is Windows-1251. Sections and keys are found
 * without regard to case (the first of equal names counts); values are read
 * with surrounding blanks removed; lines starting with ";" are comments.
 *
 * A write updates the key's line in place (every other line stays where it
 * is), adds a missing key after the last line of its section, or a missing
 * section at the end of the text. Writes stay in memory until UpdateFile().
 */
class TIniFile
{
public:
  explicit TIniFile(const QString &fileName);

  const QString &FileName() const { return FFileName; }

  QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
  /// A decimal whole number; anything else gives `defaultValue`.
  int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
  /// A real number in the current locale's format, without group separators;
  /// anything else (infinities and NaN included) gives `defaultValue`.
  double ReadFloat(const QString &section, const QString &key, double defaultValue) const;
  /// Read as a whole number: non-zero is true; a non-number gives `defaultValue`.
  bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
  /// A date in the locale's short format; a two-digit year is taken within
  /// the 100 years around today (50 back, 49 ahead).
  QDate ReadDate(const QString &section, const QString &key, const QDate &defaultValue) const;

  bool SectionExists(const QString &section) const;
  bool ValueExists(const QString &section, const QString &key) const;

  /// Line breaks in `value` are written as blanks, so that a value can never
  /// start a new line of the file.
  void WriteString(const QString &section, const QString &key, const QString &value);
  void WriteInteger(const QString &section, const QString &key, int value);
  /// Written as FloatToIniText gives it.
  void WriteFloat(const QString &section, const QString &key, double value);
  /// "1" or "0".
  void WriteBool(const QString &section, const QString &key, bool value);
  /// The locale's short date format.
  void WriteDate(const QString &section, const QString &key, const QDate &value);

  /// Writes the whole text (CR LF line ends, Windows-1251; a character that
  /// code page cannot hold becomes "?") to a temporary file beside the target
  /// and renames it over the target, so the old file stays whole when
  /// anything fails. Throws EAppError "Unable to write to <path>" then.
  void UpdateFile();

private:
  qsizetype FindSection(const QString &section) const;
  qsizetype SectionEnd(qsizetype header) const;
  qsizetype FindKey(const QString &section, const QString &key) const;

  QString FFileName;
  QStringList FLines;
};

/// A real number as INI files and the layout fields hold it: the shortest
/// decimal text with at most 15 significant digits, the current locale's
/// decimal separator, no group separators, a plain "-" for negatives
/// (22 for 22.0, "22,4" under a comma locale).
QString FloatToIniText(double value);
