#pragma once

class QPagedPaintDevice;

/// The current printer's device pixels per inch, horizontally and vertically.
extern int PrinterDpiX;
extern int PrinterDpiY;
/// The distance from the paper's edge to the printer's pixel 0, in inches.
extern double PrinterOffsetLeft;
extern double PrinterOffsetTop;

/// Reads PrinterDpiX/Y from the printer (a QPrinter, or any paged device such
/// as QPdfWriter): its logical pixels per inch, which for a QPrinter is its
/// resolution.
void ReadPrinterResolution(QPagedPaintDevice &printer);
/// Reads PrinterOffsetLeft/Top: how far the device's pixel (0, 0), the
/// top-left corner of its paint rectangle, lies from the paper's corner.
/// With full-page printing that is 0; with margins it is the margins.
void ReadPrinterOffsets(QPagedPaintDevice &printer);

/// Millimetres from the paper's left edge to the printer's device pixels:
/// round((mm / 25.4 - PrinterOffsetLeft) x PrinterDpiX), halves to even.
int MmToPrinterX(double mm);
/// Millimetres from the paper's top edge to the printer's device pixels.
int MmToPrinterY(double mm);

/// Describes the paper as a user-defined size, `width` by `length` whole
/// millimetres standing upright (148 by 210 for the default blank).
void SetPaperSize(QPagedPaintDevice &printer, int width, int length);
/// Turns the page: 1 = portrait, 2 = landscape.
void SetOrientation(QPagedPaintDevice &printer, int orientation);

/// The orientation numbers SetOrientation takes.
constexpr int OrientPortrait = 1;
constexpr int OrientLandscape = 2;
