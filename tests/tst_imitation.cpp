// The grey imitation of the blank: where its words and rows land on the
// preview for both grades and both sides, how they follow the layout lines,
// its colour and fonts, and where the in-place input fields go.

#include "TestCanvasRecorder.h"
#include "layout/uLayout.h"
#include "render/MyCanvasUtils.h"
#include "render/uBlankImitation.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

enum class TSide { Spread, Back };

/// A word of the blank as the form has it: its cell's left edge at x mm, or
/// centred on FioCentreX, and its cell bottom on y mm.
struct TWord
{
  QString Text;
  double XMm;
  double YMm;
  bool Centred = false;
};

using TWords = QList<TWord>;

TWord Centred(const QString &text, double yMm)
{
  return TWord{text, 0, yMm, true};
}

/// A layout edit: a dialog field and its new text.
using TEdits = QList<QPair<QString, QString>>;

/// A layout in which every item the imitation reads sits somewhere other
/// than its default, and the X values it reads differ wherever the layout
/// lets them (AwardLine follows FacultFirstLine).
const TEdits Moved = {
    {"edSeriaX", "32"},
    {"edSeriaY", "23.5"},
    {"edFio1X", "7"},
    {"edLeftGenderY_9", "45"},
    {"edGodX_9", "33"},
    {"edGodY_9", "46"},
    {"edLeftGenderX_11", "16"},
    {"edLeftGenderY_11", "45.5"},
    {"edGodX_11", "13"},
    {"edGodY_11", "51"},
    {"edRightGenderX", "122"},
    {"edRightGenderY", "88"},
    {"edLeftFirstSubjX", "6"},
    {"edLeftFirstSubjY", "80"},
    {"edLeftFirstMarkX", "74"},
    {"edRightFirstSubjX", "108"},
    {"edRightFirstMarkX", "177"},
    {"edBackTopGenderX", "40"},
    {"edBackTopGenderY", "19"},
    {"edFacultX", "16"},
    {"edFacultFirstY", "30"},
    {"edGet1Y", "60"},
    {"edAwardY", "78"},
    {"edDirector9X", "39"},
    {"edDirector9Y", "100"},
    {"edRegNum9X", "57"},
    {"edRegNum9Y", "132"},
    {"edZaX", "20"},
    {"edZaY", "57"},
    {"edMedalluX", "12"},
    {"edMedalluY", "71"},
    {"edMedalluGenderY", "65"},
    {"edAward11X", "29"},
    {"edAward11Y", "84"},
    {"edBack11LowerGenderY", "90"},
    {"edDirector11X", "36"},
    {"edDirector11Y", "104"},
    {"edRegNum11X", "53"},
    {"edRegNum11Y", "133"},
    {"edMonthX", "31"},
    {"edDateY", "119"},
    {"edYearX", "64"},
};

void ApplyEdits(TLayout &layout, const TEdits &edits)
{
  for (const auto &[field, text] : edits) {
    QVERIFY2(TLayout::FieldNames().contains(field), qPrintable(field));
    layout.SetFieldText(field, text);
  }
  layout.DialogToLayout();
}

int PxX(double mm)
{
  return RoundHalfEven(mm * ScreenScaleX);
}

int PxY(double mm)
{
  return RoundHalfEven(mm * ScreenScaleY);
}

/// A text as drawn: its cell's left edge, bottom and width in pixels.
struct TDrawnText
{
  QString Text;
  double Left;
  double Bottom;
  int Width;
  QFont Font;
  QColor Colour;
};

/// What one drawing pass put on a 96 dpi recording device.
struct TPass
{
  QList<TDrawnText> Texts;
  QList<QLine> Lines;
  QList<QColor> LineColours;
  TFieldPlaces Places;
};

TPass Draw(TSide side, int grade, const TEdits &edits = {})
{
  TLayout layout;
  ApplyEdits(layout, edits);
  TRecordingDevice device(96);
  TPass pass;
  {
    QPainter painter(&device);
    pass.Places =
        side == TSide::Spread ? DrawBlankSpread(painter, layout, grade) : DrawBlankBack(painter, layout, grade);
  }
  for (const TRecordingEngine::TText &text : device.Engine().Texts) {
    const QFontMetrics metrics(text.Font, &device);
    pass.Texts.append({text.Text, text.Baseline.x(), text.Baseline.y() + metrics.descent(),
                       metrics.horizontalAdvance(text.Text), text.Font, text.Colour});
  }
  for (const TRecordingEngine::TLine &line : device.Engine().Lines) {
    pass.Lines.append(line.Line.toLine());
    pass.LineColours.append(line.Colour);
  }
  return pass;
}

