#include "delivery/RunContent.h"

#include <QSqlQuery>

#include <cmath>

#include "authoring/QuestionMedia.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"

namespace delivery {

namespace {

const QString kUntimed = QStringLiteral("Süresiz");

QString secondsText(qint64 seconds) {
  return seconds > 0 ? QString::number(seconds) + QStringLiteral(" sn") : kUntimed;
}

}  // namespace

int RunContent::secondsFor(const RunQuestion& question, const RunSettings& settings) {
  switch (settings.duration) {
    case RunSettings::Duration::Untimed:
      return 0;
    case RunSettings::Duration::Fixed:
      return std::max(settings.fixedSeconds, 0);
    case RunSettings::Duration::PerQuestion:
      break;
  }
  const double v = store::jetVal(question.time);
  return v >= 1 ? int(std::floor(v)) : 0;
}

Result<RunContent> RunContent::load(store::Store& store, const QString& testNo,
                                    const RunSettings& settings) {
  Result<QSqlQuery> test = store.exec(
      QStringLiteral("SELECT NZ(BASLANGICEKRANIGOSTER),NZ(SORUSAYILARINIGOSTER) FROM TABLETEST "
                     "WHERE TESTNO=? LIMIT 1"),
      {testNo});
  if (!test) return Result<RunContent>::failure(test.error());
  if (!test.value().next()) return Result<RunContent>::failure(QStringLiteral("Test Bulunamadı"));
  RunContent content;
  content.startScreen = test.value().value(0).toString() != QLatin1String("0");
  content.questionStatistics = test.value().value(1).toString() != QLatin1String("0");
  test.value().finish();

  Result<QSqlQuery> questions = store.exec(
      QStringLiteral("SELECT NZ(T.SORUNO),NZ(T.SURE),NZ((SELECT S.DOGRUSIK FROM TABLESORU S "
                     "WHERE S.SORUNO=T.SORUNO LIMIT 1)) FROM TABLETESTSORU T WHERE T.TESTNO=? "
                     "ORDER BY VAL(T.TESTSIRANO),T.rowid"),
      {testNo});
  if (!questions) return Result<RunContent>::failure(questions.error());
  while (questions.value().next()) {
    RunQuestion q;
    q.soruNo = questions.value().value(0).toString();
    q.time = questions.value().value(1).toString();
    q.key = questions.value().value(2).toString();
    content.questions.append(q);
  }
  questions.value().finish();
  // The sound as a file the player opens (fetched once on a server board).
  const authoring::QuestionMedia media(store);
  for (RunQuestion& q : content.questions)
    q.mediaFile = media.find(q.soruNo, authoring::QuestionMedia::Kind::Sound);

  if (content.questionStatistics) {
    // Grouped by unit, as the page's "ÜNİTE" column says.
    Result<QSqlQuery> rows = store.exec(
        QStringLiteral("SELECT NZ(B.SEVIYE),NZ(B.DERS),CASE WHEN LENGTH(NZ(B.UNITE))>35 THEN "
                       "substr(NZ(B.UNITE),1,35)||'...' ELSE NZ(B.UNITE) END,COUNT(A.SORUNO),"
                       "SUM(CASE WHEN A.SURE='Süresiz' THEN 0 ELSE VAL(A.SURE) END) FROM "
                       "TABLETESTSORU A INNER JOIN TABLESORU B ON A.SORUNO=B.SORUNO WHERE "
                       "A.TESTNO=? GROUP BY NZ(B.SEVIYE),NZ(B.DERS),NZ(B.UNITE) ORDER BY "
                       "MIN(VAL(A.TESTSIRANO))"),
        {testNo});
    if (!rows) return Result<RunContent>::failure(rows.error());
    while (rows.value().next()) {
      QuestionStatisticsRow r;
      r.level = rows.value().value(0).toString();
      r.course = rows.value().value(1).toString();
      r.unit = rows.value().value(2).toString();
      r.questions = rows.value().value(3).toInt();
      switch (settings.duration) {
        case RunSettings::Duration::Untimed:
          r.time = kUntimed;
          break;
        case RunSettings::Duration::Fixed:
          r.time = secondsText(qint64(r.questions) * settings.fixedSeconds);
          break;
        case RunSettings::Duration::PerQuestion:
          r.time = secondsText(qint64(std::floor(rows.value().value(4).toDouble())));
          break;
      }
      content.statistics.append(r);
    }
  }
  return content;
}

}  // namespace delivery
