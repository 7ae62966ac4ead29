#include "formats/XlsReader.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include <freexl.h>

namespace formats {

namespace {

using R = Result<Workbook>;

class Handle {
 public:
  ~Handle() {
    if (m_handle) freexl_close(m_handle);
  }
  const void* m_handle = nullptr;
};

QString freexlError(int code) {
  switch (code) {
    case FREEXL_FILE_NOT_FOUND:
      return QStringLiteral("Dosya bulunamadı");
    case FREEXL_INSUFFICIENT_MEMORY:
      return QStringLiteral("Bellek yetmedi");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
      return QStringLiteral("Dosya tanınmadı");
    case FREEXL_OK:  // the library gave no reason
      return QStringLiteral("Dosya bozuk");
    default:
      return QStringLiteral("Dosya bozuk (freexl %1)").arg(code);
  }
}

// Little-endian numbers at a byte offset; out of range reads as "no sector".
quint32 u32At(const QByteArray& b, qint64 at) {
  if (at < 0 || at + 4 > b.size()) return 0xFFFFFFFF;
  quint32 v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uchar>(b.at(at + i));
  return v;
}
quint16 u16At(const QByteArray& b, qint64 at) {
  if (at < 0 || at + 2 > b.size()) return 0;
  return static_cast<quint16>(static_cast<uchar>(b.at(at)) | static_cast<uchar>(b.at(at + 1)) << 8);
}

Status broken(const QString& why) {
  return Status::failure(QStringLiteral("Dosya bozuk: %1.").arg(why));
}

// The workbook stream exactly as the reader library will walk it, and the end
// it will stop at. The library trusts nearly every number the compound file
// holds (name lengths, chain lengths, stream sizes, sector numbers) and copies by
// them into fixed buffers, so each is checked here first; where the library
// itself would give up cleanly, so does this walk.
struct LibraryStream {
  QByteArray bytes;   // the sectors it reads, whole
  qint64 end = 0;     // where it stops looking for a record header
  bool mini = false;  // read from the mini stream (other record rules)
};

class LibraryView {
 public:
  explicit LibraryView(QByteArray bytes) : m_bytes(std::move(bytes)) {}

