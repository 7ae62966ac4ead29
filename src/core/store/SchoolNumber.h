#pragma once

#include <QString>

namespace store {

// School numbers in three-button mode are generated, not typed. Kept with the
// store because the data upgrade and the SQL functions OKULNO and OKULNOTEMIZLE
// apply the same rule as the student services.
class SchoolNumber {
 public:
  // institution code + first three characters of the class + registration number
  // + first three of the first name + first three of the surname, then cleanUp().
  static QString automatic(const QString& institutionCode, const QString& sinifi,
                           const QString& kayitNo, const QString& adi, const QString& soyadi);
  // Every "/", "\" and "-" becomes ".".
  static QString cleanUp(QString number);
};

}  // namespace store
