#pragma once

#include <QString>

#include "Result.h"

namespace users {

// The institution-wide options of TABLEOKUL, each "1" or "0".
enum class Option { GelismisMod, Anaokulu, UcDugme, OtomatikKisayol };

QString columnOf(Option option);

// True when the first non-blank value of the option's column is a number above 0.
bool optionOn(Option option);
// Writes "1" or "0" into the option's column (into a new TABLEOKUL row when the
// table has none).
Status setOption(Option option, bool on);

bool advancedModeOn();
// The main window's three-button setting: the first non-blank UCDUGME, else "0".
QString threeButtonSetting();

}  // namespace users
