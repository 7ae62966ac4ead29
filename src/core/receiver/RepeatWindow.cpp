#include "receiver/RepeatWindow.h"

namespace receiver {

bool RepeatWindow::accept(const QString& address, const QString& letter, qint64 now) {
  const QString key = address + QLatin1Char('-') + letter;
  if (key == m_sonSinyal && now - m_acceptedAt < kWindowMs)
    return false;  // dropped; the window is not restarted
  m_sonSinyal = key;
  m_acceptedAt = now;
  return true;
}

QString RepeatWindow::SonSinyal() const {
  if (m_sonSinyal.isEmpty() || m_clock->msecs() - m_acceptedAt >= kWindowMs) return {};
  return m_sonSinyal;
}

}  // namespace receiver
