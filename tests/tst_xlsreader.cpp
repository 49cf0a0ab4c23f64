// Tests of the Excel 97-2003 reader on small workbooks built record by record,
// so that every case shows exactly the bytes it is about.

#include "pupils/uSheetData.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

class TBytes
{
public:
  TBytes &u8(int v)
  {
    FData.append(char(v & 0xFF));
    return *this;
  }
  TBytes &u16(int v) { return u8(v).u8(v >> 8); }
  TBytes &u32(quint32 v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
  TBytes &f64(double v)
  {
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    return u32(quint32(bits)).u32(quint32(bits >> 32));
  }
  TBytes &latin1(const QString &s)
  {
    FData.append(s.toLatin1());
    return *this;
  }
  TBytes &utf16(const QString &s)
  {
    for (QChar c : s)
      u16(c.unicode());
    return *this;
  }
  TBytes &bytes(const QByteArray &b)
  {
    FData.append(b);
    return *this;
  }
  TBytes &zeros(int n) { return bytes(QByteArray(n, '\0')); }
  operator QByteArray() const { return FData; }

private:
  QByteArray FData;
};

QByteArray rec(int type, const QByteArray &body)
{
  return TBytes().u16(type).u16(int(body.size())).bytes(body);
}

QByteArray rec(int type, const TBytes &body)
{
  return rec(type, QByteArray(body));
}

TBytes cellHeader(int row, int col)
{
  return TBytes().u16(row).u16(col).u16(15);
}

// Sheet records.
QByteArray number(int row, int col, double v)
{
  return rec(0x0203, cellHeader(row, col).f64(v));
}
QByteArray rk(int row, int col, quint32 v)
{
  return rec(0x027E, cellHeader(row, col).u32(v));
}
QByteArray mulrk(int row, int col, const QList<quint32> &values)
{
  TBytes b;
  b.u16(row).u16(col);
  for (quint32 v : values)
    b.u16(15).u32(v);
  b.u16(col + int(values.size()) - 1);
  return rec(0x00BD, b);
}
QByteArray boolerr(int row, int col, int value, bool isError)
{
  return rec(0x0205, cellHeader(row, col).u8(value).u8(isError ? 1 : 0));
}
QByteArray label8(int row, int col, const QString &s)
{
  return rec(0x0204, cellHeader(row, col).u16(int(s.size())).u8(0).latin1(s));
}
QByteArray label16(int row, int col, const QString &s)
{
  return rec(0x0204, cellHeader(row, col).u16(int(s.size())).u8(1).utf16(s));
}
QByteArray rstring(int row, int col, const QString &s)
{
  // The formatting runs follow the string: a count and 4 bytes a run.
  return rec(0x00D6, cellHeader(row, col).u16(int(s.size())).u8(1).utf16(s).u16(1).u16(0).u16(5));
}
QByteArray labelsst(int row, int col, quint32 index)
{
  return rec(0x00FD, cellHeader(row, col).u32(index));
}
QByteArray blank(int row, int col)
{
  return rec(0x0201, cellHeader(row, col));
}
QByteArray mulblank(int row, int col, int count)
{
  TBytes b;
  b.u16(row).u16(col);
  for (int i = 0; i < count; ++i)
    b.u16(15);
  return rec(0x00BE, b.u16(col + count - 1));
}
/// A formula cell; the parsed formula itself (here ptgInt 1) is not read.
QByteArray formula(int row, int col, const QByteArray &result8)
{
  return rec(0x0006, cellHeader(row, col).bytes(result8).u16(0).u32(0).u16(3).u8(0x1E).u16(1));
}
QByteArray formulaNumber(int row, int col, double v)
{
  return formula(row, col, TBytes().f64(v));
}
QByteArray formulaSpecial(int row, int col, int kind, int value)
{
  return formula(row, col, TBytes().u8(kind).u8(0).u8(value).u8(0).u16(0).u16(0xFFFF));
}
QByteArray stringRec(const QString &s)
{
  return rec(0x0207, TBytes().u16(int(s.size())).u8(1).utf16(s));
}
QByteArray shrfmla()
{
  return rec(0x04BC, TBytes().u16(0).u16(5).u8(0).u8(0).u16(0).u16(0).u16(0));
}
QByteArray arrayRec()
{
  return rec(0x0221, TBytes().u16(0).u16(0).u8(0).u8(0).u16(0).u32(0).u16(0));
}
QByteArray continueRec(const QByteArray &body)
{
  return rec(0x003C, body);
}

// Globals records.
QByteArray bof(int kind)
{
  return rec(0x0809, TBytes().u16(0x0600).u16(kind).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x0206));
}
QByteArray eof()
{
  return rec(0x000A, QByteArray());
}
QByteArray window1(int activeTab)
{
  return rec(0x003D, TBytes().u16(0).u16(0).u16(0x4000).u16(0x2000).u16(0x38).u16(activeTab).u16(0).u16(1).u16(600));
}
QByteArray boundsheet(qint64 offset, int kind, const QString &name)
{
  return rec(0x0085, TBytes().u32(quint32(offset)).u8(0).u8(kind).u8(int(name.size())).u8(0).latin1(name));
}

