#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>

#include "Result.h"

struct sqlite3_stmt;
class QSqlQuery;

namespace reports {

// Reads a long result (the ranking's 200,000 result rows, a test's answers over
// a hundred runs) straight from SQLite, cell by cell, without a QVariant per cell:
// QSqlQuery spends more on the wrapping than the database on the query. For the
// reports' bulk reads only; everything else uses store::Store::exec. On the
// school's server the rows come through the driver, converted as SQLite would.
class BulkRow {
 public:
  explicit BulkRow(sqlite3_stmt* statement) : m_statement(statement) {}
  explicit BulkRow(const QSqlQuery* query) : m_query(query) {}
  QString text(int column) const;
  // The cell's UTF-8 bytes, valid until the next row: for comparing without a copy.
  QByteArrayView bytes(int column) const;
  // SQLite's own conversion of the stored text: "4.67" is 4.67, "" is 0.
  double number(int column) const;
  qint64 integer(int column) const;

 private:
  sqlite3_stmt* m_statement = nullptr;
  const QSqlQuery* m_query = nullptr;
  mutable QHash<int, QByteArray> m_bytes;  // bytes() of this row, from the driver
};

// Runs `sql` with `params` bound in order and calls `row` for every result row.
Status forEachRow(const QSqlDatabase& db, const QString& sql, const QVariantList& params,
                  const std::function<void(const BulkRow&)>& row);

}  // namespace reports
