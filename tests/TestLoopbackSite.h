#pragma once

// A small web site on 127.0.0.1 for the tests that download.

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

/// A web site on 127.0.0.1 serving fixed files; any other path is a 404.
class TLoopbackSite
{
public:
  TLoopbackSite()
  {
    QObject::connect(&FServer, &QTcpServer::newConnection, &FServer, [this] { Accept(); });
  }

  bool Start() { return FServer.listen(QHostAddress::LocalHost); }
  QString Base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(FServer.serverPort()); }
  void Serve(const QByteArray &path, const QByteArray &body) { FFiles.insert(path, body); }

  /// The path of every request received, as sent.
  QList<QByteArray> Paths;

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
        const QByteArray path = buffer->left(buffer->indexOf("\r\n")).split(' ').value(1);
        buffer->clear();
        Paths << path;
        const bool found = FFiles.contains(path);
        const QByteArray body = found ? FFiles.value(path) : QByteArray("<html>404 Not Found</html>");
        socket->write((found ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") + QByteArray("\r\nContent-Length: ") +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
      });
    }
  }

  QTcpServer FServer;
  QHash<QByteArray, QByteArray> FFiles;
};
