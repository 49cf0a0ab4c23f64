#include "uSettings.h"

#include "uAppPaths.h"
#include "uIniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace {

const QString DefaultFaceName = QStringLiteral("Times New Roman");

const QString CommonDataSection = QStringLiteral("CommonData");
const QString BlankSettingsSection = QStringLiteral("BlankSettings");
const QString SettingsSection = QStringLiteral("Settings");

const int FontKinds[] = {fkSeriaNumb, fkFIO, fkSchool, fkSubjMark, fkBackSide};

/// The nine common strings with their keys, in the order they are written.
struct TCommonKey
{
  const char *Key;
  QString TCommonData::*Field;
};

const TCommonKey CommonKeys[] = {
    {"God", &TCommonData::God},
    {"School1", &TCommonData::School1},
    {"School2", &TCommonData::School2},
    {"DopSchTop", &TCommonData::DopSchTop},
    {"DopSchDown", &TCommonData::DopSchDown},
    {"School1_11", &TCommonData::School1_11},
    {"School2_11", &TCommonData::School2_11},
    {"DopSchTop_11", &TCommonData::DopSchTop_11},
    {"DopSchDown_11", &TCommonData::DopSchDown_11},
};

/// Deletes the plain copy when it goes out of scope, also when an error
/// leaves early, so that the unscrambled settings never stay on the disk.
class TPlainCopyRemover
{
public:
  explicit TPlainCopyRemover(const QString &fileName) : FFileName(fileName) {}
  ~TPlainCopyRemover() { QFile::remove(FFileName); }
  TPlainCopyRemover(const TPlainCopyRemover &) = delete;
  TPlainCopyRemover &operator=(const TPlainCopyRemover &) = delete;

private:
  QString FFileName;
};

/// A two-digit year taken within the 100 years from 50 years ago, as the
/// system's own date reading does.
int WidenTwoDigitYear(int twoDigits)
{
  const int first = QDate::currentDate().year() - 50;
  int year = first - first % 100 + twoDigits;
  if (year < first)
    year += 100;
  return year;
}

/// Finds a two-digit year ("yy") in a date format: its position in the
/// format and how many numeric day and month fields come before it. False
/// when the format's year has another width.
bool FindTwoDigitYear(const QString &format, qsizetype &position, int &fieldsBefore)
{
  int numericFields = 0;
  qsizetype i = 0;
  while (i < format.size()) {
    const QChar c = format.at(i);
    if (c == QLatin1Char('\'')) {
      // Quoted text: skip to the closing quote.
      const qsizetype close = format.indexOf(QLatin1Char('\''), i + 1);
      i = close < 0 ? format.size() : close + 1;
      continue;
    }
    qsizetype run = 1;
    while (i + run < format.size() && format.at(i + run) == c)
      ++run;
    if (c == QLatin1Char('y')) {
      position = i;
      fieldsBefore = numericFields;
      return run == 2;
    }
    if ((c == QLatin1Char('d') || c == QLatin1Char('M')) && run <= 2)
      ++numericFields;
    i += run;
  }
  return false;
}

/// A date as the locale's short format writes it. Qt reads a two-digit year
/// as 19yy, which moves every date of this century back by a hundred years
/// and loses 29 February 2000 altogether; so the year's digits are widened
/// to four first and read with a four-digit year field.
QDate ShortTextToDate(const QString &text)
{
  const QLocale locale;
  const QString format = locale.dateFormat(QLocale::ShortFormat);
  qsizetype position = 0;
  int fieldsBefore = 0;
  if (!FindTwoDigitYear(format, position, fieldsBefore))
    return locale.toDate(text, format);

  static const QRegularExpression Digits(QStringLiteral("[0-9]+"));
  QRegularExpressionMatchIterator match = Digits.globalMatch(text);
  for (int n = 0; n < fieldsBefore && match.hasNext(); ++n)
    match.next();
  if (!match.hasNext())
    return QDate();
  const QRegularExpressionMatch year = match.next();
  if (year.capturedLength() != 2)
    return QDate();
  QString wideText = text;
  wideText.replace(year.capturedStart(), 2, QString::number(WidenTwoDigitYear(year.captured().toInt())));
  QString wideFormat = format;
  wideFormat.replace(position, 2, QStringLiteral("yyyy"));
  return locale.toDate(wideText, wideFormat);
}

