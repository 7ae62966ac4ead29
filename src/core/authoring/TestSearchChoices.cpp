#include "authoring/TestSearchChoices.h"

#include <QStringList>

#include "lists/FilterLists.h"
#include "store/SavedControls.h"

namespace authoring {

namespace {

struct Control {
  const char* name;
  int tab;
};
const Control kLevel{"cmbSeviyeAra", 1};
const Control kCourse{"cmbDersAra", 2};
const Control kUnit{"cmbUniteAra", 3};
const Control kTopic{"cmbKonuAra", 4};
const Control kOutcome{"cmbKazanimAra", 5};
const Control kAuthor{"cmbHazirlayanAra", 6};
const Control kApplied{"cmbUygulanma", 7};
const Control kName{"txtTestAdiAra", 8};

QString controlName(const Control& c) { return QString::fromLatin1(c.name); }

}  // namespace

QStringList TestSearchChoices::appliedEntries() {
  return {lists::kTumu, QStringLiteral("UYGULANAN"), QStringLiteral("UYGULANMAYAN")};
}

Result<TestSearchChoices> TestSearchChoices::load(const QSqlDatabase& db) {
  Result<store::SavedControls> saved = store::SavedControls::load(db, kTestScreen);
  if (!saved) return Result<TestSearchChoices>::failure(saved.error());
  const store::SavedControls& c = saved.value();
  TestSearchChoices r;
  r.level = c.position(controlName(kLevel), 0);
  r.course = c.position(controlName(kCourse), 0);
  r.unit = c.position(controlName(kUnit), 0);
  r.topic = c.position(controlName(kTopic), 0);
  r.outcome = c.position(controlName(kOutcome), 0);
  r.author = c.position(controlName(kAuthor), 0);
  r.applied = c.position(controlName(kApplied), 0);
  r.name = c.text(controlName(kName));
  return r;
}

Status TestSearchChoices::save(const QSqlDatabase& db) const {
  Result<store::SavedControls> saved = store::SavedControls::load(db, kTestScreen);
  if (!saved) return Status::failure(saved.error());
  store::SavedControls& c = saved.value();
  for (const auto& [control, value] :
       {std::pair{kLevel, level}, std::pair{kCourse, course}, std::pair{kUnit, unit},
        std::pair{kTopic, topic}, std::pair{kOutcome, outcome}, std::pair{kAuthor, author},
        std::pair{kApplied, applied}})
    c.setPosition(controlName(control), value, control.tab);
  c.setText(controlName(kName), name, kName.tab);
  return c.save(db);
}

}  // namespace authoring
