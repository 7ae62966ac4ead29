#pragma once

#include <QString>

#include "Result.h"
#include "formats/Workbook.h"

namespace formats {

// Office Open XML workbooks: the ZIP is read with libarchive, the parts with
// QXmlStreamReader (shared strings, inline strings, numbers, cell references).
class XlsxReader {
 public:
  static Result<Workbook> read(const QString& path);
};

}  // namespace formats
