#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;

namespace cards {

// The tag of card `card` as the family draws it: 10 × 10 pixels, the black
// square of 8 inside a one-pixel white border (null beyond the family's ids).
QImage tagImage(int card);

// Paints one card into `square`: the tag large in the middle, the letters small
// along the edges (A on the top edge of the upright tag, B on the left, C at the
// bottom, D on the right, each written so that it reads upright when the card is
// turned to put it on top: the letter on top is the answer given), and
// `caption` (name, class, card number) small in the bottom left corner.
void paintCard(QPainter& painter, const QRectF& square, int card, const QString& caption);

// Side of the tag's black square over the side of the card.
constexpr double kTagShare = 0.62;

}  // namespace cards
