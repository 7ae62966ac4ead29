#pragma once

#include "Result.h"

namespace store {
class Store;
}

namespace school {

// A believable school for `derslik --demo` and a first look: classes 5-A, 6-B
// and 7-C with 20-30 students each (Turkish names), a registered set of remotes
// paired with them (addresses like "12-201") and one teacher remote. Does
// nothing when the school already has students. One transaction.
Status createDemoSchool(store::Store& store);

}  // namespace school
