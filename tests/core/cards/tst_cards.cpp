#include <QtTest>

#include "CardScene.h"
#include "RunFixture.h"
#include "activity/PressConsumer.h"
#include "activity/PressPipeline.h"
#include "cards/CardNumbers.h"
#include "cards/CardReader.h"
#include "cards/CardSource.h"
#include "cards/Steadiness.h"
#include "school/Pairing.h"
#include "store/BrowserAddress.h"

using Command = delivery::RunSession::Command;

namespace {

// Every press that reached the activity: card number's address → letters.
class Presses : public activity::PressConsumer {
 public:
  QMap<QString, QStringList> got;
  void press(const receiver::AdmittedPress& p) override {
    got[p.press.KumandaAdresi] << p.press.Dugme;
  }
};

// A class whose card numbers are the scene's: student i answers under "902-i".
QList<cards::CardHolder> holdersOf(const QList<CardScene::Card>& shown) {
  QList<cards::CardHolder> out;
  for (const CardScene::Card& c : shown) {
    cards::CardHolder h;
    h.student.kayitNo = QString::number(c.card);
    h.student.address = store::cardAddress(h.student.kayitNo);
    h.card = c.card;
    out << h;
  }
  return out;
}

}  // namespace

class TestCards : public QObject, public RunFixture {
  Q_OBJECT
 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  // Classroom pictures as a camera takes them: nearly every visible card is
  // read, none with a wrong letter, no card that is not there.
  void classroomPictures() {
    cards::CardReader reader;
    int visible = 0, read = 0;
    QStringList wrong;
    for (quint32 seed = 1; seed <= 5; ++seed) {
      CardScene scene(seed);
      const CardScene::Picture pic = scene.picture(1920, 1080, 40);
      QCOMPARE(pic.cards.size(), 40);
      const QList<cards::Sighting> seen = reader.read(pic.image);
      for (const CardScene::Card& c : pic.cards) {
        auto s = std::find_if(seen.cbegin(), seen.cend(),
                              [&](const cards::Sighting& x) { return x.card == c.card; });
        visible += c.visible ? 1 : 0;
        if (s == seen.cend() || s->letter.isNull()) continue;
        if (s->letter != c.letter)
          wrong << QStringLiteral("seed %1 card %2: %3 read as %4")
                       .arg(seed)
                       .arg(c.card)
                       .arg(c.letter)
                       .arg(s->letter);
        else if (c.visible)
          ++read;
      }
      for (const cards::Sighting& s : seen)
        if (std::none_of(pic.cards.cbegin(), pic.cards.cend(),
                         [&](const CardScene::Card& c) { return c.card == s.card; }))
          wrong << QStringLiteral("seed %1: card %2 is not in the picture").arg(seed).arg(s.card);
    }
    // A picture a few pixels across holds no card (the detector must never see it).
    for (const QSize size : {QSize(1, 1), QSize(3, 400), QSize(400, 2)}) {
      QImage tiny(size, QImage::Format_Grayscale8);
      tiny.fill(0);
      QVERIFY(reader.read(tiny).isEmpty());
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    QVERIFY2(read * 100 >= visible * 97,
             qPrintable(QStringLiteral("%1 of %2").arg(read).arg(visible)));
  }

  // The letter from the turn, as the camera sees it, and the margin between two.
  void letterFromTheTurn() {
    using R = cards::CardReader;
    QCOMPARE(R::letterFor(0), QChar('A'));
    QCOMPARE(R::letterFor(89), QChar('B'));
    QCOMPARE(R::letterFor(-178), QChar('C'));
    QCOMPARE(R::letterFor(270), QChar('D'));
    QCOMPARE(R::letterFor(-90), QChar('D'));
    QCOMPARE(R::letterFor(29), QChar('A'));
    QVERIFY(R::letterFor(31).isNull());
    QVERIFY(R::letterFor(45).isNull());
    QVERIFY(R::letterFor(-135).isNull());
    QCOMPARE(R::letterFor(119), QChar('B'));
    QVERIFY(R::letterFor(121).isNull());

    // A clean card at each quarter turn, and one held halfway gives nothing.
    cards::CardReader reader;
    for (int quarter = 0; quarter < 5; ++quarter) {
      CardScene scene(40 + quarter);
      scene.options = {120, 120, 0, 0, 0, 95, false, false};
      CardScene::Picture pic = scene.picture(640, 480, 1, {9});
      pic.cards[0].turn = quarter == 4 ? 45 : quarter * 90;
      pic = scene.moved(pic);
      const QList<cards::Sighting> seen = reader.read(pic.image);
      QCOMPARE(seen.size(), 1);
      if (quarter == 4)
        QVERIFY(seen[0].letter.isNull());
      else
        QCOMPARE(seen[0].letter, QChar(char16_t(u'A' + quarter)));
    }
  }

  // Three reads of one letter within a second count, once; any other read
  // between them starts over.
  void steadiness() {
    cards::Steadiness s;
    QVERIFY(s.see(1, 'A', 0).isNull());
    QVERIFY(s.see(1, 'A', 100).isNull());
    QCOMPARE(s.see(1, 'A', 200), QChar('A'));
    QVERIFY(s.see(1, 'A', 300).isNull());  // counted once
    // A half-turned card: B once, then A again: neither counts until steady.
    QVERIFY(s.see(2, 'A', 0).isNull());
    QVERIFY(s.see(2, 'A', 100).isNull());
    QVERIFY(s.see(2, 'B', 200).isNull());
    QVERIFY(s.see(2, 'A', 300).isNull());
    QVERIFY(s.see(2, 'A', 400).isNull());
    QCOMPARE(s.see(2, 'A', 500), QChar('A'));
    // A read too close to halfway breaks the run as well.
    QVERIFY(s.see(3, 'C', 0).isNull());
    QVERIFY(s.see(3, 'C', 100).isNull());
    QVERIFY(s.see(3, QChar(), 150).isNull());
    QVERIFY(s.see(3, 'C', 200).isNull());
    // Slow frames: three reads over more than a second are not enough.
    QVERIFY(s.see(4, 'D', 0).isNull());
    QVERIFY(s.see(4, 'D', 600).isNull());
    QVERIFY(s.see(4, 'D', 1200).isNull());
    QCOMPARE(s.see(4, 'D', 1500), QChar('D'));
    // A change of mind counts when steady; the card lowered and raised again
    // counts again.
    for (qint64 t : {1600, 1700}) QVERIFY(s.see(4, 'B', t).isNull());
    QCOMPARE(s.see(4, 'B', 1800), QChar('B'));
    for (qint64 t : {5000, 5100}) QVERIFY(s.see(4, 'B', t).isNull());
    QCOMPARE(s.see(4, 'B', 5200), QChar('B'));
  }

  // Frames of the same class a moment apart: through the steadiness rule the
  // presses are the letters the still pictures show, each card once.
  void framesThroughTheSource() {
    receiver::ManualClock clock;
    activity::PressPipeline pipeline(&clock);
    Presses activity;
    pipeline.setConsumer(&activity);
    cards::CardSource source(pipeline, &clock);
    CardScene scene(11);
    CardScene::Picture pic = scene.picture(1920, 1080, 40);
    source.setClass(holdersOf(pic.cards));
    for (int frame = 0; frame < 4; ++frame) {
      clock.advance(66);
      source.handleFrame(pic.image);
      pic = scene.moved(pic);
    }
    int visible = 0, answered = 0;
    for (const CardScene::Card& c : pic.cards) {
      const QStringList got = activity.got.value(store::cardAddress(QString::number(c.card)));
      QVERIFY2(got.isEmpty() || got == QStringList{QString(c.letter)},
               qPrintable(QStringLiteral("card %1: %2").arg(c.card).arg(got.join(','))));
      visible += c.visible;
      answered += c.visible && !got.isEmpty();
    }
    QVERIFY2(answered * 100 >= visible * 97,
             qPrintable(QStringLiteral("%1/%2").arg(answered).arg(visible)));
    QCOMPARE(source.cardsCounted(), activity.got.size());
  }

  // Card numbers: one per student, kept, a new one refuses the old; a student
  // moved in with a classmate's number gets another.
  void cardNumbers() {
    const QStringList remotes = addClass(QStringLiteral("7-A"), 4);
    addClass(QStringLiteral("7-B"), 2, 20);
    QVERIFY(school::Pairing(db()).unpair(remotes.at(3), {QStringLiteral("1004")}).ok());
    cards::CardNumbers numbers(db());
    const auto given = numbers.giveCards(QStringLiteral("7-A"));
    QVERIFY2(given.ok(), qPrintable(given.error()));
    QStringList cardsOf;
    for (const cards::CardHolder& h : given.value())
      cardsOf
          << QStringLiteral("%1=%2@%3").arg(h.student.kayitNo).arg(h.card).arg(h.student.address);
    QCOMPARE(cardsOf,
             QStringList({"1001=1@10-1", "1002=2@10-2", "1003=3@10-3", "1004=4@902-1004"}));
    // Printed again: the same numbers.
    QCOMPARE(numbers.giveCards(QStringLiteral("7-A")).value().at(2).card, 3);
    QCOMPARE(numbers.giveCards(QStringLiteral("7-B")).value().at(0).card, 1);

    // A lost card: a new number; the old one is nobody's, and never given again.
    QCOMPARE(numbers.newCard(QStringLiteral("1002")).value(), 5);
    QVERIFY(!numbers.newCard(QStringLiteral("9999")).ok());
    QCOMPARE(numbers.allCards().value().value(QStringLiteral("1002")), 5);
    receiver::ManualClock clock;
    activity::PressPipeline pipeline(&clock);
    Presses activity;
    pipeline.setConsumer(&activity);
    cards::CardSource source(pipeline, &clock);
    source.setClass(numbers.classCards(QStringLiteral("7-A")).value());
    CardScene scene(3);
    scene.options.blur = false;
    scene.options.hands = 0;
    const CardScene::Picture pic = scene.picture(1280, 720, 2, {2, 5});
    cards::CardSource::Frame f;
    for (int i = 0; i < 3; ++i, clock.advance(100)) f = source.handleFrame(pic.image);
    QCOMPARE(f.unknown.size(), 1);
    QCOMPARE(f.unknown.at(0).card, 2);
    QCOMPARE(f.known.size(), 1);
    QCOMPARE(f.known.at(0).holder.student.kayitNo, QStringLiteral("1002"));
    QCOMPARE(activity.got.keys(), QStringList{"10-2"});

    // A 7-B student moves to 7-A holding number 1, which 7-A's first student
    // had first: the newcomer gets a number of 7-A's never given.
    QVERIFY(
        db().run(QStringLiteral("UPDATE TABLEOGRENCI SET SINIFI='7-A' WHERE KAYITNO='2001'")).ok());
    const auto moved = numbers.giveCards(QStringLiteral("7-A"));
    QStringList after;
    for (const cards::CardHolder& h : moved.value())
      after << QStringLiteral("%1=%2").arg(h.student.kayitNo).arg(h.card);
    after.sort();
    QCOMPARE(after, QStringList({"1001=1", "1002=5", "1003=3", "1004=4", "2001=6"}));
  }

  // A five-question run answered with cards only: a stream of frames through
  // the frame handler, and every stored answer is the letter the card showed.
  void runAnsweredWithCards() {
    addTeacherRemote();
    const QStringList remotes = addClass(QStringLiteral("5-A"), 6);
    // Half the class has no remote: they answer under their card address.
    for (int i = 3; i < 6; ++i)
      QVERIFY(school::Pairing(db()).unpair(remotes.at(i), {QString::number(1001 + i)}).ok());
    addTest(QStringLiteral("7"), QStringLiteral("ABCDA"));
    const auto holders = cards::CardNumbers(db()).giveCards(QStringLiteral("5-A"));
    QVERIFY(holders.ok());
    QStringList addresses;
    QList<int> numbers;
    for (const cards::CardHolder& h : holders.value()) {
      addresses << h.student.address;
      numbers << h.card;
    }
    delivery::RunPlan p = plan(QStringLiteral("7"), addresses);
    p.settings.goOnWhenAllAnswered = true;
    delivery::RunSession& run = open(p);
    activity::PressPipeline pipeline(&clock());
    pipeline.setConsumer(&run);
    cards::CardSource source(pipeline, &clock());
    source.setClass(holders.value());
    throughCountdown();

    CardScene scene(77);
    scene.options.hands = 0;
    QMap<QString, QString> shown;  // "position:address" → letter
    for (int q = 1; q <= 5; ++q) {
      QCOMPARE(run.position(), q);
      source.newQuestion();
      CardScene::Picture pic = scene.picture(1280, 720, 6, numbers);
      for (int frame = 0; frame < 6 && run.position() == q; ++frame) {
        clock().advance(70);
        source.handleFrame(pic.image);
        pic = scene.moved(pic);
      }
      for (const CardScene::Card& c : pic.cards)
        shown.insert(QStringLiteral("%1:%2").arg(q).arg(addresses.at(numbers.indexOf(c.card))),
                     QString(c.letter));
    }
    QCOMPARE(run.page(), delivery::RunSession::Page::Finished);
    const QStringList stored = column(QStringLiteral(
        "SELECT TESTSIRANO||':'||KUMANDAADRESI||'='||CEVAP||'/'||KAYITNO FROM TABLECEVAP "
        "ORDER BY VAL(TESTSIRANO),rowid"));
    QCOMPARE(stored.size(), 30);
    for (const QString& row : stored) {
      const QString key = row.section(QLatin1Char('='), 0, 0);
      const QString letter = row.section(QLatin1Char('='), 1).section(QLatin1Char('/'), 0, 0);
      QCOMPARE(letter, shown.value(key));
    }
    // The card address's answers are its student's.
    QVERIFY(stored.contains(QStringLiteral("1:902-1006=%1/1006").arg(shown.value("1:902-1006"))));
  }
};

QTEST_MAIN(TestCards)
#include "tst_cards.moc"
