#pragma once

class Messages;
class QWidget;

namespace store {
class Store;
}

// The "repair" of the main menu: asks whether the question files are compacted too,
// compacts the databases with a progress window and reports the outcome. The caller
// closes the open child windows first; the store is closed and opened again here.
void runRepair(QWidget* parent, store::Store& store, Messages& messages);
