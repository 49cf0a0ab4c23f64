// Tests of the zip package wrapper and the .xlsx / .ods readers. Every
// fixture is a small package written here with libzip, so each case shows
// exactly the bytes that matter.

#include "pupils/uSheetData.h"
#include "pupils/uZipPackage.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

Q_DECLARE_METATYPE(TWorkbookError)

namespace {

struct TEntry
{
  QString name;
  QByteArray data;
  bool stored = false;
  zip_uint16_t encryption = ZIP_EM_NONE;
};
using TEntries = QList<TEntry>;

bool writeZip(const QString &path, const TEntries &entries)
{
  int err = 0;
  zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  if (!z)
    return false;
  for (const TEntry &e : entries) {
    zip_source_t *src = zip_source_buffer(z, e.data.constData(), zip_uint64_t(e.data.size()), 0);
    const zip_int64_t index = zip_file_add(z, e.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(src);
      zip_discard(z);
      return false;
    }
    zip_set_file_compression(z, zip_uint64_t(index), e.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    if (e.encryption != ZIP_EM_NONE)
      zip_file_set_encryption(z, zip_uint64_t(index), e.encryption, "secret");
  }
  return zip_close(z) == 0; // the buffers above are still alive here
}

TEntries &setPart(TEntries &entries, const QString &name, const QByteArray &data)
{
  for (TEntry &e : entries) {
    if (e.name == name) {
      e.data = data;
      return entries;
    }
  }
  entries.append({name, data});
  return entries;
}

TEntries &removePart(TEntries &entries, const QString &name)
{
  entries.removeIf([&name](const TEntry &e) { return e.name == name; });
  return entries;
}

QByteArray sheetXml(const QByteArray &rows,
                    const QByteArray &ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main")
{
  return "<worksheet xmlns=\"" + ns + "\"><sheetData>" + rows + "</sheetData></worksheet>";
}

QByteArray relsXml(const QList<QList<QByteArray>> &rels)
{
  QByteArray xml = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (const QList<QByteArray> &r : rels)
    xml += "<Relationship Id=\"" + r.at(0) + "\" Type=\"" + r.at(1) + "\" Target=\"" + r.at(2) + "\"/>";
  return xml + "</Relationships>";
}

const QByteArray RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

QByteArray workbookXml(int sheets, const QByteArray &view = QByteArray())
{
  QByteArray xml = "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                   "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" +
                   view + "<sheets>";
  for (int i = 1; i <= sheets; ++i)
    xml += "<sheet name=\"S" + QByteArray::number(i) + "\" sheetId=\"" + QByteArray::number(i) + "\" r:id=\"rId" +
           QByteArray::number(i) + "\"/>";
  return xml + "</sheets></workbook>";
}

/// A workbook of three worksheets, each naming itself in A1, and shared strings.
TEntries makeXlsx(const QByteArray &view = QByteArray())
{
  TEntries e;
  e.append(
      TEntry{"[Content_Types].xml",
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
             "<Override PartName=\"/xl/workbook.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>"});
  e.append(TEntry{"_rels/.rels", relsXml({{"rId1", RelNs + "officeDocument", "xl/workbook.xml"}})});
  e.append(TEntry{"xl/workbook.xml", workbookXml(3, view)});
  e.append(TEntry{"xl/_rels/workbook.xml.rels", relsXml({{"rId1", RelNs + "worksheet", "worksheets/sheet1.xml"},
                                                         {"rId2", RelNs + "worksheet", "worksheets/sheet2.xml"},
                                                         {"rId3", RelNs + "worksheet", "worksheets/sheet3.xml"},
                                                         {"rId9", RelNs + "sharedStrings", "sharedStrings.xml"}})});
  e.append(TEntry{"xl/sharedStrings.xml", "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                          "<si><t>перший</t></si><si><t>другий</t></si><si><t>третій</t></si></sst>"});
  for (int i = 1; i <= 3; ++i)
    e.append(TEntry{"xl/worksheets/sheet" + QString::number(i) + ".xml",
                    sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>" + QByteArray::number(i - 1) + "</v></c></row>")});
  return e;
}

TEntries xlsxWithSheet(const QByteArray &rows, const QByteArray &sharedStrings = QByteArray())
{
  TEntries e = makeXlsx();
  setPart(e, "xl/worksheets/sheet1.xml", sheetXml(rows));
  if (!sharedStrings.isEmpty())
    setPart(e, "xl/sharedStrings.xml",
            "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + sharedStrings + "</sst>");
  return e;
}

const QByteArray OdsNs = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                         "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                         "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\" "
                         "xmlns:xlink=\"http://www.w3.org/1999/xlink\"";

const QByteArray OdsManifest =
    "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
    "<manifest:file-entry manifest:full-path=\"/\" "
    "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
    "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/></manifest:manifest>";

QByteArray odsSettings(const QByteArray &activeTable)
{
  return "<office:document-settings xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\"><office:settings>"
         "<config:config-item-set config:name=\"ooo:view-settings\"><config:config-item-map-indexed "
         "config:name=\"Views\">"
         "<config:config-item-map-entry><config:config-item config:name=\"ViewId\" "
         "config:type=\"string\">view1</config:config-item>"
         "<config:config-item config:name=\"ActiveTable\" config:type=\"string\">" +
         activeTable +
         "</config:config-item></config:config-item-map-entry></config:config-item-map-indexed>"
         "</config:config-item-set></office:settings></office:document-settings>";
}

TEntries makeOds(const QByteArray &tables)
{
  TEntries e;
  e.append(TEntry{"mimetype", "application/vnd.oasis.opendocument.spreadsheet", true});
  e.append(TEntry{"content.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content " + OdsNs +
                                     "><office:body><office:spreadsheet>" + tables +
                                     "</office:spreadsheet></office:body></office:document-content>"});
  e.append(TEntry{"META-INF/manifest.xml", OdsManifest});
  return e;
}

QByteArray odsTable(const QByteArray &name, const QByteArray &rows)
{
  return "<table:table table:name=\"" + name + "\">" + rows + "</table:table>";
}

QByteArray odsText(const QByteArray &text)
{
  return "<table:table-cell office:value-type=\"string\"><text:p>" + text + "</text:p></table:table-cell>";
}

/// Three tables, each naming itself in A1.
TEntries odsThreeTables()
{
  return makeOds(odsTable("Перша", "<table:table-row>" + odsText("перший") + "</table:table-row>") +
                 odsTable("Друга", "<table:table-row>" + odsText("другий") + "</table:table-row>") +
                 odsTable("Третя", "<table:table-row>" + odsText("третій") + "</table:table-row>"));
}

QString columnName(int column)
{
  QString name;
  for (; column > 0; column = (column - 1) / 26)
    name.prepend(QChar(u'A' + (column - 1) % 26));
  return name;
}

/// Every stored cell as "B3=text", row by row; only for small sheets.
QStringList cellList(const TSheetData &sheet)
{
  QStringList cells;
  for (int r = 1; r <= sheet.lastRow(); ++r) {
    for (int c = 1; c <= sheet.lastColumn(); ++c) {
      const QString text = sheet.cell(r, c);
      if (!text.isEmpty())
        cells << columnName(c) + QString::number(r) + QLatin1Char('=') + text;
    }
  }
  return cells;
}

} // namespace

class TestZipReaders : public QObject
{
  Q_OBJECT

private:
  QTemporaryDir FDir;
  int FCount = 0;

  QString fixture(const TEntries &entries, const QString &suffix = QStringLiteral(".zip"))
  {
    const QString path = FDir.filePath(QString::number(++FCount) + suffix);
    if (!writeZip(path, entries))
      qFatal("cannot write the fixture %s", qPrintable(path));
    return path;
  }

  static QByteArray fileBytes(const QString &path)
  {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
      return QByteArray();
    return f.readAll();
  }

  QString bytesFixture(const QByteArray &bytes)
  {
    const QString path = FDir.filePath(QString::number(++FCount) + QStringLiteral(".bin"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
      qFatal("cannot write %s", qPrintable(path));
    return path;
  }

  /// Overwrites the 32-bit field at this offset in the local header and the
  /// central directory record of the named entry.
  static void patchHeaders(QByteArray &zip, const QByteArray &name, int localOffset, int centralOffset, quint32 value)
  {
    for (qsizetype at = zip.indexOf(name); at >= 0; at = zip.indexOf(name, at + 1)) {
      const struct
      {
        const char *sig;
        int header;
        int offset;
      } kinds[] = {{"PK\x03\x04", 30, localOffset}, {"PK\x01\x02", 46, centralOffset}};
      for (const auto &k : kinds) {
        const qsizetype h = at - k.header;
        if (h >= 0 && zip.mid(h, 4) == QByteArray(k.sig, 4)) {
          for (int i = 0; i < 4; ++i)
            zip[h + k.offset + i] = char((value >> (8 * i)) & 0xff);
        }
      }
    }
  }

private slots:
  void initTestCase()
  {
    QVERIFY(FDir.isValid());
    QLocale::setDefault(QLocale::c());
  }

  // --- the package wrapper ---------------------------------------------

  void findEntry_data()
  {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<bool>("found");
    QTest::newRow("exact") << "xl/workbook.xml"
                           << "xl/workbook.xml" << true;
    QTest::newRow("leading slash asked") << "xl/workbook.xml"
                                         << "/xl/workbook.xml" << true;
    QTest::newRow("leading slash stored") << "/xl/workbook.xml"
                                          << "xl/workbook.xml" << true;
    QTest::newRow("other case") << "XL/Workbook.XML"
                                << "xl/workbook.xml" << true;
    QTest::newRow("backslashes stored") << "xl\\workbook.xml"
                                        << "xl/workbook.xml" << true;
    QTest::newRow("other folder") << "xx/workbook.xml"
                                  << "xl/workbook.xml" << false;
    QTest::newRow("prefix only") << "xl/workbook.xml.bak"
                                 << "xl/workbook.xml" << false;
    QTest::newRow("empty lookup") << "xl/workbook.xml"
                                  << "" << false;
    QTest::newRow("slash only") << "xl/workbook.xml"
                                << "/" << false;
  }

  void findEntry()
  {
    QFETCH(QString, stored);
    QFETCH(QString, lookup);
    QFETCH(bool, found);
    const QString path = fixture({{"other.xml", "x"}, {stored, "payload"}});
    TZipPackage zip;
    TWorkbookError error;
    QVERIFY(zip.open(path, error));
    QCOMPARE(zip.findEntry(lookup) >= 0, found);
    QByteArray data;
    QCOMPARE(zip.readEntry(lookup, data, error), found);
    QCOMPARE(data, found ? QByteArray("payload") : QByteArray());
    if (!found)
      QCOMPARE(error, TWorkbookError::NotFound);
  }

  void readEntryCap_data()
  {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<quint32>("declaredSize"); // 0: leave the headers as written
    QTest::addColumn<TWorkbookError>("expected");
    QTest::newRow("at the cap") << 1000 << false << 0u << TWorkbookError::None;
    QTest::newRow("one byte past") << 1001 << false << 0u << TWorkbookError::TooLarge;
    QTest::newRow("stored past") << 5000 << true << 0u << TWorkbookError::TooLarge;
    QTest::newRow("declared small, inflates large") << 200000 << false << 10u << TWorkbookError::TooLarge;
    QTest::newRow("declared large, inflates small") << 100 << false << 0x7fffffffu << TWorkbookError::None;
  }

  void readEntryCap()
  {
    QFETCH(int, size);
    QFETCH(bool, stored);
    QFETCH(quint32, declaredSize);
    QFETCH(TWorkbookError, expected);
    QString path = fixture({{"big.xml", QByteArray(size, ' '), stored}});
    if (declaredSize) {
      QByteArray bytes = fileBytes(path);
      patchHeaders(bytes, "big.xml", 22, 24, declaredSize);
      path = bytesFixture(bytes);
    }
    TZipPackage zip;
    TWorkbookError error;
    QVERIFY(zip.open(path, error));
    QByteArray data;
    QCOMPARE(zip.readEntry(QStringLiteral("big.xml"), data, error, 1000), expected == TWorkbookError::None);
    QCOMPARE(error, expected);
    QCOMPARE(data.size(), expected == TWorkbookError::None ? size : 0);
  }

  void readEntryDamage_data()
  {
    QTest::addColumn<bool>("stored");
    QTest::addColumn<int>("encryption");
    QTest::addColumn<int>("flipAt"); // byte offset into the entry's data, -1: none
    QTest::addColumn<TWorkbookError>("expected");
    QTest::newRow("stored, CRC mismatch") << true << int(ZIP_EM_NONE) << 10 << TWorkbookError::Corrupt;
    QTest::newRow("deflated, damaged stream") << false << int(ZIP_EM_NONE) << 5 << TWorkbookError::Corrupt;
    QTest::newRow("traditional password") << false << int(ZIP_EM_TRAD_PKWARE) << -1 << TWorkbookError::Encrypted;
    QTest::newRow("AES password") << false << int(ZIP_EM_AES_256) << -1 << TWorkbookError::Encrypted;
  }

  void readEntryDamage()
  {
    QFETCH(bool, stored);
    QFETCH(int, encryption);
    QFETCH(int, flipAt);
    QFETCH(TWorkbookError, expected);
    if (encryption != ZIP_EM_NONE && !zip_encryption_method_supported(zip_uint16_t(encryption), 1))
      QSKIP("this libzip cannot write that encryption");
    QByteArray text;
    for (int i = 0; i < 400; ++i)
      text += "<row r=\"" + QByteArray::number(i) + "\"/>";
    QString path = fixture({{"part.xml", text, stored, zip_uint16_t(encryption)}});
    if (flipAt >= 0) {
      QByteArray bytes = fileBytes(path);
      // The entry's data follows its local header: 30 bytes, the name and the extra field.
      const auto field = [&bytes](int at) { return int(uchar(bytes.at(at))) | int(uchar(bytes.at(at + 1))) << 8; };
      const qsizetype dataStart = 30 + field(26) + field(28);
      bytes[dataStart + flipAt] = char(bytes.at(dataStart + flipAt) ^ 0x5a);
      path = bytesFixture(bytes);
    }
    TZipPackage zip;
    TWorkbookError error;
    QVERIFY(zip.open(path, error));
    QByteArray data;
    QVERIFY(!zip.readEntry(QStringLiteral("part.xml"), data, error));
    QCOMPARE(error, expected);
    QVERIFY(data.isEmpty());
  }

  void openErrors_data()
  {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<TWorkbookError>("expected");
    QTest::newRow("missing file") << "missing" << TWorkbookError::NotFound;
    QTest::newRow("plain text") << "text" << TWorkbookError::NotSpreadsheet;
    QTest::newRow("zip cut short") << "truncated" << TWorkbookError::Corrupt;
    // Writers that put other dates (or flags) in the local headers than in
    // the central directory are fine; libzip's consistency check refuses them.
    QTest::newRow("local headers disagree") << "inconsistent" << TWorkbookError::None;
  }

  void openErrors()
  {
    QFETCH(QString, kind);
    QFETCH(TWorkbookError, expected);
    QString path = fixture(makeXlsx());
    QByteArray bytes = fileBytes(path);
    if (kind == QLatin1String("missing")) {
      path = FDir.filePath(QStringLiteral("no such file.xlsx"));
    } else if (kind == QLatin1String("text")) {
      path = bytesFixture("Прізвище;Ім'я\n");
    } else if (kind == QLatin1String("truncated")) {
      path = bytesFixture(bytes.left(bytes.size() * 2 / 3));
    } else {
      for (qsizetype at = bytes.indexOf("PK\x03\x04"); at >= 0; at = bytes.indexOf("PK\x03\x04", at + 4)) {
        bytes[at + 10] = 0x34; // modification time
        bytes[at + 11] = 0x12;
      }
      path = bytesFixture(bytes);
    }
    TZipPackage zip;
    TWorkbookError error;
    QCOMPARE(zip.open(path, error), expected == TWorkbookError::None);
    QCOMPARE(error, expected);
    if (expected == TWorkbookError::None) {
      TSheetData sheet;
      QVERIFY(ReadXlsxWorkbook(path, sheet, error));
      QCOMPARE(sheet.cell(1, 1), QStringLiteral("перший"));
    }
  }

  // --- .xlsx -------------------------------------------------------------

  void xlsxCells_data()
  {
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QByteArray>("sharedStrings");
    QTest::addColumn<QStringList>("cells");
    const QByteArray sst = "<si><t>Прізвище</t></si>"
                           "<si><r><rPr><b/></rPr><t xml:space=\"preserve\">Рич </t></r><r><t>текст</t></r>"
                           "<rPh sb=\"0\" eb=\"1\"><t>ふりがな</t></rPh><phoneticPr fontId=\"1\"/></si>"
                           "<si><t xml:space=\"preserve\">  два  пробіли </t></si>"
                           "<si><t>a_x000D__x000A_b _x005F_x0041_</t></si>";
    QTest::newRow("shared strings")
        << QByteArray("<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c r=\"C2\" t=\"s\"><v>1</v></c>"
                      "<c r=\"D2\" t=\"s\"><v>2</v></c><c r=\"E2\" t=\"s\"><v>3</v></c></row>")
        << sst << QStringList{"B2=Прізвище", "C2=Рич текст", "D2=  два  пробіли ", "E2=a\r\nb _x0041_"};
    QTest::newRow("value types")
        << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Інлайн</t></is></c>"
                      "<c r=\"B1\" t=\"inlineStr\"><is><r><t>по</t></r><r><t>частинах</t></r></is></c>"
                      "<c r=\"C1\"><v>10.5</v></c><c r=\"D1\" t=\"n\"><v>1E-3</v></c>"
                      "<c r=\"E1\" t=\"b\"><v>1</v></c><c r=\"F1\" t=\"b\"><v>0</v></c>"
                      "<c r=\"G1\" t=\"e\"><v>#DIV/0!</v></c><c r=\"H1\"><v>-1234567.125</v></c></row>")
        << QByteArray() << QStringList{"A1=Інлайн", "B1=почастинах", "C1=10.5",    "D1=0.001",
                                       "E1=True",   "F1=False",      "G1=#DIV/0!", "H1=-1234567.125"};
    QTest::newRow("formulas use the cached value")
        << QByteArray("<row r=\"1\"><c r=\"A1\"><f>B1*2</f><v>21</v></c>"
                      "<c r=\"B1\" t=\"str\"><f>\"x\"&amp;\"y\"</f><v>Текст!</v></c>"
                      "<c r=\"C1\" t=\"b\"><f>1=1</f><v>1</v></c>"
                      "<c r=\"D1\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>"
                      "<c r=\"E1\"><f>A1</f></c><c r=\"F1\"><f>A1</f><v></v></c></row>")
        << QByteArray() << QStringList{"A1=21", "B1=Текст!", "C1=True", "D1=#DIV/0!"};
    QTest::newRow("cells and rows without r")
        << QByteArray("<row><c t=\"inlineStr\"><is><t>a</t></is></c><c><v>1</v></c></row>"
                      "<row><c r=\"C2\"><v>2</v></c><c><v>3</v></c></row>"
                      "<row r=\"5\"><c><v>4</v></c></row><row><c><v>5</v></c></row>")
        << QByteArray() << QStringList{"A1=a", "B1=1", "C2=2", "D2=3", "A5=4", "A6=5"};
    QTest::newRow("empty cells stay empty")
        << QByteArray(
               "<row r=\"1\"><c r=\"A1\" t=\"s\"/><c r=\"B1\" s=\"3\"/><c r=\"C1\" t=\"inlineStr\"><is><t></t></is></c>"
               "<c r=\"D1\" t=\"str\"><v></v></c><c r=\"E1\"><v>0</v></c></row>")
        << QByteArray() << QStringList{"E1=0"};
  }

  void xlsxCells()
  {
    QFETCH(QByteArray, rows);
    QFETCH(QByteArray, sharedStrings);
    QFETCH(QStringList, cells);
    TSheetData sheet;
    TWorkbookError error;
    QVERIFY(ReadXlsxWorkbook(fixture(xlsxWithSheet(rows, sharedStrings)), sheet, error));
    QCOMPARE(error, TWorkbookError::None);
    QCOMPARE(cellList(sheet), cells);
  }

  void xlsxPackage_data()
  {
    QTest::addColumn<QString>("variant");
    QTest::addColumn<TWorkbookError>("expected");
    QTest::addColumn<QString>("a1");
    QTest::newRow("no view: first sheet") << "plain" << TWorkbookError::None << "перший";
    QTest::newRow("activeTab 1") << "tab1" << TWorkbookError::None << "другий";
    QTest::newRow("activeTab past the end") << "tab9" << TWorkbookError::None << "перший";
    QTest::newRow("absolute targets") << "absolute" << TWorkbookError::None << "третій";
    QTest::newRow("target climbing back in") << "dotdot" << TWorkbookError::None << "третій";
    QTest::newRow("escaped target") << "percent" << TWorkbookError::None << "третій";
    QTest::newRow("workbook elsewhere, names stored with /") << "moved" << TWorkbookError::None << "другий";
    QTest::newRow("no package rels, content type names it") << "norels" << TWorkbookError::None << "перший";
    QTest::newRow("active chart sheet") << "chart" << TWorkbookError::None << "другий";
    QTest::newRow("strict namespaces") << "strict" << TWorkbookError::None << "Строгий";
    QTest::newRow("target outside the package") << "outside" << TWorkbookError::Corrupt << "";
    QTest::newRow("external target") << "external" << TWorkbookError::Corrupt << "";
    QTest::newRow("sheet part missing") << "nosheet" << TWorkbookError::Corrupt << "";
    QTest::newRow("unknown r:id") << "badrid" << TWorkbookError::Corrupt << "";
    QTest::newRow("shared string index past the end") << "badsst" << TWorkbookError::Corrupt << "";
    QTest::newRow("malformed sheet xml") << "malformed" << TWorkbookError::Corrupt << "";
    QTest::newRow("malformed workbook xml") << "malformedwb" << TWorkbookError::Corrupt << "";
    QTest::newRow("entity expansion bomb") << "lol" << TWorkbookError::Corrupt << "";
    QTest::newRow("a text document") << "docx" << TWorkbookError::NotSpreadsheet << "";
    QTest::newRow("binary workbook") << "xlsb" << TWorkbookError::Unsupported << "";
    QTest::newRow("some other zip") << "otherzip" << TWorkbookError::NotSpreadsheet << "";
    QTest::newRow("an OpenDocument file") << "ods" << TWorkbookError::NotSpreadsheet << "";
    QTest::newRow("password on the zip entries") << "encrypted" << TWorkbookError::Encrypted << "";
  }

  void xlsxPackage()
  {
    QFETCH(QString, variant);
    QFETCH(TWorkbookError, expected);
    QFETCH(QString, a1);
    TEntries e = makeXlsx();
    const QByteArray ws = RelNs + "worksheet";
    if (variant == "tab1") {
      setPart(e, "xl/workbook.xml", workbookXml(3, "<bookViews><workbookView activeTab=\"1\"/></bookViews>"));
    } else if (variant == "tab9") {
      setPart(e, "xl/workbook.xml", workbookXml(3, "<bookViews><workbookView activeTab=\"9\"/></bookViews>"));
    } else if (variant == "absolute" || variant == "dotdot" || variant == "percent") {
      const QByteArray target = variant == "absolute" ? "/xl/worksheets/sheet3.xml"
                                : variant == "dotdot" ? "../xl/./worksheets/../worksheets/sheet3.xml"
                                                      : "worksheets/sheet%33.xml";
      setPart(e, "_rels/.rels", relsXml({{"rId1", RelNs + "officeDocument", "/xl/workbook.xml"}}));
      setPart(e, "xl/workbook.xml", workbookXml(1));
      setPart(e, "xl/_rels/workbook.xml.rels",
              relsXml({{"rId1", ws, target}, {"rId2", RelNs + "sharedStrings", "/xl/sharedStrings.xml"}}));
    } else if (variant == "moved") {
      TEntries moved;
      for (const TEntry &entry : e)
        moved.append({"/" + QString(entry.name).replace("xl/", "book/"), entry.data});
      e = moved;
      setPart(e, "/_rels/.rels", relsXml({{"rId1", RelNs + "officeDocument", "book/main.xml"}}));
      removePart(e, "/book/workbook.xml");
      setPart(e, "/book/main.xml", workbookXml(3, "<bookViews><workbookView activeTab=\"1\"/></bookViews>"));
      removePart(e, "/book/_rels/workbook.xml.rels");
      setPart(e, "/book/_rels/main.xml.rels",
              relsXml({{"rId1", ws, "worksheets/sheet1.xml"},
                       {"rId2", ws, "worksheets/sheet2.xml"},
                       {"rId3", ws, "worksheets/sheet3.xml"},
                       {"rId4", RelNs + "sharedStrings", "sharedStrings.xml"}}));
      removePart(e, "/[Content_Types].xml");
      setPart(e, "[Content_Types].xml",
              "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
    } else if (variant == "strict") {
      const QByteArray strict = "http://purl.oclc.org/ooxml/spreadsheetml/main";
      const QByteArray strictRel = "http://purl.oclc.org/ooxml/officeDocument/relationships/";
      setPart(e, "xl/worksheets/sheet1.xml", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>", strict));
      setPart(e, "xl/sharedStrings.xml", "<sst xmlns=\"" + strict + "\"><si><t>Строгий</t></si></sst>");
      setPart(e, "xl/workbook.xml",
              "<workbook xmlns=\"" + strict +
                  "\" xmlns:r=\"http://purl.oclc.org/ooxml/officeDocument/relationships\">"
                  "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
      setPart(e, "_rels/.rels", relsXml({{"rId1", strictRel + "officeDocument", "xl/workbook.xml"}}));
      setPart(e, "xl/_rels/workbook.xml.rels",
              relsXml({{"rId1", strictRel + "worksheet", "worksheets/sheet1.xml"},
                       {"rId2", strictRel + "sharedStrings", "sharedStrings.xml"}}));
    } else if (variant == "norels") {
      removePart(e, "_rels/.rels");
    } else if (variant == "chart") {
      setPart(e, "xl/_rels/workbook.xml.rels",
              relsXml({{"rId1", RelNs + "chartsheet", "chartsheets/sheet1.xml"},
                       {"rId2", ws, "worksheets/sheet2.xml"},
                       {"rId3", ws, "worksheets/sheet3.xml"},
                       {"rId9", RelNs + "sharedStrings", "sharedStrings.xml"}}));
    } else if (variant == "outside") {
      setPart(e, "xl/_rels/workbook.xml.rels", relsXml({{"rId1", ws, "../../xl/worksheets/sheet1.xml"}}));
      setPart(e, "../xl/worksheets/sheet1.xml", sheetXml("<row><c t=\"inlineStr\"><is><t>outside</t></is></c></row>"));
    } else if (variant == "external") {
      setPart(e, "xl/_rels/workbook.xml.rels",
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
              "Id=\"rId1\" Type=\"" +
                  ws + "\" Target=\"file:///xl/worksheets/sheet1.xml\" TargetMode=\"External\"/></Relationships>");
    } else if (variant == "nosheet") {
      removePart(e, "xl/worksheets/sheet1.xml");
    } else if (variant == "badrid") {
      setPart(e, "xl/workbook.xml", workbookXml(1).replace("rId1", "rId7"));
    } else if (variant == "badsst") {
      setPart(e, "xl/worksheets/sheet1.xml", sheetXml("<row><c t=\"s\"><v>3</v></c></row>"));
    } else if (variant == "malformed") {
      setPart(e, "xl/worksheets/sheet1.xml", sheetXml("<row><c><v>1</v></row>"));
    } else if (variant == "malformedwb") {
      setPart(e, "xl/workbook.xml", "<workbook><sheets><sheet r:id=\"rId1\"/></sheets></workbook>");
    } else if (variant == "lol") {
      QByteArray dtd = "<!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">";
      for (char c = 'b'; c <= 'j'; ++c)
        dtd += QByteArray("<!ENTITY ") + c + " \"" + (QByteArray("&") + char(c - 1) + ";").repeated(10) + "\">";
      setPart(e, "xl/worksheets/sheet1.xml",
              "<?xml version=\"1.0\"?>" + dtd + "]>" +
                  sheetXml("<row><c t=\"inlineStr\"><is><t>&j;</t></is></c></row>"));
    } else if (variant == "docx") {
      setPart(
          e, "[Content_Types].xml",
          "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
          "PartName=\"/word/document.xml\" "
          "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
      setPart(e, "_rels/.rels", relsXml({{"rId1", RelNs + "officeDocument", "word/document.xml"}}));
      setPart(e, "word/document.xml",
              "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>");
    } else if (variant == "xlsb") {
      setPart(e, "[Content_Types].xml",
              "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
              "PartName=\"/xl/workbook.xml\" "
              "ContentType=\"application/vnd.ms-excel.sheet.binary.macroEnabled.main\"/></Types>");
    } else if (variant == "otherzip") {
      e = {{"readme.txt", "hello"}, {"data/list.csv", "a;b"}};
    } else if (variant == "ods") {
      e = odsThreeTables();
    } else if (variant == "encrypted") {
      for (TEntry &entry : e)
        entry.encryption = ZIP_EM_AES_256;
    }
    TSheetData sheet;
    TWorkbookError error;
    QCOMPARE(ReadXlsxWorkbook(fixture(e), sheet, error), expected == TWorkbookError::None);
    QCOMPARE(error, expected);
    QCOMPARE(sheet.cell(1, 1), a1);
    if (expected != TWorkbookError::None)
      QCOMPARE(sheet.cellCount(), 0);
  }

  void xlsxBounds()
  {
    const QString path = fixture(
        xlsxWithSheet("<row r=\"99999999999999999999\"><c r=\"A99999999999999999999\"><v>1</v></c></row>"
                      "<row r=\"1048576\"><c r=\"XFD1048576\"><v>2</v></c><c><v>3</v></c><c r=\"XFE1\"><v>4</v></c>"
                      "<c r=\"ZZZZZZZZZZZZZZZZZZZZZZ1\"><v>5</v></c></row><row><c><v>6</v></c></row><row "
                      "r=\"0\"><c><v>7</v></c></row>"
                      "<row><c r=\"$B$2\"><v>8</v></c></row>"));
    TSheetData sheet;
    TWorkbookError error;
    QVERIFY(ReadXlsxWorkbook(path, sheet, error));
    QCOMPARE(sheet.maxRows(), SheetLimits::XlsxMaxRows);
    QCOMPARE(sheet.maxColumns(), SheetLimits::XlsxMaxColumns);
    QCOMPARE(sheet.cellCount(), 2);
    QCOMPARE(sheet.cell(SheetLimits::XlsxMaxRows, SheetLimits::XlsxMaxColumns), QStringLiteral("2"));
    QCOMPARE(sheet.cell(2, 2), QStringLiteral("8"));
  }

  void numbersIgnoreTheLocale()
  {
    // <v> and office:value are C-locale text whatever the user's locale is;
    // the cell text then follows the locale.
    QLocale::setDefault(QLocale(QLocale::Ukrainian, QLocale::Ukraine));
    TSheetData xlsx;
    TSheetData ods;
    TWorkbookError error;
    const bool xlsxOk =
        ReadXlsxWorkbook(fixture(xlsxWithSheet("<row><c><v>10.5</v></c><c><v>1E-3</v></c></row>")), xlsx, error);
    const bool odsOk =
        ReadOdsWorkbook(fixture(makeOds(odsTable(
                            "T", "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"10.5\">"
                                 "<text:p>10,5</text:p></table:table-cell></table:table-row>"))),
                        ods, error);
    QLocale::setDefault(QLocale::c());
    QVERIFY(xlsxOk);
    QVERIFY(odsOk);
    QCOMPARE(xlsx.cell(1, 1), QStringLiteral("10,5"));
    QCOMPARE(xlsx.cell(1, 2), QStringLiteral("0,001"));
    QCOMPARE(ods.cell(1, 1), QStringLiteral("10,5"));
  }

  void zipBomb_data()
  {
    QTest::addColumn<bool>("ods");
    QTest::newRow("xlsx sheet") << false;
    QTest::newRow("ods content") << true;
  }

  void zipBomb()
  {
    // A run of spaces just past the cap deflates to a few hundred kilobytes.
    QFETCH(bool, ods);
    const QByteArray padding(SheetLimits::MaxPartBytes, ' ');
    TEntries e = ods ? odsThreeTables() : makeXlsx();
    const QString part = ods ? QStringLiteral("content.xml") : QStringLiteral("xl/worksheets/sheet1.xml");
    for (TEntry &entry : e) {
      if (entry.name == part)
        entry.data.insert(entry.data.indexOf('>') + 1, padding);
    }
    TSheetData sheet;
    TWorkbookError error;
    const QString path = fixture(e);
    QVERIFY(QFileInfo(path).size() < 2 * 1024 * 1024);
    QVERIFY(!(ods ? ReadOdsWorkbook(path, sheet, error) : ReadXlsxWorkbook(path, sheet, error)));
    QCOMPARE(error, TWorkbookError::TooLarge);
  }

  // --- .ods --------------------------------------------------------------

  void odsCells_data()
  {
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("value types")
        << QByteArray("<table:table-row>" + odsText("Шевченко Тарас") +
                      "<table:table-cell office:value-type=\"float\" "
                      "office:value=\"10.5\"><text:p>10,50</text:p></table:table-cell>"
                      "<table:table-cell office:value-type=\"percentage\" "
                      "office:value=\"0.25\"><text:p>25%</text:p></table:table-cell>"
                      "<table:table-cell office:value-type=\"currency\" office:currency=\"UAH\" "
                      "office:value=\"12.5\"><text:p>12,50 ₴</text:p></table:table-cell>"
                      "<table:table-cell office:value-type=\"boolean\" "
                      "office:boolean-value=\"true\"><text:p>TRUE</text:p></table:table-cell>"
                      "<table:table-cell office:value-type=\"boolean\" "
                      "office:boolean-value=\"false\"><text:p>FALSE</text:p></table:table-cell>"
                      "<table:table-cell office:value-type=\"date\" "
                      "office:date-value=\"2023-09-01\"><text:p>01.09.2023</text:p></table:table-cell>"
                      "<table:table-cell office:value-type=\"time\" "
                      "office:time-value=\"PT08H30M00S\"><text:p>08:30</text:p></table:table-cell>"
                      "</table:table-row>")
        << QStringList{"A1=Шевченко Тарас", "B1=10.5",  "C1=0.25",       "D1=12.5",
                       "E1=True",           "F1=False", "G1=01.09.2023", "H1=08:30"};
    QTest::newRow("formula results")
        << QByteArray(
               "<table:table-row>"
               "<table:table-cell table:formula=\"of:=[.B2]*2\" office:value-type=\"float\" office:value=\"21\" "
               "calcext:value-type=\"float\"><text:p>21</text:p></table:table-cell>"
               "<table:table-cell table:formula=\"of:=&quot;a&quot;\" office:value-type=\"string\" "
               "office:string-value=\"Текст!\" calcext:value-type=\"string\"><text:p>Текст!</text:p></table:table-cell>"
               "<table:table-cell table:formula=\"of:=1=1\" office:value-type=\"boolean\" "
               "office:boolean-value=\"true\" calcext:value-type=\"boolean\"><text:p>TRUE</text:p></table:table-cell>"
               "<table:table-cell table:formula=\"of:=1/0\" office:value-type=\"string\" office:string-value=\"\" "
               "calcext:value-type=\"error\"><text:p>#DIV/0!</text:p></table:table-cell>"
               "<table:table-cell table:formula=\"of:=NA()\" office:value-type=\"float\" office:value=\"0\" "
               "calcext:value-type=\"error\"><text:p>#N/A</text:p></table:table-cell>"
               // an error as writers without the calcext namespace leave it: the paragraph is all there is
               "<table:table-cell table:formula=\"of:=1/0\" office:value-type=\"string\" "
               "office:string-value=\"\"><text:p>#DIV/0!</text:p></table:table-cell>"
               "</table:table-row>")
        << QStringList{"A1=21", "B1=Текст!", "C1=True", "D1=#DIV/0!", "E1=#N/A", "F1=#DIV/0!"};
    QTest::newRow("paragraph markup")
        << QByteArray("<table:table-row>" + odsText("Рядок<text:s/> два<text:s text:c=\"3\"/>кінець") +
                      odsText("<text:s/>lead and trail ") +
                      "<table:table-cell office:value-type=\"string\"><text:p>перший</text:p><text:p>другий "
                      "<text:span>абзац</text:span></text:p></table:table-cell>" +
                      odsText("x<text:tab/>y<text:line-break/>z <text:a xlink:href=\"http://x\">лінк</text:a>") +
                      "<table:table-cell "
                      "office:value-type=\"string\"><office:annotation><text:p>коментар</text:p></"
                      "office:annotation><text:p>з коментарем</text:p></table:table-cell>" +
                      odsText("  x\n    y  ") + "</table:table-row>")
        << QStringList{"A1=Рядок  два   кінець", "B1= lead and trail ", "C1=перший\nдругий абзац",
                       "D1=x\ty\nz лінк",        "E1=з коментарем",     "F1=  x\n    y  "};
    QTest::newRow("cells without paragraphs or type")
        << QByteArray(
               "<table:table-row><table:table-cell office:value-type=\"string\" office:string-value=\"з атрибута\"/>"
               "<table:table-cell><text:p>без типу</text:p></table:table-cell>"
               "<table:table-cell office:value-type=\"string\"><text:p/></table:table-cell>"
               "<table:table-cell office:value-type=\"float\" office:value=\"0\"><text:p>0</text:p></table:table-cell>"
               "<table:table-cell/></table:table-row>")
        << QStringList{"A1=з атрибута", "B1=без типу", "D1=0"};
    QTest::newRow("covered cells and row groups")
        << QByteArray(
               "<table:table-column table:number-columns-repeated=\"3\"/><table:table-header-rows><table:table-row>" +
               odsText("Заголовок") +
               "</table:table-row></"
               "table:table-header-rows><table:table-row-group><table:table-row-group><table:table-row>"
               "<table:table-cell table:number-columns-spanned=\"2\" office:value-type=\"float\" "
               "office:value=\"3\"><text:p>3</text:p></table:table-cell>"
               "<table:covered-table-cell/>" +
               odsText("після") + "</table:table-row></table:table-row-group><table:table-row>" +
               "<table:covered-table-cell table:number-columns-repeated=\"2\"/>" + odsText("c3") +
               "</table:table-row></table:table-row-group>")
        << QStringList{"A1=Заголовок", "A2=3", "C2=після", "C3=c3"};
    QTest::newRow("repeats")
        << QByteArray("<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
                      "table:number-columns-repeated=\"2\"/>"
                      "<table:table-cell table:number-columns-repeated=\"3\" office:value-type=\"float\" "
                      "office:value=\"7\"><text:p>7</text:p></table:table-cell>"
                      "</table:table-row><table:table-row table:number-rows-repeated=\"3\"><table:table-cell "
                      "table:number-columns-repeated=\"99\"/></table:table-row>"
                      "<table:table-row>" +
                      odsText("кінець") + "</table:table-row>")
        << QStringList{"C1=7", "D1=7", "E1=7", "C2=7", "D2=7", "E2=7", "A6=кінець"};
    QTest::newRow("odd counts read as one")
        << QByteArray("<table:table-row table:number-rows-repeated=\"0\">" + odsText("a") +
                      "</table:table-row><table:table-row table:number-rows-repeated=\"-3\">" + odsText("b") +
                      "</table:table-row><table:table-row table:number-rows-repeated=\"x\"><table:table-cell "
                      "table:number-columns-repeated=\"-1\" "
                      "office:value-type=\"string\"><text:p>c</text:p></table:table-cell>" +
                      odsText("d") + "</table:table-row>")
        << QStringList{"A1=a", "A2=b", "A3=c", "B3=d"};
  }

  void odsCells()
  {
    QFETCH(QByteArray, rows);
    QFETCH(QStringList, cells);
    TSheetData sheet;
    TWorkbookError error;
    QVERIFY(ReadOdsWorkbook(fixture(makeOds(odsTable("T", rows))), sheet, error));
    QCOMPARE(error, TWorkbookError::None);
    QCOMPARE(cellList(sheet), cells);
  }

  void odsPackage_data()
  {
    QTest::addColumn<QString>("variant");
    QTest::addColumn<TWorkbookError>("expected");
    QTest::addColumn<QString>("a1");
    QTest::newRow("no settings: first table") << "plain" << TWorkbookError::None << "перший";
    QTest::newRow("ActiveTable names the second") << "active2" << TWorkbookError::None << "другий";
    QTest::newRow("ActiveTable names no table") << "activeMissing" << TWorkbookError::None << "перший";
    QTest::newRow("damaged settings") << "badSettings" << TWorkbookError::None << "перший";
    QTest::newRow("template") << "template" << TWorkbookError::None << "перший";
    QTest::newRow("no mimetype, manifest says spreadsheet") << "noMimetype" << TWorkbookError::None << "перший";
    QTest::newRow("text document") << "odt" << TWorkbookError::NotSpreadsheet << "";
    QTest::newRow("no mimetype, no manifest") << "bare" << TWorkbookError::NotSpreadsheet << "";
    QTest::newRow("an xlsx") << "xlsx" << TWorkbookError::NotSpreadsheet << "";
    QTest::newRow("content encrypted by the writer") << "encryptedContent" << TWorkbookError::Encrypted << "";
    QTest::newRow("password on the zip entries") << "encryptedZip" << TWorkbookError::Encrypted << "";
    QTest::newRow("content missing") << "noContent" << TWorkbookError::Corrupt << "";
    QTest::newRow("malformed content") << "malformed" << TWorkbookError::Corrupt << "";
    QTest::newRow("content cut short") << "truncated" << TWorkbookError::Corrupt << "";
  }

  void odsPackage()
  {
    QFETCH(QString, variant);
    QFETCH(TWorkbookError, expected);
    QFETCH(QString, a1);
    TEntries e = odsThreeTables();
    if (variant == "active2") {
      setPart(e, "settings.xml", odsSettings("Друга"));
    } else if (variant == "activeMissing") {
      setPart(e, "settings.xml", odsSettings("Немає"));
    } else if (variant == "badSettings") {
      setPart(e, "settings.xml", odsSettings("Друга").left(300));
    } else if (variant == "template") {
      setPart(e, "mimetype", "application/vnd.oasis.opendocument.spreadsheet-template");
    } else if (variant == "noMimetype") {
      removePart(e, "mimetype");
    } else if (variant == "odt") {
      setPart(e, "mimetype", "application/vnd.oasis.opendocument.text");
    } else if (variant == "bare") {
      removePart(e, "mimetype");
      removePart(e, "META-INF/manifest.xml");
    } else if (variant == "xlsx") {
      e = makeXlsx();
    } else if (variant == "encryptedContent") {
      setPart(e, "content.xml", "\x13\x37 not xml");
      setPart(
          e, "META-INF/manifest.xml",
          QByteArray(OdsManifest)
              .replace(
                  "manifest:media-type=\"text/xml\"/>",
                  "manifest:media-type=\"text/xml\"><manifest:encryption-data manifest:checksum-type=\"SHA1/1K\" "
                  "manifest:checksum=\"x\">"
                  "<manifest:algorithm manifest:algorithm-name=\"Blowfish CFB\" manifest:initialisation-vector=\"x\"/>"
                  "</manifest:encryption-data></manifest:file-entry>"));
    } else if (variant == "encryptedZip") {
      for (TEntry &entry : e)
        entry.encryption = ZIP_EM_TRAD_PKWARE;
    } else if (variant == "noContent") {
      removePart(e, "content.xml");
    } else if (variant == "malformed") {
      setPart(e, "content.xml",
              "<office:document-content " + OdsNs +
                  "><office:body><office:spreadsheet><table:table table:name=\"T\">"
                  "<table:table-row>" +
                  odsText("a") + "</table:table-cell></table:table-row></table:table>");
    } else if (variant == "truncated") {
      for (TEntry &entry : e) {
        if (entry.name == "content.xml")
          entry.data.truncate(entry.data.indexOf("перший") + 4); // inside the table that is read
      }
    }
    TSheetData sheet;
    TWorkbookError error;
    QCOMPARE(ReadOdsWorkbook(fixture(e), sheet, error), expected == TWorkbookError::None);
    QCOMPARE(error, expected);
    QCOMPARE(sheet.cell(1, 1), a1);
  }

  void odsHugeRepeats_data()
  {
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<TWorkbookError>("expected");
    QTest::addColumn<qint64>("cellCount");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("lastColumn");
    const QByteArray one =
        "<table:table-cell office:value-type=\"float\" office:value=\"1\"><text:p>1</text:p></table:table-cell>";
    const QByteArray ones = "<table:table-cell table:number-columns-repeated=\"1000000000\" "
                            "office:value-type=\"float\" office:value=\"1\"><text:p>1</text:p></table:table-cell>";
    // LibreOffice ends a sheet with runs like these; they must cost nothing.
    QTest::newRow("empty tail")
        << QByteArray("<table:table-row>" + one +
                      "<table:table-cell table:number-columns-repeated=\"16383\"/></table:table-row>"
                      "<table:table-row table:number-rows-repeated=\"1048575\"><table:table-cell "
                      "table:number-columns-repeated=\"16384\"/></table:table-row>"
                      "<table:table-row table:number-rows-repeated=\"999999999999999999999999\"><table:table-cell "
                      "table:number-columns-repeated=\"99999999999999999999\"/></table:table-row>")
        << TWorkbookError::None << qint64(1) << 1 << 1;
    QTest::newRow("value repeated across the row")
        << QByteArray("<table:table-row>" + one + ones + one + "</table:table-row>") << TWorkbookError::None
        << qint64(SheetLimits::XlsxMaxColumns) << 1 << SheetLimits::XlsxMaxColumns;
    QTest::newRow("row repeated down the sheet")
        << QByteArray("<table:table-row table:number-rows-repeated=\"1000000000\">" + one +
                      "</table:table-row><table:table-row>" + one + "</table:table-row>")
        << TWorkbookError::None << qint64(SheetLimits::XlsxMaxRows) << SheetLimits::XlsxMaxRows << 1;
    // Expanding the cells of these rows before noticing that they cannot be
    // stored would take 100000 x 16384 steps.
    QTest::newRow("rows past the end are not looked at")
        << QByteArray("<table:table-row>" + one +
                      "</table:table-row><table:table-row table:number-rows-repeated=\"1048576\"/>" +
                      QByteArray("<table:table-row>" + ones + "</table:table-row>").repeated(100000))
        << TWorkbookError::None << qint64(1) << 1 << 1;
    QTest::newRow("both: the cell cap") << QByteArray("<table:table-row table:number-rows-repeated=\"1000000000\">" +
                                                      ones + "</table:table-row>")
                                        << TWorkbookError::TooLarge << qint64(0) << 0 << 0;
    QTest::newRow("one huge run of spaces")
        << QByteArray("<table:table-row><table:table-cell office:value-type=\"string\"><text:p><text:s "
                      "text:c=\"2000000000\"/></text:p></table:table-cell></table:table-row>")
        << TWorkbookError::TooLarge << qint64(0) << 0 << 0;
    QTest::newRow("many big runs of spaces")
        << QByteArray("<table:table-row>" +
                      QByteArray("<table:table-cell office:value-type=\"string\"><text:p><text:s "
                                 "text:c=\"1000000\"/></text:p></table:table-cell>")
                          .repeated(100) +
                      "</table:table-row>")
        << TWorkbookError::TooLarge << qint64(0) << 0 << 0;
    QTest::newRow("deeply nested row groups")
        << QByteArray(QByteArray("<table:table-row-group>").repeated(100000) + "<table:table-row>" + one +
                      "</table:table-row>" + QByteArray("</table:table-row-group>").repeated(100000))
        << TWorkbookError::None << qint64(1) << 1 << 1;
  }

  void odsHugeRepeats()
  {
    QFETCH(QByteArray, rows);
    QFETCH(TWorkbookError, expected);
    QFETCH(qint64, cellCount);
    QFETCH(int, lastRow);
    QFETCH(int, lastColumn);
    const QString path = fixture(makeOds(odsTable("T", rows)));
    TSheetData sheet;
    TWorkbookError error;
    QCOMPARE(ReadOdsWorkbook(path, sheet, error), expected == TWorkbookError::None);
    QCOMPARE(error, expected);
    QCOMPARE(sheet.cellCount(), cellCount);
    QCOMPARE(sheet.lastRow(), lastRow);
    QCOMPARE(sheet.lastColumn(), lastColumn);
    if (cellCount > 0) {
      QCOMPARE(sheet.cell(lastRow, lastColumn), QStringLiteral("1"));
      QCOMPARE(sheet.cell(1, 1), QStringLiteral("1"));
    }
  }

  // --- choosing the reader -----------------------------------------------

  void dispatch_data()
  {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<TWorkbookError>("expected");
    QTest::addColumn<QString>("a1");
    QTest::newRow("xlsx") << "xlsx" << TWorkbookError::None << "другий";
    QTest::newRow("ods") << "ods" << TWorkbookError::None << "другий";
    QTest::newRow("odt") << "odt" << TWorkbookError::NotSpreadsheet << "";
    QTest::newRow("other zip") << "zip" << TWorkbookError::NotSpreadsheet << "";
    QTest::newRow("zip cut short") << "truncated" << TWorkbookError::Corrupt << "";
  }

  void dispatch()
  {
    QFETCH(QString, kind);
    QFETCH(TWorkbookError, expected);
    QFETCH(QString, a1);
    QString path;
    if (kind == "xlsx") {
      path = fixture(makeXlsx("<bookViews><workbookView activeTab=\"1\"/></bookViews>"),
                     ".ods"); // the extension does not matter
    } else if (kind == "ods" || kind == "odt") {
      TEntries e = odsThreeTables();
      setPart(e, "settings.xml", odsSettings("Друга"));
      if (kind == "odt")
        setPart(e, "mimetype", "application/vnd.oasis.opendocument.text");
      path = fixture(e, ".xlsx");
    } else if (kind == "zip") {
      path = fixture({{"readme.txt", "hello"}});
    } else {
      const QByteArray bytes = fileBytes(fixture(odsThreeTables()));
      path = bytesFixture(bytes.left(bytes.size() - 30));
    }
    TSheetData sheet;
    TWorkbookError error;
    QCOMPARE(ReadWorkbookFile(path, sheet, error), expected == TWorkbookError::None);
    QCOMPARE(error, expected);
    QCOMPARE(sheet.cell(1, 1), a1);
  }
};

QTEST_GUILESS_MAIN(TestZipReaders)
#include "tst_zipreaders.moc"
