#include <QtTest>

#include "RunFixture.h"
#include "delivery/InterruptedRuns.h"
#include "reports/RunReport.h"
#include "reports/Scoring.h"
#include "store/FolderFiles.h"

using delivery::RunSession;
using Page = delivery::RunSession::Page;
using Command = delivery::RunSession::Command;

class TestRunSession : public QObject, public RunFixture {
  Q_OBJECT

  QStringList fourRemotes() {
    addTeacherRemote();
    return addClass(QStringLiteral("5-A"), 4);
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  // The first letter stays; the blank key clears it and lets a new letter in; a
  // remote that never answers is stored empty, with the whole time of the question.
  void answersOnTheTiles() {
    addTest(QStringLiteral("7"), QStringLiteral("BCA"));
    RunSession& run = open(plan(QStringLiteral("7"), fourRemotes()));
    QCOMPARE(run.page(), Page::Countdown);
    throughCountdown();
    QCOMPARE(run.page(), Page::Question);
    QCOMPARE(run.progressText(), QStringLiteral("1/3"));
    QSignalSpy tiles(&run, &RunSession::tileChanged);
    wait(2000);
    press("10-1", "B");
    wait(1000);
    press("10-1", "C");
    press("10-2", "B");
    press("10-2", "X");
    QCOMPARE(run.counts().blank, 1);
    press("10-2", "C");
    press("10-3", "X");
    QCOMPARE(run.tiles().find("10-1")->letter, QStringLiteral("B"));
    QCOMPARE(tiles.count(), 5);  // the second letter of 10-1 changed nothing
    const auto c = run.counts();
    QCOMPARE(c.answered, 2);
    QCOMPARE(c.blank, 1);
    QCOMPARE(c.notAnswered, 1);
    wait(7000);
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(run.position(), 2);
    QCOMPARE(stored(1), (QStringList{"10-1=B@0:02", "10-2=C@0:03", "10-3=X@0:03", "10-4=@0:10"}));
    // Scored at once: the silent remote counts as blank, the students are on the rows.
    QCOMPARE(text("SELECT DOGRUSAYI||'/'||YANLISSAYI||'/'||BOSSAYI FROM TABLESONUC WHERE "
                  "KUMANDAADRESI='10-2'"),
             QStringLiteral("0/1/0"));
    QCOMPARE(text("SELECT BOSSAYI FROM TABLESONUC WHERE KUMANDAADRESI='10-4'"),
             QStringLiteral("1"));
    QCOMPARE(text("SELECT KAYITNO FROM TABLECEVAP WHERE KUMANDAADRESI='10-3'"),
             QStringLiteral("1003"));
    QCOMPARE(text("SELECT TESTTARIHI||' '||TESTBASLANGIC FROM TABLEUYGULAMA"),
             QStringLiteral("14.03.2026 10:15:00"));
  }

  // Countdown, the last ten seconds, time-out, untimed questions.
  void theClock() {
    addTest(QStringLiteral("8"), QStringLiteral("AB"),
            {QStringLiteral("30"), QStringLiteral("Süresiz")});
    delivery::RunPlan p = plan(QStringLiteral("8"), fourRemotes());
    p.settings.lastTenSecondsOnly = true;
    RunSession& run = open(p);
    throughCountdown();
    QCOMPARE(run.countdown().visibleText, QStringLiteral("30 sn"));
    wait(5000);
    QCOMPARE(run.countdown().remaining, 25);
    QCOMPARE(run.countdown().visibleText, QStringLiteral("30 sn"));
    wait(14000);
    QCOMPARE(run.countdown().remainingText, QStringLiteral("11"));
    QCOMPARE(run.countdown().visibleText, QStringLiteral("30 sn"));
    wait(1000);
    QCOMPARE(run.countdown().visibleText, QStringLiteral("10 sn"));
    wait(10000);
    QCOMPARE(run.countdown().remaining, 0);
    QCOMPARE(run.position(), 1);  // 0 is shown for a second
    wait(1000);
    QCOMPARE(run.position(), 2);  // timed out: left as by "next"
    QCOMPARE(stored(1).size(), 4);
    // Nobody answered: each gets the question's 30 seconds, not the 31 it stayed on
    // the screen while 0 was shown.
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP WHERE TESTSIRANO='1' AND CEVAPSURESI='0:30'"),
             4);
    // "Süresiz": no countdown, no pause; the question waits for the teacher.
    QVERIFY(!run.countdown().timed);
    QCOMPARE(run.countdown().visibleText, QStringLiteral("Süresiz"));
    QVERIFY(!run.isAvailable(Command::Pause));
    wait(600000);
    QCOMPARE(run.position(), 2);

    // A fixed duration of "Süresiz" is untimed too.
    p.settings.duration = delivery::RunSettings::Duration::Fixed;
    p.settings.fixedSeconds = 0;
    RunSession& fixed = open(p);
    throughCountdown();
    QVERIFY(!fixed.countdown().timed);
    wait(120000);
    QCOMPARE(fixed.position(), 1);
  }

