// Millimetre primitives on the screen and on the printer: where text and
// lines land in pixels, font heights at a zoom, and the printer's resolution
// and printing offset read from a real QPrinter.

#include "TestCanvasRecorder.h"
#include "print/MyPrinterUtils.h"
#include "render/MyCanvasUtils.h"

#include <QFontInfo>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

QFont PixelFont(int pixels)
{
  QFont font(QStringLiteral("Times New Roman"));
  font.setPixelSize(pixels);
  return font;
}

/// A text of x's and i's and a font size whose advance on `device` is
/// exactly `width` pixels; centring an odd width needs half a pixel.
bool FindTextOfWidth(QPaintDevice *device, int width, QFont &font, QString &text)
{
  for (int pixels = 8; pixels <= 60; ++pixels) {
    font = PixelFont(pixels);
    const QFontMetrics metrics(font, device);
    for (int xs = 1; xs <= 40; ++xs)
      for (int is = 0; is <= 4; ++is) {
        text = QString(xs, QLatin1Char('x')) + QString(is, QLatin1Char('i'));
        if (metrics.horizontalAdvance(text) == width)
          return true;
      }
  }
  return false;
}

enum class TPrimitive { TextOut, Centred, InSpan };

/// Draws `text` with the primitive at x (or FioCentreX) / span x..x+l, y.
void DrawWith(QPainter &painter, TPrimitive primitive, TDrawTarget target, int x, int l, double y, const QString &text)
{
  switch (primitive) {
  case TPrimitive::TextOut:
    TextOutMM(painter, target, x, text, y);
    break;
  case TPrimitive::Centred:
    TextOutCentredMM(painter, target, text, y);
    break;
  case TPrimitive::InSpan:
    TextOutInSpanMM(painter, target, TLinePos{x, l, y}, text);
    break;
  }
}

/// The set of pixels of `image` that are not white.
QSet<QPoint> InkedPixels(const QImage &image)
{
  QSet<QPoint> inked;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != qRgb(255, 255, 255))
        inked.insert(QPoint(x, y));
  return inked;
}

QSet<QPoint> HorizontalRun(int x1, int x2, int y)
{
  QSet<QPoint> run;
  for (int x = x1; x <= x2; ++x)
    run.insert(QPoint(x, y));
  return run;
}

