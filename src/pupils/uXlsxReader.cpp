// Office Open XML workbooks (.xlsx/.xlsm/.xltx): only the cell values of the
// active worksheet are read. Elements are matched on their local names, so
// the transitional and the strict namespaces both work.

#include "uSheetData.h"
#include "uZipPackage.h"

#include <QList>
#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

struct TRelationship
{
  QString id;
  QString type;
  QString target; ///< the resolved part name; empty for external or unusable targets
};

/// The value of the first attribute with this local name, whatever its prefix.
QStringView attribute(const QXmlStreamAttributes &attributes, QLatin1String localName)
{
  for (const QXmlStreamAttribute &a : attributes) {
    if (a.name() == localName)
      return a.value();
  }
  return {};
}

bool typeIs(const QString &relType, QLatin1String kind)
{
  // Transitional and strict relationship types differ only before the last "/".
  return relType.endsWith(kind) && relType.size() > kind.size() &&
         relType.at(relType.size() - kind.size() - 1) == QLatin1Char('/');
}

/// Main parts of office documents (workbooks, text documents, presentations)
/// have content types ending in ".main+xml".
bool isMainPartType(const QString &type)
{
  return type.endsWith(QLatin1String(".main+xml"));
}

bool isWorkbookType(const QString &type)
{
  return isMainPartType(type) &&
         (type.contains(QLatin1String("spreadsheetml")) || type.contains(QLatin1String("ms-excel")));
}

/// The folder that holds a part ("xl" for "xl/workbook.xml", "" at the root).
QString partFolder(const QString &partName)
{
  const qsizetype slash = partName.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : partName.left(slash);
}

/// The relationships part of a part; the package's own for an empty name.
QString relationshipsPart(const QString &partName)
{
  if (partName.isEmpty())
    return QStringLiteral("_rels/.rels");
  const QString folder = partFolder(partName);
  const QString file = partName.mid(folder.isEmpty() ? 0 : folder.size() + 1);
  return (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) + QStringLiteral("_rels/") + file +
         QStringLiteral(".rels");
}

/// Resolves a relationship target against the folder of its source part.
/// Absolute targets ("/xl/workbook.xml") start at the package root. Returns
/// an empty string for a target that climbs out of the package.
QString resolveTarget(const QString &sourceFolder, const QString &target)
{
  QString path = QUrl::fromPercentEncoding(target.toUtf8());
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const qsizetype cut = path.indexOf(QLatin1Char('#'));
  if (cut >= 0)
    path.truncate(cut);
  QStringList parts;
  if (!path.startsWith(QLatin1Char('/')) && !sourceFolder.isEmpty())
    parts = sourceFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString &segment : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    if (segment == QLatin1String("."))
      continue;
    if (segment == QLatin1String("..")) {
      if (parts.isEmpty())
        return QString();
      parts.removeLast();
      continue;
    }
    parts.append(segment);
  }
  return parts.join(QLatin1Char('/'));
}

/// Turns the _xHHHH_ escapes that Excel writes for control characters back
/// into characters ("_x000D_" is a carriage return, "_x005F_" an underscore).
QString decodeEscapes(const QString &text)
{
  if (!text.contains(QLatin1String("_x")))
    return text;
  QString out;
  out.reserve(text.size());
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (text.at(i) == QLatin1Char('_') && i + 6 < n && text.at(i + 1) == QLatin1Char('x') &&
        text.at(i + 6) == QLatin1Char('_')) {
      bool ok = false;
      const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
      if (ok) {
        out.append(QChar(char16_t(code)));
        i += 6;
        continue;
      }
    }
    out.append(text.at(i));
  }
  return out;
}

/// Reads the text of a string item (<si> or <is>): the plain <t> and the <t>
/// of every rich-text run, without phonetic runs. The reader stands on the
/// item's start element and is left on its end element.
QString readStringItem(QXmlStreamReader &xml)
{
  QString text;
  int depth = 0;
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) {
      if (xml.name() == QLatin1String("t"))
        text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
      else if (xml.name() == QLatin1String("r"))
        ++depth;
      else
        xml.skipCurrentElement(); // rPh, phoneticPr, rPr
    } else if (token == QXmlStreamReader::EndElement) {
      if (depth == 0)
        break;
      --depth;
    }
  }
  return decodeEscapes(text);
}

