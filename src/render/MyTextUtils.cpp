#include "MyTextUtils.h"

#include <QLocale>

#include <cmath>

QString CutBefore(const QString &delimiter, QString &source, bool remove)
{
  const qsizetype p = delimiter.isEmpty() ? -1 : source.indexOf(delimiter);
  if (p < 0) {
    const QString whole = source;
    if (remove)
      source.clear();
    return whole;
  }
  const QString head = source.left(p);
  if (remove)
    source.remove(0, p + 1);
  return head;
}

QString TextAfter(const QString &delimiter, const QString &source)
{
  const qsizetype p = delimiter.isEmpty() ? -1 : source.indexOf(delimiter);
  if (p < 0)
    return QString();
  return source.mid(p + delimiter.size());
}

QString ReplaceAll(const QString &source, const QString &oldText, const QString &newText)
{
  if (oldText.isEmpty())
    return source;
  QString result = source;
  result.replace(oldText, newText);
  return result;
}

double StrToFloatAnySep(const QString &text, double fallback)
{
  const QLocale locale;
  const QString separator = locale.decimalPoint();
  QString normal = text;
  if (separator == QLatin1String(","))
    normal.replace(QLatin1Char('.'), QLatin1Char(','));
  else if (separator == QLatin1String("."))
    normal.replace(QLatin1Char(','), QLatin1Char('.'));
  // Like the system's own number reading: no group separators, no infinities.
  QLocale strict = locale;
  strict.setNumberOptions(QLocale::RejectGroupSeparator);
  bool ok = false;
  const double value = strict.toDouble(normal, &ok);
  return ok && std::isfinite(value) ? value : fallback;
}
