#include "uCompose.h"

#include "render/uWording.h"

#include <QPainter>

namespace {

/// The rows of one table: which entries print and where.
class TTablePrinter
{
public:
  TTablePrinter(QPainter &canvas, TDrawTarget target, TRowCursor &cursor)
      : FCanvas(canvas), FTarget(target), FCursor(cursor)
  {
  }

  /// Whether the entry takes a row at all: a name and a mark in words.
  static bool TakesRow(const QString &name, const QString &words) { return !name.isEmpty() && !words.isEmpty(); }

  /// Prints one entry on one row, or on two when its name holds "*".
  void PrintEntry(const QString &name, const QString &words)
  {
    const TSubjectRows rows = SplitSubjectName(name);
    if (rows.TwoRows) {
      TextOutMM(FCanvas, FTarget, FCursor.SubjectX + 1, rows.First, FCursor.Y);
      FCursor.Y += FCursor.Pitch;
    }
    TextOutMM(FCanvas, FTarget, FCursor.SubjectX + 1, rows.TwoRows ? rows.Second : rows.First, FCursor.Y);
    TextOutMM(FCanvas, FTarget, FCursor.MarkX + 1, words, FCursor.Y);
    FCursor.Y += FCursor.Pitch;
  }

private:
  QPainter &FCanvas;
  TDrawTarget FTarget;
  TRowCursor &FCursor;
};

/// Prints entries first..last of names/marks; returns whether a row was printed.
bool PrintSubjectRows(QPainter &canvas, TDrawTarget target, TRowCursor &cursor, const TArrayOfString &names,
                      const TArrayOfString &marks, int first, int last, bool female)
{
  TTablePrinter table(canvas, target, cursor);
  bool printed = false;
  for (int i = first; i <= last && i < names.size() && i < marks.size(); ++i) {
    const QString words = MarkToWords(marks.at(i), female);
    if (!TTablePrinter::TakesRow(names.at(i), words))
      continue;
    table.PrintEntry(names.at(i), words);
    printed = true;
  }
  return printed;
}

/// The left page: prints the subjects first..last that fit into `rows` rows
/// and returns the index of the first subject that did not fit (last + 1
/// when all did).
int PrintLeftPage(QPainter &canvas, TDrawTarget target, TRowCursor &cursor, const TArrayOfString &names,
                  const TArrayOfString &marks, int last, int rows, bool female)
{
  TTablePrinter table(canvas, target, cursor);
  int used = 0;
  for (int i = 0; i <= last && i < names.size() && i < marks.size(); ++i) {
    const QString words = MarkToWords(marks.at(i), female);
    if (!TTablePrinter::TakesRow(names.at(i), words))
      continue;
    const int needed = SplitSubjectName(names.at(i)).TwoRows ? 2 : 1;
    if (used + needed > rows)
      return i;
    table.PrintEntry(names.at(i), words);
    used += needed;
  }
  return last + 1;
}

/// The pupil's non-empty attestation entries as plain lines.
bool PrintFreeDpaLines(QPainter &canvas, TDrawTarget target, TRowCursor &cursor, const TPupil &pupil)
{
  bool printed = false;
  for (const QString &line : pupil.DpaMarks) {
    if (line.isEmpty())
      continue;
    TextOutMM(canvas, target, cursor.SubjectX + 1, line, cursor.Y);
    cursor.Y += cursor.Pitch;
    printed = true;
  }
  return printed;
}

double LineY(const TLayout &layout, TLayoutItem item)
{
  return layout.Line(item)->Y();
}

int LineX(const TLayout &layout, TLayoutItem item)
{
  return layout.Line(item)->X();
}

} // namespace

void ComposeCommonBlock(QPainter &canvas, TDrawTarget target, const TLayout &layout, const TFontSet &fonts,
                        const TCommonData &common, int currentGrade)
{
  if (currentGrade != 1 && currentGrade != 2)
    return;
  ApplyDtkFontMM(canvas, target, fonts.School);
  const bool ninth = currentGrade == 1;
  const TLayoutLine *god = layout.Line(ninth ? TLayoutItem::GodLine9 : TLayoutItem::GodLine11);
  const double school1Y = LineY(layout, TLayoutItem::School1Line);
  const double school2Y = LineY(layout, TLayoutItem::School2Line);
  // The extra bottom line lies one school-line pitch below the second line.
  const double belowY = 2 * school2Y - school1Y;
  auto put = [&](int x, const QString &text, double y) {
    if (!text.isEmpty())
      TextOutMM(canvas, target, x, text, y);
  };
  auto centre = [&](const QString &text, double y) {
    if (!text.isEmpty())
      TextOutCentredMM(canvas, target, text, y);
  };
  put(god->X() + 1, common.God, god->Y());
  if (ninth) {
    centre(common.School1, school1Y);
    centre(common.School2, school2Y);
    put(god->X() + 17, common.DopSchTop, god->Y());
    put(god->X() + 10, common.DopSchDown, belowY);
  } else {
    centre(common.School1_11, school1Y);
    centre(common.School2_11, school2Y);
    put(god->X() + 20, common.DopSchTop_11, god->Y());
    put(god->X() + 30, common.DopSchDown_11, belowY);
  }
}

