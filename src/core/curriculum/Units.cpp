#include "curriculum/Units.h"

#include "store/Store.h"

namespace curriculum {

namespace {
QString emptyUnitMessage() { return QStringLiteral("Ünite bilgisi boş bırakılamaz"); }
}  // namespace

store::Query Units::listQuery(const QString& seviye, const QString& ders) {
  return {QStringLiteral(
              "SELECT ID,SEVIYE,DERS,UNITE FROM TABLETANIMLAMALAR WHERE TANIMADI='UNITELER' AND "
              "NZ(SEVIYE)=? AND NZ(DERS)=? ORDER BY UNITE COLLATE TURKCE"),
          {seviye, ders}};
}

Status Units::add(const Key& unit) {
  if (unit.unite.trimmed().isEmpty()) return Status::failure(emptyUnitMessage());
  const Result<QVariant> exists = m_store.scalar(
      QStringLiteral("SELECT EXISTS (SELECT UNITE FROM TABLETANIMLAMALAR WHERE NZ(SEVIYE)=? AND "
                     "NZ(DERS)=? AND NZ(UNITE)=? AND NZ(TANIMADI)='UNITELER')"),
      {unit.seviye, unit.ders, unit.unite});
  if (!exists) return Status::failure(exists.error());
  if (exists->toInt() == 1)
    return Status::failure(QStringLiteral("Bu seviye ve ders için bu konu daha önce tanımlanmış"));
  if (Status s = m_store.run(
          QStringLiteral("INSERT INTO TABLETANIMLAMALAR (TANIMADI,SEVIYE,DERS,UNITE) VALUES "
                         "('UNITELER',?,?,?)"),
          {unit.seviye, unit.ders, unit.unite});
      !s)
    return s;
  m_store.changed(store::Change::Lists);
  return {};
}

Status Units::rename(const Key& from, const Key& to) {
  if (to.unite.trimmed().isEmpty()) return Status::failure(emptyUnitMessage());
  store::Transaction tx(m_store);
  const QVariantList params{to.seviye, to.ders, to.unite, from.seviye, from.ders, from.unite};
  for (const char* table : {"TABLETANIMLAMALAR", "TABLESORU", "TABLETEST"}) {
    if (Status s = m_store.run(
            QStringLiteral("UPDATE %1 SET SEVIYE=?,DERS=?,UNITE=? WHERE NZ(SEVIYE)=? AND "
                           "NZ(DERS)=? AND NZ(UNITE)=?")
                .arg(QString::fromLatin1(table)),
            params);
        !s)
      return s;
  }
  m_store.changed(store::Change::Lists | store::Change::Questions | store::Change::Tests);
  return tx.commit();
}

Status Units::remove(const Key& unit) {
  if (Status s = m_store.run(
          QStringLiteral("DELETE FROM TABLETANIMLAMALAR WHERE NZ(SEVIYE)=? AND NZ(DERS)=? AND "
                         "NZ(UNITE)=?"),
          {unit.seviye, unit.ders, unit.unite});
      !s)
    return s;
  m_store.changed(store::Change::Lists);
  return {};
}

}  // namespace curriculum
