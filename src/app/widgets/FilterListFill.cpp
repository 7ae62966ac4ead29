#include "FilterListFill.h"

#include <QComboBox>
#include <QSignalBlocker>

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

void SeviyeDoldur(QComboBox* combo, std::optional<bool> threeButton) {
  fillCombo(combo, lists::SeviyeDoldur(threeButton.value_or(lists::ucDugmeAcik())));
}
void DersDoldur(QComboBox* combo) { fillCombo(combo, lists::DersDoldur()); }
void UniteDoldur(QComboBox* combo, const QString& level, const QString& course) {
  fillCombo(combo, lists::UniteDoldur(level, course));
}
void KonuDoldur(QComboBox* combo, const QString& level, const QString& course,
                const QString& unit) {
  fillCombo(combo, lists::KonuDoldur(level, course, unit));
}
void KazanimDoldur(QComboBox* combo, const QString& level, const QString& course,
                   const QString& unit, const QString& topic) {
  fillCombo(combo, lists::KazanimDoldur(level, course, unit, topic));
}
void SinifDoldur(QComboBox* combo) { fillCombo(combo, lists::SinifDoldur()); }
void HazirlayanDoldur(QComboBox* combo) { fillCombo(combo, lists::HazirlayanDoldur()); }
void GrupDoldur(QComboBox* combo) { fillCombo(combo, lists::GrupDoldur(), false); }
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
