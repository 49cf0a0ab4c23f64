// The layout of the blank: the 37 items with their defaults and links, the
// dialog fields that normalise it, and the layout file.

#include "layout/uLayout.h"
#include "render/MyCanvasUtils.h"
#include "store/uAppError.h"
#include "store/uIniFile.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// The item table as the blank needs it: derived values already resolved.
struct TExpectedItem
{
  const char *Name;
  TLineKind Kind;
  const char *Master;
  int Side;
  int Grades;
  int X;
  double Y;
  int L;
};

constexpr TLineKind P = TLineKind::Plain;
constexpr TLineKind LX = TLineKind::LinkedX;
constexpr TLineKind LY = TLineKind::LinkedY;

const TExpectedItem Expected[] = {
    {"SeriaLine", P, "", 0, 3, 30, 22, 10},
    {"NumberLine", LY, "SeriaLine", 0, 3, 45, 22, 32},
    {"Fio1Line", P, "", 0, 3, 5, 31, 98},
    {"Fio2Line", LX, "Fio1Line", 0, 3, 5, 38, 98},
    {"LeftGenderLine9", P, "", 0, 1, 18, 44, 4},
    {"GodLine9", P, "", 0, 1, 31, 44, 7},
    {"LeftGenderLine11", P, "", 0, 2, 15, 44, 4},
    {"GodLine11", P, "", 0, 2, 12, 50, 7},
    {"RightGenderLine", P, "", 0, 3, 120, 86, 6},
    {"School1Line", LX, "Fio1Line", 0, 3, 5, 55, 98},
    {"School2Line", LX, "Fio1Line", 0, 3, 5, 61, 98},
    {"LeftFirstSubjLine", P, "", 0, 3, 5, 78, 63},
    {"LeftFirstMarkLine", LY, "LeftFirstSubjLine", 0, 3, 73, 78, 30},
    {"RightFirstSubjLine", P, "", 0, 3, 107, 17, 63},
    {"RightFirstMarkLine", LY, "RightFirstSubjLine", 0, 3, 175, 17, 30},
    {"LeftLastLine", LX, "LeftFirstSubjLine", 0, 3, 5, 138, 63},
    {"RightLastLine", LX, "RightFirstSubjLine", 0, 3, 107, 77, 63},
    {"DpaFirstLine", LX, "RightFirstSubjLine", 0, 3, 107, 110, 63},
    {"BackTopGenderLine", P, "", 1, 3, 38, 18, 9},
    {"FacultFirstLine", P, "", 1, 3, 14, 29, 75},
    {"Get1Line", P, "", 1, 1, 78, 59, 6},
    {"Get2Line", LX, "FacultFirstLine", 1, 1, 14, 64, 75},
    {"AwardLine", LX, "FacultFirstLine", 1, 1, 14, 77, 49},
    {"Back9LowerGenderLine", LY, "AwardLine", 1, 1, 84, 77, 6},
    {"Director9Line", P, "", 1, 1, 38, 99, 30},
    {"RegNum9Line", P, "", 1, 1, 56, 131, 28},
    {"ZaLine", P, "", 1, 2, 19, 58, 49},
    {"MedalluLine", LX, "FacultFirstLine", 1, 2, 14, 70, 44},
    {"MedalluGenderLine", P, "", 1, 2, 47, 64, 6},
    {"Award11Line", P, "", 1, 2, 28, 83, 60},
    {"Back11LowerGenderLine", P, "", 1, 2, 32, 89, 5},
    {"Director11Line", P, "", 1, 2, 37, 103, 30},
    {"RegNum11Line", P, "", 1, 2, 54, 131, 28},
    {"DayLine", P, "", 1, 3, 17, 118, 10},
    {"MonthLine", LY, "DayLine", 1, 3, 30, 118, 28},
    {"YearLine", LY, "DayLine", 1, 3, 63, 118, 7},
    {"FacultLastYLine", LX, "FacultFirstLine", 1, 3, 14, 50, 75},
};

