#include "store/Schema.h"

#include <QFile>
#include <QSqlError>

#include "Version.h"
#include "store/DataMigration.h"
#include "store/Database.h"
#include "store/FieldPass.h"
#include "store/Log.h"
#include "store/RolloverFiles.h"
#include "store/SchemaTables.h"
#include "store/Sql.h"
#include "store/SqlErrors.h"
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
  const bool hasRow =
      scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEVERSIYON"), {}, 0, db).toInt() > 0;
  if (hasRow)
    return run(QStringLiteral("UPDATE TABLEVERSIYON SET VTYAPIVERSIYON=?"), {structureVersion()},
               db);
  return run(QStringLiteral("INSERT INTO TABLEVERSIYON (VTYAPIVERSIYON) VALUES (?)"),
             {structureVersion()}, db);
}

Status checkStructure(const QSqlDatabase& db, CheckReport& report) {
  const QVariant stored =
      scalar(QStringLiteral("SELECT VTYAPIVERSIYON FROM TABLEVERSIYON LIMIT 1"), {}, {}, db);
  if (!stored.isNull() && stored.toString() == structureVersion()) {
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

Result<CheckReport> VeritabaniKontrol() {
  CheckReport report;
  // A missing main database is made new only in a folder without a school in it.
  if (const QString refusal = emptyMainRefusal(); !refusal.isEmpty())
    return Result<CheckReport>::failure(refusal);
  // DERSLIK.db may still be the old year's file until the swap is finished.
  if (QFile::exists(swapJournalPath()))
    return Result<CheckReport>::failure(QStringLiteral(
        "Yarım kalan bir sınıf atlatma tamamlanmayı bekliyor. Derslik'i kapatıp yeniden açınız."));
  if (Status s = BaglantiAc(kMainName); !s) return Result<CheckReport>::failure(s.error());
  const QSqlDatabase db = connection();
  const int tables =
      scalar(
          QStringLiteral(
              "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%'"),
          {}, -1, db)
          .toInt();
  if (tables < 0) return Result<CheckReport>::failure(sqlErrorText(db.lastError()));
  if (tables == 0) {
    if (Status s = createWhole(db); !s) return Result<CheckReport>::failure(s.error());
    report.created = true;
  } else {
    if (Status s = checkStructure(db, report); !s) return Result<CheckReport>::failure(s.error());
    // A failed data step is reported, not fatal: the program works on, and the
    // step runs again at the next start.
    if (Status s = VeriVersiyonKontrol(report, db); !s && report.failedStep == 0)
      return Result<CheckReport>::failure(s.error());
  }
  for (StoreKind kind : {StoreKind::Question, StoreKind::Test}) {
    if (QFile::exists(storePath(kind, 2))) continue;
    if (Status s = createStoreFile(kind, storePath(kind, 2)); !s)
      return Result<CheckReport>::failure(s.error());
  }
  return report;
}

}  // namespace store
