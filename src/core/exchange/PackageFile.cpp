#include "exchange/PackageFile.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

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
                              const std::function<Result<int>()>& apply,
                              QList<formats::ZipMember>* others) {
  using R = Result<int>;
  Result<QList<formats::ZipMember>> members = formats::ZipArchive::readAll(archivePath);
  if (!members) return R::failure(members.error());
  QByteArray package;
  bool found = false;
  for (const formats::ZipMember& m : members.value()) {
    // Archives made elsewhere may keep the package in a folder.
    if (m.name == member || m.name.endsWith(QLatin1Char('/') + member)) {
      package = m.data;
      found = true;
    } else if (others) {
      others->append(m);
    }
  }
  if (!found) return R::failure(QStringLiteral("Dosyada %1 bulunamadı.").arg(member));
  if (!package.startsWith("SQLite format 3"))
    return R::failure(QStringLiteral("Dosyadaki %1 okunabilir bir veritabanı değil.").arg(member));
  QTemporaryDir work(workFolderTemplate());
  if (!work.isValid()) return R::failure(QStringLiteral("Geçici klasör oluşturulamadı."));
  const QString file = work.filePath(member);
  {
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(package) != package.size())
      return R::failure(QStringLiteral("Geçici dosya yazılamadı."));
  }
  if (Status s = attach(file); !s) return R::failure(s.error());
  R result = R::failure(QString());
  {
    const Result<QVariant> check =
        m_store.scalar(QStringLiteral("PRAGMA %1.quick_check").arg(kSchema));
    if (!check || check->toString() != QStringLiteral("ok")) {
      result = R::failure(QStringLiteral("Dosyadaki %1 bozuk.").arg(member));
    } else {
      store::Transaction tx(m_store);
      result = apply();
      if (result.ok()) {
        if (Status s = tx.commit(); !s) result = R::failure(s.error());
      }
    }
  }
  detach();
  return result;
}

QStringList PackageFile::columnsOf(const QString& table) const {
  QStringList columns;
  Result<QSqlQuery> q =
      m_store.exec(QStringLiteral("SELECT name FROM pragma_table_info(?, ?)"), {table, kSchema});
  if (!q) return columns;
  while (q.value().next()) columns << q.value().value(0).toString().toUpper();
  return columns;
}

bool PackageFile::hasColumns(const QString& table, const QStringList& columns) const {
  const QStringList present = columnsOf(table);
  if (present.isEmpty()) return false;
  for (const QString& c : columns)
    if (!present.contains(c.toUpper())) return false;
  return true;
}

}  // namespace exchange
