#pragma once

#include <QImage>
#include <QWidget>

class TLayoutLine;

/**
 * A layout line on the preview: a short horizontal picture lying where the
 * text of its layout item will be printed. It follows its item's position
 * at the current screen scale, shows the position in its hint, and is
 * selected and dragged through the main window, which watches its mouse
 * events. The kind decides how it may move: a TImgLine both ways, a
 * TLinkedXImgLine only vertically, a TLinkedYImgLine only horizontally.
 */
class TImgLine : public QWidget
{
  Q_OBJECT
public:
  /// Makes the image for a layout item (the subclass that fits its kind).
  static TImgLine *Create(TLayoutLine *line, QWidget *parent);
  ~TImgLine() override;

  TLayoutLine *Line() const { return FLine; }

  /// Places and sizes the image from the item at the current screen scale.
  void Reposition();
  /// The normal picture or the selected one.
  void SetMarked(bool marked);
  bool Marked() const { return FMarked; }

  /// A left-button drag of this line is under way.
  bool Dragging = false;

  /// The two pictures, 300 by 9 pixels, white where transparent.
  static const QImage &LineBold();
  static const QImage &LineBlackMarked();

  /// The hint for a position: X in whole mm, Y with one decimal.
  static QString HintText(int x, double y);

protected:
  TImgLine(TLayoutLine *line, QWidget *parent);
  void paintEvent(QPaintEvent *event) override;

private:
  void ItemChanged();
  TLayoutLine *FLine;
  bool FMarked = false;
};

/// A line that takes its master's X and moves only vertically.
class TLinkedXImgLine : public TImgLine
{
  Q_OBJECT
public:
  TLinkedXImgLine(TLayoutLine *line, QWidget *parent);
};

/// A line that takes its master's Y and moves only horizontally.
class TLinkedYImgLine : public TImgLine
{
  Q_OBJECT
public:
  TLinkedYImgLine(TLayoutLine *line, QWidget *parent);
};
