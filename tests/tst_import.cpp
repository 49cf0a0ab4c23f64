// Reading class workbooks into pupils: the workbook layout, on real files
// written by a spreadsheet program in every supported format.

#include "pupils/MyExcelUtils.h"
#include "pupils/uPupils.h"

#include <QLocale>
#include <QTest>

namespace {

QString Fixture(const QString &name)
{
  return QStringLiteral(ORNAVEL_FIXTURES "/") + name;
}

const QStringList Formats{QStringLiteral("xls"), QStringLiteral("xlsx"), QStringLiteral("ods")};

/// Adds one data row per format for a fixture case.
template <typename... Values> void RowPerFormat(const QString &caseName, const Values &...values)
{
  for (const QString &format : Formats) {
    const QString file = caseName + QLatin1Char('.') + format;
    ((QTest::newRow(qPrintable(file)) << file) << ... << values);
  }
}

} // namespace

class TestImport : public QObject
{
  Q_OBJECT

private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::Ukrainian, QLocale::Ukraine)); }
  void cleanup() { QLocale::setDefault(QLocale::system()); }

  void grade_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("grade");
    RowPerFormat(QStringLiteral("grade_empty"), 9);
    RowPerFormat(QStringLiteral("grade_9"), 9);
    RowPerFormat(QStringLiteral("grade_11"), 11);
    RowPerFormat(QStringLiteral("grade_text"), 9);
  }

  void grade()
  {
    QFETCH(QString, file);
    QFETCH(int, grade);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::None);
    QCOMPARE(book.Grade, grade);
    QCOMPARE(book.Pupils.size(), 1);
    QCOMPARE(book.Pupils.at(0).FIO, QStringLiteral("Остапчук Яна Сергіївна"));
  }

  void gradeOtherThan9Or11IsRefused_data()
  {
    QTest::addColumn<QString>("file");
    RowPerFormat(QStringLiteral("grade_10"));
  }

  void gradeOtherThan9Or11IsRefused()
  {
    QFETCH(QString, file);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::BadGrade);
    QCOMPARE(book.GradeText, QStringLiteral("10"));
    QVERIFY(book.Pupils.isEmpty());
    QVERIFY(book.SubjectNames.isEmpty());
  }

  void classWorkbook_data()
  {
    QTest::addColumn<QString>("file");
    RowPerFormat(QStringLiteral("class9"));
  }

  void classWorkbook()
  {
    QFETCH(QString, file);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::None);
    QCOMPARE(book.Grade, 9);
    // An empty subject cell before the "*" keeps its place and its mark column.
    QCOMPARE(book.SubjectNames, (QStringList{QStringLiteral("Українська мова"), QStringLiteral("Алгебра"), QString(),
                                             QStringLiteral("Основи*здоров'я"), QStringLiteral("Фізична культура")}));
    QCOMPARE(book.DpaSubjectNames, (QStringList{QStringLiteral("Українська мова"), QStringLiteral("Математика")}));
    QVERIFY(!book.SubjectMarkerMissing);
    QVERIFY(!book.DpaMarkerMissing);
    QVERIFY(!book.Overflow);

    // Row 7 has no name: the rows after it are not pupils, even with data.
    QCOMPARE(book.Pupils.size(), 4);
    const TPupil &first = book.Pupils.at(0);
    QCOMPARE(first.FIO, QStringLiteral("Бондаренко Оксана Петрівна"));
    QCOMPARE(first.Seria, QStringLiteral("ВК"));
    QCOMPARE(first.Number, QStringLiteral("47123456"));
    QCOMPARE(first.Marks, (QStringList{QStringLiteral("10"), QStringLiteral("10"), QString(), QStringLiteral("11"),
                                       QStringLiteral("11")}));
    QCOMPARE(first.MarkCount, 4);
    QCOMPARE(first.DpaMarks, (QStringList{QStringLiteral("10"), QStringLiteral("10")}));
    // The average is a formula: its cached result is read, as the user's locale writes it.
    QCOMPARE(first.AvgMark, QStringLiteral("10,5"));
    // A text formula result.
    QCOMPARE(first.AvgPoints, QStringLiteral("186"));

    const TPupil &second = book.Pupils.at(1);
    QCOMPARE(second.Number, QStringLiteral("01234567"));
    QCOMPARE(second.Marks.at(3), QStringLiteral("зв"));
    QCOMPARE(second.AvgMark, QStringLiteral("9"));
    QCOMPARE(second.AvgPoints, QString());
    QCOMPARE(book.Pupils.at(2).AvgMark, QStringLiteral("8,7"));
    QCOMPARE(book.Pupils.at(3).FIO, QStringLiteral("Савчук Денис Андрійович"));
  }

  void genderKeepsFirstCharacter_data()
  {
    QTest::addColumn<QString>("file");
    RowPerFormat(QStringLiteral("class9"));
  }

  void genderKeepsFirstCharacter()
  {
    QFETCH(QString, file);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::None);
    QStringList genders;
    for (const TPupil &pupil : book.Pupils)
      genders << pupil.Gender;
    QCOMPARE(genders, (QStringList{QStringLiteral("Ж"), QStringLiteral("ч"), QStringLiteral("ж"), QString()}));
  }

  void realNumberUnderEitherLocale_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("average");
    for (const QString &format : Formats) {
      const QString file = QStringLiteral("class9.") + format;
      QTest::newRow(qPrintable(file + QStringLiteral(" uk")))
          << file << QLocale(QLocale::Ukrainian, QLocale::Ukraine) << QStringLiteral("10,5");
      QTest::newRow(qPrintable(file + QStringLiteral(" C"))) << file << QLocale::c() << QStringLiteral("10.5");
    }
  }

  void realNumberUnderEitherLocale()
  {
    QFETCH(QString, file);
    QFETCH(QLocale, locale);
    QFETCH(QString, average);
    QLocale::setDefault(locale);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::None);
    QCOMPARE(book.Pupils.at(0).AvgMark, average);
    // Whole numbers read the same everywhere.
    QCOMPARE(book.Pupils.at(1).AvgMark, QStringLiteral("9"));
  }

  void markCountAndOverflow_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("marks");
    QTest::addColumn<bool>("overflow");
    RowPerFormat(QStringLiteral("marks24"), 24, false);
    RowPerFormat(QStringLiteral("marks25"), 25, true);
  }

  void markCountAndOverflow()
  {
    QFETCH(QString, file);
    QFETCH(int, marks);
    QFETCH(bool, overflow);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::None);
    QCOMPARE(book.Grade, 11);
    QCOMPARE(book.SubjectNames.size(), 25);
    QCOMPARE(book.Pupils.size(), 1);
    QCOMPARE(book.Pupils.at(0).Marks.size(), 25);
    QCOMPARE(book.Pupils.at(0).MarkCount, marks);
    QCOMPARE(book.Overflow, overflow);
  }

  void noPupils_data()
  {
    QTest::addColumn<QString>("file");
    RowPerFormat(QStringLiteral("no_pupils"));
  }

  void noPupils()
  {
    QFETCH(QString, file);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::None);
    QVERIFY(book.Pupils.isEmpty());
    QCOMPARE(book.SubjectNames.size(), 6);
    QCOMPARE(book.DpaSubjectNames.size(), 2);
  }

  void activeSheetIsRead_data()
  {
    QTest::addColumn<QString>("file");
    QTest::newRow("xls") << QStringLiteral("active_second.xls");
    QTest::newRow("xlsx") << QStringLiteral("active_second.xlsx");
    QTest::newRow("ods") << QStringLiteral("ods_active_second.ods");
  }

  void activeSheetIsRead()
  {
    QFETCH(QString, file);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::None);
    QCOMPARE(book.Grade, 9);
    QCOMPARE(book.Pupils.size(), 1);
    QCOMPARE(book.Pupils.at(0).FIO, QStringLiteral("Правильна Учениця Другого Аркуша"));
    QCOMPARE(book.SubjectNames, (QStringList{QStringLiteral("Алгебра"), QStringLiteral("Геометрія")}));
  }

  void missingMarkers_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("subjects");
    QTest::addColumn<QStringList>("dpa");
    QTest::addColumn<bool>("subjectMarkerMissing");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QStringList>("dpaMarks");
    const QStringList three{QStringLiteral("Алгебра"), QStringLiteral("Геометрія"), QStringLiteral("Фізика")};
    RowPerFormat(QStringLiteral("no_marker"), three, QStringList(), true,
                 QStringList{QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10")}, QStringList());
    RowPerFormat(QStringLiteral("one_marker"), QStringList{QStringLiteral("Алгебра"), QStringLiteral("Геометрія")},
                 QStringList{QStringLiteral("Математика"), QStringLiteral("Історія України")}, false,
                 QStringList{QStringLiteral("8"), QStringLiteral("9")},
                 QStringList{QStringLiteral("10"), QStringLiteral("11")});
  }

  void missingMarkers()
  {
    QFETCH(QString, file);
    QFETCH(QStringList, subjects);
    QFETCH(QStringList, dpa);
    QFETCH(bool, subjectMarkerMissing);
    QFETCH(QStringList, marks);
    QFETCH(QStringList, dpaMarks);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::None);
    // The list ends at the sheet's last used column instead of running on.
    QCOMPARE(book.SubjectNames, subjects);
    QCOMPARE(book.DpaSubjectNames, dpa);
    QCOMPARE(book.SubjectMarkerMissing, subjectMarkerMissing);
    QVERIFY(book.DpaMarkerMissing);
    QCOMPARE(book.Pupils.size(), 1);
    QCOMPARE(book.Pupils.at(0).Marks, marks);
    QCOMPARE(book.Pupils.at(0).DpaMarks, dpaMarks);
    QCOMPARE(book.Pupils.at(0).AvgMark, QString());
  }

  void brokenFiles_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<TWorkbookError>("error");
    QTest::newRow("missing") << QStringLiteral("no_such_file.xls") << TWorkbookError::NotFound;
    QTest::newRow("empty") << QStringLiteral("empty.xls") << TWorkbookError::NotSpreadsheet;
    QTest::newRow("random") << QStringLiteral("random.xls") << TWorkbookError::NotSpreadsheet;
    QTest::newRow("text") << QStringLiteral("text.xlsx") << TWorkbookError::NotSpreadsheet;
    QTest::newRow("truncated xls") << QStringLiteral("truncated.xls") << TWorkbookError::Corrupt;
    QTest::newRow("truncated xlsx") << QStringLiteral("truncated.xlsx") << TWorkbookError::Corrupt;
    QTest::newRow("truncated ods") << QStringLiteral("truncated.ods") << TWorkbookError::Corrupt;
    QTest::newRow("password xls") << QStringLiteral("password.xls") << TWorkbookError::Encrypted;
    QTest::newRow("password xlsx") << QStringLiteral("password.xlsx") << TWorkbookError::Encrypted;
    QTest::newRow("zip bomb") << QStringLiteral("zipbomb.xlsx") << TWorkbookError::TooLarge;
    QTest::newRow("repeat bomb") << QStringLiteral("repeat_bomb.ods") << TWorkbookError::TooLarge;
  }

  void brokenFiles()
  {
    QFETCH(QString, file);
    QFETCH(TWorkbookError, error);
    TClassWorkbook book;
    QCOMPARE(ReadClassWorkbook(Fixture(file), book), TClassImportProblem::CannotOpen);
    QCOMPARE(ExcelLastError(), error);
    QVERIFY(!WorkbookErrorText(error).isEmpty());
    QVERIFY(book.Pupils.isEmpty());
  }

  void cellsWithoutWorkbookReadAsZero()
  {
    QuitExcel();
    QCOMPARE(GetCell(2, 1).toString(), QStringLiteral("0"));
    StartExcel();
    QVERIFY(!OpenWorkbook(Fixture(QStringLiteral("no_such_file.xls"))));
    QCOMPARE(GetCell(2, 1).toString(), QStringLiteral("0"));
    QVERIFY(OpenWorkbook(Fixture(QStringLiteral("grade_11.xls"))));
    QCOMPARE(GetCell(2, 1).toString(), QStringLiteral("11"));
    QCOMPARE(GetCell(200, 60000).toString(), QString());
    QVERIFY(QuitExcel());
    QVERIFY(!QuitExcel());
  }
};

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
