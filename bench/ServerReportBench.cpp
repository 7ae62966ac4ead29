// The reports and the move of a board's data folder on a school's server, each
// next to the same work on SQLite in the same run. Run under the throwaway
// cluster: tests/support/pgcluster.sh build/bench/derslik-bench server
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>
#include <optional>

#include "Bench.h"
#include "ReportFixture.h"
#include "TestBackend.h"
#include "authoring/DemoBank.h"
#include "exchange/FolderImport.h"
#include "reports/SuccessRanking.h"
#include "school/DemoSchool.h"
#include "store/Store.h"

namespace bench {

namespace {

QTextStream err(stderr);

// A new database on the cluster with Derslik's schema, or nothing (said why).
std::optional<store::ServerLogin> serverDatabase() {
  Result<store::ServerLogin> login = testbackend::freshDatabase();
  if (login) return login.value();
  err << "sunucu ölçümü: " << login.error()
      << " (tests/support/pgcluster.sh build/bench/derslik-bench server)\n";
  return std::nullopt;
}

// The ranking and the run report of the report figures' data, built the same
// way on both backends. Both backends must give the same ranking, or the figure
// would compare different work.
void reportsOnBoth() {
  const QString rankingName = QStringLiteral("server_ranking_1000x200");
  const QString reportName = QStringLiteral("server_run_report");
  if (!selected(rankingName) && !selected(reportName)) return;
  const std::optional<store::ServerLogin> login = serverDatabase();
  if (!login) return;
  QTemporaryDir folder;
  QTemporaryDir serverRoot;
  store::Store sqlite(folder.path());
  store::Store server(serverRoot.path());
  server.useServer(login.value());
  if (!buildReportFixture(sqlite) || !buildReportFixture(server)) {
    err << "sunucu ölçümü: rapor verileri hazırlanamadı\n";
    return;
  }

  if (selected(rankingName)) {
    QStringList students;
    for (int s = 1; s <= kReportStudents; ++s) students << QString::number(s);
    reports::RunCriteria all;
    all.lastRuns = kReportRunsPerClass;
    const auto rank = [&](store::Store& store) {
      return reports::SuccessRanking(store).build(students, all);
    };
    const Result<reports::Ranking> a = rank(server);
    const Result<reports::Ranking> b = rank(sqlite);
    if (!a || !b || a->cells() != b->cells()) {
      err << "sunucu ölçümü: sunucunun başarı listesi veri klasörününkinden farklı "
          << (a ? QString() : a.error()) << '\n';
      return;
    }
    const std::vector<double> onServer = timings(7, [&] { (void)rank(server); });
    const std::vector<double> onSqlite = timings(7, [&] { (void)rank(sqlite); });
    printCompared(rankingName, qint64(kReportStudents) * kReportRunsPerClass, onServer, onSqlite);
  }

  // The figure is the report opened and every view looked at; opening it alone
  // is the part the server does, given beside it.
  if (selected(reportName)) {
    const std::vector<double> loadServer = timings(11, [&] { openRunReport(server, false); });
    const std::vector<double> loadSqlite = timings(11, [&] { openRunReport(sqlite, false); });
    printCompared(reportName, kReportRemotes * kReportQuestions,
                  timings(11, [&] { openRunReport(server, true); }),
                  timings(11, [&] { openRunReport(sqlite, true); }),
                  QStringLiteral("\"load_median_ms\":%1,\"sqlite_load_median_ms\":%2")
                      .arg(median(loadServer), 0, 'f', 4)
                      .arg(median(loadSqlite), 0, 'f', 4));
  }
}

// A demo board's data folder moved into a new school database on the server,
// and the same folder into a new empty data folder.
void moveDemoFolder() {
  const QString name = QStringLiteral("server_move_demo_folder");
  if (!selected(name)) return;
  QTemporaryDir work;
  const QString demo = work.filePath(QStringLiteral("demo"));
  {
    store::Store board(demo);
    if (!board.open() || !school::createDemoSchool(board) || !authoring::createDemoBank(board)) {
      err << "sunucu ölçümü: örnek okul hazırlanamadı\n";
      return;
    }
  }
  std::unique_ptr<store::Store> target;
  int made = 0;
  bool failed = false;
  exchange::FolderImportReport moved;
  const auto newTarget = [&](bool onServer) {
    target.reset();
    target = std::make_unique<store::Store>(work.filePath(QStringLiteral("hedef%1").arg(++made)));
    if (onServer) {
      const std::optional<store::ServerLogin> login = serverDatabase();
      if (!login) {
        failed = true;
        return;
      }
      target->useServer(login.value());
    }
    if (!target->open()) failed = true;
  };
  const auto move = [&] {
    if (failed) return;
    Result<exchange::FolderImportReport> r = exchange::FolderImport(*target).run(demo);
    if (!r || r->alreadyImported) {
      err << "sunucu ölçümü: klasör aktarılamadı: " << (r ? r->summary() : r.error()) << '\n';
      failed = true;
      return;
    }
    moved = r.value();
  };
  const std::vector<double> onServer = timings(5, move, [&] { newTarget(true); });
  const std::vector<double> onSqlite = timings(5, move, [&] { newTarget(false); });
  target.reset();
  if (failed) return;
  const qint64 rows = moved.studentsAdded + moved.remotesAdded + moved.pairingsAdded +
                      moved.cardsAdded + moved.usersAdded + moved.runs + moved.answers +
                      moved.results;
  printCompared(name, rows, onServer, onSqlite,
                QStringLiteral("\"rows\":%1,\"students\":%2,\"questions\":%3,\"tests\":%4,"
                               "\"files\":%5")
                    .arg(rows)
                    .arg(moved.studentsAdded)
                    .arg(moved.questions)
                    .arg(moved.tests)
                    .arg(moved.files));
}

}  // namespace

void serverReportBenchmarks() {
  reportsOnBoth();
  moveDemoFolder();
}

}  // namespace bench