/// SST with its data cut into the SST record and CONTINUE records.
QByteArray sst(quint32 count, const QList<QByteArray> &segments)
{
  QByteArray out = rec(0x00FC, TBytes().u32(count).u32(count).bytes(segments.value(0)));
  for (qsizetype i = 1; i < segments.size(); ++i)
    out += continueRec(segments[i]);
  return out;
}
QByteArray str8(const QString &s)
{
  return TBytes().u16(int(s.size())).u8(0).latin1(s);
}
QByteArray str16(const QString &s)
{
  return TBytes().u16(int(s.size())).u8(1).utf16(s);
}

enum TSheetKind { Worksheet = 0, ChartSheet = 2 };

struct TSheetSpec
{
  TSheetKind kind;
  QByteArray records; ///< the substream without its BOF and EOF
};

/**
 * A Workbook stream: globals (BOF, FILEPASS or other extra records, WINDOW1,
 * BOUNDSHEETs, SST, EOF) and the sheet substreams. offsets replaces the
 * BOUNDSHEET positions when given.
 */
QByteArray book(const QList<TSheetSpec> &sheets, int activeTab = 0, const QByteArray &globalsExtra = {},
                const QList<qint64> &offsets = {})
{
  QList<QByteArray> bodies;
  for (const TSheetSpec &s : sheets)
    bodies << bof(s.kind == ChartSheet ? 0x0020 : 0x0010) + s.records + eof();
  auto globals = [&](const QList<qint64> &pos) {
    QByteArray g = bof(0x0005) + globalsExtra;
    if (activeTab >= 0)
      g += window1(activeTab);
    for (qsizetype i = 0; i < sheets.size(); ++i)
      g += boundsheet(pos.value(i), sheets[i].kind, QStringLiteral("S%1").arg(i + 1));
    return g + eof();
  };
  QList<qint64> pos;
  qint64 at = globals(QList<qint64>(sheets.size(), 0)).size();
  for (const QByteArray &b : bodies) {
    pos << at;
    at += b.size();
  }
  QByteArray out = globals(offsets.isEmpty() ? pos : offsets);
  for (const QByteArray &b : bodies)
    out += b;
  return out;
}

QByteArray oneSheet(const QByteArray &records, const QByteArray &globalsExtra = {})
{
  return book({{Worksheet, records}}, 0, globalsExtra);
}

struct TStream
{
  QString name;
  QByteArray data;
};

