#pragma once

#include <QString>

#include "Result.h"
#include "school/Query.h"

namespace school {

// Unit definitions (TABLETANIMLAMALAR rows with TANIMADI "UNITELER") of a level
// and course.
class Units {
 public:
  struct Key {
    QString seviye;
    QString ders;
    QString unite;
  };

  static Query listQuery(const QString& seviye, const QString& ders);
  // "Ünite bilgisi boş bırakılamaz" / "Bu seviye ve ders için bu konu daha önce tanımlanmış".
  static Status add(const Key& unit);
  // Renames the definitions and carries the new level, course and unit into the
  // questions and tests that used the old ones. One transaction.
  static Status rename(const Key& from, const Key& to);
  static QString deleteQuestion(const QString& unite) {
    return QStringLiteral("Bu ") + unite + QStringLiteral(" kaydı silmek istediğinizden emin misiniz?");
  }
  // Deletes the unit of that level and course with its topics and outcomes.
  static Status remove(const Key& unit);
};

}  // namespace school
