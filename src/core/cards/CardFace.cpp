#include "cards/CardFace.h"

#include <apriltag/apriltag.h>
#include <apriltag/common/image_u8.h>
#include <apriltag/tag36h11.h>

#include <QFont>

#include <QPainter>
#include <cstdlib>

#include "cards/CardReader.h"

namespace cards {

QImage tagImage(int card) {
  if (card < 0 || card > CardReader::kLastCard) return {};
  apriltag_family_t* family = tag36h11_create();
  image_u8_t* im = apriltag_to_image(family, card);
  QImage out(im->width, im->height, QImage::Format_Grayscale8);
  for (int y = 0; y < im->height; ++y)
    std::copy_n(im->buf + y * im->stride, im->width, out.scanLine(y));
  // The library keeps image_u8_destroy to itself; the image is two malloc'd blocks.
  free(im->buf);
  free(im);
  tag36h11_destroy(family);
  return out;
}

void paintCard(QPainter& p, const QRectF& square, int card, const QString& caption) {
  const QImage tag = tagImage(card);
  if (tag.isNull()) return;
  p.save();
  p.fillRect(square, Qt::white);
  const double side = square.width();
  // The tag image carries its white border: 10 cells, 8 of them black square.
  const double cell = side * kTagShare / 8.0;
  const QRectF tagRect(square.center().x() - 5 * cell, square.center().y() - 5 * cell, 10 * cell,
                       10 * cell);
  // Cells as filled squares, not a picture: the printer gets sharp edges and a
  // PDF no lossy image.
  const bool antialias = p.testRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int y = 0; y < tag.height(); ++y)
    for (int x = 0; x < tag.width(); ++x)
      if (tag.pixel(x, y) != 0xffffffff)
        p.fillRect(QRectF(tagRect.left() + x * cell, tagRect.top() + y * cell, cell + cell * 0.02,
                          cell + cell * 0.02),
                   Qt::black);
  p.setRenderHint(QPainter::Antialiasing, antialias);

  // The letters sit in the band between the tag and the edge, each turned so
  // that it reads upright when its edge is on top.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setBold(true);
  font.setPixelSize(std::max(1, int(side * 0.055)));
  p.setFont(font);
  p.setPen(Qt::black);
  const double band = (side - 10 * cell) / 2.0;
  const double toEdgeMiddle = side / 2.0 - band / 2.0 - cell * 0.25;
  const char16_t letters[] = {u'A', u'B', u'C', u'D'};
  // A on top (0°), B on the left (drawn turned back a quarter), C at the bottom,
  // D on the right.
  const double turns[] = {0, -90, 180, 90};
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.translate(square.center());
    p.rotate(turns[i]);
    const QRectF box(-band, -toEdgeMiddle - band / 2.0, 2 * band, band);
    p.drawText(box, Qt::AlignCenter, QString(QChar(letters[i])));
    p.restore();
  }

  if (!caption.isEmpty()) {
    QFont small = font;
    small.setBold(false);
    small.setPixelSize(std::max(1, int(side * 0.026)));
    p.setFont(small);
    p.setPen(QColor(90, 90, 90));
    const double pad = side * 0.02;
    const QRectF corner(square.left() + pad, square.bottom() - band + pad, side * 0.34,
                        band - 2 * pad);
    p.drawText(corner, Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, caption);
  }
  p.restore();
}

}  // namespace cards
