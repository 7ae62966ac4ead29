#include "store/FolderFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlQuery>
#include <QUuid>

#include <atomic>

#include "store/ContentCache.h"
#include "store/Dialect.h"
#include "store/Sql.h"
#include "store/Store.h"

namespace store {

namespace {

const QString kTable = QStringLiteral("\"DERSLIKDOSYA\"");
const QString kStagePrefix = QStringLiteral(".yukleniyor-");

// Tables are never dropped: once a board has seen the table, it stops asking.
std::atomic<bool> g_tableSeen{false};

QString tempName(const QString& path) {
  return QFileInfo(path).dir().filePath(kStagePrefix + QUuid::createUuid().toString(QUuid::Id128));
}

// The suffix a player needs to know the kind of a cached file ("Sesler/12.MP3": ".mp3").
QString cacheSuffix(const QString& relative) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9]{1,8}$"));
  const QString suffix = QFileInfo(relative).suffix().toLower();
  return plain.match(suffix).hasMatch() ? QLatin1Char('.') + suffix : QString();
}

bool hasBase(const QString& fileName, const QString& base) {
  return fileName.left(fileName.lastIndexOf(QLatin1Char('.'))) == base;
}

// Undoes renames that were applied one after the other, last first.
void undo(const QList<FolderFiles::Rename>& steps) {
  for (qsizetype i = steps.size() - 1; i >= 0; --i)
    (void)QFile::rename(steps.at(i).to, steps.at(i).from);
}

}  // namespace

Result<QByteArray> FolderFiles::readLocal(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return Result<QByteArray>::failure(
        QStringLiteral("%1 okunamadı.").arg(QDir::toNativeSeparators(path)));
  return f.readAll();
}

bool FolderFiles::isPath(const QString& relative) {
  static const QRegularExpression pattern(
      QStringLiteral("^(Sesler|Videolar|Fotograflar)/[^/\\\\]+$"));
  return pattern.match(relative).hasMatch() && !relative.contains(QStringLiteral(".."));
}

Status FolderFiles::createTable(const QSqlDatabase& db) {
  return run(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\"YOL\" TEXT PRIMARY KEY, "
                            "\"ICERIK\" BYTEA NOT NULL)")
                 .arg(kTable),
             {}, db);
}

Status FolderFiles::eachFile(const QSqlDatabase& db,
                             const std::function<Status(const QString&, const QByteArray&)>& use) {
  if (!dialectOf(db).tableExists(db, QStringLiteral("DERSLIKDOSYA"))) return {};
  Result<QSqlQuery> rows =
      exec(QStringLiteral("SELECT \"YOL\",\"ICERIK\" FROM %1 ORDER BY 1").arg(kTable), {}, db);
  if (!rows) return Status::failure(rows.error());
  while (rows.value().next()) {
    const QString relative = rows.value().value(0).toString();
    if (!isPath(relative)) continue;
    if (Status s = use(relative, rows.value().value(1).toByteArray()); !s) return s;
  }
  return {};
}

bool FolderFiles::tableThere() const {
  if (g_tableSeen) return true;
  const bool there =
      dialectOf(m_store.db()).tableExists(m_store.db(), QStringLiteral("DERSLIKDOSYA"));
  if (there) g_tableSeen = true;
  return there;
}

Status FolderFiles::ensureTable() const {
  if (g_tableSeen) return {};
  // A server made before the table was part of its schema: made here, inside
  // the caller's transaction like any row.
  if (Status s = createTable(m_store.db()); !s) return s;
  g_tableSeen = true;
  return {};
}

QString FolderFiles::localPath(const QString& relative) const {
  if (!m_store.onServer()) {
    const QString path = m_store.path(relative);
    return QFile::exists(path) ? path : QString();
  }
  if (!isPath(relative) || !tableThere()) return {};
  const Result<QVariant> digest = m_store.scalar(
      QStringLiteral("SELECT %1 FROM %2 WHERE \"YOL\"=?")
          .arg(dialectOf(m_store.db()).digestSql(QStringLiteral("\"ICERIK\"")), kTable),
      {relative});
  if (!digest || digest->isNull()) return {};
  const ContentCache cache(m_store.root());
  const QString suffix = cacheSuffix(relative);
  if (QString kept = cache.find(digest->toString(), suffix); !kept.isEmpty()) return kept;
  const Result<QByteArray> content = read(relative);
  if (!content) return {};
  const Result<QString> put = cache.put(content.value(), suffix);
  if (!put) {
    m_store.log(put.error());
    return {};
  }
  return put.value();
}

