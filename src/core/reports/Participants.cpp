#include "reports/Participants.h"

namespace reports {

QString PersonName::full() const {
  if (adi.isEmpty()) return soyadi;
  if (soyadi.isEmpty()) return adi;
  return adi + QLatin1Char(' ') + soyadi;
}

PersonName displayName(const QString& address, const QString& kayitNo, const QString& adi,
                       const QString& soyadi) {
  const qsizetype bar = kayitNo.indexOf(QLatin1Char('|'));
  if (bar >= 0) return {kayitNo.left(bar), kayitNo.mid(bar + 1)};
  if (adi.isEmpty() && soyadi.isEmpty() && kayitNo.isEmpty()) return {address, {}};
  return {adi, soyadi};
}

QString participantKey(const QString& address, const QString& kayitNo) {
  return kayitNo.isEmpty() ? QStringLiteral("@") + address : kayitNo;
}

}  // namespace reports
