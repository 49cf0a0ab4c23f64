#include "uPupils.h"

#include "MyExcelUtils.h"

namespace {

QString CellText(int column, int row)
{
  return GetCell(column, row).toString();
}

} // namespace

bool ReadHeaderList(TArrayOfString &List, int &Column, const std::function<void()> &processMessages)
{
  // A row without its ending "*" would run on to the sheet's edge: the last
  // column that holds anything ends the list instead.
  const int lastColumn = GetLastColumn();
  QString text = CellText(Column, 2);
  while (text != QLatin1String("*")) {
    if (Column > lastColumn)
      return false;
    List.append(text);
    ++Column;
    text = CellText(Column, 2);
    if (processMessages)
      processMessages();
  }
  return true;
}

TClassImportProblem ReadOpenClassWorkbook(TClassWorkbook &book, const std::function<void()> &processMessages,
                                          const std::function<void(const TPupil &)> &pupilRead)
{
  book = TClassWorkbook();
  book.GradeText = CellText(2, 1);
  bool isNumber = false;
  const int grade = book.GradeText.toInt(&isNumber);
  if (!isNumber)
    book.Grade = 9;
  else if (grade == 9 || grade == 11)
    book.Grade = grade;
  else
    return TClassImportProblem::BadGrade;

  int column = 6;
  book.SubjectMarkerMissing = !ReadHeaderList(book.SubjectNames, column, processMessages);
  const int dpaStart = column + 1;
  column = dpaStart;
  book.DpaMarkerMissing = !ReadHeaderList(book.DpaSubjectNames, column, processMessages);

  const int subjectCount = book.SubjectNames.size();
  const int dpaCount = book.DpaSubjectNames.size();
  for (int row = 3;; ++row) {
    const QString name = CellText(2, row);
    if (name.isEmpty())
      break;
    TPupil pupil;
    pupil.FIO = name;
    pupil.Gender = CellText(3, row).left(1);
    pupil.Seria = CellText(4, row);
    pupil.Number = CellText(5, row);
    pupil.Marks.reserve(subjectCount);
    for (int i = 0; i < subjectCount; ++i) {
      const QString mark = CellText(6 + i, row);
      if (!mark.isEmpty())
        ++pupil.MarkCount;
      pupil.Marks.append(mark);
    }
    if (pupil.MarkCount > SpreadNormalRows)
      book.Overflow = true;
    pupil.DpaMarks.reserve(dpaCount);
    for (int i = 0; i < dpaCount; ++i)
      pupil.DpaMarks.append(CellText(dpaStart + i, row));
    pupil.AvgMark = CellText(dpaStart + dpaCount + 1, row);
    pupil.AvgPoints = CellText(dpaStart + dpaCount + 2, row);
    book.Pupils.append(pupil);
    if (pupilRead)
      pupilRead(book.Pupils.last());
    if (processMessages)
      processMessages();
  }
  return TClassImportProblem::None;
}

TClassImportProblem ReadClassWorkbook(const QString &fileName, TClassWorkbook &book)
{
  StartExcel();
  TClassImportProblem problem = TClassImportProblem::CannotOpen;
  if (OpenWorkbook(fileName))
    problem = ReadOpenClassWorkbook(book);
  QuitExcel();
  return problem;
}
