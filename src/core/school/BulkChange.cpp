#include "school/BulkChange.h"

#include "curriculum/CurriculumFilter.h"
#include "school/Students.h"
#include "store/Store.h"

namespace school {

using store::Query;

const QList<BulkChange::Target>& BulkChange::targets() {
  static const QList<Target> list{
      {QStringLiteral("Seviyeler"), QStringLiteral("TABLEOGRENCI"), QStringLiteral("SEVIYE"),
       QStringLiteral("SEVIYE")},
      {QStringLiteral("Sınıflar"), QStringLiteral("TABLEOGRENCI"), QStringLiteral("SINIFI"),
       QStringLiteral("SINIFI")},
      {QStringLiteral("Test Hazırlayanı"), QStringLiteral("TABLETEST"),
       QStringLiteral("HAZIRLAYAN"), QStringLiteral("HAZIRLAYAN")},
      {QStringLiteral("Test Seviye"), QStringLiteral("TABLETEST"), QStringLiteral("SEVIYE"),
       QStringLiteral("SEVIYE")},
      {QStringLiteral("Test Ders"), QStringLiteral("TABLETEST"), QStringLiteral("DERS"),
       QStringLiteral("DERS")},
      {QStringLiteral("Test Ünite"), QStringLiteral("TABLETEST"), QStringLiteral("UNITE"),
       QString()},
      {QStringLiteral("Test Konu"), QStringLiteral("TABLETEST"), QStringLiteral("KONU"), QString()},
      {QStringLiteral("Test Kazanım"), QStringLiteral("TABLETEST"), QStringLiteral("KAZANIM"),
       QString()},
  };
  return list;
}

const BulkChange::Target* BulkChange::target(const QString& caption) {
  for (const Target& t : targets())
    if (t.caption == caption) return &t;
  return nullptr;
}

Query BulkChange::rowsQuery(const Target& target, const TestFilter& filter) {
  if (target.students())
    return {QStringLiteral(
                "SELECT KAYITNO,TCKIMLIK,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE,%1 AS DEGISECEKDEGER "
                "FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' ORDER BY ADI COLLATE TURKCE ASC,"
                "SOYADI COLLATE TURKCE ASC")
                .arg(target.column),
            {}};
  const curriculum::CurriculumFilter::Condition c = filter.curriculum.condition();
  Query q{QStringLiteral("SELECT TESTNO,TESTADI,%1 AS DEGISECEKDEGER FROM TABLETEST WHERE 1=1%2")
              .arg(target.column, c.sql),
          c.params};
  if (!curriculum::CurriculumFilter::isAll(filter.hazirlayan)) {
    q.sql += QStringLiteral(" AND HAZIRLAYAN=?");
    q.params << filter.hazirlayan;
  }
  q.sql += QStringLiteral(" ORDER BY VAL(TESTNO)");
  return q;
}

Query BulkChange::valuesQuery(const Target& target) {
  if (target.parameter.isEmpty()) {
    // Units, topics and outcomes are curriculum definitions, not value lists.
    return {QStringLiteral(
                "SELECT 'TÜMÜ' AS PARAMETREDEGERI UNION ALL SELECT * FROM (SELECT DISTINCT %1 FROM "
                "TABLETANIMLAMALAR WHERE NZ(%1)<>'' ORDER BY %1 COLLATE TURKCE) AS D")
                .arg(target.column),
            {}};
  }
  return {
      QStringLiteral(
          "SELECT 'TÜMÜ' AS PARAMETREDEGERI UNION ALL SELECT PARAMETREDEGERI FROM TABLEPARAMETRE "
          "WHERE PARAMETREADI=? AND NZ(PARAMETREACIKLAMA)=''"),
      {target.parameter}};
}

Status BulkChange::apply(const Target& target, const QString& value, const QStringList& keys) {
  if (keys.isEmpty()) return {};
  store::Transaction tx(m_store);
  m_store.changed(target.students() ? store::Change::Students : store::Change::Tests);
  if (target.students() && target.column == QStringLiteral("SINIFI")) {
    // One student at a time: two moved students sharing a remote must not both
    // keep it in their new class.
    Students students(m_store);
    for (const QString& k : keys) {
      const Result<QVariant> current = m_store.scalar(
          QStringLiteral("SELECT NZ(SINIFI) FROM TABLEOGRENCI WHERE KAYITNO=?"), {k});
      if (!current) return Status::failure(current.error());
      if (current->toString() == value) continue;
      if (Status s = students.releaseConflictingPairings(k, value); !s) return s;
      if (Status s = m_store.run(QStringLiteral("UPDATE TABLEOGRENCI SET SINIFI=? WHERE KAYITNO=?"),
                                 {value, k});
          !s)
        return s;
    }
    return tx.commit();
  }
  const store::InList in = store::inList(keys);
  QVariantList params{value};
  params << in.values;
  if (Status s = m_store.run(QStringLiteral("UPDATE %1 SET %2=? WHERE %3 IN (%4)")
                                 .arg(target.table, target.column, target.key(), in.placeholders),
                             params);
      !s)
    return s;
  return tx.commit();
}

}  // namespace school
