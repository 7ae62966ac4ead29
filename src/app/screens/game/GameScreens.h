#pragma once

#include "framework/ScreenContext.h"
#include "game/GamePlayers.h"
#include "receiver/Clock.h"
#include "web/Roster.h"

class QWidget;
class frmOyun1;
class frmYoklama;

namespace framework {
class ReceiverController;
class ScreenRegistry;
}  // namespace framework

// The classroom game: the set-up in the main window, the roll call and the race
// full screen on the board.
namespace gameui {

// Puts frmOyun on the main bar (button 11, no right of its own, as the bar has
// it; menu item and button come with the registry). Its "Yoklama Al" opens the
// roll call, whose "Oyunu Başlat" opens the race. `mainWindow` is the window
// whose screen the board avoids when there are two.
void registerGameScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                         framework::ReceiverController& receiver, QWidget* mainWindow);

// The roll call of `players`, full screen, attached to the press routing; its
// start opens the race with the present players. With a `browserRoster` the
// students on it answer from their browsers through the roll call and the race,
// joined once.
frmYoklama* openAttendance(const ScreenContext& context, framework::ReceiverController& receiver,
                           const game::Players& players, QWidget* mainWindow = nullptr,
                           const receiver::Clock& clock = receiver::SteadyClock::instance(),
                           const QList<web::RosterEntry>& browserRoster = {});

// The race of the present players at `stepIntervalMs`, full screen, attached to
// the routing; null after "Oyuncu sayısı sıfır" when nobody is present.
frmOyun1* openRace(const ScreenContext& context, framework::ReceiverController& receiver,
                   const game::Players& players, int stepIntervalMs, QWidget* mainWindow = nullptr,
                   const receiver::Clock& clock = receiver::SteadyClock::instance());

}  // namespace gameui
