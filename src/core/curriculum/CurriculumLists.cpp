#include "curriculum/CurriculumLists.h"

#include "lists/FilterLists.h"
#include "store/SavedControls.h"
#include "store/Store.h"

namespace curriculum {

namespace {

QStringList withAll(const QStringList& values) {
  QStringList out{lists::kTumu};
  out << values;
  return out;
}

// One level of the cascade: distinct non-empty values of the field under the
// choices above it.
QStringList cascade(const store::Store& store, CurriculumFilter::Field field,
                    const CurriculumFilter& filter) {
  const QString column = CurriculumFilter::column(field);
  const CurriculumFilter::Condition c = filter.above(field).condition();
  const QString sql = QStringLiteral(
                          "SELECT %1 FROM TABLETANIMLAMALAR WHERE NZ(%1)<>''%2 GROUP BY %1 "
                          "ORDER BY MIN(ID)")
                          .arg(column, c.sql);
  return withAll(store.column(sql, c.params).valueOr({}));
}

}  // namespace

QStringList SeviyeDoldur(const store::Store& store) {
  const QStringList values =
      store
          .column(QStringLiteral(
              "SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='SEVIYE' "
              "AND NZ(PARAMETREACIKLAMA)='' ORDER BY rowid"))
          .valueOr({});
  return store.institution().threeButton() ? values : withAll(values);
}

QStringList DersDoldur(const store::Store& store) {
  return withAll(store
                     .column(QStringLiteral(
                         "SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='DERS' "
                         "AND NZ(PARAMETREACIKLAMA)='' ORDER BY PARAMETREDEGERI COLLATE TURKCE"))
                     .valueOr({}));
}

QStringList UniteDoldur(const store::Store& store, const CurriculumFilter& filter) {
  return cascade(store, CurriculumFilter::Field::Unit, filter);
}

QStringList KonuDoldur(const store::Store& store, const CurriculumFilter& filter) {
  return cascade(store, CurriculumFilter::Field::Topic, filter);
}

QStringList KazanimDoldur(const store::Store& store, const CurriculumFilter& filter) {
  return cascade(store, CurriculumFilter::Field::Outcome, filter);
}

QStringList entries(const store::Store& store, CurriculumFilter::Field field,
                    const CurriculumFilter& filter) {
  switch (field) {
    case CurriculumFilter::Field::Level:
      return SeviyeDoldur(store);
    case CurriculumFilter::Field::Course:
      return DersDoldur(store);
    default:
      return cascade(store, field, filter);
  }
}

CurriculumFilter storedChoices(const store::Store& store, const CurriculumFilter& stored) {
  CurriculumFilter out;
  for (int i = 0; i < CurriculumFilter::kFieldCount; ++i) {
    const auto field = CurriculumFilter::Field(i);
    const QString value = stored.value(field);
    out.setValue(field,
                 store::SavedControls::oldPosition(value)
                     ? store::SavedControls::entry(value, entries(store, field, out), lists::kTumu)
                     : value);
  }
  return out;
}

}  // namespace curriculum
