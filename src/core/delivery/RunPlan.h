#pragma once

#include <QString>
#include <QStringList>

#include "delivery/RunSettings.h"
#include "reports/Scoring.h"

namespace delivery {

// What a run is recorded as: the test and where it sits in the curriculum, and the
// teacher's labels for this application of it (TABLEUYGULAMA and TABLESONUC carry
// these on every row of the run).
struct RunDescription {
  QString testNo;
  QString testName;
  QString level;        // SEVIYE: the run's level (cmbSeviye of the setup)
  QString className;    // SINIFI: the class the run is for ("SANAL KUMANDA" for none)
  QString group;        // GRUP
  QString description;  // ACIKLAMA
  QString course;       // DERS, UNITE, KONU, KAZANIM: the test's
  QString unit;
  QString topic;
  QString outcome;

  bool operator==(const RunDescription&) const = default;
};

// Everything the run setup hands to the presentation when a run starts: the
// description, the options and the three ordered collections (teacher remotes,
// and the student remotes with the name each tile shows). RunSetup::start()
// builds it; InterruptedRuns builds one to take an interrupted run up again.
struct RunPlan {
  RunDescription description;
  RunSettings settings;
  QStringList teacherRemotes;
  QStringList studentRemotes;  // "0-0" alone: the virtual remote answers
  QStringList names;           // one per student remote, in the same order
  // Who answers on the virtual remote ("Sanal Kumanda": Adi, Soyadi); the answers
  // of a run with only "0-0" are recorded under "name|surname".
  QString virtualName;
  QString virtualSurname;
  // Set when an interrupted run is taken up again: the run keeps its key and goes
  // on from its first question without stored answers.
  reports::RunKey resume;

  bool virtualRemoteOnly() const {
    return studentRemotes.size() == 1 && studentRemotes.first() == kVirtualRemote;
  }
  // The pseudo-address that stands for no real remote.
  static inline const QString kVirtualRemote = QStringLiteral("0-0");
  // The test numbers of a free run (free questioning, the homework check) and of
  // a lesson run.
  static inline const QString kFreeTestNo = QStringLiteral("SERBEST");
  static inline const QString kLessonTestNo = QStringLiteral("DERS");
};

}  // namespace delivery