bool FolderFiles::exists(const QString& relative) const {
  if (!m_store.onServer()) return QFile::exists(m_store.path(relative));
  if (!tableThere()) return false;
  const Result<QVariant> there = m_store.scalar(
      QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1 WHERE \"YOL\"=?)").arg(kTable), {relative});
  return there && there->toBool();
}

Result<QByteArray> FolderFiles::read(const QString& relative) const {
  using R = Result<QByteArray>;
  if (!m_store.onServer()) return readLocal(m_store.path(relative));
  const QString missing = QStringLiteral("%1 okunamadı.").arg(relative);
  if (!tableThere()) return R::failure(missing);
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral("SELECT \"ICERIK\" FROM %1 WHERE \"YOL\"=?").arg(kTable), {relative});
  if (!q) return R::failure(q.error());
  if (!q.value().next()) return R::failure(missing);
  return q.value().value(0).toByteArray();
}

QStringList FolderFiles::named(const QString& folder, const QString& base) const {
  if (base.isEmpty()) return {};
  QStringList out;
  if (!m_store.onServer()) {
    const QDir dir(m_store.path(folder));
    for (const QFileInfo& f : dir.entryInfoList({base + QStringLiteral(".*")}, QDir::Files)) {
      if (f.fileName().startsWith(kStagePrefix)) continue;
      if (hasBase(f.fileName(), base)) out << folder + QLatin1Char('/') + f.fileName();
    }
    return out;
  }
  if (!tableThere()) return {};
  // A prefix, not LIKE: keys may hold characters LIKE reads as wildcards.
  const QString prefix = folder + QLatin1Char('/') + base + QLatin1Char('.');
  const Result<QStringList> rows = m_store.column(
      QStringLiteral("SELECT \"YOL\" FROM %1 WHERE substr(\"YOL\",1,?)=? ORDER BY 1").arg(kTable),
      {int(prefix.size()), prefix});
  if (!rows) return {};
  for (const QString& r : rows.value())
    if (hasBase(r.mid(folder.size() + 1), base)) out << r;
  return out;
}

Status FolderFiles::put(const QString& relative, const QByteArray& content) const {
  if (!isPath(relative))
    return Status::failure(QStringLiteral("%1 veri klasörünün bir dosyası değil.").arg(relative));
  if (!m_store.onServer()) {
    const QString path = m_store.path(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Under a temporary name first: a cut never leaves half a photo under the real one.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size() || !f.commit())
      return Status::failure(QStringLiteral("%1 yazılamadı.").arg(relative));
    return {};
  }
  if (Status s = ensureTable(); !s) return s;
  return m_store.run(QStringLiteral("INSERT INTO %1 (\"YOL\",\"ICERIK\") VALUES (?,?) ON CONFLICT "
                                    "(\"YOL\") DO UPDATE SET \"ICERIK\"=EXCLUDED.\"ICERIK\"")
                         .arg(kTable),
                     {relative, content});
}

