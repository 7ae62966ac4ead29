#include "screens/delivery/RunTilesView.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "delivery/RunPlan.h"
#include "receiver/Colors.h"

namespace {

constexpr int kGap = 6;
constexpr int kMinFontPixels = 11;

}  // namespace

RunTilesView::RunTilesView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frameKumandalar"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 120);
}

void RunTilesView::setTiles(const activity::RemoteTiles* tiles, const QStringList* names) {
  m_tiles = tiles;
  m_names = names;
  update();
}

void RunTilesView::tileChanged(int index) {
  const QList<int> shown = shownIndexes();
  const int at = int(shown.indexOf(index));
  if (at < 0) return;
  update(tileRect(at, int(shown.size()), rect()).adjusted(-1, -1, 1, 1));
}

int RunTilesView::columnsFor(int count, const QSize& area, double aspect) {
  if (count <= 0 || area.isEmpty()) return 1;
  int best = 1;
  double bestSide = -1;
  for (int columns = 1; columns <= count; ++columns) {
    const int rows = (count + columns - 1) / columns;
    const double w = double(area.width() - (columns - 1) * kGap) / columns;
    const double h = double(area.height() - (rows - 1) * kGap) / rows;
    // The tile of this aspect that fits the cell; its height is what counts.
    const double side = std::min(h, w / aspect);
    if (side > bestSide) {
      bestSide = side;
      best = columns;
    }
  }
  return best;
}

QRect RunTilesView::tileRect(int index, int count, const QRect& area) {
  const int columns = columnsFor(count, area.size());
  const int rows = std::max(1, (count + columns - 1) / columns);
  const int h = std::min((area.height() - (rows - 1) * kGap) / rows,
                         // no taller than a comfortable tile: rows stay together
                         int(double(area.width() - (columns - 1) * kGap) / columns / 1.4));
  const int w = (area.width() - (columns - 1) * kGap) / columns;
  const int row = index / columns;
  const int column = index % columns;
  return {area.left() + column * (w + kGap), area.top() + row * (h + kGap), w, h};
}

QColor RunTilesView::colorOf(activity::RemoteTiles::State state) {
  switch (state) {
    case activity::RemoteTiles::State::Answered:
      return receiver::colorFromColorRef(receiver::colors::kAnswered);
    case activity::RemoteTiles::State::Blank:
      return receiver::colorFromColorRef(receiver::colors::kWhite);
    case activity::RemoteTiles::State::NotAnswered:
      break;
  }
  return receiver::colorFromColorRef(receiver::colors::kNotAnswered);
}

QString RunTilesView::markOf(activity::RemoteTiles::State state) {
  switch (state) {
    case activity::RemoteTiles::State::Answered:
      return QStringLiteral("✓");
    case activity::RemoteTiles::State::Blank:
      return QStringLiteral("–");
    case activity::RemoteTiles::State::NotAnswered:
      break;
  }
  return {};
}

QList<int> RunTilesView::shownIndexes() const {
  QList<int> out;
  if (!m_tiles) return out;
  for (int i = 0; i < m_tiles->size(); ++i)
    if (m_tiles->tiles().at(i).address != delivery::RunPlan::kVirtualRemote) out << i;
  return out;
}

int RunTilesView::fontPixelsFor(const QRect& tile, const QList<int>& shown) const {
  // One size for every tile: as large as the tile's height allows, then smaller
  // until the longest name fits on one line; what still does not fit elides.
  const int textWidth = tile.width() - tile.height() / 2 - 16;
  int pixels = std::max(kMinFontPixels, tile.height() * 2 / 5);
  QFont f = font();
  f.setBold(true);
  while (pixels > kMinFontPixels) {
    f.setPixelSize(pixels);
    const QFontMetrics fm(f);
    int widest = 0;
    for (int i : shown)
      widest = std::max(widest, fm.horizontalAdvance(m_names ? m_names->value(i) : QString()));
    if (widest <= textWidth) break;
    // Names longer than a third of the tile rather elide than shrink everything.
    if (pixels <= tile.height() / 4) break;
    --pixels;
  }
  return pixels;
}

void RunTilesView::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.fillRect(event->rect(), palette().window());
  const QList<int> shown = shownIndexes();
  if (shown.isEmpty()) return;
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const int count = int(shown.size());
  const QRect first = tileRect(0, count, rect());
  QFont nameFont = font();
  nameFont.setBold(true);
  nameFont.setPixelSize(fontPixelsFor(first, shown));
  QFont markFont = font();
  markFont.setBold(true);
  markFont.setPixelSize(std::max(kMinFontPixels, first.height() * 3 / 5));
  for (int at = 0; at < count; ++at) {
    const QRect r = tileRect(at, count, rect());
    if (!r.intersects(event->rect())) continue;
    const activity::RemoteTiles::Tile& tile = m_tiles->tiles().at(shown.at(at));
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 2));
    p.setBrush(colorOf(tile.state));
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 8, 8);
    const int markWidth = r.height() / 2;
    const QRect markRect(r.right() - markWidth - 6, r.top(), markWidth, r.height());
    const QRect textRect = r.adjusted(10, 0, -(markWidth + 6), 0);
    p.setPen(Qt::black);
    p.setFont(nameFont);
    const QString name = m_names ? m_names->value(shown.at(at)) : tile.address;
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
               QFontMetrics(nameFont).elidedText(name, Qt::ElideRight, textRect.width()));
    if (const QString mark = markOf(tile.state); !mark.isEmpty()) {
      p.setFont(markFont);
      p.drawText(markRect, Qt::AlignCenter, mark);
    }
  }
}
