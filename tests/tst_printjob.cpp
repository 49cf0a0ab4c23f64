// The print job run as the user runs it, onto a printer that writes a PDF
// file: every printed text read back with pdftotext and checked in
// millimetres against the layout, the page size, the questions before
// printing, the move to the next pupil, and the refusal without a printer.

#include "TestPdfText.h"
#include "web/CommonNetUtils.h"

#include "app/frmMain.h"
#include "app/uSharedDataPanel.h"
#include "app/uSkin.h"
#include "store/uAppPaths.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using PdfText::TAnchor;
using PdfText::TExpected;

namespace {

constexpr double Tolerance = 0.05; // mm
// Qt writes a PDF page box in whole points, so the page can be up to half a
// point (0.18 mm) off the millimetre size asked for: 210 x 148 mm becomes
// 595 x 420 pt, that is 209.90 x 148.17 mm.
constexpr double PageTolerance = 0.5 * 25.4 / 72; // mm

QString Fixture(const QString &name)
{
  return QStringLiteral(ORNAVEL_FIXTURES "/") + name;
}

QString Example11()
{
  return QStringLiteral(ORNAVEL_FIXTURES "/../../examples/Приклад 11 клас.xlsx");
}

const QString AskSchool = QStringLiteral("Відсутня назва навчального закладу!\r\rВсе одно роздрукувати?");
const QString AskDpa =
    QStringLiteral("Не заповнені поля ДПА!\r\rАби їх заповнити, клацніть по додатку.\r\rВсе одно роздрукувати?");
const QString NoDeviceMode = QStringLiteral("Не удалось инициализировать структуру TDeviceMode");

/// The blank's item table as far as this test needs it: the layout dialog's
/// fields with their defaults (mm), and the page size.
const QHash<QString, double> &DefaultFields()
{
  static const QHash<QString, double> fields{
      {QStringLiteral("edSeriaX"), 30},
      {QStringLiteral("edSeriaY"), 22},
      {QStringLiteral("edNumberX"), 45},
      {QStringLiteral("edFio1X"), 5},
      {QStringLiteral("edFio1Y"), 31},
      {QStringLiteral("edFio2Y"), 38},
      {QStringLiteral("edLeftGenderX_9"), 18},
      {QStringLiteral("edLeftGenderY_9"), 44},
      {QStringLiteral("edGodX_9"), 31},
      {QStringLiteral("edGodY_9"), 44},
      {QStringLiteral("edLeftGenderX_11"), 15},
      {QStringLiteral("edLeftGenderY_11"), 44},
      {QStringLiteral("edGodX_11"), 12},
      {QStringLiteral("edGodY_11"), 50},
      {QStringLiteral("edRightGenderX"), 120},
      {QStringLiteral("edRightGenderY"), 86},
      {QStringLiteral("edSchool1Y"), 55},
      {QStringLiteral("edSchool2Y"), 61},
      {QStringLiteral("edLeftFirstSubjX"), 5},
      {QStringLiteral("edLeftFirstSubjY"), 78},
      {QStringLiteral("edLeftFirstMarkX"), 73},
      {QStringLiteral("edRightFirstSubjX"), 107},
      {QStringLiteral("edRightFirstSubjY"), 17},
      {QStringLiteral("edRightFirstMarkX"), 175},
      {QStringLiteral("edLeftLastY"), 138},
      {QStringLiteral("edRightLastY"), 77},
      {QStringLiteral("edDpaFirstY"), 110},
      {QStringLiteral("edBackTopGenderX"), 38},
      {QStringLiteral("edBackTopGenderY"), 18},
      {QStringLiteral("edFacultX"), 14},
      {QStringLiteral("edFacultFirstY"), 29},
      {QStringLiteral("edFacultLastY"), 50},
      {QStringLiteral("edGet1X"), 78},
      {QStringLiteral("edGet1Y"), 59},
      {QStringLiteral("edGet2Y"), 64},
      {QStringLiteral("edAwardY"), 77},
      {QStringLiteral("edBack9LowerGenderX"), 84},
      {QStringLiteral("edDirector9X"), 38},
      {QStringLiteral("edDirector9Y"), 99},
      {QStringLiteral("edRegNum9X"), 56},
      {QStringLiteral("edRegNum9Y"), 131},
      {QStringLiteral("edZaX"), 19},
      {QStringLiteral("edZaY"), 58},
      {QStringLiteral("edMedalluX"), 14},
      {QStringLiteral("edMedalluY"), 70},
      {QStringLiteral("edMedalluGenderX"), 47},
      {QStringLiteral("edMedalluGenderY"), 64},
      {QStringLiteral("edAward11X"), 28},
      {QStringLiteral("edAward11Y"), 83},
      {QStringLiteral("edBack11LowerGenderX"), 32},
      {QStringLiteral("edBack11LowerGenderY"), 89},
      {QStringLiteral("edDirector11X"), 37},
      {QStringLiteral("edDirector11Y"), 103},
      {QStringLiteral("edRegNum11X"), 54},
      {QStringLiteral("edRegNum11Y"), 131},
      {QStringLiteral("edDayX"), 17},
      {QStringLiteral("edDateY"), 118},
      {QStringLiteral("edMonthX"), 30},
      {QStringLiteral("edYearX"), 63},
      {QStringLiteral("edPageWidth"), 210},
      {QStringLiteral("edPageHeight"), 148},
  };
  return fields;
}

/// The layout in millimetres: the defaults, with the moved fields
/// ("edSeriaY=25,5") read in; either decimal separator is accepted.
class TGeometry
{
public:
  explicit TGeometry(const QStringList &moves) : FValues(DefaultFields())
  {
    for (const QString &move : moves) {
      const QStringList parts = move.split(QLatin1Char('='));
      FValues[parts.at(0)] = QString(parts.at(1)).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    }
  }
  double operator()(const char *field) const
  {
    const auto it = FValues.constFind(QLatin1String(field));
    if (it == FValues.constEnd())
      qFatal("no layout field %s in this test's table", field);
    return *it;
  }
  /// The column of centred texts: the name line's X plus half its fixed
  /// length 98.
  double CentreX() const { return (*this)("edFio1X") + 49; }

private:
  QHash<QString, double> FValues;
};

/// One subject row of the spread: the page, the row counted from the page's
/// first row, and what stands in the subject and mark columns (no mark on
/// the first row of a two-row name).
struct TRow
{
  bool RightPage = false;
  int Row = 0;
  QString Subject;
  QString Mark;
};

/// What the spread of one pupil prints besides the common block.
struct TSpreadContent
{
  QString Seria, Number, Fio1, Fio2;
  QString LeftEnding;
  QList<TRow> Rows;
  QList<QPair<QString, QString>> Dpa;
  QString RightEnding; ///< empty: none printed
  QString AvgCaption, AvgValue;
};

/// What the back side's fields hold.
struct TBackContent
{
  QStringList Facults;
  QString Get, Award, Medal, Director, RegNum;
  bool Female = false;
};

const TCommonData Common{QStringLiteral("13"),
                         QStringLiteral("Загальноосвітня школа І-ІІІ ступенів №5"),
                         QStringLiteral("м. Житомира"),
                         QStringLiteral("(спеціалізована)"),
                         QStringLiteral("Житомирської області"),
                         QStringLiteral("Житомирського ліцею №2"),
                         QStringLiteral("Житомирської міської ради"),
                         QStringLiteral("(з поглибленим вивченням)"),
                         QStringLiteral("Житомирської області")};

/// The year and school lines of the grade.
QList<TExpected> CommonBlock(const TGeometry &g, int grade)
{
  const bool ninth = grade == 1;
  const double godX = ninth ? g("edGodX_9") : g("edGodX_11");
  const double godY = ninth ? g("edGodY_9") : g("edGodY_11");
  const double below = 2 * g("edSchool2Y") - g("edSchool1Y");
  return {
      {Common.God, TAnchor::Left, godX + 1, godY},
      {ninth ? Common.School1 : Common.School1_11, TAnchor::Centre, g.CentreX(), g("edSchool1Y")},
      {ninth ? Common.School2 : Common.School2_11, TAnchor::Centre, g.CentreX(), g("edSchool2Y")},
      {ninth ? Common.DopSchTop : Common.DopSchTop_11, TAnchor::Left, godX + (ninth ? 17 : 20), godY},
      {ninth ? Common.DopSchDown : Common.DopSchDown_11, TAnchor::Left, godX + (ninth ? 10 : 30), below},
  };
}

QList<TExpected> Spread(const TGeometry &g, int grade, const TSpreadContent &c)
{
  QList<TExpected> texts = CommonBlock(g, grade);
  const bool ninth = grade == 1;
  texts << TExpected{c.Seria, TAnchor::Left, g("edSeriaX") + 1, g("edSeriaY")}
        << TExpected{c.Number, TAnchor::Left, g("edNumberX") + 3, g("edSeriaY")}
        << TExpected{c.Fio1, TAnchor::Centre, g.CentreX(), g("edFio1Y")}
        << TExpected{c.Fio2, TAnchor::Centre, g.CentreX(), g("edFio2Y")}
        << TExpected{c.LeftEnding, TAnchor::Left, (ninth ? g("edLeftGenderX_9") : g("edLeftGenderX_11")) + 1,
                     ninth ? g("edLeftGenderY_9") : g("edLeftGenderY_11")};
  const double leftPitch = (g("edLeftLastY") - g("edLeftFirstSubjY")) / 11;
  const double rightPitch = (g("edRightLastY") - g("edRightFirstSubjY")) / 11;
  for (const TRow &row : c.Rows) {
    const double y =
        row.RightPage ? g("edRightFirstSubjY") + row.Row * rightPitch : g("edLeftFirstSubjY") + row.Row * leftPitch;
    const double subjectX = row.RightPage ? g("edRightFirstSubjX") : g("edLeftFirstSubjX");
    const double markX = row.RightPage ? g("edRightFirstMarkX") : g("edLeftFirstMarkX");
    texts << TExpected{row.Subject, TAnchor::Left, subjectX + 1, y};
    if (!row.Mark.isEmpty())
      texts << TExpected{row.Mark, TAnchor::Left, markX + 1, y};
  }
  const double dpaPitch = (g("edLeftLastY") - g("edDpaFirstY")) / 5;
  for (int i = 0; i < c.Dpa.size(); ++i) {
    const double y = g("edDpaFirstY") + i * dpaPitch;
    texts << TExpected{c.Dpa.at(i).first, TAnchor::Left, g("edRightFirstSubjX") + 1, y}
          << TExpected{c.Dpa.at(i).second, TAnchor::Left, g("edRightFirstMarkX") + 1, y};
  }
  if (!c.RightEnding.isEmpty())
    texts << TExpected{c.RightEnding, TAnchor::Left, g("edRightGenderX") + 1, g("edRightGenderY")};
  // The average stands on the last attestation row, its caption without the
  // 1 mm indent.
  texts << TExpected{c.AvgCaption, TAnchor::Left, g("edRightFirstSubjX"), g("edLeftLastY")};
  if (!c.AvgValue.isEmpty())
    texts << TExpected{c.AvgValue, TAnchor::Left, g("edRightFirstMarkX") + 1, g("edLeftLastY")};
  return texts;
}

/// The back side with the issue date 5 March 2013.
QList<TExpected> Back(const TGeometry &g, int grade, const TBackContent &c)
{
  QList<TExpected> texts;
  const double pitch = (g("edFacultLastY") - g("edFacultFirstY")) / 4;
  for (int i = 0; i < c.Facults.size() && i < 5; ++i)
    if (!c.Facults.at(i).isEmpty())
      texts << TExpected{c.Facults.at(i), TAnchor::Left, g("edFacultX") + 1, g("edFacultFirstY") + i * pitch};
  const QString ending1 = c.Female ? QStringLiteral("ла") : QStringLiteral("в");
  const QString ending2 = c.Female ? QStringLiteral("а") : QStringLiteral("ий");
  if (!c.Facults.isEmpty())
    texts << TExpected{ending1, TAnchor::Left, g("edBackTopGenderX") + 1, g("edBackTopGenderY")};
  // Day and month centred in their spans (10 and 28 mm long), the year's
  // last two digits after the blank's "20".
  texts << TExpected{QStringLiteral("05"), TAnchor::Centre, g("edDayX") + 5, g("edDateY")}
        << TExpected{QStringLiteral("березня"), TAnchor::Centre, g("edMonthX") + 14, g("edDateY")}
        << TExpected{QStringLiteral("13"), TAnchor::Left, g("edYearX") + 1, g("edDateY")};
  const auto put = [&texts](const QString &text, double x, double y) {
    if (!text.isEmpty())
      texts << TExpected{text, TAnchor::Left, x, y};
  };
  if (grade == 1) {
    if (!c.Get.isEmpty())
      put(ending1, g("edGet1X") + 1, g("edGet1Y"));
    put(c.Get, g("edFacultX") + 1, g("edGet2Y"));
    put(c.Award, g("edFacultX") + 1, g("edAwardY"));
    if (!c.Award.isEmpty())
      put(ending2, g("edBack9LowerGenderX") + 1, g("edAwardY"));
    put(c.Director, g("edDirector9X") + 1, g("edDirector9Y"));
    put(c.RegNum, g("edRegNum9X") + 1, g("edRegNum9Y"));
  } else {
    put(c.Get, g("edZaX") + 1, g("edZaY"));
    if (!c.Medal.isEmpty()) {
      put(ending2, g("edMedalluGenderX") + 1, g("edMedalluGenderY"));
      // Centred in the medal line's 44 mm, whose X is its own.
      texts << TExpected{c.Medal, TAnchor::Centre, g("edMedalluX") + 22, g("edMedalluY")};
    }
    put(c.Award, g("edAward11X") + 1, g("edAward11Y"));
    if (!c.Award.isEmpty())
      put(ending2, g("edBack11LowerGenderX") + 1, g("edBack11LowerGenderY"));
    put(c.Director, g("edDirector11X") + 1, g("edDirector11Y"));
    put(c.RegNum, g("edRegNum11X") + 1, g("edRegNum11Y"));
  }
  return texts;
}

/// The first pupil of class9.xlsx: a girl; an empty subject name takes no
/// row and "Основи*здоров'я" takes two.
TSpreadContent Class9First()
{
  TSpreadContent c;
  c.Seria = QStringLiteral("ВК");
  c.Number = QStringLiteral("47123456");
  c.Fio1 = QStringLiteral("Бондаренко");
  c.Fio2 = QStringLiteral("Оксана Петрівна");
  c.LeftEnding = QStringLiteral("ла");
  c.Rows = {{false, 0, QStringLiteral("Українська мова"), QStringLiteral("десять")},
            {false, 1, QStringLiteral("Алгебра"), QStringLiteral("десять")},
            {false, 2, QStringLiteral("Основи"), QString()},
            {false, 3, QStringLiteral("здоров'я"), QStringLiteral("одинадцять")},
            {false, 4, QStringLiteral("Фізична культура"), QStringLiteral("одинадцять")}};
  c.Dpa = {{QStringLiteral("Українська мова"), QStringLiteral("десять")},
           {QStringLiteral("Математика"), QStringLiteral("десять")}};
  c.RightEnding = QStringLiteral("ла");
  c.AvgCaption = QStringLiteral("Середній бал свідоцтва");
  c.AvgValue = QStringLiteral("10,5");
  return c;
}

/// The first pupil of the 11th-grade example: a boy with 17 subjects, so
/// the last five open the right page; the average with its points.
TSpreadContent Example11First()
{
  TSpreadContent c;
  c.Seria = QStringLiteral("ХА");
  c.Number = QStringLiteral("51024339");
  c.Fio1 = QStringLiteral("Гончаренко");
  c.Fio2 = QStringLiteral("Остап Іванович");
  c.LeftEnding = QStringLiteral("в");
  const QStringList subjects{QStringLiteral("Українська мова"),
                             QStringLiteral("Українська література"),
                             QStringLiteral("Зарубіжна література"),
                             QStringLiteral("Іноземна мова (англійська)"),
                             QStringLiteral("Історія України"),
                             QStringLiteral("Всесвітня історія"),
                             QStringLiteral("Алгебра і початки аналізу"),
                             QStringLiteral("Геометрія"),
                             QStringLiteral("Біологія і екологія"),
                             QStringLiteral("Географія"),
                             QStringLiteral("Фізика і астрономія"),
                             QStringLiteral("Хімія"),
                             QStringLiteral("Інформатика"),
                             QStringLiteral("Технології"),
                             QStringLiteral("Мистецтво"),
                             QStringLiteral("Захист Вітчизни"),
                             QStringLiteral("Фізична культура")};
  const QStringList marks{QStringLiteral("п'ять"), QStringLiteral("шість"), QStringLiteral("вісім"),
                          QStringLiteral("сім"),   QStringLiteral("шість"), QStringLiteral("п'ять"),
                          QStringLiteral("сім"),   QStringLiteral("сім"),   QStringLiteral("вісім"),
                          QStringLiteral("сім"),   QStringLiteral("вісім"), QStringLiteral("вісім"),
                          QStringLiteral("сім"),   QStringLiteral("шість"), QStringLiteral("вісім"),
                          QStringLiteral("шість"), QStringLiteral("шість")};
  for (int i = 0; i < subjects.size(); ++i)
    c.Rows.append({i >= 12, i >= 12 ? i - 12 : i, subjects.at(i), marks.at(i)});
  c.Dpa = {{QStringLiteral("Українська мова"), QStringLiteral("п'ять")},
           {QStringLiteral("Математика"), QStringLiteral("шість")},
           {QStringLiteral("Історія України"), QStringLiteral("сім")}};
  c.RightEnding = QStringLiteral("ов");
  c.AvgCaption = QStringLiteral("Середній бал атестата");
  c.AvgValue = QStringLiteral("6,8 \u2013 148 б.");
  return c;
}

TBackContent Back9()
{
  TBackContent c;
  // Six lines: the sixth does not print; the empty third keeps its row.
  c.Facults = QStringList{QStringLiteral("Хореографія"),
                          QStringLiteral("Основи програмування"),
                          QString(),
                          QStringLiteral("Етика"),
                          QStringLiteral("Креслення"),
                          QStringLiteral("Астрономія")};
  c.Get = QStringLiteral("свідоцтво з відзнакою");
  c.Award = QStringLiteral("з математики");
  c.Medal = QStringLiteral("золотою"); // not printed for the 9th grade
  c.Director = QStringLiteral("Іваненко І. І.");
  c.RegNum = QStringLiteral("123");
  c.Female = true;
  return c;
}

TBackContent Back11()
{
  TBackContent c;
  c.Facults = QStringList{QStringLiteral("Правознавство"), QStringLiteral("Економіка")};
  c.Get = QStringLiteral("високі");
  c.Award = QStringLiteral("Похвальною грамотою");
  c.Medal = QStringLiteral("золотою");
  c.Director = QStringLiteral("Петренко П. П.");
  c.RegNum = QStringLiteral("77");
  c.Female = false;
  return c;
}

QStringList Messages()
{
  QStringList texts;
  for (const Dialogs::TShown &shown : Dialogs::shown())
    if (shown.Kind == QLatin1String("message"))
      texts << shown.Text;
  return texts;
}

} // namespace

