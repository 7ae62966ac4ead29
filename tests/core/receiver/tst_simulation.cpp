#include <QSignalSpy>
#include <QtTest>

#include "receiver/ClassroomSimulation.h"
#include "receiver/PressDecoder.h"
#include "receiver/ReportDecoder.h"
#include "receiver/SimulatedReceiver.h"

using namespace receiver;

class TestSimulation : public QObject {
  Q_OBJECT
 private slots:
  void everyRemoteAnswersEveryQuestion_data() {
    QTest::addColumn<int>("remotes");
    QTest::addColumn<int>("seconds");
    QTest::newRow("40 in 60 s") << 40 << 60;
    QTest::newRow("60 in 2 s") << 60 << 2;
    QTest::newRow("1 in 1 s") << 1 << 1;
    QTest::newRow("300 in 95 s") << 300 << 95;
  }
  void everyRemoteAnswersEveryQuestion() {
    QFETCH(int, remotes);
    QFETCH(int, seconds);
    SimulationOptions o;
    o.remotes = remotes;
    o.seed = 7;
    ClassroomSimulation sim(o);
    QCOMPARE(sim.remoteCount(), remotes);
    const QStringList all = sim.addresses();
    QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), remotes);
    const QList<SimulatedReport> reports = sim.run(seconds);
    QSet<QString> answered;
    qint64 last = 0;
    PressDecoder decoder;
    for (const SimulatedReport& r : reports) {
      QVERIFY(r.atMs >= last);
      QVERIFY(r.atMs < seconds * 1000);
      last = r.atMs;
      const DecodedReport d = decodeReport(r.data);
      QVERIFY(d.isPress);
      QVERIFY(!d.letter.isEmpty());
      answered.insert(decoder.feed(d)->KumandaAdresi);
    }
    QCOMPARE(answered.size(), remotes);
    for (const QString& a : sim.addresses()) {
      QVERIFY(!a.startsWith(QLatin1String("0-")));
      QVERIFY(!a.endsWith(QLatin1String("-0")));
    }
  }

  // The class answers like a class: mostly right, some blanks, some repeats.
  void answersFollowTheOptions() {
    SimulationOptions o;
    o.remotes = 200;
    o.correctRate = 0.7;
    o.blankRate = 0.1;
    o.doublePressRate = 0.2;
    o.lateChangeRate = 0;
    ClassroomSimulation sim(o);
    const QList<SimulatedReport> reports = sim.question(0, 30000);
    QMap<QString, QString> first;
    int repeats = 0;
    for (const SimulatedReport& r : reports) {
      const DecodedReport d = decodeReport(r.data);
      if (first.contains(d.address))
        ++repeats;
      else
        first.insert(d.address, d.letter);
    }
    const auto share = [&](const QString& letter) {
      return double(std::count(first.begin(), first.end(), letter)) / first.size();
    };
    QVERIFY(share(sim.lastCorrect()) > 0.55 && share(sim.lastCorrect()) < 0.85);
    QVERIFY(share(QStringLiteral("X")) > 0.02 && share(QStringLiteral("X")) < 0.2);
    QVERIFY(repeats > 15 && repeats < 70);
    // Same seed, same class.
    ClassroomSimulation again(o);
    QCOMPARE(again.addresses(), sim.addresses());
  }

  void registeredAddressesFirst() {
    SimulationOptions o;
    o.remotes = 4;
    o.addresses = {"12-201", "bozuk", "12-201", "0-7", "300-1", "5-5", "6-6"};
    ClassroomSimulation sim(o);
    QCOMPARE(sim.addresses(), (QStringList{"12-201", "0-7", "5-5", "6-6"}));
    o.remotes = 3;
    o.addresses = {"1-1"};
    QCOMPARE(ClassroomSimulation(o).addresses().first(), QStringLiteral("1-1"));
    QCOMPARE(ClassroomSimulation(o).remoteCount(), 3);
  }

  void receiverPlaysReports() {
    SimulationOptions o;
    o.remotes = 30;
    o.medianThinkMs = 20;
    o.thinkSpread = 0.2;
    o.questionMs = 400;
    SimulatedReceiver link(o);
    QSignalSpy plugged(&link, &ReceiverLink::plugged);
    QSignalSpy readable(&link, &ReceiverLink::reportReadable);
    QVERIFY(link.Connect());
    QTRY_COMPARE(plugged.size(), 1);
    QVERIFY(plugged[0][0].value<DeviceInfo>().isReceiver());
    QTest::qWait(100);
    QCOMPARE(readable.size(), 0);  // nothing before read notification
    link.SetReadNotify(true);
    QTRY_VERIFY(readable.size() >= 30);
    int presses = 0;
    while (auto r = link.Read()) presses += decodeRead(*r).isPress;
    QVERIFY(presses >= 30);
    QVERIFY(link.writeOutputReport(QByteArray(4, '\0')));
    link.unplug();
    QVERIFY(!link.writeOutputReport(QByteArray(4, '\0')));
    link.Disconnect();
  }
};

QTEST_GUILESS_MAIN(TestSimulation)
#include "tst_simulation.moc"
