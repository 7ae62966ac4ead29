#pragma once

class QApplication;

namespace shell {

// The program's names, icon and Qt's own Turkish texts, set before any window.
// No display name is set: the desktop would append it to every window caption
// ("... — Derslik") that already names the program.
void setUpApplication(QApplication& app);

}  // namespace shell
