#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>

#include "Result.h"
#include "delivery/RunPlan.h"
#include "reports/Scoring.h"

namespace store {
class Store;
}

namespace delivery {

// One tile's answer to the question being left.
struct TileAnswer {
  QString address;
  QString letter;   // "A".."E", "X" for the blank key, empty when the remote said nothing
  int seconds = 0;  // from showing the question to the press (or to leaving it)
  bool operator==(const TileAnswer&) const = default;
};

// The run as the recording writes it: its key, its end once it has one, its
// description and the remotes taking part.
struct RunRecord {
  reports::RunKey key;
  QString end;  // TESTBITIS: empty while the run goes on
  RunDescription description;
  reports::Penalty penalty = reports::Penalty::None;  // YANLISDOGRUGOTURU
  bool majorityIsCorrect = false;
  QStringList addresses;   // the student remotes of the run
  QString virtualKayitNo;  // "name|surname" recorded for a run with only "0-0"
  // The students left out at the remote check: their remote and their name as the
  // tiles showed it. Stored with the run's first question (TABLEDISARIDAKALAN).
  QList<QPair<QString, QString>> leftOut;
};

// The final statistics page: the run's answers counted by outcome.
struct RunStatistics {
  int answers = 0;
  int correct = 0;
  int wrong = 0;
  int blank = 0;
  QString correctPercent = QStringLiteral("0.00");
  QString wrongPercent = QStringLiteral("0.00");
  QString blankPercent = QStringLiteral("0.00");
  int students = 0;   // remotes that took part
  int questions = 0;  // questions stored (by their place in the run)
  QString label;      // "14.03.2026 (10:15:00-10:40:00)": the chart's group
};

// What a run writes: the answers of each question when it is left, the question
// row with its key, and the results rebuilt from them (reports::Scoring). Every
// row of a run carries the run's date, also after midnight. Leaving a question
// is one transaction: after a crash or a power cut the database holds every
// question left before, whole, and never a half-scored run.
class Recording {
 public:
  // For the crash tests: told the name of each step inside the transaction.
  struct Hooks {
    std::function<void(const QString& step)> stepReached;
  };

  explicit Recording(store::Store& store) : m_store(store) {}
  void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

  // Leaving the question at `position` (from 1): its answers replace what an earlier
  // visit stored, its question row is added with the bank's key, and the results
  // are refreshed; with run.end set this is also the end of the run. The first
  // question a recording leaves and the end rebuild the results whole; the others
  // refresh and score their own rows only, so a long run does not slow down.
  Status CevaplariVeritabaninaYaz(const RunRecord& run, int position, const QString& soruNo,
                                  const QList<TileAnswer>& answers);
  // Refreshes the run's results (students, description, majority key of
  // `position` when asked for, scores and ranks) in one transaction.
  Status RaporIcinHazirla(const RunRecord& run, int position = 0);

  // The stored answers of a question, to show them again when it is revisited.
  Result<QList<TileAnswer>> CevaplariAl(const reports::RunKey& run, int position) const;
  // Positions of the questions that have been left (have a question row).
  Result<QList<int>> storedPositions(const reports::RunKey& run) const;
  // `wanted`, or the next second that no stored run of `date` starts at.
  Result<QString> freeStartTime(const QString& date, const QTime& wanted) const;
  Result<RunStatistics> statistics(const reports::RunKey& run) const;

 private:
  // With `replaced` (the question's answers before this visit), only the question at
  // `position` is refreshed and scored; without, the whole run.
  Status refresh(const RunRecord& run, int position, const QList<reports::StoredAnswer>* replaced);
  void step(const QString& name) const {
    if (m_hooks.stepReached) m_hooks.stepReached(name);
  }

  store::Store& m_store;
  Hooks m_hooks;
  // The run whose results this recording last rebuilt whole; its next questions are
  // scored one by one.
  reports::RunKey m_scoredWhole;
};

}  // namespace delivery
