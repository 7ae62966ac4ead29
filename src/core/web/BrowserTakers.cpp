#include "web/BrowserTakers.h"

#include "delivery/RunPlan.h"

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

}  // namespace web
