#include "board/PictureZoom.h"

#include <QLineF>

#include <algorithm>

namespace board {

void PictureZoom::setArea(const QSizeF& room, const QRectF& fitted) {
  m_room = room;
  m_fitted = fitted;
  bound();
}

void PictureZoom::reset() {
  m_scale = 1.0;
  m_offset = {};
}

QPointF PictureZoom::toFitted(const QPointF& p) const { return (p - m_offset) / m_scale; }

QPointF PictureZoom::toRoom(const QPointF& p) const { return p * m_scale + m_offset; }

QRectF PictureZoom::shown() const {
  return {toRoom(m_fitted.topLeft()), m_fitted.size() * m_scale};
}

void PictureZoom::pinchStart(const QPointF& a, const QPointF& b) {
  m_startScale = m_scale;
  // Fingers closer than a fingertip would make the smallest slip a leap.
  m_startDistance = std::max(20.0, QLineF(a, b).length());
  m_anchor = toFitted((a + b) / 2);
}

void PictureZoom::pinchMove(const QPointF& a, const QPointF& b) {
  const double distance = std::max(1.0, QLineF(a, b).length());
  m_scale = std::clamp(m_startScale * distance / m_startDistance, 1.0, kMaximum);
  m_offset = (a + b) / 2 - m_anchor * m_scale;
  bound();
}

void PictureZoom::moveBy(const QPointF& delta) {
  if (!zoomed()) return;
  m_offset += delta;
  bound();
}

void PictureZoom::bound() {
  if (!zoomed()) {
    reset();
    return;
  }
  const QRectF s = shown();
  // Per axis: covering the room when larger than it, centred when smaller.
  auto fit = [](double start, double length, double room) {
    if (length <= room) return (room - length) / 2 - start;
    return std::clamp(start, room - length, 0.0) - start;
  };
  m_offset +=
      QPointF(fit(s.left(), s.width(), m_room.width()), fit(s.top(), s.height(), m_room.height()));
}

}  // namespace board
