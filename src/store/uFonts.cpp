#include "uFonts.h"

#include "render/MyCanvasUtils.h"

#include <QPainter>

TDtkFont::TDtkFont() : QFont(QStringLiteral("Times New Roman"))
{
  setBold(true);
}

TFontSeriaNumb::TFontSeriaNumb()
{
  setPointSize(11);
  setBold(true);
  setItalic(false);
}

TFontFIO::TFontFIO()
{
  setPointSize(13);
  setBold(true);
  setItalic(true);
}

TFontSchool::TFontSchool()
{
  setPointSize(12);
  setBold(true);
  setItalic(false);
}

TFontSubjMark::TFontSubjMark()
{
  setPointSize(12);
  setBold(true);
  setItalic(true);
}

TFontBackSide::TFontBackSide()
{
  setPointSize(12);
  setBold(true);
  setItalic(true);
}

TDtkFont DefaultFontOfKind(int kind)
{
  switch (kind) {
  case fkSeriaNumb:
    return TFontSeriaNumb();
  case fkFIO:
    return TFontFIO();
  case fkSchool:
    return TFontSchool();
  case fkSubjMark:
    return TFontSubjMark();
  case fkBackSide:
    return TFontBackSide();
  default:
    return TDtkFont();
  }
}

QString FontSectionName(int kind)
{
  switch (kind) {
  case fkSeriaNumb:
    return QStringLiteral("FontSeriaNumb");
  case fkFIO:
    return QStringLiteral("FontFIO");
  case fkSchool:
    return QStringLiteral("FontSchool");
  case fkSubjMark:
    return QStringLiteral("FontSubjMark");
  case fkBackSide:
    return QStringLiteral("FontBackSide");
  default:
    return QString();
  }
}

TDtkFont FioEndingFont(const TDtkFont &fioFont)
{
  TDtkFont font;
  font.setFamily(fioFont.family());
  font.Color = fioFont.Color;
  font.Charset = fioFont.Charset;
  font.setPointSize(11);
  font.setBold(true);
  font.setItalic(false);
  return font;
}

TDtkFont RegNumFont(const TDtkFont &backSideFont)
{
  TDtkFont font = backSideFont;
  font.setPointSize(10);
  return font;
}

void ApplyDtkFontMM(QPainter &canvas, TDrawTarget target, const TDtkFont &font)
{
  ApplyFontMM(canvas, target, font);
  QPen pen = canvas.pen();
  pen.setColor(font.Color);
  canvas.setPen(pen);
}

TDtkFont *TFontSet::OfKind(int kind)
{
  switch (kind) {
  case fkSeriaNumb:
    return &SeriaNumb;
  case fkFIO:
    return &FIO;
  case fkSchool:
    return &School;
  case fkSubjMark:
    return &SubjMark;
  case fkBackSide:
    return &BackSide;
  default:
    return nullptr;
  }
}

const TDtkFont *TFontSet::OfKind(int kind) const
{
  return const_cast<TFontSet *>(this)->OfKind(kind);
}