bool Matches(const TDrawnText &drawn, const TWord &word)
{
  if (drawn.Text != word.Text || drawn.Bottom != PxY(word.YMm))
    return false;
  if (word.Centred)
    return std::abs(drawn.Left + drawn.Width / 2.0 - FioCentreX * ScreenScaleX) <= 0.5;
  return drawn.Left == PxX(word.XMm);
}

/// Pairs every expected word with a drawn text at its place; describes the
/// words that are missing and the texts that nobody expected.
QString CompareWords(QList<TDrawnText> drawn, const TWords &expected)
{
  QStringList problems;
  for (const TWord &word : expected) {
    const auto it = std::find_if(drawn.begin(), drawn.end(), [&](const TDrawnText &d) { return Matches(d, word); });
    if (it == drawn.end())
      problems << QStringLiteral("missing \"%1\" at %2 mm, %3 mm")
                      .arg(word.Text, word.Centred ? QStringLiteral("centre") : QString::number(word.XMm))
                      .arg(word.YMm);
    else
      drawn.erase(it);
  }
  for (const TDrawnText &d : drawn)
    problems << QStringLiteral("unexpected \"%1\" at pixel %2, bottom %3").arg(d.Text).arg(d.Left).arg(d.Bottom);
  return problems.join(QLatin1String("; "));
}

/// Where a grey line spans x .. x + l mm at y mm, in pixels.
QLine LinePx(int xMm, int lMm, double yMm)
{
  return QLine(PxX(xMm), PxY(yMm), PxX(xMm + lMm), PxY(yMm));
}

/// The grey lines of a table of `rows` evenly spaced rows from firstY to
/// lastY. The layout lines stand for the first row's subject line, for its
/// mark line unless `firstMark`, and for the last row's subject line unless
/// `lastSubject`.
QList<QLine> TableLines(TLinePos subject, TLinePos mark, double firstY, double lastY, int rows, bool firstMark,
                        bool lastSubject)
{
  QList<QLine> lines;
  const double pitch = (lastY - firstY) / (rows - 1);
  if (firstMark)
    lines << LinePx(mark.X, mark.L, firstY);
  for (int k = 1; k < rows; ++k) {
    const double y = firstY + k * pitch;
    if (k < rows - 1 || lastSubject)
      lines << LinePx(subject.X, subject.L, y);
    lines << LinePx(mark.X, mark.L, y);
  }
  return lines;
}

QList<QLine> Sorted(QList<QLine> lines)
{
  std::sort(lines.begin(), lines.end(), [](const QLine &a, const QLine &b) {
    return std::tuple(a.y1(), a.x1(), a.x2(), a.y2()) < std::tuple(b.y1(), b.x1(), b.x2(), b.y2());
  });
  return lines;
}

std::optional<QPoint> Field(const TFieldPlaces &places, const QString &name)
{
  if (name == QLatin1String("mmFacults"))
    return places.mmFacults;
  if (name == QLatin1String("edGet"))
    return places.edGet;
  if (name == QLatin1String("edMedal"))
    return places.edMedal;
  if (name == QLatin1String("edAward"))
    return places.edAward;
  if (name == QLatin1String("edDirector"))
    return places.edDirector;
  if (name == QLatin1String("edRegNum"))
    return places.edRegNum;
  if (name == QLatin1String("mmDPA"))
    return places.mmDPA;
  qFatal("no field %s", qPrintable(name));
}

QImage Redraw(TSide side, int grade, QImage image = QImage())
{
  TLayout layout;
  layout.DialogToLayout();
  RedrawBlankImitation(image, layout, grade, side == TSide::Back);
  return image;
}

const QString Subject = QStringLiteral("назва предмета");
const QString Mark = QStringLiteral("бал");

} // namespace

Q_DECLARE_METATYPE(TSide)
Q_DECLARE_METATYPE(TWords)
Q_DECLARE_METATYPE(TEdits)

class TestImitation : public QObject
{
  Q_OBJECT

