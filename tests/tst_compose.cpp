// The spread and the back side composed onto a recording 1200-dpi "printer":
// every text is checked in millimetres (left edge, cell bottom) against the
// default layout's positions.

#include "layout/uLayout.h"
#include "print/MyPrinterUtils.h"
#include "render/uCompose.h"

#include "TestCanvasRecorder.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QTest>

#include <memory>
#include <optional>

namespace {

constexpr int Dpi = 1200;
constexpr double Tolerance = 0.03; // mm

/// One composed text, in millimetres.
struct TPlaced
{
  QString Text;
  double Left = 0;
  double Right = 0;
  double Bottom = 0;
  QFont Font;
};

QList<TPlaced> Placed(TRecordingDevice &device)
{
  QList<TPlaced> placed;
  for (const TRecordingEngine::TText &text : device.Engine().Texts) {
    const QFontMetricsF metrics(text.Font, &device);
    TPlaced p;
    p.Text = text.Text;
    p.Left = text.Baseline.x() * 25.4 / Dpi;
    p.Right = (text.Baseline.x() + metrics.horizontalAdvance(text.Text)) * 25.4 / Dpi;
    p.Bottom = (text.Baseline.y() + metrics.descent()) * 25.4 / Dpi;
    p.Font = text.Font;
    placed.append(p);
  }
  return placed;
}

std::optional<TPlaced> Find(const QList<TPlaced> &placed, const QString &text, int occurrence = 0)
{
  for (const TPlaced &p : placed)
    if (p.Text == text && occurrence-- == 0)
      return p;
  return std::nullopt;
}

#define VERIFY_AT(placed, text, left, bottom)                                                                          \
  do {                                                                                                                 \
    const auto found_ = Find(placed, text);                                                                            \
    QVERIFY2(found_, qPrintable(QStringLiteral("missing: ") + (text)));                                                \
    QVERIFY2(qAbs(found_->Left - (left)) < Tolerance && qAbs(found_->Bottom - (bottom)) < Tolerance,                   \
             qPrintable(QStringLiteral("%1 at %2, %3 instead of %4, %5")                                               \
                            .arg(text)                                                                                 \
                            .arg(found_->Left)                                                                         \
                            .arg(found_->Bottom)                                                                       \
                            .arg(double(left))                                                                         \
                            .arg(double(bottom))));                                                                    \
  } while (false)

#define VERIFY_CENTRED(placed, text, centre, bottom)                                                                   \
  do {                                                                                                                 \
    const auto found_ = Find(placed, text);                                                                            \
    QVERIFY2(found_, qPrintable(QStringLiteral("missing: ") + (text)));                                                \
    QVERIFY2(qAbs((found_->Left + found_->Right) / 2 - (centre)) < Tolerance &&                                        \
                 qAbs(found_->Bottom - (bottom)) < Tolerance,                                                          \
             qPrintable(QStringLiteral("%1 centred at %2").arg(text).arg((found_->Left + found_->Right) / 2)));        \
  } while (false)

// Default layout values used below (millimetres).
constexpr double LeftPitch = 60.0 / 11;  // (138 - 78) / 11
constexpr double RightPitch = 60.0 / 11; // (77 - 17) / 11
constexpr double DpaPitch = 5.6;         // (138 - 110) / 5

QStringList Subjects(int count)
{
  QStringList names;
  for (int i = 0; i < count; ++i)
    names << QStringLiteral("Предмет %1").arg(i);
  return names;
}

TPupil Pupil(int marks, const QString &mark = QStringLiteral("10"))
{
  TPupil pupil;
  pupil.FIO = QStringLiteral("Коваленко Олена Петрівна");
  pupil.Gender = QStringLiteral("ж");
  pupil.Seria = QStringLiteral("ВК");
  pupil.Number = QStringLiteral("47123456");
  for (int i = 0; i < marks; ++i)
    pupil.Marks << mark;
  pupil.AvgMark = QStringLiteral("10,5");
  pupil.AvgPoints = QStringLiteral("186");
  return pupil;
}

} // namespace

