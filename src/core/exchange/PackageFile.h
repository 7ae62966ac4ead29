#pragma once

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <chrono>
#include <functional>

#include "Result.h"
#include "exchange/PackageDatabase.h"
#include "formats/ZipArchive.h"

namespace store {
class Store;
}

namespace exchange {

// Told a line of progress text while a file is read.
using Progress = std::function<void(const QString&)>;

// The package being written: each table is the result of a SELECT on the
// store's main connection, copied row by row into the package's own SQLite file.
// Nothing is attached to the main connection, so the same statements fill a
// package on a board's data folder and on a school's server.
class PackageWriter {
 public:
  PackageWriter(store::Store& store, const QSqlDatabase& package)
      : m_store(store), m_package(package) {}

  // Creates `table` in the package with the columns `select` gives, in its order
  // (upper case; the server's hidden row number left out), and copies its rows.
  Status copy(const QString& table, const QString& select, const QVariantList& params = {});
  store::Store& store() { return m_store; }

 private:
  store::Store& m_store;
  QSqlDatabase m_package;
};
using PackageFill = std::function<Status(PackageWriter&)>;

// An exchange file: a ZIP archive holding one SQLite database (the package,
// "Sru.mds", "Tst.mds" or "Kyt.mds") and possibly other members (media archives).
// A package is written through a PackageWriter; a package that is read came from
// elsewhere and is opened on its own as a PackageDatabase.
class PackageFile {
 public:
  explicit PackageFile(store::Store& store) : m_store(store) {}

  // Creates an empty package, lets `fill` copy rows into it and writes the archive
  // with the package as `member` followed by `extra`. A failure leaves no file.
  Status write(const QString& archivePath, const QString& member, const PackageFill& fill,
               const QList<formats::ZipMember>& extra = {});
  // Writes the package alone into the new SQLite file `file` (in one transaction).
  static Status writeDatabase(store::Store& store, const QString& file, const PackageFill& fill);

  // How long reading one package may take, whatever it holds.
  static constexpr std::chrono::seconds kAllowed{30};

  // What read() unpacked: the package and the other wanted members, each in the
  // private temporary folder (gone when read() returns).
  struct Unpacked {
    QString packageFile;
    qint64 packageBytes = 0;
    QHash<QString, QString> members;  // name in the archive -> unpacked file
  };
  struct ReadOptions {
    // Members beside the package to unpack (media archives); the others are
    // only checked.
    std::function<bool(const QString&)> wanted;
    // An archive without the package that holds a file with this suffix
    // (".ckp") is read as that file: a package handed on inside another archive.
    QString wrapperSuffix;
    int maxValueBytes = PackageDatabase::kMaxValueBytes;
  };
  using Apply = std::function<Result<int>(PackageDatabase&, const Unpacked&)>;

  // Unpacks `member` of the archive (ZIP or RAR) into a private temporary folder
  // (within the archive limits, up to the size of a content store), opens it as
  // a PackageDatabase and runs `apply` inside one transaction of the main
  // database: on any failure nothing is added. The result is `apply`'s count.
  Result<int> read(const QString& archivePath, const QString& member, const Apply& apply,
                   const ReadOptions& options);

  // The limits of every archive an exchange file brings (the file itself and
  // the media archives in it).
  static formats::ArchiveLimits limits();

 private:
  Result<int> readArchive(const QString& archivePath, const QString& member, const Apply& apply,
                          const ReadOptions& options);
  store::Store& m_store;
};

}  // namespace exchange
