#pragma once

#include <QDate>
#include <QString>

#include "Result.h"
#include "store/StartupData.h"  // threeButtonSetting()

namespace store {

// The institution's single row in TABLEOKUL and the acceptance of the terms of use:
// the first-run data the start-up checks and the institution-wide options.

bool agreementAccepted();
Status acceptAgreement(const QString& programVersion);

// Inserts the row (OKULADI ' ') when TABLEOKUL is empty; true when it inserted.
Result<bool> ensureInstitutionRow();
// First non-blank value of a TABLEOKUL column ("" when none).
QString institutionValue(const QString& column);
// A numeric option of TABLEOKUL (GELISMISMOD, ANAOKULU, OTOMATIKKISAYOL ...) is on
// when its first non-blank value is a number greater than 0.
bool institutionOptionOn(const QString& column);
// Writes one TABLEOKUL column (the row is created when missing).
Status setInstitutionValue(const QString& column, const QString& value);
// The first save (no institution code yet) also records the school year of
// `today`: a school that starts using Derslik is already in its year, and the
// rollover must not be offered for the students it is about to enter.
Status saveInstitution(const QString& code, const QString& name,
                       const QDate& today = QDate::currentDate());

// School-year label of a date: "2025-2026" from July 2025 on, "2024-2025" up to June 2025.
QString schoolYearLabel(const QDate& date);
// True when no TABLEOKUL row records this label and there is at least one student:
// start-up then offers the school-year rollover.
bool rolloverDue(const QString& label);

}  // namespace store
