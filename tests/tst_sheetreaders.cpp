// The cell readers (.xls, .xlsx, .ods) on real files: what text each cell of
// the active sheet gives, and how damaged or hostile files are refused.
// The fixtures are made by scripts/make_workbooks.py; the texts below are the
// ones that script puts in.

#include "pupils/uSheetData.h"

#include <QDir>
#include <QHash>
#include <QLocale>
#include <QTest>

namespace {

QString Fixture(const QString &name)
{
  return QStringLiteral(ORNAVEL_FIXTURES "/") + name;
}

/// The workbook template shipped with the program (both "i" in the name are Latin).
QString TemplateFile()
{
  return QDir(QStringLiteral(ORNAVEL_FIXTURES "/../../resources")).filePath(QStringLiteral("Шаблон вiдомостi.xlt"));
}

const QStringList Formats{QStringLiteral("xls"), QStringLiteral("xlsx"), QStringLiteral("ods")};

/// "AD3" -> row 3, column 30.
bool ParseRef(const QString &ref, int &row, int &column)
{
  column = 0;
  int i = 0;
  for (; i < ref.size() && ref.at(i).isLetter(); ++i)
    column = column * 26 + (ref.at(i).toLatin1() - 'A' + 1);
  bool ok = false;
  row = ref.mid(i).toInt(&ok);
  return ok && column > 0 && row > 0;
}

void AddCellRow(const QString &file, const char *ref, const QString &text, const char *what)
{
  QTest::addRow("%s %s %s", qPrintable(file), ref, what) << file << QString::fromLatin1(ref) << text;
}

void AddCellRowPerFormat(const QString &caseName, const char *ref, const QString &text, const char *what)
{
  for (const QString &format : Formats)
    AddCellRow(caseName + QLatin1Char('.') + format, ref, text, what);
}

QString LongCyrillic()
{
  QString s;
  for (int i = 0; i < 840; ++i)
    s += QStringLiteral("Щ%1ї").arg(i, 3, 10, QLatin1Char('0'));
  return s;
}

QString LongAscii()
{
  QString s;
  for (int i = 0; i < 1660; ++i)
    s += QStringLiteral("L%1").arg(i, 4, 10, QLatin1Char('0'));
  return s;
}

QString SstRow(int i)
{
  return i % 2 == 0 ? QStringLiteral("%1 Прізвищенко-Довгоназвенко Іменко По-батькові").arg(i, 2, 10, QLatin1Char('0'))
                    : QStringLiteral("%1 Latin row with plain ASCII text only").arg(i, 2, 10, QLatin1Char('0'));
}

} // namespace

class TestSheetReaders : public QObject
{
  Q_OBJECT

  /// Sheets already read in the C locale, by file.
  QHash<QString, TSheetData> FSheets;

  bool Sheet(const QString &file, TSheetData &sheet, QByteArray &why)
  {
    auto it = FSheets.constFind(file);
    if (it != FSheets.constEnd()) {
      sheet = *it;
      return true;
    }
    TWorkbookError error = TWorkbookError::None;
    if (!ReadWorkbookFile(Fixture(file), sheet, error)) {
      why = file.toUtf8() + " was refused with error " + QByteArray::number(int(error));
      return false;
    }
    if (error != TWorkbookError::None) {
      why = file.toUtf8() + " was read but the error says " + QByteArray::number(int(error));
      return false;
    }
    FSheets.insert(file, sheet);
    return true;
  }

private slots:
  void init() { QLocale::setDefault(QLocale::c()); }
  void cleanup() { QLocale::setDefault(QLocale::system()); }

  void cellText_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("ref");
    QTest::addColumn<QString>("text");