/// Column letters and row digits of a reference such as "B3"; either part may
/// be missing (0). Returns false for anything else.
bool parseCellReference(QStringView ref, qint64 &row, qint64 &column)
{
  row = 0;
  column = 0;
  qsizetype i = 0;
  const qsizetype n = ref.size();
  while (i < n && ref.at(i) == QLatin1Char('$'))
    ++i;
  for (; i < n; ++i) {
    const char16_t c = ref.at(i).unicode();
    if (c >= u'a' && c <= u'z')
      column = column * 26 + (c - u'a' + 1);
    else if (c >= u'A' && c <= u'Z')
      column = column * 26 + (c - u'A' + 1);
    else
      break;
    if (column > SheetLimits::XlsxMaxColumns)
      column = SheetLimits::XlsxMaxColumns + 1; // stays out of bounds, cannot overflow
  }
  if (i < n && ref.at(i) == QLatin1Char('$'))
    ++i;
  const qsizetype digits = i;
  for (; i < n; ++i) {
    const char16_t c = ref.at(i).unicode();
    if (c < u'0' || c > u'9')
      return false;
    row = row * 10 + (c - u'0');
    if (row > SheetLimits::XlsxMaxRows)
      row = SheetLimits::XlsxMaxRows + 1;
  }
  return column > 0 || i > digits;
}

/// A whole number attribute such as a row's "r"; 0 when missing or invalid.
qint64 parseRowNumber(QStringView text)
{
  qint64 row = 0;
  text = text.trimmed();
  if (text.isEmpty())
    return 0;
  for (const QChar ch : text) {
    if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
      return 0;
    row = row * 10 + (ch.unicode() - u'0');
    if (row > SheetLimits::XlsxMaxRows)
      row = SheetLimits::XlsxMaxRows + 1;
  }
  return row;
}

class TXlsxReader
{
public:
  TXlsxReader(TSheetData &sheet, TWorkbookError &error) : FSheet(sheet), FError(error) {}
  bool read(const QString &fileName);

private:
  bool fail(TWorkbookError error)
  {
    FError = error;
    return false;
  }
  bool readPart(const QString &partName, QByteArray &data);
  bool readRelationships(const QString &sourcePart, QList<TRelationship> &rels);
  bool readContentTypes(bool &found);
  QString contentType(const QString &partName) const;
  bool findWorkbookPart(QString &workbookPart);
  bool readWorkbook(const QString &workbookPart, QStringList &sheetRelIds, qint64 &activeTab);
  bool readSharedStrings(const QString &partName);
  bool readWorksheet(const QString &partName);
  bool readSheetData(QXmlStreamReader &xml);
  bool readCell(QXmlStreamReader &xml, qint64 row, qint64 &column);

  TSheetData &FSheet;
  TWorkbookError &FError;
  TZipPackage FZip;
  QHash<QString, QString> FDefaultTypes;  // lower-case extension -> content type
  QHash<QString, QString> FOverrideTypes; // lower-case part name -> content type
  QStringList FSharedStrings;
  QString FLastNumberValue;
  QString FLastNumberText;
};

bool TXlsxReader::readPart(const QString &partName, QByteArray &data)
{
  TWorkbookError error = TWorkbookError::None;
  if (FZip.readEntry(partName, data, error))
    return true;
  // A part that a relationship names but the package lacks is damage.
  return fail(error == TWorkbookError::NotFound ? TWorkbookError::Corrupt : error);
}

bool TXlsxReader::readRelationships(const QString &sourcePart, QList<TRelationship> &rels)
{
  rels.clear();
  const QString relsPart = relationshipsPart(sourcePart);
  if (!FZip.contains(relsPart))
    return true;
  QByteArray data;
  if (!readPart(relsPart, data))
    return false;
  const QString folder = partFolder(sourcePart);
  QXmlStreamReader xml(data);
  if (xml.readNextStartElement()) {
    while (xml.readNextStartElement()) {
      if (xml.name() == QLatin1String("Relationship")) {
        const QXmlStreamAttributes a = xml.attributes();
        TRelationship rel;
        rel.id = attribute(a, QLatin1String("Id")).toString();
        rel.type = attribute(a, QLatin1String("Type")).toString();
        if (attribute(a, QLatin1String("TargetMode")).compare(QLatin1String("External"), Qt::CaseInsensitive) != 0)
          rel.target = resolveTarget(folder, attribute(a, QLatin1String("Target")).toString());
        rels.append(rel);
      }
      xml.skipCurrentElement();
    }
  }
  if (xml.hasError())
    return fail(TWorkbookError::Corrupt);
  return true;
}

