#pragma once

#include <QString>
#include <QStringList>

namespace lists {

// The drop-down lists that narrow what a screen shows. Every operation returns the
// whole list, "TÜMÜ" (no restriction) first unless said otherwise; the widget layer
// puts it into a combo box (FilterListFill) and wires the cascade
// level/course -> units -> topics -> outcomes (CurriculumFilters).
// Values come from TABLEPARAMETRE, TABLETANIMLAMALAR and TABLETEST with bound
// parameters; a null reads as empty text.

inline const QString kTumu = QStringLiteral("TÜMÜ");

// Levels in table order, hidden ones (PARAMETREACIKLAMA = "1") left out. With
// three-button remotes the list has no "TÜMÜ": a run always needs one level.
QStringList SeviyeDoldur(bool threeButton);
// Whether the school uses three-button remotes (TABLEOKUL.UCDUGME other than "0").
bool ucDugmeAcik();

// Courses in Turkish alphabetical order, hidden ones left out.
QStringList DersDoldur();
// Units / topics / outcomes of TABLETANIMLAMALAR for the choices above ("TÜMÜ" =
// any), each once, in the order they were defined; empty values are never listed.
QStringList UniteDoldur(const QString& level, const QString& course);
QStringList KonuDoldur(const QString& level, const QString& course, const QString& unit);
QStringList KazanimDoldur(const QString& level, const QString& course, const QString& unit,
                          const QString& topic);
// Class names (SINIFI value list), alphabetical.
QStringList SinifDoldur();
// Authors of the tests, each once.
QStringList HazirlayanDoldur();
// Group names offered for test runs.
QStringList GrupDoldur();
// 0..100.
QStringList PuanDoldur();
// "Süresiz", then 5, 10, ... 600 seconds.
QStringList SureDoldur();
// Fixed vocabularies.
QStringList SoruTuruDoldur();
QStringList CevapDoldur();
QStringList ZorlukDoldur();

}  // namespace lists