  Result<LibraryStream> workbook() {
    using S = Result<LibraryStream>;
    const S unknown = S::failure(QStringLiteral("Excel (xls) dosyası okunamadı: Dosya tanınmadı."));
    if (!m_bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") || m_bytes.size() < 512)
      return unknown;
    const int shift = u16At(m_bytes, 0x1E);
    if (shift != 9 && shift != 12) return unknown;
    m_sector = 1 << shift;
    const qint64 sectors = m_bytes.size() / m_sector - 1;
    // A file of n sectors needs n/128 of them for its allocation table; more
    // than an eighth is a claim, and every table sector read costs the library
    // memory for each of its entries.
    const qint64 tableBudget = sectors / 8 + 2;
    const S badTable = S::failure(QStringLiteral(
        "Dosya bozuk: dosyanın bölüm tablosu dosyanın içinde olmayan yerleri gösteriyor."));

    for (int i = 0; i < 109; ++i) {
      const quint32 s = u32At(m_bytes, 0x4C + 4 * i);
      if (s != kFree && !readTableSector(s)) return badTable;
    }
    if (const quint32 blocks = u32At(m_bytes, 0x48); blocks > 0) {
      if (blocks > sectors) return badTable;
      quint32 next = u32At(m_bytes, 0x44);
      quint32 read = 0;
      bool end = false;
      const int perBlock = m_sector / 4;
      while (true) {
        const std::optional<QByteArray> block = sector(next);
        if (!block) return badTable;
        ++read;
        for (int i = 0; i < perBlock; ++i) {
          const quint32 v = u32At(*block, 4 * i);
          if (v == kEndOfChain) {
            end = true;
            break;
          }
          if (i == perBlock - 1)
            next = v;
          else if (v != kFree && !readTableSector(v))
            return badTable;
          if (m_tableSectors > tableBudget) return badTable;
        }
        if (read == blocks || end) break;
      }
      if (read != blocks) return badTable;
    }
    if (m_tableSectors > tableBudget || m_fat.isEmpty()) return badTable;
    // The library keeps the mini-stream cut-off only when there is a mini table.
    const quint32 miniTableSectors = u32At(m_bytes, 0x40);
    if (miniTableSectors > tableBudget) return badTable;
    const quint32 cutOff = miniTableSectors > 0 ? u32At(m_bytes, 0x38) : 0;

    // Only the directory's first sector is searched, by name alone.
    const std::optional<QByteArray> directory = sector(u32At(m_bytes, 0x30));
    if (!directory) return unknown;
    bool rootFound = false;
    bool bookFound = false;
    quint32 miniStart = 0, miniSize = 0, start = 0, size = 0;
    for (qint64 at = 0; at + 128 <= directory->size() && !bookFound; at += 128) {
      const int nameBytes = u16At(*directory, at + 0x40);
      if (nameBytes > 64 || nameBytes % 2 != 0)
        return S::failure(QStringLiteral(
            "Dosya bozuk: dosyanın iç dizinindeki bir ad kendi alanından uzun olduğunu söylüyor."));
      // The library converts the name through iconv, which stops at a lone
      // surrogate, and then compares it up to its first nul.
      QString name;
      for (int i = 0; i < nameBytes / 2; ++i) name += QChar(u16At(*directory, at + 2 * i));
      if (!isWellFormed(name))
        return S::failure(
            QStringLiteral("Dosya bozuk: dosyanın iç dizininde okunamayan bir ad var."));
      const QString shown = name.left(name.indexOf(QChar(0)));
      if (shown == QStringLiteral("Root Entry")) {
        rootFound = true;
        miniStart = u32At(*directory, at + 0x74);
        miniSize = u32At(*directory, at + 0x78);
      } else if (shown == QStringLiteral("Workbook") || shown == QStringLiteral("Book")) {
        bookFound = true;
        start = u32At(*directory, at + 0x74);
        size = u32At(*directory, at + 0x78);
      }
    }
    if (!bookFound) return unknown;

    const S badChain = S::failure(
        QStringLiteral("Dosya bozuk: çalışma kitabının bölümleri söylenen uzunlukla uyuşmuyor."));
    LibraryStream out;
    if (size <= cutOff) {
      // Small books live in the mini stream, which the library reads whole from
      // the root entry and then takes `size` bytes of from its very start.
      if (!rootFound || miniSize > m_bytes.size() || size > miniSize) return badChain;
      QByteArray stream;
      quint32 s = miniStart;
      bool end = false;
      while (stream.size() < qint64(miniSize)) {
        const std::optional<QByteArray> data = sector(s);
        if (!data || s >= quint32(m_fat.size())) return badChain;
        stream += data->left(std::min<qint64>(m_sector, miniSize - stream.size()));
        if (m_fat.at(s) == kEndOfChain) {
          end = true;
          break;
        }
        s = m_fat.at(s);
      }
      if (!end || stream.size() != qint64(miniSize)) return badChain;
      out.bytes = stream.left(size);
      out.end = size;
      out.mini = true;
      return out;
    }
    // A chain longer than the stream makes the library's position in its
    // two-sector buffer wrap around; one longer than the file goes round a loop.
    const qint64 most =
        std::min<qint64>((qint64(size) + m_sector - 1) / m_sector, m_bytes.size() / m_sector);
    quint32 s = start;
    for (qint64 count = 1;; ++count) {
      const std::optional<QByteArray> data = sector(s);
      if (!data || count > most || s >= quint32(m_fat.size())) return badChain;
      out.bytes += *data;
      if (m_fat.at(s) == kEndOfChain) break;
      s = m_fat.at(s);
    }
    out.end = std::min<qint64>(size, out.bytes.size());
    return out;
  }

 private:
  static constexpr quint32 kEndOfChain = 0xFFFFFFFE;
  static constexpr quint32 kFree = 0xFFFFFFFF;

  // Where the library looks for sector `s`: the offset is computed in 32 bits,
  // and only whole sectors are read.
  std::optional<QByteArray> sector(quint32 s) const {
    const quint32 at = (s + 1) * quint32(m_sector);
    if (qint64(at) + m_sector > m_bytes.size()) return std::nullopt;
    return m_bytes.mid(at, m_sector);
  }
  bool readTableSector(quint32 s) {
    const std::optional<QByteArray> data = sector(s);
    if (!data) return false;
    ++m_tableSectors;
    for (int i = 0; i < m_sector / 4; ++i) m_fat << u32At(*data, 4 * i);
    return true;
  }
  static bool isWellFormed(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
      if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
        ++i;
      else if (s.at(i).isSurrogate())
        return false;
    }
    return true;
  }

