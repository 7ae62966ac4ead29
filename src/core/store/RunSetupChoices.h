#pragma once

#include <QSqlDatabase>
#include <QString>

#include "Result.h"

namespace store {

// The window name the test-run screen's choices are stored under.
inline const QString kRunSetupScreen = QStringLiteral("frmTestUygula");

// The search choices of the test-run screen (frmTestUygula): each list's entry by
// its text, never by its place in a list (a list grows and shrinks; a place means
// another entry in another list). Kept here, below the run set-up, because the
// report selection starts with the class chosen last and the school-year rollover
// starts the lists over; load() and save() are the only code that knows the rows.
struct RunSetupChoices {
  // cmbUygulanma, in the list's order: "TÜMÜ", "UYGULANMAYAN", "UYGULANAN".
  enum class Applied { All = 0, NotApplied = 1, Applied = 2 };
  // An empty entry stands for the list's first real entry (after "TÜMÜ", or
  // after the virtual remote for the class).
  QString level = QStringLiteral("TÜMÜ");   // cmbSeviyeAra
  QString course = QStringLiteral("TÜMÜ");  // cmbDersAra
  QString author = QStringLiteral("TÜMÜ");  // cmbHazirlayanAra
  Applied applied = Applied::All;
  QString className;  // cmbSinifi

  // As stored; an older Derslik stored places in the lists
  // (SavedControls::oldPosition): the run set-up reads them against its lists
  // once (delivery::RunSetup::loadOptions).
  static Result<RunSetupChoices> load(const QSqlDatabase& db);
  // Stores the choices, keeping the screen's other saved controls.
  Status save(const QSqlDatabase& db) const;
  // A new school year: every test counts as not yet applied and the lists start over.
  void resetForNewYear();

  bool operator==(const RunSetupChoices&) const = default;
};

}  // namespace store
