#pragma once

#include <QSqlDatabase>
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

// The same on a school's server: one statement (checked before the server sees
// it, since the driver sends its text as it is), in a READ ONLY transaction that
// is rolled back, stopped after limits.timeoutMs by the server.
Status runReadOnlyQuery(const QSqlDatabase& db, const QString& sql,
                        const std::function<void(const QStringList&)>& row,
                        const ReadOnlyLimits& limits = {});

// True when `sql` holds one statement: a semicolon outside quotes, quoted names,
// dollar quotes and comments may be followed only by blanks, semicolons and
// comments.
bool isOneStatement(const QString& sql);

inline QString onlyOneStatementMessage() {
  return QStringLiteral("Yalnızca bir sorgu çalıştırılabilir.");
}

}  // namespace store
