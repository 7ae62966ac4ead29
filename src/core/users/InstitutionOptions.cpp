#include "users/InstitutionOptions.h"

#include "store/Institution.h"

namespace users {

QString columnOf(Option option) {
  switch (option) {
    case Option::GelismisMod:
      return QStringLiteral("GELISMISMOD");
    case Option::Anaokulu:
      return QStringLiteral("ANAOKULU");
    case Option::UcDugme:
      return QStringLiteral("UCDUGME");
    case Option::OtomatikKisayol:
      return QStringLiteral("OTOMATIKKISAYOL");
  }
  return {};
}

bool optionOn(Option option) { return store::institutionOptionOn(columnOf(option)); }

Status setOption(Option option, bool on) {
  return store::setInstitutionValue(columnOf(option),
                                    on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool advancedModeOn() { return optionOn(Option::GelismisMod); }

QString threeButtonSetting() { return store::threeButtonSetting(); }

}  // namespace users
