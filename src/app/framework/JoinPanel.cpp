#include "framework/JoinPanel.h"

#include <QEvent>
#include <QPainter>

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
}

bool JoinPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) place();
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
  const QRect area = p->rect();
  if (m_large) {
    // Beside the start page's title, over its right half, as tall as it can be
    // while the text below it still fits.
    const int w = std::min(area.width() * 2 / 5, area.height() * 3 / 4);
    const int h = std::min(area.height() - 40, w + w * 2 / 5);
    setGeometry(area.right() - w - area.width() / 20, area.center().y() - h / 2, w, h);
  } else {
    // A corner below the run's title row: readable from the first desks, small
    // enough to hide no tile's name.
    const int side = std::clamp(area.height() / 6, 120, 220);
    const int w = side * 2 + 20;
    setGeometry(area.right() - w - 8, area.bottom() - side - 8, w, side);
  }
  raise();
  update();
}

QRect JoinPanel::qrRect() const {
  const QRect r = rect().adjusted(10, 10, -10, -10);
  if (m_large) {
    const int side = std::min(r.width(), r.height() * 5 / 7);
    return {r.left() + (r.width() - side) / 2, r.top(), side, side};
  }
  return {r.left(), r.top(), r.height(), r.height()};
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

  QRect text = m_large ? QRect(10, box.bottom() + 4, width() - 20, height() - box.bottom() - 14)
                       : QRect(box.right() + 8, 10, width() - box.right() - 18, height() - 20);
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
  p.drawText(QRect(text.left(), text.top() + addressHeight, text.width(),
                   text.height() - addressHeight),
             Qt::AlignCenter, code);
}
