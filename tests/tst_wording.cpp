// The wording of the supplement: marks in words, gender endings, the name and
// subject splits, the average line, the issue date, and the text routines
// they are built on.

#include "render/MyTextUtils.h"
#include "render/uWording.h"

#include <QDate>
#include <QLocale>
#include <QTest>

namespace {

const QList<QLocale> BothLocales{QLocale(QLocale::Ukrainian, QLocale::Ukraine), QLocale::c()};

} // namespace

Q_DECLARE_METATYPE(TGenderPlace)

class TestWording : public QObject
{
  Q_OBJECT

  QLocale FSavedLocale;

private slots:
  void init() { FSavedLocale = QLocale(); }
  void cleanup() { QLocale::setDefault(FSavedLocale); }

  void markWordsTable()
  {
    const QStringList &table = MarkWords();
    QCOMPARE(table.size(), 17);
    for (const QString &line : table)
      QVERIFY2(line.count(QLatin1Char('=')) == 1, qPrintable(line));
    QCOMPARE(table.at(4), QStringLiteral("5=п\u0027ять"));
    QCOMPARE(table.at(8), QStringLiteral("9=дев\u0027ять"));
  }

  void markToWords_data()
  {
    QTest::addColumn<QString>("mark");
    QTest::addColumn<bool>("female");
    QTest::addColumn<QString>("words");
    QTest::newRow("1") << QStringLiteral("1") << false << QStringLiteral("один");
    QTest::newRow("5, ASCII apostrophe") << QStringLiteral("5") << false << QStringLiteral("п\u0027ять");
    QTest::newRow("9, female") << QStringLiteral("9") << true << QStringLiteral("дев\u0027ять");
    QTest::newRow("10") << QStringLiteral("10") << false << QStringLiteral("десять");
    QTest::newRow("12") << QStringLiteral("12") << true << QStringLiteral("дванадцять");
    QTest::newRow("зв, female") << QStringLiteral("зв") << true << QStringLiteral("звільнена");
    QTest::newRow("Зв, female") << QStringLiteral("Зв") << true << QStringLiteral("звільнена");
    QTest::newRow("ЗВ., female") << QStringLiteral("ЗВ.") << true << QStringLiteral("звільнена");
    QTest::newRow("зв., male") << QStringLiteral("зв.") << false << QStringLiteral("звільнений");
    QTest::newRow("на, male") << QStringLiteral("на") << false << QStringLiteral("не атестований");
    QTest::newRow("НА, female") << QStringLiteral("НА") << true << QStringLiteral("не атестована");
    QTest::newRow("зар, male") << QStringLiteral("зар") << false << QStringLiteral("зараховано");
    QTest::newRow("Зар., female") << QStringLiteral("Зар.") << true << QStringLiteral("зараховано");
    QTest::newRow("13") << QStringLiteral("13") << false << QString();
    QTest::newRow("10,5") << QStringLiteral("10,5") << false << QString();
    QTest::newRow("0") << QStringLiteral("0") << false << QString();
    QTest::newRow("empty") << QString() << true << QString();
    QTest::newRow("з, part of a key") << QStringLiteral("з") << true << QString();
    QTest::newRow("за, part of a key") << QStringLiteral("за") << true << QString();
    QTest::newRow("leading space") << QStringLiteral(" 10") << false << QString();
    QTest::newRow("trailing space") << QStringLiteral("зв ") << true << QString();
    QTest::newRow("a whole line") << QStringLiteral("10=десять") << false << QString();
    QTest::newRow("the words themselves") << QStringLiteral("десять") << false << QString();
  }

  void markToWords()
  {
    QFETCH(QString, mark);
    QFETCH(bool, female);
    QFETCH(QString, words);
    for (const QLocale &locale : BothLocales) {
      QLocale::setDefault(locale);
      QCOMPARE(MarkToWords(mark, female), words);
    }
  }

  void isFemale_data()
  {
    QTest::addColumn<QString>("letter");
    QTest::addColumn<bool>("female");
    QTest::newRow("ж") << QStringLiteral("ж") << true;
    QTest::newRow("Ж") << QStringLiteral("Ж") << true;
    QTest::newRow("ч") << QStringLiteral("ч") << false;
    QTest::newRow("м") << QStringLiteral("м") << false;
    QTest::newRow("1") << QStringLiteral("1") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("Latin x") << QStringLiteral("x") << false;
  }

