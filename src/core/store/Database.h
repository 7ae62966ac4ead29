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
// SQL functions and pragmas (WAL, busy timeout). Close it with closeFile().
Result<QSqlDatabase> openFile(const QString& connectionName, const QString& path);
void closeFile(const QString& connectionName);

// True when the table exists on the connection; every error reads as false.
bool TabloVarMi(const QString& table, const QSqlDatabase& db);
// Drops the table; a missing table is not an error.
void TabloSil(const QString& table, const QSqlDatabase& db);

}  // namespace store
