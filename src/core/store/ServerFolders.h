#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

#include "Result.h"

namespace store {

class Store;

// A board's data folder and a school's server, both ways.
//
// Every data folder carries an identity: a random id written into its own main
// database the first time it is opened (an older folder gets one at its next
// open), so that the server can tell a folder it has taken in already from a
// new one. Exported folders start without one and get their own when first
// opened.

// The parameter that holds the folder's identity (TABLEPARAMETRE).
inline const QString kFolderIdentity = QStringLiteral("VERIKLASORUKIMLIGI");
// The server's record of a folder taken in: PARAMETREDEGERI is the folder's
// identity, PARAMETREACIKLAMA the time of the import ("dd.MM.yyyy HH:mm").
inline const QString kImportedFolder = QStringLiteral("AKTARILANVERIKLASORU");

// The school database's own identity, made at its first export; an exported
// folder names it, so the copy is never taken back in as a board of its own
// (everything in it is on the server already).
inline const QString kSchoolIdentity = QStringLiteral("OKULVERITABANIKIMLIGI");
inline const QString kExportedFrom = QStringLiteral("KAYNAKVERITABANI");
// The school's identity; made now (in a transaction of its own) when `make`.
Result<QString> schoolIdentity(Store& store, bool make);
QString exportedCopyMessage();

// The folder's identity, made now when the folder has none. Only for a data
// folder; on a server there is nothing to identify.
Result<QString> folderIdentity(Store& store);

// When the folder with `identity` was imported into the server the store is on;
// an invalid time when it was not.
Result<QDateTime> folderImportedAt(const Store& store, const QString& identity);
// "Bu veri klasörü 06.12.2026 14:02'de sunucuya aktarıldı."
QString alreadyImportedMessage(const QDateTime& when);
QString importTimeText(const QDateTime& when);
QDateTime importTimeFromText(const QString& text);

// The files beside the databases (sounds, videos, photos): store/FolderFiles.h.

struct FolderFigures {
  qint64 tables = 0;  // main tables copied
  qint64 rows = 0;    // rows of the main tables
  qint64 questionContents = 0;
  qint64 testContents = 0;
  qint64 files = 0;  // sounds, videos and photos
};

// `server export-folder`: writes the server's whole school into the empty (or
// missing) folder `folder` as a data folder any single board opens: DERSLIK.db,
// the question and test stores, and the marker TAMAM last, so a folder without
// it is an export that did not finish. Everything is read in one read-only
// snapshot of the server, so the copy is consistent while boards keep writing.
// `progress` is told a line per step.
Result<FolderFigures> exportFolder(Store& server, const QString& folder,
                                   const std::function<void(const QString&)>& progress = {});

// Whether `folder` holds the marker an export writes last.
bool exportComplete(const QString& folder);
inline const QString kExportMarker = QStringLiteral("TAMAM");

}  // namespace store
