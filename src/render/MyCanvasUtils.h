#pragma once

#include <QtGlobal>

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
