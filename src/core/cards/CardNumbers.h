#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include "Result.h"
#include "activity/ClassRoster.h"

namespace store {
class Store;
}

namespace cards {

// A student of a class with their card: it answers under `student.address`
// (their paired remote's, or their card address "902-KAYITNO").
struct CardHolder {
  activity::RosterEntry student;
  int card = 0;  // 0: no card given yet
};

// The card numbers of the students. A number stays its student's (through the
// rollover too) until a new card replaces it; the replaced number is refused
// from then on and never given again within the class. Numbers are the tag
// family's ids, 1..586, unique within a class.
class CardNumbers {
 public:
  explicit CardNumbers(store::Store& store) : m_store(store) {}

  // The active students of `className` in school-number order, with their cards.
  Result<QList<CardHolder>> classCards(const QString& className) const;
  // Gives a card to every student of the class without one, and a new one to a
  // student whose number a classmate held first (a student moved in from
  // another class); one transaction. The class as classCards() gives it.
  Result<QList<CardHolder>> giveCards(const QString& className);
  // A new card for a student whose card was lost: the old number is refused.
  Result<int> newCard(const QString& kayitNo);
  // KAYITNO → card number, every student with a card (for lists).
  Result<QHash<QString, int>> allCards() const;

 private:
  Result<int> freeNumber(const QString& className) const;
  Status give(const QString& kayitNo, const QString& className);
  store::Store& m_store;
};

}  // namespace cards
