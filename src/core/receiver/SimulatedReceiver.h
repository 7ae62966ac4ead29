#pragma once

#include <QElapsedTimer>
#include <QQueue>
#include <QTimer>

#include <functional>

#include "receiver/ClassroomSimulation.h"
#include "receiver/ReceiverLink.h"

namespace receiver {

// A receiver without hardware: a class of simulated remotes answering question
// after question, delivering the same reports a real receiver does, so all that
// follows the receiver runs unchanged. Teachers try Derslik with it before the
// receiver arrives; tests drive it by hand.
class SimulatedReceiver : public ReceiverLink {
  Q_OBJECT
 public:
  explicit SimulatedReceiver(const SimulationOptions& options, QObject* parent = nullptr);

  bool Connect() override;
  void Disconnect() override;
  bool isConnected() const override { return m_connected; }
  DeviceInfo receiverInfo() const override { return m_present ? info() : DeviceInfo{}; }
  void SetReadNotify(bool on) override;
  std::optional<QByteArray> Read() override;
  bool writeOutputReport(const QByteArray& report) override;

  DeviceInfo info() const;
  ClassroomSimulation& simulation() { return m_simulation; }
  // Automatic answering (on by default); tests switch it off and inject reports.
  void setPlaying(bool on);
  // Remotes the simulated class leaves alone (the teacher's): asked before each
  // report the class would send, so a remote ticked as the teacher's later stops
  // too. Such a remote presses only when the teacher presses it on the virtual
  // remote.
  void setLeftAlone(std::function<bool(const QString& address)> leftAlone) {
    m_leftAlone = std::move(leftAlone);
  }
  // Delivers one report (16 or 17 bytes) as if the receiver had sent it.
  void inject(const QByteArray& report);
  void plug();
  void unplug();
  // Another HID device comes and goes: the main window must ignore it.
  void plugForeignDevice();
  const QList<QByteArray>& writtenReports() const { return m_written; }

 private:
  void scheduleNext();
  void deliverDue();

  ClassroomSimulation m_simulation;
  SimulationOptions m_options;
  bool m_connected = false;
  bool m_present = false;
  bool m_readNotify = false;
  bool m_playing = true;
  QTimer m_timer;
  QElapsedTimer m_clock;
  qint64 m_offset = 0;  // start of the current question batch
  QList<SimulatedReport> m_script;
  qsizetype m_next = 0;
  QQueue<QByteArray> m_queue;
  QList<QByteArray> m_written;
  std::function<bool(const QString&)> m_leftAlone;
};

}  // namespace receiver
