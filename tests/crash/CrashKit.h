#pragma once

// What the crash programs share: copying a data folder, running a command that
// may be killed with SIGKILL after a delay, and a plain read-only look into a
// database file beside all of Derslik's machinery.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QThread>

namespace crashkit {

inline bool copyFolder(const QString& from, const QString& to) {
  QDir().mkpath(to);
  const QDir source(from);
  for (const QFileInfo& e : source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
    const QString target = QDir(to).filePath(e.fileName());
    if (e.isDir() ? !copyFolder(e.filePath(), target) : !QFile::copy(e.filePath(), target))
      return false;
  }
  return true;
}

struct Run {
  int exitCode = -1;
  bool crashed = false;
  QString output;
};

// Runs the program; with `killAfterMs` >= 0 it gets SIGKILL after that many
// milliseconds unless it has finished already.
inline Run runProcess(const QString& program, const QStringList& args, int killAfterMs = -1) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  Run r;
  if (!p.waitForStarted()) return r;
  if (killAfterMs >= 0) {
    QThread::msleep(static_cast<unsigned long>(killAfterMs));
    if (p.state() == QProcess::Running) p.kill();  // SIGKILL
  }
  p.waitForFinished(60000);
  r.exitCode = p.exitCode();
  r.crashed = p.exitStatus() == QProcess::CrashExit;
  r.output = QString::fromUtf8(p.readAll());
  return r;
}

class Peek {
 public:
  enum Mode { ReadOnly, ReadWrite };
  explicit Peek(const QString& file, Mode mode = ReadOnly)
      : m_name(QStringLiteral("peek%1").arg(++s_count)) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(file);
    if (mode == ReadOnly) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    m_ok = QFile::exists(file) && db.open();
  }
  ~Peek() {
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
  }
  Peek(const Peek&) = delete;
  Peek& operator=(const Peek&) = delete;
  bool ok() const { return m_ok; }
  QStringList column(const QString& sql) const {
    QStringList values;
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    if (!q.exec(sql)) return {QStringLiteral("HATA ") + q.lastError().text()};
    while (q.next()) values << q.value(0).toString();
    return values;
  }
  int count(const QString& table) const {
    return column(QStringLiteral("SELECT COUNT(*) FROM ") + table).value(0).toInt();
  }

 private:
  static inline int s_count = 0;
  QString m_name;
  bool m_ok = false;
};

}  // namespace crashkit
