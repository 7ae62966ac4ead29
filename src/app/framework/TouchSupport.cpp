#include "framework/TouchSupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QInputDevice>
#include <QLineEdit>
#include <QMdiArea>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScroller>
#include <QStyleFactory>
#include <QStyleHints>
#include <QTouchEvent>

#include <algorithm>

#include "board/BoardSettings.h"

namespace framework {

namespace {

TouchSupport* g_instance = nullptr;

const char* const kNoHold = "derslikBasiliTutmaYok";
const char* const kOwnMinimum = "derslikEskiEnKucuk";
const char* const kOwnSection = "derslikEskiSatir";

// How far a finger may wander and still be holding rather than dragging.
int holdSlack() { return std::max(12, QGuiApplication::styleHints()->startDragDistance()); }

// The ring that fills under a held finger: a menu is coming.
class HoldCue : public QWidget {
 public:
  HoldCue(QWidget* window, const QElapsedTimer& clock) : QWidget(window), m_clock(clock) {
    setObjectName(QStringLiteral("basiliTutmaIsareti"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(88, 88);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double done =
        std::clamp(double(m_clock.elapsed()) / TouchSupport::kHoldMilliseconds, 0.0, 1.0);
    const QRectF ring = QRectF(rect()).adjusted(8, 8, -8, -8);
    p.setPen(QPen(QColor(0x34, 0x65, 0xa4, 70), 8));
    p.drawEllipse(ring);
    p.setPen(QPen(QColor(0x34, 0x65, 0xa4), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(ring, 90 * 16, -int(done * 360 * 16));
  }

 private:
  const QElapsedTimer& m_clock;
};

// The controls a finger aims at.
bool isTarget(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) ||
         (qobject_cast<const QLineEdit*>(w) &&
          !qobject_cast<const QAbstractSpinBox*>(w->parentWidget()) &&
          !qobject_cast<const QComboBox*>(w->parentWidget()));
}

}  // namespace

// ---------------------------------------------------------------------------------
// The style

TouchStyle::TouchStyle(const QString& baseStyle, int target, int gap)
    : QProxyStyle(QStyleFactory::create(baseStyle)), m_target(target), m_gap(gap) {}

QSize TouchStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                   const QWidget* widget) const {
  QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
  switch (type) {
    case CT_PushButton:
    case CT_ToolButton:
    case CT_ComboBox:
    case CT_LineEdit:
    case CT_SpinBox:
      return s.expandedTo(QSize(m_target, m_target));
    case CT_CheckBox:
    case CT_RadioButton:
    case CT_TabBarTab:
    case CT_HeaderSection:
    case CT_ItemViewItem:
    case CT_MenuItem:
    case CT_MenuBarItem:
      return QSize(s.width(), std::max(s.height(), m_target));
    default:
      return s;
  }
}

int TouchStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                            const QWidget* widget) const {
  switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
      return m_target * 3 / 5;
    case PM_ScrollBarExtent:
      return m_target * 3 / 5;
    case PM_LayoutHorizontalSpacing:
    case PM_LayoutVerticalSpacing:
      return std::max(m_gap, QProxyStyle::pixelMetric(metric, option, widget));
    case PM_HeaderDefaultSectionSizeVertical:
      return std::max(m_target, QProxyStyle::pixelMetric(metric, option, widget));
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
  }
}

int TouchStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* data) const {
  // One tap on a text field brings the screen keyboard (not a second tap).
  if (hint == SH_RequestSoftwareInputPanel) return RSIP_OnMouseClick;
  return QProxyStyle::styleHint(hint, option, widget, data);
}

// ---------------------------------------------------------------------------------
// Installing

TouchSupport::TouchSupport(QApplication& app)
    : QObject(&app), m_baseStyle(QApplication::style()->name()) {
  m_holdTimer.setSingleShot(true);
  m_holdTimer.setInterval(kHoldMilliseconds);
  connect(&m_holdTimer, &QTimer::timeout, this, &TouchSupport::fireHold);
  m_cueTimer.setInterval(30);
  connect(&m_cueTimer, &QTimer::timeout, this, [this] {
    if (!m_cue) return;
    // A release the window never saw (it went to a window that opened meanwhile)
    // still ends the hold.
    if (!m_touchDown && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
      cancelHold();
      return;
    }
    // A tap is over long before the ring would show: it appears only for a hold.
    if (m_holdClock.elapsed() > 120 && m_cue->isHidden()) {
      m_cue->show();
      m_cue->raise();
    }
    m_cue->update();
  });
}

