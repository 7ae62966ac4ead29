#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QTime>

namespace receiver {

// Where the press handling gets its time from; tests put a clock of their own in.
class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic milliseconds; only differences matter.
  virtual qint64 msecs() const = 0;
  // Time of day written into a tile ("HH:mm:ss").
  virtual QTime timeOfDay() const = 0;
  // Date and time of day: the date a test run is recorded under.
  virtual QDateTime now() const { return QDateTime(QDate::currentDate(), timeOfDay()); }
};

class SteadyClock : public Clock {
 public:
  SteadyClock() { m_timer.start(); }
  qint64 msecs() const override { return m_timer.elapsed(); }
  QTime timeOfDay() const override { return QTime::currentTime(); }
  QDateTime now() const override { return QDateTime::currentDateTime(); }

  static SteadyClock& instance();

 private:
  QElapsedTimer m_timer;
};

// Simulated time: starts at a given date and time and moves only when told, so a
// whole class period runs in milliseconds (derslik-cli run simulate, tests, bench).
class ManualClock : public Clock {
 public:
  explicit ManualClock(const QDateTime& start = QDateTime(QDate(2026, 3, 2), QTime(9, 0)))
      : m_start(start) {}
  qint64 msecs() const override { return m_ms; }
  QTime timeOfDay() const override { return now().time(); }
  QDateTime now() const override { return m_start.addMSecs(m_ms); }
  void advance(qint64 ms) { m_ms += ms; }

 private:
  QDateTime m_start;
  qint64 m_ms = 0;
};

}  // namespace receiver
