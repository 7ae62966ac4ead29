#include "store/Numbers.h"

#include <QVariant>

#include "store/Dialect.h"
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
  const Dialect& dialect = dialectOf(store.db());
  if (Status locked = dialect.takeTurn(store.db(), table); !locked)
    return R::failure(locked.error());
  const Result<QVariant> largest = store.scalar(
      dialect.largestNumberSql(table, column, prefix.size()), {dialect.prefixPattern(prefix)});
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
