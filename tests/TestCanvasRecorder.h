#pragma once

// A paint device that records instead of drawing, for tests that check where
// text and lines land in device pixels.

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPointF>
#include <QString>

#include <climits>

/// A paint engine that keeps where each text item and line was drawn, with
/// the font and the pen colour it was drawn in.
class TRecordingEngine : public QPaintEngine
{
public:
  struct TText
  {
    QPointF Baseline;
    QString Text;
    QFont Font;
    QColor Colour;
  };

  struct TLine
  {
    QLineF Line;
    QColor Colour;
  };

  TRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

  bool begin(QPaintDevice *) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState &) override {}
  void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
  void drawTextItem(const QPointF &p, const QTextItem &textItem) override
  {
    Texts.append({p, textItem.text(), textItem.font(), painter()->pen().color()});
  }
  void drawLines(const QLine *lines, int count) override
  {
    for (int i = 0; i < count; ++i)
      Lines.append({QLineF(lines[i]), painter()->pen().color()});
    LineCount += count;
  }
  void drawLines(const QLineF *lines, int count) override
  {
    for (int i = 0; i < count; ++i)
      Lines.append({lines[i], painter()->pen().color()});
    LineCount += count;
  }
  // Fills (a background cleared to white) are not recorded.
  void drawRects(const QRect *, int) override {}
  void drawRects(const QRectF *, int) override {}
  void drawPath(const QPainterPath &) override {}
  Type type() const override { return QPaintEngine::User; }

  QList<TText> Texts;
  QList<TLine> Lines;
  int LineCount = 0;
};

/// A paint device of a given resolution that records instead of drawing: it
/// stands for the screen image (96 dpi) or for a printer (600 dpi).
class TRecordingDevice : public QPaintDevice
{
public:
  explicit TRecordingDevice(int dpi) : FDpi(dpi) {}

  QPaintEngine *paintEngine() const override { return &FEngine; }
  TRecordingEngine &Engine() { return FEngine; }

protected:
  int metric(PaintDeviceMetric metric) const override
  {
    switch (metric) {
    case PdmWidth:
    case PdmHeight:
      return 20000;
    case PdmWidthMM:
    case PdmHeightMM:
      return int(20000 * 25.4 / FDpi);
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
      return FDpi;
    case PdmDepth:
      return 32;
    case PdmNumColors:
      return INT_MAX;
    case PdmDevicePixelRatio:
      return 1;
    case PdmDevicePixelRatioScaled:
      return int(devicePixelRatioFScale());
    default:
      return QPaintDevice::metric(metric);
    }
  }

private:
  int FDpi;
  mutable TRecordingEngine FEngine;
};
