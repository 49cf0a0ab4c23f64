#pragma once

#include "render/MyCanvasUtils.h"

#include <QString>

#include <functional>

/// How a layout item's position depends on its master.
enum class TLineKind {
  Plain,   ///< independent X and Y
  LinkedX, ///< takes its master's X (MedalluLine excepted), moves only vertically
  LinkedY  ///< takes its master's Y, moves only horizontally
};

/**
 * One layout item: where on the blank one printed line lies, in millimetres
 * from the paper's left and top edges. X and L are whole millimetres, Y may
 * hold fractions. There are no bounds: negative values and values beyond the
 * page are kept as they are.
 */
class TLayoutLine
{
public:
  TLayoutLine(QString name, TLineKind kind, quint8 side, quint8 grades, const TLayoutLine *master);
  TLayoutLine(const TLayoutLine &) = delete;
  TLayoutLine &operator=(const TLayoutLine &) = delete;

  const QString &Name() const { return FName; }
  TLineKind Kind() const { return FKind; }
  /// 0 = the spread with the marks, 1 = the back side.
  quint8 Side() const { return FSide; }
  /// 1 = 9th grade only, 2 = 11th grade only, 3 = both.
  quint8 Grades() const { return FGrades; }
  /// The item a linked line follows; null for a plain one.
  const TLayoutLine *Master() const { return FMaster; }

  qint32 X() const { return FX; }
  qint32 L() const { return FL; }
  double Y() const { return FY; }

  /// Sets X and notifies, also when X stays the same.
  void SetX(qint32 value);
  /// Sets Y and notifies; nothing happens when Y stays the same.
  void SetY(double value);
  /// Sets L and notifies; nothing happens when L stays the same.
  void SetL(qint32 value);

  TLinePos Pos() const { return TLinePos{FX, FL, FY}; }

  /// Called after SetX, and after SetY or SetL changed something; the
  /// line's image on the preview follows the line through it.
  std::function<void()> OnChanged;

private:
  void Changed();

  QString FName;
  TLineKind FKind;
  quint8 FSide;
  quint8 FGrades;
  const TLayoutLine *FMaster;
  qint32 FX = 10;
  qint32 FL = 10;
  double FY = 10.0;
};
