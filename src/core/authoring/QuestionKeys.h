#pragma once

#include <QString>

#include "Result.h"

namespace store {
class Store;
}

namespace authoring {

// Question and test keys. Keys made here are decimal numbers ("1", "2", ...);
// keys that do not start with a digit came with a distributed package and are
// never renumbered (their 14-character form ends in a six-digit running number).
// Every list of questions is ordered by orderBy(), every new key comes from
// nextQuestionNumber() / nextTestNumber(): no other code computes either.
namespace keys {

// True for a key made here (it starts with a digit).
bool isLocal(const QString& key);

// One more than the largest numeric question key, deleted questions included
// (a marked-deleted question keeps its number); 1 on an empty bank. Keys that
// are not numbers ("S12", package keys) never count.
Result<int> nextQuestionNumber(const store::Store& store);
// The same for TESTNO.
Result<int> nextTestNumber(const store::Store& store);
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
