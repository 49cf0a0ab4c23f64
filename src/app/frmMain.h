#pragma once

#include "app/uDialogs.h"
#include "layout/uLayout.h"
#include "pupils/uPupils.h"
#include "render/MyCanvasUtils.h"
#include "store/uCommonData.h"
#include "store/uFonts.h"

#include <QDate>
#include <QHash>

#include <memory>

#include <QMainWindow>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QKeyEvent;
class QPainter;
class QPrinter;
class QPlainTextEdit;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QToolButton;
class TAboutBox;
class TBlankSettingsF;
class TImgLine;
class TPreviewImage;
class TSharedDataPanel;
class TTitledMenu;

/**
 * The main window: the ribbon with its actions and menus, the pupil list,
 * the preview, the help panel and the status bar; the grade, side and
 * blank-imitation modes; and the workbook import.
 */
class TMainF : public QMainWindow
{
  Q_OBJECT
public:
  explicit TMainF(QWidget *parent = nullptr);
  ~TMainF() override;

  // --- The state every other piece of the program reads ---
  TPupils Pupils;
  TArrayOfString SubjectNames;
  TArrayOfString DpaSubjectNames;
  /// 1 = the 9th grade, 2 = the 11th.
  int CurrentGrade = 1;
  /// What the last spread composition put into the state final attestation
  /// rows: 0 rows from the workbook, 1 nothing, 2 free lines.
  int DpaState = 0;
  double ZoomMax = 1.0;
  /// The wheel's steps below ZoomMax: the zoom is ZoomMax - ZoomSteps * ZoomStep.
  int ZoomSteps = 0;
  /// The blank's layout: the 37 lines, the page size, the current file.
  TLayout Layout;
  /// The five fonts of the printed text.
  TFontSet Fonts;
  /// The common data as last accepted in the common data panel.
  TCommonData CommonData;

  // --- Ribbon ---
  QTabWidget *sPageControl1 = nullptr;
  QWidget *tshFile = nullptr;
  QWidget *tshData = nullptr;
  QWidget *tshView = nullptr;
  QWidget *tshMaket = nullptr;
  QWidget *tshPrint = nullptr;
  QWidget *tshHelp = nullptr;
  QLabel *lblModified = nullptr;
  QToolButton *btnFonts = nullptr;
  QGroupBox *sGroupBox1 = nullptr;
  QLabel *Image2 = nullptr;
  QToolButton *sBitBtn2 = nullptr;
  QCheckBox *cbAutoCheckUpdate = nullptr;

  // --- Actions ---
  QAction *acImportFromExcel = nullptr;
  QAction *acBlankAppearance = nullptr;
  QAction *acBlankSettings = nullptr;
  QAction *acSharedData = nullptr;
  QAction *acPrint = nullptr;
  QAction *acSideSwitch = nullptr;
  QAction *acSelectPrinter = nullptr;
  QAction *acOpenTemplate = nullptr;
  QAction *acSetClass = nullptr;
  QAction *acFonts = nullptr;
  QAction *acHelp = nullptr;
  QAction *acShowAbout = nullptr;
  QAction *acSaveBlankSettings = nullptr;
  QAction *acUndo = nullptr;
  QAction *acCheckUpdate = nullptr;
  QAction *acOpenBackData = nullptr;
  QAction *acSaveBackData = nullptr;

  // --- Menus ---
  TTitledMenu *MainMenu = nullptr;
  QAction *N9 = nullptr; ///< "Вихід"
  QMenu *PrintMenu = nullptr;
  QMenu *MainPopupMenu = nullptr;
  QMenu *FontsMenu = nullptr;
  QAction *mDefaultFonts = nullptr;
  QAction *mAllowDopBottomRow = nullptr;
  QAction *mAllowDopTopRow = nullptr;

  // --- Panels ---
  QWidget *PanelLeft = nullptr;
  QListWidget *lbPupils = nullptr;
  QWidget *PanelWork = nullptr;
  QWidget *PanelPreview = nullptr;
  TPreviewImage *ImgBlank = nullptr;
  TPreviewImage *ImgPreview = nullptr;
  QWidget *PanelRight = nullptr;
  QLabel *lblHelp1 = nullptr;
  QLabel *lblHelp2 = nullptr;
  TSharedDataPanel *SharedDataPanel = nullptr;
  /// The layout dialog: made once at start-up, it lives for the whole run.
  TBlankSettingsF *BlankSettingsF = nullptr;
  /// The about box: made once at start-up after the layout dialog.
  TAboutBox *AboutBox = nullptr;

  // --- In-place input fields of the preview ---
  QLineEdit *edGet = nullptr;
  QPlainTextEdit *mmFacults = nullptr;
  QLineEdit *edAward = nullptr;
  QLineEdit *edMedal = nullptr;
  QLineEdit *edRegNum = nullptr;
  QPlainTextEdit *mmDPA = nullptr;
  QLineEdit *edDirector = nullptr;
  QGroupBox *rgGender = nullptr;
  QRadioButton *rgGenderMale = nullptr;
  QRadioButton *rgGenderFemale = nullptr;

  // --- Status bar panels ---
  QStatusBar *sStatusBar = nullptr;
  QLabel *StatusPanel0 = nullptr;
  QLabel *StatusPanel1 = nullptr;
  QLabel *StatusPanel2 = nullptr;

  // --- Shared file dialogs ---
  TFileDlg OpenDlg;
  TFileDlg SaveDlg;

