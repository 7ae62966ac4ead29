#include "exchange/ImportStaging.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "store/Store.h"

namespace exchange {

namespace {

using authoring::QuestionMedia;

// The flock on the data folder that work folders share and the repair takes
// alone. A lock on the folder itself leaves no file behind.
int lockRoot(const QString& root, int operation) {
  const int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  int r;
  do {
    r = ::flock(fd, operation);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

QString kindName(QuestionMedia::Kind kind) {
  return kind == QuestionMedia::Kind::Sound ? QStringLiteral("ses") : QStringLiteral("video");
}

}  // namespace

WorkFolder::WorkFolder(const store::Store& store) : m_lock(lockRoot(store.root(), LOCK_SH)) {
  if (m_lock >= 0)
    m_dir = std::make_unique<QTemporaryDir>(store.path(kPrefix + QStringLiteral("XXXXXX")));
}

WorkFolder::~WorkFolder() {
  m_dir.reset();  // the folder goes while it is still held
  if (m_lock >= 0) ::close(m_lock);
}

bool WorkFolder::isValid() const { return m_dir && m_dir->isValid(); }
QString WorkFolder::path() const { return isValid() ? m_dir->path() : QString(); }
QString WorkFolder::filePath(const QString& name) const {
  return isValid() ? m_dir->filePath(name) : QString();
}

Status StagingManifest::write(const QString& folder) const {
  QJsonArray files;
  for (const File& f : this->files)
    files.append(QJsonObject{{QStringLiteral("tur"), kindName(f.kind)},
                             {QStringLiteral("soru"), f.key},
                             {QStringLiteral("dosya"), f.name},
                             {QStringLiteral("uzanti"), f.suffix}});
  const QJsonObject root{{QStringLiteral("isaret"), marker},
                         {QStringLiteral("sorular"), QJsonArray::fromStringList(keys)},
                         {QStringLiteral("dosyalar"), files}};
  QSaveFile out(QDir(folder).filePath(kFileName));
  // commit() flushes the file to the disk before it takes its name.
  if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(root).toJson()) < 0 ||
      !out.commit())
    return Status::failure(QStringLiteral("Taşıma listesi yazılamadı."));
  return {};
}

std::optional<StagingManifest> StagingManifest::read(const QString& folder) {
  QFile in(QDir(folder).filePath(kFileName));
  if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
  const QJsonObject root = QJsonDocument::fromJson(in.readAll()).object();
  StagingManifest m;
  m.marker = root.value(QStringLiteral("isaret")).toString();
  if (m.marker.isEmpty()) return std::nullopt;
  for (const QJsonValue& k : root.value(QStringLiteral("sorular")).toArray())
    m.keys << k.toString();
  for (const QJsonValue& v : root.value(QStringLiteral("dosyalar")).toArray()) {
    const QJsonObject o = v.toObject();
    File f;
    f.kind = o.value(QStringLiteral("tur")).toString() == kindName(QuestionMedia::Kind::Video)
                 ? QuestionMedia::Kind::Video
                 : QuestionMedia::Kind::Sound;
    f.key = o.value(QStringLiteral("soru")).toString();
    f.name = o.value(QStringLiteral("dosya")).toString();
    f.suffix = o.value(QStringLiteral("uzanti")).toString();
    // Names are ours; anything else did not come from a reading.
    if (f.key.isEmpty() || f.name.isEmpty() || f.name.contains(QLatin1Char('/')) ||
        f.key.contains(QLatin1Char('/')) || f.suffix.contains(QLatin1Char('/')))
      return std::nullopt;
    m.files << f;
  }
  return m;
}

Status StagingManifest::addMarker(store::Store& store) const {
  return store.run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,"
                                  "PARAMETREACIKLAMA) VALUES (?,?,'')"),
                   {kMarkerName, marker});
}

Status StagingManifest::record(const store::Store& store, store::FolderChange& change,
                               const QString& folder) const {
  const QuestionMedia media(store);
  QSet<QPair<QString, int>> staged;
  for (const File& f : files) {
    staged.insert({f.key, int(f.kind)});
    const QString temp = QDir(folder).filePath(f.name);
    if (!QFile::exists(temp)) continue;  // moved in before a kill
    if (Status s = media.place(change, {f.kind, temp, f.suffix}, f.key); !s) return s;
  }
  // Files under a new number belonged to a question deleted long ago.
  for (const QString& key : keys)
    for (QuestionMedia::Kind kind : {QuestionMedia::Kind::Sound, QuestionMedia::Kind::Video})
      if (!staged.contains({key, int(kind)}))
        if (Status s = media.remove(change, key, kind); !s) return s;
  return {};
}

void StagingManifest::complete(store::Store& store, const QString& folder) const {
  store::FolderChange change = store::FolderChange::committed(store);
  Status moved = record(store, change, folder);
  if (Status s = change.settle(); !s && moved) moved = s;
  if (!moved) store.log(moved.error());
  if (Status s = store.run(QStringLiteral("DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                                          "PARAMETREDEGERI=?"),
                           {kMarkerName, marker});
      !s)
    store.log(s.error());
}

QStringList repairStagedImports(store::Store& store) {
  QStringList said;
  const QDir root(store.root());
  const QStringList folders =
      root.entryList({WorkFolder::kPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
  const int markers = store
                          .scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE WHERE "
                                                 "PARAMETREADI=?"),
                                  {StagingManifest::kMarkerName})
                          .valueOr(0)
                          .toInt();
  if (folders.isEmpty() && markers == 0) return said;
  const int lock = lockRoot(store.root(), LOCK_EX | LOCK_NB);
  if (lock < 0) return said;  // a reading or writing is at work
  for (const QString& name : folders) {
    const QString folder = root.filePath(name);
    if (const std::optional<StagingManifest> m = StagingManifest::read(folder)) {
      const bool committed =
          store
              .scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE WHERE PARAMETREADI=? "
                                     "AND PARAMETREDEGERI=?"),
                      {StagingManifest::kMarkerName, m->marker})
              .valueOr(0)
              .toInt() > 0;
      if (committed) {
        m->complete(store, folder);
        said << QStringLiteral(
            "Yarım kalan bir dosya okumasının ses ve video dosyaları yerine kondu.");
      }
    }
    if (!QDir(folder).removeRecursively())
      said << QStringLiteral("%1 klasörü silinemedi.").arg(name);
  }
  // Nobody is reading now: a marker left is one whose files were moved already.
  if (Status s = store.run(QStringLiteral("DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI=?"),
                           {StagingManifest::kMarkerName});
      !s)
    said << s.error();
  ::close(lock);
  return said;
}

}  // namespace exchange