bool writeCompoundFile(const QString &path, const QList<TStream> &streams)
{
  GsfOutput *sink = gsf_output_stdio_new(QFile::encodeName(path).constData(), nullptr);
  if (!sink)
    return false;
  GsfOutfile *ole = gsf_outfile_msole_new(sink);
  for (const TStream &s : streams) {
    GsfOutput *child = gsf_outfile_new_child(ole, s.name.toUtf8().constData(), FALSE);
    gsf_output_write(child, size_t(s.data.size()), reinterpret_cast<const guint8 *>(s.data.constData()));
    gsf_output_close(child);
    g_object_unref(child);
  }
  // Closing the compound file writes its directory and closes the sink.
  bool ok = gsf_output_close(GSF_OUTPUT(ole));
  g_object_unref(ole);
  if (!gsf_output_is_closed(sink))
    ok = gsf_output_close(sink) && ok;
  g_object_unref(sink);
  return ok;
}

/// The stored cells as "R1C1=text", row by row.
QStringList cells(const TSheetData &sheet)
{
  QStringList out;
  for (int r = 1; r <= sheet.lastRow(); ++r)
    for (int c = 1; c <= sheet.lastColumn(); ++c)
      if (!sheet.cell(r, c).isEmpty())
        out << QStringLiteral("R%1C%2=%3").arg(r).arg(c).arg(sheet.cell(r, c));
  return out;
}

} // namespace

Q_DECLARE_METATYPE(TSheetKind)
Q_DECLARE_METATYPE(TStream)

class TXlsReaderTest : public QObject
{
  Q_OBJECT

private:
  QTemporaryDir FDir;
  int FFileNo = 0;

  QString writeFile(const QList<TStream> &streams)
  {
    const QString path = FDir.filePath(QStringLiteral("wb%1.xls").arg(++FFileNo));
    if (!writeCompoundFile(path, streams))
      qFatal("cannot write %s", qPrintable(path));
    return path;
  }
  QString writeBook(const QByteArray &stream) { return writeFile({{QStringLiteral("Workbook"), stream}}); }

  /// Reads a Workbook stream and returns the cells; the read must succeed.
  QStringList readCells(const QByteArray &stream)
  {
    TSheetData sheet;
    TWorkbookError error = TWorkbookError::NotFound;
    const bool ok = ReadXlsWorkbook(writeBook(stream), sheet, error);
    if (!ok || error != TWorkbookError::None)
      return {QStringLiteral("read failed, error %1").arg(int(error))};
    return cells(sheet);
  }

private slots:
  void initTestCase()
  {
    QVERIFY(FDir.isValid());
    QLocale::setDefault(QLocale::c());
    gsf_init();
  }

