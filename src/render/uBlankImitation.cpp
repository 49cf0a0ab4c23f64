#include "uBlankImitation.h"

#include "layout/uLayout.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>

namespace {

using enum TLayoutItem;

/// Spread font size in points, zoomed on the screen.
constexpr double SpreadFontPoints = 11;
/// Back side character height in pixels ("font height -13"), zoomed.
constexpr int BackCharHeight = 13;

/// The two forms' grades as CurrentGrade holds them.
constexpr int Grade9 = 1;
constexpr int Grade11 = 2;

TLinePos Pos(const TLayout &layout, TLayoutItem item)
{
  return layout.Line(item)->Pos();
}

/// Left-aligned grey text, cell bottom on y.
void Text(QPainter &canvas, int xMm, double yMm, const QString &text)
{
  TextOutMM(canvas, dtScreen, xMm, text, yMm);
}

/// A field's top-left corner in preview pixels, rounded half to even.
QPoint FieldAt(double xMm, double yMm)
{
  return QPoint(RoundHalfEven(xMm * ScreenScaleX), RoundHalfEven(yMm * ScreenScaleY));
}

/// A field whose top edge lies 5 mm above the line.
QPoint FieldAbove(double xMm, double lineYMm)
{
  return FieldAt(xMm, lineYMm - 5);
}

/// A table of 12 rows between its first row (the layout's first subject
/// and mark lines) and its last row (a layout line on the subject side):
/// the ten rows between get both lines, the last row its mark line only.
void DrawTwelveRows(QPainter &canvas, TLinePos subject, TLinePos mark, double lastY)
{
  const double pitch = (lastY - subject.Y) / 11;
  DrawTableRows(canvas, subject, mark, pitch, 10);
  mark.Y += pitch;
  DrawLineMM(canvas, dtScreen, mark);
}

} // namespace

QSize BlankImageSize(const TLayout &layout)
{
  return QSize(RoundHalfEven(layout.PageWidth() * ScreenScaleX), RoundHalfEven(layout.PageHeight() * ScreenScaleY));
}

void PrepareBlankCanvas(QPainter &canvas)
{
  // QPainter draws text with its pen, so one colour serves lines and text.
  canvas.setPen(QPen(BlankImitationColour, 1));
  QFont font(QStringLiteral("Times New Roman"));
  font.setBold(true);
  canvas.setFont(font);
}

void DrawTableRows(QPainter &canvas, TLinePos &subject, TLinePos &mark, double pitch, int n)
{
  for (int i = 0; i < n; ++i) {
    subject.Y += pitch;
    mark.Y += pitch;
    DrawLineMM(canvas, dtScreen, subject);
    DrawLineMM(canvas, dtScreen, mark);
  }
}