/// A dialog field, the coordinate it holds ('X', 'Y', or 'W'/'H' for the
/// page) and every item that value reaches.
struct TFieldRow
{
  const char *Field;
  char Coordinate;
  const char *Items;
};

const TFieldRow FieldRows[] = {
    {"edSeriaX", 'X', "SeriaLine"},
    {"edSeriaY", 'Y', "SeriaLine NumberLine"},
    {"edNumberX", 'X', "NumberLine"},
    {"edFio1X", 'X', "Fio1Line Fio2Line School1Line School2Line"},
    {"edFio1Y", 'Y', "Fio1Line"},
    {"edFio2Y", 'Y', "Fio2Line"},
    {"edLeftGenderX_9", 'X', "LeftGenderLine9"},
    {"edLeftGenderY_9", 'Y', "LeftGenderLine9"},
    {"edGodX_9", 'X', "GodLine9"},
    {"edGodY_9", 'Y', "GodLine9"},
    {"edLeftGenderX_11", 'X', "LeftGenderLine11"},
    {"edLeftGenderY_11", 'Y', "LeftGenderLine11"},
    {"edGodX_11", 'X', "GodLine11"},
    {"edGodY_11", 'Y', "GodLine11"},
    {"edRightGenderX", 'X', "RightGenderLine"},
    {"edRightGenderY", 'Y', "RightGenderLine"},
    {"edSchool1Y", 'Y', "School1Line"},
    {"edSchool2Y", 'Y', "School2Line"},
    {"edLeftFirstSubjX", 'X', "LeftFirstSubjLine LeftLastLine"},
    {"edLeftFirstSubjY", 'Y', "LeftFirstSubjLine LeftFirstMarkLine"},
    {"edLeftFirstMarkX", 'X', "LeftFirstMarkLine"},
    {"edRightFirstSubjX", 'X', "RightFirstSubjLine RightLastLine DpaFirstLine"},
    {"edRightFirstSubjY", 'Y', "RightFirstSubjLine RightFirstMarkLine"},
    {"edRightFirstMarkX", 'X', "RightFirstMarkLine"},
    {"edLeftLastY", 'Y', "LeftLastLine"},
    {"edRightLastY", 'Y', "RightLastLine"},
    {"edDpaFirstY", 'Y', "DpaFirstLine"},
    {"edBackTopGenderX", 'X', "BackTopGenderLine"},
    {"edBackTopGenderY", 'Y', "BackTopGenderLine"},
    {"edFacultX", 'X', "FacultFirstLine Get2Line AwardLine FacultLastYLine"},
    {"edFacultFirstY", 'Y', "FacultFirstLine"},
    {"edGet1X", 'X', "Get1Line"},
    {"edGet1Y", 'Y', "Get1Line"},
    {"edGet2Y", 'Y', "Get2Line"},
    {"edAwardY", 'Y', "AwardLine Back9LowerGenderLine"},
    {"edBack9LowerGenderX", 'X', "Back9LowerGenderLine"},
    {"edDirector9X", 'X', "Director9Line"},
    {"edDirector9Y", 'Y', "Director9Line"},
    {"edRegNum9X", 'X', "RegNum9Line"},
    {"edRegNum9Y", 'Y', "RegNum9Line"},
    {"edZaX", 'X', "ZaLine"},
    {"edZaY", 'Y', "ZaLine"},
    {"edMedalluX", 'X', "MedalluLine"},
    {"edMedalluY", 'Y', "MedalluLine"},
    {"edMedalluGenderX", 'X', "MedalluGenderLine"},
    {"edMedalluGenderY", 'Y', "MedalluGenderLine"},
    {"edAward11X", 'X', "Award11Line"},
    {"edAward11Y", 'Y', "Award11Line"},
    {"edBack11LowerGenderX", 'X', "Back11LowerGenderLine"},
    {"edBack11LowerGenderY", 'Y', "Back11LowerGenderLine"},
    {"edDirector11X", 'X', "Director11Line"},
    {"edDirector11Y", 'Y', "Director11Line"},
    {"edRegNum11X", 'X', "RegNum11Line"},
    {"edRegNum11Y", 'Y', "RegNum11Line"},
    {"edDayX", 'X', "DayLine"},
    {"edDateY", 'Y', "DayLine MonthLine YearLine"},
    {"edMonthX", 'X', "MonthLine"},
    {"edYearX", 'X', "YearLine"},
    {"edFacultLastY", 'Y', "FacultLastYLine"},
    {"edPageWidth", 'W', ""},
    {"edPageHeight", 'H', ""},
};

