#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>

#include <optional>

class QComboBox;

// Wires a screen's row of curriculum lists so the cascade is written once:
// choosing a level or a course refills units, topics and outcomes; a unit refills
// topics and outcomes; a topic refills outcomes. Every refilled list returns to
// "TÜMÜ". Any list may be absent (nullptr). Restoring saved positions list by list
// from the top (AyarYukle) cascades the same way as a user's choice.
//
//   m_filters = new CurriculumFilters({cmbSeviye, cmbDers, cmbUnite, cmbKonu, cmbKazanim}, this);
//   m_filters->fillAll();
//   connect(m_filters, &CurriculumFilters::changed, this, &frmX::search);
//   m_filters->appendConditions(where, params);   // " AND SEVIYE=?" ... for each choice
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

  explicit CurriculumFilters(const Lists& lists, QObject* parent = nullptr);

  // Three-button remotes: the level list has no "TÜMÜ" (default: the school's setting).
  void setThreeButton(std::optional<bool> on) { m_threeButton = on; }
  // Fills every list from the top.
  void fillAll();

  // The chosen texts; "TÜMÜ" for an absent list.
  QString level() const;
  QString course() const;
  QString unit() const;
  QString topic() const;
  QString outcome() const;
  // " AND SEVIYE=?" (DERS, UNITE, KONU, KAZANIM) for every choice other than "TÜMÜ",
  // with the value appended to `params`. `prefix` qualifies the columns ("S." ...).
  void appendConditions(QString& where, QVariantList& params, const QString& prefix = {}) const;

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

  QPointer<QComboBox> m_level, m_course, m_unit, m_topic, m_outcome;
  std::optional<bool> m_threeButton;
};
