#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include "Bench.h"
#include "reports/ItemAnalysis.h"
#include "reports/ProgressReport.h"
#include "reports/RunReport.h"
#include "reports/RunRevision.h"
#include "reports/SuccessRanking.h"
#include "store/Store.h"

namespace bench {

namespace {

const reports::RunKey kRun{QStringLiteral("15.05.2026"), QStringLiteral("09:00:00")};
constexpr int kRemotes = 60;
constexpr int kQuestions = 50;
constexpr int kStudents = 1000;
constexpr int kRunsPerClass = 200;
constexpr int kItemRuns = 100;
constexpr int kItemRemotes = 30;

// Everything in one data folder, written with SQL in one transaction:
//  - one run of 60 remotes × 50 questions (scored),
//  - 40 classes of 25 students with 200 scored runs each (200,000 result rows):
//    every student has 200 runs across five courses,
//  - test "IT" applied 100 times to 30 remotes, 50 questions (150,000 answers).
bool buildFixture(store::Store& store) {
  if (Result<store::CheckReport> r = store.open(); !r) {
    QTextStream(stderr) << "fixture: " << r.error() << '\n';
    return false;
  }
  QElapsedTimer t;
  t.start();
  // The sizes are the constants above, written out: QString::arg would take the
  // SQL's "%" for its own markers.
  const QStringList statements{
      QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<1000) "
                     "INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE) SELECT "
                     "CAST(i AS TEXT),CAST(i AS TEXT),'Ad'||i,'Soyad'||i,'C'||(i%40),'5. SINIF' "
                     "FROM n"),
      QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<50) "
                     "INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,TESTBITIS,SINIFI,TESTNO,"
                     "SORUNO,TESTSIRANO,DOGRUSIK,YANLISDOGRUGOTURU,TESTADI,DERS) SELECT ?,?,"
                     "'09:40:00','C1','B1','Q'||i,CAST(i AS TEXT),substr('ABCDE',1+i%5,1),'1',"
                     "'Deneme','MATEMATİK' FROM n"),
      QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<2999) "
                     "INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTBITIS,TESTNO,SORUNO,"
                     "TESTSIRANO,KUMANDAADRESI,KAYITNO,CEVAP,CEVAPSURESI,YANLISDOGRUGOTURU) SELECT "
                     "?,?,'09:40:00','B1','Q'||(1+i%50),CAST(1+i%50 AS TEXT),'10-'||(1+i/50),"
                     "CAST(1+i/50 AS TEXT),substr('ABCDEX-',1+((i/50)*7+(i%50)*3)%7,1),"
                     "'0:'||printf('%02d',10+i%40),'1' FROM n"),
      QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI,DERS) VALUES ('T0','A','MATEMATİK'),"
                     "('T1','B','TÜRKÇE'),('T2','C','FEN BİLİMLERİ'),('T3','D','SOSYAL "
                     "BİLGİLER'),('T4','E','İNGİLİZCE')"),
      // Student s sits run k of its class: class c = s % 40, the run's date is day k.
      QStringLiteral(
          "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM s WHERE i<1000), "
          "k(j) AS (SELECT 0 UNION ALL SELECT j+1 FROM k WHERE j<199) "
          "INSERT INTO TABLESONUC (KUMANDAADRESI,KAYITNO,ADI,SOYADI,TESTTARIHI,TESTBASLANGIC,"
          "TESTBITIS,TESTNO,SINIFI,KISISAYI,SORUSAYI,NET,DOGRUSAYI,YANLISSAYI,BOSSAYI,TOPLAMSURE,"
          "KACINCIOLDU,DERS) SELECT '1-'||s.i,CAST(s.i AS TEXT),'Ad'||s.i,'Soyad'||s.i,"
          "strftime('%d.%m.%Y','2025-09-01','+'||k.j||' days'),printf('%02d:00:00',8+s.i%40),"
          "'23:00:00','T'||(k.j%5),'C'||(s.i%40),'25','20',CAST((s.i*7+k.j*3)%21 AS TEXT),"
          "CAST((s.i*7+k.j*3)%21 AS TEXT),'0','0',printf('%02d:%02d',(s.i+k.j)%30,k.j%60),'1',"
          "'' FROM s,k"),
      QStringLiteral(
          "WITH RECURSIVE r(k) AS (SELECT 0 UNION ALL SELECT k+1 FROM r WHERE k<99), "
          "q(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM q WHERE i<50) "
          "INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,TESTBITIS,SINIFI,TESTNO,"
          "SORUNO,TESTSIRANO,DOGRUSIK,YANLISDOGRUGOTURU) SELECT "
          "strftime('%d.%m.%Y','2026-02-01','+'||r.k||' days'),'14:00:00','14:40:00',"
          "'C2','IT','IQ'||q.i,CAST(q.i AS TEXT),substr('ABCDE',1+q.i%5,1),'0' FROM r,q"),
      QStringLiteral("WITH RECURSIVE r(k) AS (SELECT 0 UNION ALL SELECT k+1 FROM r WHERE k<99), "
                     "q(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM q WHERE i<50), "
                     "m(j) AS (SELECT 1 UNION ALL SELECT j+1 FROM m WHERE j<30) "
                     "INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTBITIS,TESTNO,SORUNO,"
                     "TESTSIRANO,KUMANDAADRESI,KAYITNO,CEVAP,CEVAPSURESI) SELECT "
                     "strftime('%d.%m.%Y','2026-02-01','+'||r.k||' days'),'14:00:00','14:40:00',"
                     "'IT','IQ'||q.i,CAST(q.i AS TEXT),'20-'||m.j,'',"
                     "substr('ABCDEX',1+(m.j*5+q.i*3+r.k)%6,1),'0:15' FROM r,q,m"),
  };

  store::Transaction tx(store);
  for (int i = 0; i < statements.size(); ++i) {
    const QVariantList params =
        i == 1 || i == 2 ? QVariantList{kRun.date, kRun.start} : QVariantList{};
    if (Status s = store.run(statements.at(i), params); !s) {
      QTextStream(stderr) << "fixture " << i << ": " << s.error() << '\n';
      return false;
    }
  }
  if (Status s = reports::Scoring(store).rescoreRun(kRun); !s || !tx.commit()) return false;
  QTextStream(stderr) << "report fixture built in " << t.elapsed() << " ms\n";
  return true;
}

}  // namespace

