#pragma once

#include <QList>
#include <QString>

#include <functional>

#include "Result.h"
#include "formats/ZipArchive.h"

namespace store {
class Store;
}

namespace exchange {

// An exchange file: a ZIP archive holding one SQLite database (the package,
// "Sru.mds", "Tst.mds" or "Kyt.mds") and possibly other members (media archives).
// While a package is filled or read it is attached to the main connection under
// the schema name kSchema, so statements copy rows with plain SQL
// ("INSERT INTO PKG.TABLEX SELECT ... FROM main.TABLEX").
//
// Both calls attach and detach the package themselves; SQLite refuses ATTACH
// inside a transaction, so they must not be called with one open.
class PackageFile {
 public:
  static inline const QString kSchema = QStringLiteral("PKG");

  explicit PackageFile(store::Store& store) : m_store(store) {}

  // Creates an empty package, lets `fill` copy rows into it and writes the archive
  // with the package as `member` followed by `extra`. A failure leaves no file.
  Status write(const QString& archivePath, const QString& member,
               const std::function<Status()>& fill, const QList<formats::ZipMember>& extra = {});

  // Unpacks `member` of the archive, checks it is a readable database and runs
  // `apply` inside one transaction: on any failure nothing is added. `others`
  // receives the remaining members when given. The result is `apply`'s count.
  Result<int> read(const QString& archivePath, const QString& member,
                   const std::function<Result<int>()>& apply,
                   QList<formats::ZipMember>* others = nullptr);

  // True when the attached package holds `table` with every one of `columns`.
  bool hasColumns(const QString& table, const QStringList& columns) const;
  // Column names of a package table (empty when the table is missing).
  QStringList columnsOf(const QString& table) const;

 private:
  QString workFolderTemplate() const;
  Status attach(const QString& file);
  void detach();
  store::Store& m_store;
};

}  // namespace exchange
