#pragma once

#include <functional>

class Messages;
class QMenu;

namespace framework {

// "Tahta": the board's settings in a menu of the main window ("Dokunmatik
// tahta", "Ekran klavyesi"). `mayChange` is the rights check every menu item
// passes; a refused change leaves the ticks as they were.
QMenu* addBoardMenu(QMenu* parent, Messages& messages, std::function<bool()> mayChange);

}  // namespace framework
