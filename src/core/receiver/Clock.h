#pragma once

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
};

class SteadyClock : public Clock {
 public:
  SteadyClock() { m_timer.start(); }
  qint64 msecs() const override { return m_timer.elapsed(); }
  QTime timeOfDay() const override { return QTime::currentTime(); }

  static SteadyClock& instance();

 private:
  QElapsedTimer m_timer;
};

}  // namespace receiver
