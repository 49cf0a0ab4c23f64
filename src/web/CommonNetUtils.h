#pragma once

#include <QString>

#include <functional>

/// Asks the desktop to open a file or a web or mail address with its
/// default program. True when the desktop reports success.
bool OpenUrl(const QString &address);

/// Replaces the desktop call (tests record the addresses instead of
/// starting programs). An empty function restores the desktop call.
void SetOpenUrlHandler(const std::function<bool(const QString &)> &handler);

/// The product web site's address, always ending with "/". The packager sets
/// it when building (ORNAVEL_SITE_URL).
QString ProductSiteUrl();

/// Makes ProductSiteUrl answer `address` ("/" is added when missing); an
/// empty string restores the built-in address. Tests point it at a loopback
/// server.
void SetProductSiteUrl(const QString &address);

/// The support e-mail address, set when building (ORNAVEL_SUPPORT_EMAIL).
QString SupportEmail();

/// Makes SupportEmail answer `address`; an empty string restores the
/// built-in address.
void SetSupportEmail(const QString &address);

/**
 * Downloads an http or https address into the file at `targetPath`, blocking
 * the caller (the hourglass shows meanwhile; user input waits, painting goes
 * on). The request carries the executable's file name as its user agent and
 * goes through the system's proxy settings.
 *
 * True only for a complete body with a success status, written exactly as
 * received. The body goes to a temporary file that replaces the target only
 * then: a failed download never leaves a partial file and never touches an
 * existing one. Redirects are followed (at most five) from http to http or
 * https and from https to https, never down to plain http or to another
 * scheme. A status other than 2xx, a refused redirect, a transfer idle for
 * longer than the timeout (15 s, see SetDownloadTimeout), a body shorter
 * than its announced length and a target that cannot be written all give
 * false.
 */
bool DownloadFile(const QString &address, const QString &targetPath);

/// Sets how many milliseconds a download may go without any data moving
/// before it is given up (tests shorten it); zero or less restores 15 s.
void SetDownloadTimeout(int milliseconds);
