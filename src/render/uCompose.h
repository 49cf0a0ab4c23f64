#pragma once

#include "layout/uLayout.h"
#include "pupils/uPupils.h"
#include "render/MyCanvasUtils.h"
#include "store/uCommonData.h"
#include "store/uFonts.h"

#include <QDate>
#include <QStringList>

class QPainter;

/// Everything the spread of one pupil is composed from.
struct TSpreadInput
{
  const TLayout &Layout;
  const TFontSet &Fonts;
  const TCommonData &Common;
  /// 1 = the 9th grade, 2 = the 11th.
  int CurrentGrade;
  /// The selected pupil; nullptr when none is selected.
  const TPupil *Pupil;
  const TArrayOfString &SubjectNames;
  const TArrayOfString &DpaSubjectNames;
  /// "Використовувати місце знизу лівої сторінки": a 13th row on the left page.
  bool AllowDopBottomRow = false;
  /// "Використовувати місце зверху правої сторінки": the right page starts a row higher.
  bool AllowDopTopRow = false;
};

/// What a spread composition leaves behind.
struct TSpreadOutcome
{
  /// False when there was no pupil to compose: DpaState then keeps its value.
  bool PupilComposed = false;
  /// What the state final attestation rows got: 0 rows from the workbook,
  /// 1 nothing, 2 the pupil's free lines.
  int DpaState = 0;
};

/// A table's row cursor: the subject and mark columns, the current row's Y
/// and the pitch between rows (millimetres).
struct TRowCursor
{
  int SubjectX = 0;
  int MarkX = 0;
  double Y = 0.0;
  double Pitch = 0.0;
};

/**
 * The spread: the year and school lines, the series and number, the name
 * over two lines with its gender ending, the subjects with their marks in
 * words on both pages, the state final attestation rows and the average.
 * The same routine draws the preview (dtScreen) and the printed sheet
 * (dtPrinter); only the millimetre conversion differs.
 *
 * A subject name with "*" takes two rows. When the left page has no row
 * left for a subject, that subject and the rest of the left page's range go
 * over to the right page, which starts with them; the right page and the
 * attestation block print every entry they have.
 */
TSpreadOutcome ComposeSpread(QPainter &canvas, TDrawTarget target, const TSpreadInput &input);

/// The year of graduation and the school lines of the current grade.
void ComposeCommonBlock(QPainter &canvas, TDrawTarget target, const TLayout &layout, const TFontSet &fonts,
                        const TCommonData &common, int currentGrade);

/// Everything the back side is composed from: the in-place fields' texts,
/// the gender chosen for its endings and the issue date.
struct TBackSideInput
{
  const TLayout &Layout;
  const TFontSet &Fonts;
  int CurrentGrade;
  /// The electives memo's lines (see MemoLines).
  QStringList Facults{};
  QString Get{};
  QString Award{};
  QString Medal{};
  QString Director{};
  QString RegNum{};
  /// 0 = "чоловіча", 1 = "жіноча", -1 = none selected (no endings at all).
  int GenderIndex = 0;
  QDate IssueDate{};
};

/// The back side: electives, the award lines, the director, the
/// registration number and the issue date, with the endings of the gender
/// chosen on the preview.
void ComposeBackSide(QPainter &canvas, TDrawTarget target, const TBackSideInput &input);

/// A memo's text as its lines: no line for an empty text, and a line break
/// at the very end starts no further line ("a\n" is one line, "\n" one empty line).
QStringList MemoLines(const QString &text);
