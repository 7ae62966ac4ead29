#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"

namespace store {

class Store;

// The data version this program brings every database to.
inline constexpr int kDataVersion = 44;

// "major.minor.0.revision" of the running program: the structure version.
QString structureVersion();

// What the start-up check did, for the log, the CLI and the window layer.
struct CheckReport {
  bool created = false;                // a new database was made whole at the current versions
  bool structureChecked = false;       // the field pass ran
  int oldDataVersion = -1;             // data version found before the check (-1: new database)
  QStringList stepsRun;                // data steps that ran, e.g. "2", "7", "44"
  QStringList messages;                // texts the window layer must show to the user
  bool openInstitutionScreen = false;  // a step asks for the institution screen
  int failedStep = 0;                  // data step that failed (0: none); it runs again next start
  QString error;                       // database error of the failed step
};

// The start-up check of the store's open main connection: a database without
// tables is made whole at the current versions; any other gets the structure check
// and the data check. The first question and test stores are created when missing.
// Store::open() runs it; nothing else needs to.
Result<CheckReport> VeritabaniKontrol(Store& store);

}  // namespace store