  /// The exact text last written into the help panel by ShowHelp.
  const QString &HelpText() const { return FHelpText; }
  /// Writes one or more help texts into the help panel, each followed by
  /// an empty line.
  void ShowHelp(const QStringList &texts);

  // --- Operations ---
  void FormShow();
  void ImportWorkbook();
  void btnOpenTemplateClick();
  void _acSetClassExecute();
  void acBlankAppearanceExecute();
  void acSideSwitchExecute();
  void acSharedDataExecute();
  void btnOKClick();
  void lbPupilsClick();
  void rgGenderClick();
  void N9Click();
  void ActionList32Update();

  // Steps that the preview, layout and settings pieces of the program fill in.
  void LoadSettings();
  void SaveSettings();
  void ApplyZoom();
  void ResetPreviewImages();
  void RedrawBlankImitation();
  /// Recomposes the visible side: onto the preview (dtScreen) or onto the
  /// printer's canvas (dtPrinter, `printerCanvas` then required).
  void RedrawContent(TDrawTarget target, QPainter *printerCanvas = nullptr);
  void ShowLayoutLines(bool blankShown);
  void ShowFrontLines(bool flag);
  void ShowBackLines();
  /// Whether a layout line is shown on the preview now.
  bool LineVisible(const TLayoutLine *line) const;
  /// The image of a layout line on the preview (null before start-up).
  TImgLine *ImgLineOf(const TLayoutLine *line) const { return FImgLines.value(line); }
  void CreateLayoutLines();
  /// The layout's field texts changed (a moved line, an undo): the layout
  /// dialog shows them.
  void LayoutFieldsChanged();
  /// Records a moved line: the modified state, an undo entry, the derived
  /// lines following their masters, the preview rebuilt.
  void RecordLayoutChange(TImgLine *line);
  void acUndoExecute();

  // Fonts
  void acFontsExecute();
  /// Edits the font of a kind (1..5) in the font dialog.
  void EditFont(int kind);
  /// The font dialog's choice (`chosen`) goes into the kind's font; kind -1
  /// asks to reset all five. Then the preview is redrawn and the settings saved.
  void ApplyFont(int kind, const QFont &chosen = QFont());

  // Back-side data files
  void acOpenBackDataExecute();
  void acSaveBackDataExecute();
  static const QString BackDataFilter;
  /// Arrow keys move the active line (on their release).
  bool FormKeyUp(QKeyEvent *event);
  /// The unsaved-layout state: the save action, the red notice, the status bar.
  void SetLayoutModified(bool modified);
  bool LayoutModified() const;

  /// The layout lines' images, spread and back side, in the layout's order.
  QList<TImgLine *> FrontLines;
  QList<TImgLine *> BackLines;
  /// The selected layout line, or null.
  TImgLine *ActiveLine = nullptr;
  /// Where a drag started: the mouse in the line's pixels and the line's position.
  struct TDragAnchor
  {
    QPoint Mouse;
    qint32 X = 0;
    double Y = 0.0;
  } DragAnchor;
  /// One undo step: the position that undo gives back to the line.
  struct TUndoEntry
  {
    TImgLine *Line = nullptr;
    qint32 X = 0;
    double Y = 0.0;
  };
  QList<TUndoEntry> UndoList;
  static const QString ModifiedStatusText;
  void InitLayout();
  /// The layout dialog applied the layout (its posted notice).
  void LayoutApplied();
  void SetWindowTitles(bool fileApplies);
  void ImgPreviewClick();
  void FormMouseWheelDown();
  void FormMouseWheelUp();
  /// The issue date of the common data panel.
  QDate IssueDate() const;
  /// The current printer: the system's default until the print dialog
  /// chooses another (tests make it write a PDF file).
  QPrinter &CurrentPrinter();
  /// The title of every print job, as the printer queue shows it.
  static const QString PrintJobTitle;
  void SelectLine(TImgLine *line);
  void CheckForUpdate(bool silent);
  void acPrintExecute();
  void acSelectPrinterExecute();
  void acSaveBlankSettingsExecute();
  void _acHelpExecute();
  void btnShowAboutClick();
  bool FormCloseQuery();

  /// True while the back side is shown.
  bool BackSideShown() const;
  /// True while all four main school-name fields hold text.
  bool SchoolNamesFilled() const;
  /// The selected pupil, or nullptr.
  const TPupil *SelectedPupil() const;
  /// The tag of the content image: negative = input fields hidden.
  int ImgPreviewTag = -1;

  /// The texts of the help panel.
  static const QString T1, T2, T3, T4, T5;
  /// The hints of the content image.
  static const QString HintZoom, HintClickFields;

protected:
  bool event(QEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void FormCreate();
  void CreateActions();
  void CreateMenus();
  void CreateRibbon();
  void CreatePanels();
  void CreateInputFields();
  void CreateStatusBar();
  void PopupMainMenu();
  void ApplyImportedWorkbook(const TClassWorkbook &book);
  void PlaceInputFields(const struct TFieldPlaces &places);
  /// Sizes the preview panel and its two images to the page at the current scale.
  QSize SizePreviewToPage();
  bool LineBelongsToGrade(const TLayoutLine *line) const;
  void SetZoomSteps(int steps);

  bool FShown = false;
  bool FImporting = false;
  int FLastRibbonPage = 1;
  QString FHelpText;
  QHash<const TLayoutLine *, TImgLine *> FImgLines;
  bool ImgLineMouse(TImgLine *line, QEvent *event);
  std::unique_ptr<QPrinter> FPrinter;
  const QEvent *FLastWheel = nullptr;
  quint64 FLastWheelTime = 0;
};
