#pragma once

#include <QString>

#include "receiver/Clock.h"

namespace receiver {

// The one-second repeat window: a remote keeps sending while a button is held,
// and a press of the same button on the same remote counts again only after
// 1000 ms since the last accepted one. Only the last accepted key is remembered,
// so any other key is accepted at once and opens its own window.
class RepeatWindow {
 public:
  static constexpr qint64 kWindowMs = 1000;

  explicit RepeatWindow(const Clock* clock = &SteadyClock::instance()) : m_clock(clock) {}
  void setClock(const Clock* clock) { m_clock = clock; }

  // True when the press is accepted (and opens a new window for its key).
  bool accept(const QString& address, const QString& letter) {
    return accept(address, letter, m_clock->msecs());
  }
  // The same for a press made at `atMs` on the clock (a source that tells when).
  bool accept(const QString& address, const QString& letter, qint64 atMs);
  // The key of the last accepted press while its window is open ("12-201-A").
  QString SonSinyal() const;

 private:
  const Clock* m_clock;
  QString m_sonSinyal;
  qint64 m_acceptedAt = 0;
};

}  // namespace receiver
