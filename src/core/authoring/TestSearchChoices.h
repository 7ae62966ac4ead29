#pragma once

#include <QSqlDatabase>
#include <QString>

#include "Result.h"

namespace authoring {

// The choices of the test screen's test search panel (frameTestSec), saved when a
// search runs and shown again when the screen opens: the positions in its lists
// ("TÜMÜ" first) and the name typed. Stored as the screen's control rows of
// TABLEAYAR (store::SavedControls); load() and save() are the only code that
// knows those rows.
struct TestSearchChoices {
  int level = 0;    // cmbSeviyeAra
  int course = 0;   // cmbDersAra
  int unit = 0;     // cmbUniteAra
  int topic = 0;    // cmbKonuAra
  int outcome = 0;  // cmbKazanimAra
  int author = 0;   // cmbHazirlayanAra
  int applied = 0;  // cmbUygulanma: "TÜMÜ", "UYGULANAN", "UYGULANMAYAN"
  QString name;     // txtTestAdiAra

  static Result<TestSearchChoices> load(const QSqlDatabase& db);
  // Stores the choices, keeping the screen's other saved controls.
  Status save(const QSqlDatabase& db) const;
  // The entries of cmbUygulanma, in order.
  static QStringList appliedEntries();

  bool operator==(const TestSearchChoices&) const = default;
};

// The window name the test screen's choices are stored under.
inline const QString kTestScreen = QStringLiteral("frmTestHazirlama");

}  // namespace authoring
