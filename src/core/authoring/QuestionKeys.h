#pragma once

#include <QString>

#include "Result.h"

namespace store {
class Store;
}

namespace authoring {

// Question and test keys. Keys made here are decimal numbers ("1", "2", ...,
// at most store::kMaxNumber) and, for free questions, "S" and a number;
// distributed content (packages made for many schools) has 14-character keys
// that do not start with a digit and end in a six-digit running number, and is
// never renumbered. Every list of questions is ordered by orderBy(), every new
// key comes from nextQuestionNumber() / nextTestNumber() (store::nextNumber):
// no other code computes either.
namespace keys {

// True for a key that starts with a digit (renumbering a test re-keys these).
bool isLocal(const QString& key);
// True for the key of a free question ("S" and digits): made on this board.
bool isFreeQuestionKey(const QString& key);
// True for a key of distributed content: a package that carries it replaces
// the board's copy instead of adding another. Any other key is the sender's
// own and gets a new number here.
bool isDistributed(const QString& key);

// One more than the largest numeric question key, deleted questions included
// (a marked-deleted question keeps its number); 1 on an empty bank. Keys that
// are not numbers ("S12", package keys) never count. Fails when no number
// under store::kMaxNumber is left.
Result<qint64> nextQuestionNumber(const store::Store& store);
// The same for TESTNO.
Result<qint64> nextTestNumber(const store::Store& store);
// The key of a question made for free questioning: "S" + a number that neither
// a bank question nor an earlier free question has.
Result<QString> nextFreeQuestionKey(const store::Store& store);

// ORDER BY terms of the navigation order of `column` (SORUNO or TESTNO):
// number keys (digits only) first by value, then 14-character package keys by
// the value of their last six characters, then any other key by its text.
QString orderBy(const QString& column = QStringLiteral("SORUNO"));
// The same order for C++ callers (true when a comes before b).
bool lessThan(const QString& a, const QString& b);

// "12" + position 5 -> "12005": the key a renumbered test gives its question.
QString renumberedKey(const QString& testNo, int position);

}  // namespace keys

}  // namespace authoring
