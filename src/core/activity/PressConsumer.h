#pragma once

#include <QSet>
#include <QString>

#include "receiver/DugmeSinyali.h"

namespace activity {

// Whatever the teacher is running that listens to the remotes: the registration
// of new remotes, the attendance, the run of a test (delivery::RunSession). While
// it is active it is the target of the press pipeline (PressPipeline: the main
// window finds it through framework::PressRouter::attach(window, consumer)), and every
// press that passes the pipeline (repeats dropped, teacher told apart,
// three-button rule applied) reaches it, from whichever source: each one, in the
// order they came, none dropped and none merged.
//
// The consumer holds the truth of what the presses did (which remote answered
// what and when, RemoteTiles); its screen draws that state and turns clicks into
// the same calls. Teacher keys are decided here too: a consumer acts on a teacher
// key only when the command it stands for is available right now (the button the
// key presses is shown and enabled), so a remote can never do what the teacher on
// the screen could not.
//
//   class Attendance : public activity::PressConsumer {
//     QSet<QString> teacherRemotes() const override { return m_teachers; }
//     void press(const receiver::AdmittedPress& p) override {
//       if (p.teacher) return command(p.press.Dugme);
//       m_tiles.mark(p.press, m_clock->timeOfDay());
//       emit changed();
//     }
//   };
class PressConsumer {
 public:
  virtual ~PressConsumer() = default;

  // The teacher remotes of this activity: their presses come with teacher = true
  // and keep their E under the three-button rule. Empty when it takes none.
  virtual QSet<QString> teacherRemotes() const { return {}; }

  // One admitted press.
  virtual void press(const receiver::AdmittedPress& press) = 0;
};

}  // namespace activity
