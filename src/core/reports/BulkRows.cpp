#include "reports/BulkRows.h"

#include <QSqlDriver>

#include <sqlite3.h>

#include "store/SqlErrors.h"

namespace reports {

namespace {

QString sqliteError(sqlite3* h) {
  return store::sqliteErrorText(sqlite3_extended_errcode(h), QString::fromUtf8(sqlite3_errmsg(h)));
}

}  // namespace

QString BulkRow::text(int column) const {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column)) : QString();
}

QByteArrayView BulkRow::bytes(int column) const {
  const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return data ? QByteArrayView(data, sqlite3_column_bytes(m_statement, column)) : QByteArrayView();
}

double BulkRow::number(int column) const { return sqlite3_column_double(m_statement, column); }

qint64 BulkRow::integer(int column) const { return sqlite3_column_int64(m_statement, column); }

Status forEachRow(const QSqlDatabase& db, const QString& sql, const QVariantList& params,
                  const std::function<void(const BulkRow&)>& row) {
  if (!db.isOpen()) return Status::failure(QStringLiteral("Veritabanı bağlantısı kapalı."));
  const QVariant handle = db.driver()->handle();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
    return Status::failure(QStringLiteral("Veritabanı bağlantısı SQLite değil."));
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
