#pragma once

#include <QProcess>
#include <QStringList>
#include <QtGlobal>

// Takes the throwaway cluster of tests/support/pgcluster.sh away and back:
// serverControl("stop -m immediate"), serverControl("start"),
// serverControl("restart -m immediate"). False (with the reason in the test's
// output) when pg_ctl failed or the test does not run under pgcluster.sh.
inline bool serverControl(const QString& action) {
  QStringList args = QProcess::splitCommand(qEnvironmentVariable("DERSLIK_TEST_PGCTL"));
  if (args.isEmpty()) {
    qWarning("DERSLIK_TEST_PGCTL is not set: run the test through tests/support/pgcluster.sh");
    return false;
  }
  args << action.split(QLatin1Char(' '));
  QProcess pgctl;
  pgctl.start(args.takeFirst(), args);
  if (!pgctl.waitForFinished(60000) || pgctl.exitStatus() != QProcess::NormalExit ||
      pgctl.exitCode() != 0) {
    qWarning("pg_ctl %s: %s", qPrintable(action), pgctl.readAllStandardError().constData());
    return false;
  }
  return true;
}
