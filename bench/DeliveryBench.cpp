// Figures of running a test: leaving a question among a million stored answers
// (and the same step as the old program's statements), a whole simulated run, and
// a press from the receiver's socket to the run's state change.
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "Bench.h"
#include "RunRig.h"
#include "delivery/Recording.h"
#include "delivery/RunSession.h"
#include "delivery/SimulatedRun.h"
#include "receiver/ReportDecoder.h"
#include "store/Store.h"

namespace bench {

namespace {

constexpr int kRemotes = 60;
constexpr int kQuestions = 20;
const QString kDate = QStringLiteral("14.03.2026");

QTextStream err(stderr);

bool ok(const Status& s, const char* what) {
  if (!s) err << what << ": " << s.error() << '\n';
  return s.ok();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// 1,000 earlier runs of 20 questions by 50 remotes: 1,000,000 answers, their
// question rows and result rows. R is the run, T and B its date and start.
bool addPastRuns(store::Store& store) {
  const QString numbers = QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<{LAST}), "
      "m AS (SELECT i,R,printf('%02d.%02d.%04d',1+(R%28),1+((R/28)%12),2020+R/336) AS T,"
      "'09:00:00' AS B FROM (SELECT i,i/{PER} AS R FROM n)) ");
  const auto rows = [&](int count, int perRun) {
    return QString(numbers)
        .replace(QStringLiteral("{LAST}"), QString::number(count - 1))
        .replace(QStringLiteral("{PER}"), QString::number(perRun));
  };
  store::Transaction tx(store);
  return ok(store.run(rows(1000000, 1000) +
                      QStringLiteral(
                          "INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTBITIS,TESTNO,"
                          "SORUNO,TESTSIRANO,KUMANDAADRESI,KAYITNO,CEVAP,CEVAPSURESI,DOGRUSIK,"
                          "YANLISDOGRUGOTURU,KACINCIOLDU) SELECT T,B,'09:30:00','1','B'||(1+i%20),"
                          "CAST(1+i%20 AS TEXT),'20-'||((i/20)%50),CAST(8000+(i/20)%50 AS TEXT),"
                          "substr('ABCDEX',1+abs(random())%6,1),'0:'||printf('%02d',"
                          "abs(random())%60),substr('ABCDE',1+i%5,1),'0',CAST(1+(i/20)%50 AS "
                          "TEXT) FROM m")),
            "cevaplar") &&
         ok(store.run(rows(20000, 20) +
                      QStringLiteral("INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,"
                                     "TESTBITIS,TESTNO,SORUNO,TESTSIRANO,DOGRUSIK,SINIFI) SELECT "
                                     "T,B,'09:30:00','1','B'||(1+i%20),CAST(1+i%20 AS TEXT),"
                                     "substr('ABCDE',1+i%5,1),'5-A' FROM m")),
            "sorular") &&
         ok(store.run(rows(50000, 50) +
                      QStringLiteral("INSERT INTO TABLESONUC (KUMANDAADRESI,KAYITNO,TESTTARIHI,"
                                     "TESTBASLANGIC,TESTBITIS,TESTNO,SORUSAYI,NET,TOPLAMSURE,"
                                     "KACINCIOLDU) SELECT '20-'||(i%50),CAST(8000+i%50 AS TEXT),"
                                     "T,B,'09:30:00','1','20','10','10:00',CAST(1+i%50 AS TEXT) "
                                     "FROM m")),
            "sonuçlar") &&
         ok(tx.commit(), "işlem");
}

delivery::RunRecord currentRun(const QString& start) {
  delivery::RunRecord r;
  r.key = {kDate, start};
  r.description.testNo = QStringLiteral("1");
  r.description.testName = QStringLiteral("Ölçüm");
  r.description.className = QStringLiteral("5-A");
  r.penalty = reports::Penalty::ThreeWrongs;
  for (int i = 1; i <= kRemotes; ++i) r.addresses << QStringLiteral("10-%1").arg(i);
  return r;
}

QList<delivery::TileAnswer> answersOf(const delivery::RunRecord& run) {
  QList<delivery::TileAnswer> out;
  for (const QString& a : run.addresses)
    out.append({a,
                QStringLiteral("ABCDEX-")
                    .mid(QRandomGenerator::global()->bounded(7), 1)
                    .replace(QLatin1Char('-'), QString()),
                int(QRandomGenerator::global()->bounded(30))});
  return out;
}

// Leaving a question as the old program did it: every statement its own, text
// built into the SQL, each run filter through "'' & column" (no index can serve it),
// the ranks written remote by remote.
Status leaveAsWritten(store::Store& store, const delivery::RunRecord& run, int position,
                      const QList<delivery::TileAnswer>& answers) {
  const QString t = run.key.date;
  const QString b = run.key.start;
  const QString sira = QString::number(position);
  const QString soruNo = QStringLiteral("B%1").arg(position);
  const QString where =
      QStringLiteral(" WHERE ''||TESTTARIHI='%1' AND ''||TESTBASLANGIC='%2'").arg(t, b);
  for (const delivery::TileAnswer& a : answers)
    if (Status s = store.run(
            QStringLiteral("INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTNO,SORUNO,"
                           "TESTSIRANO,KUMANDAADRESI,CEVAP,CEVAPSURESI) VALUES ('%1','%2','1','%3',"
                           "'%4','%5','%6','%7')")
                .arg(t, b, soruNo, sira, a.address, a.letter, reports::answerTimeText(a.seconds)));
        !s)
      return s;
  Result<QVariant> known = store.scalar(
      QStringLiteral("SELECT COUNT(*) FROM TABLEUYGULAMA WHERE TESTTARIHI='%1' AND "
                     "TESTBASLANGIC='%2' AND TESTNO='1' AND SORUNO='%3' AND TESTSIRANO='%4'")
          .arg(t, b, soruNo, sira));
  if (!known) return Status::failure(known.error());
  if (known->toInt() == 0) {
    const QString key =
        store
            .scalar(
                QStringLiteral("SELECT DOGRUSIK FROM TABLESORU WHERE ''||SORUNO='%1'").arg(soruNo))
            .valueOr({})
            .toString();
    if (Status s = store.run(QStringLiteral("INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,"
                                            "TESTNO,SORUNO,TESTSIRANO,DOGRUSIK) VALUES ('%1','%2',"
                                            "'1','%3','%4','%5')")
                                 .arg(t, b, soruNo, sira, key));
        !s)
      return s;
  }
  const QStringList statements = {
      QStringLiteral("UPDATE TABLECEVAP AS AA SET TESTBITIS='',KAYITNO=BB.KAYITNO,"
                     "YANLISDOGRUGOTURU='%1' FROM TABLEESLESME BB LEFT JOIN TABLEOGRENCI ON "
                     "BB.KAYITNO=TABLEOGRENCI.KAYITNO WHERE AA.KUMANDAADRESI=BB.KUMANDAADRESI "
                     "AND ''||AA.TESTTARIHI='%2' AND ''||AA.TESTBASLANGIC='%3' AND "
                     "TABLEOGRENCI.SINIFI='5-A'")
          .arg(reports::storedPenalty(run.penalty), t, b),
      QStringLiteral("UPDATE TABLEUYGULAMA SET TESTBITIS='',TESTADI='Ölçüm',SEVIYE='',"
                     "SINIFI='5-A',DERS='',UNITE='',KONU='',KAZANIM='',GRUP='',ACIKLAMA='',"
                     "YANLISDOGRUGOTURU='%1'")
              .arg(reports::storedPenalty(run.penalty)) +
          where,
      QStringLiteral("UPDATE TABLEUYGULAMA SET TESTBITIS=''") + where,
      QStringLiteral("UPDATE TABLECEVAP AS AA SET TESTBITIS='',DOGRUSIK=U.DOGRUSIK FROM "
                     "TABLEUYGULAMA U WHERE U.TESTTARIHI=AA.TESTTARIHI AND "
                     "U.TESTBASLANGIC=AA.TESTBASLANGIC AND U.TESTSIRANO=AA.TESTSIRANO AND "
                     "AA.TESTTARIHI='%1' AND AA.TESTBASLANGIC='%2'")
          .arg(t, b),
      QStringLiteral("DELETE FROM TABLESONUC") + where,
      QStringLiteral(
          "INSERT INTO TABLESONUC (KUMANDAADRESI,KAYITNO,ADI,SOYADI,TESTTARIHI,TESTBASLANGIC,"
          "TESTBITIS,TESTNO,SEVIYE,SINIFI,GRUP,ACIKLAMA,KISISAYI,SORUSAYI,NET,DOGRUSAYI,"
          "YANLISSAYI,BOSSAYI,TOPLAMSURE,TOPLAMSUREGIZLI,KACINCIOLDU) SELECT * FROM (SELECT "
          "KUMANDAADRESI,TABLECEVAP.KAYITNO,ADI,SOYADI,'{T}','{B}','','1','','5-A','','','60',"
          "SUM(1),CASE WHEN YANLISDOGRUGOTURU='0' THEN SUM(IIF(''||CEVAP<>'X' AND "
          "''||CEVAP=''||DOGRUSIK,1,0)) WHEN YANLISDOGRUGOTURU='1' THEN SUM(IIF(''||CEVAP<>'X' "
          "AND ''||CEVAP=''||DOGRUSIK,1,0))-(SUM(IIF(''||CEVAP<>'X' AND ''||CEVAP<>'' AND "
          "''||CEVAP<>''||DOGRUSIK,1,0))/3.0) ELSE SUM(IIF(''||CEVAP<>'X' AND "
          "''||CEVAP=''||DOGRUSIK,1,0))-(SUM(IIF(''||CEVAP<>'X' AND ''||CEVAP<>'' AND "
          "''||CEVAP<>''||DOGRUSIK,1,0))/4.0) END AS NET,SUM(IIF(''||CEVAP<>'X' AND "
          "''||CEVAP=''||DOGRUSIK,1,0)),SUM(IIF(''||CEVAP<>'X' AND ''||CEVAP<>'' AND "
          "''||CEVAP<>''||DOGRUSIK,1,0)),SUM(IIF(''||CEVAP='X' OR ''||CEVAP='',1,0)),"
          "printf('%02d:%02d',CAST(SUM(CDATE('00:'||CEVAPSURESI))*1440 AS INTEGER),"
          "CAST(SUM(CDATE('00:'||CEVAPSURESI))*86400 AS INTEGER)%60) AS TOPLAMSURE,"
          "SUM(CDATE('00:'||CEVAPSURESI)),'' FROM TABLECEVAP LEFT JOIN TABLEOGRENCI ON "
          "TABLECEVAP.KAYITNO=TABLEOGRENCI.KAYITNO WHERE ''||TESTTARIHI='{T}' AND "
          "''||TESTBASLANGIC='{B}' GROUP BY KUMANDAADRESI,TABLECEVAP.KAYITNO,ADI,SOYADI,"
          "YANLISDOGRUGOTURU) ORDER BY VAL(NET) DESC,CDATE('00:'||TOPLAMSURE) ASC")
          .replace(QStringLiteral("{T}"), t)
          .replace(QStringLiteral("{B}"), b),
  };
  for (const QString& sql : statements)
    if (Status s = store.run(sql); !s) return s;
  Result<QStringList> order =
      store.column(QStringLiteral("SELECT KUMANDAADRESI FROM TABLESONUC") + where +
                   QStringLiteral(" ORDER BY CDBL(NET) DESC,CDATE('00:'||TOPLAMSURE) ASC"));
  if (!order) return Status::failure(order.error());
  for (int k = 0; k < order->size(); ++k) {
    const QString rank = QString::number(k + 1);
    for (const char* table : {"TABLESONUC", "TABLECEVAP"})
      if (Status s =
              store.run(QStringLiteral("UPDATE %1 SET KACINCIOLDU='%2'")
                            .arg(QString::fromLatin1(table), rank) +
                        where + QStringLiteral(" AND ''||KUMANDAADRESI='%1'").arg(order->at(k)));
          !s)
        return s;
  }
  return {};
}

void leavingAQuestion() {
  const QString ours = QStringLiteral("delivery_leave_question_60_remotes_1m_answers");
  const QString old = QStringLiteral("delivery_leave_question_as_written_60_remotes_1m_answers");
  const QString lossy = QStringLiteral("delivery_leave_question_wal_no_sync_60_remotes_1m_answers");
  const QString walSynced =
      QStringLiteral("delivery_leave_question_wal_synced_60_remotes_1m_answers");
  if (!selected(ours) && !selected(old) && !selected(lossy) && !selected(walSynced)) return;
  QTemporaryDir dir;
  store::Store store(dir.path());
  if (!store.open() || !addClassAndTest(store, kRemotes, kQuestions) || !addPastRuns(store)) return;
  delivery::Recording recording(store);

  // Every question of a run that starts at `start` left once, each timed; sorted,
  // empty when a recording failed.
  auto leaveEvery = [&](const QString& start) {
    std::vector<double> ms;
    const delivery::RunRecord run = currentRun(start);
    for (int position = 1; position <= kQuestions; ++position) {
      const QList<delivery::TileAnswer> answers = answersOf(run);
      QElapsedTimer t;
      t.start();
      if (!ok(recording.CevaplariVeritabaninaYaz(run, position, QStringLiteral("B%1").arg(position),
                                                 answers),
              "kayıt"))
        return std::vector<double>();
      ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms;
  };
  const std::vector<double> oursMs = leaveEvery(QStringLiteral("10:15:00"));
  if (oursMs.empty()) return;
  const double oursMedian = median(oursMs);
  print(ours, kRemotes, oursMedian, oursMs.front(), oursMs.back(),
        QStringLiteral("\"journal\":\"truncate\",\"synchronous\":\"full\""));

  // The same step under other journal settings, measured in the same run: WAL
  // without a sync at the commit (what a power cut could undo: the price of the
  // durable commit), and WAL with a synced commit (durable, but a WAL main file
  // cannot commit together with a content store).
  struct Setting {
    QString name, journal, synchronous, start;
  };
  const QList<Setting> settings{
      {lossy, QStringLiteral("WAL"), QStringLiteral("NORMAL"), QStringLiteral("10:45:00")},
      {walSynced, QStringLiteral("WAL"), QStringLiteral("FULL"), QStringLiteral("10:50:00")}};
  for (const Setting& setting : settings) {
    if (!selected(setting.name)) continue;
    if (!ok(store.run(QStringLiteral("PRAGMA journal_mode=") + setting.journal), "journal") ||
        !ok(store.run(QStringLiteral("PRAGMA synchronous=") + setting.synchronous), "sync"))
      return;
    const std::vector<double> ms = leaveEvery(setting.start);
    if (ms.empty()) return;
    const double m = median(ms);
    print(setting.name, kRemotes, m, ms.front(), ms.back(),
          QStringLiteral("\"journal\":\"%1\",\"synchronous\":\"%2\",\"ours_minus_this_ms\":%3")
              .arg(setting.journal.toLower(), setting.synchronous.toLower())
              .arg(oursMedian - m, 0, 'f', 4));
  }
  if (!ok(store.run(QStringLiteral("PRAGMA journal_mode=TRUNCATE")), "truncate") ||
      !ok(store.run(QStringLiteral("PRAGMA synchronous=FULL")), "full"))
    return;
  if (!selected(old)) return;

  // The same step on the same data without any index of ours.
  const QStringList indexes =
      store
          .column(QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' AND name LIKE "
                                 "'IX\\_%' ESCAPE '\\'"))
          .valueOr({});
  for (const QString& index : indexes) (void)store.run(QStringLiteral("DROP INDEX %1").arg(index));
  std::vector<double> oldMs;
  const delivery::RunRecord run = currentRun(QStringLiteral("11:00:00"));
  for (int position = 1; position <= 3; ++position) {
    const QList<delivery::TileAnswer> answers = answersOf(run);
    QElapsedTimer t;
    t.start();
    if (!ok(leaveAsWritten(store, run, position, answers), "eski yol")) return;
    oldMs.push_back(double(t.nsecsElapsed()) / 1e6);
  }
  std::sort(oldMs.begin(), oldMs.end());
  const double oldMedian = median(oldMs);
  print(old, kRemotes, oldMedian, oldMs.front(), oldMs.back(),
        QStringLiteral("\"ratio_to_ours\":%1").arg(oldMedian / oursMedian, 0, 'f', 1));
}

void simulatedRun() {
  const QString name = QStringLiteral("delivery_simulated_run_40_remotes_20_questions");
  if (!selected(name)) return;
  QTemporaryDir dir;
  store::Store store(dir.path());
  if (!store.open() || !addClassAndTest(store, 40, kQuestions)) return;
  RecordedMessages messages;
  int seed = 0;
  measure(name, 40 * kQuestions, 5, [&] {
    delivery::SimulatedRun sim(store, messages);
    delivery::SimulatedRun::Options o;
    o.testNo = QStringLiteral("1");
    o.className = QStringLiteral("5-A");
    o.settings.duration = delivery::RunSettings::Duration::PerQuestion;
    o.settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
    o.settings.reportAtEnd = false;
    o.settings.remoteTestScreen = false;
    o.seed = quint32(++seed);
    if (!sim.run(o)) err << "benzetim başarısız\n";
  });
}

// A homework check of 100 and of 1,000 questions (the most the command line allows)
// by a class of 30, as `derslik-cli run free` runs it: the time per question must
// not grow with the run.
void freeRuns() {
  for (const int questions : {100, 1000}) {
    const QString name = QStringLiteral("delivery_free_run_30_remotes_%1_questions").arg(questions);
    if (!selected(name)) continue;
    QTemporaryDir dir;
    store::Store store(dir.path());
    if (!store.open() || !addClassAndTest(store, 30, 1)) return;
    Result<delivery::RunSettings> settings =
        delivery::RunSettings::loadForFreeQuestions(store.db());
    if (!settings) return;
    RecordedMessages messages;
    quint32 seed = 0;
    measure(name, questions, 3, [&] {
      delivery::SimulatedRun sim(store, messages);
      delivery::SimulatedRun::Options o;
      o.className = QStringLiteral("5-A");
      o.settings = settings.value();
      o.settings.remoteTestScreen = false;
      o.seed = ++seed;
      if (!sim.runFree(o, questions)) err << "ödev kontrolü başarısız\n";
    });
  }
}

// From the receiver's socket through the main window's receiver side and press
// routing to the run's change signal (what the presentation repaints on).
void pressToRunState() {
  const QString name = QStringLiteral("delivery_latency_socket_to_run_changed_60_remotes");
  if (!selected(name)) return;
  QTemporaryDir dir;
  store::Store store(dir.path());
  if (!store.open() || !addClassAndTest(store, kRemotes, kQuestions)) return;
  RunRig rig(store, kRemotes);
  if (!rig.ok()) return;
  delivery::RunSession& run = rig.run();
  QElapsedTimer clock;
  clock.start();
  qint64 changedAt = 0;
  qint64 changes = 0;
  QObject::connect(&run, &delivery::RunSession::changed, [&] {
    changedAt = clock.nsecsElapsed();
    ++changes;
  });

  // Each remote in turn: the blank key, then a letter, again and again; every
  // one of these presses changes its tile.
  constexpr int n = 6000;
  std::vector<double> ms;
  ms.reserve(n);
  for (int k = 0; k < n; ++k) {
    const int r = k % kRemotes;
    const QString letter = (k / kRemotes) % 2 ? QStringLiteral("A") : QStringLiteral("X");
    const QByteArray report = RunRig::press(1 + r, letter);
    const qint64 before = changes;
    const qint64 t0 = clock.nsecsElapsed();
    if (::write(rig.writeEnd(), report.constData(), size_t(report.size())) != report.size()) break;
    QElapsedTimer guard;
    guard.start();
    while (changes == before && guard.elapsed() < 1000)
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (changes == before) {
      err << "basış koşuya ulaşmadı\n";
      break;
    }
    ms.push_back(double(changedAt - t0) / 1e6);
  }
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  const double p99 = ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.99))];
  print(name, qint64(ms.size()), median(ms), ms.front(), ms.back(),
        QStringLiteral("\"p99_ms\":%1").arg(p99, 0, 'f', 4));
}

}  // namespace

void deliveryBenchmarks() {
  leavingAQuestion();
  simulatedRun();
  freeRuns();
  pressToRunState();
}

}  // namespace bench
