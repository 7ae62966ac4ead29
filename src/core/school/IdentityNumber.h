#pragma once

#include <QString>

namespace school {

// The national identity number (T.C. Kimlik No) check of the student form.
class IdentityNumber {
 public:
  enum class Check {
    Empty,          // accepted: the field is optional
    Valid,          // 11 characters, last digit = last digit of the sum of the first ten
    WrongLength,    // refused: "Lütfen TC kimlik noyu kontrol ediniz"
    WrongChecksum,  // asked: "TC kimlik no yanlış, yine de devam ..."
  };
  static Check check(const QString& text);

  static QString wrongLengthMessage() { return QStringLiteral("Lütfen TC kimlik noyu kontrol ediniz"); }
  static QString wrongChecksumQuestion() {
    return QStringLiteral("TC kimlik no yanlış, yine de devam etmek istediğinizden emin misiniz?");
  }
};

}  // namespace school
