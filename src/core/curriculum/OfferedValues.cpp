#include "curriculum/OfferedValues.h"

#include <QSqlQuery>

#include "store/Store.h"

namespace curriculum {

QString OfferedValues::parameterName(Kind kind) {
  return kind == Kind::Level ? QStringLiteral("SEVIYE") : QStringLiteral("DERS");
}

store::Query OfferedValues::hiddenQuery() const {
  return {
      QStringLiteral("SELECT PARAMETREDEGERI AS %1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                     "NZ(PARAMETREACIKLAMA)<>'' ORDER BY PARAMETREDEGERI COLLATE TURKCE")
          .arg(parameterName()),
      {parameterName()}};
}

store::Query OfferedValues::offeredQuery() const {
  // Each use in its own column, so a flag means what its caption says.
  const QString c = parameterName();
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

Result<QStringList> OfferedValues::offeredValues() const {
  const store::Query q = offeredQuery();
  return m_store.column(q.sql, q.params);
}

Result<QStringList> OfferedValues::hiddenValues() const {
  const store::Query q = hiddenQuery();
  return m_store.column(q.sql, q.params);
}

Status OfferedValues::offer(const QStringList& values) {
  const store::InList in = store::inList(values);
  QVariantList params{parameterName()};
  params << in.values;
  if (Status s = m_store.run(
          QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='' WHERE PARAMETREADI=? "
                         "AND PARAMETREDEGERI IN (%1)")
              .arg(in.placeholders),
          params);
      !s)
    return s;
  m_store.changed(store::Change::Lists);
  return {};
}

Status OfferedValues::ensureOffered(const QString& value) {
  if (value.isEmpty()) return {};
  Result<QVariant> hidden = m_store.scalar(
      QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                     "PARAMETREDEGERI=? AND NZ(PARAMETREACIKLAMA)<>'')"),
      {parameterName(), value});
  if (!hidden) return Status::failure(hidden.error());
  if (hidden->toInt() != 1) return {};
  return offer({value});
}

Result<QStringList> OfferedValues::hide(const QStringList& values) {
  const store::Query q = offeredQuery();
  Result<QSqlQuery> rows = m_store.exec(q.sql, q.params);
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
  store::Transaction tx(m_store);
  for (const QString& v : unused) {
    if (Status s = m_store.run(
            QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='1' WHERE PARAMETREADI=? "
                           "AND PARAMETREDEGERI=?"),
            {parameterName(), v});
        !s)
      return Result<QStringList>::failure(s.error());
  }
  m_store.changed(store::Change::Lists);
  if (Status s = tx.commit(); !s) return Result<QStringList>::failure(s.error());
  return kept;
}

Status OfferedValues::add(const QString& value) {
  const QString v = value.trimmed();
  if (v.isEmpty()) return Status::failure(QStringLiteral("Boş kayıt ekleyemezsiniz!"));
  const Result<QVariant> present = m_store.scalar(
      QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                     "PARAMETREDEGERI=?)"),
      {parameterName(), v});
  if (!present) return Status::failure(present.error());
  if (present->toInt() == 1) return Status::failure(QStringLiteral("Bu tanım daha önce eklenmiş"));
  if (Status s = m_store.run(
          QStringLiteral(
              "INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) "
              "VALUES (?,?,'')"),
          {parameterName(), v});
      !s)
    return s;
  m_store.changed(store::Change::Lists);
  return {};
}

}  // namespace curriculum
