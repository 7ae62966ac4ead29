#include <QtTest>
#include <QElapsedTimer>

#include "CardScene.h"
#include "cards/CardReader.h"

class TestCards : public QObject {
  Q_OBJECT
 private slots:
  void experiment() {
    cards::CardReader reader;
    // upright and turned
    for (double turn : {0.0, 90.0, 180.0, 270.0}) {
      CardScene scene(1);
      scene.options.blur = false; scene.options.unevenLight=false; scene.options.hands=0; scene.options.maxTilt=0; scene.options.maxOffQuarter=0;
      scene.options.minTag = 150; scene.options.maxTag=150;
      CardScene::Picture pic = scene.picture(640, 480, 1, {7});
      (void)turn;
      const auto s = reader.read(pic.image);
      qDebug() << pic.cards[0].letter << pic.cards[0].turn << (s.isEmpty() ? QString("none") : QString("%1 %2 %3").arg(s[0].card).arg(s[0].letter).arg(s[0].turn));
    }
    int total=0, visible=0, ok=0, wrong=0, invented=0;
    QElapsedTimer t;
    qint64 ms=0;
    for (quint32 seed = 1; seed <= 5; ++seed) {
      CardScene scene(seed);
      CardScene::Picture pic = scene.picture(1920, 1080, 40);
      t.start();
      const auto read = reader.read(pic.image);
      ms += t.elapsed();
      if (seed == 1) { pic.image.copy(0,0,960,540).save("/tmp/scene1.png"); for (auto& c: pic.cards) if (c.centre.x()<960 && c.centre.y()<540) qDebug() << c.card << c.letter << c.centre << c.tagPixels; }
      for (const auto& c : pic.cards) {
        ++total; if (c.visible) ++visible;
        auto it = std::find_if(read.begin(), read.end(), [&](const cards::Sighting& s){return s.card==c.card;});
        if (it == read.end()) { if (c.visible) qDebug() << "missed" << c.card << c.tagPixels << c.tiltX << c.tiltY << c.turn; continue; }
        if (it->letter == c.letter) ++ok; else { ++wrong; qDebug() << "wrong" << c.card << c.letter << it->letter << c.turn << it->turn; }
      }
      for (const auto& s : read) if (std::none_of(pic.cards.begin(), pic.cards.end(), [&](const CardScene::Card& c){return c.card==s.card;})) ++invented;
    }
    qDebug() << "total" << total << "visible" << visible << "ok" << ok << "wrong" << wrong << "invented" << invented << "ms" << ms;
  }
};

QTEST_MAIN(TestCards)
#include "tst_cards.moc"
