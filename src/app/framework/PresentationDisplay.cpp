#include "framework/PresentationDisplay.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "store/Parameters.h"

namespace framework {

namespace {

const QString kSection = QStringLiteral("Onizleme");
const QString kKey = QStringLiteral("Ekran");

}  // namespace

int presentationScreenIndex(const QStringList& screens, int mainWindowScreen,
                            const QString& remembered) {
  if (screens.isEmpty()) return -1;
  if (screens.size() == 1) return 0;
  if (const int at = int(screens.indexOf(remembered)); at >= 0 && !remembered.isEmpty()) return at;
  for (int i = 0; i < screens.size(); ++i)
    if (i != mainWindowScreen) return i;
  return 0;
}

QScreen* presentationScreen(const QWidget* mainWindow) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  QStringList names;
  for (const QScreen* s : screens) names << s->name();
  const QScreen* own = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
  const int index = presentationScreenIndex(names, int(screens.indexOf(own)),
                                            store::UserSettings::get(kSection, kKey));
  return index < 0 ? QGuiApplication::primaryScreen() : screens.at(index);
}

void rememberPresentationScreen(const QScreen* screen) {
  // One screen tells nothing about where a projector would be.
  if (screen && QGuiApplication::screens().size() > 1)
    store::UserSettings::set(kSection, kKey, screen->name());
}

void showFullScreenOn(QWidget* window, QScreen* screen) {
  if (screen) {
    window->setGeometry(screen->geometry());
    if (QWindow* handle = window->windowHandle()) handle->setScreen(screen);
  }
  window->showFullScreen();
}

}  // namespace framework
