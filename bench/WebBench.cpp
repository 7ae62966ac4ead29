// Browser answers: a class of 200 devices, each with its WebSocket open and its
// own keep-alive HTTP connection, answering a run through the answer server.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWebSocket>

#include <algorithm>
#include <chrono>

#include <unistd.h>
#include <memory>
#include <vector>

#include "Bench.h"
#include "Messages.h"
#include "RunRig.h"
#include "activity/PressPipeline.h"
#include "delivery/RunSession.h"
#include "receiver/Clock.h"
#include "store/Store.h"
#include "web/AnswerServer.h"

namespace bench {

namespace {

constexpr int kDevices = 200;
constexpr int kQuestions = 10;

template <typename Done>
bool spin(Done done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

QByteArray request(const QByteArray& path, const QJsonObject& body) {
  const QByteArray json = QJsonDocument(body).toJson(QJsonDocument::Compact);
  return "POST " + path + " HTTP/1.1\r\nHost: tahta\r\nContent-Type: application/json\r\n" +
         "Content-Length: " + QByteArray::number(json.size()) + "\r\n\r\n" + json;
}

// One HTTP/1.1 exchange on a kept-alive connection; the reply's JSON body.
QJsonObject exchange(QTcpSocket& socket, const QByteArray& bytes) {
  socket.readAll();
  socket.write(bytes);
  QByteArray got;
  spin(
      [&] {
        got += socket.readAll();
        const qsizetype head = got.indexOf("\r\n\r\n");
        if (head < 0) return false;
        const qsizetype at = got.toLower().indexOf("content-length:");
        const qsizetype length =
            got.mid(at + 15, got.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
        return got.size() >= head + 4 + length;
      },
      3000);
  return QJsonDocument::fromJson(got.mid(got.indexOf("\r\n\r\n") + 4)).object();
}

qint64 steadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The class's devices, in a process of their own as they are on the network:
// in the board's process their 400 sockets would be polled by the board's
// event loop at every turn and the figure would be the bench's, not the
// board's. Keys come on the command line; "SORU n" on stdin sends question n's
// answers (at random within the spread); at the end each answer's send time
// (steady clock, shared by both processes) is printed as "q device ns".
int runDevices(const QStringList& args) {
  const quint16 port = quint16(args.value(0).toUInt());
  const int spreadMs = args.value(1).toInt();
  const QStringList keys = args.mid(2);
  const int n = int(keys.size());
  std::vector<std::unique_ptr<QTcpSocket>> http;
  std::vector<std::unique_ptr<QWebSocket>> sockets;
  std::vector<int> pushes(size_t(n), 0);
  for (int i = 0; i < n; ++i) {
    auto& s = http.emplace_back(std::make_unique<QTcpSocket>());
    s->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    auto& ws = sockets.emplace_back(std::make_unique<QWebSocket>());
    QObject::connect(ws.get(), &QWebSocket::textMessageReceived,
                     [&pushes, i] { ++pushes[size_t(i)]; });
    ws->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws?anahtar=%2").arg(port).arg(keys.at(i))));
  }
  QTextStream out(stdout);
  if (!spin([&] { return std::all_of(pushes.begin(), pushes.end(), [](int p) { return p > 0; }); },
            20000))
    return 1;
  out << "HAZIR" << Qt::endl;

  QStringList sent;
  QSocketNotifier notifier(0, QSocketNotifier::Read);
  bool done = false;
  QByteArray pending;
  const auto ask = [&](int q) {
    for (int i = 0; i < n; ++i) {
      const QByteArray bytes = request(
          "/api/cevap", {{QStringLiteral("anahtar"), keys.at(i)},
                         {QStringLiteral("soru"), q},
                         {QStringLiteral("cevap"), QStringLiteral("ABCDE").mid((i + q) % 5, 1)}});
      QTimer::singleShot(spreadMs > 0 ? QRandomGenerator::global()->bounded(spreadMs) : 0,
                         [&, i, q, bytes] {
                           http[size_t(i)]->readAll();
                           sent << QStringLiteral("%1 %2 %3").arg(q).arg(i).arg(steadyNs());
                           http[size_t(i)]->write(bytes);
                         });
    }
  };
  QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
    char buffer[256];
    const ssize_t got = ::read(0, buffer, sizeof buffer);
    if (got <= 0) {
      done = true;
      return;
    }
    pending.append(buffer, got);
    for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
      const QByteArray line = pending.left(end).trimmed();
      pending.remove(0, end + 1);
      if (line.startsWith("SORU "))
        ask(line.mid(5).toInt());
      else
        done = true;
    }
  });
  spin([&] { return done; }, 600000);
  for (const QString& line : sent) out << line << '\n';
  out << "BITTI" << Qt::endl;
  return 0;
}

// Each question's answers come at random within `spreadMs` (0: all at once).
void answerToTile(const QString& name, int spreadMs) {
  if (!selected(name)) return;
  QTextStream err(stderr);
  QTemporaryDir dir;
  store::Store store(dir.path());
  if (!store.open() || !addClassAndTest(store, kDevices, kQuestions)) return;

  RecordedMessages messages;
  receiver::ManualClock clock;
  delivery::RunSession run(store, messages, clock);
  delivery::RunPlan plan;
  plan.description.testNo = QStringLiteral("1");
  plan.description.className = QStringLiteral("5-A");
  plan.settings.remoteTestScreen = false;
  plan.settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
  plan.settings.reportAtEnd = false;
  plan.settings.goOnWhenAllAnswered = true;
  QList<web::RosterEntry> roster;
  for (int i = 1; i <= kDevices; ++i) {
    plan.studentRemotes << QStringLiteral("10-%1").arg(i);
    roster.append({QString::number(9000 + i), QString::number(i), QStringLiteral("Öğrenci"),
                   QStringLiteral("Bir"), plan.studentRemotes.last(), true});
  }
  plan.names = plan.studentRemotes;
  if (Status s = run.open(plan); !s) {
    err << s.error() << '\n';
    return;
  }
  clock.advance(3000);  // past the 3-2-1 start
  run.tick();

  activity::PressPipeline pipeline(&clock);
  pipeline.setConsumer(&run);
  web::AnswerServer server(pipeline, run, roster, &clock);
  if (Status s = server.start({QHostAddress(QHostAddress::LocalHost), 0}); !s) {
    err << s.error() << '\n';
    return;
  }
  QObject::connect(&run, &delivery::RunSession::changed, &server, &web::AnswerServer::stateChanged);

  // The devices join here, where the board's clock can move past the limit on
  // joins from one address; their sockets then live in the devices' process.
  QStringList keys;
  {
    QTcpSocket s;
    s.connectToHost(QHostAddress(QHostAddress::LocalHost), server.port());
    if (!s.waitForConnected(2000)) return;
    for (int i = 0; i < kDevices; ++i) {
      clock.advance(150);
      keys << exchange(s,
                       request("/api/katil", {{QStringLiteral("kod"), server.joinCode()},
                                              {QStringLiteral("numara"), QString::number(i + 1)}}))
                  .value(QStringLiteral("anahtar"))
                  .toString();
    }
  }
  QProcess devices;
  devices.start(QCoreApplication::applicationFilePath(),
                QStringList{QString::fromLatin1(kDevicesArgument), QString::number(server.port()),
                            QString::number(spreadMs)} +
                    keys);
  QByteArray output;
  QObject::connect(&devices, &QProcess::readyReadStandardOutput,
                   [&] { output += devices.readAllStandardOutput(); });
  if (!spin([&] { return output.contains("HAZIR\n"); }, 30000)) {
    err << "web bench: the devices' sockets did not open\n";
    return;
  }

  QHash<QPair<int, int>, qint64> changedAt;  // (question, device) → steady ns
  QObject::connect(&run, &delivery::RunSession::tileChanged, [&](int tile) {
    if (tile >= 0 && tile < kDevices) changedAt.insert({run.position(), tile}, steadyNs());
  });
  for (int q = 1; q <= kQuestions; ++q) {
    if (run.position() != q || run.page() != delivery::RunSession::Page::Question) {
      err << "web bench: the run is not on question " << q << '\n';
      break;
    }
    // Past the per-device limit and the repeat window of the last question.
    clock.advance(1100);
    devices.write(QByteArray("SORU ") + QByteArray::number(q) + '\n');
    spin([&] { return run.position() != q; }, 10000);
  }
  devices.write("SON\n");
  spin([&] { return output.contains("BITTI\n"); }, 30000);
  devices.waitForFinished(5000);

  std::vector<double> ms;
  long long sent = 0;
  for (const QByteArray& line : output.split('\n')) {
    const QList<QByteArray> f = line.split(' ');
    if (f.size() != 3) continue;
    ++sent;
    const auto it = changedAt.constFind({f.at(0).toInt(), f.at(1).toInt()});
    if (it != changedAt.cend()) ms.push_back(double(*it - f.at(2).toLongLong()) / 1e6);
  }
  const long long lost = sent - qint64(ms.size());
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  const double p50 = ms[ms.size() / 2];
  const double p99 = ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.99))];
  print(name, qint64(ms.size()), p50, ms.front(), ms.back(),
        QStringLiteral("\"p99_ms\":%1,\"sent\":%2,\"lost\":%3")
            .arg(p99, 0, 'f', 4)
            .arg(sent)
            .arg(lost));
}

}  // namespace

int webDevices(const QStringList& args) { return runDevices(args); }

void webBenchmarks() {
  answerToTile(QStringLiteral("web_latency_answer_to_tile_200_clients"), 500);
  answerToTile(QStringLiteral("web_latency_answer_to_tile_200_clients_at_once"), 0);
}

}  // namespace bench
