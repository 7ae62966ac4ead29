#pragma once

// Classroom pictures with answer cards in them, drawn from the printed card
// face, with what a camera adds: any turn to a letter, perspective tilt, blur,
// uneven light, JPEG loss, hands in front of some cards. Seeded: the same seed
// draws the same class.
//
//   CardScene scene(7);
//   CardScene::Picture pic = scene.picture(1920, 1080, 40);
//   for (const CardScene::Card& c : pic.cards) ... c.card, c.letter, c.visible
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTransform>
#include <QtMath>

#include <algorithm>
#include <cmath>

#include "cards/CardFace.h"

class CardScene {
 public:
  struct Card {
    int card = 0;
    QChar letter;
    bool visible = true;          // false: a hand covers the tag's lower half
    double tagPixels = 0;         // the tag's black square across, before the tilt
    double turn = 0;              // degrees clockwise from upright
    double tiltX = 0, tiltY = 0;  // degrees, about the card's axes
    QPointF centre;
  };
  struct Picture {
    QImage image;
    QList<Card> cards;
  };
  struct Options {
    double minTag = 40, maxTag = 160;
    double maxTilt = 45;
    double maxOffQuarter = 20;  // how far off a clean quarter turn a card is held
    int hands = 3;
    int jpegQuality = 60;
    bool blur = true;
    bool unevenLight = true;
  };

  explicit CardScene(quint32 seed) : m_random(seed) {}
  Options options;

  // `count` cards of distinct numbers from `numbers` (all of 1..586 when empty).
  Picture picture(int width, int height, int count, QList<int> numbers = {}) {
    Picture pic;
    if (numbers.isEmpty())
      for (int i = 1; i <= 586; ++i) numbers << i;
    for (int i = numbers.size() - 1; i > 0; --i)
      numbers.swapItemsAt(i, int(m_random.bounded(i + 1)));
    QList<Card> drawn;
    for (int i = 0; i < count && i < numbers.size(); ++i) {
      Card c;
      c.card = numbers.at(i);
      const int quarter = int(m_random.bounded(4));
      c.letter = QChar(char16_t(u'A' + quarter));
      c.turn = quarter * 90 + uniform(-options.maxOffQuarter, options.maxOffQuarter);
      // Far rows hold more, smaller cards than the near ones.
      const double r = m_random.generateDouble();
      c.tagPixels = options.minTag + (options.maxTag - options.minTag) * r * r;
      c.tiltX = uniform(-options.maxTilt, options.maxTilt);
      c.tiltY = uniform(-options.maxTilt, options.maxTilt) * 0.5;
      drawn << c;
    }
    // The big ones find their place first; no card overlaps another.
    std::sort(drawn.begin(), drawn.end(),
              [](const Card& a, const Card& b) { return a.tagPixels > b.tagPixels; });
    QList<QRectF> taken;
    for (Card& c : drawn) {
      for (int attempt = 0; attempt < 3000; ++attempt) {
        c.centre = QPointF(uniform(0, width), uniform(0, height));
        const QRectF box = projected(c).boundingRect().adjusted(-4, -4, 4, 4);
        if (!QRectF(0, 0, width, height).contains(box)) continue;
        if (std::any_of(taken.cbegin(), taken.cend(),
                        [&](const QRectF& t) { return t.intersects(box); }))
          continue;
        taken << box;
        pic.cards << c;
        break;
      }
    }
    pic.image = draw(width, height, pic.cards);
    return pic;
  }

  // The same class a moment later: each card moved a little, the noise new.
  Picture moved(const Picture& before) {
    Picture pic = before;
    for (Card& c : pic.cards) {
      c.centre += QPointF(uniform(-3, 3), uniform(-3, 3));
      c.turn += uniform(-2, 2);
    }
    pic.image = draw(before.image.width(), before.image.height(), pic.cards);
    return pic;
  }