  double FSavedZoom = 0;
  double FSavedScaleX = 0;
  double FSavedScaleY = 0;
  int FSavedCentreX = 0;

private slots:
  void initTestCase()
  {
    if (ScreenPixelsPerInch() != 96.0)
      QSKIP("needs a 96 dpi screen, such as the offscreen platform");
  }

  void init()
  {
    FSavedZoom = ZoomFactor;
    FSavedScaleX = ScreenScaleX;
    FSavedScaleY = ScreenScaleY;
    FSavedCentreX = FioCentreX;
    ZoomFactor = 1.0;
    UpdateScreenScale();
    QCOMPARE(ScreenScaleX, 96.0 / 25.4);
  }

  void cleanup()
  {
    ZoomFactor = FSavedZoom;
    ScreenScaleX = FSavedScaleX;
    ScreenScaleY = FSavedScaleY;
    FioCentreX = FSavedCentreX;
  }

  // Every word of each side and grade, and nothing else, at its place: on
  // the default layout and on one where every line the words follow has
  // moved. Positions are in mm as the form places them.
  void words_data()
  {
    QTest::addColumn<TSide>("side");
    QTest::addColumn<int>("grade");
    QTest::addColumn<TEdits>("edits");
    QTest::addColumn<TWords>("words");

    const TWords spreadCommon = {
        {"№", 41, 22},
        {"з такими балами:", 5, 67},
        {Subject, 23, 72},
        {Mark, 85, 72},
        {"Пройш", 107, 86},
        {"державну підсумкову атестацію", 128, 86},
        {"з таких предметів:", 107, 90},
        {Subject, 125, 104},
        {Mark, 187, 104},
    };
    QTest::newRow("spread, 9th") << TSide::Spread << 1 << TEdits()
                                 << TWords{
                                        Centred("ДОДАТОК ДО СВІДОЦТВА", 13),
                                        Centred("про базову загальну середню освіту", 18),
                                        {"закінчи", 5, 44},
                                        {"у 20", 24, 44},
                                        {"році", 39, 44},
                                    } + spreadCommon;
    QTest::newRow("spread, 11th") << TSide::Spread << 2 << TEdits()
                                  << TWords{
                                         Centred("ДОДАТОК ДО АТЕСТАТА", 13),
                                         Centred("про повну загальну середню освіту", 18),
                                         {"здобу", 5, 44},
                                         {"повну загальну середню освіту", 21, 44},
                                         {"в 20", 5, 50},
                                         {"році у", 20, 50},
                                     } + spreadCommon;

    const TWords backCommon = {
        {"Успішно засвої", 14, 18},
        {"програму факультативних", 48, 18},
        {"курсів:", 14, 22},
        {"20", 59, 118},
        {"р.", 71, 118},
    };
    QTest::newRow("back, 9th") << TSide::Back << 1 << TEdits()
                               << TWords{
                                      {"За високі досягнення у навчанні одержа", 14, 59},
                                      {"За особливі досягнення у вивченні", 14, 72},
                                      {"нагороджен", 64, 77},
                                      {"Директор", 14, 99},
                                      {"Реєстраційний номер", 21, 131},
                                  } + backCommon;
    QTest::newRow("back, 11th") << TSide::Back << 2 << TEdits()
                                << TWords{
                                       {"За", 14, 58},
                                       {"досягнення у", 69, 58},
                                       {"навчанні нагороджен", 14, 64},
                                       {"медаллю", 59, 70},
                                       {"За особливі досягнення у", 14, 77},
                                       {"вивченні", 14, 83},
                                       {"нагороджен", 14, 89},
                                       {"Директор", 14, 103},
                                       {"Реєстраційний номер", 21, 131},
                                   } + backCommon;

    // The headings of the left table stay on 72 mm although its first row
    // moved to 80 mm.
    const TWords movedSpreadCommon = {
        {"№", 43, 23.5},
        {"з такими балами:", 7, 67},
        {Subject, 24, 72},
        {Mark, 86, 72},
        {"Пройш", 108, 88},
        {"державну підсумкову атестацію", 130, 88},
        {"з таких предметів:", 108, 92},
        {Subject, 126, 106},
        {Mark, 189, 106},
    };
    QTest::newRow("moved spread, 9th") << TSide::Spread << 1 << Moved
                                       << TWords{
                                              Centred("ДОДАТОК ДО СВІДОЦТВА", 13),
                                              Centred("про базову загальну середню освіту", 18),
                                              {"закінчи", 7, 45},
                                              {"у 20", 26, 46},
                                              {"році", 41, 46},
                                          } + movedSpreadCommon;
    QTest::newRow("moved spread, 11th") << TSide::Spread << 2 << Moved
                                        << TWords{
                                               Centred("ДОДАТОК ДО АТЕСТАТА", 13),
                                               Centred("про повну загальну середню освіту", 18),
                                               {"здобу", 7, 45.5},
                                               {"повну загальну середню освіту", 22, 45.5},
                                               {"в 20", 6, 51},
                                               {"році у", 21, 51},
                                           } + movedSpreadCommon;

    const TWords movedBackCommon = {
        {"Успішно засвої", 16, 19},
        {"програму факультативних", 50, 19},
        {"курсів:", 16, 23},
        {"20", 60, 119},
        {"р.", 72, 119},
    };
    QTest::newRow("moved back, 9th") << TSide::Back << 1 << Moved
                                     << TWords{
                                            {"За високі досягнення у навчанні одержа", 16, 60},
                                            {"За особливі досягнення у вивченні", 16, 73},
                                            {"нагороджен", 66, 78},
                                            {"Директор", 16, 100},
                                            {"Реєстраційний номер", 21, 132},
                                        } + movedBackCommon;
    QTest::newRow("moved back, 11th") << TSide::Back << 2 << Moved
                                      << TWords{
                                             {"За", 16, 57},
                                             {"досягнення у", 70, 57},
                                             {"навчанні нагороджен", 16, 65},
                                             {"медаллю", 57, 71},
                                             {"За особливі досягнення у", 16, 78},
                                             {"вивченні", 16, 84},
                                             {"нагороджен", 16, 90},
                                             {"Директор", 12, 104},
                                             {"Реєстраційний номер", 21, 133},
                                         } + movedBackCommon;
  }