class TestCompose : public QObject
{
  Q_OBJECT

private:
  std::unique_ptr<TLayout> FLayout;
  TFontSet FFonts;
  TCommonData FCommon;
  QStringList FSubjects;
  QStringList FDpaSubjects;

  struct TRun
  {
    QList<TPlaced> Texts;
    TSpreadOutcome Outcome;
  };

  TRun Spread(const TPupil *pupil, int grade = 1, bool bottom = false, bool top = false)
  {
    TRecordingDevice device(Dpi);
    QPainter painter(&device);
    const TSpreadInput input{*FLayout, FFonts, FCommon, grade, pupil, FSubjects, FDpaSubjects, bottom, top};
    TRun run;
    run.Outcome = ComposeSpread(painter, dtPrinter, input);
    painter.end();
    run.Texts = Placed(device);
    return run;
  }

  QList<TPlaced> Back(const TBackSideInput &input)
  {
    TRecordingDevice device(Dpi);
    QPainter painter(&device);
    ComposeBackSide(painter, dtPrinter, input);
    painter.end();
    return Placed(device);
  }

  TBackSideInput BackInput(int grade)
  {
    TBackSideInput input{*FLayout, FFonts, grade};
    input.IssueDate = QDate(2013, 3, 5);
    return input;
  }

private slots:
  void initTestCase()
  {
    PrinterDpiX = PrinterDpiY = Dpi;
    PrinterOffsetLeft = PrinterOffsetTop = 0;
  }

  void init()
  {
    // A fresh default layout for every case.
    FLayout = std::make_unique<TLayout>();
    FLayout->DialogToLayout();
    FFonts = TFontSet();
    FCommon = TCommonData();
    FSubjects = Subjects(14);
    FDpaSubjects = QStringList{QStringLiteral("Українська мова"), QStringLiteral("Математика")};
  }

  void seriesNameAndEnding()
  {
    const TPupil pupil = Pupil(1);
    const TRun run = Spread(&pupil);
    VERIFY_AT(run.Texts, QStringLiteral("ВК"), 31, 22);
    VERIFY_AT(run.Texts, QStringLiteral("47123456"), 48, 22);
    VERIFY_CENTRED(run.Texts, QStringLiteral("Коваленко"), 54, 31);
    VERIFY_CENTRED(run.Texts, QStringLiteral("Олена Петрівна"), 54, 38);
    // "закінчи" + "ла", at 11 points bold whatever the name font is.
    VERIFY_AT(run.Texts, QStringLiteral("ла"), 19, 44);
    QCOMPARE(Find(run.Texts, QStringLiteral("ла"))->Font.pointSizeF(), 11.0);
    QVERIFY(Find(run.Texts, QStringLiteral("ла"))->Font.bold());
    QVERIFY(!Find(run.Texts, QStringLiteral("ла"))->Font.italic());
    const TRun eleventh = Spread(&pupil, 2);
    VERIFY_AT(eleventh.Texts, QStringLiteral("ла"), 16, 44);
  }

  void commonBlock_data()
  {
    QTest::addColumn<int>("grade");
    QTest::addColumn<double>("godX");
    QTest::addColumn<double>("godY");
    QTest::addColumn<double>("topX");
    QTest::addColumn<double>("downX");
    QTest::newRow("9th") << 1 << 32.0 << 44.0 << 48.0 << 41.0;
    QTest::newRow("11th") << 2 << 13.0 << 50.0 << 32.0 << 42.0;
  }

