#include "activity/ClassRoster.h"

#include <QSqlQuery>

#include "store/Store.h"

namespace activity {

Result<QList<RosterEntry>> classRoster(store::Store& store, const QString& className,
                                       const std::function<QString(const QString&)>& ownAddress) {
  using R = Result<QList<RosterEntry>>;
  Result<QSqlQuery> q = store.exec(
      QStringLiteral("SELECT NZ(O.KAYITNO),NZ(O.NUMARASI),NZ(O.ADI),NZ(O.SOYADI),"
                     "(SELECT E.KUMANDAADRESI FROM TABLEESLESME E JOIN TABLEKUMANDA K ON "
                     "K.KUMANDAADRESI=E.KUMANDAADRESI WHERE E.KAYITNO=O.KAYITNO AND "
                     "OGRETMENMI(K.OGRETMENKUMANDASI)=0 ORDER BY E.rowid LIMIT 1) "
                     "FROM TABLEOGRENCI O WHERE O.SINIFI=? AND NZ(O.SILINDIMI)='' "
                     "ORDER BY VAL(O.NUMARASI),VAL(O.KAYITNO)"),
      {className});
  if (!q) return R::failure(q.error());
  QList<RosterEntry> out;
  while (q.value().next()) {
    RosterEntry e;
    e.kayitNo = q.value().value(0).toString().trimmed();
    e.number = q.value().value(1).toString().trimmed();
    e.name = q.value().value(2).toString().trimmed();
    e.surname = q.value().value(3).toString().trimmed();
    const QString remote = q.value().value(4).toString().trimmed();
    e.hasRemote = !remote.isEmpty();
    e.address = e.hasRemote ? remote : ownAddress(e.kayitNo);
    out.append(e);
  }
  return out;
}

}  // namespace activity