  // Where the four corners of a card's square land, seen through the camera.
  static QPolygonF projected(const Card& c) {
    const double side = c.tagPixels / cards::kTagShare;
    const double tx = qDegreesToRadians(c.tiltX), ty = qDegreesToRadians(c.tiltY);
    const double turn = qDegreesToRadians(c.turn);
    const double focal = 3.0 * side;  // close to the camera: strong perspective
    QPolygonF out;
    for (const QPointF& k : {QPointF(-1, -1), QPointF(1, -1), QPointF(1, 1), QPointF(-1, 1)}) {
      double x = k.x() * side / 2, y = k.y() * side / 2, z = 0;
      // tilt about the card's vertical then horizontal axis
      double x1 = x * std::cos(tx) + z * std::sin(tx), z1 = -x * std::sin(tx) + z * std::cos(tx);
      double y1 = y * std::cos(ty) - z1 * std::sin(ty), z2 = y * std::sin(ty) + z1 * std::cos(ty);
      const double s = focal / (focal + z2);
      x1 *= s;
      y1 *= s;
      // then the turn in the picture (clockwise on screen)
      out << c.centre + QPointF(x1 * std::cos(turn) - y1 * std::sin(turn),
                                x1 * std::sin(turn) + y1 * std::cos(turn));
    }
    return out;
  }

 private:
  double uniform(double lo, double hi) { return lo + (hi - lo) * m_random.generateDouble(); }

  QImage draw(int width, int height, QList<Card>& cards) {
    QImage img(width, height, QImage::Format_RGB32);
    QPainter p(&img);
    // A classroom: a wall, desks, people in colours.
    p.fillRect(img.rect(), QColor(190, 180, 160));
    for (int i = 0; i < 60; ++i) {
      const QColor colour = QColor::fromHsv(int(m_random.bounded(360)), int(m_random.bounded(120)),
                                            60 + int(m_random.bounded(160)));
      p.fillRect(QRectF(uniform(0, width), uniform(0, height), uniform(40, 300), uniform(20, 200)),
                 colour);
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    const int face = 320;
    QImage faceImage(face, face, QImage::Format_RGB32);
    int hands = options.hands;
    for (Card& c : cards) {
      faceImage.fill(Qt::white);
      {
        QPainter fp(&faceImage);
        cards::paintCard(fp, QRectF(0, 0, face, face), c.card, QStringLiteral("Ad Soyad 7-A"));
      }
      QTransform t;
      QPolygonF square;
      square << QPointF(0, 0) << QPointF(face, 0) << QPointF(face, face) << QPointF(0, face);
      if (!QTransform::quadToQuad(square, projected(c), t)) continue;
      p.save();
      p.setTransform(t);
      p.drawImage(0, 0, faceImage);
      if (hands > 0 && m_random.bounded(8) == 0) {
        // A hand across the tag's lower half.
        --hands;
        c.visible = false;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 150, 120));
        p.drawEllipse(QRectF(face * 0.05, face * 0.45, face * 0.9, face * 0.6));
      }
      p.restore();
    }
    p.end();
    if (options.unevenLight) {
      QPainter light(&img);
      light.setCompositionMode(QPainter::CompositionMode_Multiply);
      QLinearGradient g(QPointF(0, 0), QPointF(width, height * 0.6));
      g.setColorAt(0, QColor(255, 255, 255));
      g.setColorAt(0.6, QColor(150, 150, 150));
      g.setColorAt(1, QColor(95, 95, 95));
      light.fillRect(img.rect(), g);
    }
    if (options.blur) {
      // Out of focus: down and up again; moving: the picture over itself, shifted.
      img =
          img.scaled(width * 3 / 4, height * 3 / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
              .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      const QImage still = img;
      QPainter m(&img);
      m.setOpacity(0.5);
      m.drawImage(QPointF(2, 1), still);
      m.setOpacity(0.33);
      m.drawImage(QPointF(-1, 0), still);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPG", options.jpegQuality);
    return QImage::fromData(jpeg, "JPG");
  }

  QRandomGenerator m_random;
};
