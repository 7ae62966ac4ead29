#include "store/RolloverFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "store/Database.h"
#include "store/StoreFiles.h"

namespace store {

namespace {

const QString kMarker = QStringLiteral("TAMAM");
// The journal's second line when the question bank stays with the new year.
const QString kKeepStoresLine = QStringLiteral("soru-bankasi-kalir");

// The journal's lines: the backup first, then what else the swap must know.
QStringList journalLines(const QString& root) {
  QFile journal(swapJournalPath(root));
  if (!journal.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(journal.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
const char* const kSidecars[] = {"-wal", "-shm", "-journal"};

QString mainPath(const QString& root) {
  return QDir(root).filePath(kMainName + QStringLiteral(".db"));
}
QString retiredMainPath(const QString& root) {
  return QDir(root).filePath(QStringLiteral("DERSLIK.eski.db"));
}

bool isStamp(const QString& name) {
  static const QRegularExpression re(
      QStringLiteral("^\\d{4}\\.\\d{1,2}\\.\\d{1,2}-\\d{1,2}\\.\\d{1,2}\\.\\d{1,2}(-\\d+)?$"));
  return re.match(name).hasMatch();
}

// Flushes a file or a folder (the names in it) to the disk; best effort.
void sync(const QString& path, bool folder) {
  const int fd = ::open(QFile::encodeName(path).constData(),
                        O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

void removeWithSidecars(const QString& file) {
  QFile::remove(file);
  for (const char* s : kSidecars) QFile::remove(file + QString::fromLatin1(s));
}

bool renameFile(const QString& from, const QString& to) {
  // rename(2) replaces `to` in one step; QFile::rename refuses an existing target.
  return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

Status writeDurably(const QString& path, const QByteArray& content) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size() || !f.commit())
    return Status::failure(
        QStringLiteral("%1 yazılamadı (%2)").arg(QFileInfo(path).fileName(), f.errorString()));
  sync(QFileInfo(path).absolutePath(), true);
  return {};
}

QStringList backupFolderNames(const QString& root) {
  QStringList names;
  for (const QString& name : QDir(backupRoot(root)).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    if (isStamp(name)) names << name;
  return names;
}

bool hasMarker(const QString& root, const QString& name) {
  return QFileInfo::exists(QDir(backupRoot(root)).filePath(name + QLatin1Char('/') + kMarker));
}

QStringList incompleteBackups(const QString& root) {
  QStringList out;
  for (const QString& name : backupFolderNames(root))
    if (!hasMarker(root, name)) out << name;
  return out;
}

// Backup copies of the main database written before backups got folders of their own.
QStringList flatMainCopies(const QString& root) {
  return QDir(backupRoot(root)).entryList({QStringLiteral("*-DERSLIK.db")}, QDir::Files);
}

QString relativeBackup(const QString& name) { return QStringLiteral("Yedek/") + name; }

}  // namespace

QString stagedMainPath(const QString& root) {
  return QDir(root).filePath(QStringLiteral("DERSLIK.yeni.db"));
}
QString swapJournalPath(const QString& root) {
  return QDir(root).filePath(QStringLiteral("DERSLIK.atlatma"));
}
QString backupRoot(const QString& root) { return QDir(root).filePath(QStringLiteral("Yedek")); }

QList<Backup> completeBackups(const QString& root) {
  QList<Backup> out;
  for (const QString& name : backupFolderNames(root))
    if (hasMarker(root, name)) out.append({name, QDir(backupRoot(root)).filePath(name)});
  // By time, then by the number a second run in the same second got.
  auto key = [](const QString& stamp) {
    const QStringList parts = stamp.split(QLatin1Char('-'));
    const QDateTime when = QDateTime::fromString(parts.value(0) + QLatin1Char('-') + parts.value(1),
                                                 QStringLiteral("yyyy.M.d-H.m.s"));
    return std::make_pair(when, parts.value(2).toInt());
  };
  std::sort(out.begin(), out.end(),
            [&](const Backup& a, const Backup& b) { return key(a.stamp) < key(b.stamp); });
  return out;
}

Result<Backup> createBackupFolder(const QString& root, const QString& stamp) {
  if (!QDir().mkpath(backupRoot(root)))
    return Result<Backup>::failure(QStringLiteral("Yedek klasörü oluşturulamadı."));
  QDir folder(backupRoot(root));
  for (int n = 1; n < 1000; ++n) {
    const QString name = n == 1 ? stamp : QStringLiteral("%1-%2").arg(stamp).arg(n);
    // mkdir fails on an existing folder, so two runs never share one.
    if (folder.mkdir(name)) {
      sync(backupRoot(root), true);
      return Backup{name, folder.filePath(name)};
    }
    if (!folder.exists(name)) break;
  }
  return Result<Backup>::failure(
      QStringLiteral("Yedek klasöründe %1 için yeni bir klasör açılamadı.").arg(stamp));
}

Status copyIntoBackup(const QString& file, const Backup& backup) {
  const QString target = QDir(backup.folder).filePath(QFileInfo(file).fileName());
  if (!QFile::copy(file, target))
    return Status::failure(QStringLiteral("%1, %2 klasörüne kopyalanamadı.")
                               .arg(QFileInfo(file).fileName(), relativeBackup(backup.stamp)));
  sync(target, false);
  return {};
}

Status markBackupComplete(const Backup& backup) {
  const QByteArray text =
      QStringLiteral("Derslik yedeği, %1\n")
          .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")))
          .toUtf8();
  return writeDurably(QDir(backup.folder).filePath(kMarker), text);
}

Status writeSwapJournal(const QString& root, const Backup& backup, bool keepContentStores) {
  if (!QFileInfo::exists(stagedMainPath(root)))
    return Status::failure(QStringLiteral("DERSLIK.yeni.db bulunamadı."));
  sync(stagedMainPath(root), false);  // on the disk before anything points at it
  QString text = relativeBackup(backup.stamp) + QLatin1Char('\n');
  if (keepContentStores) text += kKeepStoresLine + QLatin1Char('\n');
  return writeDurably(swapJournalPath(root), text.toUtf8());
}

Status finishSwap(const QString& root, const std::function<void(const QString&)>& step) {
  auto reached = [&step](const QString& name) {
    if (step) step(name);
  };
  const QString main = mainPath(root);
  if (QFileInfo::exists(stagedMainPath(root))) {
    // The old file's write-ahead log must never be read into the new file.
    for (const char* s : kSidecars) QFile::remove(main + QString::fromLatin1(s));
    reached(QStringLiteral("swap-old-log-removed"));
    if (!renameFile(stagedMainPath(root), main))
      return Status::failure(QStringLiteral("Yeni veritabanı yerine konamadı (%1).")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno))));
    for (const char* s : kSidecars) QFile::remove(stagedMainPath(root) + QString::fromLatin1(s));
    sync(root, true);
    reached(QStringLiteral("swap-main-replaced"));
  }
  // The old year's content lives on in the backup; the new year starts empty,
  // unless the bank stays. The journal says which, also after a kill.
  const QStringList journal = journalLines(root);
  const bool keepStores = journal.contains(kKeepStoresLine);
  for (int n = 1; n <= 100 && !keepStores; ++n) {
    for (StoreKind kind : {StoreKind::Question, StoreKind::Test}) {
      const QString path = storePath(root, kind, n);
      if (!QFileInfo::exists(path)) continue;
      removeWithSidecars(path);
      reached(QStringLiteral("swap-store-removed:") + storeFileName(kind, n));
    }
  }
  // The bank's sounds and videos are named by question number: left in place,
  // the new year's first question would play the old first question's sound.
  // They go with the old year into its backup, a folder in one rename, so a kill
  // leaves each either here or there. A folder that cannot move stays: a board
  // that could not open over it would be worse.
  const QString backup = journal.value(0);
  for (const char* name : {"Sesler", "Videolar"}) {
    const QString folder = QString::fromLatin1(name);
    const QDir dir(root);
    if (keepStores || backup.isEmpty() || !QFileInfo::exists(dir.filePath(folder)) ||
        !QFileInfo::exists(dir.filePath(backup)) ||
        QFileInfo::exists(dir.filePath(backup + QLatin1Char('/') + folder)))
      continue;
    if (QDir(root).rename(folder, backup + QLatin1Char('/') + folder))
      reached(QStringLiteral("swap-media-moved:") + folder);
  }
  removeWithSidecars(retiredMainPath(root));
  sync(root, true);
  if (!QFile::remove(swapJournalPath(root)) && QFileInfo::exists(swapJournalPath(root)))
    return Status::failure(QStringLiteral("DERSLIK.atlatma silinemedi."));
  sync(root, true);
  reached(QStringLiteral("swap-journal-removed"));
  return {};
}

bool rolloverInterrupted(const QString& root) {
  return QFileInfo::exists(swapJournalPath(root)) || QFileInfo::exists(stagedMainPath(root)) ||
         QFileInfo::exists(stagedMainPath(root) + QStringLiteral("-wal")) ||
         QFileInfo::exists(retiredMainPath(root)) || !incompleteBackups(root).isEmpty();
}

Result<QStringList> recoverInterruptedRollover(const QString& root) {
  using R = Result<QStringList>;
  QStringList said;
  if (QFileInfo::exists(swapJournalPath(root))) {
    QFile journal(swapJournalPath(root));
    QString backup;
    if (journal.open(QIODevice::ReadOnly)) backup = QString::fromUtf8(journal.readLine()).trimmed();
    if (Status s = finishSwap(root); !s)
      return R::failure(QStringLiteral("Yarım kalan sınıf atlatma tamamlanamadı: ") + s.error());
    said << QStringLiteral(
                "Yarım kalan bir sınıf atlatma bulundu ve tamamlandı: yeni eğitim öğretim yılının "
                "veritabanı yerine kondu. Eski yılın dosyaları %1 klasöründe.")
                .arg(backup.isEmpty() ? QStringLiteral("Yedek") : backup);
  } else {
    const QString main = mainPath(root);
    bool undone = false;
    if (QFileInfo::exists(stagedMainPath(root)) ||
        QFileInfo::exists(stagedMainPath(root) + QStringLiteral("-wal"))) {
      removeWithSidecars(stagedMainPath(root));
      undone = true;
    }
    // Left by an older version between its two renames: the old file is the truth.
    if (QFileInfo::exists(retiredMainPath(root))) {
      if (!QFileInfo::exists(main)) {
        for (const char* s : kSidecars) {
          const QString from = retiredMainPath(root) + QString::fromLatin1(s);
          if (QFileInfo::exists(from)) (void)renameFile(from, main + QString::fromLatin1(s));
        }
        if (!renameFile(retiredMainPath(root), main))
          return R::failure(QStringLiteral("DERSLIK.eski.db, DERSLIK.db adıyla geri konamadı (%1).")
                                .arg(QString::fromLocal8Bit(std::strerror(errno))));
      } else {
        removeWithSidecars(retiredMainPath(root));
      }
      undone = true;
    }
    if (undone)
      said << QStringLiteral(
          "Yarım kalan bir sınıf atlatma bulundu ve geri alındı: veriler atlatmadan önceki "
          "haliyle duruyor. Sınıf atlatmayı menüden yeniden yapabilirsiniz.");
    for (const QString& name : incompleteBackups(root)) {
      QDir(QDir(backupRoot(root)).filePath(name)).removeRecursively();
      said << QStringLiteral("Yarım kalmış bir yedek klasörü (%1) silindi; yedek sayılmaz.")
                  .arg(relativeBackup(name));
    }
    sync(root, true);
  }
  return said;
}

Result<QStringList> enterDataFolder(const QString& root, int waitMs) {
  QStringList said;
  // A rollover that starts between two of these steps and is killed leaves
  // traces again, hence the few rounds.
  for (int round = 0; round < 3; ++round) {
    if (!DataLock::acquire(root, DataLock::Mode::Shared, waitMs))
      return Result<QStringList>::failure(DataLock::rolloverRunningMessage());
    if (!rolloverInterrupted(root)) return said;
    if (!DataLock::acquire(root, DataLock::Mode::Exclusive, waitMs))
      return Result<QStringList>::failure(DataLock::rolloverRunningMessage());
    Result<QStringList> r = recoverInterruptedRollover(root);
    if (!r) {
      (void)DataLock::acquire(root, DataLock::Mode::Shared, waitMs);
      return r;
    }
    said << r.value();
  }
  if (!DataLock::acquire(root, DataLock::Mode::Shared, waitMs))
    return Result<QStringList>::failure(DataLock::rolloverRunningMessage());
  return said;
}

QString emptyMainRefusal(const QString& root) {
  if (QFileInfo::exists(mainPath(root))) return {};
  QStringList traces;
  for (const QString& path : {swapJournalPath(root), stagedMainPath(root), retiredMainPath(root)})
    if (QFileInfo::exists(path)) traces << QFileInfo(path).fileName();
  const QList<Backup> backups = completeBackups(root);
  QString newest;
  if (!backups.isEmpty()) {
    newest = relativeBackup(backups.last().stamp);
    traces << newest;
  }
  const QStringList flat = flatMainCopies(root);
  for (const QString& f : flat) traces << relativeBackup(f);
  if (traces.isEmpty()) return {};
  QString text = QStringLiteral(
                     "Ana veritabanı DERSLIK.db bulunamadı, ama veri klasöründe bir okulun "
                     "verileri var (%1). Okul silinmiş gibi görünmesin diye boş bir veritabanı "
                     "oluşturulmadı.")
                     .arg(traces.join(QStringLiteral(", ")));
  if (!newest.isEmpty())
    text += QStringLiteral(
                " Yedeği kullanmak için %1 içindeki dosyaları veri klasörüne (%2) "
                "kopyalayınız.")
                .arg(newest, root);
  text += QStringLiteral(
      " Gerçekten boş bir okulla başlamak için bu dosyaları başka bir yere "
      "taşıyınız.");
  return text;
}

QString backupSchoolYear(const Backup& backup) {
  const QString connection = QStringLiteral("gecmis-yil-etiketi");
  QString label;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(QDir(backup.folder).filePath(QStringLiteral("DERSLIK.db")));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (db.open()) {
      QSqlQuery q(db);
      if (q.exec(QStringLiteral("SELECT SINIFATLATMADONEM FROM TABLEOKUL LIMIT 1")) && q.next())
        label = q.value(0).toString().trimmed();
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(connection);
  static const QRegularExpression year(QStringLiteral("^\\d{4}-\\d{4}$"));
  return year.match(label).hasMatch() ? label : QString();
}

}  // namespace store