TouchSupport* TouchSupport::install(QApplication& app) {
  if (g_instance) return g_instance;
  g_instance = new TouchSupport(app);
  const bool present = touchScreenPresent();
  const board::BoardSettings settings = board::BoardSettings::load(present);
  g_instance->m_target = targetPixelsFor(QGuiApplication::primaryScreen());
  g_instance->m_gap = board::targetGapPixels(g_instance->m_target);
  app.installEventFilter(g_instance);
  if (settings.touchBoard) g_instance->setTouchBoard(true);
  return g_instance;
}

TouchSupport* TouchSupport::instance() { return g_instance; }

int TouchSupport::targetPixelsFor(const QScreen* screen) {
  if (!screen) return board::kMinimumTargetPixels;
  // Qt gives the density in logical pixels; the rule takes the panel's own.
  const double ratio = screen->devicePixelRatio();
  return board::minimumTargetPixels(screen->physicalDotsPerInch() * ratio, ratio);
}

bool TouchSupport::touchScreenPresent() {
  const QList<const QInputDevice*> devices = QInputDevice::devices();
  return std::any_of(devices.begin(), devices.end(), [](const QInputDevice* d) {
    return d->type() == QInputDevice::DeviceType::TouchScreen;
  });
}

void TouchSupport::setTouchBoard(bool on, int target) {
  if (target > 0) {
    m_target = target;
    m_gap = board::targetGapPixels(target);
  }
  m_touchBoard = on;
  applyStyle();
  emit boardChanged(on);
  const QList<QWidget*> widgets = QApplication::allWidgets();
  for (QWidget* w : widgets) {
    if (on)
      enlarge(w);
    else
      restore(w);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) grabScrolling(area);
  }
}

void TouchSupport::applyStyle() {
  if (m_touchBoard)
    QApplication::setStyle(new TouchStyle(m_baseStyle, m_target, m_gap));
  else if (dynamic_cast<TouchStyle*>(QApplication::style()))
    QApplication::setStyle(QStyleFactory::create(m_baseStyle));
}

void TouchSupport::excludeFromHold(QWidget* widget, bool excluded) {
  widget->setProperty(kNoHold, excluded);
}

bool TouchSupport::holdExcluded(QWidget* widget) {
  for (QWidget* w = widget; w; w = w->parentWidget())
    if (const QVariant no = w->property(kNoHold); no.isValid()) return no.toBool();
  return false;
}

bool TouchSupport::holdCueShown() const { return m_cue && m_cue->isVisible(); }

// Screens that fixed their controls' sizes for a mouse (or gave them a style
// sheet of their own, which the style is not asked about) still get the least
// size; what they had is kept to give back when the setting goes off.
void TouchSupport::enlarge(QWidget* w) const {
  if (auto* header = qobject_cast<QHeaderView*>(w)) {
    if (header->orientation() == Qt::Vertical) {
      if (!header->property(kOwnSection).isValid())
        header->setProperty(kOwnSection, header->defaultSectionSize());
      header->setMinimumSectionSize(std::max(header->minimumSectionSize(), m_target));
      if (header->defaultSectionSize() < m_target) header->setDefaultSectionSize(m_target);
    }
    return;
  }
  if (!isTarget(w)) return;
  const QSize least(m_target, m_target);
  if (w->minimumSize().expandedTo(least) == w->minimumSize()) return;
  if (!w->property(kOwnMinimum).isValid()) w->setProperty(kOwnMinimum, w->minimumSize());
  w->setMinimumSize(w->minimumSize().expandedTo(least));
}

void TouchSupport::restore(QWidget* w) const {
  if (auto* header = qobject_cast<QHeaderView*>(w);
      header && header->property(kOwnSection).isValid()) {
    const int own = header->property(kOwnSection).toInt();
    header->setMinimumSectionSize(-1);
    header->setDefaultSectionSize(own);
    header->setProperty(kOwnSection, QVariant());
    return;
  }
  const QVariant own = w->property(kOwnMinimum);
  if (!own.isValid()) return;
  w->setMinimumSize(own.toSize());
  w->setProperty(kOwnMinimum, QVariant());
}

