#include "store/Sql.h"

#include <QSqlDriver>
#include <QSqlError>

#include <atomic>

#include "store/Dialect.h"
#include "store/ServerConnection.h"
#include "store/SqlErrors.h"
#include "store/Store.h"

namespace store {

namespace {
bool outermost(const QString& savepoint) { return savepoint.isEmpty(); }
}  // namespace

Result<QSqlQuery> exec(const QString& sql, const QVariantList& params, const QSqlDatabase& db) {
  if (!db.isOpen()) return Result<QSqlQuery>::failure(closedConnectionText(db));
  QSqlQuery q(db);
  q.setForwardOnly(true);
  const QString statement = dialectOf(db).prepare(sql);
  // Without values the statement runs as it is: the server prepares only
  // queries and changes of rows, not statements like CREATE or DROP.
  if (params.isEmpty()) {
    if (!q.exec(statement))
      return Result<QSqlQuery>::failure(statementErrorText(q.lastError(), db));
    return q;
  }
  if (!q.prepare(statement))
    return Result<QSqlQuery>::failure(statementErrorText(q.lastError(), db));
  for (const QVariant& p : params) q.addBindValue(p);
  if (!q.exec()) return Result<QSqlQuery>::failure(statementErrorText(q.lastError(), db));
  return q;
}

Status run(const QString& sql, const QVariantList& params, const QSqlDatabase& db) {
  Result<QSqlQuery> q = exec(sql, params, db);
  if (!q) return Status::failure(q.error());
  return {};
}

Result<QVariant> scalar(const QString& sql, const QVariantList& params, const QSqlDatabase& db) {
  Result<QSqlQuery> q = exec(sql, params, db);
  if (!q) return Result<QVariant>::failure(q.error());
  if (!q.value().next()) return QVariant();
  return q.value().value(0);
}

Result<QStringList> column(const QString& sql, const QVariantList& params, const QSqlDatabase& db) {
  Result<QSqlQuery> q = exec(sql, params, db);
  if (!q) return Result<QStringList>::failure(q.error());
  QStringList out;
  while (q.value().next()) out << q.value().value(0).toString();
  return out;
}

QVariantList texts(QVariantList values) {
  for (QVariant& v : values)
    if (v.typeId() == QMetaType::QString && v.toString().isNull()) v = QStringLiteral("");
  return values;
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

CaseMap caseMap(const QString& key, const QList<QPair<QString, QString>>& pairs,
                const QString& otherwise) {
  CaseMap c;
  c.sql = QStringLiteral("CASE ") + key;
  for (const QPair<QString, QString>& p : pairs) {
    c.sql += QStringLiteral(" WHEN ? THEN ?");
    c.values << texts({p.first, p.second});
  }
  c.sql += QStringLiteral(" ELSE ") + otherwise + QStringLiteral(" END");
  return c;
}

Transaction::Transaction(Store& store) : m_store(&store), m_db(store.db()) { begin(); }

Transaction::Transaction(const QSqlDatabase& db) : m_db(db) { begin(); }

void Transaction::begin() {
  static std::atomic<int> counter{0};
  // The store counts a transaction that failed to start as running too: until
  // it ends, none of its statements may reach a connection opened anew.
  if (m_store) m_store->beginChanges();
  if (!m_db.isOpen()) return;
  QSqlQuery q(m_db);
  // The outermost transaction (it has no savepoint name) takes the write lock at
  // once: a deferred one that has read and then wants to write cannot wait for
  // another writer (SQLite refuses it with "database is locked" at once), while
  // one that asks for the lock before anything else waits its turn through the
  // busy timeout. Nested ones are savepoints inside it.
  const Dialect& dialect = dialectOf(m_db);
  if (!dialect.outsideTransaction(m_db)) {
    m_name = QStringLiteral("sp%1").arg(++counter);
    m_active = q.exec(QStringLiteral("SAVEPOINT ") + m_name);
  } else {
    m_active = dialect.beginWriter(m_db);
  }
}

Transaction::~Transaction() { rollback(); }

Status Transaction::commit() {
  if (!m_active) {
    const QString error = notStartedText(m_db);
    rollback();
    return Status::failure(error);
  }
  QSqlQuery q(m_db);
  if (!q.exec(outermost(m_name) ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_name)) {
    const QString error = statementErrorText(q.lastError(), m_db);
    rollback();
    return Status::failure(error);
  }
  m_active = false;
  if (outermost(m_name)) dialectOf(m_db).ended(m_db);
  if (m_store) m_store->endChanges(true);
  m_store = nullptr;
  return {};
}

void Transaction::rollback() {
  if (!m_active) {
    if (m_store) m_store->endChanges(false);
    m_store = nullptr;
    return;
  }
  QSqlQuery q(m_db);
  if (outermost(m_name)) {
    (void)q.exec(QStringLiteral("ROLLBACK"));
  } else {
    (void)q.exec(QStringLiteral("ROLLBACK TO ") + m_name);
    (void)q.exec(QStringLiteral("RELEASE ") + m_name);
  }
  m_active = false;
  if (outermost(m_name)) dialectOf(m_db).ended(m_db);
  if (m_store) m_store->endChanges(false);
  m_store = nullptr;
}

}  // namespace store
