#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

#include "curriculum/CurriculumFilter.h"

namespace reports {

// Which runs the success ranking and the progress report count: the N newest runs
// of each student (or class), or the runs between two dates, narrowed by level,
// course, unit, topic and outcome as recorded on the result rows. The report
// selection screen fills it from its page; both reports and the command line take
// it as it is.
struct RunCriteria {
  enum class Limit { LastRuns, DateRange };
  Limit limit = Limit::LastRuns;
  int lastRuns = 10;  // "SON YAPILAN N"
  QDate from;         // DateRange: both days count
  QDate to;
  curriculum::CurriculumFilter curriculum;  // "TÜMÜ" or empty: no restriction

  // What the reports are called on screen and in their files.
  enum class View { List, Chart, Podium };
  // "SON YAPILAN 5 UYGULAMA İÇİN DERS:MATEMATİK KRİTERLERİNE UYGUN BAŞARI LİSTESİDİR",
  // "01.09.2026 İLE 30.09.2026 TARİHLERİ ARASINDA YAPILAN UYGULAMA İÇİN ... GRAFİĞİDİR".
  QString title(View view = View::List) const;
  // Empty when the criteria can be used, else what to mend, in Turkish.
  QString problem() const;

  struct Sql {
    QString where;  // " AND ..." over a TABLESONUC alias: date range and curriculum
    QVariantList params;
    int limit = 0;  // > 0: keep only that many newest runs per subject
  };
  // `alias` qualifies the TABLESONUC columns ("S.").
  Sql sql(const QString& alias) const;
};

// SQL over the stored runs, written once for every report that needs it.
namespace runsql {
// True (1) for a free-questioning run: its test number is "SERBEST" in any case.
QString isFreeRun(const QString& testNoColumn);
// The course (unit, topic, outcome) of a run: for free runs and runs whose test no
// longer exists the run's own value, otherwise the test's. `runAlias` is the alias
// of the row holding TESTNO and the run's own columns ("U." or "S."); the query
// joins the tests with testJoin() of the same alias.
QString resolved(const QString& column, const QString& runAlias);
QString testJoin(const QString& runAlias);
// Newest run first, by the run's date and then its start time.
QString newestFirst(const QString& alias);
}  // namespace runsql

}  // namespace reports