TFieldPlaces DrawBlankSpread(QPainter &canvas, const TLayout &layout, int currentGrade)
{
  PrepareBlankCanvas(canvas);
  QFont font = canvas.font();
  font.setPointSizeF(SpreadFontPoints);
  ApplyFontMM(canvas, dtScreen, font);

  const TLinePos fio1 = Pos(layout, Fio1Line);
  const TLinePos seria = Pos(layout, SeriaLine);
  const TLinePos leftSubj = Pos(layout, LeftFirstSubjLine);
  const TLinePos leftMark = Pos(layout, LeftFirstMarkLine);
  const TLinePos rightSubj = Pos(layout, RightFirstSubjLine);
  const TLinePos rightMark = Pos(layout, RightFirstMarkLine);
  const TLinePos rightGender = Pos(layout, RightGenderLine);
  const double leftLastY = layout.Line(LeftLastLine)->Y();
  const double rightLastY = layout.Line(RightLastLine)->Y();
  const double dpaFirstY = layout.Line(DpaFirstLine)->Y();

  if (currentGrade == Grade9) {
    const TLinePos gender = Pos(layout, LeftGenderLine9);
    const TLinePos god = Pos(layout, GodLine9);
    TextOutCentredMM(canvas, dtScreen, QStringLiteral("ДОДАТОК ДО СВІДОЦТВА"), 13);
    TextOutCentredMM(canvas, dtScreen, QStringLiteral("про базову загальну середню освіту"), 18);
    Text(canvas, fio1.X, gender.Y, QStringLiteral("закінчи"));
    Text(canvas, god.X - 7, god.Y, QStringLiteral("у 20"));
    Text(canvas, god.X + 8, god.Y, QStringLiteral("році"));
  } else if (currentGrade == Grade11) {
    const TLinePos gender = Pos(layout, LeftGenderLine11);
    const TLinePos god = Pos(layout, GodLine11);
    TextOutCentredMM(canvas, dtScreen, QStringLiteral("ДОДАТОК ДО АТЕСТАТА"), 13);
    TextOutCentredMM(canvas, dtScreen, QStringLiteral("про повну загальну середню освіту"), 18);
    Text(canvas, fio1.X, gender.Y, QStringLiteral("здобу"));
    Text(canvas, gender.X + 6, gender.Y, QStringLiteral("повну загальну середню освіту"));
    Text(canvas, god.X - 7, god.Y, QStringLiteral("в 20"));
    Text(canvas, god.X + 8, god.Y, QStringLiteral("році у"));
  }

  Text(canvas, seria.X + seria.L + 1, seria.Y, QStringLiteral("№"));
  Text(canvas, fio1.X, 67, QStringLiteral("з такими балами:"));
  Text(canvas, leftSubj.X + 18, 72, QStringLiteral("назва предмета"));
  Text(canvas, leftMark.X + 12, 72, QStringLiteral("бал"));
  Text(canvas, rightSubj.X, rightGender.Y, QStringLiteral("Пройш"));
  Text(canvas, rightGender.X + 8, rightGender.Y, QStringLiteral("державну підсумкову атестацію"));
  Text(canvas, rightSubj.X, rightGender.Y + 4, QStringLiteral("з таких предметів:"));
  Text(canvas, rightSubj.X + 18, rightGender.Y + 18, QStringLiteral("назва предмета"));
  Text(canvas, rightMark.X + 12, rightGender.Y + 18, QStringLiteral("бал"));

  DrawTwelveRows(canvas, leftSubj, leftMark, leftLastY);
  DrawTwelveRows(canvas, rightSubj, rightMark, rightLastY);

  // The ДПА rows: six from DpaFirstY down to LeftLastY, where the average
  // mark prints; the first row's subject line is DpaFirstLine itself.
  TFieldPlaces places;
  const double pitch = (leftLastY - dpaFirstY) / 5;
  TLinePos dpaSubj = rightSubj;
  TLinePos dpaMark = rightMark;
  dpaSubj.Y = dpaMark.Y = leftLastY - 5 * pitch;
  DrawLineMM(canvas, dtScreen, dpaMark);
  places.mmDPA = FieldAbove(rightSubj.X, dpaSubj.Y);
  DrawTableRows(canvas, dpaSubj, dpaMark, pitch, 5);
  return places;
}

