#include "lists/TableModel.h"

#include <QCollator>
#include <QDate>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include <sqlite3.h>

#include "lists/TurkishText.h"
#include "store/Dialect.h"
#include "store/ServerConnection.h"
#include "store/SqlErrors.h"
#include "store/SqlFunctions.h"

namespace lists {

namespace {

bool isNumericType(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
      return true;
    default:
      return false;
  }
}

// Reads up to `maxDigits` digits at `i`; -1 when none.
int readNumber(QStringView t, qsizetype& i, int maxDigits) {
  int value = 0;
  int digits = 0;
  while (i < t.size() && digits < maxDigits && t[i].isDigit()) {
    value = value * 10 + t[i].digitValue();
    ++i;
    ++digits;
  }
  return digits ? value : -1;
}

bool isDateSeparator(QChar c) { return c == u'.' || c == u'/' || c == u'-'; }

double toNumber(const QString& text) {
  if (text.isEmpty() || !store::jetIsNumeric(text)) return std::numeric_limits<double>::quiet_NaN();
  bool ok = false;
  const double d =
      QString(text).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
  return ok ? d : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

qint64 parseDay(QStringView text) {
  const QStringView t = text.trimmed();
  qsizetype i = 0;
  const int d = readNumber(t, i, 2);
  if (d < 0 || i >= t.size() || !isDateSeparator(t[i])) return 0;
  const QChar sep = t[i++];
  const int m = readNumber(t, i, 2);
  if (m < 0 || i >= t.size() || t[i] != sep) return 0;
  ++i;
  const qsizetype yearStart = i;
  const int y = readNumber(t, i, 4);
  if (y < 0 || i - yearStart != 4) return 0;
  if (i < t.size() && t[i] != u' ') return 0;  // a time may follow after a blank
  const QDate date(y, m, d);
  return date.isValid() ? date.toJulianDay() : 0;
}

TableModel::TableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TableModel::clear() {
  beginResetModel();
  m_names.clear();
  m_rowCount = 0;
  m_kinds.clear();
  m_text.clear();
  m_number.clear();
  m_day.clear();
  m_folded.clear();
  m_rank.clear();
  endResetModel();
}

Status TableModel::load(const QSqlDatabase& conn, const QString& sql, const QVariantList& params,
                        const QHash<QString, ColumnKind>& kinds) {
  if (!conn.isOpen()) return Status::failure(store::closedConnectionText(conn));
  const QVariant handle = conn.driver() ? conn.driver()->handle() : QVariant();
  if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
    return loadSqlite(*static_cast<sqlite3* const*>(handle.constData()), sql, params, kinds);

  QSqlQuery q(conn);
  q.setForwardOnly(true);
  if (!q.prepare(store::dialectOf(conn).prepare(sql)))
    return Status::failure(store::queryErrorText(q));
  for (const QVariant& p : params) q.addBindValue(p);
  if (!q.exec()) return Status::failure(store::queryErrorText(q));

  beginResetModel();
  const QSqlRecord rec = q.record();
  QStringList names;
  for (int c = 0; c < rec.count(); ++c) names << rec.fieldName(c);
  resetColumns(names);
  const int cols = int(names.size());
  // A column stays "numeric" while every non-null value the database gives is a number.
  std::vector<bool> numeric(size_t(cols), true);
  std::vector<bool> anyValue(size_t(cols), false);
  int rowCount = 0;
  while (q.next()) {
    for (int c = 0; c < cols; ++c) {
      const QVariant v = q.value(c);
      auto& column = m_text[size_t(c)];
      if (v.isNull()) {
        column.emplace_back();
        continue;
      }
      anyValue[size_t(c)] = true;
      if (numeric[size_t(c)] && !isNumericType(v)) numeric[size_t(c)] = false;
      column.push_back(v.toString());
    }
    ++rowCount;
  }
  m_rowCount = rowCount;
  for (int c = 0; c < cols; ++c) numeric[size_t(c)] = numeric[size_t(c)] && anyValue[size_t(c)];
  inferKinds(numeric, kinds);
  endResetModel();
  return {};
}

// The same read straight from SQLite: a list of 100,000 rows is read cell by cell
// without a QVariant per cell, which halves the time of a fill.
Status TableModel::loadSqlite(sqlite3* h, const QString& sql, const QVariantList& params,
                              const QHash<QString, ColumnKind>& kinds) {
  sqlite3_stmt* stmt = nullptr;
  const QByteArray text = sql.toUtf8();
  if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
    return Status::failure(QString::fromUtf8(sqlite3_errmsg(h)));
  struct Finalize {
    sqlite3_stmt* s;
    ~Finalize() { sqlite3_finalize(s); }
  } finalize{stmt};
  if (sqlite3_bind_parameter_count(stmt) != int(params.size()))
    return Status::failure(QStringLiteral("Parameter count mismatch"));
  for (int i = 0; i < int(params.size()); ++i) {
    const QVariant& p = params.at(i);
    int rc = SQLITE_OK;
    if (p.isNull()) {
      rc = sqlite3_bind_null(stmt, i + 1);
    } else if (p.typeId() == QMetaType::Double) {
      rc = sqlite3_bind_double(stmt, i + 1, p.toDouble());
    } else if (isNumericType(p) || p.typeId() == QMetaType::Bool) {
      rc = sqlite3_bind_int64(stmt, i + 1, p.toLongLong());
    } else {
      const QByteArray v = p.toString().toUtf8();
      rc = sqlite3_bind_text(stmt, i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) return Status::failure(QString::fromUtf8(sqlite3_errmsg(h)));
  }
  const int cols = sqlite3_column_count(stmt);
  QStringList names;
  for (int c = 0; c < cols; ++c) names << QString::fromUtf8(sqlite3_column_name(stmt, c));

  std::vector<std::vector<QString>> columns(static_cast<size_t>(cols));
  std::vector<bool> numeric(size_t(cols), true);
  std::vector<bool> anyValue(size_t(cols), false);
  int rowCount = 0;
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    for (int c = 0; c < cols; ++c) {
      auto& column = columns[size_t(c)];
      const int type = sqlite3_column_type(stmt, c);
      if (type == SQLITE_NULL) {
        column.emplace_back();
        continue;
      }
      anyValue[size_t(c)] = true;
      if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) numeric[size_t(c)] = false;
      const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
      column.push_back(QString::fromUtf8(bytes, sqlite3_column_bytes(stmt, c)));
    }
    ++rowCount;
  }
  if (rc != SQLITE_DONE) return Status::failure(QString::fromUtf8(sqlite3_errmsg(h)));

  beginResetModel();
  resetColumns(names);
  m_text = std::move(columns);
  m_rowCount = rowCount;
  for (int c = 0; c < cols; ++c) numeric[size_t(c)] = numeric[size_t(c)] && anyValue[size_t(c)];
  inferKinds(numeric, kinds);
  endResetModel();
  return {};
}

void TableModel::resetColumns(const QStringList& names) {
  const size_t cols = size_t(names.size());
  m_names = names;
  m_rowCount = 0;
  m_text.assign(cols, {});
  m_number.assign(cols, {});
  m_day.assign(cols, {});
  m_folded.assign(cols, {});
  m_rank.assign(cols, {});
}

void TableModel::inferKinds(const std::vector<bool>& numericValues,
                            const QHash<QString, ColumnKind>& kinds) {
  m_kinds.assign(size_t(m_names.size()), ColumnKind::Text);
  for (int c = 0; c < int(m_names.size()); ++c) {
    const auto& texts = m_text[size_t(c)];
    ColumnKind kind = ColumnKind::Text;
    bool declared = false;
    for (auto it = kinds.begin(); it != kinds.end(); ++it) {
      if (it.key().compare(m_names.at(c), Qt::CaseInsensitive) == 0) {
        kind = it.value();
        declared = true;
      }
    }
    if (!declared) {
      if (numericValues[size_t(c)]) {
        kind = ColumnKind::Number;
      } else {
        // Dates are stored as text; a column is a date column when every filled
        // cell reads as one (checked until the first cell that does not).
        bool any = false;
        bool all = true;
        for (const QString& t : texts) {
          if (t.isEmpty()) continue;
          any = true;
          if (t.size() < 8 || !parseDay(t)) {
            all = false;
            break;
          }
        }
        if (any && all) kind = ColumnKind::Date;
      }
    }
    m_kinds[size_t(c)] = kind;
    if (kind == ColumnKind::Number) {
      auto& n = m_number[size_t(c)];
      n.reserve(texts.size());
      for (const QString& t : texts) n.push_back(toNumber(t));
    } else if (kind == ColumnKind::Date) {
      auto& d = m_day[size_t(c)];
      d.reserve(texts.size());
      for (const QString& t : texts) d.push_back(parseDay(t));
    }
  }
}

int TableModel::columnIndex(const QString& name) const {
  for (int c = 0; c < int(m_names.size()); ++c)
    if (m_names.at(c).compare(name, Qt::CaseInsensitive) == 0) return c;
  return -1;
}

double TableModel::number(int row, int column) const {
  const auto& n = m_number[size_t(column)];
  return n.empty() ? toNumber(text(row, column)) : n[size_t(row)];
}

qint64 TableModel::day(int row, int column) const {
  const auto& d = m_day[size_t(column)];
  return d.empty() ? parseDay(text(row, column)) : d[size_t(row)];
}

const std::vector<QString>& TableModel::folded(int column) const {
  auto& f = m_folded[size_t(column)];
  if (f.empty() && m_rowCount > 0) {
    const auto& texts = m_text[size_t(column)];
    f.reserve(texts.size());
    for (const QString& t : texts) f.push_back(turkishFold(t));
  }
  return f;
}

const std::vector<int>& TableModel::sortRank(int column) const {
  auto& rank = m_rank[size_t(column)];
  if (!rank.empty() || m_rowCount == 0) return rank;
  const int n = m_rowCount;
  rank.assign(size_t(n), 0);
  std::vector<int> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  const ColumnKind k = kind(column);
  if (k == ColumnKind::Number) {
    const auto& v = m_number[size_t(column)];
    // Cells without a number come first, as empty text would.
    auto key = [&](int r) {
      return std::isnan(v[size_t(r)]) ? -std::numeric_limits<double>::infinity() : v[size_t(r)];
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    for (int i = 0, place = 0; i < n; ++i) {
      if (i > 0 && key(order[size_t(i)]) != key(order[size_t(i - 1)])) place = i;
      rank[size_t(order[size_t(i)])] = place;
    }
    return rank;
  }
  if (k == ColumnKind::Date) {
    const auto& v = m_day[size_t(column)];
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return v[size_t(a)] < v[size_t(b)]; });
    for (int i = 0, place = 0; i < n; ++i) {
      if (i > 0 && v[size_t(order[size_t(i)])] != v[size_t(order[size_t(i - 1)])]) place = i;
      rank[size_t(order[size_t(i)])] = place;
    }
    return rank;
  }
  // Text: collate each distinct value once (lists repeat classes, levels, courses).
  const auto& texts = m_text[size_t(column)];
  QHash<QString, int> ids;
  std::vector<int> rowId(static_cast<size_t>(n));
  std::vector<const QString*> distinct;
  for (int r = 0; r < n; ++r) {
    auto it = ids.constFind(texts[size_t(r)]);
    if (it == ids.cend()) {
      it = ids.insert(texts[size_t(r)], int(distinct.size()));
      distinct.push_back(&texts[size_t(r)]);
    }
    rowId[size_t(r)] = it.value();
  }
  QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
  collator.setNumericMode(true);
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::vector<QCollatorSortKey> keys;
  keys.reserve(distinct.size());
  for (const QString* s : distinct) keys.push_back(collator.sortKey(*s));
  std::vector<int> distinctOrder(distinct.size());
  std::iota(distinctOrder.begin(), distinctOrder.end(), 0);
  std::stable_sort(distinctOrder.begin(), distinctOrder.end(),
                   [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
  std::vector<int> distinctRank(distinct.size());
  for (size_t i = 0; i < distinctOrder.size(); ++i) distinctRank[size_t(distinctOrder[i])] = int(i);
  for (int r = 0; r < n; ++r) rank[size_t(r)] = distinctRank[size_t(rowId[size_t(r)])];
  return rank;
}

int TableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_rowCount;
}

int TableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(m_names.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= m_rowCount || index.column() >= columns()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) return text(index.row(), index.column());
  if (role == Qt::TextAlignmentRole && kind(index.column()) == ColumnKind::Number)
    return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
  return {};
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return section < columns() ? m_names.at(section) : QVariant();
  return section + 1;
}

}  // namespace lists