Q_DECLARE_METATYPE(TSpreadContent)
Q_DECLARE_METATYPE(TBackContent)

class TestPrintJob : public QObject
{
  Q_OBJECT

private:
  std::unique_ptr<QTemporaryDir> FFolder;
  std::unique_ptr<TMainF> FMain;
  QString FPdf;

  TMainF &Main() { return *FMain; }

  void Import(const QString &path)
  {
    Dialogs::setNextFileName(path);
    Main().acImportFromExcel->trigger();
    QVERIFY2(Main().lbPupils->count() > 0, qPrintable(path));
    Dialogs::clearShown();
  }

  /// The main window's printer writes FPdf.
  void PrintToFile() { Main().CurrentPrinter().setOutputFileName(FPdf); }

  /// The words of the printed file's only page; fails the test when the file
  /// is not one page of the layout's size or lacks the job's title.
  QList<PdfText::TWord> PrintedPage(double width = 210, double height = 148)
  {
    QString error;
    const auto info = PdfText::Info(FPdf, error);
    if (!info) {
      QTest::qFail(qPrintable(error), __FILE__, __LINE__);
      return {};
    }
    if (info->Pages != 1 || std::abs(info->WidthMm - width) > PageTolerance ||
        std::abs(info->HeightMm - height) > PageTolerance || info->Rotation != 0 ||
        info->Title != QStringLiteral("Орнавел 2012")) {
      QTest::qFail(qPrintable(QStringLiteral("%1 pages of %2 x %3 mm, rotated %4, titled \"%5\"")
                                  .arg(info->Pages)
                                  .arg(info->WidthMm)
                                  .arg(info->HeightMm)
                                  .arg(info->Rotation)
                                  .arg(info->Title)),
                   __FILE__, __LINE__);
      return {};
    }
    const auto pages = PdfText::Pages(FPdf, error);
    if (!pages || pages->size() != 1) {
      QTest::qFail(qPrintable(error.isEmpty() ? QStringLiteral("not one page") : error), __FILE__, __LINE__);
      return {};
    }
    return pages->constFirst().Words;
  }

