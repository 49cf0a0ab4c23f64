// The common data panel: the year rules, the school names, OK and Cancel.

#include "app/frmMain.h"
#include "app/uSharedDataPanel.h"
#include "app/uSkin.h"
#include "store/uAppPaths.h"
#include "web/CommonNetUtils.h"

#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

class TestSharedData : public QObject
{
  Q_OBJECT

private:
  std::unique_ptr<QTemporaryDir> FFolder;
  std::unique_ptr<TMainF> FMain;

  TMainF &Main() { return *FMain; }
  TSharedDataPanel &Panel() { return *FMain->SharedDataPanel; }

  void OpenPanel()
  {
    Main().acSharedData->trigger();
    QVERIFY(Panel().isVisible());
  }

private slots:
  void initTestCase() { PrepareWindowTests(); }

  void init()
  {
    FFolder = std::make_unique<QTemporaryDir>();
    ResetWindowTest(*FFolder);
    FMain = std::make_unique<TMainF>();
    FMain->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
  }

  void cleanup()
  {
    FMain.reset();
    SetProgramFolderOverride(QString());
  }

  void panelPlacementAndStart()
  {
    QVERIFY(Panel().isHidden());
    QVERIFY(!Main().acSharedData->isChecked());
    QCOMPARE(Panel().size(), QSize(345, 521));
    const QPoint topLeft = Panel().mapTo(&Main(), QPoint(0, 0));
    const int ribbonBottom = Main().sPageControl1->mapTo(&Main(), QPoint(0, Main().sPageControl1->height())).y();
    QCOMPARE(topLeft, QPoint(8, ribbonBottom));
    // A first start shows this year in the year field and no extra lines.
    QCOMPARE(Panel().edGod->text(), QString::number(QDate::currentDate().year()));
    for (QLineEdit *extra :
         {Panel().edDopSchTop_9, Panel().edDopSchDown_9, Panel().edDopSchTop_11, Panel().edDopSchDown_11})
      QVERIFY(extra->isHidden());
    OpenPanel();
    QVERIFY(Main().acSharedData->isChecked());
    Main().acSharedData->trigger();
    QVERIFY(Panel().isHidden());
  }

  void yearRules_data()
  {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("god");
    QTest::newRow("four digits") << QStringLiteral("2013") << true << QStringLiteral("13");
    QTest::newRow("two digits") << QStringLiteral("13") << true << QStringLiteral("13");
    QTest::newRow("three digits") << QStringLiteral("201") << false << QString();
    QTest::newRow("empty") << QString() << false << QString();
    QTest::newRow("five digits") << QStringLiteral("20133") << false << QString();
  }

