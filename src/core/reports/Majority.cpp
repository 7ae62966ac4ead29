#include "reports/Majority.h"

#include <array>

namespace reports {

QString majorityKey(const QStringList& answers) {
  static const QString kLetters = QStringLiteral("ABCDE");
  std::array<int, 5> counts{};
  for (const QString& a : answers) {
    if (a.size() != 1) continue;
    if (const qsizetype i = kLetters.indexOf(a.at(0)); i >= 0) ++counts[size_t(i)];
  }
  size_t best = 0;
  for (size_t i = 1; i < counts.size(); ++i)
    if (counts[i] > counts[best]) best = i;  // strictly more: a tie keeps the earlier letter
  return counts[best] > 0 ? QString(kLetters.at(qsizetype(best))) : QString();
}

}  // namespace reports
