// The print job into a real print queue: a private CUPS server of this test's
// own, with one cups-pdf queue as the default printer. Two presses of
// "Друк на поточний принтер" must leave two jobs titled "Орнавел 2012" whose
// spooled documents are the program's pages, 210 x 148 mm, with the two
// pupils' names where the layout puts them.
//
// Needs root (cupsd runs its filters as the lp user and must own its
// folders) and the cups and printer-driver-cups-pdf packages.

#include "TestPdfText.h"
#include "web/CommonNetUtils.h"

#include "app/frmMain.h"
#include "app/uSkin.h"
#include "store/uAppPaths.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <optional>

#include <unistd.h>

using PdfText::TAnchor;
using PdfText::TExpected;

namespace {

constexpr double Tolerance = 0.05; // mm
// Qt writes the page box in whole points: 595 x 420 pt for 210 x 148 mm.
constexpr double PageTolerance = 0.5 * 25.4 / 72; // mm

const QString QueuePpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString CupsPdfBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");

QString Fixture(const QString &name)
{
  return QStringLiteral(ORNAVEL_FIXTURES "/") + name;
}

QString Tool(const QString &name)
{
  return QStandardPaths::findExecutable(
      name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/sbin"), QStringLiteral("/bin")});
}

bool WriteFile(const QString &path, const QString &text)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0;
}

QByteArray ReadFile(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Runs a CUPS command-line tool against the private server (CUPS_SERVER is
/// set in this process and inherited); its exit code and output.
struct TRun
{
  int ExitCode = -1;
  QString Output;
};

TRun RunCups(const QString &program, const QStringList &arguments)
{
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(Tool(program), arguments);
  TRun run;
  if (!process.waitForStarted(10000) || !process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished(5000);
    run.Output = program + QStringLiteral(" did not run to its end");
    return run;
  }
  run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.Output = QString::fromLocal8Bit(process.readAll());
  return run;
}

/// The job-name attribute of a job's control file, which holds the job's
/// attributes in IPP encoding: value tag, 2-byte name length, name, 2-byte
/// value length, value.
std::optional<QString> JobName(const QByteArray &control)
{
  static const QByteArray key = QByteArray("\x00\x08", 2) + "job-name";
  const qsizetype at = control.indexOf(key);
  if (at < 0 || at + key.size() + 2 > control.size())
    return std::nullopt;
  const qsizetype lengthAt = at + key.size();
  const int length = (quint8(control.at(lengthAt)) << 8) | quint8(control.at(lengthAt + 1));
  if (lengthAt + 2 + length > control.size())
    return std::nullopt;
  return QString::fromUtf8(control.mid(lengthAt + 2, length));
}

} // namespace

class TestPrintQueue : public QObject
{
  Q_OBJECT

private:
  // The folder outlives the server: members are destroyed in reverse order,
  // and a QProcess that is destroyed kills its process.
  std::unique_ptr<QTemporaryDir> FCups;
  std::unique_ptr<QProcess> FCupsd;
  std::unique_ptr<QTemporaryDir> FFolder;
  std::unique_ptr<TMainF> FMain;

  QString CupsPath(const QString &relative) const { return FCups->filePath(relative); }

  void StopCupsd()
  {
    if (!FCupsd || FCupsd->state() == QProcess::NotRunning)
      return;
    FCupsd->terminate();
    if (!FCupsd->waitForFinished(10000)) {
      FCupsd->kill();
      FCupsd->waitForFinished(5000);
    }
  }

  /// The spooled documents (d<job>-001), in job order.
  QStringList SpooledDocuments() const
  {
    QStringList files =
        QDir(CupsPath(QStringLiteral("spool"))).entryList({QStringLiteral("d*-001")}, QDir::Files, QDir::Name);
    for (QString &file : files)
      file = CupsPath(QStringLiteral("spool/") + file);
    return files;
  }

public:
  ~TestPrintQueue() override { StopCupsd(); }

private slots:
  void initTestCase()
  {
    if (geteuid() != 0)
      QSKIP("a private CUPS server needs root: it runs its filters as the lp user");
    for (const QString &tool : {QStringLiteral("cupsd"), QStringLiteral("lpadmin"), QStringLiteral("lpstat")})
      if (Tool(tool).isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed (package cups)")));
    if (!QFile::exists(CupsPdfBackend) || !QFile::exists(QueuePpd))
      QSKIP("the cups-pdf backend or its PPD is not installed (package printer-driver-cups-pdf)");
    if (!PdfText::ToolsAvailable())
      QSKIP("pdftotext and pdfinfo (poppler-utils) are needed");

    // Everything of the server under one private folder. cupsd itself
    // gives its folders to the lp user as it needs them; lp must only be
    // able to pass through the folder above them.
    FCups = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/ornavel-cups-XXXXXX"));
    QVERIFY(FCups->isValid());
    QVERIFY(QFile::setPermissions(FCups->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                     QFileDevice::ExeOther));
    for (const QString &folder : {QStringLiteral("etc/ppd"), QStringLiteral("run"), QStringLiteral("spool/tmp"),
                                  QStringLiteral("cache"), QStringLiteral("state"), QStringLiteral("log")})
      QVERIFY(QDir().mkpath(CupsPath(folder)));
    const QString c = FCups->path();
    const QString filesConf = QStringLiteral("ServerRoot %1/etc\n"
                                             "RequestRoot %1/spool\n"
                                             "TempDir %1/spool/tmp\n"
                                             "CacheDir %1/cache\n"
                                             "StateDir %1/state\n"
                                             "AccessLog %1/log/access_log\n"
                                             "ErrorLog %1/log/error_log\n"
                                             "PageLog %1/log/page_log\n"
                                             "Printcap %1/state/printcap\n"
                                             "User lp\n"
                                             "Group lp\n"
                                             "SystemGroup root\n")
                                  .arg(c);
    QVERIFY(WriteFile(CupsPath(QStringLiteral("etc/cups-files.conf")), filesConf));
    // Only the local socket, reachable by root alone (its folder is root's);
    // whoever reaches it may submit jobs and administer.
    QVERIFY(WriteFile(CupsPath(QStringLiteral("etc/cupsd.conf")),
                      QStringLiteral("Listen %1/run/cups.sock\n"
                                     "Browsing Off\n"
                                     "WebInterface No\n"
                                     "DefaultAuthType None\n"
                                     "PreserveJobFiles Yes\n"
                                     "PreserveJobHistory Yes\n"
                                     "DirtyCleanInterval 0\n"
                                     "LogLevel info\n"
                                     "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                     "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                                     "<Policy default>\n"
                                     "  JobPrivateAccess all\n  JobPrivateValues none\n"
                                     "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
                                     "  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n"
                                     "</Policy>\n")
                          .arg(c)));
    QVERIFY(QFile::setPermissions(CupsPath(QStringLiteral("run")),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));

    // The server, and every printer look-up of this process, on that socket;
    // before the first QPrinter. No other default printer may interfere.
    const QString socket = CupsPath(QStringLiteral("run/cups.sock"));
    qputenv("CUPS_SERVER", socket.toLocal8Bit());
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    FCupsd = std::make_unique<QProcess>();
    FCupsd->setProcessChannelMode(QProcess::MergedChannels);
    FCupsd->start(Tool(QStringLiteral("cupsd")),
                  {QStringLiteral("-f"), QStringLiteral("-c"), CupsPath(QStringLiteral("etc/cupsd.conf")),
                   QStringLiteral("-s"), CupsPath(QStringLiteral("etc/cups-files.conf"))});
    QVERIFY2(FCupsd->waitForStarted(10000), qPrintable(FCupsd->errorString()));
    qInfo("cupsd started, PID %lld, socket %s", FCupsd->processId(), qPrintable(socket));

    bool running = false;
    QElapsedTimer waited;
    waited.start();
    while (!running && waited.elapsed() < 20000 && FCupsd->state() == QProcess::Running) {
      running = RunCups(QStringLiteral("lpstat"), {QStringLiteral("-r")}).Output.contains(QLatin1String("is running"));
      if (!running)
        QThread::msleep(50);
    }
    QVERIFY2(running, qPrintable(QStringLiteral("cupsd did not answer: ") + QString::fromLocal8Bit(FCupsd->readAll()) +
                                 QString::fromLocal8Bit(ReadFile(CupsPath(QStringLiteral("log/error_log"))))));

    const TRun added =
        RunCups(QStringLiteral("lpadmin"), {QStringLiteral("-p"), QStringLiteral("blank"), QStringLiteral("-E"),
                                            QStringLiteral("-v"), QStringLiteral("cups-pdf:/blank"),
                                            QStringLiteral("-m"), QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd")});
    QVERIFY2(added.ExitCode == 0, qPrintable(added.Output));
    const TRun defaulted = RunCups(QStringLiteral("lpadmin"), {QStringLiteral("-d"), QStringLiteral("blank")});
    QVERIFY2(defaulted.ExitCode == 0, qPrintable(defaulted.Output));

    QLocale::setDefault(QLocale(QLocale::Ukrainian, QLocale::Ukraine));
    ApplySkin(*qApp);
    Dialogs::setScripted(true);
    // The start-up update check asks a closed port on this machine, nothing outside.
    SetProductSiteUrl(QStringLiteral("http://127.0.0.1:9/"));
  }

  void cleanupTestCase()
  {
    FMain.reset();
    SetProgramFolderOverride(QString());
    StopCupsd();
    if (FCupsd)
      QCOMPARE(FCupsd->state(), QProcess::NotRunning);
  }

  void twoPressesTwoJobs()
  {
    FFolder = std::make_unique<QTemporaryDir>();
    QVERIFY(FFolder->isValid());
    SetProgramFolderOverride(FFolder->path());
    FMain = std::make_unique<TMainF>();
    FMain->resize(1400, 900);
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
    Dialogs::setNextFileName(Fixture(QStringLiteral("class9.xlsx")));
    FMain->acImportFromExcel->trigger();
    QCOMPARE(FMain->lbPupils->count(), 4);
    FMain->CommonData.School1 = QStringLiteral("Загальноосвітня школа №5");
    FMain->CommonData.School2 = QStringLiteral("м. Житомира");
    Dialogs::clearShown();

    // The system's default printer is the private queue.
    QCOMPARE(FMain->CurrentPrinter().printerName(), QStringLiteral("blank"));
    QCOMPARE(FMain->CurrentPrinter().outputFormat(), QPrinter::NativeFormat);

    for (int press = 0; press < 2; ++press) {
      QElapsedTimer sinceThePress;
      sinceThePress.start();
      FMain->acPrint->trigger();
      // The job's document is spooled whole when it ends with the PDF trailer.
      QStringList spooled;
      while (sinceThePress.elapsed() < 30000) {
        spooled = SpooledDocuments();
        if (spooled.size() == press + 1 && ReadFile(spooled.constLast()).trimmed().endsWith("%%EOF"))
          break;
        QThread::msleep(2);
      }
      const qint64 elapsed = sinceThePress.elapsed();
      QCOMPARE(spooled.size(), press + 1);
      qInfo("press %d: job spooled %lld ms after the press", press + 1, elapsed);
    }
    QCOMPARE(Dialogs::shown().size(), 0);
    // Two presses printed the first two pupils and selected the third.
    QCOMPARE(FMain->lbPupils->currentRow(), 2);

    const QStringList spooled = SpooledDocuments();
    const QList<QStringList> names{{QStringLiteral("Бондаренко"), QStringLiteral("Оксана Петрівна")},
                                   {QStringLiteral("Мельник"), QStringLiteral("Тарас Іванович")}};
    const QStringList numbers{QStringLiteral("47123456"), QStringLiteral("01234567")};
    for (int job = 0; job < 2; ++job) {
      const QString document = spooled.at(job);
      // The control file beside it: d00001-001 belongs to c00001.
      const QString control = CupsPath(QStringLiteral("spool/c") + QFileInfo(document).fileName().mid(1, 5));
      // The server writes the control file after it has taken the job.
      std::optional<QString> title;
      QElapsedTimer waited;
      waited.start();
      while (!(title = JobName(ReadFile(control))) && waited.elapsed() < 30000)
        QThread::msleep(20);
      QVERIFY2(title, qPrintable(QStringLiteral("no job-name in ") + control));
      QCOMPARE(*title, TMainF::PrintJobTitle);
      QCOMPARE(*title, QStringLiteral("Орнавел 2012"));

      QString error;
      const auto info = PdfText::Info(document, error);
      QVERIFY2(info, qPrintable(error));
      QCOMPARE(info->Pages, 1);
      QVERIFY2(
          qAbs(info->WidthMm - 210) < PageTolerance && qAbs(info->HeightMm - 148) < PageTolerance &&
              info->Rotation == 0,
          qPrintable(
              QStringLiteral("%1 x %2 mm, rotated %3").arg(info->WidthMm).arg(info->HeightMm).arg(info->Rotation)));
      const auto pages = PdfText::Pages(document, error);
      QVERIFY2(pages && pages->size() == 1, qPrintable(error));
      // The name centred on the name lines, series and number on theirs,
      // with the default layout; the rest of the spread is not checked here.
      const QList<TExpected> expected{
          {names.at(job).at(0), TAnchor::Centre, 54, 31},
          {names.at(job).at(1), TAnchor::Centre, 54, 38},
          {QStringLiteral("ВК"), TAnchor::Left, 31, 22},
          {numbers.at(job), TAnchor::Left, 48, 22},
          {QStringLiteral("Загальноосвітня школа №5"), TAnchor::Centre, 54, 55},
      };
      const QStringList problems = PdfText::Mismatches(pages->constFirst().Words, expected, Tolerance, true);
      QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    // The queue prints both: the filters and the cups-pdf backend take the
    // program's document to its end. (cups-pdf writes its own copy where its
    // configuration says, for root under /var/spool/cups-pdf.)
    QElapsedTimer waited;
    waited.start();
    QByteArray log;
    const auto completed = [&log](int job) {
      return log.contains(QByteArray("[Job ") + QByteArray::number(job) + "] Job completed.");
    };
    while (waited.elapsed() < 60000) {
      log = ReadFile(CupsPath(QStringLiteral("log/error_log")));
      if ((completed(1) && completed(2)) || log.contains("] Job stopped") || log.contains("aborted"))
        break;
      QThread::msleep(20);
    }
    QByteArrayList jobLines;
    for (const QByteArray &line : log.split('\n'))
      if (line.contains("[Job "))
        jobLines << line;
    QVERIFY2(completed(1) && completed(2), jobLines.join('\n').right(900).constData());
  }
};

QTEST_MAIN(TestPrintQueue)
#include "tst_printqueue.moc"
