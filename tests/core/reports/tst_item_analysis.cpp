#include <QtTest>

#include "ReportsFixture.h"
#include "formats/Workbook.h"
#include "reports/ItemAnalysis.h"
#include "reports/RunReport.h"

using reports::ItemAnalysis;
using Remote = ReportsFixture::Remote;

namespace {

// Eight students, keys A B C, question 4 without a key:
//
//        Q1 Q2 Q3  total   rest score (total minus the item)
//   S1   A  B  C    3        Q1 2  Q2 2  Q3 2
//   S2   A  B  C    3           2     2     2
//   S3   A  B  D    2           1     1     2
//   S4   A  C  C    2           1     2     1
//   S5   B  B  C    2           2     1     1
//   S6   A  D  E    1           0     1     1
//   S7   C  X  E    0           0     0     0
//   S8   B  -  D    0           0     0     0
//
// Totals 3 3 2 2 2 1 0 0: mean 13/8 = 1.625, variance (population) = 9.875/8
// = 1.234375, SD = 1.1110.
// Facility p: Q1 5/8 = .625, Q2 4/8 = .5, Q3 4/8 = .5; sum of p(1-p) = .234375
// + .25 + .25 = .734375.
// KR-20 = 3/2 * (1 - .734375 / 1.234375) = 1.5 * .405063 = .6076;
// SEM = 1.1110 * sqrt(1 - .6076) = .6960.
// Corrected point-biserial of Q1, x = 1 1 1 1 0 1 0 0 against rest 2 2 1 1 2 0 0 0:
// Sxy = sum (x - .625)(rest - 1) = 1.0, Sxx = 1.875, Syy = 6.0,
// r = 1 / sqrt(11.25) = .2981. Q2: x = 1 1 1 0 1 0 0 0, rest 2 2 1 2 1 1 0 0:
// Sxy = 1.5, Sxx = 2, Syy = 4.875, r = 1.5 / sqrt(9.75) = .4804.
// Upper 27 % of 8 is 2 (S1, S2), lower 2 (S7, S8): Q1 (2 - 0)/2 = 1.
// Q1 option C (S7 only) against Q1's rest: Sxy = -1.0, Sxx = .875, Syy = 6,
// r = -1 / sqrt(5.25) = -.4364. Q2 blank rate: "X" and no answer, 2/8 = .25.
const char* const kAnswers[] = {"ABCA", "ABCB", "ABDC", "ACCD", "BBC-", "ADEA", "CXE-", "B-DA"};

ItemAnalysis::Findings handExample() {
  ItemAnalysis::Input in;
  in.respondents = 8;
  const QStringList keys{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QString()};
  for (int q = 0; q < 4; ++q) {
    ItemAnalysis::Item item{
        QString::number(q + 1), QStringLiteral("S%1").arg(q + 1), keys.at(q), {}};
    for (const char* row : kAnswers) {
      const QChar a = QLatin1Char(row[q]);
      const int option = QStringLiteral("ABCDE").indexOf(a);
      item.responses.push_back({option, !keys.at(q).isEmpty() && QString(a) == keys.at(q)});
    }
    in.items << item;
  }
  return ItemAnalysis::compute(in);
}

bool near(const std::optional<double>& v, double expected) {
  return v && std::abs(*v - expected) < 0.0005;
}

}  // namespace

class TestItemAnalysis : public QObject {
  Q_OBJECT

  ReportsFixture m_fx;

 private slots:
  void init() { m_fx.setUp(); }
  void cleanup() { m_fx.tearDown(); }

  void figuresOfTheHandExample() {
    const ItemAnalysis::Findings f = handExample();
    QCOMPARE(f.items.size(), 3);
    QCOMPARE(f.leftOut, QStringList{QStringLiteral("4")});
    QCOMPARE(f.respondents, 8);
    QVERIFY(near(f.mean, 1.625));
    QVERIFY(near(f.sd, 1.1110));
    QVERIFY(near(f.kr20, 0.6076));
    QVERIFY(near(f.sem, 0.6960));

    const ItemAnalysis::ItemFigures& q1 = f.items.at(0);
    QVERIFY(near(q1.facility, 0.625));
    QVERIFY(near(q1.discrimination, 0.2981));
    QVERIFY(near(q1.upperLower, 1.0));
    QVERIFY(near(q1.blank, 0));
    QCOMPARE(q1.options[2].count, 1);
    QVERIFY(near(q1.options[2].share, 0.125));
    QVERIFY(near(q1.options[2].pointBiserial, -0.4364));
    // The key's own line is the corrected discrimination; an option nobody chose
    // has no point-biserial.
    QVERIFY(near(q1.options[0].pointBiserial, 0.2981));
    QVERIFY(!q1.options[3].pointBiserial);

    const ItemAnalysis::ItemFigures& q2 = f.items.at(1);
    QVERIFY(near(q2.facility, 0.5));
    QVERIFY(near(q2.discrimination, 0.4804));
    QVERIFY(near(q2.blank, 0.25));
    // Nobody chose A or E in Q1 .. Q3: each says so, once.
    for (const ItemAnalysis::ItemFigures& item : f.items)
      QCOMPARE(item.flags, QStringList{ItemAnalysis::deadDistractor()});
  }