  QByteArray m_bytes;
  QList<quint32> m_fat;
  qint64 m_tableSectors = 0;
  int m_sector = 512;
};

// Cells the sheets together may claim for a file of `streamBytes`. The reader
// library reserves memory for every claimed cell of every sheet when it opens
// the file, so the claim is bounded by what a class list can be (Workbook's
// cells), and by the file: a cell record takes at least a few bytes, so a small
// file claiming millions of cells lies. A floor keeps small lists with a stray
// far cell readable.
qint64 claimableCells(qint64 streamBytes) {
  return std::min<qint64>(Workbook::kMaxCells, std::max<qint64>(1000000, streamBytes * 16));
}

// The records of the workbook stream as the reader library parses them, each
// checked against what the library takes on trust: the sheet sizes it reserves
// memory for, the string lengths it copies by (from a record buffer of 8224
// bytes, without looking at the record's own length), the formats table it
// indexes, and the dates it counts out one day at a time. Where the library
// would give up cleanly by itself, the walk stops and lets it.
class RecordCheck {
 public:
  explicit RecordCheck(qint64 streamBytes) : m_streamBytes(streamBytes) {}

  // One record; `stop` is set once the library would stop reading.
  Status record(quint16 type, qint64 offset, const QByteArray& body, bool* stop) {
    m_body = &body;
    if (type == kContinue) return m_previous == kSst ? sharedStrings(stop) : Status();
    m_previous = type;
    if (m_bof != 1) {
      // The first record and the first after each end must open a substream.
      if (type != kBof) return halt(stop);
      if (m_bof == -1) {
        if (Status s = need(4); !s) return s;
        const quint16 version = u16(0);
        if (version != 0x0500 && version != 0x0600) return halt(stop);
        m_biff8 = version == 0x0600;
      }
      // A substream belongs to the sheet whose stated start it is at, if any.
      m_active = m_bof == -1 ? -1 : int(m_sheetStarts.indexOf(quint32(offset)));
      m_bof = 1;
      return openSubstream();
    }
    switch (type) {
      case kEof:
        m_bof = 0;
        return closeSubstream();
      case kSst:
        return sharedStrings(stop);
      case kSheet:
        return sheetName(stop);
      case kDimension:
        return dimension();
      case kFormat:
        return format(stop);
      case kXf:
        if (Status s = need(4); !s) return s;
        m_xfFormats << u16(2);
        if (m_xfFormats.size() > 8192)
          return broken(QStringLiteral("dosyada 8192'den çok hücre biçimi var"));
        return {};
      case kNumber: {
        if (Status s = need(14); !s) return s;
        double value = 0;
        std::memcpy(&value, m_body->constData() + 6, 8);
        cell(u16(0), u16(2));
        countDays(u16(4), value);
        return {};
      }
      case kBoolErr:
        if (Status s = need(7); !s) return s;
        cell(u16(0), u16(2));
        return {};
      case kRk:
        if (Status s = need(10); !s) return s;
        cell(u16(0), u16(2));
        countRk(u16(4), u32(6));
        return {};
      case kMulRk: {
        if (Status s = need(4); !s) return s;
        // Its first cell sizes an unsized sheet; each number is a cell of its own.
        reach(u16(0), u16(2));
        quint16 column = u16(2);
        for (qint64 at = 4; at + 6 < m_body->size(); at += 6) {
          m_cells.push_back(quint32(u16(0)) << 16 | column++);
          countRk(u16(at), u32(at + 2));
        }
        return {};
      }
      case kLabel:
        return label(stop);
      case kLabelSst:
        if (!m_biff8) return {};
        if (Status s = need(10); !s) return s;
        cell(u16(0), u16(2));
        return {};
      default:
        return {};
    }
  }