  void commonBlock()
  {
    QFETCH(int, grade);
    QFETCH(double, godX);
    QFETCH(double, godY);
    QFETCH(double, topX);
    QFETCH(double, downX);
    FCommon = TCommonData{QStringLiteral("13"),       QStringLiteral("Ліцей №1"), QStringLiteral("м. Києва"),
                          QStringLiteral("верх"),     QStringLiteral("низ"),      QStringLiteral("Ліцеї №1"),
                          QStringLiteral("м. Києві"), QStringLiteral("верх 11"),  QStringLiteral("низ 11")};
    const TRun run = Spread(nullptr, grade);
    // With no pupil only the common block is drawn, and DpaState stays.
    QVERIFY(!run.Outcome.PupilComposed);
    QCOMPARE(run.Texts.size(), 5);
    VERIFY_AT(run.Texts, QStringLiteral("13"), godX, godY);
    const bool ninth = grade == 1;
    VERIFY_CENTRED(run.Texts, ninth ? QStringLiteral("Ліцей №1") : QStringLiteral("Ліцеї №1"), 54, 55);
    VERIFY_CENTRED(run.Texts, ninth ? QStringLiteral("м. Києва") : QStringLiteral("м. Києві"), 54, 61);
    VERIFY_AT(run.Texts, ninth ? QStringLiteral("верх") : QStringLiteral("верх 11"), topX, godY);
    // One school-line pitch below the second school line.
    VERIFY_AT(run.Texts, ninth ? QStringLiteral("низ") : QStringLiteral("низ 11"), downX, 67);
  }

  void tenSubjectsStayOnTheLeftPage()
  {
    FSubjects = Subjects(10);
    const TPupil pupil = Pupil(10);
    const TRun run = Spread(&pupil);
    for (int i = 0; i < 10; ++i) {
      VERIFY_AT(run.Texts, QStringLiteral("Предмет %1").arg(i), 6, 78 + i * LeftPitch);
      QCOMPARE(qAbs(Find(run.Texts, QStringLiteral("десять"), i)->Left - 74) < Tolerance, true);
    }
    for (const TPlaced &p : run.Texts)
      QVERIFY2(p.Left < 100 || p.Bottom > 100, qPrintable(p.Text)); // nothing in the right page's subject rows
  }

  void fourteenSubjects_data()
  {
    QTest::addColumn<bool>("bottom");
    QTest::addColumn<bool>("top");
    QTest::addColumn<int>("firstRight");
    QTest::addColumn<double>("firstRightY");
    QTest::newRow("plain") << false << false << 12 << 17.0;
    QTest::newRow("extra bottom row") << true << false << 13 << 17.0;
    QTest::newRow("extra top row") << false << true << 12 << 17.0 - RightPitch;
    QTest::newRow("both") << true << true << 13 << 17.0 - RightPitch;
  }

  void fourteenSubjects()
  {
    QFETCH(bool, bottom);
    QFETCH(bool, top);
    QFETCH(int, firstRight);
    QFETCH(double, firstRightY);
    const TPupil pupil = Pupil(14);
    const TRun run = Spread(&pupil, 1, bottom, top);
    for (int i = 0; i < firstRight; ++i)
      VERIFY_AT(run.Texts, QStringLiteral("Предмет %1").arg(i), 6, 78 + i * LeftPitch);
    for (int i = firstRight; i < 14; ++i)
      VERIFY_AT(run.Texts, QStringLiteral("Предмет %1").arg(i), 108, firstRightY + (i - firstRight) * RightPitch);
  }

  void twoRowSubjectOnTheLeftPage()
  {
    FSubjects[3] = QStringLiteral("Основи*здоров'я");
    const TPupil pupil = Pupil(14);
    const TRun run = Spread(&pupil);
    VERIFY_AT(run.Texts, QStringLiteral("Основи"), 6, 78 + 3 * LeftPitch);
    VERIFY_AT(run.Texts, QStringLiteral("здоров'я"), 6, 78 + 4 * LeftPitch);
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 4"), 6, 78 + 5 * LeftPitch);
    // The mark stands on the name's second row only.
    int marksOnRow3 = 0;
    for (const TPlaced &p : run.Texts)
      marksOnRow3 += p.Text == QLatin1String("десять") && qAbs(p.Bottom - (78 + 3 * LeftPitch)) < Tolerance;
    QCOMPARE(marksOnRow3, 0);
    // Twelve rows are full after subject 10: subject 11 goes over to the
    // right page and opens it, the rest follows; nothing is lost.
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 10"), 6, 138);
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 11"), 108, 17);
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 12"), 108, 17 + RightPitch);
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 13"), 108, 17 + 2 * RightPitch);
  }

