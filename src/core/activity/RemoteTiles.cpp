#include "activity/RemoteTiles.h"

namespace activity {

namespace {
const QString kBlank = QStringLiteral("X");
}

RemoteTiles::RemoteTiles(const QStringList& addresses, Rule rule) : m_rule(rule) {
  reset(addresses);
}

void RemoteTiles::reset(const QStringList& addresses) {
  m_tiles.clear();
  for (const QString& a : addresses) m_tiles.append(Tile{a, State::NotAnswered, {}, {}, {}});
}

void RemoteTiles::clearAnswers() {
  for (Tile& t : m_tiles) t = Tile{t.address, State::NotAnswered, {}, {}, {}};
}

bool RemoteTiles::mark(const receiver::DugmeSinyali& press, const QTime& at) {
  const bool blank = press.Dugme == kBlank;
  bool changed = false;
  for (Tile& t : m_tiles) {
    if (t.address != press.KumandaAdresi) continue;
    if (m_rule == Rule::FirstAnswer && t.state == State::Answered && !blank) continue;
    t.letter = press.Dugme;
    t.pressedAt = at;
    t.code = press.SinyalKodu;
    if (m_rule == Rule::LastPress)
      t.state = blank ? State::NotAnswered : State::Answered;
    else
      t.state = blank ? State::Blank : State::Answered;
    changed = true;
  }
  return changed;
}

const RemoteTiles::Tile* RemoteTiles::find(const QString& address) const {
  for (const Tile& t : m_tiles)
    if (t.address == address) return &t;
  return nullptr;
}

RemoteTiles::Counts RemoteTiles::counts() const {
  Counts c;
  for (const Tile& t : m_tiles) {
    switch (t.state) {
      case State::Answered:
        ++c.answered;
        break;
      case State::Blank:
        ++c.blank;
        break;
      case State::NotAnswered:
        ++c.notAnswered;
        break;
    }
  }
  return c;
}

bool RemoteTiles::allAnswered() const {
  for (const Tile& t : m_tiles)
    if (t.letter.isEmpty()) return false;
  return true;
}

}  // namespace activity
