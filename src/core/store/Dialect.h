#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "Result.h"

namespace store {

struct ColumnDef;
struct TableDef;

// Everything Derslik's SQL needs that the embedded database (SQLite) and a school's
// server (PostgreSQL) say differently, in one place per backend. Services write
// their SQL once, in the embedded database's words; the connection's dialect
// prepares it and answers the few questions SQL cannot ask portably. The
// functions Derslik registers on SQLite (VAL, NZ, OGRETMENMI, TRFOLD, ...) exist on
// the server under the same names: `server init` creates them from functions().
class Dialect {
 public:
  virtual ~Dialect() = default;

  // ---- statements
  // The statement as this backend runs it (the embedded one runs it unchanged).
  virtual QString prepare(const QString& sql) const = 0;

  // ---- schema
  // The definition of one column inside CREATE TABLE.
  virtual QString columnSql(const ColumnDef& column) const = 0;
  // Columns every table gets besides its own (the server's stand-in for rowid).
  virtual QStringList hiddenColumns(const TableDef& table) const = 0;
  // "ALTER TABLE t ADD COLUMN c ..." for a column a table lacks.
  QString addColumnSql(const QString& table, const ColumnDef& column) const;
  // The tables of the connection's database, as stored (upper case on both).
  virtual Result<QStringList> tables(const QSqlDatabase& db) const = 0;
  // The columns of one table, upper case.
  virtual Result<QStringList> columns(const QSqlDatabase& db, const QString& table) const = 0;
  // Whether the table exists. Asked without a failing statement: on the server a
  // failed statement spoils the transaction it runs in.
  virtual bool tableExists(const QSqlDatabase& db, const QString& table) const = 0;
  // SQL functions and collations Derslik's statements use that the backend lacks;
  // empty where they are registered on each connection instead.
  virtual QStringList functions() const = 0;

  // ---- transactions
  // True when no transaction is running on the connection.
  virtual bool outsideTransaction(const QSqlDatabase& db) const = 0;
  // Starts the outermost transaction as a writer: concurrent writers wait their
  // turn instead of failing.
  virtual bool beginWriter(const QSqlDatabase& db) const = 0;
  // The outermost transaction has committed or rolled back.
  virtual void ended(const QSqlDatabase& db) const = 0;
  // Called inside a writing transaction: writers that pass the same `key` queue
  // here until the one before them commits or rolls back. Taking a new number
  // from a table passes the table, so no two writers get the same number.
  virtual Status takeTurn(const QSqlDatabase& db, const QString& key) const = 0;
  // Work done once for the whole school (the school-year rollover) runs under a
  // lock of its own, held by the connection outside any transaction until it is
  // released or the connection closes: false at once when another board holds it,
  // so the second board is told instead of queueing behind the first. A board's
  // own files have their own lock (DataLock): here always true.
  virtual Result<bool> tryHoldSchoolLock(const QSqlDatabase& db, const QString& key) const = 0;
  virtual void releaseSchoolLock(const QSqlDatabase& db, const QString& key) const = 0;

  // ---- numbers
  // SELECT giving the largest number among the keys of `column` in `table` that are
  // the bound prefix (one "?") followed by digits only; NULL when there is none.
  // A run of digits too long for 64 bits reads as a number past kMaxNumber.
  virtual QString largestNumberSql(const QString& table, const QString& column,
                                   qsizetype prefixLength) const = 0;
  // The bound value for largestNumberSql's "?".
  virtual QString prefixPattern(const QString& prefix) const = 0;

  // ---- content
  // The lower-case hex SHA-256 of a blob `expression` (NULL for NULL), as
  // ContentCache::digest gives it: a board asks for it instead of the bytes.
  virtual QString digestSql(const QString& expression) const = 0;
};

// The dialect of a connection, chosen by its driver.
const Dialect& dialectOf(const QSqlDatabase& db);
const Dialect& sqliteDialect();
const Dialect& postgresDialect();

}  // namespace store
