// Tests and their questions: numbering, the test search, positions through
// adds, removals and moves, the shared answer key, the answer key form,
// statistics, deleting tests and renumbering a test everywhere.
#include <QDir>
#include <QtTest>

#include "AuthoringFixture.h"
#include "authoring/AnswerKeyForm.h"
#include "authoring/ClipSession.h"
#include "authoring/QuestionMedia.h"
#include "authoring/TestForm.h"
#include "authoring/TestRenumbering.h"
#include "authoring/TestSearchChoices.h"
#include "curriculum/CurriculumLists.h"
#include "curriculum/Units.h"
#include "lists/FilterLists.h"
#include "store/ContentStores.h"
#include "store/Numbers.h"
#include "store/SavedControls.h"

using namespace authoring;

class TestComposition : public QObject, AuthoringFixture {
  Q_OBJECT

  static QList<int> ids(const QString& testNo, std::initializer_list<int> positionList) {
    QList<int> out;
    for (int p : positionList)
      out << count(QStringLiteral("SELECT ID FROM TABLETESTSORU WHERE TESTNO=? AND TESTSIRANO=?"),
                   {testNo, QString::number(p)});
    return out;
  }
  static QStringList order(const QString& testNo) {
    return column(QStringLiteral("SELECT SORUNO FROM TABLETESTSORU WHERE TESTNO=? ORDER BY "
                                 "VAL(TESTSIRANO)"),
                  {testNo});
  }
  static QStringList keysOf(std::initializer_list<int> numbers) {
    QStringList out;
    for (int n : numbers) out << QString::number(n);
    return out;
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void searchListsNumericKeysFirstAndNeverSerbest() {
    QCOMPARE(addTest(), QStringLiteral("1"));
    QCOMPARE(addTest(QStringLiteral("Işık ve Ses")), QStringLiteral("2"));
    for (const char* key : {"Serbest", "ABCDEFGH000001", "10"})
      QVERIFY(db().run(QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI) VALUES (?,'x')"),
                       {QLatin1String(key)}));
    QCOMPARE(addTest(), QStringLiteral("11"));
    const store::Query q = TestSearch{}.query();
    QStringList found;
    Result<QSqlQuery> rows = db().exec(q.sql, q.params);
    QVERIFY(rows.ok());
    while (rows.value().next()) found << rows.value().value(0).toString();
    QCOMPARE(found, QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("10"),
                                 QStringLiteral("11"), QStringLiteral("ABCDEFGH000001")}));
    TestSearch byName;
    byName.name = QStringLiteral("ışık");
    const store::Query n = byName.query();
    QCOMPARE(db().column(n.sql, n.params).valueOr({}), QStringList{QStringLiteral("2")});
    QCOMPARE(TestCatalog(db()).create(Test{}).error(),
             QStringLiteral("Lütfen testin adını giriniz."));
    // The panel's choices come back by their texts. Places an older Derslik kept
    // are read against the lists the panel fills, the curriculum ones as they
    // cascade from the top; a place past the end is "TÜMÜ".
    const QStringList levels = curriculum::SeviyeDoldur(db());
    const QStringList courses = curriculum::DersDoldur(db());
    for (const char* unit : {"KESİRLER", "ONDALIK"})
      QVERIFY(curriculum::Units(db()).add({levels.at(2), courses.at(1), QString::fromUtf8(unit)}));
    Test byAuthor;
    byAuthor.testAdi = QStringLiteral("Sesler");
    byAuthor.hazirlayan = QStringLiteral("Zeynep Öğretmen");
    QVERIFY(TestCatalog(db()).create(byAuthor));
    store::SavedControls old(kTestScreen);
    const std::pair<const char*, int> places[] = {{"cmbSeviyeAra", 2},     {"cmbDersAra", 1},
                                                  {"cmbUniteAra", 2},      {"cmbKonuAra", 5},
                                                  {"cmbHazirlayanAra", 2}, {"cmbUygulanma", 2}};
    for (const auto& [control, at] : places) old.setPosition(QString::fromLatin1(control), at, 1);
    QVERIFY(old.save(db().db()));
    TestSearchChoices choices = TestSearchChoices::load(db()).value();
    QCOMPARE(choices.curriculum,
             (curriculum::CurriculumFilter{levels.at(2), courses.at(1), QStringLiteral("ONDALIK"),
                                           lists::kTumu, lists::kTumu}));
    QCOMPARE(choices.author, QStringLiteral("Zeynep Öğretmen"));  // "TÜMÜ", "", "Zeynep ..."
    QCOMPARE(choices.applied, QStringLiteral("UYGULANMAYAN"));
    choices.name = QStringLiteral("Işık");
    QVERIFY(choices.save(db().db()));
    byAuthor.hazirlayan = QStringLiteral("Ayşe Öğretmen");
    QVERIFY(TestCatalog(db()).create(byAuthor));
    QCOMPARE(TestSearchChoices::load(db()).valueOr({}), choices);
  }

  void positionsStayDenseThroughAddsRemovalsAndMoves() {
    for (int i = 0; i < 6; ++i) addQuestion();
    const QString t = addTest();
    TestQuestions tq(db());
    QVERIFY(tq.add(t, keysOf({3, 1, 2})));
    QVERIFY(tq.add(t, keysOf({5, 4})));
    QCOMPARE(order(t), keysOf({3, 1, 2, 5, 4}));
    QCOMPARE(positions(t).last(), QStringLiteral("4:5"));
    // Refusals name the problem and add nothing.
    QCOMPARE(tq.add(t, {QStringLiteral("99")}).error(), QStringLiteral("Soru Bulunamadı"));
    QCOMPARE(tq.add(t, {QStringLiteral("1")}).error(),
             QStringLiteral("Soru zaten bu teste eklenmiş"));
    QCOMPARE(tq.add(t, keysOf({6, 1})).error(), QStringLiteral("Soru zaten bu teste eklenmiş (1)"));
    QCOMPARE(tq.count(t).valueOr(-1), 5);
    // The question's own time goes with it.
    QCOMPARE(
        text(QStringLiteral("SELECT SURE FROM TABLETESTSORU WHERE TESTNO=? AND SORUNO='6'"), {t}),
        QString());
    QVERIFY(tq.addWithTime(t, QStringLiteral("6"), QStringLiteral("45")));
    QCOMPARE(
        text(QStringLiteral("SELECT SURE FROM TABLETESTSORU WHERE TESTNO=? AND SORUNO='6'"), {t}),
        QStringLiteral("45"));

    QVERIFY(tq.remove(t, ids(t, {2, 4})));
    QCOMPARE(order(t), keysOf({3, 2, 4, 6}));
    QCOMPARE(positions(t), QStringList({QStringLiteral("3:1"), QStringLiteral("2:2"),
                                        QStringLiteral("4:3"), QStringLiteral("6:4")}));
    // The first up and the last down do nothing; a block at the top stays.
    QVERIFY(tq.moveUp(t, ids(t, {1})));
    QVERIFY(tq.moveDown(t, ids(t, {4})));
    QCOMPARE(order(t), keysOf({3, 2, 4, 6}));
    QVERIFY(tq.moveUp(t, ids(t, {1, 2})));
    QCOMPARE(order(t), keysOf({3, 2, 4, 6}));
    // Moved rows keep their IDs (the selection) and move together.
    const QList<int> selected = ids(t, {3, 4});
    QVERIFY(tq.moveUp(t, selected));
    QCOMPARE(order(t), keysOf({3, 4, 6, 2}));
    QCOMPARE(ids(t, {2, 3}), selected);
    QVERIFY(tq.moveDown(t, ids(t, {1, 3})));
    QCOMPARE(order(t), keysOf({4, 3, 2, 6}));

    QVERIFY(tq.setSection(t, ids(t, {1, 2}), QStringLiteral(" Sayılar ")));
    QCOMPARE(
        column(QStringLiteral("SELECT NZ(BOLUM) FROM TABLETESTSORU WHERE TESTNO=? ORDER BY "
                              "VAL(TESTSIRANO)"),
               {t}),
        QStringList({QStringLiteral("Sayılar"), QStringLiteral("Sayılar"), QString(), QString()}));
    QVERIFY(!tq.setTime(t, ids(t, {1}), QStringLiteral("çok")));
    QVERIFY(tq.setTime(t, ids(t, {1}), QStringLiteral("Süresiz")));
  }

  void aCorrectChoiceIsOneForEveryTestAndTheSummaryCounts() {
    const QString q1 = addQuestion(), q2 = addQuestion();
    const QString t1 = addTest(), t2 = addTest(), empty = addTest();
    TestQuestions tq(db());
    QVERIFY(tq.add(t1, {q1, q2}));
    QVERIFY(tq.add(t2, {q2}));
    TestForm form(db());
    QVERIFY(form.open());
    QVERIFY(form.load(t1));
    QVERIFY(form.setCorrectChoice(q2, QStringLiteral("D")));
    QCOMPARE(tq.list(t2)->first().dogruSik, QStringLiteral("D"));
    // The answer key form of one test changes the other's too.
    AnswerKeyForm key(db());
    QVERIFY(key.open(t2));
    key.mark(0, QStringLiteral("B"));
    QVERIFY(key.accept());
    QCOMPARE(tq.list(t1)->at(1).dogruSik, QStringLiteral("B"));

    const TestSummary none = TestCatalog(db()).summary(empty).value();
    QCOMPARE(none.questionsText(), QStringLiteral("0 Soru"));
    QCOMPARE(none.timeText(), QStringLiteral("Süresiz"));
    QCOMPARE(form.questionsText(), QStringLiteral("2 Soru"));
    QCOMPARE(form.timeText(), QStringLiteral("60 sn"));
    QVERIFY(form.load(empty));
    QCOMPARE(form.previewTest().error(), QStringLiteral("Lütfen önce teste soru ekleyiniz"));
    QVERIFY(form.loadByNumber(QStringLiteral("Serbest")).error() ==
            QStringLiteral("Test Bulunamadı"));
  }

  void theTestFormSavesAndAppliesItsInformation() {
    const QString q1 = addQuestion();
    TestForm form(db());
    QVERIFY(form.open());
    QCOMPARE(form.saveCaption(), QStringLiteral("Ekle"));
    QVERIFY(!form.savedTestShown());
    QCOMPARE(form.fields().soruSayilariniGoster, QStringLiteral("0"));
    form.fields().testAdi = QStringLiteral("Kesirler Testi");
    form.fields().seviye = QStringLiteral("6. SINIF");
    form.fields().ders = QStringLiteral("MATEMATİK");
    form.fields().unite = QStringLiteral("Sayılar");
    form.fields().konu = QStringLiteral("Kesir");
    form.fields().kazanim = QStringLiteral("M.6.1");
    QVERIFY(form.save(messages()));
    QCOMPARE(form.saveCaption(), QStringLiteral("Kaydet"));
    QVERIFY(form.savedTestShown());
    QVERIFY(form.addByNumber(q1));
    QCOMPARE(form.questionsText(), QStringLiteral("1 Soru"));
    form.fields().testAdi = QStringLiteral("Kesirler");
    messages().setNextAnswer(Messages::Answer::Yes);
    QVERIFY(form.save(messages()));
    QCOMPARE(messages().lastText(), TestCatalog::applyQuestion());
    const Question q = QuestionBank(db()).load(q1).value();
    QCOMPARE(q.seviye, QStringLiteral("6. SINIF"));
    QCOMPARE(q.konu, QStringLiteral("Kesir"));
    QCOMPARE(q.kazanim, QString());  // the outcome is not applied
    QCOMPARE(form.statistics().valueOr({}),
             QStringLiteral("1 SORU  (6. SINIF - MATEMATİK - Kesir)"));
    // Deleting the test keeps its questions.
    messages().setNextAnswer(Messages::Answer::Yes);
    QVERIFY(form.remove(messages()));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLETESTSORU")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), 1);
    QCOMPARE(form.saveCaption(), QStringLiteral("Ekle"));
  }

  void theHeaderIsReplacedNotAddedAgain() {
    const QString t = addTest();
    TestCatalog catalog(db());
    QVERIFY(catalog.update(catalog.load(t).value(), picture(QStringLiteral("başlangıç"))));
    QVERIFY(catalog.setHeader(t, QByteArray("<p>bir</p>")));
    QVERIFY(catalog.setHeader(t, QByteArray("<p>iki</p>")));
    QVERIFY(db().contents().attach(store::StoreKind::Test, 2));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TEST2.TABLETEST WHERE TESTNO=?"), {t}), 1);
    QCOMPARE(catalog.header(t).valueOr({}), QByteArray("<p>iki</p>"));
    QCOMPARE(catalog.startScreen(t).valueOr({}), picture(QStringLiteral("başlangıç")));
  }

  void renumberingReKeysEverywhereInOneGo() {
    // Test 1 holds questions 1..3; test 2 shares question 2; a run of test 1 is recorded.
    const QString q1 = addQuestion(), q2 = addQuestion(), q3 = addQuestion(), q4 = addQuestion();
    QuestionBank bank(db());
    QFile sound(path(QStringLiteral("s.mp3")));
    QVERIFY(sound.open(QIODevice::WriteOnly));
    sound.write("ses");
    sound.close();
    QVERIFY(bank.update(bank.load(q2).value(), std::nullopt, {sound.fileName(), std::nullopt}));
    const QString t1 = addTest(), t2 = addTest();
    TestQuestions tq(db());
    QVERIFY(tq.add(t1, {q1, q2, q3}));
    QVERIFY(tq.add(t2, {q4, q2}));
    recordRun(t1, {q1, q2, q3});
    // A second question store holds question 3's picture.
    QVERIFY(db().contents().create(store::StoreKind::Question).ok());
    QVERIFY(db().contents().remove(store::StoreKind::Question, q3));
    QVERIFY(
        db().contents().write(store::StoreKind::Question, q3, picture(QStringLiteral("üç")), {}));
    QCOMPARE(db().contents().find(store::StoreKind::Question, q3).valueOr(0), 3);

    TestRenumbering renumbering(db());
    // Taken keys are refused and nothing changes.
    QCOMPARE(renumbering.renumber(t1, t2).error(),
             QStringLiteral("2 numaralı bir test zaten var; başka bir numara giriniz."));
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLESORU (SORUNO) VALUES ('12002')")));
    QVERIFY(renumbering.renumber(t1, QStringLiteral("12"))
                .error()
                .startsWith(QStringLiteral("12002 numaralı soru zaten var")));
    QVERIFY(!renumbering.renumber(t1, QStringLiteral("abc")).ok());
    QCOMPARE(order(t1), QStringList({q1, q2, q3}));
    QVERIFY(db().run(QStringLiteral("DELETE FROM TABLESORU WHERE SORUNO='12002'")));

    const Result<TestRenumbering::Report> r = renumbering.renumber(t1, QStringLiteral("12"));
    QVERIFY2(r.ok(), qPrintable(r.error()));
    const QStringList fresh{QStringLiteral("12001"), QStringLiteral("12002"),
                            QStringLiteral("12003")};
    QCOMPARE(order(QStringLiteral("12")), fresh);
    QCOMPARE(order(t1), QStringList());
    // The shared question is re-keyed in the other test too.
    QCOMPARE(order(t2), QStringList({q4, QStringLiteral("12002")}));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU WHERE SORUNO IN (?,?,?)"),
                   {q1, q2, q3}),
             0);
    // Pictures in every store, the sound file and its stored path.
    QCOMPARE(bank.pictures(QStringLiteral("12003"))->question, picture(QStringLiteral("üç")));
    QVERIFY(!bank.pictures(QStringLiteral("12001"))->question.isEmpty());
    QVERIFY(bank.pictures(q1)->question.isEmpty());
    QCOMPARE(bank.load(QStringLiteral("12002"))->sesDosyasi, QStringLiteral("Sesler/12002.mp3"));
    QVERIFY(QFile::exists(db().path(QStringLiteral("Sesler/12002.mp3"))));
    QVERIFY(!QFile::exists(db().path(QStringLiteral("Sesler/2.mp3"))));
    // The recorded run follows both keys.
    QCOMPARE(column(QStringLiteral("SELECT SORUNO FROM TABLEUYGULAMA ORDER BY VAL(TESTSIRANO)")),
             fresh);
    QCOMPARE(column(QStringLiteral("SELECT DISTINCT TESTNO FROM TABLEUYGULAMA")),
             QStringList{QStringLiteral("12")});
    QCOMPARE(column(QStringLiteral("SELECT SORUNO FROM TABLECEVAP ORDER BY VAL(TESTSIRANO)")),
             fresh);
    QCOMPARE(text(QStringLiteral("SELECT TESTNO FROM TABLESONUC")), QStringLiteral("12"));
    QCOMPARE(text(QStringLiteral("SELECT TESTNO FROM TABLETEST WHERE TESTNO='12'")),
             QStringLiteral("12"));

    // Renumbering again to the same number changes nothing; package keys keep theirs.
    QVERIFY(
        db().run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,DOGRUSIK) VALUES "
                                "('ABCDEFGH000001','A')")));
    QVERIFY(tq.add(QStringLiteral("12"), {QStringLiteral("ABCDEFGH000001")}));
    const Result<TestRenumbering::Report> again =
        renumbering.renumber(QStringLiteral("12"), QStringLiteral("12"));
    QVERIFY2(again.ok(), qPrintable(again.error()));
    QCOMPARE(again->questions.size(), 0);
    QCOMPARE(order(QStringLiteral("12")).last(), QStringLiteral("ABCDEFGH000001"));
  }

  // Past 2^31 every new question and test still gets a number of its own; a
  // renumbering to a number Derslik cannot keep is refused and changes nothing;
  // when the largest number is taken, a new test is refused rather than given a
  // number that another has.
  void numbersGrowPastThirtyTwoBitsUpToTheLargest() {
    const QString t = addTest();
    QVERIFY(TestQuestions(db()).add(t, {addQuestion()}));
    TestRenumbering renumbering(db());
    QVERIFY(renumbering.renumber(t, QStringLiteral("2200000")).ok());
    QCOMPARE(addQuestion(), QStringLiteral("2200000002"));
    QCOMPARE(addQuestion(), QStringLiteral("2200000003"));
    QVERIFY(renumbering.renumber(QStringLiteral("2200000"), QStringLiteral("2147483647")).ok());
    QCOMPARE(order(QStringLiteral("2147483647")), QStringList{QStringLiteral("2147483647001")});
    QCOMPARE(addTest(), QStringLiteral("2147483648"));
    QCOMPARE(addTest(), QStringLiteral("2147483649"));

    QCOMPARE(
        renumbering.renumber(QStringLiteral("2147483647"), QStringLiteral("1000000000000")).error(),
        QStringLiteral("Test 1000000000000 numarasını alamaz: 1. sorusu 1000000000000001 "
                       "numarasını alacaktı, oysa bir soru numarası en çok 999999999999999 "
                       "olabilir."));
    QCOMPARE(
        renumbering.renumber(QStringLiteral("2147483647"), QStringLiteral("12345678901234567890"))
            .error(),
        QStringLiteral("Yeni test numarası en çok 999999999999999 olabilir."));
    QCOMPARE(order(QStringLiteral("2147483647")), QStringList{QStringLiteral("2147483647001")});

    QVERIFY(
        renumbering.renumber(QStringLiteral("2147483649"), QStringLiteral("999999999999999")).ok());
    authoring::Test next;
    next.testAdi = QStringLiteral("Bir fazlası");
    QCOMPARE(TestCatalog(db()).create(next).error(), store::exhaustedMessage());
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLETEST")), 3);
  }

  void clippedQuestionsJoinTheTestOrStayFree() {
    const QString t = addTest();
    TestCatalog catalog(db());
    Test test = catalog.load(t).value();
    test.seviye = QStringLiteral("7. SINIF");
    test.ders = QStringLiteral("TÜRKÇE");
    QVERIFY(catalog.update(test));
    QVERIFY(TestQuestions(db()).add(t, {addQuestion()}));
    ClipSession clip(db());
    QVERIFY(clip.startForTest(t));
    QCOMPARE(clip.nextCaption(), QStringLiteral("2. Soruyu Kırp"));
    QImage area(300, 100, QImage::Format_RGB32);
    area.fill(Qt::yellow);
    QVERIFY(!clip.add(area, QStringLiteral("F")).ok());
    const QString key = clip.add(area, QStringLiteral("C")).valueOr({});
    QCOMPARE(key, QStringLiteral("2"));
    QCOMPARE(clip.nextCaption(), QStringLiteral("3. Soruyu Kırp"));
    QCOMPARE(positions(t).last(), QStringLiteral("2:2"));
    const Question q = QuestionBank(db()).load(key).value();
    QCOMPARE(q.seviye, QStringLiteral("7. SINIF"));
    QCOMPARE(q.sure, QStringLiteral("Süresiz"));
    QCOMPARE(q.dogruSik, QStringLiteral("C"));
    clip.startFree();
    const QString free = clip.add(area, QStringLiteral("A")).valueOr({});
    QCOMPARE(free, QStringLiteral("S3"));
    QVERIFY(!QuestionSearch{}.keys(db()).valueOr({}).contains(free));
  }
};

QTEST_MAIN(TestComposition)
#include "tst_testcomposition.moc"
