#pragma once

#include <QString>

namespace board {

// A finger covers about a centimetre: nothing smaller may be a target.
inline constexpr double kTargetMillimetres = 10.0;
// Below this a control is hard to hit on any board, whatever the screen says of
// itself; it is also the size when the screen reports no usable density.
inline constexpr int kMinimumTargetPixels = 44;

// The smallest side of a finger target in logical pixels on a screen of
// `devicePixelsPerInch` (physical pixels per inch) shown at `devicePixelRatio`
// physical pixels per logical one: 10 mm, never below 44 logical pixels. A
// density that is missing or absurd (a screen that reports 0 mm or 1 mm) gives 44.
int minimumTargetPixels(double devicePixelsPerInch, double devicePixelRatio);

// The space left between two neighbouring targets, so that a finger aimed at
// one does not press the other.
int targetGapPixels(int targetPixels);

enum class KeyboardMode { Automatic, Always, Never };
enum class CommandSide { Left, Right };

// The board's settings, kept with the person's other settings ("Tahta").
struct BoardSettings {
  bool touchBoard = false;  // "Dokunmatik tahta": large targets, finger scrolling
  KeyboardMode keyboard = KeyboardMode::Automatic;
  CommandSide commandSide = CommandSide::Right;  // where a run's commands stand

  // A board that never had the setting follows whether a touch screen is attached.
  static BoardSettings load(bool touchScreenPresent);
  void save() const;

  static QString keyboardCaption(KeyboardMode mode);
};

// Whether Derslik starts its own on-screen keyboard. "Kendiliğinden" opens it
// only where no keyboard is attached and the desktop shows no screen keyboard of
// its own (two keyboards would cover the form).
bool useOwnScreenKeyboard(KeyboardMode mode, bool keyboardAttached, bool systemKeyboardShown);

}  // namespace board
