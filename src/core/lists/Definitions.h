#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "lists/DefinitionTemplates.h"

namespace store {
class Store;
}

namespace lists {

// The operations of the definition editor on its templates; each user action is
// one transaction. Names are stored exactly as given (the editor upper-cases them
// before it calls here).
class Definitions {
 public:
  explicit Definitions(store::Store& store, DefinitionTemplates templates = {})
      : m_store(store), m_templates(std::move(templates)) {}

  const DefinitionTemplates& templates() const { return m_templates; }
  void setTemplates(const DefinitionTemplates& t) { m_templates = t; }

  // The names of the select template, in its order.
  Result<QStringList> names() const;
  // True when the duplicate check finds a row for `name` (`oldName` fills @@@ESKI).
  Result<bool> exists(const QString& name, const QString& oldName = {}) const;
  Status add(const QString& name);
  // Renames every row of `oldName` (within the fixed conditions).
  Status rename(const QString& oldName, const QString& newName);
  // Deletes every name, all or none.
  Status remove(const QStringList& names);

 private:
  Status runBound(const QString& templ, const QString& yeni, const QString& eski);
  store::Store& m_store;
  DefinitionTemplates m_templates;
};

}  // namespace lists