  /// Every word of the printed file; none when nothing was printed.
  QStringList PrintedWords()
  {
    QStringList words;
    if (!QFile::exists(FPdf))
      return words;
    QString error;
    const auto pages = PdfText::Pages(FPdf, error);
    if (pages)
      for (const PdfText::TPage &page : *pages)
        for (const PdfText::TWord &word : page.Words)
          words << word.Text;
    return words;
  }

private slots:
  void initTestCase()
  {
    // No print server is reachable from this process, whatever the machine
    // has: the printer list is empty and "no printer" can be tested. This
    // must precede the first QPrinter.
    qputenv("CUPS_SERVER", QByteArray(QDir::tempPath().toLocal8Bit() + "/ornavel-no-such-dir/cups.sock"));
    if (!PdfText::ToolsAvailable())
      QSKIP("pdftotext and pdfinfo (poppler-utils) are needed");
    QLocale::setDefault(QLocale(QLocale::Ukrainian, QLocale::Ukraine));
    ApplySkin(*qApp);
    Dialogs::setScripted(true);
    // The start-up update check asks a closed port on this machine, nothing outside.
    SetProductSiteUrl(QStringLiteral("http://127.0.0.1:9/"));
  }

  void init()
  {
    FFolder = std::make_unique<QTemporaryDir>();
    QVERIFY(FFolder->isValid());
    SetProgramFolderOverride(FFolder->path());
    FPdf = FFolder->filePath(QStringLiteral("job.pdf"));
    Dialogs::clearScript();
    Dialogs::clearShown();
    FMain = std::make_unique<TMainF>();
    FMain->resize(1400, 900);
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
    Main().SharedDataPanel->dtpDate->setDate(QDate(2013, 3, 5));
    Main().CommonData = Common;
  }

