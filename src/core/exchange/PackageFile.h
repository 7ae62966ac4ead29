#pragma once

#include <QList>
#include <QString>

#include <chrono>
#include <functional>

#include "Result.h"
#include "exchange/PackageDatabase.h"
#include "formats/ZipArchive.h"

namespace store {
class Store;
}

namespace exchange {

// An exchange file: a ZIP archive holding one SQLite database (the package,
// "Sru.mds", "Tst.mds" or "Kyt.mds") and possibly other members (media archives).
// While a package is written it is attached to the store's connection under the
// schema name kSchema, so statements copy rows with plain SQL ("INSERT INTO
// PKG.TABLEX SELECT ... FROM main.TABLEX"); SQLite refuses ATTACH inside a
// transaction, so write() must not be called with one open. A package that is
// read came from elsewhere: it is never attached, but opened on its own as a
// PackageDatabase.
class PackageFile {
 public:
  static inline const QString kSchema = QStringLiteral("PKG");

  explicit PackageFile(store::Store& store) : m_store(store) {}

  // Creates an empty package, lets `fill` copy rows into it and writes the archive
  // with the package as `member` followed by `extra`. A failure leaves no file.
  Status write(const QString& archivePath, const QString& member,
               const std::function<Status()>& fill, const QList<formats::ZipMember>& extra = {});

  // How long reading one package may take, whatever it holds.
  static constexpr std::chrono::seconds kAllowed{30};

  // Unpacks `member` of the archive into a private temporary folder (within the
  // archive limits, up to the size of a content store), opens it as a
  // PackageDatabase and runs `apply` inside one transaction of the main
  // database: on any failure nothing is added. `others` receives the remaining
  // members when given. The result is `apply`'s count.
  Result<int> read(const QString& archivePath, const QString& member,
                   const std::function<Result<int>(PackageDatabase&)>& apply,
                   QList<formats::ZipMember>* others = nullptr);

 private:
  QString workFolderTemplate() const;
  Status attach(const QString& file);
  void detach();
  store::Store& m_store;
};

}  // namespace exchange
