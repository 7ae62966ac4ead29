#include "store/Sql.h"

#include <QSqlError>

#include <atomic>

namespace store {

namespace {
// What reaches the user: Turkish words, the database's own text in parentheses.
QString failureText(const QSqlQuery& q) {
  return QStringLiteral("Veritabanı işlemi yapılamadı (%1)").arg(q.lastError().text().trimmed());
}
}  // namespace

Result<QSqlQuery> exec(const QString& sql, const QVariantList& params, const QSqlDatabase& db) {
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!q.prepare(sql)) return Result<QSqlQuery>::failure(failureText(q));
  for (const QVariant& p : params) q.addBindValue(p);
  if (!q.exec()) return Result<QSqlQuery>::failure(failureText(q));
  return q;
}

Status run(const QString& sql, const QVariantList& params, const QSqlDatabase& db) {
  Result<QSqlQuery> q = exec(sql, params, db);
  if (!q) return Status::failure(q.error());
  return {};
}

QVariant scalar(const QString& sql, const QVariantList& params, const QVariant& fallback,
                const QSqlDatabase& db) {
  Result<QSqlQuery> q = exec(sql, params, db);
  if (!q || !q.value().next()) return fallback;
  return q.value().value(0);
}

QStringList column(const QString& sql, const QVariantList& params, const QSqlDatabase& db) {
  QStringList out;
  Result<QSqlQuery> q = exec(sql, params, db);
  if (!q) return out;
  while (q.value().next()) out << q.value().value(0).toString();
  return out;
}

InList inList(const QStringList& values) {
  InList list;
  if (values.isEmpty()) {
    list.placeholders = QStringLiteral("NULL");
    return list;
  }
  QStringList marks;
  marks.reserve(values.size());
  for (const QString& v : values) {
    marks << QStringLiteral("?");
    list.values << v;
  }
  list.placeholders = marks.join(QLatin1Char(','));
  return list;
}

Transaction::Transaction(const QSqlDatabase& db) : m_db(db) {
  static std::atomic<int> counter{0};
  m_name = QStringLiteral("sp%1").arg(++counter);
  QSqlQuery q(m_db);
  m_active = q.exec(QStringLiteral("SAVEPOINT ") + m_name);
}

Transaction::~Transaction() { rollback(); }

Status Transaction::commit() {
  if (!m_active) return Status::failure(QStringLiteral("İşlem başlatılamadı."));
  QSqlQuery q(m_db);
  if (!q.exec(QStringLiteral("RELEASE ") + m_name)) {
    const QString error = failureText(q);
    rollback();
    return Status::failure(error);
  }
  m_active = false;
  return {};
}

void Transaction::rollback() {
  if (!m_active) return;
  QSqlQuery q(m_db);
  (void)q.exec(QStringLiteral("ROLLBACK TO ") + m_name);
  (void)q.exec(QStringLiteral("RELEASE ") + m_name);
  m_active = false;
}

}  // namespace store
