#pragma once

#include <QList>
#include <QString>

#include "Result.h"
#include "reports/Penalty.h"

namespace store {
class Store;
}

namespace reports {

// A test run everywhere: the date it was opened (TESTTARIHI, "dd.MM.yyyy") and the
// time its first question was shown (TESTBASLANGIC, "HH:mm:ss").
struct RunKey {
  QString date;
  QString start;

  bool isEmpty() const { return date.isEmpty() && start.isEmpty(); }
  bool operator==(const RunKey&) const = default;
};

// How one answer counts against its key. A question without a key (not given
// yet, or left empty on purpose) is out of the scoring: none of its answers is
// right, wrong or blank, and it is not one of the questions counted. Otherwise
// "X" (the blank key) and no answer are blank whatever the key says.
enum class Outcome { Correct, Wrong, Blank, Unscored };
Outcome outcome(const QString& answer, const QString& key);
inline bool isScored(const QString& key) { return !key.trimmed().isEmpty(); }

// A net as TABLESONUC keeps it: whole numbers without decimals, others rounded to
// two places ("6", "4.67", "-0.25").
QString netText(double net);
// 100 × count / total with two decimals ("0.00" for an empty group).
QString percent(double count, int total);

// Answer times. CEVAPSURESI is "N:Ss" (minutes without a leading zero, two-digit
// seconds); sums are written "Nn:Ss". Minutes never wrap into hours, so a long run
// still orders by its time. Unreadable text counts as 0 seconds.
int answerSeconds(const QString& text);
QString answerTimeText(int seconds);
QString totalTimeText(int seconds);

// One stored answer row as the scorer counts it.
struct StoredAnswer {
  QString address;  // KUMANDAADRESI
  QString kayitNo;
  QString answer;   // CEVAP
  QString key;      // DOGRUSIK, as copied onto the answer
  QString time;     // CEVAPSURESI
  QString penalty;  // YANLISDOGRUGOTURU
};

// The one scorer: rebuilds a run's results from what is stored. The question rows
// (TABLEUYGULAMA.DOGRUSIK) hold the key; their keys are copied onto the answers,
// questions without a key are left out of every count (SORUSAYI too), every remote of the run gets
// one TABLESONUC row (grouped by remote, never by student: unpaired remotes all have an empty
// KAYITNO) and a distinct rank, by net and then by the shorter total time, in TABLESONUC and on its
// answers.
//
//   reports::Scoring scoring(store);
//   if (Status s = scoring.rescoreRun({date, start}); !s) messages.error(s.error());
//
// One transaction; runs inside the caller's when there is one.
//
// While a run goes on, a question is scored on its own: its earlier answers are read
// before they are replaced, and the stored results change by what the question changes
// (its answers' counts, every remote's rank), in time that does not grow with the run.
// The ranks copied onto the answers are then written on that question's answers only;
// the earlier answers get theirs at the next whole rescore (the end of the run).
//
//   const Result<QList<StoredAnswer>> before = scoring.questionAnswers(run, 3);
//   ... the answers of question 3 replaced ...
//   if (Status s = scoring.scoreQuestion(run, 3, before.value()); !s) ...
class Scoring {
 public:
  explicit Scoring(store::Store& store) : m_store(store) {}

  Status rescoreRun(const RunKey& run);
  // The stored answers of the question at `position` (from 1), in stored order.
  Result<QList<StoredAnswer>> questionAnswers(const RunKey& run, int position) const;
  // The question at `position` was stored again, replacing `replaced`: its key goes
  // onto its answers and the run's results are carried forward from the stored ones.
  // The stored results must be those of a whole rescore as far as `replaced`; where
  // they cannot be carried forward (a remote missing from the question, another
  // student on a remote), the run is rescored whole instead.
  Status scoreQuestion(const RunKey& run, int position, const QList<StoredAnswer>& replaced);
  // Scores every run that has answers but no result rows (data from before the
  // results existed, or a run cut off before its first refresh).
  Status scoreRunsWithoutResults();

 private:
  store::Store& m_store;
};

}  // namespace reports
