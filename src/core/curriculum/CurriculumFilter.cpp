#include "curriculum/CurriculumFilter.h"

#include "lists/FilterLists.h"

namespace curriculum {

QString CurriculumFilter::column(Field field) {
  switch (field) {
    case Field::Level:
      return QStringLiteral("SEVIYE");
    case Field::Course:
      return QStringLiteral("DERS");
    case Field::Unit:
      return QStringLiteral("UNITE");
    case Field::Topic:
      return QStringLiteral("KONU");
    case Field::Outcome:
      return QStringLiteral("KAZANIM");
  }
  return {};
}

QString CurriculumFilter::value(Field field) const {
  switch (field) {
    case Field::Level:
      return level;
    case Field::Course:
      return course;
    case Field::Unit:
      return unit;
    case Field::Topic:
      return topic;
    case Field::Outcome:
      return outcome;
  }
  return {};
}

void CurriculumFilter::setValue(Field field, const QString& v) {
  switch (field) {
    case Field::Level:
      level = v;
      break;
    case Field::Course:
      course = v;
      break;
    case Field::Unit:
      unit = v;
      break;
    case Field::Topic:
      topic = v;
      break;
    case Field::Outcome:
      outcome = v;
      break;
  }
}

bool CurriculumFilter::isAll(const QString& choice) {
  return choice.isEmpty() || choice == lists::kTumu;
}

CurriculumFilter CurriculumFilter::above(Field field) const {
  CurriculumFilter f;
  // Level and course are both "above" the unit; neither narrows the other.
  for (int i = 0; i < int(field); ++i) {
    const auto f0 = static_cast<Field>(i);
    if (field == Field::Course && f0 == Field::Level) continue;
    f.setValue(f0, value(f0));
  }
  return f;
}

CurriculumFilter::Condition CurriculumFilter::condition(const QString& prefix) const {
  Condition c;
  for (int i = 0; i < kFieldCount; ++i) {
    const auto field = static_cast<Field>(i);
    const QString v = value(field);
    if (isAll(v)) continue;
    c.sql += QStringLiteral(" AND ") + prefix + column(field) + QStringLiteral("=?");
    c.params << v;
  }
  return c;
}

}  // namespace curriculum
