#include "school/StudentPhotos.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "store/Store.h"

namespace school {

QString StudentPhotos::path(const QString& kayitNo) const {
  return m_store.path(QStringLiteral("Fotograflar/") + kayitNo + QStringLiteral(".jpg"));
}

bool StudentPhotos::has(const QString& kayitNo) const {
  return !kayitNo.isEmpty() && QFile::exists(path(kayitNo));
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
  return has(kayitNo) ? path(kayitNo) : placeholderPath();
}

Status StudentPhotos::set(const QString& kayitNo, const QString& sourceFile) const {
  if (kayitNo.isEmpty()) return Status::failure(QStringLiteral("Önce öğrenciyi kaydediniz."));
  m_store.subFolder(QStringLiteral("Fotograflar"));
  const QString target = path(kayitNo);
  if (QFileInfo(sourceFile) == QFileInfo(target)) return {};
  QImage image(sourceFile);
  if (image.isNull())
    return Status::failure(QStringLiteral("Resim dosyası okunamadı: %1").arg(sourceFile));
  const QString suffix = QFileInfo(sourceFile).suffix().toLower();
  const QString temp = target + QStringLiteral(".yeni");
  QFile::remove(temp);
  const bool written = (suffix == QStringLiteral("jpg") || suffix == QStringLiteral("jpeg"))
                           ? QFile::copy(sourceFile, temp)
                           : image.save(temp, "JPG", 90);
  if (!written) return Status::failure(QStringLiteral("Resim kaydedilemedi: %1").arg(target));
  QFile::remove(target);
  if (!QFile::rename(temp, target))
    return Status::failure(QStringLiteral("Resim kaydedilemedi: %1").arg(target));
  return {};
}

void StudentPhotos::remove(const QString& kayitNo) const {
  if (!kayitNo.isEmpty()) QFile::remove(path(kayitNo));
}

}  // namespace school