  void words()
  {
    QFETCH(TSide, side);
    QFETCH(int, grade);
    QFETCH(TEdits, edits);
    QFETCH(TWords, words);
    const TPass pass = Draw(side, grade, edits);
    const QString problems = CompareWords(pass.Texts, words);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
  }

  // The title in pixels, not through the word table's own conversion: its
  // cell's middle on 54 mm (204.09 px), its bottom on 13 mm (49.13 px).
  void titleCentredOnTheNameColumn()
  {
    const TPass pass = Draw(TSide::Spread, 1);
    const auto it = std::find_if(pass.Texts.begin(), pass.Texts.end(),
                                 [](const TDrawnText &t) { return t.Text == QStringLiteral("ДОДАТОК ДО СВІДОЦТВА"); });
    QVERIFY(it != pass.Texts.end());
    QCOMPARE(FioCentreX, 54);
    QVERIFY2(std::abs(it->Left + it->Width / 2.0 - 204.09) <= 0.51,
             qPrintable(QStringLiteral("left %1, width %2").arg(it->Left).arg(it->Width)));
    QCOMPARE(it->Bottom, 49.0);
  }

  // Moving RightGenderLine down 2 mm takes its words and the ДПА headings
  // along; the grey rows (the ДПА rows follow DpaFirstY) and mmDPA stay.
  void rightGenderLineMovesItsWordsOnly()
  {
    const TPass before = Draw(TSide::Spread, 1);
    const TPass after = Draw(TSide::Spread, 1, {{"edRightGenderY", "88"}});
    // The words of the right page that hang on RightGenderLine, with their
    // line in mm before the move; the left table's headings share two of
    // the texts but lie left of the right page.
    const QList<QPair<QString, double>> moving = {
        {"Пройш", 86}, {"державну підсумкову атестацію", 86}, {"з таких предметів:", 90}, {Subject, 104}, {Mark, 104},
    };
    const auto movingY = [&](const TDrawnText &text) -> std::optional<double> {
      for (const auto &[word, yMm] : moving)
        if (text.Text == word && text.Left >= PxX(107))
          return yMm;
      return std::nullopt;
    };
    int moved = 0;
    QCOMPARE(after.Texts.size(), before.Texts.size());
    for (int i = 0; i < before.Texts.size(); ++i) {
      const TDrawnText &b = before.Texts.at(i);
      const TDrawnText &a = after.Texts.at(i);
      QCOMPARE(a.Text, b.Text);
      QCOMPARE(a.Left, b.Left);
      if (const std::optional<double> yMm = movingY(b)) {
        QCOMPARE(b.Bottom, double(PxY(*yMm)));
        QCOMPARE(a.Bottom, double(PxY(*yMm + 2)));
        ++moved;
      } else {
        QCOMPARE(a.Bottom, b.Bottom);
      }
    }
    QCOMPARE(moved, moving.size());
    QCOMPARE(Sorted(after.Lines), Sorted(before.Lines));
    QCOMPARE(after.Places.mmDPA, before.Places.mmDPA);
  }

