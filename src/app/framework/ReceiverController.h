#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

#include "activity/PressPipeline.h"
#include "framework/PressRouter.h"
#include "receiver/ClassroomSimulation.h"
#include "receiver/Clock.h"
#include "receiver/DeviceInfo.h"
#include "receiver/RadioSource.h"
#include "receiver/ReportDiagnostics.h"

class QLabel;
class QPushButton;
class QMdiArea;
class QWidget;

namespace receiver {
class ReceiverLink;
}

namespace framework {

class ReceiverDiagnosticsPanel;

// The main window's side of the receiver: connection and indicators, and the
// receiver as a source of the press pipeline, whose target is the activity of
// the window the teacher looks at (PressRouter). Every admitted press reaches
// that activity at once and in order; there is no pending press that a later one
// could overwrite.
// The main window owns one and places statusWidget() where the receiver's state
// is shown.
class ReceiverController : public QObject {
  Q_OBJECT
 public:
  explicit ReceiverController(QMdiArea* mdi, QObject* parent = nullptr);
  ~ReceiverController() override;

  // imgON/imgOFF, imgON2/imgOFF2, lblAliciBagli, lblUSBOnOff. The caller places it
  // (and so owns it); if never placed it goes with the controller.
  QWidget* statusWidget() const { return m_status; }

  bool ConnectToHID();
  void DisconnectFromHID();
  // The end of start-up: drops a stale connection, then connects 100 ms later
  // unless the user switched reception off (USBDurum).
  void startDelayedConnect();

  // A press from outside the receiver (the virtual remote) into the same pipeline.
  void DugmeBasildi(const QString& address, const QString& letter, const QString& code);
  // Clears the held-button flag (nothing calls it from the receiver: no release is
  // decoded from reports).
  void DugmeBirakildi();
  // Registration mode of the receiver on (True) or off (False).
  bool WriteSomeData(bool on);

  // Replaces the receiver by a simulated class of `remotes` remotes; the registered
  // student remotes (`addresses`) answer first, so the screens find them. The
  // class never presses a teacher remote: one of the active activity's, nor one
  // `isTeacher` says is (asked at each press: a remote ticked later stops too).
  void useSimulation(int remotes, const QStringList& addresses = {},
                     std::function<bool(const QString& address)> isTeacher = {},
                     std::optional<receiver::SimulationOptions> options = std::nullopt);
  void showDiagnostics();
  // TABLEOKUL.UCDUGME as read at start-up.
  void setThreeButtonSetting(const QString& value);
  // The main window is closing: no more presses are routed, timers stop and the
  // receiver is released.
  void setClosing(bool closing);

  // --- for the screens and for tests
  receiver::ReceiverLink* link() const { return m_link.get(); }
  void setLink(std::unique_ptr<receiver::ReceiverLink> link);
  void setClock(const receiver::Clock* clock);
  PressRouter& router() { return m_router; }
  activity::PressPipeline& pipeline() { return m_pipeline; }
  receiver::ReportDiagnostics& diagnostics() { return m_diagnostics; }
  const receiver::PressDecoder& decoder() const { return m_radio.decoder(); }
  bool buttonHeld() const { return m_held; }
  bool receptionOn() const { return m_reception; }
  bool receiverPresent() const { return m_present; }
  QTimer& timerConnectToHID() { return m_timerConnect; }
  void lblUSBOnOff_DblClick();
  void OnRead();

 signals:
  // Every press that passed the pipeline (after the three-button rule).
  void pressAccepted(const QString& address, const QString& button, bool teacher);
  void receiverChanged(bool present);
  // A line for the diagnostic log (Log.txt): the main window writes it to its store.
  void logLine(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildStatusWidget();
  void OnPlugged(const receiver::DeviceInfo& device);
  void OnUnplugged(const receiver::DeviceInfo& device);
  void OnChanged();
  void timerConnectToHID_Timer();
  void showMainWindow();
  // The indicators and their words from m_present and m_reception.
  void showState();

  QMdiArea* m_mdi;
  std::unique_ptr<receiver::ReceiverLink> m_link;
  const receiver::Clock* m_clock = &receiver::SteadyClock::instance();
  receiver::ReportDiagnostics m_diagnostics;
  PressRouter m_router;
  activity::PressPipeline m_pipeline;
  receiver::RadioSource m_radio{m_pipeline};

  QTimer m_timerConnect;  // timerConnectToHID
  QTimer m_timerRepeat;   // TimerGelenSinyalTekrar
  bool m_held = false;
  bool m_closing = false;
  bool m_present = false;   // a receiver is plugged in
  bool m_reception = true;  // presses are listened to (USBDurum)

  QPointer<QWidget> m_status;
  QLabel* m_imgON = nullptr;
  QLabel* m_imgOFF = nullptr;
  QLabel* m_imgON2 = nullptr;
  QLabel* m_imgOFF2 = nullptr;
  QLabel* m_lblAliciBagli = nullptr;
  QLabel* m_lblUSBOnOff = nullptr;
  QPushButton* m_cmdUSBOnOff = nullptr;
  QPointer<ReceiverDiagnosticsPanel> m_panel;
};

}  // namespace framework