  void isFemale()
  {
    QFETCH(QString, letter);
    QFETCH(bool, female);
    for (const QLocale &locale : BothLocales) {
      QLocale::setDefault(locale);
      QCOMPARE(IsFemale(letter), female);
    }
  }

  void genderEnding_data()
  {
    QTest::addColumn<TGenderPlace>("place");
    QTest::addColumn<QString>("male");
    QTest::addColumn<QString>("female");
    QTest::newRow("закінчи") << TGenderPlace::LeftGender9 << QStringLiteral("в") << QStringLiteral("ла");
    QTest::newRow("здобу") << TGenderPlace::LeftGender11 << QStringLiteral("в") << QStringLiteral("ла");
    QTest::newRow("Пройш") << TGenderPlace::RightGender << QStringLiteral("ов") << QStringLiteral("ла");
    QTest::newRow("звільнен") << TGenderPlace::MarkStem << QStringLiteral("ий") << QStringLiteral("а");
    QTest::newRow("Успішно засвої") << TGenderPlace::BackTop << QStringLiteral("в") << QStringLiteral("ла");
    QTest::newRow("одержа") << TGenderPlace::Get1 << QStringLiteral("в") << QStringLiteral("ла");
    QTest::newRow("нагороджен, 9th") << TGenderPlace::Back9Lower << QStringLiteral("ий") << QStringLiteral("а");
    QTest::newRow("навчанні нагороджен") << TGenderPlace::Medallu << QStringLiteral("ий") << QStringLiteral("а");
    QTest::newRow("нагороджен, 11th") << TGenderPlace::Back11Lower << QStringLiteral("ий") << QStringLiteral("а");
  }

  void genderEnding()
  {
    QFETCH(TGenderPlace, place);
    QFETCH(QString, male);
    QFETCH(QString, female);
    QCOMPARE(GenderEnding(place, false), male);
    QCOMPARE(GenderEnding(place, true), female);
  }

  void fioLines_data()
  {
    QTest::addColumn<QString>("fio");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    QTest::newRow("three words") << QStringLiteral("Коваленко Олена Петрівна") << QStringLiteral("Коваленко")
                                 << QStringLiteral("Олена Петрівна");
    QTest::newRow("no space") << QStringLiteral("Коваленко") << QStringLiteral("Коваленко") << QString();
    QTest::newRow("two spaces keep the second")
        << QStringLiteral("Коваленко  Олена") << QStringLiteral("Коваленко") << QStringLiteral(" Олена");
    QTest::newRow("leading space") << QStringLiteral(" Олена") << QString() << QStringLiteral("Олена");
    QTest::newRow("empty") << QString() << QString() << QString();
  }

  void fioLines()
  {
    QFETCH(QString, fio);
    QFETCH(QString, line1);
    QFETCH(QString, line2);
    QCOMPARE(FioLine1(fio), line1);
    QCOMPARE(FioLine2(fio), line2);
  }

  void subjectRows_data()
  {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("twoRows");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("one row") << QStringLiteral("Фізика") << false << QStringLiteral("Фізика") << QString();
    QTest::newRow("Основи*здоров'я") << QStringLiteral("Основи*здоров'я") << true << QStringLiteral("Основи")
                                     << QStringLiteral("здоров'я");
    QTest::newRow("ending in *") << QStringLiteral("Фізика*") << true << QStringLiteral("Фізика") << QString();
    QTest::newRow("further * stays") << QStringLiteral("a*b*c") << true << QStringLiteral("a") << QStringLiteral("b*c");
    QTest::newRow("starting with *") << QStringLiteral("*Хімія") << true << QString() << QStringLiteral("Хімія");
  }

  void subjectRows()
  {
    QFETCH(QString, name);
    QFETCH(bool, twoRows);
    QFETCH(QString, first);
    QFETCH(QString, second);
    const TSubjectRows rows = SplitSubjectName(name);
    QCOMPARE(rows.TwoRows, twoRows);
    QCOMPARE(rows.First, first);
    QCOMPARE(rows.Second, second);
  }

