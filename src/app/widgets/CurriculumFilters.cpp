#include "CurriculumFilters.h"

#include <QComboBox>

#include "FilterListFill.h"
#include "lists/FilterLists.h"

namespace {
QString choice(const QComboBox* combo) {
  return combo && combo->currentIndex() >= 0 ? combo->currentText() : lists::kTumu;
}
}  // namespace

CurriculumFilters::CurriculumFilters(const store::Store& store, const Lists& l, QObject* parent)
    : QObject(parent),
      m_store(store),
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
  if (m_level) filtre::SeviyeDoldur(m_level, m_store);
  if (m_course) filtre::DersDoldur(m_course, m_store);
  refillUnits();
  refillTopics();
  refillOutcomes();
  emit changed();
}

curriculum::CurriculumFilter CurriculumFilters::filter() const {
  return {choice(m_level), choice(m_course), choice(m_unit), choice(m_topic), choice(m_outcome)};
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
  if (m_unit) filtre::UniteDoldur(m_unit, m_store, filter());
}

void CurriculumFilters::refillTopics() {
  if (m_topic) filtre::KonuDoldur(m_topic, m_store, filter());
}

void CurriculumFilters::refillOutcomes() {
  if (m_outcome) filtre::KazanimDoldur(m_outcome, m_store, filter());
}
