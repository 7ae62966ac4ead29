#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include "Result.h"
#include "store/Database.h"

namespace store {

// Every value that comes from a user goes into SQL as a bound parameter ("?").
// These helpers run one statement on a connection (the shared one by default).

// Runs a statement; on success the query is positioned before its first row.
Result<QSqlQuery> exec(const QString& sql, const QVariantList& params = {},
                       const QSqlDatabase& db = connection());
// Runs a statement that returns no rows.
Status run(const QString& sql, const QVariantList& params = {},
           const QSqlDatabase& db = connection());
// First column of the first row; `fallback` when there is no row or on error.
QVariant scalar(const QString& sql, const QVariantList& params = {}, const QVariant& fallback = {},
                const QSqlDatabase& db = connection());
// Every row's first column as text (null read as empty text).
QStringList column(const QString& sql, const QVariantList& params = {},
                   const QSqlDatabase& db = connection());

// For "... IN (" + list.placeholders + ")": one "?" per value. An empty list
// gives "NULL", so "x IN (NULL)" matches nothing instead of being a syntax error.
struct InList {
  QString placeholders;
  QVariantList values;
};
InList inList(const QStringList& values);

// One user action, applied whole or not at all. Nests (savepoints), so a core
// operation can open its own transaction inside the caller's. Rolls back unless
// commit() succeeded.
class Transaction {
 public:
  explicit Transaction(const QSqlDatabase& db = connection());
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool active() const { return m_active; }
  Status commit();
  void rollback();

 private:
  QSqlDatabase m_db;
  QString m_name;
  bool m_active = false;
};

}  // namespace store
