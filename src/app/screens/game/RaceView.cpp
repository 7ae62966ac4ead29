#include "screens/game/RaceView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int kGap = 10;
constexpr int kMargin = 8;
constexpr int kMinNamePixels = 12;
const QColor kTrack(0xc4, 0x55, 0x3b);
const QColor kPanel(0x1d, 0x2b, 0x3a);
const QColor kBoard(0x16, 0x21, 0x2e);
const std::array<QColor, 3> kMedals{QColor(0xf2, 0xc1, 0x4e), QColor(0xc9, 0xd1, 0xd9),
                                    QColor(0xd9, 0x8c, 0x4a)};

double easeOut(double t) { return 1.0 - std::pow(1.0 - t, 3.0); }

void setPixelFont(QPainter& p, int pixels, bool bold) {
  QFont f = p.font();
  f.setPixelSize(std::max(8, pixels));
  f.setBold(bold);
  p.setFont(f);
}

}  // namespace

RaceView::RaceView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("RaceView"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(320, 200);
  m_wall.start();
  m_frame.setInterval(kFrameMs);
  m_frame.setTimerType(Qt::PreciseTimer);
  connect(&m_frame, &QTimer::timeout, this, &RaceView::frame);
}

void RaceView::setRace(const game::Race* race) {
  m_race = race;
  settle();
}

void RaceView::settle() {
  m_glides.clear();
  m_namePixels = 0;
  if (m_race)
    for (const game::Race::Lane& lane : m_race->lanes())
      m_glides.append({double(lane.steps), lane.steps, -1});
  m_frame.stop();
  update();
}

void RaceView::laneMoved(int index) {
  if (!m_race || index < 0 || index >= m_race->lanes().size()) return;
  if (m_glides.size() != m_race->lanes().size()) settle();
  Glide& g = m_glides[index];
  g.from = shownSteps(index);
  g.to = m_race->lanes().at(index).steps;
  g.startMs = m_wall.elapsed();
  if (!m_frame.isActive()) m_frame.start();
}

double RaceView::progress(const Glide& g) const {
  if (g.startMs < 0) return 1.0;
  return std::clamp(double(m_wall.elapsed() - g.startMs) / kGlideMs, 0.0, 1.0);
}

double RaceView::shownSteps(int index) const {
  if (index < 0 || index >= m_glides.size()) return 0;
  const Glide& g = m_glides.at(index);
  return g.from + (g.to - g.from) * easeOut(progress(g));
}

void RaceView::frame() {
  bool moving = false;
  const int count = int(m_glides.size());
  for (int i = 0; i < count; ++i) {
    Glide& g = m_glides[i];
    if (g.startMs < 0) continue;
    update(laneRect(i, count, rect()));
    if (progress(g) >= 1.0) {
      g = {double(g.to), g.to, -1};
    } else {
      moving = true;
    }
  }
  if (!moving) m_frame.stop();
}

int RaceView::columnsFor(int lanes) {
  if (lanes <= 10) return 1;
  if (lanes <= 30) return 2;
  return 3;
}

QRect RaceView::laneRect(int index, int lanes, const QRect& area) {
  const QRect inner = area.adjusted(kMargin, kMargin, -kMargin, -kMargin);
  const int columns = columnsFor(lanes);
  const int rows = std::max(1, (lanes + columns - 1) / columns);
  // A few players get broad lanes, not walls: at most a sixth of the height,
  // the lanes together in the middle.
  const int laneH = std::min(inner.height() / rows, inner.height() / 6);
  const int top = inner.top() + (inner.height() - laneH * rows) / 2;
  const int w = (inner.width() - (columns - 1) * kGap) / columns;
  const int column = index / rows;
  const int row = index % rows;
  return {inner.left() + column * (w + kGap), top + row * laneH, w, laneH};
}

QColor RaceView::runnerColor(int index) {
  static const std::array<QColor, 12> colours{
      QColor(0x1e, 0x88, 0xe5), QColor(0x43, 0xa0, 0x47), QColor(0x8e, 0x24, 0xaa),
      QColor(0xfb, 0x8c, 0x00), QColor(0x00, 0x89, 0x7b), QColor(0x39, 0x49, 0xab),
      QColor(0xd8, 0x1b, 0x60), QColor(0x6d, 0x4c, 0x41), QColor(0x7c, 0xb3, 0x42),
      QColor(0x00, 0xac, 0xc1), QColor(0x5e, 0x35, 0xb1), QColor(0x54, 0x6e, 0x7a)};
  return colours[size_t(index) % colours.size()];
}

