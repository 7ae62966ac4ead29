#include "activity/PressPipeline.h"

#include <algorithm>

#include "activity/PressConsumer.h"

namespace activity {

PressPipeline::PressPipeline(const receiver::Clock* clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_window(clock) {}

void PressPipeline::setClock(const receiver::Clock* clock) {
  m_clock = clock ? clock : &receiver::SteadyClock::instance();
  m_window.setClock(m_clock);
}

void PressPipeline::setConsumer(PressConsumer* consumer) {
  m_target = [consumer] { return consumer; };
}

void PressPipeline::setThreeButtonSetting(const QString& value) {
  const QString v = value.trimmed();
  m_threeButton = v.isEmpty() ? QStringLiteral("0") : v;
}

PressPipeline::Outcome PressPipeline::feed(const SourcePress& in) {
  if (m_closed) return Outcome::NoTarget;
  const qint64 now = m_clock->msecs();
  const qint64 at = in.atMs < 0 ? now : std::min(in.atMs, now);
  // The window looks at the key as sent, before the three-button rule.
  if (!m_window.accept(in.address, in.key, at)) return Outcome::Repeat;
  PressConsumer* consumer = m_target ? m_target() : nullptr;
  const QSet<QString> teachers = consumer ? consumer->teacherRemotes() : QSet<QString>();
  receiver::AdmittedPress out{{in.address, in.key, in.code},
                              teachers.contains(in.address),
                              m_clock->timeOfDay().addMSecs(int(at - now))};
  if (!out.teacher && m_threeButton != QLatin1String("0") && out.press.Dugme == QLatin1String("E"))
    out.press.Dugme = QStringLiteral("C");
  emit admitted(out, consumer != nullptr);
  if (!consumer) return Outcome::NoTarget;
  consumer->press(out);
  return Outcome::Delivered;
}

}  // namespace activity
