#pragma once

#include <QString>
#include <QStringList>

namespace store {
class Store;
}

namespace lists {

// The drop-down lists that narrow what a screen shows, besides the curriculum lists
// (curriculum/CurriculumLists.h). Every operation returns the whole list, "TÜMÜ"
// (no restriction) first unless said otherwise; the widget layer puts it into a
// combo box (FilterListFill). Values come from TABLEPARAMETRE and TABLETEST with
// bound parameters; a null reads as empty text, a list that cannot be read offers
// only "TÜMÜ".

// The first entry of every filter list: no restriction.
inline const QString kTumu = QStringLiteral("TÜMÜ");

// Class names (SINIFI value list), alphabetical.
QStringList SinifDoldur(const store::Store& store);
// Authors of the tests, each once.
QStringList HazirlayanDoldur(const store::Store& store);
// Group names offered for test runs.
QStringList GrupDoldur(const store::Store& store);
// 0..100.
QStringList PuanDoldur();
// "Süresiz", then 5, 10, ... 600 seconds.
QStringList SureDoldur();
// Fixed vocabularies.
QStringList SoruTuruDoldur();
QStringList CevapDoldur();
QStringList ZorlukDoldur();

}  // namespace lists
