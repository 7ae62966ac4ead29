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
  return {QStringLiteral("SELECT PARAMETREDEGERI AS %1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                         "NZ(PARAMETREACIKLAMA)<>'' ORDER BY PARAMETREDEGERI COLLATE TURKCE")
              .arg(column(m_kind)),
          {parameterName()}};
}

Query OfferedValues::offeredQuery() const {
  const QString c = column(m_kind);
  const QString other = m_kind == Kind::Level ? QStringLiteral("TABLEOGRENCI") : QStringLiteral("TABLETANIMLAMALAR");
  return {QStringLiteral("SELECT PARAMETREDEGERI AS %1,"
                         "CAST((EXISTS (SELECT 1 FROM TABLESORU WHERE TABLESORU.%1=TABLEPARAMETRE.PARAMETREDEGERI) "
                         "OR EXISTS (SELECT 1 FROM %2 WHERE %2.%1=TABLEPARAMETRE.PARAMETREDEGERI)) AS TEXT) "
                         "AS KULLANILMISSORU,"
                         "CAST(EXISTS (SELECT 1 FROM TABLETEST WHERE TABLETEST.%1=TABLEPARAMETRE.PARAMETREDEGERI) "
                         "AS TEXT) AS KULLANILMISTEST "
                         "FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND NZ(PARAMETREACIKLAMA)='' "
                         "ORDER BY PARAMETREDEGERI COLLATE TURKCE")
              .arg(c, other),
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
  if (Status s = store::run(QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='' WHERE PARAMETREADI=? "
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
    const bool used = rows.value().value(1).toString() != QStringLiteral("0") ||
                      rows.value().value(2).toString() != QStringLiteral("0");
    (used ? kept : unused) << v;
  }
  store::Transaction tx;
  for (const QString& v : unused) {
    if (Status s = store::run(QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='1' WHERE PARAMETREADI=? "
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
      store::scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                                   "PARAMETREDEGERI=?)"),
                    {parameterName(), v}, 0)
          .toInt() == 1;
  if (present) return Status::failure(QStringLiteral("Bu tanım daha önce eklenmiş"));
  return store::run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) "
                                   "VALUES (?,?,'')"),
                    {parameterName(), v});
}

}  // namespace school
