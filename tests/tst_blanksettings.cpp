// The layout dialog: its fields and their filters, Apply, OK, Cancel, Open
// and Save as, and the refresh notice it posts to the main window.

#include "app/frmBlankSettings.h"
#include "app/uDialogs.h"
#include "app/uSkin.h"
#include "layout/uLayout.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

/// Stands in for the main window: counts the refresh notices it receives.
class TAppliedReceiver : public QObject
{
public:
  int Count = 0;

protected:
  bool event(QEvent *event) override
  {
    if (event->type() == TBlankSettingsF::WM_LAYOUT_APPLIED) {
      ++Count;
      return true;
    }
    return QObject::event(event);
  }
};

/// Presses and releases a key on a widget, as the platform reports it.
void PressKey(QWidget *widget, int key, const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(widget, &release);
}

/// Types each character of `text` as a key press.
void TypeText(QWidget *widget, const QString &text)
{
  for (QChar c : text) {
    // Digits and punctuation share their codes with their keys.
    const int key = c.isLetter() ? int(Qt::Key_unknown) : int(c.unicode());
    PressKey(widget, key, QString(c));
  }
}

/// The texts of the tabs that hold `widget`, outermost first.
QStringList TabPath(const QWidget *widget)
{
  QStringList path;
  for (const QWidget *w = widget; w; w = w->parentWidget()) {
    const QWidget *page = w;
    // A tab page's parent is the tab control's stack, whose parent is the control.
    const QWidget *stack = page->parentWidget();
    if (stack)
      if (const auto *tabs = qobject_cast<const QTabWidget *>(stack->parentWidget())) {
        const int index = tabs->indexOf(page);
        if (index >= 0)
          path.prepend(tabs->tabText(index));
      }
  }
  return path;
}

QLabel *LabelOf(const QWidget *dialog, const QLineEdit *field)
{
  const QList<QLabel *> labels = dialog->findChildren<QLabel *>();
  for (QLabel *label : labels)
    if (label->buddy() == field)
      return label;
  return nullptr;
}

/// Where the skin draws a group's caption, in the group's coordinates.
QRect CaptionRect(const QGroupBox *group)
{
  QStyleOptionGroupBox option;
  option.initFrom(group);
  option.text = group->title();
  option.lineWidth = 1;
  option.textAlignment = group->alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  return group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
}

} // namespace

class TestBlankSettings : public QObject
{
  Q_OBJECT

private:
  std::unique_ptr<QTemporaryDir> FDir;
  std::unique_ptr<TLayout> FLayout;
  std::unique_ptr<TBlankSettingsF> FDlg;
  std::unique_ptr<TAppliedReceiver> FMain;

  QString Path(const QString &name) const { return FDir->filePath(name); }

  QLineEdit *Field(const QString &name) const { return FDlg->findChild<QLineEdit *>(name); }

  /// Replaces a field's text the way the user does: select all, type.
  void Retype(const QString &name, const QString &text)
  {
    QLineEdit *field = Field(name);
    field->selectAll();
    TypeText(field, text);
  }

  int Shown(const QString &kind) const
  {
    int count = 0;
    for (const Dialogs::TShown &shown : Dialogs::shown())
      count += shown.Kind == kind;
    return count;
  }

  QStringList Errors() const
  {
    QStringList texts;
    for (const Dialogs::TShown &shown : Dialogs::shown())
      if (shown.Kind == QLatin1String("message") && shown.MessageIcon == Dialogs::Icon::Error)
        texts << shown.Text;
    return texts;
  }

  /// The layout as a fresh start reads it from a file.
  static std::unique_ptr<TLayout> Reread(const QString &path)
  {
    auto layout = std::make_unique<TLayout>();
    layout->LoadLayoutFile(path);
    return layout;
  }

  QStringList FilesInDir() const { return QDir(FDir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }

  /// Shows the dialog modally and runs `steps` inside its loop; the steps
  /// close it. A guard rejects it after a while so that nothing hangs.
  int ExecWith(const std::function<void()> &steps)
  {
    QTimer::singleShot(0, FDlg.get(), steps);
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, FDlg.get(), &QDialog::reject);
    guard.start(10000);
    return FDlg->exec();
  }

private slots:
  void initTestCase()
  {
    ApplySkin(*qApp);
    Dialogs::setScripted(true);
  }

