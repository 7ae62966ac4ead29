#include "receiver/ReportDiagnostics.h"

namespace receiver {

void ReportDiagnostics::add(const QString& reportText) {
  m_last = reportText;
  if (m_recent.size() > kClearAbove) m_recent.clear();
  m_recent.append(reportText);
  ++m_count;
  emit changed();
}

}  // namespace receiver
