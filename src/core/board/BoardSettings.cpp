#include "board/BoardSettings.h"

#include <algorithm>
#include <cmath>

#include "store/Parameters.h"

namespace board {

namespace {
const QString kSection = QStringLiteral("Tahta");
const QString kTouchKey = QStringLiteral("Dokunmatik");
const QString kKeyboardKey = QStringLiteral("EkranKlavyesi");
const QString kSideKey = QStringLiteral("KomutTarafi");

// Densities outside this band come from screens that misreport their size: a
// 110-inch board at 1920 pixels has about 20, a phone about 500.
constexpr double kLowestDensity = 15.0;
constexpr double kHighestDensity = 1000.0;
constexpr double kMillimetresPerInch = 25.4;

QString keyboardToken(KeyboardMode mode) {
  switch (mode) {
    case KeyboardMode::Always:
      return QStringLiteral("HerZaman");
    case KeyboardMode::Never:
      return QStringLiteral("HicbirZaman");
    case KeyboardMode::Automatic:
      break;
  }
  return QStringLiteral("Kendiliginden");
}
}  // namespace

int minimumTargetPixels(double devicePixelsPerInch, double devicePixelRatio) {
  if (!std::isfinite(devicePixelsPerInch) || !std::isfinite(devicePixelRatio) ||
      devicePixelRatio <= 0.0 || devicePixelsPerInch < kLowestDensity ||
      devicePixelsPerInch > kHighestDensity)
    return kMinimumTargetPixels;
  const double logical =
      kTargetMillimetres / kMillimetresPerInch * devicePixelsPerInch / devicePixelRatio;
  return std::max(kMinimumTargetPixels, static_cast<int>(std::ceil(logical)));
}

int targetGapPixels(int targetPixels) { return std::max(8, targetPixels / 5); }

BoardSettings BoardSettings::load(bool touchScreenPresent) {
  using store::UserSettings;
  BoardSettings s;
  s.touchBoard = UserSettings::getBool(kSection, kTouchKey, touchScreenPresent);
  const QString keyboard = UserSettings::get(kSection, kKeyboardKey);
  if (keyboard == keyboardToken(KeyboardMode::Always))
    s.keyboard = KeyboardMode::Always;
  else if (keyboard == keyboardToken(KeyboardMode::Never))
    s.keyboard = KeyboardMode::Never;
  s.commandSide = UserSettings::get(kSection, kSideKey) == QLatin1String("Sol")
                      ? CommandSide::Left
                      : CommandSide::Right;
  return s;
}

void BoardSettings::save() const {
  using store::UserSettings;
  UserSettings::setBool(kSection, kTouchKey, touchBoard);
  UserSettings::set(kSection, kKeyboardKey, keyboardToken(keyboard));
  UserSettings::set(
      kSection, kSideKey,
      commandSide == CommandSide::Left ? QStringLiteral("Sol") : QStringLiteral("Sag"));
}

QString BoardSettings::keyboardCaption(KeyboardMode mode) {
  switch (mode) {
    case KeyboardMode::Always:
      return QStringLiteral("Her zaman");
    case KeyboardMode::Never:
      return QStringLiteral("Hiçbir zaman");
    case KeyboardMode::Automatic:
      break;
  }
  return QStringLiteral("Kendiliğinden");
}

bool useOwnScreenKeyboard(KeyboardMode mode, bool keyboardAttached, bool systemKeyboardShown) {
  switch (mode) {
    case KeyboardMode::Always:
      return true;
    case KeyboardMode::Never:
      return false;
    case KeyboardMode::Automatic:
      break;
  }
  return !keyboardAttached && !systemKeyboardShown;
}

}  // namespace board
