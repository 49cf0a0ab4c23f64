#include "frmMain.h"

#include "app/frmAbout.h"
#include "app/frmBlankSettings.h"
#include "app/uAppStart.h"
#include "app/uIcons.h"
#include "app/uImgLine.h"
#include "app/uPreviewImage.h"
#include "app/uSharedDataPanel.h"
#include "app/uTitledMenu.h"
#include "print/MyPrinterUtils.h"
#include "pupils/MyExcelUtils.h"
#include "render/uBlankImitation.h"
#include "render/uCompose.h"
#include "store/uAppPaths.h"
#include "store/uIniFile.h"
#include "store/uSettings.h"
#include "web/CommonNetUtils.h"
#include "web/uUpdateCheck.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

const QString TMainF::T1 = QStringLiteral(
    "Персональну інформацію щодо кожного випускника необхідно спочатку внести до таблиці MS Excel, "
    "використовуючи наданий шаблон (змінювати шаблон не варто!), а потім імпортувати до програми.\r\r"
    "Після імпорту даних з MS Excel у лівій частині вікна з'явиться список випускників. Попередній перегляд "
    "у центрі вікна показуватиме майбутній додаток виділеного в списку випускника.");
const QString TMainF::T2 =
    QStringLiteral("Попередній перегляд у центрі вікна показує майбутній додаток виділеного в списку випускника.");
const QString TMainF::T3 = QStringLiteral("Виведення на принтер здійснюється по одному додатку.\rПісля відправлення на "
                                          "друк поточного додатку виділення автоматично переходить до наступного.");
const QString TMainF::T4 = QStringLiteral("Клацніть по додатку, аби показати/сховати поля введення.");
const QString TMainF::T5 =
    QStringLiteral("Оскільки задня сторінка додатку у багатьох випускників однакова, вона заповнюється без "
                   "персоналізації та роздруковується у потрібній кількості.");
const QString TMainF::PrintJobTitle = QStringLiteral("Орнавел 2012");
const QString TMainF::ModifiedStatusText = QStringLiteral("Зміни макету бланку не збережені !");
const QString TMainF::BackDataFilter = QStringLiteral("Файли даних задньої сторінки (*.bdf)|*.bdf");
const QString TMainF::HintZoom = QStringLiteral("Коліщатком миші можна налаштувати масштаб відображення");
const QString TMainF::HintClickFields = QStringLiteral("Клацніть по додатку, аби показати/сховати поля введення");

namespace {

/// The preview's zoom moves in these steps; it never goes below MinZoom.
constexpr double ZoomStep = 0.05;
constexpr int MaxZoomStepsDown = 17; // 1.0 - 17 * 0.05 = 0.15

const QString WorkbookFilter =
    QStringLiteral("Файли MS Excel (*.xls; *.xlsx)|*.xls;*.xlsx|Файли OpenDocument (*.ods)|*.ods");

QAction *MakeAction(QObject *owner, const char *name, const QString &caption, const QString &hint,
                    const QKeySequence &shortcut = {})
{
  auto *action = new QAction(caption, owner);
  action->setObjectName(QString::fromLatin1(name));
  action->setToolTip(hint);
  action->setStatusTip(QString());
  if (!shortcut.isEmpty())
    action->setShortcut(shortcut);
  return action;
}

QToolButton *BigButton(QAction *action, QWidget *parent)
{
  auto *button = new QToolButton(parent);
  button->setDefaultAction(action);
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setIconSize(QSize(32, 32));
  button->setMinimumWidth(84);
  button->setAutoRaise(true);
  button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  return button;
}

QToolButton *SmallButton(QAction *action, QWidget *parent)
{
  auto *button = new QToolButton(parent);
  button->setDefaultAction(action);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setIconSize(QSize(16, 16));
  button->setAutoRaise(true);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  return button;
}

QFrame *Divider(QWidget *parent)
{
  auto *line = new QFrame(parent);
  line->setObjectName(QStringLiteral("RibbonDivider"));
  line->setFrameShape(QFrame::VLine);
  line->setFrameShadow(QFrame::Plain);
  return line;
}

QHBoxLayout *PageLayout(QWidget *page)
{
  auto *layout = new QHBoxLayout(page);
  layout->setContentsMargins(6, 3, 6, 3);
  layout->setSpacing(4);
  return layout;
}

} // namespace

TMainF::TMainF(QWidget *parent) : QMainWindow(parent)
{
  setObjectName(QStringLiteral("MainF"));
  resize(1112, 713);
  if (const QScreen *screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  FormCreate();
  CreateActions();
  CreateMenus();

  auto *client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  auto *clientLayout = new QVBoxLayout(client);
  clientLayout->setContentsMargins(0, 0, 0, 0);
  clientLayout->setSpacing(0);
  setCentralWidget(client);
  CreateRibbon();
  CreatePanels();
  CreateInputFields();
  CreateStatusBar();

  // The layout dialog follows the main window and lives as long as it.
  BlankSettingsF = new TBlankSettingsF(Layout, this);
  BlankSettingsF->setLayoutAppliedTarget(this);
  AboutBox = new TAboutBox(this);

  // The wheel over any part of the window zooms the preview.
  qApp->installEventFilter(this);
  if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TMainF::ActionList32Update);
}

TMainF::~TMainF()
{
  qApp->removeEventFilter(this);
  // The line images and the layout dialog work on Layout, a member that goes
  // before the child widgets would: they go first.
  qDeleteAll(FrontLines + BackLines);
  FrontLines.clear();
  BackLines.clear();
  FImgLines.clear();
  ActiveLine = nullptr;
  delete BlankSettingsF;
  BlankSettingsF = nullptr;
}

void TMainF::FormCreate()
{
  setWindowTitle(QStringLiteral("%1 %2").arg(ApplicationTitle(), ProgramVersion()));
  CurrentGrade = 1;
  // The default layout holds until start-up applies the remembered one, so
  // the preview is sound even when the settings cannot be read.
  Layout.DialogToLayout();
}

