// The update check against a loopback site: reading the update list, the
// fallbacks when it cannot be fetched, refused installer names, what the
// window shows for each outcome, and the installer's address.

#include "store/uAppPaths.h"
#include "web/CommonNetUtils.h"
#include "web/uUpdateCheck.h"

#include "TestLoopbackSite.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

QByteArray List(const QByteArray &lastVersion, const QByteArray &importance, const QByteArray &setupFileName)
{
  return "[Ornavel]\r\nLastVersion=" + lastVersion + "\r\nImportance=" + importance +
         "\r\nSetupFileName=" + setupFileName + "\r\n";
}

/// Every request asked for `path` (Qt may repeat a request on a fresh connection).
bool OnlyAskedFor(const QList<QByteArray> &paths, const QByteArray &path)
{
  return !paths.isEmpty() && std::all_of(paths.begin(), paths.end(), [&](const QByteArray &p) { return p == path; });
}

/// A list offering the installer `name` as an important update.
QByteArray Offering(const QByteArray &name)
{
  return List("2013-2.2.3.0", "Critical", name);
}

} // namespace

class TestUpdateCheck : public QObject
{
  Q_OBJECT

  std::unique_ptr<TLoopbackSite> FSite;
  std::unique_ptr<QTemporaryDir> FProgramFolder;

  QString ListPath() const { return FProgramFolder->filePath(QStringLiteral("last_versions.ini")); }

private slots:
  void init()
  {
    FSite = std::make_unique<TLoopbackSite>();
    QVERIFY(FSite->Start());
    SetProductSiteUrl(FSite->Base());
    FProgramFolder = std::make_unique<QTemporaryDir>();
    QVERIFY(FProgramFolder->isValid());
    SetProgramFolderOverride(FProgramFolder->path());
    SetDownloadTimeout(2000);
  }

  void cleanup()
  {
    SetProductSiteUrl(QString());
    SetProgramFolderOverride(QString());
    SetDownloadTimeout(0);
    FSite.reset();
    FProgramFolder.reset();
  }

  void readsList_data()
  {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("importance");
    QTest::addColumn<QString>("setupFileName");

    const QString name = QStringLiteral("Ornavel_2013_2.2.3.exe");
    QTest::newRow("same version") << List("2013-2.2.2.0", "Critical", name.toLatin1()) << ""
                                  << "";
    QTest::newRow("same version, names in other case, blanks, LF")
        << QByteArray("[ornavel]\nlastversion = 2013-2.2.2.0 \nSETUPFILENAME=x.exe\n") << ""
        << "";
    QTest::newRow("newer version") << List("2013-2.2.3.0", "Critical", name.toLatin1()) << "Critical" << name;
    QTest::newRow("older version") << List("2012-1.0.0.0", "Normal", name.toLatin1()) << "Normal" << name;
    QTest::newRow("version with a suffix") << List("2013-2.2.2.0 beta", "", name.toLatin1()) << "" << name;
    QTest::newRow("no LastVersion") << QByteArray("[Ornavel]\r\nSetupFileName=" + name.toLatin1() + "\r\n") << ""
                                    << name;
    QTest::newRow("lower-case critical") << List("2013-2.2.3.0", "critical", name.toLatin1()) << "critical" << name;
    QTest::newRow("empty SetupFileName") << List("2013-2.2.3.0", "Critical", "") << "Critical"
                                         << "";
    QTest::newRow("no SetupFileName") << QByteArray("[Ornavel]\r\nLastVersion=2013-2.2.3.0\r\nImportance=Critical\r\n")
                                      << "Critical"
                                      << "";
    QTest::newRow("other section only") << QByteArray("[Other]\r\nLastVersion=9\r\nSetupFileName=x.exe\r\n") << ""
                                        << "";
    QTest::newRow("empty list") << QByteArray() << ""
                                << "";
    // The list is INI text in Windows-1251, as every INI file of the program.
    QTest::newRow("name with blanks and Cyrillic")
        << Offering(QStringEncoder("windows-1251").encode(QStringLiteral("Орнавел 2013 (2.2.3).exe"))) << "Critical"
        << QStringLiteral("Орнавел 2013 (2.2.3).exe");
    QTest::newRow("name with dots") << Offering("setup.v2.2.3.exe") << "Critical"
                                    << "setup.v2.2.3.exe";

    // An installer name is a file name, never a path.
    QTest::newRow("parent folder") << Offering("../setup.exe") << "Critical"
                                   << "";
    QTest::newRow("bare parent") << Offering("..") << "Critical"
                                 << "";
    QTest::newRow("current folder") << Offering(".") << "Critical"
                                    << "";
    QTest::newRow("sub-folder") << Offering("downloads/setup.exe") << "Critical"
                                << "";
    QTest::newRow("backslash folder") << Offering("..\\..\\Windows\\setup.exe") << "Critical"
                                      << "";
    QTest::newRow("absolute Unix path") << Offering("/tmp/setup.exe") << "Critical"
                                        << "";
    QTest::newRow("drive letter") << Offering("C:\\setup.exe") << "Critical"
                                  << "";
    QTest::newRow("drive-relative") << Offering("C:setup.exe") << "Critical"
                                    << "";
    QTest::newRow("network share") << Offering("\\\\server\\share\\setup.exe") << "Critical"
                                   << "";
    QTest::newRow("control character") << Offering("setup\x01.exe") << "Critical"
                                       << "";
  }