int RaceView::namePixels(const QSize& room, int lanes) const {
  if (m_namePixels > 0 && m_nameRoom == room) return m_namePixels;
  // One size for every name: the largest at which all of them fit their panel;
  // what still does not fit at the smallest size elides.
  QFont f = font();
  f.setBold(true);
  int pixels = std::clamp(room.height() * 45 / 100, kMinNamePixels, 60);
  for (; pixels > kMinNamePixels; --pixels) {
    f.setPixelSize(pixels);
    const QFontMetrics fm(f);
    bool fits = true;
    for (int i = 0; i < lanes && fits; ++i)
      fits = fm.horizontalAdvance(m_race->lanes().at(i).name) <= room.width();
    if (fits) break;
  }
  m_nameRoom = room;
  m_namePixels = pixels;
  return pixels;
}

void RaceView::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.fillRect(event->rect(), kBoard);
  if (!m_race || m_race->lanes().isEmpty()) return;
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QList<game::Race::Lane>& lanes = m_race->lanes();
  const int count = int(lanes.size());
  const int length = std::max(1, m_race->trackLength());
  const int columns = columnsFor(count);
  for (int i = 0; i < count; ++i) {
    const QRect r = laneRect(i, count, rect());
    if (!r.intersects(event->rect())) continue;
    const game::Race::Lane& lane = lanes.at(i);
    const int h = r.height();
    const int nameW = int(r.width() * (columns == 1 ? 0.25 : 0.38));
    const QRect panel(r.left(), r.top() + 1, nameW, h - 2);
    const QRect track(r.left() + nameW, r.top() + 1, r.width() - nameW, h - 2);

    // The name, on gold, silver or bronze once the player has a place.
    const bool medal = lane.place >= 1 && lane.place <= int(kMedals.size());
    p.fillRect(panel, medal ? kMedals[size_t(lane.place - 1)] : kPanel);
    p.fillRect(QRect(panel.left(), panel.top(), std::max(5, h / 10), panel.height()),
               runnerColor(i));
    const int stripe = std::max(5, h / 10);
    const QRect text = panel.adjusted(stripe + h / 6, 0, -h / 8, 0);
    setPixelFont(p, namePixels(text.size(), count), true);
    p.setPen(medal ? kPanel : Qt::white);
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
               QFontMetrics(p.font()).elidedText(lane.name, Qt::ElideRight, text.width()));

    // The track: lane lines, a tick per step (every fifth longer), the finish.
    p.fillRect(track, kTrack);
    p.setPen(QPen(QColor(255, 255, 255, 220), 2));
    p.drawLine(track.topLeft(), track.topRight());
    p.drawLine(track.bottomLeft(), track.bottomRight());
    const int d = std::max(10, int(h * 0.72));
    const int finishW = std::max(8, h / 3);
    const double startX = track.left() + d / 2.0 + 6;
    const double finishX = track.right() - finishW / 2.0;
    const double stepW = (finishX - startX) / length;
    for (int s = 1; s < length; ++s) {
      const bool fifth = s % 5 == 0;
      const int x = int(startX + s * stepW);
      p.setPen(QPen(QColor(255, 255, 255, fifth ? 150 : 70), fifth ? 2 : 1));
      p.drawLine(x, track.bottom() - (fifth ? h / 3 : h / 6), x, track.bottom() - 2);
    }
    const int square = std::max(4, finishW / 2);
    for (int y = track.top(), row = 0; y < track.bottom(); y += square, ++row)
      for (int c = 0; c < 2; ++c)
        p.fillRect(QRect(track.right() - finishW + c * square, y, square,
                         std::min(square, track.bottom() - y)),
                   (row + c) % 2 ? Qt::black : Qt::white);

    // A finisher's place, large, where the track is empty now.
    if (medal) {
      const double r2 = d / 2.0;
      const QPointF at(startX, track.center().y() + 1);
      p.setPen(QPen(kPanel, std::max(2, d / 14)));
      p.setBrush(kMedals[size_t(lane.place - 1)]);
      p.drawEllipse(at, r2, r2);
      setPixelFont(p, d * 55 / 100, true);
      p.drawText(QRectF(at.x() - r2, at.y() - r2, d, d), Qt::AlignCenter,
                 QString::number(lane.place));
    }

    // The runner: a trail while it glides, a little hop, its number.
    const double shown = std::min(shownSteps(i), double(length));
    const Glide& g = m_glides.value(i);
    const double t = progress(g);
    const bool gliding = g.startMs >= 0 && t < 1.0;
    const double x = startX + shown * stepW;
    const double y =
        track.center().y() + 1 - (gliding ? std::sin(std::numbers::pi * t) * h * 0.12 : 0.0);
    QColor colour = runnerColor(i);
    if (gliding) {
      for (int k = 3; k >= 1; --k) {
        QColor ghost = colour;
        ghost.setAlpha(40 * (4 - k));
        p.setPen(Qt::NoPen);
        p.setBrush(ghost);
        const double back = k * stepW * 0.35 * (1.0 - t);
        const double r2 = d / 2.0 * (1.0 - 0.12 * k);
        p.drawEllipse(QPointF(x - back, track.center().y() + 1), r2, r2);
      }
    }
    p.setPen(QPen(Qt::white, std::max(2, d / 14)));
    p.setBrush(colour);
    p.drawEllipse(QPointF(x, y), d / 2.0, d / 2.0);
    setPixelFont(p, d * 45 / 100, true);
    p.setPen(Qt::white);
    p.drawText(QRectF(x - d / 2.0, y - d / 2.0, d, d), Qt::AlignCenter, QString::number(i + 1));
  }
}

