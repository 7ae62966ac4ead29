#include "framework/RunTilesView.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMetaMethod>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "delivery/RunPlan.h"
#include "framework/TouchSupport.h"
#include "receiver/Colors.h"

namespace {

constexpr int kGap = 6;
constexpr int kMinFontPixels = 13;

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

QString RunTilesView::addressAt(const QPoint& point) const {
  if (!m_tiles) return {};
  const QList<int> shown = shownIndexes();
  for (int at = 0; at < shown.size(); ++at)
    if (tileRect(at, int(shown.size()), rect()).contains(point))
      return m_tiles->tiles().at(shown.at(at)).address;
  return {};
}

void RunTilesView::contextMenuEvent(QContextMenuEvent* event) {
  const QString address = addressAt(event->pos());
  if (address.isEmpty()) return QWidget::contextMenuEvent(event);
  emit tileMenuRequested(address, event->globalPos());
}

// A tile's menu is for a held finger too, even in a presentation that otherwise
// ignores fingers off its commands; tiles without a menu stay still.
void RunTilesView::connectNotify(const QMetaMethod& signal) {
  if (signal == QMetaMethod::fromSignal(&RunTilesView::tileMenuRequested))
    framework::TouchSupport::excludeFromHold(this, false);
  QWidget::connectNotify(signal);
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

QRect RunTilesView::markRect(const QRect& tile) {
  const int w = std::min(tile.height() * 9 / 20, tile.width() / 5);
  return {tile.right() - w - 6, tile.top(), w, tile.height()};
}

QRect RunTilesView::textRect(const QRect& tile) {
  return tile.adjusted(10, 4, -(markRect(tile).width() + 10), -4);
}

int RunTilesView::fontPixelsFor(const QRect& tile, const QList<int>& shown) const {
  QStringList names;
  for (int i : shown) names << (m_names ? m_names->value(i) : QString());
  if (m_fontPixels > 0 && m_fontForSize == tile.size() && m_fontForNames == names)
    return m_fontPixels;
  // One size for every tile: the largest at which every name fits its tile on at
  // most as many lines as the tile holds, words unbroken; what still does not fit
  // at the smallest size elides.
  const QRect text = textRect(tile);
  QFont f = font();
  f.setBold(true);
  int pixels = std::clamp(tile.height() * 9 / 25, kMinFontPixels, 72);
  for (; pixels > kMinFontPixels; --pixels) {
    f.setPixelSize(pixels);
    const QFontMetrics fm(f);
    const bool fits = std::all_of(names.cbegin(), names.cend(), [&](const QString& name) {
      const QRect need = fm.boundingRect(text, Qt::TextWordWrap | Qt::AlignLeft, name);
      return need.width() <= text.width() && need.height() <= text.height();
    });
    if (fits) break;
  }
  m_fontForSize = tile.size();
  m_fontForNames = names;
  m_fontPixels = pixels;
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
  const QFontMetrics nameMetrics(nameFont);
  QFont markFont = font();
  markFont.setBold(true);
  markFont.setPixelSize(std::max(kMinFontPixels, markRect(first).width()));
  for (int at = 0; at < count; ++at) {
    const QRect r = tileRect(at, count, rect());
    if (!r.intersects(event->rect())) continue;
    const activity::RemoteTiles::Tile& tile = m_tiles->tiles().at(shown.at(at));
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 2));
    p.setBrush(colorOf(tile.state));
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 8, 8);
    const QRect text = textRect(r);
    p.setPen(Qt::black);
    p.setFont(nameFont);
    const QString name = m_names ? m_names->value(shown.at(at)) : tile.address;
    const QRect need = nameMetrics.boundingRect(text, Qt::TextWordWrap | Qt::AlignLeft, name);
    if (need.width() <= text.width() && need.height() <= text.height())
      p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, name);
    else
      p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                 nameMetrics.elidedText(name, Qt::ElideRight, text.width()));
    if (const QString mark = markOf(tile.state); !mark.isEmpty()) {
      p.setFont(markFont);
      p.drawText(markRect(r), Qt::AlignCenter, mark);
    }
  }
}
