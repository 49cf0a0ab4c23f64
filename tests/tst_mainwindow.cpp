// The main window driven as a user would: start state, modes, the ribbon,
// the workbook import and the template, with every dialog answered by script.

#include "app/frmMain.h"
#include "app/uAppStart.h"
#include "app/uIcons.h"
#include "app/uPreviewImage.h"
#include "app/uSkin.h"
#include "app/uTitledMenu.h"
#include "store/uAppPaths.h"
#include "web/CommonNetUtils.h"

#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QString Fixture(const QString &name)
{
  return QStringLiteral(ORNAVEL_FIXTURES "/") + name;
}

QImage IconImage(const QIcon &icon)
{
  return icon.pixmap(32, 32).toImage();
}

} // namespace

class TestMainWindow : public QObject
{
  Q_OBJECT

private:
  std::unique_ptr<QTemporaryDir> FFolder;
  std::unique_ptr<TMainF> FMain;
  QStringList FOpened;

  TMainF &Main() { return *FMain; }

  /// Imports a workbook through the scripted open dialog.
  void Import(const QString &path)
  {
    Dialogs::setNextFileName(path);
    Main().acImportFromExcel->trigger();
  }

private slots:
  void initTestCase()
  {
    PrepareWindowTests();
    SetOpenUrlHandler([this](const QString &address) {
      FOpened << address;
      return !address.contains(QLatin1String("fail"));
    });
  }

  void init()
  {
    FFolder = std::make_unique<QTemporaryDir>();
    QVERIFY(FFolder->isValid());
    ResetWindowTest(*FFolder);
    FOpened.clear();
    FMain = std::make_unique<TMainF>();
    FMain->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
  }

  void cleanup()
  {
    FMain.reset();
    SetProgramFolderOverride(QString());
  }

  void firstStartState()
  {
    QCOMPARE(Main().CurrentGrade, 1);
    QCOMPARE(Main().acSetClass->data().toInt(), 9);
    QCOMPARE(IconImage(Main().acSetClass->icon()), IconImage(RibbonImage(TRibbonImage::Grade9)));
    QVERIFY(!Main().acSideSwitch->isChecked());
    QVERIFY(Main().acBlankAppearance->isChecked());
    QVERIFY(Main().ImgBlank->isVisible());
    QVERIFY(Main().ImgPreview->transparent());
    QCOMPARE(Main().lbPupils->count(), 0);
    QVERIFY(!Main().acPrint->isEnabled());
    QVERIFY(!Main().acSelectPrinter->isEnabled());
    WaitIdle();
    QVERIFY(!Main().acOpenBackData->isEnabled());
    QVERIFY(!Main().acSaveBackData->isEnabled());
    QVERIFY(!Main().acUndo->isEnabled());
    QVERIFY(!Main().acSaveBlankSettings->isEnabled());
    QVERIFY(Main().lblModified->isHidden());
    QCOMPARE(Main().HelpText(), TMainF::T1 + QStringLiteral("\r\r"));
    QCOMPARE(Main().windowTitle(), QStringLiteral("Орнавел 2013 2.2.2 - Налаштування макету: \"За замовчуванням\""));
    QCOMPARE(Main().sPageControl1->currentWidget(), Main().tshData);
    QCOMPARE(Main().ImgPreviewTag, -1);
    QCOMPARE(Main().ImgPreview->toolTip(), TMainF::HintZoom);
    QCOMPARE(ApplicationTitle(), QStringLiteral("Орнавел 2013"));
    QVERIFY(Dialogs::shown().isEmpty());
  }

  void ribbonTabs()
  {
    const QStringList expected{QStringLiteral("Файл        "), QStringLiteral("Дані"), QStringLiteral("Вигляд"),
                               QStringLiteral("Макет"),        QStringLiteral("Друк"), QStringLiteral("Допомога")};
    QStringList captions;
    for (int i = 0; i < Main().sPageControl1->count(); ++i)
      captions << Main().sPageControl1->tabText(i);
    QCOMPARE(captions, expected);
    QCOMPARE(Main().sPageControl1->tabBar()->tabRect(1).height(), 24);
    QCOMPARE(Main().sPageControl1->tabBar()->tabRect(1).width(), 100);
  }