bool TXlsxReader::readContentTypes(bool &found)
{
  found = FZip.contains(QStringLiteral("[Content_Types].xml"));
  if (!found)
    return true;
  QByteArray data;
  if (!readPart(QStringLiteral("[Content_Types].xml"), data))
    return false;
  QXmlStreamReader xml(data);
  if (xml.readNextStartElement()) {
    while (xml.readNextStartElement()) {
      const QXmlStreamAttributes a = xml.attributes();
      const QString type = attribute(a, QLatin1String("ContentType")).toString();
      if (xml.name() == QLatin1String("Default")) {
        FDefaultTypes.insert(attribute(a, QLatin1String("Extension")).toString().toCaseFolded(), type);
      } else if (xml.name() == QLatin1String("Override")) {
        const QString part = resolveTarget(QString(), attribute(a, QLatin1String("PartName")).toString());
        FOverrideTypes.insert(part.toCaseFolded(), type);
      }
      xml.skipCurrentElement();
    }
  }
  if (xml.hasError())
    return fail(TWorkbookError::Corrupt);
  return true;
}

QString TXlsxReader::contentType(const QString &partName) const
{
  const auto it = FOverrideTypes.constFind(partName.toCaseFolded());
  if (it != FOverrideTypes.constEnd())
    return *it;
  const qsizetype dot = partName.lastIndexOf(QLatin1Char('.'));
  if (dot < 0 || partName.indexOf(QLatin1Char('/'), dot) >= 0)
    return QString();
  return FDefaultTypes.value(partName.mid(dot + 1).toCaseFolded());
}

bool TXlsxReader::findWorkbookPart(QString &workbookPart)
{
  workbookPart.clear();
  bool haveContentTypes = false;
  if (!readContentTypes(haveContentTypes))
    return false;
  QList<TRelationship> rels;
  if (!readRelationships(QString(), rels))
    return false;
  for (const TRelationship &rel : rels) {
    if (typeIs(rel.type, QLatin1String("officeDocument")) && !rel.target.isEmpty()) {
      workbookPart = rel.target;
      break;
    }
  }
  if (workbookPart.isEmpty()) {
    // Without a package relationship, a content type can still name the workbook.
    for (auto it = FOverrideTypes.constBegin(); it != FOverrideTypes.constEnd(); ++it) {
      if (isWorkbookType(*it)) {
        workbookPart = it.key();
        break;
      }
    }
  }
  if (workbookPart.isEmpty())
    return fail(TWorkbookError::NotSpreadsheet);
  const QString type = contentType(workbookPart);
  if (type.contains(QLatin1String("sheet.binary")))
    return fail(TWorkbookError::Unsupported); // .xlsb
  if (isMainPartType(type) && !isWorkbookType(type))
    return fail(TWorkbookError::NotSpreadsheet); // a text document or a presentation
  if (!FZip.contains(workbookPart))
    return fail(haveContentTypes || !rels.isEmpty() ? TWorkbookError::Corrupt : TWorkbookError::NotSpreadsheet);
  return true;
}