  // A time-out on the last question ends the run as "next" would: end time on
  // every row, then the window is asked to close.
  void timeOutOnTheLastQuestion() {
    addTest(QStringLiteral("9"), QStringLiteral("AB"), {QStringLiteral("5"), QStringLiteral("5")});
    RunSession& run = open(plan(QStringLiteral("9"), fourRemotes()));
    QSignalSpy closing(&run, &RunSession::closeRequested);
    throughCountdown();
    press("10-1", "A");
    wait(6000);
    QCOMPARE(run.position(), 2);
    wait(6000);
    QCOMPARE(run.page(), Page::Finished);
    QCOMPARE(run.notice(), RunSession::resultsText());
    QVERIFY(run.availableCommands().isEmpty());
    const QString end = QStringLiteral("10:15:15");
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP WHERE TESTBITIS=?", {end}), 8);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLEUYGULAMA WHERE TESTBITIS=?", {end}), 2);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESONUC WHERE TESTBITIS=?", {end}), 4);
    QCOMPARE(closing.count(), 0);
    wait(500);
    QCOMPARE(closing.count(), 1);
  }

  // Going back shows the stored answers; changing one and going on stores the
  // change, keeps the other times and doubles nothing.
  void revisitingAQuestion() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    RunSession& run = open(plan(QStringLiteral("7"), fourRemotes()));
    throughCountdown();
    wait(1000);
    press("10-1", "A");
    wait(1000);
    press("10-2", "B");
    wait(3000);
    QVERIFY(run.trigger(Command::Next));
    wait(4000);
    QVERIFY(run.trigger(Command::Previous));
    QCOMPARE(run.position(), 1);
    QCOMPARE(run.tiles().find("10-1")->letter, QStringLiteral("A"));
    QCOMPARE(run.tiles().find("10-2")->letter, QStringLiteral("B"));
    QCOMPARE(run.counts().answered, 2);
    press("10-1", "C");  // the first letter is still final
    press("10-1", "X");
    press("10-1", "D");
    wait(2000);
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(stored(1), (QStringList{"10-1=D@0:00", "10-2=B@0:02", "10-3=@0:02", "10-4=@0:02"}));
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP"), 8);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLEUYGULAMA"), 2);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESONUC"), 4);
  }

  // Only the remotes that pressed a letter on the remote test take part; nobody
  // at all leaves the run to the virtual remote.
  void remoteTestPage() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    const QStringList remotes = fourRemotes();
    delivery::RunPlan p = plan(QStringLiteral("7"), remotes);
    p.settings.remoteTestScreen = true;
    p.names = {"Ali", "Can", "Ece", "Nur"};
    RunSession& run = open(p);
    QCOMPARE(run.page(), Page::RemoteTest);
    QCOMPARE(run.caption(Command::Next), QStringLiteral("Teste Başla (B)"));
    press("10-1", "A");
    press("10-2", "X");
    press("10-4", "C");
    press("10-4", "X");  // the last press decides on this page
    // A browser sees the remote test as question 0, open, with its own press.
    QCOMPARE(run.answerState("10-1"), (activity::AnswerState{0, true, "A", "ABCDE"}));
    QCOMPARE(run.answerState("10-3"), (activity::AnswerState{0, true, "", "ABCDE"}));
    QCOMPARE(run.counts().answered, 1);
    QCOMPARE(run.counts().notAnswered, 3);
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(run.tiles().size(), 1);
    QCOMPARE(run.names(), QStringList{"Ali"});
    throughCountdown();
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(stored(1), QStringList{"10-1=@0:00"});

    RunSession& empty = open(p);
    QVERIFY(empty.trigger(Command::Next));
    QVERIFY(empty.virtualRemoteOnly());
    QCOMPARE(empty.page(), Page::Question);  // the virtual remote needs no 3-2-1
    QVERIFY(!empty.isAvailable(Command::ToggleCounts));
  }

  // No student remote: the virtual remote's answerer is recorded by name.
  void virtualRemoteRun() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    delivery::RunPlan p = plan(QStringLiteral("7"), {}, QStringLiteral("SANAL KUMANDA"));
    p.virtualName = QStringLiteral("Can");
    p.virtualSurname = QStringLiteral("Demir");
    RunSession& run = open(p);
    QCOMPARE(run.page(), Page::Question);
    press("0-0", "A");
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(stored(1), QStringList{"0-0=A@0:00"});
    QCOMPARE(text("SELECT KAYITNO FROM TABLECEVAP"), QStringLiteral("Can|Demir"));
    QCOMPARE(text("SELECT ADI||' '||SOYADI||' '||NET FROM TABLESONUC"),
             QStringLiteral("Can Demir 1"));
  }

  // Answers get the student paired in the run's class only.
  void studentsOfTheRunsClass() {
    addTeacherRemote();
    QStringList remotes = addClass(QStringLiteral("5-A"), 2);
    remotes << addClass(QStringLiteral("6-B"), 1, 20);
    school().student("Başka", "6-B", "3001");
    school().pair("10-2", {"3001"});
    addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    RunSession& run = open(plan(QStringLiteral("7"), remotes));
    throughCountdown();
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(column("SELECT KUMANDAADRESI||'='||KAYITNO FROM TABLECEVAP ORDER BY rowid"),
             (QStringList{"10-1=1001", "10-2=1002", "20-1="}));
  }

  // Each key presses its button only while the button is there; B waits five
  // seconds after "next"; the blank key asks before leaving.
  void teacherKeysAndCommands() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"), {}, QStringLiteral("Kesirler"), true);
    QVERIFY(store::FolderFiles(db()).put(QStringLiteral("Sesler/7001.mp3"), "ses"));
    RunSession& run = open(plan(QStringLiteral("7"), fourRemotes()));
    QCOMPARE(run.page(), Page::StartScreen);
    QCOMPARE(run.caption(Command::Next), QStringLiteral("İleri (B)"));
    QCOMPARE(run.availableCommands(), (QList<Command>{Command::Next, Command::Exit}));
    teacher("A");
    teacher("B");  // held back: "next" was pressed when the run opened
    QCOMPARE(run.page(), Page::StartScreen);
    wait(5000);
    teacher("B");
    QCOMPARE(run.page(), Page::QuestionStatistics);
    QCOMPARE(run.caption(Command::Next), QStringLiteral("Teste Başla (B)"));
    QCOMPARE(run.questionStatistics(), (QList<delivery::QuestionStatisticsRow>{
                                           {"5. SINIF", "MATEMATİK", "KESİRLER", 3, "90 sn"}}));
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(run.page(), Page::Countdown);
    QCOMPARE(run.startCountdown(), 3);
    QVERIFY(run.availableCommands().contains(Command::Exit));
    wait(1000);
    QCOMPARE(run.startCountdown(), 2);
    wait(2000);
    QCOMPARE(run.page(), Page::Question);
    QCOMPARE(run.windowTitle(),
             QStringLiteral("Test Başlangıç Saati : 10:15:05 - Test No: 7 - Test Adı :Kesirler"));
    QCOMPARE(
        run.availableCommands(),
        (QList<Command>{Command::Previous, Command::ToggleCounts, Command::Pause, Command::Next,
                        Command::ShowAnswer, Command::Replay, Command::Solution, Command::Exit}));
    QSignalSpy replay(&run, &RunSession::replayRequested);
    teacher("C");
    QCOMPARE(replay.count(), 1);
    QFile sound(replay.first().first().toString());
    QVERIFY(sound.fileName().endsWith(QStringLiteral(".mp3")) && sound.open(QIODevice::ReadOnly));
    QCOMPARE(sound.readAll(), QByteArray("ses"));

    teacher("E");
    QVERIFY(run.paused());
    QCOMPARE(run.caption(Command::Pause), QStringLiteral("Devam Et (E)"));
    const int remaining = run.countdown().remaining;
    wait(10000);
    QCOMPARE(run.countdown().remaining, remaining);
    press("10-1", "A");  // a paused question takes no answers
    QCOMPARE(run.counts().answered, 0);
    teacher("E");
    QVERIFY(!run.paused());
    teacher("D");
    QVERIFY(run.countsShown());
    QCOMPARE(run.caption(Command::ToggleCounts), QStringLiteral("Öğrencileri Göster (D)"));

    teacher("X");
    QVERIFY(run.confirmingExit());
    QCOMPARE(run.availableCommands(), (QList<Command>{Command::ConfirmExit, Command::CancelExit}));
    teacher("E");
    QVERIFY(!run.paused());
    teacher("A");
    QVERIFY(!run.confirmingExit());
    QCOMPARE(run.position(), 1);
    teacher("X");
    QSignalSpy closing(&run, &RunSession::closeRequested);
    teacher("B");
    QCOMPARE(run.page(), Page::Finished);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP"), 0);  // no question was left
    wait(1000);
    QCOMPARE(closing.count(), 1);
  }

  // "Herkes cevap verince geç": the last answer moves the run on.
  void everybodyAnswered() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    const QStringList remotes = fourRemotes();
    delivery::RunPlan p = plan(QStringLiteral("7"), remotes);
    p.settings.goOnWhenAllAnswered = true;
    RunSession& run = open(p);
    throughCountdown();
    press("10-1", "A");
    press("10-2", "X");
    press("10-3", "C");
    QCOMPARE(run.position(), 1);
    press("10-4", "D");
    QCOMPARE(run.position(), 2);
    QCOMPARE(stored(1).size(), 4);
  }

  // A run that crosses midnight stays one run under the date it was opened.
  void runAcrossMidnight() {
    clock().advance(QTime(10, 15).msecsTo(QTime(23, 58, 30)));
    addTest(QStringLiteral("7"), QStringLiteral("ABC"),
            {QStringLiteral("60"), QStringLiteral("60"), QStringLiteral("60")});
    RunSession& run = open(plan(QStringLiteral("7"), fourRemotes()));
    throughCountdown();
    for (int q = 1; q <= 3; ++q) {
      QCOMPARE(run.position(), q);
      press("10-1", QStringLiteral("ABC").mid(q - 1, 1));
      wait(61000);
    }
    QCOMPARE(run.page(), Page::Finished);
    QCOMPARE(column("SELECT DISTINCT TESTTARIHI||' '||TESTBASLANGIC FROM TABLECEVAP"),
             QStringList{"14.03.2026 23:58:30"});
    QCOMPARE(text("SELECT SORUSAYI||' '||DOGRUSAYI||' '||TESTBITIS FROM TABLESONUC WHERE "
                  "KUMANDAADRESI='10-1'"),
             QStringLiteral("3 3 00:01:36"));
  }

  // An after-question report stops the run until it is closed; the end of the run
  // can show the final statistics.
  void reportsAfterQuestionsAndAtTheEnd() {
    addTest(QStringLiteral("7"), QStringLiteral("AB"));
    delivery::RunPlan p = plan(QStringLiteral("7"), fourRemotes());
    p.settings.afterQuestion = delivery::RunSettings::QuestionReport::StudentAnswers;
    RunSession& run = open(p);
    QSignalSpy reports(&run, &RunSession::reportRequested);
    throughCountdown();
    press("10-1", "A");
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(run.page(), Page::Report);
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.first().at(1).toInt(), 1);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESONUC"), 4);
    QVERIFY(!run.isAvailable(Command::Next));
    run.reportClosed();
    QCOMPARE(run.page(), Page::Question);
    QCOMPARE(run.position(), 2);

    p.settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
    p.settings.reportAtEnd = true;
    RunSession& last = open(p);
    throughCountdown();
    press("10-1", "A");
    press("10-2", "B");
    QVERIFY(last.trigger(Command::Next));
    press("10-1", "B");
    QVERIFY(last.trigger(Command::Next));
    QCOMPARE(last.page(), Page::FinalStatistics);
    const delivery::RunStatistics& s = last.finalStatistics();
    QCOMPARE(s.answers, 8);
    QCOMPARE(s.correct, 2);
    QCOMPARE(s.wrong, 1);
    QCOMPARE(s.blank, 5);
    QCOMPARE(s.correctPercent, QStringLiteral("25.00"));
    QCOMPARE(s.students, 4);
    QCOMPARE(s.questions, 2);
    QSignalSpy closing(&last, &RunSession::closeRequested);
    QVERIFY(last.trigger(Command::Next));
    wait(1000);
    QCOMPARE(closing.count(), 1);
  }

  // The after-question report takes the same keys as every page: the teacher's
  // B (after the key delay) and the keyboard's B, → and space go on; the run,
  // not the window, decides.
  void theReportGoesOnWithTheTeacherKeys() {
    addTest(QStringLiteral("7"), QStringLiteral("ABCD"));
    delivery::RunPlan p = plan(QStringLiteral("7"), fourRemotes());
    p.settings.afterQuestion = delivery::RunSettings::QuestionReport::QuestionStatistics;
    RunSession& run = open(p);
    throughCountdown();
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(run.page(), Page::Report);
    QCOMPARE(run.availableCommands(), QList<Command>{Command::Continue});
    QCOMPARE(run.caption(Command::Continue), QStringLiteral("Teste Devam Et (B)"));
    teacher("B");  // held back: "next" was just pressed
    QCOMPARE(run.page(), Page::Report);
    wait(5000);
    teacher("B");
    QCOMPARE(run.page(), Page::Question);
    QCOMPARE(run.position(), 2);
    for (const int key : {int(Qt::Key_Right), int(Qt::Key_Space)}) {
      QVERIFY(run.trigger(Command::Next));
      QCOMPARE(run.page(), Page::Report);
      QVERIFY(
          run.teacherKey(RunSession::keyboardLetter(key, false), RunSession::KeySource::Keyboard));
      QCOMPARE(run.page(), Page::Question);
    }
    QCOMPARE(run.position(), 4);
  }

  // The teacher's page offers exactly what a teacher key would do now, and each
  // offered command does it when pressed as the page presses it.
  void theTeachersPageOffersWhatItsKeysDo() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    delivery::RunPlan p = plan(QStringLiteral("7"), fourRemotes());
    p.settings.afterQuestion = delivery::RunSettings::QuestionReport::QuestionStatistics;
    RunSession& run = open(p);
    QVERIFY(run.teacherRemotes().contains(activity::kTeacherPageAddress));
    const auto offered = [&run] {
      QStringList names;
      for (const activity::TeacherCommand& c : run.teacherState().commands) names << c.name;
      return names;
    };
    const auto page = [&](const QString& name) {
      const activity::TeacherState t = run.teacherState();
      const activity::TeacherCommand* c = t.find(name);
      QVERIFY2(c, qPrintable(name + QStringLiteral(" not offered")));
      press(t.address, c->key, true);
    };
    throughCountdown();
    QCOMPARE(run.teacherState().title, QStringLiteral("Soru 1/3"));
    // "next" was just pressed: the key delay holds the page's B back as a remote's.
    QCOMPARE(offered(), QStringList({"geri", "durdur", "cevap", "cikis"}));
    wait(5000);
    QCOMPARE(offered(), QStringList({"geri", "ileri", "durdur", "cevap", "cikis"}));
    press(QStringLiteral("10-1"), QStringLiteral("B"));
    QCOMPARE(run.teacherState().info, QStringLiteral("Cevap veren: 1 / 4"));

    page(QStringLiteral("cevap"));  // a key of the page only: the key shows on the board
    QVERIFY(run.answerShown());
    QCOMPARE(run.teacherState().find(QStringLiteral("cevap"))->caption,
             QStringLiteral("Cevabı Gizle"));
    QVERIFY(run.teacherState().info.endsWith(QStringLiteral("Cevap: A")));
    page(QStringLiteral("durdur"));
    QVERIFY(run.paused());
    QCOMPARE(run.teacherState().find(QStringLiteral("durdur"))->caption,
             QStringLiteral("Devam Et"));
    page(QStringLiteral("durdur"));
    page(QStringLiteral("ileri"));
    QCOMPARE(run.page(), Page::Report);
    wait(5000);
    QCOMPARE(offered(), QStringList({"devam"}));
    page(QStringLiteral("devam"));
    QCOMPARE(run.position(), 2);
    page(QStringLiteral("geri"));
    QCOMPARE(run.position(), 1);

    page(QStringLiteral("cikis"));
    QCOMPARE(offered(), QStringList({"onayla", "vazgec"}));
    page(QStringLiteral("vazgec"));
    QVERIFY(!run.confirmingExit());
    page(QStringLiteral("cikis"));
    page(QStringLiteral("onayla"));
    QCOMPARE(run.page(), Page::Finished);
    QVERIFY(offered().isEmpty());
  }

  // The keyboard stands for the teacher remote: one table for both.
  void keyboardKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("confirming");
    QTest::addColumn<QString>("letter");
    QTest::newRow("right") << int(Qt::Key_Right) << false << "B";
    QTest::newRow("space") << int(Qt::Key_Space) << false << "B";
    QTest::newRow("page down") << int(Qt::Key_PageDown) << false << "B";
    QTest::newRow("b") << int(Qt::Key_B) << false << "B";
    QTest::newRow("left") << int(Qt::Key_Left) << false << "A";
    QTest::newRow("page up") << int(Qt::Key_PageUp) << false << "A";
    QTest::newRow("e") << int(Qt::Key_E) << false << "E";
    QTest::newRow("escape") << int(Qt::Key_Escape) << false << "X";
    QTest::newRow("enter: nothing") << int(Qt::Key_Return) << false << "";
    QTest::newRow("enter confirms") << int(Qt::Key_Return) << true << "B";
    QTest::newRow("f: nothing") << int(Qt::Key_F) << false << "";
  }
  void keyboardKeys() {
    QFETCH(int, key);
    QFETCH(bool, confirming);
    QTEST(RunSession::keyboardLetter(key, confirming), "letter");
  }

  // B on the remote test with remotes still silent asks before leaving them out;
  // the run names who was left out.
  void silentRemotesAreLeftOutOnlyWhenTheTeacherSaysSo() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    delivery::RunPlan p = plan(QStringLiteral("7"), fourRemotes());
    p.settings.remoteTestScreen = true;
    p.names = {"Ali", "Can", "Ece", "Nur"};
    RunSession& run = open(p);
    press("10-2", "A");
    messages().clear();
    messages().setNextAnswer(Messages::Answer::No);
    QVERIFY(!run.trigger(Command::Next));
    QCOMPARE(
        messages().texts(),
        QStringList{
            "3 kumanda henüz basmadı. Bu öğrenciler testin dışında kalacak. Devam edilsin mi?"});
    QCOMPARE(run.page(), Page::RemoteTest);
    press("10-4", "C");  // still counts
    wait(5000);
    messages().setNextAnswer(Messages::Answer::Yes);
    teacher("B");
    QCOMPARE(messages().lastText(), RunSession::leaveOutQuestion(2));
    QCOMPARE(run.page(), Page::Countdown);
    QCOMPARE(run.names(), (QStringList{"Can", "Nur"}));
    QCOMPARE(run.leftOut(), (QStringList{"Ali", "Ece"}));
    // Stored with the run's first question: its report names them as the final page does.
    throughCountdown();
    QVERIFY(run.trigger(Command::Next));
    reports::RunReport report(db(), run.runKey());
    QVERIFY(report.load().ok());
    QCOMPARE(report.info().leftOut,
             (QList<reports::LeftOutStudent>{{"10-1", "Ali"}, {"10-3", "Ece"}}));
    QCOMPARE(report.general({}).leftOutCaption, QStringLiteral("Testin Dışında Kalan (2)"));
    QCOMPARE(report.general({}).leftOutNames, QStringLiteral("Ali, Ece"));
    QCOMPARE(report.general({}).participants, 2);

    // Everybody pressed: nothing to ask, nobody named.
    clock().advance(60000);
    RunSession& all = open(p);
    for (const char* a : {"10-1", "10-2", "10-3", "10-4"}) press(QString::fromLatin1(a), "B");
    messages().clear();
    QVERIFY(all.trigger(Command::Next));
    QVERIFY(messages().texts().isEmpty());
    QVERIFY(all.leftOut().isEmpty());
    throughCountdown();
    QVERIFY(all.trigger(Command::Next));
    reports::RunReport whole(db(), all.runKey());
    QVERIFY(whole.load().ok());
    QVERIFY(whole.info().leftOut.isEmpty());
    QVERIFY(whole.general({}).leftOutCaption.isEmpty());
    QVERIFY(report.load().ok());
    QCOMPARE(report.info().leftOut.size(), 2);
  }

  // "Sonraki Soru (B)" on the last question asks while time is left and somebody
  // has not answered; not when everybody answered or the time is over.
  void theLastQuestionAsksBeforeEnding() {
    addTest(QStringLiteral("7"), QStringLiteral("AB"), {"30", "Süresiz"});
    addTest(QStringLiteral("8"), QStringLiteral("AB"));
    const QStringList remotes = fourRemotes();
    RunSession& run = open(plan(QStringLiteral("7"), remotes));
    throughCountdown();
    messages().clear();
    QVERIFY(run.trigger(Command::Next));  // not the last: no question
    QVERIFY(messages().texts().isEmpty());
    press("10-1", "A");
    messages().setNextAnswer(Messages::Answer::No);
    QVERIFY(!run.trigger(Command::Next));
    QCOMPARE(messages().texts(),
             QStringList{"Test bitirilsin mi? 3 öğrenci bu soruyu henüz cevaplamadı."});
    QCOMPARE(run.page(), Page::Question);  // untimed: time is never over
    QCOMPARE(run.position(), 2);
    press("10-2", "X");  // a blank is an answer
    wait(5000);
    messages().setNextAnswer(Messages::Answer::Yes);
    teacher("B");
    QCOMPARE(messages().lastText(), RunSession::endQuestion(2));
    QCOMPARE(run.page(), Page::Finished);

    RunSession& answered = open(plan(QStringLiteral("8"), remotes));
    throughCountdown();
    QVERIFY(answered.trigger(Command::Next));
    for (const QString& a : remotes) press(a, "B");
    messages().clear();
    QVERIFY(answered.trigger(Command::Next));
    QVERIFY(messages().texts().isEmpty());
    QCOMPARE(answered.page(), Page::Finished);

    RunSession& late = open(plan(QStringLiteral("8"), remotes));
    throughCountdown();
    QVERIFY(late.trigger(Command::Next));
    wait(30000);  // 0 is shown for a second before the time-out leaves it
    QCOMPARE(late.countdown().remaining, 0);
    QCOMPARE(late.page(), Page::Question);
    messages().clear();
    QVERIFY(late.trigger(Command::Next));
    QVERIFY(messages().texts().isEmpty());
  }

  // A question that cannot be stored stays on the screen, whole: its earlier
  // answers are kept and nothing half-written remains.
  void aFailedRecordingLosesNothing() {
    addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    RunSession& run = open(plan(QStringLiteral("7"), fourRemotes()));
    throughCountdown();
    press("10-1", "A");
    QVERIFY(run.trigger(Command::Next));
    QVERIFY(run.trigger(Command::Previous));
    const QStringList before = stored(1);
    exec(
        "CREATE TRIGGER dolu BEFORE INSERT ON TABLECEVAP BEGIN SELECT RAISE(ABORT,'disk dolu'); "
        "END");
    press("10-2", "B");
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(run.position(), 1);
    QVERIFY(run.paused());
    QVERIFY(messages().lastText().startsWith(QStringLiteral("Cevaplar kaydedilemedi.")));
    QCOMPARE(stored(1), before);
    exec("DROP TRIGGER dolu");
    QVERIFY(run.trigger(Command::Next));
    QCOMPARE(run.position(), 2);
    QCOMPARE(stored(1).value(1).left(6), QStringLiteral("10-2=B"));
  }

  // A run that stopped half way is offered again and goes on under the same key
  // from its first question without answers; "Hayır" leaves it for the reports.
  void resumingAnInterruptedRun() {
    addTest(QStringLiteral("7"), QStringLiteral("ABCDE"));
    const QStringList remotes = fourRemotes();
    RunSession& first = open(plan(QStringLiteral("7"), remotes));
    throughCountdown();
    for (int q = 1; q <= 3; ++q) {
      press("10-1", QStringLiteral("ABCDE").mid(q - 1, 1));
      QVERIFY(first.trigger(Command::Next));
    }
    press("10-2", "D");  // on the screen when the power goes: not stored
    const reports::RunKey key = first.runKey();

    // Taken up again with the options saved today.
    delivery::RunSettings today;
    today.duration = delivery::RunSettings::Duration::PerQuestion;
    today.afterQuestion = delivery::RunSettings::QuestionReport::None;
    today.reportAtEnd = false;
    QVERIFY(today.save(db().db()).ok());
    // Rows written before the penalty was chosen have none: that is four wrongs.
    QVERIFY(db().run(QStringLiteral("UPDATE TABLEUYGULAMA SET YANLISDOGRUGOTURU=''")).ok());
    QVERIFY(db().run(QStringLiteral("UPDATE TABLECEVAP SET YANLISDOGRUGOTURU=''")).ok());
    delivery::InterruptedRuns interrupted(db());
    const QList<delivery::InterruptedRun> found = interrupted.find().value();
    QCOMPARE(found.size(), 1);
    QCOMPARE(delivery::InterruptedRuns::question(found.first()),
             QStringLiteral("Yarım kalan bir uygulama var: 14.03.2026 10:15:00, 5-A, 7 numaralı "
                            "\"Kesirler\" testi, 3/5 soru cevaplandı, devam edilsin mi?"));
    messages().setNextAnswer(Messages::Answer::Yes);
    const std::optional<delivery::RunPlan> again = interrupted.offer(messages()).value();
    QVERIFY(again.has_value());
    QCOMPARE(again->settings.penalty, delivery::RunSettings::Penalty::FourWrongs);
    QCOMPARE(again->studentRemotes, remotes);
    QCOMPARE(again->names.first(), QStringLiteral("Öğrenci1 Soyadı10"));

    RunSession& resumed = open(*again);
    throughCountdown();
    QCOMPARE(resumed.position(), 4);
    QCOMPARE(resumed.runKey(), key);
    press("10-1", "D");
    QVERIFY(resumed.trigger(Command::Next));
    press("10-1", "E");
    QVERIFY(resumed.trigger(Command::Next));
    QCOMPARE(resumed.page(), Page::Finished);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP"), 20);
    QCOMPARE(count("SELECT COUNT(DISTINCT TESTBASLANGIC) FROM TABLECEVAP"), 1);
    QCOMPARE(text("SELECT DOGRUSAYI FROM TABLESONUC WHERE KUMANDAADRESI='10-1'"),
             QStringLiteral("5"));
    QVERIFY(interrupted.find().value().isEmpty());

    // Another one, declined: it stays as it is and is not asked about again.
    RunSession& second = open(plan(QStringLiteral("7"), remotes));
    throughCountdown();
    QVERIFY(second.trigger(Command::Next));
    messages().setNextAnswer(Messages::Answer::No);
    QVERIFY(!interrupted.offer(messages()).value().has_value());
    const qsizetype asked = messages().shown().size();
    QVERIFY(!interrupted.offer(messages()).value().has_value());
    QCOMPARE(messages().shown().size(), asked);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLEUYGULAMA WHERE NZ(TESTBITIS)=''"), 1);
  }

  // A long run scores each question on its own: leaving a late question writes no
  // more rows than leaving an early one, and after every question (revisits and a
  // question without a key included) the results are those of a whole rescore; the
  // end puts every remote's rank on all its answers.
  void eachQuestionIsScoredOnItsOwn() {
    const int questions = 12;
    QString keys;
    for (int q = 0; q < questions; ++q) keys += QStringLiteral("ABCDE").at(q % 5);
    addTest(QStringLiteral("7"), keys);
    exec("UPDATE TABLESORU SET DOGRUSIK='' WHERE SORUNO='705'");
    const QStringList remotes = fourRemotes();
    RunSession& run = open(plan(QStringLiteral("7"), remotes));
    throughCountdown();
    const auto results = [this] {
      return column(
          "SELECT KUMANDAADRESI||' '||KAYITNO||' '||SORUSAYI||' '||NET||' '||DOGRUSAYI||"
          "' '||YANLISSAYI||' '||BOSSAYI||' '||TOPLAMSURE||' '||KACINCIOLDU||' '||"
          "KISISAYI FROM TABLESONUC ORDER BY KUMANDAADRESI");
    };
    const auto rescored = [&] {
      store::Transaction tx(db());
      if (!reports::Scoring(db()).rescoreRun(run.runKey())) return QStringList{"HATA"};
      const QStringList whole = results();
      tx.rollback();
      return whole;
    };
    const auto answerAll = [&](int q) {
      for (int i = 0; i < remotes.size(); ++i) {
        if ((q + i) % 5 == 0) continue;  // silent
        wait(1000 * ((q * 3 + i) % 4));
        press(remotes.at(i), QStringLiteral("ABCDEX").mid((q * 7 + i * 3) % 6, 1));
      }
    };
    QList<int> written;
    while (run.page() == Page::Question) {
      const int q = run.position();
      answerAll(q);
      const int before = count("SELECT total_changes()");
      QVERIFY(run.trigger(Command::Next));
      written << count("SELECT total_changes()") - before;
      QCOMPARE(results(), rescored());
      if (q == 9) {
        // Back to an answered question: the new letters replace what it counted.
        QVERIFY(run.trigger(Command::Previous));
        press(remotes.at(0), QStringLiteral("X"));
        press(remotes.at(0), QStringLiteral("A"));
        press(remotes.at(3), QStringLiteral("B"));
        QVERIFY(run.trigger(Command::Next));
        QCOMPARE(results(), rescored());
        QVERIFY(run.trigger(Command::Previous));
        QVERIFY(run.trigger(Command::Next));
        QCOMPARE(results(), rescored());
      }
    }
    QCOMPARE(run.page(), Page::Finished);
    QCOMPARE(written.size(), questions);
    QCOMPARE(written.at(questions - 2), written.at(1));
    QCOMPARE(count("SELECT COUNT(*) FROM TABLECEVAP C JOIN TABLESONUC S ON "
                   "S.KUMANDAADRESI=C.KUMANDAADRESI WHERE C.KACINCIOLDU IS NOT S.KACINCIOLDU"),
             0);
    QCOMPARE(results(), rescored());
  }
};

QTEST_GUILESS_MAIN(TestRunSession)
#include "tst_runsession.moc"