  void fileTabDropsMainMenu()
  {
    Main().sPageControl1->setCurrentWidget(Main().tshView);
    QTabBar *bar = Main().sPageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QTRY_VERIFY(Main().MainMenu->isVisible());
    QCOMPARE(Main().sPageControl1->currentWidget(), Main().tshView);
    Main().MainMenu->hide();
    // Reaching the tab by keyboard drops the menu too, and the page stays.
    Main().sPageControl1->setCurrentIndex(0);
    QTRY_VERIFY(Main().MainMenu->isVisible());
    QCOMPARE(Main().sPageControl1->currentWidget(), Main().tshView);
    Main().MainMenu->hide();
  }

  void mainMenuOrder()
  {
    QStringList items;
    for (QAction *action : Main().MainMenu->actions())
      items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    const QStringList expected{QStringLiteral("Спільні дані..."),
                               QStringLiteral("-"),
                               QStringLiteral("Відкрити шаблон Excel..."),
                               QStringLiteral("Імпорт з MS Excel..."),
                               QStringLiteral("Налаштувати макет бланку..."),
                               QStringLiteral("Друк"),
                               QStringLiteral("-"),
                               QStringLiteral("Допомога..."),
                               QStringLiteral("Перевірити доступні оновлення зараз..."),
                               QStringLiteral("Про програму..."),
                               QStringLiteral("-"),
                               QStringLiteral("Вихід")};
    QCOMPARE(items, expected);
    QCOMPARE(Main().MainMenu->stripTitle(), QStringLiteral("Орнавел 2013"));
    QMenu *print = Main().MainMenu->actions().at(5)->menu();
    QVERIFY(print);
    QCOMPARE(print->actions(), (QList<QAction *>{Main().acPrint, Main().acSelectPrinter}));
    QCOMPARE(Main().PrintMenu->defaultAction(), Main().acPrint);
    QStringList popup;
    for (QAction *action : Main().MainPopupMenu->actions())
      popup << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(popup, (QStringList{QStringLiteral("Скасувати"), QStringLiteral("-"),
                                 QStringLiteral("Використовувати місце знизу лівої сторінки"),
                                 QStringLiteral("Використовувати місце зверху правої сторінки")}));
    QVERIFY(!Main().mAllowDopBottomRow->isChecked());
    QVERIFY(!Main().mAllowDopTopRow->isChecked());
  }

  void actionTable_data()
  {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("checked");
    auto row = [](const char *name, const char *caption, const char *hint, const char *shortcut, bool enabled,
                  bool checked = false) {
      QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << QString::fromUtf8(hint)
                          << QString::fromLatin1(shortcut) << enabled << checked;
    };
    row("acImportFromExcel", "Імпорт з MS Excel...", "Імпортувати дані з MS Excel...", "Ctrl+O", true);
    row("acBlankAppearance", "Показати бланк", "Показати / Сховати бланк додатку", "", true, true);
    row("acBlankSettings", "Налаштувати макет бланку...", "Налаштувати макет бланку...", "", true);
    row("acSharedData", "Спільні дані...", "Редагування загальних для всіх учнів даних...", "", true);
    row("acPrint", "Друк на поточний принтер", "Виведення на поточний принтер", "Ctrl+P", false);
    row("acSideSwitch", "Перегорнути додаток", "Розворот з оцінками або задня сторона", "", true);
    row("acSelectPrinter", "Друк із вибором принтера...", "Друк після діалогу вибору принтера", "Ctrl+Alt+P", false);
    row("acOpenTemplate", "Відкрити шаблон Excel...", "Відкрити шаблон Excel для введення/редагування даних...", "",
        true);
    row("acSetClass", "Поточний клас", "Перемикання класу", "", true);
    row("acFonts", "Шрифти...", "Налаштування шрифтів...", "", true);
    row("acHelp", "Допомога...", "Більше допомоги в Інтернеті...", "", true);
    row("acShowAbout", "Про програму...", "Про програму...", "", true);
    row("acSaveBlankSettings", "Зберегти зміни макету", "Зберегти зміни макету", "Ctrl+S", false);
    row("acUndo", "Скасувати", "Скасувати останню зміну макета", "Ctrl+Z", false);
    row("acCheckUpdate", "Перевірити доступні оновлення зараз...",
        "Перевірити наявність нової версії зараз!<p>Необхідно активне підключення до Інтернету", "", true);
    row("acOpenBackData", "Відкрити дані задньої сторінки...", "Відкрити збережені дані задньої сторінки...", "",
        false);
    row("acSaveBackData", "Зберегти дані задньої сторінки...", "Зберегти дані задньої сторінки...", "", false);
  }