  void readsList()
  {
    QFETCH(QByteArray, list);
    QFETCH(QString, importance);
    QFETCH(QString, setupFileName);
    FSite->Serve("/last_versions.ini", list);

    QString gotImportance = QStringLiteral("stale");
    QString gotSetup = QStringLiteral("stale");
    GetLastVersionInfo(gotImportance, gotSetup);
    QCOMPARE(gotSetup, setupFileName);
    QCOMPARE(gotImportance, importance);
    QVERIFY2(OnlyAskedFor(FSite->Paths, "/last_versions.ini"), FSite->Paths.join(" ").constData());
    // The list stays in the program's folder as it came.
    QCOMPARE(ReadBytes(ListPath()), list);
  }

  void listNotFetched_data()
  {
    QTest::addColumn<bool>("siteRunning");
    QTest::newRow("list missing on the site (404)") << true;
    QTest::newRow("site unreachable") << false;
  }

  void listNotFetched()
  {
    QFETCH(bool, siteRunning);
    if (!siteRunning)
      FSite.reset(); // its port is closed now
    // A list left by an earlier check offers an update; it must not be read.
    const QByteArray earlier = Offering("old_setup.exe");
    WriteBytes(ListPath(), earlier);

    QString importance = QStringLiteral("stale");
    QString setup;
    GetLastVersionInfo(importance, setup);
    QCOMPARE(setup, QStringLiteral("000"));
    QCOMPARE(importance, QString());
    QCOMPARE(ReadBytes(ListPath()), earlier);
    QCOMPARE(DecideUpdate(false, importance, setup), TUpdateAction::ShowFailed);
  }

