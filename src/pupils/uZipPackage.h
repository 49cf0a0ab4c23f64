#pragma once

#include "uSheetData.h"

#include <QByteArray>
#include <QHash>
#include <QString>

typedef struct zip zip_t;

/**
 * A read-only zip package (an Office Open XML or OpenDocument file).
 *
 * Entries are only ever read into memory, never extracted, so hostile entry
 * names cannot reach the file system. Every read is capped at
 * SheetLimits::MaxPartBytes of inflated data, whatever the archive declares.
 */
class TZipPackage
{
public:
  TZipPackage() = default;
  ~TZipPackage();
  TZipPackage(const TZipPackage &) = delete;
  TZipPackage &operator=(const TZipPackage &) = delete;

  /// Opens the file. On failure sets error to NotFound, NoAccess,
  /// NotSpreadsheet (not a zip at all), Unsupported or Corrupt (a damaged zip).
  bool open(const QString &fileName, TWorkbookError &error);
  void close();
  bool isOpen() const { return FZip != nullptr; }

  /// The index of the entry with this name, or -1. A leading "/" is
  /// ignored on either side; when no name matches exactly, names are
  /// compared case-insensitively with "\" taken as "/" (as some writers store them).
  qint64 findEntry(const QString &name);
  bool contains(const QString &name) { return findEntry(name) >= 0; }

  /// Reads a whole entry. Fails with NotFound when there is no such entry,
  /// Encrypted for a password-protected entry, TooLarge past maxBytes of
  /// inflated data, Unsupported for an unknown compression method and
  /// Corrupt on damaged data (including a CRC mismatch).
  bool readEntry(const QString &name, QByteArray &data, TWorkbookError &error,
                 qint64 maxBytes = SheetLimits::MaxPartBytes);
  bool readEntry(qint64 index, QByteArray &data, TWorkbookError &error, qint64 maxBytes = SheetLimits::MaxPartBytes);

private:
  zip_t *FZip = nullptr;
  bool FLooseIndexBuilt = false;
  QHash<QString, qint64> FLooseIndex;
};
