#include "uIcons.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace {

constexpr int Size = 32;

QPixmap Blank()
{
  QPixmap pm(Size, Size);
  pm.fill(Qt::transparent);
  return pm;
}

/// A digit badge: the grade pictures "9" and "11".
QIcon GradeIcon(const QString &digits)
{
  QPixmap pm = Blank();
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x15, 0x42, 0x8B), 2));
  p.setBrush(QColor(0xFF, 0xF3, 0xC4));
  p.drawRoundedRect(QRectF(2, 2, Size - 4, Size - 4), 6, 6);
  QFont f(QStringLiteral("Liberation Sans"));
  f.setBold(true);
  f.setPixelSize(digits.size() > 1 ? 18 : 22);
  p.setFont(f);
  p.setPen(QColor(0xB0, 0x20, 0x20));
  p.drawText(QRect(0, 0, Size, Size), Qt::AlignCenter, digits);
  return QIcon(pm);
}

/// A sheet of paper with an optional mark drawn over it.
QIcon SheetIcon(const std::function<void(QPainter &)> &mark, bool landscape = false)
{
  QPixmap pm = Blank();
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x60, 0x70, 0x90), 1));
  p.setBrush(Qt::white);
  const QRectF sheet = landscape ? QRectF(2.5, 7.5, 27, 19) : QRectF(6.5, 2.5, 19, 27);
  p.drawRect(sheet);
  p.setPen(QPen(QColor(0xA0, 0xB0, 0xC8), 1));
  for (qreal y = sheet.top() + 5; y < sheet.bottom() - 3; y += 4)
    p.drawLine(QPointF(sheet.left() + 3, y), QPointF(sheet.right() - 3, y));
  if (mark)
    mark(p);
  return QIcon(pm);
}

QIcon StandardIcon(QStyle::StandardPixmap pixmap)
{
  return QApplication::style()->standardIcon(pixmap);
}

QIcon PrinterIcon(bool withDialog)
{
  QPixmap pm = Blank();
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x40, 0x40, 0x50), 1.5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9, 3, 14, 10));
  p.setBrush(QColor(0x9D, 0xB3, 0xD6));
  p.drawRoundedRect(QRectF(3, 12, 26, 12), 3, 3);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9, 20, 14, 9));
  if (withDialog) {
    p.setBrush(QColor(0xFF, 0xD9, 0x8A));
    p.drawEllipse(QRectF(20, 18, 11, 11));
  }
  return QIcon(pm);
}

} // namespace

QIcon RibbonImage(TRibbonImage image)
{
  switch (image) {
  case TRibbonImage::Grade9:
    return GradeIcon(QStringLiteral("9"));
  case TRibbonImage::Grade11:
    return GradeIcon(QStringLiteral("11"));
  case TRibbonImage::SharedData:
    return SheetIcon([](QPainter &p) {
      p.setPen(QPen(QColor(0x2A, 0x5C, 0xAA), 2));
      p.drawLine(QPointF(9, 9), QPointF(23, 9));
    });
  case TRibbonImage::OpenTemplate:
    return SheetIcon([](QPainter &p) {
      p.setPen(QPen(QColor(0x1E, 0x7B, 0x34), 1));
      p.setBrush(QColor(0x1E, 0x7B, 0x34));
      p.drawRect(QRectF(15, 15, 14, 14));
      p.setPen(Qt::white);
      p.drawLine(QPointF(18, 18), QPointF(26, 26));
      p.drawLine(QPointF(26, 18), QPointF(18, 26));
    });
  case TRibbonImage::ImportFromExcel:
    return SheetIcon([](QPainter &p) {
      p.setPen(QPen(QColor(0x1E, 0x7B, 0x34), 3));
      p.drawLine(QPointF(12, 22), QPointF(26, 22));
      p.drawLine(QPointF(20, 16), QPointF(26, 22));
      p.drawLine(QPointF(20, 28), QPointF(26, 22));
    });
  case TRibbonImage::OpenBackData:
    return StandardIcon(QStyle::SP_DialogOpenButton);
  case TRibbonImage::SaveBackData:
    return StandardIcon(QStyle::SP_DialogSaveButton);
  case TRibbonImage::BlankAppearance:
    return SheetIcon({}, true);
  case TRibbonImage::SideSwitch:
    return SheetIcon(
        [](QPainter &p) {
          p.setPen(QPen(QColor(0x2A, 0x5C, 0xAA), 2));
          p.drawArc(QRectF(8, 8, 16, 16), 30 * 16, 300 * 16);
        },
        true);
  case TRibbonImage::BlankSettings:
    return SheetIcon(
        [](QPainter &p) {
          p.setPen(QPen(QColor(0xB0, 0x20, 0x20), 2));
          p.drawLine(QPointF(4, 16), QPointF(28, 16));
          p.drawLine(QPointF(16, 9), QPointF(16, 23));
        },
        true);
  case TRibbonImage::Fonts:
    return SheetIcon([](QPainter &p) {
      QFont f(QStringLiteral("Liberation Serif"));
      f.setPixelSize(20);
      f.setBold(true);
      f.setItalic(true);
      p.setFont(f);
      p.setPen(QColor(0x15, 0x42, 0x8B));
      p.drawText(QRect(0, 0, Size, Size), Qt::AlignCenter, QStringLiteral("Аа"));
    });
  case TRibbonImage::Undo:
    return StandardIcon(QStyle::SP_ArrowBack);
  case TRibbonImage::SaveBlankSettings:
    return StandardIcon(QStyle::SP_DialogSaveButton);
  case TRibbonImage::Print:
    return PrinterIcon(false);
  case TRibbonImage::SelectPrinter:
    return PrinterIcon(true);
  case TRibbonImage::Help:
    return StandardIcon(QStyle::SP_DialogHelpButton);
  case TRibbonImage::CheckUpdate:
    return StandardIcon(QStyle::SP_BrowserReload);
  case TRibbonImage::About:
    return StandardIcon(QStyle::SP_MessageBoxInformation);
  }
  return QIcon();
}
