#include "game/Attendance.h"

namespace game {

Attendance::Attendance(Players players, const receiver::Clock& clock, QObject* parent)
    : QObject(parent),
      m_players(std::move(players)),
      m_clock(clock),
      m_tiles(m_players.addresses, activity::RemoteTiles::Rule::LastPress) {}

void Attendance::press(const receiver::AdmittedPress& p) {
  if (p.press.Dugme.isEmpty()) return;
  if (!m_tiles.mark(p.press, m_clock.timeOfDay())) return;
  for (int i = 0; i < m_tiles.size(); ++i)
    if (m_tiles.tiles().at(i).address == p.press.KumandaAdresi) emit tileChanged(i);
  emit changed();
}

activity::AnswerState Attendance::answerState(const QString& address) const {
  const activity::RemoteTiles::Tile* tile = m_tiles.find(address);
  if (!tile) return {};
  return {1, true, tile->letter, QStringLiteral("ABCDE")};
}

QString Attendance::countText() const { return QStringLiteral("(%1)").arg(presentCount()); }

Players Attendance::start() const {
  Players present;
  for (int i = 0; i < m_tiles.size(); ++i) {
    if (m_tiles.tiles().at(i).state != activity::RemoteTiles::State::Answered) continue;
    present.addresses << m_players.addresses.at(i);
    present.names << m_players.names.value(i, m_players.addresses.at(i));
  }
  return present;
}

}  // namespace game
