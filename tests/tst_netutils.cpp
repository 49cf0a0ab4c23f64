// Downloads against a loopback HTTP server run inside the test: bodies
// arrive byte for byte, and every failure (error status, stalled or missing
// server, cut-off body, refused redirect, unwritable target) gives false and
// leaves an existing target as it was.

#include "web/CommonNetUtils.h"

#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {

/// A complete response with a Content-Length, announcing that the connection
/// closes after it.
QByteArray HttpResponse(int status, const QByteArray &body, const QByteArray &headers = {})
{
  return "HTTP/1.1 " + QByteArray::number(status) + " Canned\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

/// An HTTP server on 127.0.0.1 that answers each path with canned bytes,
/// written as they are, and then closes the connection or holds it open.
class TLoopbackServer
{
public:
  TLoopbackServer()
  {
    QObject::connect(&FServer, &QTcpServer::newConnection, &FServer, [this] { Accept(); });
  }

  bool Start() { return FServer.listen(QHostAddress::LocalHost); }
  QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(FServer.serverPort()); }

  void Answer(const QByteArray &path, const QByteArray &response, bool holdOpen = false)
  {
    FRoutes.insert(path, {response, holdOpen});
  }
  /// The connection is held open without a byte of answer.
  void Stall(const QByteArray &path) { Answer(path, QByteArray(), true); }

  /// The head of every request received, in order.
  QList<QByteArray> Requests;
  /// Whether the hourglass was up when each request arrived.
  QList<bool> WaitCursorShown;

private:
  void Accept()
  {
    while (QTcpSocket *socket = FServer.nextPendingConnection()) {
      auto buffer = std::make_shared<QByteArray>();
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
        buffer->append(socket->readAll());
        const qsizetype end = buffer->indexOf("\r\n\r\n");
        if (end < 0)
          return;
        const QByteArray head = buffer->left(end);
        buffer->clear();
        Requests << head;
        const QCursor *cursor = QGuiApplication::overrideCursor();
        WaitCursorShown << (cursor && cursor->shape() == Qt::WaitCursor);
        const QByteArray path = head.left(head.indexOf("\r\n")).split(' ').value(1);
        const TRoute route = FRoutes.value(path, {HttpResponse(404, "not here"), false});
        socket->write(route.Bytes);
        if (!route.HoldOpen)
          socket->disconnectFromHost();
      });
    }
  }

  struct TRoute
  {
    QByteArray Bytes;
    bool HoldOpen = false;
  };
  QTcpServer FServer;
  QHash<QByteArray, TRoute> FRoutes;
};

QByteArray AllByteValues()
{
  QByteArray bytes;
  for (int i = 0; i < 256; ++i)
    bytes.append(char(i));
  // A CR LF pair and a lone LF must not be translated either.
  return bytes + "\r\n\n\r";
}

QByteArray RandomBytes(int size)
{
  QByteArray bytes(size, Qt::Uninitialized);
  QRandomGenerator generator(20130222);
  for (char &b : bytes)
    b = char(generator.bounded(256));
  return bytes;
}

const QByteArray OldContents = "old file that must survive";

} // namespace

class TestNetUtils : public QObject
{
  Q_OBJECT

  std::unique_ptr<TLoopbackServer> FServer;
  std::unique_ptr<QTemporaryDir> FDir;

  QString Target() const { return FDir->filePath(QStringLiteral("target.bin")); }
  QString Address(const QByteArray &path) const { return FServer->Base() + QString::fromLatin1(path); }
  QStringList FolderEntries() const
  {
    return QDir(FDir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }

  /// A port nothing listens on.
  static quint16 ClosedPort()
  {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
      return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
  }

private slots:
  void init()
  {
    FServer = std::make_unique<TLoopbackServer>();
    QVERIFY(FServer->Start());
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    SetDownloadTimeout(500);
  }

  void cleanup()
  {
    SetDownloadTimeout(0);
    FServer.reset();
    FDir.reset();
  }

  void downloadsBodyExactly_data()
  {
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<QByteArray>("body");

    const QByteArray binary = AllByteValues();
    QTest::newRow("every byte value") << HttpResponse(200, binary) << binary;
    const QByteArray large = RandomBytes(3 * 1024 * 1024 + 17);
    QTest::newRow("several megabytes") << HttpResponse(200, large) << large;
    QTest::newRow("empty body") << HttpResponse(200, QByteArray()) << QByteArray();
    QTest::newRow("chunked") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                                           "4\r\n[Orn\r\n6\r\navel]\n\r\n0\r\n\r\n")
                             << QByteArray("[Ornavel]\n");
    QTest::newRow("length given by the closing connection") << QByteArray("HTTP/1.0 200 OK\r\n\r\n") + binary << binary;
  }

  void downloadsBodyExactly()
  {
    QFETCH(QByteArray, response);
    QFETCH(QByteArray, body);
    FServer->Answer("/file", response);
    WriteBytes(Target(), OldContents);

    QVERIFY(DownloadFile(Address("/file"), Target()));
    QCOMPARE(ReadBytes(Target()), body);
    QCOMPARE(FolderEntries(), QStringList{QFileInfo(Target()).fileName()});
  }

