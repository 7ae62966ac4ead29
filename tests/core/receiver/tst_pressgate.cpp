#include <QtTest>

#include "FakeClock.h"
#include "activity/RemoteTiles.h"
#include "receiver/Colors.h"
#include "receiver/PressGate.h"

using namespace receiver;
using activity::RemoteTiles;
using State = activity::RemoteTiles::State;

namespace {

DugmeSinyali press(const QString& address, const QString& letter) {
  return {address, letter, QStringLiteral("1")};
}

}  // namespace

class TestPressGate : public QObject {
  Q_OBJECT
 private slots:
  // Each step: advance the clock by ms, then press; expect accepted or dropped.
  void repeatWindow_data() {
    QTest::addColumn<QList<int>>("advance");
    QTest::addColumn<QStringList>("keys");  // "address|letter"
    QTest::addColumn<QList<bool>>("accepted");
    QTest::newRow("same twice inside 1 s")
        << QList<int>{0, 500} << QStringList{"7-200|A", "7-200|A"} << QList<bool>{true, false};
    QTest::newRow("same at 999 ms")
        << QList<int>{0, 999} << QStringList{"7-200|A", "7-200|A"} << QList<bool>{true, false};
    QTest::newRow("same at 1000 ms")
        << QList<int>{0, 1000} << QStringList{"7-200|A", "7-200|A"} << QList<bool>{true, true};
    // A drop does not restart the window: it still ends 1000 ms after the accepted press.
    QTest::newRow("held button") << QList<int>{0, 400, 400, 200}
                                 << QStringList{"1-1|A", "1-1|A", "1-1|A", "1-1|A"}
                                 << QList<bool>{true, false, false, true};
    QTest::newRow("A B A") << QList<int>{0, 100, 100} << QStringList{"1-1|A", "1-1|B", "1-1|A"}
                           << QList<bool>{true, true, true};
    QTest::newRow("other remote same button")
        << QList<int>{0, 10, 10} << QStringList{"1-1|A", "1-2|A", "1-1|A"}
        << QList<bool>{true, true, true};
    QTest::newRow("empty letter") << QList<int>{0, 10} << QStringList{"1-1|", "1-1|"}
                                  << QList<bool>{true, false};
  }
  void repeatWindow() {
    QFETCH(QList<int>, advance);
    QFETCH(QStringList, keys);
    QFETCH(QList<bool>, accepted);
    FakeClock clock;
    PressGate gate(&clock);
    for (int i = 0; i < keys.size(); ++i) {
      clock.advance(advance[i]);
      const QStringList k = keys[i].split(QLatin1Char('|'));
      QCOMPARE(gate.admit(press(k[0], k[1]), {}).has_value(), accepted[i]);
    }
  }

  void sonSinyalRunsOut() {
    FakeClock clock;
    PressGate gate(&clock);
    QVERIFY(gate.admit(press("12-201", "A"), {}));
    QCOMPARE(gate.repeatWindow().SonSinyal(), QStringLiteral("12-201-A"));
    clock.advance(1000);
    QCOMPARE(gate.repeatWindow().SonSinyal(), QString());
  }

