// The update check as the main window runs it: silently at start-up and on
// demand, against a web site on this machine; help and the about box.

#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/uSkin.h"
#include "store/uAppPaths.h"
#include "store/uSettings.h"
#include "web/CommonNetUtils.h"
#include "web/uUpdateCheck.h"

#include "TestLoopbackSite.h"

#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QByteArray List(const QByteArray &lastVersion, const QByteArray &importance, const QByteArray &setupFileName)
{
  return "[Ornavel]\r\nLastVersion=" + lastVersion + "\r\nImportance=" + importance +
         "\r\nSetupFileName=" + setupFileName + "\r\n";
}

} // namespace

class TestUpdateWindow : public QObject
{
  Q_OBJECT

private:
  std::unique_ptr<QTemporaryDir> FFolder;
  std::unique_ptr<TLoopbackSite> FSite;
  std::unique_ptr<TMainF> FMain;
  QStringList FOpened;

  TMainF &Main() { return *FMain; }

  void Start()
  {
    FMain = std::make_unique<TMainF>();
    FMain->resize(1200, 800);
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
  }

private slots:
  void initTestCase()
  {
    ApplySkin(*qApp);
    Dialogs::setScripted(true);
    SetOpenUrlHandler([this](const QString &address) {
      FOpened << address;
      return true;
    });
  }

  void init()
  {
    FFolder = std::make_unique<QTemporaryDir>();
    SetProgramFolderOverride(FFolder->path());
    FSite = std::make_unique<TLoopbackSite>();
    QVERIFY(FSite->Start());
    SetProductSiteUrl(FSite->Base());
    Dialogs::clearScript();
    Dialogs::clearShown();
    Dialogs::setOnShown({});
    FOpened.clear();
  }

  void cleanup()
  {
    FMain.reset();
    Dialogs::setOnShown({});
    SetProductSiteUrl(QString());
    SetProgramFolderOverride(QString());
  }

  void onDemandMessages_data()
  {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::newRow("up to date") << List("2013-2.2.2.0", "", "setup.exe") << UpToDateText
                                << int(Dialogs::Icon::Information);
    QTest::newRow("newer without installer")
        << List("2013-2.2.3.0", "", "") << UpToDateText << int(Dialogs::Icon::Information);
    QTest::newRow("no list") << QByteArray() << CheckFailedText << int(Dialogs::Icon::Error);
  }

  void onDemandMessages()
  {
    QFETCH(QByteArray, list);
    QFETCH(QString, message);
    QFETCH(int, icon);
    if (!list.isEmpty())
      FSite->Serve("/last_versions.ini", list);
    Start();
    Dialogs::clearShown();
    Main().acCheckUpdate->trigger();
    QCOMPARE(Messages(), QStringList{message});
    QCOMPARE(int(Dialogs::shown().last().MessageIcon), icon);
  }

  void silentCheckAtStartUpShowsOnlyOffers_data()
  {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("question");
    QTest::newRow("up to date") << List("2013-2.2.2.0", "", "setup.exe") << QString();
    QTest::newRow("no list") << QByteArray() << QString();
    QTest::newRow("important") << List("2013-2.2.3.0", "Critical", "setup.exe") << ImportantUpdateQuestion;
    QTest::newRow("critical in lower case") << List("2013-2.2.3.0", "critical", "setup.exe") << OrdinaryUpdateQuestion;
  }

  void silentCheckAtStartUpShowsOnlyOffers()
  {
    QFETCH(QByteArray, list);
    QFETCH(QString, question);
    if (!list.isEmpty())
      FSite->Serve("/last_versions.ini", list);
    // The tab when the question comes up.
    QWidget *tabAtQuestion = nullptr;
    Dialogs::setOnShown(
        [this, &tabAtQuestion](const Dialogs::TShown &) { tabAtQuestion = FMain->sPageControl1->currentWidget(); });
    Dialogs::setNextAnswer(QMessageBox::No);
    Start();
    QCOMPARE(Messages(), question.isEmpty() ? QStringList() : QStringList{question});
    if (!question.isEmpty()) {
      QCOMPARE(tabAtQuestion, Main().tshHelp);
      QCOMPARE(Dialogs::shown().last().MessageIcon, Dialogs::Icon::Warning);
    }
    QVERIFY(QFile::exists(ProgramFile(UpdateListFileName)) == !list.isEmpty());
  }

  void switchedOffMeansNoCheckAtStartUp()
  {
    TSettings settings;
    settings.IssueDate = QDate(2013, 5, 31);
    settings.AutoCheckUpdate = false;
    WriteSettingsFile(settings);
    FSite->Serve("/last_versions.ini", List("2013-2.2.3.0", "Critical", "setup.exe"));
    Start();
    QVERIFY(!Main().cbAutoCheckUpdate->isChecked());
    QVERIFY(FSite->Paths.isEmpty());
    QVERIFY(Messages().isEmpty());
    // Switching it on again is saved at once.
    Main().cbAutoCheckUpdate->click();
    QVERIFY(ReadSettingsFile().AutoCheckUpdate);
  }

  void downloadingTheInstaller()
  {
    QByteArray installer;
    for (int i = 0; i < 70000; ++i)
      installer.append(char(i * 7 % 256));
    FSite->Serve("/last_versions.ini", List("2013-2.2.3.0", "", "ornavel_setup_2.2.3.exe"));
    FSite->Serve("/downloads/ornavel_setup_2.2.3.exe", installer);
    Start(); // the silent check offers it: not now
    Dialogs::clearShown();
    const QString target = FFolder->filePath(QStringLiteral("setup.exe"));
    Dialogs::setNextAnswer(QMessageBox::Yes);
    Dialogs::setNextFileName(target);
    Main().acCheckUpdate->trigger();
    // The save dialog proposed the list's name and offered every file.
    const Dialogs::TShown save = Dialogs::shown().at(1);
    QCOMPARE(save.Kind, QStringLiteral("save"));
    QCOMPARE(save.FileName, QStringLiteral("ornavel_setup_2.2.3.exe"));
    QCOMPARE(save.Text, QStringLiteral("Всі файли|*.*"));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), installer);
    QCOMPARE(Messages().last(), InstallerDownloadedText);
  }

  void failedInstallerDownloadSaysNothing()
  {
    FSite->Serve("/last_versions.ini", List("2013-2.2.3.0", "", "missing.exe"));
    Start();
    Dialogs::clearShown();
    Dialogs::setNextAnswer(QMessageBox::Yes);
    Dialogs::setNextFileName(FFolder->filePath(QStringLiteral("missing.exe")));
    Main().acCheckUpdate->trigger();
    QCOMPARE(Messages(), QStringList{OrdinaryUpdateQuestion});
    QVERIFY(!QFile::exists(FFolder->filePath(QStringLiteral("missing.exe"))));
  }

  void helpAndAbout()
  {
    Start();
    Main().acHelp->trigger();
    QCOMPARE(FOpened, QStringList{FSite->Base() + QStringLiteral("index.php/help")});
    QTimer::singleShot(0, this, [this] { Main().AboutBox->accept(); });
    Main().acShowAbout->trigger();
    QCOMPARE(Main().AboutBox->windowTitle(), QStringLiteral("About"));
  }
};

QTEST_MAIN(TestUpdateWindow)
#include "tst_updatewindow.moc"
