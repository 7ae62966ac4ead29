#pragma once

#include <QSqlDatabase>
#include <QString>

#include "Result.h"

namespace store {

// Connections to SQLite files. The main connection belongs to store::Store; these
// are the pieces it and every separate connection share.

// Base name of the main database inside the data folder ("DERSLIK.db").
inline const QString kMainName = QStringLiteral("DERSLIK");

// Opens (or returns, when already open on the same file) a connection with Derslik's
// SQL functions and pragmas (rollback journal, full sync, busy timeout); a file an
// older version left in WAL is switched over. Close it with closeFile().
Result<QSqlDatabase> openFile(const QString& connectionName, const QString& path);
void closeFile(const QString& connectionName);

// True when the database file's header says WAL (read without opening it).
bool inWalMode(const QString& path);
// Makes a file whole on its own through a connection of its own: a WAL an older
// version left is switched to the rollback journal (before ATTACH, since an
// attached file keeps its mode), a journal a kill left beside it is rolled back
// (before the file is read by a reader that may not write, or copied).
Status settleFile(const QString& path);

// True when the table exists on the connection; every error reads as false.
bool TabloVarMi(const QString& table, const QSqlDatabase& db);
// Drops the table; a missing table is not an error.
void TabloSil(const QString& table, const QSqlDatabase& db);

}  // namespace store
