#include "store/Schema.h"

#include <QFile>
#include <QSqlError>

#include "Version.h"
#include "store/DataMigration.h"
#include "store/Database.h"
#include "store/FieldPass.h"
#include "store/SchemaTables.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "store/StoreFiles.h"

namespace store {

QString structureVersion() { return QString::fromLatin1(derslik::kVersionText); }

namespace {

// A database without a single table is made whole at the current structure and
// data version, so none of the steps meant for old databases ever runs on it.
Status createWhole(const QSqlDatabase& db) {
  Transaction tx(db);
  if (Status s = createMainTables(db); !s) return s;
  if (Status s = run(
          QStringLiteral("INSERT INTO TABLEVERSIYON (VTYAPIVERSIYON,VTVERIVERSIYON) VALUES (?,?)"),
          {structureVersion(), QString::number(kDataVersion)}, db);
      !s)
    return s;
  if (Status s = seedNewDatabase(db); !s) return s;
  return tx.commit();
}

Status writeStructureVersion(const QSqlDatabase& db) {
  Result<QVariant> rows = scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEVERSIYON"), {}, db);
  if (!rows) return Status::failure(rows.error());
  if (rows->toInt() > 0)
    return run(QStringLiteral("UPDATE TABLEVERSIYON SET VTYAPIVERSIYON=?"), {structureVersion()},
               db);
  return run(QStringLiteral("INSERT INTO TABLEVERSIYON (VTYAPIVERSIYON) VALUES (?)"),
             {structureVersion()}, db);
}

Status checkStructure(const QSqlDatabase& db, CheckReport& report) {
  // An early database has no version table at all: it gets the whole field pass.
  QVariant version;
  if (TabloVarMi(QStringLiteral("TABLEVERSIYON"), db)) {
    Result<QVariant> stored =
        scalar(QStringLiteral("SELECT VTYAPIVERSIYON FROM TABLEVERSIYON LIMIT 1"), {}, db);
    if (!stored) return Status::failure(stored.error());
    version = stored.value();
  }
  if (!version.isNull() && version.toString() == structureVersion()) {
    // Same program as last time: only a table or index lost in between comes back.
    return createMainTables(db);
  }
  Transaction tx(db);
  if (Status s = runFieldPass(db); !s) return s;
  if (Status s = writeStructureVersion(db); !s) return s;
  if (Status s = tx.commit(); !s) return s;
  report.structureChecked = true;
  return {};
}

}  // namespace

Result<CheckReport> VeritabaniKontrol(Store& store) {
  CheckReport report;
  const QSqlDatabase db = store.db();
  Result<QVariant> tables = scalar(
      QStringLiteral(
          "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%'"),
      {}, db);
  if (!tables) return Result<CheckReport>::failure(tables.error());
  if (tables->toInt() == 0) {
    if (Status s = createWhole(db); !s) return Result<CheckReport>::failure(s.error());
    report.created = true;
  } else {
    if (Status s = checkStructure(db, report); !s) return Result<CheckReport>::failure(s.error());
    // A failed data step is reported, not fatal: the program works on, and the
    // step runs again at the next start.
    if (Status s = VeriVersiyonKontrol(report, store); !s && report.failedStep == 0)
      return Result<CheckReport>::failure(s.error());
  }
  for (StoreKind kind : {StoreKind::Question, StoreKind::Test}) {
    const QString first = storePath(store.root(), kind, kFirstStore);
    if (QFile::exists(first)) continue;
    if (Status s = createStoreFile(kind, first); !s) return Result<CheckReport>::failure(s.error());
  }
  return report;
}

}  // namespace store