    // B1 in every shape the grade comes in; an empty B1 is formatted (bold).
    AddCellRowPerFormat(QStringLiteral("grade_empty"), "B1", QString(), "formatted blank");
    AddCellRowPerFormat(QStringLiteral("grade_9"), "B1", QStringLiteral("9"), "grade");
    AddCellRowPerFormat(QStringLiteral("grade_11"), "B1", QStringLiteral("11"), "grade");
    AddCellRowPerFormat(QStringLiteral("grade_10"), "B1", QStringLiteral("10"), "grade");
    AddCellRowPerFormat(QStringLiteral("grade_text"), "B1", QStringLiteral("дев'ять"), "grade as text");
    AddCellRowPerFormat(QStringLiteral("grade_9"), "A1", QStringLiteral("Клас:"), "caption");

    const QString c9 = QStringLiteral("class9");
    // Row 1: a merged C1:E1 and cells after it.
    AddCellRowPerFormat(c9, "C1", QStringLiteral("Підказка: 9 або 11"), "merged cell");
    AddCellRowPerFormat(c9, "D1", QString(), "covered cell");
    AddCellRowPerFormat(c9, "E1", QString(), "covered cell");
    AddCellRowPerFormat(c9, "F1", QStringLiteral("Після об'єднання"), "after the merge");
    AddCellRowPerFormat(c9, "G1", CellBoolText(true), "boolean formula true");
    AddCellRowPerFormat(c9, "H1", CellBoolText(false), "boolean formula false");
    AddCellRowPerFormat(c9, "I1", QStringLiteral(" Класний  керівник:   Гнатюк В. О. "), "spaces kept");
    AddCellRowPerFormat(c9, "J1", QStringLiteral("Рядок перший\nРядок другий"), "two lines");
    AddCellRowPerFormat(c9, "K1", CellBoolText(true), "typed boolean");
    // Row 2: captions, subjects, the markers.
    AddCellRowPerFormat(c9, "A2", QStringLiteral("№"), "caption");
    AddCellRowPerFormat(c9, "B2", QStringLiteral("Прізвище, ім'я та по батькові"), "caption");
    AddCellRowPerFormat(c9, "F2", QStringLiteral("Українська мова"), "text in mixed formatting");
    AddCellRowPerFormat(c9, "G2", QStringLiteral("Алгебра"), "subject");
    AddCellRowPerFormat(c9, "H2", QString(), "empty subject");
    AddCellRowPerFormat(c9, "I2", QStringLiteral("Основи*здоров'я"), "subject with a star");
    AddCellRowPerFormat(c9, "K2", QStringLiteral("*"), "first marker");
    AddCellRowPerFormat(c9, "M2", QStringLiteral("Математика"), "state attestation subject");
    AddCellRowPerFormat(c9, "N2", QStringLiteral("*"), "second marker");
    AddCellRowPerFormat(c9, "O2", QStringLiteral("Середній бал"), "caption");
    // Pupils.
    AddCellRowPerFormat(c9, "A3", QStringLiteral("1"), "row number");
    AddCellRowPerFormat(c9, "B3", QStringLiteral("Бондаренко Оксана Петрівна"), "name");
    AddCellRowPerFormat(c9, "C3", QStringLiteral("Ж"), "gender");
    AddCellRowPerFormat(c9, "D3", QStringLiteral("ВК"), "series");
    AddCellRowPerFormat(c9, "E3", QStringLiteral("47123456"), "document number typed as a number");
    AddCellRowPerFormat(c9, "F3", QStringLiteral("10"), "mark");
    AddCellRowPerFormat(c9, "G3", QStringLiteral("10"), "same mark beside");
    AddCellRowPerFormat(c9, "H3", QString(), "no mark");
    AddCellRowPerFormat(c9, "J3", QStringLiteral("11"), "mark");
    AddCellRowPerFormat(c9, "M3", QStringLiteral("10"), "state attestation mark");
    AddCellRowPerFormat(c9, "P3", QStringLiteral("186"), "text formula result");
    AddCellRowPerFormat(c9, "E4", QStringLiteral("01234567"), "document number typed as text");
    AddCellRowPerFormat(c9, "I4", QStringLiteral("зв"), "mark as text");
    AddCellRowPerFormat(c9, "O4", QStringLiteral("9"), "whole formula result");
    AddCellRowPerFormat(c9, "P4", QString(), "empty");
    AddCellRowPerFormat(c9, "B5", QStringLiteral("Коваль Мар'яна Олегівна"), "name with an apostrophe");
    AddCellRowPerFormat(c9, "C5", QStringLiteral("жіноча"), "gender in full");
    AddCellRowPerFormat(c9, "G5", QStringLiteral("зар"), "mark as text");
    AddCellRowPerFormat(c9, "C6", QString(), "no gender");
    AddCellRowPerFormat(c9, "I6", QStringLiteral("на"), "mark as text");
    AddCellRowPerFormat(c9, "A7", QStringLiteral("5"), "number without a name");
    AddCellRowPerFormat(c9, "B7", QString(), "end of the pupils");
    AddCellRowPerFormat(c9, "B8", QStringLiteral("Зайвий Рядок Поза Списком"), "data after the end");
    AddCellRowPerFormat(c9, "O9", QString(), "formula giving empty text");

