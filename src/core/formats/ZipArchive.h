#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "Result.h"

namespace formats {

struct ZipMember {
  QString name;  // path inside the archive, '/' separated
  QByteArray data;
};

// ZIP archives through libarchive. Reading happens under a C.UTF-8 locale so
// that non-ASCII member names survive; members with absolute paths or ".." are
// refused as a whole (nothing is returned), never written outside a folder.
class ZipArchive {
 public:
  // Every regular member, in archive order. `limit` caps the total unpacked size.
  static Result<QList<ZipMember>> readAll(const QString& archivePath,
                                          qint64 limit = qint64(1) << 30);
  // One member by name (case-sensitive); an error when it is missing.
  static Result<QByteArray> readMember(const QString& archivePath, const QString& name);
  // Writes a new ZIP archive (replacing `archivePath` only when everything was written).
  static Status write(const QString& archivePath, const QList<ZipMember>& members);
  // True for a member name that stays inside the folder it is unpacked into.
  static bool safeMemberName(const QString& name);
};

}  // namespace formats
