#include <QtTest>

#include <QElapsedTimer>
#include <QHash>

#include <algorithm>

#include "RunFixture.h"
#include "delivery/SimulatedRun.h"
#include "reports/Scoring.h"

using delivery::SimulatedRun;

namespace {

const QString kKeys = QStringLiteral("ABCDEABCDE");

// What a tile ends with after these letters: the first letter stays, the blank key
// clears it and lets the next letter in.
QString finalAnswer(const QStringList& letters) {
  QString answer;
  bool answered = false;
  for (const QString& l : letters) {
    if (l == QLatin1String("X")) {
      answer = l;
      answered = false;
    } else if (!answered) {
      answer = l;
      answered = true;
    }
  }
  return answer;
}

}  // namespace

class TestSimulatedRun : public QObject, public RunFixture {
  Q_OBJECT

  SimulatedRun::Options options(const QString& testNo) {
    SimulatedRun::Options o;
    o.testNo = testNo;
    o.className = QStringLiteral("5-A");
    o.at = QDateTime(QDate(2026, 3, 14), QTime(10, 15));
    o.settings.duration = delivery::RunSettings::Duration::PerQuestion;
    o.settings.penalty = delivery::RunSettings::Penalty::ThreeWrongs;
    o.settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
    o.settings.reportAtEnd = false;
    o.settings.remoteTestScreen = false;
    o.seed = 7;
    return o;
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void answersFiles_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("ok") << "# yorum\n12-201 AB-X 1,2,3,4.5\n\n12-202 cd\n"
                        << "";
    QTest::newRow("address") << "12-2O1 AB"
                             << "Cevap dosyası, satır 1: geçersiz kumanda adresi: 12-2O1";
    QTest::newRow("letter") << "12-201 AF"
                            << "Cevap dosyası, satır 1: geçersiz harf 'F' (A-E, boş "
                               "tuşu için X, basılmadıysa -)";
    QTest::newRow("times") << "12-201 AB 1"
                           << "Cevap dosyası, satır 1: 2 harf için 1 süre verilmiş.";
    QTest::newRow("twice") << "1-1 A\n1-1 B"
                           << "Cevap dosyası, satır 2: kumanda iki kez yazılmış: 1-1";
    QTest::newRow("infinite time") << "1-1 A inf"
                                   << "Cevap dosyası, satır 1: geçersiz süre: inf";
    QTest::newRow("not a number") << "1-1 A nan"
                                  << "Cevap dosyası, satır 1: geçersiz süre: nan";
    QTest::newRow("words") << "1-1"
                           << "Cevap dosyası, satır 1: \"ADRES HARFLER [SANİYELER]\" "
                              "bekleniyordu.";
  }
  void answersFiles() {
    QFETCH(QString, text);
    QFETCH(QString, error);
    const Result<QList<delivery::ScriptedRemote>> parsed = SimulatedRun::parseAnswers(text);
    if (!error.isEmpty()) {
      QCOMPARE(parsed.error(), error);
      return;
    }
    QVERIFY(parsed.ok());
    QCOMPARE(parsed->size(), 2);
    QCOMPARE(parsed->at(0).letters, QStringLiteral("AB-X"));
    QCOMPARE(parsed->at(0).seconds, (QList<double>{1, 2, 3, 4.5}));
    QCOMPARE(parsed->at(1).letters, QStringLiteral("CD"));
  }

  // Every one of the 65,536 addresses, then one again: the double is found at
  // once (a hash, not every pair; 100,000 lines took 22 s).
  void manyRemotesReadQuickly() {
    QString text;
    for (int i = 0; i < 65536; ++i) text += QStringLiteral("%1-%2 A\n").arg(i / 256).arg(i % 256);
    text += QStringLiteral("255-255 B\n");
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(SimulatedRun::parseAnswers(text).error(),
             QStringLiteral("Cevap dosyası, satır 65537: kumanda iki kez yazılmış: 255-255"));
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
  }