QByteArray DefaultFileBytes()
{
  return ReadBytes(QStringLiteral(ORNAVEL_FIXTURES "/layout/default.blf"));
}

QLocale CommaLocale()
{
  return QLocale(QLocale::Ukrainian, QLocale::Ukraine);
}

QLocale LocaleWithSeparator(const QString &separator)
{
  return separator == QLatin1String(",") ? CommaLocale() : QLocale::c();
}

/// Every line against the item table's defaults.
void VerifyDefaultPositions(const TLayout &layout)
{
  for (const TExpectedItem &item : Expected) {
    const TLayoutLine *line = layout.LineByName(QString::fromLatin1(item.Name));
    QVERIFY2(line, item.Name);
    QCOMPARE(line->X(), item.X);
    QCOMPARE(line->Y(), item.Y);
    QCOMPARE(line->L(), item.L);
  }
}

/// A value read back by name: a line's coordinate, or the page size.
double ValueOf(const TLayout &layout, const QString &item, char coordinate)
{
  if (item == QLatin1String("PageWidth"))
    return layout.PageWidth();
  if (item == QLatin1String("PageHeight"))
    return layout.PageHeight();
  const TLayoutLine *line = layout.LineByName(item);
  if (!line)
    return qQNaN();
  switch (coordinate) {
  case 'X':
    return line->X();
  case 'Y':
    return line->Y();
  default:
    return line->L();
  }
}

} // namespace

class TestLayout : public QObject
{
  Q_OBJECT

  QTemporaryDir *FDir = nullptr;
  QLocale FSavedLocale;

  QString Path(const QString &name) const { return FDir->filePath(name); }

  QString FileWith(const QByteArray &text)
  {
    const QString path = Path(QStringLiteral("edited.blf"));
    WriteBytes(path, text);
    return path;
  }

private slots:
  void initTestCase() { FSavedLocale = QLocale(); }

  void init()
  {
    QLocale::setDefault(CommaLocale());
    FDir = new QTemporaryDir;
    QVERIFY(FDir->isValid());
  }

  void cleanup()
  {
    QLocale::setDefault(FSavedLocale);
    delete FDir;
    FDir = nullptr;
  }

  void itemTable_data()
  {
    QTest::addColumn<int>("index");
    for (int i = 0; i < LayoutItemCount; ++i)
      QTest::newRow(Expected[i].Name) << i;
  }

  void itemTable()
  {
    QFETCH(int, index);
    const TExpectedItem &expected = Expected[index];
    TLayout layout;
    layout.LoadLayoutFile(Path(QStringLiteral("none.blf")));
    QCOMPARE(layout.Lines().size(), LayoutItemCount);
    const TLayoutLine *line = layout.Lines().at(index);
    QCOMPARE(line, layout.Line(TLayoutItem(index)));
    QCOMPARE(line->Name(), QString::fromLatin1(expected.Name));
    QCOMPARE(line->Kind(), expected.Kind);
    QCOMPARE(line->Master() ? line->Master()->Name() : QString(), QString::fromLatin1(expected.Master));
    QCOMPARE(int(line->Side()), expected.Side);
    QCOMPARE(int(line->Grades()), expected.Grades);
    QCOMPARE(line->X(), expected.X);
    QCOMPARE(line->Y(), expected.Y);
    QCOMPARE(line->L(), expected.L);
    const TLinePos pos = line->Pos();
    QCOMPARE(pos.X, expected.X);
    QCOMPARE(pos.L, expected.L);
    QCOMPARE(pos.Y, expected.Y);
  }

