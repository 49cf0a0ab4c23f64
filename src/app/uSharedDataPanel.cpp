#include "uSharedDataPanel.h"

#include <QDateEdit>

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString PanelHint = QStringLiteral(
    "У 2013 році назву навчального закладу необхідно вводити <b>окремо для 9-го та 11-го класів</b>:<p><p>для "
    "9-го -- <b>у знахідному</b> відмінку<br>(закінчив <b>що?</b>)<p>для 11-го -- <b>у місцевому</b> "
    "відмінку<br>(здобув <b>у чому?</b>)");
const QString Group9Hint =
    QStringLiteral("Назва навчального закладу <b>у знахідному</b> відмінку<br>(закінчив <b>що?</b>)");
const QString Group11Hint =
    QStringLiteral("Назва навчального закладу <b>у місцевому</b> відмінку<br>(здобув <b>у чому?</b>)");

QLineEdit *MakeEdit(const QString &name, QWidget *parent)
{
  auto *edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QLabel *MakeLabel(const QString &text, QWidget *parent)
{
  auto *label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

} // namespace

TSharedDataPanel::TSharedDataPanel(QWidget *parent) : QFrame(parent)
{
  setObjectName(QStringLiteral("SharedDataPanel"));
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  setFixedSize(345, 521);
  setToolTip(PanelHint);

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(10, 8, 10, 8);
  column->setSpacing(4);

  auto *dateRow = new QHBoxLayout;
  auto *dateLabel = MakeLabel(QStringLiteral("Дата видачі документу"), this);
  dateRow->addWidget(dateLabel, 1);
  dtpDate = new QDateEdit(QDate::currentDate(), this);
  dtpDate->setObjectName(QStringLiteral("dtpDate"));
  dtpDate->setCalendarPopup(true);
  dtpDate->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  dtpDate->setToolTip(QStringLiteral("Відображається на задній стороні додатку"));
  dateLabel->setBuddy(dtpDate);
  dtpDate->setFixedWidth(120);
  dateRow->addWidget(dtpDate);
  column->addLayout(dateRow);
  connect(dtpDate, &QDateEdit::dateChanged, this, &TSharedDataPanel::dtpDateChange);

  auto *yearRow = new QHBoxLayout;
  auto *yearLabel = MakeLabel(QStringLiteral("Рік випуску (якщо відрізняється від року видачі) "), this);
  yearRow->addWidget(yearLabel, 1);
  edGod = MakeEdit(QStringLiteral("edGod"), this);
  edGod->setFixedWidth(65);
  edGod->installEventFilter(this);
  yearLabel->setBuddy(edGod);
  yearRow->addWidget(edGod);
  column->addLayout(yearRow);
  dtpDateChange();

  lblSchoolHeading = new QLabel(QStringLiteral("Назва навчального закладу:"), this);
  lblSchoolHeading->setObjectName(QStringLiteral("lblSchoolHeading"));
  QFont bold = lblSchoolHeading->font();
  bold.setBold(true);
  lblSchoolHeading->setFont(bold);
  lblSchoolHeading->setToolTip(PanelHint);
  column->addWidget(lblSchoolHeading);

  auto makeGroup = [&](const QString &caption, const QString &hint, const QString &suffix, QToolButton *&btnTop,
                       QLabel *&lblTop, QLineEdit *&edTop, QLineEdit *&ed1, QLineEdit *&ed2, QToolButton *&btnDown,
                       QLabel *&lblDown, QLineEdit *&edDown) {
    auto *group = new QGroupBox(caption, this);
    group->setToolTip(hint);
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);

    auto extraRow = [&](int row, const QString &name, const QString &labelText, const QString &buttonHint,
                        QToolButton *&button, QLabel *&label, QLineEdit *&edit) {
      button = new QToolButton(group);
      button->setObjectName(QStringLiteral("btn") + name + suffix);
      button->setText(QStringLiteral("+"));
      button->setToolTip(buttonHint);
      button->setFixedSize(20, 20);
      label = MakeLabel(labelText, group);
      edit = MakeEdit(QStringLiteral("ed") + name + suffix, group);
      edit->setToolTip(hint);
      label->setBuddy(edit);
      grid->addWidget(button, row + 1, 0);
      grid->addWidget(label, row, 0, 1, 2);
      grid->addWidget(edit, row + 1, 1);
      label->hide();
      edit->hide();
      connect(button, &QToolButton::clicked, this, [this, edit] { ToggleExtraField(edit); });
    };
    auto mainRow = [&](int row, const QString &name, const QString &labelText, QLineEdit *&edit) {
      auto *label = MakeLabel(labelText, group);
      edit = MakeEdit(QStringLiteral("ed") + name + suffix, group);
      edit->setToolTip(hint);
      label->setBuddy(edit);
      grid->addWidget(label, row, 0, 1, 2);
      grid->addWidget(edit, row + 1, 1);
    };
    extraRow(0, QStringLiteral("DopSchTop"), QStringLiteral("Додатковий рядок назви зверху (не стандарт)"),
             QStringLiteral("Додатковий рядок назви зверху"), btnTop, lblTop, edTop);
    mainRow(2, QStringLiteral("School1"), QStringLiteral("Перший рядок назви навчального закладу"), ed1);
    mainRow(4, QStringLiteral("School2"), QStringLiteral("Другий рядок назви навчального закладу"), ed2);
    extraRow(6, QStringLiteral("DopSchDown"), QStringLiteral("Додатковий рядок назви знизу (не стандарт)"),
             QStringLiteral("Додатковий рядок назви знизу"), btnDown, lblDown, edDown);
    column->addWidget(group);
  };
  makeGroup(QStringLiteral("9 клас (закінчив що?..)"), Group9Hint, QStringLiteral("_9"), btnDopSchTop_9, lblDopSchTop_9,
            edDopSchTop_9, edSchool1_9, edSchool2_9, btnDopSchDown_9, lblDopSchDown_9, edDopSchDown_9);
  makeGroup(QStringLiteral("11 клас (здобув у чому?..)"), Group11Hint, QStringLiteral("_11"), btnDopSchTop_11,
            lblDopSchTop_11, edDopSchTop_11, edSchool1_11, edSchool2_11, btnDopSchDown_11, lblDopSchDown_11,
            edDopSchDown_11);

  column->addStretch(1);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Скасувати"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  column->addLayout(buttons);
}