  void teacherAndThreeButtons_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<bool>("teacher");
    QTest::addColumn<QString>("arrives");
    QTest::newRow("off: student E") << "0"
                                    << "5-5"
                                    << "E" << false << "E";
    QTest::newRow("blank setting is off") << "  "
                                          << "5-5"
                                          << "E" << false << "E";
    QTest::newRow("on: student E becomes C") << "1"
                                             << "5-5"
                                             << "E" << false << "C";
    QTest::newRow("any value switches on") << "EVET"
                                           << "5-5"
                                           << "E" << false << "C";
    QTest::newRow("on: teacher E stays") << "1"
                                         << "9-9"
                                         << "E" << true << "E";
    QTest::newRow("on: student D stays") << "1"
                                         << "5-5"
                                         << "D" << false << "D";
    QTest::newRow("teacher without rule") << "0"
                                          << "9-9"
                                          << "B" << true << "B";
  }
  void teacherAndThreeButtons() {
    QFETCH(QString, setting);
    QFETCH(QString, address);
    QFETCH(QString, letter);
    FakeClock clock;
    PressGate gate(&clock);
    gate.setThreeButtonSetting(setting);
    const auto out = gate.admit(press(address, letter), {QStringLiteral("9-9")});
    QVERIFY(out);
    QTEST(out->teacher, "teacher");
    QTEST(out->press.Dugme, "arrives");
    QCOMPARE(out->press.KumandaAdresi, address);
  }

  // The repeat window looks at the letter as sent, before the three-button rule.
  void repeatBeforeThreeButtonRule() {
    FakeClock clock;
    PressGate gate(&clock);
    gate.setThreeButtonSetting(QStringLiteral("1"));
    QCOMPARE(gate.admit(press("5-5", "E"), {})->press.Dugme, QStringLiteral("C"));
    clock.advance(100);
    // An admitted press carries the time it came, for the answer it records.
    QCOMPARE(gate.admit(press("6-6", "A"), {})->at, clock.timeOfDay());
    QVERIFY(gate.admit(press("5-5", "C"), {}));  // a real C is another key
    clock.advance(100);
    QVERIFY(gate.admit(press("5-5", "E"), {}));
  }

  // The remote test grid and attendance: every press counts again, the blank key
  // shows the remote as heard but not answered; letter, time and code are kept.
  void lastPressTiles() {
    RemoteTiles tiles({"1-1", "2-2", "1-1"}, RemoteTiles::Rule::LastPress);
    const QTime t(10, 11, 12);
    QVERIFY(tiles.mark({"1-1", "B", "44"}, t));
    QCOMPARE(tiles.tiles()[0].state, State::Answered);
    QCOMPARE(tiles.tiles()[0].letter, QStringLiteral("B"));
    QCOMPARE(tiles.tiles()[0].pressedAt, t);
    QCOMPARE(tiles.tiles()[0].code, QStringLiteral("44"));
    QCOMPARE(tiles.tiles()[2].state, State::Answered);  // every tile of the address
    QCOMPARE(tiles.tiles()[1].state, State::NotAnswered);
    QVERIFY(tiles.mark({"2-2", "X", "7"}, t));
    QCOMPARE(tiles.find("2-2")->state, State::NotAnswered);
    QCOMPARE(tiles.find("2-2")->letter, QStringLiteral("X"));
    QVERIFY(tiles.mark({"1-1", "C", "45"}, t.addSecs(3)));  // a later press replaces
    QCOMPARE(tiles.find("1-1")->letter, QStringLiteral("C"));
    QVERIFY(!tiles.mark({"", "A", "181"}, t));  // no address
    QVERIFY(tiles.allAnswered());               // every remote was heard
    tiles.clearAnswers();
    QCOMPARE(tiles.counts().notAnswered, 3);
  }

  // A question: a first answer sticks, a blank always overrides, and the counters
  // follow the states.
  void firstAnswerTiles() {
    RemoteTiles tiles({"1-1", "2-2", "3-3"});
    const QTime t(8, 0);
    QVERIFY(tiles.mark({"1-1", "A", "1"}, t));
    QCOMPARE(tiles.counts().answered, 1);
    QCOMPARE(tiles.counts().notAnswered, 2);
    QVERIFY(!tiles.mark({"1-1", "B", "1"}, t.addSecs(5)));  // answered stays
    QCOMPARE(tiles.find("1-1")->letter, QStringLiteral("A"));
    QCOMPARE(tiles.find("1-1")->pressedAt, t);
    QVERIFY(tiles.mark({"1-1", "X", "1"}, t.addSecs(6)));
    QCOMPARE(tiles.find("1-1")->state, State::Blank);
    QCOMPARE(tiles.counts().blank, 1);
    QCOMPARE(tiles.counts().answered, 0);
    QVERIFY(tiles.mark({"1-1", "C", "1"}, t.addSecs(7)));  // blank can become an answer
    QCOMPARE(tiles.find("1-1")->pressedAt, t.addSecs(7));
    QCOMPARE(tiles.counts().answered, 1);
    QCOMPARE(tiles.counts().blank + tiles.counts().notAnswered, 2);
    QVERIFY(!tiles.allAnswered());
  }

  void colorRefs_data() {
    QTest::addColumn<quint32>("ref");
    QTest::addColumn<QString>("hex");
    QTest::newRow("answered") << colors::kAnswered << "#ff8080";
    QTest::newRow("not answered") << colors::kNotAnswered << "#ffff80";
    QTest::newRow("white") << colors::kWhite << "#ffffff";
    QTest::newRow("green") << colors::kGreen << "#00ff00";
    QTest::newRow("red") << colors::kRed << "#ff0000";
  }
  void colorRefs() {
    QFETCH(quint32, ref);
    QTEST(colorFromColorRef(ref).name(), "hex");
    QCOMPARE(colorRefFromColor(colorFromColorRef(ref)), ref);
  }
};

QTEST_GUILESS_MAIN(TestPressGate)
#include "tst_pressgate.moc"
