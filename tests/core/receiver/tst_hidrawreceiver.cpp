#include <QSignalSpy>
#include <QtTest>

#include <sys/socket.h>
#include <unistd.h>

#include "receiver/HidrawReceiver.h"
#include "receiver/ReportDecoder.h"

using namespace receiver;

// The hidraw read path without hardware: a datagram socket pair stands in for the
// device node, one report per message, exactly as hidraw delivers them.
class TestHidrawReceiver : public QObject {
  Q_OBJECT

  int m_fds[2] = {-1, -1};
  DeviceInfo m_info;

  void send(const QByteArray& report) {
    QCOMPARE(::write(m_fds[1], report.constData(), size_t(report.size())), ssize_t(report.size()));
  }

 private slots:
  void init() {
    QCOMPARE(::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, m_fds), 0);
    m_info.vendorId = kVendorId;
    m_info.productId = kProductId;
    m_info.serialNumber = QStringLiteral("ABC123");
    m_info.node = QStringLiteral("/dev/hidraw-test");
  }
  void cleanup() {
    if (m_fds[1] >= 0) ::close(m_fds[1]);
    m_fds[0] = m_fds[1] = -1;
  }

  void readsReportsOnlyAfterReadNotify() {
    HidrawReceiver link;
    QSignalSpy plugged(&link, &ReceiverLink::plugged);
    QSignalSpy changed(&link, &ReceiverLink::deviceListChanged);
    QSignalSpy readable(&link, &ReceiverLink::reportReadable);
    link.attachDescriptor(m_fds[0], m_info);
    QCOMPARE(plugged.size(), 1);
    QCOMPARE(plugged[0][0].value<DeviceInfo>().serialNumber, QStringLiteral("ABC123"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(link.receiverInfo().serialNumber, QStringLiteral("ABC123"));

    const QByteArray first = QByteArray(1, '\0') + pressReport(7, 200, QStringLiteral("A"));
    send(first);
    QTest::qWait(50);
    QCOMPARE(readable.size(), 0);  // read notification is still off

    link.SetReadNotify(true);
    QTRY_COMPARE(readable.size(), 1);
    const auto got = link.Read();
    QVERIFY(got);
    QCOMPARE(*got, first);
    QVERIFY(!link.Read());
    const DecodedReport r = decodeRead(*got);
    QCOMPARE(r.address, QStringLiteral("7-200"));
    QCOMPARE(r.letter, QStringLiteral("A"));
  }

  // Reports keep their boundaries and order; a burst is delivered whole, one
  // readable event per report, even when the reader is late.
  void burstKeepsOrder() {
    HidrawReceiver link;
    QSignalSpy readable(&link, &ReceiverLink::reportReadable);
    link.attachDescriptor(m_fds[0], m_info);
    link.SetReadNotify(true);
    QList<QByteArray> sent;
    for (int i = 0; i < 200; ++i) {
      sent << pressReport(1 + i % 60, 1 + i / 60, QStringLiteral("B"), i);
      send(sent.last());
    }
    send(QByteArray(5, '\1'));  // a short, malformed report is delivered as it is
    QTRY_COMPARE(readable.size(), 201);
    for (const QByteArray& s : sent) QCOMPARE(*link.Read(), s);
    QCOMPARE(link.Read()->size(), 5);
    QVERIFY(!link.Read());
  }

  // The device going away (the other end closed) counts as unplugged, once; the
  // descriptor is closed and writes fail cleanly.
  void lossIsUnplug() {
    HidrawReceiver link;
    QSignalSpy unplugged(&link, &ReceiverLink::unplugged);
    link.attachDescriptor(m_fds[0], m_info);
    link.SetReadNotify(true);
    QVERIFY(link.writeOutputReport(QByteArray("\0\1\0\0", 4)));
    char buffer[8];
    QCOMPARE(::read(m_fds[1], buffer, sizeof buffer), ssize_t(4));
    QCOMPARE(buffer[1], '\1');
    ::close(m_fds[1]);
    m_fds[1] = -1;
    QTRY_COMPARE(unplugged.size(), 1);
    QCOMPARE(unplugged[0][0].value<DeviceInfo>().serialNumber, QStringLiteral("ABC123"));
    QCOMPARE(link.descriptor(), -1);
    QVERIFY(link.receiverInfo().node.isEmpty());
    QVERIFY(!link.writeOutputReport(QByteArray(4, '\0')));
    QTest::qWait(50);
    QCOMPARE(unplugged.size(), 1);
  }

  void disconnectStopsEvents() {
    HidrawReceiver link;
    QSignalSpy readable(&link, &ReceiverLink::reportReadable);
    link.attachDescriptor(m_fds[0], m_info);
    link.SetReadNotify(true);
    link.Disconnect();
    QCOMPARE(link.descriptor(), -1);  // closed: the other end sees it gone
    const QByteArray r = pressReport(1, 1, QStringLiteral("A"));
    QCOMPARE(::send(m_fds[1], r.constData(), size_t(r.size()), MSG_NOSIGNAL), ssize_t(-1));
    QTest::qWait(50);
    QCOMPARE(readable.size(), 0);
    QVERIFY(!link.isConnected());
  }

  // On a machine without the receiver, connecting finds none and reports nothing
  // as the receiver (other HID devices may be listed).
  void connectWithoutReceiver() {
    ::close(m_fds[0]);
    HidrawReceiver link;
    QSignalSpy plugged(&link, &ReceiverLink::plugged);
    QSignalSpy changed(&link, &ReceiverLink::deviceListChanged);
    if (!link.Connect()) QSKIP("udev is not available here");
    QTRY_COMPARE(changed.size(), 1);
    for (const QList<QVariant>& args : plugged)
      if (args[0].value<DeviceInfo>().isReceiver()) QSKIP("a real receiver is plugged in");
    QVERIFY(link.receiverInfo().node.isEmpty());
    link.Disconnect();
  }
};

QTEST_GUILESS_MAIN(TestHidrawReceiver)
#include "tst_hidrawreceiver.moc"
