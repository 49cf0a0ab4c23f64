#include "MyCanvasUtils.h"

#include "print/MyPrinterUtils.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cfenv>
#include <cmath>

int FioCentreX = 54;
double ZoomFactor = 1.0;
double ScreenScaleX = 96.0 / 25.4;
double ScreenScaleY = 96.0 / 25.4;

double ScreenPixelsPerInch()
{
  if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    if (const QScreen *screen = QGuiApplication::primaryScreen())
      return screen->logicalDotsPerInchY();
  return 96.0;
}

void UpdateScreenScale()
{
  ScreenScaleY = ScreenPixelsPerInch() * ZoomFactor / 25.4;
  ScreenScaleX = ScreenScaleY;
}

int RoundHalfEven(double value)
{
  // std::nearbyint follows the current rounding mode, which is to-nearest-even
  // unless someone changed it; make sure of it for this one call.
  const int saved = std::fegetround();
  if (saved != FE_TONEAREST)
    std::fesetround(FE_TONEAREST);
  const double r = std::nearbyint(value);
  if (saved != FE_TONEAREST)
    std::fesetround(saved);
  return int(r);
}

namespace {

int ScreenX(double mm)
{
  return RoundHalfEven(mm * ScreenScaleX);
}

int ScreenY(double mm)
{
  return RoundHalfEven(mm * ScreenScaleY);
}

/// Draws text with the top-left corner of its character cell at (left, top):
/// QPainter places text by its baseline, which lies ascent pixels lower.
void TextOutAtCell(QPainter &canvas, int left, int top, const QString &text)
{
  canvas.drawText(QPoint(left, top + canvas.fontMetrics().ascent()), text);
}

/// The full character cell height, descent included (ascent + descent).
int TextHeight(QPainter &canvas)
{
  return canvas.fontMetrics().height();
}

int TextWidth(QPainter &canvas, const QString &text)
{
  return canvas.fontMetrics().horizontalAdvance(text);
}

/// The pen position of each paint device. QPainter has no pen position of its
/// own; like a canvas that belongs to its image, the position is kept per
/// device, so it survives from one painter on an image to the next. A device
/// not seen before starts at (0, 0); as the table never forgets a device,
/// and a new image may reuse a freed one's address, start a path with
/// MoveToMM.
QHash<const QPaintDevice *, QPoint> &PenPositions()
{
  static QHash<const QPaintDevice *, QPoint> positions;
  return positions;
}

} // namespace

void TextOutMM(QPainter &canvas, TDrawTarget target, int xMm, const QString &text, double yMm)
{
  switch (target) {
  case dtScreen:
    TextOutAtCell(canvas, ScreenX(xMm), ScreenY(yMm) - TextHeight(canvas), text);
    break;
  case dtPrinter:
    TextOutAtCell(canvas, MmToPrinterX(xMm), MmToPrinterY(yMm) - TextHeight(canvas), text);
    break;
  }
}

void TextOutCentredMM(QPainter &canvas, TDrawTarget target, const QString &text, double yMm)
{
  switch (target) {
  case dtScreen:
    TextOutAtCell(canvas, RoundHalfEven(FioCentreX * ScreenScaleX - TextWidth(canvas, text) / 2.0),
                  ScreenY(yMm) - TextHeight(canvas), text);
    break;
  case dtPrinter:
    TextOutAtCell(canvas, MmToPrinterX(FioCentreX) - RoundHalfEven(TextWidth(canvas, text) / 2.0),
                  MmToPrinterY(yMm) - TextHeight(canvas), text);
    break;
  }
}

void TextOutInSpanMM(QPainter &canvas, TDrawTarget target, TLinePos pos, const QString &text)
{
  switch (target) {
  case dtScreen:
    TextOutAtCell(canvas,
                  RoundHalfEven(pos.X * ScreenScaleX + pos.L * ScreenScaleX / 2.0 - TextWidth(canvas, text) / 2.0),
                  ScreenY(pos.Y) - TextHeight(canvas), text);
    break;
  case dtPrinter:
    TextOutAtCell(canvas, MmToPrinterX(pos.X + pos.L / 2.0) - RoundHalfEven(TextWidth(canvas, text) / 2.0),
                  MmToPrinterY(pos.Y) - TextHeight(canvas), text);
    break;
  }
}

void MoveToMM(QPainter &canvas, int xMm, double yMm)
{
  PenPositions()[canvas.device()] = QPoint(ScreenX(xMm), ScreenY(yMm));
}

void LineToMM(QPainter &canvas, int xMm, double yMm)
{
  QPoint &pen = PenPositions()[canvas.device()];
  const QPoint to(ScreenX(xMm), ScreenY(yMm));
  canvas.drawLine(pen, to);
  pen = to;
}

void DrawLineMM(QPainter &canvas, TDrawTarget target, TLinePos pos)
{
  if (target != dtScreen)
    return;
  MoveToMM(canvas, pos.X, pos.Y);
  LineToMM(canvas, pos.X + pos.L, pos.Y);
}

int ScreenFontPixelHeight(double points)
{
  return RoundHalfEven(RoundHalfEven(points * ScreenPixelsPerInch() / 72.0) * ZoomFactor);
}

void ApplyFontMM(QPainter &canvas, TDrawTarget target, const QFont &font)
{
  QFont applied = font;
  const bool inPixels = font.pixelSize() > 0;
  if (target == dtScreen) {
    const int pixels =
        inPixels ? RoundHalfEven(font.pixelSize() * ZoomFactor) : ScreenFontPixelHeight(font.pointSizeF());
    applied.setPixelSize(std::max(1, pixels));
  } else if (inPixels) {
    // A height in screen pixels keeps its size in points on the printer.
    applied.setPointSizeF(font.pixelSize() * 72.0 / ScreenPixelsPerInch());
  }
  canvas.setFont(applied);
}

void ApplyCharHeightFont(QPainter &canvas, const QFont &font, int charHeightPx)
{
  // A negative GDI font height asks for that character height: the cell
  // height less the internal leading, which for an outline font is its em
  // height. Qt's pixel size is the em height as well, so "height -13" is
  // setPixelSize(13); the cell (QFontMetrics::height) then comes out taller.
  QFont applied = font;
  applied.setPixelSize(std::max(1, RoundHalfEven(charHeightPx * ZoomFactor)));
  canvas.setFont(applied);
}
