#include "school/OfferedValues.h"

#include <QSqlQuery>

#include "store/Sql.h"

namespace school {

namespace {
QString column(OfferedValues::Kind kind) {
  return kind == OfferedValues::Kind::Level ? QStringLiteral("SEVIYE") : QStringLiteral("DERS");
}
}  // namespace

QString OfferedValues::parameterName() const { return column(m_kind); }

Query OfferedValues::hiddenQuery() const {
  return {
      QStringLiteral("SELECT PARAMETREDEGERI AS %1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                     "NZ(PARAMETREACIKLAMA)<>'' ORDER BY PARAMETREDEGERI COLLATE TURKCE")
          .arg(column(m_kind)),
      {parameterName()}};
}

Query OfferedValues::offeredQuery() const {
  // Each use in its own column, so a flag means what its caption says.
  const QString c = column(m_kind);
  const bool level = m_kind == Kind::Level;
  const QString other =
      level ? QStringLiteral("TABLEOGRENCI") : QStringLiteral("TABLETANIMLAMALAR");
  const QString otherFlag =
      level ? QStringLiteral("KULLANILMISOGRENCI") : QStringLiteral("KULLANILMISUNITE");
  auto used = [&c](const QString& table) {
    return QStringLiteral(
               "CAST(EXISTS (SELECT 1 FROM %1 WHERE %1.%2=TABLEPARAMETRE.PARAMETREDEGERI) "
               "AS TEXT)")
        .arg(table, c);
  };
  return {QStringLiteral("SELECT PARAMETREDEGERI AS %1,%2 AS KULLANILMISSORU,%3 AS %4,"
                         "%5 AS KULLANILMISTEST "
                         "FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND NZ(PARAMETREACIKLAMA)='' "
                         "ORDER BY PARAMETREDEGERI COLLATE TURKCE")
              .arg(c, used(QStringLiteral("TABLESORU")), used(other), otherFlag,
                   used(QStringLiteral("TABLETEST"))),
          {parameterName()}};
}

QStringList OfferedValues::offeredValues() const {
  const Query q = offeredQuery();
  return store::column(q.sql, q.params);
}

QStringList OfferedValues::hiddenValues() const {
  const Query q = hiddenQuery();
  return store::column(q.sql, q.params);
}

Status OfferedValues::offer(const QStringList& values) const {
  const store::InList in = store::inList(values);
  QVariantList params{parameterName()};
  params << in.values;
  store::Transaction tx;
  if (Status s = store::run(
          QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='' WHERE PARAMETREADI=? "
                         "AND PARAMETREDEGERI IN (%1)")
              .arg(in.placeholders),
          params);
      !s)
    return s;
  return tx.commit();
}

Result<QStringList> OfferedValues::hide(const QStringList& values) const {
  const Query q = offeredQuery();
  Result<QSqlQuery> rows = store::exec(q.sql, q.params);
  if (!rows) return Result<QStringList>::failure(rows.error());
  QStringList unused;
  QStringList kept;
  while (rows.value().next()) {
    const QString v = rows.value().value(0).toString();
    if (!values.contains(v)) continue;
    bool used = false;
    for (int flag = 1; flag <= 3; ++flag)
      used = used || rows.value().value(flag).toString() != QStringLiteral("0");
    (used ? kept : unused) << v;
  }
  store::Transaction tx;
  for (const QString& v : unused) {
    if (Status s = store::run(
            QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='1' WHERE PARAMETREADI=? "
                           "AND PARAMETREDEGERI=?"),
            {parameterName(), v});
        !s)
      return Result<QStringList>::failure(s.error());
  }
  if (Status s = tx.commit(); !s) return Result<QStringList>::failure(s.error());
  return kept;
}

Status OfferedValues::add(const QString& value) const {
  const QString v = value.trimmed();
  if (v.isEmpty()) return Status::failure(QStringLiteral("Boş kayıt ekleyemezsiniz!"));
  const bool present =
      store::scalar(
          QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                         "PARAMETREDEGERI=?)"),
          {parameterName(), v}, 0)
          .toInt() == 1;
  if (present) return Status::failure(QStringLiteral("Bu tanım daha önce eklenmiş"));
  return store::run(
      QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) "
                     "VALUES (?,?,'')"),
      {parameterName(), v});
}

}  // namespace school