    // 25 subjects: the last mark column is AD.
    AddCellRowPerFormat(QStringLiteral("marks25"), "AD2", QStringLiteral("Предмет 25"), "last subject");
    AddCellRowPerFormat(QStringLiteral("marks25"), "AE2", QStringLiteral("*"), "marker");
    AddCellRowPerFormat(QStringLiteral("marks25"), "AD3", QStringLiteral("7"), "last mark");
    AddCellRowPerFormat(QStringLiteral("marks24"), "R3", QString(), "the missing mark");

    AddCellRowPerFormat(QStringLiteral("no_pupils"), "A3", QStringLiteral("1"), "row number");
    AddCellRowPerFormat(QStringLiteral("no_pupils"), "B3", QString(), "no pupil");
    AddCellRowPerFormat(QStringLiteral("no_marker"), "H2", QStringLiteral("Фізика"), "last subject");
    AddCellRowPerFormat(QStringLiteral("one_marker"), "H2", QStringLiteral("*"), "only marker");

    // The active sheet, not the first one.
    for (const QString &file : {QStringLiteral("active_second.xls"), QStringLiteral("active_second.xlsx"),
                                QStringLiteral("ods_active_second.ods")}) {
      AddCellRow(file, "B1", QStringLiteral("9"), "grade of the active sheet");
      AddCellRow(file, "B3", QStringLiteral("Правильна Учениця Другого Аркуша"), "pupil of the active sheet");
      AddCellRow(file, "Z10", QString(), "cell only on the first sheet");
    }

    // The .xls string table split over CONTINUE records, strings included.
    for (const QString &format : Formats) {
      const QString file = QStringLiteral("sst_continue.") + format;
      for (int i = 0; i < 40; ++i)
        AddCellRow(file, qPrintable(QStringLiteral("A%1").arg(i + 1)), SstRow(i), "distinct string");
      AddCellRow(file, "A41", LongCyrillic(), "4200 Cyrillic characters");
      AddCellRow(file, "A42", LongAscii(), "8300 Latin characters");
      AddCellRow(file, "A43", QStringLiteral("останній"), "after the long strings");
    }

    // Inline strings, cells and a row without a reference, no shared strings, no styles.
    const QString inl = QStringLiteral("xlsx_inline.xlsx");
    AddCellRow(inl, "A1", QStringLiteral("Клас:"), "inline string");
    AddCellRow(inl, "B1", QStringLiteral("11"), "number");
    AddCellRow(inl, "F2", QStringLiteral("Фізика і астрономія"), "inline string");
    AddCellRow(inl, "G2", QStringLiteral("*"), "cell without reference");
    AddCellRow(inl, "H2", QStringLiteral("Математика"), "inline string in runs");
    AddCellRow(inl, "I2", QStringLiteral("*"), "referenced again");
    AddCellRow(inl, "J2", QStringLiteral("Середній бал "), "preserved space");
    AddCellRow(inl, "B3", QStringLiteral("Ґудзь Їжакова Євгенія"), "name");
    AddCellRow(inl, "G3", QString(), "no mark");
    AddCellRow(inl, "H3", QStringLiteral("11"), "mark");
    AddCellRow(inl, "A4", QStringLiteral("2"), "row without reference");
    AddCellRow(inl, "B4", QStringLiteral("Їжак Олесь Юрійович"), "row and cell without reference");

