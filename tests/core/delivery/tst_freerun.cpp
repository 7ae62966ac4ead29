#include <QtTest>

#include "RunFixture.h"
#include "authoring/ClipSession.h"
#include "authoring/QuestionBank.h"
#include "delivery/FreeQuestionClips.h"
#include "delivery/HomeworkCheck.h"
#include "delivery/LessonSetup.h"
#include "delivery/RunSetup.h"
#include "delivery/SimulatedRun.h"
#include "reports/RunList.h"
#include "reports/RunReport.h"
#include "store/Parameters.h"
#include "store/SavedControls.h"

using delivery::RunSession;
using delivery::RunSettings;
using Page = delivery::RunSession::Page;
using Command = delivery::RunSession::Command;

class TestFreeRun : public QObject, public RunFixture {
  Q_OBJECT

  QStringList threeRemotes() {
    addTeacherRemote();
    return addClass(QStringLiteral("5-A"), 3);
  }
  static delivery::RunPlan freePlan(const QStringList& remotes,
                                    RunSettings::Duration duration = RunSettings::Duration::Untimed,
                                    int seconds = 20) {
    delivery::RunPlan p = plan(QStringLiteral("SERBEST"), remotes);
    p.settings.duration = duration;
    p.settings.fixedSeconds = seconds;
    return p;
  }
  QString keyOf(int position) {
    return text(QStringLiteral("SELECT NZ(DOGRUSIK) FROM TABLEUYGULAMA WHERE TESTSIRANO=?"),
                {QString::number(position)});
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  // Presses count only while the vote is open; the teacher's C opens and closes
  // it; the answers are stored under SERBEST with no key, answer times measured
  // from the opening of the vote.
  void votingGatesThePresses() {
    const QStringList remotes = threeRemotes();
    RunSession& run = openFree(freePlan(remotes));
    QCOMPARE(run.page(), Page::Question);
    QCOMPARE(run.progressText(), QStringLiteral("1"));
    QVERIFY(!run.votingOpen());
    QCOMPARE(run.votingText(), RunSession::votingClosedText());
    QCOMPARE(run.caption(Command::ShowAnswer), QStringLiteral("Oylamayı Başlat (C)"));
    QVERIFY(!run.isAvailable(Command::Pause));  // untimed
    press("10-1", "A");
    QCOMPARE(run.counts().answered, 0);  // red: ignored

    wait(4000);
    teacher("C");
    QVERIFY(run.votingOpen());
    QCOMPARE(run.votingText(), RunSession::votingOpenText());
    wait(2000);
    press("10-1", "B");
    press("10-2", "X");
    QCOMPARE(run.counts().answered, 1);
    QCOMPARE(run.counts().blank, 1);
    teacher("C");
    QVERIFY(!run.votingOpen());
    press("10-3", "C");
    QCOMPARE(run.counts().notAnswered, 1);
    // Untimed: hours later the question is still there.
    wait(3600 * 1000);
    QCOMPARE(run.page(), Page::Question);
    QCOMPARE(run.position(), 1);
    QVERIFY(!run.votingOpen());

    teacher("B");
    QCOMPARE(run.position(), 2);
    QVERIFY(!run.votingOpen());
    QCOMPARE(stored(1).mid(0, 2), (QStringList{"10-1=B@0:02", "10-2=X@0:02"}));
    QCOMPARE(column("SELECT DISTINCT TESTNO FROM TABLECEVAP"), QStringList{"SERBEST"});
    QCOMPARE(keyOf(1), QString());
    // Without a key yet the B is neither right nor wrong.
    QCOMPARE(text("SELECT SORUSAYI||'/'||DOGRUSAYI||'/'||YANLISSAYI||'/'||BOSSAYI FROM TABLESONUC "
                  "WHERE KUMANDAADRESI='10-1'"),
             QStringLiteral("0/0/0/0"));
  }

  // Fixed duration: the countdown runs only while the vote is open, a time-out
  // closes the vote and stays on the question; opening it again starts afresh.
  void timeOutClosesTheVote() {
    const QStringList remotes = threeRemotes();
    RunSession& run = openFree(freePlan(remotes, RunSettings::Duration::Fixed, 10));
    QCOMPARE(run.countdown().remaining, 10);
    wait(5000);
    QCOMPARE(run.countdown().remaining, 10);  // closed: the clock stands
    QVERIFY(!run.isAvailable(Command::Pause));
    QVERIFY(run.trigger(Command::ShowAnswer));
    wait(4000);
    QCOMPARE(run.countdown().remaining, 6);
    QVERIFY(run.isAvailable(Command::Pause));
    wait(7000);
    QVERIFY(!run.votingOpen());
    QCOMPARE(run.page(), Page::Question);
    QCOMPARE(run.position(), 1);
    press("10-1", "A");
    QCOMPARE(run.counts().answered, 0);
    QVERIFY(run.trigger(Command::ShowAnswer));
    QCOMPARE(run.countdown().remaining, 10);
    press("10-1", "A");
    QCOMPARE(run.counts().answered, 1);
  }

  // Auto-start voting: every question opens at once and "next" keeps it open;
  // go-on-when-all-answered leaves the question once everybody has answered.
  void autoStartAndGoOn() {
    const QStringList remotes = threeRemotes();
    delivery::RunPlan p = freePlan(remotes);
    p.settings.autoStartVoting = true;
    p.settings.goOnWhenAllAnswered = true;
    RunSession& run = openFree(p);
    QVERIFY(run.votingOpen());
    for (const QString& r : remotes) press(r, "C");
    QCOMPARE(run.position(), 2);
    QVERIFY(run.votingOpen());
    QCOMPARE(stored(1).size(), 3);
  }

  // The homework check ends after its question count; the majority rule gives
  // each question the letter most chosen (blanks not counted, ties to the
  // first letter); the run is found by its key like a test run.
  void homeworkCheckWithMajority() {
    const QStringList remotes = threeRemotes();
    delivery::RunPlan p = freePlan(remotes);
    p.settings.majorityIsCorrect = true;
    RunSession& run = openFree(p, 2);
    QCOMPARE(run.progressText(), QStringLiteral("1/2"));
    const QList<QStringList> answers{{"X", "X", "D"}, {"B", "A", "X"}};
    for (const QStringList& letters : answers) {
      teacher("C");
      for (int i = 0; i < remotes.size(); ++i) press(remotes.at(i), letters.at(i));
      teacher("C");
      wait(6000);
      teacher("B");
    }
    QCOMPARE(run.page(), Page::Finished);
    QCOMPARE(keyOf(1), QStringLiteral("D"));
    QCOMPARE(keyOf(2), QStringLiteral("A"));
    const QString end = text("SELECT TESTBITIS FROM TABLEUYGULAMA LIMIT 1");
    QVERIFY(!end.isEmpty());
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESONUC WHERE TESTNO='SERBEST' AND TESTBITIS=?", {end}),
             3);
    QCOMPARE(text("SELECT DOGRUSAYI FROM TABLESONUC WHERE KUMANDAADRESI='10-3'"),
             QStringLiteral("1"));
  }

