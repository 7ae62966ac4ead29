#include "school/Units.h"

#include "store/Sql.h"

namespace school {

Query Units::listQuery(const QString& seviye, const QString& ders) {
  return {QStringLiteral("SELECT ID,SEVIYE,DERS,UNITE FROM TABLETANIMLAMALAR WHERE TANIMADI='UNITELER' AND "
                         "NZ(SEVIYE)=? AND NZ(DERS)=? ORDER BY UNITE COLLATE TURKCE"),
          {seviye, ders}};
}

Status Units::add(const Key& unit) {
  if (unit.unite.trimmed().isEmpty()) return Status::failure(QStringLiteral("Ünite bilgisi boş bırakılamaz"));
  const bool exists =
      store::scalar(QStringLiteral("SELECT EXISTS (SELECT UNITE FROM TABLETANIMLAMALAR WHERE NZ(SEVIYE)=? AND "
                                   "NZ(DERS)=? AND NZ(UNITE)=? AND NZ(TANIMADI)='UNITELER')"),
                    {unit.seviye, unit.ders, unit.unite}, 0)
          .toInt() == 1;
  if (exists) return Status::failure(QStringLiteral("Bu seviye ve ders için bu konu daha önce tanımlanmış"));
  return store::run(QStringLiteral("INSERT INTO TABLETANIMLAMALAR (TANIMADI,SEVIYE,DERS,UNITE) VALUES "
                                   "('UNITELER',?,?,?)"),
                    {unit.seviye, unit.ders, unit.unite});
}

Status Units::rename(const Key& from, const Key& to) {
  if (to.unite.trimmed().isEmpty()) return Status::failure(QStringLiteral("Ünite bilgisi boş bırakılamaz"));
  store::Transaction tx;
  const QVariantList params{to.seviye, to.ders, to.unite, from.seviye, from.ders, from.unite};
  for (const char* table : {"TABLETANIMLAMALAR", "TABLESORU", "TABLETEST"}) {
    if (Status s = store::run(QStringLiteral("UPDATE %1 SET SEVIYE=?,DERS=?,UNITE=? WHERE NZ(SEVIYE)=? AND "
                                             "NZ(DERS)=? AND NZ(UNITE)=?")
                                  .arg(QString::fromLatin1(table)),
                              params);
        !s)
      return s;
  }
  return tx.commit();
}

Status Units::remove(const Key& unit) {
  return store::run(QStringLiteral("DELETE FROM TABLETANIMLAMALAR WHERE NZ(SEVIYE)=? AND NZ(DERS)=? AND "
                                   "NZ(UNITE)=?"),
                    {unit.seviye, unit.ders, unit.unite});
}

}  // namespace school
