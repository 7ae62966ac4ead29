#pragma once

#include <QString>

namespace store {

// The lock every process that uses the data folder holds: the window for its
// whole run, each derslik-cli command while it works, shared among them; the
// school-year rollover (and the repair of an interrupted one) alone, exclusive.
// A writer can therefore never write into a database the rollover is copying or
// replacing. The lock is the kernel's (flock) on a file in the data folder, so a
// killed process releases it with everything else it held.
//
// One lock per process, on one data folder (`root`, store::Store::root()): asking
// for another mode changes it, asking for another folder lets the old one go.
// Changing modes is not atomic; a failed change restores the mode held before.
class DataLock {
 public:
  enum class Mode { None, Shared, Exclusive };

  // How long a start-up or a writer waits for a running rollover before giving up.
  static constexpr int kDefaultWaitMs = 3000;

  // Takes `mode` on the current data folder's lock, waiting up to `waitMs`. False
  // when another process held a conflicting lock the whole time.
  [[nodiscard]] static bool acquire(const QString& root, Mode mode, int waitMs = kDefaultWaitMs);
  static void release();
  static Mode mode(const QString& root);
  static QString filePath(const QString& root);

  // What a writer or a start-up says when a rollover holds the folder.
  static QString rolloverRunningMessage() {
    return QStringLiteral(
        "Sınıf atlatma sürüyor. Bitince yeniden deneyiniz; hiçbir şey yazılmadı.");
  }
  // What the rollover says when others keep the folder open.
  static QString folderInUseMessage() {
    return QStringLiteral(
        "Veri klasörünü şu anda başka bir işlem kullanıyor (açık bir Derslik penceresi ya da bir "
        "derslik-cli komutu). O işlem bitince yeniden deneyiniz.");
  }
};

// Holds the exclusive lock for a scope and gives back the mode held before.
class ExclusiveDataLock {
 public:
  explicit ExclusiveDataLock(const QString& root, int waitMs = DataLock::kDefaultWaitMs);
  ~ExclusiveDataLock();
  ExclusiveDataLock(const ExclusiveDataLock&) = delete;
  ExclusiveDataLock& operator=(const ExclusiveDataLock&) = delete;
  bool held() const { return m_held; }

 private:
  QString m_root;
  DataLock::Mode m_before;
  bool m_held = false;
};

}  // namespace store