  void sideLists()
  {
    TLayout layout;
    QStringList front, back, expectedFront, expectedBack;
    for (const TLayoutLine *line : layout.FrontLines())
      front << line->Name();
    for (const TLayoutLine *line : layout.BackLines())
      back << line->Name();
    for (const TExpectedItem &item : Expected)
      (item.Side == 0 ? expectedFront : expectedBack) << QString::fromLatin1(item.Name);
    QCOMPARE(front, expectedFront);
    QCOMPARE(back, expectedBack);
  }

  void freshLinesAndNotifications()
  {
    TLayout layout;
    TLayoutLine *line = layout.Line(TLayoutItem::ZaLine);
    QCOMPARE(line->X(), 10);
    QCOMPARE(line->Y(), 10.0);
    QCOMPARE(line->L(), 10);

    int calls = 0;
    line->OnChanged = [&calls] { ++calls; };
    line->SetX(10);
    QCOMPARE(calls, 1); // X notifies even when unchanged
    line->SetY(10.0);
    line->SetL(10);
    QCOMPARE(calls, 1); // Y and L do not
    line->SetY(12.5);
    QCOMPARE(calls, 2);
    line->SetL(49);
    QCOMPARE(calls, 3);
    QCOMPARE(line->Pos().Y, 12.5);
    QCOMPARE(line->Pos().L, 49);
  }

  void defaultsWithoutFile()
  {
    TLayout layout;
    for (const QString &field : TLayout::FieldNames())
      layout.SetFieldText(field, QStringLiteral("7"));
    layout.DialogToLayout();
    QCOMPARE(layout.PageWidth(), 7);
    QCOMPARE(::FioCentreX, 7 + 49);

    layout.LoadLayoutFile(Path(QStringLiteral("missing.blf")));
    VerifyDefaultPositions(layout);
    QCOMPARE(layout.FioCentreX(), 54);
    QCOMPARE(::FioCentreX, 54);
    QCOMPARE(layout.PageWidth(), 210);
    QCOMPARE(layout.PageHeight(), 148);
    for (const QString &field : TLayout::FieldNames())
      QCOMPARE(layout.FieldText(field), TLayout::FieldDefaultText(field));
  }

  void fieldNames()
  {
    QStringList expected;
    for (const TFieldRow &row : FieldRows)
      expected << QString::fromLatin1(row.Field);
    const QStringList names = TLayout::FieldNames();
    QCOMPARE(names.size(), 61);
    QCOMPARE(QSet<QString>(names.begin(), names.end()), QSet<QString>(expected.begin(), expected.end()));
  }

  void fieldsDriveTheirItems_data()
  {
    QTest::addColumn<QString>("field");
    QTest::addColumn<char>("coordinate");
    QTest::addColumn<QStringList>("items");
    for (const TFieldRow &row : FieldRows)
      QTest::newRow(row.Field) << QString::fromLatin1(row.Field) << row.Coordinate
                               << QString::fromLatin1(row.Items).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  }

