#include "exchange/PackageTable.h"

#include <QMetaType>
#include <QVariant>

#include <algorithm>

#include "exchange/PackageDatabase.h"
#include "store/SchemaTables.h"
#include "store/SqlFunctions.h"

namespace exchange {

QStringList carriedColumns(const QString& table, const QStringList& except) {
  QStringList out;
  if (const store::TableDef* def = store::findMainTable(table))
    for (const QString& c : def->columnNames())
      if (c != QStringLiteral("ID") && !except.contains(c)) out << c;
  return out;
}

Result<PackageTable> PackageTable::open(PackageDatabase& package, const QString& table,
                                        const QStringList& required) {
  using R = Result<PackageTable>;
  Result<QStringList> columns = package.tableColumns(table);
  if (!columns) return R::failure(columns.error());
  for (const QString& c : required)
    if (!columns->contains(c))
      return R::failure(QStringLiteral("Dosyadaki %1 tablosunda %2 sütunu yok.").arg(table, c));
  return PackageTable(package, table, columns.value());
}

Result<QList<PackageRecord>> PackageTable::read(const QString& keyColumn,
                                                const QStringList& columns, int maxRows) const {
  using R = Result<QList<PackageRecord>>;
  QStringList present{keyColumn};
  for (const QString& c : columns)
    if (has(c) && c != keyColumn) present << c;
  struct Row {
    double order;
    PackageRecord record;
  };
  QList<Row> rows;
  int number = 0;
  // Column names are the package's own, checked against our lists above. The
  // table is read in its own order (rowid order; key order for a table without
  // rowid), never through one of the package's indexes.
  const Status s = m_package->forEachRow(
      QStringLiteral("SELECT %1 FROM %2 NOT INDEXED").arg(present.join(QLatin1Char(',')), m_table),
      [&](const QVariantList& values) -> Status {
        ++number;
        if (number > maxRows)
          return Status::failure(
              QStringLiteral("Dosyadaki %1 tablosunda çok fazla satır var.").arg(m_table));
        PackageRecord record;
        for (qsizetype i = 0; i < values.size(); ++i) {
          const QVariant& v = values.at(i);
          const QString& column = present.at(i);
          if (v.typeId() == QMetaType::QByteArray)
            return Status::failure(QStringLiteral("%1 satır %2: %3 metin değil.")
                                       .arg(m_table)
                                       .arg(number)
                                       .arg(column));
          const QString text = v.isNull() ? QString() : v.toString();
          if (text.size() > (i == 0 ? kMaxKey : kMaxText))
            return Status::failure(
                QStringLiteral("%1 satır %2: %3 çok uzun.").arg(m_table).arg(number).arg(column));
          if (i == 0)
            record.key = text.trimmed();
          else
            record.values.insert(column, text);
        }
        if (record.key.isEmpty())
          return Status::failure(
              QStringLiteral("%1 satır %2: %3 boş.").arg(m_table).arg(number).arg(keyColumn));
        rows.append({store::jetVal(record.key), std::move(record)});
        return {};
      });
  if (!s) return R::failure(s.error());
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.order < b.order; });
  QList<PackageRecord> out;
  out.reserve(rows.size());
  for (Row& r : rows) out.append(std::move(r.record));
  return out;
}

}  // namespace exchange
