#include "uSheetData.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>

bool TSheetData::setCell(int row, int column, const QString &text)
{
  if (row < 1 || column < 1 || row > FMaxRows || column > FMaxColumns)
    return false;
  const quint64 k = key(row, column);
  if (text.isEmpty()) {
    FCells.remove(k);
    return true;
  }
  auto it = FCells.find(k);
  if (it == FCells.end()) {
    if (FCells.size() >= SheetLimits::MaxCells)
      return false;
    FCells.insert(k, text);
  } else {
    *it = text;
  }
  if (row > FLastRow)
    FLastRow = row;
  if (column > FLastColumn)
    FLastColumn = column;
  return true;
}

QString TSheetData::cell(int row, int column) const
{
  return FCells.value(key(row, column));
}

void TSheetData::clear()
{
  FCells.clear();
  FLastRow = 0;
  FLastColumn = 0;
}

void TSheetData::setBounds(int maxRows, int maxColumns)
{
  FMaxRows = maxRows;
  FMaxColumns = maxColumns;
}

QString CellNumberText(double value)
{
  if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
    return QString::number(qint64(value));
  QLocale l;
  l.setNumberOptions(QLocale::OmitGroupSeparator);
  return l.toString(value, 'g', 15);
}

QString CellBoolText(bool value)
{
  return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool ReadFileHead(const QString &fileName, int count, QByteArray &head, TWorkbookError &error)
{
  error = TWorkbookError::None;
  const QFileInfo info(fileName);
  if (!info.exists() || !info.isFile()) {
    error = TWorkbookError::NotFound;
    return false;
  }
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    error = TWorkbookError::NoAccess;
    return false;
  }
  head = file.read(count);
  return true;
}

bool ReadWorkbookFile(const QString &fileName, TSheetData &sheet, TWorkbookError &error)
{
  sheet.clear();
  QByteArray head;
  if (!ReadFileHead(fileName, 8, head, error))
    return false;
  static const char ole2[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  bool ok = false;
  if (head.size() == 8 && head == QByteArray(ole2, 8)) {
    ok = ReadXlsWorkbook(fileName, sheet, error);
  } else if (head.startsWith("PK\x03\x04")) {
    // Both OOXML and OpenDocument are zip packages; the OpenDocument reader
    // recognises its own "mimetype" entry and answers NotSpreadsheet otherwise.
    ok = ReadOdsWorkbook(fileName, sheet, error);
    if (!ok && error == TWorkbookError::NotSpreadsheet)
      ok = ReadXlsxWorkbook(fileName, sheet, error);
  } else {
    error = TWorkbookError::NotSpreadsheet;
  }
  if (!ok)
    sheet.clear();
  return ok;
}
