#include "receiver/PressGate.h"

namespace receiver {

void PressGate::setThreeButtonSetting(const QString& value) {
  const QString v = value.trimmed();
  m_threeButton = v.isEmpty() ? QStringLiteral("0") : v;
}

std::optional<AdmittedPress> PressGate::admit(const DugmeSinyali& press,
                                              const QSet<QString>& teachers) {
  if (!m_window.accept(press.KumandaAdresi, press.Dugme)) return std::nullopt;
  AdmittedPress out{press, teachers.contains(press.KumandaAdresi), m_clock->timeOfDay()};
  if (!out.teacher && m_threeButton != QLatin1String("0") && out.press.Dugme == QLatin1String("E"))
    out.press.Dugme = QStringLiteral("C");
  return out;
}

}  // namespace receiver
