// Reader for Excel 97-2003 workbooks: a BIFF8 "Workbook" stream inside an
// OLE2 compound file. Only the cell texts of the active worksheet are taken.
//
// The whole stream is read into memory (it is capped by MaxPartBytes and by
// the size of the file) and every record is bounds-checked against it, so a
// damaged or hostile file ends in TWorkbookError::Corrupt, never in a read
// past the buffer.

#include "uSheetData.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <vector>

namespace {

// Record types.
constexpr quint16 RecFormula = 0x0006;
constexpr quint16 RecEof = 0x000A;
constexpr quint16 RecFilePass = 0x002F;
constexpr quint16 RecContinue = 0x003C;
constexpr quint16 RecWindow1 = 0x003D;
constexpr quint16 RecBoundSheet = 0x0085;
constexpr quint16 RecMulRk = 0x00BD;
constexpr quint16 RecRString = 0x00D6;
constexpr quint16 RecSst = 0x00FC;
constexpr quint16 RecLabelSst = 0x00FD;
constexpr quint16 RecNumber = 0x0203;
constexpr quint16 RecLabel = 0x0204;
constexpr quint16 RecBoolErr = 0x0205;
constexpr quint16 RecString = 0x0207;
constexpr quint16 RecArray = 0x0221;
constexpr quint16 RecTable = 0x0236;
constexpr quint16 RecRk = 0x027E;
constexpr quint16 RecShrFmla = 0x04BC;
constexpr quint16 RecBof = 0x0809;

// BOF substream kinds and versions.
constexpr quint16 BofGlobals = 0x0005;
constexpr quint16 BofWorksheet = 0x0010;
constexpr quint16 BofBiff5 = 0x0500;

// BOUNDSHEET sheet kind of a worksheet (or dialog sheet).
constexpr quint8 SheetKindWorksheet = 0;

// Flags of the option byte in front of BIFF8 string characters.
constexpr quint8 StrHighByte = 0x01;
constexpr quint8 StrExtSt = 0x04;
constexpr quint8 StrRichSt = 0x08;

// Reading a single record body larger than this is never needed.
constexpr qint64 ReadChunk = 1 << 20;

quint16 u16At(const uchar *p)
{
  return quint16(p[0] | (p[1] << 8));
}

quint32 u32At(const uchar *p)
{
  return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

double doubleAt(const uchar *p)
{
  const quint64 bits = quint64(u32At(p)) | (quint64(u32At(p + 4)) << 32);
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

double rkValue(quint32 rk)
{
  double v;
  if (rk & 0x02) {
    v = double(qint32(rk) >> 2); // 30-bit signed integer
  } else {
    const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&v, &bits, sizeof v);
  }
  if (rk & 0x01)
    v /= 100.0;
  return v;
}

QString errorText(quint8 code)
{
  switch (code) {
  case 0x00:
    return QStringLiteral("#NULL!");
  case 0x07:
    return QStringLiteral("#DIV/0!");
  case 0x0F:
    return QStringLiteral("#VALUE!");
  case 0x17:
    return QStringLiteral("#REF!");
  case 0x1D:
    return QStringLiteral("#NAME?");
  case 0x24:
    return QStringLiteral("#NUM!");
  case 0x2B:
    return QStringLiteral("#GETTING_DATA");
  default:
    return QStringLiteral("#N/A");
  }
}

struct TRecord
{
  quint16 type = 0;
  qint64 offset = 0; ///< stream offset of the record header
  const uchar *data = nullptr;
  int size = 0;
  qint64 next() const { return offset + 4 + size; }
};

/// The record whose header starts at offset; false when the header or the
/// body does not fit in the stream.
bool recordAt(const QByteArray &stream, qint64 offset, TRecord &rec)
{
  const qint64 total = stream.size();
  if (offset < 0 || offset > total - 4)
    return false;
  const uchar *p = reinterpret_cast<const uchar *>(stream.constData()) + offset;
  const int size = u16At(p + 2);
  if (size > total - offset - 4)
    return false;
  rec.type = u16At(p);
  rec.offset = offset;
  rec.data = p + 4;
  rec.size = size;
  return true;
}

/**
 * Reads a record together with the CONTINUE records that follow it as one
 * byte sequence. Plain fields run on across a record boundary; string
 * characters do not: a CONTINUE that goes on with characters starts with a
 * fresh option byte that says whether they are 8-bit or 16-bit.
 */
class TContinuedReader
{
public:
  /// Takes the body of rec (from byte start on) and the CONTINUE records
  /// right after it.
  TContinuedReader(const QByteArray &stream, const TRecord &rec, int start = 0)
  {
    FSegments.push_back({rec.data + start, rec.size - start, 0});
    FTotal = rec.size - start;
    TRecord next;
    qint64 offset = rec.next();
    while (recordAt(stream, offset, next) && next.type == RecContinue) {
      FSegments.push_back({next.data, next.size, FTotal});
      FTotal += next.size;
      offset = next.next();
    }
  }

  /// Bytes not yet read in all segments together.
  qint64 remaining() const { return FTotal - FSegments[FSegment].start - FPos; }

  bool readU8(quint8 &v)
  {
    if (!skipEmpty())
      return false;
    v = FSegments[FSegment].data[FPos++];
    return true;
  }

  bool readU16(quint16 &v)
  {
    quint8 lo, hi;
    if (!readU8(lo) || !readU8(hi))
      return false;
    v = quint16(lo | (hi << 8));
    return true;
  }

  bool readU32(quint32 &v)
  {
    quint16 lo, hi;
    if (!readU16(lo) || !readU16(hi))
      return false;
    v = quint32(lo) | (quint32(hi) << 16);
    return true;
  }

  bool skip(qint64 n)
  {
    while (n > 0) {
      if (!skipEmpty())
        return false;
      const qint64 step = qMin<qint64>(n, FSegments[FSegment].size - FPos);
      FPos += int(step);
      n -= step;
    }
    return true;
  }

  /// A BIFF8 string: 16-bit character count, option byte and characters.
  /// With rich set the option byte may announce formatting runs and phonetic
  /// data (as in the shared string table), which are skipped.
  bool readString(QString &text, bool rich)
  {
    quint16 count;
    quint8 options;
    if (!readU16(count) || !readU8(options))
      return false;
    quint16 runs = 0;
    quint32 extSize = 0;
    if (rich && (options & StrRichSt) && !readU16(runs))
      return false;
    if (rich && (options & StrExtSt) && !readU32(extSize))
      return false;
    if (!readChars(count, options & StrHighByte, text))
      return false;
    return skip(qint64(runs) * 4) && skip(qint64(extSize));
  }

private:
  struct TSegment
  {
    const uchar *data;
    int size;
    qint64 start; ///< offset of the segment in the joined data
  };

  /// Moves past exhausted segments; false at the end of the data.
  bool skipEmpty()
  {
    while (FPos >= FSegments[FSegment].size) {
      if (FSegment + 1 >= FSegments.size())
        return false;
      ++FSegment;
      FPos = 0;
    }
    return true;
  }

  bool readChars(int count, bool highByte, QString &text)
  {
    text.clear();
    // Every character takes at least one byte of the data at hand.
    if (count > remaining())
      return false;
    text.reserve(count);
    while (count > 0) {
      const TSegment &seg = FSegments[FSegment];
      const int left = seg.size - FPos;
      const int avail = highByte ? left / 2 : left;
      if (avail == 0) {
        // The characters go on in the next CONTINUE, behind its own option byte.
        if (FSegment + 1 >= FSegments.size() || FSegments[FSegment + 1].size < 1)
          return false;
        ++FSegment;
        highByte = FSegments[FSegment].data[0] & StrHighByte;
        FPos = 1;
        continue;
      }
      const int take = qMin(avail, count);
      const uchar *p = seg.data + FPos;
      if (highByte) {
        for (int i = 0; i < take; ++i)
          text.append(QChar(u16At(p + 2 * i)));
        FPos += 2 * take;
      } else {
        text.append(QString::fromLatin1(reinterpret_cast<const char *>(p), take));
        FPos += take;
      }
      count -= take;
    }
    return true;
  }

  std::vector<TSegment> FSegments;
  qint64 FTotal = 0;
  size_t FSegment = 0;
  int FPos = 0;
};

struct TBoundSheet
{
  quint32 offset;
  quint8 kind;
};

class TBiffReader
{
public:
  TBiffReader(const QByteArray &stream, TSheetData &sheet) : FStream(stream), FSheet(sheet) {}

  bool read(TWorkbookError &error)
  {
    qint64 sheetOffset = -1;
    if (!readGlobals(sheetOffset, error))
      return false;
    if (sheetOffset < 0)
      return true; // no worksheet at all, e.g. only chart sheets
    return readSheet(sheetOffset, error);
  }

private:
  bool readGlobals(qint64 &sheetOffset, TWorkbookError &error)
  {
    error = TWorkbookError::Corrupt;
    TRecord rec;
    if (!recordAt(FStream, 0, rec) || rec.type != RecBof || rec.size < 4)
      return false;
    if (u16At(rec.data) == BofBiff5) {
      error = TWorkbookError::Unsupported;
      return false;
    }
    if (u16At(rec.data + 2) != BofGlobals)
      return false;

    std::vector<TBoundSheet> sheets;
    int activeTab = 0;
    bool haveWindow = false;
    bool haveSst = false;
    for (;;) {
      if (!recordAt(FStream, rec.next(), rec))
        return false;
      if (rec.type == RecEof)
        break;
      switch (rec.type) {
      case RecBof:
        return false; // the globals never hold another substream
      case RecFilePass:
        error = TWorkbookError::Encrypted;
        return false;
      case RecWindow1:
        if (rec.size < 12)
          return false;
        if (!haveWindow)
          activeTab = u16At(rec.data + 10);
        haveWindow = true;
        break;
      case RecBoundSheet:
        if (rec.size < 6)
          return false;
        sheets.push_back({u32At(rec.data), rec.data[5]});
        break;
      case RecSst:
        if (!haveSst && !readSst(rec))
          return false;
        haveSst = true;
        break;
      default:
        break;
      }
    }
    const qint64 globalsEnd = rec.next();

    if (sheets.empty())
      return false;
    // The active tab counts every sheet, chart sheets included. When it is
    // not a worksheet, take the first worksheet instead.
    if (activeTab >= int(sheets.size()))
      activeTab = 0;
    if (sheets[activeTab].kind != SheetKindWorksheet) {
      activeTab = -1;
      for (size_t i = 0; i < sheets.size() && activeTab < 0; ++i)
        if (sheets[i].kind == SheetKindWorksheet)
          activeTab = int(i);
    }
    sheetOffset = -1;
    if (activeTab >= 0) {
      sheetOffset = sheets[activeTab].offset;
      // Sheet substreams follow the globals; anything else is damage.
      if (sheetOffset < globalsEnd)
        return false;
    }
    error = TWorkbookError::None;
    return true;
  }

  bool readSst(const TRecord &rec)
  {
    TContinuedReader in(FStream, rec);
    quint32 total, unique;
    if (!in.readU32(total) || !in.readU32(unique))
      return false;
    // A string takes at least three bytes, so the data present caps the count.
    FStrings.reserve(size_t(qMin<qint64>(unique, in.remaining() / 3)));
    QString text;
    for (quint32 i = 0; i < unique; ++i) {
      if (!in.readString(text, true))
        return false;
      FStrings.push_back(text);
    }
    return true;
  }

  bool readSheet(qint64 offset, TWorkbookError &error)
  {
    error = TWorkbookError::Corrupt;
    TRecord rec;
    if (!recordAt(FStream, offset, rec) || rec.type != RecBof || rec.size < 4 || u16At(rec.data + 2) != BofWorksheet)
      return false;
    int depth = 0; // embedded substreams (charts on the sheet) are skipped
    for (;;) {
      if (!recordAt(FStream, rec.next(), rec))
        return false;
      if (rec.type == RecBof) {
        ++depth;
        continue;
      }
      if (rec.type == RecEof) {
        if (depth == 0)
          break;
        --depth;
        continue;
      }
      if (depth > 0)
        continue;
      if (!readCell(rec, error))
        return false;
    }
    error = TWorkbookError::None;
    return true;
  }

  /// Handles one record of the sheet; false with error set on failure.
  bool readCell(const TRecord &rec, TWorkbookError &error)
  {
    const uchar *d = rec.data;
    switch (rec.type) {
    case RecLabelSst: {
      if (rec.size < 10)
        return false;
      const quint32 index = u32At(d + 6);
      if (index >= FStrings.size())
        return false;
      return put(d, FStrings[index], error);
    }
    case RecLabel:
    case RecRString: {
      if (rec.size < 9)
        return false;
      // RSTRING keeps its formatting runs behind the string; they are not needed.
      TContinuedReader in(FStream, rec, 6);
      QString text;
      if (!in.readString(text, false))
        return false;
      return put(d, text, error);
    }
    case RecNumber:
      if (rec.size < 14)
        return false;
      return put(d, CellNumberText(doubleAt(d + 6)), error);
    case RecRk:
      if (rec.size < 10)
        return false;
      return put(d, CellNumberText(rkValue(u32At(d + 6))), error);
    case RecMulRk: {
      // row, first column, (xf, rk) for each column, last column
      if (rec.size < 6 || (rec.size - 6) % 6 != 0)
        return false;
      const int row = u16At(d);
      const int first = u16At(d + 2);
      const int count = (rec.size - 6) / 6;
      for (int i = 0; i < count; ++i) {
        const QString text = CellNumberText(rkValue(u32At(d + 4 + 6 * i + 2)));
        if (!put(row, first + i, text, error))
          return false;
      }
      return true;
    }
    case RecBoolErr:
      if (rec.size < 8)
        return false;
      return put(d, d[7] ? errorText(d[6]) : CellBoolText(d[6] != 0), error);
    case RecFormula:
      if (rec.size < 14)
        return false;
      return readFormula(rec, error);
    default:
      return true;
    }
  }

  /// The cached result of a formula cell.
  bool readFormula(const TRecord &rec, TWorkbookError &error)
  {
    const uchar *d = rec.data;
    const uchar *result = d + 6;
    if (u16At(result + 6) != 0xFFFF)
      return put(d, CellNumberText(doubleAt(result)), error);
    switch (result[0]) {
    case 0: {
      // The text follows in a STRING record, possibly behind the shared or
      // array formula that the cell refers to.
      TRecord next;
      qint64 offset = rec.next();
      while (recordAt(FStream, offset, next) &&
             (next.type == RecShrFmla || next.type == RecArray || next.type == RecTable || next.type == RecContinue))
        offset = next.next();
      if (!recordAt(FStream, offset, next) || next.type != RecString)
        return true; // no cached text: the cell reads as empty
      TContinuedReader in(FStream, next);
      QString text;
      if (!in.readString(text, false))
        return false;
      return put(d, text, error);
    }
    case 1:
      return put(d, CellBoolText(result[2] != 0), error);
    case 2:
      return put(d, errorText(result[2]), error);
    default:
      return true; // 3 is an empty string; anything else is left empty too
    }
  }

  bool put(const uchar *cellHeader, const QString &text, TWorkbookError &error)
  {
    return put(u16At(cellHeader), u16At(cellHeader + 2), text, error);
  }

  bool put(int row, int column, const QString &text, TWorkbookError &error)
  {
    if (column >= SheetLimits::XlsMaxColumns || row >= SheetLimits::XlsMaxRows)
      return true; // cannot occur in a valid file; ignored
    if (!FSheet.setCell(row + 1, column + 1, text)) {
      error = TWorkbookError::TooLarge;
      return false;
    }
    return true;
  }

  const QByteArray &FStream;
  TSheetData &FSheet;
  std::vector<QString> FStrings;
};

/// Drops the reference to a GObject when leaving the scope.
template <typename T> struct TGObjectRef
{
  T *ptr = nullptr;
  TGObjectRef() = default;
  explicit TGObjectRef(T *p) : ptr(p) {}
  TGObjectRef(const TGObjectRef &) = delete;
  TGObjectRef &operator=(const TGObjectRef &) = delete;
  ~TGObjectRef() { reset(nullptr); }
  void reset(T *p)
  {
    if (ptr)
      g_object_unref(ptr);
    ptr = p;
  }
};

/// A top-level stream of the compound file by name, compared without
/// regard to case as the file format does. Storages are not returned.
GsfInput *childStream(GsfInfile *root, const char *name)
{
  const int n = gsf_infile_num_children(root);
  for (int i = 0; i < n; ++i) {
    const char *childName = gsf_infile_name_by_index(root, i);
    if (!childName || g_ascii_strcasecmp(childName, name) != 0)
      continue;
    GsfInput *child = gsf_infile_child_by_index(root, i);
    if (child && GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0) {
      g_object_unref(child);
      continue;
    }
    if (child)
      return child;
  }
  return nullptr;
}

bool hasChild(GsfInfile *root, const char *name)
{
  const int n = gsf_infile_num_children(root);
  for (int i = 0; i < n; ++i) {
    const char *childName = gsf_infile_name_by_index(root, i);
    if (childName && g_ascii_strcasecmp(childName, name) == 0)
      return true;
  }
  return false;
}

/// Reads the workbook stream of an OLE2 file into stream.
bool readWorkbookStream(const QString &fileName, QByteArray &stream, TWorkbookError &error)
{
  static bool gsfReady = false;
  if (!gsfReady) {
    gsf_init();
    // A damaged container makes libgsf complain on stderr; the reader
    // reports the damage itself.
    const GLogLevelFlags noise = GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING);
    for (const char *domain : {"libgsf", "libgsf:msole", "libgsf:zip"})
      g_log_set_handler(
          domain, noise, [](const gchar *, GLogLevelFlags, const gchar *, gpointer) {}, nullptr);
    gsfReady = true;
  }

  GError *gerr = nullptr;
  TGObjectRef<GsfInput> file(gsf_input_stdio_new(QFile::encodeName(fileName).constData(), &gerr));
  g_clear_error(&gerr);
  if (!file.ptr) {
    error = QFileInfo::exists(fileName) ? TWorkbookError::NoAccess : TWorkbookError::NotFound;
    return false;
  }
  const gsf_off_t fileSize = gsf_input_size(file.ptr);
  TGObjectRef<GsfInfile> root(gsf_infile_msole_new(file.ptr, &gerr));
  g_clear_error(&gerr);
  if (!root.ptr) {
    error = TWorkbookError::Corrupt;
    return false;
  }

  // A password-protected OOXML package is also an OLE2 file.
  if (hasChild(root.ptr, "EncryptedPackage") || hasChild(root.ptr, "EncryptionInfo")) {
    error = TWorkbookError::Encrypted;
    return false;
  }
  TGObjectRef<GsfInput> book(childStream(root.ptr, "Workbook"));
  if (!book.ptr) {
    error = hasChild(root.ptr, "Book") ? TWorkbookError::Unsupported : TWorkbookError::NotSpreadsheet;
    return false;
  }

  const gsf_off_t size = gsf_input_size(book.ptr);
  if (size > SheetLimits::MaxPartBytes) {
    error = TWorkbookError::TooLarge;
    return false;
  }
  // A stream cannot hold more than the file does.
  if (size < 0 || size > fileSize) {
    error = TWorkbookError::Corrupt;
    return false;
  }
  stream.resize(qsizetype(size));
  uchar *out = reinterpret_cast<uchar *>(stream.data());
  for (qint64 done = 0; done < size;) {
    const qint64 step = qMin<qint64>(ReadChunk, size - done);
    if (!gsf_input_read(book.ptr, size_t(step), out + done)) {
      stream.clear();
      error = TWorkbookError::Corrupt;
      return false;
    }
    done += step;
  }
  return true;
}

} // namespace

bool ReadXlsWorkbook(const QString &fileName, TSheetData &sheet, TWorkbookError &error)
{
  sheet.clear();
  sheet.setBounds(SheetLimits::XlsMaxRows, SheetLimits::XlsMaxColumns);
  error = TWorkbookError::None;

  QByteArray stream;
  if (!readWorkbookStream(fileName, stream, error))
    return false;

  TBiffReader reader(stream, sheet);
  if (!reader.read(error)) {
    sheet.clear();
    return false;
  }
  error = TWorkbookError::None;
  return true;
}
