#include <QTemporaryDir>
#include <QTextStream>

#include "Bench.h"
#include "ReportFixture.h"
#include "reports/ItemAnalysis.h"
#include "reports/ProgressReport.h"
#include "reports/RunReport.h"
#include "reports/RunRevision.h"
#include "reports/SuccessRanking.h"
#include "store/Store.h"

namespace bench {

void reportBenchmarks() {
  const QStringList names{
      QStringLiteral("report.load_60x50"),         QStringLiteral("report.all_views_60x50"),
      QStringLiteral("report.rescore_key_60x50"),  QStringLiteral("report.ranking_1000x200"),
      QStringLiteral("report.progress_class_200"), QStringLiteral("report.items_test_100_runs")};
  if (std::none_of(names.begin(), names.end(), [](const QString& n) { return selected(n); }))
    return;
  QTemporaryDir dir;
  store::Store store(dir.path());
  if (!buildReportFixture(store)) return;
  measure(QStringLiteral("report.load_60x50"), kReportRemotes * kReportQuestions, 21,
          [&] { openRunReport(store, false); });
  measure(QStringLiteral("report.all_views_60x50"), kReportRemotes * kReportQuestions, 21,
          [&] { openRunReport(store, true); });
  int flip = 0;
  measure(QStringLiteral("report.rescore_key_60x50"), kReportRemotes * kReportQuestions, 21, [&] {
    const QString letter = (flip++ % 2) ? QStringLiteral("A") : QStringLiteral("B");
    (void)reports::RunRevision(store, kReportRun).setKey(QStringLiteral("1"), letter);
  });

  const reports::SuccessRanking ranking(store);
  QStringList students;
  for (int s = 1; s <= kReportStudents; ++s) students << QString::number(s);
  reports::RunCriteria all;
  all.lastRuns = kReportRunsPerClass;
  measure(QStringLiteral("report.ranking_1000x200"), qint64(kReportStudents) * kReportRunsPerClass,
          7, [&] { (void)ranking.build(students, all); });
  measure(QStringLiteral("report.progress_class_200"), kReportRunsPerClass, 21, [&] {
    reports::ProgressReport p(store, reports::ProgressReport::Subject::Class,
                              {QStringLiteral("C1")}, all);
    (void)p.show(0);
  });
  measure(QStringLiteral("report.items_test_100_runs"),
          qint64(kItemRuns) * kItemRemotes * kReportQuestions, 7,
          [&] { (void)reports::analyseTest(store, QStringLiteral("IT")); });
}

}  // namespace bench
