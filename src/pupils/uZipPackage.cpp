#include "uZipPackage.h"

#include <QFile>

#include <zip.h>

namespace {

// The form of an entry name used when no name matches exactly.
QString looseName(QString name)
{
  name.replace(QLatin1Char('\\'), QLatin1Char('/'));
  qsizetype start = 0;
  while (start < name.size() && name.at(start) == QLatin1Char('/'))
    ++start;
  return name.mid(start).toCaseFolded();
}

TWorkbookError entryError(int zipError)
{
  switch (zipError) {
  case ZIP_ER_NOPASSWD:
  case ZIP_ER_WRONGPASSWD:
  case ZIP_ER_ENCRNOTSUPP:
    return TWorkbookError::Encrypted;
  case ZIP_ER_COMPNOTSUPP:
    return TWorkbookError::Unsupported;
  default:
    return TWorkbookError::Corrupt;
  }
}

} // namespace

TZipPackage::~TZipPackage()
{
  close();
}

bool TZipPackage::open(const QString &fileName, TWorkbookError &error)
{
  close();
  QByteArray head;
  if (!ReadFileHead(fileName, 4, head, error))
    return false;

  // No ZIP_CHECKCONS: some writers leave harmless inconsistencies between
  // the local headers and the central directory that it would refuse.
  int zipError = ZIP_ER_OK;
  FZip = zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY, &zipError);
  if (FZip)
    return true;
  switch (zipError) {
  case ZIP_ER_NOZIP:
    // A local file header without a readable central directory is a
    // truncated or damaged package rather than some other kind of file.
    error = head.startsWith("PK\x03\x04") ? TWorkbookError::Corrupt : TWorkbookError::NotSpreadsheet;
    break;
  case ZIP_ER_OPEN:
    error = TWorkbookError::NoAccess;
    break;
  case ZIP_ER_MULTIDISK:
  case ZIP_ER_COMPNOTSUPP:
    error = TWorkbookError::Unsupported;
    break;
  default:
    error = TWorkbookError::Corrupt;
    break;
  }
  return false;
}

void TZipPackage::close()
{
  if (FZip) {
    zip_discard(FZip);
    FZip = nullptr;
  }
  FLooseIndex.clear();
  FLooseIndexBuilt = false;
}

qint64 TZipPackage::findEntry(const QString &name)
{
  if (!FZip)
    return -1;
  qsizetype start = 0;
  while (start < name.size() && name.at(start) == QLatin1Char('/'))
    ++start;
  const QString bare = name.mid(start);
  if (bare.isEmpty())
    return -1;
  zip_int64_t index = zip_name_locate(FZip, bare.toUtf8().constData(), 0);
  if (index < 0)
    index = zip_name_locate(FZip, (QLatin1Char('/') + bare).toUtf8().constData(), 0);
  if (index >= 0)
    return index;

  if (!FLooseIndexBuilt) {
    FLooseIndexBuilt = true;
    const zip_int64_t count = zip_get_num_entries(FZip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
      const char *entryName = zip_get_name(FZip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
      if (!entryName)
        continue;
      const QString key = looseName(QString::fromUtf8(entryName));
      if (!key.isEmpty() && !FLooseIndex.contains(key))
        FLooseIndex.insert(key, i);
    }
    zip_error_clear(FZip);
  }
  return FLooseIndex.value(looseName(bare), -1);
}

bool TZipPackage::readEntry(const QString &name, QByteArray &data, TWorkbookError &error, qint64 maxBytes)
{
  const qint64 index = findEntry(name);
  if (index < 0) {
    data.clear();
    error = TWorkbookError::NotFound;
    return false;
  }
  return readEntry(index, data, error, maxBytes);
}

bool TZipPackage::readEntry(qint64 index, QByteArray &data, TWorkbookError &error, qint64 maxBytes)
{
  data.clear();
  error = TWorkbookError::None;
  if (!FZip || index < 0) {
    error = TWorkbookError::NotFound;
    return false;
  }
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(FZip, zip_uint64_t(index), 0, &st) != 0) {
    zip_error_clear(FZip);
    error = TWorkbookError::NotFound;
    return false;
  }
  if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
    error = TWorkbookError::Encrypted;
    return false;
  }
  zip_file_t *zf = zip_fopen_index(FZip, zip_uint64_t(index), 0);
  if (!zf) {
    error = entryError(zip_error_code_zip(zip_get_error(FZip)));
    zip_error_clear(FZip);
    return false;
  }
  // The declared size is only a hint: the cap applies to what actually
  // inflates, so a lying header cannot make us read (or allocate) more.
  if ((st.valid & ZIP_STAT_SIZE) && st.size > 0)
    data.reserve(qsizetype(qMin<zip_uint64_t>(st.size, zip_uint64_t(qMin<qint64>(maxBytes, 16 * 1024 * 1024)))));
  char buffer[64 * 1024];
  bool ok = true;
  for (;;) {
    // Ask for one byte past the cap so that an entry of exactly maxBytes
    // passes and anything longer is caught.
    const qint64 room = maxBytes + 1 - data.size();
    const zip_int64_t n = zip_fread(zf, buffer, zip_uint64_t(qMin<qint64>(qint64(sizeof buffer), room)));
    if (n < 0) {
      error = entryError(zip_error_code_zip(zip_file_get_error(zf)));
      ok = false;
      break;
    }
    if (n == 0)
      break;
    if (data.size() + n > maxBytes) {
      error = TWorkbookError::TooLarge;
      ok = false;
      break;
    }
    data.append(buffer, qsizetype(n));
  }
  const int closeError = zip_fclose(zf);
  if (ok && closeError != 0) {
    error = entryError(closeError);
    ok = false;
  }
  if (!ok) {
    data.clear();
    data.squeeze();
  }
  return ok;
}