  void listNotFetchedWithoutEarlierList()
  {
    QString importance;
    QString setup;
    GetLastVersionInfo(importance, setup);
    QCOMPARE(setup, QStringLiteral("000"));
    QVERIFY(!QFileInfo::exists(ListPath()));
    QCOMPARE(QDir(FProgramFolder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
  }

  void siteAddressWithoutTrailingSlash()
  {
    SetProductSiteUrl(FSite->Base() + QStringLiteral("ornavel"));
    FSite->Serve("/ornavel/last_versions.ini", List("2013-2.2.2.0", "", ""));

    QString importance;
    QString setup;
    GetLastVersionInfo(importance, setup);
    QCOMPARE(setup, QString());
    QVERIFY2(OnlyAskedFor(FSite->Paths, "/ornavel/last_versions.ini"), FSite->Paths.join(" ").constData());
  }

  void decision_data()
  {
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("importance");
    QTest::addColumn<QString>("setupFileName");
    QTest::addColumn<TUpdateAction>("action");
    QTest::addColumn<QString>("question");

    const QString important = QStringLiteral("Є доступні ВАЖЛИВІ оновлення програми!\rДля коректного заповнення "
                                             "додатків ВКРАЙ НЕОБХІДНО оновити версію!\r\rСкачати?");
    const QString ordinary =
        QStringLiteral("Є доступні оновлення програми! Рекомендується оновити версію!\r\rСкачати?");
    QTest::newRow("on demand, up to date") << false << ""
                                           << "" << TUpdateAction::ShowUpToDate << "";
    QTest::newRow("on demand, up to date, importance left over") << false << "Critical"
                                                                 << "" << TUpdateAction::ShowUpToDate << "";
    QTest::newRow("on demand, list not fetched") << false << ""
                                                 << "000" << TUpdateAction::ShowFailed << "";
    QTest::newRow("silent, up to date") << true << ""
                                        << "" << TUpdateAction::Nothing << "";
    QTest::newRow("silent, list not fetched") << true << ""
                                              << "000" << TUpdateAction::Nothing << "";
    QTest::newRow("silent, Critical") << true << "Critical"
                                      << "setup.exe" << TUpdateAction::OfferImportant << important;
    QTest::newRow("on demand, Critical") << false << "Critical"
                                         << "setup.exe" << TUpdateAction::OfferImportant << important;
    QTest::newRow("silent, critical") << true << "critical"
                                      << "setup.exe" << TUpdateAction::OfferOrdinary << ordinary;
    QTest::newRow("on demand, CRITICAL") << false << "CRITICAL"
                                         << "setup.exe" << TUpdateAction::OfferOrdinary << ordinary;
    QTest::newRow("on demand, no importance") << false << ""
                                              << "setup.exe" << TUpdateAction::OfferOrdinary << ordinary;
    QTest::newRow("installer named like the marker's digits") << false << ""
                                                              << "0000" << TUpdateAction::OfferOrdinary << ordinary;
  }

  void decision()
  {
    QFETCH(bool, silent);
    QFETCH(QString, importance);
    QFETCH(QString, setupFileName);
    QFETCH(TUpdateAction, action);
    QFETCH(QString, question);
    QCOMPARE(DecideUpdate(silent, importance, setupFileName), action);
    QCOMPARE(UpdateQuestion(action), question);
  }

  void installerDownload_data()
  {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("requestPath");
    QTest::newRow("plain") << "Ornavel_2013_2.2.3.exe" << QByteArray("/downloads/Ornavel_2013_2.2.3.exe");
    QTest::newRow("blanks") << "Ornavel setup.exe" << QByteArray("/downloads/Ornavel%20setup.exe");
    QTest::newRow("characters with a meaning in addresses")
        << "setup#1?x=%.exe" << QByteArray("/downloads/setup%231%3Fx%3D%25.exe");
    QTest::newRow("Cyrillic") << "Орнавел.exe"
                              << QByteArray("/downloads/%D0%9E%D1%80%D0%BD%D0%B0%D0%B2%D0%B5%D0%BB.exe");
  }

  void installerDownload()
  {
    QFETCH(QString, name);
    QFETCH(QByteArray, requestPath);
    const QByteArray installer = QByteArray("MZ\x90\0\3\0\0\0", 8) + QByteArray(5000, '\xCC');
    FSite->Serve(requestPath, installer);
    const QString chosen = FProgramFolder->filePath(QStringLiteral("saved by the user.exe"));

    QCOMPARE(InstallerAddress(name), FSite->Base() + QString::fromLatin1(requestPath.mid(1)));
    QVERIFY(DownloadFile(InstallerAddress(name), chosen));
    QVERIFY2(OnlyAskedFor(FSite->Paths, requestPath), FSite->Paths.join(" ").constData());
    QCOMPARE(ReadBytes(chosen), installer);
  }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
