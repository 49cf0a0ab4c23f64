#include "CommonNetUtils.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
std::function<bool(const QString &)> OpenUrlHandler;
}

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