void TMainF::CreateActions()
{
  acImportFromExcel =
      MakeAction(this, "acImportFromExcel", QStringLiteral("Імпорт з MS Excel..."),
                 QStringLiteral("Імпортувати дані з MS Excel..."), QKeySequence(QStringLiteral("Ctrl+O")));
  acImportFromExcel->setIcon(RibbonImage(TRibbonImage::ImportFromExcel));
  connect(acImportFromExcel, &QAction::triggered, this, [this] { RunGuarded(this, [this] { ImportWorkbook(); }); });

  acBlankAppearance = MakeAction(this, "acBlankAppearance", QStringLiteral("Показати бланк"),
                                 QStringLiteral("Показати / Сховати бланк додатку"));
  acBlankAppearance->setCheckable(true);
  acBlankAppearance->setChecked(true);
  acBlankAppearance->setIcon(RibbonImage(TRibbonImage::BlankAppearance));
  connect(acBlankAppearance, &QAction::triggered, this,
          [this] { RunGuarded(this, [this] { acBlankAppearanceExecute(); }); });

  acBlankSettings = MakeAction(this, "acBlankSettings", QStringLiteral("Налаштувати макет бланку..."),
                               QStringLiteral("Налаштувати макет бланку..."));
  acBlankSettings->setIcon(RibbonImage(TRibbonImage::BlankSettings));
  connect(acBlankSettings, &QAction::triggered, this, [this] { RunGuarded(this, [this] { BlankSettingsF->exec(); }); });

  acSharedData = MakeAction(this, "acSharedData", QStringLiteral("Спільні дані..."),
                            QStringLiteral("Редагування загальних для всіх учнів даних..."));
  acSharedData->setCheckable(true);
  acSharedData->setIcon(RibbonImage(TRibbonImage::SharedData));
  connect(acSharedData, &QAction::triggered, this, [this] { RunGuarded(this, [this] { acSharedDataExecute(); }); });

  acPrint = MakeAction(this, "acPrint", QStringLiteral("Друк на поточний принтер"),
                       QStringLiteral("Виведення на поточний принтер"), QKeySequence(QStringLiteral("Ctrl+P")));
  acPrint->setIcon(RibbonImage(TRibbonImage::Print));
  acPrint->setEnabled(false);
  connect(acPrint, &QAction::triggered, this, [this] { RunGuarded(this, [this] { acPrintExecute(); }); });

  acSideSwitch = MakeAction(this, "acSideSwitch", QStringLiteral("Перегорнути додаток"),
                            QStringLiteral("Розворот з оцінками або задня сторона"));
  acSideSwitch->setCheckable(true);
  acSideSwitch->setIcon(RibbonImage(TRibbonImage::SideSwitch));
  connect(acSideSwitch, &QAction::triggered, this, [this] { RunGuarded(this, [this] { acSideSwitchExecute(); }); });

  acSelectPrinter =
      MakeAction(this, "acSelectPrinter", QStringLiteral("Друк із вибором принтера..."),
                 QStringLiteral("Друк після діалогу вибору принтера"), QKeySequence(QStringLiteral("Ctrl+Alt+P")));
  acSelectPrinter->setIcon(RibbonImage(TRibbonImage::SelectPrinter));
  acSelectPrinter->setEnabled(false);
  connect(acSelectPrinter, &QAction::triggered, this,
          [this] { RunGuarded(this, [this] { acSelectPrinterExecute(); }); });

  acOpenTemplate = MakeAction(this, "acOpenTemplate", QStringLiteral("Відкрити шаблон Excel..."),
                              QStringLiteral("Відкрити шаблон Excel для введення/редагування даних..."));
  acOpenTemplate->setIcon(RibbonImage(TRibbonImage::OpenTemplate));
  connect(acOpenTemplate, &QAction::triggered, this, [this] { RunGuarded(this, [this] { btnOpenTemplateClick(); }); });

  acSetClass = MakeAction(this, "acSetClass", QStringLiteral("Поточний клас"), QStringLiteral("Перемикання класу"));
  acSetClass->setData(9);
  acSetClass->setIcon(RibbonImage(TRibbonImage::Grade9));
  connect(acSetClass, &QAction::triggered, this, [this] { RunGuarded(this, [this] { _acSetClassExecute(); }); });

  acFonts = MakeAction(this, "acFonts", QStringLiteral("Шрифти..."), QStringLiteral("Налаштування шрифтів..."));
  acFonts->setIcon(RibbonImage(TRibbonImage::Fonts));
  connect(acFonts, &QAction::triggered, this, [this] { RunGuarded(this, [this] { acFontsExecute(); }); });

  acHelp = MakeAction(this, "acHelp", QStringLiteral("Допомога..."), QStringLiteral("Більше допомоги в Інтернеті..."));
  acHelp->setIcon(RibbonImage(TRibbonImage::Help));
  connect(acHelp, &QAction::triggered, this, [this] { RunGuarded(this, [this] { _acHelpExecute(); }); });

  acShowAbout = MakeAction(this, "acShowAbout", QStringLiteral("Про програму..."), QStringLiteral("Про програму..."));
  acShowAbout->setIcon(RibbonImage(TRibbonImage::About));
  connect(acShowAbout, &QAction::triggered, this, [this] { RunGuarded(this, [this] { btnShowAboutClick(); }); });

  acSaveBlankSettings = MakeAction(this, "acSaveBlankSettings", QStringLiteral("Зберегти зміни макету"),
                                   QStringLiteral("Зберегти зміни макету"), QKeySequence(QStringLiteral("Ctrl+S")));
  acSaveBlankSettings->setIcon(RibbonImage(TRibbonImage::SaveBlankSettings));
  acSaveBlankSettings->setEnabled(false);
  connect(acSaveBlankSettings, &QAction::triggered, this,
          [this] { RunGuarded(this, [this] { acSaveBlankSettingsExecute(); }); });

  acUndo = MakeAction(this, "acUndo", QStringLiteral("Скасувати"), QStringLiteral("Скасувати останню зміну макета"),
                      QKeySequence(QStringLiteral("Ctrl+Z")));
  acUndo->setIcon(RibbonImage(TRibbonImage::Undo));
  acUndo->setEnabled(false);
  connect(acUndo, &QAction::triggered, this, [this] { RunGuarded(this, [this] { acUndoExecute(); }); });

  acCheckUpdate = MakeAction(
      this, "acCheckUpdate", QStringLiteral("Перевірити доступні оновлення зараз..."),
      QStringLiteral("Перевірити наявність нової версії зараз!<p>Необхідно активне підключення до Інтернету"));
  acCheckUpdate->setIcon(RibbonImage(TRibbonImage::CheckUpdate));
  connect(acCheckUpdate, &QAction::triggered, this, [this] { RunGuarded(this, [this] { CheckForUpdate(false); }); });

  acOpenBackData = MakeAction(this, "acOpenBackData", QStringLiteral("Відкрити дані задньої сторінки..."),
                              QStringLiteral("Відкрити збережені дані задньої сторінки..."));
  acOpenBackData->setIcon(RibbonImage(TRibbonImage::OpenBackData));
  acOpenBackData->setEnabled(false);
  connect(acOpenBackData, &QAction::triggered, this, [this] { RunGuarded(this, [this] { acOpenBackDataExecute(); }); });
  acSaveBackData = MakeAction(this, "acSaveBackData", QStringLiteral("Зберегти дані задньої сторінки..."),
                              QStringLiteral("Зберегти дані задньої сторінки..."));
  acSaveBackData->setIcon(RibbonImage(TRibbonImage::SaveBackData));
  acSaveBackData->setEnabled(false);
  connect(acSaveBackData, &QAction::triggered, this, [this] { RunGuarded(this, [this] { acSaveBackDataExecute(); }); });

  // Shortcuts work wherever the focus is in the window.
  addActions({acImportFromExcel, acBlankAppearance, acBlankSettings, acSharedData, acPrint, acSideSwitch,
              acSelectPrinter, acOpenTemplate, acSetClass, acFonts, acHelp, acShowAbout, acSaveBlankSettings, acUndo,
              acCheckUpdate, acOpenBackData, acSaveBackData});
}

void TMainF::CreateMenus()
{
  MainMenu = new TTitledMenu(ApplicationTitle(), this);
  MainMenu->setObjectName(QStringLiteral("MainMenu"));
  MainMenu->setToolTipsVisible(true);
  MainMenu->addAction(acSharedData);
  MainMenu->addSeparator();
  MainMenu->addAction(acOpenTemplate);
  MainMenu->addAction(acImportFromExcel);
  MainMenu->addAction(acBlankSettings);
  QMenu *printSub = MainMenu->addMenu(QStringLiteral("Друк"));
  printSub->setObjectName(QStringLiteral("N10"));
  printSub->addAction(acPrint);
  printSub->addAction(acSelectPrinter);
  MainMenu->addSeparator();
  MainMenu->addAction(acHelp);
  MainMenu->addAction(acCheckUpdate);
  MainMenu->addAction(acShowAbout);
  MainMenu->addSeparator();
  N9 = MainMenu->addAction(QStringLiteral("Вихід"));
  N9->setObjectName(QStringLiteral("N9"));
  connect(N9, &QAction::triggered, this, &TMainF::N9Click);

  PrintMenu = new QMenu(this);
  PrintMenu->setObjectName(QStringLiteral("PrintMenu"));
  PrintMenu->addAction(acPrint);
  PrintMenu->addAction(acSelectPrinter);
  PrintMenu->setDefaultAction(acPrint);

  MainPopupMenu = new QMenu(this);
  MainPopupMenu->setObjectName(QStringLiteral("MainPopupMenu"));
  MainPopupMenu->addAction(acUndo);
  MainPopupMenu->addSeparator();
  mAllowDopBottomRow = MainPopupMenu->addAction(QStringLiteral("Використовувати місце знизу лівої сторінки"));
  mAllowDopBottomRow->setObjectName(QStringLiteral("mAllowDopBottomRow"));
  mAllowDopBottomRow->setCheckable(true);
  mAllowDopTopRow = MainPopupMenu->addAction(QStringLiteral("Використовувати місце зверху правої сторінки"));
  mAllowDopTopRow->setObjectName(QStringLiteral("mAllowDopTopRow"));
  mAllowDopTopRow->setCheckable(true);
  FontsMenu = new QMenu(this);
  FontsMenu->setObjectName(QStringLiteral("FontsMenu"));
  auto fontItem = [this](const char *name, int kind, const QString &caption) {
    QAction *item = FontsMenu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setData(kind);
    connect(item, &QAction::triggered, this, [this, kind] { RunGuarded(this, [this, kind] { EditFont(kind); }); });
  };
  fontItem("N5", fkSeriaNumb, QStringLiteral("Серія та номер документа..."));
  fontItem("mFont", fkFIO, QStringLiteral("Прізвище, ім'я та по батькові..."));
  fontItem("N3", fkSchool, QStringLiteral("Назва навчального закладу..."));
  fontItem("N4", fkSubjMark, QStringLiteral("Предмети та оцінки..."));
  FontsMenu->addSeparator()->setObjectName(QStringLiteral("N7"));
  fontItem("N6", fkBackSide, QStringLiteral("Задня сторінка..."));
  FontsMenu->addSeparator()->setObjectName(QStringLiteral("N8"));
  mDefaultFonts = FontsMenu->addAction(QStringLiteral("Повернути всі шрифти за замовчуванням"));
  mDefaultFonts->setObjectName(QStringLiteral("mDefaultFonts"));
  mDefaultFonts->setData(fkResetAll);
  connect(mDefaultFonts, &QAction::triggered, this, [this] { RunGuarded(this, [this] { ApplyFont(fkResetAll); }); });

  for (QAction *option : {mAllowDopBottomRow, mAllowDopTopRow})
    connect(option, &QAction::triggered, this, [this] { RunGuarded(this, [this] { RedrawContent(dtScreen); }); });
}

