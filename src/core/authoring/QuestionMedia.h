#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"

namespace store {
class Store;
}

namespace authoring {

// The sound (Sesler/) and solution video (Videolar/) of a question: at most one
// file per question in each folder, named <SORUNO><ext>, found by the pattern
// <SORUNO>.* and stored in TABLESORU relative to the data folder
// ("Sesler/12.mp3"), so the data folder can move. A chosen file is copied in
// under a temporary name before the question's transaction and moved into place
// only after it committed (place()); a failed save discards the copy.
class QuestionMedia {
 public:
  enum class Kind { Sound, Video };
  // A file copied into the folder and waiting for its key.
  struct Staged {
    Kind kind = Kind::Sound;
    QString temp;    // absolute path of the copy
    QString suffix;  // ".mp3"
  };
  // One rename of renumbering.
  struct Rename {
    QString from;
    QString to;
  };

  explicit QuestionMedia(const store::Store& store) : m_store(store) {}

  static QString folderName(Kind kind);  // "Sesler" / "Videolar"
  // The question's file (absolute), or empty.
  QString find(const QString& key, Kind kind) const;
  // Every file of the question in the folder (normally none or one).
  QStringList files(const QString& key, Kind kind) const;
  // The stored value of a file placed for `key`: "Sesler/12.mp3".
  static QString storedPath(const QString& key, Kind kind, const QString& suffix);
  // The absolute path of a stored value (older rows may hold an absolute path).
  QString absolute(const QString& stored) const;

  // Copies `source` into the folder under a temporary name.
  Result<Staged> stage(const QString& source, Kind kind) const;
  // Replaces the question's file with the staged copy; returns the stored value.
  Result<QString> place(const Staged& staged, const QString& key) const;
  void discard(const Staged& staged) const;
  // Deletes the question's files in both folders.
  void removeAll(const QString& key) const;
  void remove(const QString& key, Kind kind) const;

  // The renames that give the files of old keys their new keys (both folders).
  QList<Rename> renames(const QList<QPair<QString, QString>>& oldToNew) const;
  // Applies renames through temporary names (keys may trade places); on a
  // failure every file is put back and the error returned.
  static Status apply(const QList<Rename>& renames);
  // The renames that put the files back (to be applied after apply()).
  static QList<Rename> inverse(const QList<Rename>& renames);

 private:
  const store::Store& m_store;
};

}  // namespace authoring
