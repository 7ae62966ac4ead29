#pragma once

#include <QChar>
#include <QHash>
#include <QList>

namespace cards {

// Which card reads count as answers. A card counts when it has been read with
// the same letter in 3 frames within a second, with no other letter between
// them: a card half turned from one letter to the next never gives the wrong
// one. A steady letter counts once; the card counts again when its letter
// changes and is steady again, or after it has been out of sight a while (lowered
// between two questions, then raised again).
class Steadiness {
 public:
  static constexpr int kFrames = 3;
  static constexpr qint64 kWindowMs = 1000;
  static constexpr qint64 kForgetMs = 2000;

  // One frame's read of `card`; the letter that now counts, or null.
  QChar see(int card, QChar letter, qint64 atMs);
  // A read of a still picture (a photo opened or pasted): nothing in it moves,
  // so one clear read is as steady as the frames above, and counts at once;
  // the same letter still counts once.
  QChar seeStill(int card, QChar letter, qint64 atMs);
  // Everything forgotten (a new question: the same letter counts again).
  void clear() { m_cards.clear(); }

 private:
  struct State {
    QChar letter;
    QList<qint64> times;  // the last reads of `letter`, in a row
    QChar counted;        // the letter last given out
    qint64 lastSeen = 0;
  };
  QHash<int, State> m_cards;
};

}  // namespace cards
