#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "curriculum/CurriculumFilter.h"

namespace store {
class Store;
}

namespace authoring {

// The choices of the test screen's test search panel (frameTestSec), saved when a
// search runs and shown again when the screen opens: each list's entry by its
// text ("TÜMÜ" for no restriction) and the name typed. Stored as the screen's
// control rows of TABLEAYAR (store::SavedControls); load() and save() are the only
// code that knows those rows.
struct TestSearchChoices {
  // cmbSeviyeAra, cmbDersAra, cmbUniteAra, cmbKonuAra, cmbKazanimAra
  curriculum::CurriculumFilter curriculum{QStringLiteral("TÜMÜ"), QStringLiteral("TÜMÜ"),
                                          QStringLiteral("TÜMÜ"), QStringLiteral("TÜMÜ"),
                                          QStringLiteral("TÜMÜ")};
  QString author = QStringLiteral("TÜMÜ");   // cmbHazirlayanAra
  QString applied = QStringLiteral("TÜMÜ");  // cmbUygulanma: an entry of appliedEntries()
  QString name;                              // txtTestAdiAra

  // An older Derslik stored places in the lists: they are read against the lists
  // the screen fills (the curriculum lists as they cascade from the top).
  static Result<TestSearchChoices> load(const store::Store& store);
  // Stores the choices, keeping the screen's other saved controls.
  Status save(const QSqlDatabase& db) const;
  // The entries of cmbUygulanma, in order.
  static QStringList appliedEntries();

  bool operator==(const TestSearchChoices&) const = default;
};

// The window name the test screen's choices are stored under.
inline const QString kTestScreen = QStringLiteral("frmTestHazirlama");

}  // namespace authoring
