#pragma once

#include <QByteArray>
#include <QString>

#include "Result.h"
#include "formats/Workbook.h"

namespace formats {

// Comma or semicolon separated text, UTF-8 or Windows-1254 (the encoding Turkish
// Windows spreadsheets save text in); one sheet named after the file.
class CsvReader {
 public:
  static constexpr qint64 kMaxBytes = 32 * 1024 * 1024;
  static Result<Workbook> read(const QString& path);
  // "Satır n: kapanmayan tırnak" for a quote that never closes.
  static Result<Workbook> parse(const QByteArray& bytes, const QString& sheetName);
  static QString decode(const QByteArray& bytes);
};

}  // namespace formats
