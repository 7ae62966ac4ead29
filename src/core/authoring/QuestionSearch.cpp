#include "authoring/QuestionSearch.h"

#include "authoring/QuestionKeys.h"
#include "lists/FilterLists.h"
#include "lists/TurkishText.h"
#include "store/Store.h"

namespace authoring {

namespace {

const QString kColumns = QStringLiteral(
    "SORUNO AS SORUNUMARASI,SORUNO,SEVIYE,DERS,UNITE,KONU,KAZANIM,SORUICERIK,DOGRUSIK,TURU,"
    "ZORLUK,PUAN,SURE");

void restrict(curriculum::CurriculumFilter::Condition& c, const QString& column,
              const QString& choice) {
  if (curriculum::CurriculumFilter::isAll(choice)) return;
  c.sql += QStringLiteral(" AND ") + column + QStringLiteral("=?");
  c.params << choice;
}

}  // namespace

QuestionSearch::Usage QuestionSearch::usageOf(const QString& listText) {
  if (listText == QStringLiteral("KULLANILAN")) return Usage::Used;
  if (listText == QStringLiteral("KULLANILMAYAN")) return Usage::Unused;
  return Usage::Any;
}

curriculum::CurriculumFilter::Condition QuestionSearch::condition(const QString& p) const {
  curriculum::CurriculumFilter::Condition c = curriculum.condition(p);
  restrict(c, p + QStringLiteral("DOGRUSIK"), dogruSik);
  restrict(c, p + QStringLiteral("TURU"), turu);
  restrict(c, p + QStringLiteral("ZORLUK"), zorluk);
  restrict(c, p + QStringLiteral("PUAN"), puan);
  restrict(c, p + QStringLiteral("SURE"), sure);
  if (!text.trimmed().isEmpty()) {
    c.sql += QStringLiteral(
                 " AND (TRFOLD(NZ(%1ACIKLAMA)) LIKE ? ESCAPE '\\' OR TRFOLD(NZ(%1SORUICERIK)) "
                 "LIKE ? ESCAPE '\\')")
                 .arg(p);
    QString folded = lists::turkishFold(text.trimmed());
    folded.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    const QString pattern = QLatin1Char('%') + folded + QLatin1Char('%');
    c.params << pattern << pattern;
  }
  if (!testNo.trimmed().isEmpty()) {
    c.sql +=
        QStringLiteral(" AND %1SORUNO IN (SELECT SORUNO FROM TABLETESTSORU WHERE TESTNO=?)").arg(p);
    c.params << testNo.trimmed();
  }
  if (!notInTest.isEmpty()) {
    c.sql +=
        QStringLiteral(" AND %1SORUNO NOT IN (SELECT SORUNO FROM TABLETESTSORU WHERE TESTNO=?)")
            .arg(p);
    c.params << notInTest;
  }
  if (usage != Usage::Any)
    c.sql +=
        QStringLiteral(" AND %2 EXISTS (SELECT 1 FROM TABLETESTSORU U WHERE U.SORUNO=%1SORUNO)")
            .arg(p, usage == Usage::Used ? QString() : QStringLiteral("NOT"));
  return c;
}

curriculum::CurriculumFilter::Condition QuestionSearch::where() const {
  curriculum::CurriculumFilter::Condition c = condition(QStringLiteral("TABLESORU."));
  c.sql.prepend(QStringLiteral("COALESCE(TABLESORU.SILINDIMI,'')<>'1'"));
  if (lastAdded > 0) {
    const curriculum::CurriculumFilter::Condition inner = condition(QStringLiteral("L."));
    c.sql += QStringLiteral(
                 " AND TABLESORU.SORUNO IN (SELECT L.SORUNO FROM TABLESORU L WHERE "
                 "COALESCE(L.SILINDIMI,'')<>'1'%1 "
                 "ORDER BY VAL(L.SORUNO) DESC, L.ID DESC LIMIT ?)")
                 .arg(inner.sql);
    c.params << inner.params << lastAdded;
  }
  return c;
}

store::Query QuestionSearch::bankQuery() const {
  const auto w = where();
  return {QStringLiteral("SELECT %1 FROM TABLESORU WHERE %2 ORDER BY %3")
              .arg(kColumns, w.sql, keys::orderBy()),
          w.params};
}

store::Query QuestionSearch::pickerQuery() const {
  const auto w = where();
  return {QStringLiteral("SELECT %1,(SELECT COUNT(*) FROM TABLETESTSORU U WHERE "
                         "U.SORUNO=TABLESORU.SORUNO) AS KAZKEZKULLANILDI FROM TABLESORU WHERE %2 "
                         "ORDER BY %3")
              .arg(kColumns, w.sql, keys::orderBy()),
          w.params};
}

Result<QStringList> QuestionSearch::keys(const store::Store& store) const {
  const auto w = where();
  return store.column(QStringLiteral("SELECT SORUNO FROM TABLESORU WHERE %1 ORDER BY %2")
                          .arg(w.sql, keys::orderBy()),
                      w.params);
}

Result<int> QuestionSearch::parseLastAdded(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return 0;
  bool ok = false;
  const int n = t.toInt(&ok);
  if (!ok || n <= 0)
    return Result<int>::failure(QStringLiteral("Sıfırdan farklı bir sayı giriniz"));
  return n;
}

}  // namespace authoring
