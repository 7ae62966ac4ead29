#pragma once

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

// An activity that lets students answer from their own devices tells them its
// state through this; a change is announced by the owner (the activity's
// changed signal) so the devices are told at once.
class AnswerView {
 public:
  virtual ~AnswerView() = default;
  virtual AnswerState answerState(const QString& address) const = 0;
};

}  // namespace activity
