#include <QtTest>

#include "FakeClock.h"
#include "receiver/Colors.h"
#include "receiver/PressGate.h"
#include "receiver/TileRules.h"

using namespace receiver;

namespace {

// Tiles held in memory, as a screen would show them.
class Board : public TileBoard {
 public:
  struct Tile {
    QString address, tag = QStringLiteral("|");
    quint32 color = colors::kNotAnswered;
    QString toolTip;
  };
  explicit Board(const QStringList& addresses) {
    for (const QString& a : addresses)
      tiles.append({a, QStringLiteral("|"), colors::kNotAnswered, {}});
  }
  int tileCount() const override { return int(tiles.size()); }
  QString tileAddress(int i) const override { return tiles[i].address; }
  QString tileTag(int i) const override { return tiles[i].tag; }
  quint32 tileColor(int i) const override { return tiles[i].color; }
  void setTile(int i, const QString& tag, quint32 color) override {
    tiles[i].tag = tag;
    tiles[i].color = color;
  }
  void setTileToolTip(int i, const QString& t) override { tiles[i].toolTip = t; }
  QList<Tile> tiles;
};

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
    QVERIFY(gate.admit(press("5-5", "C"), {}));  // a real C is another key
    clock.advance(100);
    QVERIFY(gate.admit(press("5-5", "E"), {}));
  }

  void testTiles() {
    Board board({"1-1", "2-2", "1-1"});
    const QTime t(10, 11, 12);
    QCOMPARE(TileRules::markTestTiles(board, {"1-1", "B", "44"}, t, true), 2);
    QCOMPARE(board.tiles[0].tag, QStringLiteral("B|10:11:12"));
    QCOMPARE(board.tiles[0].color, colors::kAnswered);
    QCOMPARE(board.tiles[0].toolTip, QStringLiteral("44"));
    QCOMPARE(board.tiles[2].color, colors::kAnswered);
    QCOMPARE(board.tiles[1].tag, QStringLiteral("|"));
    TileRules::markTestTiles(board, {"2-2", "X", "7"}, t, false);
    QCOMPARE(board.tiles[1].color, colors::kNotAnswered);
    QCOMPARE(board.tiles[1].tag, QStringLiteral("X|10:11:12"));
    QCOMPARE(board.tiles[1].toolTip, QString());
    QCOMPARE(TileRules::markTestTiles(board, {"", "A", "181"}, t, true), 0);  // no address
    QVERIFY(TileRules::allAnswered(board));
  }

  // Free question: a first answer sticks, a blank always overrides, and the
  // counters are recounted over every tile.
  void freeTiles() {
    Board board({"1-1", "2-2", "3-3"});
    const QTime t(8, 0);
    TileCounts c = TileRules::markFreeTiles(board, {"1-1", "A", "1"}, t);
    QCOMPARE(c.answered, 1);
    QCOMPARE(c.notAnswered, 2);
    TileRules::markFreeTiles(board, {"1-1", "B", "1"}, t.addSecs(5));
    QCOMPARE(board.tiles[0].tag, QStringLiteral("A|08:00:00"));  // answered stays
    c = TileRules::markFreeTiles(board, {"1-1", "X", "1"}, t.addSecs(6));
    QCOMPARE(board.tiles[0].color, colors::kWhite);
    QCOMPARE(c.blank, 1);
    QCOMPARE(c.answered, 0);
    c = TileRules::markFreeTiles(board, {"1-1", "C", "1"}, t.addSecs(7));
    QCOMPARE(board.tiles[0].tag, QStringLiteral("C|08:00:07"));  // blank can become an answer
    QCOMPARE(c.answered, 1);
    QCOMPARE(c.blank + c.notAnswered, 2);
    QVERIFY(!TileRules::allAnswered(board));
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
