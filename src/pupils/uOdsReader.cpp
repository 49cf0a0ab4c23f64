// OpenDocument spreadsheets (.ods/.ots): only the cell values of the active
// table are read. Repeated rows and cells are never expanded blindly: empty
// ones only move the position, so the long empty tails that LibreOffice
// writes cost nothing.

#include "uSheetData.h"
#include "uZipPackage.h"

#include <QList>
#include <QXmlStreamReader>

namespace {

const QLatin1String OfficeNs("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QLatin1String TableNs("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QLatin1String TextNs("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QLatin1String ConfigNs("urn:oasis:names:tc:opendocument:xmlns:config:1.0");
const QLatin1String ManifestNs("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
const QLatin1String CalcExtNs("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");

const QLatin1String SpreadsheetType("application/vnd.oasis.opendocument.spreadsheet");
const QLatin1String SpreadsheetTemplateType("application/vnd.oasis.opendocument.spreadsheet-template");

/// Most spaces that <text:s text:c="..."/> may add to the cells of a sheet.
/// Everything else in a cell's text is bounded by the size of content.xml;
/// these runs are the one way a small file could spell a huge text.
constexpr qint64 MaxExpandedSpaces = 32 * 1024 * 1024;

/// Counts far beyond any sheet are clamped here, so sums cannot overflow.
constexpr qint64 RepeatClamp = qint64(1) << 40;

bool isElement(const QXmlStreamReader &xml, QLatin1String ns, QLatin1String name)
{
  return xml.name() == name && xml.namespaceUri() == ns;
}

/// A repeat or space count: 1 when missing or invalid, huge values clamped.
qint64 parseCount(QStringView text)
{
  text = text.trimmed();
  if (text.isEmpty())
    return 1;
  qint64 count = 0;
  for (const QChar ch : text) {
    if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
      return 1;
    count = qMin(count * 10 + (ch.unicode() - u'0'), RepeatClamp);
  }
  return count > 0 ? count : 1;
}

bool isSpreadsheetType(QStringView type)
{
  type = type.trimmed();
  return type == SpreadsheetType || type == SpreadsheetTemplateType;
}

class TOdsReader
{
public:
  TOdsReader(TSheetData &sheet, TWorkbookError &error) : FSheet(sheet), FError(error) {}
  bool read(const QString &fileName);

private:
  bool fail(TWorkbookError error)
  {
    FError = error;
    return false;
  }
  bool checkPackage();
  QString activeTableName();
  bool readContent(const QByteArray &data, const QString &activeTable, bool &found);
  bool readTable(QXmlStreamReader &xml);
  bool readRow(QXmlStreamReader &xml, qint64 &row);
  bool readCell(QXmlStreamReader &xml, QString &text);
  bool readParagraph(QXmlStreamReader &xml, QString &text);

  TSheetData &FSheet;
  TWorkbookError &FError;
  TZipPackage FZip;
  qint64 FSpaceBudget = MaxExpandedSpaces;
};

/// Makes sure the package is an OpenDocument spreadsheet that can be read:
/// NotSpreadsheet for any other zip (an OOXML workbook included), Encrypted
/// when its content is protected by a password.
bool TOdsReader::checkPackage()
{
  TWorkbookError error = TWorkbookError::None;
  bool typeKnown = false;
  if (FZip.contains(QStringLiteral("mimetype"))) {
    QByteArray mimetype;
    if (!FZip.readEntry(QStringLiteral("mimetype"), mimetype, error, 1024))
      return fail(error == TWorkbookError::TooLarge ? TWorkbookError::NotSpreadsheet : error);
    if (!isSpreadsheetType(QString::fromUtf8(mimetype)))
      return fail(TWorkbookError::NotSpreadsheet);
    typeKnown = true;
  }

  // The manifest tells which parts are encrypted and, for writers that omit
  // the "mimetype" entry, the type of the document.
  QByteArray manifest;
  if (!FZip.contains(QStringLiteral("META-INF/manifest.xml")))
    return typeKnown ? true : fail(TWorkbookError::NotSpreadsheet);
  if (!FZip.readEntry(QStringLiteral("META-INF/manifest.xml"), manifest, error))
    return fail(typeKnown ? error : TWorkbookError::NotSpreadsheet);
  QXmlStreamReader xml(manifest);
  bool encrypted = false;
  if (xml.readNextStartElement()) {
    while (xml.readNextStartElement()) {
      if (!isElement(xml, ManifestNs, QLatin1String("file-entry"))) {
        xml.skipCurrentElement();
        continue;
      }
      const QXmlStreamAttributes a = xml.attributes();
      const QStringView path = a.value(ManifestNs, QLatin1String("full-path"));
      if (path == QLatin1String("/") && !typeKnown) {
        if (!isSpreadsheetType(a.value(ManifestNs, QLatin1String("media-type"))))
          return fail(TWorkbookError::NotSpreadsheet);
        typeKnown = true;
      }
      const bool isContent = path == QLatin1String("content.xml") || path == QLatin1String("/content.xml");
      while (xml.readNextStartElement()) {
        if (isContent && isElement(xml, ManifestNs, QLatin1String("encryption-data")))
          encrypted = true;
        xml.skipCurrentElement();
      }
    }
  }
  if (!typeKnown)
    return fail(TWorkbookError::NotSpreadsheet);
  if (encrypted)
    return fail(TWorkbookError::Encrypted);
  // A damaged manifest does not keep the sheet from being read.
  return true;
}

/// The name of the table shown when the file was saved; empty when unknown.
QString TOdsReader::activeTableName()
{
  // The view settings only choose the table: when they are missing or
  // damaged the first table is read.
  QByteArray data;
  TWorkbookError error = TWorkbookError::None;
  if (!FZip.contains(QStringLiteral("settings.xml")) || !FZip.readEntry(QStringLiteral("settings.xml"), data, error))
    return QString();
  QXmlStreamReader xml(data);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement || !isElement(xml, ConfigNs, QLatin1String("config-item")))
      continue;
    if (xml.attributes().value(ConfigNs, QLatin1String("name")) == QLatin1String("ActiveTable")) {
      const QString name = xml.readElementText(QXmlStreamReader::SkipChildElements);
      return xml.hasError() ? QString() : name;
    }
  }
  return QString();
}

/// The text of one paragraph. The reader stands on the <text:p> and is left
/// on its end element.
bool TOdsReader::readParagraph(QXmlStreamReader &xml, QString &text)
{
  int depth = 0;
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::Characters) {
      text += xml.text();
    } else if (token == QXmlStreamReader::EndElement) {
      if (depth == 0)
        break;
      --depth;
    } else if (token == QXmlStreamReader::StartElement) {
      if (xml.namespaceUri() != TextNs) {
        xml.skipCurrentElement(); // annotations, frames, anything but text
      } else if (xml.name() == QLatin1String("s")) {
        const qint64 count = parseCount(xml.attributes().value(TextNs, QLatin1String("c")));
        if (count > FSpaceBudget)
          return fail(TWorkbookError::TooLarge);
        FSpaceBudget -= count;
        text += QString(qsizetype(count), QLatin1Char(' '));
        xml.skipCurrentElement();
      } else if (xml.name() == QLatin1String("tab")) {
        text += QLatin1Char('\t');
        xml.skipCurrentElement();
      } else if (xml.name() == QLatin1String("line-break")) {
        text += QLatin1Char('\n');
        xml.skipCurrentElement();
      } else if (xml.name() == QLatin1String("note") || xml.name() == QLatin1String("ruby-text")) {
        xml.skipCurrentElement();
      } else {
        ++depth; // span, a, fields: their text is part of the paragraph
      }
    }
  }
  return !xml.hasError();
}

