#pragma once

#include <QStringList>

#include "widgets/ScreenContext.h"

class QMenu;
class QWidget;

namespace shell {

class MainMenuController;

// Question and test files taken in from the main window: the main menu's
// "Dosyadan Soru Al" / "Dosyadan Test Al" and a file handed to the program.
// Both pass the rights check of SoruAl / TestAl, show the progress window over
// the files and tell the result.
namespace exchangeimport {

enum class Kind { Questions, Tests };

// Adds the two items to the main window's menu, each behind the rights check.
void addMenuItems(MainMenuController& rights, QMenu* menu, QWidget* window,
                  const ScreenContext& context);

// The right key of a kind ("SoruAl", "TestAl").
QString rightKey(Kind kind);

// Reads the files one by one (each in its own transaction) with the progress
// window over `window`, then says what was added and names each refused file.
// Returns the number added.
int importFiles(QWidget* window, const ScreenContext& context, Kind kind, const QStringList& paths);

}  // namespace exchangeimport

}  // namespace shell
