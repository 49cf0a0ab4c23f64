#include "uLayoutLine.h"

TLayoutLine::TLayoutLine(QString name, TLineKind kind, quint8 side, quint8 grades, const TLayoutLine *master)
    : FName(std::move(name)), FKind(kind), FSide(side), FGrades(grades), FMaster(master)
{
}

void TLayoutLine::SetX(qint32 value)
{
  FX = value;
  Changed();
}

void TLayoutLine::SetY(double value)
{
  if (value == FY)
    return;
  FY = value;
  Changed();
}

void TLayoutLine::SetL(qint32 value)
{
  if (value == FL)
    return;
  FL = value;
  Changed();
}

void TLayoutLine::Changed()
{
  if (OnChanged)
    OnChanged();
}
