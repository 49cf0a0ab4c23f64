#pragma once

#include "uSheetData.h"

#include <QString>
#include <QVariant>

/**
 * Spreadsheet access behind four calls: start, open a workbook, read a cell
 * of its active sheet as text, quit. The workbook files are read directly
 * (.xls, .xlsx, .ods); no spreadsheet application is needed.
 */

/// Prepares a fresh spreadsheet session, releasing any previous one. Always true.
bool StartExcel();
/// Opens a workbook and reads its active sheet. False on any failure
/// (the reason is kept for ExcelLastError).
bool OpenWorkbook(const QString &FileName);
/// The text of the cell at Column, Row (both from 1) of the active sheet;
/// an empty cell gives "". Without an open workbook the result is 0.
QVariant GetCell(int Column, int Row);
/// Ends the session; the workbook is released. False when none was started.
bool QuitExcel();

/// Why the last OpenWorkbook failed (None after a success).
TWorkbookError ExcelLastError();
/// The last column of the open sheet that holds a cell (0 when none).
int GetLastColumn();

/// A short Ukrainian explanation of a workbook error, for the user.
QString WorkbookErrorText(TWorkbookError error);