void TMainF::CreateRibbon()
{
  sPageControl1 = new QTabWidget(centralWidget());
  sPageControl1->setObjectName(QStringLiteral("sPageControl1"));
  sPageControl1->setFixedHeight(24 + 78);
  sPageControl1->setDocumentMode(false);
  centralWidget()->layout()->addWidget(sPageControl1);

  tshFile = new QWidget;
  tshFile->setObjectName(QStringLiteral("tshFile"));
  sPageControl1->addTab(tshFile, QStringLiteral("Файл        "));

  // "Дані"
  tshData = new QWidget;
  tshData->setObjectName(QStringLiteral("tshData"));
  {
    QHBoxLayout *row = PageLayout(tshData);
    row->addWidget(BigButton(acSharedData, tshData));
    row->addWidget(Divider(tshData));
    row->addWidget(BigButton(acOpenTemplate, tshData));
    row->addWidget(BigButton(acImportFromExcel, tshData));
    row->addWidget(Divider(tshData));
    auto *column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(SmallButton(acOpenBackData, tshData));
    column->addWidget(SmallButton(acSaveBackData, tshData));
    row->addLayout(column);
    row->addStretch(1);
  }
  sPageControl1->addTab(tshData, QStringLiteral("Дані"));

  // "Вигляд"
  tshView = new QWidget;
  tshView->setObjectName(QStringLiteral("tshView"));
  {
    QHBoxLayout *row = PageLayout(tshView);
    row->addWidget(BigButton(acBlankAppearance, tshView));
    row->addWidget(BigButton(acSideSwitch, tshView));
    row->addWidget(BigButton(acSetClass, tshView));
    row->addStretch(1);
  }
  sPageControl1->addTab(tshView, QStringLiteral("Вигляд"));

  // "Макет"
  tshMaket = new QWidget;
  tshMaket->setObjectName(QStringLiteral("tshMaket"));
  {
    QHBoxLayout *row = PageLayout(tshMaket);
    row->addWidget(BigButton(acBlankSettings, tshMaket));
    btnFonts = BigButton(acFonts, tshMaket);
    btnFonts->setObjectName(QStringLiteral("btnFonts"));
    row->addWidget(btnFonts);
    QToolButton *undo = BigButton(acUndo, tshMaket);
    undo->setToolButtonStyle(Qt::ToolButtonIconOnly);
    undo->setMinimumWidth(44);
    row->addWidget(undo);
    row->addWidget(BigButton(acSaveBlankSettings, tshMaket));
    lblModified = new QLabel(QStringLiteral("Зміни не збережені !"), tshMaket);
    lblModified->setObjectName(QStringLiteral("lblModified"));
    lblModified->setToolTip(QStringLiteral("Зберегти зміни макету"));
    lblModified->setCursor(Qt::PointingHandCursor);
    lblModified->setVisible(false);
    lblModified->installEventFilter(this);
    row->addWidget(lblModified);
    row->addStretch(1);
  }
  sPageControl1->addTab(tshMaket, QStringLiteral("Макет"));

  // "Друк"
  tshPrint = new QWidget;
  tshPrint->setObjectName(QStringLiteral("tshPrint"));
  {
    QHBoxLayout *row = PageLayout(tshPrint);
    for (QAction *action : {acPrint, acSelectPrinter}) {
      QToolButton *button = BigButton(action, tshPrint);
      button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
      button->setMinimumWidth(230);
      button->setMenu(PrintMenu);
      button->setPopupMode(QToolButton::MenuButtonPopup);
      row->addWidget(button);
    }
    row->addStretch(1);
  }
  sPageControl1->addTab(tshPrint, QStringLiteral("Друк"));

  // "Допомога"
  tshHelp = new QWidget;
  tshHelp->setObjectName(QStringLiteral("tshHelp"));
  {
    QHBoxLayout *row = PageLayout(tshHelp);
    row->addWidget(BigButton(acHelp, tshHelp));
    sGroupBox1 = new QGroupBox(QStringLiteral("Доступні оновлення"), tshHelp);
    sGroupBox1->setObjectName(QStringLiteral("sGroupBox1"));
    auto *group = new QHBoxLayout(sGroupBox1);
    group->setContentsMargins(6, 2, 6, 2);
    Image2 = new QLabel(sGroupBox1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(RibbonImage(TRibbonImage::CheckUpdate).pixmap(32, 32));
    Image2->setToolTip(QStringLiteral(
        "Для коректного заповнення додатків<br><u>напередодні</u> роздрукування <b>обов'язково перевірте наявність "
        "нової версії</b> програми<br>та за необхідності <b>оновіть</b> її."));
    group->addWidget(Image2);
    auto *column = new QVBoxLayout;
    sBitBtn2 = new QToolButton(sGroupBox1);
    sBitBtn2->setObjectName(QStringLiteral("sBitBtn2"));
    sBitBtn2->setText(QStringLiteral("Перевірити зараз..."));
    sBitBtn2->setToolTip(
        QStringLiteral("Перевірити наявність нової версії зараз!<p>(Необхідно активне підключення до Інтернету)"));
    connect(sBitBtn2, &QToolButton::clicked, acCheckUpdate, &QAction::trigger);
    column->addWidget(sBitBtn2);
    cbAutoCheckUpdate = new QCheckBox(QStringLiteral("Перевіряти автоматично"), sGroupBox1);
    cbAutoCheckUpdate->setObjectName(QStringLiteral("cbAutoCheckUpdate"));
    cbAutoCheckUpdate->setToolTip(
        QStringLiteral("Перевіряти наявність нової версії <b>при кожному старті програми "
                       "(рекомендується)</b><p>(Необхідно активне підключення до Інтернету)"));
    cbAutoCheckUpdate->setChecked(true);
    connect(cbAutoCheckUpdate, &QCheckBox::clicked, this, [this] { RunGuarded(this, [this] { SaveSettings(); }); });
    column->addWidget(cbAutoCheckUpdate);
    group->addLayout(column);
    row->addWidget(sGroupBox1);
    row->addWidget(BigButton(acShowAbout, tshHelp));
    row->addStretch(1);
  }
  sPageControl1->addTab(tshHelp, QStringLiteral("Допомога"));

  sPageControl1->setCurrentWidget(tshData);
  FLastRibbonPage = sPageControl1->currentIndex();
  sPageControl1->tabBar()->installEventFilter(this);
  connect(sPageControl1, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == 0) {
      // "Файл" is no page of its own: it drops the main menu down.
      QSignalBlocker block(sPageControl1);
      sPageControl1->setCurrentIndex(FLastRibbonPage);
      PopupMainMenu();
      return;
    }
    FLastRibbonPage = index;
  });
}

void TMainF::PopupMainMenu()
{
  const QRect tab = sPageControl1->tabBar()->tabRect(0);
  MainMenu->popup(sPageControl1->tabBar()->mapToGlobal(tab.bottomLeft()));
}

