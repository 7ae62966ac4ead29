#include "web/BrowserTakers.h"

#include <QSet>
#include <QSqlQuery>

#include "delivery/RunPlan.h"
#include "store/Store.h"

namespace web {

BrowserTakers browserTakers(const QStringList& addresses, const QStringList& names,
                            const QList<RosterEntry>& classRoster) {
  BrowserTakers t;
  const bool virtualOnly =
      addresses.size() == 1 && addresses.first() == delivery::RunPlan::kVirtualRemote;
  if (!virtualOnly) {
    t.addresses = addresses;
    t.names = names;
  }
  for (const RosterEntry& e : classRoster) {
    if (!e.hasRemote && !t.addresses.contains(e.address)) {
      t.addresses << e.address;
      const QString name = (e.name + QLatin1Char(' ') + e.surname).trimmed();
      t.names << (name.isEmpty() ? e.number : name);
    }
    if (t.addresses.contains(e.address)) t.roster << e;
  }
  if (t.addresses.isEmpty()) {  // nobody to answer from a browser either
    t.addresses = addresses;
    t.names = names;
  }
  return t;
}

Result<QList<RosterEntry>> rosterOfAddresses(store::Store& store, const QStringList& addresses) {
  using R = Result<QList<RosterEntry>>;
  Result<QSqlQuery> q = store.exec(QStringLiteral(
      "SELECT DISTINCT SINIFI FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' ORDER BY SINIFI"));
  if (!q) return R::failure(q.error());
  QStringList classes;
  while (q.value().next()) classes << q.value().value(0).toString();
  QList<RosterEntry> out;
  QSet<QString> seen;
  for (const QString& c : classes) {
    R roster = classRoster(store, c);
    if (!roster) return roster;
    for (const RosterEntry& e : roster.value())
      if (addresses.contains(e.address) && !seen.contains(e.kayitNo)) {
        seen.insert(e.kayitNo);
        out << e;
      }
  }
  return out;
}

}  // namespace web