  void followsRedirectsWithinTheSite()
  {
    // The redirect's own body must not end up in the file.
    FServer->Answer("/old", HttpResponse(301, "moved", "Location: /new\r\n"));
    FServer->Answer("/new", HttpResponse(302, "moved again", "Location: " + Address("/file").toLatin1() + "\r\n"));
    FServer->Answer("/file", HttpResponse(200, "installer"));

    QVERIFY(DownloadFile(Address("/old"), Target()));
    QCOMPARE(ReadBytes(Target()), QByteArray("installer"));
  }

  void failureKeepsTarget_data()
  {
    QTest::addColumn<QString>("kind");
    QTest::newRow("404") << "404";
    QTest::newRow("500") << "500";
    QTest::newRow("stalled server") << "stalled";
    QTest::newRow("headers then stall") << "stalled body";
    QTest::newRow("closed port") << "closed port";
    QTest::newRow("body shorter than its length") << "short body";
    QTest::newRow("redirect to another scheme") << "ftp redirect";
    QTest::newRow("redirect to a local file") << "file redirect";
    QTest::newRow("endless redirects") << "redirect loop";
    QTest::newRow("300 without a redirect") << "300";
    QTest::newRow("local file address") << "file address";
  }

  void failureKeepsTarget()
  {
    QFETCH(QString, kind);
    QString address = Address("/file");
    if (kind == QLatin1String("404")) {
      FServer->Answer("/file", HttpResponse(404, "<html>Not Found</html>"));
    } else if (kind == QLatin1String("500")) {
      FServer->Answer("/file", HttpResponse(500, "<html>Internal Server Error</html>"));
    } else if (kind == QLatin1String("stalled")) {
      FServer->Stall("/file");
    } else if (kind == QLatin1String("stalled body")) {
      FServer->Answer("/file", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst bytes", true);
    } else if (kind == QLatin1String("closed port")) {
      const quint16 port = ClosedPort();
      QVERIFY(port != 0);
      address = QStringLiteral("http://127.0.0.1:%1/file").arg(port);
    } else if (kind == QLatin1String("short body")) {
      FServer->Answer("/file", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\nonly this");
    } else if (kind == QLatin1String("ftp redirect")) {
      FServer->Answer("/file", HttpResponse(302, QByteArray(), "Location: ftp://127.0.0.1/file\r\n"));
    } else if (kind == QLatin1String("file redirect")) {
      const QString source = FDir->filePath(QStringLiteral("source.txt"));
      WriteBytes(source, "local");
      FServer->Answer("/file",
                      HttpResponse(302, QByteArray(), "Location: " + QUrl::fromLocalFile(source).toEncoded() + "\r\n"));
    } else if (kind == QLatin1String("redirect loop")) {
      FServer->Answer("/file", HttpResponse(302, QByteArray(), "Location: /file\r\n"));
    } else if (kind == QLatin1String("300")) {
      FServer->Answer("/file", HttpResponse(300, "choose one yourself"));
    } else if (kind == QLatin1String("file address")) {
      const QString source = FDir->filePath(QStringLiteral("source.txt"));
      WriteBytes(source, "local");
      address = QUrl::fromLocalFile(source).toString();
    }
    WriteBytes(Target(), OldContents);
    const QStringList before = FolderEntries();

    QVERIFY(!DownloadFile(address, Target()));
    QCOMPARE(ReadBytes(Target()), OldContents);
    QCOMPARE(FolderEntries(), before);
  }

  void failureCreatesNoFile()
  {
    FServer->Answer("/file", HttpResponse(404, "missing"));
    QVERIFY(!DownloadFile(Address("/file"), Target()));
    QVERIFY(!QFileInfo::exists(Target()));
    QVERIFY(FolderEntries().isEmpty());
  }

  void targetInMissingFolder()
  {
    FServer->Answer("/file", HttpResponse(200, "body"));
    const QString target = FDir->filePath(QStringLiteral("no such folder/target.bin"));
    QVERIFY(!DownloadFile(Address("/file"), target));
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(!QFileInfo::exists(QFileInfo(target).path()));
  }

  void requestCarriesProgramNameAndShowsHourglass()
  {
    FServer->Answer("/file", HttpResponse(200, "body"));
    QVERIFY(!QGuiApplication::overrideCursor());

    QVERIFY(DownloadFile(Address("/file"), Target()));
    // (Qt may send a request again on a fresh connection; each one counts.)
    QVERIFY(!FServer->Requests.isEmpty());
    const QByteArray agent =
        "\r\nUser-Agent: " + QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
    for (const QByteArray &head : std::as_const(FServer->Requests)) {
      QVERIFY2(head.startsWith("GET /file HTTP/1.1\r\n"), head.constData());
      QVERIFY2(head.contains(agent + "\r\n") || head.endsWith(agent), head.constData());
    }
    QVERIFY(!FServer->WaitCursorShown.contains(false));
    QVERIFY(!QGuiApplication::overrideCursor());
  }
};

QTEST_MAIN(TestNetUtils)
#include "tst_netutils.moc"
