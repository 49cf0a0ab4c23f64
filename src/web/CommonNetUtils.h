#pragma once

#include <QString>

#include <functional>

/// Asks the desktop to open a file or a web or mail address with its
/// default program. True when the desktop reports success.
bool OpenUrl(const QString &address);

/// Replaces the desktop call (tests record the addresses instead of
/// starting programs). An empty function restores the desktop call.
void SetOpenUrlHandler(const std::function<bool(const QString &)> &handler);
