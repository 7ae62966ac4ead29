#include "authoring/AutoSelection.h"

#include "authoring/RandomSource.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "store/Store.h"

namespace authoring {

QString SelectionReport::message() const {
  QString text = QStringLiteral("%1 soru eklendi").arg(added);
  if (added >= asked) return text;
  if (rows.isEmpty()) return text + QStringLiteral("; ölçütlere uyan başka soru yok");
  QStringList shortRows;
  for (qsizetype i = 0; i < rows.size(); ++i)
    if (rows.at(i).added < rows.at(i).asked) shortRows << QString::number(i + 1);
  return text + QStringLiteral("; %1. satırın ölçütlerine uyan başka soru yok")
                    .arg(shortRows.join(QStringLiteral(", ")));
}

Result<int> AutoSelection::parseCount(const QString& text) {
  const QString t = text.trimmed();
  bool ok = !t.isEmpty();
  for (QChar c : t) ok = ok && c.isDigit();
  if (!ok)
    return Result<int>::failure(
        QStringLiteral("Eklenecek Soru Sayısına lütfen sayı değeri giriniz"));
  const int n = t.toInt(&ok);
  if (!ok) return Result<int>::failure(QStringLiteral("Eklenecek soru sayısı çok büyük."));
  if (n == 0) return Result<int>::failure(QStringLiteral("Sıfırdan farklı bir sayı giriniz"));
  return n;
}

Result<SelectionReport> AutoSelection::draw(const QString& testNo, const SelectionRow& row,
                                            int firstPosition, const Progress& progress, int done,
                                            int total) {
  SelectionReport report;
  report.asked = std::max(0, row.count);
  QuestionSearch criteria = row.criteria;
  criteria.notInTest = testNo;
  const auto where = criteria.where();
  Result<QStringList> pool = m_store.column(
      QStringLiteral("SELECT DISTINCT SORUNO FROM TABLESORU WHERE %1").arg(where.sql),
      where.params);
  if (!pool) return Result<SelectionReport>::failure(pool.error());
  QStringList& keys = pool.value();
  const qsizetype k = std::min<qsizetype>(report.asked, keys.size());
  // The first k places of a Fisher-Yates shuffle: k uniform draws without replacement.
  for (qsizetype i = 0; i < k; ++i) {
    keys.swapItemsAt(i, i + m_random.below(keys.size() - i));
    if (progress) progress(done + int(i) + 1, total);
    if (Status s = m_store.run(
            QStringLiteral("INSERT INTO TABLETESTSORU (TESTNO,SORUNO,SURE,TESTSIRANO) SELECT "
                           "?,SORUNO,NZ(SURE),? FROM TABLESORU WHERE SORUNO=? ORDER BY ID LIMIT 1"),
            {testNo, QString::number(firstPosition + int(i)), keys.at(i)});
        !s)
      return Result<SelectionReport>::failure(s.error());
    report.keys << keys.at(i);
  }
  report.added = int(k);
  return report;
}

Result<SelectionReport> AutoSelection::run(const QString& testNo, const SelectionRow& row,
                                           const Progress& progress) {
  Result<SelectionReport> report = runBlueprint(testNo, {row}, progress);
  if (report) report.value().rows.clear();
  return report;
}

Result<SelectionReport> AutoSelection::runBlueprint(const QString& testNo,
                                                    const QList<SelectionRow>& rows,
                                                    const Progress& progress) {
  store::Transaction tx(m_store);
  const Result<bool> test = TestCatalog(m_store).exists(testNo);
  if (!test) return Result<SelectionReport>::failure(test.error());
  if (!test.value()) return Result<SelectionReport>::failure(TestCatalog::notFoundMessage());
  TestQuestions members(m_store);
  if (Status s = members.compact(testNo); !s) return Result<SelectionReport>::failure(s.error());
  const Result<int> n0 = members.count(testNo);
  if (!n0) return Result<SelectionReport>::failure(n0.error());
  int total = 0;
  for (const SelectionRow& row : rows) total += std::max(0, row.count);
  SelectionReport report;
  for (const SelectionRow& row : rows) {
    Result<SelectionReport> part =
        draw(testNo, row, n0.value() + report.added + 1, progress, report.asked, total);
    if (!part) return part;
    report.asked += part->asked;
    report.added += part->added;
    report.keys << part->keys;
    report.rows << part.value();
  }
  m_store.changed(store::Change::Tests);
  if (Status s = tx.commit(); !s) return Result<SelectionReport>::failure(s.error());
  return report;
}

}  // namespace authoring
