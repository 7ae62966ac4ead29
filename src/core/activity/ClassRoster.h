#pragma once

#include <QList>
#include <QString>

#include <functional>

#include "Result.h"

namespace store {
class Store;
}

namespace activity {

// A student of a class as a source other than the radio sees them (a browser, a
// card): answering under their paired remote's address when they have one, so
// their answers join the remote's, or else under an address of their own that
// the source gives (store/BrowserAddress.h).
struct RosterEntry {
  QString kayitNo;
  QString number;  // NUMARASI, as the student types it
  QString name;
  QString surname;
  QString address;
  bool hasRemote = false;
};

// The active students of `className` in school-number order; a student paired
// with several student remotes answers under the first paired, one without a
// remote under ownAddress(KAYITNO).
Result<QList<RosterEntry>> classRoster(store::Store& store, const QString& className,
                                       const std::function<QString(const QString&)>& ownAddress);

}  // namespace activity
