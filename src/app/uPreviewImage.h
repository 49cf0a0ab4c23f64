#pragma once

#include <QImage>
#include <QWidget>

/// One image of the preview: a picture that fills the control, drawn over a
/// white background or, when transparent, over whatever lies beneath it.
class TPreviewImage : public QWidget
{
  Q_OBJECT
public:
  explicit TPreviewImage(QWidget *parent = nullptr);

  QImage &picture() { return FPicture; }
  const QImage &picture() const { return FPicture; }
  /// Replaces the picture by a white (or, when transparent, clear) one of the control's size.
  void resetPicture();

  bool transparent() const { return FTransparent; }
  void setTransparent(bool transparent);

signals:
  /// A left click that was not the end of a drag.
  void clicked();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  QImage FPicture;
  bool FTransparent = false;
  bool FPressed = false;
};
