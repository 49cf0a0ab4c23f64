#pragma once

#include "app/uDialogs.h"

#include <QDialog>
#include <QEvent>
#include <QHash>
#include <QPointer>

#include <initializer_list>
#include <utility>

class QGridLayout;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class TLayout;

/**
 * The layout dialog: every position of the blank's layout typed in
 * millimetres, and the layout files opened and saved from here.
 *
 * Its 61 fields show the layout's field texts and write what the user types
 * straight back into them, so the layout can be normalised with the dialog
 * shown or hidden, and text typed before a Cancel is kept. Created once at
 * start-up; lives for the whole run.
 */
class TBlankSettingsF : public QDialog
{
  Q_OBJECT
public:
  /// Posted to the main window at the end of Apply: redraw, titles, settings.
  static constexpr QEvent::Type WM_LAYOUT_APPLIED = QEvent::Type(QEvent::User + 5555);

  explicit TBlankSettingsF(TLayout &layout, QWidget *parent = nullptr);

  QLabel *lblNotice = nullptr;
  QLineEdit *edPageHeight = nullptr;
  QLineEdit *edPageWidth = nullptr;
  QTabWidget *PageControl1 = nullptr;
  /// Inner grade tabs of the spread's and of the back side's page.
  QTabWidget *PageControl2 = nullptr;
  QTabWidget *PageControl3 = nullptr;
  QPushButton *btnOpen = nullptr;
  QPushButton *btnSave = nullptr;
  QPushButton *btnOK = nullptr;
  QPushButton *btnCancel = nullptr;
  QPushButton *btnApply = nullptr;

  TFileDlg SaveDlg;
  TFileDlg OpenDlg;

  /// The text field of that name (one of TLayout::FieldNames()), or null.
  QLineEdit *Field(const QString &name) const { return FFields.value(name); }

  /// The object that receives WM_LAYOUT_APPLIED (the main window); without
  /// one, the dialog's parent receives it.
  void setLayoutAppliedTarget(QObject *target) { FAppliedTarget = target; }

  /// Shows the layout's field texts again; call after LayoutToDialog.
  void FieldsFromLayout();

  /// The caption for a layout's display name; empty means the default layout.
  void SetLayoutCaption(const QString &displayName);
  /// A layout file's display name: its file name without folder and
  /// extension; empty for no file.
  static QString LayoutDisplayName(const QString &path);
  /// The display name used when no layout file applies.
  static QString DefaultLayoutName();

  /// Saves the layout into the current file (or asks for one), then posts
  /// WM_LAYOUT_APPLIED. Also the main window's save action.
  /// False when the layout file could not be written (the error was shown).
  bool btnApplyClick();
  /// Apply, then close with OK; stays open when the file could not be written.
  void btnOKClick();
  /// Saves the layout into a file the user picks, which becomes current.
  void btnSaveClick();
  /// Loads a layout file the user picks, which becomes current.
  void btnOpenClick();

  /// Typed-character filter of the page size and X fields: Backspace and
  /// digits. True when the key may reach the field.
  static bool edLeftFirstSubjXKeyPress(const QKeyEvent &key);
  /// Typed-character filter of the Y fields: Backspace, digits, comma, point.
  static bool edSeriaYKeyPress(const QKeyEvent &key);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  /// Apply's steps; false when a write failed (the error is already shown).
  bool Apply();
  void SaveAs();

  QLineEdit *AddField(QGridLayout *grid, int row, int column, const QString &name, const QString &label);
  QGroupBox *AddGroup(QWidget *parent, const QString &name, const QString &caption, QGridLayout *&grid);
  /// A group of fields (name, label), one under the other or side by side.
  QGroupBox *FieldGroup(QWidget *parent, const QString &name, const QString &caption,
                        std::initializer_list<std::pair<const char *, const char *>> fields, bool across);
  /// A page of an inner grade tab control, its groups one under the other.
  static std::pair<QWidget *, QVBoxLayout *> GradeSheet(const QString &name);
  QWidget *BuildSpreadPage();
  QWidget *BuildBackPage();

  TLayout &FLayout;
  QHash<QString, QLineEdit *> FFields;
  QPointer<QObject> FAppliedTarget;
};
