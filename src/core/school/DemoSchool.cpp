#include "school/DemoSchool.h"

#include <QDate>
#include <QStringList>

#include "school/IdentityNumber.h"
#include "school/Remotes.h"
#include "school/Rollover.h"
#include "school/Students.h"
#include "store/Store.h"

namespace school {

namespace {

const char* const kFirstNames[] = {
    "Ahmet",  "Ayşe",  "Mehmet", "Zeynep", "Mustafa", "Elif",  "Emre",    "Büşra",
    "Yusuf",  "Merve", "Ömer",   "Şeyma",  "Ali",     "Esra",  "Hüseyin", "İrem",
    "Burak",  "Gizem", "Eren",   "Özge",   "Kerem",   "Ceren", "Oğuz",    "Dilara",
    "Çağrı",  "Ebru",  "Furkan", "Hande",  "İsmail",  "Sıla",  "Tolga",   "Gülşen",
    "Berkay", "Nazlı", "Uğur",   "Pınar",  "Serkan",  "Tuğba", "Barış",   "Yağmur"};
const char* const kSurnames[] = {"Yılmaz",   "Kaya",   "Demir",  "Şahin",   "Çelik",   "Yıldız",
                                 "Yıldırım", "Öztürk", "Aydın",  "Özdemir", "Arslan",  "Doğan",
                                 "Kılıç",    "Aslan",  "Çetin",  "Kara",    "Koç",     "Kurt",
                                 "Özkan",    "Şimşek", "Polat",  "Korkmaz", "Erdoğan", "Güneş",
                                 "Aktaş",    "Bulut",  "Keskin", "Uçar",    "Tekin",   "Acar"};

// An identity number that passes the check: the eleventh digit is the last digit
// of the sum of the first ten.
QString identityNumber(int seed) {
  QString ten =
      QString::number(10000000000LL / 10 * 2 + static_cast<qint64>(seed) * 7919LL % 1000000000LL);
  ten = ten.left(10);
  int sum = 0;
  for (QChar c : ten) sum += c.unicode() - '0';
  return ten + QString::number(sum % 10);
}

}  // namespace

Status createDemoSchool(store::Store& store) {
  Students students(store);
  const Result<bool> any = students.any();
  if (!any) return Status::failure(any.error());
  if (any.value()) return {};
  store::Transaction tx(store);
  auto run = [&store](const QString& sql, const QVariantList& params = {}) {
    return store.run(sql, params);
  };
  const QString label = Rollover::schoolYearLabel(QDate::currentDate());
  const Result<QVariant> schools = store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL"));
  if (!schools) return Status::failure(schools.error());
  Status s =
      schools->toInt() > 0
          ? run(QStringLiteral("UPDATE TABLEOKUL SET SINIFATLATMADONEM=?,UCDUGME=NZ(UCDUGME,'0') "
                               "WHERE NZ(SINIFATLATMADONEM)=''"),
                {label})
          : run(QStringLiteral(
                    "INSERT INTO TABLEOKUL (KURUMKODU,OKULADI,SINIFATLATMADONEM,UCDUGME,"
                    "ANAOKULU,GELISMISMOD) VALUES ('738201','Atatürk Ortaokulu',?,'0','0','0')"),
                {label});
  if (!s) return s;
  struct DemoClass {
    const char* name;
    const char* level;
    int size;
  };
  const DemoClass classes[] = {
      {"5-A", "5. SINIF", 24}, {"6-B", "6. SINIF", 27}, {"7-C", "7. SINIF", 22}};
  const Result<qint64> first = students.nextRegistrationNumber();
  if (!first) return Status::failure(first.error());
  qint64 kayitNo = first.value() - 1;
  int widest = 0;
  for (const DemoClass& c : classes) widest = std::max(widest, c.size);
  // Remotes 12-201, 12-202, ...: one per seat of the largest class, plus the teacher's.
  QStringList remotes;
  for (int i = 0; i < widest; ++i) remotes << QStringLiteral("12-%1").arg(201 + i);
  for (const QString& a : remotes)
    if (!(s = run(QStringLiteral(
                      "INSERT INTO TABLEKUMANDA (KUMANDAADRESI,OGRETMENKUMANDASI) VALUES (?,?)"),
                  {a, remotes::teacherFlag(false)})))
      return s;
  if (!(s = run(QStringLiteral(
                    "INSERT INTO TABLEKUMANDA (KUMANDAADRESI,OGRETMENKUMANDASI) VALUES (?,?)"),
                {QStringLiteral("12-200"), remotes::teacherFlag(true)})))
    return s;
  int person = 0;
  for (const DemoClass& c : classes) {
    const QString sinifi = QString::fromLatin1(c.name);
    for (const QString& list : {QStringLiteral("SINIFI")})
      if (!(s = run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) "
                                   "SELECT ?,? WHERE NOT "
                                   "EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                                   "PARAMETREDEGERI=?)"),
                    {list, sinifi, list, sinifi})))
        return s;
    const QString level = QString::fromUtf8(c.level);
    if (!(s = run(
              QStringLiteral("INSERT INTO TABLEPARAMETRE "
                             "(PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) SELECT "
                             "'SEVIYE',?,'' WHERE NOT EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE "
                             "PARAMETREADI='SEVIYE' AND PARAMETREDEGERI=?)"),
              {level, level})))
      return s;
    (void)run(QStringLiteral(
                  "UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='' WHERE PARAMETREADI='SEVIYE' AND "
                  "PARAMETREDEGERI=?"),
              {level});
    for (int i = 0; i < c.size; ++i, ++person) {
      ++kayitNo;
      const QString adi = QString::fromUtf8(kFirstNames[(person * 7) % std::size(kFirstNames)]);
      const QString soyadi = QString::fromUtf8(kSurnames[(person * 11 + i) % std::size(kSurnames)]);
      const QString no = QString::number(100 + person * 3 + 1);
      if (!(s = run(
                QStringLiteral(
                    "INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE,TCKIMLIK) "
                    "VALUES (?,?,?,?,?,?,?)"),
                {QString::number(kayitNo), no, adi, soyadi, sinifi, level,
                 identityNumber(person + 1)})))
        return s;
      if (!(s = run(QStringLiteral("INSERT INTO TABLEESLESME (KUMANDAADRESI,KAYITNO) VALUES (?,?)"),
                    {remotes.at(i), QString::number(kayitNo)})))
        return s;
    }
  }
  store.changed(store::Change::Students | store::Change::Remotes | store::Change::Pairings |
                store::Change::Lists | store::Change::Institution);
  return tx.commit();
}

}  // namespace school
