#pragma once

// Small helpers shared by the tests that drive the main window.

#include "app/uDialogs.h"
#include "app/uSkin.h"
#include "store/uAppPaths.h"
#include "web/CommonNetUtils.h"

#include <QApplication>
#include <QTemporaryDir>

#include <QEventLoop>
#include <QStringList>
#include <QTimer>

/// Lets the event loop run until it would wait: the window's idle handling
/// (the back-side file actions, the status bar) runs then.
inline void WaitIdle()
{
  QEventLoop loop;
  QTimer::singleShot(20, &loop, &QEventLoop::quit);
  loop.exec();
}

/// How many dialogs of a kind ("message", "open", "save", "menu", ...) were shown.
inline int CountShown(const QString &kind)
{
  int n = 0;
  for (const Dialogs::TShown &shown : Dialogs::shown())
    n += shown.Kind == kind;
  return n;
}

/// The texts of the message boxes shown, in order.
inline QStringList Messages()
{
  QStringList texts;
  for (const Dialogs::TShown &shown : Dialogs::shown())
    if (shown.Kind == QLatin1String("message"))
      texts << shown.Text;
  return texts;
}

/// Once per test program that drives the main window: the program's skin,
/// every dialog answered by script, and a start-up update check that asks a
/// closed port on this machine, nothing outside.
inline void PrepareWindowTests()
{
  ApplySkin(*qApp);
  Dialogs::setScripted(true);
  SetProductSiteUrl(QStringLiteral("http://127.0.0.1:9/"));
}

/// Before each test: the program's folder is `folder`, and no scripted answer
/// or record is left from the test before.
inline void ResetWindowTest(const QTemporaryDir &folder)
{
  SetProgramFolderOverride(folder.path());
  Dialogs::clearScript();
  Dialogs::clearShown();
}