/// The text of a cell as the user sees its value. The reader stands on the
/// cell element and is left on its end element.
bool TOdsReader::readCell(QXmlStreamReader &xml, QString &text)
{
  const QXmlStreamAttributes a = xml.attributes();
  const QString type = a.value(OfficeNs, QLatin1String("value-type")).toString();
  const bool isError = a.value(CalcExtNs, QLatin1String("value-type")) == QLatin1String("error");
  const QString value = a.value(OfficeNs, QLatin1String("value")).toString();
  const QString boolValue = a.value(OfficeNs, QLatin1String("boolean-value")).toString();
  const QStringView stringAttr = a.value(OfficeNs, QLatin1String("string-value"));
  const QString stringValue = stringAttr.toString();
  const bool haveStringValue = !stringAttr.isNull();

  QString shown;
  bool haveParagraph = false;
  while (xml.readNextStartElement()) {
    if (xml.namespaceUri() == TextNs && (xml.name() == QLatin1String("p") || xml.name() == QLatin1String("h"))) {
      if (haveParagraph)
        shown += QLatin1Char('\n');
      haveParagraph = true;
      if (!readParagraph(xml, shown))
        return false;
    } else {
      xml.skipCurrentElement(); // office:annotation and drawings
    }
  }
  if (xml.hasError())
    return false;

  text.clear();
  if (isError) {
    // A formula error: the value attributes hold a placeholder, the
    // paragraph the error text (#DIV/0!).
    text = shown;
  } else if (type == QLatin1String("float") || type == QLatin1String("percentage") ||
             type == QLatin1String("currency")) {
    bool ok = false;
    const double number = QStringView(value).trimmed().toDouble(&ok);
    text = ok ? CellNumberText(number) : shown;
  } else if (type == QLatin1String("boolean")) {
    const QStringView v = QStringView(boolValue).trimmed();
    if (v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || v == QLatin1String("1"))
      text = CellBoolText(true);
    else if (v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || v == QLatin1String("0"))
      text = CellBoolText(false);
    else
      text = shown;
  } else if (type == QLatin1String("string")) {
    text = haveParagraph || !haveStringValue ? shown : stringValue;
  } else {
    text = shown; // date, time and cells without a value type: as displayed
  }
  return true;
}

