#include "cards/Steadiness.h"

namespace cards {

QChar Steadiness::see(int card, QChar letter, qint64 atMs) {
  auto it = m_cards.find(card);
  if (it != m_cards.end() && atMs - it->lastSeen > kForgetMs) {
    m_cards.erase(it);
    it = m_cards.end();
  }
  if (it == m_cards.end()) it = m_cards.insert(card, State{});
  State& s = *it;
  s.lastSeen = atMs;
  // A read between two letters breaks a run of reads as another letter would.
  if (s.letter != letter || letter.isNull()) {
    s.letter = letter;
    s.times.clear();
  }
  if (letter.isNull()) return {};
  s.times.append(atMs);
  while (!s.times.isEmpty() && atMs - s.times.first() > kWindowMs) s.times.removeFirst();
  if (s.times.size() < kFrames || s.counted == letter) return {};
  s.counted = letter;
  return letter;
}

QChar Steadiness::seeStill(int card, QChar letter, qint64 atMs) {
  QChar counted;
  for (int i = 0; i < kFrames && counted.isNull(); ++i) counted = see(card, letter, atMs);
  return counted;
}

}  // namespace cards
