// Times the import of a 2000-pupil class workbook in each format, the way the
// program reads it (ReadClassWorkbook), and prints the median of several runs.
//
//   bench_import [runs] [data folder]

#include "pupils/uPupils.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int ExpectedPupils = 2000;

} // namespace

int main(int argc, char **argv)
{
  int runs = 9;
  if (argc > 1)
    runs = std::max(1, QString::fromLocal8Bit(argv[1]).toInt());
  const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(ORNAVEL_BENCH_DATA);

  std::printf("ReadClassWorkbook, %d pupils, median of %d runs after one warm-up run\n", ExpectedPupils, runs);
  std::printf("%-6s %10s %10s %10s %10s\n", "format", "median ms", "min ms", "max ms", "file KB");
  int status = 0;
  for (const char *format : {"xls", "xlsx", "ods"}) {
    const QString file = folder + QStringLiteral("/class2000.") + QLatin1String(format);
    TClassWorkbook book;
    // The warm-up also checks that the file reads as the class it is, so
    // that no time is reported for a read that failed.
    const TClassImportProblem problem = ReadClassWorkbook(file, book);
    if (problem != TClassImportProblem::None || book.Pupils.size() != ExpectedPupils) {
      std::printf("%-6s cannot be timed: problem %d, %lld pupils read from %s\n", format, int(problem),
                  static_cast<long long>(book.Pupils.size()), qPrintable(file));
      status = 1;
      continue;
    }
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
      TClassWorkbook timed;
      QElapsedTimer timer;
      timer.start();
      ReadClassWorkbook(file, timed);
      ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
    std::printf("%-6s %10.1f %10.1f %10.1f %10.0f\n", format, median, ms.front(), ms.back(),
                double(QFileInfo(file).size()) / 1024);
  }
  return status;
}
