#include "game/GamePlayers.h"

#include <QSqlQuery>

#include "delivery/RunSetup.h"
#include "lists/FilterLists.h"
#include "school/Students.h"
#include "store/Parameters.h"
#include "store/Store.h"

namespace game {

namespace {
const QString kSection = QStringLiteral("Oyun");
const QString kClassKey = QStringLiteral("Sinifi");
}  // namespace

Result<QStringList> GamePlayers::classEntries() const {
  Result<QStringList> classes = school::Students(m_store).classNames();
  if (!classes) return classes;
  return QStringList{lists::kTumu} + classes.value();
}

store::Query GamePlayers::remotesQuery(const QString& className) {
  // The same remote list as a test run's, without the virtual class.
  return delivery::RunSetup::classRemotesQuery(className);
}

Result<QList<GamePlayers::Row>> GamePlayers::remotes(const QString& className) const {
  const store::Query q = remotesQuery(className);
  Result<QSqlQuery> rows = m_store.exec(q.sql, q.params);
  if (!rows) return Result<QList<Row>>::failure(rows.error());
  QList<Row> out;
  while (rows.value().next())
    out.append({rows.value().value(0).toString(), rows.value().value(3).toString(),
                rows.value().value(4).toString()});
  return out;
}

QString GamePlayers::savedClass() { return store::UserSettings::get(kSection, kClassKey); }

void GamePlayers::saveClass(const QString& className) {
  store::UserSettings::set(kSection, kClassKey, className);
}

Result<Players> GamePlayers::choose(const QList<Row>& chosen) {
  Players p;
  for (const Row& r : chosen) {
    // A remote paired in several classes is listed once per student; it is one player.
    if (r.address.isEmpty() || p.addresses.contains(r.address)) continue;
    p.addresses << r.address;
    p.names << delivery::RunSetup::displayName(r);
  }
  if (p.addresses.isEmpty()) return Result<Players>::failure(noPlayersText());
  return p;
}

}  // namespace game
