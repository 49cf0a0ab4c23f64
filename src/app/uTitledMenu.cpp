#include "uTitledMenu.h"

#include <QPainter>

TTitledMenu::TTitledMenu(const QString &stripTitle, QWidget *parent) : QMenu(parent), FStripTitle(stripTitle)
{
  setContentsMargins(StripWidth, 0, 0, 0);
}

void TTitledMenu::paintEvent(QPaintEvent *event)
{
  QMenu::paintEvent(event);
  QPainter p(this);
  const QRect strip(1, 1, StripWidth - 2, height() - 2);
  QLinearGradient fill(strip.topLeft(), strip.topRight());
  fill.setColorAt(0, QColor(0x15, 0x42, 0x8B));
  fill.setColorAt(1, QColor(0x2A, 0x5C, 0xAA));
  p.fillRect(strip, fill);
  QFont f = font();
  f.setBold(true);
  f.setPixelSize(14);
  p.setFont(f);
  p.setPen(Qt::white);
  // The title runs upwards from the strip's bottom.
  p.translate(strip.left(), strip.bottom());
  p.rotate(-90);
  p.drawText(QRect(6, 0, strip.height() - 12, strip.width()), Qt::AlignLeft | Qt::AlignVCenter, FStripTitle);
}
