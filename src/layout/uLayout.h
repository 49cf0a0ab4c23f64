#pragma once

#include "uLayoutLine.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

/// The 37 layout items in creation order, which is also the order of their
/// sections in a layout file.
enum class TLayoutItem {
  SeriaLine,
  NumberLine,
  Fio1Line,
  Fio2Line,
  LeftGenderLine9,
  GodLine9,
  LeftGenderLine11,
  GodLine11,
  RightGenderLine,
  School1Line,
  School2Line,
  LeftFirstSubjLine,
  LeftFirstMarkLine,
  RightFirstSubjLine,
  RightFirstMarkLine,
  LeftLastLine,
  RightLastLine,
  DpaFirstLine,
  BackTopGenderLine,
  FacultFirstLine,
  Get1Line,
  Get2Line,
  AwardLine,
  Back9LowerGenderLine,
  Director9Line,
  RegNum9Line,
  ZaLine,
  MedalluLine,
  MedalluGenderLine,
  Award11Line,
  Back11LowerGenderLine,
  Director11Line,
  RegNum11Line,
  DayLine,
  MonthLine,
  YearLine,
  FacultLastYLine
};

inline constexpr int LayoutItemCount = 37;

/**
 * The layout of the blank: the 37 layout lines, the page size, the current
 * layout file, and the texts of the layout dialog's 61 fields.
 *
 * The field texts are the channel through which the layout is normalised:
 * LayoutToDialog writes the independent values into them, DialogToLayout
 * reads them back and derives every dependent value (linked coordinates,
 * fixed lengths, FioCentreX). The texts live here so that this works before
 * and without the dialog's window; the window shows and edits them.
 */
class TLayout
{
public:
  /// Lines as freshly made (X = Y = L = 10), fields at their defaults, page
  /// 210 by 148 mm. DialogToLayout then gives the default layout.
  TLayout();
  ~TLayout();
  TLayout(const TLayout &) = delete;
  TLayout &operator=(const TLayout &) = delete;

  TLayoutLine *Line(TLayoutItem item) const { return FLines[size_t(item)].get(); }
  /// The line of that name, or null.
  TLayoutLine *LineByName(const QString &name) const;
  /// All 37 lines in creation order; the layout owns them.
  const QList<TLayoutLine *> &Lines() const { return FAll; }
  /// The lines of the spread (Side 0), in creation order.
  const QList<TLayoutLine *> &FrontLines() const { return FFront; }
  /// The lines of the back side (Side 1), in creation order.
  const QList<TLayoutLine *> &BackLines() const { return FBack; }

  /// The blank's size, whole millimetres.
  int PageWidth() const { return FPageWidth; }
  int PageHeight() const { return FPageHeight; }
  /// The column centred texts are centred on: Fio1Line's X plus half its
  /// length, rounded half to even.
  int FioCentreX() const;

  /// The file that holds the current layout; empty when there is none.
  const QString &LayoutFileName() const { return FLayoutFileName; }
  void SetLayoutFileName(const QString &path) { FLayoutFileName = path; }

  /// The 61 dialog field names: per item its X field, then its Y field, in
  /// creation order, then edPageWidth and edPageHeight.
  static const QStringList &FieldNames();
  /// True for the 31 fields that hold a Y (a real number); the others hold
  /// whole numbers.
  static bool IsYField(const QString &field);
  static QString FieldDefaultText(const QString &field);
  /// The field's text; empty for an unknown name.
  QString FieldText(const QString &field) const;
  /// Unknown names are ignored.
  void SetFieldText(const QString &field, const QString &text);

  /// Reads the fields into the layout and derives the dependent values; an
  /// empty or unreadable field gives its item's default. Sets the global
  /// FioCentreX.
  void DialogToLayout();
  /// Writes the layout's independent values into the fields.
  void LayoutToDialog();
  /// Reads a layout file (a missing one gives the default layout), then
  /// LayoutToDialog and DialogToLayout.
  void LoadLayoutFile(const QString &path);
  /// DialogToLayout, then writes the layout into the file, keeping whatever
  /// else the file holds. Throws EAppError "Unable to write to <path>" when
  /// the file cannot be written; the old file then stays as it was.
  void SaveLayoutFile(const QString &path);

private:
  std::vector<std::unique_ptr<TLayoutLine>> FLines;
  QList<TLayoutLine *> FAll;
  QList<TLayoutLine *> FFront;
  QList<TLayoutLine *> FBack;
  int FPageWidth = 210;
  int FPageHeight = 148;
  QString FLayoutFileName;
  QHash<QString, QString> FFields;
};
