#include "screens/users/UserScreens.h"

#include "framework/ScreenRegistry.h"
#include "screens/users/frmGelismisMod.h"
#include "screens/users/frmOturumAc.h"

namespace usersui {

void registerUserScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                         users::Session& session) {
  registry.registerScreen(8, [context, &registry](QWidget* parent) {
    // The rights of screens that are not built yet would only confuse.
    QStringList built;
    for (int i = 0; i < framework::ScreenRegistry::kButtonCount; ++i)
      if (registry.has(i)) built << registry.entry(i).windowName;
    return new frmGelismisMod(context, built, parent);
  });
  registry.registerScreen(9, [context, &session](QWidget* parent) {
    return new frmOturumAc(context, &session, parent);
  });
}

}  // namespace usersui
