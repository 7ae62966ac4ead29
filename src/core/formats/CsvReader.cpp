#include "formats/CsvReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace formats {

namespace {

// Windows-1254 bytes 0x80..0x9F; 0 marks a byte the code page leaves undefined.
constexpr char16_t kHigh1254[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0,      0,       //
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0,      0x0178};

QString fromWindows1254(const QByteArray& bytes) {
  QString out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    char16_t u = b;
    if (b >= 0x80 && b <= 0x9F)
      u = kHigh1254[b - 0x80] ? kHigh1254[b - 0x80] : char16_t(0xFFFD);
    else if (b == 0xD0)
      u = 0x011E;  // Ğ
    else if (b == 0xDD)
      u = 0x0130;  // İ
    else if (b == 0xDE)
      u = 0x015E;  // Ş
    else if (b == 0xF0)
      u = 0x011F;  // ğ
    else if (b == 0xFD)
      u = 0x0131;  // ı
    else if (b == 0xFE)
      u = 0x015F;  // ş
    out += QChar(u);
  }
  return out;
}

// The separator of the first line: whichever of ';' and ',' occurs more often
// outside quotes (';' is what Turkish spreadsheets write, so it wins a tie).
QChar separatorOf(const QString& text) {
  int semicolons = 0;
  int commas = 0;
  bool quoted = false;
  for (QChar c : text) {
    if (c == QLatin1Char('"'))
      quoted = !quoted;
    else if (!quoted && c == QLatin1Char('\n'))
      break;
    else if (!quoted && c == QLatin1Char(';'))
      ++semicolons;
    else if (!quoted && c == QLatin1Char(','))
      ++commas;
  }
  return commas > semicolons ? QLatin1Char(',') : QLatin1Char(';');
}

}  // namespace

QString CsvReader::decode(const QByteArray& bytes) {
  QByteArray data = bytes;
  if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(data);
  if (!utf8.hasError()) return text;
  return fromWindows1254(data);
}

Result<Workbook> CsvReader::parse(const QByteArray& bytes, const QString& sheetName) {
  const QString text = decode(bytes);
  const QChar sep = separatorOf(text);
  WorkbookBudget budget;
  SheetBuilder sheet(sheetName, &budget);
  QStringList row;
  QString field;
  bool quoted = false;
  bool any = false;
  int line = 1;
  int quoteLine = 0;  // where the open quote began
  auto addField = [&] {
    if (row.size() < Workbook::kMaxColumns) row << field;
    field.clear();
  };
  auto addChar = [&](QChar c) {
    if (field.size() < Workbook::kMaxCellText) field += c;
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c == QLatin1Char('\n')) ++line;
    if (quoted) {
      if (c == QLatin1Char('"')) {
        if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
          addChar(c);
          ++i;
        } else {
          quoted = false;
        }
      } else {
        addChar(c);
      }
      continue;
    }
    if (c == QLatin1Char('"') && field.isEmpty()) {
      quoted = true;
      quoteLine = line;
      any = true;
    } else if (c == sep) {
      addField();
      any = true;
    } else if (c == QLatin1Char('\r')) {
      continue;
    } else if (c == QLatin1Char('\n')) {
      addField();
      if (Status s = sheet.append(row); !s) return Result<Workbook>::failure(s.error());
      row.clear();
      any = false;
    } else {
      addChar(c);
      any = true;
    }
  }
  // A quote that never closes would swallow every later line into one cell.
  if (quoted)
    return Result<Workbook>::failure(QStringLiteral("Satır %1: kapanmayan tırnak").arg(quoteLine));
  if (any || !field.isEmpty()) {
    addField();
    if (Status s = sheet.append(row); !s) return Result<Workbook>::failure(s.error());
  }
  Workbook book;
  sheet.addTo(book);
  return book;
}

Result<Workbook> CsvReader::read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return Result<Workbook>::failure(QStringLiteral("Dosya açılamadı: %1").arg(path));
  // The text is held whole while it is read (and twice while it is decoded): a
  // list of a whole school's students is a few megabytes.
  if (file.size() > kMaxBytes)
    return Result<Workbook>::failure(
        QStringLiteral("Dosya çok büyük: bir metin (csv) listesi en çok %1 MB olabilir.")
            .arg(kMaxBytes / (1024 * 1024)));
  const QByteArray bytes = file.readAll();
  if (bytes.contains('\0'))
    return Result<Workbook>::failure(
        QStringLiteral("Dosya metin (csv) dosyası değil: %1").arg(path));
  return parse(bytes, QFileInfo(path).completeBaseName());
}

}  // namespace formats
