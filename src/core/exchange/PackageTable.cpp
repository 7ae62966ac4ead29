#include "exchange/PackageTable.h"

#include <QLocale>
#include <QMetaType>
#include <QSet>
#include <QVariant>

#include <algorithm>

#include "exchange/PackageDatabase.h"
#include "store/SchemaTables.h"
#include "store/SqlFunctions.h"

namespace exchange {

namespace {

QString tooLong(const QString& table, const QString& key, const QString& column) {
  return QStringLiteral(
             "Dosyadaki %1 tablosunda %2 numaralı kaydın %3 değeri çok uzun (en çok %4 "
             "karakter).")
      .arg(table, key, column)
      .arg(PackageTable::maxChars(column));
}

}  // namespace

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

int PackageTable::maxChars(const QString& column) {
  if (column == QStringLiteral("SORUNO") || column == QStringLiteral("TESTNO") ||
      column == QStringLiteral("KAYITNO"))
    return kMaxKey;
  if (column == QStringLiteral("DOGRUSIK")) return 1;
  if (column == QStringLiteral("SORUICERIK") || column == QStringLiteral("ACIKLAMA"))
    return kMaxText;
  return kMaxName;
}

Status PackageTable::checkSize(const QString& keyColumn, const QStringList& columns,
                               int maxRows) const {
  const Result<qint64> rows = m_package->countRows(m_table, maxRows);
  if (!rows) return Status::failure(rows.error());
  if (rows.value() > maxRows)
    return Status::failure(
        QStringLiteral("Dosyadaki %1 tablosunda çok fazla satır var (en çok %2).")
            .arg(m_table, QLocale(QLocale::Turkish).toString(maxRows)));
  // UTF-8 takes at most four bytes a character; the characters are counted
  // when the values are read.
  QList<PackageDatabase::ByteLimit> limits{{keyColumn, 4 * qint64(kMaxKey)}};
  for (const QString& c : columns)
    if (c != keyColumn) limits.append({c, 4 * qint64(maxChars(c))});

  const Result<std::optional<PackageDatabase::Oversized>> oversized =
      m_package->firstOversized(m_table, keyColumn, limits);
  if (!oversized) return Status::failure(oversized.error());
  if (const std::optional<PackageDatabase::Oversized>& o = oversized.value())
    return Status::failure(tooLong(m_table, o->key, o->column));
  QStringList measured{keyColumn};
  for (const QString& c : columns)
    if (c != keyColumn) measured << c;
  const Result<qint64> bytes = m_package->textBytes(m_table, measured);
  if (!bytes) return Status::failure(bytes.error());
  return m_package->spendText(bytes.value());
}

Result<QList<PackageRecord>> PackageTable::read(const QString& keyColumn,
                                                const QStringList& columns, int maxRows) const {
  using R = Result<QList<PackageRecord>>;
  QStringList present{keyColumn};
  for (const QString& c : columns)
    if (has(c) && c != keyColumn) present << c;
  if (Status s = checkSize(keyColumn, present, maxRows); !s) return R::failure(s.error());
  const auto shared = std::make_shared<const QStringList>(present.mid(1));
  QSet<QString> texts;
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
        record.m_columns = shared;
        record.m_values.reserve(values.size() - 1);
        for (qsizetype i = 0; i < values.size(); ++i) {
          const QVariant& v = values.at(i);
          const QString& column = present.at(i);
          if (v.typeId() == QMetaType::QByteArray)
            return Status::failure(QStringLiteral("%1 satır %2: %3 metin değil.")
                                       .arg(m_table)
                                       .arg(number)
                                       .arg(column));
          const QString text = v.isNull() ? QString() : v.toString();
          if (text.trimmed().size() > (i == 0 ? kMaxKey : maxChars(column)))
            return Status::failure(
                tooLong(m_table, values.at(0).toString().trimmed().left(kMaxKey), column));
          if (i == 0) {
            record.key = text.trimmed();
          } else {
            auto same = texts.constFind(text);
            if (same == texts.cend()) same = texts.insert(text);
            record.m_values << *same;
          }
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
