#include <QtTest>

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>

#include "PaintedTiles.h"
#include "RunFixture.h"
#include "Screenshot.h"
#include "activity/PressPipeline.h"
#include "authoring/DemoBank.h"
#include "authoring/QuestionBank.h"
#include "authoring/TypedQuestion.h"
#include "delivery/InterruptedRuns.h"
#include "delivery/JournalSender.h"
#include "framework/PictureTouch.h"
#include "framework/PresentationDisplay.h"
#include "framework/PressRouter.h"
#include "framework/QuestionPicture.h"
#include "framework/ReceiverController.h"
#include "framework/RunTilesView.h"
#include "framework/Sliste.h"
#include "framework/TestPreview.h"
#include "framework/frmKirpma.h"
#include "framework/frmSanalKumanda.h"
#include "school/DemoSchool.h"
#include "screens/delivery/DeliveryScreens.h"
#include "screens/delivery/frmOnizleme.h"
#include "screens/delivery/frmSerbestTamEkran.h"
#include "screens/delivery/frmTestUygula.h"

using Command = delivery::RunSession::Command;
using Page = delivery::RunSession::Page;

class TestDeliveryScreens : public QObject {
  Q_OBJECT

  RunFixture fx;
  QPointer<frmOnizleme> window;
  std::unique_ptr<framework::PressRouter> router;
  std::unique_ptr<activity::PressPipeline> presses;

  ScreenContext context() { return {fx.db(), fx.messages(), fx.rights(), {}}; }

  // A presentation window on the fixture's clock, taking presses through the
  // routing as in the program.
  // A free run (`freeLimit` >= 0) opens with SerbestAyarla.
  frmOnizleme* present(const delivery::RunPlan& plan, int freeLimit = -1) {
    window = new frmOnizleme(context(), fx.clock());
    const Status s = freeLimit < 0 ? window->Ayarla(plan) : window->SerbestAyarla(plan, freeLimit);
    if (!s.ok()) qWarning("%s", qPrintable(s.error()));
    router = std::make_unique<framework::PressRouter>();
    router->setActiveWindowProvider([this] { return window.data(); });
    router->attach(window, &window->presses());
    presses = std::make_unique<activity::PressPipeline>(&fx.clock());
    presses->setTarget([this] { return router->activeConsumer(); });
    window->resize(1280, 800);
    window->show();
    return window;
  }
  void wait(qint64 ms) {
    while (ms > 0) {
      const qint64 step = std::min<qint64>(ms, 1000);
      fx.clock().advance(step);
      ms -= step;
      if (window) window->session().tick();
    }
  }
  // A press through the pipeline, as from the receiver; `teacher`: the run takes
  // it for the teacher's.
  void press(const QString& address, const QString& letter, bool teacher = false) {
    std::optional<bool> asTeacher;
    const QMetaObject::Connection c = QObject::connect(
        presses.get(), &activity::PressPipeline::admitted,
        [&asTeacher](const receiver::AdmittedPress& p, bool) { asTeacher = p.teacher; });
    QCOMPARE(presses->feed({address, letter, -1, QStringLiteral("1")}),
             activity::PressPipeline::Outcome::Delivered);
    QObject::disconnect(c);
    QCOMPARE(asTeacher, std::optional<bool>(teacher));
  }
  // Every button on the screen is there exactly when the run has it available.
  void verifyButtons() {
    for (Command c : {Command::Previous, Command::ToggleCounts, Command::Pause, Command::Next,
                      Command::ShowAnswer, Command::Replay, Command::Solution, Command::Exit,
                      Command::ConfirmExit, Command::CancelExit, Command::Continue}) {
      QPushButton* b = window->cmdNav(c);
      QVERIFY(b);
      QCOMPARE(b->isVisibleTo(window), window->session().isAvailable(c));
      if (b->isVisibleTo(window)) QCOMPARE(b->text(), window->session().caption(c));
    }
  }

 private slots:
  void init() {
    fx.setUp();
    fx.addTeacherRemote();
  }
  void cleanup() {
    if (window) {
      window->session().trigger(Command::Exit);
      window->session().trigger(Command::ConfirmExit);
      wait(1000);
      delete window.data();
    }
    presses.reset();
    router.reset();
    fx.tearDown();
  }