  // After the last record.
  Status finish() {
    if (Status s = closeSubstream(); !s) return s;
    // The library reserves a sheet's cells at each size it is given and, for
    // every sheet given none, once more for the last sheet it read (not the
    // unsized one): a sheet reserved twice loses its first reservation for as
    // long as the program runs.
    for (int sheet = 0; sheet < m_sheetStarts.size(); ++sheet)
      if (!m_sized.contains(sheet) && m_active >= 0) ++m_reservations[m_active];
    for (auto it = m_reservations.cbegin(); it != m_reservations.cend(); ++it)
      if (*it > 1)
        return broken(
            QStringLiteral("%1. sayfanın boyutu birden çok kez söyleniyor").arg(it.key() + 1));
    // Judged with the final tables: a cell counts as a date when its format is
    // one by the end, which covers whatever the library saw on either pass.
    qint64 days = 0;
    for (auto it = m_days.cbegin(); it != m_days.cend(); ++it) {
      if (!isDateFormat(it.key())) continue;
      if (it->most > kLastDay)
        return broken(QStringLiteral("bir tarih hücresi 9999 yılından sonrasını gösteriyor"));
      days += it->total;
    }
    if (days > kDayBudget) return broken(QStringLiteral("tarih hücreleri okunamayacak kadar çok"));
    return {};
  }

 private:
  static constexpr quint16 kBof = 0x0809, kEof = 0x000A, kContinue = 0x003C, kSst = 0x00FC,
                           kSheet = 0x0085, kDimension = 0x0200, kFormat = 0x041E, kXf = 0x00E0,
                           kNumber = 0x0203, kBoolErr = 0x0205, kRk = 0x027E, kMulRk = 0x00BD,
                           kLabel = 0x0204, kLabelSst = 0x00FD;
  // 9999-12-31 counted from 1900. The library walks a date from 1900 one day at
  // a time (about a nanosecond a day), so the days of all date cells together
  // are bounded too: this many is 13,000 birth dates of today's pupils.
  static constexpr qint64 kLastDay = 2958465;
  static constexpr qint64 kDayBudget = 600'000'000;
  static constexpr qint64 kMaxCharacters = 4'000'000;

  quint16 u16(qint64 at) const { return u16At(*m_body, at); }
  quint32 u32(qint64 at) const { return u32At(*m_body, at); }
  uchar byte(qint64 at) const { return static_cast<uchar>(m_body->at(at)); }

  // The library reads fields at fixed offsets whatever the record's length;
  // past the length it would read what an earlier record left behind.
  Status need(qint64 bytes) const {
    if (m_body->size() >= bytes) return {};
    return broken(QStringLiteral("bir kayıt, içinde olması gereken alanlardan kısa"));
  }
  // The library keeps four bytes for every byte of text it converts (more than
  // UTF-8 needs), so the texts together are bounded by what a list can hold.
  Status text(qint64 characters) {
    m_characters += characters;
    if (m_characters <= kMaxCharacters) return {};
    return Status::failure(
        QStringLiteral("Dosya çok büyük: içindeki metin bir sınıf listesi için çok uzun (en "
                       "çok %1 milyon karakter).")
            .arg(kMaxCharacters / 1'000'000));
  }
  static Status textPastRecord(const QString& what) {
    return broken(QStringLiteral("%1 bulunduğu kayıttan uzun olduğunu söylüyor").arg(what));
  }

