#pragma once

#include <QObject>
#include <QString>

#include "activity/AnswerView.h"
#include "activity/PressConsumer.h"
#include "activity/RemoteTiles.h"
#include "game/GamePlayers.h"
#include "receiver/Clock.h"

namespace game {

// The roll call before the game (frmYoklama) without its widgets: one tile per
// player; any key but the blank key marks the player present, the blank key
// takes the mark back; a press from a remote that is not a player changes
// nothing. start() keeps the players whose own tile is marked.
//
//   game::Attendance roll(players, clock);
//   router.attach(window, &roll);
//   ... game::Players present = roll.start();  // may be empty: the race refuses it
class Attendance : public QObject, public activity::PressConsumer, public activity::AnswerView {
  Q_OBJECT
 public:
  Attendance(Players players, const receiver::Clock& clock, QObject* parent = nullptr);

  void press(const receiver::AdmittedPress& press) override;
  activity::AnswerState answerState(const QString& address) const override;

  const Players& players() const { return m_players; }
  // Answered = present (drawn 8080FF), NotAnswered = not yet (80FFFF).
  const activity::RemoteTiles& tiles() const { return m_tiles; }
  int presentCount() const { return m_tiles.counts().answered; }
  // lblKumandaSayisi: "(5)".
  QString countText() const;
  // The players present, in their order.
  Players start() const;

 signals:
  void tileChanged(int index);
  void changed();

 private:
  Players m_players;
  const receiver::Clock& m_clock;
  activity::RemoteTiles m_tiles;
};

}  // namespace game
