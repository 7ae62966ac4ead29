#include <QDir>
#include <QtTest>

#include "ReportsFixture.h"
#include "formats/Workbook.h"
#include "reports/Surveys.h"

using reports::ExpectationSurvey;
using reports::LeadershipSurvey;

namespace {

const reports::RunKey kRun{QStringLiteral("05.11.2026"), QStringLiteral("10:00:00")};

// One answer row of the survey run: question number (SORUNO and position) and letter.
void answer(const QString& address, const QString& kayitNo, int question, const QString& letter) {
  QVERIFY(ReportsFixture::db()
              .run(QStringLiteral("INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTBITIS,"
                                  "TESTNO,SORUNO,TESTSIRANO,KUMANDAADRESI,KAYITNO,CEVAP) VALUES "
                                  "(?,?,'10:30:00','90',?,?,?,?,?)"),
                   {kRun.date, kRun.start, QString::number(question), QString::number(question),
                    address, kayitNo, letter})
              .ok());
}

int criterion(const char* name) {
  const QList<ExpectationSurvey::Criterion>& all = ExpectationSurvey::criteria();
  for (int i = 0; i < all.size(); ++i)
    if (all.at(i).name == QLatin1String(name)) return i;
  return -1;
}

}  // namespace

class TestSurveys : public QObject {
  Q_OBJECT

  ReportsFixture m_fx;
  static store::Store& db() { return ReportsFixture::db(); }

