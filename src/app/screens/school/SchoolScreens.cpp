#include "screens/school/SchoolScreens.h"
#include "framework/ScreenHelpers.h"

#include "Messages.h"
#include "framework/ReceiverController.h"
#include "framework/ScreenRegistry.h"
#include "school/StudentImport.h"
#include "screens/school/frmDisVeriAl.h"
#include "screens/school/frmKumandaTanimlama.h"
#include "screens/school/frmTanimlamalar.h"

namespace schoolui {

void registerSchoolScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                           framework::ReceiverController& receiver) {
  registry.registerScreen(
      0, [context](QWidget* parent) { return new frmTanimlamalar(context, parent); });
  registry.registerScreen(1, [context, &receiver](QWidget* parent) {
    auto* screen = new frmKumandaTanimlama(context, parent);
    school::RemoteRegistration& registration = screen->registration();
    receiver.router().attach(screen, &registration);
    QObject::connect(&registration, &school::RemoteRegistration::registrationModeRequested,
                     &receiver, [&receiver](bool on) { (void)receiver.WriteSomeData(on); });
    registration.setReceiverPresent(receiver.receiverPresent());
    QObject::connect(&receiver, &framework::ReceiverController::receiverChanged, &registration,
                     &school::RemoteRegistration::setReceiverPresent);
    return screen;
  });
}

void openStudentImport(const ScreenContext& context) {
  if (!school::StudentImport(context.store).canOpen()) {
    context.messages.warning(school::StudentImport::openRefusal());
    return;
  }
  auto* screen = new frmDisVeriAl(context);
  if (context.showScreen) {
    context.showScreen(screen);
    return;
  }
  screen->setAttribute(Qt::WA_DeleteOnClose);
  screen->resize(1000, 700);
  screen->show();
}

}  // namespace schoolui
