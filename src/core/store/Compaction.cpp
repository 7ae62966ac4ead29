#include "store/Compaction.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "store/Database.h"
#include "store/SqlErrors.h"

namespace store {

namespace {

using RowCounts = QMap<QString, qint64>;

Result<RowCounts> rowCounts(const QSqlDatabase& db) {
  RowCounts counts;
  QSqlQuery tables(db);
  if (!tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'")))
    return Result<RowCounts>::failure(sqlErrorText(tables.lastError()));
  while (tables.next()) {
    const QString name = tables.value(0).toString();
    QSqlQuery count(db);
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    if (!count.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(quoted)) || !count.next())
      return Result<RowCounts>::failure(sqlErrorText(count.lastError()));
    counts.insert(name, count.value(0).toLongLong());
  }
  return counts;
}

bool removeWithCompanions(const QString& path) {
  for (const char* suffix : {"-wal", "-shm", "-journal"})
    QFile::remove(path + QLatin1String(suffix));
  return !QFileInfo::exists(path) || QFile::remove(path);
}

// The copy must be on disk before it replaces the original.
bool syncFile(const QString& path, bool directory) {
  const int fd =
      ::open(QFile::encodeName(path).constData(), directory ? O_RDONLY | O_DIRECTORY : O_RDWR);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// True when a connection of this program has the file open (as its main file or
// attached): compacting it would replace the file under that connection.
bool openHere(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  const QStringList names = QSqlDatabase::connectionNames();
  for (const QString& name : names) {
    const QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isOpen()) continue;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA database_list"))) continue;
    while (q.next())
      if (!q.value(2).toString().isEmpty() &&
          QFileInfo(q.value(2).toString()).canonicalFilePath() == canonical)
        return true;
  }
  return false;
}

// The header's file change counter, which every commit in rollback-journal mode
// raises; -1 when unreadable.
qint64 changeCounter(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray header = file.read(28);
  if (header.size() < 28) return -1;
  const auto* b = reinterpret_cast<const uchar*>(header.constData());
  return (qint64(b[24]) << 24) | (b[25] << 16) | (b[26] << 8) | b[27];
}

Status fail(const QString& file, const QString& why) {
  return Status::failure(QStringLiteral("%1 sıkıştırılamadı: %2").arg(file, why));
}

}  // namespace

Status VeritabaniSikistir(const QString& path) {
  const QFileInfo info(path);
  const QString file = info.fileName();
  if (!info.isFile()) return fail(file, QStringLiteral("dosya bulunamadı."));
  if (openHere(path))
    return fail(file, QStringLiteral("dosya kullanımda; önce bağlantı kapatılmalı."));

  const QString target = info.absoluteFilePath();
  const QString temp = info.absolutePath() + QStringLiteral("/tmp") + file;
  if (!removeWithCompanions(temp))
    return fail(file, QStringLiteral("geçici dosya silinemedi: ") + temp);

  const QString sourceName = QStringLiteral("compact-source");
  RowCounts before;
  QString error;
  qint64 copiedAt = -1;
  {
    Result<QSqlDatabase> source = openFile(sourceName, target);
    if (!source) {
      error = source.error();
    } else {
      // After the first read, which rolls back a journal left by a kill.
      Result<RowCounts> counts = rowCounts(source.value());
      copiedAt = changeCounter(target);
      if (!counts)
        error = counts.error();
      else
        before = counts.value();
      QSqlQuery vacuum(source.value());
      if (error.isEmpty()) {
        vacuum.prepare(QStringLiteral("VACUUM INTO ?"));
        vacuum.addBindValue(temp);
        if (!vacuum.exec()) error = sqlErrorText(vacuum.lastError());
      }
    }
  }
  closeFile(sourceName);
  if (!error.isEmpty()) {
    removeWithCompanions(temp);
    return fail(file, error);
  }
  // A commit since the copy was made (or a write-ahead log that outlives our
  // connection) means someone else writes the file; replacing it would lose
  // their writes.
  if (QFileInfo::exists(target + QStringLiteral("-wal"))) {
    removeWithCompanions(temp);
    return fail(file, QStringLiteral("dosya başka bir bağlantı tarafından kullanılıyor."));
  }

  const QString checkName = QStringLiteral("compact-check");
  {
    Result<QSqlDatabase> copy = openFile(checkName, temp);
    if (!copy) {
      error = copy.error();
    } else {
      QSqlQuery check(copy.value());
      if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next())
        error = sqlErrorText(check.lastError());
      else if (check.value(0).toString() != QLatin1String("ok"))
        error = QStringLiteral("sıkıştırılmış kopya bozuk: ") + check.value(0).toString();
      if (error.isEmpty()) {
        Result<RowCounts> after = rowCounts(copy.value());
        if (!after)
          error = after.error();
        else if (after.value() != before)
          error = QStringLiteral("sıkıştırılmış kopyada kayıt sayıları tutmuyor.");
      }
    }
  }
  closeFile(checkName);
  if (error.isEmpty() && !syncFile(temp, false))
    error = QStringLiteral("geçici dosya diske yazılamadı.");
  if (!error.isEmpty()) {
    removeWithCompanions(temp);
    return fail(file, error);
  }

  if (error.isEmpty() && (copiedAt < 0 || changeCounter(target) != copiedAt))
    error = QStringLiteral("dosya başka bir bağlantı tarafından kullanılıyor.");
  if (!error.isEmpty()) {
    removeWithCompanions(temp);
    return fail(file, error);
  }
  // rename(2) replaces the original in one step: a reader sees either file, whole.
  if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) !=
      0) {
    removeWithCompanions(temp);
    return fail(file, QStringLiteral("dosya değiştirilemedi."));
  }
  QFile::remove(target + QStringLiteral("-shm"));
  (void)syncFile(info.absolutePath(), true);
  return {};
}

}  // namespace store
