#pragma once

#include "receiver/Clock.h"

// A clock the test moves by hand.
class FakeClock : public receiver::Clock {
 public:
  qint64 msecs() const override { return m_ms; }
  QTime timeOfDay() const override { return QTime(9, 0).addMSecs(int(m_ms)); }
  void advance(qint64 ms) { m_ms += ms; }

 private:
  qint64 m_ms = 100000;
};