  void cellRecords_data()
  {
    QTest::addColumn<QByteArray>("records");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("NUMBER") << number(0, 0, 10.5) + number(2, 1, -3) << QStringList{"R1C1=10.5", "R3C2=-3"};
    QTest::newRow("RK integer, scaled, float")
        << rk(0, 0, (42 << 2) | 2) + rk(0, 1, quint32(-7 * 4) | 2) + rk(0, 2, (1234 << 2) | 3) + rk(0, 3, 0x3FF80000) +
               rk(0, 4, 0xC0040000 | 1) + rk(0, 5, quint32(-50 * 4) | 3)
        << QStringList{"R1C1=42", "R1C2=-7", "R1C3=12.34", "R1C4=1.5", "R1C5=-0.025", "R1C6=-0.5"};
    QTest::newRow("MULRK") << mulrk(4, 2, {(1 << 2) | 2, 0x3FF80000, (250 << 2) | 3})
                           << QStringList{"R5C3=1", "R5C4=1.5", "R5C5=2.5"};
    QTest::newRow("BOOLERR booleans") << boolerr(0, 0, 1, false) + boolerr(0, 1, 0, false)
                                      << QStringList{"R1C1=" + CellBoolText(true), "R1C2=" + CellBoolText(false)};
    QTest::newRow("BOOLERR errors") << boolerr(0, 0, 0x00, true) + boolerr(0, 1, 0x07, true) +
                                           boolerr(0, 2, 0x0F, true) + boolerr(0, 3, 0x17, true) +
                                           boolerr(0, 4, 0x1D, true) + boolerr(0, 5, 0x24, true) +
                                           boolerr(0, 6, 0x2A, true)
                                    << QStringList{"R1C1=#NULL!", "R1C2=#DIV/0!", "R1C3=#VALUE!", "R1C4=#REF!",
                                                   "R1C5=#NAME?", "R1C6=#NUM!",   "R1C7=#N/A"};
    QTest::newRow("LABEL 8-bit and 16-bit")
        << label8(0, 0, QStringLiteral("Café")) + label16(1, 0, QStringLiteral("Ґалаґан Їжак"))
        << QStringList{QStringLiteral("R1C1=Café"), QStringLiteral("R2C1=Ґалаґан Їжак")};
    QTest::newRow("RSTRING with runs") << rstring(0, 0, QStringLiteral("Олесь")) + number(0, 1, 2)
                                       << QStringList{QStringLiteral("R1C1=Олесь"), "R1C2=2"};
    QTest::newRow("FORMULA number") << formulaNumber(1, 1, 2.625) + formulaNumber(1, 2, 0)
                                    << QStringList{"R2C2=2.625", "R2C3=0"};
    QTest::newRow("FORMULA string") << formulaSpecial(0, 0, 0, 0) + stringRec(QStringLiteral("Шевченко Тарас"))
                                    << QStringList{QStringLiteral("R1C1=Шевченко Тарас")};
    QTest::newRow("FORMULA string behind SHRFMLA and ARRAY")
        << formulaSpecial(0, 0, 0, 0) + shrfmla() + stringRec(QStringLiteral("спільна")) + formulaSpecial(1, 0, 0, 0) +
               arrayRec() + stringRec(QStringLiteral("масив"))
        << QStringList{QStringLiteral("R1C1=спільна"), QStringLiteral("R2C1=масив")};
    // The text goes on in a CONTINUE that switches from 16-bit to 8-bit characters.
    QTest::newRow("FORMULA string continued")
        << formulaSpecial(0, 0, 0, 0) + rec(0x0207, TBytes().u16(6).u8(1).utf16(QStringLiteral("Ярина"))) +
               continueRec(TBytes().u8(0).latin1("!"))
        << QStringList{QStringLiteral("R1C1=Ярина!")};
    QTest::newRow("FORMULA boolean, error, empty string")
        << formulaSpecial(0, 0, 1, 1) + formulaSpecial(0, 1, 1, 0) + formulaSpecial(0, 2, 2, 0x07) +
               formulaSpecial(0, 3, 2, 0x2A) + formulaSpecial(0, 4, 3, 0) + number(0, 5, 1)
        << QStringList{"R1C1=" + CellBoolText(true), "R1C2=" + CellBoolText(false), "R1C3=#DIV/0!", "R1C4=#N/A",
                       "R1C6=1"};
    // A STRING record further on belongs to no formula here.
    QTest::newRow("FORMULA string without STRING")
        << formulaSpecial(0, 0, 0, 0) + number(0, 1, 5) + stringRec("stray") << QStringList{"R1C2=5"};
    QTest::newRow("BLANK and MULBLANK store nothing")
        << blank(0, 0) + mulblank(1, 0, 5) + number(2, 2, 1) << QStringList{"R3C3=1"};
    QTest::newRow("last row and column") << number(65535, 255, 7) << QStringList{"R65536C256=7"};
    QTest::newRow("column past IV ignored") << number(0, 256, 7) + number(0, 0, 1) << QStringList{"R1C1=1"};
    // An embedded chart is a BOF..EOF substream inside the sheet; its records
    // are not cells of the sheet, and its EOF does not end the sheet.
    QTest::newRow("embedded substream skipped")
        << number(0, 0, 1) + bof(0x0020) + number(5, 5, 99) + eof() + number(1, 0, 2)
        << QStringList{"R1C1=1", "R2C1=2"};
  }

