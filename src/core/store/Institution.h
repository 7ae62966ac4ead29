#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include "Result.h"

namespace store {

class Store;

// The institution's one row of TABLEOKUL, read in one place. Every rule about an
// institution-wide option asks this value, never the table: the program keeps the
// current one in Store::institution(), re-read after each write made through the
// functions below (which also send Store::institutionChanged).
struct Institution {
  // The options of the advanced-mode window, each stored as "1" or "0".
  enum class Option { AdvancedMode, Kindergarten, ThreeButton, DesktopShortcut };

  QString code;        // KURUMKODU
  QString name;        // OKULADI
  QString schoolYear;  // SINIFATLATMADONEM: the school year of the last rollover offer
  // The three-button setting: the first non-blank UCDUGME, "0" when there is none.
  QString threeButtonSetting = QStringLiteral("0");
  bool advancedMode = false;     // GELISMISMOD
  bool kindergarten = false;     // ANAOKULU
  bool desktopShortcut = false;  // OTOMATIKKISAYOL

  // Three-button remotes: any setting other than "0". This one test decides the
  // E-as-C rule, automatic school numbers, the level list without "TÜMÜ", the
  // forced run options and the refusal of the rollover.
  bool threeButton() const { return threeButtonSetting != QLatin1String("0"); }
  bool option(Option option) const;

  static QString column(Option option);  // "GELISMISMOD", "ANAOKULU", "UCDUGME", ...
  // A numeric option is on when its first non-blank value is a number above 0.
  static Result<Institution> read(const QSqlDatabase& db);
};

// Writes "1" or "0" into the option's column (into a new row when there is none).
Status setOption(Store& store, Institution::Option option, bool on);
// The first save (no institution code yet) also records the school year of
// `today`: a school that starts using Derslik is already in its year, and the
// rollover must not be offered for the students it is about to enter.
Status saveInstitution(Store& store, const QString& code, const QString& name,
                       const QDate& today = QDate::currentDate());
// Records the school year the rollover was offered for (whatever was answered).
Status recordSchoolYear(Store& store, const QString& label);
// Inserts the row (OKULADI ' ') when TABLEOKUL is empty; true when it inserted.
Result<bool> ensureInstitutionRow(Store& store);

Result<bool> agreementAccepted(const Store& store);
Status acceptAgreement(Store& store, const QString& programVersion);

// School-year label of a date: "2025-2026" from July 2025 on, "2024-2025" up to June 2025.
QString schoolYearLabel(const QDate& date);
// True when no TABLEOKUL row records this label and there is at least one student:
// start-up then offers the school-year rollover.
Result<bool> rolloverDue(const Store& store, const QString& label);

}  // namespace store