  void flagsATeacherActsOn() {
    // Ten students per question: (option chosen, right or not).
    const auto item = [](const QString& key, const QList<std::pair<int, bool>>& answers) {
      ItemAnalysis::Item i{QStringLiteral("1"), {}, key, {}};
      for (const auto& [option, correct] : answers) i.responses.push_back({option, correct});
      return i;
    };
    ItemAnalysis::Input in;
    in.respondents = 10;
    QList<std::pair<int, bool>> allRight, noneRight, reversed, strong;
    for (int s = 0; s < 10; ++s) {
      allRight << std::pair{0, true};
      noneRight << std::pair{1 + s % 4, false};
      // The first five do better on two other questions; here only the last five
      // are right.
      strong << std::pair{s < 5 ? 0 : 1, s < 5};
      reversed << std::pair{s < 5 ? 1 : 0, s >= 5};
    }
    in.items << item(QStringLiteral("A"), allRight) << item(QStringLiteral("A"), noneRight)
             << item(QStringLiteral("A"), reversed) << item(QStringLiteral("A"), strong)
             << item(QStringLiteral("A"), strong);
    const ItemAnalysis::Findings f = ItemAnalysis::compute(in);
    QVERIFY(f.items.at(0).flags.contains(ItemAnalysis::tooEasy()));
    QVERIFY(!f.items.at(0).discrimination);  // no spread, no figure, no discrimination flag
    QVERIFY(f.items.at(1).flags.contains(ItemAnalysis::tooHard()));
    QVERIFY(f.items.at(2).flags.contains(ItemAnalysis::negativeDiscrimination()));
    QVERIFY(!f.items.at(2).flags.contains(ItemAnalysis::lowDiscrimination()));
    // Nothing to compute from nobody.
    ItemAnalysis::Input empty;
    empty.items << item(QStringLiteral("A"), {});
    const ItemAnalysis::Findings none = ItemAnalysis::compute(empty);
    QVERIFY(none.items.at(0).flags.isEmpty());
    QVERIFY(!none.kr20);
  }

  void aRunAndATestOverItsRuns() {
    ReportsFixture::Run run;
    run.keys =
        QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QString()};
    for (int s = 0; s < 8; ++s)
      run.remotes << Remote{
          QStringLiteral("1-%1").arg(s + 1), {}, ReportsFixture::letters(kAnswers[s])};
    ReportsFixture::addRun(run);

    reports::RunReport report(ReportsFixture::db(), run.key);
    QVERIFY(report.load().ok());
    const ItemAnalysis::Findings single = report.itemAnalysis();
    QVERIFY(near(single.kr20, 0.6076));
    QCOMPARE(single.leftOut, QStringList{QStringLiteral("4")});

    // The same test again a week later with the same answers, but question 3 was
    // keyed D there: its answers are judged by that run's key.
    ReportsFixture::Run again = run;
    again.key = {QStringLiteral("19.10.2026"), QStringLiteral("09:00:00")};
    again.keys[2] = QStringLiteral("D");
    ReportsFixture::addRun(again);
    const Result<ItemAnalysis::Findings> both =
        reports::analyseTest(ReportsFixture::db(), QStringLiteral("12"));
    QVERIFY(both.ok());
    QCOMPARE(both->respondents, 16);
    QCOMPARE(both->items.size(), 3);
    QVERIFY(near(both->items.at(0).facility, 0.625));
    QCOMPARE(both->items.at(2).key, QStringLiteral("C/D"));
    // C right for four of the first eight, D right for two of the second.
    QVERIFY(near(both->items.at(2).facility, 6.0 / 16));
    QCOMPARE(both->leftOut, QStringList{QStringLiteral("4")});

    const QString path = m_fx.path(QStringLiteral("madde.xlsx"));
    QVERIFY(reports::writeItemAnalysisXlsx(single, report.title(), path).ok());
    const Result<formats::Workbook> book = formats::Workbook::open(path);
    QVERIFY(book.ok());
    QCOMPARE(book->cell(0, 2, 3), QStringLiteral("Güçlük"));
    QVERIFY(qAbs(book->cell(0, 3, 3).toDouble() - 0.625) < 0.01);
    QVERIFY(book->cell(0, 8, 0).contains(QStringLiteral("KR-20")));
  }
};

QTEST_MAIN(TestItemAnalysis)
#include "tst_item_analysis.moc"