QDate ReadShortDate(const TIniFile &ini, const QString &section, const QString &key, const QDate &defaultValue)
{
  const QDate date = ShortTextToDate(ini.ReadString(section, key, QString()));
  return date.isValid() ? date : defaultValue;
}

void WriteShortDate(TIniFile &ini, const QString &section, const QString &key, const QDate &value)
{
  ini.WriteString(section, key, QLocale().toString(value, QLocale::ShortFormat));
}

} // namespace

QString SettingsFileName()
{
  return ProgramFile(QStringLiteral("common.dat"));
}

QString SettingsPlainFileName()
{
  const QString dat = SettingsFileName();
  const QFileInfo info(dat);
  return dat.left(dat.size() - info.suffix().size()) + QStringLiteral("ini");
}

TSettings ReadSettingsFile()
{
  const QString datName = SettingsFileName();
  const QString plainName = SettingsPlainFileName();
  const TPlainCopyRemover remover(plainName);

  DecryptFile(datName, plainName, ProgramCryptKey);
  const TIniFile ini(plainName);

  TSettings settings;
  settings.IssueDate = ReadShortDate(ini, CommonDataSection, QStringLiteral("IssueDate"), QDate::currentDate());
  for (const TCommonKey &key : CommonKeys)
    (settings.Common.*key.Field) = ini.ReadString(CommonDataSection, QLatin1String(key.Key), QString());
  settings.LastFileName = ini.ReadString(BlankSettingsSection, QStringLiteral("LastFileName"), QString());
  for (const int kind : FontKinds) {
    const TDtkFont defaults = DefaultFontOfKind(kind);
    ReadFont(ini, FontSectionName(kind), *settings.Fonts.OfKind(kind), defaults.pointSize(), defaults.bold(),
             defaults.italic());
  }
  settings.AutoCheckUpdate = ini.ReadBool(SettingsSection, QStringLiteral("AutoCheckUpdate"), true);
  return settings;
}

void WriteSettingsFile(const TSettings &settings)
{
  const QString datName = SettingsFileName();
  const QString plainName = SettingsPlainFileName();
  const TPlainCopyRemover remover(plainName);

  // A plain copy left over from an interrupted run must not lend its lines
  // to the new file.
  QFile::remove(plainName);
  TIniFile ini(plainName);
  WriteShortDate(ini, CommonDataSection, QStringLiteral("IssueDate"), settings.IssueDate);
  for (const TCommonKey &key : CommonKeys)
    ini.WriteString(CommonDataSection, QLatin1String(key.Key), (settings.Common.*key.Field));
  ini.WriteString(BlankSettingsSection, QStringLiteral("LastFileName"), settings.LastFileName);
  for (const int kind : FontKinds)
    WriteFont(ini, FontSectionName(kind), *settings.Fonts.OfKind(kind));
  ini.WriteBool(SettingsSection, QStringLiteral("AutoCheckUpdate"), settings.AutoCheckUpdate);
  ini.UpdateFile();

  EncryptFile(plainName, datName, ProgramCryptKey);
}

void ReadFont(const TIniFile &ini, const QString &section, TDtkFont &font, int defaultSize, bool defaultBold,
              bool defaultItalic)
{
  const QString name = ini.ReadString(section, QStringLiteral("Name"), DefaultFaceName);
  font.setFamily(name.isEmpty() ? DefaultFaceName : name);
  const int size = ini.ReadInteger(section, QStringLiteral("Size"), defaultSize);
  font.setPointSize(size > 0 ? size : defaultSize);
  font.setBold(false);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  if (ini.ReadBool(section, QStringLiteral("Bold"), defaultBold))
    font.setBold(true);
  if (ini.ReadBool(section, QStringLiteral("Italic"), defaultItalic))
    font.setItalic(true);
}

void WriteFont(TIniFile &ini, const QString &section, const TDtkFont &font)
{
  ini.WriteString(section, QStringLiteral("Name"), font.family());
  ini.WriteInteger(section, QStringLiteral("Size"), font.pointSize());
  ini.WriteBool(section, QStringLiteral("Bold"), font.bold());
  ini.WriteBool(section, QStringLiteral("Italic"), font.italic());
}

QString YearFieldText(const QString &god, const QDate &issueDate)
{
  if (!god.isEmpty())
    return QStringLiteral("20") + god;
  return issueDate.toString(QStringLiteral("yyyy"));
}
