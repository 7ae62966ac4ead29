#include "reports/RunCriteria.h"

#include <QStringList>

namespace reports {

namespace {
const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
}

QString RunCriteria::title(View view) const {
  QString t;
  if (limit == Limit::LastRuns)
    t = QStringLiteral("SON YAPILAN %1").arg(lastRuns);
  else
    t = from.toString(kDateFormat) + QStringLiteral(" İLE ") + to.toString(kDateFormat) +
        QStringLiteral(" TARİHLERİ ARASINDA YAPILAN");
  t += QStringLiteral(" UYGULAMA İÇİN ");
  static const std::pair<curriculum::CurriculumFilter::Field, const char*> kParts[] = {
      {curriculum::CurriculumFilter::Field::Level, " SEVİYE:"},
      {curriculum::CurriculumFilter::Field::Course, " DERS:"},
      {curriculum::CurriculumFilter::Field::Unit, " ÜNİTE:"},
      {curriculum::CurriculumFilter::Field::Topic, " KONU:"},
      {curriculum::CurriculumFilter::Field::Outcome, " KAZANIM:"}};
  for (const auto& [field, caption] : kParts) {
    const QString v = curriculum.value(field);
    if (!curriculum::CurriculumFilter::isAll(v)) t += QString::fromUtf8(caption) + v;
  }
  t += QStringLiteral(" KRİTERLERİNE UYGUN BAŞARI ");
  switch (view) {
    case View::List:
      t += QStringLiteral("LİSTESİDİR");
      break;
    case View::Chart:
      t += QStringLiteral("GRAFİĞİDİR");
      break;
    case View::Podium:
      t += QStringLiteral("KÜRSÜSÜDÜR");
      break;
  }
  return t.simplified();
}

QString RunCriteria::problem() const {
  if (limit == Limit::LastRuns) {
    if (lastRuns < 1) return QStringLiteral("Son yapılan uygulama sayısı en az 1 olmalıdır.");
    return {};
  }
  if (!from.isValid() || !to.isValid()) return QStringLiteral("Tarih aralığını seçiniz.");
  if (from > to) return QStringLiteral("Başlangıç tarihi bitiş tarihinden sonra olamaz.");
  return {};
}

RunCriteria::Sql RunCriteria::sql(const QString& alias) const {
  Sql s;
  if (limit == Limit::LastRuns) {
    s.limit = std::max(1, lastRuns);
  } else {
    s.where = QStringLiteral(" AND CDATE(%1TESTTARIHI) BETWEEN CDATE(?) AND CDATE(?)").arg(alias);
    s.params << from.toString(kDateFormat) << to.toString(kDateFormat);
  }
  const curriculum::CurriculumFilter::Condition c = curriculum.condition(alias);
  s.where += c.sql;
  s.params << c.params;
  return s;
}

namespace runsql {

QString isFreeRun(const QString& testNoColumn) {
  return QStringLiteral("(UPPER(COALESCE(%1,''))='SERBEST')").arg(testNoColumn);
}

QString resolved(const QString& column, const QString& runAlias) {
  return QStringLiteral("(CASE WHEN %1 OR RT.TESTNO IS NULL THEN COALESCE(%2%3,'') ELSE RT.%3 END)")
      .arg(isFreeRun(runAlias + QStringLiteral("TESTNO")), runAlias, column);
}

QString testJoin(const QString& runAlias) {
  return QStringLiteral(
             " LEFT JOIN (SELECT TESTNO,MAX(NZ(DERS)) AS DERS,MAX(NZ(UNITE)) AS UNITE,"
             "MAX(NZ(KONU)) AS KONU,MAX(NZ(KAZANIM)) AS KAZANIM FROM TABLETEST GROUP BY TESTNO) RT "
             "ON RT.TESTNO=%1TESTNO")
      .arg(runAlias);
}

QString newestFirst(const QString& alias) {
  return QStringLiteral("CDATE(%1TESTTARIHI) DESC, CDATE(%1TESTBASLANGIC) DESC").arg(alias);
}

}  // namespace runsql

}  // namespace reports
