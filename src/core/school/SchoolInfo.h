#pragma once

#include <QString>

#include "Result.h"

namespace school {

// The school's one-row settings in TABLEOKUL that this area reads and writes.
class SchoolInfo {
 public:
  // TABLEOKUL.UCDUGME, "0" when empty or missing (three-button remotes off).
  static QString threeButtonValue();
  static bool threeButtonMode() { return threeButtonValue() != QStringLiteral("0"); }
  static QString institutionCode();  // TABLEOKUL.KURUMKODU
  static QString recordedSchoolYear();  // TABLEOKUL.SINIFATLATMADONEM
  // Updates the row, or inserts one carrying only this column when the table is empty.
  static Status recordSchoolYear(const QString& label);
  static bool hasStudents();
};

}  // namespace school
