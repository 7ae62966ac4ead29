#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include "Result.h"

namespace store {

class Store;

// Every value that comes from a user goes into SQL as a bound parameter ("?").
// These helpers run one statement on a connection; the main connection's own are
// the members of the same names on store::Store (store.run(sql, params)). A closed
// connection is an error ("Veritabanı bağlantısı kapalı."), never opened again here.

// Runs a statement; on success the query is positioned before its first row.
Result<QSqlQuery> exec(const QString& sql, const QVariantList& params, const QSqlDatabase& db);
// Runs a statement that returns no rows.
Status run(const QString& sql, const QVariantList& params, const QSqlDatabase& db);
// First column of the first row; a null QVariant when there is no row.
Result<QVariant> scalar(const QString& sql, const QVariantList& params, const QSqlDatabase& db);
// Every row's first column as text (null read as empty text).
Result<QStringList> column(const QString& sql, const QVariantList& params, const QSqlDatabase& db);

// Stored values are text, never NULL: a QString that was never set would be bound
// as NULL, so the values of an insert or update pass through here and such a
// string goes in as ''.
QVariantList texts(QVariantList values);

// A statement for a grid or list: SQL text with "?" placeholders and the values
// bound to them in order (user values never become SQL text). Core builds them, a
// grid (Sliste) runs them.
struct Query {
  QString sql;
  QVariantList params;
};

// For "... IN (" + list.placeholders + ")": one "?" per value. An empty list
// gives "NULL", so "x IN (NULL)" matches nothing instead of being a syntax error.
struct InList {
  QString placeholders;
  QVariantList values;
};
InList inList(const QStringList& values);

// "CASE key WHEN ? THEN ? ... ELSE otherwise END" with the pairs bound in order:
// one statement gives many rows each its own value (a rank per remote ...) in a
// single pass over them, where a statement per key would scan them again and again.
struct CaseMap {
  QString sql;
  QVariantList values;
};
CaseMap caseMap(const QString& key, const QList<QPair<QString, QString>>& pairs,
                const QString& otherwise);

// One user action, applied whole or not at all. Nests (savepoints), so a core
// operation can open its own transaction inside the caller's. Rolls back unless
// commit() succeeded. On the main connection (Transaction(store)) the change
// signals raised inside it (store.changed(...)) are sent when the outermost
// transaction commits, and dropped when it rolls back.
class Transaction {
 public:
  explicit Transaction(Store& store);
  explicit Transaction(const QSqlDatabase& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool active() const { return m_active; }
  Status commit();
  void rollback();

 private:
  void begin();
  Store* m_store = nullptr;
  QSqlDatabase m_db;
  QString m_name;
  bool m_active = false;
};

}  // namespace store
