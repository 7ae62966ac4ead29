#include "exchange/PackageFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include "exchange/ImportStaging.h"
#include "store/ContentStores.h"
#include "store/Store.h"

namespace exchange {

Status PackageFile::attach(const QString& file) {
  return m_store.run(QStringLiteral("ATTACH DATABASE ? AS %1").arg(kSchema), {file});
}

void PackageFile::detach() {
  // Fails only when nothing is attached.
  (void)m_store.run(QStringLiteral("DETACH DATABASE %1").arg(kSchema));
}

Status PackageFile::write(const QString& archivePath, const QString& member,
                          const std::function<Status()>& fill,
                          const QList<formats::ZipMember>& extra) {
  const QString failed = QStringLiteral("Dosya oluşturulamadı");
  WorkFolder work(m_store);
  if (!work.isValid()) return Status::failure(failed);
  const QString file = work.filePath(member);
  if (Status s = attach(file); !s)
    return Status::failure(failed + QStringLiteral(" (") + s.error() + QLatin1Char(')'));
  Status filled = fill();
  detach();
  if (!filled)
    return Status::failure(failed + QStringLiteral(" (") + filled.error() + QLatin1Char(')'));
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return Status::failure(failed);
  QList<formats::ZipMember> members{{member, f.readAll()}};
  members << extra;
  if (Status s = formats::ZipArchive::write(archivePath, members); !s)
    return Status::failure(failed + QStringLiteral(" (") + s.error() + QLatin1Char(')'));
  return {};
}

formats::ArchiveLimits PackageFile::limits() {
  formats::ArchiveLimits limits;
  limits.memberBytes = store::kStoreSizeLimit;
  limits.totalBytes = store::kStoreSizeLimit;
  limits.rar = true;
  return limits;
}

Result<int> PackageFile::read(const QString& archivePath, const QString& member, const Apply& apply,
                              const ReadOptions& options) {
  // What a killed reading left is settled first, so its files never meet this one's.
  for (const QString& done : repairStagedImports(m_store)) m_store.log(done);
  return readArchive(archivePath, member, apply, options);
}

Result<int> PackageFile::readArchive(const QString& archivePath, const QString& member,
                                     const Apply& apply, const ReadOptions& options) {
  using R = Result<int>;
  formats::ArchiveReader archive(archivePath, limits());
  WorkFolder work(m_store);
  if (!work.isValid()) return R::failure(QStringLiteral("Geçici klasör oluşturulamadı."));
  Unpacked unpacked;
  unpacked.packageFile = work.filePath(member);
  // Names in the folder are ours: a member's own name never becomes a path.
  const auto unpack = [&archive](const QString& file) -> Status {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
      return Status::failure(QStringLiteral("Geçici dosya yazılamadı."));
    return archive.copyTo(out);
  };
  bool found = false;
  QString wrapped;
  while (archive.next()) {
    // Archives made elsewhere may keep the package in a folder.
    const QString& name = archive.name();
    if (!found && (name == member || name.endsWith(QLatin1Char('/') + member))) {
      if (Status s = unpack(unpacked.packageFile); !s) return R::failure(s.error());
      found = true;
    } else if (options.wanted && options.wanted(name) && !unpacked.members.contains(name)) {
      const QString file = work.filePath(QStringLiteral("parca%1").arg(unpacked.members.size()));
      if (Status s = unpack(file); !s) return R::failure(s.error());
      unpacked.members.insert(name, file);
    } else if (wrapped.isEmpty() && !options.wrapperSuffix.isEmpty() &&
               name.endsWith(options.wrapperSuffix, Qt::CaseInsensitive)) {
      wrapped = work.filePath(QStringLiteral("ic") + options.wrapperSuffix);
      if (Status s = unpack(wrapped); !s) return R::failure(s.error());
    }
  }
  if (!archive.error().isEmpty()) return R::failure(archive.error());
  if (!found && !wrapped.isEmpty()) {
    ReadOptions inner = options;
    inner.wrapperSuffix.clear();
    return readArchive(wrapped, member, apply, inner);
  }
  if (!found) return R::failure(QStringLiteral("Dosyada %1 bulunamadı.").arg(member));
  unpacked.packageBytes = QFileInfo(unpacked.packageFile).size();
  Result<std::unique_ptr<PackageDatabase>> package =
      PackageDatabase::open(unpacked.packageFile, kAllowed, options.maxValueBytes);
  if (!package) return R::failure(package.error());
  store::Transaction tx(m_store);
  R result = apply(*package.value(), unpacked);
  if (result.ok())
    if (Status s = tx.commit(); !s) result = R::failure(s.error());
  return result;
}

}  // namespace exchange
