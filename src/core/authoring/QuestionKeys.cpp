#include "authoring/QuestionKeys.h"

#include <QVariant>

#include <tuple>

#include "store/SqlFunctions.h"
#include "store/Store.h"

namespace authoring::keys {

namespace {

constexpr int kPackageKeyLength = 14;

Result<int> nextNumber(const store::Store& store, const QString& table, const QString& column) {
  const Result<QVariant> largest =
      store.scalar(QStringLiteral("SELECT COALESCE(MAX(VAL(%2)), 0) FROM %1 WHERE ISNUMERIC(%2)")
                       .arg(table, column));
  if (!largest) return Result<int>::failure(largest.error());
  return int(largest->toDouble()) + 1;
}

bool allDigits(const QString& key) {
  if (key.isEmpty()) return false;
  for (QChar c : key)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  return true;
}

// (group, value, text): the sort key of orderBy().
std::tuple<int, double, QString> sortKey(const QString& key) {
  if (allDigits(key)) return {0, store::jetVal(key), key};
  if (key.size() == kPackageKeyLength) return {1, store::jetVal(key.right(6)), key};
  return {2, 0.0, key};
}

}  // namespace

bool isLocal(const QString& key) { return !key.isEmpty() && key.at(0).isDigit(); }

Result<int> nextQuestionNumber(const store::Store& store) {
  return nextNumber(store, QStringLiteral("TABLESORU"), QStringLiteral("SORUNO"));
}

Result<int> nextTestNumber(const store::Store& store) {
  return nextNumber(store, QStringLiteral("TABLETEST"), QStringLiteral("TESTNO"));
}

Result<QString> nextFreeQuestionKey(const store::Store& store) {
  const Result<int> bank = nextQuestionNumber(store);
  if (!bank) return Result<QString>::failure(bank.error());
  // Free questions are marked deleted, so they never raise the bank's number:
  // without looking at them two clips in a row would share one key.
  const Result<QVariant> free = store.scalar(QStringLiteral(
      "SELECT COALESCE(MAX(VAL(substr(SORUNO,2))), 0) FROM TABLESORU WHERE SORUNO LIKE 'S%' "
      "AND ISNUMERIC(substr(SORUNO,2))"));
  if (!free) return Result<QString>::failure(free.error());
  return QStringLiteral("S%1").arg(std::max(bank.value(), int(free->toDouble()) + 1));
}

// SQLite's own operators only: a list of 100,000 questions sorts without a call
// into Derslik's functions per row.
QString orderBy(const QString& column) {
  return QStringLiteral(
             "CASE WHEN %1<>'' AND %1 NOT GLOB '*[^0-9]*' THEN 0 WHEN length(%1)=14 THEN 1 ELSE 2 "
             "END,CASE WHEN %1<>'' AND %1 NOT GLOB '*[^0-9]*' THEN CAST(%1 AS REAL) WHEN "
             "length(%1)=14 THEN CAST(substr(%1,-6) AS REAL) ELSE 0 END,%1")
      .arg(column);
}

bool lessThan(const QString& a, const QString& b) { return sortKey(a) < sortKey(b); }

QString renumberedKey(const QString& testNo, int position) {
  return testNo + QStringLiteral("%1").arg(position, 3, 10, QLatin1Char('0'));
}

}  // namespace authoring::keys
