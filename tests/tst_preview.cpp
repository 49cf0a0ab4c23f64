// The preview of the main window: zoom by the wheel, the in-place fields,
// the clicks on the content image and the visibility of the layout lines.

#include "app/frmMain.h"
#include "app/uPreviewImage.h"
#include "app/uSkin.h"
#include "store/uAppPaths.h"
#include "web/CommonNetUtils.h"

#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <memory>

namespace {

QString Fixture(const QString &name)
{
  return QStringLiteral(ORNAVEL_FIXTURES "/") + name;
}

/// Turns the wheel once over a widget, as the window system delivers it.
void Wheel(QWidget *widget, int delta)
{
  const QPointF pos(widget->width() / 2.0, widget->height() / 2.0);
  static quint64 time = 1000;
  QWheelEvent event(pos, widget->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  event.setTimestamp(++time);
  QApplication::sendEvent(widget, &event);
}

} // namespace

class TestPreview : public QObject
{
  Q_OBJECT

private:
  std::unique_ptr<QTemporaryDir> FFolder;
  std::unique_ptr<TMainF> FMain;

  TMainF &Main() { return *FMain; }

  void Start(const QSize &size)
  {
    FMain = std::make_unique<TMainF>();
    FMain->resize(size);
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
  }

  void Import(const QString &file)
  {
    Dialogs::setNextFileName(Fixture(file));
    Main().acImportFromExcel->trigger();
    QVERIFY(Main().lbPupils->count() > 0);
  }

  QStringList VisibleLineNames()
  {
    QStringList names;
    for (const TLayoutLine *line : Main().Layout.Lines())
      if (Main().LineVisible(line))
        names << line->Name();
    return names;
  }

private slots:
  void initTestCase() { PrepareWindowTests(); }

  void init()
  {
    FFolder = std::make_unique<QTemporaryDir>();
    ResetWindowTest(*FFolder);
  }

  void cleanup()
  {
    FMain.reset();
    SetProgramFolderOverride(QString());
  }

  void wheelZoomFromTheFittedZoom()
  {
    // Wide enough for the real size: the fitted zoom is 1.0.
    Start(QSize(1700, 900));
    QCOMPARE(Main().ZoomMax, 1.0);
    Wheel(Main().ImgPreview, 120);
    QCOMPARE(ZoomFactor, 1.0);
    Wheel(Main().ImgPreview, -120);
    QVERIFY(qAbs(ZoomFactor - 0.95) < 1e-9);
    // A turn over the pupil list zooms as well, once.
    Wheel(Main().lbPupils, 120);
    QCOMPARE(ZoomFactor, 1.0);
    for (int i = 0; i < 17; ++i)
      Wheel(Main().ImgPreview, -120);
    QVERIFY(qAbs(ZoomFactor - 0.15) < 1e-9);
    Wheel(Main().ImgPreview, -120);
    QVERIFY(qAbs(ZoomFactor - 0.15) < 1e-9);
    QCOMPARE(Main().PanelPreview->width(), RoundHalfEven(210 * ScreenScaleX));
  }

  void fieldSizesAtHalfZoom()
  {
    Start(QSize(1700, 900));
    for (int i = 0; i < 10; ++i)
      Wheel(Main().ImgPreview, -120);
    QVERIFY(qAbs(ZoomFactor - 0.5) < 1e-9);
    QCOMPARE(Main().mmFacults->size(), QSize(180, 52));
    QCOMPARE(Main().mmDPA->size(), QSize(185, 52));
    QCOMPARE(Main().mmFacults->font().pointSize(), 6);
    QCOMPARE(Main().edGet->font().pointSize(), 6);
    QCOMPARE(Main().edRegNum->font().pointSize(), 5);
    // The director's field keeps its designed font.
    QCOMPARE(Main().edDirector->font().pixelSize(), 16);
  }

  void backSideClicksShowAndHideTheFields_data()
  {
    QTest::addColumn<int>("grade");
    QTest::addColumn<bool>("medal");
    QTest::newRow("9th") << 1 << false;
    QTest::newRow("11th") << 2 << true;
  }

