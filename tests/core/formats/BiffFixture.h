#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtEndian>

#include <variant>

// Writes a small Excel 97-2003 workbook (BIFF8 inside a compound file) for the
// reader tests: one sheet of text cells (shared strings) and number cells. Only
// the records a reader needs are written; the stream is padded past the 4096-byte
// mini-stream cut-off so that it lives in ordinary sectors.
class BiffFixture {
 public:
  using Cell = std::variant<QString, double>;
  struct Entry {
    int row;
    int column;
    Cell value;
  };

  // Records a test adds to the workbook: `globals` straight after the shared
  // strings (so a CONTINUE lands there), `sst` in place of the shared strings'
  // own body, `sheet` after the sheet's cells; `sized` false leaves out the
  // sheet's DIMENSIONS.
  struct Extra {
    QByteArray globals;
    QByteArray sst;
    QByteArray sheet;
    bool sized = true;
  };

  static QByteArray workbook(const QString& sheetName, const QList<Entry>& cells) {
    return workbook(sheetName, cells, Extra());
  }
  static QByteArray workbook(const QString& sheetName, const QList<Entry>& cells,
                             const Extra& extra) {
    QList<QString> strings;
    for (const Entry& e : cells)
      if (const QString* s = std::get_if<QString>(&e.value); s && !strings.contains(*s))
        strings << *s;

    QByteArray globals;
    globals += record(0x0809, bof(0x0005));
    globals += record(0x0042, u16(1200));  // code page: UTF-16
    QByteArray sheetRecord = u32(0) + u16(0) + shortString(sheetName);
    const qsizetype sheetOffsetAt = globals.size() + 4;  // lbPlyPos, patched below
    globals += record(0x0085, sheetRecord);
    QByteArray sst =
        u32(static_cast<quint32>(strings.size())) + u32(static_cast<quint32>(strings.size()));
    for (const QString& s : strings)
      sst += u16(static_cast<quint16>(s.size())) + QByteArray(1, '\x01') + utf16(s);
    globals += record(0x00FC, extra.sst.isEmpty() ? sst : extra.sst);
    globals += extra.globals;
    globals += record(0x000A, {});

    int rows = 0;
    int columns = 0;
    for (const Entry& e : cells) {
      rows = std::max(rows, e.row + 1);
      columns = std::max(columns, e.column + 1);
    }
    QByteArray sheet;
    sheet += record(0x0809, bof(0x0010));
    if (extra.sized)
      sheet += record(0x0200, u32(0) + u32(static_cast<quint32>(rows)) + u16(0) +
                                  u16(static_cast<quint16>(columns)) + u16(0));
    for (const Entry& e : cells) {
      const QByteArray where =
          u16(static_cast<quint16>(e.row)) + u16(static_cast<quint16>(e.column)) + u16(0);
      if (const QString* s = std::get_if<QString>(&e.value)) {
        sheet += record(0x00FD, where + u32(static_cast<quint32>(strings.indexOf(*s))));
      } else {
        QByteArray number(8, '\0');
        qToLittleEndian(std::get<double>(e.value), number.data());
        sheet += record(0x0203, where + number);
      }
    }
    sheet += extra.sheet;
    sheet += record(0x000A, {});
    qToLittleEndian<quint32>(static_cast<quint32>(globals.size()), globals.data() + sheetOffsetAt);
    QByteArray stream = globals + sheet;
    const qsizetype size = stream.size();
    stream.append(
        QByteArray(std::max<qsizetype>(4096 + 512, ((size + 511) / 512) * 512) - size, '\0'));
    return compoundFile(stream, static_cast<quint32>(std::max<qsizetype>(size, 4096 + 1)));
  }