  // A BIFF8 string's flags and optional run and extension counts at `at`:
  // where its characters start, whether they are two bytes each, and how many
  // bytes of formatting follow them.
  struct StringHead {
    qint64 characters = 0;
    bool wide = false;
    quint32 extra = 0;
  };
  std::optional<StringHead> head(qint64 at) const {
    if (at + 1 > m_body->size()) return std::nullopt;
    const uchar flags = byte(at);
    StringHead h;
    h.wide = flags & 0x01;
    qint64 p = at + 1;
    quint32 runs = 0, extension = 0;
    if (flags & 0x08) {
      if (p + 2 > m_body->size()) return std::nullopt;
      runs = u16(p);
      p += 2;
    }
    if (flags & 0x04) {
      if (p + 4 > m_body->size()) return std::nullopt;
      extension = u32(p);
      p += 4;
    }
    h.characters = p;
    h.extra = extension + runs * 4;
    return h;
  }

  static Status halt(bool* stop) {
    *stop = true;
    return {};
  }

  Status openSubstream() {
    m_hasDimension = m_hasCells = false;
    m_cells.clear();
    m_maxRow = m_maxColumn = 0;
    ++m_substream;
    return {};
  }
  // A sheet without a size is sized by the library from its farthest cell.
  Status closeSubstream() {
    // The library overwrites a cell written twice without freeing its text:
    // memory that stays taken until the program ends. No spreadsheet program
    // writes a cell twice.
    std::sort(m_cells.begin(), m_cells.end());
    if (std::adjacent_find(m_cells.cbegin(), m_cells.cend()) != m_cells.cend())
      return broken(QStringLiteral("%1. sayfada aynı hücre iki kez yazılmış")
                        .arg(std::max(1, m_substream - 1)));
    m_cells.clear();
    if (m_hasDimension || !m_hasCells) return {};
    m_hasCells = false;
    return claim(qint64(m_maxRow) + 1, qint64(m_maxColumn) + 1);
  }
  void cell(quint16 row, quint16 column) {
    m_cells.push_back(quint32(row) << 16 | column);
    reach(row, column);
  }
  void reach(quint16 row, quint16 column) {
    m_hasCells = true;
    m_maxRow = std::max<int>(m_maxRow, row);
    m_maxColumn = std::max<int>(m_maxColumn, column);
  }
  Status claim(qint64 rows, qint64 columns) {
    m_claimed += rows * columns;
    if (m_claimed <= claimableCells(m_streamBytes)) return {};
    return Status::failure(
        QStringLiteral("Dosya bozuk: %1. sayfa %2 satır × %3 sütun olduğunu söylüyor; bu "
                       "büyüklükteki bir dosya o kadar hücre taşıyamaz.")
            .arg(std::max(1, m_substream - 1))
            .arg(rows)
            .arg(columns));
  }

  Status dimension() {
    m_hasDimension = true;
    if (m_active >= 0) {
      m_sized.insert(m_active);
      ++m_reservations[m_active];
    }
    if (m_biff8) {
      if (Status s = need(12); !s) return s;
      return claim(u32(4), u16(10));
    }
    if (Status s = need(8); !s) return s;
    return claim(u16(2), u16(6));
  }

  Status sheetName(bool* stop) {
    if (Status s = need(8); !s) return s;
    const int length = byte(6);
    if (length == 0) return halt(stop);
    const qint64 end = m_biff8 ? 8 + qint64(length) * (byte(7) == 0 ? 1 : 2) : 7 + length;
    if (end > m_body->size()) return textPastRecord(QStringLiteral("bir sayfa adı"));
    m_sheetStarts << u32(0);
    return text(length);
  }

