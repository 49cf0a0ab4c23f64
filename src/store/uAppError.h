#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

/// An error meant for the user: its text is shown in the application's
/// error box by the event handler that catches it.
class EAppError : public std::exception
{
public:
  explicit EAppError(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
  const QString &message() const { return FMessage; }
  const char *what() const noexcept override { return FUtf8.constData(); }

private:
  QString FMessage;
  QByteArray FUtf8;
};
