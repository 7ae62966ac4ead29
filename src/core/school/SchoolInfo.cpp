#include "school/SchoolInfo.h"

#include "store/Sql.h"

namespace school {

QString SchoolInfo::threeButtonValue() {
  const QString v =
      store::scalar(QStringLiteral("SELECT NZ(UCDUGME) FROM TABLEOKUL LIMIT 1"), {}, QString()).toString().trimmed();
  return v.isEmpty() ? QStringLiteral("0") : v;
}

QString SchoolInfo::institutionCode() {
  return store::scalar(QStringLiteral("SELECT NZ(KURUMKODU) FROM TABLEOKUL LIMIT 1"), {}, QString()).toString();
}

QString SchoolInfo::recordedSchoolYear() {
  return store::scalar(QStringLiteral("SELECT NZ(SINIFATLATMADONEM) FROM TABLEOKUL LIMIT 1"), {}, QString())
      .toString();
}

Status SchoolInfo::recordSchoolYear(const QString& label) {
  store::Transaction tx;
  const int rows = store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL"), {}, 0).toInt();
  const Status s =
      rows > 0 ? store::run(QStringLiteral("UPDATE TABLEOKUL SET SINIFATLATMADONEM=?"), {label})
               : store::run(QStringLiteral("INSERT INTO TABLEOKUL (SINIFATLATMADONEM) VALUES (?)"), {label});
  if (!s) return s;
  return tx.commit();
}

bool SchoolInfo::hasStudents() {
  return store::scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEOGRENCI)"), {}, 0).toInt() == 1;
}

}  // namespace school
