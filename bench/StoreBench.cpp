#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <list>
#include <memory>

#include "Bench.h"
#include "store/Store.h"

namespace bench {

namespace {

// Opens (and so checks) the data folder's database, then closes it again.
void check(const QString& folder) {
  store::Store store(folder);
  const Result<store::CheckReport> report = store.open();
  if (!report) QTextStream(stderr) << "VeritabaniKontrol: " << report.error() << '\n';
}

constexpr long long kAnswers = 1000000;
constexpr long long kQuestions = 100000;

// A school's database after years of use: 1,000,000 answers (1,000 runs of 40
// questions by 25 students) and 100,000 questions, written in one transaction.
bool buildLargeFixture(const QString& folder) {
  store::Store store(folder);
  if (Result<store::CheckReport> r = store.open(); !r) {
    QTextStream(stderr) << "fixture: " << r.error() << '\n';
    return false;
  }
  QElapsedTimer t;
  t.start();
  {
    store::Transaction tx(store);
    const Status answers = store.run(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<%1) "
            "INSERT INTO TABLECEVAP "
            "(TESTTARIHI,TESTBASLANGIC,TESTBITIS,TESTNO,SORUNO,TESTSIRANO,KUMANDAADRESI,KAYITNO,"
            "CEVAP,CEVAPSURESI,DOGRUSIK,YANLISDOGRUGOTURU,KACINCIOLDU) SELECT "
            "printf('%02d.%02d.%04d',1+(i/1000)%28,1+(i/28000)%12,2015+i/336000),"
            "printf('%02d:00:00',8+(i/1000)%8),'23:59:00',CAST(i/1000 AS TEXT),CAST((i/25)%40+1 AS "
            "TEXT),"
            "CAST((i/25)%40+1 AS TEXT),printf('%d-%d',1+i%25,200),CAST(i%25+1 AS TEXT),"
            "substr('ABCDEX',1+i%6,1),'00:15','A','0','' FROM n")
            .arg(kAnswers - 1));
    const Status questions = store.run(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<%1) "
            "INSERT INTO TABLESORU "
            "(SEVIYE,DERS,UNITE,KONU,KAZANIM,SORUNO,SORUICERIK,DOGRUSIK,PUAN,SURE) SELECT "
            "'5. SINIF','MATEMATİK','Ünite '||(i%10),'Konu '||(i%50),'Kazanım "
            "'||(i%200),CAST(i AS TEXT),"
            "'Soru metni '||i,substr('ABCDE',1+i%5,1),'5','60' FROM n")
            .arg(kQuestions));
    if (!answers || !questions || !tx.commit()) {
      QTextStream(stderr) << "fixture: " << answers.error() << questions.error() << '\n';
      return false;
    }
  }
  QTextStream(stderr) << "store fixture built in " << t.elapsed() << " ms\n";
  return true;
}

}  // namespace

void storeBenchmarks() {
  {
    std::list<QTemporaryDir> folders;
    QString next;
    measure(
        QStringLiteral("store.create_data_folder"), 1, 9, [&next] { check(next); },
        [&folders, &next] { next = folders.emplace_back().path(); });
  }

  const bool wanted = selected(QStringLiteral("store.open_check_large")) ||
                      selected(QStringLiteral("store.field_pass_large"));
  if (!wanted) return;
  QTemporaryDir folder;
  if (!buildLargeFixture(folder.path())) return;
  measure(QStringLiteral("store.open_check_large"), kAnswers + kQuestions, 7,
          [&folder] { check(folder.path()); });
  // The same database left by another program version: the whole field pass runs.
  measure(
      QStringLiteral("store.field_pass_large"), kAnswers + kQuestions, 5,
      [&folder] { check(folder.path()); },
      [&folder] {
        store::Store store(folder.path());
        if (store.open())
          (void)store.run(QStringLiteral("UPDATE TABLEVERSIYON SET VTYAPIVERSIYON='0.0.0.0'"));
      });
}

}  // namespace bench
