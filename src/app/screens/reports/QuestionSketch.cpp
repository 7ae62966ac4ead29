#include "screens/reports/QuestionSketch.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

#include "framework/PictureTouch.h"
#include "framework/TouchSupport.h"

namespace {

constexpr int kMargin = 6;

QIcon swatch(const QColor& colour, int width) {
  QPixmap p(28, 28);
  p.fill(Qt::transparent);
  QPainter painter(&p);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  const qreal r = width > 0 ? std::min(13.0, width / 2.0 + 1) : 12.0;
  painter.drawEllipse(QPointF(14, 14), r, r);
  return QIcon(p);
}

}  // namespace

QuestionSketch::QuestionSketch(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("picSoru"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A pen held still is drawing a dot, not asking for a menu.
  framework::TouchSupport::excludeFromHold(this);
  setMinimumHeight(120);
  m_colour = colours().first().colour;
  m_width = widths().at(1).width;
  m_touch = new framework::PictureTouch(this, [this] { return contentRect(); });
  m_touch->setFinger({[this](const QPointF& at) {
                        if (!m_drawing) return false;
                        strokeFrom(at);
                        return true;
                      },
                      [this](const QPointF& at) { strokeTo(at); },
                      [this](const QPointF&) { m_pressed = false; },
                      [this] {
                        // The first finger of a pinch drew nothing meant.
                        if (m_pressed && !m_strokes.isEmpty()) m_strokes.removeLast();
                        m_pressed = false;
                        update();
                      }});
  connect(m_touch, &framework::PictureTouch::changed, this, qOverload<>(&QWidget::update));
}

const QList<QuestionSketch::Choice>& QuestionSketch::colours() {
  static const QList<Choice> list{
      {QStringLiteral("Kırmızı"), QColor(0xd0, 0x10, 0x10), 0},
      {QStringLiteral("Mavi"), QColor(0x10, 0x50, 0xd0), 0},
      {QStringLiteral("Yeşil"), QColor(0x10, 0x90, 0x30), 0},
      {QStringLiteral("Turuncu"), QColor(0xf0, 0x80, 0x00), 0},
      {QStringLiteral("Mor"), QColor(0x80, 0x20, 0xa0), 0},
      {QStringLiteral("Siyah"), QColor(Qt::black), 0},
  };
  return list;
}

const QList<QuestionSketch::Choice>& QuestionSketch::widths() {
  static const QList<Choice> list{
      {QStringLiteral("İnce"), {}, 2},
      {QStringLiteral("Orta"), {}, 5},
      {QStringLiteral("Kalın"), {}, 9},
      {QStringLiteral("Çok Kalın"), {}, 15},
  };
  return list;
}

void QuestionSketch::setQuestion(const QImage& picture, const QString& text) {
  m_picture = picture;
  m_text = text;
  m_strokes.clear();
  m_pressed = false;
  m_touch->relayout();
  update();
}

void QuestionSketch::setDrawing(bool on) {
  m_drawing = on;
  m_pressed = false;
  setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
  paintTools();
}

void QuestionSketch::setPenColour(const QColor& colour) {
  m_colour = colour;
  paintTools();
}

void QuestionSketch::setPenWidth(int pixels) {
  m_width = std::max(1, pixels);
  paintTools();
}

void QuestionSketch::clear() {
  m_strokes.clear();
  m_pressed = false;
  update();
}

QList<QPushButton*> QuestionSketch::makeTools(QWidget* parent) {
  auto make = [&](const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumSize(110, 40);
    b->setIconSize(QSize(22, 22));
    return b;
  };
  m_cmdKalem = make(QStringLiteral("cmdKalem"), QStringLiteral("Kalem"));
  m_cmdKalem->setCheckable(true);
  m_cmdKalem->setToolTip(QStringLiteral("Sorunun üzerine çizin"));
  connect(m_cmdKalem, &QPushButton::toggled, this, &QuestionSketch::setDrawing);

  m_cmdRenk = make(QStringLiteral("cmdRenk"), QStringLiteral("Renk"));
  auto* colourMenu = new QMenu(m_cmdRenk);
  for (const Choice& c : colours())
    colourMenu->addAction(swatch(c.colour, 0), c.caption, this, [this, c] {
      setPenColour(c.colour);
      setDrawing(true);
    });
  m_cmdRenk->setMenu(colourMenu);

  m_cmdKalinlik = make(QStringLiteral("cmdKalinlik"), QStringLiteral("Kalınlık"));
  auto* widthMenu = new QMenu(m_cmdKalinlik);
  for (const Choice& w : widths())
    widthMenu->addAction(swatch(Qt::black, w.width), w.caption, this, [this, w] {
      setPenWidth(w.width);
      setDrawing(true);
    });
  m_cmdKalinlik->setMenu(widthMenu);

  auto* clearButton = make(QStringLiteral("cmdTemizle"), QStringLiteral("Temizle"));
  clearButton->setToolTip(QStringLiteral("Çizilenleri siler; soru resmi değişmez"));
  connect(clearButton, &QPushButton::clicked, this, &QuestionSketch::clear);
  paintTools();
  return {m_cmdKalem, m_cmdRenk, m_cmdKalinlik, clearButton};
}

void QuestionSketch::paintTools() {
  if (!m_cmdKalem) return;
  // Picking a colour or a width takes the pen up as well: the button shows it.
  const QSignalBlocker quiet(m_cmdKalem);
  m_cmdKalem->setChecked(m_drawing);
  m_cmdKalem->setIcon(swatch(m_colour, m_width));
  m_cmdRenk->setIcon(swatch(m_colour, 0));
  m_cmdKalinlik->setIcon(swatch(Qt::black, m_width));
}

QRectF QuestionSketch::contentRect() const {
  const QRectF room = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
  if (m_picture.isNull() || room.isEmpty()) return room;
  QSizeF size = m_picture.size();
  size.scale(room.size(), Qt::KeepAspectRatio);
  QRectF r(QPointF(), size);
  r.moveCenter(room.center());
  return r;
}

QPointF QuestionSketch::toContent(const QPointF& widgetPoint) const {
  const QRectF r = contentRect();
  if (r.isEmpty()) return {};
  const QPointF p = m_touch->zoom().toFitted(widgetPoint);
  return {(p.x() - r.left()) / r.width(), (p.y() - r.top()) / r.height()};
}

void QuestionSketch::strokeFrom(const QPointF& widgetPoint) {
  m_pressed = true;
  // The pen is as thick on the screen as chosen, however enlarged the question.
  m_strokes.append(
      {m_colour, m_width / m_touch->zoom().scale(), QPolygonF{toContent(widgetPoint)}});
  update();
}

void QuestionSketch::strokeTo(const QPointF& widgetPoint) {
  if (!m_pressed || m_strokes.isEmpty()) return;
  m_strokes.last().points << toContent(widgetPoint);
  update();
}

void QuestionSketch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  const QRectF r = contentRect();
  painter.translate(m_touch->zoom().offset());
  painter.scale(m_touch->zoom().scale(), m_touch->zoom().scale());
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!m_picture.isNull()) {
    painter.drawImage(r, m_picture);
  } else {
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    painter.setFont(f);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_text);
  }
  painter.setRenderHint(QPainter::Antialiasing);
  for (const Stroke& s : m_strokes) {
    painter.setPen(QPen(s.colour, s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygonF points;
    for (const QPointF& p : s.points)
      points << QPointF(r.left() + p.x() * r.width(), r.top() + p.y() * r.height());
    if (points.size() == 1)
      painter.drawPoint(points.first());
    else
      painter.drawPolyline(points);
  }
}

void QuestionSketch::mousePressEvent(QMouseEvent* event) {
  if (!m_drawing || event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  strokeFrom(event->position());
}

void QuestionSketch::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pressed || m_strokes.isEmpty()) return QWidget::mouseMoveEvent(event);
  strokeTo(event->position());
}

void QuestionSketch::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_pressed) return QWidget::mouseReleaseEvent(event);
  m_pressed = false;
}
