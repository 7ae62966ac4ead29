#pragma once

#include <QString>

#include "Result.h"

namespace store {

// Compacts one database file in place: VACUUM INTO "tmp" + name in the same folder,
// a check of the copy (quick_check and the row count of every table), then one
// rename over the original. Any failure leaves the original untouched. A file that
// a connection of this program has open is refused: close the store first.
Status VeritabaniSikistir(const QString& path);

}  // namespace store
