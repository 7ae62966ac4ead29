#pragma once

#include <QList>
#include <QString>

#include "Result.h"

namespace store {
class Store;
}

namespace web {

// A student of the class as a browser sees them: found by school number, and
// answering under their paired remote's address or, without one, under their
// browser address (school::remotes::browserAddress).
struct RosterEntry {
  QString kayitNo;
  QString number;  // NUMARASI, as the student types it
  QString name;
  QString surname;
  QString address;
  bool hasRemote = false;
};

// The active students of `className` in school-number order; a student paired
// with several student remotes answers under the first paired.
Result<QList<RosterEntry>> classRoster(store::Store& store, const QString& className);

}  // namespace web
