// Reading answer cards: a frame's read time at the camera sizes a board sees,
// with a class of 40 cards in it, and the smallest card still read.
#include <QElapsedTimer>

#include <algorithm>
#include <vector>

#include "../tests/support/CardScene.h"
#include "Bench.h"
#include "cards/CardReader.h"

namespace bench {

namespace {

void frameTimes(int width, int height) {
  const QString name = QStringLiteral("cards_read_%1x%2_40_cards").arg(width).arg(height);
  if (!selected(name)) return;
  // Different classes, each read several times: the frames a sweep gives.
  QList<QImage> frames;
  for (quint32 seed = 1; seed <= 6; ++seed) {
    CardScene scene(seed);
    // Cards scale with the picture: a 720p camera sees the same class smaller.
    const double k = double(width) / 1920.0;
    scene.options.minTag = std::max(24.0, 40 * k);
    scene.options.maxTag = 160 * k;
    frames << scene.picture(width, height, 40).image;
  }
  cards::CardReader reader;
  std::vector<double> ms;
  qint64 cards = 0;
  QElapsedTimer all;
  all.start();
  for (int round = 0; round < 10; ++round) {
    for (const QImage& f : frames) {
      QElapsedTimer t;
      t.start();
      cards += reader.read(f).size();
      ms.push_back(t.nsecsElapsed() / 1e6);
    }
  }
  const double seconds = all.nsecsElapsed() / 1e9;
  std::sort(ms.begin(), ms.end());
  const double p50 = ms[ms.size() / 2];
  const double p99 = ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.99))];
  print(name, qint64(ms.size()), p50, ms.front(), ms.back(),
        QStringLiteral("\"p50_ms\":%1,\"p99_ms\":%2,\"cards_per_second\":%3")
            .arg(p50, 0, 'f', 2)
            .arg(p99, 0, 'f', 2)
            .arg(double(cards) / seconds, 0, 'f', 0));
}

// The share of cards read at each size (the tag's black square across, in
// pixels), under the same blur, light and JPEG loss as the classroom pictures.
void smallestCard() {
  const QString name = QStringLiteral("cards_read_by_size");
  if (!selected(name)) return;
  cards::CardReader reader;
  QStringList shares;
  for (int px : {16, 20, 24, 28, 32, 40}) {
    int shown = 0, read = 0, wrong = 0;
    for (quint32 seed = 1; seed <= 4; ++seed) {
      CardScene scene(1000 + seed * 31 + px);
      scene.options.minTag = px;
      scene.options.maxTag = px;
      scene.options.hands = 0;
      const CardScene::Picture pic = scene.picture(1920, 1080, 40);
      const QList<cards::Sighting> seen = reader.read(pic.image);
      for (const CardScene::Card& c : pic.cards) {
        ++shown;
        for (const cards::Sighting& s : seen)
          if (s.card == c.card) (s.letter == c.letter ? read : wrong) += 1;
      }
    }
    shares << QStringLiteral("\"%1px\":%2").arg(px).arg(100.0 * read / shown, 0, 'f', 1);
    if (wrong) shares << QStringLiteral("\"%1px_wrong\":%2").arg(px).arg(wrong);
  }
  print(name, 160, 0, 0, 0, QStringLiteral("\"read_percent\":{%1}").arg(shares.join(',')));
}

}  // namespace

void cardBenchmarks() {
  frameTimes(1280, 720);
  frameTimes(1920, 1080);
  smallestCard();
}

}  // namespace bench
