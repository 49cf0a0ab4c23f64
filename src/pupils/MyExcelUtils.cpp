#include "MyExcelUtils.h"

#include <memory>

namespace {

struct TExcelSession
{
  bool Open = false;
  TSheetData Sheet;
};

std::unique_ptr<TExcelSession> Session;
TWorkbookError LastError = TWorkbookError::None;

} // namespace

bool StartExcel()
{
  Session = std::make_unique<TExcelSession>();
  LastError = TWorkbookError::None;
  return true;
}

bool OpenWorkbook(const QString &FileName)
{
  if (!Session) {
    LastError = TWorkbookError::NotSpreadsheet;
    return false;
  }
  Session->Open = false;
  if (!ReadWorkbookFile(FileName, Session->Sheet, LastError))
    return false;
  Session->Open = true;
  return true;
}

QVariant GetCell(int Column, int Row)
{
  if (!Session || !Session->Open)
    return QVariant(0);
  return QVariant(Session->Sheet.cell(Row, Column));
}

bool QuitExcel()
{
  const bool hadSession = bool(Session);
  Session.reset();
  return hadSession;
}

TWorkbookError ExcelLastError()
{
  return LastError;
}

int GetLastColumn()
{
  if (!Session || !Session->Open)
    return 0;
  return Session->Sheet.lastColumn();
}

QString WorkbookErrorText(TWorkbookError error)
{
  switch (error) {
  case TWorkbookError::None:
    return QString();
  case TWorkbookError::NotFound:
    return QStringLiteral("Файл не знайдено.");
  case TWorkbookError::NoAccess:
    return QStringLiteral("Немає доступу до файлу (можливо, він відкритий в іншій програмі).");
  case TWorkbookError::NotSpreadsheet:
    return QStringLiteral("Файл не є книгою MS Excel або OpenDocument.");
  case TWorkbookError::Corrupt:
    return QStringLiteral("Файл пошкоджений.");
  case TWorkbookError::Encrypted:
    return QStringLiteral("Книгу захищено паролем. Збережіть її без пароля та повторіть імпорт.");
  case TWorkbookError::Unsupported:
    return QStringLiteral("Цю версію формату не підтримано. Збережіть книгу у форматі MS Excel 97-2003 (*.xls) "
                          "або MS Excel 2007 (*.xlsx) та повторіть імпорт.");
  case TWorkbookError::TooLarge:
    return QStringLiteral("Аркуш завеликий для класу учнів.");
  }
  return QString();
}
