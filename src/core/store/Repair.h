#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"

namespace store {

// The files the repair compacts, in order: the main database, then (withStores)
// every question store 2 .. 100 that exists (a missing number is skipped, not the
// end) and every test store that exists.
QStringList repairFiles(const QString& mainPath, bool withStores);

// Called before each file: its name, its position (1-based) and the file count.
using RepairProgress = std::function<void(const QString& fileName, int index, int total)>;

// The repair of the main menu: closes the shared connection, compacts the files of
// repairFiles() and opens the connection again, also after a failure. A file that
// fails is left as it was and the others are still compacted; the error names each
// failed file.
Status BilgileriOnar(bool withStores, const RepairProgress& progress = {});

}  // namespace store