void reportBenchmarks() {
  const QStringList names{
      QStringLiteral("report.load_60x50"),         QStringLiteral("report.all_views_60x50"),
      QStringLiteral("report.rescore_key_60x50"),  QStringLiteral("report.ranking_1000x200"),
      QStringLiteral("report.progress_class_200"), QStringLiteral("report.items_test_100_runs")};
  if (std::none_of(names.begin(), names.end(), [](const QString& n) { return selected(n); }))
    return;
  QTemporaryDir dir;
  store::Store store(dir.path());
  if (!buildFixture(store)) return;
  const reports::ReportOptions options;
  measure(QStringLiteral("report.load_60x50"), kRemotes * kQuestions, 21, [&] {
    reports::RunReport r(store, kRun);
    (void)r.load();  // measured: a failure shows as an empty report, never as a figure
  });
  // What a teacher can look at: every page, every question and every remote.
  measure(QStringLiteral("report.all_views_60x50"), kRemotes * kQuestions, 21, [&] {
    reports::RunReport r(store, kRun);
    if (!r.load()) return;
    (void)r.general(options);
    (void)r.answersTable(options);
    for (int q = 0; q < kQuestions; ++q) (void)r.question(q, options);
    for (int s = 0; s < kRemotes; ++s) (void)r.student(s, options);
    (void)r.distribution();
    (void)r.itemAnalysis();
  });
  int flip = 0;
  measure(QStringLiteral("report.rescore_key_60x50"), kRemotes * kQuestions, 21, [&] {
    const QString letter = (flip++ % 2) ? QStringLiteral("A") : QStringLiteral("B");
    (void)reports::RunRevision(store, kRun).setKey(QStringLiteral("1"), letter);
  });

  const reports::SuccessRanking ranking(store);
  QStringList students;
  for (int s = 1; s <= kStudents; ++s) students << QString::number(s);
  reports::RunCriteria all;
  all.lastRuns = kRunsPerClass;
  measure(QStringLiteral("report.ranking_1000x200"), qint64(kStudents) * kRunsPerClass, 7,
          [&] { (void)ranking.build(students, all); });
  measure(QStringLiteral("report.progress_class_200"), kRunsPerClass, 21, [&] {
    reports::ProgressReport p(store, reports::ProgressReport::Subject::Class,
                              {QStringLiteral("C1")}, all);
    (void)p.show(0);
  });
  measure(QStringLiteral("report.items_test_100_runs"),
          qint64(kItemRuns) * kItemRemotes * kQuestions, 7,
          [&] { (void)reports::analyseTest(store, QStringLiteral("IT")); });
}

}  // namespace bench
