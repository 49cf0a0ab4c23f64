#pragma once

#include <QtGlobal>

class QFont;
class QPainter;
class QString;

/// The output target of every drawing primitive and composition routine.
enum TDrawTarget { dtScreen = 0, dtPrinter = 1 };

/// One layout item's position, copied out of its line to place text:
/// X and L in whole millimetres, Y in millimetres.
struct TLinePos
{
  qint32 X = 0;
  qint32 L = 0;
  double Y = 0.0;
};

/// The column (whole mm) on which centred texts are centred; set by the
/// layout whenever it is applied.
extern int FioCentreX;

/// The preview's zoom (1.0 = real size on a 96-pixel-per-inch screen).
extern double ZoomFactor;
/// Screen pixels per millimetre at the current zoom; both always equal.
extern double ScreenScaleX;
extern double ScreenScaleY;

/// The screen's logical pixels per inch (96 when there is no screen).
double ScreenPixelsPerInch();
/// Recomputes ScreenScaleX and ScreenScaleY from the screen and ZoomFactor.
void UpdateScreenScale();

/// Rounds to the nearest whole number, halves to the even neighbour
/// (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
int RoundHalfEven(double value);

// Millimetre drawing primitives. Positions are millimetres from the paper's
// left and top edges; on the screen they are scaled by ScreenScaleX/Y, on the
// printer converted by MmToPrinterX/Y (MyPrinterUtils). Text is drawn in the
// painter's current font and pen with its character cell (ascent + descent)
// resting on the line y. A target other than dtScreen and dtPrinter draws
// nothing.

/// Left-aligned text starting at x, cell bottom on y.
void TextOutMM(QPainter &canvas, TDrawTarget target, int xMm, const QString &text, double yMm);
/// Text centred on FioCentreX, cell bottom on y.
void TextOutCentredMM(QPainter &canvas, TDrawTarget target, const QString &text, double yMm);
/// Text centred on the middle of the span pos.X .. pos.X + pos.L, cell bottom on pos.Y.
void TextOutInSpanMM(QPainter &canvas, TDrawTarget target, TLinePos pos, const QString &text);

/// Moves the pen of the canvas's paint device to (x, y). Screen only.
void MoveToMM(QPainter &canvas, int xMm, double yMm);
/// Draws with the current pen from the pen position to (x, y), which then
/// becomes the pen position. Screen only.
void LineToMM(QPainter &canvas, int xMm, double yMm);
/// A horizontal line along the span of pos with the current pen, on the
/// screen only: lines belong to the grey imitation and are never printed.
void DrawLineMM(QPainter &canvas, TDrawTarget target, TLinePos pos);

/// The screen pixel height of a font of `points` at the current zoom:
/// round(points x ScreenPixelsPerInch() / 72), then x ZoomFactor, rounded.
int ScreenFontPixelHeight(double points);
/// Makes `font` the canvas's font. On the screen its point size becomes a
/// pixel height (ScreenFontPixelHeight); on the printer the point size is
/// kept and the printer's painter turns it into its own pixels. A font that
/// carries a pixel height instead of a point size is scaled by the zoom on
/// the screen and used as it is on the printer.
void ApplyFontMM(QPainter &canvas, TDrawTarget target, const QFont &font);
/// Makes `font` the canvas's font with a character height (the em height,
/// internal leading excluded) of `charHeightPx` screen pixels scaled by the
/// zoom: the grey imitation's "font height -13" of the back side.
void ApplyCharHeightFont(QPainter &canvas, const QFont &font, int charHeightPx);