  void cellRecords()
  {
    QFETCH(QByteArray, records);
    QFETCH(QStringList, expected);
    QCOMPARE(readCells(oneSheet(records)), expected);
  }

  void sharedStrings_data()
  {
    QTest::addColumn<quint32>("count");
    QTest::addColumn<QList<QByteArray>>("segments");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no CONTINUE") << 2u << QList<QByteArray>{str8("one") + str16(QStringLiteral("два"))}
                                 << QStringList{"one", QStringLiteral("два")};
    QTest::newRow("boundary between strings") << 2u << QList<QByteArray>{str8("one"), str16(QStringLiteral("два"))}
                                              << QStringList{"one", QStringLiteral("два")};
    QTest::newRow("8-bit chars go on as 16-bit")
        << 1u << QList<QByteArray>{TBytes().u16(6).u8(0).latin1("abc"), TBytes().u8(1).utf16(QStringLiteral("где"))}
        << QStringList{QStringLiteral("abcгде")};
    QTest::newRow("16-bit chars go on as 8-bit")
        << 2u
        << QList<QByteArray>{TBytes().u16(4).u8(1).utf16(QStringLiteral("ґї")), TBytes().u8(0).latin1("xy") + str8("z")}
        << QStringList{QStringLiteral("ґїxy"), "z"};
    QTest::newRow("boundary between header and chars")
        << 1u << QList<QByteArray>{TBytes().u16(3).u8(0), TBytes().u8(1).utf16(QStringLiteral("Юля"))}
        << QStringList{QStringLiteral("Юля")};
    QTest::newRow("one string over three CONTINUEs")
        << 1u
        << QList<QByteArray>{TBytes().u16(5).u8(0).latin1("a"), TBytes().u8(0).latin1("b"),
                             TBytes().u8(1).utf16(QStringLiteral("в")), TBytes().u8(0).latin1("cd")}
        << QStringList{QStringLiteral("abвcd")};
    // Formatting runs and phonetic data run on over a boundary with no
    // option byte in front of them.
    QTest::newRow("rich runs over a boundary")
        << 2u
        << QList<QByteArray>{TBytes().u16(2).u8(0x08).u16(2).latin1("ok").zeros(5), TBytes().zeros(3) + str8("next")}
        << QStringList{"ok", "next"};
    QTest::newRow("phonetic data over a boundary")
        << 2u
        << QList<QByteArray>{TBytes().u16(3).u8(0x05).u32(10).utf16(QStringLiteral("Яна")).zeros(4),
                             TBytes().zeros(6) + str8("after")}
        << QStringList{QStringLiteral("Яна"), "after"};
    QTest::newRow("rich and phonetic, chars over a boundary")
        << 2u
        << QList<QByteArray>{TBytes().u16(4).u8(0x0C).u16(1).u32(6).latin1("ab"),
                             TBytes().u8(1).utf16(QStringLiteral("цю")).zeros(4 + 2),
                             TBytes().zeros(4) + str16(QStringLiteral("кінець"))}
        << QStringList{QStringLiteral("abцю"), QStringLiteral("кінець")};
  }

  void sharedStrings()
  {
    QFETCH(quint32, count);
    QFETCH(QList<QByteArray>, segments);
    QFETCH(QStringList, expected);
    QByteArray records;
    QStringList want;
    for (int i = 0; i < int(count); ++i) {
      records += labelsst(i, 0, quint32(i));
      want << QStringLiteral("R%1C1=%2").arg(i + 1).arg(expected.value(i));
    }
    QCOMPARE(readCells(oneSheet(records, sst(count, segments))), want);
  }

