#pragma once

#include <QString>

namespace store {

// Appends "dd.MM.yyyy HH:mm:ss: message" to Log.txt in the data folder, but only
// while that file exists: creating an empty Log.txt switches logging on.
void LogYaz(const QString& message);

}  // namespace store
