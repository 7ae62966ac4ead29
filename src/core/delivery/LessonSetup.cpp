#include "delivery/LessonSetup.h"

#include "lists/FilterLists.h"
#include "school/Students.h"
#include "store/Parameters.h"

namespace delivery {

namespace {

const QString kSection = QStringLiteral("DersUygula");
const QString kPreview = QStringLiteral("Onizleme");

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

LessonSetup::Choices LessonSetup::Choices::load() {
  Choices c;
  c.classIndex = std::max(number(kSection, QStringLiteral("Sinifi"), c.classIndex), 0);
  c.duration = option(QStringLiteral("Sure"), c.duration);
  c.fixedPosition = std::clamp(number(kSection, QStringLiteral("SabitSure"), c.fixedPosition), 0,
                               RunSettings::durationCount() - 1);
  c.penalty = option(QStringLiteral("Goturu"), c.penalty);
  c.statistics = store::UserSettings::getBool(kSection, QStringLiteral("Istatistik"), c.statistics);
  c.remoteTest =
      store::UserSettings::getBool(kSection, QStringLiteral("KumandaTest"), c.remoteTest);
  c.goOnWhenAllAnswered =
      store::UserSettings::getBool(kSection, QStringLiteral("HerkesCevapVerince"), false);
  return c;
}

void LessonSetup::Choices::save() const {
  setNumber(kSection, QStringLiteral("Sinifi"), classIndex);
  setNumber(kSection, QStringLiteral("Sure"), int(duration));
  setNumber(kSection, QStringLiteral("SabitSure"), fixedPosition);
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
  const int fixed = RunSettings::secondsAt(start.choices.fixedPosition);
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
