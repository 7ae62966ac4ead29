#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "school/Query.h"

namespace school {

// Named value lists of TABLEPARAMETRE ("SINIFI", "HAZIRLAYAN", "SEVIYE", ...).
class ValueLists {
 public:
  static Query valuesQuery(const QString& list);
  // "Boş kayıt ekleyemezsiniz!" / "Bu tanım daha önce eklenmiş".
  static Status add(const QString& list, const QString& value);
  static Status rename(const QString& list, const QString& oldValue, const QString& newValue);
  static QString deleteQuestion(const QString& value) {
    return value + QStringLiteral(" tanımlamasını silmek istediğinizden emin misiniz?");
  }
  static Status remove(const QString& list, const QString& value);
};

}  // namespace school
