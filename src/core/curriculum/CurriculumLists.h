#pragma once

#include <QStringList>

#include "curriculum/CurriculumFilter.h"

namespace store {
class Store;
}

namespace curriculum {

// The entries of the curriculum filter lists, "TÜMÜ" first (a list that cannot be
// read offers only "TÜMÜ"). The widget layer puts them into combo boxes and wires
// the cascade (CurriculumFilters); the search itself takes a CurriculumFilter.

// Offered levels in table order (hidden ones, PARAMETREACIKLAMA "1", left out).
// With three-button remotes there is no "TÜMÜ": a run always needs one level.
QStringList SeviyeDoldur(const store::Store& store);
// Offered courses in Turkish alphabetical order.
QStringList DersDoldur(const store::Store& store);
// Units, topics and outcomes of TABLETANIMLAMALAR under the choices of `filter`
// above each list ("TÜMÜ" = any), each once, in the order they were defined; empty
// values are never listed.
QStringList UniteDoldur(const store::Store& store, const CurriculumFilter& filter);
QStringList KonuDoldur(const store::Store& store, const CurriculumFilter& filter);
QStringList KazanimDoldur(const store::Store& store, const CurriculumFilter& filter);
// The list of one field.
QStringList entries(const store::Store& store, CurriculumFilter::Field field,
                    const CurriculumFilter& filter);
// The choices of a row of these lists as a screen kept them: each entry's text,
// or, kept by an older Derslik, its place in the list, read against the lists the
// screen fills, from the top as they cascade (a place past the end is "TÜMÜ").
CurriculumFilter storedChoices(const store::Store& store, const CurriculumFilter& stored);

}  // namespace curriculum
