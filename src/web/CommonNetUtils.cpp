#include "CommonNetUtils.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

#ifndef ORNAVEL_SITE_URL
#define ORNAVEL_SITE_URL "https://ornavel.example.org/"
#endif
#ifndef ORNAVEL_SUPPORT_EMAIL
#define ORNAVEL_SUPPORT_EMAIL "support@ornavel.example.org"
#endif

namespace {
std::function<bool(const QString &)> OpenUrlHandler;
QString SiteUrlOverride;
QString SupportEmailOverride;

constexpr int DefaultDownloadTimeout = 15000;
int DownloadTimeoutMs = DefaultDownloadTimeout;
constexpr int MaxRedirects = 5;

QString WithTrailingSlash(QString address)
{
  if (!address.endsWith(QLatin1Char('/')))
    address += QLatin1Char('/');
  return address;
}

bool IsWebScheme(const QUrl &url)
{
  return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

/// The hourglass for as long as it lives (a program without windows has no cursor).
class TWaitCursor
{
public:
  TWaitCursor() : FShown(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
  {
    if (FShown)
      QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  }
  ~TWaitCursor()
  {
    if (FShown)
      QGuiApplication::restoreOverrideCursor();
  }
  TWaitCursor(const TWaitCursor &) = delete;
  TWaitCursor &operator=(const TWaitCursor &) = delete;

private:
  bool FShown;
};

/// True when a body sent as stored is as long as its Content-Length says.
/// Qt 6.4 ends a chunked reply cut off by a closed connection without an
/// error; a reply with a length is checked here as well, so that a cut-off
/// body never counts whatever order Qt sees the close and the last bytes in.
/// (A compressed body is checked by the decompressor instead.) After a
/// redirect Qt 6.4 may keep the earlier responses' headers, with the last
/// response's values appended ("11, 9"): the last value is the body's.
bool BodyComplete(const QNetworkReply &reply, qint64 received)
{
  const QByteArray encoding = reply.rawHeader("Content-Encoding").split(',').last().trimmed().toLower();
  if (!encoding.isEmpty() && encoding != "identity")
    return true;
  if (!reply.hasRawHeader("Content-Length"))
    return true;
  bool ok = false;
  const qint64 length = reply.rawHeader("Content-Length").split(',').last().trimmed().toLongLong(&ok);
  return ok && length == received;
}

} // namespace

bool OpenUrl(const QString &address)
{
  if (OpenUrlHandler)
    return OpenUrlHandler(address);
  // A local path is opened as a file; anything with a scheme as an address.
  const QUrl url = QFileInfo(address).isAbsolute() ? QUrl::fromLocalFile(address) : QUrl(address);
  return QDesktopServices::openUrl(url);
}

void SetOpenUrlHandler(const std::function<bool(const QString &)> &handler)
{
  OpenUrlHandler = handler;
}

QString ProductSiteUrl()
{
  return WithTrailingSlash(SiteUrlOverride.isEmpty() ? QStringLiteral(ORNAVEL_SITE_URL) : SiteUrlOverride);
}

void SetProductSiteUrl(const QString &address)
{
  SiteUrlOverride = address;
}

QString SupportEmail()
{
  return SupportEmailOverride.isEmpty() ? QStringLiteral(ORNAVEL_SUPPORT_EMAIL) : SupportEmailOverride;
}

void SetSupportEmail(const QString &address)
{
  SupportEmailOverride = address;
}

void SetDownloadTimeout(int milliseconds)
{
  DownloadTimeoutMs = milliseconds > 0 ? milliseconds : DefaultDownloadTimeout;
}

bool DownloadFile(const QString &address, const QString &targetPath)
{
  // The reply is waited for in a local event loop, which needs the application.
  if (!QCoreApplication::instance())
    return false;
  const QUrl url(address);
  if (!url.isValid() || !IsWebScheme(url) || url.host().isEmpty())
    return false;

  QSaveFile target(targetPath);
  if (!target.open(QIODevice::WriteOnly))
    return false;

  TWaitCursor hourglass;
  QNetworkProxyFactory::setUseSystemConfiguration(true);
  QNetworkAccessManager manager;
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setMaximumRedirectsAllowed(MaxRedirects);
  request.setTransferTimeout(DownloadTimeoutMs);

  QNetworkReply *reply = manager.get(request);
  qint64 received = 0;
  bool writeFailed = false;
  const auto writeAvailable = [&] {
    if (!reply->isOpen())
      return;
    const QByteArray chunk = reply->readAll();
    if (writeFailed || chunk.isEmpty())
      return;
    if (target.write(chunk) != chunk.size()) {
      writeFailed = true;
      reply->abort();
      return;
    }
    received += chunk.size();
  };
  QObject::connect(reply, &QNetworkReply::readyRead, reply, writeAvailable);
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished())
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  writeAvailable();

  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const bool complete = !writeFailed && reply->error() == QNetworkReply::NoError && status >= 200 && status < 300 &&
                        BodyComplete(*reply, received);
  reply->disconnect();
  delete reply;
  if (!complete) {
    target.cancelWriting();
    return false;
  }
  return target.commit();
}