void TMainF::CreatePanels()
{
  auto *body = new QWidget(centralWidget());
  body->setObjectName(QStringLiteral("PanelBody"));
  auto *row = new QHBoxLayout(body);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  centralWidget()->layout()->addWidget(body);

  PanelLeft = new QWidget(body);
  PanelLeft->setObjectName(QStringLiteral("PanelLeft"));
  PanelLeft->setFixedWidth(201);
  auto *left = new QVBoxLayout(PanelLeft);
  left->setContentsMargins(0, 0, 0, 0);
  lbPupils = new QListWidget(PanelLeft);
  lbPupils->setObjectName(QStringLiteral("lbPupils"));
  left->addWidget(lbPupils);
  connect(lbPupils, &QListWidget::currentRowChanged, this, [this] { RunGuarded(this, [this] { lbPupilsClick(); }); });
  row->addWidget(PanelLeft);

  PanelWork = new QWidget(body);
  PanelWork->setObjectName(QStringLiteral("PanelWork"));
  row->addWidget(PanelWork, 1);

  PanelPreview = new QWidget(PanelWork);
  PanelPreview->setObjectName(QStringLiteral("PanelPreview"));
  PanelPreview->setAutoFillBackground(true);
  // The arrow keys move the selected layout line while the preview has the focus.
  PanelPreview->setFocusPolicy(Qt::ClickFocus);
  QPalette white = PanelPreview->palette();
  white.setColor(QPalette::Window, Qt::white);
  PanelPreview->setPalette(white);
  PanelPreview->move(208 - PanelLeft->width(), 8);

  ImgBlank = new TPreviewImage(PanelPreview);
  ImgBlank->setObjectName(QStringLiteral("ImgBlank"));
  ImgPreview = new TPreviewImage(PanelPreview);
  ImgPreview->setObjectName(QStringLiteral("ImgPreview"));
  ImgPreview->setTransparent(true);
  ImgPreview->setToolTip(HintZoom);
  ImgPreview->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ImgPreview, &TPreviewImage::clicked, this, [this] { RunGuarded(this, [this] { ImgPreviewClick(); }); });
  connect(ImgPreview, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
    if (!BackSideShown())
      MainPopupMenu->popup(ImgPreview->mapToGlobal(pos));
  });

  PanelRight = new QWidget(body);
  PanelRight->setObjectName(QStringLiteral("PanelRight"));
  PanelRight->setAttribute(Qt::WA_StyledBackground, true);
  PanelRight->setFixedWidth(231);
  auto *right = new QVBoxLayout(PanelRight);
  right->setContentsMargins(8, 8, 8, 8);
  auto *icon = new QLabel(PanelRight);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(24, 24));
  right->addWidget(icon);
  lblHelp1 = new QLabel(PanelRight);
  lblHelp1->setObjectName(QStringLiteral("lblHelp1"));
  lblHelp1->setWordWrap(true);
  lblHelp1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  right->addWidget(lblHelp1);
  lblHelp2 = new QLabel(QStringLiteral("Зображені сірим кольором надписи та лінії імітують бланк додатку та "
                                       "показуються тільки для зручності. На принтер вони, звісно, виводитися не "
                                       "будуть. Ви можете сховати або відобразити їх відповідною кнопкою."),
                        PanelRight);
  lblHelp2->setObjectName(QStringLiteral("lblHelp2"));
  lblHelp2->setWordWrap(true);
  right->addWidget(lblHelp2);
  right->addStretch(1);
  row->addWidget(PanelRight);

  // The common data panel floats over the left part of the window.
  SharedDataPanel = new TSharedDataPanel(centralWidget());
  SharedDataPanel->hide();
  connect(SharedDataPanel->btnOK, &QPushButton::clicked, this, [this] { RunGuarded(this, [this] { btnOKClick(); }); });
  connect(SharedDataPanel->btnCancel, &QPushButton::clicked, acSharedData, &QAction::trigger);
}

void TMainF::CreateInputFields()
{
  QFont fieldFont(QStringLiteral("Times New Roman"));
  fieldFont.setBold(true);
  fieldFont.setItalic(true);
  fieldFont.setPixelSize(16);
  QPalette silver = palette();
  silver.setColor(QPalette::Base, QColor(192, 192, 192));

  auto makeEdit = [&](QLineEdit *&edit, const char *name, int width) {
    edit = new QLineEdit(PanelPreview);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFont(fieldFont);
    edit->setPalette(silver);
    edit->resize(width, 27);
    edit->hide();
  };
  auto makeMemo = [&](QPlainTextEdit *&memo, const char *name, int width) {
    memo = new QPlainTextEdit(PanelPreview);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setFont(fieldFont);
    memo->setPalette(silver);
    memo->resize(width, 105);
    memo->hide();
  };
  makeEdit(edGet, "edGet", 273);
  makeMemo(mmFacults, "mmFacults", 361);
  makeEdit(edAward, "edAward", 217);
  makeEdit(edMedal, "edMedal", 193);
  makeEdit(edRegNum, "edRegNum", 153);
  makeMemo(mmDPA, "mmDPA", 361);
  makeEdit(edDirector, "edDirector", 249);

  rgGender = new QGroupBox(QStringLiteral("Стать "), PanelPreview);
  rgGender->setObjectName(QStringLiteral("rgGender"));
  rgGender->setGeometry(440, 184, 105, 73);
  auto *genders = new QVBoxLayout(rgGender);
  rgGenderMale = new QRadioButton(QStringLiteral("чоловіча"), rgGender);
  rgGenderFemale = new QRadioButton(QStringLiteral("жіноча"), rgGender);
  genders->addWidget(rgGenderMale);
  genders->addWidget(rgGenderFemale);
  rgGenderMale->setChecked(true);
  for (QRadioButton *item : {rgGenderMale, rgGenderFemale})
    connect(item, &QRadioButton::toggled, this, [this](bool on) {
      if (on)
        RunGuarded(this, [this] { rgGenderClick(); });
    });
  rgGender->hide();
}

void TMainF::CreateStatusBar()
{
  sStatusBar = new QStatusBar(this);
  sStatusBar->setObjectName(QStringLiteral("sStatusBar"));
  sStatusBar->setSizeGripEnabled(true);
  StatusPanel0 = new QLabel(sStatusBar);
  StatusPanel0->setFixedWidth(100);
  StatusPanel0->setAlignment(Qt::AlignCenter);
  StatusPanel1 = new QLabel(sStatusBar);
  StatusPanel1->setFixedWidth(400);
  StatusPanel1->setAlignment(Qt::AlignCenter);
  StatusPanel2 = new QLabel(sStatusBar);
  sStatusBar->addWidget(StatusPanel0);
  sStatusBar->addWidget(StatusPanel1);
  sStatusBar->addWidget(StatusPanel2, 1);
  setStatusBar(sStatusBar);
}

void TMainF::showEvent(QShowEvent *event)
{
  QMainWindow::showEvent(event);
  if (!FShown) {
    FShown = true;
    RunGuarded(this, [this] { FormShow(); });
  }
}

void TMainF::FormShow()
{
  LoadSettings();
  ShowHelp({T1});

  // The preview sits 8 pixels below the ribbon; the common data panel on it.
  const int ribbonBottom = sPageControl1->mapTo(this, QPoint(0, sPageControl1->height())).y();
  const int panelTop = ribbonBottom + 8 - PanelWork->mapTo(this, QPoint(0, 0)).y();
  PanelPreview->move(PanelPreview->x(), panelTop);
  SharedDataPanel->move(8, ribbonBottom - centralWidget()->mapTo(this, QPoint(0, 0)).y());

  // Fit the preview left of the help panel. A maximized window may not have
  // its final size yet (the window manager applies it later, or never): the
  // preview must fit both the present width and the width being given.
  auto previewRight = [this] { return PanelPreview->mapTo(this, QPoint(PanelPreview->width(), 0)).x(); };
  int clientWidth = width();
  if (isMaximized() && screen()) {
    const int frame = frameGeometry().width() - geometry().width();
    clientWidth = qMin(clientWidth, screen()->availableGeometry().width() - frame);
  }
  const int helpLeft = clientWidth - PanelRight->width();
  int stepsDown = 0;
  ZoomFactor = 1.0;
  ApplyZoom();
  while (previewRight() >= helpLeft && stepsDown < MaxZoomStepsDown) {
    ++stepsDown;
    ZoomFactor = 1.0 - stepsDown * ZoomStep;
    ApplyZoom();
  }
  ZoomMax = ZoomFactor;
  ZoomSteps = 0;

  ResetPreviewImages();
  SharedDataPanel->ShowFilledExtraFields();
  if (cbAutoCheckUpdate->isChecked())
    CheckForUpdate(true);
}

void TMainF::ShowHelp(const QStringList &texts)
{
  FHelpText.clear();
  for (const QString &text : texts)
    FHelpText += text + QLatin1String("\r\r");
  lblHelp1->setText(DisplayText(FHelpText));
}

QSize TMainF::SizePreviewToPage()
{
  const QSize page = BlankImageSize(Layout);
  PanelPreview->resize(page);
  ImgBlank->setGeometry(0, 0, page.width(), page.height());
  ImgPreview->setGeometry(0, 0, page.width(), page.height());
  return page;
}

