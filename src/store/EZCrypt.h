#pragma once

#include <QString>
#include <QtGlobal>

/**
 * A key of the byte scrambler: three 16-bit words. The state starts at Seed
 * and after each byte becomes (plain byte + low byte of the state, wrapped
 * to 8 bits) * Multiplier + Increment, kept to 16 bits; each byte is XORed
 * with the state's high byte. The routines never change the key.
 */
struct TCryptKey
{
  quint16 Multiplier;
  quint16 Increment;
  quint16 Seed;
};

/// Scrambles `sourceLength` bytes into `dest`. False, and nothing written,
/// when the two lengths differ (or are negative); true otherwise, also for
/// length 0.
bool EncryptBuffer(const char *source, int sourceLength, char *dest, const TCryptKey &key, int destLength);
/// Unscrambles what EncryptBuffer produced with the same key; the same
/// results as EncryptBuffer.
bool DecryptBuffer(const char *source, int sourceLength, char *dest, const TCryptKey &key, int destLength);

/// Reads the whole `source` file, scrambles (`encrypt` true) or unscrambles
/// it and writes the result to `dest`, creating or replacing it. The new file
/// is written aside and renamed over `dest`, so a failed write leaves the old
/// one as it was. Returns the buffer routine's result. Throws EAppError
/// "Cannot open file "<source>". <reason>" when the source cannot be read and
/// "Cannot create file "<dest>". <reason>" when the result cannot be written.
bool CryptFile(const QString &source, const QString &dest, const TCryptKey &key, bool encrypt);

/// CryptFile in the scrambling direction when `source` exists; false, and no
/// destination written, when it does not.
bool EncryptFile(const QString &source, const QString &dest, const TCryptKey &key);
/// CryptFile in the unscrambling direction when `source` exists; false, and
/// no destination written, when it does not.
bool DecryptFile(const QString &source, const QString &dest, const TCryptKey &key);
