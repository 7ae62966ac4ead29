#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

#include "activity/AnswerView.h"
#include "framework/ScreenContext.h"
#include "web/AnswerServer.h"

class JoinPanel;
class QCheckBox;
class QLabel;

namespace activity {
class PressPipeline;
}

namespace framework {

// Answering from the students' own browsers in an activity, the same for every
// screen that starts one (a test run, free questions and the homework check, a
// lesson, the game): the set-up's "Tarayıcıdan cevaplansın" check box, the web
// server while the activity's windows are open, the join panel on them, and
// "Cihazı Serbest Bırak" on their tiles.
//
//   row = BrowserAnswers::setupRow(context, QStringLiteral("frmDersUygula"), this);
//   ...when the activity opens:
//   if (BrowserAnswers::wanted(context, screen))
//     if (auto* b = BrowserAnswers::open(context, pipeline, roster, screen)) {
//       b->follow(session, &session, &RunSession::changed);
//       b->showOn(window, [&session] { return session.page() == Page::Start; });
//     }
//
// The server stops when the last window shown on closes, whichever way it closes.
class BrowserAnswers : public QObject {
  Q_OBJECT
 public:
  ~BrowserAnswers() override;

  // The set-up screen's check box with, beside it, where the class joins and the
  // teacher's code while an activity of this screen runs: the teacher's screen,
  // never the projected board, is where the teacher's code shows.
  static QWidget* setupRow(const ScreenContext& context, const QString& screen, QWidget* parent);
  // The check box alone, remembered for `screen`: for a screen on the board,
  // which must not show the teacher's code.
  static QCheckBox* checkBox(const ScreenContext& context, const QString& screen, QWidget* parent);
  // The board's settings of the web server (port, network interface), saved as
  // they are changed: for the screen where the program's settings live.
  static QWidget* settingsBox(QWidget* parent);
  // The check box of `screen` as last ticked.
  static bool wanted(const ScreenContext& context, const QString& screen);

  // Listens for an activity that `roster` may join; null after a Turkish message
  // when it cannot (the activity goes on with the remotes).
  static BrowserAnswers* open(const ScreenContext& context, activity::PressPipeline& pipeline,
                              QList<web::RosterEntry> roster, const QString& screen);
  // The one running for `screen`'s activity, or null.
  static BrowserAnswers* running(const QString& screen);

  // The devices see `view`, told of each change by `signal` of `sender` (the
  // game moves from the roll call to the race without the class joining again).
  template <typename Sender, typename Signal>
  void follow(const activity::AnswerView& view, const Sender* sender, Signal signal) {
    m_view.target = &view;
    disconnect(m_followed);
    m_followed = connect(sender, signal, this, &BrowserAnswers::activityChanged);
    activityChanged();
  }
  // Keeps the server while `window` is open and shows the join panel on it,
  // large while `large` says so (the start page), in a corner else.
  void showOn(QWidget* window, std::function<bool()> large = {});

  // The activity is over (its summary may still be on the screen): nobody joins
  // or answers from now on.
  void stop();

  web::AnswerServer& server() { return *m_server; }
  const QString& screen() const { return m_screen; }
  // "http://10.1.2.3:8180", without the path.
  QString shortAddress() const;
  // For the teacher: address, code and the teacher's code.
  QString teacherText() const;
  QList<JoinPanel*> panels() const;

  // What a student's tile menu offers: frees the device of the student answering
  // under `address` (false when no device of theirs joined).
  bool releaseDevice(const QString& address);

 signals:
  void started(BrowserAnswers* answers);

 private:
  struct ForwardedView : activity::AnswerView {
    const activity::AnswerView* target = nullptr;
    activity::AnswerState answerState(const QString& address) const override {
      return target ? target->answerState(address) : activity::AnswerState{};
    }
  };
  struct Shown {
    QPointer<QWidget> window;
    QPointer<JoinPanel> panel;
    std::function<bool()> large;
  };

  BrowserAnswers(activity::PressPipeline& pipeline, QList<web::RosterEntry> roster, QString screen);
  void activityChanged();
  void windowGone(QObject* gone);
  void tileMenu(const QString& address, const QPoint& globalPos);

  ForwardedView m_view;
  QList<web::RosterEntry> m_roster;
  QString m_screen;
  std::unique_ptr<web::AnswerServer> m_server;
  QMetaObject::Connection m_followed;
  QList<Shown> m_shown;
};

// Says when an activity of a screen starts taking browser answers, so that its
// set-up row shows it.
class BrowserAnswersNotifier : public QObject {
  Q_OBJECT
 public:
  static BrowserAnswersNotifier& instance();
 signals:
  void opened(BrowserAnswers* answers);
};

}  // namespace framework
