#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "Bench.h"
#include "activity/PressConsumer.h"
#include "activity/RemoteTiles.h"
#include "framework/ReceiverController.h"
#include "receiver/HidrawReceiver.h"
#include "receiver/ReportDecoder.h"
#include "receiver/SimulatedReceiver.h"

namespace bench {

namespace {

constexpr int kRemotes = 60;

// A run's screen: one tile per remote, every press counted again (as the remote
// test grid counts them); it notes when a tile last changed.
class BenchActivity : public QWidget, public activity::PressConsumer {
 public:
  BenchActivity() {
    setObjectName(QStringLiteral("frmOnizleme"));
    QStringList addresses;
    for (int i = 0; i < kRemotes; ++i)
      addresses << QStringLiteral("%1-%2").arg(10 + i).arg(200 - i);
    m_tiles = activity::RemoteTiles(addresses, activity::RemoteTiles::Rule::LastPress);
    m_clock.start();
  }
  QSet<QString> teacherRemotes() const override { return {QStringLiteral("99-99")}; }
  void press(const receiver::AdmittedPress& p) override {
    if (!m_tiles.mark(p.press, p.at)) return;
    m_changedAt = m_clock.nsecsElapsed();
    ++m_changes;
  }

  activity::RemoteTiles m_tiles;
  QElapsedTimer m_clock;
  qint64 m_changedAt = 0;
  qint64 m_changes = 0;
};

struct Classroom {
  QMainWindow main;
  QMdiArea* mdi = new QMdiArea(&main);
  BenchActivity* presentation = new BenchActivity;
  std::unique_ptr<framework::ReceiverController> controller;

  Classroom() {
    main.setCentralWidget(mdi);
    main.resize(1280, 800);
    QMdiSubWindow* sub = mdi->addSubWindow(presentation);
    sub->show();
    main.show();
    mdi->setActiveSubWindow(sub);
    controller = std::make_unique<framework::ReceiverController>(mdi);
    controller->router().attach(presentation, presentation);
  }
};

// Reports of 60 remotes pressing in turn, the letters changing, so that the
// repeat window accepts every one of them (the costly path).
std::vector<QByteArray> reports(int n) {
  std::vector<QByteArray> out;
  out.reserve(size_t(n));
  const QString letters = QStringLiteral("ABCDEX");
  for (int k = 0; k < n; ++k) {
    const int r = k % kRemotes;
    out.push_back(QByteArray(1, '\0') +
                  receiver::pressReport(10 + r, 200 - r, letters.mid((k / kRemotes) % 6, 1)));
  }
  return out;
}

void pressThroughput() {
  const QString name = QStringLiteral("receiver_presses_decode_window_dispatch_60_remotes");
  if (!selected(name)) return;
  Classroom room;
  auto link = std::make_unique<receiver::SimulatedReceiver>(receiver::SimulationOptions{});
  receiver::SimulatedReceiver* sim = link.get();
  sim->setPlaying(false);
  room.controller->setLink(std::move(link));
  room.controller->ConnectToHID();
  while (!room.controller->receiverPresent()) QCoreApplication::processEvents();
  constexpr int n = 100000;
  const std::vector<QByteArray> data = reports(n);
  const qint64 before = room.presentation->m_changes;
  measure(name, n, 5, [&] {
    for (const QByteArray& r : data) sim->inject(r);  // OnRead runs for each, synchronously
  });
  if (room.presentation->m_changes - before < qint64(n) * 5)
    qWarning("receiver bench: not every press reached its activity");
}

void pressLatency() {
  const QString name = QStringLiteral("receiver_latency_socketpair_to_tile");
  if (!selected(name)) return;
  Classroom room;
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds) != 0) return;
  auto link = std::make_unique<receiver::HidrawReceiver>();
  receiver::HidrawReceiver* hid = link.get();
  room.controller->setLink(std::move(link));
  receiver::DeviceInfo info;
  info.vendorId = receiver::kVendorId;
  info.productId = receiver::kProductId;
  info.node = QStringLiteral("socketpair");
  hid->attachDescriptor(fds[0], info);
  constexpr int n = 20000;
  const std::vector<QByteArray> data = reports(n);
  std::vector<double> ms;
  ms.reserve(n);
  QElapsedTimer& clock = room.presentation->m_clock;
  for (const QByteArray& r : data) {
    const qint64 changes = room.presentation->m_changes;
    const qint64 t0 = clock.nsecsElapsed();
    if (::write(fds[1], r.constData(), size_t(r.size())) != r.size()) break;
    while (room.presentation->m_changes == changes)
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    ms.push_back(double(room.presentation->m_changedAt - t0) / 1e6);
  }
  ::close(fds[1]);
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  const double median = ms[ms.size() / 2];
  const double p99 = ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.99))];
  print(name, qint64(ms.size()), median, ms.front(), ms.back(),
        QStringLiteral("\"p99_ms\":%1").arg(p99, 0, 'f', 4));
}

}  // namespace

void receiverBenchmarks() {
  pressThroughput();
  pressLatency();
}

}  // namespace bench
