#include "reports/Penalty.h"

namespace reports {

Penalty penaltyFromStored(const QString& stored) {
  const QString t = stored.trimmed();
  if (t == QLatin1String("0")) return Penalty::None;
  if (t == QLatin1String("1")) return Penalty::ThreeWrongs;
  return Penalty::FourWrongs;
}

QString storedPenalty(Penalty penalty) { return QString::number(int(penalty)); }

std::optional<Penalty> penaltyFromOption(const QString& option) {
  if (option == QLatin1String("0")) return Penalty::None;
  if (option == QLatin1String("1")) return Penalty::ThreeWrongs;
  if (option == QLatin1String("2")) return Penalty::FourWrongs;
  return std::nullopt;
}

qint64 netTwelfths(int correct, int wrong, Penalty penalty) {
  switch (penalty) {
    case Penalty::None:
      return 12LL * correct;
    case Penalty::ThreeWrongs:
      return 12LL * correct - 4LL * wrong;
    case Penalty::FourWrongs:
      break;
  }
  return 12LL * correct - 3LL * wrong;
}

double net(int correct, int wrong, Penalty penalty) {
  return double(netTwelfths(correct, wrong, penalty)) / 12.0;
}

QString netSql(const QString& correct, const QString& wrong, const QString& stored) {
  return QStringLiteral(
             "(CASE TRIM(COALESCE(%3,'')) WHEN '0' THEN (%1)*1.0 WHEN '1' THEN (%1)-(%2)/3.0 "
             "ELSE (%1)-(%2)/4.0 END)")
      .arg(correct, wrong, stored);
}

QString runPenaltySql(const QString& alias) {
  return QStringLiteral(
             "(SELECT MAX(COALESCE(PU.YANLISDOGRUGOTURU,'')) FROM TABLEUYGULAMA PU WHERE "
             "PU.TESTTARIHI=%1TESTTARIHI AND PU.TESTBASLANGIC=%1TESTBASLANGIC)")
      .arg(alias);
}

QString resultNetSql(const QString& alias) {
  return netSql(QStringLiteral("VAL(%1DOGRUSAYI)").arg(alias),
                QStringLiteral("VAL(%1YANLISSAYI)").arg(alias), runPenaltySql(alias));
}

QString runPenaltyJoin(const QString& alias, const QString& joinAlias) {
  return QStringLiteral(
             " LEFT JOIN (SELECT TESTTARIHI,TESTBASLANGIC,MAX(COALESCE(YANLISDOGRUGOTURU,'')) AS "
             "CEZA FROM TABLEUYGULAMA GROUP BY TESTTARIHI,TESTBASLANGIC) %2 ON "
             "%2.TESTTARIHI=%1TESTTARIHI AND %2.TESTBASLANGIC=%1TESTBASLANGIC")
      .arg(alias, joinAlias);
}

QString joinedResultNetSql(const QString& alias, const QString& joinAlias) {
  return netSql(QStringLiteral("VAL(%1DOGRUSAYI)").arg(alias),
                QStringLiteral("VAL(%1YANLISSAYI)").arg(alias),
                joinAlias + QStringLiteral(".CEZA"));
}

}  // namespace reports
