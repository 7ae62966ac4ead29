#pragma once

#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>

#include "activity/PressConsumer.h"
#include "receiver/PressGate.h"

class QMdiArea;
class QWidget;

namespace shell {

// Hands each admitted press to the activity of the window the teacher is looking
// at, and does nothing else: what a press means is the activity's business
// (activity::PressConsumer). A screen that listens to the remotes attaches its
// consumer to its window when it is made, usually in its area's registration:
//
//   router.attach(screen, &screen->registration());
//
// The active window is the top-level screen that has the focus (a full-screen
// presentation) or else the active screen inside the main window; helper windows
// over an activity (an exit confirmation, the clipping tools) attach the same
// consumer. A press for a window without a consumer is dropped.
class PressRouter {
 public:
  explicit PressRouter(QMdiArea* mdi = nullptr);

  // The consumer takes the presses while `window` is active; the attachment ends
  // with the window (or with detach()). A window has at most one consumer.
  void attach(QWidget* window, activity::PressConsumer* consumer);
  void detach(QWidget* window);

  // The window that has the focus in the main window. Replaceable for tests.
  QWidget* activeWindow() const;
  QString activeName() const;
  void setActiveWindowProvider(std::function<QWidget*()> provider);
  // Makes `window` the active one (for the routing at once, for the user as soon as
  // the window system follows): the virtual remote presses for the screen that
  // opened it.
  void focusWindow(QWidget* window);

  // The consumer of the active window, or null.
  activity::PressConsumer* activeConsumer() const;
  // Its teacher remotes (empty without a consumer).
  QSet<QString> teacherCollection() const;

  // Gives the press to the active consumer; false when there is none.
  bool dispatch(const receiver::AdmittedPress& press);

 private:
  QWidget* systemActiveWindow() const;

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

}  // namespace shell
