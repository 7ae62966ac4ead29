#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "TestSchool.h"
#include "reports/Majority.h"
#include "reports/Scoring.h"

using reports::Outcome;

namespace {

const reports::RunKey kRun{QStringLiteral("14.03.2026"), QStringLiteral("10:15:00")};
const reports::RunKey kOtherRun{QStringLiteral("14.03.2026"), QStringLiteral("11:00:00")};

}  // namespace

class TestScoring : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;
  store::Store& db() { return m_dir->store(); }

  // One question row of a run, with its key and the run's description.
  void question(const reports::RunKey& run, int position, const QString& key,
                const QString& penalty = QStringLiteral("1")) {
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,TESTBITIS,"
                                    "TESTNO,SORUNO,TESTSIRANO,DOGRUSIK,YANLISDOGRUGOTURU,TESTADI,"
                                    "SEVIYE,SINIFI,DERS,GRUP,ACIKLAMA) VALUES "
                                    "(?,?,'10:40:00','7',?,?,?,?,'Kesirler','5. SINIF','5-A',"
                                    "'MATEMATİK','Sabah','Tekrar')"),
                     {run.date, run.start, QString::number(100 + position),
                      QString::number(position), key, penalty})
                .ok());
  }
  // One answer row; the key on it is only a copy, written here as `copiedKey`.
  void answer(const reports::RunKey& run, const QString& address, int position,
              const QString& letter, const QString& time, const QString& kayitNo = {},
              const QString& penalty = QStringLiteral("1"), const QString& copiedKey = {}) {
    QVERIFY(
        db().run(QStringLiteral("INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTNO,"
                                "SORUNO,TESTSIRANO,KUMANDAADRESI,KAYITNO,CEVAP,CEVAPSURESI,"
                                "DOGRUSIK,YANLISDOGRUGOTURU) VALUES (?,?,'7',?,?,?,?,?,?,?,?)"),
                 {run.date, run.start, QString::number(100 + position), QString::number(position),
                  address, kayitNo, letter, time, copiedKey, penalty})
            .ok());
  }
  QStringList result(const QString& address, const reports::RunKey& run = kRun) {
    Result<QSqlQuery> q = db().exec(
        QStringLiteral("SELECT KAYITNO,ADI,SOYADI,TESTBITIS,TESTNO,SEVIYE,SINIFI,GRUP,ACIKLAMA,"
                       "KISISAYI,SORUSAYI,NET,DOGRUSAYI,YANLISSAYI,BOSSAYI,TOPLAMSURE,KACINCIOLDU,"
                       "DERS,TESTADI FROM TABLESONUC WHERE KUMANDAADRESI=? AND TESTTARIHI=? AND "
                       "TESTBASLANGIC=?"),
        {address, run.date, run.start});
    QStringList out;
    if (!q || !q.value().next()) return out;
    for (int i = 0; i < 19; ++i) out << q.value().value(i).toString();
    return out;
  }
  QStringList ranks(const reports::RunKey& run = kRun) {
    return db()
        .column(QStringLiteral("SELECT KUMANDAADRESI FROM TABLESONUC WHERE TESTTARIHI=? AND "
                               "TESTBASLANGIC=? ORDER BY CAST(KACINCIOLDU AS INTEGER)"),
                {run.date, run.start})
        .valueOr({});
  }
  int count(const QString& sql, const QVariantList& params = {}) {
    return db().scalar(sql, params).valueOr(-1).toInt();
  }

 private slots:
  void init() { QVERIFY(TempDataFolder::renew(m_dir)); }
  void cleanup() { m_dir.reset(); }

  void answersCountByTheKey_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("right letter") << "C"
                                  << "C" << int(Outcome::Correct);
    QTest::newRow("other letter") << "D"
                                  << "C" << int(Outcome::Wrong);
    QTest::newRow("blank key with key X") << "X"
                                          << "X" << int(Outcome::Blank);
    QTest::newRow("blank key") << "X"
                               << "A" << int(Outcome::Blank);
    QTest::newRow("silence with empty key") << ""
                                            << "" << int(Outcome::Unscored);
    QTest::newRow("letter without key") << "B"
                                        << "" << int(Outcome::Unscored);
    QTest::newRow("blank key without key") << "X"
                                           << "" << int(Outcome::Unscored);
  }
  void answersCountByTheKey() {
    QFETCH(QString, answer);
    QFETCH(QString, key);
    QFETCH(int, expected);
    QCOMPARE(int(reports::outcome(answer, key)), expected);
  }

  void netsByPenaltyMode_data() {
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no penalty") << 6 << 4 << "0"
                                << "6"
                                << "6.00";
    QTest::newRow("three wrongs") << 6 << 4 << "1"
                                  << "4.67"
                                  << "4.67";
    QTest::newRow("four wrongs") << 6 << 4 << "2"
                                 << "5"
                                 << "5.00";
    QTest::newRow("empty mode is four wrongs") << 6 << 4 << ""
                                               << "5"
                                               << "5.00";
    QTest::newRow("negative") << 0 << 3 << "1"
                              << "-1"
                              << "-1.00";
    QTest::newRow("quarter") << 0 << 1 << "2"
                             << "-0.25"
                             << "-0.25";
  }
  void netsByPenaltyMode() {
    QFETCH(int, correct);
    QFETCH(int, wrong);
    QFETCH(QString, mode);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    const double n = reports::net(correct, wrong, reports::penaltyFromStored(mode));
    QCOMPARE(reports::netText(n), stored);
    QCOMPARE(QString::number(n, 'f', 2), shown);
    // Written back, a mode reads the same; an empty one is written as the four wrongs it meant.
    QCOMPARE(reports::storedPenalty(reports::penaltyFromStored(mode)),
             mode.isEmpty() ? QStringLiteral("2") : mode);
  }

  void percentagesAndTimes() {
    QCOMPARE(reports::percent(1, 3), QStringLiteral("33.33"));
    QCOMPARE(reports::percent(2, 2), QStringLiteral("100.00"));
    QCOMPARE(reports::percent(0, 0), QStringLiteral("0.00"));
    QCOMPARE(reports::answerTimeText(5), QStringLiteral("0:05"));
    QCOMPARE(reports::answerTimeText(75), QStringLiteral("1:15"));
    QCOMPARE(reports::totalTimeText(75), QStringLiteral("01:15"));
    // An hour of answers stays in minutes, so it still sorts after 59:59.
    QCOMPARE(reports::totalTimeText(3605), QStringLiteral("60:05"));
    QCOMPARE(reports::answerSeconds(QStringLiteral("1:15")), 75);
    QCOMPARE(reports::answerSeconds(QStringLiteral("0:05")), 5);
    QCOMPARE(reports::answerSeconds(QString()), 0);
    QCOMPARE(reports::answerSeconds(QStringLiteral("x:1")), 0);
  }

  void majorityOfLetters_data() {
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("key");
    QTest::newRow("most often") << QStringList{"A", "B", "B", "C"} << "B";
    QTest::newRow("tie goes to the alphabet") << QStringList{"D", "B", "D", "B"} << "B";
    QTest::newRow("blanks and silence not counted")
        << QStringList{"X", "X", "", "", "", "E"} << "E";
    QTest::newRow("no letter") << QStringList{"X", "", ""} << "";
    QTest::newRow("nobody") << QStringList{} << "";
  }
  void majorityOfLetters() {
    QFETCH(QStringList, answers);
    QFETCH(QString, key);
    QCOMPARE(reports::majorityKey(answers), key);
  }

  // One row per remote, never per student number: two unpaired remotes share the
  // empty KAYITNO and still get a row each.
  void resultsAreRebuiltPerRemote() {
    TestSchool(db()).student(QStringLiteral("Ayşe"), QStringLiteral("5-A"), QStringLiteral("31"));
    for (int p = 1; p <= 3; ++p) question(kRun, p, QStringLiteral("ABC").mid(p - 1, 1));
    // 10-1: all right. 10-2 and 10-3: unpaired. 0-0: the virtual remote's answerer.
    answer(kRun, "10-1", 1, "A", "0:10", "31");
    answer(kRun, "10-1", 2, "B", "0:20", "31");
    answer(kRun, "10-1", 3, "C", "0:30", "31");
    answer(kRun, "10-2", 1, "A", "0:05");
    answer(kRun, "10-2", 2, "C", "0:05");
    answer(kRun, "10-2", 3, "", "1:00");
    answer(kRun, "10-3", 1, "X", "0:07");
    answer(kRun, "10-3", 2, "D", "0:08");
    answer(kRun, "10-3", 3, "E", "0:09");
    answer(kRun, "0-0", 1, "B", "0:01", "Can|Demir");
    answer(kRun, "0-0", 2, "B", "0:02", "Can|Demir");
    answer(kRun, "0-0", 3, "C", "0:03", "Can|Demir");
    QVERIFY(reports::Scoring(db()).rescoreRun(kRun).ok());

    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLESONUC")), 4);
    QCOMPARE(result("10-1"), (QStringList{"31", "Ayşe", "Yılmaz", "10:40:00", "7", "5. SINIF",
                                          "5-A", "Sabah", "Tekrar", "4", "3", "3", "3", "0", "0",
                                          "01:00", "1", "MATEMATİK", "Kesirler"}));
    // 1 correct, 1 wrong, 1 silent, three-wrong rule: 1 - 1/3.
    QCOMPARE(result("10-2").mid(9, 8),
             (QStringList{"4", "3", "0.67", "1", "1", "1", "01:10", "3"}));
    QCOMPARE(result("10-3").mid(11, 4), (QStringList{"-0.67", "0", "2", "1"}));
    QCOMPARE(result("0-0").mid(0, 3), (QStringList{"Can|Demir", "Can", "Demir"}));
    QCOMPARE(result("0-0").mid(11, 5), (QStringList{"1.67", "2", "1", "0", "00:06"}));
    QCOMPARE(ranks(), (QStringList{"10-1", "0-0", "10-2", "10-3"}));
    // The ranks are on the answers too, and the keys were copied onto them.
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE KUMANDAADRESI='10-3' AND "
                                  "KACINCIOLDU='4'")),
             3);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE DOGRUSIK=''")), 0);
  }

  // Higher net first; equal nets by the shorter total time; even equal times get
  // ranks of their own, the same on every rebuild.
  void equalNetsRankByTimeAndStayDistinct() {
    question(kRun, 1, "A", "0");
    question(kRun, 2, "B", "0");
    answer(kRun, "20-5", 1, "A", "0:30", {}, "0");
    answer(kRun, "20-5", 2, "C", "0:30", {}, "0");
    answer(kRun, "3-9", 1, "A", "0:10", {}, "0");
    answer(kRun, "3-9", 2, "D", "0:10", {}, "0");
    answer(kRun, "3-10", 1, "A", "0:10", {}, "0");
    answer(kRun, "3-10", 2, "X", "0:10", {}, "0");
    answer(kRun, "1-1", 1, "A", "0:50", {}, "0");
    answer(kRun, "1-1", 2, "B", "0:50", {}, "0");
    reports::Scoring scoring(db());
    QVERIFY(scoring.rescoreRun(kRun).ok());
    const QStringList first = ranks();
    QCOMPARE(first, (QStringList{"1-1", "3-9", "3-10", "20-5"}));
    QVERIFY(scoring.rescoreRun(kRun).ok());
    QCOMPARE(ranks(), first);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(DISTINCT KACINCIOLDU) FROM TABLESONUC")), 4);
  }

  // A key changed on the question row re-scores the run, and only that run.
  void rescoreFollowsTheKeyAndKeepsOtherRuns() {
    question(kRun, 1, "A", "0");
    answer(kRun, "4-4", 1, "B", "0:10", {}, "0", "A");
    question(kOtherRun, 1, "A", "0");
    answer(kOtherRun, "4-4", 1, "A", "0:10", {}, "0", "A");
    reports::Scoring scoring(db());
    QVERIFY(scoring.rescoreRun(kRun).ok());
    QVERIFY(scoring.rescoreRun(kOtherRun).ok());
    QCOMPARE(result("4-4").at(12), QStringLiteral("0"));

    QSignalSpy runs(&db(), &store::Store::runsChanged);
    QVERIFY(db().run(QStringLiteral("UPDATE TABLEUYGULAMA SET DOGRUSIK='B' WHERE TESTBASLANGIC=?"),
                     {kRun.start})
                .ok());
    QVERIFY(scoring.rescoreRun(kRun).ok());
    QCOMPARE(runs.count(), 1);
    QCOMPARE(result("4-4").at(12), QStringLiteral("1"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE DOGRUSIK='B'")), 1);
    QCOMPARE(result("4-4", kOtherRun).at(12), QStringLiteral("1"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLESONUC")), 2);
  }
};

QTEST_GUILESS_MAIN(TestScoring)
#include "tst_scoring.moc"
