#include "game/Race.h"

#include <QLocale>

#include <algorithm>

namespace game {

Race::Race(const receiver::Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

Status Race::start(const Players& players, int stepIntervalMs, int trackLength) {
  if (players.addresses.isEmpty()) return Status::failure(noPlayersText());
  m_lanes.clear();
  for (int i = 0; i < players.size(); ++i) {
    Lane lane;
    lane.address = players.addresses.at(i);
    lane.name = players.names.value(i, lane.address);
    m_lanes.append(lane);
  }
  m_interval = std::max(stepIntervalMs, 0);
  m_length = std::max(trackLength, 1);
  m_startMs = m_clock.msecs();
  m_endMs = -1;
  m_finishers = 0;
  m_over = false;
  emit changed();
  return {};
}

void Race::press(const receiver::AdmittedPress& p) {
  if (m_over) return;
  const QString& key = p.press.Dugme;
  if (key != QLatin1String("A") && key != QLatin1String("B")) return;
  const qint64 now = m_clock.msecs();
  for (int i = 0; i < m_lanes.size(); ++i) {
    Lane& lane = m_lanes[i];
    if (lane.address != p.press.KumandaAdresi || lane.place > 0) continue;
    // A first, then the other key each time, no faster than the interval.
    const QString wanted =
        lane.lastKey == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
    if (key != wanted) continue;
    if (lane.lastStepMs >= 0 && now - lane.lastStepMs < m_interval) continue;
    lane.lastKey = key;
    lane.lastStepMs = now;
    ++lane.steps;
    if (lane.steps >= m_length) {
      lane.place = ++m_finishers;
      lane.timeMs = now - m_startMs;
    }
    emit laneMoved(i);
  }
  if (m_finishers >= std::min(kPodium, int(m_lanes.size())) && !m_over) {
    m_over = true;
    m_endMs = now;
    emit finished();
  }
  emit changed();
}

activity::AnswerState Race::answerState(const QString& address) const {
  for (const Lane& lane : m_lanes)
    if (lane.address == address)
      return {1, !m_over && lane.place == 0, lane.lastKey, QStringLiteral("AB")};
  return {};
}

QList<Race::PodiumPlace> Race::podium() const {
  QList<const Lane*> finished;
  for (const Lane& l : m_lanes)
    if (l.place > 0) finished << &l;
  std::sort(finished.begin(), finished.end(),
            [](const Lane* a, const Lane* b) { return a->place < b->place; });
  QList<PodiumPlace> out;
  for (const Lane* l : finished) {
    if (out.size() == kPodium) break;
    out.append({l->place, l->name, timeText(l->timeMs)});
  }
  return out;
}

qint64 Race::elapsedMs() const { return (m_endMs >= 0 ? m_endMs : m_clock.msecs()) - m_startMs; }

QString Race::timeText(qint64 ms) {
  return QLocale(QLocale::Turkish).toString(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" sn");
}

}  // namespace game
