#include "delivery/LessonSetup.h"

#include <algorithm>

#include "lists/FilterLists.h"
#include "school/Students.h"
#include "store/Parameters.h"

namespace delivery {

namespace {

const QString kSection = QStringLiteral("DersUygula");
const QString kPreview = QStringLiteral("Onizleme");
// The class's name and the fixed duration in seconds have keys of their own: an
// older Derslik kept places in the lists under "Sinifi" and "SabitSure", and a
// number there could be either (a class may be called "12").
const QString kClass = QStringLiteral("SinifiAdi");
const QString kOldClass = QStringLiteral("Sinifi");
const QString kSeconds = QStringLiteral("SabitSureSn");
const QString kOldDuration = QStringLiteral("SabitSure");
const QString kAbsent = QStringLiteral("\x01");

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
  // A class gone since, or a place the list no longer has, starts over at "TÜMÜ".
  const QString named = store::UserSettings::get(kSection, kClass, kAbsent);
  const QString oldClass = store::UserSettings::get(kSection, kOldClass);
  bool old = named == kAbsent && !oldClass.isEmpty();
  if (named != kAbsent)
    c.className = named;
  else if (old)
    c.className = classes->value(number(kSection, kOldClass, 0), lists::kTumu);
  if (!classes->contains(c.className)) c.className = lists::kTumu;
  c.duration = option(QStringLiteral("Sure"), c.duration);
  bool inSeconds = false;
  const int seconds = store::UserSettings::get(kSection, kSeconds).toInt(&inSeconds);
  if (inSeconds) {
    c.fixedSeconds = RunSettings::secondsAt(RunSettings::positionOf(seconds));
  } else if (!store::UserSettings::get(kSection, kOldDuration).isEmpty()) {
    old = true;
    c.fixedSeconds = RunSettings::secondsAt(
        std::clamp(number(kSection, kOldDuration, RunSettings::positionOf(c.fixedSeconds)), 0,
                   RunSettings::durationCount() - 1));
  }
  c.penalty = option(QStringLiteral("Goturu"), c.penalty);
  c.statistics = store::UserSettings::getBool(kSection, QStringLiteral("Istatistik"), c.statistics);
  c.remoteTest =
      store::UserSettings::getBool(kSection, QStringLiteral("KumandaTest"), c.remoteTest);
  c.goOnWhenAllAnswered =
      store::UserSettings::getBool(kSection, QStringLiteral("HerkesCevapVerince"), false);
  if (old) c.save();
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