  void fieldsDriveTheirItems()
  {
    QFETCH(QString, field);
    QFETCH(char, coordinate);
    QFETCH(QStringList, items);
    const bool isY = coordinate == 'Y';
    const QString text = isY ? QStringLiteral("123,25") : QStringLiteral("123");
    const double value = isY ? 123.25 : 123;
    QCOMPARE(TLayout::IsYField(field), isY);

    TLayout layout;
    layout.SetFieldText(field, text);
    layout.DialogToLayout();

    for (const TExpectedItem &item : Expected) {
      const QString name = QString::fromLatin1(item.Name);
      const TLayoutLine *line = layout.LineByName(name);
      const bool reached = items.contains(name);
      QCOMPARE(line->X(), reached && coordinate == 'X' ? int(value) : item.X);
      QCOMPARE(line->Y(), reached && isY ? value : item.Y);
      QCOMPARE(line->L(), item.L);
    }
    QCOMPARE(layout.PageWidth(), coordinate == 'W' ? 123 : 210);
    QCOMPARE(layout.PageHeight(), coordinate == 'H' ? 123 : 148);
    const int centre = layout.Line(TLayoutItem::Fio1Line)->X() + 49;
    QCOMPARE(layout.FioCentreX(), centre);
    QCOMPARE(::FioCentreX, centre);

    // Every field gets back exactly its own value.
    layout.LayoutToDialog();
    for (const QString &other : TLayout::FieldNames())
      QCOMPARE(layout.FieldText(other), other == field ? text : TLayout::FieldDefaultText(other));
  }

  void handEditedFileNormalised_data()
  {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("item");
    QTest::addColumn<char>("coordinate");
    QTest::addColumn<double>("expected");
    // clang-format off
    QTest::newRow("linked X") << QByteArray("[Fio2Line]\r\nX=40\r\n") << "Fio2Line" << 'X' << 5.0;
    QTest::newRow("fixed length") << QByteArray("[SeriaLine]\r\nL=99\r\n") << "SeriaLine" << 'L' << 10.0;
    QTest::newRow("length of Fio1Line") << QByteArray("[School2Line]\r\nL=50\r\n") << "School2Line" << 'L' << 98.0;
    QTest::newRow("linked Y") << QByteArray("[NumberLine]\r\nY=50\r\n") << "NumberLine" << 'Y' << 22.0;
    QTest::newRow("master moves") << QByteArray("[AwardLine]\r\nY=80,5\r\n") << "Back9LowerGenderLine" << 'Y' << 80.5;
    QTest::newRow("own X of MedalluLine") << QByteArray("[MedalluLine]\r\nX=33\r\n") << "MedalluLine" << 'X' << 33.0;
    QTest::newRow("plain X read") << QByteArray("[seriaLINE]\r\nx = 41\r\n") << "SeriaLine" << 'X' << 41.0;
    QTest::newRow("X not whole") << QByteArray("[SeriaLine]\r\nX=12.5\r\n") << "SeriaLine" << 'X' << 30.0;
    QTest::newRow("X letters") << QByteArray("[SeriaLine]\r\nX=abc\r\n") << "SeriaLine" << 'X' << 30.0;
    QTest::newRow("Y letters") << QByteArray("[Fio1Line]\r\nY=abc\r\n") << "Fio1Line" << 'Y' << 31.0;
    QTest::newRow("page width") << QByteArray("[NonLinesData]\r\nPageWidth=297\r\n") << "PageWidth" << 'W' << 297.0;
    QTest::newRow("height not whole") << QByteArray("[NonLinesData]\r\nPageHeight=150,5\r\n")
                                      << "PageHeight" << 'H' << 148.0;
    // clang-format on
  }

  void handEditedFileNormalised()
  {
    QFETCH(QByteArray, file);
    QFETCH(QString, item);
    QFETCH(char, coordinate);
    QFETCH(double, expected);
    TLayout layout;
    layout.LoadLayoutFile(FileWith(file));
    QCOMPARE(ValueOf(layout, item, coordinate), expected);
  }

  void fileWithoutNonLinesData()
  {
    TLayout layout;
    layout.LoadLayoutFile(FileWith("[NonLinesData]\r\nLeftLastY=100\r\nRightLastY=90\r\nDpaFirstY=95\r\n"
                                   "PageWidth=300\r\nPageHeight=200\r\nFacultLastY=40\r\n"));
    QCOMPARE(layout.Line(TLayoutItem::DpaFirstLine)->Y(), 95.0);
    QCOMPARE(layout.PageHeight(), 200);

    layout.LoadLayoutFile(FileWith("[SeriaLine]\r\nX=31\r\nY=22\r\nL=10\r\n"));
    QCOMPARE(layout.Line(TLayoutItem::SeriaLine)->X(), 31);
    QCOMPARE(layout.Line(TLayoutItem::LeftLastLine)->Y(), 138.0);
    QCOMPARE(layout.Line(TLayoutItem::RightLastLine)->Y(), 77.0);
    QCOMPARE(layout.Line(TLayoutItem::DpaFirstLine)->Y(), 110.0);
    QCOMPARE(layout.Line(TLayoutItem::FacultLastYLine)->Y(), 50.0);
    QCOMPARE(layout.PageWidth(), 210);
    QCOMPARE(layout.PageHeight(), 148);
  }