  void twoRowSubjectOnTheRightPageKeepsTheLastOne()
  {
    FSubjects[12] = QStringLiteral("Захист*Вітчизни");
    const TPupil pupil = Pupil(14);
    const TRun run = Spread(&pupil);
    VERIFY_AT(run.Texts, QStringLiteral("Захист"), 108, 17);
    VERIFY_AT(run.Texts, QStringLiteral("Вітчизни"), 108, 17 + RightPitch);
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 13"), 108, 17 + 2 * RightPitch);
  }

  void subjectWithoutWordsTakesNoRow()
  {
    TPupil pupil = Pupil(14);
    pupil.Marks[2] = QStringLiteral("13");
    pupil.Marks[5] = QString();
    const TRun run = Spread(&pupil);
    QVERIFY(!Find(run.Texts, QStringLiteral("Предмет 2")));
    QVERIFY(!Find(run.Texts, QStringLiteral("Предмет 5")));
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 3"), 6, 78 + 2 * LeftPitch);
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 11"), 6, 78 + 9 * LeftPitch);
    // The split between the pages stays by index.
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 12"), 108, 17);
  }

  void attestationBlock_data()
  {
    QTest::addColumn<QStringList>("dpaMarks");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("ending");
    QTest::newRow("from the workbook") << QStringList{QStringLiteral("зв"), QStringLiteral("9")} << 0
                                       << QStringList{QStringLiteral("звільнена"), QStringLiteral("дев'ять")} << true;
    QTest::newRow("free lines") << QStringList{QStringLiteral("Українська мова (диктант) - 10"), QString(),
                                               QStringLiteral("Математика - 9")}
                                << 2
                                << QStringList{QStringLiteral("Українська мова (диктант) - 10"),
                                               QStringLiteral("Математика - 9")}
                                << false;
    QTest::newRow("none") << QStringList{QString(), QString()} << 1 << QStringList() << false;
  }

  void attestationBlock()
  {
    QFETCH(QStringList, dpaMarks);
    QFETCH(int, state);
    QFETCH(QStringList, rows);
    QFETCH(bool, ending);
    TPupil pupil = Pupil(3);
    pupil.DpaMarks = dpaMarks;
    const TRun run = Spread(&pupil);
    QCOMPARE(run.Outcome.DpaState, state);
    for (int i = 0; i < rows.size(); ++i) {
      const auto row = Find(run.Texts, rows.at(i));
      QVERIFY2(row, qPrintable(rows.at(i)));
      QVERIFY(qAbs(row->Bottom - (110 + i * DpaPitch)) < Tolerance);
      // Free lines stand in the subject column, words in the mark column.
      QVERIFY(qAbs(row->Left - (state == 2 ? 108 : 176)) < Tolerance);
    }
    // "Пройш" + "ла" only when the rows came from the workbook.
    QCOMPARE(bool(Find(run.Texts, QStringLiteral("ла"), 1)), ending);
    if (ending)
      QVERIFY(qAbs(Find(run.Texts, QStringLiteral("ла"), 1)->Left - 121) < Tolerance);
  }

