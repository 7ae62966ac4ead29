#pragma once

#include <QSqlDatabase>
#include <QString>

#include "Result.h"

namespace store {

// The shared connection to the main database DERSLIK.db. It stays open for the
// whole run and is closed only around whole-file work (upgrade, repair, rollover)
// and at shutdown. Queries are plain RAII QSqlQuery objects on it (see Sql.h).

// Base name of the main database inside the data folder.
inline const QString kMainName = QStringLiteral("DERSLIK");

// The file a name stands for: a name containing '/' is a path without extension,
// anything else is a base name inside the data folder; ".db" is appended.
QString databaseFile(const QString& nameOrPath);

// Opens the shared connection (when it is not already open on the same file).
Status BaglantiAc(const QString& nameOrPath = kMainName);
// Closes the shared connection; never fails.
void BaglantiKapat();
bool baglantiAcik();
// The shared connection, opened on the main database when closed.
QSqlDatabase connection();
// Path of the file the shared connection is (or will be) open on.
QString mainDatabasePath();

// A separate connection to any SQLite file with the same SQL functions and
// pragmas; used for whole-file work. Close it with closeFile().
Result<QSqlDatabase> openFile(const QString& connectionName, const QString& path);
void closeFile(const QString& connectionName);

// True when the table exists on the connection; every error reads as false.
bool TabloVarMi(const QString& table, const QSqlDatabase& db = connection());
// Drops the table; a missing table is not an error.
void TabloSil(const QString& table, const QSqlDatabase& db = connection());

}  // namespace store
