#include <QtTest>

#include "RunFixture.h"
#include "delivery/RunSetup.h"
#include "store/Institution.h"
#include "store/Parameters.h"

using delivery::RunSetup;

class TestRunSetup : public QObject, public RunFixture {
  Q_OBJECT

  QStringList found(const RunSetup::Search& search) {
    const store::Query q = RunSetup::testSearchQuery(search);
    Result<QSqlQuery> rows = db().exec(q.sql, q.params);
    if (!rows) {
      qWarning("%s", qPrintable(rows.error()));
      return {};
    }
    QStringList out;
    while (rows.value().next()) out << rows.value().value(0).toString();
    return out;
  }
  QStringList remotes(const store::Query& q) {
    Result<QSqlQuery> rows = db().exec(q.sql, q.params);
    QStringList out;
    while (rows && rows.value().next())
      out << rows.value().value(0).toString() + QLatin1Char('=') + rows.value().value(3).toString();
    return out;
  }
  RunSetup::Search all() {
    RunSetup::Search s;
    s.applied = QStringLiteral("TÜMÜ");
    s.className = QStringLiteral("5-A");
    return s;
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  // The free-question container, "E…" tests and short "R…" tests never show; the
  // order is TESTSIRASI, then R04 … R01, then the number.
  void testSearchExclusionsAndOrder() {
    addTest(QStringLiteral("Serbest"), QStringLiteral("AAA"));
    addTest(QStringLiteral("E0107"), QStringLiteral("AAA"));
    addTest(QStringLiteral("e5"), QStringLiteral("AAA"));
    addTest(QStringLiteral("R01x"), QStringLiteral("AA"));
    addTest(QStringLiteral("R01y"), QStringLiteral("AAA"));
    addTest(QStringLiteral("R04a"), QStringLiteral("AAA"));
    addTest(QStringLiteral("10"), QStringLiteral("A"));
    addTest(QStringLiteral("2"), QStringLiteral("AB"),
            {QStringLiteral("40"), QStringLiteral("Süresiz")});
    addTest(QStringLiteral("3"), QStringLiteral(""));
    exec("UPDATE TABLETEST SET TESTSIRASI='1' WHERE TESTNO='10'");
    QCOMPARE(found(all()), (QStringList{"10", "R04a", "R01y", "2", "3"}));
    const store::Query q = RunSetup::testSearchQuery(all());
    Result<QSqlQuery> rows = db().exec(q.sql, q.params);
    QVERIFY(rows.ok());
    int tests = 0, questions = 0;
    while (rows.value().next()) {
      ++tests;
      questions += rows.value().value(2).toInt();
      if (rows.value().value(0).toString() == QLatin1String("2"))
        QCOMPARE(rows.value().value(4).toInt(), 40);
    }
    QCOMPARE(RunSetup::foundText(tests, questions),
             QStringLiteral("5 ADET TEST, 9 ADET SORU BULUNDU"));
  }

  // Every filter narrows the list; a name matches in any case, Turkish letters too.
  void testSearchFilters() {
    addTest(QStringLiteral("1"), QStringLiteral("A"), {}, QStringLiteral("KESİRLER TEKRAR"));
    addTest(QStringLiteral("2"), QStringLiteral("A"), {}, QStringLiteral("Ondalık %50"));
    addTest(QStringLiteral("3"), QStringLiteral("A"), {}, QStringLiteral("Ülkemiz"));
    exec("UPDATE TABLETEST SET DERS='SOSYAL BİLGİLER',HAZIRLAYAN='Can' WHERE TESTNO='3'");
    exec(
        "INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,TESTNO,SINIFI) VALUES "
        "('01.03.2026','09:00:00','1','5-A'),('01.03.2026','10:00:00','2','6-B')");
    RunSetup::Search s = all();
    s.name = QStringLiteral("kesir");
    QCOMPARE(found(s), QStringList{"1"});
    s.name = QStringLiteral("%");  // a percent sign is a letter here, not a wildcard
    QCOMPARE(found(s), QStringList{"2"});
    s = all();
    s.curriculum.course = QStringLiteral("MATEMATİK");
    QCOMPARE(found(s), (QStringList{"1", "2"}));
    s.curriculum.course = QStringLiteral("TÜMÜ");
    s.author = QStringLiteral("Can");
    QCOMPARE(found(s), QStringList{"3"});
    s = all();
    s.applied = QStringLiteral("UYGULANMAYAN");
    QCOMPARE(found(s), (QStringList{"2", "3"}));
    s.applied = QStringLiteral("UYGULANAN");
    QCOMPARE(found(s), QStringList{"1"});
    s.className = QStringLiteral("TÜMÜ");
    QCOMPARE(found(s), (QStringList{"1", "2"}));
    s.applied = QStringLiteral("UYGULANMAYAN");
    QCOMPARE(found(s), QStringList{"3"});
  }

  void testSummary() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"),
            {QStringLiteral("30"), QStringLiteral("45"), QStringLiteral("Süresiz")});
    addTest(QStringLiteral("8"), QStringLiteral("A"), {QStringLiteral("Süresiz")});
    RunSetup setup(db());
    const RunSetup::TestSummary s = setup.summary(QStringLiteral("7")).value();
    QCOMPARE(s.questionsText(), QStringLiteral("3 Soru"));
    QCOMPARE(s.timeText(), QStringLiteral("75 sn"));
    QCOMPARE(s.course, QStringLiteral("MATEMATİK"));
    QCOMPARE(setup.summary(QStringLiteral("8")).value().timeText(), QStringLiteral("Süresiz"));
    QCOMPARE(setup.summary(QStringLiteral("99")).error(), QStringLiteral("Test Bulunamadı"));
    QCOMPARE(setup.questionCountDetail(QStringLiteral("7")).value(),
             QStringList{"3 SORU (5. SINIF-MATEMATİK-KESİRLER)"});
  }

  // "SANAL KUMANDA" comes first; a class lists its own student remotes only.
  void classesAndRemotes() {
    RunSetup setup(db());
    QCOMPARE(setup.classEntries().value(), QStringList{"SANAL KUMANDA"});
    QCOMPARE(RunSetup::defaultClassIndex(setup.classEntries().value()), 0);
    addTeacherRemote();
    addClass(QStringLiteral("5-A"), 2);
    addClass(QStringLiteral("6-B"), 1, 20);
    exec("UPDATE TABLEOGRENCI SET SILINDIMI='01.01.2026' WHERE KAYITNO='1002'");
    school().remote("30-1");
    const QStringList classes = setup.classEntries().value();
    QCOMPARE(classes, (QStringList{"SANAL KUMANDA", "5-A", "6-B"}));
    QCOMPARE(RunSetup::defaultClassIndex(classes), 1);
    QCOMPARE(remotes(RunSetup::studentRemotesQuery(QStringLiteral("5-A"))),
             QStringList{"10-1=Öğrenci1"});
    QCOMPARE(remotes(RunSetup::studentRemotesQuery(RunSetup::kVirtualClass)), QStringList{});
    QCOMPARE(remotes(RunSetup::allStudentRemotesQuery()),
             (QStringList{"10-1=Öğrenci1", "20-1=Öğrenci1", "30-1="}));
    QCOMPARE(remotes(RunSetup::teacherRemotesQuery()), QStringList{"99-1="});
  }

  // Factory values, the saved ones, and what three-button remotes force.
  void options() {
    RunSetup setup(db());
    QCOMPARE(setup.loadOptions().value(), RunSetup::factoryOptions());
    QCOMPARE(RunSetup::durationEntries().size(), 121);
    QCOMPARE(RunSetup::durationEntries().at(18), QStringLiteral("90"));
    RunSetup::Options mine = RunSetup::factoryOptions();
    mine.settings.duration = delivery::RunSettings::Duration::Untimed;
    mine.settings.goOnWhenAllAnswered = false;
    mine.choices.applied = delivery::RunSetupChoices::Applied::Applied;
    mine.choices.className = QStringLiteral("5-A");
    QVERIFY(setup.saveOptions(mine).ok());
    QCOMPARE(setup.loadOptions().value(), mine);
    QVERIFY(store::setOption(db(), store::Institution::Option::ThreeButton, true).ok());
    const RunSetup::Options forced = setup.loadOptions().value();
    QCOMPARE(forced.settings.duration, delivery::RunSettings::Duration::Fixed);
    QCOMPARE(forced.settings.fixedSeconds, 90);
    QVERIFY(forced.settings.goOnWhenAllAnswered);
    QCOMPARE(forced.choices.applied, delivery::RunSetupChoices::Applied::NotApplied);
  }

  // Start: an empty test is refused; names come from the students, the address
  // stands in for a remote without one; no remote means the virtual remote.
  void startingARun() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    addTest(QStringLiteral("8"), QString());
    RunSetup setup(db());
    RunSetup::Start start;
    start.test = setup.summary(QStringLiteral("8")).value();
    start.className = QStringLiteral("5-A");
    QVERIFY(!setup.start(start, messages()).has_value());
    QCOMPARE(messages().lastText(), RunSetup::emptyTestText());
    QVERIFY(!RunSetup::canPreview(start.test, messages()));

    start.test = setup.summary(QStringLiteral("7")).value();
    start.group = QStringLiteral("Sabah");
    start.students = {{"10-1", "Ali", "Kaya"}, {"10-2", "", ""}, {"10-1", "Ali", "Kaya"}};
    start.teachers = {"99-1"};
    delivery::RunPlan plan = setup.start(start, messages()).value();
    QCOMPARE(plan.studentRemotes, (QStringList{"10-1", "10-2"}));
    QCOMPARE(plan.names, (QStringList{"Ali Kaya", "10-2"}));
    QCOMPARE(plan.teacherRemotes, QStringList{"99-1"});
    QCOMPARE(plan.description.course, QStringLiteral("MATEMATİK"));
    QCOMPARE(plan.description.group, QStringLiteral("Sabah"));
    QVERIFY(plan.settings.remoteTestScreen);

    store::UserSettings::set(QStringLiteral("Sanal Kumanda"), QStringLiteral("Adi"),
                             QStringLiteral("Can"));
    start.students.clear();
    plan = setup.start(start, messages()).value();
    QVERIFY(plan.virtualRemoteOnly());
    QCOMPARE(plan.names, QStringList{"0-0"});
    QVERIFY(!plan.settings.remoteTestScreen);
    QCOMPARE(plan.virtualName, QStringLiteral("Can"));

    // Three-button remotes: whatever the caller asks for (the screen, the command
    // line's --duration), the run is set up with the forced options.
    QVERIFY(store::setOption(db(), store::Institution::Option::ThreeButton, true).ok());
    start.settings.duration = delivery::RunSettings::Duration::Fixed;
    start.settings.fixedSeconds = 20;
    start.settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
    start.settings.penalty = delivery::RunSettings::Penalty::ThreeWrongs;
    plan = setup.start(start, messages()).value();
    QCOMPARE(plan.settings.fixedSeconds, 90);
    QCOMPARE(plan.settings.afterQuestion,
             delivery::RunSettings::QuestionReport::QuestionStatistics);
    QVERIFY(plan.settings.goOnWhenAllAnswered);
    QCOMPARE(plan.settings.penalty, delivery::RunSettings::Penalty::ThreeWrongs);
  }
};

QTEST_GUILESS_MAIN(TestRunSetup)
#include "tst_runsetup.moc"
