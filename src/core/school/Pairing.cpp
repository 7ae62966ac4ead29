#include "school/Pairing.h"

#include <QSqlQuery>

#include "lists/FilterLists.h"
#include "school/Remotes.h"
#include "school/Students.h"
#include "store/Store.h"

namespace school {

using store::Query;

namespace {
// Teachers first (the SQL function OGRETMENMI is school::remotes::isTeacherFlag).
const QString kStudentRemote = QStringLiteral("OGRETMENMI(OGRETMENKUMANDASI)=0");
// Addresses by their two numbers (the SQL collation KUMANDA).
const QString kRemoteOrder =
    QStringLiteral("OGRETMENMI(OGRETMENKUMANDASI) DESC,KUMANDAADRESI COLLATE KUMANDA");
const QString kStudentColumns = QStringLiteral("KAYITNO,ADI,SOYADI,NUMARASI,SINIFI,SEVIYE");

bool allClasses(const QString& sinifi) { return sinifi.isEmpty() || sinifi == lists::kTumu; }
}  // namespace

Result<QStringList> Pairing::classFilterEntries() const {
  Result<QStringList> classes = Students(m_store).classNames();
  if (!classes) return classes;
  QStringList entries{lists::kTumu};
  entries << classes.value();
  return entries;
}

Result<QStringList> Pairing::teacherAddresses() const {
  return m_store.column(
      QStringLiteral("SELECT KUMANDAADRESI FROM TABLEKUMANDA WHERE OGRETMENMI(OGRETMENKUMANDASI)=1 "
                     "ORDER BY rowid"));
}

Result<QStringList> Pairing::studentAddresses() const {
  return m_store.column(
      QStringLiteral("SELECT KUMANDAADRESI FROM TABLEKUMANDA WHERE %1 ORDER BY rowid")
          .arg(kStudentRemote));
}

Query Pairing::teacherRemotesQuery() {
  return {
      QStringLiteral(
          "SELECT KUMANDAADRESI,(SELECT COUNT(KAYITNO) FROM TABLEESLESME WHERE "
          "TABLEESLESME.KUMANDAADRESI=TABLEKUMANDA.KUMANDAADRESI) AS KISISAYISI FROM TABLEKUMANDA "
          "WHERE NOT %1 ORDER BY %2")
          .arg(kStudentRemote, kRemoteOrder),
      {}};
}

Query Pairing::studentRemotesQuery(const QString& sinifi) {
  const bool all = allClasses(sinifi);
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
                     "FROM TABLEKUMANDA WHERE %2 ORDER BY %3")
          .arg(selected, kStudentRemote, kRemoteOrder),
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
  if (!allClasses(sinifi)) {
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
  store::Transaction tx(m_store);
  for (const QString& k : kayitNos) {
    // The grid only offers free students, but two picked students of one class
    // would still both land on the remote: the second is skipped.
    const Result<QVariant> clash = m_store.scalar(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEESLESME E INNER JOIN TABLEOGRENCI O ON "
                       "O.KAYITNO=E.KAYITNO WHERE E.KUMANDAADRESI=? AND NZ(O.SILINDIMI)='' AND "
                       "NZ(O.SINIFI)=(SELECT NZ(SINIFI) FROM TABLEOGRENCI WHERE KAYITNO=?))"),
        {address, k});
    if (!clash) return Status::failure(clash.error());
    if (clash->toInt() == 1) continue;
    if (Status s = m_store.run(
            QStringLiteral("INSERT INTO TABLEESLESME (KUMANDAADRESI,KAYITNO) VALUES (?,?)"),
            {address, k});
        !s)
      return s;
  }
  m_store.changed(store::Change::Pairings);
  return tx.commit();
}

Status Pairing::unpair(const QString& address, const QStringList& kayitNos) {
  store::Transaction tx(m_store);
  for (const QString& k : kayitNos)
    if (Status s = m_store.run(
            QStringLiteral("DELETE FROM TABLEESLESME WHERE KUMANDAADRESI=? AND KAYITNO=?"),
            {address, k});
        !s)
      return s;
  m_store.changed(store::Change::Pairings);
  return tx.commit();
}