QImage WhiteImage()
{
  QImage image(320, 420, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

} // namespace

Q_DECLARE_METATYPE(TPrimitive)
Q_DECLARE_METATYPE(TDrawTarget)

class TestCanvas : public QObject
{
  Q_OBJECT

  double FSavedZoom = 0;
  double FSavedScaleX = 0;
  double FSavedScaleY = 0;
  int FSavedCentreX = 0;
  int FSavedDpiX = 0;
  int FSavedDpiY = 0;
  double FSavedOffsetLeft = 0;
  double FSavedOffsetTop = 0;

private slots:
  void init()
  {
    FSavedZoom = ZoomFactor;
    FSavedScaleX = ScreenScaleX;
    FSavedScaleY = ScreenScaleY;
    FSavedCentreX = FioCentreX;
    FSavedDpiX = PrinterDpiX;
    FSavedDpiY = PrinterDpiY;
    FSavedOffsetLeft = PrinterOffsetLeft;
    FSavedOffsetTop = PrinterOffsetTop;
    // A 96 dpi screen at zoom 1, whatever screen the tests run on.
    ZoomFactor = 1.0;
    ScreenScaleX = ScreenScaleY = 96.0 / 25.4;
    FioCentreX = 54;
    // A 600 dpi printer whose pixel 0 lies 100 pixels right of and 50 pixels
    // below the paper's corner.
    PrinterDpiX = PrinterDpiY = 600;
    PrinterOffsetLeft = 100.0 / 600;
    PrinterOffsetTop = 50.0 / 600;
  }

  void cleanup()
  {
    ZoomFactor = FSavedZoom;
    ScreenScaleX = FSavedScaleX;
    ScreenScaleY = FSavedScaleY;
    FioCentreX = FSavedCentreX;
    PrinterDpiX = FSavedDpiX;
    PrinterDpiY = FSavedDpiY;
    PrinterOffsetLeft = FSavedOffsetLeft;
    PrinterOffsetTop = FSavedOffsetTop;
  }

  void roundHalfEven_data()
  {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("18.8976") << 18.8976 << 19;
    QTest::newRow("-100.4") << -100.4 << -100;
  }

  void roundHalfEven()
  {
    QFETCH(double, value);
    QFETCH(int, rounded);
    QCOMPARE(RoundHalfEven(value), rounded);
  }

  void mmToPrinter_data()
  {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<double>("mm");
    QTest::addColumn<int>("pixel");
    QTest::newRow("x 5 mm") << false << 5.0 << 18;
    QTest::newRow("x 30 mm") << false << 30.0 << 609;
    QTest::newRow("x 0 mm, left of the printable area") << false << 0.0 << -100;
    QTest::newRow("y 78 mm") << true << 78.0 << 1793;
    QTest::newRow("y 0 mm, above the printable area") << true << 0.0 << -50;
  }

  void mmToPrinter()
  {
    QFETCH(bool, vertical);
    QFETCH(double, mm);
    QFETCH(int, pixel);
    QCOMPARE(vertical ? MmToPrinterY(mm) : MmToPrinterX(mm), pixel);
  }

  // Where the text cell's left edge lands and that its bottom rests on the
  // line; widths of 101 and 103 pixels need half a pixel when centred.
  void textPosition_data()
  {
    QTest::addColumn<TDrawTarget>("target");
    QTest::addColumn<TPrimitive>("primitive");
    QTest::addColumn<int>("centreX");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("l");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("bottom");

    QTest::newRow("screen, x 5 y 78") << dtScreen << TPrimitive::TextOut << 54 << 5 << 0 << 78.0 << 101 << 19 << 295;
    QTest::newRow("screen, y 78.5") << dtScreen << TPrimitive::TextOut << 54 << 0 << 0 << 78.5 << 101 << 0 << 297;
    // 204.094 - 50.5 and 188.976 - 50.5: rounding the centre first would
    // give 154 and 139.
    QTest::newRow("screen, centred on 54, width 101")
        << dtScreen << TPrimitive::Centred << 54 << 0 << 0 << 78.0 << 101 << 154 << 295;
    QTest::newRow("screen, centred on 50, width 101")
        << dtScreen << TPrimitive::Centred << 50 << 0 << 0 << 78.0 << 101 << 138 << 295;
    QTest::newRow("screen, centred on 54, width 103")
        << dtScreen << TPrimitive::Centred << 54 << 0 << 0 << 78.0 << 103 << 153 << 295;
    // The middle of an odd span lies on a half millimetre: 35.5 mm.
    QTest::newRow("screen, span 5 + 61") << dtScreen << TPrimitive::InSpan << 54 << 5 << 61 << 78.0 << 101 << 84 << 295;

    QTest::newRow("printer, x 5 y 78") << dtPrinter << TPrimitive::TextOut << 54 << 5 << 0 << 78.0 << 101 << 18 << 1793;
    QTest::newRow("printer, x 30") << dtPrinter << TPrimitive::TextOut << 54 << 30 << 0 << 78.0 << 101 << 609 << 1793;
    QTest::newRow("printer, x 0 is negative")
        << dtPrinter << TPrimitive::TextOut << 54 << 0 << 0 << 78.0 << 101 << -100 << 1793;
    // 1176 less half the width rounded to even: 50.5 -> 50, 51.5 -> 52.
    QTest::newRow("printer, centred, width 101")
        << dtPrinter << TPrimitive::Centred << 54 << 0 << 0 << 78.0 << 101 << 1126 << 1793;
    QTest::newRow("printer, centred, width 103")
        << dtPrinter << TPrimitive::Centred << 54 << 0 << 0 << 78.0 << 103 << 1124 << 1793;
    QTest::newRow("printer, span 5 + 61")
        << dtPrinter << TPrimitive::InSpan << 54 << 5 << 61 << 78.0 << 101 << 689 << 1793;
  }

  void textPosition()
  {
    QFETCH(TDrawTarget, target);
    QFETCH(TPrimitive, primitive);
    QFETCH(int, centreX);
    QFETCH(int, x);
    QFETCH(int, l);
    QFETCH(double, y);
    QFETCH(int, width);
    QFETCH(int, left);
    QFETCH(int, bottom);

    TRecordingDevice device(target == dtScreen ? 96 : 600);
    QFont font;
    QString text;
    QVERIFY2(FindTextOfWidth(&device, width, font, text), "no text of that width in this face");
    FioCentreX = centreX;
    QPainter painter(&device);
    painter.setFont(font);
    DrawWith(painter, primitive, target, x, l, y, text);
    painter.end();

    const auto &texts = device.Engine().Texts;
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts.at(0).Text, text);
    QCOMPARE(texts.at(0).Baseline.x(), double(left));
    const QFontMetrics metrics(font, &device);
    QCOMPARE(metrics.height(), metrics.ascent() + metrics.descent());
    QCOMPARE(texts.at(0).Baseline.y() + metrics.descent(), double(bottom));
  }

  // Two fonts on one line: the cells end on the line, so the bigger font's
  // baseline is higher.
  void differentFontsShareTheCellBottom_data()
  {
    QTest::addColumn<TDrawTarget>("target");
    QTest::addColumn<int>("bottom");
    QTest::newRow("screen") << dtScreen << 295;
    QTest::newRow("printer") << dtPrinter << 1793;
  }

  void differentFontsShareTheCellBottom()
  {
    QFETCH(TDrawTarget, target);
    QFETCH(int, bottom);
    TRecordingDevice device(target == dtScreen ? 96 : 600);
    const QFont small = PixelFont(14);
    const QFont big = PixelFont(40);
    QPainter painter(&device);
    painter.setFont(small);
    TextOutMM(painter, target, 5, QStringLiteral("Ag"), 78.0);
    painter.setFont(big);
    TextOutMM(painter, target, 40, QStringLiteral("Ag"), 78.0);
    painter.end();

    const auto &texts = device.Engine().Texts;
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts.at(0).Baseline.y() + QFontMetrics(small, &device).descent(), double(bottom));
    QCOMPARE(texts.at(1).Baseline.y() + QFontMetrics(big, &device).descent(), double(bottom));
    QVERIFY(texts.at(1).Baseline.y() < texts.at(0).Baseline.y());
  }

  void drawLineOnScreen()
  {
    QImage image = WhiteImage();
    QPainter painter(&image);
    DrawLineMM(painter, dtScreen, TLinePos{5, 60, 78.0});
    painter.end();
    QCOMPARE(InkedPixels(image), HorizontalRun(19, 246, 295));
  }

  void lineToContinuesFromTheLastPoint()
  {
    QImage image = WhiteImage();
    QPainter painter(&image);
    MoveToMM(painter, 5, 78.0);
    LineToMM(painter, 65, 78.0);
    LineToMM(painter, 65, 100.0);
    painter.end();
    QSet<QPoint> expected = HorizontalRun(19, 246, 295);
    for (int y = 295; y <= 378; ++y)
      expected.insert(QPoint(246, y));
    QCOMPARE(InkedPixels(image), expected);
  }

  void drawLineOnPrinterDrawsNothing()
  {
    TRecordingDevice device(600);
    QPainter painter(&device);
    DrawLineMM(painter, dtPrinter, TLinePos{5, 60, 78.0});
    painter.end();
    QCOMPARE(device.Engine().LineCount, 0);
  }

  // Any target but the screen and the printer leaves the image as it was;
  // the same call for the screen does draw there.
  void unknownTargetDrawsNothing_data()
  {
    QTest::addColumn<QString>("primitive");
    QTest::newRow("TextOutMM") << QStringLiteral("TextOutMM");
    QTest::newRow("TextOutCentredMM") << QStringLiteral("TextOutCentredMM");
    QTest::newRow("TextOutInSpanMM") << QStringLiteral("TextOutInSpanMM");
    QTest::newRow("DrawLineMM") << QStringLiteral("DrawLineMM");
  }

  void unknownTargetDrawsNothing()
  {
    QFETCH(QString, primitive);
    FioCentreX = 40;
    const auto draw = [&](TDrawTarget target) {
      QImage image = WhiteImage();
      QPainter painter(&image);
      painter.setFont(PixelFont(20));
      const QString text = QStringLiteral("Hello");
      if (primitive == QLatin1String("TextOutMM"))
        TextOutMM(painter, target, 5, text, 78.0);
      else if (primitive == QLatin1String("TextOutCentredMM"))
        TextOutCentredMM(painter, target, text, 78.0);
      else if (primitive == QLatin1String("TextOutInSpanMM"))
        TextOutInSpanMM(painter, target, TLinePos{5, 60, 78.0}, text);
      else
        DrawLineMM(painter, target, TLinePos{5, 60, 78.0});
      painter.end();
      return image;
    };
    QVERIFY(!InkedPixels(draw(dtScreen)).isEmpty());
    QVERIFY(InkedPixels(draw(TDrawTarget(2))).isEmpty());
    QVERIFY(InkedPixels(draw(TDrawTarget(-1))).isEmpty());
  }

  void screenFontHeight_data()
  {
    QTest::addColumn<double>("points");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("pixels");
    QTest::newRow("12 pt") << 12.0 << 1.0 << 16;
    QTest::newRow("12 pt at zoom 0.5") << 12.0 << 0.5 << 8;
    QTest::newRow("12 pt at zoom 0.78125 (12.5)") << 12.0 << 0.78125 << 12;
    QTest::newRow("12 pt at zoom 0.84375 (13.5)") << 12.0 << 0.84375 << 14;
    // 14.67 px is rounded to 15 before the zoom: 7.5 -> 8, not 7.33 -> 7.
    QTest::newRow("11 pt") << 11.0 << 1.0 << 15;
    QTest::newRow("11 pt at zoom 0.5") << 11.0 << 0.5 << 8;
  }

  void screenFontHeight()
  {
    QFETCH(double, points);
    QFETCH(double, zoom);
    QFETCH(int, pixels);
    if (ScreenPixelsPerInch() != 96.0)
      QSKIP("needs a 96 dpi screen, such as the offscreen platform");
    ZoomFactor = zoom;
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(points);
    font.setBold(true);
    font.setItalic(true);
    QImage image = WhiteImage();
    QPainter painter(&image);
    ApplyFontMM(painter, dtScreen, font);
    QCOMPARE(painter.font().pixelSize(), pixels);
    QCOMPARE(painter.font().family(), font.family());
    QVERIFY(painter.font().bold() && painter.font().italic());
  }

  // The printer keeps the point size, whatever the zoom, and its painter
  // turns it into printer pixels: 12 pt at 1200 dpi is 200 pixels.
  void printerFontKeepsPoints()
  {
    ZoomFactor = 0.5;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QPdfWriter writer(dir.filePath(QStringLiteral("font.pdf")));
    writer.setResolution(1200);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(12);
    QPainter painter(&writer);
    ApplyFontMM(painter, dtPrinter, font);
    QCOMPARE(painter.font().pointSizeF(), 12.0);
    QCOMPARE(painter.fontInfo().pixelSize(), 200);
  }

  // The back side imitation's "height -13": an em of 13 pixels, zoomed.
  void characterHeightFont_data()
  {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zoom 1") << 1.0 << 13;
    QTest::newRow("zoom 0.5 (6.5)") << 0.5 << 6;
    QTest::newRow("zoom 1.5 (19.5)") << 1.5 << 20;
  }

  void characterHeightFont()
  {
    QFETCH(double, zoom);
    QFETCH(int, pixels);
    ZoomFactor = zoom;
    QImage image = WhiteImage();
    QPainter painter(&image);
    ApplyCharHeightFont(painter, QFont(QStringLiteral("Times New Roman")), 13);
    QCOMPARE(painter.font().pixelSize(), pixels);
  }

  // The resolution and printing offset of a real QPrinter writing PDF must
  // agree with what it reports as its page and paper rectangles.
  void printerMeasurements_data()
  {
    QTest::addColumn<bool>("fullPage");
    QTest::addColumn<bool>("ownMargins");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::newRow("default margins") << false << false << -1.0 << -1.0;
    QTest::newRow("margins half and quarter inch") << false << true << 0.5 << 0.25;
    QTest::newRow("full page") << true << false << 0.0 << 0.0;
    QTest::newRow("full page with margins set") << true << true << 0.0 << 0.0;
  }

  void printerMeasurements()
  {
    QFETCH(bool, fullPage);
    QFETCH(bool, ownMargins);
    QFETCH(double, left);
    QFETCH(double, top);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("offsets.pdf")));
    printer.setPageSize(
        QPageSize(QSizeF(148, 210), QPageSize::Millimeter, QStringLiteral("blank"), QPageSize::ExactMatch));
    printer.setPageOrientation(QPageLayout::Landscape);
    if (ownMargins)
      QVERIFY(printer.setPageMargins(QMarginsF(12.7, 6.35, 5, 5), QPageLayout::Millimeter));
    printer.setFullPage(fullPage);

    ReadPrinterResolution(printer);
    ReadPrinterOffsets(printer);

    const int resolution = printer.resolution();
    QCOMPARE(resolution, 1200);
    QCOMPARE(PrinterDpiX, resolution);
    QCOMPARE(PrinterDpiY, resolution);
    const QPointF offset =
        printer.pageRect(QPrinter::DevicePixel).topLeft() - printer.paperRect(QPrinter::DevicePixel).topLeft();
    QCOMPARE(PrinterOffsetLeft, offset.x() / resolution);
    QCOMPARE(PrinterOffsetTop, offset.y() / resolution);
    if (left >= 0) {
      QCOMPARE(PrinterOffsetLeft, left);
      QCOMPARE(PrinterOffsetTop, top);
    } else {
      QVERIFY(PrinterOffsetLeft > 0 && PrinterOffsetTop > 0);
    }
    // The paper's left edge is pixel -offset.
    QCOMPARE(MmToPrinterX(0), -qRound(offset.x()));
  }

  void pdfWriterMeasurements()
  {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QPdfWriter writer(dir.filePath(QStringLiteral("offsets.pdf")));
    writer.setResolution(600);
    QVERIFY(writer.setPageMargins(QMarginsF(25.4, 12.7, 0, 0), QPageLayout::Millimeter));
    ReadPrinterResolution(writer);
    ReadPrinterOffsets(writer);
    QCOMPARE(PrinterDpiX, 600);
    QCOMPARE(PrinterDpiY, 600);
    QCOMPARE(PrinterOffsetLeft, 1.0);
    QCOMPARE(PrinterOffsetTop, 0.5);
    QCOMPARE(MmToPrinterX(30), 109);
  }
};

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
