#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <vector>

#include "Result.h"

struct sqlite3;

namespace lists {

// How a list column is matched by its filter box and how it sorts.
enum class ColumnKind {
  Text,    // words, case folded the Turkish way; Turkish collation (numbers in text by value)
  Number,  // the value typed; numeric order
  Date,    // one day (dd.MM.yyyy); chronological order
};

// The in-memory result of one SQL statement: what a list shows, filters and sorts
// without asking the database again. Columns are stored apart (column-major) so a
// filter or a sort touches only the columns it needs; the Turkish folded text and
// the sort order of a column are worked out the first time they are needed and
// kept until the next load.
class TableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TableModel(QObject* parent = nullptr);

  // Runs `sql` with bound `params` and keeps every row. A column is a number
  // column when the database returns numbers for it, a date column when every
  // non-empty value is a dd.MM.yyyy date; `kinds` overrides that per column name.
  Status load(const QSqlDatabase& db, const QString& sql, const QVariantList& params = {},
              const QHash<QString, ColumnKind>& kinds = {});
  void clear();

  int rows() const { return m_rowCount; }
  int columns() const { return int(m_names.size()); }
  const QStringList& columnNames() const { return m_names; }
  // Column by result-set name, without regard to case; -1 when absent.
  int columnIndex(const QString& name) const;
  ColumnKind kind(int column) const { return m_kinds[size_t(column)]; }

  const QString& text(int row, int column) const { return m_text[size_t(column)][size_t(row)]; }
  // NaN when the cell holds no number.
  double number(int row, int column) const;
  // Julian day of the cell's date, 0 when it holds none.
  qint64 day(int row, int column) const;
  // The cell text in Turkish folded form (filled on first use).
  const std::vector<QString>& folded(int column) const;
  // The place of every row when the column is sorted ascending; equal values share
  // a place (filled on first use).
  const std::vector<int>& sortRank(int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  Status loadSqlite(sqlite3* handle, const QString& sql, const QVariantList& params,
                    const QHash<QString, ColumnKind>& kinds);
  void resetColumns(const QStringList& names);
  void inferKinds(const std::vector<bool>& numericValues, const QHash<QString, ColumnKind>& kinds);

  QStringList m_names;
  int m_rowCount = 0;
  std::vector<ColumnKind> m_kinds;
  std::vector<std::vector<QString>> m_text;
  std::vector<std::vector<double>> m_number;  // filled for number columns only
  std::vector<std::vector<qint64>> m_day;     // filled for date columns only
  mutable std::vector<std::vector<QString>> m_folded;
  mutable std::vector<std::vector<int>> m_rank;
};

// Reads "dd.MM.yyyy" (also d.M.yyyy, with '.', '/' or '-', optionally followed by a
// time); 0 when the text is no valid date, else the Julian day.
qint64 parseDay(QStringView text);

}  // namespace lists
