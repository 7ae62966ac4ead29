#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace board {

// How a question's picture is enlarged and moved by two fingers on the board.
// The picture fits its room at 1×; fingers spreading apart enlarge it up to 4×
// around the point between them, which stays under the fingers, and moving them
// moves the picture. It never leaves a gap at an edge it could cover: larger
// than the room on an axis it covers the room there, smaller it stays centred.
// A point of the fitted picture `p` is drawn at scale() * p + offset().
class PictureZoom {
 public:
  static constexpr double kMaximum = 4.0;

  // The room (the widget's size) and where the picture stands in it at 1×.
  void setArea(const QSizeF& room, const QRectF& fitted);
  void reset();  // back to fit

  double scale() const { return m_scale; }
  QPointF offset() const { return m_offset; }
  bool zoomed() const { return m_scale > 1.0001; }
  // Where a point of the room lies on the fitted picture, and back.
  QPointF toFitted(const QPointF& roomPoint) const;
  QPointF toRoom(const QPointF& fittedPoint) const;
  // The picture as drawn now.
  QRectF shown() const;

  // Two fingers touch at `a` and `b`, then move there.
  void pinchStart(const QPointF& a, const QPointF& b);
  void pinchMove(const QPointF& a, const QPointF& b);
  // One finger moves the enlarged picture.
  void moveBy(const QPointF& delta);

 private:
  void bound();

  QSizeF m_room;
  QRectF m_fitted;
  double m_scale = 1.0;
  QPointF m_offset;
  // At the pinch's start: the scale, the fingers' distance and the point of the
  // fitted picture between them.
  double m_startScale = 1.0;
  double m_startDistance = 0.0;
  QPointF m_anchor;
};

}  // namespace board