void TMainF::ApplyZoom()
{
  UpdateScreenScale();
  SizePreviewToPage();

  // The in-place fields keep the printed size of their text.
  auto pointSize = [](double points) { return qMax(1, RoundHalfEven(ZoomFactor * points)); };
  for (QWidget *field : std::initializer_list<QWidget *>{mmFacults, mmDPA, edGet, edAward, edMedal}) {
    QFont f = field->font();
    f.setPointSize(pointSize(12));
    field->setFont(f);
  }
  QFont regNum = edRegNum->font();
  regNum.setPointSize(pointSize(10));
  edRegNum->setFont(regNum);
  mmFacults->resize(RoundHalfEven(ZoomFactor * 361), RoundHalfEven(ZoomFactor * 105));
  mmDPA->resize(RoundHalfEven(ZoomFactor * 370), RoundHalfEven(ZoomFactor * 105));
  for (TImgLine *line : FrontLines + BackLines)
    line->Reposition();
}

void TMainF::ResetPreviewImages()
{
  ImgPreview->resetPicture();
  RedrawBlankImitation();
  if (!BackSideShown()) {
    QPainter canvas(&ImgPreview->picture());
    canvas.setRenderHint(QPainter::TextAntialiasing);
    ComposeCommonBlock(canvas, dtScreen, Layout, Fonts, CommonData, CurrentGrade);
    ImgPreview->update();
  }
}

void TMainF::RedrawBlankImitation()
{
  const QSize page = SizePreviewToPage();
  if (ImgPreview->picture().size() != page)
    ImgPreview->resetPicture();
  ShowFrontLines(false);
  ShowBackLines();
  const TFieldPlaces places = ::RedrawBlankImitation(ImgBlank->picture(), Layout, CurrentGrade, BackSideShown());
  if (!BackSideShown())
    ShowFrontLines(acBlankAppearance->isChecked());
  PlaceInputFields(places);
  ImgBlank->update();
}

void TMainF::PlaceInputFields(const TFieldPlaces &places)
{
  auto place = [](QWidget *field, const std::optional<QPoint> &at) {
    if (at)
      field->move(*at);
  };
  place(mmFacults, places.mmFacults);
  place(edGet, places.edGet);
  place(edMedal, places.edMedal);
  place(edAward, places.edAward);
  place(edDirector, places.edDirector);
  place(edRegNum, places.edRegNum);
  place(mmDPA, places.mmDPA);
}

void TMainF::RedrawContent(TDrawTarget target, QPainter *printerCanvas)
{
  QPainter screenCanvas;
  QPainter *canvas = printerCanvas;
  if (target == dtScreen) {
    ImgPreview->resetPicture();
    screenCanvas.begin(&ImgPreview->picture());
    screenCanvas.setRenderHint(QPainter::TextAntialiasing);
    canvas = &screenCanvas;
  }
  if (canvas) {
    if (BackSideShown()) {
      TBackSideInput input{Layout, Fonts, CurrentGrade};
      input.Facults = MemoLines(mmFacults->toPlainText());
      input.Get = edGet->text();
      input.Award = edAward->text();
      input.Medal = edMedal->text();
      input.Director = edDirector->text();
      input.RegNum = edRegNum->text();
      input.GenderIndex = rgGenderMale->isChecked() ? 0 : (rgGenderFemale->isChecked() ? 1 : -1);
      input.IssueDate = IssueDate();
      ComposeBackSide(*canvas, target, input);
    } else {
      const TSpreadInput input{Layout,
                               Fonts,
                               CommonData,
                               CurrentGrade,
                               SelectedPupil(),
                               SubjectNames,
                               DpaSubjectNames,
                               mAllowDopBottomRow->isChecked(),
                               mAllowDopTopRow->isChecked()};
      const TSpreadOutcome outcome = ComposeSpread(*canvas, target, input);
      if (outcome.PupilComposed) {
        DpaState = outcome.DpaState;
        ImgPreview->setToolTip(DpaState == 0 ? HintZoom : HintClickFields);
      }
    }
  }
  if (screenCanvas.isActive())
    screenCanvas.end();
  ImgPreview->update();
  rgGender->setVisible(BackSideShown());
}

bool TMainF::LineBelongsToGrade(const TLayoutLine *line) const
{
  return line->Grades() == 3 || line->Grades() == CurrentGrade;
}

void TMainF::ShowBackLines()
{
  for (TImgLine *line : BackLines)
    line->setVisible(BackSideShown() && acBlankAppearance->isChecked() && LineBelongsToGrade(line->Line()));
}

void TMainF::ShowFrontLines(bool flag)
{
  for (TImgLine *line : FrontLines)
    line->setVisible(flag && LineBelongsToGrade(line->Line()));
}

bool TMainF::LineVisible(const TLayoutLine *line) const
{
  const TImgLine *image = FImgLines.value(line);
  return image && !image->isHidden();
}

void TMainF::CreateLayoutLines()
{
  if (!FImgLines.isEmpty())
    return;
  for (TLayoutLine *item : Layout.Lines()) {
    TImgLine *line = TImgLine::Create(item, PanelPreview);
    line->installEventFilter(this);
    FImgLines.insert(item, line);
    (item->Side() != 0 ? BackLines : FrontLines).append(line);
  }
  // The in-place fields lie over the lines.
  for (QWidget *field :
       std::initializer_list<QWidget *>{edGet, mmFacults, edAward, edMedal, edRegNum, mmDPA, edDirector, rgGender})
    field->raise();
}

void TMainF::SelectLine(TImgLine *line)
{
  for (TImgLine *each : FrontLines + BackLines)
    each->SetMarked(false);
  ActiveLine = line;
  if (line) {
    PanelPreview->setFocus();
    line->SetMarked(true);
  }
}

void TMainF::SetLayoutModified(bool modified)
{
  acSaveBlankSettings->setEnabled(modified);
  lblModified->setVisible(modified);
  StatusPanel1->setText(modified ? ModifiedStatusText : QString());
}

bool TMainF::LayoutModified() const
{
  return acSaveBlankSettings->isEnabled();
}

void TMainF::RecordLayoutChange(TImgLine *line)
{
  if (sPageControl1->currentWidget() != tshMaket)
    sPageControl1->setCurrentWidget(tshMaket);
  SetLayoutModified(true);
  UndoList.append({line, DragAnchor.X, DragAnchor.Y});
  acUndo->setEnabled(true);
  Layout.LayoutToDialog();
  Layout.DialogToLayout();
  LayoutFieldsChanged();
  ResetPreviewImages();
  RedrawContent(dtScreen);
}

void TMainF::acUndoExecute()
{
  if (UndoList.isEmpty())
    return;
  const TUndoEntry entry = UndoList.constLast();
  entry.Line->Line()->SetX(entry.X);
  entry.Line->Line()->SetY(entry.Y);
  Layout.LayoutToDialog();
  Layout.DialogToLayout();
  LayoutFieldsChanged();
  ResetPreviewImages();
  RedrawContent(dtScreen);
  UndoList.removeLast();
  if (UndoList.isEmpty()) {
    acUndo->setEnabled(false);
    SetLayoutModified(false);
  }
}

bool TMainF::ImgLineMouse(TImgLine *line, QEvent *event)
{
  auto *mouse = static_cast<QMouseEvent *>(event);
  const QPoint pos = mouse->position().toPoint();
  switch (event->type()) {
  case QEvent::MouseButtonPress:
    SelectLine(line);
    line->Dragging = mouse->button() == Qt::LeftButton;
    if (line->Dragging)
      DragAnchor = {pos, line->Line()->X(), line->Line()->Y()};
    return true;
  case QEvent::MouseMove:
    if (line->Dragging && pos != DragAnchor.Mouse) {
      // The mouse's place in the preview, less where it held the line.
      if (!qobject_cast<TLinkedXImgLine *>(line))
        line->Line()->SetX(RoundHalfEven((pos.x() + line->x() - DragAnchor.Mouse.x()) / ScreenScaleX));
      if (!qobject_cast<TLinkedYImgLine *>(line))
        line->Line()->SetY(RoundHalfEven((pos.y() + line->y() - DragAnchor.Mouse.y() + 4) / ScreenScaleY));
    }
    return true;
  case QEvent::MouseButtonRelease: {
    const bool moved = line->Dragging && (line->Line()->X() != DragAnchor.X || line->Line()->Y() != DragAnchor.Y);
    line->Dragging = false;
    if (moved)
      RunGuarded(this, [this, line] { RecordLayoutChange(line); });
    return true;
  }
  default:
    return false;
  }
}