 private slots:
  void init() {
    m_fx.setUp();
    ReportsFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("Can"),
                               QStringLiteral("5-A"));
    ReportsFixture::addStudent(QStringLiteral("2"), QStringLiteral("Ece"), QStringLiteral("Su"),
                               QStringLiteral("5-A"));
    ReportsFixture::addStudent(QStringLiteral("3"), QStringLiteral("Naz"), QStringLiteral("Ak"),
                               QStringLiteral("6-B"));
  }
  void cleanup() { m_fx.tearDown(); }

  void sharedRanksSkip() {
    QCOMPARE(ExpectationSurvey::ranks({10, 10, 7, 3, 7}), (QList<int>{1, 1, 3, 5, 3}));
    QCOMPARE(ExpectationSurvey::ranks({0, 0, 0}), (QList<int>{1, 1, 1}));
    QCOMPARE(ExpectationSurvey::criteria().size(), 11);
    for (const ExpectationSurvey::Criterion& c : ExpectationSurvey::criteria())
      QCOMPARE(c.answers.size(), 10);
  }

  void expectationScoresRanksAndDocuments() {
    // Ali: 1-A and 2-B count for the pay, 9-A for taking part in decisions.
    answer(QStringLiteral("1-1"), QStringLiteral("1"), 1, QStringLiteral("A"));
    answer(QStringLiteral("1-1"), QStringLiteral("1"), 2, QStringLiteral("B"));
    answer(QStringLiteral("1-1"), QStringLiteral("1"), 9, QStringLiteral("A"));
    // Ece: one for the pay (1-A), one for responsibility (3-A): both first.
    answer(QStringLiteral("1-2"), QStringLiteral("2"), 1, QStringLiteral("A"));
    answer(QStringLiteral("1-2"), QStringLiteral("2"), 3, QStringLiteral("A"));
    // Naz answered nothing; an unpaired remote answered 1-B (good colleagues).
    answer(QStringLiteral("1-3"), QStringLiteral("3"), 1, QString());
    answer(QStringLiteral("9-9"), QString(), 1, QStringLiteral("B"));

    const Result<ExpectationSurvey::Evaluation> e = ExpectationSurvey(db()).evaluate(kRun);
    QVERIFY(e.ok());
    QCOMPARE(e->students.size(), 4);
    QCOMPARE(e->people.at(0).name.full(), QStringLiteral("9-9"));
    QCOMPARE(e->people.at(1).name.full(), QStringLiteral("Ali Can"));
    const int pay = criterion("DOLGUNUCRET");
    const int decisions = criterion("KARARLARAKATILMAK");
    const int duty = criterion("SORUMLUISSAHIBI");
    const ExpectationSurvey::Sheet& ali = e->students.at(1);
    QCOMPARE(ali.scores.at(pay), 2);
    QCOMPARE(ali.scores.at(decisions), 1);
    QCOMPARE(std::accumulate(ali.scores.begin(), ali.scores.end(), 0), 3);
    QCOMPARE(ali.ranks.at(pay), 1);
    QCOMPARE(ali.ranks.at(decisions), 2);
    QCOMPARE(ali.ranks.at(duty), 3);
    QCOMPARE(ali.nameCaption, QStringLiteral("ADINIZ-SOYADINIZ : "));
    QCOMPARE(ali.date, QStringLiteral("05.11.2026"));
    const ExpectationSurvey::Sheet& ece = e->students.at(2);
    QCOMPARE(ece.ranks.at(pay), 1);
    QCOMPARE(ece.ranks.at(duty), 1);
    QCOMPARE(ece.ranks.at(decisions), 3);
    const ExpectationSurvey::Sheet& naz = e->students.at(3);
    QCOMPARE(naz.scores, QList<int>(11, 0));
    QCOMPARE(naz.ranks, QList<int>(11, 1));

    // Class 5-A sums Ali and Ece: the pay 3 first, then decisions and duty.
    QCOMPARE(e->classes.size(), 2);
    QCOMPARE(e->classes.at(0).name, QStringLiteral("5-A"));
    QCOMPARE(e->classes.at(0).nameCaption, QStringLiteral("Adınız-Soyadınız : "));
    QCOMPARE(e->classes.at(0).scores.at(pay), 3);
    QCOMPARE(e->classes.at(0).byRank().first(), pay);
    QCOMPARE(e->classes.at(0).ranks.at(decisions), 2);
    QCOMPARE(e->classes.at(0).ranks.at(duty), 2);
    QCOMPARE(e->classes.at(1).scores, QList<int>(11, 0));
    QCOMPARE(e->overall.scores.at(criterion("IYIISARKADASLIGI")), 1);

    const QString folder = reports::surveyFolder(db());
    const Result<QStringList> files = ExpectationSurvey::write(e.value(), folder);
    QVERIFY(files.ok());
    QCOMPARE(files->size(), (4 + 2 + 1) * 2);
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/Beklenti Anketi - Ali Can (5-A).odt")));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/Beklenti Anketi - 5-A Sınıfı.pdf")));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/Beklenti Anketi - Genel.odt")));
    // Written again, the files are replaced, not doubled.
    QVERIFY(ExpectationSurvey::write(e.value(), folder).ok());
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 14);
  }

  void leadershipScores() {
    QVERIFY(!LeadershipSurvey::counts(8, QStringLiteral("A")));
    QVERIFY(LeadershipSurvey::counts(8, QStringLiteral("D")));
    QVERIFY(LeadershipSurvey::peopleItem(8));
    QVERIFY(LeadershipSurvey::counts(1, QStringLiteral("B")));
    QVERIFY(!LeadershipSurvey::peopleItem(1));
    QVERIFY(!LeadershipSurvey::counts(1, QStringLiteral("E")));

    answer(QStringLiteral("1-1"), QStringLiteral("1"), 8, QStringLiteral("A"));
    answer(QStringLiteral("1-1"), QStringLiteral("1"), 8, QStringLiteral("D"));
    answer(QStringLiteral("1-1"), QStringLiteral("1"), 1, QStringLiteral("B"));
    answer(QStringLiteral("1-1"), QStringLiteral("1"), 3, QStringLiteral("A"));
    answer(QStringLiteral("1-1"), QStringLiteral("1"), 2, QStringLiteral("X"));
    const Result<QList<LeadershipSurvey::Score>> scores = LeadershipSurvey(db()).evaluate(kRun);
    QVERIFY(scores.ok());
    QCOMPARE(scores->size(), 1);
    QCOMPARE(scores->first().peopleOriented, 2);  // 8-D and 3-A
    QCOMPARE(scores->first().taskOriented, 1);    // 1-B

    const Result<QStringList> files =
        LeadershipSurvey::write(scores.value(), reports::surveyFolder(db()));
    QVERIFY(files.ok());
    QCOMPARE(QFileInfo(files->first()).fileName(),
             QStringLiteral("Liderlik Tarzı - Ali Can (5-A).xlsx"));
    const Result<formats::Workbook> book = formats::Workbook::open(files->first());
    QVERIFY(book.ok());
    QCOMPARE(book->cell(0, 0, 3), QStringLiteral("Ali Can"));  // D1
    QCOMPARE(book->cell(0, 1, 3), QStringLiteral("5-A"));      // D2
    QCOMPARE(book->cell(0, 3, 1), QStringLiteral("2"));        // B4
    QCOMPARE(book->cell(0, 4, 1), QStringLiteral("1"));        // B5
  }
};

QTEST_MAIN(TestSurveys)
#include "tst_surveys.moc"
