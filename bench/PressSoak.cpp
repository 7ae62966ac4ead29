// derslik-soak: remotes pressing at the receiver's full rate into a running test,
// through the socket-pair path the program reads a receiver by, for minutes on
// end. Every press must reach the run once and in order, and memory must not
// grow. Prints one JSON line; exits 1 when a press was lost or doubled, the rate
// could not be kept, or memory grew.
//   derslik-soak [--seconds 600] [--rate 1000] [--remotes 60]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "RunRig.h"

namespace {

// Each remote's presses in turn: a letter, the blank key, the next letter …
// Every one changes the remote's tile (a first letter holds until the blank key
// clears it), so the run's tile signal counts them too.
const QStringList kCycle = {"A", "X", "B", "X", "C", "X", "D", "X", "E", "X"};

qint64 rssKb() {
  QFile f(QStringLiteral("/proc/self/statm"));
  if (!f.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = f.readAll().split(' ');
  return fields.size() > 1 ? fields.at(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// Stands between the routing and the run: checks each remote's presses arrive
// in the order they were sent, none missing and none twice, and passes them on.
class Checker : public activity::PressConsumer {
 public:
  Checker(int remotes) : m_next(size_t(remotes), 0) {}
  void setRun(delivery::RunSession* run) { m_run = run; }
  QSet<QString> teacherRemotes() const override { return m_run->teacherRemotes(); }
  void press(const receiver::AdmittedPress& p) override {
    ++received;
    const int remote = p.press.KumandaAdresi.section(QLatin1Char('-'), 1).toInt();
    if (remote < 1 || size_t(remote) > m_next.size()) {
      ++outOfOrder;
    } else {
      qint64& next = m_next[size_t(remote - 1)];
      if (p.press.Dugme != kCycle.at(int(next % kCycle.size()))) ++outOfOrder;
      ++next;
    }
    m_run->press(p);
  }
  qint64 received = 0;
  qint64 outOfOrder = 0;

 private:
  delivery::RunSession* m_run = nullptr;
  std::vector<qint64> m_next;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  int seconds = 600, rate = 1000, remotes = 60;
  const QStringList args = QApplication::arguments().mid(1);
  for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
    const int value = args.at(i + 1).toInt();
    if (args.at(i) == QStringLiteral("--seconds"))
      seconds = value;
    else if (args.at(i) == QStringLiteral("--rate"))
      rate = value;
    else if (args.at(i) == QStringLiteral("--remotes"))
      remotes = value;
  }
  if (seconds < 1 || rate < 1 || remotes < 2 || remotes > 250 || args.size() % 2) {
    err << "Kullanım: derslik-soak [--seconds N] [--rate N] [--remotes 2..250]\n";
    return 2;
  }

  QTemporaryDir dir;
  store::Store store(dir.path());
  if (!store.open() || !bench::addClassAndTest(store, remotes, 1)) return 1;
  Checker checker(remotes);
  bench::RunRig rig(store, remotes, &checker);
  if (!rig.ok()) return 1;
  checker.setRun(&rig.run());
  qint64 tileChanges = 0;
  QObject::connect(&rig.run(), &delivery::RunSession::tileChanged, [&] { ++tileChanges; });
  const int fd = rig.writeEnd();
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);

  // Reports are written as their time comes; a full socket (the program not
  // reading fast enough) waits for the reader rather than dropping a report.
  std::vector<qint64> sentBy(size_t(remotes), 0);
  qint64 sent = 0;
  const qint64 warmMs = std::min<qint64>(60000, seconds * 1000LL / 6);
  qint64 rssWarm = 0;
  QElapsedTimer clock;
  clock.start();
  const qint64 endNs = seconds * 1000000000LL;
  for (qint64 now = 0; now < endNs; now = clock.nsecsElapsed()) {
    const qint64 due = now * rate / 1000000000LL;
    while (sent < due) {
      const int remote = int(sent % remotes);
      qint64& n = sentBy[size_t(remote)];
      const QByteArray report = bench::RunRig::press(remote + 1, kCycle.at(int(n % kCycle.size())));
      if (::write(fd, report.constData(), size_t(report.size())) != report.size()) {
        if (errno == EAGAIN) break;
        err << "yazılamadı\n";
        return 1;
      }
      ++n;
      ++sent;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (!rssWarm && clock.elapsed() >= warmMs) rssWarm = rssKb();
  }
  const double sendSeconds = double(clock.nsecsElapsed()) / 1e9;
  QElapsedTimer drain;
  drain.start();
  while (checker.received < sent && drain.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  const qint64 rssEnd = rssKb();

  const qint64 lost = std::max<qint64>(0, sent - checker.received);
  const qint64 doubled = std::max<qint64>(0, checker.received - sent);
  const double achieved = double(sent) / sendSeconds;
  const bool rateKept = achieved >= 0.9 * rate;
  const bool flat = rssEnd <= rssWarm + rssWarm / 20;
  out << QStringLiteral(
             "{\"name\":\"press_soak\",\"seconds\":%1,\"remotes\":%2,\"rate\":%3,"
             "\"presses_sent\":%4,\"presses_received\":%5,\"tile_changes\":%6,\"lost\":%7,"
             "\"doubled\":%8,\"out_of_order\":%9,\"rss_warm_kb\":%10,\"rss_end_kb\":%11}\n")
             .arg(seconds)
             .arg(remotes)
             .arg(achieved, 0, 'f', 1)
             .arg(sent)
             .arg(checker.received)
             .arg(tileChanges)
             .arg(lost)
             .arg(doubled)
             .arg(checker.outOfOrder)
             .arg(rssWarm)
             .arg(rssEnd);
  out.flush();
  bool good = true;
  const auto fail = [&](const QString& why) {
    err << why << '\n';
    good = false;
  };
  if (lost || doubled || checker.outOfOrder)
    fail(QStringLiteral("Basışlar eksik, fazla ya da sırasız."));
  if (tileChanges != sent) fail(QStringLiteral("Her basış kutusunu değiştirmedi."));
  if (!rateKept) fail(QStringLiteral("İstenen hız tutturulamadı."));
  if (!flat) fail(QStringLiteral("Bellek büyüdü."));
  return good ? 0 : 1;
}