  // Going back shows the stored answers again; a clipped picture's key is the
  // question's SORUNO, and a free question never takes a bank question's key.
  void revisitAndClippedKeys() {
    const QStringList remotes = threeRemotes();
    addTest(QStringLiteral("7"), QStringLiteral("E"));  // SORUNO "7001" with key E
    RunSession& run = openFree(freePlan(remotes));
    run.setFreeQuestionKey(
        [](int position) { return position == 1 ? QStringLiteral("7001") : QString(); });
    teacher("C");
    press("10-1", "B");
    wait(6000);
    teacher("B");
    teacher("A");
    QCOMPARE(run.position(), 1);
    QCOMPARE(run.tiles().find("10-1")->letter, QStringLiteral("B"));
    wait(6000);
    teacher("B");
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP WHERE TESTSIRANO='1'"), 3);
    QCOMPARE(text("SELECT SORUNO FROM TABLEUYGULAMA WHERE TESTSIRANO='1'"), QStringLiteral("7001"));
    QCOMPARE(keyOf(1), QString());
  }

  // "Testteki Soruları Kırp ve Kaydet": a clipped question is kept as a free
  // question (S+n, deleted, no key, the run's curriculum) with its answers
  // pointing at it, and the report finds its picture. A question whose answers
  // cannot be stored keeps no picture either; the bank still refuses a
  // question without a key.
  void clippedQuestionsKeepTheirPicture() {
    const QStringList remotes = threeRemotes();
    delivery::RunPlan p = freePlan(remotes);
    p.description.course = QStringLiteral("MATEMATİK");
    RunSession& run = openFree(p);
    delivery::FreeQuestionClips clips(db());
    clips.attach(run);
    QImage clip(40, 30, QImage::Format_RGB32);
    clip.fill(Qt::darkBlue);
    QVERIFY(run.freeQuestionNew());
    clips.set(run.position(), clip);
    teacher("C");
    press(remotes.at(0), "B");
    wait(6000);
    teacher("B");
    QVERIFY(run.freeQuestionNew());  // question 2

    const QString key = text("SELECT SORUNO FROM TABLESORU WHERE SORUNO LIKE 'S%'");
    QCOMPARE(key, QStringLiteral("S1"));
    QCOMPARE(
        text("SELECT SILINDIMI||'/'||NZ(DOGRUSIK)||'/'||DERS FROM TABLESORU WHERE SORUNO=?", {key}),
        QStringLiteral("1//MATEMATİK"));
    QCOMPARE(column("SELECT DISTINCT SORUNO FROM TABLECEVAP WHERE TESTSIRANO='1'"),
             QStringList{key});
    QCOMPARE(keyOf(1), QString());
    const authoring::QuestionPictures pictures =
        authoring::QuestionBank(db()).pictures(key).valueOr({});
    QCOMPARE(QImage::fromData(pictures.question).size(), clip.size());
    reports::RunReport report(db(), run.runKey());
    QVERIFY(report.load().ok());
    QCOMPARE(report.questions().first().soruNo, key);

    // The answers of question 2 cannot be written: neither they nor its picture stay.
    clips.set(run.position(), clip);
    exec(
        QStringLiteral("CREATE TEMP TRIGGER full BEFORE INSERT ON TABLECEVAP BEGIN "
                       "SELECT RAISE(ABORT,'disk dolu'); END"));
    wait(6000);
    teacher("B");
    QCOMPARE(run.position(), 2);
    QVERIFY(messages().lastText().contains(QStringLiteral("disk dolu")));
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESORU WHERE SORUNO LIKE 'S%'"), 1);
    exec(QStringLiteral("DROP TRIGGER full"));
    wait(6000);
    teacher("B");
    QCOMPARE(run.position(), 3);
    QCOMPARE(column("SELECT DISTINCT SORUNO FROM TABLECEVAP WHERE TESTSIRANO='2'"),
             QStringList{"S2"});
    // Question 3 had no clip: no picture, no row.
    wait(6000);
    teacher("B");
    QCOMPARE(column("SELECT DISTINCT NZ(SORUNO) FROM TABLECEVAP WHERE TESTSIRANO='3'"),
             QStringList{QString()});
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESORU WHERE SORUNO LIKE 'S%'"), 2);

    const Result<QString> refused =
        authoring::QuestionBank(db()).add(authoring::Question{}, {authoring::clipBytes(clip), {}});
    QVERIFY(!refused.ok());
    QCOMPARE(refused.error(), authoring::QuestionBank::noCorrectChoiceMessage());
  }