bool TMainF::FormKeyUp(QKeyEvent *event)
{
  if (!ActiveLine || event->isAutoRepeat())
    return false;
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const double step = modifiers == Qt::ControlModifier ? 0.2 : 1.0;
  const bool linkedX = qobject_cast<TLinkedXImgLine *>(ActiveLine);
  const bool linkedY = qobject_cast<TLinkedYImgLine *>(ActiveLine);
  TLayoutLine *line = ActiveLine->Line();
  qint32 x = line->X();
  double y = line->Y();
  switch (event->key()) {
  case Qt::Key_Left:
    if (linkedX)
      return false;
    x -= 1;
    break;
  case Qt::Key_Right:
    if (linkedX)
      return false;
    x += 1;
    break;
  case Qt::Key_Up:
    if (linkedY)
      return false;
    y -= step;
    break;
  case Qt::Key_Down:
    if (linkedY)
      return false;
    y += step;
    break;
  default:
    return false;
  }
  DragAnchor.X = line->X();
  DragAnchor.Y = line->Y();
  line->SetX(x);
  line->SetY(y);
  RunGuarded(this, [this] { RecordLayoutChange(ActiveLine); });
  return false;
}

void TMainF::ShowLayoutLines(bool blankShown)
{
  ShowBackLines();
  ShowFrontLines(blankShown && !BackSideShown());
}

QDate TMainF::IssueDate() const
{
  return SharedDataPanel->dtpDate->date();
}

void TMainF::LayoutFieldsChanged()
{
  BlankSettingsF->FieldsFromLayout();
}

bool TMainF::event(QEvent *event)
{
  if (event->type() == TBlankSettingsF::WM_LAYOUT_APPLIED) {
    RunGuarded(this, [this] { LayoutApplied(); });
    return true;
  }
  return QMainWindow::event(event);
}

void TMainF::LayoutApplied()
{
  RedrawBlankImitation();
  RedrawContent(dtScreen);
  SetWindowTitles(!Layout.LayoutFileName().isEmpty());
  SaveSettings();
}

void TMainF::InitLayout()
{
  CreateLayoutLines();
  const QString fileName = Layout.LayoutFileName();
  if (!fileName.isEmpty() && QFileInfo::exists(fileName)) {
    Layout.LoadLayoutFile(fileName);
    SetWindowTitles(true);
  } else {
    SetWindowTitles(false);
    Layout.DialogToLayout();
  }
}

void TMainF::SetWindowTitles(bool fileApplies)
{
  const QString name =
      fileApplies ? TBlankSettingsF::LayoutDisplayName(Layout.LayoutFileName()) : TBlankSettingsF::DefaultLayoutName();
  setWindowTitle(QStringLiteral("%1 %2 - Налаштування макету: \"%3\"").arg(ApplicationTitle(), ProgramVersion(), name));
  BlankSettingsF->SetLayoutCaption(name);
}

void TMainF::ImgPreviewClick()
{
  SelectLine(nullptr);
  if (BackSideShown()) {
    ImgPreviewTag = -ImgPreviewTag;
    const QList<QWidget *> fields{mmFacults, edGet, edAward, edDirector, edRegNum};
    if (ImgPreviewTag > 0) {
      for (QWidget *field : fields)
        field->show();
      edMedal->setVisible(CurrentGrade == 2);
      mmFacults->setFocus();
    } else {
      for (QWidget *field : fields)
        field->hide();
      edMedal->hide();
      RedrawContent(dtScreen);
    }
  } else if (DpaState != 0) {
    ImgPreviewTag = -ImgPreviewTag;
    if (ImgPreviewTag > 0) {
      mmDPA->show();
      mmDPA->setFocus();
    } else {
      mmDPA->hide();
      const int row = lbPupils->currentRow();
      if (row >= 0 && row < Pupils.size())
        Pupils[row].DpaMarks = MemoLines(mmDPA->toPlainText());
      RedrawContent(dtScreen);
    }
  }
}

void TMainF::SetZoomSteps(int steps)
{
  ZoomSteps = steps;
  ZoomFactor = ZoomMax - ZoomSteps * ZoomStep;
  ApplyZoom();
  ResetPreviewImages();
  RedrawContent(dtScreen);
}

void TMainF::FormMouseWheelDown()
{
  // The zoom stops at three steps above nothing.
  if (3 * ZoomStep >= ZoomFactor - 1e-9)
    return;
  SetZoomSteps(ZoomSteps + 1);
}

void TMainF::FormMouseWheelUp()
{
  if (ZoomSteps == 0)
    return;
  SetZoomSteps(ZoomSteps - 1);
}

void TMainF::LoadSettings()
{
  const TSettings settings = ReadSettingsFile();
  TSharedDataPanel &panel = *SharedDataPanel;
  {
    QSignalBlocker block(panel.dtpDate);
    panel.dtpDate->setDate(settings.IssueDate);
  }
  CommonData = settings.Common;
  Layout.SetLayoutFileName(settings.LastFileName);
  Fonts = settings.Fonts;
  panel.edGod->setText(YearFieldText(CommonData.God, panel.dtpDate->date()));
  panel.edSchool1_9->setText(CommonData.School1);
  panel.edSchool2_9->setText(CommonData.School2);
  panel.edDopSchTop_9->setText(CommonData.DopSchTop);
  panel.edDopSchDown_9->setText(CommonData.DopSchDown);
  panel.edSchool1_11->setText(CommonData.School1_11);
  panel.edSchool2_11->setText(CommonData.School2_11);
  panel.edDopSchTop_11->setText(CommonData.DopSchTop_11);
  panel.edDopSchDown_11->setText(CommonData.DopSchDown_11);
  {
    QSignalBlocker block(cbAutoCheckUpdate);
    cbAutoCheckUpdate->setChecked(settings.AutoCheckUpdate);
  }
  InitLayout();
}

void TMainF::SaveSettings()
{
  TSettings settings;
  settings.IssueDate = IssueDate();
  settings.Common = CommonData;
  settings.LastFileName = Layout.LayoutFileName();
  settings.Fonts = Fonts;
  settings.AutoCheckUpdate = cbAutoCheckUpdate->isChecked();
  WriteSettingsFile(settings);
}

void TMainF::CheckForUpdate(bool silent)
{
  QString importance;
  QString setupFileName;
  GetLastVersionInfo(importance, setupFileName);
  const TUpdateAction action = DecideUpdate(silent, importance, setupFileName);
  switch (action) {
  case TUpdateAction::Nothing:
    return;
  case TUpdateAction::ShowUpToDate:
    Dialogs::information(this, UpToDateText);
    return;
  case TUpdateAction::ShowFailed:
    Dialogs::error(this, CheckFailedText);
    return;
  case TUpdateAction::OfferImportant:
  case TUpdateAction::OfferOrdinary:
    break;
  }
  if (sPageControl1->currentWidget() != tshHelp)
    sPageControl1->setCurrentWidget(tshHelp);
  if (!Dialogs::askYesNo(this, UpdateQuestion(action), Dialogs::Icon::Warning))
    return;
  SaveDlg.Filter = QStringLiteral("Всі файли|*.*");
  SaveDlg.FileName = setupFileName;
  SaveDlg.ConfirmOverwrite = true;
  if (!Dialogs::executeSave(this, SaveDlg))
    return;
  if (DownloadFile(InstallerAddress(setupFileName), SaveDlg.FileName))
    Dialogs::information(this, InstallerDownloadedText);
}

void TMainF::_acHelpExecute()
{
  OpenUrl(HelpAddress());
}

void TMainF::btnShowAboutClick()
{
  AboutBox->exec();
}

QPrinter &TMainF::CurrentPrinter()
{
  if (!FPrinter)
    FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *FPrinter;
}

void TMainF::acPrintExecute()
{
  if (!BackSideShown()) {
    const bool noSchool = CurrentGrade == 1 ? CommonData.School1.isEmpty() || CommonData.School2.isEmpty()
                                            : CommonData.School1_11.isEmpty() || CommonData.School2_11.isEmpty();
    if (noSchool &&
        !Dialogs::askYesNo(this, QStringLiteral("Відсутня назва навчального закладу!\r\rВсе одно роздрукувати?")))
      return;
    if (DpaState == 1 && !Dialogs::askYesNo(this, QStringLiteral("Не заповнені поля ДПА!\r\rАби їх заповнити, "
                                                                 "клацніть по додатку.\r\rВсе одно роздрукувати?")))
      return;
  }

  // Without a printer Qt would quietly write a PDF file nobody asked for.
  QPrinter &printer = CurrentPrinter();
  const bool usable = printer.outputFormat() == QPrinter::NativeFormat
                          ? !printer.printerName().isEmpty() && printer.isValid()
                          : !printer.outputFileName().isEmpty();
  if (!usable)
    throw EAppError(QStringLiteral("Не удалось инициализировать структуру TDeviceMode"));

  SetPaperSize(printer, Layout.PageHeight(), Layout.PageWidth());
  SetOrientation(printer, OrientLandscape);
  ReadPrinterResolution(printer);
  ReadPrinterOffsets(printer);
  printer.setDocName(PrintJobTitle);
  QPainter canvas;
  if (!canvas.begin(&printer))
    throw EAppError(
        QStringLiteral("Не вдалося розпочати друк на принтері \"%1\".")
            .arg(printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : printer.outputFileName()));
  canvas.setFont(QFont(QStringLiteral("Times New Roman")));
  RedrawContent(dtPrinter, &canvas);
  if (!canvas.end())
    throw EAppError(QStringLiteral("Не вдалося завершити друк."));

  if (!BackSideShown() && lbPupils->currentRow() < lbPupils->count() - 1) {
    {
      QSignalBlocker block(lbPupils);
      lbPupils->setCurrentRow(lbPupils->currentRow() + 1);
    }
    lbPupilsClick();
  }
}

