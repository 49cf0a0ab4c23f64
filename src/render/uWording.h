#pragma once

#include <QString>
#include <QStringList>

class QDate;

/// The marks-in-words table: 17 lines "key=value" in lookup order.
const QStringList &MarkWords();
/// The genitive month names, index 1..12; index 0 is a single space.
const QStringList &MonthsGenitive();

/// The printed form of one mark: its words from MarkWords (the whole key,
/// letter case ignored, first match), with the gender ending added to the
/// stems "звільнен" and "не атестован". Empty when the mark has no key.
QString MarkToWords(const QString &markText, bool female);

/// True when the pupil's gender letter is "ж" in either case.
bool IsFemale(const QString &genderLetter);

/// The places where only a gendered word ending is printed; the stem before
/// it belongs to the blank.
enum class TGenderPlace {
  LeftGender9,  ///< "закінчи|в, ла" on the 9th-grade spread
  LeftGender11, ///< "здобу|в, ла" on the 11th-grade spread
  RightGender,  ///< "Пройш|ов, ла" above the state final attestation rows
  MarkStem,     ///< "звільнен|ий, а" and "не атестован|ий, а" of a mark
  BackTop,      ///< "Успішно засвої|в, ла" above the electives
  Get1,         ///< "За високі досягнення у навчанні одержа|в, ла" (9th grade)
  Back9Lower,   ///< "нагороджен|ий, а" (9th grade back side)
  Medallu,      ///< "навчанні нагороджен|ий, а" (11th grade medal)
  Back11Lower,  ///< "нагороджен|ий, а" (11th grade back side)
};

/// The ending printed at `place` for a male or a female pupil.
QString GenderEnding(TGenderPlace place, bool female);

/// The first line of the full name: the text before the first space (all of
/// it when there is no space).
QString FioLine1(const QString &fio);
/// The second line of the full name: everything after the first space.
QString FioLine2(const QString &fio);

/// A subject name as printed: on one row, or, when it holds "*", on two
/// consecutive rows split at the first "*" (the mark goes on the second).
struct TSubjectRows
{
  QString First;
  QString Second;
  bool TwoRows = false;
};
TSubjectRows SplitSubjectName(const QString &name);

/// The average mark's caption for CurrentGrade (1 = 9th, 2 = 11th).
QString AvgCaption(int currentGrade);
/// The average mark's value as printed: AvgMark, and on the 11th grade
/// " – " AvgPoints " б." after it when AvgPoints is not empty.
QString AvgValue(int currentGrade, const QString &avgMark, const QString &avgPoints);

/// The issue date's day as two digits ("05").
QString DateDayText(const QDate &date);
/// The issue date's month as its genitive name ("березня").
QString DateMonthText(const QDate &date);
/// The issue date's year as its last two digits ("13").
QString DateYearText(const QDate &date);
