#include "receiver/ClassroomSimulation.h"

#include <QSet>

#include <algorithm>
#include <cmath>

#include "receiver/ReportDecoder.h"

namespace receiver {

namespace {
const QStringList kAnswers = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                              QStringLiteral("D"), QStringLiteral("E")};
}

ClassroomSimulation::ClassroomSimulation(const SimulationOptions& options)
    : m_options(options), m_random(options.seed) {
  // Real remotes carry two address bytes, both non-zero; no two alike.
  QSet<int> used;
  const int n = std::clamp(options.remotes, 0, 250 * 250);
  for (const QString& a : options.addresses) {
    if (m_addresses.size() >= n) break;
    const QStringList parts = a.split(QLatin1Char('-'));
    bool okHi = false, okLo = false;
    const int hi = parts.size() == 2 ? parts[0].toInt(&okHi) : -1;
    const int lo = parts.size() == 2 ? parts[1].toInt(&okLo) : -1;
    if (!okHi || !okLo || hi < 0 || hi > 255 || lo < 0 || lo > 255) continue;
    if (used.contains(hi * 256 + lo)) continue;
    used.insert(hi * 256 + lo);
    m_addresses.append({hi, lo});
  }
  while (m_addresses.size() < n) {
    const int hi = 1 + pick(250);
    const int lo = 1 + pick(250);
    if (used.contains(hi * 256 + lo)) continue;
    used.insert(hi * 256 + lo);
    m_addresses.append({hi, lo});
  }
}

QString ClassroomSimulation::address(int i) const {
  return QString::number(m_addresses[i].first) + QLatin1Char('-') +
         QString::number(m_addresses[i].second);
}

QStringList ClassroomSimulation::addresses() const {
  QStringList out;
  for (int i = 0; i < remoteCount(); ++i) out << address(i);
  return out;
}

QString ClassroomSimulation::answerLetter() {
  const double r = uniform();
  if (r < m_options.blankRate) return QStringLiteral("X");
  if (r < m_options.blankRate + m_options.correctRate) return m_correct;
  QString other;
  do other = kAnswers[pick(5)];
  while (other == m_correct);
  return other;
}

QList<SimulatedReport> ClassroomSimulation::question(qint64 startMs, qint64 lengthMs) {
  m_correct = kAnswers[pick(5)];
  const qint64 length = std::max<qint64>(lengthMs, 10);
  const double latest = double(length) * 0.9;
  std::lognormal_distribution<double> think(std::log(std::max(1.0, m_options.medianThinkMs)),
                                            m_options.thinkSpread);
  QList<SimulatedReport> out;
  for (int i = 0; i < remoteCount(); ++i) {
    const auto [hi, lo] = m_addresses[i];
    double at = think(m_random);
    if (at > latest) at = latest * (0.5 + 0.5 * uniform());  // the slow ones answer at the end
    const QString letter = answerLetter();
    const int kind = uniform() < 0.5 ? 4 : 3;
    out.append({startMs + qint64(at), pressReport(hi, lo, letter, 1, kind)});
    if (uniform() < m_options.doublePressRate)
      out.append({startMs + qint64(at) + 40 + pick(200), pressReport(hi, lo, letter, 1, kind)});
    if (uniform() < m_options.lateChangeRate) {
      const double later = std::min(at + 1000 + pick(4000), double(length - 1));
      QString changed;
      do changed = kAnswers[pick(5)];
      while (changed == letter);
      out.append({startMs + qint64(later), pressReport(hi, lo, changed, 1, kind)});
    }
  }
  // Nothing spills over into the next question.
  for (SimulatedReport& r : out) r.atMs = std::min(r.atMs, startMs + length - 1);
  std::stable_sort(out.begin(), out.end(), [](const SimulatedReport& a, const SimulatedReport& b) {
    return a.atMs < b.atMs;
  });
  return out;
}

QList<SimulatedReport> ClassroomSimulation::run(qint64 seconds) {
  QList<SimulatedReport> out;
  const qint64 total = std::max<qint64>(seconds, 1) * 1000;
  qint64 start = 0;
  while (start < total) {
    const qint64 length = std::min(m_options.questionMs, total - start);
    out += question(start, length);
    start += length;
  }
  return out;
}

}  // namespace receiver
