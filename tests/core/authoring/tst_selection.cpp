// Automatic selection and blueprints, shuffling and booklet orders.
#include <QSet>
#include <QtTest>

#include <cmath>

#include "AuthoringFixture.h"
#include "authoring/AnswerKeyForm.h"
#include "authoring/AutoSelection.h"
#include "authoring/BookletOrders.h"
#include "authoring/RandomSource.h"

using namespace authoring;

class TestSelection : public QObject, AuthoringFixture {
  Q_OBJECT

  static QStringList order(const QString& testNo) {
    return column(QStringLiteral("SELECT SORUNO FROM TABLETESTSORU WHERE TESTNO=? ORDER BY "
                                 "VAL(TESTSIRANO)"),
                  {testNo});
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void selectionDrawsWithoutRepeatsUntilThePoolIsEmpty() {
    for (int i = 0; i < 6; ++i) addQuestion(QStringLiteral("5. SINIF"));
    for (int i = 0; i < 4; ++i)
      addQuestion(QStringLiteral("6. SINIF"), QStringLiteral("MATEMATİK"),
                  QStringLiteral("Kesirler"), QStringLiteral("B"), QStringLiteral("45"));
    const QString deleted = addQuestion(QStringLiteral("6. SINIF"));
    recordRun(QStringLiteral("50"), {deleted});
    QVERIFY(QuestionBank(db()).remove({deleted}).ok());
    const QString t = addTest();
    QVERIFY(TestQuestions(db()).add(t, {QStringLiteral("7")}));  // already in: never drawn
    RandomSource random(7);
    AutoSelection selection(db(), random);
    SelectionRow row;
    row.criteria.curriculum.level = QStringLiteral("6. SINIF");
    row.count = 10;
    QStringList progress;
    const Result<SelectionReport> r =
        selection.run(t, row, [&](int i, int k) { progress << AutoSelection::progressText(i, k); });
    QVERIFY2(r.ok(), qPrintable(r.error()));
    QCOMPARE(r->added, 3);
    QCOMPARE(r->message(), QStringLiteral("3 soru eklendi; ölçütlere uyan başka soru yok"));
    QCOMPARE(progress.first(), QStringLiteral("Eklenen : 1/10"));
    const QStringList keys = order(t);
    QCOMPARE(keys.size(), 4);
    QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), 4);
    QCOMPARE(QSet<QString>(keys.begin() + 1, keys.end()),
             QSet<QString>({QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10")}));
    QCOMPARE(positions(t).last().section(QLatin1Char(':'), 1), QStringLiteral("4"));
    // The question's own time becomes its time in the test.
    QCOMPARE(column(QStringLiteral("SELECT DISTINCT SURE FROM TABLETESTSORU WHERE TESTNO=? AND "
                                   "VAL(TESTSIRANO)>1"),
                    {t}),
             QStringList{QStringLiteral("45")});
    // An empty pool adds nothing and says so.
    const Result<SelectionReport> none = selection.run(t, row);
    QCOMPARE(none->added, 0);
    QCOMPARE(none->message(), QStringLiteral("0 soru eklendi; ölçütlere uyan başka soru yok"));
    // Questions used in no test: none of the test's own.
    SelectionRow unused;
    unused.criteria.usage = QuestionSearch::Usage::Unused;
    unused.count = 100;
    const QString other = addTest();
    QCOMPARE(selection.run(other, unused)->added, 6);
    QCOMPARE(AutoSelection::parseCount(QStringLiteral("x")).error(),
             QStringLiteral("Eklenecek Soru Sayısına lütfen sayı değeri giriniz"));
    QCOMPARE(AutoSelection::parseCount(QStringLiteral("0")).error(),
             QStringLiteral("Sıfırdan farklı bir sayı giriniz"));
  }

  void eachEligibleQuestionIsEquallyLikely() {
    for (int i = 0; i < 5; ++i) addQuestion();
    RandomSource random(11);
    QHash<QString, int> firstDrawn;
    const int runs = 400;
    for (int i = 0; i < runs; ++i) {
      const QString t = addTest();
      SelectionRow row;
      row.count = 1;
      QVERIFY(AutoSelection(db(), random).run(t, row).ok());
      ++firstDrawn[order(t).first()];
    }
    double chi = 0;
    for (int q = 1; q <= 5; ++q) {
      const double d = firstDrawn.value(QString::number(q)) - runs / 5.0;
      chi += d * d / (runs / 5.0);
    }
    QVERIFY2(chi < 18.47, qPrintable(QString::number(chi)));  // 4 degrees of freedom, p = 0.001
  }

  void aBlueprintFillsEachRowOnce() {
    for (int i = 0; i < 5; ++i)
      addQuestion(QStringLiteral("5. SINIF"), QStringLiteral("MATEMATİK"),
                  QStringLiteral("Ünite 1"));
    for (int i = 0; i < 5; ++i)
      addQuestion(QStringLiteral("5. SINIF"), QStringLiteral("MATEMATİK"),
                  QStringLiteral("Ünite 2"));
    QVERIFY(
        db().run(QStringLiteral("UPDATE TABLESORU SET ZORLUK='Zor' WHERE SORUNO IN "
                                "('1','2','6','7')")));
    const QString t = addTest();
    RandomSource random(3);
    SelectionRow unit1, unit2, hard;
    unit1.criteria.curriculum.unit = QStringLiteral("Ünite 1");
    unit1.count = 3;
    unit2.criteria.curriculum.unit = QStringLiteral("Ünite 2");
    unit2.count = 2;
    hard.criteria.zorluk = QStringLiteral("Zor");
    hard.count = 3;
    const Result<SelectionReport> r =
        AutoSelection(db(), random).runBlueprint(t, {unit1, unit2, hard});
    QVERIFY2(r.ok(), qPrintable(r.error()));
    QCOMPARE(r->rows.size(), 3);
    QCOMPARE(r->rows.at(0).added, 3);
    QCOMPARE(r->rows.at(1).added, 2);
    const QStringList keys = order(t);
    QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
    QCOMPARE(keys.size(), r->added);
    // The hard row takes what the unit rows left: never a question twice.
    for (const QString& k : r->rows.at(2).keys)
      QVERIFY(QStringList({"1", "2", "6", "7"}).contains(k));
    QCOMPARE(positions(t).last().section(QLatin1Char(':'), 1), QString::number(keys.size()));
    if (r->added < 8)
      QCOMPARE(r->message(),
               QStringLiteral("%1 soru eklendi; 3. satırın ölçütlerine uyan başka soru yok")
                   .arg(r->added));
    // A failing row leaves nothing of the blueprint behind.
    QVERIFY(
        db().run(QStringLiteral("CREATE TRIGGER BOZUK BEFORE INSERT ON TABLETESTSORU WHEN "
                                "NEW.SORUNO='10' BEGIN SELECT RAISE(ABORT,'x'); END")));
    const QString t2 = addTest();
    SelectionRow all;
    all.count = 10;
    QVERIFY(!AutoSelection(db(), random).runBlueprint(t2, {unit1, all}).ok());
    QCOMPARE(order(t2), QStringList());
  }

  void shufflesAreUniformAndKeepPositionsDense() {
    for (int i = 0; i < 3; ++i) addQuestion();
    const QString t = addTest();
    TestQuestions tq(db());
    QVERIFY(tq.add(t, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QVERIFY(db().run(QStringLiteral("UPDATE TABLETESTSORU SET BSIRASI=TESTSIRANO")));
    RandomSource random(2024);
    QHash<QString, int> seen;
    const int runs = 1200;
    for (int i = 0; i < runs; ++i) {
      QVERIFY(tq.shuffle(t, random));
      ++seen[order(t).join(QLatin1Char(','))];
    }
    QCOMPARE(seen.size(), 6);
    double chi = 0;
    for (int n : std::as_const(seen)) chi += std::pow(n - runs / 6.0, 2) / (runs / 6.0);
    QVERIFY2(chi < 20.52, qPrintable(QString::number(chi)));  // 5 degrees of freedom, p = 0.001
    QCOMPARE(
        column(QStringLiteral("SELECT TESTSIRANO FROM TABLETESTSORU ORDER BY VAL(TESTSIRANO)")),
        QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    // Booklet orders are the teacher's: a shuffle leaves them.
    QCOMPARE(column(QStringLiteral("SELECT BSIRASI FROM TABLETESTSORU ORDER BY SORUNO")),
             QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    const QString single = addTest();
    QVERIFY(tq.add(single, {QStringLiteral("1")}));
    QVERIFY(tq.shuffle(single, random));
    QCOMPARE(positions(single), QStringList{QStringLiteral("1:1")});
  }

  void bookletOrdersAreCheckedAndStoredAsTheFormShowsThem() {
    for (int i = 0; i < 3; ++i)
      addQuestion(QStringLiteral("5. SINIF"), QStringLiteral("MATEMATİK"), QStringLiteral("K"),
                  QStringList({"A", "B", "C"}).at(i));
    const QString t = addTest();
    QVERIFY(TestQuestions(db()).add(
        t, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    AnswerKeyForm form(db());
    QVERIFY(form.open(t));
    QCOMPARE(form.rowCount(), 3);
    QVERIFY(!form.setCell(Booklet::B, 0, QStringLiteral("3")));  // not ticked: not editable
    form.setBookletOn(Booklet::B, true);
    for (int k = 0; k < 3; ++k)
      QVERIFY(form.setCell(Booklet::B, k, QString::number(QList{3, 1, 2}[k])));
    QCOMPARE(form.answer(Booklet::B, 0), QStringLiteral("C"));
    QVERIFY(form.accept());
    QCOMPARE(column(QStringLiteral("SELECT BSIRASI FROM TABLETESTSORU WHERE TESTNO=? ORDER BY "
                                   "VAL(TESTSIRANO)"),
                    {t}),
             QStringList({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1")}));
    QCOMPARE(text(QStringLiteral("SELECT BKITAPCIK FROM TABLETEST WHERE TESTNO=?"), {t}),
             QStringLiteral("1"));
    // Reopened, the form shows the order and follows a changed key.
    QVERIFY(QuestionBank(db()).setCorrectChoice(QStringLiteral("3"), QStringLiteral("E")));
    AnswerKeyForm again(db());
    QVERIFY(again.open(t));
    QVERIFY(again.bookletOn(Booklet::B));
    QCOMPARE(again.cell(Booklet::B, 0), QStringLiteral("3"));
    QCOMPARE(again.answer(Booklet::B, 0), QStringLiteral("E"));

    // A duplicate or a missing position is named, and nothing is stored.
    again.setBookletOn(Booklet::C, true);
    for (int k = 0; k < 3; ++k)
      QVERIFY(again.setCell(Booklet::C, k, QString::number(QList{1, 3, 1}[k])));
    again.mark(0, QStringLiteral("D"));
    QCOMPARE(
        again.accept().error(),
        QStringLiteral("C kitapçığı: A sırasındaki 1. soru iki kez yazılmış (1. ve 3. sırada)."));
    QCOMPARE(QuestionBank(db()).load(QStringLiteral("1"))->dogruSik, QStringLiteral("A"));
    QCOMPARE(text(QStringLiteral("SELECT NZ(CKITAPCIK) FROM TABLETEST WHERE TESTNO=?"), {t}),
             QStringLiteral("0"));
    QCOMPARE(
        booklets::orderProblem(Booklet::D, {2, 3, 0}, 3),
        QStringLiteral("D kitapçığı: 3. sırada yazılan A sırası (0) 1 ile 3 arasında olmalıdır."));
    QCOMPARE(booklets::orderProblem(Booklet::D, {2, 3}, 3),
             QStringLiteral("D kitapçığı için 3 sıra gerekli, 2 sıra verildi."));
    BookletOrders orders(db());
    QCOMPARE(
        orders.setOrder(t, Booklet::D, {2, 2, 3}).error(),
        QStringLiteral("D kitapçığı: A sırasındaki 2. soru iki kez yazılmış (1. ve 2. sırada)."));
    QCOMPARE(orders.order(t, Booklet::B).valueOr({}), QList<int>({3, 1, 2}));
    QCOMPARE(booklets::parseOrder(QStringLiteral("3, 1,x")).error(),
             QStringLiteral("Sıra bir sayı olmalıdır: \"x\""));
  }
};

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