  // The grey rows: twelve rows in each subject table whatever its ends, six
  // ДПА rows from DpaFirstY to LeftLastY, and the electives' three middle
  // lines on the back side; the same for both grades.
  void lines_data()
  {
    QTest::addColumn<TSide>("side");
    QTest::addColumn<int>("grade");
    QTest::addColumn<TEdits>("edits");
    QTest::addColumn<QList<QLine>>("lines");

    const auto spread = [](TLinePos leftSubj, TLinePos leftMark, double leftLastY, TLinePos rightSubj,
                           TLinePos rightMark, double rightLastY, double dpaFirstY) {
      // No layout line lies at the ДПА table's last row: the average's row.
      return TableLines(leftSubj, leftMark, leftSubj.Y, leftLastY, 12, false, false) +
             TableLines(rightSubj, rightMark, rightSubj.Y, rightLastY, 12, false, false) +
             TableLines(rightSubj, rightMark, dpaFirstY, leftLastY, 6, true, true);
    };
    const TLinePos leftSubj{5, 63, 78}, leftMark{73, 30, 78};
    const TLinePos rightSubj{107, 63, 17}, rightMark{175, 30, 17};
    const QList<QLine> spreadDefault = spread(leftSubj, leftMark, 138, rightSubj, rightMark, 77, 110);
    QTest::newRow("spread, 9th") << TSide::Spread << 1 << TEdits() << spreadDefault;
    QTest::newRow("spread, 11th") << TSide::Spread << 2 << TEdits() << spreadDefault;
    QTest::newRow("left table shorter") << TSide::Spread << 1 << TEdits{{"edLeftLastY", "120"}}
                                        << spread(leftSubj, leftMark, 120, rightSubj, rightMark, 77, 110);
    QTest::newRow("left table moved right and down")
        << TSide::Spread << 1
        << TEdits{{"edLeftFirstSubjX", "8"}, {"edLeftFirstSubjY", "80.5"}, {"edLeftFirstMarkX", "76"}}
        << spread({8, 63, 80.5}, {76, 30, 80.5}, 138, rightSubj, rightMark, 77, 110);
    QTest::newRow("right table moved") << TSide::Spread << 1
                                       << TEdits{{"edRightFirstSubjX", "104"},
                                                 {"edRightFirstSubjY", "20"},
                                                 {"edRightFirstMarkX", "172"},
                                                 {"edRightLastY", "83"}}
                                       << spread(leftSubj, leftMark, 138, {104, 63, 20}, {172, 30, 20}, 83, 110);
    QTest::newRow("ДПА rows from 100 mm") << TSide::Spread << 1 << TEdits{{"edDpaFirstY", "100"}}
                                          << spread(leftSubj, leftMark, 138, rightSubj, rightMark, 77, 100);

    QTest::newRow("back, 9th") << TSide::Back << 1 << TEdits()
                               << QList<QLine>{LinePx(14, 75, 34.25), LinePx(14, 75, 39.5), LinePx(14, 75, 44.75)};
    QTest::newRow("back, 11th") << TSide::Back << 2 << TEdits()
                                << QList<QLine>{LinePx(14, 75, 34.25), LinePx(14, 75, 39.5), LinePx(14, 75, 44.75)};
    QTest::newRow("back, electives moved")
        << TSide::Back << 1 << TEdits{{"edFacultX", "20"}, {"edFacultFirstY", "30"}, {"edFacultLastY", "62"}}
        << QList<QLine>{LinePx(20, 75, 38), LinePx(20, 75, 46), LinePx(20, 75, 54)};
  }