void TMainF::acSelectPrinterExecute()
{
  if (Dialogs::executePrint(this, &CurrentPrinter()))
    acPrintExecute();
}

void TMainF::acFontsExecute()
{
  Dialogs::popupMenu(FontsMenu, btnFonts->mapToGlobal(QPoint(0, btnFonts->height())));
}

void TMainF::EditFont(int kind)
{
  const TDtkFont *current = Fonts.OfKind(kind);
  if (!current)
    return;
  QFont dialogFont = *current;
  if (Dialogs::executeFont(this, dialogFont, [this, kind](const QFont &applied) {
        RunGuarded(this, [this, kind, &applied] { ApplyFont(kind, applied); });
      }))
    ApplyFont(kind, dialogFont);
}

void TMainF::ApplyFont(int kind, const QFont &chosen)
{
  if (kind == fkResetAll) {
    if (Dialogs::askYesNo(this,
                          QStringLiteral("Ви дійсно бажаєте повернути всі шрифти до налаштувань за замовчуванням?")))
      Fonts = TFontSet();
  } else if (TDtkFont *font = Fonts.OfKind(kind)) {
    // The face, size and style; colour and effects are not the dialog's.
    font->setFamily(chosen.family());
    font->setPointSizeF(chosen.pointSizeF() > 0 ? chosen.pointSizeF() : font->pointSizeF());
    font->setBold(chosen.bold());
    font->setItalic(chosen.italic());
  } else {
    return;
  }
  RedrawContent(dtScreen);
  SaveSettings();
}

void TMainF::acOpenBackDataExecute()
{
  OpenDlg.Filter = BackDataFilter;
  OpenDlg.MustExist = false;
  if (!Dialogs::executeOpen(this, OpenDlg))
    return;
  const TIniFile ini(OpenDlg.FileName);
  QStringList lines;
  for (int i = 1; i <= 5; ++i)
    lines << ini.ReadString(QStringLiteral("mmFacults"), QStringLiteral("Line%1").arg(i), QString());
  // Every line ends with a line break, as lines added to a memo do.
  mmFacults->setPlainText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
  const QString fields = QStringLiteral("Fields");
  edGet->setText(ini.ReadString(fields, QStringLiteral("edGet"), QString()));
  edMedal->setText(ini.ReadString(fields, QStringLiteral("edMedal"), QString()));
  edAward->setText(ini.ReadString(fields, QStringLiteral("edAward"), QString()));
  edDirector->setText(ini.ReadString(fields, QStringLiteral("edDirector"), QString()));
  edRegNum->setText(ini.ReadString(fields, QStringLiteral("edRegNum"), QString()));
  RedrawContent(dtScreen);
}

void TMainF::acSaveBackDataExecute()
{
  SaveDlg.Filter = BackDataFilter;
  SaveDlg.DefaultExt = QStringLiteral("bdf");
  SaveDlg.ConfirmOverwrite = false;
  if (!Dialogs::executeSave(this, SaveDlg))
    return;
  TIniFile ini(SaveDlg.FileName);
  const QStringList lines = MemoLines(mmFacults->toPlainText());
  for (int i = 0; i < lines.size(); ++i)
    ini.WriteString(QStringLiteral("mmFacults"), QStringLiteral("Line%1").arg(i + 1), lines.at(i));
  const QString fields = QStringLiteral("Fields");
  ini.WriteString(fields, QStringLiteral("edGet"), edGet->text());
  ini.WriteString(fields, QStringLiteral("edMedal"), edMedal->text());
  ini.WriteString(fields, QStringLiteral("edAward"), edAward->text());
  ini.WriteString(fields, QStringLiteral("edDirector"), edDirector->text());
  ini.WriteString(fields, QStringLiteral("edRegNum"), edRegNum->text());
  ini.UpdateFile();
}

void TMainF::acSaveBlankSettingsExecute()
{
  // A write that failed keeps the changes marked as unsaved.
  if (BlankSettingsF->btnApplyClick())
    SetLayoutModified(false);
}

bool TMainF::BackSideShown() const
{
  return acSideSwitch->isChecked();
}

bool TMainF::SchoolNamesFilled() const
{
  return !SharedDataPanel->edSchool1_9->text().isEmpty() && !SharedDataPanel->edSchool2_9->text().isEmpty() &&
         !SharedDataPanel->edSchool1_11->text().isEmpty() && !SharedDataPanel->edSchool2_11->text().isEmpty();
}

const TPupil *TMainF::SelectedPupil() const
{
  const int row = lbPupils->currentRow();
  if (row < 0 || row >= Pupils.size())
    return nullptr;
  return &Pupils.at(row);
}

void TMainF::_acSetClassExecute()
{
  if (CurrentGrade == 1) {
    CurrentGrade = 2;
    acSetClass->setData(11);
    acSetClass->setIcon(RibbonImage(TRibbonImage::Grade11));
  } else if (CurrentGrade == 2) {
    CurrentGrade = 1;
    acSetClass->setData(9);
    acSetClass->setIcon(RibbonImage(TRibbonImage::Grade9));
  }
  RedrawBlankImitation();
  RedrawContent(dtScreen);
}

void TMainF::acBlankAppearanceExecute()
{
  ImgBlank->setVisible(acBlankAppearance->isChecked());
  ImgPreview->setTransparent(ImgBlank->isVisible());
  ShowLayoutLines(acBlankAppearance->isChecked());
}

void TMainF::acSideSwitchExecute()
{
  const bool back = BackSideShown();
  if (!back && ImgPreviewTag > 0) {
    for (QWidget *field : std::initializer_list<QWidget *>{mmFacults, edGet, edAward, edMedal, edDirector, edRegNum})
      field->hide();
    ImgPreviewTag = -ImgPreviewTag;
  }
  if (back && ImgPreviewTag > 0) {
    mmDPA->hide();
    ImgPreviewTag = -ImgPreviewTag;
  }
  if (back) {
    ImgPreview->setToolTip(HintClickFields);
    ImgPreview->setContextMenuPolicy(Qt::PreventContextMenu);
  } else {
    ImgPreview->setToolTip(HintZoom);
    ImgPreview->setContextMenuPolicy(Qt::CustomContextMenu);
  }
  ShowLayoutLines(acBlankAppearance->isChecked());
  RedrawBlankImitation();
  RedrawContent(dtScreen);

  const bool canPrint = back || lbPupils->count() > 0;
  acPrint->setEnabled(canPrint);
  acSelectPrinter->setEnabled(canPrint);
  lbPupils->setEnabled(!back);

  if (back)
    ShowHelp({T4, T5});
  else if (lbPupils->count() > 0 && SchoolNamesFilled())
    ShowHelp({T2, T3});
  else if (lbPupils->count() > 0)
    ShowHelp({T2});
  else
    ShowHelp({T1});
}

void TMainF::acSharedDataExecute()
{
  // The action has toggled its own check mark.
  SharedDataPanel->setVisible(acSharedData->isChecked());
  if (SharedDataPanel->isVisible())
    SharedDataPanel->raise();
}

void TMainF::btnOKClick()
{
  TSharedDataPanel &panel = *SharedDataPanel;
  QString god;
  if (!YearFieldToGod(panel.edGod->text(), god)) {
    Dialogs::error(this, QStringLiteral("Неприпустимий формат року!"));
    return;
  }
  CommonData.God = god;
  CommonData.School1 = panel.edSchool1_9->text();
  CommonData.School2 = panel.edSchool2_9->text();
  CommonData.DopSchTop = panel.edDopSchTop_9->text();
  CommonData.DopSchDown = panel.edDopSchDown_9->text();
  CommonData.School1_11 = panel.edSchool1_11->text();
  CommonData.School2_11 = panel.edSchool2_11->text();
  CommonData.DopSchTop_11 = panel.edDopSchTop_11->text();
  CommonData.DopSchDown_11 = panel.edDopSchDown_11->text();
  RedrawContent(dtScreen);
  SaveSettings();
  ShowHelp(lbPupils->count() > 0 ? QStringList{T2, T3} : QStringList{T1});
  panel.hide();
  acSharedData->setChecked(false);
}

