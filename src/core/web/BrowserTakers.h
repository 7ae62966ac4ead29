#pragma once

#include <QList>
#include <QStringList>

#include "web/Roster.h"

namespace web {

// Who takes part in an activity answered from browsers too, and who may join it
// from a browser. The activity's remotes (as the teacher chose them) keep their
// tiles; the class's students without a remote join under their browser
// addresses, so a class with no remote at all still answers. A run left to the
// virtual remote alone ("0-0") because nobody had one becomes a run of those
// students. Only the students of the activity may join: a student whose remote
// the teacher left out stays out on the browser as well.
struct BrowserTakers {
  QStringList addresses;  // the tiles, in order
  QStringList names;      // one per address
  QList<RosterEntry> roster;
};
BrowserTakers browserTakers(const QStringList& addresses, const QStringList& names,
                            const QList<RosterEntry>& classRoster);

// The students of every class answering under `addresses`: an activity of no one
// class ("TÜMÜ") is joined by the students of its remotes only, never by the
// whole school.
Result<QList<RosterEntry>> rosterOfAddresses(store::Store& store, const QStringList& addresses);

// Said when nobody of an activity could join from a browser.
inline QString nobodyToJoinText() {
  return QStringLiteral("Bu etkinliğe tarayıcıdan katılabilecek öğrenci yok.");
}

}  // namespace web