  void averageOnTheLastAttestationRow_data()
  {
    QTest::addColumn<int>("grade");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("value");
    QTest::newRow("9th") << 1 << QStringLiteral("186") << QStringLiteral("Середній бал свідоцтва")
                         << QStringLiteral("10,5");
    QTest::newRow("11th") << 2 << QStringLiteral("186") << QStringLiteral("Середній бал атестата")
                          << QStringLiteral("10,5 \u2013 186 б.");
    QTest::newRow("11th no points") << 2 << QString() << QStringLiteral("Середній бал атестата")
                                    << QStringLiteral("10,5");
  }

  void averageOnTheLastAttestationRow()
  {
    QFETCH(int, grade);
    QFETCH(QString, points);
    QFETCH(QString, caption);
    QFETCH(QString, value);
    TPupil pupil = Pupil(2);
    pupil.AvgPoints = points;
    const TRun run = Spread(&pupil, grade);
    VERIFY_AT(run.Texts, caption, 107, 138);
    VERIFY_AT(run.Texts, value, 176, 138);
  }

  void maleEndingsAndMarkStems()
  {
    TPupil pupil = Pupil(2, QStringLiteral("на"));
    pupil.Gender = QStringLiteral("ч");
    pupil.DpaMarks = QStringList{QStringLiteral("ЗВ."), QString()};
    const TRun run = Spread(&pupil);
    QVERIFY(Find(run.Texts, QStringLiteral("не атестований")));
    QVERIFY(Find(run.Texts, QStringLiteral("звільнений")));
    VERIFY_AT(run.Texts, QStringLiteral("в"), 19, 44);
    VERIFY_AT(run.Texts, QStringLiteral("ов"), 121, 86);
  }

  void movedLinesMoveTheirTexts()
  {
    FLayout->SetFieldText(QStringLiteral("edSeriaY"), QStringLiteral("23,5"));
    FLayout->SetFieldText(QStringLiteral("edLeftFirstSubjX"), QStringLiteral("9"));
    FLayout->SetFieldText(QStringLiteral("edFio1X"), QStringLiteral("7"));
    FLayout->DialogToLayout();
    const TPupil pupil = Pupil(1);
    const TRun run = Spread(&pupil);
    VERIFY_AT(run.Texts, QStringLiteral("ВК"), 31, 23.5);
    VERIFY_AT(run.Texts, QStringLiteral("47123456"), 48, 23.5);
    VERIFY_CENTRED(run.Texts, QStringLiteral("Коваленко"), 56, 31);
    VERIFY_AT(run.Texts, QStringLiteral("Предмет 0"), 10, 78);
  }