Status Pairing::checkStudentRemotes(const QStringList& addresses) const {
  QStringList malformed, unknown, teacher;
  for (const QString& address : addresses) {
    if (!remotes::validAddress(address)) {
      malformed << address;
      continue;
    }
    Result<QSqlQuery> q = m_store.exec(
        QStringLiteral("SELECT NZ(OGRETMENKUMANDASI) FROM TABLEKUMANDA WHERE KUMANDAADRESI=?"),
        {address});
    if (!q) return Status::failure(q.error());
    if (!q.value().next())
      unknown << address;
    else if (remotes::isTeacherFlag(q.value().value(0).toString()))
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
  store::Transaction tx(m_store);
  for (const QString& address : addresses) {
    Result<QSqlQuery> q = m_store.exec(
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
  m_store.changed(store::Change::Pairings);
  if (Status s = tx.commit(); !s) return Result<int>::failure(s.error());
  return made;
}

Result<QString> Pairing::sharedRemotesQuestion(const QStringList& addresses,
                                               const QString& sinifi) const {
  using R = Result<QString>;
  if (addresses.isEmpty()) return QString();
  // A class whose students all have their remotes gets nothing new: no question.
  const Result<QStringList> waiting = studentsWithoutRemote(sinifi);
  if (!waiting) return R::failure(waiting.error());
  if (waiting->isEmpty()) return QString();
  const store::InList in = store::inList(addresses);
  const QString shared = QStringLiteral(
                             "FROM TABLEESLESME E INNER JOIN TABLEOGRENCI O ON O.KAYITNO=E.KAYITNO "
                             "WHERE E.KUMANDAADRESI IN (%1) AND NZ(O.SINIFI)<>? AND "
                             "NZ(O.SILINDIMI)=''")
                             .arg(in.placeholders);
  const Result<QVariant> remotes =
      m_store.scalar(QStringLiteral("SELECT COUNT(DISTINCT E.KUMANDAADRESI) ") + shared,
                     in.values + QVariantList{sinifi});
  if (!remotes) return R::failure(remotes.error());
  if (remotes->toInt() == 0) return QString();
  Result<QSqlQuery> classes = m_store.exec(
      QStringLiteral("SELECT NZ(O.SINIFI), COUNT(DISTINCT E.KUMANDAADRESI) ") + shared +
          QStringLiteral(" GROUP BY NZ(O.SINIFI) ORDER BY NZ(O.SINIFI) COLLATE TURKCE"),
      in.values + QVariantList{sinifi});
  if (!classes) return R::failure(classes.error());
  QStringList each;
  while (classes.value().next())
    each << QStringLiteral("%1: %2 kumanda")
                .arg(classes.value().value(0).toString())
                .arg(classes.value().value(1).toInt());
  return QStringLiteral(
             "Seçilen %1 kumandanın %2 tanesi başka sınıflarda da öğrenciyle eşleştirilmiş "
             "(%3).\nBir kumanda her sınıfta bir öğrenciye verilir: %4 sınıfının öğrencileri "
             "de bu kumandaları kullanacak.\n\nDevam edilsin mi?")
      .arg(addresses.size())
      .arg(remotes->toInt())
      .arg(each.join(QStringLiteral(", ")), sinifi);
}

Query Pairing::withoutRemoteQuery(const QString& sinifi) {
  Query q{QStringLiteral("SELECT %1 FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' AND "
                         "KAYITNO NOT IN (SELECT KAYITNO FROM TABLEESLESME)")
              .arg(kStudentColumns),
          {}};
  restrictToClass(q, sinifi);
  return q;
}

Result<QStringList> Pairing::studentsWithoutRemote(const QString& sinifi) const {
  const Query q = withoutRemoteQuery(sinifi);
  Result<QSqlQuery> rows = m_store.exec(q.sql, q.params);
  if (!rows) return Result<QStringList>::failure(rows.error());
  QStringList names;
  while (rows.value().next())
    names << (rows.value().value(1).toString() + QLatin1Char(' ') +
              rows.value().value(2).toString())
                 .trimmed();
  return names;
}

QString Pairing::autoPairSummary(int made, const QString& sinifi) const {
  QString text = QStringLiteral("%1 öğrenci eşleştirildi").arg(made);
  // The names only complete the message: without them it still stands.
  const QStringList left = studentsWithoutRemote(sinifi).valueOr({});
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
  store::Transaction tx(m_store);
  for (const QString& a : addresses) {
    if (Status s =
            m_store.run(QStringLiteral("DELETE FROM TABLEKUMANDA WHERE KUMANDAADRESI=?"), {a});
        !s)
      return s;
    if (Status s =
            m_store.run(QStringLiteral("DELETE FROM TABLEESLESME WHERE KUMANDAADRESI=?"), {a});
        !s)
      return s;
  }
  m_store.changed(store::Change::Remotes | store::Change::Pairings);
  return tx.commit();
}

Status Pairing::registerRemote(const QString& address, bool teacher) {
  store::Transaction tx(m_store);
  if (Status s =
          m_store.run(QStringLiteral("DELETE FROM TABLEKUMANDA WHERE KUMANDAADRESI=?"), {address});
      !s)
    return s;
  if (Status s = m_store.run(
          QStringLiteral("INSERT INTO TABLEKUMANDA (KUMANDAADRESI,OGRETMENKUMANDASI) VALUES (?,?)"),
          {address, remotes::teacherFlag(teacher)});
      !s)
    return s;
  m_store.changed(store::Change::Remotes);
  return tx.commit();
}

}  // namespace school
