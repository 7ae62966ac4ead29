#pragma once

#include <QDate>

#include "Result.h"
#include "school/Rollover.h"
#include "store/Institution.h"
#include "store/Store.h"

namespace testsupport {

// A board past its first start, as the window tests need it: the agreement
// accepted, the school named and this school year under way (start-up offers no
// rollover).
inline Status installedSchool(store::Store& store) {
  if (Status s = store::acceptAgreement(store, QStringLiteral("1.0.0.0")); !s) return s;
  if (Status s = store::saveInstitution(store, QStringLiteral("123456"),
                                        QStringLiteral("Atatürk Ortaokulu"));
      !s)
    return s;
  return store::recordSchoolYear(store, school::Rollover::schoolYearLabel(QDate::currentDate()));
}

}  // namespace testsupport