  void backSideClicksShowAndHideTheFields()
  {
    QFETCH(int, grade);
    QFETCH(bool, medal);
    Start(QSize(1200, 800));
    if (grade == 2)
      Main().acSetClass->trigger();
    Main().acSideSwitch->trigger();
    const QImage before = Main().ImgPreview->picture();
    QTest::mouseClick(Main().ImgPreview, Qt::LeftButton);
    QCOMPARE(Main().ImgPreviewTag, 1);
    for (QWidget *field : std::initializer_list<QWidget *>{Main().mmFacults, Main().edGet, Main().edAward,
                                                           Main().edDirector, Main().edRegNum})
      QVERIFY2(field->isVisible(), qPrintable(field->objectName()));
    QCOMPARE(Main().edMedal->isVisible(), medal);
    Main().mmFacults->setPlainText(QStringLiteral("Хореографія"));
    Main().edDirector->setText(QStringLiteral("Іваненко І. І."));
    QTest::mouseClick(Main().ImgPreview, Qt::LeftButton);
    QCOMPARE(Main().ImgPreviewTag, -1);
    for (QWidget *field : std::initializer_list<QWidget *>{Main().mmFacults, Main().edGet, Main().edAward,
                                                           Main().edDirector, Main().edRegNum, Main().edMedal})
      QVERIFY2(field->isHidden(), qPrintable(field->objectName()));
    // What was typed is printed on the preview now.
    QVERIFY(Main().ImgPreview->picture() != before);
  }

  void spreadClicks_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("memoOffered");
    QTest::newRow("attestation from the workbook") << QStringLiteral("class9.xlsx") << false;
    QTest::newRow("no attestation marks") << QStringLiteral("grade_11.xlsx") << true;
  }

  void spreadClicks()
  {
    QFETCH(QString, file);
    QFETCH(bool, memoOffered);
    Start(QSize(1200, 800));
    Import(file);
    if (memoOffered) {
      // grade_11 has one attestation mark: clear it so the block is empty.
      Main().Pupils[0].DpaMarks = QStringList{QString()};
      Main().RedrawContent(dtScreen);
    }
    QCOMPARE(Main().DpaState, memoOffered ? 1 : 0);
    QCOMPARE(Main().ImgPreview->toolTip(), memoOffered ? TMainF::HintClickFields : TMainF::HintZoom);
    QTest::mouseClick(Main().ImgPreview, Qt::LeftButton);
    QCOMPARE(Main().mmDPA->isVisible(), memoOffered);
    if (!memoOffered) {
      QCOMPARE(Main().ImgPreviewTag, -1);
      return;
    }
    Main().mmDPA->setPlainText(QStringLiteral("Математика - 10\n\nІсторія України - 9"));
    QTest::mouseClick(Main().ImgPreview, Qt::LeftButton);
    QVERIFY(Main().mmDPA->isHidden());
    QCOMPARE(Main().Pupils.at(0).DpaMarks,
             (QStringList{QStringLiteral("Математика - 10"), QString(), QStringLiteral("Історія України - 9")}));
    QCOMPARE(Main().DpaState, 2);
  }

  void linesFollowSideGradeAndBlank()
  {
    Start(QSize(1200, 800));
    QStringList visible = VisibleLineNames();
    QVERIFY(visible.contains(QStringLiteral("GodLine9")));
    QVERIFY(visible.contains(QStringLiteral("LeftGenderLine9")));
    QVERIFY(!visible.contains(QStringLiteral("GodLine11")));
    QVERIFY(!visible.contains(QStringLiteral("FacultFirstLine")));
    QCOMPARE(visible.size(), 16); // 18 spread lines less the two of the 11th grade

    Main().acSetClass->trigger();
    visible = VisibleLineNames();
    QVERIFY(visible.contains(QStringLiteral("GodLine11")));
    QVERIFY(!visible.contains(QStringLiteral("GodLine9")));

    Main().acSideSwitch->trigger();
    visible = VisibleLineNames();
    QVERIFY(visible.contains(QStringLiteral("MedalluLine")));
    QVERIFY(visible.contains(QStringLiteral("ZaLine")));
    QVERIFY(!visible.contains(QStringLiteral("Get1Line")));
    QVERIFY(!visible.contains(QStringLiteral("SeriaLine")));

    Main().acSetClass->trigger();
    visible = VisibleLineNames();
    QVERIFY(visible.contains(QStringLiteral("Get1Line")));
    QVERIFY(!visible.contains(QStringLiteral("MedalluLine")));

    // No lines while the imitation is hidden; back again for this side and grade.
    Main().acBlankAppearance->trigger();
    QVERIFY(VisibleLineNames().isEmpty());
    QVERIFY(!Main().ImgPreview->transparent());
    Main().acBlankAppearance->trigger();
    QCOMPARE(VisibleLineNames(), visible);
  }

  void fieldsArePlacedByTheImitation()
  {
    Start(QSize(1700, 900));
    Main().acSideSwitch->trigger();
    const int facultX = Main().Layout.Line(TLayoutItem::FacultFirstLine)->X();
    const double facultY = Main().Layout.Line(TLayoutItem::FacultFirstLine)->Y();
    QCOMPARE(Main().mmFacults->pos(),
             QPoint(RoundHalfEven(facultX * ScreenScaleX), RoundHalfEven((facultY - 5) * ScreenScaleY)));
    QCOMPARE(Main().edGet->pos().y(), RoundHalfEven(Main().Layout.Line(TLayoutItem::Get1Line)->Y() * ScreenScaleY));
  }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
