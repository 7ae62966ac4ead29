#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "store/FolderFiles.h"

namespace authoring {

// The sound (Sesler/) and solution video (Videolar/) of a question: at most one
// file per question in each folder, named <SORUNO><ext>, found by the pattern
// <SORUNO>.* and stored in TABLESORU relative to the data folder
// ("Sesler/12.mp3"), so the data folder can move. Where the files live (the data
// folder or the school's server) is store::FolderFiles' business. A chosen file
// is staged before the question's transaction and placed through a
// store::FolderChange of that transaction, so a failed save leaves no file behind.
class QuestionMedia {
 public:
  enum class Kind { Sound, Video };
  // A file made ready and waiting for its key.
  struct Staged {
    Kind kind = Kind::Sound;
    QString temp;           // absolute path of the copy (of the chosen file itself on a server)
    QString suffix;         // ".mp3"
    bool temporary = true;  // `temp` is ours to remove
  };
  // One rename of renumbering, as relative paths.
  using Rename = store::FolderFiles::Rename;

  explicit QuestionMedia(const store::Store& store) : m_files(store) {}

  static QString folderName(Kind kind);  // "Sesler" / "Videolar"
  // The question's file as a path a player opens, or empty.
  QString find(const QString& key, Kind kind) const;
  // Every file of the question (normally none or one), as relative paths ("Sesler/12.mp3").
  QStringList stored(const QString& key, Kind kind) const;
  // The stored value of a file placed for `key`: "Sesler/12.mp3".
  static QString storedPath(const QString& key, Kind kind, const QString& suffix);
  // The path a player opens for a stored value (older rows may hold an absolute
  // path); empty when there is no such file.
  QString absolute(const QString& stored) const;

  // Makes `source` ready to be placed.
  Result<Staged> stage(const QString& source, Kind kind) const;
  void discard(const Staged& staged) const;
  // Inside the question's transaction: the staged file replaces the question's
  // file of its kind; the question's files go.
  Status place(store::FolderChange& change, const Staged& staged, const QString& key) const;
  Status remove(store::FolderChange& change, const QString& key, Kind kind) const;
  Status removeAll(store::FolderChange& change, const QString& key) const;

  // The renames that give the files of old keys their new keys (both folders).
  QList<Rename> renames(const QList<QPair<QString, QString>>& oldToNew) const;
  // Inside the renumbering's transaction; on a failure every file is put back.
  Status apply(const QList<Rename>& renames) const;
  // After that transaction failed to commit.
  void revert(const QList<Rename>& renames) const { m_files.revert(renames); }
  bool exists(const QString& stored) const { return m_files.exists(stored); }

 private:
  store::FolderFiles m_files;
};

}  // namespace authoring