  void aRunThroughTheWindowRecordsWhatWasPressed() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 3);
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"));
    delivery::RunPlan plan = RunFixture::plan(QStringLiteral("7"), remotes);
    plan.names = {QStringLiteral("Ayşe Yılmaz"), QStringLiteral("Mehmet Öztürk"),
                  QStringLiteral("Çağla İnce")};
    present(plan);
    QSignalSpy finished(window.data(), &frmOnizleme::finished);
    QCOMPARE(window->session().page(), Page::Countdown);
    QVERIFY(window->label(QStringLiteral("frmSayac"))
                ->text()
                .contains(QStringLiteral("TEST BAŞLIYOR")));
    verifyButtons();
    wait(3000);
    QCOMPARE(window->session().page(), Page::Question);
    QCOMPARE(window->label(QStringLiteral("lblSayac"))->text(), QStringLiteral("1/2"));

    press(QStringLiteral("10-1"), QStringLiteral("A"));
    press(QStringLiteral("10-2"), QStringLiteral("B"));
    press(QStringLiteral("10-2"), QStringLiteral("C"));  // the first letter is final
    QCOMPARE(window->label(QStringLiteral("lblCevapVeren"))->text(),
             QStringLiteral("Cevap Veren: 2"));
    QCOMPARE(window->label(QStringLiteral("lblCevapVermeyen"))->text(),
             QStringLiteral("Yanıtlamayan: 1"));
    wait(2000);
    window->cmdNav(Command::Next)->click();
    QCOMPARE(window->label(QStringLiteral("lblSayac"))->text(), QStringLiteral("2/2"));
    QCOMPARE(window->label(QStringLiteral("lblCevapVeren"))->text(),
             QStringLiteral("Cevap Veren: 0"));

    press(QStringLiteral("10-3"), QStringLiteral("X"));
    QCOMPARE(window->label(QStringLiteral("lblBos"))->text(), QStringLiteral("Boş Bırakan: 1"));
    // The teacher's B waits out the key delay after "next", then ends the run.
    press(QStringLiteral("99-1"), QStringLiteral("B"), true);
    QCOMPARE(window->session().position(), 2);
    wait(5000);
    press(QStringLiteral("99-1"), QStringLiteral("B"), true);
    QCOMPARE(window->session().page(), Page::Finished);
    wait(1000);
    QCOMPARE(finished.count(), 1);

    QCOMPARE(fx.stored(1),
             (QStringList{QStringLiteral("10-1=A@0:00"), QStringLiteral("10-2=B@0:00"),
                          QStringLiteral("10-3=@0:02")}));
    QCOMPARE(fx.stored(2), (QStringList{QStringLiteral("10-1=@0:05"), QStringLiteral("10-2=@0:05"),
                                        QStringLiteral("10-3=X@0:00")}));
    const reports::RunKey key = finished.first().first().value<reports::RunKey>();
    const QString summary = deliveryui::runSummary(fx.db(), key);
    QVERIFY2(summary.contains(QStringLiteral("Öğrenci: 3")), qPrintable(summary));
    QVERIFY2(QRegularExpression(
                 QStringLiteral("Doğru: 1 \\(%\\d+\\.\\d\\d\\)    Yanlış: \\d+ "
                                "\\(%\\d+\\.\\d\\d\\)    Boş: \\d+ \\(%\\d+\\.\\d\\d\\)\n"))
                 .match(summary)
                 .hasMatch(),
             qPrintable(summary));
  }

  // A board on the school's server whose server does not answer: the run goes on,
  // and only the teacher's side says that the answers are kept on the board.
  void theTeacherSeesWhenTheServerIsAway() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    fx.addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    const store::ServerLogin nobody{
        store::ServerAddress::parse(QStringLiteral("postgresql://postgres@127.0.0.1:1/derslik"))
            .value(),
        QString()};
    auto* journal = new delivery::JournalSender(fx.db(), nobody);
    journal->setRetryDelays(20, 100);
    QVERIFY(journal->start().ok());
    present(RunFixture::plan(QStringLiteral("7"), remotes));
    wait(3000);
    QLabel* away = window->label(QStringLiteral("lblSunucuYok"));
    QVERIFY(away);
    QCOMPARE(away->text(), delivery::JournalSender::offlineText());
    QVERIFY(!away->isVisibleTo(window));
    press(QStringLiteral("10-1"), QStringLiteral("A"));
    window->cmdNav(Command::Next)->click();
    QCOMPARE(window->session().position(), 2);
    QTRY_VERIFY(away->isVisibleTo(window));
    QCOMPARE(away->parentWidget()->objectName(), QStringLiteral("frameKomutlar"));
    QVERIFY(fx.messages().shown().isEmpty());
    emit journal->offlineChanged(false);  // sent
    QVERIFY(!away->isVisibleTo(window));
  }

  // Percentages of zero ("0.00") once turned into place markers of the next value.
  void theSummaryOfARunShowsEveryFigure() {
    delivery::RunStatistics r;
    r.students = 7;
    r.questions = 2;
    r.wrong = 4;
    r.wrongPercent = QStringLiteral("28.57");
    r.blank = 10;
    r.blankPercent = QStringLiteral("71.43");
    QVERIFY2(deliveryui::runSummaryText(r).contains(
                 QStringLiteral("Öğrenci: 7    Soru: 2\nDoğru: 0 (%0.00)    Yanlış: 4 (%28.57)    "
                                "Boş: 10 (%71.43)\n")),
             qPrintable(deliveryui::runSummaryText(r)));
    r.questions = 0;
    QCOMPARE(deliveryui::runSummaryText(r),
             QStringLiteral("Uygulamadan hiç soru kaydedilmeden çıkıldı."));
  }

  QColor frameColour() const {
    return window->findChild<QFrame*>(QStringLiteral("frameZemin"))
        ->palette()
        .color(QPalette::Window);
  }

  // "Serbest Soru Sor" opens a free run; presses count only while the vote is
  // open, and the countdown runs only then.
  void aFreeRunThroughTheWindow() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 3);
    std::optional<delivery::RunPlan> started;
    frmTestUygula setup(context());
    setup.setStartFreeRun([&started](const delivery::RunPlan& plan) {
      started = plan;
      return true;
    });
    setup.selectClass(delivery::RunSetup::kVirtualClass);
    setup.cmdSerbestTestUygula_Click();
    QVERIFY(!started);
    QCOMPARE(fx.messages().lastText(), delivery::RunSession::noRemoteText());
    setup.selectClass(QStringLiteral("5-A"));
    setup.cmdSerbestTestUygula_Click();
    QVERIFY(started);
    QCOMPARE(started->description.testNo, QStringLiteral("SERBEST"));
    QCOMPARE(started->studentRemotes, remotes);
    QCOMPARE(started->teacherRemotes, QStringList{QStringLiteral("99-1")});

    started->settings.duration = delivery::RunSettings::Duration::Fixed;
    started->settings.fixedSeconds = 10;
    started->settings.autoStartVoting = false;
    started->settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
    started->settings.remoteTestScreen = false;
    present(*started, 0);
    window->resize(1366, 768);
    QCOMPARE(window->session().page(), Page::Question);
    QCOMPARE(window->label(QStringLiteral("lblSayac"))->text(), QStringLiteral("1"));
    QCOMPARE(frameColour(), QColor(255, 0, 0));
    QVERIFY(window->label(QStringLiteral("lblOylama"))
                ->text()
                .endsWith(delivery::RunSession::votingClosedText()));
    QCOMPARE(window->cmdNav(Command::ShowAnswer)->text(), QStringLiteral("Oylamayı Başlat (C)"));
    verifyButtons();
    // Closed: no press counts and the time stands still.
    press(QStringLiteral("10-1"), QStringLiteral("A"));
    wait(3000);
    QCOMPARE(window->label(QStringLiteral("lblCevapVeren"))->text(),
             QStringLiteral("Cevap Veren: 0"));
    QCOMPARE(window->label(QStringLiteral("lblSureGorunen"))->text(), QStringLiteral("10 sn"));
    QTest::qWait(20);
    QVERIFY(saveScreenshot(window, QStringLiteral("free-closed-1366x768.png")));

    press(QStringLiteral("99-1"), QStringLiteral("C"), true);
    QCOMPARE(frameColour(), QColor(0, 255, 0));
    QVERIFY(window->label(QStringLiteral("lblOylama"))
                ->text()
                .endsWith(delivery::RunSession::votingOpenText()));
    QCOMPARE(window->cmdNav(Command::ShowAnswer)->text(), QStringLiteral("Oylamayı Durdur (C)"));
    verifyButtons();
    // The control bar mirrors the run, and its buttons drive it.
    frmSerbestTamEkran* bar = window->controlBar();
    QVERIFY(bar);
    QCOMPARE(bar->lblDurum()->text(), delivery::RunSession::votingOpenText());
    QCOMPARE(bar->frame()->palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(bar->lblSoruNo()->text(), QStringLiteral("1."));
    bar->cmdNav(Command::ShowAnswer)->click();
    QCOMPARE(frameColour(), QColor(255, 0, 0));
    QCOMPARE(bar->lblDurum()->text(), delivery::RunSession::votingClosedText());
    bar->cmdNav(Command::ShowAnswer)->click();
    QCOMPARE(frameColour(), QColor(0, 255, 0));
    press(QStringLiteral("10-1"), QStringLiteral("A"));
    press(QStringLiteral("10-2"), QStringLiteral("X"));
    wait(3000);
    QCOMPARE(window->label(QStringLiteral("lblCevapVeren"))->text(),
             QStringLiteral("Cevap Veren: 1"));
    QCOMPARE(window->label(QStringLiteral("lblBos"))->text(), QStringLiteral("Boş Bırakan: 1"));
    QCOMPARE(bar->lblSayilar()->text(),
             QStringLiteral("Cevap Veren: 1   Boş: 1   Yanıtlamayan: 1"));
    QCOMPARE(window->label(QStringLiteral("lblSureGorunen"))->text(), QStringLiteral("7 sn"));
    QTest::qWait(20);
    QVERIFY(saveScreenshot(window, QStringLiteral("free-open-1366x768.png")));
    QVERIFY(saveScreenshot(bar, QStringLiteral("free-bar-open.png")));
    // The time-out closes the vote and stays on the question.
    wait(9000);
    QCOMPARE(frameColour(), QColor(255, 0, 0));
    QCOMPARE(window->session().position(), 1);

    press(QStringLiteral("99-1"), QStringLiteral("B"), true);
    QCOMPARE(window->label(QStringLiteral("lblSayac"))->text(), QStringLiteral("2"));
    QCOMPARE(frameColour(), QColor(255, 0, 0));
    QCOMPARE(window->label(QStringLiteral("lblCevapVeren"))->text(),
             QStringLiteral("Cevap Veren: 0"));
    QCOMPARE(window->label(QStringLiteral("lblSureGorunen"))->text(), QStringLiteral("10 sn"));
    const QStringList first = fx.stored(1);
    QCOMPARE(first.size(), 3);
    QVERIFY2(first.at(0).startsWith(QStringLiteral("10-1=A@")), qPrintable(first.join(' ')));
    QVERIFY(first.at(1).startsWith(QStringLiteral("10-2=X@")));
    QVERIFY(first.at(2).startsWith(QStringLiteral("10-3=@")));
  }

  // The opener puts the bar over everything, and it goes with the run.
  void theControlBarFloatsOverTheBoard() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 4);
    framework::ReceiverController receiver(nullptr);
    QPointer<frmOnizleme> run = deliveryui::openFreePresentation(
        context(), receiver, RunFixture::plan(QString(), remotes), 0);
    QVERIFY(run);
    QCOMPARE(run->session().plan().description.testNo, QStringLiteral("SERBEST"));
    QPointer<frmSerbestTamEkran> bar = run->controlBar();
    QVERIFY(bar && bar->isVisible());
    QVERIFY(bar->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(run->screen()->geometry().contains(bar->geometry()));
    bar->setFolded(true);
    QVERIFY(!bar->cmdNav(Command::Next)->isVisible());
    bar->setFolded(false);
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
      QTest::qWait(200);
      QVERIFY(savePicture(run->screen()->grabWindow(0), QStringLiteral("free-bar-over-run.png")));
    }
    delete run.data();
    QVERIFY(!bar);
  }

  // With a report after each question the bar carries "Teste Devam Et (B)": the
  // teacher working in another window goes on from the bar.
  void theBarGoesOnFromTheQuestionReport() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    framework::ReceiverController receiver(nullptr);
    delivery::RunPlan plan = RunFixture::plan(QString(), remotes);
    plan.settings.afterQuestion = delivery::RunSettings::QuestionReport::QuestionStatistics;
    plan.settings.remoteTestScreen = false;
    QPointer<frmOnizleme> run = deliveryui::openFreePresentation(context(), receiver, plan, 0);
    QVERIFY(run);
    frmSerbestTamEkran* bar = run->controlBar();
    QVERIFY(!bar->cmdTesteDevam()->isVisibleTo(bar));
    bar->cmdNav(Command::Next)->click();
    QCOMPARE(run->session().page(), Page::Report);
    QVERIFY(bar->cmdTesteDevam()->isVisibleTo(bar));
    QVERIFY(saveScreenshot(bar, QStringLiteral("free-bar-report.png")));
    bar->cmdTesteDevam()->click();
    QCOMPARE(run->session().page(), Page::Question);
    QCOMPARE(run->session().position(), 2);
    QVERIFY(!bar->cmdTesteDevam()->isVisibleTo(bar));
    delete run.data();
  }

  // Every window the run opens takes the presses for it while it is active (the
  // control bar, the clipping surface, the virtual remote): opened as in the
  // program, attached by the program, the presses from the receiver's pipeline.
  void noPressIsLostWhileAWindowOfTheRunIsActive() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 3);
    QMainWindow main;
    main.setObjectName(QStringLiteral("MDIForm1"));
    auto* mdi = new QMdiArea(&main);
    main.setCentralWidget(mdi);
    auto* setup = new QWidget;
    setup->setObjectName(QStringLiteral("frmTestUygula"));
    mdi->addSubWindow(setup)->show();
    main.resize(1280, 800);
    main.show();
    framework::ReceiverController receiver(mdi);
    receiver::ManualClock clock;
    receiver.setClock(&clock);
    delivery::RunPlan plan = RunFixture::plan(QString(), remotes);
    plan.settings.remoteTestScreen = false;
    deliveryui::DeliveryHooks hooks;
    hooks.mainWindow = &main;
    QPointer<frmOnizleme> run =
        deliveryui::openFreePresentation(context(), receiver, plan, 0, hooks, true);
    QVERIFY(run);
    run->setGrabber([] {
      QImage board(800, 600, QImage::Format_RGB32);
      board.fill(Qt::white);
      return board;
    });
    delivery::RunSession& session = run->session();
    int answered = 0;
    // A teacher key and a student's answer while `active` is the active window.
    auto pressDuring = [&](QWidget* active) {
      active->activateWindow();
      QTRY_COMPARE(QApplication::activeWindow(), active);
      const bool counts = session.countsShown();
      clock.advance(1000);
      receiver.DugmeBasildi(QStringLiteral("99-1"), QStringLiteral("D"), QStringLiteral("1"));
      QVERIFY2(session.countsShown() != counts, qPrintable(active->objectName()));
      if (answered < remotes.size()) {
        receiver.DugmeBasildi(remotes.at(answered), QStringLiteral("A"), QStringLiteral("1"));
        QCOMPARE(session.counts().answered, ++answered);
      }
    };
    clock.advance(6000);
    receiver.DugmeBasildi(QStringLiteral("99-1"), QStringLiteral("C"), QStringLiteral("1"));
    QVERIFY(session.votingOpen());
    pressDuring(run);
    pressDuring(run->controlBar());
    run->clipQuestion();
    frmKirpma* surface = nullptr;
    QTRY_VERIFY((surface = run->findChild<frmKirpma*>()) && surface->isVisible());
    pressDuring(surface);
    surface->close();
    auto* remote = new frmSanalKumanda(run, &receiver);
    remote->show();
    pressDuring(remote);
    QCOMPARE(answered, 3);
    delete remote;
    delete run.data();
  }

  // Every page of the presentation takes the keyboard's keys as the teacher
  // remote's: the after-question report goes on with →, space and B.
  void theKeyboardGoesOnFromTheQuestionReport() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    fx.addTest(QStringLiteral("7"), QStringLiteral("ABCD"));
    delivery::RunPlan plan = RunFixture::plan(QStringLiteral("7"), remotes);
    plan.settings.afterQuestion = delivery::RunSettings::QuestionReport::QuestionStatistics;
    present(plan);
    wait(3000);
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Space, Qt::Key_B}) {
      QTest::keyClick(window, key);
      QCOMPARE(window->session().page(), Page::Report);
      QVERIFY(window->cmdTesteDevam()->isVisibleTo(window));
      QCOMPARE(window->cmdTesteDevam()->text(), QStringLiteral("Teste Devam Et (B)"));
      const int position = window->session().position();
      QTest::keyClick(window, key);
      QCOMPARE(window->session().page(), Page::Question);
      QCOMPARE(window->session().position(), position);
    }
    QCOMPARE(window->session().position(), 4);
  }

  void theButtonsAreThoseTheRunHasAvailable() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"),
               {QStringLiteral("30"), QStringLiteral("Süresiz")});
    delivery::RunPlan plan = RunFixture::plan(QStringLiteral("7"), remotes);
    plan.settings.remoteTestScreen = true;
    present(plan);
    QCOMPARE(window->session().page(), Page::RemoteTest);
    verifyButtons();
    press(QStringLiteral("10-1"), QStringLiteral("C"));
    window->cmdNav(Command::Next)->click();
    wait(3000);
    // A timed question can pause; there is no sound, so no replay.
    QCOMPARE(window->session().page(), Page::Question);
    QVERIFY(window->cmdNav(Command::Pause)->isVisibleTo(window));
    QVERIFY(!window->cmdNav(Command::Replay)->isVisibleTo(window));
    verifyButtons();
    window->cmdNav(Command::Pause)->click();
    QVERIFY(window->label(QStringLiteral("lblTestDurum"))->isVisibleTo(window));
    QCOMPARE(window->cmdNav(Command::Pause)->text(), QStringLiteral("Devam Et (E)"));
    window->cmdNav(Command::ShowAnswer)->click();
    QCOMPARE(window->label(QStringLiteral("lblCevap"))->text(), QStringLiteral("Cevap: A"));
    verifyButtons();
    // The untimed question has nothing to pause; its teacher key does nothing.
    wait(6000);
    window->cmdNav(Command::Next)->click();
    QCOMPARE(window->session().position(), 2);
    QVERIFY(!window->cmdNav(Command::Pause)->isVisibleTo(window));
    press(QStringLiteral("99-1"), QStringLiteral("E"), true);
    QVERIFY(!window->session().paused());
    verifyButtons();
    // Only the remote that answered the remote test has a tile.
    QCOMPARE(window->session().tiles().size(), 1);
  }

  void leavingAsksFirst() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    fx.addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    present(RunFixture::plan(QStringLiteral("7"), remotes));
    QSignalSpy finished(window.data(), &frmOnizleme::finished);
    wait(3000);
    press(QStringLiteral("10-1"), QStringLiteral("A"));
    wait(5000);
    window->cmdNav(Command::Next)->click();
    press(QStringLiteral("10-1"), QStringLiteral("D"));

    // Closing the window is the exit button: it asks, and "Vazgeç" goes on.
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QVERIFY(window->findChild<QWidget*>(QStringLiteral("frameCikisOnay"))->isVisibleTo(window));
    verifyButtons();
    window->cmdNav(Command::CancelExit)->click();
    QCOMPARE(window->session().page(), Page::Question);
    QVERIFY(!window->findChild<QWidget*>(QStringLiteral("frameCikisOnay"))->isVisibleTo(window));

    // Escape asks too; "Çık" ends the run: the first question stays stored, the
    // one on the screen is dropped.
    QTest::keyClick(window.data(), Qt::Key_Escape);
    QVERIFY(window->session().confirmingExit());
    window->cmdNav(Command::ConfirmExit)->click();
    wait(1000);
    QCOMPARE(finished.count(), 1);
    QTRY_VERIFY(!window);  // closed and gone
    QCOMPARE(fx.stored(1).size(), 2);
    QVERIFY(fx.stored(2).isEmpty());
    QVERIFY(!fx.text(QStringLiteral("SELECT MAX(TESTBITIS) FROM TABLEUYGULAMA")).isEmpty());
  }

  void theSetupHandsOverTheChosenRemotesAndOptions() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 3);
    fx.addClass(QStringLiteral("5-B"), 2, 20);
    fx.addTest(QStringLiteral("7"), QStringLiteral("ABCD"));
    fx.addTest(QStringLiteral("8"), QString(), {}, QStringLiteral("Boş Test"));
    std::optional<delivery::RunPlan> started;
    frmTestUygula screen(context());
    screen.setStartRun([&started](const delivery::RunPlan& plan) {
      started = plan;
      return true;
    });

    // An empty test is refused with the school's message.
    QVERIFY(screen.selectTest(QStringLiteral("8")));
    screen.cmdOnizleme_Click();
    QVERIFY(!started);
    QCOMPARE(fx.messages().lastText(),
             QStringLiteral("İçerisinde soru olmayan bir test uygulanamaz"));

    QVERIFY(screen.selectTest(QStringLiteral("7")));
    QCOMPARE(screen.findChild<QLabel*>(QStringLiteral("lblSoruSayisi"))->text(),
             QStringLiteral("4 Soru"));
    screen.selectClass(QStringLiteral("5-A"));
    screen.findChild<QRadioButton*>(QStringLiteral("optGoturu1"))->setChecked(true);
    screen.findChild<QRadioButton*>(QStringLiteral("optSure1"))->setChecked(true);
    screen.cmdOnizleme_Click();
    QVERIFY(started);
    QCOMPARE(started->studentRemotes, remotes);
    QCOMPARE(started->names.first(), QStringLiteral("Öğrenci1 Soyadı10"));
    QCOMPARE(started->teacherRemotes, QStringList{QStringLiteral("99-1")});
    QCOMPARE(started->description.className, QStringLiteral("5-A"));
    QCOMPARE(started->settings.penalty, delivery::RunSettings::Penalty::ThreeWrongs);
    QCOMPARE(started->settings.duration, delivery::RunSettings::Duration::Untimed);

    // A remote left out is not in the run; with none the virtual remote answers.
    screen.SlisteKumandalar()->SecimiBosalt();
    started.reset();
    screen.cmdOnizleme_Click();
    QCOMPARE(started->studentRemotes, QStringList{QStringLiteral("0-0")});
    QVERIFY(!started->settings.remoteTestScreen);

    // The preview shows the questions and collects nothing.
    screen.cmdTestOnizleme_Click();
    TestPreview* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* p = qobject_cast<TestPreview*>(w)) preview = p;
    QVERIFY(preview);
    preview->go(+1);
    preview->go(+1);
    QCOMPARE(preview->findChild<QLabel*>(QStringLiteral("lblSayac"))->text(),
             QStringLiteral("3/4"));
    delete preview;
    QCOMPARE(fx.count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP")), 0);

    // Saved options come back in the next screen.
    screen.cmdKaydet_Click();
    QCOMPARE(fx.messages().lastText(), QStringLiteral("Ayarlar Kaydedildi"));
    frmTestUygula again(context());
    QCOMPARE(again.options().settings, screen.options().settings);
    QCOMPARE(again.options().settings.penalty, delivery::RunSettings::Penalty::ThreeWrongs);
  }

  void anInterruptedRunIsOfferedAndTakenUpAgain() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    fx.addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    {
      // A run that stopped after its first question (the program was killed).
      delivery::RunSession& run = fx.open(RunFixture::plan(QStringLiteral("7"), remotes));
      fx.throughCountdown();
      fx.press(QStringLiteral("10-1"), QStringLiteral("A"));
      QVERIFY(run.trigger(Command::Next));
    }
    framework::ReceiverController receiver(nullptr);
    auto presentations = [] {
      QList<frmOnizleme*> out;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<frmOnizleme*>(w); p && p->isVisible()) out << p;
      return out;
    };
    bool asked = false;
    // Without the right nothing is asked and nothing opens.
    deliveryui::offerInterruptedRun(context(), receiver, [&asked] { return asked = false; });
    QVERIFY(presentations().isEmpty());
    QVERIFY(fx.messages().takeTexts().isEmpty());

    fx.messages().setNextAnswer(Messages::Answer::Yes);
    deliveryui::offerInterruptedRun(context(), receiver, [&asked] { return asked = true; });
    QVERIFY(asked);
    QVERIFY(fx.messages().lastText().startsWith(QStringLiteral("Yarım kalan bir uygulama var")));
    QCOMPARE(presentations().size(), 1);
    frmOnizleme* resumed = presentations().first();
    QCOMPARE(receiver.router().activeConsumer(), &resumed->presses());
    // It goes on at the first question without stored answers, under the same key.
    QTRY_COMPARE(resumed->session().page(), Page::Question);
    QCOMPARE(resumed->session().position(), 2);
    QCOMPARE(resumed->session().runKey(), fx.session().runKey());
    delete resumed;
  }

  // Going back to a question answered before the break shows those answers on
  // the board, as on any revisited question (the counters always had them).
  void aResumedRunPaintsTheAnswersStoredBeforeTheBreak() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    fx.addTest(QStringLiteral("7"), QStringLiteral("ABC"));
    {
      delivery::RunSession& run = fx.open(RunFixture::plan(QStringLiteral("7"), remotes));
      fx.throughCountdown();
      fx.press(QStringLiteral("10-1"), QStringLiteral("A"));
      QVERIFY(run.trigger(Command::Next));
    }
    const delivery::InterruptedRuns runs(fx.db());
    const QList<delivery::InterruptedRun> found = runs.find().valueOr({});
    QCOMPARE(found.size(), 1);
    present(runs.plan(found.first()).value());
    QVERIFY(QTest::qWaitForWindowExposed(window));
    wait(4000);  // TEST BAŞLIYOR 3-2-1
    const QColor waiting = RunTilesView::colorOf(activity::RemoteTiles::State::NotAnswered);
    const QColor answered = RunTilesView::colorOf(activity::RemoteTiles::State::Answered);
    QCOMPARE(window->session().position(), 2);
    QCOMPARE(paintedTile(window, 0), waiting);
    QTest::mouseClick(window->cmdNav(Command::Previous), Qt::LeftButton);
    QCOMPARE(window->session().position(), 1);
    QCOMPARE(window->session().counts().answered, 1);
    QCOMPARE(paintedTile(window, 0), answered);
    QCOMPARE(paintedTile(window, 1), waiting);
  }

  // Leaving a run before any question was stored ("→" to the first question,
  // Esc, Enter) looks for no report and shows no error: it says so calmly. The
  // same for a free question nobody answered.
  void leavingBeforeAnythingWasStoredSaysSoCalmly() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"), {}, QStringLiteral("Kesirler"), true);
    framework::ReceiverController receiver(nullptr);
    QList<reports::RunKey> reportsOpened;
    deliveryui::DeliveryHooks hooks;
    hooks.openReport = [&reportsOpened](const reports::RunKey& key) { reportsOpened << key; };
    for (const bool free : {false, true}) {
      delivery::RunPlan plan = RunFixture::plan(QStringLiteral("7"), remotes);
      plan.settings.reportAtEnd = true;
      QPointer<frmOnizleme> run =
          free ? deliveryui::openFreePresentation(context(), receiver, plan, 0, hooks)
               : deliveryui::openPresentation(context(), receiver, plan, hooks);
      QVERIFY(run);
      if (!free) QCOMPARE(run->session().page(), Page::StartScreen);
      while (run->session().page() == Page::StartScreen ||
             run->session().page() == Page::QuestionStatistics)
        QTest::keyClick(run, Qt::Key_Right);
      QTRY_COMPARE_WITH_TIMEOUT(run->session().page(), Page::Question, 6000);
      fx.messages().takeTexts();
      QTest::keyClick(run, Qt::Key_Escape);
      QTest::keyClick(run, Qt::Key_Return);
      QTRY_VERIFY(run.isNull());
      QVERIFY(reportsOpened.isEmpty());
      QCOMPARE(fx.messages().takeTexts(),
               QStringList{QStringLiteral("Uygulamadan hiç soru kaydedilmeden çıkıldı.")});
    }
  }

  // The class answers a free question while the teacher works on its bar: a
  // press that arrives then is the run's, not the set-up screen's behind it.
  void theFreeRunsBarKeepsThePressesForTheRun() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    QMdiArea mdi;
    auto* setup = new QWidget;
    setup->setObjectName(QStringLiteral("frmTestUygula"));
    mdi.addSubWindow(setup);
    mdi.resize(1024, 700);
    mdi.show();
    QVERIFY(QTest::qWaitForWindowActive(&mdi));
    framework::ReceiverController receiver(&mdi);
    delivery::RunPlan plan = RunFixture::plan(QStringLiteral("SERBEST"), remotes);
    plan.settings.autoStartVoting = true;
    QPointer<frmOnizleme> run = deliveryui::openFreePresentation(context(), receiver, plan);
    QVERIFY(run);
    // Which of the board and its bar the window system activates first is a
    // race; here the board, then the bar.
    run->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(run.data()));
    // A press while the board is the active window.
    QCOMPARE(receiver.router().activeConsumer(), &run->presses());
    frmSerbestTamEkran* bar = run->controlBar();
    // A click on the bar: the window manager gives it the focus.
    bar->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(bar));
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(bar));
    // A press while the bar is: it still goes to the run.
    QCOMPARE(receiver.router().activeConsumer(), &run->presses());
    delete run.data();
  }

  void withoutRemotesTheVirtualRemoteAnswers() {
    fx.addTest(QStringLiteral("7"), QStringLiteral("BC"));
    framework::ReceiverController receiver(nullptr);
    frmOnizleme* run = deliveryui::openPresentation(context(), receiver,
                                                    RunFixture::plan(QStringLiteral("7"), {}));
    QVERIFY(run);
    QVERIFY(run->session().virtualRemoteOnly());
    QCOMPARE(run->session().page(), Page::Question);
    // Counting makes no sense with one answerer: no tiles, no counters button.
    QVERIFY(!run->cmdNav(Command::ToggleCounts)->isVisibleTo(run));
    frmSanalKumanda* remote = run->findChild<frmSanalKumanda*>();
    if (!remote)
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* r = qobject_cast<frmSanalKumanda*>(w)) remote = r;
    QVERIFY(remote);
    remote->cmdDugme_Click(1);  // B, through the receiver's head and the routing
    QCOMPARE(run->session().tiles().tiles().first().letter, QStringLiteral("B"));
    QCOMPARE(run->session().counts().answered, 1);
    delete run;
  }

  void picturesLoseTheirEmptyMargins() {
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter(&page).fillRect(QRect(300, 200, 100, 50), Qt::black);
    const QImage content = QuestionPicture::trimmed(page);
    QVERIFY(content.width() < 200 && content.height() < 150);
    QVERIFY(content.width() >= 100 && content.height() >= 50);
    // A picture of one colour, or none, stays as it is.
    QImage blank(40, 30, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QCOMPARE(QuestionPicture::trimmed(blank).size(), blank.size());
    QVERIFY(QuestionPicture::trimmed(QImage()).isNull());
  }

  // A typed question is set again for the room it is shown in: large type when the
  // room allows it, scrolling rather than shrinking below the floor.
  void aTypedQuestionIsSetForItsRoom() {
    auto show = [this](int sentences, QSize room) {
      authoring::TypedQuestion typed;
      typed.setStemText(QStringLiteral("Bir çiftlikte tavuk ve koyunların ayak sayısı 50'dir. ")
                            .repeated(sentences));
      for (int i = 0; i < 5; ++i) typed.setChoice(i, QString::number(10 + i));
      authoring::Question q;
      q.dogruSik = QStringLiteral("C");
      const QString key =
          authoring::QuestionBank(fx.db()).add(q, {typed.picture().valueOr({}), {}}).valueOr({});
      auto* picture = new QuestionPicture;
      picture->resize(room);
      picture->setImage(QuestionPicture::trimmed(
          QuestionPicture::questionImage(fx.db(), key, false).valueOr({})));
      return std::unique_ptr<QuestionPicture>(picture);
    };
    const QSize board(1600, 820);
    const auto shortOne = show(2, board);
    // The stored 1920-pixel picture scaled into this room would set it in 44 × 1600 / 1920.
    QVERIFY2(shortOne->typedFontPixels() > 44 * 1600 / 1920,
             qPrintable(QString::number(shortOne->typedFontPixels())));
    const auto endless = show(120, board);
    QVERIFY(endless->typedFontPixels() >= 20);  // 30 on a 1080-line board
    const QImage before = endless->grab().toImage();
    QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), {}, QPoint(0, -240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(endless.get(), &wheel);
    QVERIFY(endless->grab().toImage() != before);  // it scrolled
  }

  void tilesFillTheirFrameWithoutOverlapping() {
    for (int count : {1, 7, 30, 60}) {
      const QRect area(0, 0, 700, 540);
      QRect last;
      for (int i = 0; i < count; ++i) {
        const QRect r = RunTilesView::tileRect(i, count, area);
        QVERIFY2(area.contains(r), qPrintable(QStringLiteral("%1 of %2").arg(i).arg(count)));
        QVERIFY(r.width() >= 60 && r.height() >= 20);
        if (i > 0) QVERIFY(!r.intersects(last));
        last = r;
      }
    }
    // The three states differ by colour and by mark.
    using State = activity::RemoteTiles::State;
    QVERIFY(RunTilesView::colorOf(State::Answered) != RunTilesView::colorOf(State::Blank));
    QVERIFY(RunTilesView::colorOf(State::Answered) != RunTilesView::colorOf(State::NotAnswered));
    QVERIFY(RunTilesView::markOf(State::Answered) != RunTilesView::markOf(State::Blank));
    QVERIFY(RunTilesView::markOf(State::NotAnswered).isEmpty());
  }

  void thePresentationGoesOnTheProjector() {
    using framework::presentationScreenIndex;
    QCOMPARE(presentationScreenIndex({QStringLiteral("eDP-1")}, 0, {}), 0);
    QCOMPARE(presentationScreenIndex({QStringLiteral("eDP-1"), QStringLiteral("HDMI-1")}, 0, {}),
             1);
    QCOMPARE(presentationScreenIndex({QStringLiteral("HDMI-1"), QStringLiteral("eDP-1")}, 1, {}),
             0);
    QCOMPARE(presentationScreenIndex({QStringLiteral("eDP-1"), QStringLiteral("HDMI-1")}, 0,
                                     QStringLiteral("eDP-1")),
             0);
    // A remembered screen that is gone is no choice.
    QCOMPARE(presentationScreenIndex({QStringLiteral("eDP-1"), QStringLiteral("DP-2")}, 0,
                                     QStringLiteral("HDMI-1")),
             1);
  }

  // Pictures of the screens with the demo school (DERSLIK_SHOTS=folder to keep them).
  void screenshotsWithTheDemoSchool() {
    QVERIFY(school::createDemoSchool(fx.db()).ok());
    QVERIFY(authoring::createDemoBank(fx.db()).ok());
    const QString testNo = fx.text(QStringLiteral(
        "SELECT TESTNO FROM TABLETEST T WHERE (SELECT COUNT(*) FROM TABLETESTSORU S WHERE "
        "S.TESTNO=T.TESTNO)>=3 ORDER BY TESTNO LIMIT 1"));
    QVERIFY(!testNo.isEmpty());
    // The suite checks one size; scripts/pictures makes both.
    QList<QSize> sizes{QSize(1280, 800)};
    if (!qEnvironmentVariableIsEmpty("DERSLIK_SHOTS")) sizes << QSize(1920, 1080);
    for (const QSize size : sizes) {
      const QString suffix = QStringLiteral("%1x%2.png").arg(size.width()).arg(size.height());
      frmTestUygula setup(context());
      std::optional<delivery::RunPlan> plan;
      setup.setStartRun([&plan](const delivery::RunPlan& p) {
        plan = p;
        return true;
      });
      setup.resize(size);
      setup.show();
      QVERIFY(setup.selectTest(testNo));
      QTest::qWait(20);
      QVERIFY(saveScreenshot(&setup, QStringLiteral("setup-tests-") + suffix));
      setup.showOptions(true);
      QTest::qWait(20);
      QVERIFY(saveScreenshot(&setup, QStringLiteral("setup-options-") + suffix));
      setup.cmdOnizleme_Click();
      QVERIFY(plan);
      plan->settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
      plan->settings.remoteTestScreen = true;
      plan->settings.reportAtEnd = true;
      present(*plan);
      window->resize(size);
      const QStringList addresses = plan->studentRemotes;
      for (int i = 0; i < addresses.size(); i += 3) press(addresses.at(i), QStringLiteral("A"));
      QTest::qWait(20);
      QVERIFY(saveScreenshot(window, QStringLiteral("run-remote-test-") + suffix));
      window->cmdNav(Command::Next)->click();
      QTest::qWait(20);
      QVERIFY(saveScreenshot(window, QStringLiteral("run-countdown-") + suffix));
      wait(3000);
      const QStringList inRun = window->session().plan().studentRemotes;
      for (int i = 0; i < inRun.size(); i += 2) press(inRun.at(i), QStringLiteral("B"));
      press(inRun.last(), QStringLiteral("X"));
      wait(4000);
      QTest::qWait(20);
      QVERIFY(saveScreenshot(window, QStringLiteral("run-question-") + suffix));
      if (!qEnvironmentVariableIsEmpty("DERSLIK_SHOTS")) {
        // Two fingers spread over the question's text: enlarged around them,
        // "Sığdır" shown.
        static QPointingDevice* finger = QTest::createTouchDevice();
        auto* picture = window->findChild<QuestionPicture*>(QStringLiteral("imgSoru"));
        const QPoint c(picture->width() / 4, picture->height() / 3);
        QTest::touchEvent(picture, finger).press(0, c - QPoint(40, 0)).press(1, c + QPoint(40, 0));
        for (int i = 1; i <= 4; ++i)
          QTest::touchEvent(picture, finger)
              .move(0, c - QPoint(40 + 25 * i, 0))
              .move(1, c + QPoint(40 + 25 * i, 0));
        QTest::touchEvent(picture, finger)
            .release(0, c - QPoint(140, 0))
            .release(1, c + QPoint(140, 0));
        QVERIFY(saveScreenshot(window, QStringLiteral("run-question-zoomed-") + suffix));
        picture->touch()->fit();
      }
      window->cmdNav(Command::ToggleCounts)->click();
      window->cmdNav(Command::ShowAnswer)->click();
      QTest::qWait(20);
      QVERIFY(saveScreenshot(window, QStringLiteral("run-counts-") + suffix));
      window->cmdNav(Command::Exit)->click();
      QTest::qWait(20);
      QVERIFY(saveScreenshot(window, QStringLiteral("run-exit-") + suffix));
      window->cmdNav(Command::CancelExit)->click();
      while (window->session().page() == Page::Question) window->cmdNav(Command::Next)->click();
      QCOMPARE(window->session().page(), Page::FinalStatistics);
      // The final page's chart carries the run's own counts, in three bars.
      const delivery::RunStatistics& figures = window->session().finalStatistics();
      auto* chart = window->findChild<QChartView*>(QStringLiteral("chartIstatistik"));
      QVERIFY(chart && chart->isVisible());
      const QList<QAbstractSeries*> series = chart->chart()->series();
      QCOMPARE(series.size(), 1);
      QList<qreal> bars;
      for (QBarSet* set : static_cast<QBarSeries*>(series.first())->barSets()) bars << set->at(0);
      QCOMPARE(bars,
               (QList<qreal>{qreal(figures.correct), qreal(figures.wrong), qreal(figures.blank)}));
      QVERIFY(figures.correct + figures.wrong > 0);
      QTest::qWait(20);
      QVERIFY(saveScreenshot(window, QStringLiteral("run-final-") + suffix));
      window->cmdNav(Command::Next)->click();
      wait(1000);
      QTRY_VERIFY(!window);
    }
  }
};

QTEST_MAIN(TestDeliveryScreens)
#include "tst_delivery_screens.moc"