  void cleanup()
  {
    FMain.reset();
    SetProgramFolderOverride(QString());
  }

  void spreadPositions_data()
  {
    QTest::addColumn<QString>("workbook");
    QTest::addColumn<int>("grade");
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<TSpreadContent>("content");
    QTest::newRow("9th, default layout") << Fixture(QStringLiteral("class9.xlsx")) << 1 << QStringList()
                                         << Class9First();
    QTest::newRow("9th, moved lines")
        << Fixture(QStringLiteral("class9.xlsx")) << 1
        << QStringList{QStringLiteral("edSeriaX=28"),           QStringLiteral("edSeriaY=25,5"),
                       QStringLiteral("edNumberX=50"),          QStringLiteral("edFio1X=10"),
                       QStringLiteral("edFio1Y=32.5"),          QStringLiteral("edFio2Y=39,5"),
                       QStringLiteral("edLeftGenderX_9=20"),    QStringLiteral("edLeftGenderY_9=45"),
                       QStringLiteral("edGodX_9=33"),           QStringLiteral("edGodY_9=45,5"),
                       QStringLiteral("edSchool1Y=56"),         QStringLiteral("edSchool2Y=62,5"),
                       QStringLiteral("edLeftFirstSubjX=8"),    QStringLiteral("edLeftFirstSubjY=80"),
                       QStringLiteral("edLeftFirstMarkX=75"),   QStringLiteral("edLeftLastY=137"),
                       QStringLiteral("edRightFirstSubjX=110"), QStringLiteral("edRightFirstSubjY=19"),
                       QStringLiteral("edRightFirstMarkX=178"), QStringLiteral("edRightLastY=80"),
                       QStringLiteral("edDpaFirstY=111"),       QStringLiteral("edRightGenderX=122"),
                       QStringLiteral("edRightGenderY=87,5")}
        << Class9First();
    QTest::newRow("11th, default layout") << Example11() << 2 << QStringList() << Example11First();
    QTest::newRow("11th, moved lines") << Example11() << 2 << QStringList{QStringLiteral("edGodX_11=14"),
                                                                          QStringLiteral("edGodY_11=51,5"),
                                                                          QStringLiteral("edLeftGenderX_11=17"),
                                                                          QStringLiteral("edLeftGenderY_11=45.5"),
                                                                          QStringLiteral("edFio1X=3"),
                                                                          QStringLiteral("edSchool1Y=54"),
                                                                          QStringLiteral("edSchool2Y=60,5"),
                                                                          QStringLiteral("edLeftFirstSubjY=77"),
                                                                          QStringLiteral("edLeftLastY=139"),
                                                                          QStringLiteral("edRightFirstSubjY=15,5"),
                                                                          QStringLiteral("edRightLastY=75"),
                                                                          QStringLiteral("edDpaFirstY=112"),
                                                                          QStringLiteral("edRightFirstMarkX=173")}
                                       << Example11First();
  }

