#include "reports/SuccessRanking.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>

#include "formats/XlsxWriter.h"
#include "reports/Participants.h"
#include "reports/Scoring.h"
#include "store/Store.h"

namespace reports {

namespace {

double round2(double v) { return std::round(v * 100.0) / 100.0; }

QString fixed2(double v) { return QString::number(v, 'f', 2); }

// Keys per statement: far below SQLite's limit on bound values.
constexpr qsizetype kBatch = 500;

struct CourseSum {
  double ratioSum = 0;  // sum over the runs of net / questions
  int runs = 0;
  int seconds = 0;
};

struct StudentSums {
  QString adi, soyadi, sinifi;
  QHash<QString, CourseSum> courses;
};

QCollator turkishCollator() {
  QCollator c{QLocale(QLocale::Turkish, QLocale::Turkey)};
  c.setNumericMode(true);
  return c;
}

}  // namespace

QString RankedStudent::overallCell() const {
  return QString::asprintf("%06.2f - %06.2f", overall.net, speed) + QString(10, QLatin1Char(' '));
}

QString RankedStudent::courseCell(const QString& ders) const {
  for (const RankingRow& r : courses)
    if (r.ders == ders) return fixed2(r.net) + QStringLiteral(" (%1)").arg(r.testSayisi);
  return {};
}

QStringList Ranking::captions() const {
  QStringList c{QStringLiteral("Kayıt No"), QStringLiteral("Adı"), QStringLiteral("Soyadı"),
                QStringLiteral("Sınıfı"), QStringLiteral("GENEL")};
  return c << courses;
}

QList<QStringList> Ranking::cells() const {
  QList<QStringList> rows;
  for (const RankedStudent& s : students) {
    QStringList r{s.overall.kayitNo, s.overall.adi, s.overall.soyadi, s.overall.sinifi,
                  s.overallCell()};
    for (const QString& d : courses) r << s.courseCell(d);
    rows << r;
  }
  return rows;
}

QList<Ranking::Bar> Ranking::bars() const {
  QList<Bar> b;
  for (const RankedStudent& s : students)
    b << Bar{PersonName{s.overall.adi, s.overall.soyadi}.full() + QStringLiteral(" (") +
                 s.overall.sinifi + QLatin1Char(')'),
             s.overall.net};
  std::stable_sort(b.begin(), b.end(),
                   [](const Bar& x, const Bar& y) { return x.value > y.value; });
  return b;
}

QStringList Ranking::podium() const {
  QStringList names;
  for (qsizetype i = 0; i < students.size() && i < 3; ++i)
    names << students.at(i).overall.adi + QLatin1Char(' ') + students.at(i).overall.soyadi;
  return names;
}

QList<RankingRow> Ranking::tableRows() const {
  QList<RankingRow> rows;
  for (const RankedStudent& s : students) rows << s.overall << s.courses;
  return rows;
}

Result<QStringList> SuccessRanking::studentsOf(const QString& sinifi) const {
  if (curriculum::CurriculumFilter::isAll(sinifi))
    return m_store.column(QStringLiteral(
        "SELECT KAYITNO FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' AND NZ(KAYITNO)<>''"));
  return m_store.column(
      QStringLiteral("SELECT KAYITNO FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' AND "
                     "NZ(KAYITNO)<>'' AND SINIFI=?"),
      {sinifi});
}

Result<Ranking> SuccessRanking::build(const QStringList& kayitNos,
                                      const RunCriteria& criteria) const {
  if (const QString p = criteria.problem(); !p.isEmpty()) return Result<Ranking>::failure(p);
  const RunCriteria::Sql c = criteria.sql(QStringLiteral("S."));
  // The newest runs first within each student, so the row numbers are the limit of
  // "the last N runs" taken across all courses before the courses are grouped.
  const QString inner =
      QStringLiteral(
          "SELECT S.KAYITNO AS KAYITNO,NZ(S.ADI) AS ADI,NZ(S.SOYADI) AS SOYADI,NZ(S.SINIFI) AS "
          "SINIFI,%1 AS DERS,CDBL(S.NET) AS NET,VAL(S.SORUSAYI) AS SORUSAYI,NZ(S.TOPLAMSURE) AS "
          "TOPLAMSURE,ROW_NUMBER() OVER (PARTITION BY S.KAYITNO ORDER BY %2) AS SIRA FROM "
          "TABLESONUC S WHERE S.KAYITNO IN (%3) AND NZ(S.SINIFI)<>'TÜMÜ'%4")
          .arg(runsql::resolved(QStringLiteral("DERS"), QStringLiteral("S.")),
               runsql::newestFirst(QStringLiteral("S.")));

  QHash<QString, StudentSums> sums;
  QStringList order;  // students in the order first met, for stable ties
  QStringList unique = kayitNos;
  unique.removeDuplicates();
  unique.removeAll(QString());
  for (qsizetype from = 0; from < unique.size(); from += kBatch) {
    const store::InList keys = store::inList(unique.mid(from, kBatch));
    QString sql = QStringLiteral(
                      "SELECT KAYITNO,ADI,SOYADI,SINIFI,DERS,NET,SORUSAYI,TOPLAMSURE,"
                      "SIRA FROM (") +
                  inner.arg(keys.placeholders, c.where) + QStringLiteral(")");
    QVariantList params = keys.values;
    params << c.params;
    if (c.limit > 0) {
      sql += QStringLiteral(" WHERE SIRA<=?");
      params << c.limit;
    }
    Result<QSqlQuery> q = m_store.exec(sql, params);
    if (!q) return Result<Ranking>::failure(q.error());
    QSqlQuery& rows = q.value();
    while (rows.next()) {
      const QString key = rows.value(0).toString();
      auto it = sums.find(key);
      if (it == sums.end()) {
        it = sums.insert(key, {});
        order << key;
      }
      // Name and class as on the newest counted run.
      if (rows.value(8).toInt() == 1 || it->adi.isEmpty()) {
        it->adi = rows.value(1).toString();
        it->soyadi = rows.value(2).toString();
        it->sinifi = rows.value(3).toString();
      }
      CourseSum& cs = it->courses[rows.value(4).toString()];
      const double questions = rows.value(6).toDouble();
      if (questions > 0) cs.ratioSum += rows.value(5).toDouble() / questions;
      ++cs.runs;
      cs.seconds += answerSeconds(rows.value(7).toString());
    }
  }

  const QCollator collator = turkishCollator();
  Ranking ranking;
  ranking.criteria = criteria;
  QSet<QString> allCourses;
  for (const QString& key : order) {
    const StudentSums& s = sums[key];
    RankedStudent st;
    RankingRow base{key, s.adi, s.soyadi, s.sinifi, {}, 0, 0, 0};
    double weighted = 0;
    double seconds = 0;
    int runs = 0;
    for (auto it = s.courses.begin(); it != s.courses.end(); ++it) {
      RankingRow r = base;
      r.ders = it.key();
      r.testSayisi = it->runs;
      r.net = round2(100.0 * it->ratioSum / it->runs);
      r.toplamSure = it->seconds;
      // The overall figure weighs the course figures as shown (rounded).
      weighted += r.testSayisi * r.net;
      seconds += r.toplamSure;
      runs += r.testSayisi;
      st.courses << r;
      allCourses.insert(r.ders);
    }
    std::sort(st.courses.begin(), st.courses.end(), [&collator](const auto& a, const auto& b) {
      return collator.compare(a.ders, b.ders) < 0;
    });
    st.overall = base;
    st.overall.ders = Ranking::overallName();
    st.overall.testSayisi = runs;
    st.overall.net = runs > 0 ? round2(weighted / runs) : 0;
    st.overall.toplamSure = st.courses.isEmpty() ? 0 : seconds / double(st.courses.size());
    st.speed = round2(100.0 * st.overall.net / (st.overall.toplamSure + 1));
    ranking.students << st;
  }
  // The overall cell sorts as text: success first, then speed, both as shown.
  std::stable_sort(ranking.students.begin(), ranking.students.end(),
                   [&collator](const RankedStudent& a, const RankedStudent& b) {
                     if (a.overall.net != b.overall.net) return a.overall.net > b.overall.net;
                     if (a.speed != b.speed) return a.speed > b.speed;
                     const int byName = collator.compare(a.overall.adi, b.overall.adi);
                     if (byName != 0) return byName < 0;
                     return collator.compare(a.overall.soyadi, b.overall.soyadi) < 0;
                   });
  ranking.courses = QStringList(allCourses.begin(), allCourses.end());
  std::sort(ranking.courses.begin(), ranking.courses.end(),
            [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
  return ranking;
}

Status SuccessRanking::exportXlsx(const Ranking& ranking, RunCriteria::View view,
                                  const QString& path) {
  using formats::XlsxWriter;
  XlsxWriter w(path);
  w.addSheet(QStringLiteral("Sayfa1"));
  const QStringList captions = ranking.captions();
  w.write(0, 0, ranking.title(view), XlsxWriter::Style::Title);
  for (int c = 0; c < captions.size(); ++c) {
    w.write(2, c, captions.at(c).trimmed(), XlsxWriter::Style::Header);
    w.setColumnWidth(c, c == 4 ? 20 : 14);
  }
  int row = 3;
  for (const QStringList& cells : ranking.cells()) {
    for (int c = 0; c < cells.size(); ++c) w.write(row, c, cells.at(c).trimmed());
    ++row;
  }
  return w.close();
}

}  // namespace reports
