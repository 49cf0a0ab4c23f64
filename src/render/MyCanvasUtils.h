#pragma once

/// The output target of every drawing primitive and composition routine.
enum TDrawTarget { dtScreen = 0, dtPrinter = 1 };

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