  // `sheets` sheets that each claim rows x columns cells (DIMENSIONS) and hold
  // one number, in a stream padded with records nobody reads to `streamBytes`.
  static QByteArray claimingWorkbook(int sheets, quint32 rows, quint16 columns,
                                     qsizetype streamBytes) {
    QByteArray globals = record(0x0809, bof(0x0005)) + record(0x0042, u16(1200));
    QList<qsizetype> offsetAt;
    for (int i = 0; i < sheets; ++i) {
      offsetAt << globals.size() + 4;
      globals += record(0x0085, u32(0) + u16(0) + shortString(QStringLiteral("S%1").arg(i + 1)));
    }
    globals += record(0x000A, {});
    QByteArray stream = globals;
    for (int i = 0; i < sheets; ++i) {
      qToLittleEndian<quint32>(static_cast<quint32>(stream.size()), stream.data() + offsetAt.at(i));
      stream += record(0x0809, bof(0x0010));
      stream += record(0x0200, u32(0) + u32(rows) + u16(0) + u16(columns) + u16(0));
      QByteArray number(8, '\0');
      qToLittleEndian(1.0, number.data());
      stream += record(0x0203, u16(0) + u16(0) + u16(0) + number);
      const qsizetype filler = (streamBytes - stream.size()) / (sheets - i) - 4;
      for (qsizetype left = filler; left > 8; left -= 8228)
        stream += record(0x0F00,
                         QByteArray(static_cast<int>(std::min<qsizetype>(left - 4, 8224)), '\x5A'));
      stream += record(0x000A, {});
    }
    const qsizetype size = stream.size();
    stream.append(QByteArray(((size + 511) / 512) * 512 - size, '\0'));
    return compoundFile(stream, static_cast<quint32>(size));
  }

  // In a file of one allocation sector: the directory's first entry (the root),
  // the second (the workbook stream) and the stream itself.
  static constexpr qsizetype kRootEntryAt = 1024;
  static constexpr qsizetype kBookEntryAt = 1024 + 128;
  static constexpr qsizetype kStreamAt = 1536;

  static QByteArray record(quint16 type, const QByteArray& body) {
    return u16(type) + u16(static_cast<quint16>(body.size())) + body;
  }
  static QByteArray u16(quint16 v) {
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
  }
  static QByteArray u32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
  }
  static QByteArray utf16(const QString& s) {
    QByteArray b;
    for (QChar c : s) b += u16(c.unicode());
    return b;
  }
  static QByteArray shortString(const QString& s) {
    return QByteArray(1, static_cast<char>(s.size())) + QByteArray(1, '\x01') + utf16(s);
  }

 private:
  static QByteArray bof(quint16 kind) {
    return u16(0x0600) + u16(kind) + u16(0x0DBB) + u16(0x07CC) + u32(0) + u32(0x0206);
  }

  // Sectors 0..f-1: the FAT, sector f: the directory, then the Workbook stream.
  static QByteArray compoundFile(const QByteArray& stream, quint32 streamSize) {
    const quint32 endOfChain = 0xFFFFFFFE, freeSector = 0xFFFFFFFF, noStream = 0xFFFFFFFF;
    const int streamSectors = static_cast<int>(stream.size() / 512);
    int fatSectors = 1;
    while (fatSectors * 128 < fatSectors + 1 + streamSectors) ++fatSectors;
    const auto f = static_cast<quint32>(fatSectors);
    QByteArray header;
    header += QByteArray::fromHex("D0CF11E0A1B11AE1");
    header += QByteArray(16, '\0');
    header += u16(0x003E) + u16(0x0003) + u16(0xFFFE) + u16(9) + u16(6) + QByteArray(6, '\0');
    header += u32(0) + u32(f) + u32(f) + u32(0) + u32(4096) + u32(endOfChain) + u32(0) +
              u32(endOfChain) + u32(0);
    for (int i = 0; i < 109; ++i)
      header += u32(i < fatSectors ? static_cast<quint32>(i) : freeSector);

    QByteArray fat;
    for (int i = 0; i < fatSectors; ++i) fat += u32(0xFFFFFFFD);
    fat += u32(endOfChain);
    for (int i = 0; i < streamSectors; ++i)
      fat += u32(i + 1 < streamSectors ? f + 2 + static_cast<quint32>(i) : endOfChain);
    while (fat.size() < 512 * fatSectors) fat += u32(freeSector);

    auto entry = [&](const QString& name, quint8 type, quint32 child, quint32 start, quint32 size) {
      QByteArray e = utf16(name);
      e.append(QByteArray(64 - e.size(), '\0'));
      e += u16(static_cast<quint16>(name.isEmpty() ? 0 : (name.size() + 1) * 2));
      e += QByteArray(1, static_cast<char>(type)) + QByteArray(1, '\x01');
      e += u32(noStream) + u32(noStream) + u32(child);
      e += QByteArray(16 + 4 + 16, '\0');
      e += u32(start) + u32(size) + u32(0);
      return e;
    };
    QByteArray directory = entry(QStringLiteral("Root Entry"), 5, 1, endOfChain, 0);
    directory += entry(QStringLiteral("Workbook"), 2, noStream, f + 1, streamSize);
    directory += entry(QString(), 0, noStream, 0, 0);
    directory += entry(QString(), 0, noStream, 0, 0);
    return header + fat + directory + stream;
  }
};
