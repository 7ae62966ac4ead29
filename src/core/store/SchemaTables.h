#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "Result.h"

namespace store {

// Every table of the main database as a fresh database gets it. Every column is
// text with '' as default, except the autonumber ID columns and the memo columns
// (long text; SQLite does not tell them apart, the distinction is kept for the
// record and for exchange files).
struct ColumnDef {
  QString name;
  enum class Kind { Text, Memo, AutoNumber, Blob } kind = Kind::Text;
};

struct TableDef {
  QString name;
  QList<ColumnDef> columns;
  QStringList columnNames() const;
};

const QList<TableDef>& mainTables();
// The one table of a question store (TABLESORU: ID, SORUNO, SORU, COZUM) or a test
// store (TABLETEST: ID, TESTNO, BASLANGICEKRANI, BASLIK), and its key's index.
struct StoreTableDef {
  TableDef table;
  QString indexSql;  // CREATE INDEX IF NOT EXISTS ..., on the table's bare name
};
const StoreTableDef& storeTable(bool questions);
const TableDef* findMainTable(const QString& name);

class Dialect;
const Dialect& sqliteDialect();

// "CREATE TABLE ..." for one table definition, in the embedded database's words
// unless another dialect is given.
QString createTableSql(const TableDef& table, const Dialect& dialect = sqliteDialect());
// Creates every missing main table and the look-up indexes.
Status createMainTables(const QSqlDatabase& db);
// The indexes later screens look things up by; idempotent.
Status createIndexes(const QSqlDatabase& db);

}  // namespace store
