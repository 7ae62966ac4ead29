#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"

namespace store {

struct ReadOnlyLimits {
  int timeoutMs = 10000;                 // the statement is stopped after this
  int maxValueBytes = 10 * 1024 * 1024;  // longest text or blob a value may have
  qint64 maxResultBytes = 64LL << 20;    // all rows together
};

// Runs exactly one reading statement on a database file, for people who look
// into the data by hand (derslik-cli sql). Nothing it is given can write: the
// file is opened read-only (its journal mode is left alone), only reading
// actions pass the authorizer (no ATTACH, no PRAGMA that sets anything, no
// function that touches files), a statement SQLite does not call read-only is
// refused, and time and size are bounded. `row` gets the column names first,
// then each row as text.
Status runReadOnlyQuery(const QString& path, const QString& sql,
                        const std::function<void(const QStringList&)>& row,
                        const ReadOnlyLimits& limits = {});

inline QString onlyOneStatementMessage() {
  return QStringLiteral("Yalnızca bir sorgu çalıştırılabilir.");
}

}  // namespace store
