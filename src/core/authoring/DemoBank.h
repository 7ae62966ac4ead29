#pragma once

#include "Result.h"

namespace store {
class Store;
}

namespace authoring {

// The question bank of the demo school: about 200 questions drawn by the
// program (readable Turkish stems with five choices) for levels 5-7 in
// mathematics, Turkish, science, social studies and English, with their units
// defined; most typed, some drawn as pictures (figures and charts). Five tests
// built from them, one with booklets B and C. Does nothing when the bank has
// questions already. One transaction; needs a QGuiApplication (it draws).
Status createDemoBank(store::Store& store);

}  // namespace authoring
