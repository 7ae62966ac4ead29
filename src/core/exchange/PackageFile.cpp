#include "exchange/PackageFile.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "store/ContentStores.h"
#include "store/Store.h"

namespace exchange {

QString PackageFile::workFolderTemplate() const {
  return m_store.path(QStringLiteral("paket-XXXXXX"));
}

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
  QTemporaryDir work(workFolderTemplate());
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

Result<int> PackageFile::read(const QString& archivePath, const QString& member,
                              const std::function<Result<int>(PackageDatabase&)>& apply,
                              QList<formats::ZipMember>* others) {
  using R = Result<int>;
  formats::ArchiveLimits limits;
  limits.memberBytes = store::kStoreSizeLimit;
  limits.totalBytes = store::kStoreSizeLimit;
  formats::ArchiveReader archive(archivePath, limits);
  QTemporaryDir work(workFolderTemplate());
  if (!work.isValid()) return R::failure(QStringLiteral("Geçici klasör oluşturulamadı."));
  const QString file = work.filePath(member);
  bool found = false;
  while (archive.next()) {
    // Archives made elsewhere may keep the package in a folder.
    const QString& name = archive.name();
    if (!found && (name == member || name.endsWith(QLatin1Char('/') + member))) {
      QFile out(file);
      if (!out.open(QIODevice::WriteOnly))
        return R::failure(QStringLiteral("Geçici dosya yazılamadı."));
      if (Status s = archive.copyTo(out); !s) return R::failure(s.error());
      found = true;
    } else if (others) {
      Result<QByteArray> data = archive.read();
      if (!data) return R::failure(data.error());
      others->append({name, std::move(data.value())});
    }
  }
  if (!archive.error().isEmpty()) return R::failure(archive.error());
  if (!found) return R::failure(QStringLiteral("Dosyada %1 bulunamadı.").arg(member));
  Result<std::unique_ptr<PackageDatabase>> package = PackageDatabase::open(file, kAllowed);
  if (!package) return R::failure(package.error());
  store::Transaction tx(m_store);
  R result = apply(*package.value());
  if (result.ok())
    if (Status s = tx.commit(); !s) result = R::failure(s.error());
  return result;
}

}  // namespace exchange
