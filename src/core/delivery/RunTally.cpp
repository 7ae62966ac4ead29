#include "delivery/RunTally.h"

#include <QSet>

namespace delivery {

RunStatistics tallyRun(const reports::RunKey& run, const QList<TalliedAnswer>& answers) {
  RunStatistics s;
  QSet<QString> remotes;
  QSet<QString> questions;
  QString end;
  for (const TalliedAnswer& a : answers) {
    remotes.insert(a.address);
    questions.insert(a.position);
    end = a.end;
    // Answers to a question without a key are neither right nor wrong: they are
    // left out of the shares, as on the report.
    switch (reports::outcome(a.letter, a.key)) {
      case reports::Outcome::Unscored:
        continue;
      case reports::Outcome::Correct:
        ++s.correct;
        break;
      case reports::Outcome::Wrong:
        ++s.wrong;
        break;
      case reports::Outcome::Blank:
        ++s.blank;
        break;
    }
    ++s.answers;
  }
  s.students = int(remotes.size());
  s.questions = int(questions.size());
  s.correctPercent = reports::percent(s.correct, s.answers);
  s.wrongPercent = reports::percent(s.wrong, s.answers);
  s.blankPercent = reports::percent(s.blank, s.answers);
  s.label = QStringLiteral("%1 (%2-%3)").arg(run.date, run.start, end);
  return s;
}

}  // namespace delivery
