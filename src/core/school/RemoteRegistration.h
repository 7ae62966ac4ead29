#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include "Result.h"
#include "activity/PressConsumer.h"

namespace store {
class Store;
}

namespace school {

// The registration panel of frmKumandaTanimlama (frameKumanda, LVKumanda,
// lblKumandaEtiketiYazdir, Timer1) without widgets. While it is open the
// receiver is held in registration mode: every 500 ms, and after each captured
// press, registrationModeRequested(true) asks the window to send WriteSomeData(True);
// finishing asks for WriteSomeData(False).
//
// It is the press consumer of the remote screen: while new remotes are being
// registered every press is a remote heard; otherwise presses change nothing.
class RemoteRegistration : public QObject, public activity::PressConsumer {
  Q_OBJECT
 public:
  enum class Mode { Closed, NewRemotes, NewReceiver };
  struct Item {
    QString address;
    int icon = 1;          // 0 registered but not heard, 1 heard once, 3 heard again
    bool teacher = false;  // the item's check box
  };

  explicit RemoteRegistration(store::Store& store, QObject* parent = nullptr);

  Mode mode() const { return m_mode; }
  bool isOpen() const { return m_mode != Mode::Closed; }
  // The panel's Tag: "YeniKumanda", "YeniAlici" or empty. The routing captures
  // presses only under "YeniKumanda".
  QString tag() const;
  // lblOgretmenKumandasi.
  QString instructionText() const;
  const QList<Item>& items() const { return m_items; }
  // lblKumandaEtiketiYazdir.
  int count() const { return static_cast<int>(m_items.size()); }
  // The caption before the count: heard remotes while registering, registered
  // ones while re-learning (nothing is heard then).
  QString countCaption() const;

  // Whether a receiver (or the simulation) is attached. Without one nothing can
  // be heard: noReceiverText() says so while the panel is open.
  void setReceiverPresent(bool present);
  bool receiverPresent() const { return m_receiverPresent; }
  QString noReceiverText() const;

  // cmdYeniKayit: an empty list, check boxes on.
  void startNewRemotes();
  // cmdYeniAlici: every registered remote listed, nothing captured, nothing written.
  void startNewReceiver();
  // A routed press (repeats already dropped). Only under "YeniKumanda".
  void heard(const QString& address);
  void press(const receiver::AdmittedPress& press) override { heard(press.press.KumandaAdresi); }
  void setTeacher(const QString& address, bool teacher);
  // cmdBitir (and closing the screen while open): under "YeniKumanda" every
  // listed remote is written to TABLEKUMANDA (replacing its row, keeping its
  // pairings) in one transaction.
  Status finish();

  static constexpr int kIntervalMs = 500;

 signals:
  void registrationModeRequested(bool on);
  void itemsChanged();
  void opened();
  void closed();

 private:
  void open(Mode mode);
  store::Store& m_store;
  Mode m_mode = Mode::Closed;
  bool m_receiverPresent = true;
  QList<Item> m_items;
  QTimer m_timer;
};

}  // namespace school
