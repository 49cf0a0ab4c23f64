#include "uAppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString FolderOverride;

bool FolderIsWritable(const QString &folder)
{
  const QFileInfo info(folder);
  return info.isDir() && info.isWritable();
}

QString ExecutableFolder()
{
  return QCoreApplication::applicationDirPath();
}
} // namespace

QString ProgramFolder()
{
  if (!FolderOverride.isEmpty())
    return FolderOverride;
  const QString exeFolder = ExecutableFolder();
  if (FolderIsWritable(exeFolder))
    return exeFolder;
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  QDir().mkpath(data);
  return data;
}

QString ProgramFile(const QString &name)
{
  return QDir(ProgramFolder()).filePath(name);
}

QString ShippedFile(const QString &name)
{
  const QString inProgramFolder = ProgramFile(name);
  if (!FolderOverride.isEmpty() || QFileInfo::exists(inProgramFolder))
    return inProgramFolder;
  return QDir(ExecutableFolder()).filePath(name);
}

void SetProgramFolderOverride(const QString &folder)
{
  FolderOverride = folder;
}

QString TemplateFileName()
{
  return QStringLiteral("Шаблон вiдомостi.xlt");
}