  void spreadPositions()
  {
    QFETCH(QString, workbook);
    QFETCH(int, grade);
    QFETCH(QStringList, moves);
    QFETCH(TSpreadContent, content);
    Import(workbook);
    QCOMPARE(Main().CurrentGrade, grade);
    for (const QString &move : moves)
      Main().Layout.SetFieldText(move.section(QLatin1Char('='), 0, 0), move.section(QLatin1Char('='), 1));
    Main().Layout.DialogToLayout();
    PrintToFile();
    Main().acPrint->trigger();
    QVERIFY2(Dialogs::shown().isEmpty(), qPrintable(Messages().join(QLatin1Char('\n'))));
    const QList<PdfText::TWord> words = PrintedPage();
    if (QTest::currentTestFailed())
      return;
    const QStringList problems = PdfText::Mismatches(words, Spread(TGeometry(moves), grade, content), Tolerance);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
  }

  void backSidePositions_data()
  {
    QTest::addColumn<QString>("workbook");
    QTest::addColumn<int>("grade");
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<TBackContent>("content");
    QTest::newRow("9th, default layout") << Fixture(QStringLiteral("class9.xlsx")) << 1 << QStringList() << Back9();
    QTest::newRow("9th, moved lines")
        << Fixture(QStringLiteral("class9.xlsx")) << 1
        << QStringList{QStringLiteral("edFacultX=16"),        QStringLiteral("edFacultFirstY=30,5"),
                       QStringLiteral("edFacultLastY=52"),    QStringLiteral("edBackTopGenderX=40"),
                       QStringLiteral("edBackTopGenderY=19"), QStringLiteral("edGet1X=80"),
                       QStringLiteral("edGet1Y=60,5"),        QStringLiteral("edGet2Y=65.5"),
                       QStringLiteral("edAwardY=78,5"),       QStringLiteral("edBack9LowerGenderX=86"),
                       QStringLiteral("edDirector9X=40"),     QStringLiteral("edDirector9Y=100"),
                       QStringLiteral("edRegNum9X=58"),       QStringLiteral("edRegNum9Y=132,5"),
                       QStringLiteral("edDayX=19"),           QStringLiteral("edDateY=119,5"),
                       QStringLiteral("edMonthX=31"),         QStringLiteral("edYearX=65")}
        << Back9();
    QTest::newRow("11th, default layout") << Example11() << 2 << QStringList() << Back11();
    // The electives' column moves, the medal line keeps its own X; and a
    // blank of another size.
    QTest::newRow("11th, moved lines, 200 x 150 blank") << Example11() << 2
                                                        << QStringList{QStringLiteral("edFacultX=12"),
                                                                       QStringLiteral("edFacultFirstY=28"),
                                                                       QStringLiteral("edZaX=21"),
                                                                       QStringLiteral("edZaY=59,5"),
                                                                       QStringLiteral("edMedalluY=71"),
                                                                       QStringLiteral("edMedalluGenderX=49"),
                                                                       QStringLiteral("edMedalluGenderY=65"),
                                                                       QStringLiteral("edAward11X=30"),
                                                                       QStringLiteral("edAward11Y=84,5"),
                                                                       QStringLiteral("edBack11LowerGenderX=34"),
                                                                       QStringLiteral("edBack11LowerGenderY=90"),
                                                                       QStringLiteral("edDirector11X=39"),
                                                                       QStringLiteral("edDirector11Y=104.5"),
                                                                       QStringLiteral("edRegNum11X=52"),
                                                                       QStringLiteral("edRegNum11Y=130"),
                                                                       QStringLiteral("edDayX=15"),
                                                                       QStringLiteral("edDateY=117"),
                                                                       QStringLiteral("edMonthX=29"),
                                                                       QStringLiteral("edYearX=61"),
                                                                       QStringLiteral("edPageWidth=200"),
                                                                       QStringLiteral("edPageHeight=150")}
                                                        << Back11();
  }