  void lastLinesComeFromNonLinesData_data()
  {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("item");
    QTest::addColumn<double>("expected");
    QTest::newRow("[LeftLastLine]") << QByteArray("[LeftLastLine]\r\nY=100\r\n") << "LeftLastLine" << 138.0;
    QTest::newRow("LeftLastY") << QByteArray("[NonLinesData]\r\nLeftLastY=100\r\n") << "LeftLastLine" << 100.0;
    QTest::newRow("[RightLastLine]") << QByteArray("[RightLastLine]\r\nY=100\r\n") << "RightLastLine" << 77.0;
    QTest::newRow("RightLastY") << QByteArray("[NonLinesData]\r\nRightLastY=100\r\n") << "RightLastLine" << 100.0;
    QTest::newRow("[DpaFirstLine]") << QByteArray("[DpaFirstLine]\r\nY=100\r\n") << "DpaFirstLine" << 110.0;
    QTest::newRow("DpaFirstY") << QByteArray("[NonLinesData]\r\nDpaFirstY=100\r\n") << "DpaFirstLine" << 100.0;
    QTest::newRow("[FacultLastYLine]") << QByteArray("[FacultLastYLine]\r\nY=100\r\n") << "FacultLastYLine" << 50.0;
    QTest::newRow("FacultLastY") << QByteArray("[NonLinesData]\r\nFacultLastY=100\r\n") << "FacultLastYLine" << 100.0;
  }

  void lastLinesComeFromNonLinesData()
  {
    QFETCH(QByteArray, file);
    QFETCH(QString, item);
    QFETCH(double, expected);
    TLayout layout;
    layout.LoadLayoutFile(FileWith(file));
    QCOMPARE(layout.LineByName(item)->Y(), expected);
  }

  void fractionalYAcrossLocales_data()
  {
    QTest::addColumn<QString>("writeSeparator");
    QTest::addColumn<QString>("readSeparator");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<double>("expected");
    // clang-format off
    QTest::newRow("comma, read under comma") << "," << "," << "22,4" << QByteArray("22,4") << 22.4;
    QTest::newRow("comma, read under point") << "," << "." << "22,4" << QByteArray("22,4") << 22.4;
    QTest::newRow("point, read under comma") << "." << "," << "22.4" << QByteArray("22.4") << 22.4;
    QTest::newRow("whole, read under point") << "," << "." << "23" << QByteArray("23") << 23.0;
    QTest::newRow("whole, read under comma") << "." << "," << "23" << QByteArray("23") << 23.0;
    // clang-format on
  }

  void fractionalYAcrossLocales()
  {
    QFETCH(QString, writeSeparator);
    QFETCH(QString, readSeparator);
    QFETCH(QString, typed);
    QFETCH(QByteArray, written);
    QFETCH(double, expected);
    const QString path = Path(QStringLiteral("y.blf"));

    QLocale::setDefault(LocaleWithSeparator(writeSeparator));
    TLayout writer;
    writer.SetFieldText(QStringLiteral("edSeriaY"), typed);
    writer.SaveLayoutFile(path);
    QVERIFY(ReadBytes(path).startsWith("[SeriaLine]\r\nX=30\r\nY=" + written +
                                       "\r\nL=10\r\n[NumberLine]\r\nX=45\r\nY=" + written + "\r\n"));

    QLocale::setDefault(LocaleWithSeparator(readSeparator));
    TLayout reader;
    reader.LoadLayoutFile(path);
    QCOMPARE(reader.Line(TLayoutItem::SeriaLine)->Y(), expected);
    QCOMPARE(reader.Line(TLayoutItem::NumberLine)->Y(), expected);
    QCOMPARE(reader.FieldText(QStringLiteral("edSeriaY")), FloatToIniText(expected));
  }

