#pragma once

#include <QString>

/**
 * Where the program keeps its files.
 *
 * The program's folder holds the settings, the remembered update list and
 * the workbook template. It is the executable's folder where that folder is
 * writable, otherwise the per-user application data folder (as the system
 * redirects a program's writes out of a protected program folder). Tests
 * point it at a temporary directory with SetProgramFolderOverride.
 */
QString ProgramFolder();

/// The full path of a file in the program's folder.
QString ProgramFile(const QString &name);

/// A file shipped beside the executable (the template): looked up in the
/// program's folder first, then beside the executable.
QString ShippedFile(const QString &name);

/// Makes ProgramFolder answer `folder` (an empty string restores the normal
/// answer). Used by tests.
void SetProgramFolderOverride(const QString &folder);

/// The workbook template's file name (both letters "i" are the Latin i).
QString TemplateFileName();
