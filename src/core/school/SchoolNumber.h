#pragma once

#include <QString>

namespace school {

// School numbers in three-button mode are generated, not typed.
class SchoolNumber {
 public:
  // institution code + first three characters of the class + registration number
  // + first three of the first name + first three of the surname, then cleanUp().
  static QString automatic(const QString& institutionCode, const QString& sinifi,
                           const QString& kayitNo, const QString& adi, const QString& soyadi);
  // Every "/", "\" and "-" becomes ".".
  static QString cleanUp(QString number);
};

}  // namespace school
