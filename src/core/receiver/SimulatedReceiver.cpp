#include "receiver/SimulatedReceiver.h"

#include "receiver/ReportDecoder.h"

namespace receiver {

SimulatedReceiver::SimulatedReceiver(const SimulationOptions& options, QObject* parent)
    : ReceiverLink(parent), m_simulation(options), m_options(options) {
  m_timer.setSingleShot(true);
  connect(&m_timer, &QTimer::timeout, this, &SimulatedReceiver::deliverDue);
}

DeviceInfo SimulatedReceiver::info() const {
  DeviceInfo d;
  d.vendorId = kVendorId;
  d.productId = kProductId;
  d.vendorName = QStringLiteral("Derslik");
  d.productName = QStringLiteral("Sanal alıcı (%1 kumanda)").arg(m_simulation.remoteCount());
  d.serialNumber = QStringLiteral("SIM-%1").arg(m_simulation.remoteCount());
  d.node = QStringLiteral("simulasyon");
  return d;
}

bool SimulatedReceiver::Connect() {
  if (m_connected) return true;
  m_connected = true;
  m_present = true;
  QTimer::singleShot(0, this, [this] {
    if (!m_connected) return;
    emit plugged(info());
    emit deviceListChanged();
  });
  return true;
}

void SimulatedReceiver::Disconnect() {
  m_connected = false;
  m_readNotify = false;
  m_timer.stop();
  m_queue.clear();
}

void SimulatedReceiver::SetReadNotify(bool on) {
  m_readNotify = on && m_present;
  if (m_readNotify && m_playing && !m_timer.isActive()) scheduleNext();
  if (!m_readNotify) m_timer.stop();
}

void SimulatedReceiver::setPlaying(bool on) {
  m_playing = on;
  if (!on)
    m_timer.stop();
  else if (m_readNotify)
    scheduleNext();
}

void SimulatedReceiver::scheduleNext() {
  if (!m_clock.isValid()) m_clock.start();
  if (m_next >= m_script.size()) {
    m_offset = m_clock.elapsed();
    m_script = m_simulation.question(0, m_options.questionMs);
    m_next = 0;
    if (m_script.isEmpty()) return;
  }
  const qint64 due = m_offset + m_script[m_next].atMs - m_clock.elapsed();
  m_timer.start(int(std::max<qint64>(due, 0)));
}

void SimulatedReceiver::deliverDue() {
  const qint64 now = m_clock.elapsed();
  while (m_next < m_script.size() && m_offset + m_script[m_next].atMs <= now) {
    const QByteArray& data = m_script[m_next++].data;
    if (m_leftAlone && m_leftAlone(decodeReport(data).address)) continue;
    inject(data);
  }
  if (m_playing && m_readNotify) scheduleNext();
}

void SimulatedReceiver::inject(const QByteArray& report) {
  if (!m_connected || !m_present) return;
  m_queue.enqueue(report);
  if (m_readNotify) emit reportReadable();
}

std::optional<QByteArray> SimulatedReceiver::Read() {
  if (m_queue.isEmpty()) return std::nullopt;
  return m_queue.dequeue();
}

bool SimulatedReceiver::writeOutputReport(const QByteArray& report) {
  if (!m_connected || !m_present) return false;
  m_written.append(report);
  return true;
}

void SimulatedReceiver::plug() {
  m_present = true;
  if (!m_connected) return;
  emit plugged(info());
  emit deviceListChanged();
}

void SimulatedReceiver::unplug() {
  m_present = false;
  m_readNotify = false;
  m_timer.stop();
  m_queue.clear();
  if (!m_connected) return;
  emit unplugged(info());
  emit deviceListChanged();
}

void SimulatedReceiver::plugForeignDevice() {
  if (!m_connected) return;
  DeviceInfo other;
  other.vendorId = 0x046D;
  other.productId = 0xC52B;
  other.productName = QStringLiteral("USB Receiver");
  other.node = QStringLiteral("simulasyon-fare");
  emit plugged(other);
  emit deviceListChanged();
  emit unplugged(other);
  emit deviceListChanged();
}

}  // namespace receiver
