#include "frmBlankSettings.h"

#include "layout/uLayout.h"
#include "uAppStart.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

const QString BaseCaption = QStringLiteral("Налаштування макету бланка Додатку");
const QString Notice =
    QStringLiteral("Всі відстані вимірюються в мм\r\nвід лівого та верхнього країв паперу до ліній.");
const QString LayoutFilter = QStringLiteral("Файли макетів бланків (*.blf)|*.blf");
const QString LayoutExt = QStringLiteral("blf");

constexpr int FieldWidth = 46;
/// Room the skin keeps left and right of a group's caption.
constexpr int CaptionIndent = 24;

/// A group box wide enough for its whole caption: the skin sets the caption
/// in from the frame's edge, which QGroupBox's own size hint leaves out.
class TCaptionGroup : public QGroupBox
{
public:
  using QGroupBox::QGroupBox;

  QSize minimumSizeHint() const override
  {
    QSize size = QGroupBox::minimumSizeHint();
    size.setWidth(std::max(size.width(), fontMetrics().horizontalAdvance(title()) + CaptionIndent));
    return size;
  }
};

QVBoxLayout *Column()
{
  auto *column = new QVBoxLayout;
  column->setSpacing(4);
  return column;
}

/// A page of a tab control with its groups in columns.
QHBoxLayout *PageColumns(QWidget *page)
{
  auto *columns = new QHBoxLayout(page);
  columns->setContentsMargins(6, 4, 6, 6);
  columns->setSpacing(8);
  return columns;
}

/// Keys that type no character of their own but do their usual work.
bool IsEditingKey(int key)
{
  switch (key) {
  case Qt::Key_Backspace:
  case Qt::Key_Delete:
  case Qt::Key_Return:
  case Qt::Key_Enter:
  case Qt::Key_Escape:
  case Qt::Key_Tab:
  case Qt::Key_Backtab:
    return true;
  default:
    return false;
  }
}

/// True when the key types nothing, or only characters of `allowed`;
/// Backspace always passes.
bool KeyTypesOnly(const QKeyEvent &key, const QString &allowed)
{
  if (key.key() == Qt::Key_Backspace)
    return true;
  // Copy, paste and cut type control characters: dropped like any other,
  // also where the platform reports no text for them.
  if ((key.modifiers() & Qt::ControlModifier) &&
      (key.key() == Qt::Key_C || key.key() == Qt::Key_V || key.key() == Qt::Key_X))
    return false;
  const QString text = key.text();
  if (text.isEmpty() || IsEditingKey(key.key()))
    return true;
  return std::all_of(text.begin(), text.end(), [&allowed](QChar c) { return allowed.contains(c); });
}

} // namespace

