#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"
#include "store/DataLock.h"

namespace store {

// The files of the school-year rollover in the data folder `root`
// (store::Store::root()), and the repair of a rollover that a kill or a power cut
// interrupted. They work on files only, with the main connection closed.
//
// A run builds the new main database as DERSLIK.yeni.db beside the old one and
// copies every database file into its own backup folder Yedek/<stamp>/, whose
// marker file is written last. Then it writes the journal DERSLIK.atlatma: the
// journal is the commit point. From then on the new year wins: finishSwap() puts
// DERSLIK.yeni.db in place with one rename (so DERSLIK.db never goes missing),
// removes the old year's content stores, moves its sounds and videos into the
// backup and, last, removes the journal. It is the same
// code whether the run goes on or the next start finds the journal after a kill.
// Without the journal the old files are the truth: an interrupted run is undone
// (the half-built database and a backup folder without its marker go).

QString stagedMainPath(const QString& root);   // DERSLIK.yeni.db
QString swapJournalPath(const QString& root);  // DERSLIK.atlatma
QString backupRoot(const QString& root);       // Yedek (not created)

struct Backup {
  QString stamp;   // folder name: "2025.9.1-8.5.7", or "2025.9.1-8.5.7-2"
  QString folder;  // full path
};
// The backup folders whose marker was written: only they are backups. Oldest first.
QList<Backup> completeBackups(const QString& root);
// The school year a backup's rollover was for ("2026-2027"), read without
// writing a byte into the backup; empty when it cannot be read.
QString backupSchoolYear(const Backup& backup);
// A new, empty backup folder for `stamp`; "-2", "-3" ... is added when a folder of
// that name exists already (two runs in one second).
Result<Backup> createBackupFolder(const QString& root, const QString& stamp);
// Copies `file` into the backup folder and flushes it to the disk.
Status copyIntoBackup(const QString& file, const Backup& backup);
// Writes the marker: from now on the folder is a backup.
Status markBackupComplete(const Backup& backup);

// The commit point of a run: flushes DERSLIK.yeni.db to the disk, then writes the
// journal naming the backup the new year came from, and whether the question and
// test stores stay (the bank was kept) or go with the old year.
Status writeSwapJournal(const QString& root, const Backup& backup, bool keepContentStores = false);
// Completes a committed swap. Each step is reported to `step` before the next
// one starts (the crash tests stop the process there).
Status finishSwap(const QString& root, const std::function<void(const QString&)>& step = {});

// True when the data folder holds what an interrupted rollover leaves behind.
bool rolloverInterrupted(const QString& root);
// Finishes a committed swap or undoes an uncommitted run. The sentences say what
// was found and what was done. Call with the exclusive DataLock held.
Result<QStringList> recoverInterruptedRollover(const QString& root);

// Every program calls this before it opens anything in the data folder: it waits
// a moment for a running rollover, repairs an interrupted one and takes the
// shared DataLock. Returns the repair's sentences (usually none).
Result<QStringList> enterDataFolder(const QString& root, int waitMs = DataLock::kDefaultWaitMs);

// Why an empty main database must not be made in this folder: the main database
// is missing but there are traces of a school (rollover files, backups). Empty
// when a new database may be created.
QString emptyMainRefusal(const QString& root);

}  // namespace store