  void lines()
  {
    QFETCH(TSide, side);
    QFETCH(int, grade);
    QFETCH(TEdits, edits);
    QFETCH(QList<QLine>, lines);
    const TPass pass = Draw(side, grade, edits);
    QCOMPARE(pass.Lines.size(), lines.size());
    QCOMPARE(Sorted(pass.Lines), Sorted(lines));
  }

  // The 12 rows of the left table at 96 dpi, in pixels: 78 mm + k x 60/11.
  void leftTableRowsInPixels()
  {
    const TPass pass = Draw(TSide::Spread, 1);
    QList<int> subjectRows, markRows;
    for (const QLine &line : pass.Lines) {
      if (line.x1() == 19 && line.x2() == 257)
        subjectRows << line.y1();
      else if (line.x1() == 276 && line.x2() == 389)
        markRows << line.y1();
    }
    // Row 1 (295) and the last subject line (522) belong to the layout.
    QCOMPARE(subjectRows, (QList<int>{315, 336, 357, 377, 398, 418, 439, 460, 480, 501}));
    QCOMPARE(markRows, (QList<int>{315, 336, 357, 377, 398, 418, 439, 460, 480, 501, 522}));
  }

  // The fields' top-left corners in preview pixels: 5 mm above their line,
  // except the 9th grade's edGet, which lies on Get1Line.
  void fieldPlaces_data()
  {
    QTest::addColumn<TSide>("side");
    QTest::addColumn<int>("grade");
    QTest::addColumn<TEdits>("edits");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("placed");
    QTest::addColumn<double>("xMm");
    QTest::addColumn<double>("yMm");

    const auto row = [](const char *name, TSide side, int grade, const TEdits &edits, const char *field, bool placed,
                        double x = 0, double y = 0) {
      QTest::newRow(name) << side << grade << edits << QString::fromLatin1(field) << placed << x << y;
    };
    const TSide S = TSide::Spread;
    const TSide B = TSide::Back;
    row("back 9: mmFacults", B, 1, {}, "mmFacults", true, 14, 24);
    row("back 9: edGet on Get1Line", B, 1, {}, "edGet", true, 14, 59);
    row("back 9: no edMedal", B, 1, {}, "edMedal", false);
    row("back 9: edAward", B, 1, {}, "edAward", true, 14, 72);
    row("back 9: edDirector", B, 1, {}, "edDirector", true, 38, 94);
    row("back 9: edRegNum", B, 1, {}, "edRegNum", true, 56, 126);
    row("back 9: no mmDPA", B, 1, {}, "mmDPA", false);
    row("back 11: mmFacults", B, 2, {}, "mmFacults", true, 14, 24);
    row("back 11: edGet above ZaLine", B, 2, {}, "edGet", true, 19, 53);
    row("back 11: edMedal", B, 2, {}, "edMedal", true, 14, 65);
    row("back 11: edAward", B, 2, {}, "edAward", true, 31, 78);
    row("back 11: edDirector", B, 2, {}, "edDirector", true, 37, 98);
    row("back 11: edRegNum", B, 2, {}, "edRegNum", true, 54, 126);
    row("back 11: no mmDPA", B, 2, {}, "mmDPA", false);
    row("spread 9: mmDPA", S, 1, {}, "mmDPA", true, 107, 105);
    row("spread 11: mmDPA", S, 2, {}, "mmDPA", true, 107, 105);
    for (const char *field : {"mmFacults", "edGet", "edMedal", "edAward", "edDirector", "edRegNum"})
      row(qPrintable(QStringLiteral("spread: no %1").arg(QLatin1String(field))), S, 1, {}, field, false);

    row("moved back 9: mmFacults", B, 1, Moved, "mmFacults", true, 16, 25);
    row("moved back 9: edGet", B, 1, Moved, "edGet", true, 16, 60);
    row("moved back 9: edAward", B, 1, Moved, "edAward", true, 16, 73);
    row("moved back 9: edDirector", B, 1, Moved, "edDirector", true, 39, 95);
    row("moved back 9: edRegNum", B, 1, Moved, "edRegNum", true, 57, 127);
    row("moved back 11: edGet", B, 2, Moved, "edGet", true, 20, 52);
    row("moved back 11: edMedal", B, 2, Moved, "edMedal", true, 12, 66);
    row("moved back 11: edAward", B, 2, Moved, "edAward", true, 32, 79);
    row("moved back 11: edDirector", B, 2, Moved, "edDirector", true, 36, 99);
    row("moved back 11: edRegNum", B, 2, Moved, "edRegNum", true, 53, 128);
    row("moved spread: mmDPA", S, 1, Moved, "mmDPA", true, 108, 105);
    row("mmDPA follows DpaFirstY", S, 1, {{"edDpaFirstY", "100"}}, "mmDPA", true, 107, 95);
  }

