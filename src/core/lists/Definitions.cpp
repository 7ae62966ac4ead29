#include "lists/Definitions.h"

#include <QSqlQuery>

#include "store/Store.h"

namespace lists {

Status Definitions::runBound(const QString& templ, const QString& yeni, const QString& eski) {
  const BoundSql b = bindMarkers(templ, yeni, eski);
  return m_store.run(b.sql, b.params);
}

Result<QStringList> Definitions::names() const {
  const BoundSql b = bindMarkers(m_templates.select, {}, {});
  Result<QSqlQuery> q = m_store.exec(b.sql, b.params);
  if (!q) return Result<QStringList>::failure(q.error());
  QStringList out;
  while (q.value().next()) out << q.value().value(0).toString();
  return out;
}

Result<bool> Definitions::exists(const QString& name, const QString& oldName) const {
  const BoundSql b = bindMarkers(m_templates.duplicate, name, oldName);
  Result<QSqlQuery> q = m_store.exec(b.sql, b.params);
  if (!q) return Result<bool>::failure(q.error());
  return q.value().next();
}

Status Definitions::add(const QString& name) {
  store::Transaction tx(m_store);
  if (Status s = runBound(m_templates.insert, name, {}); !s) return s;
  m_store.changed(store::Change::Lists);
  return tx.commit();
}

Status Definitions::rename(const QString& oldName, const QString& newName) {
  store::Transaction tx(m_store);
  if (Status s = runBound(m_templates.update, newName, oldName); !s) return s;
  m_store.changed(store::Change::Lists);
  return tx.commit();
}

Status Definitions::remove(const QStringList& names) {
  store::Transaction tx(m_store);
  for (const QString& name : names)
    if (Status s = runBound(m_templates.remove, {}, name); !s) return s;
  m_store.changed(store::Change::Lists);
  return tx.commit();
}

}  // namespace lists
