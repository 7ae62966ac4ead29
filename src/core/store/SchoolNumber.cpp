#include "store/SchoolNumber.h"

namespace store {

QString SchoolNumber::automatic(const QString& institutionCode, const QString& sinifi,
                                const QString& kayitNo, const QString& adi, const QString& soyadi) {
  return cleanUp(institutionCode + sinifi.left(3) + kayitNo + adi.left(3) + soyadi.left(3));
}

QString SchoolNumber::cleanUp(QString number) {
  number.replace(QLatin1Char('/'), QLatin1Char('.'));
  number.replace(QLatin1Char('\\'), QLatin1Char('.'));
  number.replace(QLatin1Char('-'), QLatin1Char('.'));
  return number;
}

}  // namespace store