void TMainF::lbPupilsClick()
{
  SelectLine(nullptr);
  RedrawContent(dtScreen);
}

void TMainF::rgGenderClick()
{
  RedrawContent(dtScreen);
}

void TMainF::N9Click()
{
  close();
}

void TMainF::ActionList32Update()
{
  const bool back = BackSideShown();
  if (acOpenBackData->isEnabled() != back)
    acOpenBackData->setEnabled(back);
  if (acSaveBackData->isEnabled() != back)
    acSaveBackData->setEnabled(back);
  const QString active =
      ActiveLine ? QStringLiteral("Активна линія - зліва: %1 мм; зверху: %2 мм")
                       .arg(ActiveLine->Line()->X())
                       .arg(QLocale().toString(ActiveLine->Line()->Y(), 'f', 1).rightJustified(4, QLatin1Char(' ')))
                 : QString();
  if (StatusPanel2->text() != active)
    StatusPanel2->setText(active);
}

bool TMainF::FormCloseQuery()
{
  if (!acSaveBlankSettings->isEnabled())
    return true;
  switch (Dialogs::askYesNoCancel(this, QStringLiteral("Зміни макету бланку не збережені! Зберегти?"))) {
  case QMessageBox::Yes:
    acSaveBlankSettingsExecute();
    // A save that failed leaves the changes unsaved: the window stays open.
    return !acSaveBlankSettings->isEnabled();
  case QMessageBox::No:
    return true;
  default:
    return false;
  }
}

void TMainF::closeEvent(QCloseEvent *event)
{
  bool canClose = true;
  RunGuarded(this, [&] { canClose = FormCloseQuery(); });
  if (canClose)
    event->accept();
  else
    event->ignore();
}

bool TMainF::eventFilter(QObject *watched, QEvent *event)
{
  if (auto *line = qobject_cast<TImgLine *>(watched)) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
        event->type() == QEvent::MouseButtonRelease)
      return ImgLineMouse(line, event);
  }
  if (event->type() == QEvent::KeyRelease) {
    // The window sees the keys before its controls; a release reaches the
    // filter once per widget it travels through, so take it at the focus.
    auto *widget = qobject_cast<QWidget *>(watched);
    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    if (widget && widget->window() == this && widget == focus)
      FormKeyUp(static_cast<QKeyEvent *>(event));
  }
  if (event->type() == QEvent::Wheel && FShown) {
    // The same turn of the wheel travels up from the widget under the mouse
    // to its parents: zoom once, and leave the event to them.
    auto *wheel = static_cast<QWheelEvent *>(event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget && widget->window() == this && !(FLastWheel == event && FLastWheelTime == wheel->timestamp())) {
      FLastWheel = event;
      FLastWheelTime = wheel->timestamp();
      const int delta = wheel->angleDelta().y();
      RunGuarded(this, [this, delta] {
        if (delta < 0)
          FormMouseWheelDown();
        else if (delta > 0)
          FormMouseWheelUp();
      });
    }
    return false;
  }
  if (watched == sPageControl1->tabBar() && event->type() == QEvent::MouseButtonPress) {
    auto *press = static_cast<QMouseEvent *>(event);
    if (press->button() == Qt::LeftButton && sPageControl1->tabBar()->tabAt(press->position().toPoint()) == 0) {
      PopupMainMenu();
      return true;
    }
  }
  if (watched == lblModified && event->type() == QEvent::MouseButtonRelease) {
    // The notice shows only while there is something to save.
    acSaveBlankSettings->trigger();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainF::btnOpenTemplateClick()
{
  const QString path = ShippedFile(TemplateFileName());
  if (!QFileInfo::exists(path)) {
    Dialogs::error(this, QStringLiteral("Файл шаблону не знайдений!"));
    return;
  }
  if (!OpenUrl(path))
    throw EAppError(QStringLiteral("Не вдалося відкрити шаблон!"));
}

namespace {

/// Shows the hourglass for its lifetime.
class TWaitCursor
{
public:
  explicit TWaitCursor(Qt::CursorShape shape = Qt::WaitCursor) { QApplication::setOverrideCursor(shape); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor &) = delete;
  TWaitCursor &operator=(const TWaitCursor &) = delete;
};

} // namespace

void TMainF::ImportWorkbook()
{
  if (FImporting)
    return;
  OpenDlg.Filter = WorkbookFilter;
  OpenDlg.MustExist = true;
  if (!Dialogs::executeOpen(this, OpenDlg))
    return;

  const QString fileName = OpenDlg.FileName;
  const QString shownName = QDir::toNativeSeparators(fileName);
  TClassWorkbook book;
  TClassImportProblem problem = TClassImportProblem::CannotOpen;
  TWorkbookError openError = TWorkbookError::None;
  {
    FImporting = true;
    TWaitCursor wait;
    struct TSessionEnd
    {
      bool &Importing;
      ~TSessionEnd()
      {
        QuitExcel();
        Importing = false;
      }
    } sessionEnd{FImporting};

    StartExcel();
    if (OpenWorkbook(fileName)) {
      // The window keeps painting while the rows are read; clicks wait until the end.
      problem =
          ReadOpenClassWorkbook(book, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    } else {
      openError = ExcelLastError();
    }
    // Nothing of a refused workbook reaches the window.
    if (problem == TClassImportProblem::None)
      ApplyImportedWorkbook(book);
  }

  switch (problem) {
  case TClassImportProblem::CannotOpen:
    Dialogs::error(
        this, QStringLiteral("Не вдалося відкрити книгу \"%1\".\r\r%2").arg(shownName, WorkbookErrorText(openError)));
    return;
  case TClassImportProblem::BadGrade:
    Dialogs::error(this, QStringLiteral("У клітинці B1 книги \"%1\" вказано клас \"%2\".\rДопускається лише 9 або 11."
                                        "\r\rДані не імпортовано.")
                             .arg(shownName, book.GradeText));
    return;
  case TClassImportProblem::None:
    break;
  }

  if (sPageControl1->currentWidget() != tshPrint)
    sPageControl1->setCurrentWidget(tshPrint);

  if (book.SubjectMarkerMissing)
    Dialogs::warning(this, QStringLiteral("У другому рядку книги \"%1\" немає позначки \"*\" після назв предметів.\r"
                                          "Назви предметів прочитано до останнього заповненого стовпця аркуша, "
                                          "предметів ДПА та середнього балу не знайдено.\r\r"
                                          "Перевірте книгу за шаблоном та повторіть імпорт.")
                               .arg(shownName));
  else if (book.DpaMarkerMissing)
    Dialogs::warning(this, QStringLiteral("У другому рядку книги \"%1\" немає другої позначки \"*\" після назв "
                                          "предметів ДПА.\rНазви предметів ДПА прочитано до останнього заповненого "
                                          "стовпця аркуша, середнього балу не знайдено.\r\r"
                                          "Перевірте книгу за шаблоном та повторіть імпорт.")
                               .arg(shownName));
}

void TMainF::ApplyImportedWorkbook(const TClassWorkbook &book)
{
  SubjectNames.clear();
  DpaSubjectNames.clear();
  {
    QSignalBlocker block(lbPupils);
    lbPupils->clear();
  }

  // The grade switch flips the grade: start from the other one.
  CurrentGrade = book.Grade == 9 ? 2 : 1;
  _acSetClassExecute();

  SubjectNames = book.SubjectNames;
  DpaSubjectNames = book.DpaSubjectNames;
  Pupils = book.Pupils;
  {
    QSignalBlocker block(lbPupils);
    for (const TPupil &pupil : Pupils)
      lbPupils->addItem(pupil.FIO);
  }

  if (book.Overflow) {
    TWaitCursor arrow(Qt::ArrowCursor);
    Dialogs::popupMenu(MainPopupMenu, mapToGlobal(QPoint(width() / 2, height() / 2)));
  }

  {
    QSignalBlocker block(lbPupils);
    lbPupils->setCurrentRow(lbPupils->count() > 0 ? 0 : -1);
  }
  lbPupilsClick();

  acPrint->setEnabled(true);
  acSelectPrinter->setEnabled(true);
  ShowHelp(SchoolNamesFilled() ? QStringList{T2, T3} : QStringList{T2});
}
