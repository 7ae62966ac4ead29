#pragma once

#include <QAbstractProxyModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

#include "lists/TableModel.h"

namespace lists {

// What a list shows of its TableModel: the grid columns of the layout (each a
// result column, or -1 for a layout slot whose column the result lacks), and the
// rows that pass the filter boxes, in the chosen sort order. Filtering and sorting
// work on the rows in memory; a change resets the model once.
class FilterProxy : public QAbstractProxyModel {
  Q_OBJECT
 public:
  struct GridColumn {
    int source = -1;
    QString caption;
  };

  explicit FilterProxy(QObject* parent = nullptr);

  void setTableModel(TableModel* model);
  TableModel* tableModel() const { return m_model; }

  // Sets the grid columns; clears the sort and the filter texts, shows every row.
  void setColumns(const QList<GridColumn>& columns);
  const QList<GridColumn>& gridColumns() const { return m_columns; }

  // One text per grid column (missing entries are empty); takes effect at refilter().
  void setFilterTexts(const QStringList& texts);
  const QStringList& filterTexts() const { return m_filterTexts; }
  void refilter();

  // Sorts on a grid column (stable: equal values keep the result order); -1 = result order.
  void sortByColumn(int gridColumn, Qt::SortOrder order);
  int sortColumn() const { return m_sortColumn; }
  Qt::SortOrder sortOrder() const { return m_sortOrder; }

  int sourceRow(int proxyRow) const { return m_rows[size_t(proxyRow)]; }
  // -1 when the row is filtered out.
  int proxyRow(int sourceRow) const;
  const std::vector<int>& visibleRows() const { return m_rows; }

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
  QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // A new result: its columns, filters and order are set again by the owner.
  void forgetColumns();
  void rebuildRows();

  TableModel* m_model = nullptr;
  QList<GridColumn> m_columns;
  QStringList m_filterTexts;
  int m_sortColumn = -1;
  Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
  std::vector<int> m_order;  // every source row in sort order (empty = result order)
  std::vector<int> m_rows;   // the visible ones
  mutable std::vector<int> m_inverse;
};

}  // namespace lists
