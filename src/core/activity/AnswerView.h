#pragma once

#include <QList>
#include <QString>

namespace activity {

// What one student's own device may see of the activity running: the question,
// whether answers are taken, their own letter and the keys they may press. Never
// the key of the question and never anyone else's answer.
struct AnswerState {
  int question = 0;   // 1-based; 0 while no question is asked
  bool open = false;  // answers are taken now
  QString answer;     // the student's own letter ("X" for blank), empty for none
  QString keys;       // the letters the activity takes: "ABCDE", "ABC", "AB"

  bool operator==(const AnswerState&) const = default;
};

// One button of the teacher's page: a command the activity would carry out now,
// and the teacher-remote key that presses it.
struct TeacherCommand {
  QString name;     // what the page sends: "ileri", "geri", "durdur", "cevap", ...
  QString caption;  // the button's text, as on the board without the key letter
  QString key;      // "A".."E", "X" (BOŞ), or a key only the page has ("G")

  bool operator==(const TeacherCommand&) const = default;
};

// What the teacher's own device shows: where the activity stands and exactly the
// commands available at this moment. Its presses are teacher-remote presses of
// `address` and go the way every press goes (activity::PressPipeline).
struct TeacherState {
  QString address;  // empty: the activity takes no commands from the teacher's page
  QString title;    // "Soru 3/10"
  QString info;     // "Cevap veren: 12 / 40"
  QList<TeacherCommand> commands;

  bool operator==(const TeacherState&) const = default;
  const TeacherCommand* find(const QString& name) const {
    for (const TeacherCommand& c : commands)
      if (c.name == name) return &c;
    return nullptr;
  }
};

// The teacher's page presses as this remote when an activity takes its commands
// (the activity counts it among its teacher remotes): its first number lies
// beyond any radio address, and it is not a student's browser address (900-).
inline const QString kTeacherPageAddress = QStringLiteral("901-0");

// An activity that lets students answer from their own devices tells them its
// state through this; a change is announced by the owner (the activity's
// changed signal) so the devices are told at once.
class AnswerView {
 public:
  virtual ~AnswerView() = default;
  virtual AnswerState answerState(const QString& address) const = 0;
  // What the teacher's page offers; an activity without commands offers none.
  virtual TeacherState teacherState() const { return {}; }
};

}  // namespace activity