  void activeSheet_data()
  {
    QTest::addColumn<QList<TSheetKind>>("kinds");
    QTest::addColumn<int>("activeTab");
    QTest::addColumn<QString>("expected");

    const QList<TSheetKind> three{Worksheet, Worksheet, Worksheet};
    const QList<TSheetKind> chartFirst{ChartSheet, Worksheet, Worksheet};
    QTest::newRow("first") << three << 0 << "S1";
    QTest::newRow("second") << three << 1 << "S2";
    QTest::newRow("last") << three << 2 << "S3";
    QTest::newRow("out of range") << three << 3 << "S1";
    QTest::newRow("no WINDOW1") << three << -1 << "S1";
    QTest::newRow("chart sheets count") << chartFirst << 2 << "S3";
    QTest::newRow("chart active: first worksheet") << chartFirst << 0 << "S2";
  }

  void activeSheet()
  {
    QFETCH(QList<TSheetKind>, kinds);
    QFETCH(int, activeTab);
    QFETCH(QString, expected);
    QList<TSheetSpec> sheets;
    for (int i = 0; i < kinds.size(); ++i)
      sheets << TSheetSpec{kinds[i],
                           kinds[i] == ChartSheet ? number(0, 0, 1) : label8(0, 0, QStringLiteral("S%1").arg(i + 1))};
    QCOMPARE(readCells(book(sheets, activeTab)), QStringList{"R1C1=" + expected});
  }

  void onlyChartSheets()
  {
    TSheetData sheet;
    TWorkbookError error = TWorkbookError::NotFound;
    QVERIFY(ReadXlsWorkbook(writeBook(book({{ChartSheet, number(0, 0, 1)}})), sheet, error));
    QCOMPARE(int(error), int(TWorkbookError::None));
    QCOMPARE(sheet.cellCount(), 0);
  }

  void setsXlsBoundsAndClears()
  {
    TSheetData sheet;
    sheet.setCell(100, 300, QStringLiteral("old"));
    TWorkbookError error = TWorkbookError::NotFound;
    QVERIFY(ReadXlsWorkbook(writeBook(oneSheet(number(0, 0, 1))), sheet, error));
    QCOMPARE(sheet.maxRows(), SheetLimits::XlsMaxRows);
    QCOMPARE(sheet.maxColumns(), SheetLimits::XlsMaxColumns);
    QCOMPARE(cells(sheet), QStringList{"R1C1=1"});
  }

