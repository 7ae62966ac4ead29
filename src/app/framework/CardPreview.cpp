#include "framework/CardPreview.h"

#include <QEvent>
#include <QPainter>
#include <QShortcut>
#include <QToolButton>

CardPreview::CardPreview(QWidget* window) : QWidget(window) {
  setObjectName(QStringLiteral("kartOnizleme"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  m_size = new QToolButton(this);
  m_size->setObjectName(QStringLiteral("cmdKartOnizlemeBoyut"));
  m_size->setText(QStringLiteral("Büyüt"));
  m_size->setFocusPolicy(Qt::NoFocus);
  connect(m_size, &QToolButton::clicked, this, [this] { setLarge(!m_large); });
  // A photo taken with a phone when the camera cannot see the back rows.
  m_open = new QToolButton(this);
  m_open->setObjectName(QStringLiteral("cmdKartResimAc"));
  m_open->setText(QStringLiteral("Resim Aç"));
  m_open->setToolTip(QStringLiteral("Sınıfın kartlarla fotoğrafını dosyadan okur"));
  m_open->setFocusPolicy(Qt::NoFocus);
  connect(m_open, &QToolButton::clicked, this, &CardPreview::openPictureRequested);
  m_paste = new QToolButton(this);
  m_paste->setObjectName(QStringLiteral("cmdKartYapistir"));
  m_paste->setText(QStringLiteral("Yapıştır"));
  m_paste->setToolTip(QStringLiteral("Panodaki fotoğrafı okur (Ctrl+V)"));
  m_paste->setFocusPolicy(Qt::NoFocus);
  connect(m_paste, &QToolButton::clicked, this, &CardPreview::pasteRequested);
  // The window's paste, while the preview is up (answers are being taken).
  auto* paste = new QShortcut(QKeySequence(QKeySequence::Paste), this);
  connect(paste, &QShortcut::activated, this, &CardPreview::pasteRequested);
  m_paintTimer.setInterval(kPaintIntervalMs);
  connect(&m_paintTimer, &QTimer::timeout, this, [this] {
    if (!m_dirty) return;
    m_dirty = false;
    update();
  });
  m_paintTimer.start();
  window->installEventFilter(this);
  setCount(0, 0);
}

void CardPreview::setFrame(const QImage& frame, const QList<Outline>& outlines) {
  m_frame = frame;
  m_outlines = outlines;
  m_dirty = true;
}

void CardPreview::setCount(int read, int ofClass) {
  m_count = QStringLiteral("%1 / %2 kart okundu").arg(read).arg(ofClass);
  m_dirty = true;
}

void CardPreview::setNotice(const QString& text) {
  m_notice = text;
  m_dirty = true;
}

void CardPreview::setLarge(bool large) {
  m_large = large;
  m_size->setText(large ? QStringLiteral("Küçült") : QStringLiteral("Büyüt"));
  place();
  raise();
  update();
}

void CardPreview::place() {
  const QWidget* window = parentWidget();
  if (!window) return;
  const QRect all = window->rect();
  if (m_large) {
    setGeometry(all);
  } else {
    // A quarter of the board across, at the bottom right, away from the run's
    // title and its first tiles.
    const int w = qMax(240, all.width() / 4);
    const int h = w * 9 / 16 + 28;
    setGeometry(all.right() - w - 8, all.bottom() - h - 8, w, h);
  }
  int right = width() - 4;
  for (QToolButton* b : {m_size, m_paste, m_open}) {
    b->adjustSize();
    right -= b->width();
    b->move(right, 4);
    right -= 4;
  }
}

bool CardPreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) place();
  return QWidget::eventFilter(watched, event);
}

void CardPreview::mouseDoubleClickEvent(QMouseEvent*) { setLarge(!m_large); }

void CardPreview::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  const int band = qMax(24, height() / 14);
  const QRect area = rect().adjusted(0, 0, 0, -band);
  if (!m_frame.isNull()) {
    QSize fitted = m_frame.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.center().x() - fitted.width() / 2,
                       area.center().y() - fitted.height() / 2, fitted.width(), fitted.height());
    p.drawImage(target, m_frame);
    const double scale = double(target.width()) / m_frame.width();
    QFont font = p.font();
    font.setPixelSize(m_large ? band / 2 : qMax(9, band * 2 / 5));
    font.setBold(true);
    p.setFont(font);
    p.setRenderHint(QPainter::Antialiasing);
    for (const Outline& o : std::as_const(m_outlines)) {
      QPolygonF shown;
      for (const QPointF& c : o.corners) shown << target.topLeft() + c * scale;
      p.setPen(QPen(QColor(0, 220, 0), m_large ? 4 : 2));
      p.setBrush(Qt::NoBrush);
      p.drawPolygon(shown);
      // The name under the card, on a dark strip of its own width.
      const QRectF box = shown.boundingRect();
      const QFontMetrics metrics = p.fontMetrics();
      const QRectF label(box.left(), box.bottom() + 2, metrics.horizontalAdvance(o.name) + 6,
                         metrics.height());
      p.fillRect(label, QColor(0, 0, 0, 160));
      p.setPen(QColor(120, 255, 120));
      p.drawText(label.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, o.name);
    }
  }
  QFont font = p.font();
  font.setPixelSize(band * 2 / 3);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(0, height() - band, width(), band), Qt::AlignCenter, m_count);
  if (!m_notice.isEmpty()) {
    p.setPen(QColor(255, 200, 80));
    p.drawText(area.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, m_notice);
  } else if (m_frame.isNull()) {
    p.setPen(Qt::lightGray);
    p.drawText(area, Qt::AlignCenter, QStringLiteral("Kamera bekleniyor…"));
  }
}
