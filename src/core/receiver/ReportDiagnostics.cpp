#include "receiver/ReportDiagnostics.h"

namespace receiver {

void ReportDiagnostics::add(const QString& reportText) {
  m_last = reportText;
  ++m_count;
  note(reportText);
}

void ReportDiagnostics::note(const QString& line) {
  if (m_recent.size() > kClearAbove) m_recent.clear();
  m_recent.append(line);
  emit changed();
}

}  // namespace receiver