  void brokenStream_data()
  {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("error");
    const int corrupt = int(TWorkbookError::Corrupt);

    const QByteArray good = oneSheet(number(0, 0, 1) + number(1, 0, 2));
    QTest::newRow("empty stream") << QByteArray() << corrupt;
    QTest::newRow("not a BOF") << number(0, 0, 1) + good << corrupt;
    QTest::newRow("worksheet BOF first") << bof(0x0010) + eof() << corrupt;
    QTest::newRow("Excel 95 BOF") << rec(0x0809, TBytes().u16(0x0500).u16(0x0005).zeros(4)) + good.mid(20)
                                  << int(TWorkbookError::Unsupported);
    QTest::newRow("FILEPASS") << oneSheet(number(0, 0, 1), rec(0x002F, TBytes().u16(1).zeros(52)))
                              << int(TWorkbookError::Encrypted);
    QTest::newRow("globals without EOF") << bof(0x0005) + window1(0) << corrupt;
    QTest::newRow("no sheets") << bof(0x0005) + window1(0) + eof() << corrupt;
    QTest::newRow("sheet without EOF") << good.left(good.size() - 4) << corrupt;
    QTest::newRow("record runs past the end") << good.left(good.size() - 10) << corrupt;
    QTest::newRow("record header cut") << good.left(good.size() - 2) << corrupt;
    QTest::newRow("NUMBER too short") << oneSheet(rec(0x0203, cellHeader(0, 0).u32(0))) << corrupt;
    QTest::newRow("LABELSST too short") << oneSheet(rec(0x00FD, cellHeader(0, 0))) << corrupt;
    QTest::newRow("MULRK odd size") << oneSheet(rec(0x00BD, TBytes().u16(0).u16(0).u16(15).u32(2).u16(0).u8(0)))
                                    << corrupt;
    QTest::newRow("FORMULA too short") << oneSheet(rec(0x0006, cellHeader(0, 0).u32(0))) << corrupt;
    QTest::newRow("LABEL longer than its record")
        << oneSheet(rec(0x0204, cellHeader(0, 0).u16(50).u8(0).latin1("abc"))) << corrupt;
    QTest::newRow("STRING longer than its record")
        << oneSheet(formulaSpecial(0, 0, 0, 0) + rec(0x0207, TBytes().u16(9).u8(1).utf16("ab"))) << corrupt;
    QTest::newRow("LABELSST without SST") << oneSheet(labelsst(0, 0, 0)) << corrupt;
    QTest::newRow("LABELSST past the table") << oneSheet(labelsst(0, 0, 1), sst(1, {str8("a")})) << corrupt;
    QTest::newRow("SST count past the data") << oneSheet(labelsst(0, 0, 0), sst(100000, {str8("a")})) << corrupt;
    QTest::newRow("SST huge count, no data") << oneSheet(number(0, 0, 1), sst(0xFFFFFFFF, {})) << corrupt;
    QTest::newRow("SST chars past the data")
        << oneSheet(number(0, 0, 1), sst(1, {TBytes().u16(60000).u8(1).utf16("ab")})) << corrupt;
    QTest::newRow("SST empty CONTINUE inside chars")
        << oneSheet(number(0, 0, 1), sst(1, {TBytes().u16(4).u8(0).latin1("ab"), QByteArray()})) << corrupt;
    QTest::newRow("SST runs past the data")
        << oneSheet(number(0, 0, 1), sst(1, {TBytes().u16(1).u8(0x08).u16(1000).latin1("a")})) << corrupt;
    QTest::newRow("SST phonetic size past the data")
        << oneSheet(number(0, 0, 1), sst(1, {TBytes().u16(1).u8(0x04).u32(0xFFFFFFF0).latin1("a")})) << corrupt;

    const QList<TSheetSpec> two{{Worksheet, number(0, 0, 1)}, {Worksheet, number(0, 0, 2)}};
    const qint64 size = book(two).size();
    QTest::newRow("sheet offset past the end") << book(two, 0, {}, {size + 100, 0}) << corrupt;
    QTest::newRow("sheet offset at the last bytes") << book(two, 0, {}, {size - 2, 0}) << corrupt;
    QTest::newRow("sheet offset back to the globals") << book(two, 0, {}, {0, 0}) << corrupt;
    QTest::newRow("sheet offset inside a record") << book(two, 1, {}, {0, size - 10}) << corrupt;
  }

  void brokenStream()
  {
    QFETCH(QByteArray, stream);
    QFETCH(int, error);
    TSheetData sheet;
    TWorkbookError got = TWorkbookError::None;
    QVERIFY(!ReadXlsWorkbook(writeBook(stream), sheet, got));
    QCOMPARE(int(got), error);
    QCOMPARE(sheet.cellCount(), 0);
  }

  // Cells read before the damage is found are not handed out.
  void failureLeavesSheetEmpty()
  {
    TSheetData sheet;
    TWorkbookError error = TWorkbookError::None;
    const QByteArray stream = oneSheet(number(0, 0, 1) + number(1, 0, 2) + labelsst(2, 0, 5));
    QVERIFY(!ReadXlsWorkbook(writeBook(stream), sheet, error));
    QCOMPARE(int(error), int(TWorkbookError::Corrupt));
    QCOMPARE(sheet.cellCount(), 0);
    QCOMPARE(sheet.lastRow(), 0);
  }