bool TOdsReader::readRow(QXmlStreamReader &xml, qint64 &row)
{
  const qint64 rowsRepeated = parseCount(xml.attributes().value(TableNs, QLatin1String("number-rows-repeated")));
  if (row > FSheet.maxRows()) {
    // Past the last row nothing can be stored; do not even look at the cells.
    xml.skipCurrentElement();
    row = qMin(row + rowsRepeated, RepeatClamp);
    return !xml.hasError();
  }
  const qint64 maxColumns = FSheet.maxColumns();
  struct TRowCell
  {
    int column;
    QString text;
  };
  QList<TRowCell> cells;
  qint64 column = 1;
  while (xml.readNextStartElement()) {
    if (!isElement(xml, TableNs, QLatin1String("table-cell")) &&
        !isElement(xml, TableNs, QLatin1String("covered-table-cell"))) {
      xml.skipCurrentElement();
      continue;
    }
    const qint64 repeated = parseCount(xml.attributes().value(TableNs, QLatin1String("number-columns-repeated")));
    QString text;
    if (!readCell(xml, text))
      return false;
    if (!text.isEmpty()) {
      // The copies share one string; the row holds at most maxColumns of them.
      const qint64 last = qMin(column + repeated - 1, maxColumns);
      for (qint64 c = column; c <= last; ++c)
        cells.append({int(c), text});
    }
    column = qMin(column + repeated, maxColumns + 1);
  }
  if (xml.hasError())
    return false;

  if (!cells.isEmpty()) {
    const qint64 last = qMin(row + rowsRepeated - 1, qint64(FSheet.maxRows()));
    for (qint64 r = row; r <= last; ++r) {
      for (const TRowCell &cell : std::as_const(cells)) {
        if (!FSheet.setCell(int(r), cell.column, cell.text))
          return fail(TWorkbookError::TooLarge);
      }
    }
  }
  row = qMin(row + rowsRepeated, RepeatClamp);
  return true;
}

