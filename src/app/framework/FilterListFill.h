#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "curriculum/CurriculumFilter.h"

class QComboBox;

namespace store {
class Store;
}

// Fills drop-down lists with the entries of lists::FilterLists and
// curriculum::CurriculumLists ("TÜMÜ" first). Each call clears the list and fills
// it without emitting change signals for the intermediate states; the lists whose
// selection the rules fix end on their first entry. The cascade between the
// curriculum lists is wired once by CurriculumFilters.
namespace filtre {

// Replaces the entries; selects the first one when `selectFirst` (otherwise the
// previous text stays chosen when it is still offered).
void fillCombo(QComboBox* combo, const QStringList& entries, bool selectFirst = true);

// Levels have no "TÜMÜ" with three-button remotes (the school's setting).
void SeviyeDoldur(QComboBox* combo, const store::Store& store);
void DersDoldur(QComboBox* combo, const store::Store& store);
// Units, topics, outcomes under the choices above them in `filter`.
void UniteDoldur(QComboBox* combo, const store::Store& store,
                 const curriculum::CurriculumFilter& filter);
void KonuDoldur(QComboBox* combo, const store::Store& store,
                const curriculum::CurriculumFilter& filter);
void KazanimDoldur(QComboBox* combo, const store::Store& store,
                   const curriculum::CurriculumFilter& filter);
void SinifDoldur(QComboBox* combo, const store::Store& store);
void HazirlayanDoldur(QComboBox* combo, const store::Store& store);
void GrupDoldur(QComboBox* combo, const store::Store& store);
void PuanDoldur(QComboBox* combo);
void SureDoldur(QComboBox* combo);
void SoruTuruDoldur(QComboBox* combo);
void CevapDoldur(QComboBox* combo);
void ZorlukDoldur(QComboBox* combo);

// Refills a list (after its values were edited) and keeps the entry the user had
// chosen when it still exists.
void reloadKeepingChoice(QComboBox* combo, const std::function<void(QComboBox*)>& fill);

}  // namespace filtre
