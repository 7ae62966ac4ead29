#pragma once

#include <QString>

#include "Result.h"
#include "formats/Workbook.h"

namespace formats {

// Binary Excel 97-2003 workbooks through freexl (read only).
class XlsReader {
 public:
  static Result<Workbook> read(const QString& path);
};

}  // namespace formats
