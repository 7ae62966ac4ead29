#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "Result.h"
#include "activity/AnswerView.h"
#include "activity/PressConsumer.h"
#include "game/GamePlayers.h"
#include "receiver/Clock.h"

namespace game {

// The class game (frmOyun1) without its drawing: a race across the board, one
// lane per present player. A player moves one step by pressing A, then B, then A
// again … (the same key twice moves nothing), at most one step per step interval;
// the first to reach the end of the track wins, and the race is over when the
// podium (the first three, or every player when there are fewer) is complete.
// A player on a browser gets A and B, open while they are still running, and
// sees the key they pressed last (the next step takes the other one).
//
//   game::Race race(clock);
//   if (Status s = race.start(attendance.start()); !s) return messages.warning(s.error());
//   router.attach(window, &race);
//   connect(&race, &Race::laneMoved, view, &RaceView::animate);
class Race : public QObject, public activity::PressConsumer, public activity::AnswerView {
  Q_OBJECT
 public:
  static constexpr int kStepIntervalMs = 500;
  static constexpr int kTrackLength = 30;
  static constexpr int kPodium = 3;

  struct Lane {
    QString address;
    QString name;
    int steps = 0;
    QString lastKey;  // "A" or "B": the next step needs the other one
    qint64 lastStepMs = -1;
    int place = 0;       // 1, 2, 3 … once at the finish; 0 before
    qint64 timeMs = -1;  // from the start to the finish
  };
  struct PodiumPlace {
    int place = 0;
    QString name;
    QString time;  // "12,5 sn"
  };

  explicit Race(const receiver::Clock& clock, QObject* parent = nullptr);

  // "Oyuncu sayısı sıfır" when nobody is present. The race runs from now.
  Status start(const Players& players, int stepIntervalMs = kStepIntervalMs,
               int trackLength = kTrackLength);
  void press(const receiver::AdmittedPress& press) override;
  activity::AnswerState answerState(const QString& address) const override;

  const QList<Lane>& lanes() const { return m_lanes; }
  int trackLength() const { return m_length; }
  bool over() const { return m_over; }
  // The finished players in their order (the first three once the race is over).
  QList<PodiumPlace> podium() const;
  // Since the start, frozen at the end.
  qint64 elapsedMs() const;

  static QString noPlayersText() { return QStringLiteral("Oyuncu sayısı sıfır"); }
  static QString timeText(qint64 ms);

 signals:
  void laneMoved(int index);
  void finished();
  void changed();

 private:
  const receiver::Clock& m_clock;
  QList<Lane> m_lanes;
  int m_interval = kStepIntervalMs;
  int m_length = kTrackLength;
  qint64 m_startMs = 0;
  qint64 m_endMs = -1;
  int m_finishers = 0;
  bool m_over = true;
};

}  // namespace game
