#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

#include "receiver/Clock.h"
#include "receiver/DugmeSinyali.h"
#include "receiver/RepeatWindow.h"

namespace activity {

class PressConsumer;

// One press as a source hears it, whatever the source: the radio receiver (and
// its simulator), later a browser or an answer card. A source knows nothing of
// the activity it reaches.
struct SourcePress {
  QString address;   // the remote the press stands for ("12-201")
  QString key;       // "A".."E", "X" for the blank key
  qint64 atMs = -1;  // when it was pressed, on the pipeline's clock; -1: as it is fed
  QString code;      // what the source sent with it (the receiver's button code)
};

// The one road of every press to the activity running: the one-second repeat
// window (a held button keeps sending), the teacher remotes of the active
// consumer told apart, and the three-button rule (remotes with three answer
// buttons send E for what the class knows as C; a teacher's E stays a pause).
// No activity knows which source a press came from; no source knows which
// activity is running.
//
//   activity::PressPipeline presses(&clock);
//   presses.setTarget([&router] { return router.activeConsumer(); });
//   presses.feed({QStringLiteral("12-201"), QStringLiteral("A")});
class PressPipeline : public QObject {
  Q_OBJECT
 public:
  enum class Outcome {
    Repeat,     // inside the repeat window: dropped, nobody hears of it
    Delivered,  // the active consumer took it
    NoTarget,   // admitted, but no activity listens now
  };
  // Which consumer takes the presses now (null: none).
  using Target = std::function<PressConsumer*()>;

  explicit PressPipeline(const receiver::Clock* clock = &receiver::SteadyClock::instance(),
                         QObject* parent = nullptr);

  void setClock(const receiver::Clock* clock);
  void setTarget(Target target) { m_target = std::move(target); }
  // A pipeline that serves one consumer only (a simulated run).
  void setConsumer(PressConsumer* consumer);
  // TABLEOKUL.UCDUGME as read at start-up; blank means "0" (off).
  void setThreeButtonSetting(const QString& value);
  const QString& threeButtonSetting() const { return m_threeButton; }
  // Closed (the program is closing): every press is dropped.
  void setClosed(bool closed) { m_closed = closed; }

  Outcome feed(const SourcePress& press);

  const receiver::RepeatWindow& repeatWindow() const { return m_window; }

 signals:
  // Every press that passed the repeat window, as the consumer got it (or would
  // have: `delivered` is false when no activity listened).
  void admitted(const receiver::AdmittedPress& press, bool delivered);

 private:
  const receiver::Clock* m_clock;
  receiver::RepeatWindow m_window;
  Target m_target;
  QString m_threeButton = QStringLiteral("0");
  bool m_closed = false;
};

}  // namespace activity
