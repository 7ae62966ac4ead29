#pragma once

#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>

#include "activity/PressConsumer.h"

class QMdiArea;
class QWidget;

namespace framework {

// Tells the press pipeline which activity takes the presses: that of the window
// the teacher is looking at. What a press means is the activity's business
// (activity::PressConsumer). A screen that listens to the remotes attaches its
// consumer to its window when it is made, usually in its area's registration:
//
//   router.attach(screen, &screen->registration());
//
// The active window is the top-level window that has the focus (a full-screen
// presentation) or else the active screen inside the main window. Every window an
// activity opens is made with the activity's window as its parent (the control
// bar, the clipping surface, the virtual remote, a message): while it is active,
// the presses go to that activity. A window that belongs to no activity has none.
class PressRouter {
 public:
  explicit PressRouter(QMdiArea* mdi = nullptr);

  // The consumer takes the presses while `window` is active; the attachment ends
  // with the window (or with detach()). A window has at most one consumer.
  void attach(QWidget* window, activity::PressConsumer* consumer);
  void detach(QWidget* window);

  // The window whose activity takes the presses now: the active window, or the
  // activity's window it was opened from. Replaceable for tests.
  QWidget* activeWindow() const;
  QString activeName() const;
  void setActiveWindowProvider(std::function<QWidget*()> provider);
  // Makes `window` the active one (for the routing at once, for the user as soon as
  // the window system follows): the virtual remote presses for the screen that
  // opened it.
  void focusWindow(QWidget* window);

  // The consumer of the active window, or null: the press pipeline's target.
  activity::PressConsumer* activeConsumer() const;

 private:
  QWidget* systemActiveWindow() const;
  QWidget* activeScreen() const;
  // The attached window `window` belongs to (itself, or a parent of it).
  QWidget* owner(QWidget* window) const;
  activity::PressConsumer* attachedTo(const QWidget* window) const;

  struct Attachment {
    QPointer<QWidget> window;
    activity::PressConsumer* consumer = nullptr;
  };
  QMdiArea* m_mdi;
  std::function<QWidget*()> m_provider;
  QList<Attachment> m_attached;

  // Made active by the routing itself: it counts as active until the window
  // system has caught up or the user has gone to yet another window.
  mutable QPointer<QWidget> m_focused;
  mutable QPointer<QWidget> m_focusedFrom;
};

}  // namespace framework
