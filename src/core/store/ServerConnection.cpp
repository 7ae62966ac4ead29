#include "store/ServerConnection.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include <libpq-fe.h>
#include <poll.h>

#include "store/ServerDatabase.h"
#include "store/ServerLink.h"
#include "store/SqlErrors.h"

namespace store {

namespace {

// The dynamic property of a server connection's driver that names the
// ServerLink following it, so that a statement failing anywhere can tell it.
const char* const kOwnerProperty = "derslikServerLink";

bool isServer(const QSqlDriver* driver) {
  return driver && driver->dbmsType() == QSqlDriver::PostgreSQL;
}
bool isServer(const QSqlDatabase& db) { return db.isValid() && isServer(db.driver()); }

PGconn* libpqHandle(const QSqlDriver* driver) {
  const QVariant handle = driver->handle();
  // The driver names the type by libpq's typedef or by the struct behind it.
  if (!handle.isValid() ||
      (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
    return nullptr;
  return *static_cast<PGconn* const*>(handle.constData());
}

// connectionLost() for the driver of a server connection.
bool driverLost(const QSqlDriver* driver) {
  // The driver counts a connection open only while libpq holds it good.
  if (!driver->isOpen()) return true;
  PGconn* connection = libpqHandle(driver);
  if (!connection) return false;
  // A server that went away while the connection sat idle has left something
  // to read on its socket: perhaps its last words, then the end. Reading it
  // without waiting lets libpq see the end; a working connection has nothing
  // there, or a notice.
  for (int reads = 0; reads < 8 && PQstatus(connection) == CONNECTION_OK; ++reads) {
    pollfd socket{PQsocket(connection), POLLIN, 0};
    if (socket.fd < 0 || ::poll(&socket, 1, 0) <= 0) break;
    if (!PQconsumeInput(connection)) break;
  }
  return PQstatus(connection) != CONNECTION_OK || PQsocket(connection) < 0;
}

void tellOwner(const QSqlDriver* driver) {
  if (auto* link = qobject_cast<ServerLink*>(driver->property(kOwnerProperty).value<QObject*>()))
    link->lost();
}

// The text of a failed statement on `driver`'s connection (see statementErrorText).
QString failureText(const QSqlError& error, const QSqlDriver* driver) {
  if (isServer(driver) && (driverLost(driver) || connectionClassError(error))) {
    tellOwner(driver);
    return serverAwayMessage();
  }
  return sqlErrorText(error);
}

QString serverConnectOptions() {
  // A board in a lesson must learn within seconds that the server is gone, not
  // after the minutes the system's TCP defaults take: a connection attempt gives
  // up after 3 s, an idle connection is probed after 5 s (2 probes 2 s apart),
  // and data the server has not acknowledged for 3 s ends the connection.
  return QStringLiteral(
      "connect_timeout=3;keepalives=1;keepalives_idle=5;keepalives_interval=2;"
      "keepalives_count=2;tcp_user_timeout=3000;application_name=derslik");
}

}  // namespace

Status limitStatements(const QSqlDatabase& db) {
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("SET statement_timeout = %1").arg(kStatementTimeoutMs)))
    return Status::failure(statementErrorText(q.lastError(), db));
  return {};
}

Status connectServer(QSqlDatabase& db, const ServerLogin& login) {
  db.close();
  db.setHostName(login.address.host);
  db.setPort(login.address.port);
  db.setUserName(login.address.user);
  db.setDatabaseName(login.address.database);
  db.setPassword(login.password);
  db.setConnectOptions(serverConnectOptions());
  if (!db.open()) {
    const QString message = serverConnectionError(db.lastError(), login.address);
    db.setPassword(QString());
    return Status::failure(message);
  }
  QSqlQuery q(db);
  // Server messages and every text in one encoding, whatever the server's default.
  (void)q.exec(QStringLiteral("SET client_encoding = 'UTF8'"));
  (void)q.exec(QStringLiteral("SET client_min_messages = warning"));
  // The reports' statements read every result row through Derslik's functions,
  // which the server inlines: their estimated cost sets off the server's JIT
  // compiler, which then spends seconds on a statement that runs in one (the
  // success ranking took twice as long). Derslik's statements are all of that
  // kind; a server without JIT refuses the setting, which changes nothing.
  (void)q.exec(QStringLiteral("SET jit = off"));
  return {};
}

void setConnectionOwner(const QSqlDatabase& db, QObject* owner) {
  if (isServer(db)) db.driver()->setProperty(kOwnerProperty, QVariant::fromValue(owner));
}

bool connectionLost(const QSqlDatabase& db) { return isServer(db) && driverLost(db.driver()); }

bool connectionClassError(const QSqlError& error) {
  // SQLSTATE class 08 (connection exception) and the server's "terminating
  // connection" ones: administrator command, crash of another process, starting up.
  const QString state = error.nativeErrorCode();
  return state.size() == 5 &&
         (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
          state == QLatin1String("57P02") || state == QLatin1String("57P03"));
}

QString serverAwayMessage() {
  return QStringLiteral(
      "Okul sunucusuna şu anda ulaşılamıyor; bu işlem sunucu gelince yapılabilir.");
}

QString statementErrorText(const QSqlError& error, const QSqlDatabase& db) {
  return failureText(error, db.isValid() ? db.driver() : nullptr);
}

QString queryErrorText(const QSqlQuery& query) {
  return failureText(query.lastError(), query.driver());
}

QString closedConnectionText(const QSqlDatabase& db) {
  // A server connection that is not open broke or could not be opened again;
  // the store closes its connection by removing it.
  if (isServer(db)) {
    tellOwner(db.driver());
    return serverAwayMessage();
  }
  return QStringLiteral("Veritabanı bağlantısı kapalı.");
}

QString notStartedText(const QSqlDatabase& db) {
  if (!db.isOpen() || connectionLost(db)) return closedConnectionText(db);
  return QStringLiteral("İşlem başlatılamadı.");
}

}  // namespace store
