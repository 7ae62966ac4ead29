#include <QtTest>

#include "FakeClock.h"
#include "activity/PressConsumer.h"
#include "activity/PressPipeline.h"
#include "activity/RemoteTiles.h"
#include "receiver/Colors.h"
#include "receiver/RadioSource.h"
#include "receiver/ReportDecoder.h"

using namespace receiver;
using activity::PressPipeline;
using activity::RemoteTiles;
using State = activity::RemoteTiles::State;
using Outcome = activity::PressPipeline::Outcome;

namespace {

activity::SourcePress press(const QString& address, const QString& letter, qint64 atMs = -1) {
  return {address, letter, atMs, QStringLiteral("1")};
}

// Keeps what reached it; the teacher remotes are its own.
struct Consumer : activity::PressConsumer {
  QSet<QString> teachers;
  QList<AdmittedPress> got;
  QSet<QString> teacherRemotes() const override { return teachers; }
  void press(const AdmittedPress& p) override { got << p; }
};

// A pipeline on the fake clock, serving `consumer`.
struct Rig {
  FakeClock clock;
  Consumer consumer;
  PressPipeline pipeline{&clock};
  Rig() { pipeline.setConsumer(&consumer); }
  // Fed and delivered: what the consumer got.
  std::optional<AdmittedPress> admit(const activity::SourcePress& p) {
    if (pipeline.feed(p) != Outcome::Delivered) return std::nullopt;
    return consumer.got.last();
  }
};

}  // namespace

class TestPressPipeline : public QObject {
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
    Rig r;
    for (int i = 0; i < keys.size(); ++i) {
      r.clock.advance(advance[i]);
      const QStringList k = keys[i].split(QLatin1Char('|'));
      QCOMPARE(r.admit(press(k[0], k[1])).has_value(), accepted[i]);
    }
  }

  void sonSinyalRunsOut() {
    Rig r;
    QVERIFY(r.admit(press("12-201", "A")));
    QCOMPARE(r.pipeline.repeatWindow().SonSinyal(), QStringLiteral("12-201-A"));
    r.clock.advance(1000);
    QCOMPARE(r.pipeline.repeatWindow().SonSinyal(), QString());
  }

  // A source that tells when a press was made (a browser, a card read later):
  // the repeat window and the answer's time follow that moment, not the arrival.
  void aSourceTellsWhen() {
    Rig r;
    const qint64 t0 = r.clock.msecs();
    r.clock.advance(5000);
    const auto first = r.admit(press("12-201", "A", t0));
    QVERIFY(first);
    QCOMPARE(first->at, QTime(9, 0).addMSecs(int(t0)));
    QVERIFY(!r.admit(press("12-201", "A", t0 + 900)));  // held button, as sent
    QVERIFY(r.admit(press("12-201", "A", t0 + 1000)));
    QVERIFY(r.admit(press("12-201", "A")));  // now: long after
  }

  // Without an activity listening a press is admitted and dropped; the consumer
  // asked at each press is the one active then, with its own teacher remotes.
  void theTargetIsAskedAtEachPress() {
    Rig r;
    Consumer other;
    other.teachers = {QStringLiteral("9-9")};
    activity::PressConsumer* active = nullptr;
    r.pipeline.setTarget([&active] { return active; });
    QSignalSpy admitted(&r.pipeline, &PressPipeline::admitted);
    QCOMPARE(r.pipeline.feed(press("9-9", "B")), Outcome::NoTarget);
    QCOMPARE(admitted.size(), 1);
    QCOMPARE(admitted.at(0).at(1).toBool(), false);
    active = &other;
    r.clock.advance(1000);
    QCOMPARE(r.pipeline.feed(press("9-9", "B")), Outcome::Delivered);
    QVERIFY(other.got.last().teacher);
    active = &r.consumer;
    r.clock.advance(1000);
    QCOMPARE(r.pipeline.feed(press("9-9", "B")), Outcome::Delivered);
    QVERIFY(!r.consumer.got.last().teacher);
    r.pipeline.setClosed(true);
    r.clock.advance(1000);
    QCOMPARE(r.pipeline.feed(press("9-9", "A")), Outcome::NoTarget);
    QCOMPARE(r.consumer.got.size(), 1);
  }

  // The radio source: reports read from the receiver (17 bytes with the report
  // number, or 16) become presses in the pipeline; a report that is not a press
  // does nothing.
  void theReceiverIsASource() {
    Rig r;
    RadioSource radio(r.pipeline);
    const DecodedReport d = radio.read(QByteArray(1, '\0') + pressReport(12, 201, "D"));
    QVERIFY(d.isPress);
    QCOMPARE(r.consumer.got.size(), 1);
    QCOMPARE(r.consumer.got.last().press.KumandaAdresi, QStringLiteral("12-201"));
    QCOMPARE(r.consumer.got.last().press.Dugme, QStringLiteral("D"));
    QByteArray notPress = pressReport(12, 201, "A");
    notPress[7] = 11;
    QVERIFY(!radio.read(notPress).isPress);
    QCOMPARE(r.consumer.got.size(), 1);
    r.clock.advance(1000);
    (void)radio.read(pressReport(12, 202, "A"));
    QCOMPARE(r.consumer.got.last().press.Dugme, QStringLiteral("A"));
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
    Rig r;
    r.pipeline.setThreeButtonSetting(setting);
    r.consumer.teachers = {QStringLiteral("9-9")};
    const auto out = r.admit(press(address, letter));
    QVERIFY(out);
    QTEST(out->teacher, "teacher");
    QTEST(out->press.Dugme, "arrives");
    QCOMPARE(out->press.KumandaAdresi, address);
  }

  // The repeat window looks at the letter as sent, before the three-button rule.
  void repeatBeforeThreeButtonRule() {
    Rig r;
    r.pipeline.setThreeButtonSetting(QStringLiteral("1"));
    QCOMPARE(r.admit(press("5-5", "E"))->press.Dugme, QStringLiteral("C"));
    r.clock.advance(100);
    // An admitted press carries the time it came, for the answer it records.
    QCOMPARE(r.admit(press("6-6", "A"))->at, r.clock.timeOfDay());
    QVERIFY(r.admit(press("5-5", "C")));  // a real C is another key
    r.clock.advance(100);
    QVERIFY(r.admit(press("5-5", "E")));
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

QTEST_GUILESS_MAIN(TestPressPipeline)
#include "tst_presspipeline.moc"
