#include "uAppStart.h"

#include "frmMain.h"
#include "uDialogs.h"
#include "uSkin.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

QString ApplicationTitle()
{
  return QStringLiteral("Орнавел 2013");
}

QString ProgramVersion()
{
  return QStringLiteral("2.2.2");
}

void RunGuarded(QWidget *parent, const std::function<void()> &handler)
{
  try {
    handler();
  } catch (const EAppError &e) {
    Dialogs::error(parent, e.message());
  } catch (const std::exception &e) {
    Dialogs::error(parent, QString::fromLocal8Bit(e.what()));
  }
}

void SetupApplication(QApplication &app)
{
  // Paths of the per-user data folder use a plain name; the title is ours.
  QCoreApplication::setApplicationName(QStringLiteral("ornavel"));
  QCoreApplication::setApplicationVersion(ProgramVersion());

  auto *qtTexts = new QTranslator(&app);
  if (qtTexts->load(QStringLiteral("qtbase_uk"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qtTexts);

  ApplySkin(app);
}

int RunProgram(int argc, char *argv[])
{
  QApplication app(argc, argv);
  SetupApplication(app);
  TMainF mainForm;
  mainForm.showMaximized();
  return app.exec();
}
