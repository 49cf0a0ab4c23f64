#pragma once

#include "store/uAppError.h"

#include <QString>

#include <exception>
#include <functional>

class QApplication;
class QWidget;

/// The application's own title, shown on the task bar and on message boxes.
QString ApplicationTitle();
/// The version shown in the main window's caption.
QString ProgramVersion();

/// Runs an event handler; an error it raises ends it and is shown in the
/// application's error box, and the window stays usable.
void RunGuarded(QWidget *parent, const std::function<void()> &handler);

/// Sets up the application object: title, Ukrainian texts of Qt's own
/// dialogs, the common skin, and the idle notification.
void SetupApplication(QApplication &app);

/// Start-up: the application, the main window, the message loop.
int RunProgram(int argc, char *argv[]);
