// Times RedrawContent for the spread of a pupil from the 9th-grade example at
// the zoom the main window fits at start-up: the composition and the paint
// of the preview's content image. Prints the median of several runs.
//
//   QT_QPA_PLATFORM=offscreen bench_redraw [runs]

#include "app/frmMain.h"
#include "app/uDialogs.h"
#include "app/uPreviewImage.h"
#include "app/uSkin.h"
#include "store/uAppPaths.h"
#include "web/CommonNetUtils.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
  QApplication app(argc, argv);
  ApplySkin(app);
  int runs = 51;
  if (argc > 1)
    runs = std::max(1, QString::fromLocal8Bit(argv[1]).toInt());

  QTemporaryDir folder;
  SetProgramFolderOverride(folder.path());
  Dialogs::setScripted(true);
  SetProductSiteUrl(QStringLiteral("http://127.0.0.1:9/"));
  TMainF main;
  main.resize(1366, 768);
  main.show();
  QCoreApplication::processEvents();
  Dialogs::setNextFileName(QStringLiteral(ORNAVEL_EXAMPLES "/Приклад 9 клас.xls"));
  main.acImportFromExcel->trigger();
  if (main.lbPupils->count() == 0) {
    std::printf("the example could not be imported\n");
    return 1;
  }

  std::vector<double> times;
  for (int i = 0; i <= runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    main.RedrawContent(dtScreen);
    main.ImgPreview->repaint();
    if (i > 0) // the first run warms the font caches
      times.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::sort(times.begin(), times.end());
  std::printf("RedrawContent(dtScreen), spread of \"%s\", zoom %.2f (%dx%d px), %d runs\n",
              qPrintable(main.lbPupils->currentItem()->text()), ZoomFactor, main.ImgPreview->width(),
              main.ImgPreview->height(), runs);
  std::printf("median %.2f ms, min %.2f ms, max %.2f ms\n", times[times.size() / 2], times.front(), times.back());
  return 0;
}