  Status format(bool* stop) {
    QByteArray letters;
    if (!m_biff8) {
      if (Status s = need(4); !s) return s;
      // The library takes the length from the fourth byte and the text from there.
      const int length = byte(3);
      if (3 + length > m_body->size()) return textPastRecord(QStringLiteral("bir sayı biçimi"));
      letters = m_body->mid(3, length);
    } else {
      if (Status s = need(4); !s) return s;
      const qint64 length = u16(2);
      const std::optional<StringHead> h = head(4);
      if (!h) return textPastRecord(QStringLiteral("bir sayı biçimi"));
      if (length == 0) return halt(stop);
      const qint64 bytes = length * (h->wide ? 2 : 1);
      if (h->characters + bytes > m_body->size())
        return textPastRecord(QStringLiteral("bir sayı biçimi"));
      letters = m_body->mid(h->characters, bytes);
    }
    // The library calls a format a date by the letters in it; looking for them
    // in the raw bytes can only find more dates than it does.
    letters = letters.toLower();
    const bool y = letters.contains('y'), m = letters.contains('m'), d = letters.contains('d'),
               h = letters.contains('h'), s = letters.contains('s');
    if ((y && m) || (m && d) || (h && m) || (m && s)) m_dateFormats.insert(u16(0));
    return {};
  }

  Status label(bool* stop) {
    if (Status s = need(8); !s) return s;
    cell(u16(0), u16(2));
    const qint64 length = u16(6);
    if (!m_biff8) {
      if (8 + length > m_body->size()) return textPastRecord(QStringLiteral("bir hücre metni"));
      return text(length);
    }
    const std::optional<StringHead> h = head(8);
    if (!h) return textPastRecord(QStringLiteral("bir hücre metni"));
    if (length == 0) return halt(stop);
    if (h->characters + length * (h->wide ? 2 : 1) > m_body->size())
      return textPastRecord(QStringLiteral("bir hücre metni"));
    return text(length);
  }

  // An RK number: a 30-bit integer or the top of a double, either perhaps / 100.
  void countRk(quint16 xf, quint32 value) {
    if ((value & 0x02) && !(value & 0x01)) {
      countDays(xf, double(qint32(value) >> 2));
    } else if (value & 0x02) {
      countDays(xf, double(qint32(value) >> 2) / 100.0);
    } else {
      const quint64 bits = quint64(value & 0xFFFFFFFC) << 32;
      double d = 0;
      std::memcpy(&d, &bits, 8);
      countDays(xf, (value & 0x01) ? d / 100.0 : d);
    }
  }

  // The days a date cell makes the library count, kept per format until the
  // formats are all known.
  void countDays(quint16 xf, double value) {
    if (!(value >= 1)) return;
    const qint64 days = value >= 2147483647.0 ? qint64(2147483647) : qint64(std::floor(value));
    Days& d = m_days[xf];
    d.most = std::max(d.most, days);
    d.total = std::min<qint64>(d.total + days, kDayBudget + 1);
  }
  bool isDateFormat(quint16 xf) const {
    if (xf >= m_xfFormats.size()) return false;
    const quint16 f = m_xfFormats.at(xf);
    return (f >= 14 && f <= 22) || (f >= 45 && f <= 47) || m_dateFormats.contains(f);
  }

