#pragma once

#include <QRect>

#include <functional>

#include "board/BoardSettings.h"

class QPushButton;
class QSize;
class QWidget;

namespace framework {

// A run's commands on a board stand in a column on the side of the board the
// teacher chose, low enough for a teacher of any height; elsewhere they keep
// their row along the bottom.
bool commandsInColumn();
board::CommandSide commandSide();

// "Komutları Sola Al" / "Komutları Sağa Al": moves the commands, remembers the
// side and tells `moved`.
QPushButton* sideSwitchButton(QWidget* parent, std::function<void(board::CommandSide)> moved);

// Where a floating bar of `size` stands on the chosen side of `available`: at
// its edge, its foot a little above the bottom.
QRect placeOnSide(const QRect& available, const QSize& size, board::CommandSide side);

}  // namespace framework
