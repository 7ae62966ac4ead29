#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace school {

// Named value lists of TABLEPARAMETRE ("SINIFI", "HAZIRLAYAN", "SEVIYE", ...).
class ValueLists {
 public:
  explicit ValueLists(store::Store& store) : m_store(store) {}

  static store::Query valuesQuery(const QString& list);
  // "Boş kayıt ekleyemezsiniz!" / "Bu tanım daha önce eklenmiş".
  Status add(const QString& list, const QString& value);
  Status rename(const QString& list, const QString& oldValue, const QString& newValue);
  static QString deleteQuestion(const QString& value) {
    return value + QStringLiteral(" tanımlamasını silmek istediğinizden emin misiniz?");
  }
  Status remove(const QString& list, const QString& value);

 private:
  Result<bool> contains(const QString& list, const QString& value) const;
  store::Store& m_store;
};

}  // namespace school
