#include "uPreviewImage.h"

#include <QMouseEvent>
#include <QPainter>

TPreviewImage::TPreviewImage(QWidget *parent) : QWidget(parent)
{
}

void TPreviewImage::resetPicture()
{
  // The redraw path clears the same picture again and again: keep its memory.
  const QSize wanted = size().expandedTo(QSize(1, 1));
  if (FPicture.size() != wanted)
    FPicture = QImage(wanted, QImage::Format_ARGB32_Premultiplied);
  FPicture.fill(FTransparent ? Qt::transparent : Qt::white);
  update();
}

void TPreviewImage::setTransparent(bool transparent)
{
  if (FTransparent == transparent)
    return;
  FTransparent = transparent;
  update();
}

void TPreviewImage::paintEvent(QPaintEvent *)
{
  QPainter p(this);
  if (!FTransparent)
    p.fillRect(rect(), Qt::white);
  if (!FPicture.isNull())
    p.drawImage(0, 0, FPicture);
}

void TPreviewImage::mousePressEvent(QMouseEvent *event)
{
  FPressed = event->button() == Qt::LeftButton;
  QWidget::mousePressEvent(event);
}

void TPreviewImage::mouseReleaseEvent(QMouseEvent *event)
{
  if (FPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
  FPressed = false;
  QWidget::mouseReleaseEvent(event);
}
