#include "reports/RunList.h"

#include <QSqlQuery>

#include "reports/RunCriteria.h"
#include "store/Parameters.h"
#include "store/RunSetupChoices.h"
#include "store/SavedControls.h"
#include "store/Store.h"

namespace reports {

namespace {

using store::UserSettings;

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kNotStored = QStringLiteral("\x01");

// The keys of the stored list choices, in CurriculumFilter field order.
const char* const kCurriculumKeys[] = {"SeviyeAra", "DersAra", "UniteAra", "KonuAra", "KazanimAra"};

bool restricts(const QString& choice) { return !curriculum::CurriculumFilter::isAll(choice); }

// Every run once, with its question count; the description is the same on all its
// question rows once the run has been refreshed, MAX() takes it from any of them.
QString listSql() {
  QString sql = QStringLiteral(
      "SELECT R.* FROM (SELECT U.TESTTARIHI,U.TESTBASLANGIC,U.TESTBITIS,U.TESTNO,U.TESTADI,"
      "U.SORUSAYISI,U.SEVIYE");
  for (const char* c : {"DERS", "UNITE", "KONU", "KAZANIM"}) {
    const QString column = QString::fromLatin1(c);
    sql += QStringLiteral(",%1 AS %2").arg(runsql::resolved(column, QStringLiteral("U.")), column);
  }
  sql += QStringLiteral(
      ",U.SINIFI,U.GRUP,U.ACIKLAMA,U.AKTARILDI,U.AKTARILDI AS AKTARILDI2 FROM (SELECT "
      "TESTTARIHI,TESTBASLANGIC,MAX(NZ(TESTBITIS)) AS TESTBITIS,MAX(NZ(TESTNO)) AS TESTNO,"
      "MAX(NZ(TESTADI)) AS TESTADI,COUNT(*) AS SORUSAYISI,MAX(NZ(SEVIYE)) AS SEVIYE,MAX(NZ(DERS)) "
      "AS DERS,MAX(NZ(UNITE)) AS UNITE,MAX(NZ(KONU)) AS KONU,MAX(NZ(KAZANIM)) AS KAZANIM,"
      "MAX(NZ(SINIFI)) AS SINIFI,MAX(NZ(GRUP)) AS GRUP,MAX(NZ(ACIKLAMA)) AS ACIKLAMA,"
      "MAX(NZ(AKTARILDI)) AS AKTARILDI FROM TABLEUYGULAMA %1 GROUP BY TESTTARIHI,TESTBASLANGIC) U");
  return sql + runsql::testJoin(QStringLiteral("U.")) + QStringLiteral(") R WHERE 1=1");
}

QList<RunRow> readRows(QSqlQuery& q) {
  QList<RunRow> rows;
  while (q.next()) {
    RunRow r;
    r.key = {q.value(0).toString(), q.value(1).toString()};
    r.testBitis = q.value(2).toString();
    r.testNo = q.value(3).toString();
    r.testAdi = q.value(4).toString();
    r.soruSayisi = q.value(5).toInt();
    r.seviye = q.value(6).toString();
    r.ders = q.value(7).toString();
    r.unite = q.value(8).toString();
    r.konu = q.value(9).toString();
    r.kazanim = q.value(10).toString();
    r.sinifi = q.value(11).toString();
    r.grup = q.value(12).toString();
    r.aciklama = q.value(13).toString();
    r.aktarildi = q.value(14).toString();
    rows << r;
  }
  return rows;
}

}  // namespace

Result<RunFilter> RunFilter::load(const store::Store& store) {
  RunFilter f;
  for (int i = 0; i < curriculum::CurriculumFilter::kFieldCount; ++i)
    f.curriculum.setValue(curriculum::CurriculumFilter::Field(i),
                          UserSettings::get(section(), QString::fromLatin1(kCurriculumKeys[i]),
                                            QStringLiteral("TÜMÜ")));
  f.grup = UserSettings::get(section(), QStringLiteral("GrupAra"), QStringLiteral("TÜMÜ"));
  f.sinifi = UserSettings::get(section(), QStringLiteral("SinifiAra"), kNotStored);
  if (f.sinifi != kNotStored) return f;
  // First use: the class of the last test run, by its name (the first class
  // when it was left at the first; "TÜMÜ" while only a place is stored).
  f.sinifi = QStringLiteral("TÜMÜ");
  const Result<store::RunSetupChoices> setup = store::RunSetupChoices::load(store.db());
  if (!setup) return Result<RunFilter>::failure(setup.error());
  if (store::SavedControls::oldPosition(setup->className)) return f;
  if (!setup->className.isEmpty()) {
    f.sinifi = setup->className;
    return f;
  }
  const Result<QStringList> classes = store.column(RunList::classesQuery().sql);
  if (!classes) return Result<RunFilter>::failure(classes.error());
  if (!classes->isEmpty()) f.sinifi = classes->first();
  return f;
}

void RunFilter::save() const {
  for (int i = 0; i < curriculum::CurriculumFilter::kFieldCount; ++i)
    UserSettings::set(section(), QString::fromLatin1(kCurriculumKeys[i]),
                      curriculum.value(curriculum::CurriculumFilter::Field(i)));
  UserSettings::set(section(), QStringLiteral("GrupAra"), grup);
  UserSettings::set(section(), QStringLiteral("SinifiAra"), sinifi);
}

RunRow::Opens RunRow::opens() const {
  if (testAdi == RunList::expectationSurvey()) return Opens::ExpectationSurvey;
  if (testAdi == RunList::leadershipSurvey()) return Opens::LeadershipSurvey;
  return Opens::Report;
}

store::Query RunList::listQuery(const RunFilter& f) {
  store::Query q{listSql().arg(QString()), {}};
  const curriculum::CurriculumFilter::Condition c = f.curriculum.condition(QStringLiteral("R."));
  q.sql += c.sql;
  q.params << c.params;
  const std::pair<const char*, const QString*> exact[] = {
      {"SINIFI", &f.sinifi}, {"GRUP", &f.grup}, {"ACIKLAMA", &f.aciklama}, {"TESTNO", &f.testNo}};
  for (const auto& [column, value] : exact) {
    if (!restricts(*value)) continue;
    q.sql += QStringLiteral(" AND R.%1=?").arg(QString::fromLatin1(column));
    q.params << *value;
  }
  if (f.dateRange) {
    q.sql += QStringLiteral(" AND CDATE(R.TESTTARIHI) BETWEEN CDATE(?) AND CDATE(?)");
    q.params << f.from.toString(kDateFormat) << f.to.toString(kDateFormat);
  }
  q.sql += QStringLiteral(" ORDER BY ") + runsql::newestFirst(QStringLiteral("R."));
  return q;
}

Status RunList::repairUnfinished() {
  store::Transaction tx(m_store);
  for (const char* table : {"TABLEUYGULAMA", "TABLECEVAP", "TABLESONUC"}) {
    if (Status s = m_store.run(QStringLiteral("UPDATE %1 SET TESTBITIS=TESTBASLANGIC WHERE "
                                              "NZ(TESTBITIS)=''")
                                   .arg(QString::fromLatin1(table)));
        !s)
      return s;
  }
  m_store.changed(store::Change::Runs);
  return tx.commit();
}

Result<QList<RunRow>> RunList::find(const RunFilter& filter) {
  filter.save();
  if (Status s = repairUnfinished(); !s) return Result<QList<RunRow>>::failure(s.error());
  return rows(filter);
}

Result<QList<RunRow>> RunList::rows(const RunFilter& filter) const {
  const store::Query q = listQuery(filter);
  Result<QSqlQuery> r = m_store.exec(q.sql, q.params);
  if (!r) return Result<QList<RunRow>>::failure(r.error());
  return readRows(r.value());
}

Result<QList<RunRow>> RunList::run(const RunKey& key) const {
  Result<QSqlQuery> r =
      m_store.exec(listSql().arg(QStringLiteral("WHERE TESTTARIHI=? AND TESTBASLANGIC=?")),
                   {key.date, key.start});
  if (!r) return Result<QList<RunRow>>::failure(r.error());
  return readRows(r.value());
}

RunList::Upload RunList::uploadState(const RunRow&) { return Upload::NotUploaded; }

QColor RunList::colour(Upload state) {
  return state == Upload::Uploaded ? QColor(0xC0, 0xFF, 0xC0) : QColor(Qt::white);
}

QString RunList::deleteQuestion(int count) {
  return QStringLiteral(
             "Seçili %1 adet uygulamanın kayıtlarını silmek istediğinizden emin misiniz?")
      .arg(count);
}

Result<bool> RunList::deleteRuns(const QList<RunKey>& runs, Messages& messages) {
  if (runs.isEmpty()) {
    messages.warning(QStringLiteral("Silinecek uygulamayı seçiniz."));
    return false;
  }
  if (!messages.ask(deleteQuestion(int(runs.size())), QStringLiteral("Soru"), Messages::Answer::No))
    return false;
  store::Transaction tx(m_store);
  for (const RunKey& run : runs) {
    for (const char* table : {"TABLEUYGULAMA", "TABLECEVAP", "TABLESONUC", "TABLEDISARIDAKALAN"}) {
      if (Status s =
              m_store.run(QStringLiteral("DELETE FROM %1 WHERE TESTTARIHI=? AND TESTBASLANGIC=?")
                              .arg(QString::fromLatin1(table)),
                          {run.date, run.start});
          !s)
        return Result<bool>::failure(s.error());
    }
  }
  m_store.changed(store::Change::Runs);
  if (Status s = tx.commit(); !s) return Result<bool>::failure(s.error());
  return true;
}

Result<int> RunList::mergeSurveyRuns(const QList<RunKey>& runs) {
  if (runs.size() < 2)
    return Result<int>::failure(QStringLiteral("Birleştirmek için en az iki uygulama seçiniz."));
  QList<RunRow> found;
  for (const RunKey& key : runs) {
    Result<QList<RunRow>> r = run(key);
    if (!r) return Result<int>::failure(r.error());
    if (!r->isEmpty()) found << r->first();
  }
  // Only survey answers may go into a survey run: merging a test's answers into
  // it, or survey answers into a test, would spoil both.
  if (found.isEmpty() || !(found.first().key == runs.first()) ||
      found.first().testAdi != expectationSurvey())
    return Result<int>::failure(
        QStringLiteral("Birleştirme yalnızca \"Beklenti Anketi\" uygulamaları için yapılır: ilk "
                       "seçilen uygulama bir \"Beklenti Anketi\" olmalıdır."));
  const RunRow target = found.first();
  store::Transaction tx(m_store);
  int merged = 0;
  for (qsizetype i = 1; i < found.size(); ++i) {
    const RunRow& r = found.at(i);
    if (r.testAdi != expectationSurvey() || r.sinifi == expectationSurvey() || r.key == target.key)
      continue;
    const QVariantList from{r.key.date, r.key.start};
    if (Status s =
            m_store.run(QStringLiteral("UPDATE TABLECEVAP SET TESTTARIHI=?,TESTBASLANGIC=?,"
                                       "TESTBITIS=? WHERE TESTTARIHI=? AND TESTBASLANGIC=?"),
                        QVariantList{target.key.date, target.key.start, target.testBitis} + from);
        !s)
      return Result<int>::failure(s.error());
    // The merged run is gone: its question rows and its results go with it.
    for (const char* table : {"TABLEUYGULAMA", "TABLESONUC", "TABLEDISARIDAKALAN"}) {
      if (Status s = m_store.run(QStringLiteral("DELETE FROM %1 WHERE TESTTARIHI=? AND "
                                                "TESTBASLANGIC=?")
                                     .arg(QString::fromLatin1(table)),
                                 from);
          !s)
        return Result<int>::failure(s.error());
    }
    ++merged;
  }
  if (Status s = m_store.run(
          QStringLiteral(
              "UPDATE TABLEUYGULAMA SET SINIFI=? WHERE TESTTARIHI=? AND TESTBASLANGIC=?"),
          {expectationSurvey(), target.key.date, target.key.start});
      !s)
    return Result<int>::failure(s.error());
  m_store.changed(store::Change::Runs);
  if (Status s = tx.commit(); !s) return Result<int>::failure(s.error());
  return merged;
}

Result<ResumeRun> RunList::resume(const RunKey& key) const {
  Result<QList<RunRow>> r = run(key);
  if (!r) return Result<ResumeRun>::failure(r.error());
  if (r->isEmpty()) return Result<ResumeRun>::failure(QStringLiteral("Uygulama bulunamadı."));
  ResumeRun resume;
  resume.key = key;
  resume.testNo = r->first().testNo;
  resume.testAdi = r->first().testAdi;
  // Per remote the student of its answers; the names stay beside their remotes.
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral("SELECT C.KUMANDAADRESI,MAX(NZ(O.ADI) || ' ' || NZ(O.SOYADI)) FROM "
                     "TABLECEVAP C LEFT JOIN TABLEOGRENCI O ON O.KAYITNO=C.KAYITNO AND "
                     "NZ(C.KAYITNO)<>'' WHERE C.TESTTARIHI=? AND C.TESTBASLANGIC=? GROUP BY "
                     "C.KUMANDAADRESI ORDER BY MIN(C.rowid)"),
      {key.date, key.start});
  if (!q) return Result<ResumeRun>::failure(q.error());
  while (q.value().next()) {
    const QString address = q.value().value(0).toString();
    const QString name = q.value().value(1).toString().trimmed();
    resume.remotes << address;
    resume.names << (name.isEmpty() ? address : name);
  }
  return resume;
}

store::Query RunList::classesQuery() {
  return {QStringLiteral("SELECT PARAMETREDEGERI AS SINIFI FROM TABLEPARAMETRE WHERE "
                         "PARAMETREADI='SINIFI' ORDER BY PARAMETREDEGERI COLLATE TURKCE"),
          {}};
}

store::Query RunList::studentsQuery(bool deleted) {
  if (deleted)
    return {QStringLiteral("SELECT ADI,SOYADI,NUMARASI,SINIFI,SEVIYE,KAYITNO,SILINDIMI AS "
                           "SILINMETARIHI FROM TABLEOGRENCI WHERE NZ(SILINDIMI)<>'' ORDER BY "
                           "CDATE(SILINDIMI) DESC"),
            {}};
  return {
      QStringLiteral("SELECT ADI,SOYADI,NUMARASI,SINIFI,SEVIYE,KAYITNO FROM TABLEOGRENCI "
                     "WHERE NZ(SILINDIMI)='' ORDER BY ADI COLLATE TURKCE,SOYADI COLLATE TURKCE"),
      {}};
}

}  // namespace reports
