#pragma once

#include <QList>
#include <QString>

class QScreen;
class QWidget;

namespace framework {

// Where the presentation opens. With two screens (laptop and projector) it goes
// on the projector and the main window stays on the laptop: the screen chosen
// last time when it is still there, else the first screen the main window is not
// on. With one screen, that one.
QScreen* presentationScreen(const QWidget* mainWindow);
// The choice from the names of the screens (for the rule alone).
int presentationScreenIndex(const QStringList& screens, int mainWindowScreen,
                            const QString& remembered);
// Remembers the screen a presentation was on when it closed.
void rememberPresentationScreen(const QScreen* screen);
// Full screen on `screen`. Without a window manager a full-screen window stays
// small, so it is first given the screen's whole geometry.
void showFullScreenOn(QWidget* window, QScreen* screen);

}  // namespace framework