  void container_data()
  {
    QTest::addColumn<QList<TStream>>("streams");
    QTest::addColumn<int>("error");

    const QByteArray good = oneSheet(number(0, 0, 1));
    QTest::newRow("Workbook") << QList<TStream>{{"Workbook", good}} << int(TWorkbookError::None);
    QTest::newRow("name in other case") << QList<TStream>{{"WORKBOOK", good}} << int(TWorkbookError::None);
    QTest::newRow("Excel 95 Book") << QList<TStream>{{"Book", good}} << int(TWorkbookError::Unsupported);
    QTest::newRow("encrypted OOXML") << QList<TStream>{{"EncryptionInfo", QByteArray(64, '\1')},
                                                       {"EncryptedPackage", QByteArray(64, '\2')}}
                                     << int(TWorkbookError::Encrypted);
    QTest::newRow("other OLE2 document") << QList<TStream>{{"WordDocument", QByteArray(512, '\0')}}
                                         << int(TWorkbookError::NotSpreadsheet);
  }

  void container()
  {
    QFETCH(QList<TStream>, streams);
    QFETCH(int, error);
    TSheetData sheet;
    TWorkbookError got = TWorkbookError::NotFound;
    const bool ok = ReadXlsWorkbook(writeFile(streams), sheet, got);
    QCOMPARE(int(got), error);
    QCOMPARE(ok, error == int(TWorkbookError::None));
    QCOMPARE(cells(sheet), ok ? QStringList{"R1C1=1"} : QStringList{});
  }

  void notCompoundFile_data()
  {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("OLE2 magic only") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    QTest::newRow("OLE2 magic and noise")
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(4096, '\x5A');
    QTest::newRow("text") << QByteArray("Name;Class\nIvan;5\n");
  }

  void notCompoundFile()
  {
    QFETCH(QByteArray, content);
    const QString path = FDir.filePath(QStringLiteral("raw%1.xls").arg(++FFileNo));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    TSheetData sheet;
    TWorkbookError error = TWorkbookError::None;
    QVERIFY(!ReadXlsWorkbook(path, sheet, error));
    QCOMPARE(int(error), int(TWorkbookError::Corrupt));
  }

  // A file cut anywhere gives an error and an empty sheet, or all of the
  // sheet; never part of it (run under the sanitizers to see more).
  void truncatedCompoundFile()
  {
    const QString text = QString(200, 'x') + QString(100, QChar(0x0416));
    const QString full = writeBook(
        oneSheet(labelsst(0, 0, 0) + number(0, 1, 3), sst(1, {TBytes().u16(300).u8(0).latin1(QString(200, 'x')),
                                                              TBytes().u8(1).utf16(QString(100, QChar(0x0416)))})));
    const QStringList expected{"R1C1=" + text, "R1C2=3"};
    QFile f(full);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    f.close();
    for (qsizetype cut = 0; cut < bytes.size(); cut += 97) {
      const QString path = FDir.filePath(QStringLiteral("cut.xls"));
      QFile out(path);
      QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
      out.write(bytes.left(cut));
      out.close();
      TSheetData sheet;
      TWorkbookError error = TWorkbookError::None;
      if (ReadXlsWorkbook(path, sheet, error)) {
        QCOMPARE(cells(sheet), expected);
      } else {
        QVERIFY2(error == TWorkbookError::Corrupt || error == TWorkbookError::NotSpreadsheet,
                 qPrintable(QStringLiteral("cut at %1: error %2").arg(cut).arg(int(error))));
        QCOMPARE(sheet.cellCount(), 0);
      }
    }
  }

  void missingFile()
  {
    TSheetData sheet;
    TWorkbookError error = TWorkbookError::None;
    QVERIFY(!ReadXlsWorkbook(FDir.filePath(QStringLiteral("absent.xls")), sheet, error));
    QCOMPARE(int(error), int(TWorkbookError::NotFound));
  }
};

QTEST_GUILESS_MAIN(TXlsReaderTest)
#include "tst_xlsreader.moc"