  void typedY_data()
  {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("expected");
    for (const char *separator : {".", ","}) {
      QTest::addRow("'%s' locale, point", separator) << separator << "22.4" << 22.4;
      QTest::addRow("'%s' locale, comma", separator) << separator << "22,4" << 22.4;
      QTest::addRow("'%s' locale, empty", separator) << separator << "" << 22.0;
      QTest::addRow("'%s' locale, two separators", separator) << separator << "1,2.3" << 22.0;
    }
    // clang-format off
    QTest::newRow("letters") << "," << "abc" << 22.0;
    QTest::newRow("not a number") << "." << "nan" << 22.0;
    QTest::newRow("negative") << "," << "-3,5" << -3.5;
    // clang-format on
  }

  void typedY()
  {
    QFETCH(QString, separator);
    QFETCH(QString, typed);
    QFETCH(double, expected);
    QLocale::setDefault(LocaleWithSeparator(separator));
    TLayout layout;
    layout.SetFieldText(QStringLiteral("edSeriaY"), typed);
    layout.DialogToLayout();
    QCOMPARE(layout.Line(TLayoutItem::SeriaLine)->Y(), expected);
    QCOMPARE(layout.Line(TLayoutItem::NumberLine)->Y(), expected);
  }

  void typedWholeNumbers_data()
  {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("item");
    QTest::addColumn<double>("expected");
    // clang-format off
    QTest::newRow("empty X") << "edSeriaX" << "" << "SeriaLine" << 30.0;
    QTest::newRow("letters in X") << "edDayX" << "abc" << "DayLine" << 17.0;
    QTest::newRow("digits and letters") << "edDayX" << "4x" << "DayLine" << 17.0;
    QTest::newRow("fraction in X") << "edSeriaX" << "12,5" << "SeriaLine" << 30.0;
    QTest::newRow("whole X") << "edSeriaX" << "40" << "SeriaLine" << 40.0;
    QTest::newRow("negative X") << "edSeriaX" << "-3" << "SeriaLine" << -3.0;
    QTest::newRow("empty width") << "edPageWidth" << "" << "PageWidth" << 210.0;
    QTest::newRow("letters in height") << "edPageHeight" << "abc" << "PageHeight" << 148.0;
    QTest::newRow("whole height") << "edPageHeight" << "150" << "PageHeight" << 150.0;
    // clang-format on
  }