  void averageLine_data()
  {
    QTest::addColumn<int>("grade");
    QTest::addColumn<QString>("avgMark");
    QTest::addColumn<QString>("avgPoints");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("value");
    const QString caption9 = QStringLiteral("Середній бал свідоцтва");
    const QString caption11 = QStringLiteral("Середній бал атестата");
    QTest::newRow("9th ignores points") << 1 << QStringLiteral("10,5") << QStringLiteral("186") << caption9
                                        << QStringLiteral("10,5");
    QTest::newRow("11th with points") << 2 << QStringLiteral("10,5") << QStringLiteral("186") << caption11
                                      << QStringLiteral("10,5 \u2013 186 б.");
    QTest::newRow("11th without points") << 2 << QStringLiteral("10,5") << QString() << caption11
                                         << QStringLiteral("10,5");
    QTest::newRow("11th, points only") << 2 << QString() << QStringLiteral("186") << caption11
                                       << QStringLiteral(" \u2013 186 б.");
    QTest::newRow("9th, empty") << 1 << QString() << QString() << caption9 << QString();
  }

  void averageLine()
  {
    QFETCH(int, grade);
    QFETCH(QString, avgMark);
    QFETCH(QString, avgPoints);
    QFETCH(QString, caption);
    QFETCH(QString, value);
    QCOMPARE(AvgCaption(grade), caption);
    QCOMPARE(AvgValue(grade, avgMark, avgPoints), value);
  }

  void issueDate_data()
  {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::newRow("5 March 2013") << QDate(2013, 3, 5) << QStringLiteral("05") << QStringLiteral("березня")
                                  << QStringLiteral("13");
    QTest::newRow("31 December 2024") << QDate(2024, 12, 31) << QStringLiteral("31") << QStringLiteral("грудня")
                                      << QStringLiteral("24");
    QTest::newRow("1 January 2000") << QDate(2000, 1, 1) << QStringLiteral("01") << QStringLiteral("січня")
                                    << QStringLiteral("00");
    QTest::newRow("11 November 2009") << QDate(2009, 11, 11) << QStringLiteral("11") << QStringLiteral("листопада")
                                      << QStringLiteral("09");
  }

  void issueDate()
  {
    QFETCH(QDate, date);
    QFETCH(QString, day);
    QFETCH(QString, month);
    QFETCH(QString, year);
    for (const QLocale &locale : BothLocales) {
      QLocale::setDefault(locale);
      QCOMPARE(DateDayText(date), day);
      QCOMPARE(DateMonthText(date), month);
      QCOMPARE(DateYearText(date), year);
    }
  }

  void monthsPlaceholder()
  {
    QCOMPARE(MonthsGenitive().size(), 13);
    QCOMPARE(MonthsGenitive().at(0), QStringLiteral(" "));
    QCOMPARE(DateMonthText(QDate()), QStringLiteral(" "));
  }

  void cutBefore_data()
  {
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("remove");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("sourceAfter");
    QTest::newRow("found, kept") << QStringLiteral(" ") << QStringLiteral("a b c") << false << QStringLiteral("a")
                                 << QStringLiteral("a b c");
    QTest::newRow("found, removed") << QStringLiteral(" ") << QStringLiteral("a b c") << true << QStringLiteral("a")
                                    << QStringLiteral("b c");
    QTest::newRow("at the start") << QStringLiteral("*") << QStringLiteral("*abc") << true << QString()
                                  << QStringLiteral("abc");
    QTest::newRow("at the end") << QStringLiteral("*") << QStringLiteral("abc*") << true << QStringLiteral("abc")
                                << QString();
    QTest::newRow("missing, kept") << QStringLiteral("*") << QStringLiteral("abc") << false << QStringLiteral("abc")
                                   << QStringLiteral("abc");
    QTest::newRow("missing, removed") << QStringLiteral("*") << QStringLiteral("abc") << true << QStringLiteral("abc")
                                      << QString();
    // Only the delimiter's first character goes with the head.
    QTest::newRow("two-character delimiter")
        << QStringLiteral("ab") << QStringLiteral("xxabyy") << true << QStringLiteral("xx") << QStringLiteral("byy");
    QTest::newRow("empty delimiter") << QString() << QStringLiteral("abc") << true << QStringLiteral("abc")
                                     << QString();
    QTest::newRow("empty source") << QStringLiteral("*") << QString() << true << QString() << QString();
  }

