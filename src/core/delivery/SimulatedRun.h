#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

#include "Messages.h"
#include "Result.h"
#include "activity/PressPipeline.h"
#include "delivery/RunSession.h"
#include "delivery/RunSettings.h"
#include "delivery/RunSetup.h"
#include "receiver/Clock.h"
#include "receiver/RadioSource.h"
#include "receiver/SimulatedReceiver.h"

namespace store {
class Store;
}

namespace delivery {

// One line of an answers file: "ADDRESS LETTERS [SECONDS,...]", one letter per
// question in test order (A-E, X for the blank key, - for no press) and, when
// given, the press time of each in seconds after the question is shown.
struct ScriptedRemote {
  QString address;
  QString letters;
  QList<double> seconds;  // empty: random times
};

// A whole run of a test by a simulated class, on simulated time: the reports of the
// simulated receiver go through the radio source and the press pipeline to the
// RunSession, as in the classroom, and the run is
// recorded as any other. Remotes without a script answer at random (seeded); the
// teacher remote presses B where a teacher would.
//
//   delivery::SimulatedRun sim(store, messages);
//   Result<reports::RunKey> key = sim.run(options);
class SimulatedRun {
 public:
  struct Options {
    QString testNo;
    QString className;
    RunSettings settings;
    QList<ScriptedRemote> scripted;
    QDateTime at = QDateTime::currentDateTime();  // when the run opens
    double speed = 0;  // simulated seconds per real second; 0: as fast as possible
    quint32 seed = 1;
  };
  // A report as the receiver delivered it, for tests to compare with the record.
  struct Sent {
    int position = 0;  // the question it was sent during
    QString address;
    QString letter;
    qint64 atMs = 0;  // after the question was shown
  };

  SimulatedRun(store::Store& store, Messages& messages);
  ~SimulatedRun();

  // Reads an answers file's text; errors name the line ("Cevap dosyası, satır 3: …").
  static Result<QList<ScriptedRemote>> parseAnswers(const QString& text);

  Result<reports::RunKey> run(const Options& options);
  // A free run of `questions` questions (the homework check) by the class: the
  // teacher remote opens the vote with C, the class answers, C closes it (or the
  // countdown does) and B goes on. options.testNo is not used; the letters of an
  // answers file are one per free question.
  Result<reports::RunKey> runFree(const Options& options, int questions);

  const QList<Sent>& sent() const { return m_sent; }
  RunSession* session() const { return m_session.get(); }
  const receiver::ManualClock& clock() const { return *m_clock; }
  // Given to the run's recording (the crash tests kill the process inside it).
  void setRecordingHooks(Recording::Hooks hooks) { m_recordingHooks = std::move(hooks); }

 private:
  struct Event {
    qint64 at;  // after the question was shown (or its vote opened)
    QString address;
    QString letter;
  };

  // The class's remotes and the teacher remotes, as the setup screen lists them.
  Result<RunSetup::Start> classStart();
  Status checkScripts(const RunPlan& plan, int questions) const;
  // Every scripted press time within its question's time (secondsOf(position),
  // 0 for an untimed question).
  Status checkTimes(const std::function<int(int)>& secondsOf) const;
  // Runs the opened session until it asks to close.
  Status drive();
  void feed(const QByteArray& report);
  void advanceTo(qint64 ms);
  // The teacher remote presses `letter`, or the screen's button when there is none.
  void teacherKey(const QString& letter, RunSession::Command button);
  void teacherNext();
  QList<Event> eventsOf(int position, qint64 window) const;
  bool playQuestion();
  bool playFreeQuestion();

  store::Store& m_store;
  Messages& m_messages;
  AgreeingMessages m_teacher{m_messages};
  Options m_options;
  std::unique_ptr<receiver::ManualClock> m_clock;
  std::unique_ptr<RunSession> m_session;
  std::unique_ptr<receiver::SimulatedReceiver> m_receiver;
  activity::PressPipeline m_pipeline;
  receiver::RadioSource m_radio{m_pipeline};
  QList<Sent> m_sent;
  QHash<QString, const ScriptedRemote*> m_scriptOf;  // into m_options.scripted
  Recording::Hooks m_recordingHooks;
  QElapsedTimer m_real;
};

}  // namespace delivery
