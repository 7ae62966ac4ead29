#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "school/Query.h"

namespace school {

// Levels ("SEVIYE") and courses ("DERS") are offered in the lists or hidden
// (TABLEPARAMETRE.PARAMETREACIKLAMA '' or '1'). A value still in use stays offered.
class OfferedValues {
 public:
  enum class Kind { Level, Course };
  explicit OfferedValues(Kind kind) : m_kind(kind) {}

  QString parameterName() const;  // "SEVIYE" / "DERS"
  // Hidden values, one column named SEVIYE / DERS.
  Query hiddenQuery() const;
  // Offered values with the flags KULLANILMISSORU (used by questions),
  // KULLANILMISOGRENCI for levels (used by students) or KULLANILMISUNITE for
  // courses (used by unit definitions), and KULLANILMISTEST (used by tests),
  // each "1" or "0". A value with any flag "1" stays offered.
  Query offeredQuery() const;
  QStringList offeredValues() const;
  QStringList hiddenValues() const;

  Status offer(const QStringList& values) const;
  // Hides the values used nowhere; returns those that stayed offered because
  // they are used (the screen says nothing about them).
  Result<QStringList> hide(const QStringList& values) const;
  // A new value, offered at once ("Bu tanım daha önce eklenmiş" when present).
  Status add(const QString& value) const;

 private:
  Kind m_kind;
};

}  // namespace school
