#include "store/ServerLink.h"

#include "store/Dialect.h"
#include "store/ServerConnection.h"
#include "store/Sql.h"
#include "store/Store.h"

namespace store {

ServerLink::ServerLink(Store& store) : QObject(&store), m_store(store) {}

ServerLink& ServerLink::of(const Store& store) {
  auto* link = store.findChild<ServerLink*>(QString(), Qt::FindDirectChildrenOnly);
  // Made on first use, by whoever asks first (the store opening its server, a
  // window following it); it changes nothing the store holds.
  if (!link) link = new ServerLink(const_cast<Store&>(store));
  return *link;
}

void ServerLink::attach(const QString& connectionName, const ServerLogin& login,
                        std::function<bool()> inTransaction) {
  m_connection = connectionName;
  m_login = login;
  m_inTransaction = std::move(inTransaction);
  m_retry = QDeadlineTimer();
  setConnectionOwner(QSqlDatabase::database(m_connection, false), this);
  setReachable(true);
}

bool ServerLink::mayReopen(const QSqlDatabase& db) const {
  // A transaction that lost its connection fails whole: none of its statements
  // may run on a new connection, where each would commit on its own.
  return !(m_inTransaction && m_inTransaction()) && dialectOf(db).outsideTransaction(db);
}

void ServerLink::keep(QSqlDatabase& db) {
  if (!m_login || db.connectionName() != m_connection) return;
  if (db.isOpen() && !connectionLost(db)) return;
  if (!m_retry.hasExpired() || !mayReopen(db)) return;
  (void)reopen(db);
}

Status ServerLink::reopen(QSqlDatabase& db) {
  Status s = connectServer(db, *m_login);
  if (s) s = limitStatements(db);
  if (!s) {
    m_retry.setRemainingTime(kRetryMs);
    setReachable(false);
    return s;
  }
  m_retry = QDeadlineTimer();
  setReachable(true);
  return {};
}

Status ServerLink::reconnect() {
  if (!m_login || !m_store.isOpen())
    return Status::failure(QStringLiteral("Veritabanı bağlantısı kapalı."));
  QSqlDatabase db = QSqlDatabase::database(m_connection, false);
  if (!mayReopen(db)) return Status::failure(serverAwayMessage());
  // A connection that looks whole may still lead into a dropped network: one
  // round trip tells.
  if (db.isOpen() && !connectionLost(db) && run(QStringLiteral("SELECT 1"), {}, db)) {
    setReachable(true);
    return {};
  }
  return reopen(db);
}

void ServerLink::lost() {
  if (m_login && m_store.isOpen()) setReachable(false);
}

void ServerLink::setReachable(bool reachable) {
  if (m_reachable == reachable) return;
  m_reachable = reachable;
  m_store.log(reachable ? QStringLiteral("Okul sunucusuna yeniden bağlanıldı.")
                        : QStringLiteral("Okul sunucusuyla bağlantı koptu."));
  // Not from inside the statement that found it out: whoever listens may read at once.
  QMetaObject::invokeMethod(this, &ServerLink::announce, Qt::QueuedConnection);
}

void ServerLink::announce() {
  if (m_announced == m_reachable) return;
  m_announced = m_reachable;
  emit reachableChanged(m_reachable);
  if (m_reachable)
    m_store.changed(Change::Students | Change::Remotes | Change::Pairings | Change::Lists |
                    Change::Institution | Change::Users | Change::Questions | Change::Tests |
                    Change::Runs);
}

}  // namespace store
