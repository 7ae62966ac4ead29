#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include "Result.h"
#include "store/ServerAddress.h"

namespace store {

// The connection to a school's server while the network comes and goes: how it
// is opened so that it fails within seconds, how a broken one is recognised,
// and what the user reads while the server is away.

// Opens `db` (again, when it was open: every copy of it, a grid's query or a
// service's handle, then uses the new connection) with the login's address,
// password and options that make it fail within seconds, and starts its session: one encoding,
// warnings only. Errors are the Turkish sentences of serverConnectionError().
Status connectServer(QSqlDatabase& db, const ServerLogin& login);
// The board's own connection never waits on a statement for longer than this:
// a server that stops answering in the middle of one frees the window.
inline constexpr int kStatementTimeoutMs = 30000;
Status limitStatements(const QSqlDatabase& db);

// The ServerLink following the server connection `db`; it is told when a
// statement finds the connection broken.
void setConnectionOwner(const QSqlDatabase& db, QObject* owner);

// True when `db` is a server connection that is broken: libpq gave it up, the
// server closed it while it sat idle (looked at without waiting), or it is
// not open. A connection that works and a SQLite file give false.
bool connectionLost(const QSqlDatabase& db);

// An error the server gives for a connection it cannot keep (SQLSTATE class 08,
// and the server shutting down or restarting).
bool connectionClassError(const QSqlError& error);

// What a teacher reads when an action needs the server while it cannot be reached.
QString serverAwayMessage();

// A failed statement's error as the user reads it: serverAwayMessage() when the
// server connection broke under it (the store that owns it is told), the
// Turkish words of sqlErrorText() otherwise.
QString statementErrorText(const QSqlError& error, const QSqlDatabase& db);
// The same for a query that failed, on whatever connection it ran.
QString queryErrorText(const QSqlQuery& query);
// Why a statement cannot run on a connection that is not open: the server is
// away, or the store was closed.
QString closedConnectionText(const QSqlDatabase& db);
// Why a transaction on `db` did not start.
QString notStartedText(const QSqlDatabase& db);

}  // namespace store
