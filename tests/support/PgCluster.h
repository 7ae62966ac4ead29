#pragma once

#include <QProcess>
#include <QString>

// The throwaway cluster of tests/support/pgcluster.sh stopped hard and started
// again (DERSLIK_TEST_PGCTL): the school's server going away in mid-lesson.
namespace pgcluster {

inline bool pgctl(const QString& args) {
  const QString command = qEnvironmentVariable("DERSLIK_TEST_PGCTL");
  if (command.isEmpty()) {
    qWarning("DERSLIK_TEST_PGCTL is not set: run the test through tests/support/pgcluster.sh");
    return false;
  }
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(QStringLiteral("sh"), {QStringLiteral("-c"), command + QLatin1Char(' ') + args});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) {
    qWarning("pg_ctl %s: %s", qPrintable(args), p.readAll().constData());
    return false;
  }
  return true;
}
inline bool stop() { return pgctl(QStringLiteral("-m immediate -w stop")); }
inline bool start() { return pgctl(QStringLiteral("-w -t 60 start")); }
// After a failed check: started again unless it runs.
inline bool ensureRunning() { return pgctl(QStringLiteral("status")) || start(); }

}  // namespace pgcluster
