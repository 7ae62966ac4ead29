#include "formats/XlsReader.h"

#include <QFile>

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

// Just enough of the compound file format to find the workbook stream, with
// every chain bounded by the number of sectors the file has. The reader library
// itself trusts the sheet sizes a file claims and reserves memory for every
// claimed cell, so the claims are checked here first.
class CompoundFile {
 public:
  explicit CompoundFile(QByteArray bytes) : m_bytes(std::move(bytes)) {}

  QByteArray workbookStream() {
    if (!m_bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") || m_bytes.size() < 512) return {};
    const int shift = u16At(m_bytes, 0x1E);
    const int miniShift = u16At(m_bytes, 0x20);
    if ((shift != 9 && shift != 12) || miniShift != 6) return {};
    m_sector = 1 << shift;
    m_sectorCount = (m_bytes.size() - 512 + m_sector - 1) / m_sector;
    // The FAT: its sectors are listed in the header and the DIFAT chain.
    QList<quint32> fatSectors;
    for (int i = 0; i < 109; ++i) fatSectors << u32At(m_bytes, 0x4C + 4 * i);
    quint32 difat = u32At(m_bytes, 0x44);
    for (qint64 guard = 0; difat < m_sectorCount && guard < m_sectorCount; ++guard) {
      const qint64 at = offset(difat);
      for (int i = 0; i < m_sector / 4 - 1; ++i) fatSectors << u32At(m_bytes, at + 4 * i);
      difat = u32At(m_bytes, at + m_sector - 4);
    }
    for (quint32 s : fatSectors)
      if (s < m_sectorCount) m_fat.append(m_bytes.mid(offset(s), m_sector));
    const QByteArray directory = chain(u32At(m_bytes, 0x30), m_fat, -1);
    QByteArray root;
    for (qint64 at = 0; at + 128 <= directory.size(); at += 128) {
      const int nameBytes = std::min<int>(64, u16At(directory, at + 0x40));
      const QString name =
          QString::fromUtf16(reinterpret_cast<const char16_t*>(directory.constData() + at),
                             std::max(0, nameBytes / 2 - 1));
      const int type = static_cast<unsigned char>(directory.at(at + 0x42));
      const quint32 start = u32At(directory, at + 0x74);
      const qint64 size = u32At(directory, at + 0x78);
      if (type == 5) root = chain(start, m_fat, size);
      if (type != 2 || (name != QStringLiteral("Workbook") && name != QStringLiteral("Book")))
        continue;
      if (size >= u32At(m_bytes, 0x38)) return chain(start, m_fat, size);
      const QByteArray miniFat = chain(u32At(m_bytes, 0x3C), m_fat, -1);
      return miniChain(start, miniFat, root, size, 1 << miniShift);
    }
    return {};
  }

 private:
  qint64 offset(quint32 sector) const { return 512 + qint64(sector) * m_sector; }
  // Follows a chain of sectors; `size` < 0 reads it whole.
  QByteArray chain(quint32 start, const QByteArray& fat, qint64 size) const {
    QByteArray out;
    for (qint64 guard = 0; start < m_sectorCount && guard < m_sectorCount; ++guard) {
      out += m_bytes.mid(offset(start), m_sector);
      if (size >= 0 && out.size() >= size) break;
      start = u32At(fat, 4 * qint64(start));
    }
    return size >= 0 ? out.left(size) : out;
  }
  static QByteArray miniChain(quint32 start, const QByteArray& miniFat,
                              const QByteArray& miniStream, qint64 size, int miniSector) {
    QByteArray out;
    const qint64 count = miniStream.size() / miniSector;
    for (qint64 guard = 0; start < count && guard < count && out.size() < size; ++guard) {
      out += miniStream.mid(qint64(start) * miniSector, miniSector);
      start = u32At(miniFat, 4 * qint64(start));
    }
    return out.left(size);
  }
  QByteArray m_bytes;
  QByteArray m_fat;
  int m_sector = 512;
  qint64 m_sectorCount = 0;
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

// The sheet sizes and string count the workbook stream claims, refused when the
// stream cannot hold them.
Status checkClaims(const QByteArray& stream) {
  qint64 claimed = 0;
  int sheet = 0;
  for (qint64 at = 0; at + 4 <= stream.size();) {
    const quint16 type = u16At(stream, at);
    const quint16 length = u16At(stream, at + 2);
    const qint64 body = at + 4;
    at = body + length;
    if (type == 0x0809 || type == 0x0409 || type == 0x0209 || type == 0x0009) {
      ++sheet;
      continue;
    }
    qint64 rows = -1;
    qint64 columns = -1;
    if (type == 0x0200 && length >= 14) {  // DIMENSIONS, BIFF8
      rows = u32At(stream, body + 4);
      columns = u16At(stream, body + 10);
    } else if ((type == 0x0200 || type == 0x0000) && length >= 8) {  // older layouts
      rows = u16At(stream, body + 2);
      columns = u16At(stream, body + 6);
    } else if (type == 0x00FC && length >= 8) {  // shared strings: each takes 3 bytes or more
      if (u32At(stream, body + 4) > stream.size() / 3)
        return Status::failure(QStringLiteral(
            "Dosya bozuk: dosyanın taşıyabileceğinden çok metin olduğunu söylüyor."));
      continue;
    }
    if (rows < 0) continue;
    claimed += rows * columns;
    if (claimed > claimableCells(stream.size()))
      return Status::failure(
          QStringLiteral("Dosya bozuk: %1. sayfa %2 satır × %3 sütun olduğunu söylüyor; bu "
                         "büyüklükteki bir dosya o kadar hücre taşıyamaz.")
              .arg(std::max(1, sheet - 1))
              .arg(rows)
              .arg(columns));
  }
  return {};
}

}  // namespace

Result<Workbook> XlsReader::read(const QString& path) {
  {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
      return R::failure(QStringLiteral("Dosya açılamadı: %1").arg(path));
    CompoundFile compound(file.readAll());
    const QByteArray stream = compound.workbookStream();
    if (stream.isEmpty())
      return R::failure(QStringLiteral("Excel (xls) dosyası okunamadı: Dosya tanınmadı."));
    if (Status s = checkClaims(stream); !s) return R::failure(s.error());
  }
  Handle h;
  const QByteArray encoded = QFile::encodeName(path);
  int rc = freexl_open(encoded.constData(), &h.m_handle);
  if (rc != FREEXL_OK)
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
    for (unsigned int r = 0; r < rowCount; ++r) {
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