  // Without any remote a free run cannot start; the homework check's hand-over
  // gives the virtual remote when none is chosen and refuses a count that is
  // not a number; its clipping choice is kept.
  void handOver() {
    delivery::RunPlan p = freePlan({});
    delivery::RunSession run(db(), messages(), clock());
    const Status s = run.openFree(p);
    QVERIFY(!s.ok());
    QCOMPARE(s.error(), RunSession::noRemoteText());

    delivery::HomeworkCheck check;
    check.testName = QStringLiteral(" Deneme 3 ");
    check.className = QStringLiteral("5-A");
    check.curriculum.course = QStringLiteral("MATEMATİK");
    check.curriculum.unit = QStringLiteral("TÜMÜ");  // a list left on "TÜMÜ" says nothing
    const delivery::RunSetup setup(db());
    for (const char* bad : {"", "0", "iki", "1001"}) {
      check.questionsText = QString::fromUtf8(bad);
      QVERIFY(!check.plan({}, setup, messages()));
    }
    QCOMPARE(messages().lastText(), delivery::HomeworkCheck::badCountText());
    check.questionsText = QStringLiteral("12");
    const std::optional<delivery::RunPlan> handed = check.plan({}, setup, messages());
    QVERIFY(handed);
    QCOMPARE(check.questions(), 12);
    QCOMPARE(handed->description.testNo, QStringLiteral("SERBEST"));
    QCOMPARE(handed->description.testName, QStringLiteral("Deneme 3"));
    QCOMPARE(handed->description.course, QStringLiteral("MATEMATİK"));
    QCOMPARE(handed->description.unit, QString());
    QCOMPARE(handed->studentRemotes, QStringList{"0-0"});

    QCOMPARE(delivery::HomeworkCheck::loadClip(db().db()).valueOr(true), false);
    QVERIFY(delivery::HomeworkCheck::saveClip(db().db(), true).ok());
    QCOMPARE(delivery::HomeworkCheck::loadClip(db().db()).valueOr(false), true);
  }

