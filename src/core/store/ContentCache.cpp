#include "store/ContentCache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

namespace store {

namespace {

// A digest and a suffix become a file name and nothing else: no separators, no "..".
bool safeName(const QString& digest, const QString& suffix) {
  static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
  static const QRegularExpression ext(QStringLiteral("^(\\.[A-Za-z0-9]{1,8})?$"));
  return hex.match(digest).hasMatch() && ext.match(suffix).hasMatch();
}

}  // namespace

ContentCache::ContentCache(const QString& dataFolder)
    : m_folder(QDir(dataFolder).filePath(folderName())) {}

QString ContentCache::folderName() { return QStringLiteral("Onbellek"); }

QString ContentCache::digest(const QByteArray& content) {
  return QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
}

QString ContentCache::fileName(const QString& digest, const QString& suffix) const {
  return QDir(m_folder).filePath(digest + suffix);
}

QString ContentCache::find(const QString& digest, const QString& suffix) const {
  if (!safeName(digest, suffix)) return {};
  const QString path = fileName(digest, suffix);
  QFile file(path);
  if (!file.exists()) return {};
  if (file.open(QIODevice::ReadWrite))
    file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
  return path;
}

std::optional<QByteArray> ContentCache::read(const QString& digest, const QString& suffix) const {
  const QString path = find(digest, suffix);
  if (path.isEmpty()) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray content = file.readAll();
  // A file damaged on the disk is fetched again rather than shown.
  if (ContentCache::digest(content) != digest) {
    file.close();
    QFile::remove(path);
    return std::nullopt;
  }
  return content;
}

Result<QString> ContentCache::put(const QByteArray& content, const QString& suffix) const {
  const QString d = digest(content);
  if (!safeName(d, suffix))
    return Result<QString>::failure(QStringLiteral("Geçersiz dosya uzantısı: %1").arg(suffix));
  if (const QString there = find(d, suffix); !there.isEmpty()) return there;
  if (!QDir().mkpath(m_folder))
    return Result<QString>::failure(QStringLiteral("%1 klasörü oluşturulamadı.").arg(m_folder));
  const QString path = fileName(d, suffix);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
    return Result<QString>::failure(
        QStringLiteral("%1 yazılamadı.").arg(QDir::toNativeSeparators(path)));
  return path;
}

void ContentCache::trim(qint64 bytes) const {
  QFileInfoList files =
      QDir(m_folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Time);  // newest first
  qint64 total = 0;
  for (const QFileInfo& f : files) total += f.size();
  while (total > bytes && !files.isEmpty()) {
    const QFileInfo oldest = files.takeLast();
    if (QFile::remove(oldest.absoluteFilePath())) total -= oldest.size();
  }
}

}  // namespace store
