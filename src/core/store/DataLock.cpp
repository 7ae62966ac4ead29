#include "store/DataLock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace store {

namespace {

struct LockState {
  int fd = -1;
  QString path;
  DataLock::Mode mode = DataLock::Mode::None;
};

LockState& state() {
  static LockState s;
  return s;
}

bool tryFlock(int fd, DataLock::Mode mode) {
  const int op = (mode == DataLock::Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  int r;
  do {
    r = ::flock(fd, op);
  } while (r != 0 && errno == EINTR);
  return r == 0;
}

bool lockWithin(int fd, DataLock::Mode mode, int waitMs) {
  QDeadlineTimer deadline(waitMs);
  while (!tryFlock(fd, mode)) {
    if (errno != EWOULDBLOCK || deadline.hasExpired()) return false;
    QThread::msleep(20);
  }
  return true;
}

}  // namespace

QString DataLock::filePath(const QString& root) {
  return QDir(root).filePath(QStringLiteral("derslik.veri.lock"));
}

DataLock::Mode DataLock::mode(const QString& root) {
  LockState& s = state();
  return s.path == filePath(root) ? s.mode : Mode::None;
}

void DataLock::release() {
  LockState& s = state();
  if (s.fd >= 0) ::close(s.fd);  // closing drops the flock
  s = LockState{};
}

bool DataLock::acquire(const QString& root, Mode mode, int waitMs) {
  LockState& s = state();
  // The data folder changed (tests make one per case): the old lock goes.
  if (s.fd >= 0 && s.path != filePath(root)) release();
  if (mode == Mode::None) {
    release();
    return true;
  }
  if (s.mode == mode) return true;
  if (s.fd < 0) {
    s.path = filePath(root);
    s.fd = ::open(s.path.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (s.fd < 0) {
      s = LockState{};
      return false;
    }
  }
  const Mode before = s.mode;
  if (lockWithin(s.fd, mode, waitMs)) {
    s.mode = mode;
    return true;
  }
  // A refused change may have dropped the lock held before; take it back.
  if (before == Mode::None || !lockWithin(s.fd, before, DataLock::kDefaultWaitMs)) {
    release();
    return false;
  }
  s.mode = before;
  return false;
}

ExclusiveDataLock::ExclusiveDataLock(const QString& root, int waitMs)
    : m_root(root), m_before(DataLock::mode(root)) {
  m_held = DataLock::acquire(root, DataLock::Mode::Exclusive, waitMs);
}

ExclusiveDataLock::~ExclusiveDataLock() {
  if (!m_held) return;
  if (m_before == DataLock::Mode::None)
    DataLock::release();
  else
    (void)DataLock::acquire(m_root, m_before);
}

}  // namespace store
