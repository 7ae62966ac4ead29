#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

#include "store/Dialect.h"
#include "store/SchemaTables.h"
#include "store/Sql.h"

namespace store {

namespace {

class SqliteDialect final : public Dialect {
 public:
  QString prepare(const QString& sql) const override { return sql; }

  QString columnSql(const ColumnDef& c) const override {
    if (c.kind == ColumnDef::Kind::AutoNumber)
      return c.name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    if (c.kind == ColumnDef::Kind::Blob) return c.name + QStringLiteral(" BLOB");
    return c.name + QStringLiteral(" TEXT DEFAULT ''");
  }
  QStringList hiddenColumns(const TableDef&) const override { return {}; }

  Result<QStringList> tables(const QSqlDatabase& db) const override {
    return column(QStringLiteral("SELECT upper(name) FROM sqlite_master WHERE type='table' AND "
                                 "name NOT LIKE 'sqlite%'"),
                  {}, db);
  }
  Result<QStringList> columns(const QSqlDatabase& db, const QString& table) const override {
    return column(QStringLiteral("SELECT upper(name) FROM pragma_table_info(?)"), {table}, db);
  }
  bool tableExists(const QSqlDatabase& db, const QString& table) const override {
    if (!db.isOpen()) return false;
    QString quoted = table;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT 1 FROM \"%1\" LIMIT 0").arg(quoted));
  }
  QStringList functions() const override { return {}; }

  bool outsideTransaction(const QSqlDatabase& db) const override {
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return false;
    sqlite3* h = *static_cast<sqlite3* const*>(v.constData());
    return h && sqlite3_get_autocommit(h) != 0;
  }

  // BEGIN IMMEDIATE would lock every attached content store as well, and a store
  // the transaction holds can no longer be detached to make room for the one it
  // needs next (more stores than attachment slots); a write to main that changes
  // nothing takes main's lock alone, and SQLite waits for it as for BEGIN
  // IMMEDIATE since nothing was read before it.
  bool beginWriter(const QSqlDatabase& db) const override {
    QSqlQuery q(db);
    const QString table =
        q.exec(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type='table' AND name NOT "
                              "LIKE 'sqlite\\_%' ESCAPE '\\' AND sql NOT LIKE 'CREATE VIRTUAL%' "
                              "LIMIT 1")) &&
                q.next()
            ? q.value(0).toString()
            : QString();
    q.finish();
    if (table.isEmpty()) return q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (!q.exec(QStringLiteral("BEGIN"))) return false;
    QString quoted = table;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    if (q.exec(QStringLiteral("DELETE FROM main.\"%1\" WHERE 0").arg(quoted))) return true;
    (void)q.exec(QStringLiteral("ROLLBACK"));
    return false;
  }
  void ended(const QSqlDatabase&) const override {}
  // The writing transaction holds the whole file already.
  Status takeTurn(const QSqlDatabase&, const QString&) const override { return {}; }
  Result<bool> tryHoldSchoolLock(const QSqlDatabase&, const QString&) const override {
    return true;
  }
  void releaseSchoolLock(const QSqlDatabase&, const QString&) const override {}

  // SQLite's own operators: no call into Derslik per row. A run of digits too
  // long for 64 bits reads as the largest integer, which is past kMaxNumber.
  QString largestNumberSql(const QString& table, const QString& col,
                           qsizetype prefixLength) const override {
    const QString digits = QStringLiteral("substr(%1,%2)").arg(col).arg(prefixLength + 1);
    return QStringLiteral(
               "SELECT MAX(CAST(%3 AS INTEGER)) FROM %1 WHERE %2 GLOB ? AND %3<>'' AND %3 "
               "NOT GLOB '*[^0-9]*'")
        .arg(table, col, digits);
  }
  QString prefixPattern(const QString& prefix) const override { return prefix + QLatin1Char('*'); }

  QString digestSql(const QString& expression) const override {
    return QStringLiteral("ICERIKOZETI(%1)").arg(expression);
  }
};

}  // namespace

const Dialect& sqliteDialect() {
  static const SqliteDialect dialect;
  return dialect;
}

QString Dialect::addColumnSql(const QString& table, const ColumnDef& column) const {
  return QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(table, columnSql(column));
}

const Dialect& dialectOf(const QSqlDatabase& db) {
  return db.driverName() == QLatin1String("QPSQL") ? postgresDialect() : sqliteDialect();
}

}  // namespace store
