#pragma once

#include <QString>

#include "Result.h"

namespace store {

// Compacts one database file in place: VACUUM INTO "tmp" + name in the same folder,
// a check of the copy (quick_check and the row count of every table), then one
// rename over the original. Any failure leaves the original untouched. The file
// must not be open on another connection: close the shared connection first.
Status VeritabaniSikistir(const QString& path);

}  // namespace store
