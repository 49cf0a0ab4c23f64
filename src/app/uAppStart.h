#pragma once

#include <QString>

#include <exception>
#include <functional>

class QApplication;
class QWidget;

/// The application's own title, shown on the task bar and on message boxes.
QString ApplicationTitle();
/// The version shown in the main window's caption.
QString ProgramVersion();

/// An error meant for the user: its text is shown in the application's
/// error box by the handler that catches it.
class EAppError : public std::exception
{
public:
  explicit EAppError(QString message);
  const QString &message() const { return FMessage; }
  const char *what() const noexcept override { return FUtf8.constData(); }

private:
  QString FMessage;
  QByteArray FUtf8;
};

/// Runs an event handler; an error it raises ends it and is shown in the
/// application's error box, and the window stays usable.
void RunGuarded(QWidget *parent, const std::function<void()> &handler);

/// Sets up the application object: title, Ukrainian texts of Qt's own
/// dialogs, the common skin, and the idle notification.
void SetupApplication(QApplication &app);

/// Start-up: the application, the main window, the message loop.
int RunProgram(int argc, char *argv[]);
