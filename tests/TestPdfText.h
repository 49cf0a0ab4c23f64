#pragma once

// Reads back what a PDF holds with poppler's command-line tools: the page
// size and title (pdfinfo) and every word with its box (pdftotext -bbox), in
// millimetres from the page's left and top edges; and checks that a list of
// expected texts stands where it should, with nothing else on the page.

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <cmath>
#include <optional>

namespace PdfText {

constexpr double MmPerPoint = 25.4 / 72;

/// One word as pdftotext found it: left and right ends of its advance, the
/// top and bottom of its character cell, in millimetres.
struct TWord
{
  QString Text;
  double XMin = 0;
  double YMin = 0;
  double XMax = 0;
  double YMax = 0;
};

struct TPage
{
  double WidthMm = 0;
  double HeightMm = 0;
  QList<TWord> Words;
};

struct TInfo
{
  int Pages = 0;
  double WidthMm = 0;
  double HeightMm = 0;
  int Rotation = 0;
  QString Title;
};

/// True when pdftotext and pdfinfo can be run.
inline bool ToolsAvailable()
{
  return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
         !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

/// Runs a tool to its end (at most a minute); its standard output, or
/// nullopt with `error` set.
inline std::optional<QByteArray> RunTool(const QString &program, const QStringList &arguments, QString &error)
{
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForStarted(10000)) {
    error = program + QStringLiteral(": ") + process.errorString();
    return std::nullopt;
  }
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished(5000);
    error = program + QStringLiteral(" did not finish");
    return std::nullopt;
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    error = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
    return std::nullopt;
  }
  return process.readAllStandardOutput();
}

/// pdfinfo of the file: page count, the first page's size and rotation, title.
inline std::optional<TInfo> Info(const QString &pdf, QString &error)
{
  const auto out = RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf}, error);
  if (!out)
    return std::nullopt;
  TInfo info;
  bool sized = false;
  for (const QString &line : QString::fromUtf8(*out).split(QLatin1Char('\n'))) {
    const int colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0)
      continue;
    const QString key = line.left(colon).trimmed();
    const QString value = line.mid(colon + 1).trimmed();
    if (key == QLatin1String("Pages")) {
      info.Pages = value.toInt();
    } else if (key == QLatin1String("Title")) {
      info.Title = value;
    } else if (key == QLatin1String("Page rot")) {
      info.Rotation = value.toInt();
    } else if (key == QLatin1String("Page size")) {
      // "595.276 x 419.528 pts (A5)"
      static const QRegularExpression size(QStringLiteral("^([0-9.]+) x ([0-9.]+) pts"));
      const QRegularExpressionMatch match = size.match(value);
      if (match.hasMatch()) {
        info.WidthMm = match.captured(1).toDouble() * MmPerPoint;
        info.HeightMm = match.captured(2).toDouble() * MmPerPoint;
        sized = true;
      }
    }
  }
  if (!sized) {
    error = QStringLiteral("pdfinfo gave no page size for ") + pdf;
    return std::nullopt;
  }
  return info;
}

/// Every page with its words, from pdftotext -bbox.
inline std::optional<QList<TPage>> Pages(const QString &pdf, QString &error)
{
  const auto out = RunTool(
      QStringLiteral("pdftotext"),
      {QStringLiteral("-bbox"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}, error);
  if (!out)
    return std::nullopt;
  QList<TPage> pages;
  QXmlStreamReader xml(*out);
  const auto mm = [&xml](const char *name) {
    return xml.attributes().value(QLatin1String(name)).toDouble() * MmPerPoint;
  };
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement)
      continue;
    if (xml.name() == QLatin1String("page")) {
      pages.append({mm("width"), mm("height"), {}});
    } else if (xml.name() == QLatin1String("word") && !pages.isEmpty()) {
      TWord word;
      word.XMin = mm("xMin");
      word.YMin = mm("yMin");
      word.XMax = mm("xMax");
      word.YMax = mm("yMax");
      word.Text = xml.readElementText();
      pages.last().Words.append(word);
    }
  }
  if (xml.hasError()) {
    error = QStringLiteral("pdftotext output unreadable: ") + xml.errorString();
    return std::nullopt;
  }
  return pages;
}

/// How a text is placed: its left end on X, or its middle on X.
enum class TAnchor { Left, Centre };

/// A text that should be printed, with its cell bottom on Bottom (mm).
struct TExpected
{
  QString Text;
  TAnchor Anchor = TAnchor::Left;
  double X = 0;
  double Bottom = 0;
};

