#include "CurriculumFilters.h"

#include <QComboBox>

#include "FilterListFill.h"
#include "lists/FilterLists.h"

namespace {
QString choice(const QComboBox* combo) {
  return combo && combo->currentIndex() >= 0 ? combo->currentText() : lists::kTumu;
}
}  // namespace

CurriculumFilters::CurriculumFilters(const Lists& l, QObject* parent)
    : QObject(parent),
      m_level(l.level),
      m_course(l.course),
      m_unit(l.unit),
      m_topic(l.topic),
      m_outcome(l.outcome) {
  for (QComboBox* c : {l.level, l.course})
    if (c)
      connect(c, &QComboBox::currentIndexChanged, this, &CurriculumFilters::levelOrCourseChanged);
  if (l.unit)
    connect(l.unit, &QComboBox::currentIndexChanged, this, &CurriculumFilters::unitChanged);
  if (l.topic)
    connect(l.topic, &QComboBox::currentIndexChanged, this, &CurriculumFilters::topicChanged);
  if (l.outcome)
    connect(l.outcome, &QComboBox::currentIndexChanged, this, &CurriculumFilters::changed);
}

void CurriculumFilters::fillAll() {
  if (m_level) filtre::SeviyeDoldur(m_level, m_threeButton);
  if (m_course) filtre::DersDoldur(m_course);
  refillUnits();
  refillTopics();
  refillOutcomes();
  emit changed();
}

QString CurriculumFilters::level() const { return choice(m_level); }
QString CurriculumFilters::course() const { return choice(m_course); }
QString CurriculumFilters::unit() const { return choice(m_unit); }
QString CurriculumFilters::topic() const { return choice(m_topic); }
QString CurriculumFilters::outcome() const { return choice(m_outcome); }

void CurriculumFilters::appendConditions(QString& where, QVariantList& params,
                                         const QString& prefix) const {
  const std::pair<const char*, QString> terms[] = {{"SEVIYE", level()},
                                                   {"DERS", course()},
                                                   {"UNITE", unit()},
                                                   {"KONU", topic()},
                                                   {"KAZANIM", outcome()}};
  for (const auto& [column, value] : terms) {
    if (value == lists::kTumu) continue;
    where += QStringLiteral(" AND ") + prefix + QLatin1String(column) + QStringLiteral("=?");
    params << value;
  }
}

void CurriculumFilters::levelOrCourseChanged() {
  refillUnits();
  refillTopics();
  refillOutcomes();
  emit changed();
}

void CurriculumFilters::unitChanged() {
  refillTopics();
  refillOutcomes();
  emit changed();
}

void CurriculumFilters::topicChanged() {
  refillOutcomes();
  emit changed();
}

void CurriculumFilters::refillUnits() {
  if (m_unit) filtre::UniteDoldur(m_unit, level(), course());
}

void CurriculumFilters::refillTopics() {
  if (m_topic) filtre::KonuDoldur(m_topic, level(), course(), unit());
}

void CurriculumFilters::refillOutcomes() {
  if (m_outcome) filtre::KazanimDoldur(m_outcome, level(), course(), unit(), topic());
}
