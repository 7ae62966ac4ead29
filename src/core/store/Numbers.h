#pragma once

#include <QString>

#include "Result.h"

namespace store {

class Store;

// The numbers Derslik gives as keys (questions, tests, registration numbers)
// are decimal digits stored as text. Every reader of such a key (VAL, the
// orderings through REAL) holds a number of up to 15 digits exactly, so no key
// is ever made or accepted above kMaxNumber: a larger one would sort and
// compare wrongly. Numbers are computed in 64 bits throughout.
inline constexpr qint64 kMaxNumber = 999'999'999'999'999;

// True for a key of digits only: the keys the next number counts.
bool isNumberKey(const QString& key);

// The number of a key made of digits; -1 for any other key and for one above
// kMaxNumber.
qint64 numberOf(const QString& key);

// The next free number: one more than the largest key of `column` in `table`
// that is `prefix` followed by digits only ("12" counts, "12A", "1.5", " 7",
// "S3" without the prefix do not); 1 when there is none. Fails with
// exhaustedMessage() when it would pass kMaxNumber. This is the one rule every
// new question, test and student number comes from.
Result<qint64> nextNumber(const Store& store, const QString& table, const QString& column,
                          const QString& prefix = {});

// Fails with exhaustedMessage() when `count` numbers from `first` on do not all
// fit under kMaxNumber (an import that hands out many at once).
Status checkNumbers(qint64 first, qint64 count);

QString exhaustedMessage();

}  // namespace store
