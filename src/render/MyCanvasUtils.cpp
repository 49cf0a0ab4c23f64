#include "MyCanvasUtils.h"

#include <QGuiApplication>
#include <QScreen>

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
