#include "framework/frmKirpma.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "Messages.h"
#include "authoring/Question.h"
#include "framework/TouchSupport.h"

namespace {
// A smaller rectangle is a slip of the mouse, not a question.
constexpr int kSmallest = 12;
}  // namespace

frmKirpma::frmKirpma(const QImage& capture, Mode mode, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_capture(capture) {
  setObjectName(QStringLiteral("frmKirpma"));
  setWindowTitle(QStringLiteral("Soruyu Kırp"));
  // Framing is a drag; a finger that pauses on a corner is still framing.
  framework::TouchSupport::excludeFromHold(this);
  setAttribute(Qt::WA_DeleteOnClose);
  setCursor(Qt::CrossCursor);
  setFocusPolicy(Qt::StrongFocus);

  m_choices = new QFrame(this);
  m_choices->setObjectName(QStringLiteral("frameDogruSik"));
  m_choices->setFrameShape(QFrame::StyledPanel);
  m_choices->setAutoFillBackground(true);
  auto* h = new QHBoxLayout(m_choices);
  auto pick = [this](QPushButton* b, const QString& letter) {
    connect(b, &QPushButton::clicked, this, [this, letter] {
      const QImage picked = clip();
      emit chosen(picked, letter);
      close();
    });
  };
  if (mode == Mode::Keep) {
    auto* keep = new QPushButton(QStringLiteral("Kaydet"), m_choices);
    keep->setObjectName(QStringLiteral("cmdKaydet"));
    keep->setMinimumHeight(44);
    h->addWidget(keep);
    pick(keep, QString());
  } else {
    h->addWidget(new QLabel(QStringLiteral("Doğru şık:"), m_choices));
    for (const QString& letter : authoring::texts::kChoices) {
      auto* b = new QPushButton(letter, m_choices);
      b->setObjectName(QStringLiteral("cmdSik") + letter);
      b->setMinimumSize(48, 44);
      h->addWidget(b);
      pick(b, letter);
    }
  }
  auto* cancel = new QPushButton(QStringLiteral("Vazgeç"), m_choices);
  cancel->setObjectName(QStringLiteral("cmdVazgec"));
  cancel->setMinimumHeight(44);
  h->addWidget(cancel);
  connect(cancel, &QPushButton::clicked, this, [this] {
    emit cancelled();
    close();
  });
  m_choices->adjustSize();
  m_choices->hide();
}

frmKirpma* frmKirpma::overScreen(QWidget* owner, Messages& messages, Mode mode,
                                 const std::function<QImage()>& grabber) {
  QScreen* screen = QGuiApplication::primaryScreen();
  const QImage image = grabber ? grabber() : (screen ? screen->grabWindow(0).toImage() : QImage());
  if (image.isNull()) {
    messages.warning(QStringLiteral("Ekranın görüntüsü alınamadı."));
    return nullptr;
  }
  auto* surface = new frmKirpma(image, mode, owner);
  surface->showOver(screen ? screen->geometry() : QRect(QPoint(), image.size()));
  return surface;
}

void frmKirpma::showOver(const QRect& screenGeometry) {
  // A bare X server without a window manager keeps a full-screen window small
  // unless it already has the screen's geometry.
  setGeometry(screenGeometry);
  showFullScreen();
  activateWindow();
  setFocus();
}

QRect frmKirpma::shownSelection() const {
  // From the press point to the release point, the release point itself excluded.
  return QRect(m_from, QSize(m_to.x() - m_from.x(), m_to.y() - m_from.y())).normalized();
}

QRect frmKirpma::selection() const {
  const QRect shown = shownSelection();
  if (shown.width() < kSmallest || shown.height() < kSmallest || width() <= 0 || height() <= 0)
    return {};
  // The capture may have more pixels than the widget (a scaled desktop).
  const double sx = double(m_capture.width()) / width();
  const double sy = double(m_capture.height()) / height();
  const QRect r(qRound(shown.x() * sx), qRound(shown.y() * sy), qRound(shown.width() * sx),
                qRound(shown.height() * sy));
  return r.intersected(m_capture.rect());
}

void frmKirpma::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(rect(), m_capture);
  // Everything outside the rectangle is dimmed, so the chosen part stands out.
  const QRect sel = shownSelection();
  QRegion dim(rect());
  if (!sel.isEmpty()) dim -= QRegion(sel);
  p.setClipRegion(dim);
  p.fillRect(rect(), QColor(0, 0, 0, 110));
  p.setClipping(false);
  if (!sel.isEmpty()) {
    p.setPen(QPen(QColor(0xff, 0x80, 0x00), 2));
    p.drawRect(sel.adjusted(0, 0, -1, -1));
  }
  if (sel.isEmpty() && !m_dragging) {
    p.setPen(Qt::white);
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    p.setFont(f);
    p.drawText(rect().adjusted(0, 40, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Soruyu fareyle çerçeve içine alın (vazgeçmek için Esc)"));
  }
}

void frmKirpma::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  m_choices->hide();
  m_from = m_to = event->position().toPoint();
  m_dragging = true;
  update();
}

void frmKirpma::mouseMoveEvent(QMouseEvent* event) {
  if (!m_dragging) return;
  m_to = event->position().toPoint();
  update();
}

void frmKirpma::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_dragging || event->button() != Qt::LeftButton) return;
  m_dragging = false;
  m_to = event->position().toPoint();
  update();
  if (selection().isEmpty()) return;
  // The choice panel below the rectangle, or above it when there is no room.
  const QRect sel = shownSelection();
  QPoint at(sel.left(), sel.bottom() + 8);
  if (at.y() + m_choices->height() > height()) at.setY(sel.top() - m_choices->height() - 8);
  at.setX(std::clamp(at.x(), 0, std::max(0, width() - m_choices->width())));
  at.setY(std::max(0, at.y()));
  m_choices->move(at);
  m_choices->show();
  m_choices->raise();
}

void frmKirpma::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    emit cancelled();
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}
