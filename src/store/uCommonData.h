#pragma once

#include <QString>

/// The data that is the same on every supplement of a school and a year:
/// the year of graduation and the school's name for each grade. The field
/// names are also the keys under which the settings keep them.
struct TCommonData
{
  QString God;           ///< the year of graduation: its last two digits, or empty
  QString School1;       ///< 9th grade, school name line 1 (accusative case)
  QString School2;       ///< 9th grade, line 2
  QString DopSchTop;     ///< 9th grade, extra line above line 1
  QString DopSchDown;    ///< 9th grade, extra line below line 2
  QString School1_11;    ///< 11th grade, school name line 1 (locative case)
  QString School2_11;    ///< 11th grade, line 2
  QString DopSchTop_11;  ///< 11th grade, extra line above line 1
  QString DopSchDown_11; ///< 11th grade, extra line below line 2
};

/// The year of graduation as the panel's year field gives it: four
/// characters keep their last two, two characters stay; anything else
/// (an empty field included) is no valid year.
bool YearFieldToGod(const QString &yearField, QString &god);
