#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include "Result.h"
#include "store/ServerAddress.h"

namespace store {

// A school's database on its PostgreSQL server (Qt's QPSQL driver): the
// connection, and the schema `server init` creates and later versions upgrade.

// Opens a connection named `connectionName`. With an empty password libpq reads
// ~/.pgpass (or PGPASSFILE) itself. Errors are the Turkish sentences a board
// shows; none of them carries the password.
Result<QSqlDatabase> openServer(const QString& connectionName, const ServerLogin& login);

// What a failed connection means to the user.
QString serverConnectionError(const QSqlError& error, const ServerAddress& address);
QString unreachableMessage(const QString& reason);
QString loginRefusedMessage();
QString noSchemaMessage();
QString foreignDatabaseMessage();
QString newerSchemaMessage();

struct ServerInitReport {
  bool created = false;  // the schema was made in an empty database
  int oldVersion = -1;   // the version found (-1: none)
  int version = -1;      // the version the database is at now
};

// `server init`: creates Derslik's schema in an empty database, or brings an
// older one up to this program's version, in one transaction under a lock that
// boards upgrading at the same moment wait for. A database holding other tables,
// and one of a newer Derslik, are refused and nothing is written.
Result<ServerInitReport> initServer(const QSqlDatabase& db);

// At a board's start: a database without Derslik's schema is an error that says
// to run `server init`; a newer one is refused; an older one is upgraded as
// initServer does.
Result<ServerInitReport> checkServer(const QSqlDatabase& db);

// The schema version a database was made or upgraded for: the data version.
int serverSchemaVersion();

}  // namespace store
