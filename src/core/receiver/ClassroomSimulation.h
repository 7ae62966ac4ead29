#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <random>

namespace receiver {

// How a simulated class answers.
struct SimulationOptions {
  int remotes = 40;
  double correctRate = 0.6;      // share of answers that are the right letter
  double blankRate = 0.05;       // share of blank (X) answers
  double medianThinkMs = 9000;   // half of the class answers before this
  double thinkSpread = 0.6;      // log-normal spread of the think time
  double doublePressRate = 0.1;  // button held: the receiver sends the report again
  double lateChangeRate = 0.05;  // a student changes their mind a few seconds later
  qint64 questionMs = 30000;     // length of one question
  quint32 seed = 1;
  // Addresses to answer from ("12-201"), e.g. the registered remotes, so that the
  // screens know them; more remotes than addresses get made-up ones.
  QStringList addresses;
};

struct SimulatedReport {
  qint64 atMs = 0;  // from the start of the simulation
  QByteArray data;  // 16 data bytes, as the receiver sends them
};

// A class of remotes answering question after question, as the reports a
// receiver would deliver. Deterministic for a given seed.
class ClassroomSimulation {
 public:
  explicit ClassroomSimulation(const SimulationOptions& options = {});

  int remoteCount() const { return int(m_addresses.size()); }
  // "b4-b5" of remote i.
  QString address(int i) const;
  QStringList addresses() const;

  // Reports of one question starting at `startMs`, sorted by time; every remote
  // answers at least once inside `lengthMs`.
  QList<SimulatedReport> question(qint64 startMs, qint64 lengthMs);
  // Questions one after another, covering `seconds`.
  QList<SimulatedReport> run(qint64 seconds);

  // The correct letter of the last question generated.
  const QString& lastCorrect() const { return m_correct; }

 private:
  double uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(m_random); }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
  QString answerLetter();

  SimulationOptions m_options;
  std::mt19937 m_random;
  QList<QPair<int, int>> m_addresses;
  QString m_correct;
};

}  // namespace receiver
