#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace curriculum {

// Levels ("SEVIYE") and courses ("DERS") are offered in the lists or hidden
// (TABLEPARAMETRE.PARAMETREACIKLAMA '' or '1'). A value still in use stays offered.
class OfferedValues {
 public:
  enum class Kind { Level, Course };
  OfferedValues(store::Store& store, Kind kind) : m_store(store), m_kind(kind) {}

  // "SEVIYE" / "DERS": the value list and the column the grids show.
  static QString parameterName(Kind kind);
  QString parameterName() const { return parameterName(m_kind); }
  // Hidden values, one column named SEVIYE / DERS.
  store::Query hiddenQuery() const;
  // Offered values with the flags KULLANILMISSORU (used by questions),
  // KULLANILMISOGRENCI for levels (used by students) or KULLANILMISUNITE for
  // courses (used by unit definitions), and KULLANILMISTEST (used by tests),
  // each "1" or "0". A value with any flag "1" stays offered.
  store::Query offeredQuery() const;
  Result<QStringList> offeredValues() const;
  Result<QStringList> hiddenValues() const;

  Status offer(const QStringList& values);
  // Hides the values used nowhere; returns those that stayed offered because
  // they are used (the screen says nothing about them).
  Result<QStringList> hide(const QStringList& values);
  // A new value, offered at once ("Bu tanım daha önce eklenmiş" when present).
  Status add(const QString& value);
  // Offers the value again when it is hidden (a student shown with a hidden level).
  Status ensureOffered(const QString& value);

 private:
  store::Store& m_store;
  Kind m_kind;
};

}  // namespace curriculum
