#include "web/Roster.h"

#include "school/Remotes.h"

namespace web {

Result<QList<RosterEntry>> classRoster(store::Store& store, const QString& className) {
  return activity::classRoster(store, className, &school::remotes::browserAddress);
}

}  // namespace web
