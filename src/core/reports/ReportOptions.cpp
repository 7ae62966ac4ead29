#include "reports/ReportOptions.h"

#include "store/Parameters.h"

namespace reports {

namespace {

using store::UserSettings;

int number(const QString& key, int fallback) {
  bool ok = false;
  const int v = UserSettings::get(ReportOptions::section(), key).toInt(&ok);
  return ok ? v : fallback;
}

void setNumber(const QString& key, int value) {
  UserSettings::set(ReportOptions::section(), key, QString::number(value));
}

}  // namespace

ReportOptions ReportOptions::load() {
  const QString s = section();
  ReportOptions o;
  o.hideBlanksInCharts =
      UserSettings::getBool(s, QStringLiteral("BosGorunmesin"), o.hideBlanksInCharts);
  o.hideUnchosenOptions =
      UserSettings::getBool(s, QStringLiteral("CevaplanmayanlarGorunmesin"), o.hideUnchosenOptions);
  o.showTimes = UserSettings::getBool(s, QStringLiteral("SureleriGoster"), o.showTimes);
  o.showStudents = UserSettings::getBool(s, QStringLiteral("OgrencileriGoster"), o.showStudents);
  o.showCorrectWrongBlank =
      UserSettings::getBool(s, QStringLiteral("DogruYanlisBosGoster"), o.showCorrectWrongBlank);
  o.singleList =
      UserSettings::getBool(s, QStringLiteral("DogruYanlisBosListeBirlesik"), o.singleList);
  o.generalVariant = number(QStringLiteral("DogruYanlisCevapGenel"), o.generalVariant);
  o.questionVariant = number(QStringLiteral("DogruYanlisCevap2"), o.questionVariant);
  o.studentVariant = number(QStringLiteral("DogruYanlisCevap3"), o.studentVariant);
  o.distributionVariant = number(QStringLiteral("DogruYanlisCevap4"), o.distributionVariant);
  o.chartKind = number(QStringLiteral("TestGrafik"), o.chartKind);
  return o;
}

void ReportOptions::save() const {
  const QString s = section();
  UserSettings::setBool(s, QStringLiteral("BosGorunmesin"), hideBlanksInCharts);
  UserSettings::setBool(s, QStringLiteral("CevaplanmayanlarGorunmesin"), hideUnchosenOptions);
  UserSettings::setBool(s, QStringLiteral("SureleriGoster"), showTimes);
  UserSettings::setBool(s, QStringLiteral("OgrencileriGoster"), showStudents);
  UserSettings::setBool(s, QStringLiteral("DogruYanlisBosGoster"), showCorrectWrongBlank);
  UserSettings::setBool(s, QStringLiteral("DogruYanlisBosListeBirlesik"), singleList);
  setNumber(QStringLiteral("DogruYanlisCevapGenel"), generalVariant);
  setNumber(QStringLiteral("DogruYanlisCevap2"), questionVariant);
  setNumber(QStringLiteral("DogruYanlisCevap3"), studentVariant);
  setNumber(QStringLiteral("DogruYanlisCevap4"), distributionVariant);
  setNumber(QStringLiteral("TestGrafik"), chartKind);
}

}  // namespace reports
