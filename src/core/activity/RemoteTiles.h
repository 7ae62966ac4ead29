#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include "receiver/DugmeSinyali.h"

namespace activity {

// The state of the remotes taking part in an activity, one tile per remote, in
// the order they were given. A screen draws the tiles from here (colour by
// state, caption by address); nothing of the state lives in a widget.
class RemoteTiles {
 public:
  enum class State {
    NotAnswered,  // waiting (drawn light yellow)
    Answered,     // a letter A..E arrived (light red)
    Blank,        // the blank key (white where a blank counts as an answer)
  };
  struct Tile {
    QString address;
    State state = State::NotAnswered;
    QString letter;   // "A".."E", "X" for blank; empty while not answered
    QTime pressedAt;  // when the answer came; invalid while not answered
    QString code;     // the raw code of the last press (SinyalKodu)
  };
  struct Counts {
    int answered = 0;     // lblCevapVeren
    int blank = 0;        // lblBos
    int notAnswered = 0;  // lblCevapVermeyen
  };
  // How a press changes a tile.
  enum class Rule {
    // Remote test grid and attendance: every press counts again; the blank key
    // shows as not answered (the remote works, but said nothing).
    LastPress,
    // A question: the first letter stays, only the blank key can still change an
    // answered tile; the blank key is a blank answer.
    FirstAnswer,
  };

  RemoteTiles() = default;
  explicit RemoteTiles(const QStringList& addresses, Rule rule = Rule::FirstAnswer);

  void reset(const QStringList& addresses);
  // Every tile back to not answered (the next question).
  void clearAnswers();

  // Applies a press to every tile of its address; true when a tile changed.
  bool mark(const receiver::DugmeSinyali& press, const QTime& at);

  const QList<Tile>& tiles() const { return m_tiles; }
  int size() const { return int(m_tiles.size()); }
  const Tile* find(const QString& address) const;
  Counts counts() const;
  // True when no tile waits for an answer.
  bool allAnswered() const;
  Rule rule() const { return m_rule; }

 private:
  QList<Tile> m_tiles;
  Rule m_rule = Rule::FirstAnswer;
};

}  // namespace activity
