#include "store/Repair.h"

#include <QFile>
#include <QFileInfo>

#include "store/Compaction.h"
#include "store/ContentStores.h"
#include "store/Database.h"
#include "store/Log.h"
#include "store/StoreFiles.h"

namespace store {

QStringList repairFiles(const QString& mainPath, bool withStores) {
  QStringList files{mainPath};
  if (!withStores) return files;
  // Unlike every other store loop, a gap does not end this one: a store left behind
  // a missing number still gets compacted.
  for (StoreKind kind : {StoreKind::Question, StoreKind::Test})
    for (int n = kFirstStore; n <= kLastStoreNumber; ++n)
      if (QFile::exists(storePath(kind, n))) files << storePath(kind, n);
  return files;
}

Status BilgileriOnar(bool withStores, const RepairProgress& progress) {
  const QString mainPath = mainDatabasePath();
  BaglantiKapat();

  const QStringList files = repairFiles(mainPath, withStores);
  QStringList errors;
  for (int i = 0; i < files.size(); ++i) {
    if (progress) progress(QFileInfo(files[i]).fileName(), i + 1, int(files.size()));
    if (Status s = VeritabaniSikistir(files[i]); !s) errors << s.error();
  }

  QString reopen = mainPath;
  if (reopen.endsWith(QStringLiteral(".db"))) reopen.chop(3);
  if (Status s = BaglantiAc(reopen); !s)
    errors << QStringLiteral("Veritabanı yeniden açılamadı: ") + s.error();
  LogYaz(QStringLiteral("Bilgileri onar: %1 dosya, %2 hata").arg(files.size()).arg(errors.size()));
  if (!errors.isEmpty()) return Status::failure(errors.join(QLatin1Char('\n')));
  return {};
}

}  // namespace store