  void typedWholeNumbers()
  {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, item);
    QFETCH(double, expected);
    TLayout layout;
    layout.SetFieldText(field, typed);
    layout.DialogToLayout();
    QCOMPARE(ValueOf(layout, item, 'X'), expected);
  }

  void defaultFile_data()
  {
    QTest::addColumn<QString>("separator");
    QTest::newRow("comma locale") << ",";
    QTest::newRow("point locale") << ".";
  }

  void defaultFile()
  {
    QFETCH(QString, separator);
    QLocale::setDefault(LocaleWithSeparator(separator));
    const QByteArray expected = DefaultFileBytes();
    QVERIFY(expected.startsWith("[SeriaLine]\r\n"));
    const QString path = Path(QStringLiteral("new.blf"));
    TLayout layout;
    layout.SaveLayoutFile(path);
    QCOMPARE(ReadBytes(path), expected);

    TLayout loaded;
    loaded.LoadLayoutFile(QStringLiteral(ORNAVEL_FIXTURES "/layout/default.blf"));
    VerifyDefaultPositions(loaded);
  }

  void savingKeepsOtherContent()
  {
    const QString path = Path(QStringLiteral("mine.blf"));
    WriteBytes(path, "; my blank\r\n"
                     "[Extra]\r\n"
                     "Note=keep me\r\n"
                     "[SeriaLine]\r\n"
                     "X=1\r\n"
                     "Comment=mine\r\n");
    TLayout layout;
    layout.SaveLayoutFile(path);

    const QByteArray rest = DefaultFileBytes().mid(DefaultFileBytes().indexOf("[NumberLine]"));
    QVERIFY(rest.startsWith("[NumberLine]"));
    QCOMPARE(ReadBytes(path), "; my blank\r\n"
                              "[Extra]\r\n"
                              "Note=keep me\r\n"
                              "[SeriaLine]\r\n"
                              "X=30\r\n"
                              "Comment=mine\r\n"
                              "Y=22\r\n"
                              "L=10\r\n" +
                                  rest);
  }

  void movingFacultFirstLine()
  {
    TLayout layout;
    layout.DialogToLayout();
    layout.Line(TLayoutItem::FacultFirstLine)->SetX(20);
    layout.LayoutToDialog();
    layout.DialogToLayout();
    QCOMPARE(layout.Line(TLayoutItem::FacultFirstLine)->X(), 20);
    QCOMPARE(layout.Line(TLayoutItem::Get2Line)->X(), 20);
    QCOMPARE(layout.Line(TLayoutItem::AwardLine)->X(), 20);
    QCOMPARE(layout.Line(TLayoutItem::FacultLastYLine)->X(), 20);
    QCOMPARE(layout.Line(TLayoutItem::MedalluLine)->X(), 14);
    QCOMPARE(layout.FieldText(QStringLiteral("edFacultX")), QStringLiteral("20"));
  }

  void movedLineRoundTrip_data()
  {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("x");
    QTest::addColumn<double>("y");
    QTest::newRow("past the top left corner") << "SeriaLine" << -7 << -3.5;
    QTest::newRow("beyond the page") << "DayLine" << 5000 << 9999.75;
    QTest::newRow("name line to the left") << "Fio1Line" << -20 << 31.0;
  }

  void movedLineRoundTrip()
  {
    QFETCH(QString, item);
    QFETCH(int, x);
    QFETCH(double, y);
    const QString path = Path(QStringLiteral("moved.blf"));
    TLayout writer;
    writer.DialogToLayout();
    writer.LineByName(item)->SetX(x);
    writer.LineByName(item)->SetY(y);
    writer.LayoutToDialog();
    writer.SaveLayoutFile(path);

    TLayout reader;
    reader.LoadLayoutFile(path);
    QCOMPARE(reader.LineByName(item)->X(), x);
    QCOMPARE(reader.LineByName(item)->Y(), y);
    QCOMPARE(reader.FioCentreX(), reader.Line(TLayoutItem::Fio1Line)->X() + 49);
  }

  void failedSaveKeepsOldFile_data()
  {
    QTest::addColumn<bool>("parentIsFile");
    QTest::newRow("existing file, no room for a temporary name") << false;
    QTest::newRow("folder is a regular file") << true;
  }

  void failedSaveKeepsOldFile()
  {
    QFETCH(bool, parentIsFile);
    const QByteArray old = "[SeriaLine]\r\nX=1\r\n";
    const QString oldPath =
        parentIsFile ? Path(QStringLiteral("folder")) : Path(QString(251, QLatin1Char('b')) + QStringLiteral(".blf"));
    const QString path = parentIsFile ? oldPath + QStringLiteral("/layout.blf") : oldPath;
    WriteBytes(oldPath, old);

    TLayout layout;
    QString message;
    try {
      layout.SaveLayoutFile(path);
    } catch (const EAppError &e) {
      message = e.message();
    }
    QCOMPARE(message, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
    QCOMPARE(ReadBytes(oldPath), old);
    QCOMPARE(QDir(FDir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);
  }
};

QTEST_GUILESS_MAIN(TestLayout)
#include "tst_layout.moc"