// ---- PodiumView

PodiumView::PodiumView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Kursu"));
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(24, 24, 24, 0);
  m_winner = new QLabel(this);
  m_winner->setObjectName(QStringLiteral("lblKazanan"));
  m_winner->setAlignment(Qt::AlignCenter);
  m_winner->setWordWrap(true);
  m_winner->setStyleSheet(QStringLiteral("color:#f2c14e;"));
  box->addWidget(m_winner);
  box->addStretch(1);
  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  row->addStretch(1);
  for (int place = 1; place <= game::Race::kPodium; ++place) {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(6, 0, 6, 0);
    v->setSpacing(4);
    v->addStretch(1);
    auto* name = new QLabel(column);
    name->setObjectName(QStringLiteral("lblDerece%1").arg(place));
    name->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    name->setWordWrap(true);
    name->setStyleSheet(QStringLiteral("color:white;"));
    auto* time = new QLabel(column);
    time->setObjectName(QStringLiteral("lblSure%1").arg(place));
    time->setAlignment(Qt::AlignCenter);
    time->setStyleSheet(QStringLiteral("color:#d7e1ec;"));
    auto* step = new QLabel(QString::number(place), column);
    step->setObjectName(QStringLiteral("lblBasamak%1").arg(place));
    step->setAlignment(Qt::AlignCenter);
    step->setStyleSheet(QStringLiteral("background:%1;color:#1d2b3a;border-top-left-radius:10px;"
                                       "border-top-right-radius:10px;")
                            .arg(kMedals[size_t(place - 1)].name()));
    v->addWidget(name);
    v->addWidget(time);
    v->addWidget(step);
    m_columns << column;
    m_names << name;
    m_times << time;
    m_steps << step;
  }
  // Second, first, third from the left.
  for (int place : {2, 1, 3}) row->addWidget(m_columns.at(place - 1), 0, Qt::AlignBottom);
  row->addStretch(1);
  box->addLayout(row);
  applyScale();
}

void PodiumView::setPlaces(const QList<game::Race::PodiumPlace>& places) {
  for (int i = 0; i < m_columns.size(); ++i) {
    const bool has = i < places.size();
    m_names.at(i)->setText(has ? places.at(i).name : QString());
    m_times.at(i)->setText(has ? places.at(i).time : QString());
    // An empty step keeps its place, so the winner stays in the middle.
    m_columns.at(i)->setVisible(true);
    m_names.at(i)->setVisible(has);
    m_times.at(i)->setVisible(has);
    m_steps.at(i)->setVisible(has);
  }
  m_winner->setText(places.isEmpty() ? QString()
                                     : QStringLiteral("KAZANAN\n%1").arg(places.first().name));
}

void PodiumView::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.fillRect(event->rect(), QColor(10, 16, 24, 225));
}

void PodiumView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  applyScale();
}

void PodiumView::applyScale() {
  const int h = std::max(200, height());
  const int w = std::max(300, width());
  const int unit = std::max(12, std::min(w / 60, h / 34));
  QFont f = font();
  f.setBold(true);
  f.setPixelSize(unit * 3);
  m_winner->setFont(f);
  const int columnW = std::min(w / 4, unit * 22);
  static constexpr std::array<int, 3> kHeights{36, 26, 18};  // per cent of the height
  for (int i = 0; i < m_columns.size(); ++i) {
    m_columns.at(i)->setFixedWidth(columnW);
    QFont name = font();
    name.setBold(true);
    name.setPixelSize(i == 0 ? unit * 2 : unit * 17 / 10);
    m_names.at(i)->setFont(name);
    QFont time = font();
    time.setPixelSize(unit * 3 / 2);
    m_times.at(i)->setFont(time);
    QFont step = font();
    step.setBold(true);
    step.setPixelSize(unit * 4);
    m_steps.at(i)->setFont(step);
    m_steps.at(i)->setFixedHeight(h * kHeights[size_t(i)] / 100);
  }
}
