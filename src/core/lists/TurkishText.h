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
// The form text is compared in when case must not matter (filters, searches,
// duplicate checks): turkishLower with the circumflex dropped ("Hâlâ" -> "hala",
// "Kâtip" -> "katip"), since a reader types "hali" for "hâli" and means the same
// word. SQL has it as TRFOLD(s).
QString turkishFold(QStringView text);

}  // namespace lists
