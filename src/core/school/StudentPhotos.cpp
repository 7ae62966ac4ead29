#include "school/StudentPhotos.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "store/FolderFiles.h"
#include "store/Store.h"

namespace school {

QString StudentPhotos::relativePath(const QString& kayitNo) {
  return QStringLiteral("Fotograflar/") + kayitNo + QStringLiteral(".jpg");
}

QString StudentPhotos::path(const QString& kayitNo) const {
  if (kayitNo.isEmpty()) return {};
  return store::FolderFiles(m_store).localPath(relativePath(kayitNo));
}

bool StudentPhotos::has(const QString& kayitNo) const {
  return !kayitNo.isEmpty() && store::FolderFiles(m_store).exists(relativePath(kayitNo));
}

QString StudentPhotos::placeholderPath() const {
  const QString p = m_store.path(QStringLiteral("ResimYok.jpg"));
  if (!QFile::exists(p)) {
    QImage blank(120, 150, QImage::Format_RGB32);
    blank.fill(QColor(0xE0, 0xE0, 0xE0));
    (void)blank.save(p, "JPG");
  }
  return p;
}

QString StudentPhotos::displayPath(const QString& kayitNo) const {
  const QString photo = path(kayitNo);
  return photo.isEmpty() ? placeholderPath() : photo;
}

Result<QByteArray> StudentPhotos::jpeg(const QString& sourceFile) {
  using R = Result<QByteArray>;
  const QImage image(sourceFile);
  if (image.isNull())
    return R::failure(QStringLiteral("Resim dosyası okunamadı: %1").arg(sourceFile));
  const QString suffix = QFileInfo(sourceFile).suffix().toLower();
  if (suffix == QStringLiteral("jpg") || suffix == QStringLiteral("jpeg")) {
    QFile f(sourceFile);
    if (!f.open(QIODevice::ReadOnly))
      return R::failure(QStringLiteral("Resim dosyası okunamadı: %1").arg(sourceFile));
    return f.readAll();
  }
  QByteArray out;
  QBuffer buffer(&out);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "JPG", 90))
    return R::failure(QStringLiteral("Resim kaydedilemedi: %1").arg(sourceFile));
  return out;
}

Status StudentPhotos::set(store::FolderChange& change, const QString& kayitNo,
                          const QByteArray& jpeg) const {
  if (kayitNo.isEmpty()) return Status::failure(QStringLiteral("Önce öğrenciyi kaydediniz."));
  return change.put(relativePath(kayitNo), jpeg);
}

Status StudentPhotos::remove(store::FolderChange& change, const QString& kayitNo) const {
  if (kayitNo.isEmpty()) return {};
  return change.remove(relativePath(kayitNo));
}

}  // namespace school
