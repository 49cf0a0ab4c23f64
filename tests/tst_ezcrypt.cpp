// The byte scrambler of the settings file: round trips through files, a
// vector worked out by hand, length checks, how a changed byte spreads, and
// the file errors.

#include "store/EZCrypt.h"
#include "store/uAppError.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

const TCryptKey TestKey{52845, 22719, 0x4D2F};

QByteArray Windows1251(const QString &text)
{
  QStringEncoder encoder("windows-1251");
  return encoder.encode(text);
}

QByteArray Encrypted(const QByteArray &plain, const TCryptKey &key)
{
  QByteArray cipher(plain.size(), '\0');
  if (!EncryptBuffer(plain.constData(), int(plain.size()), cipher.data(), key, int(cipher.size())))
    return QByteArray("<refused>");
  return cipher;
}

} // namespace

class TestEZCrypt : public QObject
{
  Q_OBJECT

  QTemporaryDir FDir;

  QString Path(const QString &name) const { return FDir.filePath(name); }

private slots:
  void init()
  {
    QVERIFY(FDir.isValid());
    for (const QString &name : QDir(FDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
      const QString path = Path(name);
      QVERIFY(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
    }
  }

  void fileRoundTrip_data()
  {
    QTest::addColumn<QByteArray>("plain");
    QByteArray everyByte;
    for (int i = 0; i < 512; ++i)
      everyByte += char(i & 0xFF);
    QTest::newRow("Cyrillic INI text in Windows-1251")
        << Windows1251(QStringLiteral("[CommonData]\r\nSchool1=Ліцей №1 імені Їжакевича, ґ є\r\n"));
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("one byte") << QByteArray("A");
    QTest::newRow("every byte value, twice") << everyByte;
  }

  void fileRoundTrip()
  {
    QFETCH(QByteArray, plain);
    const QString plainPath = Path(QStringLiteral("plain.ini"));
    const QString cipherPath = Path(QStringLiteral("scrambled.dat"));
    const QString backPath = Path(QStringLiteral("back.ini"));
    WriteBytes(plainPath, plain);
    // Longer old files must be replaced, not written over from the start.
    WriteBytes(cipherPath, QByteArray(plain.size() + 10, 'x'));
    WriteBytes(backPath, QByteArray(plain.size() + 10, 'y'));

    QVERIFY(EncryptFile(plainPath, cipherPath, TestKey));
    const QByteArray cipher = ReadBytes(cipherPath);
    QCOMPARE(cipher.size(), plain.size());
    if (!plain.isEmpty())
      QVERIFY(cipher != plain);

    QVERIFY(DecryptFile(cipherPath, backPath, TestKey));
    QCOMPARE(ReadBytes(backPath), plain);
  }

  void knownVector_data()
  {
    QTest::addColumn<bool>("encrypt");
    QTest::newRow("scramble") << true;
    QTest::newRow("unscramble") << false;
  }

  void knownVector()
  {
    QFETCH(bool, encrypt);
    // Key: Multiplier 0x0103, Increment 0xF00F, Seed 0xA55A.
    //   R = A55A: 41 ^ A5 = E4; (41 + 5A) & FF = 9B; 9B * 103 + F00F = 18CE0 -> R = 8CE0
    //   R = 8CE0: C8 ^ 8C = 44; (C8 + E0) & FF = A8; A8 * 103 + F00F = 19A07 -> R = 9A07
    //   R = 9A07: 00 ^ 9A = 9A
    const TCryptKey key{0x0103, 0xF00F, 0xA55A};
    const QByteArray plain("\x41\xC8\x00", 3);
    const QByteArray cipher("\xE4\x44\x9A", 3);
    const QByteArray &source = encrypt ? plain : cipher;
    QByteArray dest(3, '\0');
    const bool done = encrypt ? EncryptBuffer(source.constData(), 3, dest.data(), key, 3)
                              : DecryptBuffer(source.constData(), 3, dest.data(), key, 3);
    QVERIFY(done);
    QCOMPARE(dest, encrypt ? cipher : plain);
    QCOMPARE(key.Seed, quint16(0xA55A));
  }

  void emptyBuffer()
  {
    char dest = 'z';
    QVERIFY(EncryptBuffer(nullptr, 0, &dest, TestKey, 0));
    QVERIFY(DecryptBuffer(nullptr, 0, &dest, TestKey, 0));
    QCOMPARE(dest, 'z');
  }

  void lengthMismatch_data()
  {
    QTest::addColumn<bool>("encrypt");
    QTest::addColumn<int>("destLength");
    QTest::newRow("scramble, destination shorter") << true << 7;
    QTest::newRow("scramble, destination longer") << true << 9;
    QTest::newRow("unscramble, destination shorter") << false << 7;
    QTest::newRow("unscramble, destination longer") << false << 9;
    QTest::newRow("scramble, destination empty") << true << 0;
  }

  void lengthMismatch()
  {
    QFETCH(bool, encrypt);
    QFETCH(int, destLength);
    const QByteArray source("abcdefgh");
    const QByteArray untouched(16, '\xAA');
    QByteArray dest = untouched;
    const bool done = encrypt ? EncryptBuffer(source.constData(), 8, dest.data(), TestKey, destLength)
                              : DecryptBuffer(source.constData(), 8, dest.data(), TestKey, destLength);
    QVERIFY(!done);
    QCOMPARE(dest, untouched);
  }

  void changedPlainByte_data()
  {
    QTest::addColumn<int>("position");
    QTest::newRow("first byte") << 0;
    QTest::newRow("middle byte") << 17;
    QTest::newRow("last byte") << 39;
  }

  void changedPlainByte()
  {
    QFETCH(int, position);
    const QByteArray plain = Windows1251(QStringLiteral("[FontFIO]\r\nName=Times New Roman\r\nSize=13"));
    QCOMPARE(plain.size(), 40);
    QByteArray changed = plain;
    changed[position] = char(changed.at(position) ^ 0x21);

    const QByteArray cipher = Encrypted(plain, TestKey);
    const QByteArray changedCipher = Encrypted(changed, TestKey);
    QCOMPARE(changedCipher.left(position), cipher.left(position));
    QVERIFY(changedCipher.at(position) != cipher.at(position));
    // The same state reaches that byte, so it is XORed with the same value.
    QCOMPARE(char(changedCipher.at(position) ^ changed.at(position)), char(cipher.at(position) ^ plain.at(position)));
  }

  void missingSource_data()
  {
    QTest::addColumn<bool>("encrypt");
    QTest::addColumn<bool>("destinationExists");
    QTest::newRow("scramble, no destination") << true << false;
    QTest::newRow("unscramble, no destination") << false << false;
    QTest::newRow("scramble, old destination") << true << true;
    QTest::newRow("unscramble, old destination") << false << true;
  }

  void missingSource()
  {
    QFETCH(bool, encrypt);
    QFETCH(bool, destinationExists);
    const QString source = Path(QStringLiteral("missing.ini"));
    const QString dest = Path(QStringLiteral("dest.dat"));
    if (destinationExists)
      WriteBytes(dest, "old content");
    const bool done = encrypt ? EncryptFile(source, dest, TestKey) : DecryptFile(source, dest, TestKey);
    QVERIFY(!done);
    if (destinationExists)
      QCOMPARE(ReadBytes(dest), QByteArray("old content"));
    else
      QVERIFY(!QFileInfo::exists(dest));
  }

  void fileErrors_data()
  {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("dest");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("culprit"); // the path the message names
    QTest::newRow("source is a folder") << "folder"
                                        << "dest.dat"
                                        << "Cannot open file"
                                        << "folder";
    QTest::newRow("destination is a folder") << "plain.ini"
                                             << "folder"
                                             << "Cannot create file"
                                             << "folder";
    QTest::newRow("destination inside a file") << "plain.ini"
                                               << "plain.ini/dest.dat"
                                               << "Cannot create file"
                                               << "plain.ini/dest.dat";
  }

  void fileErrors()
  {
    QFETCH(QString, source);
    QFETCH(QString, dest);
    QFETCH(QString, message);
    QFETCH(QString, culprit);
    WriteBytes(Path(QStringLiteral("plain.ini")), "[S]\r\nK=1\r\n");
    QVERIFY(QDir(FDir.path()).mkdir(QStringLiteral("folder")));
    const QString expected = QStringLiteral("%1 \"%2\". ").arg(message, QDir::toNativeSeparators(Path(culprit)));
    try {
      CryptFile(Path(source), Path(dest), TestKey, true);
      QFAIL("no error");
    } catch (const EAppError &error) {
      QVERIFY2(error.message().startsWith(expected), qPrintable(error.message()));
      // The system's reason follows.
      QVERIFY2(error.message().size() > expected.size(), qPrintable(error.message()));
    }
    QVERIFY(QFileInfo(Path(QStringLiteral("folder"))).isDir());
    QCOMPARE(ReadBytes(Path(QStringLiteral("plain.ini"))), QByteArray("[S]\r\nK=1\r\n"));
  }
};

QTEST_GUILESS_MAIN(TestEZCrypt)
#include "tst_ezcrypt.moc"
