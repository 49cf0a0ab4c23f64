#include "MyPrinterUtils.h"

#include "render/MyCanvasUtils.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>

int PrinterDpiX = 600;
int PrinterDpiY = 600;
double PrinterOffsetLeft = 0.0;
double PrinterOffsetTop = 0.0;

void ReadPrinterResolution(QPagedPaintDevice &printer)
{
  PrinterDpiX = printer.logicalDpiX();
  PrinterDpiY = printer.logicalDpiY();
}

void ReadPrinterOffsets(QPagedPaintDevice &printer)
{
  // The paint rectangle is where the painter's origin lies: the full page in
  // full-page mode, inside the margins otherwise. Its corner less the paper's
  // corner, in device pixels, is the printing offset.
  const QPageLayout layout = printer.pageLayout();
  const int dpiX = printer.logicalDpiX();
  const int dpiY = printer.logicalDpiY();
  const int offsetX = layout.paintRectPixels(dpiX).left() - layout.fullRectPixels(dpiX).left();
  const int offsetY = layout.paintRectPixels(dpiY).top() - layout.fullRectPixels(dpiY).top();
  PrinterOffsetLeft = dpiX > 0 ? double(offsetX) / dpiX : 0.0;
  PrinterOffsetTop = dpiY > 0 ? double(offsetY) / dpiY : 0.0;
}

int MmToPrinterX(double mm)
{
  return RoundHalfEven((mm / 25.4 - PrinterOffsetLeft) * PrinterDpiX);
}

int MmToPrinterY(double mm)
{
  return RoundHalfEven((mm / 25.4 - PrinterOffsetTop) * PrinterDpiY);
}

void SetPaperSize(QPagedPaintDevice &printer, int width, int length)
{
  const QPageSize paper(QSizeF(width, length), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
  printer.setPageSize(paper);
}

void SetOrientation(QPagedPaintDevice &printer, int orientation)
{
  printer.setPageOrientation(orientation == OrientLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}
