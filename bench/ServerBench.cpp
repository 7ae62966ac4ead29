// A school's boards on one server: 30 boards (processes) each recording a
// 40-remote, 20-question run at the same moment, on the school's PostgreSQL
// server and, in the same run, on one shared data folder. Run it under the
// throwaway cluster:
//   tests/support/pgcluster.sh build/bench/derslik-bench server
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

#include <unistd.h>

#include "Bench.h"
#include "Messages.h"
#include "RunRig.h"
#include "TestBackend.h"
#include "delivery/Recording.h"
#include "store/ServerAddress.h"
#include "store/Store.h"

namespace bench {

namespace {

constexpr int kBoards = 30;
constexpr int kRemotes = 40;
constexpr int kQuestions = 20;
QTextStream err(stderr);

// A folder path, or a server's address (its password, if any, from the
// environment as libpq reads it).
bool openTarget(store::Store& store, const QString& target) {
  if (target.startsWith(QLatin1String("postgresql://"))) {
    Result<store::ServerAddress> address = store::ServerAddress::parse(target);
    if (!address) return false;
    store.useServer({address.value(), QString()});
  }
  return bool(store.open());
}

// One board: waits for the start, then leaves each question of its own run
// once, and prints each time in milliseconds.
int runBoard(const QStringList& args) {
  if (args.size() != 2) return 2;
  QTemporaryDir dir;
  store::Store store(args.at(0).startsWith(QLatin1String("postgresql://")) ? dir.path()
                                                                           : args.at(0));
  if (!openTarget(store, args.at(0))) {
    err << "açılamadı: " << args.at(0) << '\n';
    return 1;
  }
  delivery::Recording recording(store);
  delivery::RunRecord run;
  run.key = {QStringLiteral("07.12.2026"),
             QStringLiteral("09:%1:00").arg(args.at(1).toInt(), 2, 10, QLatin1Char('0'))};
  run.description.testNo = QStringLiteral("1");
  run.description.testName = QStringLiteral("Ölçüm");
  run.description.className = QStringLiteral("5-A");
  for (int i = 1; i <= kRemotes; ++i) run.addresses << QStringLiteral("10-%1").arg(i);

  QTextStream out(stdout);
  out << "HAZIR" << Qt::endl;
  char go = 0;
  if (::read(0, &go, 1) != 1) return 1;
  for (int position = 1; position <= kQuestions; ++position) {
    QList<delivery::TileAnswer> answers;
    for (const QString& a : run.addresses)
      answers.append({a, QStringLiteral("ABCDE").mid(QRandomGenerator::global()->bounded(5), 1),
                      int(QRandomGenerator::global()->bounded(30))});
    QElapsedTimer t;
    t.start();
    if (!recording.CevaplariVeritabaninaYaz(run, position, QStringLiteral("B%1").arg(position),
                                            answers))
      return 1;
    out << double(t.nsecsElapsed()) / 1e6 << '\n';
  }
  out.flush();
  return 0;
}

// The boards together on `target`: every question left, sorted; empty when a
// board failed.
std::vector<double> boardsAtOnce(const QString& target) {
  std::vector<std::unique_ptr<QProcess>> boards;
  for (int b = 0; b < kBoards; ++b) {
    auto& p = boards.emplace_back(std::make_unique<QProcess>());
    p->start(QCoreApplication::applicationFilePath(),
             {QString::fromLatin1(kBoardArgument), target, QString::number(b)});
  }
  for (auto& p : boards) {
    while (!p->canReadLine() && p->waitForReadyRead(30000)) {
    }
    if (!p->readLine().startsWith("HAZIR")) {
      err << "sunucu ölçümü: bir tahta açılamadı: " << p->readAllStandardError() << '\n';
      for (auto& q : boards) q->kill();
      for (auto& q : boards) q->waitForFinished();
      return {};
    }
  }
  for (auto& p : boards) p->write("B");
  std::vector<double> ms;
  for (auto& p : boards) {
    if (!p->waitForFinished(300000) || p->exitCode() != 0) {
      err << "sunucu ölçümü: bir tahta başaramadı: " << p->readAllStandardError() << '\n';
      return {};
    }
    for (const QByteArray& line : p->readAllStandardOutput().split('\n'))
      if (!line.trimmed().isEmpty()) ms.push_back(line.toDouble());
  }
  std::sort(ms.begin(), ms.end());
  return ms;
}

void thirtyBoards() {
  const QString name = QStringLiteral("server_leave_question_30_boards_40_remotes");
  if (!selected(name)) return;
  Result<store::ServerLogin> login = testbackend::freshDatabase();
  if (!login) {
    err << "sunucu ölçümü: " << login.error()
        << " (tests/support/pgcluster.sh build/bench/derslik-bench server)\n";
    return;
  }
  const QString url = login->address.url();
  QTemporaryDir folder;
  for (const QString& target : {url, folder.path()}) {
    store::Store store(folder.path());
    if (!openTarget(store, target) || !addClassAndTest(store, kRemotes, kQuestions)) {
      err << "sunucu ölçümü: okul hazırlanamadı\n";
      return;
    }
  }
  const std::vector<double> server = boardsAtOnce(url);
  const std::vector<double> sqlite = boardsAtOnce(folder.path());
  if (server.empty() || sqlite.empty()) return;
  const auto p99 = [](const std::vector<double>& v) {
    return v[std::min(v.size() - 1, size_t(double(v.size()) * 0.99))];
  };
  print(name, qint64(server.size()), server[server.size() / 2], server.front(), server.back(),
        QStringLiteral("\"p99_ms\":%1,\"sqlite_median_ms\":%2,\"sqlite_p99_ms\":%3,"
                       "\"ratio_median_to_sqlite\":%4")
            .arg(p99(server), 0, 'f', 2)
            .arg(sqlite[sqlite.size() / 2], 0, 'f', 2)
            .arg(p99(sqlite), 0, 'f', 2)
            .arg(server[server.size() / 2] / sqlite[sqlite.size() / 2], 0, 'f', 2));
}

}  // namespace

int serverBoard(const QStringList& args) { return runBoard(args); }

void serverBenchmarks() {
  thirtyBoards();
  serverReportBenchmarks();
}

}  // namespace bench