TFieldPlaces DrawBlankBack(QPainter &canvas, const TLayout &layout, int currentGrade)
{
  // The back side always starts from a white page.
  const QPaintDevice *device = canvas.device();
  canvas.fillRect(QRect(0, 0, device->width(), device->height()), Qt::white);
  PrepareBlankCanvas(canvas);
  const QFont bold = canvas.font();
  ApplyCharHeightFont(canvas, bold, BackCharHeight);
  QFont boldItalic = bold;
  boldItalic.setItalic(true);

  TFieldPlaces places;
  const TLinePos facult = Pos(layout, FacultFirstLine);
  const TLinePos topGender = Pos(layout, BackTopGenderLine);
  const TLinePos month = Pos(layout, MonthLine);
  const TLinePos year = Pos(layout, YearLine);

  // The electives: five lines, of which the first and last are layout lines.
  const double pitch = (layout.Line(FacultLastYLine)->Y() - facult.Y) / 4;
  TLinePos elective = facult;
  for (int i = 0; i < 3; ++i) {
    elective.Y += pitch;
    DrawLineMM(canvas, dtScreen, elective);
  }

  Text(canvas, facult.X, topGender.Y, QStringLiteral("Успішно засвої"));
  Text(canvas, topGender.X + topGender.L + 1, topGender.Y, QStringLiteral("програму факультативних"));
  Text(canvas, facult.X, topGender.Y + 4, QStringLiteral("курсів:"));
  places.mmFacults = FieldAbove(facult.X, facult.Y);

  // "Директор" alone is italic as well.
  const auto director = [&](int xMm, double yMm) {
    ApplyCharHeightFont(canvas, boldItalic, BackCharHeight);
    Text(canvas, xMm, yMm, QStringLiteral("Директор"));
    ApplyCharHeightFont(canvas, bold, BackCharHeight);
  };

  if (currentGrade == Grade9) {
    const TLinePos get1 = Pos(layout, Get1Line);
    const TLinePos award = Pos(layout, AwardLine);
    const TLinePos directorLine = Pos(layout, Director9Line);
    const TLinePos regNum = Pos(layout, RegNum9Line);
    Text(canvas, facult.X, get1.Y, QStringLiteral("За високі досягнення у навчанні одержа"));
    places.edGet = FieldAt(facult.X, get1.Y);
    Text(canvas, award.X, award.Y - 5, QStringLiteral("За особливі досягнення у вивченні"));
    Text(canvas, award.X + award.L + 1, award.Y, QStringLiteral("нагороджен"));
    places.edAward = FieldAbove(facult.X, award.Y);
    director(award.X, directorLine.Y);
    places.edDirector = FieldAbove(directorLine.X, directorLine.Y);
    Text(canvas, 21, regNum.Y, QStringLiteral("Реєстраційний номер"));
    places.edRegNum = FieldAbove(regNum.X, regNum.Y);
  } else if (currentGrade == Grade11) {
    const TLinePos za = Pos(layout, ZaLine);
    const TLinePos medallu = Pos(layout, MedalluLine);
    const TLinePos medalluGender = Pos(layout, MedalluGenderLine);
    const TLinePos award = Pos(layout, Award11Line);
    const TLinePos lowerGender = Pos(layout, Back11LowerGenderLine);
    const TLinePos directorLine = Pos(layout, Director11Line);
    const TLinePos regNum = Pos(layout, RegNum11Line);
    Text(canvas, facult.X, za.Y, QStringLiteral("За"));
    Text(canvas, za.X + za.L + 1, za.Y, QStringLiteral("досягнення у"));
    places.edGet = FieldAbove(za.X, za.Y);
    Text(canvas, facult.X, medalluGender.Y, QStringLiteral("навчанні нагороджен"));
    Text(canvas, medallu.X + medallu.L + 1, medallu.Y, QStringLiteral("медаллю"));
    places.edMedal = FieldAbove(medallu.X, medallu.Y);
    Text(canvas, facult.X, award.Y - 6, QStringLiteral("За особливі досягнення у"));
    Text(canvas, facult.X, award.Y, QStringLiteral("вивченні"));
    places.edAward = FieldAbove(award.X + 3, award.Y);
    Text(canvas, facult.X, lowerGender.Y, QStringLiteral("нагороджен"));
    director(medallu.X, directorLine.Y);
    places.edDirector = FieldAbove(directorLine.X, directorLine.Y);
    Text(canvas, 21, regNum.Y, QStringLiteral("Реєстраційний номер"));
    places.edRegNum = FieldAbove(regNum.X, regNum.Y);
  }

  Text(canvas, month.X + month.L + 1, month.Y, QStringLiteral("20"));
  Text(canvas, year.X + year.L + 1, year.Y, QStringLiteral("р."));
  return places;
}

TFieldPlaces RedrawBlankImitation(QImage &imgBlank, const TLayout &layout, int currentGrade, bool backSide)
{
  const QSize size = BlankImageSize(layout);
  if (imgBlank.size() != size) {
    const QImage::Format format = imgBlank.isNull() ? QImage::Format_RGB32 : imgBlank.format();
    imgBlank = size.isEmpty() ? QImage() : QImage(size, format);
  }
  // A page of no size still places the fields; it draws on a scratch pixel.
  QImage scratch;
  if (imgBlank.isNull())
    scratch = QImage(1, 1, QImage::Format_RGB32);
  QImage &target = imgBlank.isNull() ? scratch : imgBlank;
  target.fill(Qt::white);
  QPainter canvas(&target);
  return backSide ? DrawBlankBack(canvas, layout, currentGrade) : DrawBlankSpread(canvas, layout, currentGrade);
}
