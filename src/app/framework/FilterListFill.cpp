#include "FilterListFill.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "curriculum/CurriculumLists.h"
#include "lists/FilterLists.h"

namespace filtre {

void fillCombo(QComboBox* combo, const QStringList& entries, bool selectFirst) {
  if (!combo) return;
  const QString previous = combo->currentText();
  {
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(entries);
    int index = selectFirst ? 0 : int(entries.indexOf(previous));
    if (index < 0) index = 0;
    combo->setCurrentIndex(entries.isEmpty() ? -1 : index);
  }
}

void SeviyeDoldur(QComboBox* combo, const store::Store& store) {
  fillCombo(combo, curriculum::SeviyeDoldur(store));
}
void DersDoldur(QComboBox* combo, const store::Store& store) {
  fillCombo(combo, curriculum::DersDoldur(store));
}
void UniteDoldur(QComboBox* combo, const store::Store& store,
                 const curriculum::CurriculumFilter& filter) {
  fillCombo(combo, curriculum::UniteDoldur(store, filter));
}
void KonuDoldur(QComboBox* combo, const store::Store& store,
                const curriculum::CurriculumFilter& filter) {
  fillCombo(combo, curriculum::KonuDoldur(store, filter));
}
void KazanimDoldur(QComboBox* combo, const store::Store& store,
                   const curriculum::CurriculumFilter& filter) {
  fillCombo(combo, curriculum::KazanimDoldur(store, filter));
}
void SinifDoldur(QComboBox* combo, const store::Store& store) {
  fillCombo(combo, lists::SinifDoldur(store));
}
void HazirlayanDoldur(QComboBox* combo, const store::Store& store) {
  fillCombo(combo, lists::HazirlayanDoldur(store));
}
void GrupDoldur(QComboBox* combo, const store::Store& store) {
  fillCombo(combo, lists::GrupDoldur(store), false);
}
void PuanDoldur(QComboBox* combo) { fillCombo(combo, lists::PuanDoldur()); }
void SureDoldur(QComboBox* combo) { fillCombo(combo, lists::SureDoldur()); }
void SoruTuruDoldur(QComboBox* combo) { fillCombo(combo, lists::SoruTuruDoldur(), false); }
void CevapDoldur(QComboBox* combo) { fillCombo(combo, lists::CevapDoldur(), false); }
void ZorlukDoldur(QComboBox* combo) { fillCombo(combo, lists::ZorlukDoldur(), false); }

void reloadKeepingChoice(QComboBox* combo, const std::function<void(QComboBox*)>& fill) {
  if (!combo || !fill) return;
  const QString chosen = combo->currentText();
  fill(combo);
  const int index = combo->findText(chosen, Qt::MatchExactly);
  if (index >= 0) combo->setCurrentIndex(index);
}

}  // namespace filtre
