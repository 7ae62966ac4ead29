#include "store/Institution.h"

#include <QDateTime>

#include "store/Dialect.h"
#include "store/Sql.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"

namespace store {

bool Institution::option(Option option) const {
  switch (option) {
    case Option::AdvancedMode:
      return advancedMode;
    case Option::Kindergarten:
      return kindergarten;
    case Option::ThreeButton:
      return threeButton();
    case Option::DesktopShortcut:
      return desktopShortcut;
  }
  return false;
}

QString Institution::column(Option option) {
  switch (option) {
    case Option::AdvancedMode:
      return QStringLiteral("GELISMISMOD");
    case Option::Kindergarten:
      return QStringLiteral("ANAOKULU");
    case Option::ThreeButton:
      return QStringLiteral("UCDUGME");
    case Option::DesktopShortcut:
      return QStringLiteral("OTOMATIKKISAYOL");
  }
  return {};
}

Result<Institution> Institution::read(const QSqlDatabase& db) {
  // Each column's first non-blank value: an old database may hold several rows,
  // and may lack a column (read as blank).
  const QStringList columns{QStringLiteral("KURUMKODU"),         QStringLiteral("OKULADI"),
                            QStringLiteral("SINIFATLATMADONEM"), QStringLiteral("UCDUGME"),
                            QStringLiteral("GELISMISMOD"),       QStringLiteral("ANAOKULU"),
                            QStringLiteral("OTOMATIKKISAYOL")};
  const Result<QStringList> present = dialectOf(db).columns(db, QStringLiteral("TABLEOKUL"));
  if (!present) return Result<Institution>::failure(present.error());
  QStringList selects;
  for (const QString& c : columns)
    selects
        << (present->contains(c)
                ? QStringLiteral("(SELECT %1 FROM TABLEOKUL WHERE TRIM(NZ(%1))<>'' LIMIT 1)").arg(c)
                : QStringLiteral("NULL"));
  Result<QSqlQuery> q = exec(QStringLiteral("SELECT ") + selects.join(QLatin1Char(',')), {}, db);
  if (!q) return Result<Institution>::failure(q.error());
  Institution i;
  if (!q.value().next()) return i;
  auto text = [&q](int c) { return q.value().value(c).toString(); };
  i.code = text(0);
  i.name = text(1);
  i.schoolYear = text(2);
  if (!text(3).isEmpty()) i.threeButtonSetting = text(3);
  i.advancedMode = jetVal(text(4)) > 0;
  i.kindergarten = jetVal(text(5)) > 0;
  i.desktopShortcut = jetVal(text(6)) > 0;
  return i;
}

namespace {

// Writes one column of the row (created when missing) in one transaction.
Status writeColumn(Store& store, const QString& column, const QString& value) {
  Transaction tx(store);
  if (Result<bool> r = ensureInstitutionRow(store); !r) return Status::failure(r.error());
  if (Status s = store.run(QStringLiteral("UPDATE TABLEOKUL SET %1=?").arg(column), {value}); !s)
    return s;
  store.changed(Change::Institution);
  return tx.commit();
}

}  // namespace

Status setOption(Store& store, Institution::Option option, bool on) {
  return writeColumn(store, Institution::column(option),
                     on ? QStringLiteral("1") : QStringLiteral("0"));
}

Status recordSchoolYear(Store& store, const QString& label) {
  return writeColumn(store, QStringLiteral("SINIFATLATMADONEM"), label);
}

Status saveInstitution(Store& store, const QString& code, const QString& name, const QDate& today) {
  Transaction tx(store);
  if (Result<bool> r = ensureInstitutionRow(store); !r) return Status::failure(r.error());
  const Result<Institution> stored = Institution::read(store.db());
  if (!stored) return Status::failure(stored.error());
  if (stored->code.trimmed().isEmpty() && stored->schoolYear.isEmpty()) {
    if (Status s = store.run(QStringLiteral("UPDATE TABLEOKUL SET SINIFATLATMADONEM=?"),
                             {schoolYearLabel(today)});
        !s)
      return s;
  }
  if (Status s =
          store.run(QStringLiteral("UPDATE TABLEOKUL SET KURUMKODU=?, OKULADI=?"), {code, name});
      !s)
    return s;
  store.changed(Change::Institution);
  return tx.commit();
}

Result<bool> ensureInstitutionRow(Store& store) {
  Result<QVariant> rows = store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL"));
  if (!rows) return Result<bool>::failure(rows.error());
  if (rows->toInt() > 0) return false;
  if (Status s = store.run(QStringLiteral("INSERT INTO TABLEOKUL (OKULADI) VALUES (' ')")); !s)
    return Result<bool>::failure(s.error());
  store.changed(Change::Institution);
  return true;
}

Result<bool> agreementAccepted(const Store& store) {
  Result<QVariant> rows = store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESOZLESME"));
  if (!rows) return Result<bool>::failure(rows.error());
  return rows->toInt() > 0;
}

Status acceptAgreement(Store& store, const QString& programVersion) {
  return store.run(
      QStringLiteral("INSERT INTO TABLESOZLESME (SOZLESMEKABULTARIHI, VERSIYON) VALUES (?, ?)"),
      {QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
       programVersion});
}

QString schoolYearLabel(const QDate& date) {
  const int year = date.year();
  if (date.month() > 6) return QStringLiteral("%1-%2").arg(year).arg(year + 1);
  return QStringLiteral("%1-%2").arg(year - 1).arg(year);
}

Result<bool> rolloverDue(const Store& store, const QString& label) {
  Result<QVariant> recorded = store.scalar(
      QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL WHERE SINIFATLATMADONEM=?"), {label});
  if (!recorded) return Result<bool>::failure(recorded.error());
  if (recorded->toInt() > 0) return false;
  Result<QVariant> students =
      store.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEOGRENCI)"));
  if (!students) return Result<bool>::failure(students.error());
  return students->toInt() == 1;
}

}  // namespace store
