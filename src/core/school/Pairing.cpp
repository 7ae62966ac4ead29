#include "school/Pairing.h"

#include <QRegularExpression>
#include <QSqlQuery>

#include "school/Students.h"
#include "store/Sql.h"

namespace school {

namespace {
const QString kStudentRemote =
    QStringLiteral("(NZ(OGRETMENKUMANDASI)='' OR NZ(OGRETMENKUMANDASI)='0')");
const QString kStudentColumns = QStringLiteral("KAYITNO,ADI,SOYADI,NUMARASI,SINIFI,SEVIYE");
}  // namespace

QStringList Pairing::classFilterEntries() {
  QStringList entries{kAllClasses};
  entries << Students::classNames();
  return entries;
}

Query Pairing::teacherRemotesQuery() {
  return {
      QStringLiteral(
          "SELECT KUMANDAADRESI,(SELECT COUNT(KAYITNO) FROM TABLEESLESME WHERE "
          "TABLEESLESME.KUMANDAADRESI=TABLEKUMANDA.KUMANDAADRESI) AS KISISAYISI FROM TABLEKUMANDA "
          "WHERE NOT %1 ORDER BY VAL(NZ(OGRETMENKUMANDASI)) DESC,KUMANDAADRESI COLLATE KUMANDA")
          .arg(kStudentRemote),
      {}};
}

Query Pairing::studentRemotesQuery(const QString& sinifi) {
  const bool all = sinifi.isEmpty() || sinifi == kAllClasses;
  const QString selected =
      all ? QStringLiteral("0")
          : QStringLiteral(
                "(SELECT COUNT(TABLEESLESME.KAYITNO) FROM TABLEESLESME INNER JOIN TABLEOGRENCI ON "
                "TABLEOGRENCI.KAYITNO=TABLEESLESME.KAYITNO WHERE "
                "TABLEESLESME.KUMANDAADRESI=TABLEKUMANDA.KUMANDAADRESI AND TABLEOGRENCI.SINIFI=? "
                "AND "
                "NZ(TABLEOGRENCI.SILINDIMI)='')");
  Query q{
      QStringLiteral("SELECT KUMANDAADRESI,(SELECT COUNT(KAYITNO) FROM TABLEESLESME WHERE "
                     "TABLEESLESME.KUMANDAADRESI=TABLEKUMANDA.KUMANDAADRESI) AS KISISAYISI,%1 AS "
                     "SECILENSINIFTA "
                     "FROM TABLEKUMANDA WHERE %2 ORDER BY VAL(NZ(OGRETMENKUMANDASI)) "
                     "DESC,KUMANDAADRESI COLLATE KUMANDA")
          .arg(selected, kStudentRemote),
      {}};
  if (!all) q.params << sinifi;
  return q;
}

Query Pairing::noStudentsQuery() {
  return {QStringLiteral("SELECT %1 FROM TABLEOGRENCI WHERE 1=0").arg(kStudentColumns), {}};
}

namespace {
// The class filter of the student grids ("TÜMÜ" is no filter) and their order.
void restrictToClass(Query& q, const QString& sinifi) {
  if (!sinifi.isEmpty() && sinifi != Pairing::kAllClasses) {
    q.sql += QStringLiteral(" AND SINIFI=?");
    q.params << sinifi;
  }
  q.sql +=
      QStringLiteral(" ORDER BY SINIFI COLLATE TURKCE,ADI COLLATE TURKCE,SOYADI COLLATE TURKCE");
}
}  // namespace

Query Pairing::pairedStudentsQuery(const QString& address, const QString& sinifi) {
  Query q{QStringLiteral("SELECT %1 FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' AND KAYITNO IN "
                         "(SELECT KAYITNO FROM TABLEESLESME WHERE KUMANDAADRESI=?)")
              .arg(kStudentColumns),
          {address}};
  restrictToClass(q, sinifi);
  return q;
}

Query Pairing::availableStudentsQuery(const QString& address, const QString& sinifi) {
  Query q{
      QStringLiteral(
          "SELECT %1 FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' AND "
          "KAYITNO NOT IN (SELECT KAYITNO FROM TABLEESLESME) AND "
          "NZ(SINIFI) NOT IN (SELECT NZ(O.SINIFI) FROM TABLEESLESME E INNER JOIN TABLEOGRENCI O ON "
          "O.KAYITNO=E.KAYITNO WHERE E.KUMANDAADRESI=? AND NZ(O.SILINDIMI)='')")
          .arg(kStudentColumns),
      {address}};
  restrictToClass(q, sinifi);
  return q;
}

Status Pairing::pair(const QString& address, const QStringList& kayitNos) {
  store::Transaction tx;
  for (const QString& k : kayitNos) {
    // The grid only offers free students, but two picked students of one class
    // would still both land on the remote: the second is skipped.
    const bool clash =
        store::scalar(
            QStringLiteral(
                "SELECT EXISTS (SELECT 1 FROM TABLEESLESME E INNER JOIN TABLEOGRENCI O ON "
                "O.KAYITNO=E.KAYITNO WHERE E.KUMANDAADRESI=? AND NZ(O.SILINDIMI)='' AND "
                "NZ(O.SINIFI)=(SELECT NZ(SINIFI) FROM TABLEOGRENCI WHERE KAYITNO=?))"),
            {address, k}, 0)
            .toInt() == 1;
    if (clash) continue;
    if (Status s = store::run(
            QStringLiteral("INSERT INTO TABLEESLESME (KUMANDAADRESI,KAYITNO) VALUES (?,?)"),
            {address, k});
        !s)
      return s;
  }
  return tx.commit();
}

Status Pairing::unpair(const QString& address, const QStringList& kayitNos) {
  store::Transaction tx;
  for (const QString& k : kayitNos)
    if (Status s = store::run(
            QStringLiteral("DELETE FROM TABLEESLESME WHERE KUMANDAADRESI=? AND KAYITNO=?"),
            {address, k});
        !s)
      return s;
  return tx.commit();
}

Status Pairing::checkStudentRemotes(const QStringList& addresses) {
  QStringList malformed, unknown, teacher;
  for (const QString& address : addresses) {
    if (!validAddress(address)) {
      malformed << address;
      continue;
    }
    const QVariant flag = store::scalar(
        QStringLiteral("SELECT NZ(OGRETMENKUMANDASI) FROM TABLEKUMANDA WHERE KUMANDAADRESI=?"),
        {address});
    if (!flag.isValid())
      unknown << address;
    else if (flag.toString() == QStringLiteral("1"))
      teacher << address;
  }
  QStringList problems;
  if (!malformed.isEmpty())
    problems << QStringLiteral("Geçersiz kumanda adresi: %1 (örnek: 12-201)")
                    .arg(malformed.join(QStringLiteral(", ")));
  if (!unknown.isEmpty())
    problems << QStringLiteral("Tanıtılmamış kumanda: %1").arg(unknown.join(QStringLiteral(", ")));
  if (!teacher.isEmpty())
    problems << QStringLiteral("Öğretmen kumandası öğrenciyle eşleştirilmez: %1")
                    .arg(teacher.join(QStringLiteral(", ")));
  if (problems.isEmpty()) return {};
  return Status::failure(problems.join(QLatin1Char('\n')) +
                         QStringLiteral("\nHiçbir eşleştirme yapılmadı."));
}

Result<int> Pairing::autoPair(const QStringList& addresses, const QString& sinifi) {
  int made = 0;
  if (addresses.isEmpty()) return made;
  if (Status s = checkStudentRemotes(addresses); !s) return Result<int>::failure(s.error());
  store::Transaction tx;
  for (const QString& address : addresses) {
    Result<QSqlQuery> q = store::exec(
        QStringLiteral(
            "INSERT INTO TABLEESLESME (KAYITNO,KUMANDAADRESI) "
            "SELECT KAYITNO,? FROM TABLEOGRENCI WHERE NOT EXISTS "
            "(SELECT TABLEESLESME.KUMANDAADRESI FROM TABLEESLESME INNER JOIN TABLEOGRENCI O ON "
            "TABLEESLESME.KAYITNO=O.KAYITNO WHERE TABLEESLESME.KUMANDAADRESI=? AND O.SINIFI=? AND "
            "NZ(O.SILINDIMI)='') "
            "AND KAYITNO NOT IN (SELECT O.KAYITNO FROM TABLEESLESME INNER JOIN TABLEOGRENCI O ON "
            "O.KAYITNO=TABLEESLESME.KAYITNO WHERE O.SINIFI=? AND NZ(O.SILINDIMI)='') "
            "AND SINIFI=? AND NZ(SILINDIMI)='' ORDER BY VAL(KAYITNO) LIMIT 1"),
        {address, address, sinifi, sinifi, sinifi});
    if (!q) return Result<int>::failure(q.error());
    made += q.value().numRowsAffected();
  }
  if (Status s = tx.commit(); !s) return Result<int>::failure(s.error());
  return made;
}

Query Pairing::withoutRemoteQuery(const QString& sinifi) {
  Query q{QStringLiteral("SELECT %1 FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' AND "
                         "KAYITNO NOT IN (SELECT KAYITNO FROM TABLEESLESME)")
              .arg(kStudentColumns),
          {}};
  restrictToClass(q, sinifi);
  return q;
}

QStringList Pairing::studentsWithoutRemote(const QString& sinifi) {
  const Query q = withoutRemoteQuery(sinifi);
  Result<QSqlQuery> rows = store::exec(q.sql, q.params);
  QStringList names;
  if (!rows) return names;
  while (rows.value().next())
    names << (rows.value().value(1).toString() + QLatin1Char(' ') +
              rows.value().value(2).toString())
                 .trimmed();
  return names;
}

QString Pairing::autoPairSummary(int made, const QString& sinifi) {
  QString text = QStringLiteral("%1 öğrenci eşleştirildi").arg(made);
  const QStringList left = studentsWithoutRemote(sinifi);
  if (left.isEmpty()) return text + QStringLiteral("; sınıfın bütün öğrencilerinin kumandası var.");
  return text + QStringLiteral("; %1 öğrencinin kumandası yok: ").arg(left.size()) +
         left.join(QStringLiteral(", "));
}

QString Pairing::deleteQuestion(const QStringList& addresses) {
  const QString head = addresses.size() == 1
                           ? addresses.first() + QStringLiteral(" numaralı")
                           : QString::number(addresses.size()) + QStringLiteral(" adet");
  return head + QStringLiteral(" kumandayı silmek istediğinizden emin misiniz?");
}

Status Pairing::removeRemotes(const QStringList& addresses) {
  store::Transaction tx;
  for (const QString& a : addresses) {
    if (Status s =
            store::run(QStringLiteral("DELETE FROM TABLEKUMANDA WHERE KUMANDAADRESI=?"), {a});
        !s)
      return s;
    if (Status s =
            store::run(QStringLiteral("DELETE FROM TABLEESLESME WHERE KUMANDAADRESI=?"), {a});
        !s)
      return s;
  }
  return tx.commit();
}

Status Pairing::registerRemote(const QString& address, bool teacher) {
  store::Transaction tx;
  if (Status s =
          store::run(QStringLiteral("DELETE FROM TABLEKUMANDA WHERE KUMANDAADRESI=?"), {address});
      !s)
    return s;
  if (Status s = store::run(
          QStringLiteral("INSERT INTO TABLEKUMANDA (KUMANDAADRESI,OGRETMENKUMANDASI) VALUES (?,?)"),
          {address, teacher ? QStringLiteral("1") : QStringLiteral("0")});
      !s)
    return s;
  return tx.commit();
}

bool Pairing::validAddress(const QString& address) {
  static const QRegularExpression re(QStringLiteral("^(\\d{1,3})-(\\d{1,3})$"));
  const QRegularExpressionMatch m = re.match(address);
  return m.hasMatch() && m.captured(1).toInt() <= 255 && m.captured(2).toInt() <= 255;
}

}  // namespace school
