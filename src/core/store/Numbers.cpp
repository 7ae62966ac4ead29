#include "store/Numbers.h"

#include <QVariant>

#include "store/Store.h"

namespace store {

bool isNumberKey(const QString& key) {
  if (key.isEmpty()) return false;
  for (QChar c : key)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  return true;
}

qint64 numberOf(const QString& key) {
  if (!isNumberKey(key)) return -1;
  bool ok = false;
  const qint64 n = key.toLongLong(&ok);
  return ok && n <= kMaxNumber ? n : -1;
}

Result<qint64> nextNumber(const Store& store, const QString& table, const QString& column,
                          const QString& prefix) {
  using R = Result<qint64>;
  // SQLite's own operators: no call into Derslik per row. A run of digits too
  // long for 64 bits reads as the largest integer, which is past kMaxNumber.
  const QString digits = QStringLiteral("substr(%1,%2)").arg(column).arg(prefix.size() + 1);
  const Result<QVariant> largest = store.scalar(
      QStringLiteral("SELECT MAX(CAST(%3 AS INTEGER)) FROM %1 WHERE %2 GLOB ? AND %3<>'' AND %3 "
                     "NOT GLOB '*[^0-9]*'")
          .arg(table, column, digits),
      {prefix + QLatin1Char('*')});
  if (!largest) return R::failure(largest.error());
  if (largest->isNull()) return qint64(1);
  const qint64 n = largest->toLongLong();
  if (n >= kMaxNumber) return R::failure(exhaustedMessage());
  return n + 1;
}

Status checkNumbers(qint64 first, qint64 count) {
  if (first < 1 || count < 0 || count > kMaxNumber || first - 1 > kMaxNumber - count)
    return Status::failure(exhaustedMessage());
  return {};
}

QString exhaustedMessage() {
  return QStringLiteral("Yeni numara verilemiyor: en büyük numara (%1) kullanılmış.")
      .arg(kMaxNumber);
}

}  // namespace store