  // The homework check reads the setup screen's saved rows; a saved "Süresiz"
  // makes the fixed mode untimed; it opens no report.
  void homeworkSettings() {
    RunSettings saved;
    saved.duration = RunSettings::Duration::Fixed;
    saved.fixedSeconds = 45;
    saved.majorityIsCorrect = true;
    saved.autoStartVoting = true;
    saved.penalty = RunSettings::Penalty::FourWrongs;
    QVERIFY(saved.save(db().db()).ok());
    RunSettings free = RunSettings::loadForFreeQuestions(db().db()).valueOr({});
    QCOMPARE(free.duration, RunSettings::Duration::Fixed);
    QCOMPARE(free.fixedSeconds, 45);
    QVERIFY(free.majorityIsCorrect && free.autoStartVoting);
    QCOMPARE(free.penalty, RunSettings::Penalty::FourWrongs);
    QCOMPARE(free.afterQuestion, RunSettings::QuestionReport::None);
    QVERIFY(!free.reportAtEnd);

    store::SavedControls c = store::SavedControls::load(db().db(), delivery::kRunSetupScreen)
                                 .valueOr(store::SavedControls(delivery::kRunSetupScreen));
    c.setPosition(QStringLiteral("cmbSure"), 0, 19);
    QVERIFY(c.save(db().db()).ok());
    free = RunSettings::loadForFreeQuestions(db().db()).valueOr({});
    QCOMPARE(free.duration, RunSettings::Duration::Untimed);
  }