/// Where a text was found: the joined words' left and right ends and the
/// first word's cell bottom.
struct TFound
{
  double Left = 0;
  double Right = 0;
  double Bottom = 0;
  QList<qsizetype> Words;
};

/// The occurrences of `text` among the words not used yet: its
/// space-separated parts as words on one line, each after the one before
/// and no further away than a few spaces.
inline QList<TFound> Occurrences(const QList<TWord> &words, const QList<bool> &used, const QString &text)
{
  constexpr double SameLine = 0.05; // mm
  constexpr double MaxGap = 4.0;    // mm between the words of one text
  const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  QList<TFound> found;
  if (parts.isEmpty())
    return found;
  for (qsizetype first = 0; first < words.size(); ++first) {
    if (used.at(first) || words.at(first).Text != parts.constFirst())
      continue;
    TFound occurrence{words.at(first).XMin, words.at(first).XMax, words.at(first).YMax, {first}};
    bool complete = true;
    for (qsizetype p = 1; p < parts.size() && complete; ++p) {
      qsizetype next = -1;
      for (qsizetype w = 0; w < words.size(); ++w) {
        const TWord &word = words.at(w);
        const double gap = word.XMin - occurrence.Right;
        if (used.at(w) || occurrence.Words.contains(w) || word.Text != parts.at(p) ||
            std::abs(word.YMax - occurrence.Bottom) > SameLine || gap < -0.01 || gap > MaxGap)
          continue;
        if (next < 0 || word.XMin < words.at(next).XMin)
          next = w;
      }
      if (next < 0) {
        complete = false;
      } else {
        occurrence.Words.append(next);
        occurrence.Right = words.at(next).XMax;
      }
    }
    if (complete)
      found.append(occurrence);
  }
  return found;
}

/// Checks every expected text against the page's words: found, anchored
/// within `tolerance` mm of its X, cell bottom within `tolerance` mm of its
/// Bottom; then, unless `othersAllowed`, that no word is left over. Returns
/// one line per problem.
inline QStringList Mismatches(const QList<TWord> &words, const QList<TExpected> &expected, double tolerance,
                              bool othersAllowed = false)
{
  QStringList problems;
  QList<bool> used(words.size(), false);
  for (const TExpected &e : expected) {
    const QList<TFound> candidates = Occurrences(words, used, e.Text);
    if (candidates.isEmpty()) {
      problems << QStringLiteral("missing \"%1\" (expected at %2, %3)").arg(e.Text).arg(e.X).arg(e.Bottom);
      continue;
    }
    // Of several equal texts, the one nearest to where this one belongs.
    const auto anchor = [&e](const TFound &f) { return e.Anchor == TAnchor::Left ? f.Left : (f.Left + f.Right) / 2; };
    const TFound *best = nullptr;
    double bestDistance = 0;
    for (const TFound &f : candidates) {
      const double distance = std::hypot(anchor(f) - e.X, f.Bottom - e.Bottom);
      if (!best || distance < bestDistance) {
        best = &f;
        bestDistance = distance;
      }
    }
    for (qsizetype w : best->Words)
      used[w] = true;
    const double dx = anchor(*best) - e.X;
    const double dy = best->Bottom - e.Bottom;
    if (std::abs(dx) > tolerance || std::abs(dy) > tolerance)
      problems << QStringLiteral("\"%1\" %2 at %3, bottom %4; expected %5, %6 (off by %7, %8 mm)")
                      .arg(e.Text, e.Anchor == TAnchor::Left ? QStringLiteral("starts") : QStringLiteral("centred"))
                      .arg(anchor(*best), 0, 'f', 3)
                      .arg(best->Bottom, 0, 'f', 3)
                      .arg(e.X, 0, 'f', 3)
                      .arg(e.Bottom, 0, 'f', 3)
                      .arg(dx, 0, 'f', 3)
                      .arg(dy, 0, 'f', 3);
  }
  for (qsizetype w = 0; w < words.size() && !othersAllowed; ++w)
    if (!used.at(w))
      problems << QStringLiteral("unexpected \"%1\" at %2, bottom %3")
                      .arg(words.at(w).Text)
                      .arg(words.at(w).XMin, 0, 'f', 3)
                      .arg(words.at(w).YMax, 0, 'f', 3);
  return problems;
}

} // namespace PdfText
