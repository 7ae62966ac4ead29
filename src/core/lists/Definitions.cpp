#include "lists/Definitions.h"

#include <QSqlQuery>

#include "store/Sql.h"

namespace lists {

namespace {

Status runBound(const QString& templ, const QString& yeni, const QString& eski) {
  const BoundSql b = bindMarkers(templ, yeni, eski);
  return store::run(b.sql, b.params);
}

}  // namespace

Result<QStringList> Definitions::names() const {
  const BoundSql b = bindMarkers(m_templates.select, {}, {});
  Result<QSqlQuery> q = store::exec(b.sql, b.params);
  if (!q) return Result<QStringList>::failure(q.error());
  QStringList out;
  while (q.value().next()) out << q.value().value(0).toString();
  return out;
}

Result<bool> Definitions::exists(const QString& name, const QString& oldName) const {
  const BoundSql b = bindMarkers(m_templates.duplicate, name, oldName);
  Result<QSqlQuery> q = store::exec(b.sql, b.params);
  if (!q) return Result<bool>::failure(q.error());
  return q.value().next();
}

Status Definitions::add(const QString& name) {
  store::Transaction tx;
  if (Status s = runBound(m_templates.insert, name, {}); !s) return s;
  return tx.commit();
}

Status Definitions::rename(const QString& oldName, const QString& newName) {
  store::Transaction tx;
  if (Status s = runBound(m_templates.update, newName, oldName); !s) return s;
  return tx.commit();
}

Status Definitions::remove(const QStringList& names) {
  store::Transaction tx;
  for (const QString& name : names)
    if (Status s = runBound(m_templates.remove, {}, name); !s) return s;
  return tx.commit();
}

}  // namespace lists
