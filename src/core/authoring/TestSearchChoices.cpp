#include "authoring/TestSearchChoices.h"

#include <QStringList>

#include "curriculum/CurriculumLists.h"
#include "lists/FilterLists.h"
#include "store/SavedControls.h"
#include "store/Store.h"

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
// In CurriculumFilter field order.
const Control* const kCurriculum[] = {&kLevel, &kCourse, &kUnit, &kTopic, &kOutcome};

QString controlName(const Control& c) { return QString::fromLatin1(c.name); }

}  // namespace

QStringList TestSearchChoices::appliedEntries() {
  return {lists::kTumu, QStringLiteral("UYGULANAN"), QStringLiteral("UYGULANMAYAN")};
}

Result<TestSearchChoices> TestSearchChoices::load(const store::Store& store) {
  Result<store::SavedControls> saved = store::SavedControls::load(store.db(), kTestScreen);
  if (!saved) return Result<TestSearchChoices>::failure(saved.error());
  const store::SavedControls& c = saved.value();
  TestSearchChoices r;
  curriculum::CurriculumFilter stored;
  for (int i = 0; i < curriculum::CurriculumFilter::kFieldCount; ++i) {
    const auto field = curriculum::CurriculumFilter::Field(i);
    stored.setValue(field, c.text(controlName(*kCurriculum[i]), r.curriculum.value(field)));
  }
  r.curriculum = curriculum::storedChoices(store, stored);
  const auto entry = [&c](const Control& control, const QString& fallback,
                          const QStringList& entries) {
    return store::SavedControls::entry(c.text(controlName(control), fallback), entries, fallback);
  };
  r.author = entry(kAuthor, r.author, lists::HazirlayanDoldur(store));
  r.applied = entry(kApplied, r.applied, appliedEntries());
  r.name = c.text(controlName(kName));
  return r;
}

Status TestSearchChoices::save(const QSqlDatabase& db) const {
  Result<store::SavedControls> saved = store::SavedControls::load(db, kTestScreen);
  if (!saved) return Status::failure(saved.error());
  store::SavedControls& c = saved.value();
  for (int i = 0; i < curriculum::CurriculumFilter::kFieldCount; ++i)
    c.setText(controlName(*kCurriculum[i]),
              curriculum.value(curriculum::CurriculumFilter::Field(i)), kCurriculum[i]->tab);
  c.setText(controlName(kAuthor), author, kAuthor.tab);
  c.setText(controlName(kApplied), applied, kApplied.tab);
  c.setText(controlName(kName), name, kName.tab);
  return c.save(db);
}

}  // namespace authoring
