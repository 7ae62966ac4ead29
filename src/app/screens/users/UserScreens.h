#pragma once

#include "framework/ScreenContext.h"

namespace framework {
class ScreenRegistry;
}
namespace users {
class Session;
}

// The users area's screens on the main bar: the advanced-mode window
// frmGelismisMod (button 8) and the log-in frmOturumAc (button 9), which works on
// the main window's session.
namespace usersui {

void registerUserScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                         users::Session& session);

}  // namespace usersui
