#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"

class QSqlDatabase;

namespace store {

class Store;

// The files a board keeps beside its databases: a question's sound and solution
// video, a student's photo ("Sesler/12.mp3", "Videolar/12.mp4", "Fotograflar/5.jpg").
// On a data folder they are files in the folder. On a school's server they are
// rows of one table keyed by that relative path, so every board sees the same
// files; a board reads them through its content cache (Onbellek/), named by the
// content's digest and the file's suffix, and fetches the bytes only when the
// cache lacks them. Writes to the server are rows of the caller's transaction.
class FolderFiles {
 public:
  explicit FolderFiles(const Store& store) : m_store(store) {}

  // Whether a relative path names a file of those folders (and nothing outside them).
  static bool isPath(const QString& relative);
  // The server's table of them; made by `server init` and by the first write.
  static Status createTable(const QSqlDatabase& db);
  // Every file a server's connection `db` holds, in path order (none before the
  // table is there).
  static Status eachFile(const QSqlDatabase& db,
                         const std::function<Status(const QString&, const QByteArray&)>& use);

  // A file a player or a picture can open, or empty when there is none: on a
  // data folder the file itself, on a server the cached copy of the row.
  QString localPath(const QString& relative) const;
  bool exists(const QString& relative) const;
  Result<QByteArray> read(const QString& relative) const;
  // A file of this machine, whole; "<path> okunamadı." when it cannot be read.
  static Result<QByteArray> readLocal(const QString& path);
  // The files of `folder` whose name without its suffix is `base`, as relative
  // paths in name order: ("Sesler", "12") gives "Sesler/12.mp3", never "Sesler/12.5.mp3".
  QStringList named(const QString& folder, const QString& base) const;

  // Written now: a file of the folder, or a row of the caller's transaction.
  Status put(const QString& relative, const QByteArray& content) const;
  // `file` becomes `relative`: moved in on a data folder (it lies in the same
  // folder), read into the row on a server. A temporary `file` goes either way.
  Status putFile(const QString& relative, const QString& file, bool temporary) const;
  Status remove(const QString& relative) const;
  // Every file of `folder` ("Sesler"): at once on a data folder, rows of the
  // caller's transaction on a server.
  Status removeFolder(const QString& folder) const;

  // A chosen file made ready before a transaction: on a data folder a copy in
  // `folder` under a temporary name (so placing it is a rename), on a server the
  // chosen file itself (read when its row is written).
  struct Staged {
    QString file;
    bool temporary = true;
  };
  Result<Staged> stage(const QString& source, const QString& folder) const;
  static void discard(const Staged& staged);

  struct Rename {
    QString from;  // relative paths
    QString to;
  };
  // Renames through temporary names (a file may take the name another gives up).
  // On a data folder every file is put back on a failure; on a server the rows
  // move inside the caller's transaction, whose rollback puts them back.
  Status rename(const QList<Rename>& renames) const;
  // After a transaction that renamed files failed to commit: puts files back on a
  // data folder (the server's rollback did it already).
  void revert(const QList<Rename>& renames) const;

 private:
  Status ensureTable() const;
  bool tableThere() const;
  const Store& m_store;
};

// The changes of files that belong to one transaction. On a server each is a row
// written at once, inside the transaction; on a data folder each waits for
// settle() after the commit, so a failed save never touched a file.
class FolderChange {
 public:
  explicit FolderChange(const Store& store);
  // The change a transaction recorded and committed already, done again from its
  // own list (after a kill): on a server its rows are there, nothing is done.
  static FolderChange committed(const Store& store);
  // The files of `folder` named `base` give way to `file` (a staged file) as
  // `base` + `suffix`.
  Status replace(const QString& folder, const QString& base, const FolderFiles::Staged& file,
                 const QString& suffix);
  Status put(const QString& relative, const QByteArray& content);
  Status remove(const QString& relative);
  // Every file of `folder` named `base` goes.
  Status removeNamed(const QString& folder, const QString& base);
  // After the commit. Returns the first failure; the later steps still run.
  Status settle();
  bool pending() const { return !m_steps.isEmpty(); }

 private:
  Status step(std::function<Status()> work);
  FolderFiles m_files;
  QList<std::function<Status()>> m_steps;
  bool m_deferred = false;
  bool m_done = false;  // on a server, by the committed transaction
};

}  // namespace store