QLabel *TSharedDataPanel::LabelOf(QLineEdit *field) const
{
  for (QLabel *label : {lblDopSchTop_9, lblDopSchDown_9, lblDopSchTop_11, lblDopSchDown_11})
    if (label->buddy() == field)
      return label;
  return nullptr;
}

void TSharedDataPanel::ToggleExtraField(QLineEdit *field)
{
  const bool show = field->isHidden();
  field->setVisible(show);
  if (QLabel *label = LabelOf(field))
    label->setVisible(show);
  if (show)
    field->setFocus();
}

void TSharedDataPanel::ShowFilledExtraFields()
{
  for (QLineEdit *field : {edDopSchTop_9, edDopSchDown_9, edDopSchTop_11, edDopSchDown_11})
    if (!field->text().isEmpty()) {
      field->show();
      if (QLabel *label = LabelOf(field))
        label->show();
    }
}

void TSharedDataPanel::dtpDateChange()
{
  edGod->setText(dtpDate->date().toString(QStringLiteral("yyyy")));
}

bool TSharedDataPanel::eventFilter(QObject *watched, QEvent *event)
{
  // The year field takes only digits and Backspace; every other typed
  // character (the control characters of Ctrl+C/V/X included) is dropped.
  if (watched == edGod && event->type() == QEvent::KeyPress) {
    auto *key = static_cast<QKeyEvent *>(event);
    const QString text = key->text();
    if (key->key() == Qt::Key_Backspace)
      return false;
    if (!text.isEmpty()) {
      const bool digits =
          std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
      return !digits;
    }
  }
  return QFrame::eventFilter(watched, event);
}
