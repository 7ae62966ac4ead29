#include "school/Students.h"

#include <QCollator>
#include <QLocale>
#include <QSqlQuery>

#include "curriculum/OfferedValues.h"
#include "school/StudentPhotos.h"
#include "store/FolderFiles.h"
#include "store/Numbers.h"
#include "store/Store.h"

namespace school {

store::Query Students::activeListQuery() {
  return {QStringLiteral("SELECT * FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' ORDER BY VAL(KAYITNO)"),
          {}};
}

store::Query Students::deletedListQuery() {
  return {
      QStringLiteral(
          "SELECT KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE,TCKIMLIK,SILINDIMI AS SILINMETARIHI "
          "FROM TABLEOGRENCI WHERE NZ(SILINDIMI)<>'' ORDER BY VAL(KAYITNO)"),
      {}};
}

Result<qint64> Students::nextRegistrationNumber() const {
  return store::nextNumber(m_store, QStringLiteral("TABLEOGRENCI"), QStringLiteral("KAYITNO"));
}

Result<Student> Students::load(const QString& kayitNo) {
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral(
          "SELECT KAYITNO,NZ(NUMARASI),NZ(ADI),NZ(SOYADI),NZ(SINIFI),NZ(SEVIYE),NZ(TCKIMLIK),"
          "NZ(SILINDIMI) FROM TABLEOGRENCI WHERE KAYITNO=?"),
      {kayitNo});
  if (!q) return Result<Student>::failure(q.error());
  if (!q.value().next())
    return Result<Student>::failure(QStringLiteral("Öğrenci bulunamadı: %1").arg(kayitNo));
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
  // The level list must be able to show the student's level.
  (void)curriculum::OfferedValues(m_store, curriculum::OfferedValues::Kind::Level)
      .ensureOffered(s.seviye);
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
  const StudentPhotos photos(m_store);
  store::FolderChange files(m_store);
  store::Transaction tx(m_store);
  for (const QString& k : kayitNos) {
    if (Status s = photos.remove(files, k); !s) return Result<int>::failure(s.error());
    if (Status s = m_store.run(
            QStringLiteral("UPDATE TABLEOGRENCI SET SILINDIMI=? WHERE NZ(KAYITNO)=?"), {mark, k});
        !s)
      return Result<int>::failure(s.error());
    if (Status s = m_store.run(QStringLiteral("DELETE FROM TABLEESLESME WHERE NZ(KAYITNO)=?"), {k});
        !s)
      return Result<int>::failure(s.error());
  }
  Result<int> purged = purge();
  if (!purged) return purged;
  m_store.changed(store::Change::Students | store::Change::Pairings);
  if (Status s = tx.commit(); !s) return Result<int>::failure(s.error());
  // On a data folder the files follow the committed rows, never the other way round.
  (void)files.settle();
  return purged;
}

Result<int> Students::purge() {
  Result<QSqlQuery> q = m_store.exec(QStringLiteral(
      "DELETE FROM TABLEOGRENCI WHERE NZ(SILINDIMI)<>'' AND NOT EXISTS "
      "(SELECT KAYITNO FROM TABLECEVAP WHERE TABLECEVAP.KAYITNO=TABLEOGRENCI.KAYITNO)"));
  if (!q) return Result<int>::failure(q.error());
  const int removed = q.value().numRowsAffected();
  if (removed > 0) m_store.changed(store::Change::Students);
  return removed;
}

Status Students::releaseConflictingPairings(const QString& kayitNo, const QString& newClass) {
  const Result<QVariant> conflict = m_store.scalar(
      QStringLiteral("SELECT EXISTS (SELECT TABLEESLESME.KUMANDAADRESI FROM TABLEESLESME "
                     "INNER JOIN TABLEOGRENCI ON TABLEOGRENCI.KAYITNO=TABLEESLESME.KAYITNO "
                     "WHERE TABLEOGRENCI.SINIFI=? AND TABLEOGRENCI.KAYITNO<>? AND "
                     "TABLEESLESME.KUMANDAADRESI IN "
                     "(SELECT KUMANDAADRESI FROM TABLEESLESME WHERE KAYITNO=?))"),
      {newClass, kayitNo, kayitNo});
  if (!conflict) return Status::failure(conflict.error());
  if (conflict->toInt() != 1) return {};
  if (Status s = m_store.run(QStringLiteral("DELETE FROM TABLEESLESME WHERE KAYITNO=?"), {kayitNo});
      !s)
    return s;
  m_store.changed(store::Change::Pairings);
  return {};
}

Result<QStringList> Students::classNames() const {
  Result<QStringList> names = m_store.column(QStringLiteral(
      "SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='SINIFI' AND "
      "NZ(PARAMETREDEGERI)<>'' UNION SELECT SINIFI FROM TABLEOGRENCI WHERE NZ(SINIFI)<>'' "
      "AND NZ(SILINDIMI)=''"));
  if (!names) return names;
  QStringList out = names.value();
  out.removeDuplicates();
  QCollator collator{QLocale(QLocale::Turkish)};
  collator.setNumericMode(true);
  std::sort(out.begin(), out.end(), collator);
  return out;
}

Result<bool> Students::exists(const QString& kayitNo) const {
  const Result<QVariant> r = m_store.scalar(
      QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEOGRENCI WHERE KAYITNO=?)"), {kayitNo});
  if (!r) return Result<bool>::failure(r.error());
  return r->toInt() == 1;
}

Result<bool> Students::any() const {
  const Result<QVariant> r =
      m_store.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEOGRENCI)"));
  if (!r) return Result<bool>::failure(r.error());
  return r->toInt() == 1;
}

}  // namespace school
