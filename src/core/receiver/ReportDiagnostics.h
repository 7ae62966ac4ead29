#pragma once

#include <QObject>
#include <QStringList>

namespace receiver {

// The receiver's diagnostics: the last report as text and the list of recent
// reports. The list is cleared before it would grow past 46 entries, so it never
// grows without bound during a long lesson.
class ReportDiagnostics : public QObject {
  Q_OBJECT
 public:
  static constexpr int kClearAbove = 45;

  using QObject::QObject;

  void add(const QString& reportText);
  // Free-form lines (device opened, access refused ...) go to the same list but
  // are not counted as reports.
  void note(const QString& line);

  const QString& lastReport() const { return m_last; }
  const QStringList& recent() const { return m_recent; }
  qint64 reportCount() const { return m_count; }

 signals:
  void changed();

 private:
  QString m_last;
  QStringList m_recent;
  qint64 m_count = 0;
};

}  // namespace receiver
