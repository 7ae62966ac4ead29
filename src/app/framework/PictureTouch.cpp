#include "framework/PictureTouch.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineF>
#include <QPushButton>
#include <QStyleHints>
#include <QTouchEvent>
#include <QWidget>

#include <algorithm>

#include "framework/TouchSupport.h"

namespace framework {

namespace {

// How far a finger may slip and still be tapping.
double tapSlack() { return std::max(12, QGuiApplication::styleHints()->startDragDistance()); }

}  // namespace

PictureTouch::PictureTouch(QWidget* picture, std::function<QRectF()> fitted)
    : QObject(picture), m_picture(picture), m_fitted(std::move(fitted)) {
  picture->setAttribute(Qt::WA_AcceptTouchEvents);
  picture->installEventFilter(this);
  m_fit = new QPushButton(QStringLiteral("Sığdır"), picture);
  m_fit->setObjectName(QStringLiteral("cmdSigdir"));
  m_fit->setToolTip(QStringLiteral("Resmi yeniden sığdırır"));
  m_fit->setFocusPolicy(Qt::NoFocus);
  const TouchSupport* touch = TouchSupport::instance();
  const int side = touch ? touch->targetPixels() : 44;
  m_fit->setMinimumSize(side * 2, side);
  // Read from the back of the room as the presentation's commands are.
  QFont font = m_fit->font();
  font.setPixelSize(std::max(16, side * 2 / 5));
  font.setBold(true);
  m_fit->setFont(font);
  m_fit->adjustSize();
  m_fit->hide();
  connect(m_fit, &QPushButton::clicked, this, &PictureTouch::fit);
}

void PictureTouch::fit() {
  m_zoom.reset();
  showFitButton();
  emit changed();
}

void PictureTouch::relayout() {
  m_zoom.setArea(m_picture->size(), m_fitted());
  fit();
}

void PictureTouch::showFitButton() {
  m_fit->move(m_picture->width() - m_fit->width() - 12, 12);
  m_fit->setVisible(m_zoom.zoomed());
  m_fit->raise();
}

bool PictureTouch::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_picture) return false;
  switch (event->type()) {
    case QEvent::Resize:
      relayout();
      return false;
    case QEvent::TouchBegin: {
      auto* touch = static_cast<QTouchEvent*>(event);
      // A finger on "Sığdır" presses the button (as the mouse Qt makes of it).
      if (m_fit->isVisible() && !touch->points().isEmpty() &&
          m_fit->geometry().contains(touch->points().first().position().toPoint())) {
        event->ignore();
        return true;
      }
      [[fallthrough]];
    }
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
      touched(static_cast<QTouchEvent*>(event));
      event->accept();
      return true;
    default:
      return false;
  }
}

void PictureTouch::touched(QTouchEvent* event) {
  if (event->type() == QEvent::TouchCancel) {
    if (m_mode == Mode::Own && m_finger.cancel) m_finger.cancel();
    m_mode = Mode::None;
    return;
  }
  QList<const QEventPoint*> down;
  for (const QEventPoint& p : event->points())
    if (p.state() != QEventPoint::Released) down << &p;

  if (down.size() >= 2) {
    const QEventPoint* a = down.at(0);
    const QEventPoint* b = down.at(1);
    if (m_mode != Mode::Pinch || a->id() != m_pinchA || b->id() != m_pinchB) {
      // The line begun by the first finger was the start of a pinch.
      if (m_mode == Mode::Own && m_finger.cancel) m_finger.cancel();
      m_mode = Mode::Pinch;
      m_pinchA = a->id();
      m_pinchB = b->id();
      m_zoom.setArea(m_picture->size(), m_fitted());
      m_zoom.pinchStart(a->position(), b->position());
      return;
    }
    m_zoom.pinchMove(a->position(), b->position());
    showFitButton();
    emit changed();
    return;
  }

  if (down.size() == 1) {
    const QPointF at = down.first()->position();
    switch (m_mode) {
      case Mode::None:
        m_start = m_last = at;
        m_mode = m_finger.down && m_finger.down(at) ? Mode::Own : Mode::Tap;
        return;
      case Mode::Own:
        if (m_finger.move) m_finger.move(at);
        return;
      case Mode::Tap:
        if (QLineF(at, m_start).length() <= tapSlack()) return;
        m_mode = Mode::Move;
        [[fallthrough]];
      case Mode::Move:
        m_zoom.moveBy(at - m_last);
        m_last = at;
        emit changed();
        return;
      case Mode::Pinch:
        // One finger lifted: the other goes on moving the picture from here.
        m_mode = Mode::Move;
        m_last = at;
        return;
    }
  }

  // Every finger is up (a device that leaves out the fingers that stand still
  // still ends the touch with TouchEnd).
  if (event->type() != QEvent::TouchEnd) return;
  const QPointF at = event->points().isEmpty() ? m_last : event->points().first().position();
  if (m_mode == Mode::Own && m_finger.up) {
    m_finger.up(at);
  } else if (m_mode == Mode::Tap) {
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    if (m_lastTap.isValid() && m_lastTap.elapsed() < interval &&
        QLineF(at, m_lastTapAt).length() < 4 * tapSlack()) {
      m_lastTap.invalidate();
      fit();
    } else {
      m_lastTap.start();
      m_lastTapAt = at;
    }
  }
  m_mode = Mode::None;
}

}  // namespace framework
