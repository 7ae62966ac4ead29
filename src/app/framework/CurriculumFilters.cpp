#include "CurriculumFilters.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include "FilterListFill.h"
#include "curriculum/CurriculumLists.h"
#include "lists/FilterLists.h"

CurriculumFilters::CurriculumFilters(const store::Store& store, const Lists& l, QObject* parent,
                                     Use use)
    : QObject(parent),
      m_store(store),
      m_use(use),
      m_level(l.level),
      m_course(l.course),
      m_unit(l.unit),
      m_topic(l.topic),
      m_outcome(l.outcome) {
  // Values are also typed: the lists below follow the text, not only a choice.
  const auto follow = [this](QComboBox* c, void (CurriculumFilters::*slot)()) {
    if (!c) return;
    if (m_use == Use::Values)
      connect(c, &QComboBox::currentTextChanged, this, slot);
    else
      connect(c, &QComboBox::currentIndexChanged, this, slot);
  };
  follow(l.level, &CurriculumFilters::levelOrCourseChanged);
  follow(l.course, &CurriculumFilters::levelOrCourseChanged);
  follow(l.unit, &CurriculumFilters::unitChanged);
  follow(l.topic, &CurriculumFilters::topicChanged);
  follow(l.outcome, &CurriculumFilters::changed);
  if (m_use == Use::Values) {
    // A unit, topic or outcome not defined yet is typed in; saving defines it.
    for (QComboBox* c : {l.unit, l.topic, l.outcome}) {
      if (!c) continue;
      c->setEditable(true);
      c->setInsertPolicy(QComboBox::NoInsert);
      c->lineEdit()->setPlaceholderText(QStringLiteral("Seçiniz ya da yazınız"));
    }
  }
}

void CurriculumFilters::fill(QComboBox* combo, const QStringList& entries) {
  if (!combo) return;
  if (m_use == Use::Filter) {
    filtre::fillCombo(combo, entries);
    return;
  }
  QStringList values = entries;
  values.removeAll(lists::kTumu);
  const QString previous = combo->currentText();
  const QSignalBlocker block(combo);
  combo->clear();
  combo->addItems(values);
  combo->setCurrentIndex(int(values.indexOf(previous)));
  if (combo->isEditable() && combo->currentIndex() < 0) combo->setEditText(QString());
}

void CurriculumFilters::fillAll() {
  if (m_level) fill(m_level, curriculum::SeviyeDoldur(m_store));
  if (m_course) fill(m_course, curriculum::DersDoldur(m_store));
  refillUnits();
  refillTopics();
  refillOutcomes();
  emit changed();
}

curriculum::CurriculumFilter CurriculumFilters::filter() const {
  const auto choice = [this](const QComboBox* combo) -> QString {
    if (m_use == Use::Values) return combo ? combo->currentText().trimmed() : QString();
    return combo && combo->currentIndex() >= 0 ? combo->currentText() : lists::kTumu;
  };
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
  if (m_unit) fill(m_unit, curriculum::UniteDoldur(m_store, filter()));
}

void CurriculumFilters::refillTopics() {
  if (m_topic) fill(m_topic, curriculum::KonuDoldur(m_store, filter()));
}

void CurriculumFilters::refillOutcomes() {
  if (m_outcome) fill(m_outcome, curriculum::KazanimDoldur(m_store, filter()));
}
