#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "Result.h"

namespace store {

// Structure operations of the field pass. SQLite can add a plain column in place
// but neither an autonumber column nor (in every case) drop one; those rebuild the
// table: create the new layout, copy every row, drop the old table, rename. Callers
// run them inside a transaction so a rebuild is whole or not at all.

enum class FieldType { Text, Memo, Long };

// Adds a column unless it exists. 2: the table was missing and has been created
// (a known main table gets its whole layout at once), 1: the column was added,
// 0: it was there. -1 on a database error.
int AlanEkle(const QString& table, const QString& field, FieldType type, const QSqlDatabase& db);
// Adds an autonumber column in the first position, numbering the existing rows.
// 1 when added, 0 when it was there, -1 on a database error.
int OtomatikSayiEkle(const QString& table, const QString& field, const QSqlDatabase& db);
// Removes a column; a missing column or table is not an error.
void AlanSil(const QString& table, const QString& field, const QSqlDatabase& db);

// Column names of a table as the database has them (empty when the table is missing).
QStringList tableColumns(const QString& table, const QSqlDatabase& db);

// The whole field pass: every column the structure needs, added where missing,
// and the obsolete TABLEOKUL.SINIFKODU removed. Idempotent; runs in one
// transaction on `db`.
Status runFieldPass(const QSqlDatabase& db);

}  // namespace store
