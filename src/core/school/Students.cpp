#include "school/Students.h"

#include <QCollator>
#include <QLocale>
#include <QSqlQuery>

#include "school/StudentPhotos.h"
#include "store/Sql.h"

namespace school {

Query Students::activeListQuery() {
  return {QStringLiteral("SELECT * FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' ORDER BY VAL(KAYITNO)"), {}};
}

Query Students::deletedListQuery() {
  return {QStringLiteral("SELECT KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE,TCKIMLIK,SILINDIMI AS SILINMETARIHI "
                         "FROM TABLEOGRENCI WHERE NZ(SILINDIMI)<>'' ORDER BY VAL(KAYITNO)"),
          {}};
}

int Students::nextRegistrationNumber() {
  return store::scalar(QStringLiteral("SELECT COALESCE(MAX(VAL(NZ(KAYITNO))), 0) FROM TABLEOGRENCI"), {}, 0)
             .toInt() +
         1;
}

Result<Student> Students::load(const QString& kayitNo) {
  Result<QSqlQuery> q = store::exec(
      QStringLiteral("SELECT KAYITNO,NZ(NUMARASI),NZ(ADI),NZ(SOYADI),NZ(SINIFI),NZ(SEVIYE),NZ(TCKIMLIK),"
                     "NZ(SILINDIMI) FROM TABLEOGRENCI WHERE KAYITNO=?"),
      {kayitNo});
  if (!q) return Result<Student>::failure(q.error());
  if (!q.value().next()) return Result<Student>::failure(QStringLiteral("Öğrenci bulunamadı: %1").arg(kayitNo));
  Student s;
  QSqlQuery& r = q.value();
  s.kayitNo = r.value(0).toString();
  s.numarasi = r.value(1).toString();
  s.adi = r.value(2).toString();
  s.soyadi = r.value(3).toString();
  s.sinifi = r.value(4).toString();
  s.seviye = r.value(5).toString();
  s.tcKimlik = r.value(6).toString();
  s.silindimi = r.value(7).toString();
  if (!s.seviye.isEmpty())
    (void)store::run(QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='' WHERE PARAMETREDEGERI=? AND "
                                    "PARAMETREADI='SEVIYE'"),
                     {s.seviye});
  return s;
}

QString Students::deleteQuestion(const QStringList& kayitNos) {
  if (kayitNos.size() == 1)
    return QStringLiteral("Bu ") + kayitNos.first() + QStringLiteral(" numaralı kaydı") +
           QStringLiteral(" silmek istediğinizden emin misiniz?");
  return QStringLiteral("Bu ") + QString::number(kayitNos.size()) + QStringLiteral(" kaydı") +
         QStringLiteral(" silmek istediğinizden emin misiniz?");
}

Result<int> Students::remove(const QStringList& kayitNos, const QDateTime& now) {
  const QString mark = now.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char(' ') +
                       now.toString(QStringLiteral("HH:mm:ss"));
  store::Transaction tx;
  for (const QString& k : kayitNos) {
    if (Status s = store::run(QStringLiteral("UPDATE TABLEOGRENCI SET SILINDIMI=? WHERE NZ(KAYITNO)=?"), {mark, k}); !s)
      return Result<int>::failure(s.error());
    if (Status s = store::run(QStringLiteral("DELETE FROM TABLEESLESME WHERE NZ(KAYITNO)=?"), {k}); !s)
      return Result<int>::failure(s.error());
  }
  Result<int> purged = purge();
  if (!purged) return purged;
  if (Status s = tx.commit(); !s) return Result<int>::failure(s.error());
  // Files follow the committed rows, never the other way round.
  for (const QString& k : kayitNos) StudentPhotos::remove(k);
  return purged;
}

Result<int> Students::purge() {
  Result<QSqlQuery> q = store::exec(
      QStringLiteral("DELETE FROM TABLEOGRENCI WHERE NZ(SILINDIMI)<>'' AND NOT EXISTS "
                     "(SELECT KAYITNO FROM TABLECEVAP WHERE TABLECEVAP.KAYITNO=TABLEOGRENCI.KAYITNO)"));
  if (!q) return Result<int>::failure(q.error());
  return q.value().numRowsAffected();
}

Status Students::releaseConflictingPairings(const QString& kayitNo, const QString& newClass) {
  const bool conflict =
      store::scalar(QStringLiteral("SELECT EXISTS (SELECT TABLEESLESME.KUMANDAADRESI FROM TABLEESLESME "
                                   "INNER JOIN TABLEOGRENCI ON TABLEOGRENCI.KAYITNO=TABLEESLESME.KAYITNO "
                                   "WHERE TABLEOGRENCI.SINIFI=? AND TABLEOGRENCI.KAYITNO<>? AND "
                                   "TABLEESLESME.KUMANDAADRESI IN "
                                   "(SELECT KUMANDAADRESI FROM TABLEESLESME WHERE KAYITNO=?))"),
                    {newClass, kayitNo, kayitNo}, 0)
          .toInt() == 1;
  if (!conflict) return {};
  return store::run(QStringLiteral("DELETE FROM TABLEESLESME WHERE KAYITNO=?"), {kayitNo});
}

QStringList Students::classNames() {
  QStringList names = store::column(
      QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='SINIFI' AND "
                     "NZ(PARAMETREDEGERI)<>'' UNION SELECT SINIFI FROM TABLEOGRENCI WHERE NZ(SINIFI)<>'' "
                     "AND NZ(SILINDIMI)=''"));
  names.removeDuplicates();
  QCollator collator{QLocale(QLocale::Turkish)};
  collator.setNumericMode(true);
  std::sort(names.begin(), names.end(), collator);
  return names;
}

}  // namespace school
