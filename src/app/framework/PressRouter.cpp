#include "framework/PressRouter.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace framework {

PressRouter::PressRouter(QMdiArea* mdi) : m_mdi(mdi) {}

void PressRouter::attach(QWidget* window, activity::PressConsumer* consumer) {
  if (!window || !consumer) return;
  detach(window);
  m_attached.append({window, consumer});
}

void PressRouter::detach(QWidget* window) {
  m_attached.removeIf([window](const Attachment& a) { return !a.window || a.window == window; });
}

void PressRouter::setActiveWindowProvider(std::function<QWidget*()> provider) {
  m_provider = std::move(provider);
}

QWidget* PressRouter::activeWindow() const {
  QWidget* real = systemActiveWindow();
  if (m_focused) {
    if (real == m_focusedFrom) return m_focused;
    m_focused = nullptr;
  }
  return owner(real);
}

QWidget* PressRouter::systemActiveWindow() const {
  if (m_provider) return m_provider();
  // A window of its own that has the focus (a full-screen presentation, or a
  // window over one); the main window stands for its active screen.
  QWidget* top = QApplication::activeWindow();
  if (top && (!m_mdi || top != m_mdi->window())) return top;
  return activeScreen();
}

QWidget* PressRouter::activeScreen() const {
  if (!m_mdi) return nullptr;
  QMdiSubWindow* sub = m_mdi->activeSubWindow();
  if (!sub) sub = m_mdi->currentSubWindow();
  return sub ? sub->widget() : nullptr;
}

QWidget* PressRouter::owner(QWidget* window) const {
  // Every window an activity opens (its control bar, the clipping surface, the
  // virtual remote, a question it asks) has the activity's window among its
  // parents and takes presses for it. A window of the main window (the
  // diagnostics, a message) stands for the screen active in it.
  for (QWidget* w = window; w; w = w->parentWidget()) {
    if (attachedTo(w)) return w;
    if (m_mdi && w == m_mdi->window()) return window->isWindow() ? activeScreen() : window;
  }
  // Of no activity: a screen of its own takes them (and has none to give them
  // to); a helper window (a file dialog) stands for the active screen behind it.
  if (!window || window->objectName().startsWith(QLatin1String("frm"))) return window;
  return activeScreen();
}

activity::PressConsumer* PressRouter::attachedTo(const QWidget* window) const {
  for (const Attachment& a : m_attached)
    if (a.window && a.window == window) return a.consumer;
  return nullptr;
}

QString PressRouter::activeName() const {
  QWidget* w = activeWindow();
  return w ? w->objectName() : QString();
}

void PressRouter::focusWindow(QWidget* window) {
  if (!window) return;
  m_focusedFrom = systemActiveWindow();
  m_focused = window;
  if (m_mdi) {
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList();
    for (QMdiSubWindow* sub : subs) {
      if (sub->widget() == window) {
        m_mdi->setActiveSubWindow(sub);
        window->window()->activateWindow();
        return;
      }
    }
  }
  window->raise();
  window->activateWindow();
}

activity::PressConsumer* PressRouter::activeConsumer() const {
  QWidget* active = activeWindow();
  return active ? attachedTo(active) : nullptr;
}

}  // namespace framework
