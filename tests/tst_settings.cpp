// The settings file common.dat: every value saved and loaded back, the file's
// text, dates under a two-digit-year locale, files that do not unscramble, a
// plain copy left over, unreadable values, and failed saves and loads.

#include "store/EZCrypt.h"
#include "store/uAppError.h"
#include "store/uAppPaths.h"
#include "store/uIniFile.h"
#include "store/uSettings.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(TSettings)

namespace {

QByteArray Windows1251(const QString &text)
{
  QStringEncoder encoder("windows-1251");
  const QByteArray bytes = encoder.encode(text);
  return encoder.hasError() ? QByteArray("<not in the code page>") : bytes;
}

QByteArray Crypted(const QByteArray &source, const TCryptKey &key, bool encrypt)
{
  QByteArray dest(source.size(), '\0');
  const int length = int(source.size());
  const bool done = encrypt ? EncryptBuffer(source.constData(), length, dest.data(), key, length)
                            : DecryptBuffer(source.constData(), length, dest.data(), key, length);
  return done ? dest : QByteArray("<refused>");
}

TDtkFont Font(const QString &family, int size, bool bold, bool italic)
{
  TDtkFont font;
  font.setFamily(family);
  font.setPointSize(size);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

/// Every value set, none of them a default.
TSettings FilledSettings()
{
  TSettings settings;
  settings.IssueDate = QDate(2013, 6, 14);
  settings.Common.God = QStringLiteral("13");
  settings.Common.School1 = QStringLiteral("загальноосвітню школу I-III ступенів №5");
  settings.Common.School2 = QStringLiteral("м. Києва");
  settings.Common.DopSchTop = QStringLiteral("спеціалізовану");
  settings.Common.DopSchDown = QStringLiteral("імені Т. Г. Шевченка");
  settings.Common.School1_11 = QStringLiteral("загальноосвітній школі I-III ступенів №5");
  settings.Common.School2_11 = QStringLiteral("м. Києва");
  settings.Common.DopSchTop_11 = QStringLiteral("спеціалізованій");
  settings.Common.DopSchDown_11 = QStringLiteral("з поглибленим вивченням ґеографії та її історії");
  settings.LastFileName = QStringLiteral("/home/вчитель/Бланки 2013/друк.blf");
  settings.Fonts.SeriaNumb = Font(QStringLiteral("Liberation Sans"), 10, false, true);
  settings.Fonts.FIO = Font(QStringLiteral("DejaVu Serif"), 15, false, false);
  settings.Fonts.School = Font(QStringLiteral("Liberation Mono"), 9, true, true);
  settings.Fonts.SubjMark = Font(QStringLiteral("Arial"), 14, false, false);
  settings.Fonts.BackSide = Font(QStringLiteral("Courier New"), 8, true, false);
  settings.AutoCheckUpdate = false;
  return settings;
}

/// An empty year and empty school lines; everything else at its default.
TSettings EmptySettings()
{
  TSettings settings;
  settings.IssueDate = QDate(2012, 5, 31);
  return settings;
}

void CompareFont(const TDtkFont &actual, const TDtkFont &expected)
{
  QCOMPARE(actual.family(), expected.family());
  QCOMPARE(actual.pointSize(), expected.pointSize());
  QCOMPARE(actual.bold(), expected.bold());
  QCOMPARE(actual.italic(), expected.italic());
  QCOMPARE(actual.underline(), false);
  QCOMPARE(actual.strikeOut(), false);
}

void CompareSettings(const TSettings &actual, const TSettings &expected)
{
  QCOMPARE(actual.IssueDate, expected.IssueDate);
  QCOMPARE(actual.Common.God, expected.Common.God);
  QCOMPARE(actual.Common.School1, expected.Common.School1);
  QCOMPARE(actual.Common.School2, expected.Common.School2);
  QCOMPARE(actual.Common.DopSchTop, expected.Common.DopSchTop);
  QCOMPARE(actual.Common.DopSchDown, expected.Common.DopSchDown);
  QCOMPARE(actual.Common.School1_11, expected.Common.School1_11);
  QCOMPARE(actual.Common.School2_11, expected.Common.School2_11);
  QCOMPARE(actual.Common.DopSchTop_11, expected.Common.DopSchTop_11);
  QCOMPARE(actual.Common.DopSchDown_11, expected.Common.DopSchDown_11);
  QCOMPARE(actual.LastFileName, expected.LastFileName);
  for (int kind = fkSeriaNumb; kind <= fkBackSide; ++kind) {
    CompareFont(*actual.Fonts.OfKind(kind), *expected.Fonts.OfKind(kind));
    if (QTest::currentTestFailed()) {
      qWarning("font kind %d", kind);
      return;
    }
  }
  QCOMPARE(actual.AutoCheckUpdate, expected.AutoCheckUpdate);
}

/// What a load gives when nothing can be read: the issue date is today's.
void CompareWithDefaults(const TSettings &actual, const QDate &today)
{
  TSettings defaults;
  defaults.IssueDate = today;
  CompareSettings(actual, defaults);
}

/// A plain settings text with a value in every section.
const QByteArray SomeIniText = "[CommonData]\r\n"
                               "God=14\r\n"
                               "School1=School one\r\n"
                               "[BlankSettings]\r\n"
                               "LastFileName=/tmp/a.blf\r\n"
                               "[FontSchool]\r\n"
                               "Name=Arial\r\n"
                               "Size=20\r\n"
                               "[Settings]\r\n"
                               "AutoCheckUpdate=0\r\n";

/// Checks that `actual` holds the values of SomeIniText.
void CompareWithSomeIniText(const TSettings &actual)
{
  QCOMPARE(actual.Common.God, QStringLiteral("14"));
  QCOMPARE(actual.Common.School1, QStringLiteral("School one"));
  QCOMPARE(actual.LastFileName, QStringLiteral("/tmp/a.blf"));
  QCOMPARE(actual.Fonts.School.family(), QStringLiteral("Arial"));
  QCOMPARE(actual.Fonts.School.pointSize(), 20);
  QCOMPARE(actual.AutoCheckUpdate, false);
}

} // namespace

class TestSettings : public QObject
{
  Q_OBJECT