  // A lesson run: "Göster (B)" first, then free questions recorded under "DERS";
  // the report selection lists it like any other run; the set-up choices are
  // kept per user.
  void lessonRun() {
    const QStringList remotes = threeRemotes();
    delivery::LessonSetup setup(db());
    delivery::LessonSetup::Start start;
    start.className = QStringLiteral("5-A");
    start.course = QStringLiteral("MATEMATİK");
    start.choices.duration = RunSettings::Duration::Fixed;
    start.choices.fixedSeconds = 0;  // "Süresiz"
    for (const QString& r : remotes) start.students.append({r, QStringLiteral("Ad"), r});
    start.teachers = {QStringLiteral("99-1")};
    const delivery::RunPlan p = setup.plan(start);
    QCOMPARE(p.settings.duration, RunSettings::Duration::Untimed);
    RunSession& run = openFree(p);
    QCOMPARE(run.page(), Page::StartScreen);
    QCOMPARE(run.caption(Command::Next), RunSession::lessonStartCaption());
    wait(6000);  // the teacher remote's B waits out the key delay
    teacher("B");
    QCOMPARE(run.page(), Page::Question);
    teacher("C");
    press(remotes.first(), "E");
    wait(6000);
    teacher("B");
    QVERIFY(run.trigger(Command::Exit));
    QVERIFY(run.trigger(Command::ConfirmExit));

    const QList<reports::RunRow> rows = reports::RunList(db()).rows({}).valueOr({});
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().key, run.runKey());
    QCOMPARE(rows.first().testNo, QStringLiteral("DERS"));
    QCOMPARE(rows.first().sinifi, QStringLiteral("5-A"));
    QVERIFY(!rows.first().inProgress());
    QCOMPARE(stored(1).first(), QStringLiteral("10-1=E@0:00"));
  }

  // The lesson's choices are kept per user by the class's name and the seconds;
  // places in the lists an older Derslik kept are read against the lists the
  // lesson screen fills, once. A class added before the kept one leaves it chosen.
  void lessonChoicesKeptByName() {
    addClass(QStringLiteral("5-A"), 1);
    addClass(QStringLiteral("6-B"), 1, 20);
    const QString section = QStringLiteral("DersUygula");
    store::UserSettings::set(section, QStringLiteral("Sinifi"), QStringLiteral("2"));
    store::UserSettings::set(section, QStringLiteral("SabitSure"), QStringLiteral("6"));
    delivery::LessonSetup setup(db());
    delivery::LessonSetup::Choices c = setup.loadChoices().value();
    QCOMPARE(c.className, QStringLiteral("6-B"));  // "TÜMÜ", "5-A", "6-B"
    QCOMPARE(c.fixedSeconds, 30);
    addClass(QStringLiteral("5-C"), 1, 30);
    QCOMPARE(setup.loadChoices().value(), c);

    c.className = QStringLiteral("5-A");
    c.fixedSeconds = 0;  // "Süresiz"
    c.penalty = RunSettings::Penalty::ThreeWrongs;
    c.remoteTest = true;
    c.save();
    addClass(QStringLiteral("4-D"), 1, 40);
    QCOMPARE(setup.loadChoices().value(), c);
    // A class gone since starts over at "TÜMÜ".
    c.className = QStringLiteral("9-Z");
    c.save();
    QCOMPARE(setup.loadChoices()->className, QStringLiteral("TÜMÜ"));
  }

  // A whole homework check by a simulated class: the scripted letters are
  // stored per question, the run ends at its count.
  void simulatedHomeworkCheck() {
    threeRemotes();
    delivery::SimulatedRun sim(db(), messages());
    delivery::SimulatedRun::Options o;
    o.className = QStringLiteral("5-A");
    o.at = QDateTime(QDate(2026, 3, 14), QTime(10, 15));
    o.settings.duration = RunSettings::Duration::Untimed;
    o.settings.afterQuestion = RunSettings::QuestionReport::None;
    o.settings.reportAtEnd = false;
    o.settings.remoteTestScreen = false;
    o.scripted = delivery::SimulatedRun::parseAnswers("10-1 AB\n10-2 CX\n10-3 -D\n").valueOr({});
    const Result<reports::RunKey> key = sim.runFree(o, 3);
    QVERIFY2(key.ok(), qPrintable(key.ok() ? QString() : key.error()));
    QCOMPARE(key->date, QStringLiteral("14.03.2026"));
    QCOMPARE(count("SELECT COUNT(DISTINCT TESTSIRANO) FROM TABLEUYGULAMA"), 3);
    QCOMPARE(column("SELECT KUMANDAADRESI||'='||CEVAP FROM TABLECEVAP WHERE TESTSIRANO='2' ORDER "
                    "BY KUMANDAADRESI"),
             (QStringList{"10-1=B", "10-2=X", "10-3=D"}));
    QCOMPARE(column("SELECT NZ(CEVAP) FROM TABLECEVAP WHERE TESTSIRANO='3'"),
             (QStringList{"", "", ""}));
    o.scripted = delivery::SimulatedRun::parseAnswers("10-1 ABCD\n").valueOr({});
    QVERIFY(!sim.runFree(o, 3).ok());
  }
};

QTEST_GUILESS_MAIN(TestFreeRun)
#include "tst_freerun.moc"
