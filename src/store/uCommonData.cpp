#include "uCommonData.h"

bool YearFieldToGod(const QString &yearField, QString &god)
{
  if (yearField.size() == 4) {
    god = yearField.mid(2, 2);
    return true;
  }
  if (yearField.size() == 2) {
    god = yearField;
    return true;
  }
  return false;
}