  QTemporaryDir FDir;
  QLocale FSavedLocale;

  QString Path(const QString &name) const { return FDir.filePath(name); }
  QString DatPath() const { return Path(QStringLiteral("common.dat")); }
  QString PlainPath() const { return Path(QStringLiteral("common.ini")); }

  /// True when no plain copy (a file named common.ini) is in the folder.
  bool NoPlainCopy() const { return !QFileInfo(PlainPath()).isFile(); }

  void UseUkrainianLocale() { QLocale::setDefault(QLocale(QLocale::Ukrainian, QLocale::Ukraine)); }

private slots:
  void init()
  {
    QVERIFY(FDir.isValid());
    for (const QString &name : QDir(FDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
      const QString path = Path(name);
      QVERIFY(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
    }
    SetProgramFolderOverride(FDir.path());
    FSavedLocale = QLocale();
  }

  void cleanup()
  {
    QLocale::setDefault(FSavedLocale);
    SetProgramFolderOverride(QString());
  }

  void fileNames()
  {
    QCOMPARE(SettingsFileName(), DatPath());
    QCOMPARE(SettingsPlainFileName(), PlainPath());
  }

  void saveThenLoad_data()
  {
    QTest::addColumn<TSettings>("before");
    QTest::addColumn<TSettings>("saved");
    QTest::newRow("every value set, fonts changed") << EmptySettings() << FilledSettings();
    QTest::newRow("empty year and school lines over set ones") << FilledSettings() << EmptySettings();
  }

  void saveThenLoad()
  {
    QFETCH(TSettings, before);
    QFETCH(TSettings, saved);
    WriteSettingsFile(before);
    QVERIFY(NoPlainCopy());
    WriteSettingsFile(saved);
    QVERIFY(NoPlainCopy());
    QVERIFY(QFileInfo(DatPath()).isFile());

    const TSettings loaded = ReadSettingsFile();
    QVERIFY(NoPlainCopy());
    CompareSettings(loaded, saved);
  }

  void firstRun()
  {
    const QDate today = QDate::currentDate();
    const TSettings loaded = ReadSettingsFile();
    if (QDate::currentDate() != today)
      QSKIP("midnight passed during the load");
    CompareWithDefaults(loaded, today);
    QVERIFY(NoPlainCopy());
    QVERIFY(!QFileInfo::exists(DatPath()));
  }

  void fileText_data()
  {
    QTest::addColumn<QByteArray>("leftover");
    QTest::newRow("no plain copy before") << QByteArray();
    QTest::newRow("a plain copy left over from an interrupted run")
        << QByteArray("[Old]\r\nKey=1\r\n[Settings]\r\nAutoCheckUpdate=1\r\nMore=2\r\n");
  }

  void fileText()
  {
    QFETCH(QByteArray, leftover);
    if (!leftover.isEmpty())
      WriteBytes(PlainPath(), leftover);
    UseUkrainianLocale();
    TSettings settings;
    settings.IssueDate = QDate(2013, 3, 5);
    settings.Common.God = QStringLiteral("13");
    settings.Common.School1 = QStringLiteral("загальноосвітню школу №5");
    settings.Common.School2 = QStringLiteral("м. Києва");
    settings.Common.School1_11 = QStringLiteral("загальноосвітній школі №5");
    settings.Common.DopSchTop_11 = QStringLiteral("спеціалізованій");
    settings.LastFileName = QStringLiteral("/home/вчитель/Бланк 2013.blf");
    settings.Fonts.SeriaNumb = Font(QStringLiteral("Liberation Serif"), 10, false, false);
    settings.AutoCheckUpdate = false;
    WriteSettingsFile(settings);

    const QByteArray expected = Windows1251(QStringLiteral("[CommonData]\r\n"
                                                           "IssueDate=05.03.13\r\n"
                                                           "God=13\r\n"
                                                           "School1=загальноосвітню школу №5\r\n"
                                                           "School2=м. Києва\r\n"
                                                           "DopSchTop=\r\n"
                                                           "DopSchDown=\r\n"
                                                           "School1_11=загальноосвітній школі №5\r\n"
                                                           "School2_11=\r\n"
                                                           "DopSchTop_11=спеціалізованій\r\n"
                                                           "DopSchDown_11=\r\n"
                                                           "[BlankSettings]\r\n"
                                                           "LastFileName=/home/вчитель/Бланк 2013.blf\r\n"
                                                           "[FontSeriaNumb]\r\n"
                                                           "Name=Liberation Serif\r\n"
                                                           "Size=10\r\n"
                                                           "Bold=0\r\n"
                                                           "Italic=0\r\n"
                                                           "[FontFIO]\r\n"
                                                           "Name=Times New Roman\r\n"
                                                           "Size=13\r\n"
                                                           "Bold=1\r\n"
                                                           "Italic=1\r\n"
                                                           "[FontSchool]\r\n"
                                                           "Name=Times New Roman\r\n"
                                                           "Size=12\r\n"
                                                           "Bold=1\r\n"
                                                           "Italic=0\r\n"
                                                           "[FontSubjMark]\r\n"
                                                           "Name=Times New Roman\r\n"
                                                           "Size=12\r\n"
                                                           "Bold=1\r\n"
                                                           "Italic=1\r\n"
                                                           "[FontBackSide]\r\n"
                                                           "Name=Times New Roman\r\n"
                                                           "Size=12\r\n"
                                                           "Bold=1\r\n"
                                                           "Italic=1\r\n"
                                                           "[Settings]\r\n"
                                                           "AutoCheckUpdate=0\r\n"));
    const QByteArray scrambled = ReadBytes(DatPath());
    QCOMPARE(scrambled.size(), expected.size());
    QVERIFY(scrambled != expected);
    QCOMPARE(Crypted(scrambled, ProgramCryptKey, false), expected);
    QVERIFY(NoPlainCopy());
  }

  void issueDateTwoDigitYears_data()
  {
    QTest::addColumn<QDate>("date");
    const int year = QDate::currentDate().year();
    QTest::newRow("2013-03-05") << QDate(2013, 3, 5);
    QTest::newRow("leap day of 2000") << QDate(2000, 2, 29);
    QTest::newRow("1999-12-31") << QDate(1999, 12, 31);
    QTest::newRow("first day of the window, 50 years back") << QDate(year - 50, 1, 1);
    QTest::newRow("last day of the window, 49 years ahead") << QDate(year + 49, 12, 31);
  }

  void issueDateTwoDigitYears()
  {
    QFETCH(QDate, date);
    UseUkrainianLocale();
    QCOMPARE(QLocale().dateFormat(QLocale::ShortFormat), QStringLiteral("dd.MM.yy"));
    TSettings settings;
    settings.IssueDate = date;
    WriteSettingsFile(settings);
    QCOMPARE(ReadSettingsFile().IssueDate, date);
  }

  void issueDateOtherLocales_data()
  {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDate>("date");
    QTest::newRow("US month first, two-digit year") << "en_US" << QDate(2013, 12, 5);
    QTest::newRow("US, leap day of 2000") << "en_US" << QDate(2000, 2, 29);
    QTest::newRow("C, four-digit year") << "C" << QDate(2013, 12, 5);
  }

  void issueDateOtherLocales()
  {
    QFETCH(QString, locale);
    QFETCH(QDate, date);
    QLocale::setDefault(locale == QLatin1String("C") ? QLocale::c() : QLocale(locale));
    TSettings settings;
    settings.IssueDate = date;
    WriteSettingsFile(settings);
    QCOMPARE(ReadSettingsFile().IssueDate, date);
  }

  void unreadableFile_data()
  {
    QTest::addColumn<QByteArray>("dat");
    QTest::addColumn<bool>("loads");
    const TCryptKey otherKey{ProgramCryptKey.Multiplier, ProgramCryptKey.Increment, quint16(ProgramCryptKey.Seed + 1)};
    QByteArray damaged = Crypted(SomeIniText, ProgramCryptKey, true);
    damaged[0] = char(damaged.at(0) ^ 0x40);
    QByteArray random(600, '\0');
    QRandomGenerator generator(1251);
    for (char &byte : random)
      byte = char(generator.bounded(256));
    QTest::newRow("the program's key (the fixture loads)") << Crypted(SomeIniText, ProgramCryptKey, true) << true;
    QTest::newRow("written with another seed") << Crypted(SomeIniText, otherKey, true) << false;
    QTest::newRow("written with another multiplier")
        << Crypted(SomeIniText, TCryptKey{3, ProgramCryptKey.Increment, ProgramCryptKey.Seed}, true) << false;
    QTest::newRow("first byte damaged") << damaged << false;
    QTest::newRow("random bytes") << random << false;
    QTest::newRow("plain text, not scrambled") << SomeIniText << false;
  }

  void unreadableFile()
  {
    QFETCH(QByteArray, dat);
    QFETCH(bool, loads);
    WriteBytes(DatPath(), dat);
    const QDate today = QDate::currentDate();
    const TSettings loaded = ReadSettingsFile();
    QVERIFY(NoPlainCopy());
    QCOMPARE(ReadBytes(DatPath()), dat);
    if (loads) {
      CompareWithSomeIniText(loaded);
      return;
    }
    if (QDate::currentDate() != today)
      QSKIP("midnight passed during the load");
    CompareWithDefaults(loaded, today);
  }

  void leftoverPlainCopy_data()
  {
    QTest::addColumn<bool>("datExists");
    QTest::newRow("no common.dat: the leftover is read") << false;
    QTest::newRow("common.dat present: it wins") << true;
  }

  void leftoverPlainCopy()
  {
    QFETCH(bool, datExists);
    if (datExists)
      WriteSettingsFile(FilledSettings());
    WriteBytes(PlainPath(), SomeIniText);

    const TSettings loaded = ReadSettingsFile();
    QVERIFY(NoPlainCopy());
    QCOMPARE(QFileInfo::exists(DatPath()), datExists);
    if (datExists)
      CompareSettings(loaded, FilledSettings());
    else
      CompareWithSomeIniText(loaded);
  }

  void fontKeys_data()
  {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::newRow("Bold 0 clears the kind's bold")
        << int(fkSeriaNumb) << QByteArray("Bold=0\r\n") << "Times New Roman" << 11 << false << false;
    QTest::newRow("absent Italic keeps the kind's italic")
        << int(fkFIO) << QByteArray("Name=Arial\r\nSize=9\r\nBold=0\r\n") << "Arial" << 9 << false << true;
    QTest::newRow("Italic 0 clears the kind's italic")
        << int(fkSubjMark) << QByteArray("Italic=0\r\n") << "Times New Roman" << 12 << true << false;
    QTest::newRow("italic added to a kind without it")
        << int(fkSchool) << QByteArray("Italic=1\r\n") << "Times New Roman" << 12 << true << true;
    QTest::newRow("any non-zero number is true")
        << int(fkSchool) << QByteArray("Bold=-1\r\nItalic=7\r\n") << "Times New Roman" << 12 << true << true;
    QTest::newRow("keys found regardless of case")
        << int(fkBackSide) << QByteArray("NAME=Arial\r\nsize=8\r\nbold=0\r\n") << "Arial" << 8 << false << true;
    QTest::newRow("Size not a number: the kind's size")
        << int(fkFIO) << QByteArray("Size=14pt\r\n") << "Times New Roman" << 13 << true << true;
    QTest::newRow("Bold and Italic not numbers: the kind's style")
        << int(fkFIO) << QByteArray("Bold=no\r\nItalic=\r\n") << "Times New Roman" << 13 << true << true;
    QTest::newRow("empty Name: Times New Roman")
        << int(fkSchool) << QByteArray("Name=\r\nSize=10\r\n") << "Times New Roman" << 10 << true << false;
    QTest::newRow("empty section: the kind's defaults")
        << int(fkBackSide) << QByteArray() << "Times New Roman" << 12 << true << true;
  }

  void fontKeys()
  {
    QFETCH(int, kind);
    QFETCH(QByteArray, keys);
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    // The other kinds get a non-default font, so a key read from the wrong
    // section shows.
    QByteArray text;
    for (int other = fkSeriaNumb; other <= fkBackSide; ++other) {
      text += "[" + FontSectionName(other).toLatin1() + "]\r\n";
      text += other == kind ? keys : QByteArray("Name=Other\r\nSize=30\r\nBold=0\r\nItalic=0\r\n");
    }
    WriteBytes(PlainPath(), text);

    const TSettings loaded = ReadSettingsFile();
    QVERIFY(NoPlainCopy());
    CompareFont(*loaded.Fonts.OfKind(kind), Font(name, size, bold, italic));
    for (int other = fkSeriaNumb; other <= fkBackSide && !QTest::currentTestFailed(); ++other)
      if (other != kind)
        CompareFont(*loaded.Fonts.OfKind(other), Font(QStringLiteral("Other"), 30, false, false));
  }

  void readFontSizeNotPositive_data()
  {
    QTest::addColumn<QByteArray>("size");
    QTest::newRow("zero") << QByteArray("0");
    QTest::newRow("negative") << QByteArray("-16");
  }

  void readFontSizeNotPositive()
  {
    QFETCH(QByteArray, size);
    const QString path = Path(QStringLiteral("font.ini"));
    WriteBytes(path, "[FontSchool]\r\nSize=" + size + "\r\n");
    TDtkFont font = Font(QStringLiteral("Arial"), 20, false, false);
    ReadFont(TIniFile(path), QStringLiteral("FontSchool"), font, 12, true, false);
    QCOMPARE(font.pointSize(), 12);
  }

  void readFontResetsStyle()
  {
    TDtkFont font = Font(QStringLiteral("Arial"), 20, true, true);
    font.setUnderline(true);
    font.setStrikeOut(true);
    font.Color = Qt::red;
    const TIniFile ini(Path(QStringLiteral("none.ini")));
    ReadFont(ini, QStringLiteral("FontSchool"), font, 12, false, false);
    CompareFont(font, Font(QStringLiteral("Times New Roman"), 12, false, false));
    QCOMPARE(font.Color, QColor(Qt::red));
  }

  void unparsableValues()
  {
    UseUkrainianLocale();
    WriteBytes(PlainPath(), "[CommonData]\r\n"
                            "IssueDate=31.02.13\r\n"
                            "God=13\r\n"
                            "[FontSeriaNumb]\r\n"
                            "Size=big\r\n"
                            "Bold=0\r\n"
                            "[Settings]\r\n"
                            "AutoCheckUpdate=off\r\n");
    const QDate today = QDate::currentDate();
    const TSettings loaded = ReadSettingsFile();
    if (QDate::currentDate() != today)
      QSKIP("midnight passed during the load");
    QCOMPARE(loaded.IssueDate, today);
    QCOMPARE(loaded.Common.God, QStringLiteral("13"));
    QCOMPARE(loaded.Fonts.SeriaNumb.pointSize(), 11);
    QCOMPARE(loaded.Fonts.SeriaNumb.bold(), false);
    QCOMPARE(loaded.AutoCheckUpdate, true);
  }

  void issueDateInAnotherFormat_data()
  {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("four-digit year") << QByteArray("05.03.2013");
    QTest::newRow("ISO order") << QByteArray("2013-03-05");
    QTest::newRow("empty") << QByteArray("");
  }

  void issueDateInAnotherFormat()
  {
    QFETCH(QByteArray, text);
    UseUkrainianLocale();
    WriteBytes(PlainPath(), "[CommonData]\r\nIssueDate=" + text + "\r\n");
    const QDate today = QDate::currentDate();
    const QDate loaded = ReadSettingsFile().IssueDate;
    if (QDate::currentDate() != today)
      QSKIP("midnight passed during the load");
    QCOMPARE(loaded, today);
  }

  void failedSave_data()
  {
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<bool>("oldSettings");
    QTest::addColumn<QString>("message"); // %1: the program's folder with a separator
    QTest::addColumn<QStringList>("entriesAfter");
    QTest::newRow("a folder named common.ini")
        << "common.ini" << true << "Unable to write to %1common.ini" << QStringList{"common.dat", "common.ini"};
    QTest::newRow("a folder named common.dat")
        << "common.dat" << false << "Cannot create file \"%1common.dat\". " << QStringList{"common.dat"};
    QTest::newRow("the program's folder is a file")
        << "" << false << "Unable to write to %1common.ini" << QStringList{"regular file"};
  }

  void failedSave()
  {
    QFETCH(QString, obstacle);
    QFETCH(bool, oldSettings);
    QFETCH(QString, message);
    QFETCH(QStringList, entriesAfter);
    QByteArray oldDat;
    if (oldSettings) {
      WriteSettingsFile(FilledSettings());
      oldDat = ReadBytes(DatPath());
      QVERIFY(!oldDat.isEmpty());
    }
    QString folder = FDir.path();
    if (obstacle.isEmpty()) {
      folder = Path(QStringLiteral("regular file"));
      WriteBytes(folder, "not a folder");
      SetProgramFolderOverride(folder);
    } else {
      QVERIFY(QDir(FDir.path()).mkdir(obstacle));
    }
    const QString expected = message.arg(QDir::toNativeSeparators(folder + QLatin1Char('/')));

    try {
      WriteSettingsFile(EmptySettings());
      QFAIL("no error");
    } catch (const EAppError &error) {
      if (expected.endsWith(QLatin1Char(' '))) {
        // The system's reason follows.
        QVERIFY2(error.message().startsWith(expected), qPrintable(error.message()));
        QVERIFY2(error.message().size() > expected.size(), qPrintable(error.message()));
      } else {
        QCOMPARE(error.message(), expected);
      }
    }
    QVERIFY(NoPlainCopy());
    if (oldSettings)
      QCOMPARE(ReadBytes(DatPath()), oldDat);
    // Nothing else is left in the folder (a temporary file, say).
    QCOMPARE(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), entriesAfter);
  }

  void failedLoad_data()
  {
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("message"); // %1: the program's folder with a separator
    QTest::newRow("common.dat is a folder, a leftover plain copy beside it") << "common.dat"
                                                                             << "Cannot open file \"%1common.dat\". ";
    QTest::newRow("the plain copy cannot be made") << "common.ini"
                                                   << "Cannot create file \"%1common.ini\". ";
  }

  void failedLoad()
  {
    QFETCH(QString, obstacle);
    QFETCH(QString, message);
    if (obstacle == QLatin1String("common.dat"))
      WriteBytes(PlainPath(), SomeIniText);
    else
      WriteSettingsFile(FilledSettings());
    QVERIFY(QDir(FDir.path()).mkdir(obstacle));
    const QString expected = message.arg(QDir::toNativeSeparators(FDir.path() + QLatin1Char('/')));

    try {
      ReadSettingsFile();
      QFAIL("no error");
    } catch (const EAppError &error) {
      QVERIFY2(error.message().startsWith(expected), qPrintable(error.message()));
      QVERIFY2(error.message().size() > expected.size(), qPrintable(error.message()));
    }
    QVERIFY(NoPlainCopy());
  }

  void yearFieldText_data()
  {
    QTest::addColumn<QString>("god");
    QTest::addColumn<QDate>("issueDate");
    QTest::addColumn<QString>("text");
    QTest::newRow("year stored") << "13" << QDate(2012, 6, 1) << "2013";
    QTest::newRow("no year: the issue date's") << "" << QDate(2012, 6, 1) << "2012";
  }

  void yearFieldText()
  {
    QFETCH(QString, god);
    QFETCH(QDate, issueDate);
    QFETCH(QString, text);
    QCOMPARE(YearFieldText(god, issueDate), text);
  }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
