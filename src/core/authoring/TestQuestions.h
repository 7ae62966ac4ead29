#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace authoring {

class RandomSource;

// One row of TABLETESTSORU with its question's correct choice.
struct TestQuestion {
  int id = 0;          // ID: the row's identity in the grids (selection)
  QString soruNo;      // SORUNO
  int position = 0;    // TESTSIRANO, 1..N
  QString sure;        // SURE for this question in this test
  QString bolum;       // BOLUM (section)
  int booklet[3]{};    // BSIRASI, CSIRASI, DSIRASI; 0 when empty
  QString dogruSik;    // TABLESORU.DOGRUSIK
  QString soruIcerik;  // TABLESORU.SORUICERIK
};

// The questions of one test. Positions stay 1..N without gaps through every
// change here (booklet orders B-D close up with them); each call is one
// transaction and says store.changed(Tests) after it.
class TestQuestions {
 public:
  explicit TestQuestions(store::Store& store) : m_store(store) {}

  // The test question grid: ID, SORUNUMARASI (key), TESTSIRANO, SORUNO, SEVIYE,
  // DERS, KONU, SORUICERIK, BOLUM, SURE, DOGRUSIK, in position order.
  static store::Query gridQuery(const QString& testNo);
  Result<QList<TestQuestion>> list(const QString& testNo) const;
  Result<int> count(const QString& testNo) const;

  // Appends questions in the given order at positions N+1, N+2, ... with each
  // question's own time. Nothing is added when one of them is missing or deleted
  // ("Soru Bulunamadı") or already in the test ("Soru zaten bu teste eklenmiş").
  Status add(const QString& testNo, const QStringList& keys);
  // The same for one question with a time chosen for it (the detail view).
  Status addWithTime(const QString& testNo, const QString& key, const QString& time);
  // Removes rows (by ID); the rest close up.
  Status remove(const QString& testNo, const QList<int>& ids);
  // Moves each selected row (by ID) one place up or down, past an unselected
  // neighbour; a selected block at the top (bottom) stays where it is.
  Status moveUp(const QString& testNo, const QList<int>& ids);
  Status moveDown(const QString& testNo, const QList<int>& ids);
  Status setSection(const QString& testNo, const QList<int>& ids, const QString& section);
  // The time of the rows in this test only ("Süresiz" or seconds).
  Status setTime(const QString& testNo, const QList<int>& ids, const QString& time);
  // A uniform random new order: the question at position i goes to R(i);
  // booklet orders are not touched.
  Status shuffle(const QString& testNo, RandomSource& random);
  // Closes the gaps in positions and booklet orders (inside the caller's
  // transaction; for callers that removed rows themselves).
  Status compact(const QString& testNo);

  // "<n> SORU  (<SEVIYE> - <DERS> - <KONU>)" per group of the test's questions.
  Result<QString> statistics(const QString& testNo) const;

  static QString alreadyInTestMessage() { return QStringLiteral("Soru zaten bu teste eklenmiş"); }

 private:
  Status move(const QString& testNo, const QList<int>& ids, bool up);
  Status insertRows(const QString& testNo, const QStringList& keys, const QStringList& times);
  store::Store& m_store;
};

// "Süresiz", or a whole number of seconds from 1 to 3600.
bool isValidTime(const QString& time);

}  // namespace authoring
