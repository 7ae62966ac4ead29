#include "framework/CardPreview.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPainter>
#include <QShortcut>
#include <QToolButton>

#include "framework/TouchSupport.h"

CardPreview::CardPreview(QWidget* window) : QWidget(window) {
  setObjectName(QStringLiteral("kartOnizleme"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The preview's buttons never take the keyboard from the presentation.
  const auto button = [this](const QString& name, const QString& text, const QString& tip) {
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  m_size = button(QStringLiteral("cmdKartOnizlemeBoyut"), QStringLiteral("Büyüt"), {});
  connect(m_size, &QToolButton::clicked, this, [this] { setLarge(!m_large); });
  // A photo taken with a phone when the camera cannot see the back rows.
  m_open = button(QStringLiteral("cmdKartResimAc"), QStringLiteral("Resim Aç"),
                  QStringLiteral("Sınıfın kartlarla fotoğrafını dosyadan okur"));
  connect(m_open, &QToolButton::clicked, this, &CardPreview::openPictureRequested);
  m_paste = button(QStringLiteral("cmdKartYapistir"), QStringLiteral("Yapıştır"),
                   QStringLiteral("Panodaki fotoğrafı okur (Ctrl+V)"));
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
  // On a board the run's commands stand in a column: the preview takes the
  // column's free top rather than covering tiles, counters or commands.
  m_column = window->findChild<QWidget*>(QStringLiteral("frameKomutlar"));
  if (m_column) m_column->installEventFilter(this);
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
  const QRect room = columnRoom();
  // As wide as the column, or as its free height allows.
  const int inColumn = qMin(room.width(), (room.height() - kBand) * 16 / 9);
  if (m_large) {
    setGeometry(all);
  } else if (inColumn >= kLeastColumnWidth) {
    setGeometry(room.right() - inColumn + 1, room.bottom() - heightFor(inColumn) + 1, inColumn,
                heightFor(inColumn));
  } else {
    // A quarter of the board across, at the bottom right, away from the run's
    // title and its first tiles.
    const int w = qMax(kLeastWidth, all.width() / 4);
    setGeometry(all.right() - w - 8, all.bottom() - heightFor(w) - 8, w, heightFor(w));
  }
  // The buttons from the top right leftwards, on a second line when a narrow
  // preview has no room for them on one.
  int right = width() - 4;
  int top = 4;
  const framework::TouchSupport* touch = framework::TouchSupport::instance();
  for (QToolButton* b : {m_size, m_paste, m_open}) {
    // Finger-sized on a board, as every other target.
    b->setMinimumHeight(touch && touch->touchBoard() ? touch->targetPixels() : 0);
    b->adjustSize();
    if (right - b->width() < 4 && right < width() - 4) {
      right = width() - 4;
      top += b->height() + 4;
    }
    right -= b->width();
    b->move(right, top);
    right -= 4;
  }
}

QRect CardPreview::columnRoom() const {
  const QWidget* column = m_column;
  if (!column || !column->isVisible() || column->height() <= column->width()) return {};
  int top = column->height();
  for (const QAbstractButton* b :
       column->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
    if (b->isVisible()) top = qMin(top, b->y());
  return QRect(column->mapTo(parentWidget(), QPoint(0, 0)), QSize(column->width(), top - 8))
      .adjusted(4, 4, -4, 0);
}

bool CardPreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) place();
  // The column's commands change with the page: placed again once laid out.
  if (watched == m_column && (event->type() == QEvent::LayoutRequest ||
                              event->type() == QEvent::Move || event->type() == QEvent::Resize))
    QTimer::singleShot(0, this, &CardPreview::place);
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
    font.setBold(true);
    p.setRenderHint(QPainter::Antialiasing);
    for (const Outline& o : std::as_const(m_outlines)) {
      QPolygonF shown;
      for (const QPointF& c : o.corners) shown << target.topLeft() + c * scale;
      p.setPen(QPen(QColor(0, 220, 0), m_large ? 4 : 2));
      p.setBrush(Qt::NoBrush);
      p.drawPolygon(shown);
      // The name under the card, on a dark strip of its own width, as large as
      // the card allows: the far rows' small cards stand close together. It
      // stays inside the picture.
      const QRectF box = shown.boundingRect();
      const int most = m_large ? band / 2 : qMax(9, band * 2 / 5);
      font.setPixelSize(qBound(9, int(box.height() * 0.3), most));
      p.setFont(font);
      const QFontMetrics metrics = p.fontMetrics();
      QRectF label(box.left(), box.bottom() + 2, metrics.horizontalAdvance(o.name) + 6,
                   metrics.height());
      label.moveRight(qMin(label.right(), qreal(target.right())));
      label.moveLeft(qMax(label.left(), qreal(target.left())));
      label.moveBottom(qMin(label.bottom(), qreal(target.bottom())));
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
