#include "ReportFixture.h"

#include <QDate>
#include <QElapsedTimer>
#include <QTextStream>

#include "reports/Scoring.h"
#include "store/Store.h"

namespace bench {

namespace {

// "d(j,t) AS (VALUES (0,'01.09.2025'),...)": day j after `first`, as the runs
// store their dates. Both backends read dates the same way only when they are
// written out: the server has no strftime.
QString daysTable(const QString& name, const QDate& first, int days) {
  QStringList rows;
  for (int j = 0; j < days; ++j)
    rows << QStringLiteral("(%1,'%2')")
                .arg(j)
                .arg(first.addDays(j).toString(QStringLiteral("dd.MM.yyyy")));
  return name + QStringLiteral("(j,t) AS (VALUES ") + rows.join(QLatin1Char(',')) +
         QLatin1Char(')');
}

// A number below 100 as two digits: the server has no printf.
QString twoDigits(const QString& expr) {
  return QStringLiteral("CASE WHEN ") + expr + QStringLiteral("<10 THEN '0' ELSE '' END||(") +
         expr + QLatin1Char(')');
}

}  // namespace

bool buildReportFixture(store::Store& store) {
  if (Result<store::CheckReport> r = store.open(); !r) {
    QTextStream(stderr) << "fixture: " << r.error() << '\n';
    return false;
  }
  QElapsedTimer t;
  t.start();
  // The sizes are the constants of the header, written out.
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
                     "'0:'||(10+i%40),'1' FROM n"),
      QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI,DERS) VALUES ('T0','A','MATEMATİK'),"
                     "('T1','B','TÜRKÇE'),('T2','C','FEN BİLİMLERİ'),('T3','D','SOSYAL "
                     "BİLGİLER'),('T4','E','İNGİLİZCE')"),
      // Student s sits run k of its class: class c = s % 40, the run's date is day k.
      QStringLiteral(
          "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM s WHERE i<1000), ") +
          daysTable(QStringLiteral("k"), QDate(2025, 9, 1), kReportRunsPerClass) +
          QStringLiteral(
              " INSERT INTO TABLESONUC (KUMANDAADRESI,KAYITNO,ADI,SOYADI,TESTTARIHI,"
              "TESTBASLANGIC,TESTBITIS,TESTNO,SINIFI,KISISAYI,SORUSAYI,NET,DOGRUSAYI,YANLISSAYI,"
              "BOSSAYI,TOPLAMSURE,KACINCIOLDU,DERS) SELECT '1-'||s.i,CAST(s.i AS TEXT),'Ad'||s.i,"
              "'Soyad'||s.i,k.t,") +
          twoDigits(QStringLiteral("8+s.i%40")) +
          QStringLiteral("||':00:00','23:00:00','T'||(k.j%5),'C'||(s.i%40),'25','20',"
                         "CAST((s.i*7+k.j*3)%21 AS TEXT),CAST((s.i*7+k.j*3)%21 AS TEXT),'0','0',") +
          twoDigits(QStringLiteral("(s.i+k.j)%30")) + QStringLiteral("||':'||") +
          twoDigits(QStringLiteral("k.j%60")) + QStringLiteral(",'1','' FROM s,k"),
      QStringLiteral("WITH RECURSIVE ") +
          daysTable(QStringLiteral("r"), QDate(2026, 2, 1), kItemRuns) +
          QStringLiteral(
              ", q(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM q WHERE i<50) "
              "INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,TESTBITIS,SINIFI,TESTNO,"
              "SORUNO,TESTSIRANO,DOGRUSIK,YANLISDOGRUGOTURU) SELECT r.t,'14:00:00','14:40:00',"
              "'C2','IT','IQ'||q.i,CAST(q.i AS TEXT),substr('ABCDE',1+q.i%5,1),'0' FROM r,q"),
      QStringLiteral("WITH RECURSIVE ") +
          daysTable(QStringLiteral("r"), QDate(2026, 2, 1), kItemRuns) +
          QStringLiteral(", q(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM q WHERE i<50), "
                         "m(j) AS (SELECT 1 UNION ALL SELECT j+1 FROM m WHERE j<30) "
                         "INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTBITIS,TESTNO,SORUNO,"
                         "TESTSIRANO,KUMANDAADRESI,KAYITNO,CEVAP,CEVAPSURESI) SELECT "
                         "r.t,'14:00:00','14:40:00','IT','IQ'||q.i,CAST(q.i AS TEXT),'20-'||m.j,'',"
                         "substr('ABCDEX',1+(m.j*5+q.i*3+r.j)%6,1),'0:15' FROM r,q,m"),
  };

  store::Transaction tx(store);
  for (int i = 0; i < statements.size(); ++i) {
    const QVariantList params =
        i == 1 || i == 2 ? QVariantList{kReportRun.date, kReportRun.start} : QVariantList{};
    if (Status s = store.run(statements.at(i), params); !s) {
      QTextStream(stderr) << "fixture " << i << ": " << s.error() << '\n';
      return false;
    }
  }
  if (Status s = reports::Scoring(store).rescoreRun(kReportRun); !s || !tx.commit()) return false;
  QTextStream(stderr) << "report fixture built in " << t.elapsed() << " ms\n";
  return true;
}

void openRunReport(store::Store& store, bool everyView) {
  const reports::ReportOptions options;
  reports::RunReport r(store, kReportRun);
  if (!r.load() || !everyView) return;
  (void)r.general(options);
  (void)r.answersTable(options);
  for (int q = 0; q < kReportQuestions; ++q) (void)r.question(q, options);
  for (int s = 0; s < kReportRemotes; ++s) (void)r.student(s, options);
  (void)r.distribution();
  (void)r.itemAnalysis();
}

}  // namespace bench
