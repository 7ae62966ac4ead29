#pragma once

#include <QString>

#include "Result.h"
#include "formats/Workbook.h"

namespace formats {

// OpenDocument spreadsheets: content.xml, with repeated rows and cells expanded.
class OdsReader {
 public:
  static Result<Workbook> read(const QString& path);
};

}  // namespace formats
