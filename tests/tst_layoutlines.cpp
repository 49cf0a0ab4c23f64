// The layout lines on the preview, driven with real mouse and key events:
// selecting, dragging, the arrow keys, undo and the unsaved-layout state.

#include "app/frmBlankSettings.h"
#include "app/frmMain.h"
#include "app/uImgLine.h"
#include "app/uSkin.h"
#include "store/uAppPaths.h"
#include "store/uSettings.h"
#include "web/CommonNetUtils.h"

#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

class TestLayoutLines : public QObject
{
  Q_OBJECT

private:
  std::unique_ptr<QTemporaryDir> FFolder;
  std::unique_ptr<TMainF> FMain;

  TMainF &Main() { return *FMain; }
  TImgLine *Img(TLayoutItem item) { return Main().ImgLineOf(Main().Layout.Line(item)); }
  TLayoutLine *Item(TLayoutItem item) { return Main().Layout.Line(item); }

  /// A left-button drag of the line by (dx, dy) pixels, in small moves.
  void Drag(TImgLine *line, int dx, int dy)
  {
    const QPoint start(line->width() / 2, 4);
    const QPoint startInPreview = line->mapToParent(start);
    QTest::mousePress(line, Qt::LeftButton, {}, start);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i) {
      // The line moves under the mouse: the pointer's place is in the preview.
      const QPoint target = line->mapFromParent(startInPreview + QPoint(dx * i / steps, dy * i / steps));
      QMouseEvent move(QEvent::MouseMove, target, line->mapToGlobal(target), Qt::NoButton, Qt::LeftButton,
                       Qt::NoModifier);
      QApplication::sendEvent(line, &move);
    }
    const QPoint end = line->mapFromParent(line->mapToParent(start));
    QTest::mouseRelease(line, Qt::LeftButton, {}, end);
  }

  void KeyUp(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
  {
    QTest::keyRelease(QApplication::focusWidget() ? QApplication::focusWidget() : FMain.get(), key, modifiers);
  }

private slots:
  void initTestCase() { PrepareWindowTests(); }

  void init()
  {
    QLocale::setDefault(QLocale(QLocale::Ukrainian, QLocale::Ukraine));
    FFolder = std::make_unique<QTemporaryDir>();
    ResetWindowTest(*FFolder);
    FMain = std::make_unique<TMainF>();
    FMain->resize(1700, 900);
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
    QApplication::setActiveWindow(FMain.get());
  }

  void cleanup()
  {
    FMain.reset();
    SetProgramFolderOverride(QString());
    QLocale::setDefault(QLocale::system());
  }

  void picturesAsDrawn()
  {
    const QImage &bold = TImgLine::LineBold();
    QCOMPARE(bold.size(), QSize(300, 9));
    QCOMPARE(bold.depth(), 8);
    for (int y = 0; y < 9; ++y) {
      const QRgb expected = (y == 4 || y == 5) ? qRgb(190, 190, 190) : qRgb(255, 255, 255);
      QCOMPARE(bold.pixel(0, y), expected);
      QCOMPARE(bold.pixel(150, y), expected);
    }
    const QImage &marked = TImgLine::LineBlackMarked();
    QCOMPARE(marked.size(), QSize(300, 9));
    QCOMPARE(marked.pixel(150, 4), qRgb(51, 51, 51));
    QCOMPARE(marked.pixel(150, 5), qRgb(255, 255, 255));
    for (int x : {0, 4, 295, 299})
      for (int y = 2; y <= 6; ++y)
        QCOMPARE(marked.pixel(x, y), qRgb(0, 0, 0));
    QCOMPARE(marked.pixel(5, 2), qRgb(255, 255, 255));
    QCOMPARE(marked.pixel(2, 1), qRgb(255, 255, 255));
  }

  void placementAndHint()
  {
    TImgLine *seria = Img(TLayoutItem::SeriaLine);
    QVERIFY(seria->isVisible());
    QCOMPARE(seria->geometry(), QRect(RoundHalfEven(30 * ScreenScaleX), RoundHalfEven(22 * ScreenScaleY) - 4,
                                      RoundHalfEven(10 * ScreenScaleX), 9));
    QVERIFY(seria->toolTip().startsWith(QStringLiteral("Зліва <b>30</b> мм;<br>Зверху <b>22,0</b> мм <p><p>")));
    QCOMPARE(seria->cursor().shape(), Qt::SizeAllCursor);
    QCOMPARE(Img(TLayoutItem::Fio2Line)->cursor().shape(), Qt::SizeVerCursor);
    QCOMPARE(Img(TLayoutItem::NumberLine)->cursor().shape(), Qt::SizeHorCursor);
    QVERIFY(qobject_cast<TLinkedXImgLine *>(Img(TLayoutItem::LeftLastLine)));
    QVERIFY(qobject_cast<TLinkedYImgLine *>(Img(TLayoutItem::MonthLine)));
  }

  void clicksWithoutMoveRecordNothing_data()
  {
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
  }

  void clicksWithoutMoveRecordNothing()
  {
    QFETCH(int, button);
    TImgLine *seria = Img(TLayoutItem::SeriaLine);
    QTest::mouseClick(seria, Qt::MouseButton(button), {}, QPoint(5, 4));
    QCOMPARE(Main().ActiveLine, seria);
    QVERIFY(seria->Marked());
    QVERIFY(!Main().LayoutModified());
    QVERIFY(Main().UndoList.isEmpty());
    QVERIFY(!seria->Dragging);
    WaitIdle();
    QCOMPARE(Main().StatusPanel2->text(), QStringLiteral("Активна линія - зліва: 30 мм; зверху: 22,0 мм"));
    // Another line takes the selection.
    QTest::mouseClick(Img(TLayoutItem::Fio1Line), Qt::LeftButton, {}, QPoint(5, 4));
    QVERIFY(!seria->Marked());
  }

  void draggingALinkedLineMovesOnlyItsFreeAxis()
  {
    TImgLine *number = Img(TLayoutItem::NumberLine);
    const double y = Item(TLayoutItem::NumberLine)->Y();
    Drag(number, RoundHalfEven(5 * ScreenScaleX), -RoundHalfEven(6 * ScreenScaleY));
    QCOMPARE(Item(TLayoutItem::NumberLine)->X(), 50);
    QCOMPARE(Item(TLayoutItem::NumberLine)->Y(), y);
    QCOMPARE(Item(TLayoutItem::SeriaLine)->Y(), y);
    QVERIFY(Main().LayoutModified());
    QCOMPARE(Main().sPageControl1->currentWidget(), Main().tshMaket);
  }

  void mastersCarryTheirLinkedLinesOnRelease()
  {
    TImgLine *seria = Img(TLayoutItem::SeriaLine);
    const QPoint start(seria->width() / 2, 4);
    QTest::mousePress(seria, Qt::LeftButton, {}, start);
    const QPoint down = start + QPoint(0, RoundHalfEven(3 * ScreenScaleY));
    QMouseEvent move(QEvent::MouseMove, down, seria->mapToGlobal(down), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(seria, &move);
    // During the drag only the dragged line moves.
    QCOMPARE(Item(TLayoutItem::SeriaLine)->Y(), 25.0);
    QCOMPARE(Item(TLayoutItem::NumberLine)->Y(), 22.0);
    QTest::mouseRelease(seria, Qt::LeftButton, {}, seria->mapFromParent(seria->mapToParent(start)));
    QCOMPARE(Item(TLayoutItem::NumberLine)->Y(), 25.0);
    QCOMPARE(Main().Layout.FieldText(QStringLiteral("edSeriaY")), QStringLiteral("25"));
    QCOMPARE(Main().UndoList.size(), 1);
    QCOMPARE(Main().StatusPanel1->text(), TMainF::ModifiedStatusText);
    QVERIFY(Main().lblModified->isVisible());
  }

  void dragGivesWholeMillimetres()
  {
    // A line at a fractional Y dragged sideways lands on a whole millimetre.
    Main().Layout.SetFieldText(QStringLiteral("edSeriaY"), QStringLiteral("22,4"));
    Main().Layout.DialogToLayout();
    Drag(Img(TLayoutItem::SeriaLine), RoundHalfEven(4 * ScreenScaleX), 0);
    const double y = Item(TLayoutItem::SeriaLine)->Y();
    QVERIFY2(y == 22.0 || y == 23.0, qPrintable(QString::number(y)));
    QCOMPARE(Item(TLayoutItem::SeriaLine)->X(), 34);
  }

  void arrowKeys_data()
  {
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("recorded");
    const int seria = int(TLayoutItem::SeriaLine);
    QTest::newRow("ctrl down") << seria << int(Qt::Key_Down) << int(Qt::ControlModifier) << 30 << 22.2 << true;
    QTest::newRow("ctrl shift down") << seria << int(Qt::Key_Down) << int(Qt::ControlModifier | Qt::ShiftModifier) << 30
                                     << 23.0 << true;
    QTest::newRow("up") << seria << int(Qt::Key_Up) << 0 << 30 << 21.0 << true;
    QTest::newRow("ctrl right") << seria << int(Qt::Key_Right) << int(Qt::ControlModifier) << 31 << 22.0 << true;
    QTest::newRow("left on a vertical-only line")
        << int(TLayoutItem::LeftLastLine) << int(Qt::Key_Left) << 0 << 5 << 138.0 << false;
    QTest::newRow("down on a horizontal-only line")
        << int(TLayoutItem::NumberLine) << int(Qt::Key_Down) << 0 << 45 << 22.0 << false;
    QTest::newRow("another key") << seria << int(Qt::Key_A) << 0 << 30 << 22.0 << false;
  }

  void arrowKeys()
  {
    QFETCH(int, item);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, x);
    QFETCH(double, y);
    QFETCH(bool, recorded);
    TImgLine *line = Img(TLayoutItem(item));
    QTest::mouseClick(line, Qt::LeftButton, {}, QPoint(3, 4));
    KeyUp(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(line->Line()->X(), x);
    QVERIFY2(qAbs(line->Line()->Y() - y) < 1e-9, qPrintable(QString::number(line->Line()->Y())));
    QCOMPARE(Main().LayoutModified(), recorded);
    QCOMPARE(Main().UndoList.size(), recorded ? 1 : 0);
  }

  void statusAndHintUseTheLocaleSeparator()
  {
    TImgLine *seria = Img(TLayoutItem::SeriaLine);
    QTest::mouseClick(seria, Qt::LeftButton, {}, QPoint(3, 4));
    KeyUp(Qt::Key_Down, Qt::ControlModifier);
    WaitIdle();
    QCOMPARE(Main().StatusPanel2->text(), QStringLiteral("Активна линія - зліва: 30 мм; зверху: 22,2 мм"));
    QVERIFY(Img(TLayoutItem::SeriaLine)->toolTip().contains(QStringLiteral("Зверху <b>22,2</b> мм")));
  }

  void threeMovesThreeUndos()
  {
    // The electives' first line sits at Y 29: three steps down and back.
    Main().acSideSwitch->trigger();
    TImgLine *line = Img(TLayoutItem::Director9Line);
    QTest::mouseClick(line, Qt::LeftButton, {}, QPoint(3, 4));
    QCOMPARE(Item(TLayoutItem::Director9Line)->Y(), 99.0);
    for (int i = 0; i < 3; ++i)
      KeyUp(Qt::Key_Down);
    QCOMPARE(Item(TLayoutItem::Director9Line)->Y(), 102.0);
    QVERIFY(Main().acUndo->isEnabled());
    for (double expected : {101.0, 100.0, 99.0}) {
      QVERIFY(Main().LayoutModified());
      Main().acUndo->trigger();
      QCOMPARE(Item(TLayoutItem::Director9Line)->Y(), expected);
    }
    QVERIFY(!Main().LayoutModified());
    QVERIFY(!Main().acUndo->isEnabled());
    QVERIFY(Main().lblModified->isHidden());
    QCOMPARE(Main().StatusPanel1->text(), QString());
    // Undo keeps the selection.
    QCOMPARE(Main().ActiveLine, line);
  }

  void choosingAPupilOrClickingThePreviewDropsTheSelection()
  {
    QTest::mouseClick(Img(TLayoutItem::SeriaLine), Qt::LeftButton, {}, QPoint(3, 4));
    QVERIFY(Main().ActiveLine);
    Main().lbPupilsClick();
    QVERIFY(!Main().ActiveLine);
    QTest::mouseClick(Img(TLayoutItem::SeriaLine), Qt::LeftButton, {}, QPoint(3, 4));
    Main().ImgPreviewClick();
    QVERIFY(!Main().ActiveLine);
  }

  void arrowsMoveTheActiveLineWithTheImitationHidden()
  {
    TImgLine *seria = Img(TLayoutItem::SeriaLine);
    QTest::mouseClick(seria, Qt::LeftButton, {}, QPoint(3, 4));
    Main().acBlankAppearance->trigger();
    QVERIFY(seria->isHidden());
    KeyUp(Qt::Key_Down);
    QCOMPARE(Item(TLayoutItem::SeriaLine)->Y(), 23.0);
  }

  void closingWithUnsavedChanges()
  {
    QTest::mouseClick(Img(TLayoutItem::SeriaLine), Qt::LeftButton, {}, QPoint(3, 4));
    KeyUp(Qt::Key_Down);
    Dialogs::setNextAnswer(QMessageBox::Cancel);
    QVERIFY(!Main().close());
    Dialogs::setNextAnswer(QMessageBox::No);
    QVERIFY(Main().close());
  }
  void saveWithoutAFileAsksForOne()
  {
    QTest::mouseClick(Img(TLayoutItem::SeriaLine), Qt::LeftButton, {}, QPoint(3, 4));
    KeyUp(Qt::Key_Down);
    const QString file = FFolder->filePath(QStringLiteral("Новий"));
    Dialogs::setNextFileName(file);
    Main().acSaveBlankSettings->trigger();
    QVERIFY(QFile::exists(file + QStringLiteral(".blf")));
    QVERIFY(!Main().LayoutModified());
    // The posted refresh names the new layout and remembers it.
    QCoreApplication::processEvents();
    QCOMPARE(Main().windowTitle(), QStringLiteral("Орнавел 2013 2.2.2 - Налаштування макету: \"Новий\""));
    QCOMPARE(Main().BlankSettingsF->windowTitle(), QStringLiteral("Налаштування макету бланка Додатку: \"Новий\""));
    QCOMPARE(ReadSettingsFile().LastFileName, file + QStringLiteral(".blf"));
    // Undo after a save moves the line back and leaves the state off.
    Main().acUndo->trigger();
    QCOMPARE(Item(TLayoutItem::SeriaLine)->Y(), 22.0);
    QVERIFY(!Main().LayoutModified());
    QVERIFY(!Main().acUndo->isEnabled());
  }

  void cancelledSaveDialogStillClearsTheState()
  {
    QTest::mouseClick(Img(TLayoutItem::SeriaLine), Qt::LeftButton, {}, QPoint(3, 4));
    KeyUp(Qt::Key_Down);
    Dialogs::setNextFileName(QString());
    Main().acSaveBlankSettings->trigger();
    QVERIFY(!Main().LayoutModified());
    QVERIFY(QDir(FFolder->path()).entryList(QStringList{QStringLiteral("*.blf")}).isEmpty());
  }

  void failedWriteKeepsTheChangesUnsaved()
  {
    // The layout file's folder is a regular file: nothing can be written there.
    const QString blocker = FFolder->filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    Main().Layout.SetLayoutFileName(blocker + QStringLiteral("/layout.blf"));
    QTest::mouseClick(Img(TLayoutItem::SeriaLine), Qt::LeftButton, {}, QPoint(3, 4));
    KeyUp(Qt::Key_Down);
    Dialogs::clearShown();
    Main().acSaveBlankSettings->trigger();
    QVERIFY(Main().LayoutModified());
    QCOMPARE(Dialogs::shown().size(), 1);
    QVERIFY(Dialogs::shown().first().Text.startsWith(QStringLiteral("Unable to write to ")));
    // Closing asks, Yes fails to write again: the window stays open.
    Dialogs::setNextAnswer(QMessageBox::Yes);
    QVERIFY(!Main().close());
  }

  void closingAndSavingRemembersTheLayout()
  {
    const QString file = FFolder->filePath(QStringLiteral("Мій макет.blf"));
    Main().Layout.SetLayoutFileName(file);
    QTest::mouseClick(Img(TLayoutItem::SeriaLine), Qt::LeftButton, {}, QPoint(3, 4));
    KeyUp(Qt::Key_Down);
    KeyUp(Qt::Key_Down);
    Dialogs::setNextAnswer(QMessageBox::Yes);
    QVERIFY(Main().close());
    QVERIFY(QFile::exists(file));
    // The posted refresh saves the settings with the file's name.
    QCoreApplication::processEvents();
    FMain = std::make_unique<TMainF>();
    FMain->resize(1700, 900);
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
    QCOMPARE(Item(TLayoutItem::SeriaLine)->Y(), 24.0);
    QCOMPARE(Main().windowTitle(), QStringLiteral("Орнавел 2013 2.2.2 - Налаштування макету: \"Мій макет\""));
  }

  void typedValueAppliedThroughTheDialog()
  {
    const QString file = FFolder->filePath(QStringLiteral("current.blf"));
    Main().Layout.SetLayoutFileName(file);
    QTimer::singleShot(0, this, [this] {
      QLineEdit *seriaY = Main().BlankSettingsF->Field(QStringLiteral("edSeriaY"));
      seriaY->selectAll();
      QTest::keyClicks(seriaY, QStringLiteral("12,5"));
      QTest::keyClick(seriaY, Qt::Key_Return);
    });
    Main().acBlankSettings->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(Item(TLayoutItem::SeriaLine)->Y(), 12.5);
    QCOMPARE(Item(TLayoutItem::NumberLine)->Y(), 12.5);
    QVERIFY(QFile::exists(file));
    QCOMPARE(Main().windowTitle(), QStringLiteral("Орнавел 2013 2.2.2 - Налаштування макету: \"current\""));
    // The dialog's own Apply does not touch the unsaved-layout state.
    QVERIFY(!Main().LayoutModified());
  }
};

QTEST_MAIN(TestLayoutLines)
#include "tst_layoutlines.moc"