TSpreadOutcome ComposeSpread(QPainter &canvas, TDrawTarget target, const TSpreadInput &input)
{
  TSpreadOutcome outcome;
  const TLayout &layout = input.Layout;
  const int grade = input.CurrentGrade;
  ComposeCommonBlock(canvas, target, layout, input.Fonts, input.Common, grade);
  if (!input.Pupil)
    return outcome;
  const TPupil &pupil = *input.Pupil;
  const bool female = IsFemale(pupil.Gender);
  const bool knownGrade = grade == 1 || grade == 2;
  outcome.PupilComposed = true;

  ApplyDtkFontMM(canvas, target, input.Fonts.SeriaNumb);
  const TLayoutLine *seria = layout.Line(TLayoutItem::SeriaLine);
  const TLayoutLine *number = layout.Line(TLayoutItem::NumberLine);
  TextOutMM(canvas, target, seria->X() + 1, pupil.Seria, seria->Y());
  TextOutMM(canvas, target, number->X() + 3, pupil.Number, number->Y());

  ApplyDtkFontMM(canvas, target, input.Fonts.FIO);
  TextOutCentredMM(canvas, target, FioLine1(pupil.FIO), LineY(layout, TLayoutItem::Fio1Line));
  TextOutCentredMM(canvas, target, FioLine2(pupil.FIO), LineY(layout, TLayoutItem::Fio2Line));

  if (knownGrade) {
    ApplyDtkFontMM(canvas, target, FioEndingFont(input.Fonts.FIO));
    const TLayoutLine *ending = layout.Line(grade == 1 ? TLayoutItem::LeftGenderLine9 : TLayoutItem::LeftGenderLine11);
    TextOutMM(canvas, target, ending->X() + 1,
              GenderEnding(grade == 1 ? TGenderPlace::LeftGender9 : TGenderPlace::LeftGender11, female), ending->Y());
  }

  ApplyDtkFontMM(canvas, target, input.Fonts.SubjMark);
  const double leftLastY = LineY(layout, TLayoutItem::LeftLastLine);
  const double dpaFirstY = LineY(layout, TLayoutItem::DpaFirstLine);
  const double rightLastY = LineY(layout, TLayoutItem::RightLastLine);
  const int rightSubjectX = LineX(layout, TLayoutItem::RightFirstSubjLine);
  const int rightMarkX = LineX(layout, TLayoutItem::RightFirstMarkLine);

  // Left page: 12 rows, 13 with the extra bottom row.
  TRowCursor left;
  left.SubjectX = LineX(layout, TLayoutItem::LeftFirstSubjLine);
  left.MarkX = LineX(layout, TLayoutItem::LeftFirstMarkLine);
  left.Y = LineY(layout, TLayoutItem::LeftFirstSubjLine);
  left.Pitch = (leftLastY - left.Y) / 11;
  const int leftLast = input.AllowDopBottomRow ? 12 : 11;
  const int carried =
      PrintLeftPage(canvas, target, left, input.SubjectNames, pupil.Marks, leftLast, leftLast + 1, female);

  // The state final attestation block, whose last row is the average's.
  TRowCursor dpa;
  dpa.SubjectX = rightSubjectX;
  dpa.MarkX = rightMarkX;
  dpa.Pitch = (leftLastY - dpaFirstY) / 5;
  dpa.Y = leftLastY - 5 * dpa.Pitch;
  if (PrintSubjectRows(canvas, target, dpa, input.DpaSubjectNames, pupil.DpaMarks, 0, int(pupil.DpaMarks.size()) - 1,
                       female)) {
    if (knownGrade) {
      const TLayoutLine *ending = layout.Line(TLayoutItem::RightGenderLine);
      TextOutMM(canvas, target, ending->X() + 1, GenderEnding(TGenderPlace::RightGender, female), ending->Y());
    }
    outcome.DpaState = 0;
  } else {
    outcome.DpaState = PrintFreeDpaLines(canvas, target, dpa, pupil) ? 2 : 1;
  }

  // Right page: what the left page could not hold, then the rest; no row limit.
  TRowCursor right;
  right.SubjectX = rightSubjectX;
  right.MarkX = rightMarkX;
  right.Pitch = (rightLastY - LineY(layout, TLayoutItem::RightFirstSubjLine)) / 11;
  right.Y = LineY(layout, TLayoutItem::RightFirstSubjLine) - (input.AllowDopTopRow ? right.Pitch : 0.0);
  PrintSubjectRows(canvas, target, right, input.SubjectNames, pupil.Marks, carried, leftLast, female);
  PrintSubjectRows(canvas, target, right, input.SubjectNames, pupil.Marks, leftLast + 1, int(pupil.Marks.size()) - 1,
                   female);

  if (knownGrade) {
    TextOutMM(canvas, target, rightSubjectX, AvgCaption(grade), leftLastY);
    const QString average = AvgValue(grade, pupil.AvgMark, pupil.AvgPoints);
    if (!average.isEmpty())
      TextOutMM(canvas, target, rightMarkX + 1, average, leftLastY);
  }
  return outcome;
}

