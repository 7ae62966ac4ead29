#pragma once

#include <QString>

#include "Result.h"

namespace store {

class Store;

// Data touches of the start-up that live in the main database; each is safe to
// call at every start.

// Hides the level "ÜNİVERSİTE HAZIRLIK" and the courses "TÜRK DİLİ VE EDEBİYATI",
// "SOSYAL BİLGİLER" and "FEN VE TEKNOLOJİ" once for the three institutions that
// asked for it (by TABLEOKUL.KURUMKODU). True when it did so now.
Result<bool> applyInstitutionCorrections(Store& store);

// The column layout of the relative report grid: inserted when missing, else its
// test-name width is set back to 4650.
Status seedRelativeReportLayout(Store& store);

// Name of the single parameter that records that the corrections were applied.
inline const QString kInstitutionCorrectionMarker = QStringLiteral("KURUMDUZELTMESI");

}  // namespace store
