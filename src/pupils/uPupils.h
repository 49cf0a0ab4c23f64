#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

/// The system's general growable string array.
using TArrayOfString = QStringList;

/// One imported pupil: one row of the class workbook.
struct TPupil
{
  QString FIO;             ///< column B: the full name
  QString Gender;          ///< column C, first character only ("ж" means a girl)
  QString Seria;           ///< column D: series of the document
  QString Number;          ///< column E: number of the document
  TArrayOfString Marks;    ///< one entry per subject name, in column order
  qint32 MarkCount = 0;    ///< the number of non-empty entries of Marks
  TArrayOfString DpaMarks; ///< one entry per state final attestation subject
  QString AvgMark;         ///< the column after the second "*"
  QString AvgPoints;       ///< the column after AvgMark
};

/// The pupils in the order of the workbook's rows (and of the pupil list box).
using TPupils = QList<TPupil>;

/// A spread holds 24 subject rows; a pupil with more marks needs the extra rows.
constexpr int SpreadNormalRows = 24;

/// Why a class workbook was refused.
enum class TClassImportProblem {
  None,
  CannotOpen, ///< the file could not be opened as a workbook (see MyExcelUtils' error)
  BadGrade,   ///< B1 holds a whole number other than 9 and 11
};

/**
 * What one import read from a class workbook's active sheet.
 *
 * The layout: B1 the grade (9 or 11); row 2 from F the subject names up to a
 * cell "*", then the state final attestation subject names up to a second
 * "*"; one pupil per row from row 3 until column B is empty.
 */
struct TClassWorkbook
{
  int Grade = 9;     ///< 9 or 11
  QString GradeText; ///< the text of B1 as read
  TArrayOfString SubjectNames;
  TArrayOfString DpaSubjectNames;
  TPupils Pupils;
  bool Overflow = false;             ///< some pupil has more than 24 marks
  bool SubjectMarkerMissing = false; ///< row 2 has no "*" after the subjects
  bool DpaMarkerMissing = false;     ///< row 2 has no second "*"
};

/// Reads row 2 from Column rightwards into List until a cell holding exactly
/// "*"; on return Column is that cell's column. When the row has no "*" the
/// sheet's last used column ends the list (Column is then one past it) and
/// the result is false.
bool ReadHeaderList(TArrayOfString &List, int &Column, const std::function<void()> &processMessages = {});

/// Reads the class workbook that MyExcelUtils has open (OpenWorkbook).
/// The grade is checked before anything else is read: a whole number other
/// than 9 and 11 in B1 gives BadGrade and an otherwise empty result.
/// `processMessages` runs after each header cell and each pupil row;
/// `pupilRead` after each pupil is appended.
TClassImportProblem ReadOpenClassWorkbook(TClassWorkbook &book, const std::function<void()> &processMessages = {},
                                          const std::function<void(const TPupil &)> &pupilRead = {});

/// Opens the file through MyExcelUtils and reads it; the spreadsheet access is
/// always released again.
TClassImportProblem ReadClassWorkbook(const QString &fileName, TClassWorkbook &book);
