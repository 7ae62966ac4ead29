#include "store/StoreFiles.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

#include "store/Database.h"
#include "store/SchemaTables.h"
#include "store/SqlErrors.h"

namespace store {

QString storeFileName(StoreKind kind, int n) {
  return (kind == StoreKind::Question ? QStringLiteral("DERSLIK_%1.db")
                                      : QStringLiteral("DERSLIK_T%1.db"))
      .arg(n);
}

QString storePath(const QString& root, StoreKind kind, int n) {
  return QDir(root).filePath(storeFileName(kind, n));
}

Status createStoreFile(StoreKind kind, const QString& path) {
  const QString name = QStringLiteral("store-create");
  Status status;
  {
    Result<QSqlDatabase> db = openFile(name, path);
    if (!db) return Status::failure(db.error());
    QSqlQuery q(db.value());
    const StoreTableDef& def = storeTable(kind == StoreKind::Question);
    if (!q.exec(createTableSql(def.table))) status = Status::failure(sqlErrorText(q.lastError()));
    const QString index = def.indexSql;
    if (status.ok() && !q.exec(index)) status = Status::failure(sqlErrorText(q.lastError()));
  }
  closeFile(name);
  return status;
}

}  // namespace store
