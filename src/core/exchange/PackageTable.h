#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"

namespace exchange {

class PackageDatabase;

// The text columns of one table of a package from elsewhere, read and checked
// before anything is written: every value must be text or a number (a blob in a
// text column refuses the file), at most kMaxText characters, the key column
// present and non-empty in every row, at most `maxRows` rows. Columns the
// package lacks read as empty texts (older files carry fewer).
struct PackageRecord {
  QString key;
  QHash<QString, QString> values;  // column -> value
  QString value(const QString& column) const { return values.value(column); }
};

// The columns of a main table that a package carries into it: every column of
// the table but the autonumber ID and `except`.
QStringList carriedColumns(const QString& table, const QStringList& except);

class PackageTable {
 public:
  static constexpr int kMaxText = 65536;
  static constexpr int kMaxKey = 64;

  // Fails when the table is missing (or is no ordinary table) or lacks one of
  // `required`.
  static Result<PackageTable> open(PackageDatabase& package, const QString& table,
                                   const QStringList& required);

  bool has(const QString& column) const { return m_columns.contains(column); }

  // The rows in the order of their keys' numeric value (a key without a leading
  // number counts as 0), file order among equals. `keyColumn` must be one of
  // `required`.
  Result<QList<PackageRecord>> read(const QString& keyColumn, const QStringList& columns,
                                    int maxRows) const;

 private:
  PackageTable(PackageDatabase& package, QString table, QStringList columns)
      : m_package(&package), m_table(std::move(table)), m_columns(std::move(columns)) {}
  PackageDatabase* m_package;
  QString m_table;
  QStringList m_columns;
};

}  // namespace exchange
