#include "exchange/PackageFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

#include "exchange/ImportStaging.h"
#include "store/ContentStores.h"
#include "store/Database.h"
#include "store/ServerConnection.h"
#include "store/Sql.h"
#include "store/Store.h"

namespace exchange {

namespace {

// The declared type a package column gets from the values it carries: the
// affinity SQLite's CREATE TABLE ... AS SELECT gave these columns.
QString declaredType(const QMetaType& type) {
  switch (type.id()) {
    case QMetaType::QByteArray:
      return QStringLiteral("BLOB");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
      return QStringLiteral("INTEGER");
    case QMetaType::Double:
      return QStringLiteral("REAL");
    default:
      return QStringLiteral("TEXT");
  }
}

QString quoted(const QString& name) {
  return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
         QLatin1Char('"');
}

}  // namespace

Status PackageWriter::copy(const QString& table, const QString& select,
                           const QVariantList& params) {
  Result<QSqlQuery> rows = m_store.exec(select, params);
  if (!rows) return Status::failure(rows.error());
  const QSqlRecord record = rows.value().record();
  QList<int> carried;
  QStringList columns;
  for (int i = 0; i < record.count(); ++i) {
    const QString name = record.fieldName(i).toUpper();
    // The server's stand-in for SQLite's rowid is no column of the data.
    if (name == QLatin1String("ROWID")) continue;
    carried << i;
    columns << quoted(name) + QLatin1Char(' ') + declaredType(record.field(i).metaType());
  }
  if (Status s = store::run(
          QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), columns.join(QLatin1Char(','))),
          {}, m_package);
      !s)
    return s;
  QSqlQuery insert(m_package);
  if (!insert.prepare(
          QStringLiteral("INSERT INTO %1 VALUES (%2)")
              .arg(quoted(table),
                   QStringList(carried.size(), QStringLiteral("?")).join(QLatin1Char(',')))))
    return Status::failure(store::queryErrorText(insert));
  while (rows.value().next()) {
    for (qsizetype c = 0; c < carried.size(); ++c)
      insert.bindValue(int(c), rows.value().value(carried.at(c)));
    if (!insert.exec()) return Status::failure(store::queryErrorText(insert));
  }
  return {};
}

Status PackageFile::writeDatabase(store::Store& store, const QString& file,
                                  const PackageFill& fill) {
  static std::atomic<int> serial{0};
  const QString name = QStringLiteral("package-writer-%1").arg(++serial);
  Status written;
  {
    Result<QSqlDatabase> package = store::openFile(name, file);
    if (!package) {
      written = Status::failure(package.error());
    } else {
      store::Transaction tx(package.value());
      PackageWriter writer(store, package.value());
      written =
          tx.active() ? fill(writer) : Status::failure(QStringLiteral("İşlem başlatılamadı."));
      if (written) written = tx.commit();
    }
  }
  store::closeFile(name);
  return written;
}

Status PackageFile::write(const QString& archivePath, const QString& member,
                          const PackageFill& fill, const QList<formats::ZipMember>& extra) {
  const QString failed = QStringLiteral("Dosya oluşturulamadı");
  WorkFolder work(m_store);
  if (!work.isValid()) return Status::failure(failed);
  const QString file = work.filePath(member);
  const Status filled = writeDatabase(m_store, file, fill);
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