  // The shared strings, walked as the library walks them across CONTINUE
  // records: a string cut by a record end is finished from the next one, and
  // formatting that runs over is skipped there.
  Status sharedStrings(bool* stop) {
    const qint64 n = m_body->size();
    qint64 p = 0;
    if (!m_sstStarted) {
      if (Status s = need(8); !s) return s;
      m_sstCount = u32(4);
      if (m_sstCount > 1024 * 1024) return halt(stop);
      if (m_sstCount > m_streamBytes / 3)
        return Status::failure(QStringLiteral(
            "Dosya bozuk: dosyanın taşıyabileceğinden çok metin olduğunu söylüyor."));
      m_sstStarted = true;
      p = 8;
    } else if (m_pendingLength > 0) {
      if (Status s = need(1); !s) return s;
      const bool wide = byte(0) & 0x01;
      const qint64 left = m_pendingLength - m_pendingDone;
      p = 1;
      if (!wide) {
        if (p + left > n) return halt(stop);
        p += left;
      } else {
        if (p + 2 * left > n) return textPastRecord(QStringLiteral("bir paylaşılan metin"));
        p += 2 * left;
      }
      p += m_currentSkip;
      // As the library does, what runs over goes to the current skip, not the next.
      m_currentSkip = p >= n ? quint32(p - n) : 0;
      m_nextSkip = 0;
      m_pendingLength = m_pendingDone = 0;
      ++m_sstIndex;
    }
    for (; m_sstIndex < m_sstCount; ++m_sstIndex) {
      if (p >= n) return {};
      p += m_nextSkip;
      if (p + 2 > n) return textPastRecord(QStringLiteral("bir paylaşılan metin"));
      const qint64 length = u16(p);
      const std::optional<StringHead> h = head(p + 2);
      if (!h) return textPastRecord(QStringLiteral("bir paylaşılan metin"));
      p = h->characters;
      m_currentSkip = h->extra;
      m_nextSkip = 0;
      if (Status s = text(length); !s) return s;
      const qint64 required = length * (h->wide ? 2 : 1);
      if (required > n - p) {
        m_pendingLength = length;
        m_pendingDone = h->wide ? (n - p) / 2 : n - p;
        return {};
      }
      if (length == 0) return halt(stop);
      p += required + m_currentSkip;
      m_nextSkip = p >= n ? quint32(p - n) : 0;
      m_currentSkip = 0;
    }
    return {};
  }

  struct Days {
    qint64 most = 0;
    qint64 total = 0;
  };