  void backSidePositions()
  {
    QFETCH(QString, workbook);
    QFETCH(int, grade);
    QFETCH(QStringList, moves);
    QFETCH(TBackContent, content);
    Import(workbook);
    QCOMPARE(Main().CurrentGrade, grade);
    for (const QString &move : moves)
      Main().Layout.SetFieldText(move.section(QLatin1Char('='), 0, 0), move.section(QLatin1Char('='), 1));
    Main().Layout.DialogToLayout();
    Main().acSideSwitch->trigger();
    QVERIFY(Main().BackSideShown());
    Main().mmFacults->setPlainText(content.Facults.join(QLatin1Char('\n')));
    Main().edGet->setText(content.Get);
    Main().edAward->setText(content.Award);
    Main().edMedal->setText(content.Medal);
    Main().edDirector->setText(content.Director);
    Main().edRegNum->setText(content.RegNum);
    (content.Female ? Main().rgGenderFemale : Main().rgGenderMale)->setChecked(true);
    PrintToFile();
    Main().acPrint->trigger();
    QVERIFY2(Dialogs::shown().isEmpty(), qPrintable(Messages().join(QLatin1Char('\n'))));
    const TGeometry geometry(moves);
    const QList<PdfText::TWord> words = PrintedPage(geometry("edPageWidth"), geometry("edPageHeight"));
    if (QTest::currentTestFailed())
      return;
    const QStringList problems = PdfText::Mismatches(words, Back(geometry, grade, content), Tolerance);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
  }

