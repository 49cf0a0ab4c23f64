#include "uImgLine.h"

#include "layout/uLayoutLine.h"
#include "render/MyCanvasUtils.h"

#include <QLocale>
#include <QPainter>

namespace {

constexpr int PictureWidth = 300;
constexpr int PictureHeight = 9;

QImage BlankPicture()
{
  QImage picture(PictureWidth, PictureHeight, QImage::Format_Indexed8);
  picture.setColorCount(4);
  picture.setColor(0, qRgb(255, 255, 255));
  picture.setColor(1, qRgb(190, 190, 190));
  picture.setColor(2, qRgb(51, 51, 51));
  picture.setColor(3, qRgb(0, 0, 0));
  picture.fill(0);
  return picture;
}

/// The picture as drawn: its white pixels see-through.
QImage SeeThrough(const QImage &picture)
{
  QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < shown.height(); ++y) {
    auto *row = reinterpret_cast<QRgb *>(shown.scanLine(y));
    for (int x = 0; x < shown.width(); ++x)
      if (row[x] == qRgb(255, 255, 255))
        row[x] = qRgba(0, 0, 0, 0);
  }
  return shown;
}

} // namespace

const QImage &TImgLine::LineBold()
{
  static const QImage picture = [] {
    QImage p = BlankPicture();
    for (int x = 0; x < PictureWidth; ++x) {
      p.setPixel(x, 4, 1);
      p.setPixel(x, 5, 1);
    }
    return p;
  }();
  return picture;
}

const QImage &TImgLine::LineBlackMarked()
{
  static const QImage picture = [] {
    QImage p = BlankPicture();
    for (int x = 0; x < PictureWidth; ++x)
      p.setPixel(x, 4, 2);
    for (int y = 2; y <= 6; ++y)
      for (int x = 0; x < 5; ++x) {
        p.setPixel(x, y, 3);
        p.setPixel(PictureWidth - 1 - x, y, 3);
      }
    return p;
  }();
  return picture;
}

TImgLine *TImgLine::Create(TLayoutLine *line, QWidget *parent)
{
  switch (line->Kind()) {
  case TLineKind::LinkedX:
    return new TLinkedXImgLine(line, parent);
  case TLineKind::LinkedY:
    return new TLinkedYImgLine(line, parent);
  case TLineKind::Plain:
    break;
  }
  return new TImgLine(line, parent);
}

TImgLine::TImgLine(TLayoutLine *line, QWidget *parent) : QWidget(parent), FLine(line)
{
  setObjectName(line->Name());
  hide();
  setCursor(Qt::SizeAllCursor);
  setAttribute(Qt::WA_TranslucentBackground);
  FLine->OnChanged = [this] { ItemChanged(); };
  ItemChanged();
}

TImgLine::~TImgLine()
{
  FLine->OnChanged = nullptr;
}

void TImgLine::ItemChanged()
{
  Reposition();
  setToolTip(HintText(FLine->X(), FLine->Y()));
}

void TImgLine::Reposition()
{
  setGeometry(RoundHalfEven(FLine->X() * ScreenScaleX), RoundHalfEven(FLine->Y() * ScreenScaleY) - 4,
              RoundHalfEven(FLine->L() * ScreenScaleX), PictureHeight);
}

void TImgLine::SetMarked(bool marked)
{
  if (FMarked == marked)
    return;
  FMarked = marked;
  update();
}

QString TImgLine::HintText(int x, double y)
{
  const QString yText = QLocale().toString(y, 'f', 1).rightJustified(4, QLatin1Char(' '));
  return QStringLiteral("Зліва <b>%1</b> мм;<br>Зверху <b>%2</b> мм <p><p>Для переміщення використовуйте <b>мишу</b> "
                        "або <b>стрілки</b> клавіатури.<p>Для більш точного переміщення утримуйте <b>Ctrl</b> разом "
                        "зі стрілками.")
      .arg(x)
      .arg(yText);
}

void TImgLine::paintEvent(QPaintEvent *)
{
  // The picture is stretched to the control, so its row 4 lies on the line's Y.
  static const QImage bold = SeeThrough(LineBold());
  static const QImage marked = SeeThrough(LineBlackMarked());
  QPainter p(this);
  p.drawImage(rect(), FMarked ? marked : bold);
}

TLinkedXImgLine::TLinkedXImgLine(TLayoutLine *line, QWidget *parent) : TImgLine(line, parent)
{
  setCursor(Qt::SizeVerCursor);
}

TLinkedYImgLine::TLinkedYImgLine(TLayoutLine *line, QWidget *parent) : TImgLine(line, parent)
{
  setCursor(Qt::SizeHorCursor);
}
