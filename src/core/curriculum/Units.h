#pragma once

#include <QString>

#include "Result.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace curriculum {

// Unit definitions (TABLETANIMLAMALAR rows with TANIMADI "UNITELER") of a level
// and course.
class Units {
 public:
  struct Key {
    QString seviye;
    QString ders;
    QString unite;
  };
  // The columns of listQuery() the screens read back.
  static inline const QString kSeviye = QStringLiteral("SEVIYE");
  static inline const QString kDers = QStringLiteral("DERS");
  static inline const QString kUnite = QStringLiteral("UNITE");

  explicit Units(store::Store& store) : m_store(store) {}

  static store::Query listQuery(const QString& seviye, const QString& ders);
  // "Ünite bilgisi boş bırakılamaz" / "Bu seviye ve ders için bu konu daha önce tanımlanmış".
  Status add(const Key& unit);
  // Renames the definitions and carries the new level, course and unit into the
  // questions and tests that used the old ones. One transaction.
  Status rename(const Key& from, const Key& to);
  static QString deleteQuestion(const QString& unite) {
    return QStringLiteral("Bu ") + unite +
           QStringLiteral(" kaydı silmek istediğinizden emin misiniz?");
  }
  // Deletes the unit of that level and course with its topics and outcomes.
  Status remove(const Key& unit);

 private:
  store::Store& m_store;
};

}  // namespace curriculum