  // Thirty remotes answer a ten-question test through the receiver's reports, the
  // decoder, the repeat window and the teacher test to the run and its recording:
  // every stored answer is the one the presses make, none lost, none doubled, and
  // the results and ranks follow from them.
  void aClassAnswersATest() {
    addTeacherRemote();
    const QStringList remotes = addClass(QStringLiteral("5-A"), 30);
    addTest(QStringLiteral("7"), kKeys);
    SimulatedRun::Options o = options(QStringLiteral("7"));
    // Ten remotes follow a script, twenty answer at random (with repeated reports
    // of a held button and changes of mind).
    o.scripted = SimulatedRun::parseAnswers(
                     "10-1 ABCDEABCDE 1,1,1,1,1,1,1,1,1,1\n"
                     "10-2 ABCDEABCDE 2,2,2,2,2,2,2,2,2,2\n"
                     "10-3 BBBBBBBBBB\n"
                     "10-4 XXXXX-----\n"
                     "10-5 ----------\n"
                     "10-6 ABCDE\n"
                     "10-7 EDCBAEDCBA 29,28,27,26,25,24,23,22,21,20\n"
                     "10-8 AXAXAXAXAX\n"
                     "10-9 ABCDEEDCBA 3,3,3,3,3,3,3,3,3,3\n"
                     "10-10 CCCCCCCCCC 30,0,0,0,0,0,0,0,0,0\n")
                     .value();
    RunFixture::messages().clear();
    SimulatedRun sim(db(), messages());
    const Result<reports::RunKey> key = sim.run(o);
    QVERIFY2(key.ok(), qPrintable(key.error()));
    QCOMPARE(key->date, QStringLiteral("14.03.2026"));
    QVERIFY(messages().shown().isEmpty());

    // One row per remote per question.
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP"), 300);
    QCOMPARE(count("SELECT COUNT(*) FROM (SELECT DISTINCT TESTSIRANO,KUMANDAADRESI FROM "
                   "TABLECEVAP) AS D"),
             300);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLEUYGULAMA"), 10);
    // Each stored answer is what that remote's presses during that question make.
    QHash<QString, QStringList> pressed;
    for (const SimulatedRun::Sent& s : sim.sent())
      pressed[QString::number(s.position) + QLatin1Char('/') + s.address] << s.letter;
    QVERIFY(sim.sent().size() > 300);
    Result<QSqlQuery> rows =
        db().exec(QStringLiteral("SELECT TESTSIRANO,KUMANDAADRESI,CEVAP,KAYITNO FROM TABLECEVAP"));
    QVERIFY(rows.ok());
    int checked = 0;
    while (rows.value().next()) {
      const QString k =
          rows.value().value(0).toString() + QLatin1Char('/') + rows.value().value(1).toString();
      QCOMPARE(rows.value().value(2).toString(), finalAnswer(pressed.value(k)));
      QCOMPARE(rows.value().value(3).toString(),
               QString::number(1000 + rows.value().value(1).toString().mid(3).toInt()));
      ++checked;
    }
    QCOMPARE(checked, 300);
    // The scripts: times as sent, a press at the last second kept, a blank key
    // followed by a letter.
    QCOMPARE(stored(1).first(), QStringLiteral("10-1=A@0:01"));
    QCOMPARE(text("SELECT CEVAP||'@'||CEVAPSURESI FROM TABLECEVAP WHERE KUMANDAADRESI='10-10' AND "
                  "TESTSIRANO='1'"),
             QStringLiteral("C@0:30"));
    QCOMPARE(text("SELECT CEVAP||'@'||CEVAPSURESI FROM TABLECEVAP WHERE KUMANDAADRESI='10-7' AND "
                  "TESTSIRANO='10'"),
             QStringLiteral("A@0:20"));
    QCOMPARE(
        text("SELECT DOGRUSAYI||'/'||YANLISSAYI||'/'||BOSSAYI||' '||NET||' '||TOPLAMSURE||' '||"
             "KACINCIOLDU FROM TABLESONUC WHERE KUMANDAADRESI='10-1'"),
        QStringLiteral("10/0/0 10 00:10 1"));
    QCOMPARE(text("SELECT KACINCIOLDU FROM TABLESONUC WHERE KUMANDAADRESI='10-2'"),
             QStringLiteral("2"));
    QCOMPARE(text("SELECT DOGRUSAYI||'/'||YANLISSAYI||'/'||BOSSAYI||' '||NET FROM TABLESONUC WHERE "
                  "KUMANDAADRESI='10-3'"),
             QStringLiteral("2/8/0 -0.67"));

    // Results: one row per remote; ranks 1..30 by net, then the shorter time.
    Result<QSqlQuery> results = db().exec(QStringLiteral(
        "SELECT NET,TOPLAMSURE,KACINCIOLDU,DOGRUSAYI,YANLISSAYI,KUMANDAADRESI FROM TABLESONUC "
        "ORDER BY CAST(KACINCIOLDU AS INTEGER)"));
    QVERIFY(results.ok());
    int rank = 0;
    double lastNet = 1e9;
    int lastTime = 0;
    while (results.value().next()) {
      const QSqlQuery& r = results.value();
      QCOMPARE(r.value(2).toInt(), ++rank);
      const double net = r.value(0).toDouble();
      const int time = reports::answerSeconds(r.value(1).toString());
      QVERIFY(net <= lastNet);
      if (net == lastNet) QVERIFY(time >= lastTime);
      QCOMPARE(r.value(0).toString(),
               reports::netText(reports::net(r.value(3).toInt(), r.value(4).toInt(),
                                             reports::Penalty::ThreeWrongs)));
      lastNet = net;
      lastTime = time;
    }
    QCOMPARE(rank, 30);
    QVERIFY(remotes.size() == 30);
  }