  void backSideElectives()
  {
    TBackSideInput input = BackInput(1);
    input.Facults = QStringList{QStringLiteral("1"), QStringLiteral("2"), QString(),          QStringLiteral("4"),
                                QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7")};
    const QList<TPlaced> texts = Back(input);
    for (int i : {0, 1, 3, 4})
      VERIFY_AT(texts, QString::number(i + 1), 15, 29 + i * 5.25);
    QVERIFY(!Find(texts, QStringLiteral("6")));
    QVERIFY(!Find(texts, QStringLiteral("7")));
    VERIFY_AT(texts, QStringLiteral("в"), 39, 18);
  }

  void backSideElectivesEnding_data()
  {
    QTest::addColumn<QStringList>("facults");
    QTest::addColumn<bool>("ending");
    QTest::newRow("none") << QStringList() << false;
    QTest::newRow("one empty line") << QStringList{QString()} << true;
  }

  void backSideElectivesEnding()
  {
    QFETCH(QStringList, facults);
    QFETCH(bool, ending);
    TBackSideInput input = BackInput(1);
    input.Facults = facults;
    QCOMPARE(bool(Find(Back(input), QStringLiteral("в"))), ending);
  }

  void backSideDate()
  {
    const QList<TPlaced> texts = Back(BackInput(1));
    VERIFY_CENTRED(texts, QStringLiteral("05"), 22, 118);
    VERIFY_CENTRED(texts, QStringLiteral("березня"), 44, 118);
    VERIFY_AT(texts, QStringLiteral("13"), 64, 118);
  }

  void backSideNinthGrade()
  {
    TBackSideInput input = BackInput(1);
    input.Award = QStringLiteral("з математики");
    input.Director = QStringLiteral("Іваненко І. І.");
    input.RegNum = QStringLiteral("123");
    input.Medal = QStringLiteral("золотою");
    input.GenderIndex = 1;
    FFonts.BackSide.setPointSize(16);
    const QList<TPlaced> texts = Back(input);
    // No ending after "одержа" with edGet empty; the award and its ending.
    QVERIFY(!Find(texts, QStringLiteral("ла")));
    VERIFY_AT(texts, QStringLiteral("з математики"), 15, 77);
    VERIFY_AT(texts, QStringLiteral("а"), 85, 77);
    VERIFY_AT(texts, QStringLiteral("Іваненко І. І."), 39, 99);
    VERIFY_AT(texts, QStringLiteral("123"), 57, 131);
    QCOMPARE(Find(texts, QStringLiteral("123"))->Font.pointSizeF(), 10.0);
    QCOMPARE(Find(texts, QStringLiteral("з математики"))->Font.pointSizeF(), 16.0);
    // The medal is not printed for the 9th grade.
    QVERIFY(!Find(texts, QStringLiteral("золотою")));
  }

  void backSideEleventhGrade_data()
  {
    QTest::addColumn<QString>("medal");
    QTest::newRow("medal") << QStringLiteral("золотою");
    QTest::newRow("no medal") << QString();
  }

  void backSideEleventhGrade()
  {
    QFETCH(QString, medal);
    TBackSideInput input = BackInput(2);
    input.Get = QStringLiteral("високі");
    input.Medal = medal;
    input.Award = QStringLiteral("Похвальною грамотою");
    input.Director = QStringLiteral("Петренко П. П.");
    input.RegNum = QStringLiteral("77");
    const QList<TPlaced> texts = Back(input);
    VERIFY_AT(texts, QStringLiteral("високі"), 20, 58);
    QCOMPARE(bool(Find(texts, QStringLiteral("ий"))), true); // the award's ending is there in both rows
    if (medal.isEmpty()) {
      QCOMPARE(Find(texts, QStringLiteral("ий"), 1), std::nullopt);
    } else {
      VERIFY_CENTRED(texts, medal, 36, 70);
      VERIFY_AT(texts, QStringLiteral("ий"), 48, 64);
    }
    VERIFY_AT(texts, QStringLiteral("Похвальною грамотою"), 29, 83);
    VERIFY_AT(texts, QStringLiteral("Петренко П. П."), 38, 103);
    VERIFY_AT(texts, QStringLiteral("77"), 55, 131);
  }

  void backSideWithoutGenderPrintsNoEndings()
  {
    TBackSideInput input = BackInput(1);
    input.Facults = QStringList{QStringLiteral("Хореографія")};
    input.Get = QStringLiteral("свідоцтво з відзнакою");
    input.Award = QStringLiteral("з історії");
    input.GenderIndex = -1;
    const QList<TPlaced> texts = Back(input);
    for (const QString &ending : {QStringLiteral("в"), QStringLiteral("ла"), QStringLiteral("ий"), QStringLiteral("а")})
      QVERIFY2(!Find(texts, ending), qPrintable(ending));
    VERIFY_AT(texts, QStringLiteral("свідоцтво з відзнакою"), 15, 64);
  }

  void memoLines_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one empty line") << QStringLiteral("\n") << QStringList{QString()};
    QTest::newRow("trailing break") << QStringLiteral("a\n") << QStringList{QStringLiteral("a")};
    QTest::newRow("inner empty") << QStringLiteral("a\n\nb")
                                 << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
  }

  void memoLines()
  {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(MemoLines(text), lines);
  }
};

QTEST_MAIN(TestCompose)
#include "tst_compose.moc"