  void questions_data()
  {
    QTest::addColumn<QString>("workbook");
    QTest::addColumn<QStringList>("emptySchoolFields");
    QTest::addColumn<int>("dpaState");
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<bool>("printed");
    const QString class9 = Fixture(QStringLiteral("class9.xlsx"));
    const QStringList none;
    const QStringList both9{QStringLiteral("School1"), QStringLiteral("School2")};
    using Answers = QList<QMessageBox::StandardButton>;
    const auto yes = QMessageBox::Yes;
    const auto no = QMessageBox::No;
    QTest::newRow("all there") << class9 << none << 0 << Answers() << QStringList() << true;
    QTest::newRow("no school, Yes") << class9 << both9 << 0 << Answers{yes} << QStringList{AskSchool} << true;
    QTest::newRow("no school, No") << class9 << both9 << 0 << Answers{no} << QStringList{AskSchool} << false;
    QTest::newRow("second school line alone empty, No")
        << class9 << QStringList{QStringLiteral("School2")} << 0 << Answers{no} << QStringList{AskSchool} << false;
    QTest::newRow("11th grade, its own lines empty") << Example11() << QStringList{QStringLiteral("School1_11")} << 0
                                                     << Answers{no} << QStringList{AskSchool} << false;
    QTest::newRow("11th grade, only the 9th grade's lines empty")
        << Example11() << both9 << 0 << Answers() << QStringList() << true;
    QTest::newRow("no attestation, Yes") << class9 << none << 1 << Answers{yes} << QStringList{AskDpa} << true;
    QTest::newRow("no attestation, No") << class9 << none << 1 << Answers{no} << QStringList{AskDpa} << false;
    QTest::newRow("free attestation lines") << class9 << none << 2 << Answers() << QStringList() << true;
    QTest::newRow("both, Yes and Yes") << class9 << both9 << 1 << Answers{yes, yes} << QStringList{AskSchool, AskDpa}
                                       << true;
    QTest::newRow("both, No") << class9 << both9 << 1 << Answers{no} << QStringList{AskSchool} << false;
    QTest::newRow("both, Yes and No") << class9 << both9 << 1 << Answers{yes, no} << QStringList{AskSchool, AskDpa}
                                      << false;
  }