void ComposeBackSide(QPainter &canvas, TDrawTarget target, const TBackSideInput &input)
{
  const TLayout &layout = input.Layout;
  const bool gendered = input.GenderIndex == 0 || input.GenderIndex == 1;
  const bool female = input.GenderIndex == 1;
  auto ending = [&](TLayoutItem item, TGenderPlace place) {
    if (!gendered)
      return;
    const TLayoutLine *line = layout.Line(item);
    TextOutMM(canvas, target, line->X() + 1, GenderEnding(place, female), line->Y());
  };
  auto put = [&](TLayoutItem item, const QString &text) {
    if (text.isEmpty())
      return;
    const TLayoutLine *line = layout.Line(item);
    TextOutMM(canvas, target, line->X() + 1, text, line->Y());
  };

  ApplyDtkFontMM(canvas, target, input.Fonts.BackSide);

  // Electives: five rows from the first electives line to the last.
  const TLayoutLine *facult = layout.Line(TLayoutItem::FacultFirstLine);
  const double pitch = (LineY(layout, TLayoutItem::FacultLastYLine) - facult->Y()) / 4;
  double y = facult->Y();
  for (int i = 0; i < input.Facults.size() && i < 5; ++i) {
    if (!input.Facults.at(i).isEmpty())
      TextOutMM(canvas, target, facult->X() + 1, input.Facults.at(i), y);
    y += pitch;
  }
  if (!input.Facults.isEmpty())
    ending(TLayoutItem::BackTopGenderLine, TGenderPlace::BackTop);

  // The issue date; the blank has the "20" and the "р.".
  if (input.IssueDate.isValid()) {
    TextOutInSpanMM(canvas, target, layout.Line(TLayoutItem::DayLine)->Pos(), DateDayText(input.IssueDate));
    TextOutInSpanMM(canvas, target, layout.Line(TLayoutItem::MonthLine)->Pos(), DateMonthText(input.IssueDate));
    put(TLayoutItem::YearLine, DateYearText(input.IssueDate));
  }

  if (input.CurrentGrade == 1) {
    if (!input.Get.isEmpty())
      ending(TLayoutItem::Get1Line, TGenderPlace::Get1);
    put(TLayoutItem::Get2Line, input.Get);
    put(TLayoutItem::AwardLine, input.Award);
    if (!input.Award.isEmpty())
      ending(TLayoutItem::Back9LowerGenderLine, TGenderPlace::Back9Lower);
    put(TLayoutItem::Director9Line, input.Director);
    ApplyDtkFontMM(canvas, target, RegNumFont(input.Fonts.BackSide));
    put(TLayoutItem::RegNum9Line, input.RegNum);
  } else if (input.CurrentGrade == 2) {
    put(TLayoutItem::ZaLine, input.Get);
    if (!input.Medal.isEmpty()) {
      ending(TLayoutItem::MedalluGenderLine, TGenderPlace::Medallu);
      TextOutInSpanMM(canvas, target, layout.Line(TLayoutItem::MedalluLine)->Pos(), input.Medal);
    }
    put(TLayoutItem::Award11Line, input.Award);
    if (!input.Award.isEmpty())
      ending(TLayoutItem::Back11LowerGenderLine, TGenderPlace::Back11Lower);
    put(TLayoutItem::Director11Line, input.Director);
    ApplyDtkFontMM(canvas, target, RegNumFont(input.Fonts.BackSide));
    put(TLayoutItem::RegNum11Line, input.RegNum);
  }
}

QStringList MemoLines(const QString &text)
{
  if (text.isEmpty())
    return {};
  QStringList lines = text.split(QLatin1Char('\n'));
  if (text.endsWith(QLatin1Char('\n')))
    lines.removeLast();
  return lines;
}
