#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QComboBox;

// Fills drop-down lists with the entries of lists::FilterLists ("TÜMÜ" first).
// Each call clears the list and fills it without emitting change signals for the
// intermediate states; the lists whose selection the rules fix end on their first
// entry. The cascade between lists is wired once by CurriculumFilters.
namespace filtre {

// Replaces the entries; selects the first one when `selectFirst` (otherwise the
// previous text stays chosen when it is still offered).
void fillCombo(QComboBox* combo, const QStringList& entries, bool selectFirst = true);

// `threeButton` defaults to the school's setting (TABLEOKUL.UCDUGME).
void SeviyeDoldur(QComboBox* combo, std::optional<bool> threeButton = std::nullopt);
void DersDoldur(QComboBox* combo);
void UniteDoldur(QComboBox* combo, const QString& level, const QString& course);
void KonuDoldur(QComboBox* combo, const QString& level, const QString& course, const QString& unit);
void KazanimDoldur(QComboBox* combo, const QString& level, const QString& course,
                   const QString& unit, const QString& topic);
void SinifDoldur(QComboBox* combo);
void HazirlayanDoldur(QComboBox* combo);
void GrupDoldur(QComboBox* combo);
void PuanDoldur(QComboBox* combo);
void SureDoldur(QComboBox* combo);
void SoruTuruDoldur(QComboBox* combo);
void CevapDoldur(QComboBox* combo);
void ZorlukDoldur(QComboBox* combo);

// Refills a list (after its values were edited) and keeps the entry the user had
// chosen when it still exists.
void reloadKeepingChoice(QComboBox* combo, const std::function<void(QComboBox*)>& fill);

}  // namespace filtre
