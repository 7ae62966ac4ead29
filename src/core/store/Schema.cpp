#include "store/Schema.h"

#include <QFile>

#include "Version.h"
#include "store/Database.h"
#include "store/SchemaTables.h"
#include "store/Sql.h"
#include "store/StoreFiles.h"

namespace store {

QString structureVersion() { return QString::fromLatin1(derslik::kVersionText); }

// Interim: makes a new database whole; the structure and data checks of older
// databases arrive with the upgrade code.
Result<CheckReport> VeritabaniKontrol() {
  CheckReport report;
  const bool existed = QFile::exists(databaseFile(kMainName));
  if (Status s = BaglantiAc(kMainName); !s) return Result<CheckReport>::failure(s.error());
  if (!existed) {
    Transaction tx;
    if (Status s = createMainTables(connection()); !s) return Result<CheckReport>::failure(s.error());
    (void)run(QStringLiteral("INSERT INTO TABLEVERSIYON (VTYAPIVERSIYON, VTVERIVERSIYON) VALUES (?, ?)"),
              {structureVersion(), QString::number(kDataVersion)});
    if (Status s = tx.commit(); !s) return Result<CheckReport>::failure(s.error());
    report.created = true;
  }
  for (StoreKind kind : {StoreKind::Question, StoreKind::Test}) {
    if (!QFile::exists(storePath(kind, 2))) (void)createStoreFile(kind, storePath(kind, 2));
  }
  return report;
}

}  // namespace store
