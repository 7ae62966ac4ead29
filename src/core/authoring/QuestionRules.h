#pragma once

#include <QString>

#include "Result.h"
#include "authoring/Question.h"

namespace authoring {

// The values a question may hold: one rule for every way a question comes in
// (the question screen, questions add, question and test files), so none of
// them stores what another refuses. A value outside them would make a test
// that scores every student 0 or a time the run cannot count down.

// "A" .. "E".
bool isValidChoice(const QString& letter);
// Empty, "TÜMÜ" or a value of the question screen's list.
bool isValidType(const QString& turu);
bool isValidDifficulty(const QString& zorluk);
// Empty, "TÜMÜ" or the decimal text of a whole number 0 to 100.
bool isValidPoints(const QString& puan);

// An empty time, "Süresiz" or 1 to 3600 seconds (isValidTime).
Status checkTime(const QString& sure);

// The first value of `q` that breaks its rule, named with its field in the
// message. A test question needs its correct choice unless `keyLater` (a free
// question gets it after it was asked); a survey question has none or a valid
// one. An empty time reads as "Süresiz".
Status checkQuestion(const Question& q, bool keyLater = false);

QString invalidChoiceMessage(const QString& letter);

}  // namespace authoring
