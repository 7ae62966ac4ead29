#pragma once

#include <QString>

namespace store {

// A teacher remote is one whose TABLEKUMANDA.OGRETMENKUMANDASI is "1"; anything
// else (empty, "0", an old "True") is a student remote. SQL reaches the same rule
// through OGRETMENMI(OGRETMENKUMANDASI) (SqlFunctions), so no query keeps a copy.
inline bool isTeacherFlag(const QString& flag) { return flag.trimmed() == QLatin1String("1"); }
// What OGRETMENKUMANDASI holds for a teacher / student remote.
inline QString teacherFlag(bool teacher) {
  return teacher ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace store
