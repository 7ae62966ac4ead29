#include "school/IdentityNumber.h"

namespace school {

IdentityNumber::Check IdentityNumber::check(const QString& text) {
  if (text.isEmpty()) return Check::Empty;
  if (text.size() != 11) return Check::WrongLength;
  int sum = 0;
  for (int i = 0; i < 11; ++i) {
    const QChar c = text.at(i);
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return Check::WrongChecksum;
    if (i < 10) sum += c.unicode() - '0';
  }
  return (sum % 10) == text.at(10).unicode() - '0' ? Check::Valid : Check::WrongChecksum;
}

}  // namespace school
