// INI files as layout, settings and back-side files use them: lookup,
// value forms, updates in place, bytes on disk and failed writes.

#include "store/uAppError.h"
#include "store/uIniFile.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

QLocale LocaleNamed(const QString &name)
{
  return name == QLatin1String("C") ? QLocale::c() : QLocale(name);
}

const QString Default = QStringLiteral("<default>");

// "Ліцей №1" and "Школа" / "Назва" in Windows-1251.
const QByteArray LookupText = "; a comment\r\n"
                              "[Main]\r\n"
                              "Name =   Value with blanks   \r\n"
                              "key2=second\r\n"
                              "EMPTY=\r\n"
                              ";Commented=1\r\n"
                              "NoEquals\r\n"
                              "Dup=first\r\n"
                              "dup=second\r\n"
                              "  [ Spaced Section ]  \r\n"
                              "Inner=1\r\n"
                              "[\xd8\xea\xee\xeb\xe0]\r\n"
                              "\xcd\xe0\xe7\xe2\xe0=\xcb\xb3\xf6\xe5\xe9 \xb9\x31\r\n";

} // namespace

class TestIniFile : public QObject
{
  Q_OBJECT

  QTemporaryDir *FDir = nullptr;
  QLocale FSavedLocale;

  QString Path(const QString &name) const { return FDir->filePath(name); }

  /// A file holding one key K in section S with the given value bytes.
  QString OneValue(const QByteArray &value)
  {
    const QString path = Path(QStringLiteral("one.ini"));
    WriteBytes(path, "[S]\r\nK=" + value + "\r\n");
    return path;
  }

private slots:
  void initTestCase() { FSavedLocale = QLocale(); }

  void init()
  {
    FDir = new QTemporaryDir;
    QVERIFY(FDir->isValid());
  }

  void cleanup()
  {
    QLocale::setDefault(FSavedLocale);
    delete FDir;
    FDir = nullptr;
  }

  void lookup_data()
  {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("exists");

    // clang-format off
    QTest::newRow("exact names, blanks trimmed") << "Main" << "Name" << "Value with blanks" << true;
    QTest::newRow("names in other case") << "MAIN" << "NAME" << "Value with blanks" << true;
    QTest::newRow("empty value is no default") << "main" << "empty" << "" << true;
    QTest::newRow("first of repeated keys") << "Main" << "DUP" << "first" << true;
    QTest::newRow("commented key") << "Main" << "Commented" << Default << false;
    QTest::newRow("line without =") << "Main" << "NoEquals" << Default << false;
    QTest::newRow("blanks in brackets") << "Spaced Section" << "inner" << "1" << true;
    QTest::newRow("key of another section") << "Main" << "Inner" << Default << false;
    QTest::newRow("Cyrillic names") << "Школа" << "Назва" << "Ліцей №1" << true;
    QTest::newRow("Cyrillic names in other case") << "ШКОЛА" << "назва" << "Ліцей №1" << true;
    QTest::newRow("missing key") << "Main" << "Missing" << Default << false;
    QTest::newRow("missing section") << "Nowhere" << "Name" << Default << false;
    // clang-format on
  }

  void lookup()
  {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QFETCH(bool, exists);
    const QString path = Path(QStringLiteral("lookup.ini"));
    WriteBytes(path, LookupText);
    const TIniFile ini(path);
    QCOMPARE(ini.ReadString(section, key, Default), expected);
    QCOMPARE(ini.ValueExists(section, key), exists);
  }

  void sectionExists_data()
  {
    QTest::addColumn<QString>("section");
    QTest::addColumn<bool>("exists");
    QTest::newRow("other case") << "mAIN" << true;
    QTest::newRow("blanks in brackets") << "Spaced Section" << true;
    QTest::newRow("Cyrillic, other case") << "школа" << true;
    QTest::newRow("a key's name") << "Name" << false;
    QTest::newRow("missing") << "Nowhere" << false;
  }

  void sectionExists()
  {
    QFETCH(QString, section);
    QFETCH(bool, exists);
    const QString path = Path(QStringLiteral("lookup.ini"));
    WriteBytes(path, LookupText);
    QCOMPARE(TIniFile(path).SectionExists(section), exists);
  }

  void missingOrUnreadableFileIsEmpty_data()
  {
    QTest::addColumn<bool>("directory");
    QTest::newRow("missing file") << false;
    QTest::newRow("a directory") << true;
  }