  const QByteArray* m_body = nullptr;
  qint64 m_streamBytes;
  int m_bof = -1;
  bool m_biff8 = false;
  quint16 m_previous = 0;
  int m_substream = 0;
  bool m_hasDimension = false;
  bool m_hasCells = false;
  std::vector<quint32> m_cells;  // row << 16 | column, of this substream
  QList<quint32> m_sheetStarts;  // each sheet's substream offset, as its record says
  int m_active = -1;             // the sheet of the current substream
  QSet<int> m_sized;
  QHash<int, int> m_reservations;
  int m_maxRow = 0;
  int m_maxColumn = 0;
  qint64 m_claimed = 0;
  qint64 m_characters = 0;
  QList<quint16> m_xfFormats;
  QSet<quint16> m_dateFormats;
  QHash<quint16, Days> m_days;
  bool m_sstStarted = false;
  quint32 m_sstCount = 0;
  quint32 m_sstIndex = 0;
  qint64 m_pendingLength = 0;
  qint64 m_pendingDone = 0;
  quint32 m_currentSkip = 0;
  quint32 m_nextSkip = 0;
};

// Every record the library will parse, in its order, checked.
Status checkRecords(const LibraryStream& stream) {
  RecordCheck check(stream.bytes.size());
  bool stop = false;
  for (qint64 at = 0; at + 4 <= stream.end && !stop;) {
    const quint16 type = u16At(stream.bytes, at);
    const quint16 length = u16At(stream.bytes, at + 2);
    if (stream.mini) {
      if (length >= 8192 || at + 4 + length > stream.end) break;
    } else {
      if ((type == 0 && length == 0) || length > 8224) break;
      // A record may run past the stream's end into the rest of its last sector.
      if (at + 4 + length > stream.bytes.size()) break;
    }
    const QByteArray body = stream.bytes.mid(at + 4, length);
    if (Status s = check.record(type, at, body, &stop); !s) return s;
    at += 4 + length;
  }
  return check.finish();
}

}  // namespace

Result<Workbook> XlsReader::read(const QString& path) {
  {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
      return R::failure(QStringLiteral("Dosya açılamadı: %1").arg(path));
    if (file.size() > kMaxBytes)
      return R::failure(
          QStringLiteral("Dosya çok büyük: bir Excel (xls) listesi en çok %1 MB olabilir.")
              .arg(kMaxBytes / (1024 * 1024)));
    LibraryView view(file.readAll());
    const Result<LibraryStream> stream = view.workbook();
    if (!stream) return R::failure(stream.error());
    if (Status s = checkRecords(*stream); !s) return R::failure(s.error());
  }
  Handle h;
  const QByteArray encoded = QFile::encodeName(path);
  int rc = freexl_open(encoded.constData(), &h.m_handle);
  // A record it cannot parse makes the library drop the handle yet answer OK.
  if (rc != FREEXL_OK || !h.m_handle)
    return R::failure(QStringLiteral("Excel (xls) dosyası okunamadı: %1.").arg(freexlError(rc)));
  unsigned int sheetCount = 0;
  if (freexl_get_info(h.m_handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK ||
      sheetCount == 0)
    return R::failure(QStringLiteral("Dosyada hiç sayfa yok."));
  Workbook book;
  WorkbookBudget budget;
  for (unsigned int s = 0; s < sheetCount && s < 65535; ++s) {
    const char* utf8Name = nullptr;
    QString name;
    if (freexl_get_worksheet_name(h.m_handle, static_cast<unsigned short>(s), &utf8Name) ==
            FREEXL_OK &&
        utf8Name)
      name = QString::fromUtf8(utf8Name);
    if (freexl_select_active_worksheet(h.m_handle, static_cast<unsigned short>(s)) != FREEXL_OK)
      return R::failure(QStringLiteral("Dosya bozuk: %1. sayfa seçilemedi.").arg(s + 1));
    unsigned int rowCount = 0;
    unsigned short colCount = 0;
    if (freexl_worksheet_dimensions(h.m_handle, &rowCount, &colCount) != FREEXL_OK)
      return R::failure(
          QStringLiteral("Dosya bozuk: \"%1\" sayfasının boyutları okunamadı.").arg(name));
    SheetBuilder sheet(name, &budget);
    const unsigned short columns =
        std::min<unsigned short>(colCount, static_cast<unsigned short>(Workbook::kMaxColumns));
    // A sheet may claim billions of rows of no columns: nothing to walk then.
    for (unsigned int r = 0; columns > 0 && r < rowCount; ++r) {
      for (unsigned short c = 0; c < columns; ++c) {
        FreeXL_CellValue value;
        if (freexl_get_cell_value(h.m_handle, r, c, &value) != FREEXL_OK)
          return R::failure(
              QStringLiteral("Dosya bozuk: \"%1\" sayfası, satır %2, sütun %3 okunamadı.")
                  .arg(name)
                  .arg(r + 1)
                  .arg(c + 1));
        QString text;
        switch (value.type) {
          case FREEXL_CELL_INT:
            text = QString::number(value.value.int_value);
            break;
          case FREEXL_CELL_DOUBLE:
            text = Workbook::numberText(value.value.double_value);
            break;
          case FREEXL_CELL_TEXT:
          case FREEXL_CELL_SST_TEXT:
          case FREEXL_CELL_DATE:
          case FREEXL_CELL_DATETIME:
          case FREEXL_CELL_TIME:
            text = value.value.text_value ? QString::fromUtf8(value.value.text_value) : QString();
            break;
          default:
            break;
        }
        if (Status st = sheet.set(static_cast<int>(r), c, text); !st) return R::failure(st.error());
      }
    }
    sheet.addTo(book);
  }
  return book;
}

}  // namespace formats
