#include "shell/PressRouter.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>

Q_LOGGING_CATEGORY(lcPress, "derslik.press", QtInfoMsg)

namespace shell {

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
  return real;
}

QWidget* PressRouter::systemActiveWindow() const {
  if (m_provider) return m_provider();
  // A top-level screen (a full-screen presentation, a confirmation) that has the
  // focus wins. Tool windows such as the virtual remote, message boxes and the
  // diagnostics never take presses: behind them the active child screen does.
  QWidget* top = QApplication::activeWindow();
  if (top && (!m_mdi || top != m_mdi->window()) &&
      top->objectName().startsWith(QLatin1String("frm"))) {
    const Qt::WindowType type = top->windowType();
    if (type == Qt::Window || type == Qt::Dialog) return top;
  }
  if (!m_mdi) return nullptr;
  QMdiSubWindow* sub = m_mdi->activeSubWindow();
  if (!sub) sub = m_mdi->currentSubWindow();
  return sub ? sub->widget() : nullptr;
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
  if (!active) return nullptr;
  for (const Attachment& a : m_attached)
    if (a.window == active) return a.consumer;
  return nullptr;
}

QSet<QString> PressRouter::teacherCollection() const {
  activity::PressConsumer* consumer = activeConsumer();
  return consumer ? consumer->teacherRemotes() : QSet<QString>();
}

bool PressRouter::dispatch(const receiver::AdmittedPress& press) {
  qCDebug(lcPress).noquote()
      << QStringLiteral("Düğme Basıldı - %1-%2").arg(press.press.KumandaAdresi, press.press.Dugme);
  activity::PressConsumer* consumer = activeConsumer();
  if (!consumer) return false;
  consumer->press(press);
  return true;
}

}  // namespace shell
