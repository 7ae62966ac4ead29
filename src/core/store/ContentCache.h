#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "Result.h"

namespace store {

// What a board on a school's server keeps of the server's pictures, sounds, videos
// and photos, so that what it showed once is not fetched again in the next lesson:
// one file per content in the board's data folder (Onbellek/), named by the
// content's SHA-256 and the suffix a player needs (".mp3"). The name says what the
// content is, so a kept file is never stale: a changed picture has another name,
// and the server is asked only for the digest of what it holds now.
// Files are written under a temporary name and renamed, so a cut leaves no half
// file under a real name; the oldest-used files go when the folder passes its size.
class ContentCache {
 public:
  // `dataFolder`: the board's own data folder.
  explicit ContentCache(const QString& dataFolder);

  static QString folderName();  // "Onbellek"
  // Lower-case hex SHA-256, as the server's encode(sha256(...),'hex') gives it.
  static QString digest(const QByteArray& content);

  // The kept file with that digest and suffix, or empty. Finding a file counts as
  // using it (the trim keeps what was used last).
  QString find(const QString& digest, const QString& suffix = {}) const;
  // The content kept under the digest, when it is here and still matches it.
  std::optional<QByteArray> read(const QString& digest, const QString& suffix = {}) const;
  // Keeps the content (nothing is written when it is there already); its file.
  Result<QString> put(const QByteArray& content, const QString& suffix = {}) const;
  // Removes the files used longest ago until the folder holds at most `bytes`.
  void trim(qint64 bytes = kDefaultLimit) const;

  static constexpr qint64 kDefaultLimit = 2'000'000'000;

 private:
  QString fileName(const QString& digest, const QString& suffix) const;
  QString m_folder;
};

}  // namespace store
