#pragma once

#include <QString>
#include <QStringList>

namespace board {

// Whether the kernel's input device list (the text of /proc/bus/input/devices)
// holds a real keyboard: a device with letter keys that repeat. Power buttons,
// volume keys and remote receivers report keys too, but no letters.
bool listsKeyboard(const QString& procInputDevices);
// The same, read from this machine; false where the list cannot be read.
bool keyboardAttached();

// Whether a running program (its process name) is a screen keyboard of the
// desktop that Derslik should leave alone.
bool isScreenKeyboardProgram(const QString& processName);
// The same over this machine's running programs.
bool systemScreenKeyboardRunning();

}  // namespace board