TBlankSettingsF::TBlankSettingsF(TLayout &layout, QWidget *parent) : QDialog(parent), FLayout(layout)
{
  setObjectName(QStringLiteral("BlankSettingsF"));
  setWindowTitle(BaseCaption);
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  SaveDlg.Filter = LayoutFilter;
  SaveDlg.DefaultExt = LayoutExt;
  SaveDlg.ConfirmOverwrite = true;
  OpenDlg.Filter = LayoutFilter;
  OpenDlg.DefaultExt = LayoutExt;
  OpenDlg.MustExist = false;

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(8, 6, 8, 8);
  column->setSpacing(4);

  lblNotice = new QLabel(DisplayText(Notice), this);
  lblNotice->setObjectName(QStringLiteral("lblNotice"));
  lblNotice->setAlignment(Qt::AlignCenter);
  QFont bold = lblNotice->font();
  bold.setBold(true);
  lblNotice->setFont(bold);
  column->addWidget(lblNotice);

  auto *pageSize = new QGridLayout;
  pageSize->setHorizontalSpacing(6);
  pageSize->setColumnStretch(0, 1);
  pageSize->setColumnMinimumWidth(3, 24);
  pageSize->setColumnStretch(6, 1);
  edPageHeight = AddField(pageSize, 0, 1, QStringLiteral("edPageHeight"), QStringLiteral("Висота бланку:"));
  edPageWidth = AddField(pageSize, 0, 4, QStringLiteral("edPageWidth"), QStringLiteral("Ширина бланку:"));
  column->addLayout(pageSize);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->addTab(BuildSpreadPage(), QStringLiteral("Розворот з оцінками"));
  PageControl1->addTab(BuildBackPage(), QStringLiteral("Задня частина"));
  PageControl1->setCurrentIndex(0);
  column->addWidget(PageControl1, 1);

  auto *buttons = new QHBoxLayout;
  buttons->setSpacing(6);
  auto makeButton = [this, buttons](const QString &name, const QString &caption) {
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setMinimumWidth(90);
    buttons->addWidget(button);
    return button;
  };
  btnOpen = makeButton(QStringLiteral("btnOpen"), QStringLiteral("Відкрити..."));
  btnSave = makeButton(QStringLiteral("btnSave"), QStringLiteral("Зберегти як..."));
  buttons->addStretch(1);
  btnOK = makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"));
  btnCancel = makeButton(QStringLiteral("btnCancel"), QStringLiteral("Скасувати"));
  btnApply = makeButton(QStringLiteral("btnApply"), QStringLiteral("Застосувати"));
  btnOK->setDefault(true);
  column->addLayout(buttons);

  connect(btnOpen, &QPushButton::clicked, this, &TBlankSettingsF::btnOpenClick);
  connect(btnSave, &QPushButton::clicked, this, &TBlankSettingsF::btnSaveClick);
  connect(btnOK, &QPushButton::clicked, this, &TBlankSettingsF::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnApply, &QPushButton::clicked, this, &TBlankSettingsF::btnApplyClick);

  resize(681, 548);
}

QLineEdit *TBlankSettingsF::AddField(QGridLayout *grid, int row, int column, const QString &name, const QString &label)
{
  QWidget *owner = grid->parentWidget() ? grid->parentWidget() : this;
  auto *edit = new QLineEdit(FLayout.FieldText(name), owner);
  edit->setObjectName(name);
  edit->setFixedWidth(FieldWidth);
  if (TLayout::IsYField(name)) {
    QFont bold = edit->font();
    bold.setBold(true);
    edit->setFont(bold);
  }
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::textChanged, this, [this, name](const QString &text) { FLayout.SetFieldText(name, text); });

  auto *caption = new QLabel(label, owner);
  caption->setObjectName(QStringLiteral("lbl") + name.mid(2));
  caption->setBuddy(edit);
  grid->addWidget(caption, row, column);
  grid->addWidget(edit, row, column + 1);
  FFields.insert(name, edit);
  return edit;
}

QGroupBox *TBlankSettingsF::AddGroup(QWidget *parent, const QString &name, const QString &caption, QGridLayout *&grid)
{
  auto *group = new TCaptionGroup(caption, parent);
  group->setObjectName(name);
  grid = new QGridLayout(group);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(2);
  grid->setColumnStretch(0, 1);
  return group;
}

QGroupBox *TBlankSettingsF::FieldGroup(QWidget *parent, const QString &name, const QString &caption,
                                       std::initializer_list<std::pair<const char *, const char *>> fields, bool across)
{
  QGridLayout *grid = nullptr;
  QGroupBox *group = AddGroup(parent, name, caption, grid);
  int place = 0;
  for (const auto &[field, label] : fields) {
    if (across)
      AddField(grid, 0, 2 * place, QLatin1String(field), QString::fromUtf8(label));
    else
      AddField(grid, place, 0, QLatin1String(field), QString::fromUtf8(label));
    ++place;
  }
  if (across) {
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(2 * place, 1);
  }
  return group;
}

