#include "store/Resources.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>

#include "store/Store.h"

namespace store {

namespace {

// File name -> resource. The four blank pictures share two images, as they always
// shared one built-in file.
const QHash<QString, QString>& table() {
  static const QHash<QString, QString> names{
      {QStringLiteral("YeniSoru.dce"), QStringLiteral(":/kaynak/BosSoru.jpg")},
      {QStringLiteral("TT.dce"), QStringLiteral(":/kaynak/BosSoru.jpg")},
      {QStringLiteral("YeniCevap.dce"), QStringLiteral(":/kaynak/BosCozum.jpg")},
      {QStringLiteral("TK.dce"), QStringLiteral(":/kaynak/BosCozum.jpg")},
      {QStringLiteral("ResimYok.jpg"), QStringLiteral(":/kaynak/ResimYok.jpg")},
      {QStringLiteral("app6.wav"), QStringLiteral(":/kaynak/app6.wav")},
      {QStringLiteral("HepsiBos.wav"), QStringLiteral(":/kaynak/HepsiBos.wav")},
      {QStringLiteral("HepsiYanlis.wav"), QStringLiteral(":/kaynak/HepsiYanlis.wav")},
  };
  return names;
}

}  // namespace

QStringList resourceNames() {
  QStringList names = table().keys();
  names.sort();
  return names;
}

bool resourceExists(const QString& fileName) { return table().contains(fileName); }

QByteArray resourceData(const QString& fileName) {
  const auto it = table().constFind(fileName);
  if (it == table().cend()) return {};
  QFile f(it.value());
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

QString KaynakCikar(const Store& store, const QString& fileName, const QString& subFolder,
                    bool overwrite) {
  if (!resourceExists(fileName)) return fileName;
  const QString folder = subFolder.isEmpty() ? store.root() : store.subFolder(subFolder);
  const QString path = QDir(folder).filePath(fileName);
  if (QFile::exists(path) && !overwrite) return fileName;

  // Written beside and renamed over the old file, so a failed write leaves the old
  // one (or none) instead of a cut-off picture.
  QSaveFile out(path);
  const QByteArray data = resourceData(fileName);
  if (data.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(data) != data.size() ||
      !out.commit())
    store.log(QStringLiteral("%1 yazılamadı: %2").arg(path, out.errorString()));
  return fileName;
}

}  // namespace store