/// Reads the rows of a table. The reader stands on the <table:table> and is
/// left on its end element.
bool TOdsReader::readTable(QXmlStreamReader &xml)
{
  qint64 row = 1;
  int depth = 0; // inside row groups and header rows, which may nest
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::EndElement) {
      if (depth == 0)
        break;
      --depth;
    } else if (token == QXmlStreamReader::StartElement) {
      if (xml.namespaceUri() != TableNs) {
        xml.skipCurrentElement();
      } else if (xml.name() == QLatin1String("table-row")) {
        if (!readRow(xml, row))
          return false;
      } else if (xml.name() == QLatin1String("table-row-group") || xml.name() == QLatin1String("table-header-rows") ||
                 xml.name() == QLatin1String("table-rows")) {
        ++depth;
      } else {
        xml.skipCurrentElement(); // columns, shapes, named ranges
      }
    }
  }
  return !xml.hasError();
}

/// Reads the table with this name, or the first table for an empty name;
/// found tells whether there was such a table.
bool TOdsReader::readContent(const QByteArray &data, const QString &activeTable, bool &found)
{
  found = false;
  QXmlStreamReader xml(data);
  if (xml.readNextStartElement()) {
    while (xml.readNextStartElement()) {
      if (!isElement(xml, OfficeNs, QLatin1String("body"))) {
        xml.skipCurrentElement();
        continue;
      }
      while (xml.readNextStartElement()) {
        if (!isElement(xml, OfficeNs, QLatin1String("spreadsheet"))) {
          xml.skipCurrentElement();
          continue;
        }
        while (xml.readNextStartElement()) {
          if (!isElement(xml, TableNs, QLatin1String("table"))) {
            xml.skipCurrentElement();
            continue;
          }
          if (!activeTable.isEmpty() && xml.attributes().value(TableNs, QLatin1String("name")) != activeTable) {
            xml.skipCurrentElement();
            continue;
          }
          found = true;
          if (!readTable(xml))
            return FError == TWorkbookError::None ? fail(TWorkbookError::Corrupt) : false;
          return true;
        }
      }
    }
  }
  if (xml.hasError())
    return fail(TWorkbookError::Corrupt);
  return true;
}

bool TOdsReader::read(const QString &fileName)
{
  FError = TWorkbookError::None;
  if (!FZip.open(fileName, FError))
    return false;
  if (!checkPackage())
    return false;
  FSheet.setBounds(SheetLimits::XlsxMaxRows, SheetLimits::XlsxMaxColumns);

  const QString activeTable = activeTableName();
  QByteArray content;
  TWorkbookError error = TWorkbookError::None;
  if (!FZip.readEntry(QStringLiteral("content.xml"), content, error))
    return fail(error == TWorkbookError::NotFound ? TWorkbookError::Corrupt : error);
  bool found = false;
  if (!readContent(content, activeTable, found))
    return false;
  if (!found && !activeTable.isEmpty()) {
    // The settings name a table that is not there: fall back to the first.
    FSheet.clear();
    FSpaceBudget = MaxExpandedSpaces;
    if (!readContent(content, QString(), found))
      return false;
  }
  return true;
}

} // namespace

bool ReadOdsWorkbook(const QString &fileName, TSheetData &sheet, TWorkbookError &error)
{
  sheet.clear();
  error = TWorkbookError::None;
  TOdsReader reader(sheet, error);
  const bool ok = reader.read(fileName);
  if (!ok) {
    sheet.clear();
    if (error == TWorkbookError::None)
      error = TWorkbookError::Corrupt;
  }
  return ok;
}