  void yearRules()
  {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, god);
    Main().CommonData.God = QStringLiteral("99");
    OpenPanel();
    Panel().edGod->setText(typed);
    Panel().edSchool1_9->setText(QStringLiteral("Ліцей"));
    QTest::mouseClick(Panel().btnOK, Qt::LeftButton);
    if (accepted) {
      QVERIFY(Messages().isEmpty());
      QCOMPARE(Main().CommonData.God, god);
      QCOMPARE(Main().CommonData.School1, QStringLiteral("Ліцей"));
      QVERIFY(Panel().isHidden());
      QVERIFY(!Main().acSharedData->isChecked());
    } else {
      QCOMPARE(Messages(), QStringList{QStringLiteral("Неприпустимий формат року!")});
      QCOMPARE(Dialogs::shown().last().MessageIcon, Dialogs::Icon::Error);
      // The panel stays open and nothing was taken.
      QVERIFY(Panel().isVisible());
      QVERIFY(Main().acSharedData->isChecked());
      QCOMPARE(Main().CommonData.God, QStringLiteral("99"));
      QCOMPARE(Main().CommonData.School1, QString());
    }
  }

  void issueDateSetsYearField()
  {
    OpenPanel();
    Panel().dtpDate->setDate(QDate(2012, 6, 15));
    QCOMPARE(Panel().edGod->text(), QStringLiteral("2012"));
    QTest::mouseClick(Panel().btnOK, Qt::LeftButton);
    QCOMPARE(Main().CommonData.God, QStringLiteral("12"));
  }

  void yearFieldTakesDigitsOnly()
  {
    OpenPanel();
    Panel().edGod->clear();
    Panel().edGod->setFocus();
    QTest::keyClicks(Panel().edGod, QStringLiteral("2a0-1 3,"));
    QCOMPARE(Panel().edGod->text(), QStringLiteral("2013"));
    QTest::keyClick(Panel().edGod, Qt::Key_Backspace);
    QCOMPARE(Panel().edGod->text(), QStringLiteral("201"));
    QTest::keyClick(Panel().edGod, Qt::Key_Left);
    QTest::keyClick(Panel().edGod, Qt::Key_Delete);
    QCOMPARE(Panel().edGod->text(), QStringLiteral("20"));
  }

  void okWithEmptySchoolNames()
  {
    OpenPanel();
    QTest::mouseClick(Panel().btnOK, Qt::LeftButton);
    QVERIFY(Messages().isEmpty());
    QVERIFY(Panel().isHidden());
    QCOMPARE(Main().CommonData.School1, QString());
    QCOMPARE(Main().CommonData.School2_11, QString());
    QCOMPARE(Main().HelpText(), TMainF::T1 + QStringLiteral("\r\r"));
  }

  void okTakesEveryFieldInOrder()
  {
    OpenPanel();
    const QList<QLineEdit *> fields{Panel().edSchool1_9,    Panel().edSchool2_9,    Panel().edDopSchTop_9,
                                    Panel().edDopSchDown_9, Panel().edSchool1_11,   Panel().edSchool2_11,
                                    Panel().edDopSchTop_11, Panel().edDopSchDown_11};
    for (int i = 0; i < fields.size(); ++i)
      fields.at(i)->setText(QStringLiteral(" рядок %1 ").arg(i));
    QTest::mouseClick(Panel().btnOK, Qt::LeftButton);
    const TCommonData &data = Main().CommonData;
    // Stored exactly as typed, blanks included; hidden extra lines too.
    const QStringList stored{data.School1,    data.School2,    data.DopSchTop,    data.DopSchDown,
                             data.School1_11, data.School2_11, data.DopSchTop_11, data.DopSchDown_11};
    for (int i = 0; i < stored.size(); ++i)
      QCOMPARE(stored.at(i), QStringLiteral(" рядок %1 ").arg(i));
    QVERIFY(Panel().edDopSchTop_9->isHidden());
  }

  void cancelKeepsTypedText()
  {
    OpenPanel();
    Panel().edSchool1_9->setText(QStringLiteral("Набране"));
    QTest::mouseClick(Panel().btnCancel, Qt::LeftButton);
    QVERIFY(Panel().isHidden());
    QVERIFY(!Main().acSharedData->isChecked());
    QCOMPARE(Main().CommonData.School1, QString());
    OpenPanel();
    QCOMPARE(Panel().edSchool1_9->text(), QStringLiteral("Набране"));
    QTest::mouseClick(Panel().btnOK, Qt::LeftButton);
    QCOMPARE(Main().CommonData.School1, QStringLiteral("Набране"));
  }

  void extraLineButtons_data()
  {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("field");
    QTest::newRow("top 9") << QStringLiteral("btnDopSchTop_9") << QStringLiteral("edDopSchTop_9");
    QTest::newRow("down 9") << QStringLiteral("btnDopSchDown_9") << QStringLiteral("edDopSchDown_9");
    QTest::newRow("top 11") << QStringLiteral("btnDopSchTop_11") << QStringLiteral("edDopSchTop_11");
    QTest::newRow("down 11") << QStringLiteral("btnDopSchDown_11") << QStringLiteral("edDopSchDown_11");
  }

  void extraLineButtons()
  {
    QFETCH(QString, button);
    QFETCH(QString, field);
    OpenPanel();
    QApplication::setActiveWindow(&Main());
    auto *toggle = Panel().findChild<QToolButton *>(button);
    auto *edit = Panel().findChild<QLineEdit *>(field);
    QVERIFY(toggle && edit);
    QTest::mouseClick(toggle, Qt::LeftButton);
    QVERIFY(edit->isVisible());
    QTRY_VERIFY(edit->hasFocus());
    edit->setText(QStringLiteral("додатково"));
    QTest::mouseClick(toggle, Qt::LeftButton);
    QVERIFY(edit->isHidden());
    // Hidden, yet still taken at OK.
    QCOMPARE(edit->text(), QStringLiteral("додатково"));
  }

  void helpAfterOkFollowsPupils()
  {
    Main().lbPupils->addItem(QStringLiteral("Учень"));
    OpenPanel();
    QTest::mouseClick(Panel().btnOK, Qt::LeftButton);
    QCOMPARE(Main().HelpText(), TMainF::T2 + QStringLiteral("\r\r") + TMainF::T3 + QStringLiteral("\r\r"));
  }

  void schoolNamesDecideHelpAfterImportAndTurnOver()
  {
    for (QLineEdit *edit : {Panel().edSchool1_9, Panel().edSchool2_9, Panel().edSchool1_11})
      edit->setText(QStringLiteral("x"));
    QVERIFY(!Main().SchoolNamesFilled());
    Panel().edSchool2_11->setText(QStringLiteral("x"));
    QVERIFY(Main().SchoolNamesFilled());
    Main().lbPupils->addItem(QStringLiteral("Учень"));
    Main().acSideSwitch->trigger();
    Main().acSideSwitch->trigger();
    QCOMPARE(Main().HelpText(), TMainF::T2 + QStringLiteral("\r\r") + TMainF::T3 + QStringLiteral("\r\r"));
  }
};

QTEST_MAIN(TestSharedData)
#include "tst_shareddata.moc"
