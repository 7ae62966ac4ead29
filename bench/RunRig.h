#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>

#include "Messages.h"
#include "delivery/RunSession.h"
#include "receiver/Clock.h"
#include "store/Store.h"

class QMdiArea;

namespace framework {
class ReceiverController;
}

namespace bench {

// A class of `remotes` paired students ("10-1" … "10-<remotes>", class 5-A) and a
// test "1" of `questions` questions, in one transaction.
bool addClassAndTest(store::Store& store, int remotes, int questions);

// A running test on its first question, reached the way the program reaches it:
// a receiver link reading a socket pair, the main window's receiver side and press
// routing, and the run attached to a window as its press consumer. Reports written
// to writeEnd() arrive as presses once events are processed. The run's own clock
// never moves, so its question does not time out however long the rig runs.
class RunRig {
 public:
  // `consumer` receives the presses instead of the run when given (it may pass
  // them on to run()).
  RunRig(store::Store& store, int remotes, activity::PressConsumer* consumer = nullptr);
  ~RunRig();
  bool ok() const { return m_ok; }
  delivery::RunSession& run() { return *m_run; }
  int writeEnd() const { return m_fds[1]; }
  // One report of remote "10-<remote>" pressing `letter` (1-based remote).
  static QByteArray press(int remote, const QString& letter);

 private:
  RecordedMessages m_messages;
  receiver::ManualClock m_clock;
  std::unique_ptr<delivery::RunSession> m_run;
  QMainWindow m_main;
  std::unique_ptr<framework::ReceiverController> m_controller;
  int m_fds[2] = {-1, -1};
  bool m_ok = false;
};

}  // namespace bench
