#pragma once

#include <QFrame>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

/**
 * The common data panel: the issue date, the year of graduation and the
 * school's name for each grade, entered once for every supplement. Its
 * fields are the editing copy of the common data; OK and Cancel are handled
 * by the main window.
 */
class TSharedDataPanel : public QFrame
{
  Q_OBJECT
public:
  explicit TSharedDataPanel(QWidget *parent = nullptr);

  QDateEdit *dtpDate = nullptr;
  QLineEdit *edGod = nullptr;
  QLabel *lblSchoolHeading = nullptr;

  QToolButton *btnDopSchTop_9 = nullptr;
  QLabel *lblDopSchTop_9 = nullptr;
  QLineEdit *edDopSchTop_9 = nullptr;
  QLineEdit *edSchool1_9 = nullptr;
  QLineEdit *edSchool2_9 = nullptr;
  QToolButton *btnDopSchDown_9 = nullptr;
  QLabel *lblDopSchDown_9 = nullptr;
  QLineEdit *edDopSchDown_9 = nullptr;

  QToolButton *btnDopSchTop_11 = nullptr;
  QLabel *lblDopSchTop_11 = nullptr;
  QLineEdit *edDopSchTop_11 = nullptr;
  QLineEdit *edSchool1_11 = nullptr;
  QLineEdit *edSchool2_11 = nullptr;
  QToolButton *btnDopSchDown_11 = nullptr;
  QLabel *lblDopSchDown_11 = nullptr;
  QLineEdit *edDopSchDown_11 = nullptr;

  QPushButton *btnOK = nullptr;
  QPushButton *btnCancel = nullptr;

  /// Shows each extra school-name field that holds text.
  void ShowFilledExtraFields();
  /// Toggles an extra field (with its label); a field just shown gets the focus.
  void ToggleExtraField(QLineEdit *field);

  /// The year of the issue date goes into the year field.
  void dtpDateChange();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  QLabel *LabelOf(QLineEdit *field) const;
};
