#include "delivery/HomeworkCheck.h"

#include "store/Parameters.h"
#include "store/SavedControls.h"

namespace delivery {

namespace {
const QString kClip = QStringLiteral("chkKirpma");
const QString kSection = QStringLiteral("SerbestAyar");
}  // namespace

int HomeworkCheck::questions() const {
  bool ok = false;
  const int n = questionsText.trimmed().toInt(&ok);
  return ok && n >= 1 && n <= 1000 ? n : -1;
}

std::optional<RunPlan> HomeworkCheck::plan(const RunSettings& settings, const RunSetup& setup,
                                           Messages& messages) const {
  if (questions() < 0) {
    messages.warning(badCountText());
    return std::nullopt;
  }
  RunSetup::Start start;
  start.test.name = testName.trimmed();
  start.test.course = curriculum.course;
  start.test.unit = curriculum.unit;
  start.test.topic = curriculum.topic;
  start.test.outcome = curriculum.outcome;
  start.level = curriculum.level;
  start.className = className;
  start.group = group;
  start.description = description;
  start.settings = settings;
  start.students = students;
  start.teachers = teachers;
  return setup.freePlan(start);
}

Result<bool> HomeworkCheck::loadClip(const QSqlDatabase& db) {
  Result<store::SavedControls> saved = store::SavedControls::load(db, kScreen);
  if (!saved) return Result<bool>::failure(saved.error());
  return saved->checked(kClip, false);
}

Status HomeworkCheck::saveClip(const QSqlDatabase& db, bool on) {
  Result<store::SavedControls> saved = store::SavedControls::load(db, kScreen);
  if (!saved) return Status::failure(saved.error());
  store::SavedControls& controls = saved.value();
  controls.setChecked(kClip, on, 12);
  return controls.save(db);
}

curriculum::CurriculumFilter HomeworkCheck::lastCurriculum() {
  curriculum::CurriculumFilter c;
  c.level = store::UserSettings::get(kSection, QStringLiteral("Seviye"));
  c.course = store::UserSettings::get(kSection, QStringLiteral("Ders"));
  return c;
}

void HomeworkCheck::rememberCurriculum(const curriculum::CurriculumFilter& chosen) {
  store::UserSettings::set(kSection, QStringLiteral("Seviye"), chosen.level);
  store::UserSettings::set(kSection, QStringLiteral("Ders"), chosen.course);
}

}  // namespace delivery
