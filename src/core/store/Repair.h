#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"

namespace store {

class Store;

// The files the repair compacts, in order: the main database, then (withStores)
// every question store 2 .. 100 of the data folder `root` that exists (a missing
// number is skipped, not the end) and every test store that exists.
QStringList repairFiles(const QString& root, const QString& mainPath, bool withStores);

// Called before each file: its name, its position (1-based) and the file count.
using RepairProgress = std::function<void(const QString& fileName, int index, int total)>;

// The repair of the main menu: closes the store, compacts the files of
// repairFiles() and opens the store again, also after a failure. A file that fails
// is left as it was and the others are still compacted; the error names each
// failed file.
Status BilgileriOnar(Store& store, bool withStores, const RepairProgress& progress = {});

}  // namespace store
