#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "Messages.h"
#include "Result.h"
#include "delivery/RunPlan.h"

namespace store {
class Store;
}

namespace delivery {

// A test run that stopped without an end (the program was killed, the power went):
// its question rows have no TESTBITIS.
struct InterruptedRun {
  reports::RunKey key;
  RunDescription description;
  reports::Penalty penalty = reports::Penalty::FourWrongs;  // YANLISDOGRUGOTURU
  int questionsLeft = 0;                                    // questions whose answers were stored
  int questionCount = 0;                                    // questions of the test
  QStringList addresses;  // the remotes that took part, in tile order
  QString virtualKayitNo;
};

// Finds interrupted runs and takes one up again: at the next start the teacher is
// asked "Yarım kalan bir uygulama var: …, devam edilsin mi?"; "Evet" gives the plan
// of a RunSession that goes on with the same run key from the first question without
// stored answers; "Hayır" leaves the run as it is, for the reports, and it is not
// asked about again.
class InterruptedRuns {
 public:
  explicit InterruptedRuns(store::Store& store) : m_store(store) {}

  // Newest first; runs the teacher declined to continue are left out.
  Result<QList<InterruptedRun>> find() const;
  static QString question(const InterruptedRun& run);
  // The plan that continues `run`: its description, penalty and remotes, today's
  // saved options for everything else, no remote test.
  Result<RunPlan> plan(const InterruptedRun& run) const;
  // Asks about the newest interrupted run: its plan on "Evet", nothing on "Hayır"
  // or when there is none.
  Result<std::optional<RunPlan>> offer(Messages& messages) const;

 private:
  store::Store& m_store;
};

}  // namespace delivery