  void init()
  {
    Dialogs::clearScript();
    Dialogs::clearShown();
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FLayout = std::make_unique<TLayout>();
    FLayout->DialogToLayout();
    FMain = std::make_unique<TAppliedReceiver>();
    FDlg = std::make_unique<TBlankSettingsF>(*FLayout);
    FDlg->setLayoutAppliedTarget(FMain.get());
  }

  void cleanup()
  {
    FDlg.reset();
    FMain.reset();
    FLayout.reset();
    FDir.reset();
  }

  void fieldsStartWithTheirDefaults()
  {
    QCOMPARE(TLayout::FieldNames().size(), 61);
    QCOMPARE(FDlg->findChildren<QLineEdit *>().size(), 61);
    for (const QString &name : TLayout::FieldNames()) {
      QLineEdit *field = Field(name);
      QVERIFY2(field, qPrintable(name));
      QCOMPARE(FDlg->Field(name), field);
      QCOMPARE(field->text(), TLayout::FieldDefaultText(name));
      QVERIFY2(field->font().bold() == TLayout::IsYField(name), qPrintable(name));
      QVERIFY2(LabelOf(FDlg.get(), field), qPrintable(name));
    }
  }

  void windowAndButtons()
  {
    QCOMPARE(FDlg->windowTitle(), QStringLiteral("Налаштування макету бланка Додатку"));
    QVERIFY(FDlg->windowFlags() & Qt::WindowStaysOnTopHint);
    FDlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(FDlg.get()));

    const QList<QPair<QString, QString>> buttons = {{"btnOpen", "Відкрити..."},
                                                    {"btnSave", "Зберегти як..."},
                                                    {"btnOK", "OK"},
                                                    {"btnCancel", "Скасувати"},
                                                    {"btnApply", "Застосувати"}};
    int lastX = -1;
    for (const auto &[name, caption] : buttons) {
      auto *button = FDlg->findChild<QPushButton *>(name);
      QVERIFY2(button, qPrintable(name));
      QCOMPARE(button->text(), caption);
      const int x = button->mapTo(FDlg.get(), QPoint(0, 0)).x();
      QVERIFY2(x > lastX, qPrintable(name));
      lastX = x;
    }
    QVERIFY(FDlg->btnOK->isDefault());

    QCOMPARE(FDlg->lblNotice->text().split(QLatin1Char('\n')),
             QStringList({QStringLiteral("Всі відстані вимірюються в мм"),
                          QStringLiteral("від лівого та верхнього країв паперу до ліній.")}));
    QVERIFY(FDlg->lblNotice->font().bold());

