#include "reports/BulkRows.h"

#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

#include "store/Dialect.h"
#include "store/ServerConnection.h"
#include "store/SqlErrors.h"
#include "store/SqlFunctions.h"

namespace reports {

namespace {

QString sqliteError(sqlite3* h) {
  return store::sqliteErrorText(sqlite3_extended_errcode(h), QString::fromUtf8(sqlite3_errmsg(h)));
}

// The server's way: the same statement through the driver, one row at a time.
Status forEachDriverRow(const QSqlDatabase& db, const QString& sql, const QVariantList& params,
                        const std::function<void(const BulkRow&)>& row) {
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!q.prepare(store::dialectOf(db).prepare(sql)))
    return Status::failure(store::queryErrorText(q));
  for (const QVariant& p : params) q.addBindValue(p);
  if (!q.exec()) return Status::failure(store::queryErrorText(q));
  while (q.next()) row(BulkRow(&q));
  if (q.lastError().isValid()) return Status::failure(store::queryErrorText(q));
  return {};
}

}  // namespace

QString BulkRow::text(int column) const {
  if (m_query) return m_query->value(column).toString();
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column)) : QString();
}

QByteArrayView BulkRow::bytes(int column) const {
  if (m_query) {
    auto it = m_bytes.find(column);
    if (it == m_bytes.end())
      it = m_bytes.insert(column, m_query->value(column).toString().toUtf8());
    return *it;
  }
  const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return data ? QByteArrayView(data, sqlite3_column_bytes(m_statement, column)) : QByteArrayView();
}

double BulkRow::number(int column) const {
  if (m_query) {
    // Stored numbers are texts, read as VAL reads them (as SQLite does here);
    // the server's own sums and counts come as numbers.
    const QVariant v = m_query->value(column);
    return v.typeId() == QMetaType::QString ? store::jetVal(v.toString()) : v.toDouble();
  }
  return sqlite3_column_double(m_statement, column);
}

qint64 BulkRow::integer(int column) const {
  if (m_query) return qint64(number(column));
  return sqlite3_column_int64(m_statement, column);
}

Status forEachRow(const QSqlDatabase& db, const QString& sql, const QVariantList& params,
                  const std::function<void(const BulkRow&)>& row) {
  if (!db.isOpen()) return Status::failure(store::closedConnectionText(db));
  const QVariant handle = db.driver()->handle();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
    return forEachDriverRow(db, sql, params, row);
  sqlite3* h = *static_cast<sqlite3* const*>(handle.constData());
  sqlite3_stmt* stmt = nullptr;
  const QByteArray text = sql.toUtf8();
  if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
    return Status::failure(sqliteError(h));
  struct Finalize {
    sqlite3_stmt* s;
    ~Finalize() { sqlite3_finalize(s); }
  } finalize{stmt};
  for (int i = 0; i < int(params.size()); ++i) {
    const QVariant& p = params.at(i);
    int rc = SQLITE_OK;
    if (p.typeId() == QMetaType::Int || p.typeId() == QMetaType::LongLong) {
      rc = sqlite3_bind_int64(stmt, i + 1, p.toLongLong());
    } else {
      const QByteArray v = p.toString().toUtf8();
      rc = sqlite3_bind_text(stmt, i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) return Status::failure(sqliteError(h));
  }
  const BulkRow current(stmt);
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) row(current);
  if (rc != SQLITE_DONE) return Status::failure(sqliteError(h));
  return {};
}

}  // namespace reports
