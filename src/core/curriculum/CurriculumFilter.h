#pragma once

#include <QString>
#include <QVariantList>

namespace curriculum {

// Where a question, a test or a run sits in the curriculum: level, course, unit,
// topic and outcome, each a choice of its filter list, where "TÜMÜ" (or nothing)
// means no restriction. Every search by curriculum (the question bank, the test
// and question pickers, automatic selection, run setup, reports, bulk changes and
// the cascade of the lists themselves) turns its choices into SQL here, once:
//
//   curriculum::CurriculumFilter f{level, course};   // the rest "TÜMÜ"
//   const auto c = f.condition(QStringLiteral("T."));
//   sql += c.sql;            // " AND T.SEVIYE=? AND T.DERS=?"
//   params << c.params;
struct CurriculumFilter {
  enum class Field { Level, Course, Unit, Topic, Outcome };
  static constexpr int kFieldCount = 5;

  // Choices left out of a braced list are empty, which restricts nothing.
  QString level{};
  QString course{};
  QString unit{};
  QString topic{};
  QString outcome{};

  // SEVIYE, DERS, UNITE, KONU, KAZANIM.
  static QString column(Field field);
  QString value(Field field) const;
  void setValue(Field field, const QString& value);
  // True when the choice restricts nothing ("TÜMÜ" or empty).
  static bool isAll(const QString& choice);

  // The choices above `field` only: what its list is narrowed by (the units of a
  // level and course, the topics of those and a unit, ...).
  CurriculumFilter above(Field field) const;

  struct Condition {
    QString sql;  // " AND SEVIYE=? ..." for every restricting choice, in field order
    QVariantList params;
  };
  // `prefix` qualifies the columns ("T." or a schema).
  Condition condition(const QString& prefix = {}) const;

  bool operator==(const CurriculumFilter&) const = default;
};

}  // namespace curriculum
