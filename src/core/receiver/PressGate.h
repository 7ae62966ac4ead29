#pragma once

#include <QSet>
#include <QString>

#include <optional>

#include "receiver/Clock.h"
#include "receiver/DugmeSinyali.h"
#include "receiver/RepeatWindow.h"

namespace receiver {

// A press that passed the head of DugmeBasildi.
struct AdmittedPress {
  DugmeSinyali press;
  bool teacher = false;
  QTime at;  // when it was admitted (the time a tile shows for the answer)
};

// The head of DugmeBasildi: drops repeats inside the one-second window, tells a
// teacher press from a student press, and applies the three-button rule (remotes
// with three answer buttons send E for what the class knows as C).
class PressGate {
 public:
  explicit PressGate(const Clock* clock = &SteadyClock::instance())
      : m_clock(clock), m_window(clock) {}
  void setClock(const Clock* clock) {
    m_clock = clock;
    m_window.setClock(clock);
  }

  // TABLEOKUL.UCDUGME as read at start-up; blank means "0" (off).
  void setThreeButtonSetting(const QString& value);
  const QString& threeButtonSetting() const { return m_threeButton; }

  // `teachers` is the teacher collection of the active screen (empty when it has none).
  std::optional<AdmittedPress> admit(const DugmeSinyali& press, const QSet<QString>& teachers);

  RepeatWindow& repeatWindow() { return m_window; }

 private:
  const Clock* m_clock;
  RepeatWindow m_window;
  QString m_threeButton = QStringLiteral("0");
};

}  // namespace receiver
