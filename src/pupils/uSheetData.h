#pragma once

#include <QHash>
#include <QString>

/// Why a workbook file could not be read.
enum class TWorkbookError {
  None,
  NotFound,       ///< the file does not exist
  NoAccess,       ///< the file exists but cannot be opened for reading
  NotSpreadsheet, ///< the file is not a workbook of a supported kind
  Corrupt,        ///< the container or the sheet data is damaged
  Encrypted,      ///< the workbook is protected by a password
  Unsupported,    ///< a workbook of an older or unknown version (e.g. Excel 95)
  TooLarge,       ///< the sheet exceeds the caps on size, rows, columns or cells
};

/// Limits that keep a hostile or broken file from exhausting memory.
namespace SheetLimits {
/// Largest inflated size of one zip entry or OLE2 stream that is read.
constexpr qint64 MaxPartBytes = 128LL * 1024 * 1024;
/// Largest number of non-empty cells kept for one sheet.
constexpr qint64 MaxCells = 4'000'000;
constexpr int XlsMaxRows = 65536;
constexpr int XlsMaxColumns = 256;
constexpr int XlsxMaxRows = 1048576;
constexpr int XlsxMaxColumns = 16384;
} // namespace SheetLimits

/**
 * The cell texts of one worksheet (the active sheet of a workbook).
 *
 * Rows and columns count from 1 (A = 1). Only non-empty cells are stored;
 * every other cell reads as the empty string.
 */
class TSheetData
{
public:
  /// Stores a cell. Returns false (and stores nothing) when the cell lies
  /// outside 1..maxRows / 1..maxColumns or the cell cap is reached.
  bool setCell(int row, int column, const QString &text);
  QString cell(int row, int column) const;
  /// The largest row / column that holds a stored cell (0 when none).
  int lastRow() const { return FLastRow; }
  int lastColumn() const { return FLastColumn; }
  qint64 cellCount() const { return FCells.size(); }
  void clear();

  /// The sheet size of the format that filled this sheet.
  void setBounds(int maxRows, int maxColumns);
  int maxRows() const { return FMaxRows; }
  int maxColumns() const { return FMaxColumns; }

private:
  static quint64 key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }
  QHash<quint64, QString> FCells;
  int FLastRow = 0;
  int FLastColumn = 0;
  int FMaxRows = SheetLimits::XlsxMaxRows;
  int FMaxColumns = SheetLimits::XlsxMaxColumns;
};

/// A numeric cell value as text: a whole value as its digits, otherwise up
/// to 15 significant digits with the current default locale's decimal
/// separator and no group separators ("10,5" under a Ukrainian locale).
QString CellNumberText(double value);

/// The texts that a cached boolean formula result or boolean cell gives.
QString CellBoolText(bool value);

/// Reads the active sheet of an Excel 97-2003 workbook (.xls/.xlt, BIFF8 in OLE2).
bool ReadXlsWorkbook(const QString &fileName, TSheetData &sheet, TWorkbookError &error);
/// Reads the active sheet of an Office Open XML workbook (.xlsx/.xlsm/.xltx).
bool ReadXlsxWorkbook(const QString &fileName, TSheetData &sheet, TWorkbookError &error);
/// Reads the active sheet of an OpenDocument spreadsheet (.ods/.ots).
bool ReadOdsWorkbook(const QString &fileName, TSheetData &sheet, TWorkbookError &error);

/// The first `count` bytes of a file that exists and can be read; NotFound
/// or NoAccess otherwise.
bool ReadFileHead(const QString &fileName, int count, QByteArray &head, TWorkbookError &error);

/// Reads any supported workbook, choosing the reader by the file's content
/// (not its extension). On failure the sheet is left empty.
bool ReadWorkbookFile(const QString &fileName, TSheetData &sheet, TWorkbookError &error);