  void questions()
  {
    QFETCH(QString, workbook);
    QFETCH(QStringList, emptySchoolFields);
    QFETCH(int, dpaState);
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(QStringList, asked);
    QFETCH(bool, printed);
    Import(workbook);
    for (const QString &field : emptySchoolFields) {
      QString *text = field == QLatin1String("School1")      ? &Main().CommonData.School1
                      : field == QLatin1String("School2")    ? &Main().CommonData.School2
                      : field == QLatin1String("School1_11") ? &Main().CommonData.School1_11
                                                             : nullptr;
      QVERIFY(text);
      text->clear();
    }
    if (dpaState != 0) {
      // The first pupil without attestation data, as the preview shows it;
      // then, for free lines, typed in on the preview.
      Main().Pupils[0].DpaMarks.clear();
      Main().lbPupilsClick();
      if (dpaState == 2) {
        Main().ImgPreviewClick();
        Main().mmDPA->setPlainText(QStringLiteral("Математика - 9"));
        Main().ImgPreviewClick();
      }
    }
    QCOMPARE(Main().DpaState, dpaState);
    for (QMessageBox::StandardButton answer : answers)
      Dialogs::setNextAnswer(answer);
    PrintToFile();
    Main().acPrint->trigger();

    QCOMPARE(Messages(), asked);
    for (const Dialogs::TShown &shown : Dialogs::shown()) {
      QCOMPARE(shown.MessageIcon, Dialogs::Icon::Confirmation);
      QCOMPARE(shown.Buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
    }
    QCOMPARE(QFile::exists(FPdf), printed);
    QCOMPARE(Main().lbPupils->currentRow(), printed ? 1 : 0);
    if (!printed)
      return;
    const QList<PdfText::TWord> words = PrintedPage();
    if (QTest::currentTestFailed())
      return;
    // The first pupil was printed, whatever was missing.
    bool name = false;
    for (const PdfText::TWord &word : words)
      name = name || word.Text == Main().Pupils.at(0).FIO.section(QLatin1Char(' '), 0, 0);
    QVERIFY(name);
  }

  void backSideAsksNothingAndStays()
  {
    Import(Fixture(QStringLiteral("class9.xlsx")));
    Main().CommonData.School1.clear();
    Main().Pupils[0].DpaMarks.clear();
    Main().lbPupilsClick();
    QCOMPARE(Main().DpaState, 1);
    Main().acSideSwitch->trigger();
    Main().mmFacults->setPlainText(QStringLiteral("Етика"));
    PrintToFile();
    for (int press = 0; press < 2; ++press) {
      QFile::remove(FPdf);
      Main().acPrint->trigger();
      QCOMPARE(Messages(), QStringList());
      QCOMPARE(Main().lbPupils->currentRow(), 0);
      QVERIFY(PrintedWords().contains(QStringLiteral("Етика")));
    }
  }

  void selectionAfterTheSpread_data()
  {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("next");
    QTest::addColumn<QString>("printedName");
    QTest::newRow("first of four") << 0 << 1 << QStringLiteral("Бондаренко");
    QTest::newRow("third of four") << 2 << 3 << QStringLiteral("Коваль");
    QTest::newRow("last") << 3 << 3 << QStringLiteral("Савчук");
    QTest::newRow("none selected") << -1 << 0 << QString();
  }

  void selectionAfterTheSpread()
  {
    QFETCH(int, row);
    QFETCH(int, next);
    QFETCH(QString, printedName);
    Import(Fixture(QStringLiteral("class9.xlsx")));
    QCOMPARE(Main().lbPupils->count(), 4);
    Main().lbPupils->setCurrentRow(row);
    Main().lbPupilsClick();
    PrintToFile();
    Main().acPrint->trigger();
    QCOMPARE(Messages(), QStringList());
    QCOMPARE(Main().lbPupils->currentRow(), next);
    // The pupil selected at the press was printed, no other.
    const QStringList words = PrintedWords();
    for (const QString &surname :
         {QStringLiteral("Бондаренко"), QStringLiteral("Мельник"), QStringLiteral("Коваль"), QStringLiteral("Савчук")})
      QCOMPARE(words.contains(surname), surname == printedName);
    QVERIFY(words.contains(QStringLiteral("Житомира")));
    // The preview moved with the selection: it shows the next pupil now.
    QCOMPARE(Main().SelectedPupil(), &Main().Pupils.at(next));
  }

  void printerDialog_data()
  {
    QTest::addColumn<bool>("accepted");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
  }

  void printerDialog()
  {
    QFETCH(bool, accepted);
    Import(Fixture(QStringLiteral("class9.xlsx")));
    PrintToFile();
    Dialogs::setNextPrintAccepted(accepted);
    Main().acSelectPrinter->trigger();
    QCOMPARE(Dialogs::shown().size(), 1);
    QCOMPARE(Dialogs::shown().constFirst().Kind, QStringLiteral("print"));
    QCOMPARE(QFile::exists(FPdf), accepted);
    QCOMPARE(Main().lbPupils->currentRow(), accepted ? 1 : 0);
  }

  void noPrinter()
  {
    Import(Fixture(QStringLiteral("class9.xlsx")));
    QPrinter &printer = Main().CurrentPrinter();
    // What Qt makes of a machine without printers: no name, and PDF output
    // to no file.
    QCOMPARE(printer.printerName(), QString());
    QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
    QCOMPARE(printer.outputFileName(), QString());
    const QStringList before = QDir(FFolder->path()).entryList(QDir::Files);
    Main().acPrint->trigger();
    QCOMPARE(Dialogs::shown().size(), 1);
    QCOMPARE(Dialogs::shown().constFirst().Kind, QStringLiteral("message"));
    QCOMPARE(Dialogs::shown().constFirst().Text, NoDeviceMode);
    QCOMPARE(Dialogs::shown().constFirst().MessageIcon, Dialogs::Icon::Error);
    QCOMPARE(Main().lbPupils->currentRow(), 0);
    QCOMPARE(QDir(FFolder->path()).entryList(QDir::Files), before);
    QCOMPARE(QDir::current().entryList({QStringLiteral("*.pdf")}, QDir::Files), QStringList());
  }
};

QTEST_MAIN(TestPrintJob)
#include "tst_printjob.moc"
