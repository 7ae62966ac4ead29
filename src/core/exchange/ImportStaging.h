#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "Result.h"
#include "authoring/QuestionMedia.h"

class QTemporaryDir;

namespace store {
class Store;
class FolderChange;
}  // namespace store

namespace exchange {

// A private work folder "paket-XXXXXX" in the data folder (beside the media
// folders, so staged files are only renamed into place). Its owner holds a
// shared flock on the data folder itself for the folder's whole life: a folder
// nobody holds belongs to a killed process and repairStagedImports() may settle
// it; one that is held is another reading or writing at work.
class WorkFolder {
 public:
  explicit WorkFolder(const store::Store& store);
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  bool isValid() const;
  QString path() const;
  QString filePath(const QString& name) const;

  static inline const QString kPrefix = QStringLiteral("paket-");

 private:
  int m_lock = -1;
  std::unique_ptr<QTemporaryDir> m_dir;
};

// What a reading still has to do after its commit: the older files of every new
// key go and the staged files take their places. It is written into the work
// folder before the commit; the same transaction adds a marker row naming
// `marker` (TABLEPARAMETRE, PARAMETREADI = kMarkerName), so whoever finds the
// folder later knows from the database whether the reading committed.
struct StagingManifest {
  struct File {
    authoring::QuestionMedia::Kind kind = authoring::QuestionMedia::Kind::Sound;
    QString key;     // the new key
    QString name;    // file in the work folder
    QString suffix;  // ".mp3"
  };
  QString marker;
  QStringList keys;
  QList<File> files;

  static inline const QString kFileName = QStringLiteral("tasima.json");
  static inline const QString kMarkerName = QStringLiteral("PAKETALIMI");

  // Written and flushed to the disk.
  Status write(const QString& folder) const;
  static std::optional<StagingManifest> read(const QString& folder);

  // Inside the reading's transaction.
  Status addMarker(store::Store& store) const;
  // The moves of what is still in `folder` as steps of `change` (rows written at
  // once on a server, files moved when it settles on a data folder).
  Status record(const store::Store& store, store::FolderChange& change,
                const QString& folder) const;
  // Moves what is still in `folder` into place; a file moved already is not
  // touched again, so a move cut short can be done once more. Then drops the marker.
  void complete(store::Store& store, const QString& folder) const;
};

// Settles the work folders that killed processes left in the data folder: the
// staged files of a committed reading are moved into place, an uncommitted one's
// are dropped, and every such folder goes. Does nothing while another reading or
// writing holds its folder (the next start does it). Returns what it did, for
// the log; call it with the store open, before anything is read from a file.
QStringList repairStagedImports(store::Store& store);

}  // namespace exchange