    auto *outer = FDlg->findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    QVERIFY(outer);
    QCOMPARE(outer->count(), 2);
    QCOMPARE(outer->tabText(0), QStringLiteral("Розворот з оцінками"));
    QCOMPARE(outer->tabText(1), QStringLiteral("Задня частина"));
    QCOMPARE(outer->currentIndex(), 0);
    for (QTabWidget *inner : {FDlg->PageControl2, FDlg->PageControl3}) {
      QCOMPARE(inner->count(), 2);
      QCOMPARE(inner->tabText(0), QStringLiteral("9 клас"));
      QCOMPARE(inner->tabText(1), QStringLiteral("11 клас"));
      QCOMPARE(inner->currentIndex(), 0);
    }
  }

  void fieldPlacement_data()
  {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("tabs");

    const QString front = QStringLiteral("Розворот з оцінками");
    const QString back = QStringLiteral("Задня частина");
    const QString g9 = QStringLiteral("9 клас");
    const QString g11 = QStringLiteral("11 клас");
    auto row = [](const char *field, const char *label, const char *group, const QStringList &tabs) {
      QTest::newRow(field) << QString::fromUtf8(field) << QString::fromUtf8(label) << QString::fromUtf8(group) << tabs;
    };
    row("edPageHeight", "Висота бланку:", "", {});
    row("edPageWidth", "Ширина бланку:", "", {});
    row("edNumberX", "Номер зліва", "Лінії серії та номера атестату", {front});
    row("edFio2Y", "Зверху (друга)", "Лінії ПІБ", {front});
    row("edSchool1Y", "Зверху (перша)", "Лінії назви навчального закладу", {front});
    row("edRightGenderX", "Зліва", "Лінія \"Пройш ____ державну ...\"", {front});
    row("edLeftGenderY_9", "Зверху", "Лінія \"закінчи __\"", {front, g9});
    row("edGodX_9", "Зліва", "Лінія \"у 20 ___ році\"", {front, g9});
    row("edLeftGenderX_11", "Зліва", "Лінія \"здобу __\"", {front, g11});
    row("edGodY_11", "Зверху", "Лінія \"в 20 ___ році\"", {front, g11});
    row("edLeftLastY", "Зверху остання лінія", "Лінії предметів лівої сторінки", {front});
    row("edDpaFirstY", "Зверху перша лінія предметів ДПА", "Лінії предметів правої сторінки", {front});
    row("edBackTopGenderX", "Зліва", "Лінія \"...успішно засвої ___\" ", {back});
    row("edFacultLastY", "Зверху (остання)", "Лінії факультативів", {back});
    row("edDateY", "Зверху (всі)", "Лінії дати видачі", {back});
    row("edMonthX", "місяця", "Зліва лінії ", {back});
    row("edGet2Y", "Зверху", "Лінія \"...одержа ___\" ", {back, g9});
    row("edBack9LowerGenderX", "Зліва Коротка (права) лінія", "Лінії \"_____ нагороджен __\" ", {back, g9});
    row("edDirector9Y", "Зверху", "Лінія \"Директор\" ", {back, g9});
    row("edRegNum9X", "Зліва", "Лінія \"Реєстраційний номер\" ", {back, g9});
    row("edZaX", "Зліва", "Лінія \"За ______ досягнення у\" ", {back, g11});
    row("edMedalluGenderY", "Зверху", "Лінія \"нагороджен __ (медаллю)\" ", {back, g11});
    row("edMedalluX", "Зліва", "Лінія \"______ медаллю\" ", {back, g11});
    row("edAward11Y", "Зверху", "Лінія \"вивченні ______ \" ", {back, g11});
    row("edBack11LowerGenderX", "Зліва", "Лінія \"...нагороджен __ (Похв. грамотою)\" ", {back, g11});
    row("edDirector11X", "Зліва", "Лінія \"Директор\" ", {back, g11});
    row("edRegNum11Y", "Зверху", "Лінія \"Реєстраційний номер\" ", {back, g11});
  }

  void fieldPlacement()
  {
    QFETCH(QString, field);
    QFETCH(QString, label);
    QFETCH(QString, group);
    QFETCH(QStringList, tabs);

    QLineEdit *edit = Field(field);
    QVERIFY(edit);
    QLabel *caption = LabelOf(FDlg.get(), edit);
    QVERIFY(caption);
    QCOMPARE(caption->text(), label);
    QString groupCaption;
    for (QWidget *w = edit->parentWidget(); w; w = w->parentWidget())
      if (auto *box = qobject_cast<QGroupBox *>(w)) {
        groupCaption = box->title();
        break;
      }
    QCOMPARE(groupCaption, group);
    QCOMPARE(TabPath(edit), tabs);
  }

  void everythingFitsUnclipped()
  {
    FDlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(FDlg.get()));
    QCOMPARE(FDlg->size(), QSize(681, 548));

    QSet<QString> seen;
    for (int side = 0; side < 2; ++side)
      for (int grade = 0; grade < 2; ++grade) {
        FDlg->PageControl1->setCurrentIndex(side);
        FDlg->PageControl2->setCurrentIndex(grade);
        FDlg->PageControl3->setCurrentIndex(grade);
        QApplication::processEvents();
        const QRect dialogRect = FDlg->rect();
        auto inside = [&](const QWidget *w) {
          return dialogRect.contains(QRect(w->mapTo(FDlg.get(), QPoint(0, 0)), w->size()));
        };
        for (QLabel *label : FDlg->findChildren<QLabel *>()) {
          if (!label->isVisibleTo(FDlg.get()))
            continue;
          QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
          QVERIFY2(label->height() >= label->sizeHint().height(), qPrintable(label->text()));
          QVERIFY2(inside(label), qPrintable(label->text()));
        }
        for (QGroupBox *group : FDlg->findChildren<QGroupBox *>()) {
          if (!group->isVisibleTo(FDlg.get()))
            continue;
          QVERIFY2(group->rect().contains(CaptionRect(group)), qPrintable(group->title()));
          QVERIFY2(inside(group), qPrintable(group->title()));
        }
        for (QLineEdit *field : FDlg->findChildren<QLineEdit *>()) {
          if (!field->isVisibleTo(FDlg.get()))
            continue;
          seen.insert(field->objectName());
          QVERIFY2(inside(field), qPrintable(field->objectName()));
          // The label stands on the field's left, on the same line.
          const QLabel *label = LabelOf(FDlg.get(), field);
          const QRect labelRect(label->mapTo(FDlg.get(), QPoint(0, 0)), label->size());
          const QRect fieldRect(field->mapTo(FDlg.get(), QPoint(0, 0)), field->size());
          QVERIFY2(labelRect.right() < fieldRect.left(), qPrintable(field->objectName()));
          QVERIFY2(labelRect.top() < fieldRect.bottom() && fieldRect.top() < labelRect.bottom(),
                   qPrintable(field->objectName()));
        }
        for (QPushButton *button : FDlg->findChildren<QPushButton *>()) {
          QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
          QVERIFY2(inside(button), qPrintable(button->text()));
        }
      }
    QCOMPARE(seen.size(), 61);
  }

  void typedCharacterFilters_data()
  {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("inX");
    QTest::addColumn<bool>("inY");
    QTest::newRow("minus") << "-" << false << false;
    QTest::newRow("space") << " " << false << false;
    QTest::newRow("latin letter") << "a" << false << false;
    QTest::newRow("cyrillic letter") << "б" << false << false;
    QTest::newRow("plus") << "+" << false << false;
    QTest::newRow("comma") << "," << false << true;
    QTest::newRow("point") << "." << false << true;
    QTest::newRow("digit") << "7" << true << true;
  }

  void typedCharacterFilters()
  {
    QFETCH(QString, typed);
    QFETCH(bool, inX);
    QFETCH(bool, inY);
    for (const QString &name : TLayout::FieldNames()) {
      QLineEdit *field = Field(name);
      const QString before = field->text();
      field->end(false);
      TypeText(field, typed);
      const bool allowed = TLayout::IsYField(name) ? inY : inX;
      QCOMPARE(field->text(), allowed ? before + typed : before);
      // What the field shows is what the layout will take.
      QCOMPARE(FLayout->FieldText(name), field->text());
    }
  }

  void editingKeys_data()
  {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<QString>("expected");
    // Backspace acts at the end of the default text, Delete at its start,
    // the Ctrl keys on the whole text selected.
    QTest::newRow("Backspace, X field") << "edSeriaX" << int(Qt::Key_Backspace) << "\b" << false << "3";
    QTest::newRow("Backspace, Y field") << "edLeftLastY" << int(Qt::Key_Backspace) << "\b" << false << "13";
    QTest::newRow("Backspace, page size") << "edPageHeight" << int(Qt::Key_Backspace) << "\b" << false << "14";
    QTest::newRow("Delete, X field") << "edRightFirstMarkX" << int(Qt::Key_Delete) << "\x7f" << false << "75";
    QTest::newRow("Delete, Y field") << "edLeftLastY" << int(Qt::Key_Delete) << "\x7f" << false << "38";
    QTest::newRow("Ctrl+V, X field") << "edSeriaX" << int(Qt::Key_V) << "\x16" << true << "30";
    QTest::newRow("Ctrl+V, Y field") << "edSeriaY" << int(Qt::Key_V) << "\x16" << true << "22";
    QTest::newRow("Ctrl+V reported without text") << "edSeriaY" << int(Qt::Key_V) << "" << true << "22";
    QTest::newRow("Ctrl+X, Y field") << "edSeriaY" << int(Qt::Key_X) << "\x18" << true << "22";
  }

  void editingKeys()
  {
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, ctrl);
    QFETCH(QString, expected);

    QApplication::clipboard()->setText(QStringLiteral("77"));
    // An unfiltered field does paste here, so a paste that got through
    // would show below.
    QLineEdit plain;
    PressKey(&plain, Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
    QCOMPARE(plain.text(), QStringLiteral("77"));

    QLineEdit *edit = Field(field);
    if (ctrl)
      edit->selectAll();
    else if (key == Qt::Key_Delete)
      edit->home(false);
    else
      edit->end(false);
    PressKey(edit, key, text, ctrl ? Qt::ControlModifier : Qt::NoModifier);
    QCOMPARE(edit->text(), expected);
    QCOMPARE(FLayout->FieldText(field), expected);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("77"));
  }

  void fieldsFollowTheLayout()
  {
    FLayout->Line(TLayoutItem::SeriaLine)->SetX(50);
    FLayout->Line(TLayoutItem::FacultFirstLine)->SetY(31.5);
    FLayout->LayoutToDialog();
    FDlg->FieldsFromLayout();
    QCOMPARE(Field("edSeriaX")->text(), QStringLiteral("50"));
    QCOMPARE(Field("edFacultFirstY")->text(), FLayout->FieldText("edFacultFirstY"));
    QVERIFY(Field("edFacultFirstY")->text().startsWith(QStringLiteral("31")));
  }

  void applyWithCurrentFile()
  {
    const QString path = Path(QStringLiteral("current.blf"));
    FLayout->SetLayoutFileName(path);
    FDlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(FDlg.get()));
    Retype(QStringLiteral("edSeriaX"), QStringLiteral("33"));

    QTest::mouseClick(FDlg->btnApply, Qt::LeftButton);
    // Posted, not yet delivered: the main window refreshes after the handler.
    QCOMPARE(FMain->Count, 0);
    QCOMPARE(Shown(QStringLiteral("save")), 0);
    QVERIFY(QFile::exists(path));
    QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->X(), 33);
    QCOMPARE(Reread(path)->Line(TLayoutItem::SeriaLine)->X(), 33);
    QVERIFY(FDlg->isVisible());
    QTRY_COMPARE(FMain->Count, 1);
    QTest::qWait(20);
    QCOMPARE(FMain->Count, 1);
  }

  void applyNoticeArrivesWhileModal()
  {
    FLayout->SetLayoutFileName(Path(QStringLiteral("current.blf")));
    int countInside = -1;
    const int result = ExecWith([&] {
      QTest::mouseClick(FDlg->btnApply, Qt::LeftButton);
      QTimer::singleShot(50, FDlg.get(), [&] {
        countInside = FMain->Count;
        FDlg->btnCancel->click();
      });
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(countInside, 1);
    QCOMPARE(FMain->Count, 1);
  }

  void applyWithoutFile_data()
  {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("save dialog cancelled") << QString() << QString();
    QTest::newRow("name without extension") << QStringLiteral("Новий") << QStringLiteral("Новий.blf");
  }

  void applyWithoutFile()
  {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    const bool confirmed = !chosen.isEmpty();
    Retype(QStringLiteral("edSeriaX"), QStringLiteral("44"));
    Dialogs::setNextFileName(confirmed ? Path(chosen) : QString());

    FDlg->btnApply->click();
    QCOMPARE(Shown(QStringLiteral("save")), 1);
    QCOMPARE(Dialogs::shown().constFirst().Text, QStringLiteral("Файли макетів бланків (*.blf)|*.blf"));
    QCOMPARE(FDlg->SaveDlg.DefaultExt, QStringLiteral("blf"));
    QVERIFY(FDlg->SaveDlg.ConfirmOverwrite);
    QTRY_COMPARE(FMain->Count, 1);
    QCOMPARE(Field("edSeriaX")->text(), QStringLiteral("44"));
    if (!confirmed) {
      QVERIFY(FilesInDir().isEmpty());
      QCOMPARE(FLayout->LayoutFileName(), QString());
      QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->X(), 30);
      return;
    }
    QCOMPARE(FilesInDir(), QStringList(written));
    QCOMPARE(FLayout->LayoutFileName(), Path(written));
    QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->X(), 44);

    // Later Applies write the same file without asking.
    Retype(QStringLiteral("edSeriaX"), QStringLiteral("55"));
    FDlg->btnApply->click();
    QCOMPARE(Shown(QStringLiteral("save")), 1);
    QCOMPARE(Reread(Path(written))->Line(TLayoutItem::SeriaLine)->X(), 55);
    QTRY_COMPARE(FMain->Count, 2);
  }

  void enterAppliesAndCloses()
  {
    const QString path = Path(QStringLiteral("current.blf"));
    FLayout->SetLayoutFileName(path);
    const int result = ExecWith([&] {
      QLineEdit *seriaY = Field(QStringLiteral("edSeriaY"));
      seriaY->setFocus();
      Retype(QStringLiteral("edSeriaY"), QStringLiteral("12,5"));
      QTest::keyClick(seriaY, Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->Y(), 12.5);
    QCOMPARE(FLayout->Line(TLayoutItem::NumberLine)->Y(), 12.5);
    const auto reread = Reread(path);
    QCOMPARE(reread->Line(TLayoutItem::SeriaLine)->Y(), 12.5);
    QCOMPARE(reread->Line(TLayoutItem::NumberLine)->Y(), 12.5);
    QTRY_COMPARE(FMain->Count, 1);
  }

  void okClosesAlsoWhenNothingWritten()
  {
    const int result = ExecWith([&] { FDlg->btnOK->click(); });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(Shown(QStringLiteral("save")), 1);
    QVERIFY(FilesInDir().isEmpty());
    QTRY_COMPARE(FMain->Count, 1);
  }

  void failedWrite_data()
  {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("hasCurrentFile");
    QTest::newRow("Apply to the current file") << "btnApply" << true;
    QTest::newRow("Apply through Save as") << "btnApply" << false;
    QTest::newRow("OK") << "btnOK" << true;
    QTest::newRow("Save as") << "btnSave" << true;
  }

  void failedWrite()
  {
    QFETCH(QString, button);
    QFETCH(bool, hasCurrentFile);
    QFile blocker(Path(QStringLiteral("plain")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString target = Path(QStringLiteral("plain/layout.blf"));
    const bool saveAs = button == QLatin1String("btnSave") || !hasCurrentFile;
    const QString current = !hasCurrentFile ? QString() : saveAs ? Path(QStringLiteral("old.blf")) : target;
    FLayout->SetLayoutFileName(current);
    if (saveAs)
      Dialogs::setNextFileName(target);
    Retype(QStringLiteral("edSeriaX"), QStringLiteral("66"));

    bool openAfter = false;
    const int result = ExecWith([&] {
      FDlg->findChild<QPushButton *>(button)->click();
      QTimer::singleShot(50, FDlg.get(), [&] {
        openAfter = FDlg->isVisible();
        FDlg->reject();
      });
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(openAfter);
    QCOMPARE(Errors(), QStringList(QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(target)));
    QCOMPARE(FMain->Count, 0);
    QCOMPARE(FLayout->LayoutFileName(), current);
    QCOMPARE(FilesInDir(), QStringList(QStringLiteral("plain")));
    QCOMPARE(Field("edSeriaX")->text(), QStringLiteral("66"));
  }

  void saveAsMakesTheFileCurrent()
  {
    const QString first = Path(QStringLiteral("first.blf"));
    FLayout->SetLayoutFileName(first);
    Retype(QStringLiteral("edFio1X"), QStringLiteral("8"));
    Dialogs::setNextFileName(Path(QStringLiteral("копія")));
    FDlg->btnSave->click();
    const QString copy = Path(QStringLiteral("копія.blf"));
    QCOMPARE(FLayout->LayoutFileName(), copy);
    QCOMPARE(Reread(copy)->Line(TLayoutItem::Fio2Line)->X(), 8);
    QVERIFY(!QFile::exists(first));
    // Save as leaves the main window's refresh to the next Apply.
    QTest::qWait(20);
    QCOMPARE(FMain->Count, 0);
  }

  void openThenCancelKeepsOpenedLayout()
  {
    const QString path = Path(QStringLiteral("opened.blf"));
    {
      TLayout writer;
      writer.SetFieldText(QStringLiteral("edSeriaX"), QStringLiteral("40"));
      writer.SetFieldText(QStringLiteral("edFacultX"), QStringLiteral("20"));
      writer.SaveLayoutFile(path);
    }
    const QString caption = FDlg->windowTitle();
    Dialogs::setNextFileName(path);
    const int result = ExecWith([&] {
      FDlg->btnOpen->click();
      FDlg->btnCancel->click();
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(Shown(QStringLiteral("open")), 1);
    QVERIFY(!FDlg->OpenDlg.MustExist);
    QCOMPARE(FDlg->OpenDlg.DefaultExt, QStringLiteral("blf"));
    QCOMPARE(FLayout->LayoutFileName(), path);
    QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->X(), 40);
    QCOMPARE(FLayout->Line(TLayoutItem::AwardLine)->X(), 20);
    QCOMPARE(Field("edSeriaX")->text(), QStringLiteral("40"));
    QCOMPARE(Field("edFacultX")->text(), QStringLiteral("20"));
    QCOMPARE(FDlg->windowTitle(), caption);
    QTest::qWait(20);
    QCOMPARE(FMain->Count, 0);
  }

  void openMissingPathResetsToDefaults()
  {
    Retype(QStringLiteral("edSeriaX"), QStringLiteral("99"));
    Retype(QStringLiteral("edSeriaY"), QStringLiteral("1.5"));
    FLayout->DialogToLayout();
    QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->X(), 99);

    const QString missing = Path(QStringLiteral("missing.blf"));
    Dialogs::setNextFileName(missing);
    FDlg->btnOpen->click();
    QCOMPARE(FLayout->LayoutFileName(), missing);
    QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->X(), 30);
    QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->Y(), 22.0);
    QCOMPARE(Field("edSeriaX")->text(), QStringLiteral("30"));
    QCOMPARE(Field("edSeriaY")->text(), QStringLiteral("22"));
    QVERIFY(!QFile::exists(missing));

    FDlg->btnApply->click();
    QCOMPARE(Shown(QStringLiteral("save")), 0);
    QVERIFY(QFile::exists(missing));
    QCOMPARE(Reread(missing)->Line(TLayoutItem::SeriaLine)->X(), 30);
    QTRY_COMPARE(FMain->Count, 1);
  }

  void typedValuesSurviveCancel()
  {
    const QString path = Path(QStringLiteral("current.blf"));
    FLayout->SetLayoutFileName(path);
    int result = ExecWith([&] {
      Retype(QStringLiteral("edSeriaX"), QStringLiteral("77"));
      QTest::keyClick(Field(QStringLiteral("edSeriaX")), Qt::Key_Escape);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->X(), 30);
    QVERIFY(!QFile::exists(path));

    QString shownAgain;
    result = ExecWith([&] {
      shownAgain = Field(QStringLiteral("edSeriaX"))->text();
      FDlg->reject();
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(shownAgain, QStringLiteral("77"));

    // The main window's save action applies without showing the dialog.
    FDlg->btnApplyClick();
    QCOMPARE(FLayout->Line(TLayoutItem::SeriaLine)->X(), 77);
    QCOMPARE(Reread(path)->Line(TLayoutItem::SeriaLine)->X(), 77);
    QTRY_COMPARE(FMain->Count, 1);
  }

  void displayNameAndCaption_data()
  {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const QString caption = QStringLiteral("Налаштування макету бланка Додатку: \"%1\"");
    QTest::newRow("file in a folder") << QStringLiteral("/home/vchytel/Бланки/Мій макет.blf")
                                      << QStringLiteral("Мій макет") << caption.arg(QStringLiteral("Мій макет"));
    QTest::newRow("dots in the name") << QStringLiteral("/tmp/макет.2013.blf") << QStringLiteral("макет.2013")
                                      << caption.arg(QStringLiteral("макет.2013"));
    QTest::newRow("no folder") << QStringLiteral("Новий.blf") << QStringLiteral("Новий")
                               << caption.arg(QStringLiteral("Новий"));
    QTest::newRow("no file") << QString() << QString() << caption.arg(QStringLiteral("За замовчуванням"));
  }

  void displayNameAndCaption()
  {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QCOMPARE(TBlankSettingsF::LayoutDisplayName(path), name);
    FDlg->SetLayoutCaption(TBlankSettingsF::LayoutDisplayName(path));
    QCOMPARE(FDlg->windowTitle(), caption);
  }
};

QTEST_MAIN(TestBlankSettings)
#include "tst_blanksettings.moc"
