#pragma once

#include <QChar>
#include <QImage>
#include <QList>
#include <QPolygonF>

#include <memory>

namespace cards {

// One card found in one picture.
struct Sighting {
  int card = -1;      // the tag36h11 id printed on it
  QChar letter;       // 'A'..'D'; null: turned too close to halfway between two
  double margin = 0;  // how clearly the tag's bits stood apart (apriltag's decision margin)
  double turn = 0;    // degrees the card is turned clockwise from upright, as seen: (-180, 180]
  // The tag's corners in the picture: top left, top right, bottom right, bottom
  // left of the tag as printed (upright).
  QPolygonF corners;
};

// Reads the answer cards in a picture: tag36h11 tags, the letter from how far
// the card is turned (upright A, a quarter turn clockwise B, half C, three
// quarters D, as the camera sees it). A card turned close to halfway between two
// letters gives none: a wrong letter stored is worse than a card not read.
// One reader serves one thread at a time; it keeps its detector between frames.
class CardReader {
 public:
  // `decimate`: the quads are looked for in a picture this many times smaller
  // (the bits are still read at full size); `threads`: the detector's workers.
  explicit CardReader(float decimate = 2.0f, int threads = 2);
  ~CardReader();
  CardReader(const CardReader&) = delete;
  CardReader& operator=(const CardReader&) = delete;

  // Every card read in `picture`, each card once, in card-number order (a card
  // found twice with different letters is left out).
  QList<Sighting> read(const QImage& picture);

  // The letter a card turned `turnDegrees` clockwise shows; null when it is
  // closer than kDeadZone degrees to the middle between two letters.
  static QChar letterFor(double turnDegrees);
  static constexpr double kDeadZone = 15.0;
  // The highest card number the family has (its ids are 0..kLastCard).
  static constexpr int kLastCard = 586;
  // Pictures narrower or lower than this have no card in them.
  static constexpr int kSmallestPicture = 32;

 private:
  struct Detector;
  std::unique_ptr<Detector> m_d;
};

}  // namespace cards
