#include "store/Repair.h"

#include <QFile>
#include <QFileInfo>

#include "store/Compaction.h"
#include "store/Store.h"
#include "store/StoreFiles.h"

namespace store {

QStringList repairFiles(const QString& root, const QString& mainPath, bool withStores) {
  QStringList files{mainPath};
  if (!withStores) return files;
  // Unlike every other store loop, a gap does not end this one: a store left behind
  // a missing number still gets compacted.
  for (StoreKind kind : {StoreKind::Question, StoreKind::Test})
    for (int n = kFirstStore; n <= kLastStoreNumber; ++n)
      if (QFile::exists(storePath(root, kind, n))) files << storePath(root, kind, n);
  return files;
}

Status BilgileriOnar(Store& store, bool withStores, const RepairProgress& progress) {
  store.close();
  const QStringList files = repairFiles(store.root(), store.mainFile(), withStores);
  QStringList errors;
  for (int i = 0; i < files.size(); ++i) {
    if (progress) progress(QFileInfo(files[i]).fileName(), i + 1, int(files.size()));
    if (Status s = VeritabaniSikistir(files[i]); !s) errors << s.error();
  }
  if (Result<CheckReport> s = store.open(); !s)
    errors << QStringLiteral("Veritabanı yeniden açılamadı: ") + s.error();
  for (const QString& e : errors) store.log(e);
  store.log(
      QStringLiteral("Bilgileri onar: %1 dosya, %2 hata").arg(files.size()).arg(errors.size()));
  if (!errors.isEmpty()) return Status::failure(errors.join(QLatin1Char('\n')));
  return {};
}

}  // namespace store
