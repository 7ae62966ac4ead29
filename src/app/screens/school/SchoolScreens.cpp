#include "screens/school/SchoolScreens.h"

#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "Messages.h"
#include "school/StudentImport.h"
#include "screens/school/frmDisVeriAl.h"
#include "screens/school/frmKumandaTanimlama.h"
#include "screens/school/frmTanimlamalar.h"
#include "shell/ReceiverController.h"
#include "shell/ScreenRegistry.h"
#include "users/Rights.h"
#include "users/Session.h"

namespace schoolui {

namespace {
std::function<bool(const QString&)>& opener() {
  static std::function<bool(const QString&)> f;
  return f;
}
}  // namespace

void registerSchoolScreens(shell::ScreenRegistry& registry, const ScreenContext& context,
                           shell::ReceiverController& receiver) {
  registry.registerScreen(
      0, [context](QWidget* parent) { return new frmTanimlamalar(context, parent); });
  registry.registerScreen(1, [context, &receiver](QWidget* parent) {
    auto* screen = new frmKumandaTanimlama(context, parent);
    school::RemoteRegistration& registration = screen->registration();
    receiver.router().attach(screen, &registration);
    QObject::connect(&registration, &school::RemoteRegistration::registrationModeRequested,
                     &receiver, [&receiver](bool on) { (void)receiver.WriteSomeData(on); });
    registration.setReceiverPresent(receiver.receiverPresent());
    QObject::connect(&receiver, &shell::ReceiverController::receiverChanged, &registration,
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

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setMinimumHeight(44);
  b->setMinimumWidth(110);
  b->setAutoDefault(false);
  return b;
}

QGroupBox* group(const QString& title, QWidget* content, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* l = new QVBoxLayout(box);
  l->setContentsMargins(6, 6, 6, 6);
  l->addWidget(content);
  return box;
}

void openFile(Messages& messages, const QString& path) {
  const bool opened =
      opener() ? opener()(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  if (!opened)
    messages.info(QStringLiteral("Sonuç dosyası: %1").arg(QDir::toNativeSeparators(path)));
}

void setFileOpener(std::function<bool(const QString&)> f) { opener() = std::move(f); }

bool check(Messages& messages, const Status& status) {
  if (status.ok()) return true;
  messages.error(status.error());
  return false;
}

bool allowed(Messages& messages, const QString& rightKey) {
  if (users::Session::current().allows(rightKey)) return true;
  messages.warning(users::kDeniedMessage);
  return false;
}

}  // namespace schoolui
