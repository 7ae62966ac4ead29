#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

#include "Result.h"

namespace exchange {

class PackageDatabase;

// The text columns of one table of a package from elsewhere, read and checked
// before anything is written: every value must be text or a number (a blob in a
// text column refuses the file), no longer than its column allows (maxChars()),
// the key column present and non-empty in every row, at most `maxRows` rows.
// Columns the package lacks read as empty texts (older files carry fewer).
class PackageRecord {
 public:
  QString key;
  QString value(const QString& column) const {
    const qsizetype i = m_columns ? m_columns->indexOf(column) : -1;
    return i < 0 ? QString() : m_values.value(i);
  }

 private:
  friend class PackageTable;
  // The columns are shared by every record of a table; equal values share
  // their text (a level or a course repeats on every row).
  std::shared_ptr<const QStringList> m_columns;
  QStringList m_values;
};

// The columns of a main table that a package carries into it: every column of
// the table but the autonumber ID and `except`.
QStringList carriedColumns(const QString& table, const QStringList& except);

class PackageTable {
 public:
  static constexpr int kMaxText = 65536;
  static constexpr int kMaxKey = 64;
  // A name (level, course, unit, test, author ...) and every other short field.
  static constexpr int kMaxName = 255;

  // The longest value `column` may hold, in characters: a name kMaxName, an
  // answer key one letter, the text of a question and a note kMaxText.
  static int maxChars(const QString& column);

  // Fails when the table is missing (or is no ordinary table) or lacks one of
  // `required`.
  static Result<PackageTable> open(PackageDatabase& package, const QString& table,
                                   const QStringList& required);

  bool has(const QString& column) const { return m_columns.contains(column); }

  // The rows in the order of their keys' numeric value (a key without a leading
  // number counts as 0), file order among equals. `keyColumn` must be one of
  // `required`.
  // Nothing is read before the rows are counted, the values measured against
  // their columns' limits and their bytes taken from the package's budget.
  Result<QList<PackageRecord>> read(const QString& keyColumn, const QStringList& columns,
                                    int maxRows) const;
  // Those checks alone, for a reader of its own: `columns` must be present.
  Status checkSize(const QString& keyColumn, const QStringList& columns, int maxRows) const;

 private:
  PackageTable(PackageDatabase& package, QString table, QStringList columns)
      : m_package(&package), m_table(std::move(table)), m_columns(std::move(columns)) {}
  PackageDatabase* m_package;
  QString m_table;
  QStringList m_columns;
};

}  // namespace exchange