QWidget *TBlankSettingsF::BuildSpreadPage()
{
  auto *page = new QWidget;
  page->setObjectName(QStringLiteral("TabSheet1"));
  QHBoxLayout *columns = PageColumns(page);

  QVBoxLayout *left = Column();
  left->addWidget(
      FieldGroup(page, QStringLiteral("gbSeria"), QStringLiteral("Лінії серії та номера атестату"),
                 {{"edSeriaY", "Зверху (обидві)"}, {"edSeriaX", "Серія зліва"}, {"edNumberX", "Номер зліва"}}, false));
  left->addWidget(
      FieldGroup(page, QStringLiteral("gbFio"), QStringLiteral("Лінії ПІБ"),
                 {{"edFio1X", "Зліва (обидві)"}, {"edFio1Y", "Зверху (перша)"}, {"edFio2Y", "Зверху (друга)"}}, false));
  left->addWidget(FieldGroup(page, QStringLiteral("gbSchool"), QStringLiteral("Лінії назви навчального закладу"),
                             {{"edSchool1Y", "Зверху (перша)"}, {"edSchool2Y", "Зверху (друга)"}}, false));
  PageControl2 = new QTabWidget(page);
  PageControl2->setObjectName(QStringLiteral("PageControl2"));
  {
    auto [sheet, stack] = GradeSheet(QStringLiteral("TabSheet3"));
    stack->addWidget(FieldGroup(sheet, QStringLiteral("gbLeftGender9"), QStringLiteral("Лінія \"закінчи __\""),
                                {{"edLeftGenderX_9", "Зліва"}, {"edLeftGenderY_9", "Зверху"}}, true));
    stack->addWidget(FieldGroup(sheet, QStringLiteral("gbGod9"), QStringLiteral("Лінія \"у 20 ___ році\""),
                                {{"edGodX_9", "Зліва"}, {"edGodY_9", "Зверху"}}, true));
    stack->addStretch(1);
    PageControl2->addTab(sheet, QStringLiteral("9 клас"));
  }
  {
    auto [sheet, stack] = GradeSheet(QStringLiteral("TabSheet4"));
    stack->addWidget(FieldGroup(sheet, QStringLiteral("gbLeftGender11"), QStringLiteral("Лінія \"здобу __\""),
                                {{"edLeftGenderX_11", "Зліва"}, {"edLeftGenderY_11", "Зверху"}}, true));
    stack->addWidget(FieldGroup(sheet, QStringLiteral("gbGod11"), QStringLiteral("Лінія \"в 20 ___ році\""),
                                {{"edGodX_11", "Зліва"}, {"edGodY_11", "Зверху"}}, true));
    stack->addStretch(1);
    PageControl2->addTab(sheet, QStringLiteral("11 клас"));
  }
  PageControl2->setCurrentIndex(0);
  left->addWidget(PageControl2);
  left->addStretch(1);
  columns->addLayout(left, 1);

  QVBoxLayout *right = Column();
  right->addWidget(FieldGroup(page, QStringLiteral("gbRightGender"),
                              QStringLiteral("Лінія \"Пройш ____ державну ...\""),
                              {{"edRightGenderX", "Зліва"}, {"edRightGenderY", "Зверху"}}, false));
  right->addWidget(FieldGroup(page, QStringLiteral("gbLeftSubj"), QStringLiteral("Лінії предметів лівої сторінки"),
                              {{"edLeftFirstSubjY", "Зверху перша лінія"},
                               {"edLeftFirstSubjX", "Зліва предмети"},
                               {"edLeftFirstMarkX", "Зліва оцінки"},
                               {"edLeftLastY", "Зверху остання лінія"}},
                              false));
  right->addWidget(FieldGroup(page, QStringLiteral("gbRightSubj"), QStringLiteral("Лінії предметів правої сторінки"),
                              {{"edRightFirstSubjY", "Зверху перша лінія"},
                               {"edRightFirstSubjX", "Зліва предмети"},
                               {"edRightFirstMarkX", "Зліва оцінки"},
                               {"edRightLastY", "Зверху остання лінія"},
                               {"edDpaFirstY", "Зверху перша лінія предметів ДПА"}},
                              false));
  right->addStretch(1);
  columns->addLayout(right, 1);
  return page;
}

