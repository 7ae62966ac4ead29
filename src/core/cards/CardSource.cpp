#include "cards/CardSource.h"

#include "activity/PressPipeline.h"
#include "receiver/Clock.h"

namespace cards {

CardSource::CardSource(activity::PressPipeline& pipeline, const receiver::Clock* clock,
                       float decimate)
    : m_pipeline(pipeline), m_clock(clock), m_reader(decimate) {}

void CardSource::setClass(const QList<CardHolder>& holders) {
  m_holders.clear();
  for (const CardHolder& h : holders)
    if (h.card > 0) m_holders.insert(h.card, h);
  m_steady.clear();
  m_counted.clear();
  ++m_question;
}

CardSource::Frame CardSource::handleFrame(const QImage& frame, qint64 atMs) {
  return takeRead(m_reader.read(frame), atMs, false);
}

CardSource::Frame CardSource::takeRead(const QList<Sighting>& sightings, qint64 atMs, bool still) {
  const qint64 at = atMs < 0 ? m_clock->msecs() : atMs;
  Frame out;
  for (const Sighting& s : sightings) {
    const auto holder = m_holders.constFind(s.card);
    if (holder == m_holders.constEnd()) {
      out.unknown.append(s);
      continue;
    }
    Seen seen{s, *holder, false};
    const QChar steady =
        still ? m_steady.seeStill(s.card, s.letter, at) : m_steady.see(s.card, s.letter, at);
    if (!steady.isNull()) {
      m_counted.insert(s.card, steady);
      seen.pressed = true;
      const quint64 question = m_question;
      m_pipeline.feed({holder->student.address, QString(steady), at, QString()});
      // That press moved the activity on (the last answer of a question): the
      // rest of the frame was seen for the question before, and must not
      // answer the new one.
      if (m_question != question) {
        out.known.append(seen);
        break;
      }
    }
    out.known.append(seen);
  }
  return out;
}

}  // namespace cards
