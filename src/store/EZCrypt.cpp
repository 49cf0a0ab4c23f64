#include "EZCrypt.h"

#include "uAppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <limits>

namespace {

/// One pass over the bytes; the plain byte (the input when scrambling, the
/// output when unscrambling) feeds the state, so both directions stay in step.
bool CryptBuffer(const char *source, int sourceLength, char *dest, const TCryptKey &key, int destLength, bool encrypt)
{
  if (sourceLength != destLength || sourceLength < 0)
    return false;
  quint16 state = key.Seed;
  for (int i = 0; i < sourceLength; ++i) {
    const quint8 in = quint8(source[i]);
    const quint8 out = quint8(in ^ (state >> 8));
    dest[i] = char(out);
    const quint8 plain = encrypt ? in : out;
    const quint8 sum = quint8(plain + (state & 0xFF));
    state = quint16(sum * key.Multiplier + key.Increment);
  }
  return true;
}

QString NativePath(const QString &path)
{
  return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

bool EncryptBuffer(const char *source, int sourceLength, char *dest, const TCryptKey &key, int destLength)
{
  return CryptBuffer(source, sourceLength, dest, key, destLength, true);
}

bool DecryptBuffer(const char *source, int sourceLength, char *dest, const TCryptKey &key, int destLength)
{
  return CryptBuffer(source, sourceLength, dest, key, destLength, false);
}

bool CryptFile(const QString &source, const QString &dest, const TCryptKey &key, bool encrypt)
{
  QFile input(source);
  if (!input.open(QIODevice::ReadOnly))
    throw EAppError(QStringLiteral("Cannot open file \"%1\". %2").arg(NativePath(source), input.errorString()));
  const QByteArray plain = input.readAll();
  if (input.error() != QFileDevice::NoError)
    throw EAppError(QStringLiteral("Cannot open file \"%1\". %2").arg(NativePath(source), input.errorString()));
  input.close();
  if (plain.size() > std::numeric_limits<int>::max())
    return false;

  const int length = int(plain.size());
  QByteArray result(length, Qt::Uninitialized);
  const bool done = encrypt ? EncryptBuffer(plain.constData(), length, result.data(), key, length)
                            : DecryptBuffer(plain.constData(), length, result.data(), key, length);

  QSaveFile output(dest);
  if (!output.open(QIODevice::WriteOnly) || output.write(result) != result.size() || !output.commit())
    throw EAppError(QStringLiteral("Cannot create file \"%1\". %2").arg(NativePath(dest), output.errorString()));
  return done;
}

bool EncryptFile(const QString &source, const QString &dest, const TCryptKey &key)
{
  if (!QFileInfo::exists(source))
    return false;
  return CryptFile(source, dest, key, true);
}

bool DecryptFile(const QString &source, const QString &dest, const TCryptKey &key)
{
  if (!QFileInfo::exists(source))
    return false;
  return CryptFile(source, dest, key, false);
}
