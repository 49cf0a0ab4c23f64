#pragma once

// Reading and writing whole files in tests.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

/// The file's bytes; "<unreadable>" when it cannot be read, so that a
/// missing file never passes for an empty one.
inline QByteArray ReadBytes(const QString &path)
{
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return QByteArray("<unreadable>");
  return file.readAll();
}

/// Writes the bytes as the whole file (a failed write fails the test).
inline void WriteBytes(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}