  void actionTable()
  {
    QFETCH(QString, name);
    auto *action = Main().findChild<QAction *>(name);
    QVERIFY2(action, qPrintable(name));
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(QString, shortcut);
    QFETCH(bool, enabled);
    QFETCH(bool, checked);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->toolTip(), hint);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    QCOMPARE(action->isEnabled(), enabled);
    QCOMPARE(action->isChecked(), checked);
  }

  void gradeToggleTwiceReturns()
  {
    Main().acSetClass->trigger();
    QCOMPARE(Main().CurrentGrade, 2);
    QCOMPARE(Main().acSetClass->data().toInt(), 11);
    QCOMPARE(IconImage(Main().acSetClass->icon()), IconImage(RibbonImage(TRibbonImage::Grade11)));
    QCOMPARE(Main().acSetClass->text(), QStringLiteral("Поточний клас"));
    Main().acSetClass->trigger();
    QCOMPARE(Main().CurrentGrade, 1);
    QCOMPARE(Main().acSetClass->data().toInt(), 9);
    QCOMPARE(IconImage(Main().acSetClass->icon()), IconImage(RibbonImage(TRibbonImage::Grade9)));
  }

  void turnOverWithoutPupils()
  {
    Main().acSideSwitch->trigger();
    QVERIFY(Main().BackSideShown());
    QVERIFY(Main().acPrint->isEnabled());
    QVERIFY(Main().acSelectPrinter->isEnabled());
    QVERIFY(!Main().lbPupils->isEnabled());
    QCOMPARE(Main().HelpText(), TMainF::T4 + QStringLiteral("\r\r") + TMainF::T5 + QStringLiteral("\r\r"));
    QCOMPARE(Main().ImgPreview->toolTip(), TMainF::HintClickFields);
    QCOMPARE(Main().ImgPreview->contextMenuPolicy(), Qt::PreventContextMenu);
    QVERIFY(Main().rgGender->isVisibleTo(Main().PanelPreview));
    // The back-side file actions follow when the window becomes idle.
    QVERIFY(!Main().acOpenBackData->isEnabled());
    WaitIdle();
    QVERIFY(Main().acOpenBackData->isEnabled());
    QVERIFY(Main().acSaveBackData->isEnabled());

    Main().acSideSwitch->trigger();
    QVERIFY(!Main().BackSideShown());
    QVERIFY(!Main().acPrint->isEnabled());
    QVERIFY(!Main().acSelectPrinter->isEnabled());
    QVERIFY(Main().lbPupils->isEnabled());
    QCOMPARE(Main().HelpText(), TMainF::T1 + QStringLiteral("\r\r"));
    QCOMPARE(Main().ImgPreview->toolTip(), TMainF::HintZoom);
    QCOMPARE(Main().ImgPreview->contextMenuPolicy(), Qt::CustomContextMenu);
    QVERIFY(!Main().rgGender->isVisibleTo(Main().PanelPreview));
    WaitIdle();
    QVERIFY(!Main().acOpenBackData->isEnabled());
    QVERIFY(!Main().acSaveBackData->isEnabled());
  }

  void turnOverHidesShownFields_data()
  {
    QTest::addColumn<bool>("fromBack");
    QTest::newRow("back to spread") << true;
    QTest::newRow("spread to back") << false;
  }

  void turnOverHidesShownFields()
  {
    QFETCH(bool, fromBack);
    if (fromBack)
      Main().acSideSwitch->trigger();
    const QList<QWidget *> backFields{Main().mmFacults, Main().edGet,      Main().edAward,
                                      Main().edMedal,   Main().edDirector, Main().edRegNum};
    // The fields of the side shown are up (as a click on the preview leaves them).
    if (fromBack)
      for (QWidget *field : backFields)
        field->show();
    else
      Main().mmDPA->show();
    Main().ImgPreviewTag = 1;

    Main().acSideSwitch->trigger();
    QCOMPARE(Main().ImgPreviewTag, -1);
    if (fromBack)
      for (QWidget *field : backFields)
        QVERIFY2(field->isHidden(), qPrintable(field->objectName()));
    else
      QVERIFY(Main().mmDPA->isHidden());
  }

  void blankAppearanceHidden()
  {
    Main().acBlankAppearance->trigger();
    QVERIFY(!Main().acBlankAppearance->isChecked());
    QVERIFY(Main().ImgBlank->isHidden());
    QVERIFY(!Main().ImgPreview->transparent());
    Main().acBlankAppearance->trigger();
    QVERIFY(Main().ImgBlank->isVisible());
    QVERIFY(Main().ImgPreview->transparent());
  }

  void previewFitsLeftOfHelpPanel()
  {
    const int previewRight = Main().PanelPreview->mapTo(&Main(), QPoint(Main().PanelPreview->width(), 0)).x();
    const int helpLeft = Main().PanelRight->mapTo(&Main(), QPoint(0, 0)).x();
    QVERIFY2(previewRight < helpLeft, qPrintable(QStringLiteral("%1 >= %2").arg(previewRight).arg(helpLeft)));
    QCOMPARE(Main().PanelPreview->mapTo(&Main(), QPoint(0, 0)).x(), 208);
    QCOMPARE(ZoomFactor, Main().ZoomMax);
    QVERIFY(ZoomFactor >= 0.15 && ZoomFactor <= 1.0);
    // The panel keeps the blank's proportions.
    QCOMPARE(Main().PanelPreview->width(), RoundHalfEven(210 * ScreenScaleX));
    QCOMPARE(Main().PanelPreview->height(), RoundHalfEven(148 * ScreenScaleY));
  }

  void narrowWindowKeepsAZoom()
  {
    TMainF narrow;
    narrow.resize(500, 400);
    narrow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&narrow));
    QVERIFY(narrow.ZoomMax >= 0.15 - 1e-9);
    QVERIFY(narrow.ZoomMax < 0.2);
  }

  void importCancelChangesNothing()
  {
    Dialogs::setNextFileName(QString());
    Main().acImportFromExcel->trigger();
    QCOMPARE(CountShown(QStringLiteral("open")), 1);
    QCOMPARE(Dialogs::shown().constFirst().Text,
             QStringLiteral("Файли MS Excel (*.xls; *.xlsx)|*.xls;*.xlsx|Файли OpenDocument (*.ods)|*.ods"));
    QCOMPARE(Main().sPageControl1->currentWidget(), Main().tshData);
    QCOMPARE(Main().lbPupils->count(), 0);
    QVERIFY(!Main().acPrint->isEnabled());
    QCOMPARE(Main().HelpText(), TMainF::T1 + QStringLiteral("\r\r"));
  }

  void importClass_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("grade");
    QTest::newRow("xls 9") << QStringLiteral("class9.xls") << 1;
    QTest::newRow("xlsx 9") << QStringLiteral("class9.xlsx") << 1;
    QTest::newRow("ods 9") << QStringLiteral("class9.ods") << 1;
    QTest::newRow("xlsx 11") << QStringLiteral("grade_11.xlsx") << 2;
  }

  void importClass()
  {
    QFETCH(QString, file);
    QFETCH(int, grade);
    Import(Fixture(file));
    QVERIFY2(Messages().isEmpty(), qPrintable(Messages().join(QLatin1Char('\n'))));
    QCOMPARE(Main().CurrentGrade, grade);
    QCOMPARE(Main().acSetClass->data().toInt(), grade == 1 ? 9 : 11);
    QCOMPARE(Main().lbPupils->count(), Main().Pupils.size());
    for (int i = 0; i < Main().Pupils.size(); ++i)
      QCOMPARE(Main().lbPupils->item(i)->text(), Main().Pupils.at(i).FIO);
    QCOMPARE(Main().lbPupils->currentRow(), Main().Pupils.isEmpty() ? -1 : 0);
    QVERIFY(Main().acPrint->isEnabled());
    QVERIFY(Main().acSelectPrinter->isEnabled());
    QCOMPARE(Main().sPageControl1->currentWidget(), Main().tshPrint);
    QCOMPARE(Main().HelpText(), TMainF::T2 + QStringLiteral("\r\r"));
    QCOMPARE(CountShown(QStringLiteral("menu")), 0);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void importNoPupilsStillEnablesPrinting()
  {
    Import(Fixture(QStringLiteral("no_pupils.xlsx")));
    QCOMPARE(Main().lbPupils->count(), 0);
    QCOMPARE(Main().lbPupils->currentRow(), -1);
    QVERIFY(Main().acPrint->isEnabled());
    QCOMPARE(Main().HelpText(), TMainF::T2 + QStringLiteral("\r\r"));
    QVERIFY(!Main().SubjectNames.isEmpty());
  }

  void overflowMenuOncePerImport_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("menus");
    QTest::newRow("24 marks") << QStringLiteral("marks24.xls") << 0;
    QTest::newRow("25 marks") << QStringLiteral("marks25.xls") << 1;
    QTest::newRow("25 marks xlsx") << QStringLiteral("marks25.xlsx") << 1;
  }

  void overflowMenuOncePerImport()
  {
    QFETCH(QString, file);
    QFETCH(int, menus);
    Dialogs::setNextMenuChoice(Main().mAllowDopBottomRow);
    Import(Fixture(file));
    QCOMPARE(CountShown(QStringLiteral("menu")), menus);
    QCOMPARE(Main().mAllowDopBottomRow->isChecked(), menus == 1);
    QCOMPARE(Main().lbPupils->currentRow(), 0);
  }

  void refusedWorkbookChangesNothing_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    const QString missing = Fixture(QStringLiteral("no_such_class.xls"));
    QTest::newRow("grade 10") << Fixture(QStringLiteral("grade_10.xls"))
                              << QStringLiteral("У клітинці B1 книги \"%1\" вказано клас \"10\".\rДопускається лише 9 "
                                                "або 11.\r\rДані не імпортовано.")
                                     .arg(QDir::toNativeSeparators(Fixture(QStringLiteral("grade_10.xls"))));
    QTest::newRow("missing") << missing
                             << QStringLiteral("Не вдалося відкрити книгу \"%1\".\r\rФайл не знайдено.")
                                    .arg(QDir::toNativeSeparators(missing));
    QTest::newRow("not a workbook") << Fixture(QStringLiteral("text.xlsx"))
                                    << QStringLiteral("Не вдалося відкрити книгу \"%1\".\r\r")
                                           .arg(QDir::toNativeSeparators(Fixture(QStringLiteral("text.xlsx"))));
    QTest::newRow("truncated") << Fixture(QStringLiteral("truncated.xls"))
                               << QStringLiteral("Не вдалося відкрити книгу \"%1\".\r\r")
                                      .arg(QDir::toNativeSeparators(Fixture(QStringLiteral("truncated.xls"))));
  }

  void refusedWorkbookChangesNothing()
  {
    QFETCH(QString, file);
    QFETCH(QString, message);
    Import(Fixture(QStringLiteral("grade_11.xlsx")));
    Main().sPageControl1->setCurrentWidget(Main().tshView);
    const TPupils before = Main().Pupils;
    const QStringList subjects = Main().SubjectNames;
    const QString help = Main().HelpText();
    Dialogs::clearShown();

    Import(file);
    const QStringList messages = Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.constFirst().startsWith(message), qPrintable(messages.constFirst()));
    QCOMPARE(Dialogs::shown().last().MessageIcon, Dialogs::Icon::Error);
    QCOMPARE(Main().CurrentGrade, 2);
    QCOMPARE(Main().Pupils.size(), before.size());
    QCOMPARE(Main().SubjectNames, subjects);
    QCOMPARE(Main().lbPupils->count(), before.size());
    QCOMPARE(Main().sPageControl1->currentWidget(), Main().tshView);
    QCOMPARE(Main().HelpText(), help);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void missingMarkerWarnsAfterImport_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("start");
    QTest::newRow("no marker") << QStringLiteral("no_marker.xlsx")
                               << QStringLiteral("У другому рядку книги \"%1\" немає позначки \"*\"");
    QTest::newRow("one marker") << QStringLiteral("one_marker.xls")
                                << QStringLiteral("У другому рядку книги \"%1\" немає другої позначки \"*\"");
  }

  void missingMarkerWarnsAfterImport()
  {
    QFETCH(QString, file);
    QFETCH(QString, start);
    Import(Fixture(file));
    const QStringList messages = Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.constFirst().startsWith(start.arg(QDir::toNativeSeparators(Fixture(file)))),
             qPrintable(messages.constFirst()));
    QCOMPARE(Dialogs::shown().last().MessageIcon, Dialogs::Icon::Warning);
    // The import itself finished.
    QVERIFY(Main().lbPupils->count() > 0);
    QCOMPARE(Main().sPageControl1->currentWidget(), Main().tshPrint);
  }

  void templateOpening()
  {
    // No template in the program's folder.
    Main().acOpenTemplate->trigger();
    QCOMPARE(Messages(), QStringList{QStringLiteral("Файл шаблону не знайдений!")});
    QVERIFY(FOpened.isEmpty());

    const QString path = ProgramFile(TemplateFileName());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    Dialogs::clearShown();
    Main().acOpenTemplate->trigger();
    QCOMPARE(FOpened, QStringList{path});
    QVERIFY(Messages().isEmpty());
  }

  void templateThatCannotOpen()
  {
    QTemporaryDir failing(QDir::tempPath() + QStringLiteral("/fail-XXXXXX"));
    SetProgramFolderOverride(failing.path());
    QFile file(ProgramFile(TemplateFileName()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    Main().acOpenTemplate->trigger();
    QCOMPARE(Messages(), QStringList{QStringLiteral("Не вдалося відкрити шаблон!")});
    QCOMPARE(Dialogs::shown().last().MessageIcon, Dialogs::Icon::Error);
  }

  void closingAsksOnlyWithUnsavedLayout_data()
  {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("nothing to save") << false << int(QMessageBox::Cancel) << true;
    QTest::newRow("no") << true << int(QMessageBox::No) << true;
    QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << false;
  }

  void closingAsksOnlyWithUnsavedLayout()
  {
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    Main().acSaveBlankSettings->setEnabled(modified);
    Dialogs::setNextAnswer(QMessageBox::StandardButton(answer));
    QCOMPARE(Main().close(), closes);
    QCOMPARE(Messages(),
             modified ? QStringList{QStringLiteral("Зміни макету бланку не збережені! Зберегти?")} : QStringList{});
  }

  void exitItemCloses()
  {
    Main().N9->trigger();
    QVERIFY(!Main().isVisible());
  }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
