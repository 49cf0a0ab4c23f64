#pragma once

#include <QString>

/// The program's version as the update list names releases.
inline const QString ProgramReleaseVersion = QStringLiteral("2013-2.2.2.0");

/// The installer name GetLastVersionInfo gives when the list could not be fetched.
inline const QString ListNotFetched = QStringLiteral("000");

/// The update list's file name, on the site and in the program's folder.
inline const QString UpdateListFileName = QStringLiteral("last_versions.ini");

/// The importance that marks an important update (compared case-sensitively).
inline const QString CriticalImportance = QStringLiteral("Critical");

inline const QString UpToDateText = QStringLiteral("Ви використовуєте саму останню версію програми");
inline const QString CheckFailedText = QStringLiteral("Oops! Не склалося... ((");
inline const QString ImportantUpdateQuestion =
    QStringLiteral("Є доступні ВАЖЛИВІ оновлення програми!\rДля коректного заповнення додатків ВКРАЙ НЕОБХІДНО "
                   "оновити версію!\r\rСкачати?");
inline const QString OrdinaryUpdateQuestion =
    QStringLiteral("Є доступні оновлення програми! Рекомендується оновити версію!\r\rСкачати?");
inline const QString InstallerDownloadedText =
    QStringLiteral("Нову версію програми завантажено.\r\rВийдіть із програми та запустіть скачаний інсталятор.");

/**
 * Fetches the site's update list into the program's folder and reads it.
 *
 * `setupFileName` is "000" (ListNotFetched) when the list could not be
 * downloaded, empty when the program is up to date or nothing is offered,
 * otherwise the installer's file name. `importance` is the list's
 * Importance when the list names a version other than ProgramReleaseVersion,
 * otherwise empty. An installer name that is not a plain file name
 * (IsPlainFileName) is refused: nothing is offered then.
 */
void GetLastVersionInfo(QString &importance, QString &setupFileName);

/// True for a bare file name that can be proposed in a save dialog and put
/// under the site's "downloads/": no folder part ("/" or "\"), no drive or
/// stream (":"), no "..", no control characters, not empty.
bool IsPlainFileName(const QString &name);

/// What CheckForUpdate shows after GetLastVersionInfo.
enum class TUpdateAction {
  Nothing,        ///< a silent check that found nothing to offer, or failed
  ShowUpToDate,   ///< UpToDateText (information)
  ShowFailed,     ///< CheckFailedText (error)
  OfferImportant, ///< switch to the help tab, ask ImportantUpdateQuestion (warning, Yes/No)
  OfferOrdinary,  ///< switch to the help tab, ask OrdinaryUpdateQuestion (warning, Yes/No)
};

/// The first matching rule: an update on offer is asked about (important
/// only for the importance "Critical"), whether silent or not; otherwise a
/// check on demand reports "up to date" or the failure, a silent one nothing.
TUpdateAction DecideUpdate(bool silent, const QString &importance, const QString &setupFileName);

/// The question asked for an offer; empty for the other actions.
QString UpdateQuestion(TUpdateAction action);

/// The installer's address: the site's "downloads/" and the name, encoded.
QString InstallerAddress(const QString &setupFileName);

/// The help pages' address.
QString HelpAddress();