QWidget *TBlankSettingsF::BuildBackPage()
{
  auto *page = new QWidget;
  page->setObjectName(QStringLiteral("TabSheet2"));
  QHBoxLayout *columns = PageColumns(page);

  QVBoxLayout *left = Column();
  left->addWidget(FieldGroup(page, QStringLiteral("gbBackTopGender"),
                             QStringLiteral("Лінія \"...успішно засвої ___\" "),
                             {{"edBackTopGenderX", "Зліва"}, {"edBackTopGenderY", "Зверху"}}, false));
  left->addWidget(FieldGroup(
      page, QStringLiteral("gbFacult"), QStringLiteral("Лінії факультативів"),
      {{"edFacultX", "Зліва (всі)"}, {"edFacultFirstY", "Зверху (перша)"}, {"edFacultLastY", "Зверху (остання)"}},
      false));
  {
    QGridLayout *grid = nullptr;
    QGroupBox *date = AddGroup(page, QStringLiteral("gbDate"), QStringLiteral("Лінії дати видачі"), grid);
    AddField(grid, 0, 0, QStringLiteral("edDateY"), QStringLiteral("Зверху (всі)"));
    grid->addWidget(FieldGroup(date, QStringLiteral("gbDateX"), QStringLiteral("Зліва лінії "),
                               {{"edDayX", "числа"}, {"edMonthX", "місяця"}, {"edYearX", "року"}}, false),
                    1, 0, 1, 2);
    left->addWidget(date);
  }
  left->addStretch(1);
  columns->addLayout(left);

  PageControl3 = new QTabWidget(page);
  PageControl3->setObjectName(QStringLiteral("PageControl3"));
  {
    auto [sheet, stack] = GradeSheet(QStringLiteral("TabSheet5"));
    QGridLayout *grid = nullptr;
    QGroupBox *get = AddGroup(sheet, QStringLiteral("gbGet1"), QStringLiteral("Лінія \"...одержа ___\" "), grid);
    AddField(grid, 0, 0, QStringLiteral("edGet1X"), QStringLiteral("Зліва"));
    AddField(grid, 0, 2, QStringLiteral("edGet1Y"), QStringLiteral("Зверху"));
    auto *below = new QLabel(QStringLiteral("Лінія трохи нижче:"), get);
    below->setObjectName(QStringLiteral("lblGet2Line"));
    grid->addWidget(below, 1, 0, 1, 2);
    AddField(grid, 1, 2, QStringLiteral("edGet2Y"), QStringLiteral("Зверху"));
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(4, 1);
    stack->addWidget(get);
    stack->addWidget(
        FieldGroup(sheet, QStringLiteral("gbAward9"), QStringLiteral("Лінії \"_____ нагороджен __\" "),
                   {{"edAwardY", "Зверху (обидві)"}, {"edBack9LowerGenderX", "Зліва Коротка (права) лінія"}}, false));
    stack->addWidget(FieldGroup(sheet, QStringLiteral("gbDirector9"), QStringLiteral("Лінія \"Директор\" "),
                                {{"edDirector9X", "Зліва"}, {"edDirector9Y", "Зверху"}}, true));
    stack->addWidget(FieldGroup(sheet, QStringLiteral("gbRegNum9"), QStringLiteral("Лінія \"Реєстраційний номер\" "),
                                {{"edRegNum9X", "Зліва"}, {"edRegNum9Y", "Зверху"}}, true));
    stack->addStretch(1);
    PageControl3->addTab(sheet, QStringLiteral("9 клас"));
  }
  {
    auto [sheet, stack] = GradeSheet(QStringLiteral("TabSheet6"));
    const std::pair<const char *, QString> groups[] = {
        {"Za", QStringLiteral("Лінія \"За ______ досягнення у\" ")},
        {"MedalluGender", QStringLiteral("Лінія \"нагороджен __ (медаллю)\" ")},
        {"Medallu", QStringLiteral("Лінія \"______ медаллю\" ")},
        {"Award11", QStringLiteral("Лінія \"вивченні ______ \" ")},
        {"Back11LowerGender", QStringLiteral("Лінія \"...нагороджен __ (Похв. грамотою)\" ")},
        {"Director11", QStringLiteral("Лінія \"Директор\" ")},
        {"RegNum11", QStringLiteral("Лінія \"Реєстраційний номер\" ")}};
    for (const auto &[item, caption] : groups) {
      const QByteArray x = QByteArray("ed") + item + "X";
      const QByteArray y = QByteArray("ed") + item + "Y";
      stack->addWidget(FieldGroup(sheet, QStringLiteral("gb") + QLatin1String(item), caption,
                                  {{x.constData(), "Зліва"}, {y.constData(), "Зверху"}}, true));
    }
    stack->addStretch(1);
    PageControl3->addTab(sheet, QStringLiteral("11 клас"));
  }
  PageControl3->setCurrentIndex(0);
  columns->addWidget(PageControl3, 1);
  return page;
}

