#pragma once

#include <QString>
#include <QStringList>

namespace reports {

// The key the class's majority gives a question: the letter A-E chosen most often
// among `answers`. Blank ("X") and missing answers are not counted, so a question
// most of the class skipped still gets the letter the others agreed on; a tie
// goes to the letter first in the alphabet; with no letter at all the key stays
// empty. The run's automatic majority and the report's "Çoğunluğun Cevabını Doğru
// Kabul Et" both decide with this.
QString majorityKey(const QStringList& answers);

}  // namespace reports
