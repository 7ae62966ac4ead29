#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <optional>

#include "RunFixture.h"
#include "Screenshot.h"
#include "framework/ReceiverController.h"
#include "framework/RunTilesView.h"
#include "framework/Sliste.h"
#include "framework/frmSanalKumanda.h"
#include "lists/FilterLists.h"
#include "school/DemoSchool.h"
#include "screens/game/GameScreens.h"
#include "screens/game/RaceView.h"
#include "screens/game/frmOyun.h"
#include "screens/game/frmOyun1.h"
#include "screens/game/frmYoklama.h"

using State = activity::RemoteTiles::State;

class TestGameScreens : public QObject {
  Q_OBJECT

  RunFixture fx;
  std::unique_ptr<framework::ReceiverController> receiver;

  ScreenContext context() { return {fx.db(), fx.messages(), fx.rights(), {}}; }

  // A press as the receiver hands it on: repeat window, then the routing to the
  // window in front.
  void press(const QString& address, const QString& letter) {
    receiver->DugmeBasildi(address, letter, QStringLiteral("1"));
  }
  template <typename T>
  static QList<T*> openWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<T*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) out << t;
    return out;
  }
  static void closeAll() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<frmYoklama*>(w) || qobject_cast<frmOyun1*>(w)) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  static game::Players players(const QStringList& addresses) {
    game::Players p;
    for (const QString& a : addresses) {
      p.addresses << a;
      p.names << QStringLiteral("Öğrenci ") + a;
    }
    return p;
  }
  // Everybody in `runners` presses the other key than last time every `every` ms
  // (the first at once), for `ms` or until the race is over.
  void run(frmOyun1* race, const QList<QPair<QString, int>>& runners, int ms = 120000) {
    for (int t = 0; t < ms && !race->race().over(); t += 100) {
      for (const auto& [address, every] : runners) {
        if (t % every != 0) continue;
        for (const game::Race::Lane& lane : race->race().lanes())
          if (lane.address == address)
            press(address,
                  lane.lastKey == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A"));
      }
      fx.clock().advance(100);
    }
  }
  static void boardSized(QWidget* window) {
    window->showNormal();
    window->resize(1366, 768);
    QTest::qWait(30);
  }

 private slots:
  void init() {
    fx.setUp();
    fx.addTeacherRemote();
    receiver = std::make_unique<framework::ReceiverController>(nullptr);
    receiver->setClock(&fx.clock());
  }
  void cleanup() {
    closeAll();
    receiver.reset();
    fx.tearDown();
  }

  // The set-up lists the chosen class's remotes with their students, keeps the
  // class for next time, hands the chosen players over and refuses none.
  void setupChoosesThePlayers() {
    fx.addClass(QStringLiteral("5-A"), 3);
    fx.addClass(QStringLiteral("5-B"), 2, 11);
    std::optional<game::Players> handed;
    {
      frmOyun setup(context());
      setup.setStartAttendance([&handed](const game::Players& p) { handed = p; });
      // The first time, the first class rather than every class.
      QCOMPARE(setup.cmbSinifi()->itemText(0), lists::kTumu);
      QCOMPARE(setup.cmbSinifi()->currentText(), QStringLiteral("5-A"));
      QCOMPARE(setup.SlisteKumandalar()->kayitSayisi(), 3);
      // Under every class a remote paired in two classes is two rows but one player.
      fx.school().student(QStringLiteral("Ece"), QStringLiteral("6-A"), QStringLiteral("900"));
      fx.school().pair(QStringLiteral("10-1"), {QStringLiteral("900")});
      setup.selectClass(lists::kTumu);
      QCOMPARE(setup.SlisteKumandalar()->kayitSayisi(), 6);
      QCOMPARE(setup.lblOyuncuSayisi()->text(), QStringLiteral("Seçilen oyuncu: 5 / 5"));
      setup.selectClass(QStringLiteral("5-B"));
      QCOMPARE(setup.SlisteKumandalar()->kayitSayisi(), 2);
      QCOMPARE(setup.lblOyuncuSayisi()->text(), QStringLiteral("Seçilen oyuncu: 2 / 2"));

      setup.SlisteKumandalar()->SecimiBosalt();
      setup.cmdYoklama_Click();
      QVERIFY(!handed);
      QCOMPARE(fx.messages().lastText(), QStringLiteral("Hiç oyuncu tanımlı değil"));
    }
    frmOyun again(context());
    again.setStartAttendance([&handed](const game::Players& p) { handed = p; });
    QCOMPARE(again.cmbSinifi()->currentText(), QStringLiteral("5-B"));
    again.cmdYoklama_Click();
    QVERIFY(handed);
    QCOMPARE(handed->addresses, (QStringList{QStringLiteral("11-1"), QStringLiteral("11-2")}));
    QCOMPARE(handed->names.first(), QStringLiteral("Öğrenci1 Soyadı11"));
  }

  // Any key marks a player present, X takes it back, a stranger's remote changes
  // nothing; the start hands exactly the marked players to the race, in their
  // order, and the race then takes the presses.
  void rollCallStartsTheRaceWithThePresent() {
    frmYoklama* roll = gameui::openAttendance(
        context(), *receiver,
        players({QStringLiteral("10-1"), QStringLiteral("10-2"), QStringLiteral("10-3")}), nullptr,
        fx.clock());
    QVERIFY(roll);
    const game::Attendance& attendance = roll->attendance();
    QCOMPARE(roll->lblKumandaSayisi()->text(), QStringLiteral("(0)"));
    press(QStringLiteral("10-1"), QStringLiteral("A"));
    press(QStringLiteral("10-3"), QStringLiteral("E"));
    QCOMPARE(roll->lblKumandaSayisi()->text(), QStringLiteral("(2)"));
    QCOMPARE(attendance.tiles().tiles().at(0).state, State::Answered);
    press(QStringLiteral("10-1"), QStringLiteral("X"));
    QCOMPARE(roll->lblKumandaSayisi()->text(), QStringLiteral("(1)"));
    QCOMPARE(attendance.tiles().tiles().at(0).state, State::NotAnswered);
    press(QStringLiteral("77-7"), QStringLiteral("A"));
    QCOMPARE(roll->lblKumandaSayisi()->text(), QStringLiteral("(1)"));
    press(QStringLiteral("10-2"), QStringLiteral("B"));
    press(QStringLiteral("10-2"), QStringLiteral("X"));
    press(QStringLiteral("10-1"), QStringLiteral("C"));  // marked again
    QCOMPARE(roll->lblKumandaSayisi()->text(), QStringLiteral("(2)"));
    QVERIFY(openWindows<frmOyun1>().isEmpty());

    roll->cmdBasla()->click();
    const QList<frmOyun1*> races = openWindows<frmOyun1>();
    QCOMPARE(races.size(), 1);
    QVERIFY(openWindows<frmYoklama>().isEmpty());
    const QList<game::Race::Lane>& lanes = races.first()->race().lanes();
    QCOMPARE(lanes.size(), 2);
    QCOMPARE(lanes.at(0).address, QStringLiteral("10-1"));
    QCOMPARE(lanes.at(1).name, QStringLiteral("Öğrenci 10-3"));
    QCOMPARE(receiver->router().activeConsumer(), &races.first()->race());
    fx.clock().advance(1000);
    press(QStringLiteral("10-3"), QStringLiteral("A"));
    QCOMPARE(lanes.at(1).steps, 1);
  }

  // Closing the roll call starts nothing; starting it with nobody present says
  // so and opens no race.
  void rollCallWithoutAGame() {
    const game::Players two = players({QStringLiteral("10-1"), QStringLiteral("10-2")});
    frmYoklama* closed = gameui::openAttendance(context(), *receiver, two, nullptr, fx.clock());
    QSignalSpy gone(closed, &frmYoklama::closedWithoutGame);
    // The virtual remote answers for a listed player and closes with the roll call.
    closed->cmdSanalKumanda_Click();
    QPointer<frmSanalKumanda> remote = closed->findChild<frmSanalKumanda*>();
    QVERIFY(remote);
    QCOMPARE(remote->lstAdresler()->count(), 2);
    remote->lstAdresler()->setCurrentRow(1);
    remote->cmdDugme_Click(0);
    QCOMPARE(closed->lblKumandaSayisi()->text(), QStringLiteral("(1)"));
    QCOMPARE(closed->attendance().tiles().tiles().at(1).state, State::Answered);
    closed->cmdCikis()->click();
    QCOMPARE(gone.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!remote);
    QVERIFY(openWindows<frmYoklama>().isEmpty());
    QVERIFY(openWindows<frmOyun1>().isEmpty());
    QVERIFY(fx.messages().takeTexts().isEmpty());

    frmYoklama* empty = gameui::openAttendance(context(), *receiver, two, nullptr, fx.clock());
    press(QStringLiteral("10-2"), QStringLiteral("B"));
    press(QStringLiteral("10-2"), QStringLiteral("X"));
    empty->cmdBasla()->click();
    QVERIFY(openWindows<frmOyun1>().isEmpty());
    QVERIFY(openWindows<frmYoklama>().isEmpty());
    QCOMPARE(fx.messages().lastText(), QStringLiteral("Oyuncu sayısı sıfır"));
  }

  // Only A then B then A … moves a runner (the same key again, other keys and
  // other remotes do not); the runner glides to its step; the first three reach
  // the podium with their times, the winner in the middle.
  void raceMovesOnAlternatingKeysAndCrownsTheWinner() {
    frmOyun1* race = gameui::openRace(context(), *receiver,
                                      players({QStringLiteral("10-1"), QStringLiteral("10-2"),
                                               QStringLiteral("10-3"), QStringLiteral("10-4")}),
                                      500, nullptr, fx.clock());
    QVERIFY(race);
    const QList<game::Race::Lane>& lanes = race->race().lanes();
    press(QStringLiteral("10-1"), QStringLiteral("B"));  // B first: nothing
    press(QStringLiteral("10-1"), QStringLiteral("A"));
    QCOMPARE(lanes.at(0).steps, 1);
    QVERIFY(race->view()->animating());
    QVERIFY(race->view()->shownSteps(0) < 1.0);
    fx.clock().advance(1100);
    press(QStringLiteral("10-1"), QStringLiteral("A"));  // admitted, but the same key
    press(QStringLiteral("10-1"), QStringLiteral("C"));
    press(QStringLiteral("55-5"), QStringLiteral("B"));
    QCOMPARE(lanes.at(0).steps, 1);
    press(QStringLiteral("10-1"), QStringLiteral("B"));
    QCOMPARE(lanes.at(0).steps, 2);
    QTRY_VERIFY(!race->view()->animating());
    QCOMPARE(race->view()->shownSteps(0), 2.0);

    fx.clock().advance(1000);
    const qint64 start = fx.clock().msecs();
    run(race, {{QStringLiteral("10-2"), 700},
               {QStringLiteral("10-3"), 600},
               {QStringLiteral("10-4"), 800},
               {QStringLiteral("10-1"), 900}});
    QVERIFY(race->race().over());
    QTRY_VERIFY(race->podium()->isVisible());
    PodiumView* podium = race->podium();
    QCOMPARE(podium->lblDerece(1)->text(), QStringLiteral("Öğrenci 10-3"));
    QCOMPARE(podium->lblDerece(2)->text(), QStringLiteral("Öğrenci 10-2"));
    QVERIFY(podium->lblKazanan()->text().contains(QStringLiteral("Öğrenci 10-3")));
    // 30 steps, one every 600 ms from the race's start: the last at 29 × 600 ms.
    const qint64 sinceStart = start + 29 * 600;
    QCOMPARE(podium->lblSure(1)->text(), game::Race::timeText(sinceStart));
    QCOMPARE(podium->lblSure(1)->text(), QStringLiteral("19,5 sn"));
    QCOMPARE(podium->lblDerece(3)->text(), QStringLiteral("Öğrenci 10-4"));
    QCOMPARE(lanes.at(0).place, 0);  // the slowest is left on the track

    // Another race with the same players starts from the line.
    race->findChild<QPushButton*>(QStringLiteral("cmdTekrar"))->click();
    QVERIFY(!race->race().over());
    QVERIFY(!podium->isVisible());
    QCOMPARE(lanes.at(2).steps, 0);
  }

  // The receiver's full rate (1,000 reports a second) from 60 remotes, through
  // the routing into the race window, is taken in far less time than it lasts.
  void raceKeepsUpWithTheReceiver() {
    QStringList addresses;
    for (int i = 1; i <= 60; ++i) addresses << QStringLiteral("20-%1").arg(i);
    frmOyun1* race =
        gameui::openRace(context(), *receiver, players(addresses), 500, nullptr, fx.clock());
    QVERIFY(race);
    boardSized(race);
    QElapsedTimer wall;
    wall.start();
    constexpr int kPresses = 10000;  // ten seconds of the receiver
    for (int k = 0; k < kPresses; ++k) {
      press(addresses.at(k % 60), (k / 60) % 2 ? QStringLiteral("B") : QStringLiteral("A"));
      fx.clock().advance(1);
      if (k % 16 == 0) QCoreApplication::processEvents();  // frames are drawn meanwhile
    }
    const qint64 ms = wall.elapsed();
    qInfo("%d presses into the race: %lld ms", kPresses, ms);
    QVERIFY(race->race().lanes().at(0).steps > 0);
    QVERIFY2(ms < 10000, qPrintable(QString::number(ms)));
  }

  // Lanes stay inside the board and apart, in one to three columns.
  void lanesFillTheBoard() {
    const QRect board(0, 0, 1366, 700);
    for (int count : {1, 4, 10, 11, 24, 30, 31, 60}) {
      QRect all;
      for (int i = 0; i < count; ++i) {
        const QRect r = RaceView::laneRect(i, count, board);
        QVERIFY2(board.contains(r), qPrintable(QStringLiteral("%1 of %2").arg(i).arg(count)));
        QVERIFY(r.height() >= 20);
        for (int j = 0; j < i; ++j) QVERIFY(!r.intersects(RaceView::laneRect(j, count, board)));
        all |= r;
      }
      QVERIFY(all.width() > board.width() * 9 / 10);
    }
  }

  // Pictures of the game with the demo school (DERSLIK_SHOTS=folder to keep them).
  void screenshotsWithTheDemoSchool() {
    PICTURES_ONLY();
    QVERIFY(school::createDemoSchool(fx.db()).ok());
    frmOyun setup(context());
    setup.resize(1366, 700);
    setup.show();
    setup.selectClass(setup.cmbSinifi()->itemText(1));
    QTest::qWait(30);
    QVERIFY(saveScreenshot(&setup, QStringLiteral("game-setup-1366x768.png")));

    std::optional<game::Players> chosen;
    setup.setStartAttendance([&chosen](const game::Players& p) { chosen = p; });
    setup.cmdYoklama_Click();
    QVERIFY(chosen && chosen->size() > 10);
    frmYoklama* roll = gameui::openAttendance(context(), *receiver, *chosen, nullptr, fx.clock());
    boardSized(roll);
    for (int i = 0; i < chosen->size(); ++i)
      if (i % 4 != 3) press(chosen->addresses.at(i), QStringLiteral("A"));
    QTest::qWait(30);
    QVERIFY(saveScreenshot(roll, QStringLiteral("game-attendance-1366x768.png")));
    roll->cmdBasla()->click();
    QList<frmOyun1*> races = openWindows<frmOyun1>();
    QCOMPARE(races.size(), 1);
    frmOyun1* race = races.first();
    boardSized(race);
    QList<QPair<QString, int>> runners;
    const QList<game::Race::Lane>& lanes = race->race().lanes();
    // Everybody at a speed of their own (no ties on the podium).
    for (int i = 0; i < lanes.size(); ++i)
      runners.append({lanes.at(i).address, 500 + 100 * ((i * 7) % 29)});
    run(race, runners, 9000);
    race->view()->settle();
    QTest::qWait(150);  // the time shown catches up
    QVERIFY(saveScreenshot(race, QStringLiteral("game-race-1366x768.png")));
    run(race, runners);
    QTRY_VERIFY(race->podium()->isVisible());
    QVERIFY(saveScreenshot(race, QStringLiteral("game-podium-1366x768.png")));

    // A small group: broad lanes.
    frmOyun1* few =
        gameui::openRace(context(), *receiver, players({"10-1", "10-2", "10-3", "10-4", "10-5"}),
                         500, nullptr, fx.clock());
    boardSized(few);
    run(few, {{"10-1", 600}, {"10-2", 500}, {"10-3", 900}, {"10-4", 700}, {"10-5", 1300}}, 7000);
    few->view()->settle();
    fx.clock().advance(1000);
    press(QStringLiteral("10-4"), few->race().lanes().at(3).lastKey == QLatin1String("A")
                                      ? QStringLiteral("B")
                                      : QStringLiteral("A"));
    QTest::qWait(120);  // caught mid-glide, the clock shown up to date
    QVERIFY(saveScreenshot(few, QStringLiteral("game-race-few-1366x768.png")));
  }
};

QTEST_MAIN(TestGameScreens)
#include "tst_game_screens.moc"
