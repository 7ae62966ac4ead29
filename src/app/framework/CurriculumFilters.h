#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "curriculum/CurriculumFilter.h"

class QComboBox;

namespace store {
class Store;
}

// Wires a screen's row of curriculum lists so the cascade is written once:
// choosing a level or a course refills units, topics and outcomes; a unit refills
// topics and outcomes; a topic refills outcomes. Every refilled list returns to
// "TÜMÜ". Any list may be absent (nullptr). Setting the lists one by one from the
// top cascades the same way as a user's choice.
//
//   m_filters = new CurriculumFilters(store, {cmbSeviye, cmbDers, cmbUnite, cmbKonu,
//                                             cmbKazanim}, this);
//   m_filters->fillAll();
//   connect(m_filters, &CurriculumFilters::changed, this, &frmX::search);
//   const auto c = m_filters->filter().condition();   // " AND SEVIYE=?" ... + params
class CurriculumFilters : public QObject {
  Q_OBJECT
 public:
  struct Lists {
    QComboBox* level = nullptr;
    QComboBox* course = nullptr;
    QComboBox* unit = nullptr;
    QComboBox* topic = nullptr;
    QComboBox* outcome = nullptr;
  };

  // Filter: lists to search with, "TÜMÜ" first (= any). Values: the lists that
  // give one record its place (a question's), without "TÜMÜ", nothing chosen until
  // the user chooses, and unit, topic and outcome open to a value not defined yet.
  enum class Use { Filter, Values };

  CurriculumFilters(const store::Store& store, const Lists& lists, QObject* parent = nullptr,
                    Use use = Use::Filter);

  // Fills every list from the top.
  void fillAll();

  // The choices; "TÜMÜ" for an absent list (empty in Values use).
  curriculum::CurriculumFilter filter() const;

 signals:
  // A choice changed and the lists below it were refilled.
  void changed();

 private:
  void levelOrCourseChanged();
  void unitChanged();
  void topicChanged();
  void refillUnits();
  void refillTopics();
  void refillOutcomes();
  void fill(QComboBox* combo, const QStringList& entries);

  const store::Store& m_store;
  Use m_use = Use::Filter;
  QPointer<QComboBox> m_level, m_course, m_unit, m_topic, m_outcome;
};
