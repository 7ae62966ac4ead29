#pragma once

#include <QString>

#include "Result.h"
#include "formats/Workbook.h"

namespace formats {

// Binary Excel 97-2003 workbooks through freexl (read only).
class XlsReader {
 public:
  // The file is held whole while it is checked; a whole school's list is a few
  // megabytes.
  static constexpr qint64 kMaxBytes = 32 * 1024 * 1024;
  static Result<Workbook> read(const QString& path);
};

}  // namespace formats
