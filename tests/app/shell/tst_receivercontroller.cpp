#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <sys/socket.h>
#include <unistd.h>

#include "ShellHarness.h"
#include "StandInScreens.h"
#include "framework/ReceiverDiagnosticsPanel.h"
#include "receiver/HidrawReceiver.h"
#include "school/Pairing.h"
#include "store/Parameters.h"

class TestReceiverController : public QObject {
  Q_OBJECT

  std::unique_ptr<ShellHarness> h;

  QLabel* label(const QString& name) {
    return h->controller->statusWidget()->findChild<QLabel*>(name);
  }
  QStringList shown() {
    QStringList out;
    for (const char* n : {"imgON", "imgOFF", "imgON2", "imgOFF2"})
      if (!label(QString::fromLatin1(n))->isHidden()) out << QString::fromLatin1(n);
    return out;
  }

 private slots:
  void init() {
    h = std::make_unique<ShellHarness>();
    h->start(false);
    h->main->statusBar()->addPermanentWidget(h->controller->statusWidget());
  }
  void cleanup() { h->stop(); }

  void startsRedAndDisconnected() {
    QCOMPARE(label("lblAliciBagli")->text(), QStringLiteral("Alıcı Bağlı Değil"));
    QCOMPARE(label("lblAliciBagli")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(shown(), (QStringList{"imgOFF", "imgOFF2"}));
    QVERIFY(!h->sim->isConnected());
  }

  // USBDurum missing: reception is on and the receiver is connected 100 ms after
  // start-up; its serial number is the indicator's tooltip.
  void connectsAfterStartUp() {
    h->controller->startDelayedConnect();
    QVERIFY(!h->sim->isConnected());
    QVERIFY(h->controller->timerConnectToHID().isActive());
    QTRY_VERIFY(h->controller->receiverPresent());
    QCOMPARE(shown(), (QStringList{"imgON", "imgON2"}));
    QCOMPARE(label("lblAliciBagli")->text(), QStringLiteral("Alıcı Bağlı"));
    QCOMPARE(label("imgON")->toolTip(), h->sim->info().serialNumber);
  }

  // USBDurum False: no connection, both listening indicators hidden; a double
  // click on lblUSBOnOff connects and saves True.
  void receptionSwitchedOff() {
    store::UserSettings::setBool("USBDurum", "USBDurum", false);
    h->controller->startDelayedConnect();
    QTRY_VERIFY(!h->controller->timerConnectToHID().isActive());
    QVERIFY(!h->sim->isConnected());
    QCOMPARE(shown(), QStringList{"imgOFF"});
    QVERIFY(!h->controller->receptionOn());
    // The words say what the ring shows.
    QCOMPARE(label("lblUSBOnOff")->text(), QStringLiteral("Kumanda alımı kapalı"));

    QTest::mouseDClick(label("lblUSBOnOff"), Qt::LeftButton);
    QVERIFY(h->sim->isConnected());
    QTRY_VERIFY(h->controller->receiverPresent());
    QCOMPARE(shown(), (QStringList{"imgON", "imgON2"}));
    QCOMPARE(store::UserSettings::get("USBDurum", "USBDurum"), QStringLiteral("True"));
    QCOMPARE(label("lblUSBOnOff")->text(), QStringLiteral("Kumanda alımı açık"));

    // Off again while the receiver is there: it stays shown, reception stops.
    h->controller->lblUSBOnOff_DblClick();
    QVERIFY(!h->sim->isConnected());
    QCOMPARE(shown(), QStringList{"imgON"});
    QCOMPARE(label("lblUSBOnOff")->text(), QStringLiteral("Kumanda alımı kapalı"));
    QCOMPARE(store::UserSettings::get("USBDurum", "USBDurum"), QStringLiteral("False"));
    // The button beside the words does the same, for a finger.
    auto* button = h->main->findChild<QPushButton*>(QStringLiteral("cmdUSBOnOff"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Aç"));
    button->click();
    QTRY_COMPARE(shown(), (QStringList{"imgON", "imgON2"}));
    QCOMPARE(button->text(), QStringLiteral("Kapat"));
  }

  void otherDevicesIgnored() {
    QVERIFY(h->controller->ConnectToHID());
    QTRY_VERIFY(h->controller->receiverPresent());
    h->sim->plugForeignDevice();
    QCOMPARE(shown(), (QStringList{"imgON", "imgON2"}));
    h->controller->DisconnectFromHID();
    h->controller->setLink(
        std::make_unique<receiver::SimulatedReceiver>(receiver::SimulationOptions{}));
    auto* other = static_cast<receiver::SimulatedReceiver*>(h->controller->link());
    other->setPlaying(false);
    QVERIFY(h->controller->ConnectToHID());
    QTRY_VERIFY(h->controller->receiverPresent());
  }

  // Unplug and plug again: indicators follow; reports are read only once the
  // device-list change has switched reading on.
  void replug() {
    auto* p = new StandInActivity(QStringLiteral("frmOnizleme"), {"7-200"});
    addActivity(h->mdi, h->controller->router(), p);
    QVERIFY(h->controller->ConnectToHID());
    QTRY_VERIFY(h->controller->receiverPresent());
    h->sim->unplug();
    QCOMPARE(shown(), (QStringList{"imgOFF", "imgOFF2"}));
    QCOMPARE(label("lblAliciBagli")->text(), QStringLiteral("Alıcı Bağlı Değil"));
    h->report(7, 200, "A");
    QVERIFY(p->received.isEmpty());
    h->sim->plug();
    QCOMPARE(shown(), (QStringList{"imgON", "imgON2"}));
    h->report(7, 200, "A");
    QCOMPARE(p->received, QStringList{"7-200:A"});
  }

  // Diagnostics: every report is listed, malformed ones with the reason; the list
  // starts again at the 47th entry; nothing that is not a press is routed.
  void diagnostics() {
    auto* p = new StandInActivity;
    addActivity(h->mdi, h->controller->router(), p);
    QVERIFY(h->controller->ConnectToHID());
    QTRY_VERIFY(h->controller->receiverPresent());
    h->controller->diagnostics().add("x");  // the plug note is already there
    const qsizetype before = h->controller->diagnostics().recent().size();
    for (qsizetype i = before; i < 46; ++i) h->sim->inject(QByteArray(16, '\0'));
    QCOMPARE(h->controller->diagnostics().recent().size(), 46);
    h->sim->inject(QByteArray("\1\2\3", 3));
    QCOMPARE(h->controller->diagnostics().recent().size(), 1);
    QVERIFY(h->controller->diagnostics().lastReport().startsWith(
        QStringLiteral("-1-2-3  (Hatalı rapor")));
    QVERIFY(p->received.isEmpty());
    QVERIFY(h->controller->decoder().currentAddress().isEmpty());

    h->controller->showDiagnostics();
    auto* panel = h->main->findChild<framework::ReceiverDiagnosticsPanel*>();
    QVERIFY(panel);
    h->report(12, 201, "D");
    QCOMPARE(panel->findChild<QLineEdit*>("tUSBRx")->text(),
             QStringLiteral("-1-1-0-12-201-20-1-10-4-0-0-0-0-0-0-0"));
    QCOMPARE(panel->findChild<QListWidget*>("List1")->count(), 2);
    panel->resize(1280, 800);
    panel->grab().save(QDir::temp().filePath("derslik-alici-tanilama.png"));
    h->main->grab().save(QDir::temp().filePath("derslik-alici-durum.png"));
  }

  void closingReleasesReceiver() {
    QVERIFY(h->controller->ConnectToHID());
    QTRY_VERIFY(h->controller->receiverPresent());
    auto* p = new StandInActivity;
    addActivity(h->mdi, h->controller->router(), p);
    h->controller->setClosing(true);
    QVERIFY(!h->sim->isConnected());
    h->press("1-1", "A");
    QVERIFY(p->received.isEmpty());
  }

  // The whole road through the real reading code: a report written into a socket
  // pair lands on the activity's tile.
  void socketPairEndToEnd() {
    int fds[2];
    QCOMPARE(::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds), 0);
    auto link = std::make_unique<receiver::HidrawReceiver>();
    receiver::HidrawReceiver* hid = link.get();
    h->controller->setLink(std::move(link));
    auto* p = new StandInActivity(QStringLiteral("frmOnizleme"), {"12-201", "3-4"});
    addActivity(h->mdi, h->controller->router(), p);
    receiver::DeviceInfo info;
    info.vendorId = receiver::kVendorId;
    info.productId = receiver::kProductId;
    info.serialNumber = "S1";
    info.node = "/dev/hidraw-test";
    hid->attachDescriptor(fds[0], info);
    QVERIFY(h->controller->receiverPresent());
    const QByteArray report = QByteArray(1, '\0') + receiver::pressReport(12, 201, "B");
    QCOMPARE(::write(fds[1], report.constData(), size_t(report.size())), ssize_t(report.size()));
    QTRY_COMPARE(p->tiles.find("12-201")->state, activity::RemoteTiles::State::Answered);
    QCOMPARE(p->tiles.find("12-201")->letter, QStringLiteral("B"));
    QVERIFY(h->controller->WriteSomeData(true));
    char buffer[8];
    QCOMPARE(::read(fds[1], buffer, sizeof buffer), ssize_t(4));
    QCOMPARE(QByteArray(buffer, 4), QByteArray("\0\1\0\0", 4));
    ::close(fds[1]);
    QTRY_VERIFY(!h->controller->receiverPresent());
  }

  // The simulated class answers from the registered student remotes first.
  void simulationUsesRegisteredRemotes() {
    QVERIFY(h->store()
                .run("INSERT INTO TABLEKUMANDA (KUMANDAADRESI, OGRETMENKUMANDASI) VALUES "
                     "('12-201','0'), ('99-99','1'), ('7-8',NULL)")
                .ok());
    h->controller->useSimulation(3, school::Pairing(h->store()).studentAddresses().valueOr({}));
    auto* sim = static_cast<receiver::SimulatedReceiver*>(h->controller->link());
    const QStringList addresses = sim->simulation().addresses();
    QCOMPARE(addresses.size(), 3);
    QCOMPARE(addresses.mid(0, 2), (QStringList{"12-201", "7-8"}));
  }

  // The simulated class never presses a teacher remote (the school's, or one of
  // the activity running): those press only from the virtual remote.
  void theSimulatedClassLeavesTheTeacherRemotesAlone() {
    auto* activity = new StandInActivity(QStringLiteral("frmOnizleme"), {"12-201", "7-8"});
    activity->teachers = {QStringLiteral("7-8")};
    addActivity(h->mdi, h->controller->router(), activity);
    receiver::SimulationOptions fast;
    fast.questionMs = 400;
    fast.medianThinkMs = 60;
    h->controller->setClock(nullptr);
    h->controller->useSimulation(
        3, {"12-201", "99-99", "7-8"},
        [](const QString& address) { return address == QLatin1String("99-99"); }, fast);
    QSignalSpy accepted(h->controller.get(), &framework::ReceiverController::pressAccepted);
    QVERIFY(h->controller->ConnectToHID());
    QTRY_VERIFY_WITH_TIMEOUT(accepted.size() >= 8, 10000);
    QStringList from;
    for (const QList<QVariant>& a : accepted) from << a.first().toString();
    from.removeDuplicates();
    QCOMPARE(from, QStringList{"12-201"});
    h->controller->DugmeBasildi(QStringLiteral("7-8"), QStringLiteral("B"), QStringLiteral("181"));
    QCOMPARE(activity->received.last(), QStringLiteral("7-8:B*"));
  }

  // --simulasyon: the simulated class answers by itself.
  void simulationRuns() {
    h->controller->useSimulation(40);
    QVERIFY(h->controller->ConnectToHID());
    QTRY_VERIFY(h->controller->receiverPresent());
    QVERIFY(label("imgON")->toolTip().startsWith(QStringLiteral("SIM-")));
    QTRY_VERIFY_WITH_TIMEOUT(h->controller->diagnostics().reportCount() > 3, 15000);
  }
};

QTEST_MAIN(TestReceiverController)
#include "tst_receivercontroller.moc"
