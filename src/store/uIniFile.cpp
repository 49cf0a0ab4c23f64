#include "uIniFile.h"

#include "uAppError.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>

namespace {

const char *const CodePage = "windows-1251";

QByteArray EncodeWindows1251(const QString &text)
{
  QStringEncoder encoder(CodePage);
  QByteArray bytes = encoder.encode(text);
  if (!encoder.hasError())
    return bytes;
  // Some character has no place in the code page: go through the text one
  // code point at a time and put "?" for each such character.
  // (An encoder keeps its error once it had one, so each gets a new one.)
  bytes.clear();
  const QList<uint> codePoints = text.toUcs4();
  for (const uint codePoint : codePoints) {
    if (codePoint < 0x80) {
      bytes += char(codePoint);
      continue;
    }
    const char32_t one[1] = {char32_t(codePoint)};
    QStringEncoder single(CodePage);
    const QByteArray piece = single.encode(QString::fromUcs4(one, 1));
    bytes += single.hasError() ? QByteArray("?") : piece;
  }
  return bytes;
}

/// True for a section header line; `name` receives the name in the brackets.
bool ParseSectionHeader(const QString &line, QString &name)
{
  const QString text = line.trimmed();
  if (!text.startsWith(QLatin1Char('[')))
    return false;
  const qsizetype close = text.indexOf(QLatin1Char(']'));
  name = (close < 0 ? text.mid(1) : text.mid(1, close - 1)).trimmed();
  return true;
}

bool IsSectionHeader(const QString &line)
{
  QString name;
  return ParseSectionHeader(line, name);
}

/// True for a "key=value" line (not for comments, blank lines and lines
/// without "="); `key` receives the key.
bool ParseKeyLine(const QString &line, QString &key)
{
  const QString text = line.trimmed();
  if (text.isEmpty() || text.startsWith(QLatin1Char(';')) || IsSectionHeader(text))
    return false;
  const qsizetype equals = text.indexOf(QLatin1Char('='));
  if (equals < 0)
    return false;
  key = text.left(equals).trimmed();
  return true;
}

bool SameName(const QString &a, const QString &b)
{
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

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

} // namespace

TIniFile::TIniFile(const QString &fileName) : FFileName(fileName)
{
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    return;
  QStringDecoder decoder(CodePage);
  const QString text = decoder.decode(file.readAll());
  FLines = text.split(QLatin1Char('\n'));
  if (!FLines.isEmpty() && FLines.last().isEmpty())
    FLines.removeLast(); // the text ended with a line break
  for (QString &line : FLines)
    if (line.endsWith(QLatin1Char('\r')))
      line.chop(1);
}

qsizetype TIniFile::FindSection(const QString &section) const
{
  for (qsizetype i = 0; i < FLines.size(); ++i) {
    QString name;
    if (ParseSectionHeader(FLines.at(i), name) && SameName(name, section))
      return i;
  }
  return -1;
}

qsizetype TIniFile::SectionEnd(qsizetype header) const
{
  qsizetype i = header + 1;
  while (i < FLines.size() && !IsSectionHeader(FLines.at(i)))
    ++i;
  return i;
}

qsizetype TIniFile::FindKey(const QString &section, const QString &key) const
{
  const qsizetype header = FindSection(section);
  if (header < 0)
    return -1;
  const qsizetype end = SectionEnd(header);
  for (qsizetype i = header + 1; i < end; ++i) {
    QString name;
    if (ParseKeyLine(FLines.at(i), name) && SameName(name, key))
      return i;
  }
  return -1;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
  const qsizetype i = FindKey(section, key);
  if (i < 0)
    return defaultValue;
  const QString &line = FLines.at(i);
  return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
  bool ok = false;
  const int value = ReadString(section, key, QString()).toInt(&ok, 10);
  return ok ? value : defaultValue;
}

double TIniFile::ReadFloat(const QString &section, const QString &key, double defaultValue) const
{
  // Like the system's own number reading: no group separators.
  QLocale locale;
  locale.setNumberOptions(QLocale::RejectGroupSeparator);
  bool ok = false;
  const double value = locale.toDouble(ReadString(section, key, QString()), &ok);
  return ok && std::isfinite(value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
  bool ok = false;
  const qlonglong value = ReadString(section, key, QString()).toLongLong(&ok, 10);
  return ok ? value != 0 : defaultValue;
}

QDate TIniFile::ReadDate(const QString &section, const QString &key, const QDate &defaultValue) const
{
  const QDate date = ShortTextToDate(ReadString(section, key, QString()));
  return date.isValid() ? date : defaultValue;
}

bool TIniFile::SectionExists(const QString &section) const
{
  return FindSection(section) >= 0;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
  return FindKey(section, key) >= 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
  QString flat = value;
  flat.replace(QLatin1String("\r\n"), QLatin1String(" "));
  flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
  flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
  const QString line = key + QLatin1Char('=') + flat;

  const qsizetype header = FindSection(section);
  if (header < 0) {
    FLines << QLatin1Char('[') + section + QLatin1Char(']') << line;
    return;
  }
  const qsizetype existing = FindKey(section, key);
  if (existing >= 0) {
    // The key keeps the spelling it has in the file.
    QString name;
    ParseKeyLine(FLines.at(existing), name);
    FLines[existing] = name + QLatin1Char('=') + flat;
    return;
  }
  // After the section's last non-blank line, so that blank lines that part
  // it from the next section stay below the new key.
  const qsizetype end = SectionEnd(header);
  qsizetype at = header + 1;
  for (qsizetype i = header + 1; i < end; ++i)
    if (!FLines.at(i).trimmed().isEmpty())
      at = i + 1;
  FLines.insert(at, line);
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
  WriteString(section, key, QString::number(value));
}

void TIniFile::WriteFloat(const QString &section, const QString &key, double value)
{
  WriteString(section, key, FloatToIniText(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
  WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::WriteDate(const QString &section, const QString &key, const QDate &value)
{
  WriteString(section, key, QLocale().toString(value, QLocale::ShortFormat));
}

void TIniFile::UpdateFile()
{
  QString text;
  for (const QString &line : std::as_const(FLines))
    text += line + QLatin1String("\r\n");
  const QByteArray bytes = EncodeWindows1251(text);

  QSaveFile file(FFileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    throw EAppError(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(FFileName)));
}

QString FloatToIniText(double value)
{
  if (value == 0.0)
    value = 0.0; // no "-0"
  // The C locale gives plain digits, "-" and "E"; only the separator is the user's.
  QString text = QLocale::c().toString(value, 'G', 15);
  text.replace(QLatin1Char('.'), QLocale().decimalPoint());
  return text;
}
