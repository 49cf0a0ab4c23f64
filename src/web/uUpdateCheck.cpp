#include "uUpdateCheck.h"

#include "store/uAppPaths.h"
#include "store/uIniFile.h"
#include "web/CommonNetUtils.h"

#include <QUrl>

namespace {
const QString ListSection = QStringLiteral("Ornavel");
} // namespace

void GetLastVersionInfo(QString &importance, QString &setupFileName)
{
  importance.clear();
  setupFileName = ListNotFetched;
  const QString listPath = ProgramFile(UpdateListFileName);
  if (!DownloadFile(ProductSiteUrl() + UpdateListFileName, listPath))
    return;

  const TIniFile list(listPath);
  if (list.ReadString(ListSection, QStringLiteral("LastVersion"), QString()) == ProgramReleaseVersion) {
    setupFileName.clear();
    return;
  }
  importance = list.ReadString(ListSection, QStringLiteral("Importance"), QString());
  setupFileName = list.ReadString(ListSection, QStringLiteral("SetupFileName"), QString());
  // The name becomes a proposed file name and part of an address: a path
  // smuggled in through the list must not steer either.
  if (!IsPlainFileName(setupFileName))
    setupFileName.clear();
}

bool IsPlainFileName(const QString &name)
{
  if (name.isEmpty() || name.contains(QLatin1String("..")))
    return false;
  for (const QChar c : name) {
    if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
        c.category() == QChar::Other_Control)
      return false;
  }
  return name != QLatin1String(".");
}

TUpdateAction DecideUpdate(bool silent, const QString &importance, const QString &setupFileName)
{
  if (!silent && setupFileName.isEmpty())
    return TUpdateAction::ShowUpToDate;
  if (!silent && setupFileName == ListNotFetched)
    return TUpdateAction::ShowFailed;
  if (!setupFileName.isEmpty() && setupFileName != ListNotFetched)
    return importance == CriticalImportance ? TUpdateAction::OfferImportant : TUpdateAction::OfferOrdinary;
  return TUpdateAction::Nothing;
}

QString UpdateQuestion(TUpdateAction action)
{
  switch (action) {
  case TUpdateAction::OfferImportant:
    return ImportantUpdateQuestion;
  case TUpdateAction::OfferOrdinary:
    return OrdinaryUpdateQuestion;
  default:
    return QString();
  }
}

QString InstallerAddress(const QString &setupFileName)
{
  return ProductSiteUrl() + QStringLiteral("downloads/") + QString::fromLatin1(QUrl::toPercentEncoding(setupFileName));
}

QString HelpAddress()
{
  return ProductSiteUrl() + QStringLiteral("index.php/help");
}
