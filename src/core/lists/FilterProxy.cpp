#include "lists/FilterProxy.h"

#include <algorithm>
#include <numeric>

#include "lists/RowFilter.h"

namespace lists {

FilterProxy::FilterProxy(QObject* parent) : QAbstractProxyModel(parent) {}

void FilterProxy::setTableModel(TableModel* model) {
  beginResetModel();
  if (m_model) disconnect(m_model, nullptr, this, nullptr);
  m_model = model;
  QAbstractProxyModel::setSourceModel(model);
  if (m_model) {
    // A new result invalidates the grid columns: the owner sets them again.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
      forgetColumns();
      endResetModel();
    });
  }
  forgetColumns();
  endResetModel();
}

void FilterProxy::forgetColumns() {
  m_columns.clear();
  m_filterTexts.clear();
  m_sortColumn = -1;
  m_order.clear();
  rebuildRows();
}

void FilterProxy::setColumns(const QList<GridColumn>& columns) {
  beginResetModel();
  m_columns = columns;
  m_filterTexts = QStringList(columns.size());
  m_sortColumn = -1;
  m_order.clear();
  rebuildRows();
  endResetModel();
}

void FilterProxy::setFilterTexts(const QStringList& texts) {
  m_filterTexts = texts;
  m_filterTexts.resize(m_columns.size());
}

void FilterProxy::refilter() {
  beginResetModel();
  rebuildRows();
  endResetModel();
}

void FilterProxy::sortByColumn(int gridColumn, Qt::SortOrder order) {
  beginResetModel();
  m_order.clear();
  m_sortColumn = -1;
  const int source =
      gridColumn >= 0 && gridColumn < m_columns.size() ? m_columns.at(gridColumn).source : -1;
  if (m_model && source >= 0) {
    m_sortColumn = gridColumn;
    m_sortOrder = order;
    const std::vector<int>& rank = m_model->sortRank(source);
    m_order.resize(size_t(m_model->rows()));
    std::iota(m_order.begin(), m_order.end(), 0);
    if (order == Qt::AscendingOrder)
      std::stable_sort(m_order.begin(), m_order.end(),
                       [&](int a, int b) { return rank[size_t(a)] < rank[size_t(b)]; });
    else
      std::stable_sort(m_order.begin(), m_order.end(),
                       [&](int a, int b) { return rank[size_t(a)] > rank[size_t(b)]; });
  }
  rebuildRows();
  endResetModel();
}

void FilterProxy::rebuildRows() {
  m_rows.clear();
  m_inverse.clear();
  if (!m_model) return;
  QList<RowFilter::Box> boxes;
  for (int i = 0; i < m_columns.size() && i < m_filterTexts.size(); ++i)
    if (!m_filterTexts.at(i).trimmed().isEmpty())
      boxes.append({m_columns.at(i).source, m_filterTexts.at(i)});
  const RowFilter filter(*m_model, boxes);
  const int n = m_model->rows();
  m_rows.reserve(size_t(n));
  if (m_order.empty()) {
    for (int r = 0; r < n; ++r)
      if (filter.isEmpty() || filter.accepts(r)) m_rows.push_back(r);
  } else {
    for (int r : m_order)
      if (filter.isEmpty() || filter.accepts(r)) m_rows.push_back(r);
  }
}

int FilterProxy::proxyRow(int sourceRow) const {
  if (!m_model || sourceRow < 0 || sourceRow >= m_model->rows()) return -1;
  if (m_inverse.empty()) {
    m_inverse.assign(size_t(m_model->rows()), -1);
    for (size_t i = 0; i < m_rows.size(); ++i) m_inverse[size_t(m_rows[i])] = int(i);
  }
  return m_inverse[size_t(sourceRow)];
}

QModelIndex FilterProxy::index(int row, int column, const QModelIndex& parent) const {
  if (parent.isValid() || row < 0 || column < 0 || row >= int(m_rows.size()) ||
      column >= m_columns.size())
    return {};
  return createIndex(row, column);
}

QModelIndex FilterProxy::parent(const QModelIndex&) const { return {}; }

int FilterProxy::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(m_rows.size());
}

int FilterProxy::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(m_columns.size());
}

QModelIndex FilterProxy::mapToSource(const QModelIndex& proxyIndex) const {
  if (!m_model || !proxyIndex.isValid() || proxyIndex.row() >= int(m_rows.size())) return {};
  const int source = m_columns.value(proxyIndex.column()).source;
  if (source < 0) return {};
  return m_model->index(m_rows[size_t(proxyIndex.row())], source);
}

QModelIndex FilterProxy::mapFromSource(const QModelIndex& sourceIndex) const {
  if (!sourceIndex.isValid()) return {};
  const int row = proxyRow(sourceIndex.row());
  if (row < 0) return {};
  for (int c = 0; c < m_columns.size(); ++c)
    if (m_columns.at(c).source == sourceIndex.column()) return index(row, c);
  return {};
}

QVariant FilterProxy::data(const QModelIndex& index, int role) const {
  if (!m_model || !index.isValid() || index.row() >= int(m_rows.size())) return {};
  const int source = m_columns.value(index.column()).source;
  if (source < 0) return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
  const int row = m_rows[size_t(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return m_model->text(row, source);
    case Qt::TextAlignmentRole:
      if (m_model->kind(source) == ColumnKind::Number)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
      return {};
    default:
      return {};
  }
}

QVariant FilterProxy::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal)
    return section < m_columns.size() ? m_columns.at(section).caption : QVariant();
  return section + 1;
}

Qt::ItemFlags FilterProxy::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace lists
