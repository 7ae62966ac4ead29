#pragma once

#include <QStringList>

#include "framework/ScreenContext.h"

class QMenu;
class QWidget;

namespace framework {

// Question and test files taken in and given out: the main menu's "Dosyadan
// Soru Al" / "Dosyadan Test Al", a file handed to the program, and the exchange
// buttons of the question and test screens. Reading passes the rights check of
// SoruAl / TestAl, writing that of SoruVer / TestVer; reading shows the progress
// window over the files and tells the result.
namespace exchangeimport {

enum class Kind { Questions, Tests };
// The main menu reads one file and says "Sorular eklendi" / "Test eklendi"; the
// screens choose several (tests also inside an archive) and say how many were added.
enum class Origin { Menu, Screen };

// The right key of reading a kind ("SoruAl", "TestAl") and of writing it
// ("SoruVer", "TestVer").
QString rightKey(Kind kind);
QString writeRightKey(Kind kind);

// The file dialog of reading; empty when cancelled.
QStringList chooseFiles(QWidget* window, Kind kind, Origin origin);

// Reads the files one by one (each in its own transaction) with the progress
// window over `window`, then says what was added and names each refused file.
// Returns the number added.
int importFiles(QWidget* window, const ScreenContext& context, Kind kind, const QStringList& paths,
                Origin origin = Origin::Menu);

// Asks for the file and writes the questions or tests with these keys into it,
// then says whether the file was made. False when cancelled or refused.
bool exportFile(QWidget* window, const ScreenContext& context, Kind kind, const QStringList& keys);

}  // namespace exchangeimport

}  // namespace framework
