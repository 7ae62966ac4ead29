#pragma once

#include "reports/RunReport.h"

namespace store {
class Store;
}

namespace bench {

// The report figures' data, the same on a data folder and on a school's server.
inline const reports::RunKey kReportRun{QStringLiteral("15.05.2026"), QStringLiteral("09:00:00")};
constexpr int kReportRemotes = 60;
constexpr int kReportQuestions = 50;
constexpr int kReportStudents = 1000;
constexpr int kReportRunsPerClass = 200;
constexpr int kItemRuns = 100;
constexpr int kItemRemotes = 30;

// Everything in the store's database (opened here), in one transaction:
//  - one run of 60 remotes × 50 questions (scored),
//  - 40 classes of 25 students with 200 scored runs each (200,000 result rows):
//    every student has 200 runs across five courses,
//  - test "IT" applied 100 times to 30 remotes, 50 questions (150,000 answers).
bool buildReportFixture(store::Store& store);

// The run report of kReportRun opened (a failure shows as an empty report, never
// as a figure); with `everyView`, then everything a teacher can look at: every
// page, every question and every remote.
void openRunReport(store::Store& store, bool everyView);

}  // namespace bench