std::pair<QWidget *, QVBoxLayout *> TBlankSettingsF::GradeSheet(const QString &name)
{
  auto *sheet = new QWidget;
  sheet->setObjectName(name);
  auto *stack = new QVBoxLayout(sheet);
  stack->setContentsMargins(6, 4, 6, 4);
  stack->setSpacing(2);
  return {sheet, stack};
}

void TBlankSettingsF::FieldsFromLayout()
{
  for (auto it = FFields.cbegin(); it != FFields.cend(); ++it) {
    const QString text = FLayout.FieldText(it.key());
    if (it.value()->text() != text)
      it.value()->setText(text);
  }
}

void TBlankSettingsF::SetLayoutCaption(const QString &displayName)
{
  const QString name = displayName.isEmpty() ? DefaultLayoutName() : displayName;
  setWindowTitle(QStringLiteral("%1: \"%2\"").arg(BaseCaption, name));
}

QString TBlankSettingsF::LayoutDisplayName(const QString &path)
{
  return path.isEmpty() ? QString() : QFileInfo(path).completeBaseName();
}

QString TBlankSettingsF::DefaultLayoutName()
{
  return QStringLiteral("За замовчуванням");
}

void TBlankSettingsF::SaveAs()
{
  if (!Dialogs::executeSave(this, SaveDlg))
    return;
  const QString path = SaveDlg.FileName;
  FLayout.SaveLayoutFile(path);
  FLayout.SetLayoutFileName(path);
}

bool TBlankSettingsF::Apply()
{
  bool written = false;
  RunGuarded(this, [this, &written] {
    const QString current = FLayout.LayoutFileName();
    if (!current.isEmpty())
      FLayout.SaveLayoutFile(current);
    else
      SaveAs();
    written = true;
  });
  if (!written)
    return false;
  // Posted, not sent: the main window refreshes once this handler is done,
  // through the modal loop when the dialog is shown.
  QObject *target = FAppliedTarget ? FAppliedTarget.data() : parent();
  if (target)
    QCoreApplication::postEvent(target, new QEvent(WM_LAYOUT_APPLIED));
  return true;
}

bool TBlankSettingsF::btnApplyClick()
{
  return Apply();
}

void TBlankSettingsF::btnOKClick()
{
  // After a failed write the dialog stays open, so nothing typed is lost.
  if (Apply())
    accept();
}

void TBlankSettingsF::btnSaveClick()
{
  RunGuarded(this, [this] { SaveAs(); });
}

void TBlankSettingsF::btnOpenClick()
{
  RunGuarded(this, [this] {
    if (!Dialogs::executeOpen(this, OpenDlg))
      return;
    const QString path = OpenDlg.FileName;
    FLayout.LoadLayoutFile(path);
    FLayout.SetLayoutFileName(path);
    FieldsFromLayout();
  });
}

bool TBlankSettingsF::edLeftFirstSubjXKeyPress(const QKeyEvent &key)
{
  return KeyTypesOnly(key, QStringLiteral("0123456789"));
}

bool TBlankSettingsF::edSeriaYKeyPress(const QKeyEvent &key)
{
  return KeyTypesOnly(key, QStringLiteral("0123456789,."));
}

bool TBlankSettingsF::eventFilter(QObject *watched, QEvent *event)
{
  if (event->type() == QEvent::KeyPress) {
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (edit && FFields.value(edit->objectName()) == edit) {
      const auto &key = *static_cast<QKeyEvent *>(event);
      const bool passes = TLayout::IsYField(edit->objectName()) ? edSeriaYKeyPress(key) : edLeftFirstSubjXKeyPress(key);
      if (!passes)
        return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TBlankSettingsF::showEvent(QShowEvent *event)
{
  // The fields always show the layout's texts, whatever changed them last.
  FieldsFromLayout();
  QDialog::showEvent(event);
}
