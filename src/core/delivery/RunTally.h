#pragma once

#include <QList>
#include <QString>

#include "delivery/Recording.h"

namespace delivery {

// One answer of a run as the final statistics count it.
struct TalliedAnswer {
  QString address;
  QString position;  // TESTSIRANO
  QString letter;
  QString key;  // the question's key; empty: not scored
  QString end;  // TESTBITIS
};

// The final statistics page of a run from its answers: the database's rows, or
// the answers a board kept while the server was away.
RunStatistics tallyRun(const reports::RunKey& run, const QList<TalliedAnswer>& answers);

}  // namespace delivery