bool TXlsxReader::readWorkbook(const QString &workbookPart, QStringList &sheetRelIds, qint64 &activeTab)
{
  sheetRelIds.clear();
  activeTab = 0;
  QByteArray data;
  if (!readPart(workbookPart, data))
    return false;
  QXmlStreamReader xml(data);
  if (!xml.readNextStartElement())
    return fail(TWorkbookError::Corrupt);
  if (xml.name() != QLatin1String("workbook"))
    return fail(TWorkbookError::NotSpreadsheet);
  bool haveView = false;
  while (xml.readNextStartElement()) {
    if (xml.name() == QLatin1String("bookViews")) {
      while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("workbookView") && !haveView) {
          haveView = true;
          bool ok = false;
          const qint64 tab = attribute(xml.attributes(), QLatin1String("activeTab")).trimmed().toLongLong(&ok);
          activeTab = ok && tab >= 0 ? tab : 0;
        }
        xml.skipCurrentElement();
      }
    } else if (xml.name() == QLatin1String("sheets")) {
      while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("sheet")) {
          // r:id, in whichever namespace the writer bound "r" to.
          QString relId;
          for (const QXmlStreamAttribute &a : xml.attributes()) {
            if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty()) {
              relId = a.value().toString();
              break;
            }
          }
          sheetRelIds.append(relId);
        }
        xml.skipCurrentElement();
      }
    } else {
      xml.skipCurrentElement();
    }
  }
  if (xml.hasError())
    return fail(TWorkbookError::Corrupt);
  return true;
}

bool TXlsxReader::readSharedStrings(const QString &partName)
{
  QByteArray data;
  if (!readPart(partName, data))
    return false;
  QXmlStreamReader xml(data);
  if (xml.readNextStartElement()) {
    while (xml.readNextStartElement()) {
      if (xml.name() == QLatin1String("si"))
        FSharedStrings.append(readStringItem(xml));
      else
        xml.skipCurrentElement();
    }
  }
  if (xml.hasError())
    return fail(TWorkbookError::Corrupt);
  return true;
}

