#include "screens/users/UserScreens.h"

#include "screens/users/frmGelismisMod.h"
#include "screens/users/frmOturumAc.h"
#include "shell/ScreenRegistry.h"

namespace usersui {

void registerUserScreens(shell::ScreenRegistry& registry, const ScreenContext& context,
                         users::Session& session) {
  registry.registerScreen(
      8, [context](QWidget* parent) { return new frmGelismisMod(context, parent); });
  registry.registerScreen(9, [context, &session](QWidget* parent) {
    return new frmOturumAc(context, &session, parent);
  });
}

}  // namespace usersui