Status FolderFiles::putFile(const QString& relative, const QString& file, bool temporary) const {
  if (!m_store.onServer()) {
    const QString target = m_store.path(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    const bool placed = temporary ? QFile::rename(file, target) : QFile::copy(file, target);
    if (!placed) {
      if (temporary) QFile::remove(file);
      return Status::failure(QStringLiteral("Dosya yerine konamadı: ") + target);
    }
    return {};
  }
  const Result<QByteArray> content = readLocal(file);
  if (!content) return Status::failure(content.error());
  if (Status s = put(relative, content.value()); !s) return s;
  if (temporary) QFile::remove(file);
  return {};
}

Status FolderFiles::remove(const QString& relative) const {
  if (!m_store.onServer()) {
    QFile::remove(m_store.path(relative));
    return {};
  }
  if (!tableThere()) return {};
  return m_store.run(QStringLiteral("DELETE FROM %1 WHERE \"YOL\"=?").arg(kTable), {relative});
}

Status FolderFiles::removeFolder(const QString& folder) const {
  if (!m_store.onServer()) {
    QDir(m_store.path(folder)).removeRecursively();
    return {};
  }
  if (!tableThere()) return {};
  return m_store.run(QStringLiteral("DELETE FROM %1 WHERE \"YOL\" LIKE ?").arg(kTable),
                     {folder + QStringLiteral("/%")});
}

Result<FolderFiles::Staged> FolderFiles::stage(const QString& source, const QString& folder) const {
  if (m_store.onServer()) return Staged{source, false};
  const Staged staged{
      tempName(QDir(m_store.subFolder(folder)).filePath(QFileInfo(source).fileName())), true};
  if (!QFile::copy(source, staged.file))
    return Result<Staged>::failure(
        QStringLiteral("Dosya %1 klasörüne kopyalanamadı: %2").arg(folder, source));
  return staged;
}

void FolderFiles::discard(const Staged& staged) {
  if (staged.temporary && !staged.file.isEmpty()) QFile::remove(staged.file);
}

Status FolderFiles::rename(const QList<Rename>& renames) const {
  if (renames.isEmpty()) return {};
  const auto failed = [](const QString& path) {
    return Status::failure(QStringLiteral("Dosyanın adı değiştirilemedi: ") + path);
  };
  if (m_store.onServer()) {
    if (Status s = ensureTable(); !s) return s;
    const QString move = QStringLiteral("UPDATE %1 SET \"YOL\"=? WHERE \"YOL\"=?").arg(kTable);
    QStringList temps;
    for (const Rename& r : renames) {
      temps << r.from + kStagePrefix + QUuid::createUuid().toString(QUuid::Id128);
      if (Status s = m_store.run(move, {temps.last(), r.from}); !s) return s;
    }
    for (qsizetype i = 0; i < renames.size(); ++i) {
      if (exists(renames.at(i).to)) return failed(renames.at(i).to);
      if (Status s = m_store.run(move, {renames.at(i).to, temps.at(i)}); !s) return s;
    }
    return {};
  }
  // First every file to a temporary name, then to its new name: a key may take
  // the name another key gives up in the same renumbering.
  QList<Rename> toTemp;
  QList<Rename> toFinal;
  auto fail = [&](const QString& path) {
    undo(toFinal);
    undo(toTemp);
    return failed(path);
  };
  for (const Rename& r : renames) {
    const QString from = m_store.path(r.from);
    const Rename step{from, tempName(from)};
    if (!QFile::rename(step.from, step.to)) return fail(from);
    toTemp << step;
  }
  for (qsizetype i = 0; i < renames.size(); ++i) {
    const Rename step{toTemp.at(i).to, m_store.path(renames.at(i).to)};
    if (QFile::exists(step.to) || !QFile::rename(step.from, step.to)) return fail(step.to);
    toFinal << step;
  }
  return {};
}

void FolderFiles::revert(const QList<Rename>& renames) const {
  if (m_store.onServer()) return;
  QList<Rename> back;
  for (const Rename& r : renames) back << Rename{r.to, r.from};
  (void)rename(back);
}

FolderChange::FolderChange(const Store& store) : m_files(store), m_deferred(!store.onServer()) {}

FolderChange FolderChange::committed(const Store& store) {
  FolderChange change(store);
  change.m_done = !change.m_deferred;
  return change;
}

Status FolderChange::step(std::function<Status()> work) {
  if (m_done) return {};
  if (!m_deferred) return work();
  m_steps << std::move(work);
  return {};
}

Status FolderChange::replace(const QString& folder, const QString& base,
                             const FolderFiles::Staged& file, const QString& suffix) {
  const FolderFiles files = m_files;
  return step([files, folder, base, file, suffix]() -> Status {
    for (const QString& old : files.named(folder, base))
      if (Status s = files.remove(old); !s) return s;
    return files.putFile(folder + QLatin1Char('/') + base + suffix, file.file, file.temporary);
  });
}

Status FolderChange::put(const QString& relative, const QByteArray& content) {
  const FolderFiles files = m_files;
  return step([files, relative, content] { return files.put(relative, content); });
}

Status FolderChange::remove(const QString& relative) {
  const FolderFiles files = m_files;
  return step([files, relative] { return files.remove(relative); });
}

Status FolderChange::removeNamed(const QString& folder, const QString& base) {
  const FolderFiles files = m_files;
  return step([files, folder, base]() -> Status {
    for (const QString& old : files.named(folder, base))
      if (Status s = files.remove(old); !s) return s;
    return {};
  });
}

Status FolderChange::settle() {
  Status first;
  for (const auto& work : std::as_const(m_steps))
    if (Status s = work(); !s && first) first = s;
  m_steps.clear();
  return first;
}

}  // namespace store