bool TXlsxReader::readCell(QXmlStreamReader &xml, qint64 row, qint64 &column)
{
  const QXmlStreamAttributes a = xml.attributes();
  const QStringView ref = attribute(a, QLatin1String("r"));
  qint64 refRow = 0;
  qint64 refColumn = 0;
  if (!ref.isEmpty() && parseCellReference(ref.trimmed(), refRow, refColumn)) {
    if (refRow > 0)
      row = refRow;
    column = refColumn > 0 ? refColumn : column + 1;
  } else {
    // No reference: the cell follows the previous one.
    ++column;
  }
  const QStringView type = attribute(a, QLatin1String("t")).trimmed();

  QString value;
  bool haveValue = false;
  QString inlineText;
  bool haveInline = false;
  while (xml.readNextStartElement()) {
    if (xml.name() == QLatin1String("v")) {
      value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
      haveValue = true;
    } else if (xml.name() == QLatin1String("is")) {
      inlineText = readStringItem(xml);
      haveInline = true;
    } else {
      xml.skipCurrentElement(); // <f> and extensions: the cached <v> is what counts
    }
  }
  if (xml.hasError())
    return false;

  QString text;
  if (type == QLatin1String("s")) {
    if (!haveValue)
      return true;
    bool ok = false;
    const qint64 index = QStringView(value).trimmed().toLongLong(&ok);
    if (!ok || index < 0 || index >= FSharedStrings.size())
      return fail(TWorkbookError::Corrupt);
    text = FSharedStrings.at(index);
  } else if (type == QLatin1String("inlineStr")) {
    text = haveInline ? inlineText : decodeEscapes(value);
  } else if (type == QLatin1String("str")) {
    text = decodeEscapes(value);
  } else if (type == QLatin1String("b")) {
    const QStringView v = QStringView(value).trimmed();
    if (v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
      text = CellBoolText(true);
    else if (v == QLatin1String("0") || v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
      text = CellBoolText(false);
    else
      text = v.toString();
  } else if (type == QLatin1String("e") || type == QLatin1String("d")) {
    text = value.trimmed();
  } else if (value == FLastNumberValue) {
    text = FLastNumberText; // runs of equal numbers share one string
  } else {
    const QStringView v = QStringView(value).trimmed();
    bool ok = false;
    const double number = v.toDouble(&ok);
    text = ok ? CellNumberText(number) : v.toString();
    FLastNumberValue = value;
    FLastNumberText = text;
  }
  if (text.isEmpty() || row < 1 || column < 1 || row > FSheet.maxRows() || column > FSheet.maxColumns())
    return true;
  if (!FSheet.setCell(int(row), int(column), text))
    return fail(TWorkbookError::TooLarge);
  return true;
}

bool TXlsxReader::readSheetData(QXmlStreamReader &xml)
{
  qint64 row = 0;
  while (xml.readNextStartElement()) {
    if (xml.name() != QLatin1String("row")) {
      xml.skipCurrentElement();
      continue;
    }
    const qint64 r = parseRowNumber(attribute(xml.attributes(), QLatin1String("r")));
    row = r > 0 ? r : qMin<qint64>(row + 1, SheetLimits::XlsxMaxRows + 1);
    qint64 column = 0;
    while (xml.readNextStartElement()) {
      if (xml.name() == QLatin1String("c")) {
        if (!readCell(xml, row, column))
          return false;
        column = qMin<qint64>(column, SheetLimits::XlsxMaxColumns + 1);
      } else {
        xml.skipCurrentElement();
      }
    }
  }
  return !xml.hasError();
}

bool TXlsxReader::readWorksheet(const QString &partName)
{
  QByteArray data;
  if (!readPart(partName, data))
    return false;
  QXmlStreamReader xml(data);
  if (xml.readNextStartElement()) {
    while (xml.readNextStartElement()) {
      if (xml.name() == QLatin1String("sheetData")) {
        if (!readSheetData(xml))
          break;
      } else {
        xml.skipCurrentElement();
      }
    }
  }
  if (FError != TWorkbookError::None)
    return false;
  if (xml.hasError())
    return fail(TWorkbookError::Corrupt);
  return true;
}

bool TXlsxReader::read(const QString &fileName)
{
  FError = TWorkbookError::None;
  if (!FZip.open(fileName, FError))
    return false;
  FSheet.setBounds(SheetLimits::XlsxMaxRows, SheetLimits::XlsxMaxColumns);

  QString workbookPart;
  if (!findWorkbookPart(workbookPart))
    return false;
  QStringList sheets;
  qint64 activeTab = 0;
  if (!readWorkbook(workbookPart, sheets, activeTab))
    return false;
  if (sheets.isEmpty())
    return fail(TWorkbookError::Corrupt);
  QList<TRelationship> rels;
  if (!readRelationships(workbookPart, rels))
    return false;

  auto relOf = [&rels](const QString &relId) -> const TRelationship * {
    for (const TRelationship &rel : rels) {
      if (rel.id == relId)
        return &rel;
    }
    return nullptr;
  };
  if (activeTab >= sheets.size())
    activeTab = 0;
  const TRelationship *sheetRel = relOf(sheets.at(activeTab));
  if (sheetRel && typeIs(sheetRel->type, QLatin1String("chartsheet"))) {
    // A chart has no cells; the first sheet that can have them stands in.
    sheetRel = nullptr;
    for (const QString &relId : std::as_const(sheets)) {
      const TRelationship *rel = relOf(relId);
      if (rel && !typeIs(rel->type, QLatin1String("chartsheet"))) {
        sheetRel = rel;
        break;
      }
    }
    if (!sheetRel)
      return true; // a workbook of charts only: no cells
  }
  if (!sheetRel || sheetRel->target.isEmpty())
    return fail(TWorkbookError::Corrupt);

  QString sharedStringsPart;
  for (const TRelationship &rel : rels) {
    if (typeIs(rel.type, QLatin1String("sharedStrings")) && !rel.target.isEmpty()) {
      sharedStringsPart = rel.target;
      break;
    }
  }
  if (sharedStringsPart.isEmpty()) {
    const QString folder = partFolder(workbookPart);
    const QString guess =
        (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) + QStringLiteral("sharedStrings.xml");
    if (FZip.contains(guess))
      sharedStringsPart = guess;
  }
  if (!sharedStringsPart.isEmpty() && FZip.contains(sharedStringsPart) && !readSharedStrings(sharedStringsPart))
    return false;

  return readWorksheet(sheetRel->target);
}

} // namespace

bool ReadXlsxWorkbook(const QString &fileName, TSheetData &sheet, TWorkbookError &error)
{
  sheet.clear();
  error = TWorkbookError::None;
  TXlsxReader reader(sheet, error);
  const bool ok = reader.read(fileName);
  if (!ok) {
    sheet.clear();
    if (error == TWorkbookError::None)
      error = TWorkbookError::Corrupt;
  }
  return ok;
}
