#include <QtTest>

#include "../delivery/RunFixture.h"
#include "game/Attendance.h"
#include "game/GamePlayers.h"
#include "game/Race.h"
#include "lists/FilterLists.h"

using game::Attendance;
using game::Players;
using game::Race;

class TestGame : public QObject, public RunFixture {
  Q_OBJECT

  static Players three() {
    return {{"10-1", "10-2", "10-3"}, {"Ali Kaya", "Ayşe Demir", "Can Ak"}};
  }
  static receiver::AdmittedPress pressOf(const QString& address, const QString& letter) {
    return {{address, letter, QStringLiteral("1")}, false, {}};
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  // Any key but X marks a player present, X takes it back, a stranger's press
  // changes nothing; start keeps exactly the marked players, each judged by its
  // own tile.
  void rollCall() {
    Attendance roll(three(), clock());
    QSignalSpy tiles(&roll, &Attendance::tileChanged);
    QCOMPARE(roll.countText(), QStringLiteral("(0)"));
    roll.press(pressOf("10-3", "D"));
    roll.press(pressOf("10-1", "A"));
    QCOMPARE(roll.countText(), QStringLiteral("(2)"));
    roll.press(pressOf("10-1", "X"));
    QCOMPARE(roll.presentCount(), 1);
    roll.press(pressOf("77-7", "A"));
    QCOMPARE(roll.presentCount(), 1);
    QCOMPARE(tiles.count(), 3);
    roll.press(pressOf("10-1", "C"));
    QCOMPARE(roll.start(), (Players{{"10-1", "10-3"}, {"Ali Kaya", "Can Ak"}}));

    Attendance nobody(three(), clock());
    QCOMPARE(nobody.start().size(), 0);
    Race race(clock());
    const Status s = race.start(nobody.start());
    QVERIFY(!s.ok());
    QCOMPARE(s.error(), Race::noPlayersText());
  }

  // What a player's browser is shown: the roll call takes every letter and shows
  // the player's own; the race takes A and B while the player still runs, and
  // shows the key pressed last so the next one is the other. A browser of
  // somebody not playing is never open.
  void whatAPlayersBrowserSees() {
    Attendance roll(three(), clock());
    QCOMPARE(roll.answerState("10-2"), (activity::AnswerState{1, true, {}, "ABCDE"}));
    roll.press(pressOf("10-2", "D"));
    QCOMPARE(roll.answerState("10-2").answer, QStringLiteral("D"));
    QVERIFY(!roll.answerState("77-7").open);

    Race race(clock());
    QVERIFY(race.start(roll.start(), 0, 2).ok());
    QCOMPARE(race.answerState("10-2"), (activity::AnswerState{1, true, {}, "AB"}));
    race.press(pressOf("10-2", "A"));
    QCOMPARE(race.answerState("10-2").answer, QStringLiteral("A"));
    race.press(pressOf("10-2", "B"));
    QVERIFY(race.over());
    QVERIFY(!race.answerState("10-2").open);
    QVERIFY(!race.answerState("10-1").open);
  }

  // A player moves only on A, B, A … and no faster than the step interval; the
  // first three to the finish make the podium, with their times, and end it.
  void raceRules() {
    Players four = three();
    four.addresses << "10-4";
    four.names << "Deniz Er";
    Race race(clock());
    QVERIFY(race.start(four, 500, 4).ok());
    const auto step = [&](const QString& address, const QString& key) {
      race.press(pressOf(address, key));
    };
    step("10-1", "B");  // B before any A
    QCOMPARE(race.lanes().at(0).steps, 0);
    step("10-1", "A");
    step("10-1", "A");  // the same key twice
    clock().advance(600);
    step("10-1", "A");
    QCOMPARE(race.lanes().at(0).steps, 1);
    step("10-1", "B");
    QCOMPARE(race.lanes().at(0).steps, 2);
    step("10-1", "A");  // alternating, but inside the interval
    QCOMPARE(race.lanes().at(0).steps, 2);
    step("10-2", "C");
    QCOMPARE(race.lanes().at(1).steps, 0);

    // 10-3 runs every 500 ms and wins; 10-2 second, 10-4 third; 10-1 is left.
    const QList<QPair<QString, int>> runners{{"10-3", 500}, {"10-2", 700}, {"10-4", 900}};
    QSignalSpy finished(&race, &Race::finished);
    for (int t = 0; t < 10000 && !race.over(); t += 100) {
      for (const auto& [address, every] : runners) {
        if (t % every != 0) continue;
        const int steps = race.lanes().at(four.addresses.indexOf(address)).steps;
        step(address, steps % 2 == 0 ? QStringLiteral("A") : QStringLiteral("B"));
      }
      clock().advance(100);
    }
    QVERIFY(race.over());
    QCOMPARE(finished.count(), 1);
    const QList<Race::PodiumPlace> podium = race.podium();
    QCOMPARE(podium.size(), 3);
    QCOMPARE(podium.at(0).name, QStringLiteral("Can Ak"));
    QCOMPARE(podium.at(1).name, QStringLiteral("Ayşe Demir"));
    QCOMPARE(podium.at(2).name, QStringLiteral("Deniz Er"));
    QCOMPARE(podium.at(0).time, QStringLiteral("2,1 sn"));
    const int before = race.lanes().at(0).steps;
    clock().advance(1000);
    step("10-1", race.lanes().at(0).steps % 2 == 0 ? "A" : "B");
    QCOMPARE(race.lanes().at(0).steps, before);  // over: nothing moves
  }

  // The set-up lists the class's remotes (every class with "TÜMÜ"); a remote
  // listed twice is one player; choosing nobody is refused.
  void choosingPlayers() {
    addClass(QStringLiteral("5-A"), 2);
    addClass(QStringLiteral("5-B"), 1, 11);
    addTeacherRemote();
    game::GamePlayers setup(db());
    QCOMPARE(setup.remotes(QStringLiteral("5-A")).valueOr({}).size(), 2);
    const QList<game::GamePlayers::Row> all = setup.remotes(lists::kTumu).valueOr({});
    QCOMPARE(all.size(), 3);
    const Result<Players> chosen = game::GamePlayers::choose({all.at(0), all.at(0), all.at(2)});
    QVERIFY(chosen.ok());
    QCOMPARE(chosen->size(), 2);
    QCOMPARE(chosen->names.first(), QStringLiteral("Öğrenci1 Soyadı10"));
    const Result<Players> none = game::GamePlayers::choose({});
    QVERIFY(!none.ok());
    QCOMPARE(none.error(), game::GamePlayers::noPlayersText());
  }
};

QTEST_GUILESS_MAIN(TestGame)
#include "tst_game.moc"