  void missingOrUnreadableFileIsEmpty()
  {
    QFETCH(bool, directory);
    const QString path = Path(QStringLiteral("absent.ini"));
    if (directory)
      QVERIFY(QDir().mkdir(path));
    const TIniFile ini(path);
    QVERIFY(!ini.SectionExists(QStringLiteral("S")));
    QCOMPARE(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("K"), 7), 7);
  }

  void readInteger_data()
  {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("whole") << QByteArray("12") << 12;
    QTest::newRow("negative with blanks") << QByteArray("  -7 ") << -7;
    QTest::newRow("plus sign") << QByteArray("+5") << 5;
    QTest::newRow("empty") << QByteArray("") << 99;
    QTest::newRow("fraction") << QByteArray("12.5") << 99;
    QTest::newRow("trailing letters") << QByteArray("12abc") << 99;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 99;
    QTest::newRow("beyond 32 bits") << QByteArray("99999999999") << 99;
  }

  void readInteger()
  {
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    QCOMPARE(TIniFile(OneValue(value)).ReadInteger(QStringLiteral("S"), QStringLiteral("K"), 99), expected);
  }

  void readBool_data()
  {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("2 is true") << QByteArray("2") << false << true;
    QTest::newRow("-1 is true") << QByteArray("-1") << false << true;
    QTest::newRow("word, default true") << QByteArray("yes") << true << true;
    QTest::newRow("word, default false") << QByteArray("true") << false << false;
    QTest::newRow("empty") << QByteArray("") << true << true;
  }

  void readBool()
  {
    QFETCH(QByteArray, value);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);
    QCOMPARE(TIniFile(OneValue(value)).ReadBool(QStringLiteral("S"), QStringLiteral("K"), defaultValue), expected);
  }

  void readFloat_data()
  {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("comma locale, comma") << "uk_UA" << QByteArray("22,4") << 22.4;
    QTest::newRow("comma locale, point") << "uk_UA" << QByteArray("22.4") << -1.0;
    QTest::newRow("point locale, point") << "C" << QByteArray("22.4") << 22.4;
    QTest::newRow("point locale, comma") << "C" << QByteArray("22,4") << -1.0;
    QTest::newRow("negative") << "uk_UA" << QByteArray("-3,25") << -3.25;
    QTest::newRow("group separator") << "en_US" << QByteArray("1,234.5") << -1.0;
    QTest::newRow("empty") << "uk_UA" << QByteArray("") << -1.0;
    QTest::newRow("not a number") << "C" << QByteArray("nan") << -1.0;
    QTest::newRow("infinity") << "C" << QByteArray("inf") << -1.0;
  }

  void readFloat()
  {
    QFETCH(QString, locale);
    QFETCH(QByteArray, value);
    QFETCH(double, expected);
    QLocale::setDefault(LocaleNamed(locale));
    QCOMPARE(TIniFile(OneValue(value)).ReadFloat(QStringLiteral("S"), QStringLiteral("K"), -1.0), expected);
  }

  void readDate_data()
  {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QDate>("expected");
    const QDate fallback(2001, 1, 1);
    QTest::newRow("two-digit year, recent") << "uk_UA" << QByteArray("15.06.12") << QDate(2012, 6, 15);
    QTest::newRow("two-digit year, ahead") << "uk_UA" << QByteArray("01.09.30") << QDate(2030, 9, 1);
    QTest::newRow("US order") << "en_US" << QByteArray("6/15/12") << QDate(2012, 6, 15);
    QTest::newRow("four-digit format") << "C" << QByteArray("15 Jun 2012") << QDate(2012, 6, 15);
    QTest::newRow("no such day") << "uk_UA" << QByteArray("31.02.12") << fallback;
    QTest::newRow("other format") << "uk_UA" << QByteArray("2012-06-15") << fallback;
    QTest::newRow("empty") << "uk_UA" << QByteArray("") << fallback;
  }

  void readDate()
  {
    QFETCH(QString, locale);
    QFETCH(QByteArray, value);
    QFETCH(QDate, expected);
    QLocale::setDefault(LocaleNamed(locale));
    const TIniFile ini(OneValue(value));
    QCOMPARE(ini.ReadDate(QStringLiteral("S"), QStringLiteral("K"), QDate(2001, 1, 1)), expected);
  }

  void dateRoundTrip_data()
  {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDate>("date");
    for (const char *locale : {"uk_UA", "en_US", "C"}) {
      QTest::addRow("%s, 2012-06-15", locale) << locale << QDate(2012, 6, 15);
      QTest::addRow("%s, 2024-02-29", locale) << locale << QDate(2024, 2, 29);
      QTest::addRow("%s, 1999-12-31", locale) << locale << QDate(1999, 12, 31);
    }
  }

  void dateRoundTrip()
  {
    QFETCH(QString, locale);
    QFETCH(QDate, date);
    QLocale::setDefault(LocaleNamed(locale));
    const QString path = Path(QStringLiteral("date.ini"));
    TIniFile writer(path);
    writer.WriteDate(QStringLiteral("CommonData"), QStringLiteral("IssueDate"), date);
    writer.UpdateFile();
    QCOMPARE(TIniFile(path).ReadDate(QStringLiteral("CommonData"), QStringLiteral("IssueDate"), QDate()), date);
  }

  void floatToIniText_data()
  {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readsBack");
    QTest::newRow("whole") << "uk_UA" << 22.0 << "22" << true;
    QTest::newRow("comma locale") << "uk_UA" << 22.4 << "22,4" << true;
    QTest::newRow("C locale") << "C" << 22.4 << "22.4" << true;
    QTest::newRow("US locale") << "en_US" << 22.4 << "22.4" << true;
    QTest::newRow("small, no exponent") << "uk_UA" << 0.0001 << "0,0001" << true;
    QTest::newRow("large, no exponent") << "uk_UA" << 123456.5 << "123456,5" << true;
    QTest::newRow("no group separator") << "uk_UA" << 1234567.25 << "1234567,25" << true;
    QTest::newRow("negative") << "uk_UA" << -3.25 << "-3,25" << true;
    QTest::newRow("plain minus where the locale has another") << "sv_SE" << -3.25 << "-3,25" << true;
    QTest::newRow("15 digits at most") << "uk_UA" << 0.1 + 0.2 << "0,3" << false;
    QTest::newRow("15 digits of a third") << "C" << 1.0 / 3 << "0.333333333333333" << false;
    QTest::newRow("negative zero") << "C" << -0.0 << "0" << true;
    QTest::newRow("tiny") << "uk_UA" << 0.00001 << "1E-05" << true;
  }

  void floatToIniText()
  {
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(bool, readsBack);
    QLocale::setDefault(LocaleNamed(locale));
    QCOMPARE(FloatToIniText(value), text);
    if (readsBack) {
      const QString path = Path(QStringLiteral("float.ini"));
      TIniFile writer(path);
      writer.WriteFloat(QStringLiteral("S"), QStringLiteral("K"), value);
      writer.UpdateFile();
      QCOMPARE(TIniFile(path).ReadFloat(QStringLiteral("S"), QStringLiteral("K"), 999.0), value);
    }
  }

  void writeUpdatesInPlace_data()
  {
    QTest::addColumn<QByteArray>("before");
    QTest::newRow("CR LF file") << QByteArray("; layout of the blank\r\n"
                                              "[First]\r\n"
                                              "A=1\r\n"
                                              "B = 2\r\n"
                                              "\r\n"
                                              "[Unknown]\r\n"
                                              "Keep=this\r\n"
                                              "[Second]\r\n"
                                              "C=3\r\n");
    QTest::newRow("LF file without final line break") << QByteArray("; layout of the blank\n"
                                                                    "[First]\n"
                                                                    "A=1\n"
                                                                    "B = 2\n"
                                                                    "\n"
                                                                    "[Unknown]\n"
                                                                    "Keep=this\n"
                                                                    "[Second]\n"
                                                                    "C=3");
  }

  void writeUpdatesInPlace()
  {
    QFETCH(QByteArray, before);
    const QString path = Path(QStringLiteral("update.ini"));
    WriteBytes(path, before);

    TIniFile ini(path);
    ini.WriteString(QStringLiteral("FIRST"), QStringLiteral("b"), QStringLiteral("20"));
    ini.WriteString(QStringLiteral("First"), QStringLiteral("New"), QStringLiteral("n"));
    ini.WriteInteger(QStringLiteral("Second"), QStringLiteral("C"), -5);
    ini.WriteString(QStringLiteral("Third"), QStringLiteral("D"), QStringLiteral("4"));
    QCOMPARE(ini.ReadString(QStringLiteral("first"), QStringLiteral("B"), Default), QStringLiteral("20"));
    QCOMPARE(ReadBytes(path), before); // nothing on disk until UpdateFile

    ini.UpdateFile();
    QCOMPARE(ReadBytes(path), QByteArray("; layout of the blank\r\n"
                                         "[First]\r\n"
                                         "A=1\r\n"
                                         "B=20\r\n"
                                         "New=n\r\n"
                                         "\r\n"
                                         "[Unknown]\r\n"
                                         "Keep=this\r\n"
                                         "[Second]\r\n"
                                         "C=-5\r\n"
                                         "[Third]\r\n"
                                         "D=4\r\n"));
  }

  void valueForms()
  {
    QLocale::setDefault(QLocale(QLocale::Ukrainian, QLocale::Ukraine));
    const QString path = Path(QStringLiteral("forms.ini"));
    TIniFile ini(path);
    ini.WriteBool(QStringLiteral("S"), QStringLiteral("On"), true);
    ini.WriteBool(QStringLiteral("S"), QStringLiteral("Off"), false);
    ini.WriteInteger(QStringLiteral("S"), QStringLiteral("Int"), -2147483647 - 1);
    ini.WriteFloat(QStringLiteral("S"), QStringLiteral("Real"), 12.5);
    ini.WriteDate(QStringLiteral("S"), QStringLiteral("Date"), QDate(2012, 6, 15));
    ini.UpdateFile();
    QCOMPARE(ReadBytes(path), QByteArray("[S]\r\n"
                                         "On=1\r\n"
                                         "Off=0\r\n"
                                         "Int=-2147483648\r\n"
                                         "Real=12,5\r\n"
                                         "Date=15.06.12\r\n"));
  }

  void textOnDisk_data()
  {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("Ukrainian") << "Ліцей №1 «Ґ»" << QByteArray("\xcb\xb3\xf6\xe5\xe9 \xb9\x31 \xab\xa5\xbb")
                               << "Ліцей №1 «Ґ»";
    QTest::newRow("euro sign") << "5 €" << QByteArray("5 \x88") << "5 €";
    QTest::newRow("outside the code page") << "a中b😀c" << QByteArray("a?b?c") << "a?b?c";
    QTest::newRow("line breaks") << "one\r\ntwo\nthree" << QByteArray("one two three") << "one two three";
  }

  void textOnDisk()
  {
    QFETCH(QString, value);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    const QString path = Path(QStringLiteral("text.ini"));
    TIniFile ini(path);
    ini.WriteString(QStringLiteral("Fields"), QStringLiteral("edDirector"), value);
    ini.UpdateFile();
    QCOMPARE(ReadBytes(path), "[Fields]\r\nedDirector=" + bytes + "\r\n");
    QCOMPARE(TIniFile(path).ReadString(QStringLiteral("Fields"), QStringLiteral("edDirector"), Default), readBack);
  }

  void failedWriteKeepsOldFile_data()
  {
    QTest::addColumn<QString>("setup");
    QTest::newRow("folder is a regular file") << "parentIsFile";
    QTest::newRow("target is a folder") << "targetIsFolder";
    QTest::newRow("no room for a temporary name") << "longName";
  }

  void failedWriteKeepsOldFile()
  {
    QFETCH(QString, setup);
    const QByteArray old = "[S]\r\nK=old\r\n";
    QString path;
    if (setup == QLatin1String("parentIsFile")) {
      WriteBytes(Path(QStringLiteral("plain")), old);
      path = Path(QStringLiteral("plain/settings.ini"));
    } else if (setup == QLatin1String("targetIsFolder")) {
      path = Path(QStringLiteral("folder.ini"));
      QVERIFY(QDir().mkdir(path));
    } else {
      // The longest name the file system allows: the file exists, but the
      // temporary file beside it cannot be named.
      path = Path(QString(251, QLatin1Char('a')) + QStringLiteral(".ini"));
      WriteBytes(path, old);
    }
    const QStringList filesBefore =
        QDir(FDir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    TIniFile ini(path);
    ini.WriteString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("new"));
    QString message;
    try {
      ini.UpdateFile();
    } catch (const EAppError &e) {
      message = e.message();
    }
    QCOMPARE(message, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
    QCOMPARE(QDir(FDir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), filesBefore);
    if (setup == QLatin1String("longName"))
      QCOMPARE(ReadBytes(path), old);
    else if (setup == QLatin1String("parentIsFile"))
      QCOMPARE(ReadBytes(Path(QStringLiteral("plain"))), old);
    else
      QVERIFY(QFileInfo(path).isDir());
  }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
