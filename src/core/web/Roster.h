#pragma once

#include <QList>
#include <QString>

#include "Result.h"
#include "activity/ClassRoster.h"

namespace store {
class Store;
}

namespace web {

// A student of the class as a browser sees them: found by school number, and
// answering under their paired remote's address or, without one, under their
// browser address (school::remotes::browserAddress).
using RosterEntry = activity::RosterEntry;

// The active students of `className` in school-number order (activity::classRoster).
Result<QList<RosterEntry>> classRoster(store::Store& store, const QString& className);

}  // namespace web
