#pragma once

#include <QHash>
#include <QImage>
#include <QList>

#include "cards/CardNumbers.h"
#include "cards/CardReader.h"
#include "cards/Steadiness.h"

namespace activity {
class PressPipeline;
}
namespace receiver {
class Clock;
}

namespace cards {

// The card source of the press pipeline: frames in, presses out. Each frame's
// cards are read; a card of a student of the class whose letter is steady
// (Steadiness) becomes a press of the student's address, fed to the one
// pipeline as a remote's press would be. Cards of no student of the class are
// reported and never pressed. A camera (or anything else that has frames) calls
// handleFrame() for each frame on the pipeline's thread; one that reads its
// frames on a worker thread (a CardReader of its own there) hands each frame's
// sightings to take() on the pipeline's thread instead.
//
//   cards::CardSource source(pipeline, &clock);
//   source.setClass(CardNumbers(store).classCards("7-A").value());
//   const cards::CardSource::Frame f = source.handleFrame(frame);
class CardSource {
 public:
  explicit CardSource(activity::PressPipeline& pipeline, const receiver::Clock* clock,
                      float decimate = 2.0f);

  void setClass(const QList<CardHolder>& holders);
  // The same letter counts again (a new question).
  void newQuestion() {
    m_steady.clear();
    m_counted.clear();
    ++m_question;
  }

  struct Seen {
    Sighting sighting;
    CardHolder holder;
    bool pressed = false;  // this frame made it a press
  };
  struct Frame {
    QList<Seen> known;        // cards of the class, with their students
    QList<Sighting> unknown;  // cards of nobody in the class
  };
  // Reads `frame` (taken at `atMs` on the pipeline's clock; -1: now) and feeds
  // the presses it makes.
  Frame handleFrame(const QImage& frame, qint64 atMs = -1);
  // The same for a frame already read.
  Frame take(const QList<Sighting>& sightings, qint64 atMs = -1) {
    return takeRead(sightings, atMs, false);
  }
  // A still picture already read (a photo opened or pasted): its cards count at
  // once (Steadiness::seeStill).
  Frame takeStill(const QList<Sighting>& sightings, qint64 atMs = -1) {
    return takeRead(sightings, atMs, true);
  }

  // The students whose card has given a letter since the last newQuestion().
  int cardsCounted() const { return int(m_counted.size()); }
  // The students of the class with a card ("27 / 31 kart okundu").
  int cardsOfClass() const { return int(m_holders.size()); }

 private:
  Frame takeRead(const QList<Sighting>& sightings, qint64 atMs, bool still);

  activity::PressPipeline& m_pipeline;
  const receiver::Clock* m_clock;
  CardReader m_reader;
  Steadiness m_steady;
  QHash<int, CardHolder> m_holders;
  QHash<int, QChar> m_counted;
  quint64 m_question = 0;  // counts newQuestion() and setClass()
};

}  // namespace cards