  // Untimed questions wait for the teacher remote's B, on the pages before the
  // questions too; forty remotes and twenty questions take well under a second.
  void teacherRemoteDrivesAnUntimedRun() {
    addTeacherRemote();
    addClass(QStringLiteral("5-A"), 40);
    addTest(QStringLiteral("9"), kKeys + kKeys, {}, QStringLiteral("Uzun"), true);
    SimulatedRun::Options o = options(QStringLiteral("9"));
    o.settings.duration = delivery::RunSettings::Duration::Untimed;
    o.settings.reportAtEnd = true;
    SimulatedRun sim(db(), messages());
    QElapsedTimer timer;
    timer.start();
    const Result<reports::RunKey> key = sim.run(o);
    QVERIFY2(key.ok(), qPrintable(key.error()));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP"), 800);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESONUC"), 40);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLEUYGULAMA WHERE TESTBITIS<>''"), 20);
  }

  // What the simulation refuses before anything is recorded.
  void refusals() {
    addTeacherRemote();
    addClass(QStringLiteral("5-A"), 2);
    addTest(QStringLiteral("7"), kKeys);
    addTest(QStringLiteral("8"), QString());
    SimulatedRun sim(db(), messages());
    SimulatedRun::Options o = options(QStringLiteral("99"));
    QCOMPARE(sim.run(o).error(), QStringLiteral("Test Bulunamadı"));
    o = options(QStringLiteral("8"));
    QCOMPARE(sim.run(o).error(), QStringLiteral("İçerisinde soru olmayan bir test uygulanamaz"));
    o = options(QStringLiteral("7"));
    o.className = QStringLiteral("9-Z");
    QCOMPARE(sim.run(o).error(), QStringLiteral("Sınıf bulunamadı: 9-Z"));
    o = options(QStringLiteral("7"));
    o.scripted = SimulatedRun::parseAnswers("20-1 AB").value();
    QCOMPARE(sim.run(o).error(),
             QStringLiteral("Cevap dosyasındaki kumanda bu uygulamada yok: 20-1 (sınıf 5-A)"));
    // A press time past the question's 30 seconds would be waited for (1e11 s
    // took hours); an untimed question allows an hour.
    o = options(QStringLiteral("7"));
    o.scripted = SimulatedRun::parseAnswers("10-1 AB 5,1e11").value();
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(sim.run(o).error(),
             QStringLiteral("Cevap dosyasında 10-1 için 2. sorunun basış zamanı (1e+11 sn) "
                            "sorunun süresinden (30 sn) uzun."));
    QVERIFY(clock.elapsed() < 2000);
    o.settings.duration = delivery::RunSettings::Duration::Untimed;
    o.scripted = SimulatedRun::parseAnswers("10-1 AB 5,3601").value();
    QCOMPARE(sim.run(o).error(),
             QStringLiteral("Cevap dosyasında 10-1 için 2. sorunun basış zamanı (3601 sn) "
                            "sorunun süresinden (3600 sn, süresiz bir soru için en çok) uzun."));
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP"), 0);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLEUYGULAMA"), 0);
  }
};

QTEST_GUILESS_MAIN(TestSimulatedRun)
#include "tst_simulatedrun.moc"