  void cutBefore()
  {
    QFETCH(QString, delimiter);
    QFETCH(QString, source);
    QFETCH(bool, remove);
    QFETCH(QString, result);
    QFETCH(QString, sourceAfter);
    QCOMPARE(CutBefore(delimiter, source, remove), result);
    QCOMPARE(source, sourceAfter);
  }

  void textAfter_data()
  {
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("result");
    QTest::newRow("first occurrence") << QStringLiteral(" ") << QStringLiteral("a b c") << QStringLiteral("b c");
    QTest::newRow("two-character delimiter")
        << QStringLiteral("ab") << QStringLiteral("xxabyy") << QStringLiteral("yy");
    QTest::newRow("at the end") << QStringLiteral("*") << QStringLiteral("abc*") << QString();
    QTest::newRow("missing") << QStringLiteral("*") << QStringLiteral("abc") << QString();
    QTest::newRow("empty delimiter") << QString() << QStringLiteral("abc") << QString();
  }

  void textAfter()
  {
    QFETCH(QString, delimiter);
    QFETCH(QString, source);
    QFETCH(QString, result);
    QCOMPARE(TextAfter(delimiter, source), result);
  }

  void replaceAll_data()
  {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("oldText");
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QString>("result");
    QTest::newRow("every occurrence") << QStringLiteral("a.b.c") << QStringLiteral(".") << QStringLiteral(",")
                                      << QStringLiteral("a,b,c");
    QTest::newRow("non-overlapping from the left")
        << QStringLiteral("aaa") << QStringLiteral("aa") << QStringLiteral("b") << QStringLiteral("ba");
    QTest::newRow("replacement not rescanned")
        << QStringLiteral("ab") << QStringLiteral("ab") << QStringLiteral("abab") << QStringLiteral("abab");
    QTest::newRow("letter case matters") << QStringLiteral("aXbx") << QStringLiteral("x") << QStringLiteral("y")
                                         << QStringLiteral("aXby");
    QTest::newRow("to nothing") << QStringLiteral("a b c") << QStringLiteral(" ") << QString() << QStringLiteral("abc");
    QTest::newRow("empty old text") << QStringLiteral("abc") << QString() << QStringLiteral("x")
                                    << QStringLiteral("abc");
    QTest::newRow("not found") << QStringLiteral("abc") << QStringLiteral("d") << QStringLiteral("x")
                               << QStringLiteral("abc");
  }

  void replaceAll()
  {
    QFETCH(QString, source);
    QFETCH(QString, oldText);
    QFETCH(QString, newText);
    QFETCH(QString, result);
    QCOMPARE(ReplaceAll(source, oldText, newText), result);
  }

  void strToFloatAnySep_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("point") << QStringLiteral("5.5") << 5.5;
    QTest::newRow("comma") << QStringLiteral("5,5") << 5.5;
    QTest::newRow("whole") << QStringLiteral("78") << 78.0;
    QTest::newRow("negative point") << QStringLiteral("-0.25") << -0.25;
    QTest::newRow("negative comma") << QStringLiteral("-0,25") << -0.25;
    QTest::newRow("two separators") << QStringLiteral("1,5.5") << -1.0;
    QTest::newRow("letters") << QStringLiteral("abc") << -1.0;
    QTest::newRow("empty") << QString() << -1.0;
    // A typed "inf" or a grouped number is no millimetre value.
    QTest::newRow("infinity") << QStringLiteral("inf") << -1.0;
    QTest::newRow("group separator") << QStringLiteral("1\u00A0000,5") << -1.0;
  }

  void strToFloatAnySep()
  {
    QFETCH(QString, text);
    QFETCH(double, value);
    for (const QLocale &locale : BothLocales) {
      QLocale::setDefault(locale);
      QCOMPARE(StrToFloatAnySep(text, -1.0), value);
    }
  }
};

QTEST_GUILESS_MAIN(TestWording)
#include "tst_wording.moc"
