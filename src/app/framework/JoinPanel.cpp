#include "framework/JoinPanel.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLayout>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace {
// A QR code needs a light margin of four modules to be found by a camera.
constexpr int kQuietModules = 4;
}  // namespace

JoinPanel::JoinPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("JoinPanel"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // The presentation goes full screen after it is made: the panel follows it.
  if (parent) parent->installEventFilter(this);
  if (parent && parent->layout()) m_parentMargins = parent->layout()->contentsMargins();
}

JoinPanel::~JoinPanel() {
  if (QWidget* p = parentWidget(); p && p->layout())
    p->layout()->setContentsMargins(m_parentMargins);
}

bool JoinPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched != parentWidget()) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::Resize) place();
  // A page of the window changed (other buttons, other content): placed again
  // once the window's layout has put them where they go.
  if (event->type() == QEvent::LayoutRequest && !m_placing) {
    m_placing = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          m_placing = false;
          place();
        },
        Qt::QueuedConnection);
  }
  return QWidget::eventFilter(watched, event);
}

bool JoinPanel::setJoin(const QString& url, const QString& address, const QString& code) {
  Result<web::QrMatrix> qr = web::qrMatrix(url);
  m_qr = qr.valueOr({});
  m_address = address;
  m_code = code;
  setAccessibleName(QStringLiteral("Katılım: %1 Kod: %2").arg(address, code));
  update();
  return bool(qr);
}

void JoinPanel::setLarge(bool large) {
  if (m_large == large) return;
  m_large = large;
  place();
}

void JoinPanel::place() {
  QWidget* p = parentWidget();
  if (!p) return;
  QRect area = p->rect();
  // A board window grown past its screen (its content's least width with the
  // strip) is measured by the screen, and goes back to it below.
  const QScreen* screen = p->isWindow() ? p->screen() : nullptr;
  if (screen) area.setWidth(std::min(area.width(), screen->geometry().width()));
  constexpr int kGap = 8;
  // The strip may take only what the window's own content can spare: a wider
  // strip would make the window wider than the board.
  QLayout* l = p->layout();
  int room = area.width();
  if (l) {
    const QMargins now = l->contentsMargins();
    const int least = l->minimumSize().width() - now.left() - now.right() + m_parentMargins.left() +
                      m_parentMargins.right();
    room = area.width() - least - 2 * kGap;
  }
  int w = 0;
  int h = 0;
  if (m_large) {
    // As tall as it can be with the address and the code below the QR code, and
    // no wider than a third of the board: the tiles keep the rest.
    w = std::min({area.width() / 3, (area.height() - 4 * kGap) * 5 / 7, room});
  } else {
    // Readable from the front desks and by a phone held up in the middle of the
    // class; the title row above it and the buttons beside it stay free.
    w = std::min(std::clamp(area.height() / 5, 130, 260), room);
  }
  w = std::max(w, 110);
  h = w * 7 / 5;
  const int top = m_large ? area.center().y() - h / 2 : area.bottom() - h - kGap;
  QRect where(area.right() - w - kGap, top, w, h);
  QMargins margins = m_parentMargins;
  if (l && w <= room) margins.setRight(margins.right() + w + 2 * kGap);
  // Unchanged margins leave the layout alone: no new layout request, no loop.
  if (l && l->contentsMargins() != margins) l->setContentsMargins(margins);
  if (!l || w > room) {
    // No strip to spare: over the content, but never over a button.
    for (const QAbstractButton* b : p->findChildren<QAbstractButton*>()) {
      if (!b->isVisible() || b->window() != p) continue;
      const QRect r(b->mapTo(p, QPoint(0, 0)), b->size());
      if (r.intersects(where)) where.moveBottom(r.top() - kGap);
    }
  }
  setGeometry(where);
  if (screen && p->width() > screen->geometry().width()) p->setGeometry(screen->geometry());
  raise();
  update();
}

QRect JoinPanel::qrRect() const {
  const QRect r = rect().adjusted(6, 6, -6, -6);
  const int side = std::min(r.width(), r.height() * 5 / 7);
  return {r.left() + (r.width() - side) / 2, r.top(), side, side};
}

void JoinPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
  p.setBrush(Qt::white);
  p.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 12, 12);
  p.setRenderHint(QPainter::Antialiasing, false);

  const QRect box = qrRect();
  if (m_qr.size > 0) {
    // Whole pixels per module: a blurred edge between modules reads badly.
    const int modules = m_qr.size + 2 * kQuietModules;
    const int px = std::max(1, box.width() / modules);
    const int side = px * modules;
    const QPoint origin(box.left() + (box.width() - side) / 2 + kQuietModules * px,
                        box.top() + (box.height() - side) / 2 + kQuietModules * px);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (int y = 0; y < m_qr.size; ++y)
      for (int x = 0; x < m_qr.size; ++x)
        if (m_qr.dark(x, y)) p.drawRect(origin.x() + x * px, origin.y() + y * px, px, px);
  }

  const QRect text(8, box.bottom() + 2, width() - 16, height() - box.bottom() - 10);
  QFont f = font();
  f.setBold(true);
  p.setPen(Qt::black);
  // The address on one line as large as fits, the code larger below it.
  const QString& shown = m_address;
  f.setPixelSize(std::max(8, text.height() / 4));
  while (f.pixelSize() > 8 && QFontMetrics(f).horizontalAdvance(shown) > text.width())
    f.setPixelSize(f.pixelSize() - 1);
  p.setFont(f);
  const int addressHeight = QFontMetrics(f).height();
  p.drawText(QRect(text.left(), text.top(), text.width(), addressHeight), Qt::AlignCenter, shown);

  QFont big = f;
  const QString code = QStringLiteral("Kod: %1").arg(m_code);
  big.setPixelSize(std::max(10, (text.height() - addressHeight) * 3 / 5));
  while (big.pixelSize() > 10 && QFontMetrics(big).horizontalAdvance(code) > text.width())
    big.setPixelSize(big.pixelSize() - 1);
  p.setFont(big);
  p.setPen(QColor(0x0d, 0x47, 0xa1));
  p.drawText(
      QRect(text.left(), text.top() + addressHeight, text.width(), text.height() - addressHeight),
      Qt::AlignCenter, code);
}