    // openpyxl: absolute part names, shared strings, the second sheet active.
    const QString opx = QStringLiteral("xlsx_openpyxl.xlsx");
    AddCellRow(opx, "B1", QStringLiteral("9"), "grade of the active sheet");
    AddCellRow(opx, "F2", QStringLiteral("Біологія"), "shared string");
    AddCellRow(opx, "H2", QStringLiteral("*"), "marker");
    AddCellRow(opx, "B3", QStringLiteral("Гончаренко Ірина Степанівна"), "pupil of the active sheet");
    AddCellRow(opx, "E3", QStringLiteral("47400001"), "number");
    AddCellRow(opx, "M1", CellBoolText(true), "boolean");

    // Empty cells and rows repeated to the sheet's edge, then one more cell.
    AddCellRow(QStringLiteral("ods_empty_repeats.ods"), "B1", QStringLiteral("11"), "before the repeats");
    AddCellRow(QStringLiteral("ods_empty_repeats.ods"), "C1048002", QStringLiteral("за краєм"), "after the repeats");
  }

  void cellText()
  {
    QFETCH(QString, file);
    QFETCH(QString, ref);
    QFETCH(QString, text);
    int row = 0, column = 0;
    QVERIFY(ParseRef(ref, row, column));
    TSheetData sheet;
    QByteArray why;
    QVERIFY2(Sheet(file, sheet, why), why.constData());
    QCOMPARE(sheet.cell(row, column), text);
  }

  void templateLayout_data()
  {
    QTest::addColumn<QString>("ref");
    QTest::addColumn<QString>("text");
    QTest::newRow("grade") << QStringLiteral("B1") << QStringLiteral("9");
    QTest::newRow("name caption") << QStringLiteral("B2") << QStringLiteral("Прізвище, ім'я та по батькові");
    QTest::newRow("first subject") << QStringLiteral("F2") << QStringLiteral("Українська мова");
    QTest::newRow("subject with apostrophe") << QStringLiteral("V2") << QStringLiteral("Основи здоров'я");
    QTest::newRow("last subject") << QStringLiteral("W2") << QStringLiteral("Фізична культура");
    QTest::newRow("first marker") << QStringLiteral("X2") << QStringLiteral("*");
    QTest::newRow("first attestation subject") << QStringLiteral("Y2") << QStringLiteral("Українська мова");
    QTest::newRow("last attestation subject") << QStringLiteral("AB2") << QStringLiteral("Біологія");
    QTest::newRow("second marker") << QStringLiteral("AC2") << QStringLiteral("*");
    QTest::newRow("average caption") << QStringLiteral("AD2") << QStringLiteral("Середній бал");
    QTest::newRow("no pupil") << QStringLiteral("B3") << QString();
    QTest::newRow("average of an empty row") << QStringLiteral("AD3") << QString();
    QTest::newRow("last numbered row") << QStringLiteral("A42") << QStringLiteral("40");
  }

  void templateLayout()
  {
    QFETCH(QString, ref);
    QFETCH(QString, text);
    int row = 0, column = 0;
    QVERIFY(ParseRef(ref, row, column));
    TSheetData sheet;
    TWorkbookError error = TWorkbookError::None;
    QVERIFY2(ReadWorkbookFile(TemplateFile(), sheet, error), qPrintable(TemplateFile()));
    QCOMPARE(error, TWorkbookError::None);
    QCOMPARE(sheet.cell(row, column), text);
  }

  void realNumberFollowsLocale_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("ref");
    QTest::addColumn<QString>("ukrainian");
    QTest::addColumn<QString>("c");
    for (const QString &format : Formats) {
      const QString file = QStringLiteral("class9.") + format;
      QTest::addRow("%s formula 10.5", qPrintable(file))
          << file << QStringLiteral("O3") << QStringLiteral("10,5") << QStringLiteral("10.5");
      // 8.7 and 7.3 have no exact binary form; typed 8.7 is an RK number in .xls
      QTest::addRow("%s typed 8.7", qPrintable(file))
          << file << QStringLiteral("O5") << QStringLiteral("8,7") << QStringLiteral("8.7");
      QTest::addRow("%s formula 7.3", qPrintable(file))
          << file << QStringLiteral("O6") << QStringLiteral("7,3") << QStringLiteral("7.3");
    }
    QTest::newRow("inline 10.5") << QStringLiteral("xlsx_inline.xlsx") << QStringLiteral("J3") << QStringLiteral("10,5")
                                 << QStringLiteral("10.5");
    QTest::newRow("openpyxl 10.5") << QStringLiteral("xlsx_openpyxl.xlsx") << QStringLiteral("K3")
                                   << QStringLiteral("10,5") << QStringLiteral("10.5");
  }

  void realNumberFollowsLocale()
  {
    QFETCH(QString, file);
    QFETCH(QString, ref);
    QFETCH(QString, ukrainian);
    QFETCH(QString, c);
    int row = 0, column = 0;
    QVERIFY(ParseRef(ref, row, column));
    TSheetData sheet;
    TWorkbookError error = TWorkbookError::None;

    QLocale::setDefault(QLocale(QLocale::Ukrainian, QLocale::Ukraine));
    QVERIFY(ReadWorkbookFile(Fixture(file), sheet, error));
    QCOMPARE(sheet.cell(row, column), ukrainian);

    QLocale::setDefault(QLocale::c());
    QVERIFY(ReadWorkbookFile(Fixture(file), sheet, error));
    QCOMPARE(sheet.cell(row, column), c);
  }

  /// The three formats of one case hold the same cells: every reader gives
  /// the same texts, and no reader adds or loses a cell.
  void sameCellsInEveryFormat_data()
  {
    QTest::addColumn<QString>("caseName");
    for (const char *name : {"grade_empty", "grade_9", "grade_text", "class9", "marks24", "marks25", "no_pupils",
                             "no_marker", "one_marker", "sst_continue"})
      QTest::newRow(name) << QString::fromLatin1(name);
  }

  void sameCellsInEveryFormat()
  {
    QFETCH(QString, caseName);
    TSheetData sheets[3];
    QByteArray why;
    for (int i = 0; i < 3; ++i)
      QVERIFY2(Sheet(caseName + QLatin1Char('.') + Formats.at(i), sheets[i], why), why.constData());
    for (int i = 1; i < 3; ++i) {
      const QByteArray pair = Formats.at(0).toLatin1() + " vs " + Formats.at(i).toLatin1();
      QVERIFY2(sheets[i].lastRow() == sheets[0].lastRow(), pair.constData());
      QVERIFY2(sheets[i].lastColumn() == sheets[0].lastColumn(), pair.constData());
      QVERIFY2(sheets[i].cellCount() == sheets[0].cellCount(), pair.constData());
      for (int r = 1; r <= sheets[0].lastRow(); ++r)
        for (int c = 1; c <= sheets[0].lastColumn(); ++c)
          if (sheets[i].cell(r, c) != sheets[0].cell(r, c))
            QFAIL(qPrintable(QStringLiteral("%1: row %2 column %3: \"%4\" vs \"%5\"")
                                 .arg(QString::fromLatin1(pair))
                                 .arg(r)
                                 .arg(c)
                                 .arg(sheets[0].cell(r, c), sheets[i].cell(r, c))));
    }
  }

  /// How far the sheet reaches and how many cells it holds: blank formatted
  /// cells, covered cells and formulas giving "" are not cells.
  void sheetExtent_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("lastColumn");
    QTest::addColumn<qint64>("cells");
    for (const QString &format : Formats) {
      QTest::addRow("class9.%s", qPrintable(format)) << QStringLiteral("class9.") + format << 8 << 16 << qint64(79);
      QTest::addRow("grade_empty.%s", qPrintable(format))
          << QStringLiteral("grade_empty.") + format << 3 << 11 << qint64(20);
      QTest::addRow("no_pupils.%s", qPrintable(format))
          << QStringLiteral("no_pupils.") + format << 5 << 17 << qint64(25);
      QTest::addRow("marks24.%s", qPrintable(format)) << QStringLiteral("marks24.") + format << 3 << 35 << qint64(69);
      QTest::addRow("one_marker.%s", qPrintable(format))
          << QStringLiteral("one_marker.") + format << 3 << 10 << qint64(21);
    }
    QTest::newRow("active_second.xls") << QStringLiteral("active_second.xls") << 3 << 11 << qint64(20);
    QTest::newRow("active_second.xlsx") << QStringLiteral("active_second.xlsx") << 3 << 11 << qint64(20);
    QTest::newRow("ods_active_second.ods") << QStringLiteral("ods_active_second.ods") << 3 << 11 << qint64(20);
    QTest::newRow("xlsx_inline.xlsx") << QStringLiteral("xlsx_inline.xlsx") << 4 << 10 << qint64(16);
    QTest::newRow("ods_empty_repeats.ods") << QStringLiteral("ods_empty_repeats.ods") << 1048002 << 3 << qint64(3);
  }

  void sheetExtent()
  {
    QFETCH(QString, file);
    QFETCH(int, lastRow);
    QFETCH(int, lastColumn);
    QFETCH(qint64, cells);
    TSheetData sheet;
    QByteArray why;
    QVERIFY2(Sheet(file, sheet, why), why.constData());
    QCOMPARE(sheet.lastRow(), lastRow);
    QCOMPARE(sheet.lastColumn(), lastColumn);
    QCOMPARE(sheet.cellCount(), cells);
  }

  void refused_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<TWorkbookError>("error");
    QTest::newRow("missing") << QStringLiteral("no_such_file.xlsx") << TWorkbookError::NotFound;
    QTest::newRow("empty.xls") << QStringLiteral("empty.xls") << TWorkbookError::NotSpreadsheet;
    QTest::newRow("random.xls") << QStringLiteral("random.xls") << TWorkbookError::NotSpreadsheet;
    QTest::newRow("text.xlsx") << QStringLiteral("text.xlsx") << TWorkbookError::NotSpreadsheet;
    QTest::newRow("ole_random.xls") << QStringLiteral("ole_random.xls") << TWorkbookError::Corrupt;
    QTest::newRow("truncated.xls") << QStringLiteral("truncated.xls") << TWorkbookError::Corrupt;
    QTest::newRow("truncated.xlsx") << QStringLiteral("truncated.xlsx") << TWorkbookError::Corrupt;
    QTest::newRow("truncated.ods") << QStringLiteral("truncated.ods") << TWorkbookError::Corrupt;
    QTest::newRow("zipbomb.xlsx") << QStringLiteral("zipbomb.xlsx") << TWorkbookError::TooLarge;
    QTest::newRow("repeat_bomb.ods") << QStringLiteral("repeat_bomb.ods") << TWorkbookError::TooLarge;
    QTest::newRow("password.xls") << QStringLiteral("password.xls") << TWorkbookError::Encrypted;
    QTest::newRow("password.xlsx") << QStringLiteral("password.xlsx") << TWorkbookError::Encrypted;
  }

  void refused()
  {
    QFETCH(QString, file);
    QFETCH(TWorkbookError, error);
    TSheetData sheet;
    TWorkbookError got = TWorkbookError::None;
    QVERIFY(!ReadWorkbookFile(Fixture(file), sheet, got));
    QCOMPARE(got, error);
    QCOMPARE(sheet.cellCount(), qint64(0));
  }
};

QTEST_GUILESS_MAIN(TestSheetReaders)
#include "tst_sheetreaders.moc"