// Every list, grid and page follows a finger; with the setting on the mouse
// drags too (a board's pen often reports itself as a mouse). The window's own
// area of screens does not move.
void TouchSupport::grabScrolling(QAbstractScrollArea* area) const {
  if (qobject_cast<QMdiArea*>(area)) return;
  QWidget* viewport = area->viewport();
  if (!viewport) return;
  const QScroller::ScrollerGestureType wanted =
      m_touchBoard ? QScroller::LeftMouseButtonGesture : QScroller::TouchGesture;
  if (QScroller::hasScroller(viewport) && viewport->property("derslikKaydirma").toInt() == wanted)
    return;
  QScroller::ungrabGesture(viewport);
  QScroller::grabGesture(viewport, QScroller::TouchGesture);
  if (m_touchBoard) QScroller::grabGesture(viewport, QScroller::LeftMouseButtonGesture);
  viewport->setProperty("derslikKaydirma", int(wanted));
  QScrollerProperties props = QScroller::scroller(viewport)->scrollerProperties();
  // Grids end where their rows end: no rubber band past the last row.
  props.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy,
                        QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
  props.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                        QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
  QScroller::scroller(viewport)->setScrollerProperties(props);
  // A view that scrolls by pixels follows the finger smoothly rather than by rows.
  if (auto* view = qobject_cast<QAbstractItemView*>(area)) {
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  }
}

// ---------------------------------------------------------------------------------
// Events

bool TouchSupport::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Polish:
      if (watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (m_touchBoard) enlarge(w);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) grabScrolling(area);
      }
      break;
    case QEvent::Show:
      // A screen's own style sheet sets its least sizes while polishing, after
      // this filter saw the polish: the board's sizes go over it when shown.
      if (m_touchBoard && watched->isWidgetType()) enlarge(static_cast<QWidget*>(watched));
      break;
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel: {
      // Seen once, at the window, whichever control takes it.
      if (!watched->isWindowType()) break;
      auto* touch = static_cast<QTouchEvent*>(event);
      m_touchDown = event->type() == QEvent::TouchBegin || event->type() == QEvent::TouchUpdate;
      if (event->type() == QEvent::TouchBegin && touch->points().size() == 1)
        startHold(touch->points().first().globalPosition().toPoint());
      else if (event->type() == QEvent::TouchUpdate && touch->points().size() == 1)
        moveHold(touch->points().first().globalPosition().toPoint());
      else
        cancelHold();
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
      if (!watched->isWindowType()) break;
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (m_swallowMouse) {
        if (event->type() == QEvent::MouseButtonRelease) m_swallowMouse = false;
        return true;
      }
      // Touches were seen as touches; the mouse holds only on a board.
      if (mouse->source() != Qt::MouseEventNotSynthesized || !m_touchBoard) break;
      if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
        startHold(mouse->globalPosition().toPoint());
      else if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton))
        moveHold(mouse->globalPosition().toPoint());
      else
        cancelHold();
      break;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void TouchSupport::startHold(const QPoint& globalPos) {
  cancelHold();
  QWidget* window = QApplication::topLevelAt(globalPos);
  if (!window || holdExcluded(QApplication::widgetAt(globalPos))) return;
  m_holdWindow = window;
  m_holdPos = globalPos;
  m_holdClock.start();
  m_holdTimer.start();
  auto* cue = new HoldCue(window, m_holdClock);
  cue->move(window->mapFromGlobal(globalPos) - QPoint(cue->width() / 2, cue->height() / 2));
  cue->hide();
  m_cue = cue;
  m_cueTimer.start();
}

void TouchSupport::moveHold(const QPoint& globalPos) {
  if (!m_holdTimer.isActive()) return;
  if ((globalPos - m_holdPos).manhattanLength() > holdSlack()) cancelHold();
}

void TouchSupport::cancelHold() {
  m_holdTimer.stop();
  m_cueTimer.stop();
  if (m_cue) m_cue->deleteLater();
  m_cue = nullptr;
}

void TouchSupport::fireHold() {
  cancelHold();
  if (!m_holdWindow) return;
  QWidget* target = QApplication::widgetAt(m_holdPos);
  if (!target || target->window() != m_holdWindow->window() || holdExcluded(target)) return;
  QContextMenuEvent menu(QContextMenuEvent::Mouse, target->mapFromGlobal(m_holdPos), m_holdPos,
                         QApplication::keyboardModifiers());
  QCoreApplication::sendEvent(target, &menu);
  // A menu that stays open without holding the mouse leaves the button down:
  // its release belongs to the menu, never to a click on what lies under it.
  m_swallowMouse = menu.isAccepted() && (QApplication::mouseButtons() & Qt::LeftButton);
}

}  // namespace framework
