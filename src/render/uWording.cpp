#include "uWording.h"

#include "MyTextUtils.h"

#include <QDate>
#include <QLocale>

namespace {

const QString StemFreed = QStringLiteral("звільнен");
const QString StemNotCertified = QStringLiteral("не атестован");

} // namespace

const QStringList &MarkWords()
{
  static const QStringList table{
      QStringLiteral("1=один"),          QStringLiteral("2=два"),           QStringLiteral("3=три"),
      QStringLiteral("4=чотири"),        QStringLiteral("5=п'ять"),         QStringLiteral("6=шість"),
      QStringLiteral("7=сім"),           QStringLiteral("8=вісім"),         QStringLiteral("9=дев'ять"),
      QStringLiteral("10=десять"),       QStringLiteral("11=одинадцять"),   QStringLiteral("12=дванадцять"),
      QStringLiteral("на=не атестован"), QStringLiteral("зв=звільнен"),     QStringLiteral("зар=зараховано"),
      QStringLiteral("зв.=звільнен"),    QStringLiteral("зар.=зараховано"),
  };
  return table;
}

const QStringList &MonthsGenitive()
{
  static const QStringList months{
      QStringLiteral(" "),      QStringLiteral("січня"),   QStringLiteral("лютого"), QStringLiteral("березня"),
      QStringLiteral("квітня"), QStringLiteral("травня"),  QStringLiteral("червня"), QStringLiteral("липня"),
      QStringLiteral("серпня"), QStringLiteral("вересня"), QStringLiteral("жовтня"), QStringLiteral("листопада"),
      QStringLiteral("грудня"),
  };
  return months;
}

QString MarkToWords(const QString &markText, bool female)
{
  const QLocale locale;
  const QString mark = locale.toLower(markText);
  QString words;
  for (const QString &line : MarkWords()) {
    QString rest = line;
    const QString key = CutBefore(QStringLiteral("="), rest, true);
    if (locale.toLower(key) == mark) {
      words = rest;
      break;
    }
  }
  if (words == StemFreed || words == StemNotCertified)
    words += GenderEnding(TGenderPlace::MarkStem, female);
  return words;
}

bool IsFemale(const QString &genderLetter)
{
  return QLocale().toLower(genderLetter) == QStringLiteral("ж");
}

QString GenderEnding(TGenderPlace place, bool female)
{
  switch (place) {
  case TGenderPlace::LeftGender9:
  case TGenderPlace::LeftGender11:
  case TGenderPlace::BackTop:
  case TGenderPlace::Get1:
    return female ? QStringLiteral("ла") : QStringLiteral("в");
  case TGenderPlace::RightGender:
    return female ? QStringLiteral("ла") : QStringLiteral("ов");
  case TGenderPlace::MarkStem:
  case TGenderPlace::Back9Lower:
  case TGenderPlace::Medallu:
  case TGenderPlace::Back11Lower:
    return female ? QStringLiteral("а") : QStringLiteral("ий");
  }
  return QString();
}

QString FioLine1(const QString &fio)
{
  QString source = fio;
  return CutBefore(QStringLiteral(" "), source, false);
}

QString FioLine2(const QString &fio)
{
  return TextAfter(QStringLiteral(" "), fio);
}

TSubjectRows SplitSubjectName(const QString &name)
{
  TSubjectRows rows;
  if (!name.contains(QLatin1Char('*'))) {
    rows.First = name;
    return rows;
  }
  QString rest = name;
  rows.First = CutBefore(QStringLiteral("*"), rest, true);
  rows.Second = rest;
  rows.TwoRows = true;
  return rows;
}

QString AvgCaption(int currentGrade)
{
  return currentGrade == 2 ? QStringLiteral("Середній бал атестата") : QStringLiteral("Середній бал свідоцтва");
}

QString AvgValue(int currentGrade, const QString &avgMark, const QString &avgPoints)
{
  if (currentGrade != 2 || avgPoints.isEmpty())
    return avgMark;
  return avgMark + QStringLiteral(" \u2013 ") + avgPoints + QStringLiteral(" б.");
}

QString DateDayText(const QDate &date)
{
  return date.toString(QStringLiteral("dd"));
}

QString DateMonthText(const QDate &date)
{
  const int month = date.isValid() ? date.month() : 0;
  return MonthsGenitive().at(month);
}

QString DateYearText(const QDate &date)
{
  return date.toString(QStringLiteral("yy"));
}
