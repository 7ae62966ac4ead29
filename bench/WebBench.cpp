// Browser answers: a class of 200 devices, each with its WebSocket open and its
// own keep-alive HTTP connection, answering a run through the answer server.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWebSocket>

#include <algorithm>
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

  // The devices join (the board's clock moves past the per-address limit), open
  // their sockets and keep one HTTP connection each.
  std::vector<std::unique_ptr<QTcpSocket>> http;
  std::vector<std::unique_ptr<QWebSocket>> sockets;
  std::vector<int> pushes(kDevices, 0);
  QStringList keys;
  for (int i = 0; i < kDevices; ++i) {
    auto& s = http.emplace_back(std::make_unique<QTcpSocket>());
    s->connectToHost(QHostAddress(QHostAddress::LocalHost), server.port());
    if (!s->waitForConnected(2000)) return;
    clock.advance(150);
    const QJsonObject joined =
        exchange(*s, request("/api/katil", {{QStringLiteral("kod"), server.joinCode()},
                                            {QStringLiteral("numara"), QString::number(i + 1)}}));
    keys << joined.value(QStringLiteral("anahtar")).toString();
    auto& ws = sockets.emplace_back(std::make_unique<QWebSocket>());
    QObject::connect(ws.get(), &QWebSocket::textMessageReceived, [&pushes, i] { ++pushes[i]; });
    ws->open(QUrl(server.url().replace(QStringLiteral("http://"), QStringLiteral("ws://")) +
                  QStringLiteral("ws?anahtar=") + keys.last()));
  }
  if (!spin([&] { return std::all_of(pushes.begin(), pushes.end(), [](int n) { return n > 0; }); },
            20000)) {
    err << "web bench: not every device's socket opened\n";
    return;
  }

  QElapsedTimer timer;
  timer.start();
  std::vector<qint64> sentAt(kDevices, -1);
  std::vector<double> ms;
  ms.reserve(kDevices * kQuestions);
  qint64 changes = 0;
  QObject::connect(&run, &delivery::RunSession::tileChanged, [&](int tile) {
    if (tile < 0 || tile >= kDevices || sentAt[size_t(tile)] < 0) return;
    ms.push_back(double(timer.nsecsElapsed() - sentAt[size_t(tile)]) / 1e6);
    sentAt[size_t(tile)] = -1;
    ++changes;
  });
  long long sent = 0;
  for (int q = 1; q <= kQuestions; ++q) {
    if (run.position() != q || run.page() != delivery::RunSession::Page::Question) {
      err << "web bench: the run is not on question " << q << '\n';
      break;
    }
    // Past the per-device limit and the repeat window of the last question.
    clock.advance(1100);
    int pending = kDevices;
    for (int i = 0; i < kDevices; ++i) {
      const QByteArray bytes = request(
          "/api/cevap", {{QStringLiteral("anahtar"), keys.at(i)},
                         {QStringLiteral("soru"), q},
                         {QStringLiteral("cevap"), QStringLiteral("ABCDE").mid((i + q) % 5, 1)}});
      QTimer::singleShot(spreadMs > 0 ? QRandomGenerator::global()->bounded(spreadMs) : 0,
                         [&, i, bytes] {
                           http[size_t(i)]->readAll();
                           sentAt[size_t(i)] = timer.nsecsElapsed();
                           http[size_t(i)]->write(bytes);
                           ++sent;
                           --pending;
                         });
    }
    spin([&] { return pending == 0 && run.position() != q; }, 10000);
    for (auto& s : http) s->readAll();
  }
  const long long lost = sent - changes;
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

void webBenchmarks() {
  answerToTile(QStringLiteral("web_latency_answer_to_tile_200_clients"), 500);
  answerToTile(QStringLiteral("web_latency_answer_to_tile_200_clients_at_once"), 0);
}

}  // namespace bench
