#include "delivery/LessonSetup.h"

#include <algorithm>

#include "lists/FilterLists.h"
#include "school/Students.h"
#include "store/Parameters.h"
#include "store/SavedControls.h"

namespace delivery {

namespace {

const QString kSection = QStringLiteral("DersUygula");
const QString kPreview = QStringLiteral("Onizleme");
const QString kClass = QStringLiteral("Sinifi");
// The fixed duration in seconds; an older Derslik kept its place in the list under
// "SabitSure", and both are numbers, so the seconds have a key of their own.
const QString kSeconds = QStringLiteral("SabitSureSn");
const QString kOldPosition = QStringLiteral("SabitSure");

int number(const QString& section, const QString& key, int fallback) {
  bool ok = false;
  const int v = store::UserSettings::get(section, key, QString::number(fallback)).toInt(&ok);
  return ok ? v : fallback;
}

template <typename E>
E option(const QString& key, E fallback) {
  const int v = number(kSection, key, int(fallback));
  return v >= 0 && v <= 2 ? static_cast<E>(v) : fallback;
}

void setNumber(const QString& section, const QString& key, int value) {
  store::UserSettings::set(section, key, QString::number(value));
}

}  // namespace

Result<LessonSetup::Choices> LessonSetup::loadChoices() const {
  Choices c;
  Result<QStringList> classes = classEntries();
  if (!classes) return Result<Choices>::failure(classes.error());
  const QString stored = store::UserSettings::get(kSection, kClass, c.className);
  const bool oldClass = store::SavedControls::oldPosition(stored, classes.value()).has_value();
  // A place the list no longer has, like a class gone since, starts over at "TÜMÜ".
  c.className = store::SavedControls::entry(stored, classes.value(), lists::kTumu);
  if (!classes->contains(c.className)) c.className = lists::kTumu;
  c.duration = option(QStringLiteral("Sure"), c.duration);
  const QString oldDuration = store::UserSettings::get(kSection, kOldPosition);
  bool seconds = false;
  const int kept = store::UserSettings::get(kSection, kSeconds).toInt(&seconds);
  if (seconds)
    c.fixedSeconds = RunSettings::secondsAt(RunSettings::positionOf(kept));
  else if (!oldDuration.isEmpty())
    c.fixedSeconds = RunSettings::secondsAt(
        std::clamp(number(kSection, kOldPosition, RunSettings::positionOf(c.fixedSeconds)), 0,
                   RunSettings::durationCount() - 1));
  c.penalty = option(QStringLiteral("Goturu"), c.penalty);
  c.statistics = store::UserSettings::getBool(kSection, QStringLiteral("Istatistik"), c.statistics);
  c.remoteTest =
      store::UserSettings::getBool(kSection, QStringLiteral("KumandaTest"), c.remoteTest);
  c.goOnWhenAllAnswered =
      store::UserSettings::getBool(kSection, QStringLiteral("HerkesCevapVerince"), false);
  if (oldClass || (!seconds && !oldDuration.isEmpty())) c.save();
  return c;
}

void LessonSetup::Choices::save() const {
  store::UserSettings::set(kSection, kClass, className);
  setNumber(kSection, QStringLiteral("Sure"), int(duration));
  setNumber(kSection, kSeconds, fixedSeconds);
  setNumber(kSection, QStringLiteral("Goturu"), int(penalty));
  store::UserSettings::setBool(kSection, QStringLiteral("Istatistik"), statistics);
  store::UserSettings::setBool(kSection, QStringLiteral("KumandaTest"), remoteTest);
  store::UserSettings::setBool(kSection, QStringLiteral("HerkesCevapVerince"), goOnWhenAllAnswered);
}

LessonSetup::PreviewChoices LessonSetup::PreviewChoices::load() {
  PreviewChoices p;
  p.reportIndex = number(kPreview, QStringLiteral("DersRaporGoster"), p.reportIndex);
  p.questionText = store::UserSettings::getBool(kPreview, QStringLiteral("SoruIcerigi"), false);
  return p;
}

void LessonSetup::PreviewChoices::save() const {
  setNumber(kPreview, QStringLiteral("DersRaporGoster"), reportIndex);
  store::UserSettings::setBool(kPreview, QStringLiteral("SoruIcerigi"), questionText);
}

Result<QStringList> LessonSetup::classEntries() const {
  Result<QStringList> classes = school::Students(m_store).classNames();
  if (!classes) return classes;
  return QStringList{lists::kTumu} + classes.value();
}

RunPlan LessonSetup::plan(const Start& start) const {
  RunSetup::Start s;
  s.className = start.className;
  s.level = start.level;
  s.group = start.group;
  s.description = start.description;
  s.test.course = start.course;
  s.test.topic = start.topic;
  s.students = start.students;
  s.teachers = start.teachers;
  RunSettings& r = s.settings;
  r.duration = start.choices.duration;
  const int fixed = start.choices.fixedSeconds;
  // A fixed duration of "Süresiz" runs untimed.
  if (r.duration == RunSettings::Duration::Fixed && fixed == 0)
    r.duration = RunSettings::Duration::Untimed;
  if (fixed > 0) r.fixedSeconds = fixed;
  r.penalty = start.choices.penalty;
  r.goOnWhenAllAnswered = start.choices.goOnWhenAllAnswered;
  r.reportAtEnd = start.choices.statistics;
  r.remoteTestScreen = start.choices.remoteTest;
  r.afterQuestion = RunSettings::QuestionReport::None;
  RunPlan plan = RunSetup(m_store).freePlan(s);
  plan.description.testNo = RunPlan::kLessonTestNo;
  return plan;
}

}  // namespace delivery
