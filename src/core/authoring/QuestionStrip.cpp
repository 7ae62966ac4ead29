#include "authoring/QuestionStrip.h"

#include <algorithm>

namespace authoring {

namespace {

// Paper, not ink: light enough in every channel.
bool isPaper(QRgb p) { return qRed(p) > 230 && qGreen(p) > 230 && qBlue(p) > 230; }

QRect inkBounds(const QImage& image) {
  int left = image.width(), right = -1, top = image.height(), bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (isPaper(line[x])) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

QImage questionStrip(const QImage& picture, const QSize& cell) {
  if (picture.isNull() || cell.width() <= 0 || cell.height() <= 0) return {};
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  const QRect ink = inkBounds(rgb);
  if (ink.isEmpty()) return {};
  // As wide as the cell, never enlarged beyond twice the picture's own size.
  const double scale = std::min(2.0, double(cell.width()) / ink.width());
  const int sourceHeight = std::min(ink.height(), int(cell.height() / scale));
  const QImage top = rgb.copy(ink.x(), ink.y(), ink.width(), std::max(1, sourceHeight));
  return top.scaled(std::max(1, int(ink.width() * scale)), std::max(1, int(top.height() * scale)),
                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace authoring