  void fieldPlaces()
  {
    QFETCH(TSide, side);
    QFETCH(int, grade);
    QFETCH(TEdits, edits);
    QFETCH(QString, field);
    QFETCH(bool, placed);
    QFETCH(double, xMm);
    QFETCH(double, yMm);
    const std::optional<QPoint> place = Field(Draw(side, grade, edits).Places, field);
    QCOMPARE(place.has_value(), placed);
    if (placed)
      QCOMPARE(*place, QPoint(PxX(xMm), PxY(yMm)));
  }

  // At 96 dpi and zoom 1, mmFacults lies at 14 mm, 24 mm: 52.91 and 90.71 px.
  void fieldPlaceInPixels() { QCOMPARE(Draw(TSide::Back, 1).Places.mmFacults, std::optional<QPoint>(QPoint(53, 91))); }

  // Silver, "Times New Roman", bold; italic for "Директор" alone. The
  // spread's 11 points and the back's 13-pixel character height follow the
  // zoom.
  void fontsAndColour_data()
  {
    QTest::addColumn<TSide>("side");
    QTest::addColumn<int>("grade");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("pixels");
    QTest::newRow("spread 9th, zoom 1") << TSide::Spread << 1 << 1.0 << 15;
    QTest::newRow("spread 11th, zoom 1") << TSide::Spread << 2 << 1.0 << 15;
    QTest::newRow("spread, zoom 0.5 (7.5)") << TSide::Spread << 1 << 0.5 << 8;
    QTest::newRow("back 9th, zoom 1") << TSide::Back << 1 << 1.0 << 13;
    QTest::newRow("back 11th, zoom 1") << TSide::Back << 2 << 1.0 << 13;
    QTest::newRow("back, zoom 0.5 (6.5)") << TSide::Back << 2 << 0.5 << 6;
    QTest::newRow("back, zoom 1.5 (19.5)") << TSide::Back << 1 << 1.5 << 20;
  }

  void fontsAndColour()
  {
    QFETCH(TSide, side);
    QFETCH(int, grade);
    QFETCH(double, zoom);
    QFETCH(int, pixels);
    ZoomFactor = zoom;
    UpdateScreenScale();
    const TPass pass = Draw(side, grade);
    QVERIFY(!pass.Texts.isEmpty());
    QVERIFY(!pass.Lines.isEmpty());
    int directors = 0;
    for (const TDrawnText &text : pass.Texts) {
      QCOMPARE(text.Font.family(), QStringLiteral("Times New Roman"));
      QCOMPARE(text.Font.pixelSize(), pixels);
      QVERIFY(text.Font.bold());
      const bool director = text.Text == QStringLiteral("Директор");
      directors += director;
      QCOMPARE(text.Font.italic(), director);
      QCOMPARE(text.Colour, QColor(192, 192, 192));
    }
    QCOMPARE(directors, side == TSide::Back ? 1 : 0);
    for (const QColor &colour : pass.LineColours)
      QCOMPARE(colour, QColor(192, 192, 192));
  }

  // On a real image: the page's size at the screen scale, white, and every
  // other pixel a grey no darker than silver, with fully inked ones silver.
  void imageIsSilverOnWhite_data()
  {
    QTest::addColumn<TSide>("side");
    QTest::addColumn<int>("grade");
    QTest::newRow("spread, 9th") << TSide::Spread << 1;
    QTest::newRow("back, 11th") << TSide::Back << 2;
  }

