#include "authoring/QuestionKeys.h"

#include <QVariant>

#include <tuple>

#include "store/Numbers.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"

namespace authoring::keys {

namespace {

constexpr int kPackageKeyLength = 14;
constexpr int kRunningNumberLength = 6;
const QString kFreePrefix = QStringLiteral("S");

bool allDigits(const QString& key) { return store::isNumberKey(key); }

// (group, value, text): the sort key of orderBy().
std::tuple<int, double, QString> sortKey(const QString& key) {
  if (allDigits(key)) return {0, store::jetVal(key), key};
  if (key.size() == kPackageKeyLength) return {1, store::jetVal(key.right(6)), key};
  return {2, 0.0, key};
}

}  // namespace

bool isLocal(const QString& key) { return !key.isEmpty() && key.at(0).isDigit(); }

bool isFreeQuestionKey(const QString& key) {
  return key.startsWith(kFreePrefix) && allDigits(key.mid(kFreePrefix.size()));
}

bool isDistributed(const QString& key) {
  return key.size() == kPackageKeyLength && !key.at(0).isDigit() && !isFreeQuestionKey(key) &&
         allDigits(key.right(kRunningNumberLength));
}

Result<qint64> nextQuestionNumber(const store::Store& store) {
  return store::nextNumber(store, QStringLiteral("TABLESORU"), QStringLiteral("SORUNO"));
}

Result<qint64> nextTestNumber(const store::Store& store) {
  return store::nextNumber(store, QStringLiteral("TABLETEST"), QStringLiteral("TESTNO"));
}

Result<QString> nextFreeQuestionKey(const store::Store& store) {
  const Result<qint64> bank = nextQuestionNumber(store);
  if (!bank) return Result<QString>::failure(bank.error());
  // Free questions are marked deleted, so they never raise the bank's number:
  // without looking at them two clips in a row would share one key.
  const Result<qint64> free =
      store::nextNumber(store, QStringLiteral("TABLESORU"), QStringLiteral("SORUNO"), kFreePrefix);
  if (!free) return Result<QString>::failure(free.error());
  return kFreePrefix + QString::number(std::max(bank.value(), free.value()));
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
