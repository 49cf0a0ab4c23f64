#pragma once

#include "render/MyCanvasUtils.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QString>

class QPainter;

/**
 * A font of the printed supplement: "Times New Roman", bold, black, the
 * default character set. QFont has neither a colour nor a character set, so
 * both are kept beside it: Color is the text colour (a painter draws text with
 * its pen), and Charset is the script the font was chosen for. Qt draws
 * Unicode text and falls back per character, so the default character set is
 * QFontDatabase::Any and nothing needs selecting.
 */
class TDtkFont : public QFont
{
public:
  TDtkFont();

  QColor Color = Qt::black;
  QFontDatabase::WritingSystem Charset = QFontDatabase::Any;
};

/// Series and number of the document: 11 pt, bold.
class TFontSeriaNumb : public TDtkFont
{
public:
  TFontSeriaNumb();
};

/// The pupil's name lines: 13 pt, bold italic.
class TFontFIO : public TDtkFont
{
public:
  TFontFIO();
};

/// Year of graduation and the school lines: 12 pt, bold.
class TFontSchool : public TDtkFont
{
public:
  TFontSchool();
};

/// Subjects and marks: 12 pt, bold italic.
class TFontSubjMark : public TDtkFont
{
public:
  TFontSubjMark();
};

/// Every text of the back side: 12 pt, bold italic.
class TFontBackSide : public TDtkFont
{
public:
  TFontBackSide();
};

/// The font kinds as carried by the font menu items and the font dialog;
/// fkResetAll asks for all five fonts to be reset to their defaults.
enum FontKind : int {
  fkSeriaNumb = 1,
  fkFIO = 2,
  fkSchool = 3,
  fkSubjMark = 4,
  fkBackSide = 5,
  fkResetAll = -1,
};

/// A new font of the kind (1..5) with its defaults, as its constructor makes
/// it; a plain TDtkFont for any other value.
TDtkFont DefaultFontOfKind(int kind);
/// The settings section of the kind ("FontSeriaNumb" .. "FontBackSide");
/// empty for any other value.
QString FontSectionName(int kind);

/// The gender ending after the name lines: the face and colour of the name
/// font at 11 pt bold, whatever the name font's size and style.
TDtkFont FioEndingFont(const TDtkFont &fioFont);
/// The registration number on the back side: the face, style and colour of
/// the back side font at 10 pt.
TDtkFont RegNumFont(const TDtkFont &backSideFont);

/// Applies the font as ApplyFontMM does and sets the painter's pen colour to
/// the font's colour, keeping the pen's width and style.
void ApplyDtkFontMM(QPainter &canvas, TDrawTarget target, const TDtkFont &font);

/// The five fonts of the printed supplement, one of each kind.
struct TFontSet
{
  TDtkFont SeriaNumb = TFontSeriaNumb();
  TDtkFont FIO = TFontFIO();
  TDtkFont School = TFontSchool();
  TDtkFont SubjMark = TFontSubjMark();
  TDtkFont BackSide = TFontBackSide();

  /// The font of a kind 1..5; nullptr for any other value.
  TDtkFont *OfKind(int kind);
  const TDtkFont *OfKind(int kind) const;
};