  void imageIsSilverOnWhite()
  {
    QFETCH(TSide, side);
    QFETCH(int, grade);
    QImage dirty(50, 50, QImage::Format_RGB32);
    dirty.fill(Qt::black);
    const QImage image = Redraw(side, grade, dirty);
    QCOMPARE(image.size(), QSize(794, 559));
    int darkest = 255;
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        QVERIFY(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel));
        darkest = std::min(darkest, qRed(pixel));
        inked += qRed(pixel) != 255;
      }
    QCOMPARE(darkest, 192);
    QVERIFY(inked > 1000);
    QCOMPARE(image.pixel(100, 0), qRgb(255, 255, 255));
  }

  // The image takes the page's size at the zoom; a page of no size leaves
  // no image but still places the fields.
  void imageSize_data()
  {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<TEdits>("edits");
    QTest::addColumn<QSize>("size");
    QTest::newRow("210 x 148 at zoom 1") << 1.0 << TEdits() << QSize(794, 559);
    QTest::newRow("210 x 148 at zoom 0.5") << 0.5 << TEdits() << QSize(397, 280);
    QTest::newRow("200 x 140 at zoom 1") << 1.0 << TEdits{{"edPageWidth", "200"}, {"edPageHeight", "140"}}
                                         << QSize(756, 529);
    QTest::newRow("no width") << 1.0 << TEdits{{"edPageWidth", "0"}} << QSize(0, 0);
  }

  void imageSize()
  {
    QFETCH(double, zoom);
    QFETCH(TEdits, edits);
    QFETCH(QSize, size);
    ZoomFactor = zoom;
    UpdateScreenScale();
    TLayout layout;
    ApplyEdits(layout, edits);
    QCOMPARE(BlankImageSize(layout).isEmpty(), size.isEmpty());
    QImage image(10, 10, QImage::Format_RGB32);
    const TFieldPlaces places = RedrawBlankImitation(image, layout, 2, true);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.isNull(), size.isEmpty());
    QCOMPARE(places.edMedal, std::optional<QPoint>(QPoint(PxX(14), PxY(65))));
  }

  // A redraw leaves nothing of the grade or side drawn before it.
  void redrawStartsFromWhite_data()
  {
    QTest::addColumn<TSide>("sideBefore");
    QTest::addColumn<int>("gradeBefore");
    QTest::addColumn<TSide>("side");
    QTest::addColumn<int>("grade");
    QTest::newRow("spread 9th, then 11th") << TSide::Spread << 1 << TSide::Spread << 2;
    QTest::newRow("back 11th, then 9th") << TSide::Back << 2 << TSide::Back << 1;
    QTest::newRow("spread, then back") << TSide::Spread << 1 << TSide::Back << 1;
    QTest::newRow("back, then spread") << TSide::Back << 1 << TSide::Spread << 1;
  }

  void redrawStartsFromWhite()
  {
    QFETCH(TSide, sideBefore);
    QFETCH(int, gradeBefore);
    QFETCH(TSide, side);
    QFETCH(int, grade);
    const QImage before = Redraw(sideBefore, gradeBefore);
    const QImage fresh = Redraw(side, grade);
    QVERIFY(before != fresh);
    QCOMPARE(Redraw(side, grade, before), fresh);
  }

  // DrawTableRows moves both spans down n pitches, drawing each row.
  void drawTableRows_data()
  {
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<QLine>>("lines");
    QTest::newRow("none") << 0 << QList<QLine>();
    QTest::newRow("one") << 1 << QList<QLine>{LinePx(5, 60, 12.5), LinePx(70, 30, 12.5)};
    QTest::newRow("three") << 3 << QList<QLine>{LinePx(5, 60, 12.5), LinePx(70, 30, 12.5), LinePx(5, 60, 15),
                                                LinePx(70, 30, 15),  LinePx(5, 60, 17.5),  LinePx(70, 30, 17.5)};
  }

  void drawTableRows()
  {
    QFETCH(int, n);
    QFETCH(QList<QLine>, lines);
    TRecordingDevice device(96);
    TLinePos subject{5, 60, 10};
    TLinePos mark{70, 30, 10};
    {
      QPainter painter(&device);
      DrawTableRows(painter, subject, mark, 2.5, n);
    }
    QList<QLine> drawn;
    for (const TRecordingEngine::TLine &line : device.Engine().Lines)
      drawn << line.Line.toLine();
    QCOMPARE(drawn, lines);
    QCOMPARE(subject.Y, 10 + 2.5 * n);
    QCOMPARE(mark.Y, 10 + 2.5 * n);
    QCOMPARE(subject.X, 5);
    QCOMPARE(mark.L, 30);
  }
};

QTEST_MAIN(TestImitation)
#include "tst_imitation.moc"
