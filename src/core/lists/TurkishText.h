#pragma once

#include <QString>
#include <QStringView>

namespace lists {

// Case rules of Turkish text. Dotted and dotless i are different letters:
// "i" <-> "İ" and "ı" <-> "I"; every other letter takes its ordinary case.
// The mappings are written out here (not left to the C library) so that the grid,
// the editors and the SQL functions TRUPPER/TRLOWER agree on every machine.

// "ılık istanbul" -> "ILIK İSTANBUL".
QString turkishUpper(QStringView text);
// "IŞIK İĞNE" -> "ışık iğne".
QString turkishLower(QStringView text);
// The form text is compared in when case must not matter (filters, duplicate checks).
// Same as turkishLower, kept apart so a later change of the matching rule has one place.
inline QString turkishFold(QStringView text) { return turkishLower(text); }

}  // namespace lists
