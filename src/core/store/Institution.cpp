#include "store/Institution.h"

#include <QDateTime>

#include "store/SchemaTables.h"
#include "store/Sql.h"
#include "store/SqlFunctions.h"

namespace store {

namespace {
// Column names cannot be bound; accept only real TABLEOKUL columns.
bool isInstitutionColumn(const QString& column) {
  const TableDef* t = findMainTable(QStringLiteral("TABLEOKUL"));
  return t && t->columnNames().contains(column);
}
}  // namespace

bool agreementAccepted() {
  return scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESOZLESME"), {}, 0).toInt() > 0;
}

Status acceptAgreement(const QString& programVersion) {
  return run(
      QStringLiteral("INSERT INTO TABLESOZLESME (SOZLESMEKABULTARIHI, VERSIYON) VALUES (?, ?)"),
      {QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
       programVersion});
}

Result<bool> ensureInstitutionRow() {
  if (scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL"), {}, 0).toInt() > 0) return false;
  if (Status s = run(QStringLiteral("INSERT INTO TABLEOKUL (OKULADI) VALUES (' ')")); !s)
    return Result<bool>::failure(s.error());
  return true;
}

QString institutionValue(const QString& column) {
  if (!isInstitutionColumn(column)) return {};
  return scalar(QStringLiteral("SELECT %1 FROM TABLEOKUL WHERE TRIM(NZ(%1)) <> '' LIMIT 1")
                    .arg(column))
      .toString();
}

bool institutionOptionOn(const QString& column) { return jetVal(institutionValue(column)) > 0; }

Status setInstitutionValue(const QString& column, const QString& value) {
  if (!isInstitutionColumn(column))
    return Status::failure(QStringLiteral("Bilinmeyen alan: ") + column);
  Transaction tx;
  if (Result<bool> r = ensureInstitutionRow(); !r) return Status::failure(r.error());
  if (Status s = run(QStringLiteral("UPDATE TABLEOKUL SET %1=?").arg(column), {value}); !s)
    return s;
  return tx.commit();
}

Status saveInstitution(const QString& code, const QString& name, const QDate& today) {
  Transaction tx;
  if (Result<bool> r = ensureInstitutionRow(); !r) return Status::failure(r.error());
  if (institutionValue(QStringLiteral("KURUMKODU")).trimmed().isEmpty() &&
      institutionValue(QStringLiteral("SINIFATLATMADONEM")).isEmpty()) {
    if (Status s = run(QStringLiteral("UPDATE TABLEOKUL SET SINIFATLATMADONEM=?"),
                       {schoolYearLabel(today)});
        !s)
      return s;
  }
  if (Status s = run(QStringLiteral("UPDATE TABLEOKUL SET KURUMKODU=?, OKULADI=?"), {code, name});
      !s)
    return s;
  return tx.commit();
}

QString schoolYearLabel(const QDate& date) {
  const int year = date.year();
  if (date.month() > 6) return QStringLiteral("%1-%2").arg(year).arg(year + 1);
  return QStringLiteral("%1-%2").arg(year - 1).arg(year);
}

bool rolloverDue(const QString& label) {
  const int recorded =
      scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL WHERE SINIFATLATMADONEM=?"), {label}, 0)
          .toInt();
  if (recorded > 0) return false;
  return scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI"), {}, 0).toInt() > 0;
}

}  // namespace store
