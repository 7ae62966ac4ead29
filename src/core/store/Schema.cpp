#include "store/Schema.h"

#include "Version.h"
#include "store/Database.h"

namespace store {

QString structureVersion() { return QString::fromLatin1(derslik::kVersionText); }

Result<CheckReport> VeritabaniKontrol() {
  if (Status s = BaglantiAc(kMainName); !s) return Result<CheckReport>::failure(s.error());
  return CheckReport{};
}

}  // namespace store
