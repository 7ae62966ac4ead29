#include "reports/SuccessRanking.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <vector>

#include "formats/XlsxWriter.h"
#include "reports/BulkRows.h"
#include "reports/Participants.h"
#include "reports/Scoring.h"
#include "store/Store.h"

namespace reports {

namespace {

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

QString RankedStudent::overallCell() const { return fixed2(overall.net); }

QString RankedStudent::speedCell() const { return fixed2(speed); }

QString RankedStudent::courseCell(const QString& ders) const {
  for (const RankingRow& r : courses)
    if (r.ders == ders) return fixed2(r.net) + QStringLiteral(" (%1)").arg(r.testSayisi);
  return {};
}

QStringList Ranking::captions() const {
  QStringList c{QStringLiteral("Kayıt No"), QStringLiteral("Adı"),   QStringLiteral("Soyadı"),
                QStringLiteral("Sınıfı"),   QStringLiteral("GENEL"), QStringLiteral("HIZ")};
  // Runs of tests without a course have a column too; it needs a name.
  for (const QString& d : courses)
    c << (d.trimmed().isEmpty() ? QStringLiteral("Dersi Belirtilmemiş") : d);
  return c;
}

QList<QStringList> Ranking::cells() const {
  QList<QStringList> rows;
  for (const RankedStudent& s : students) {
    QStringList r{s.overall.kayitNo, s.overall.adi,   s.overall.soyadi,
                  s.overall.sinifi,  s.overallCell(), s.speedCell()};
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

Result<QStringList> SuccessRanking::studentsOf(const QStringList& classes) const {
  const store::InList in = store::inList(classes);
  return m_store.column(
      QStringLiteral("SELECT KAYITNO FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' AND "
                     "NZ(KAYITNO)<>'' AND SINIFI IN (%1) ORDER BY SINIFI COLLATE TURKCE")
          .arg(in.placeholders),
      in.values);
}

Result<Ranking> SuccessRanking::build(const QStringList& kayitNos,
                                      const RunCriteria& criteria) const {
  if (const QString p = criteria.problem(); !p.isEmpty()) return Result<Ranking>::failure(p);
  const RunCriteria::Sql c = criteria.sql(QStringLiteral("S."));
  const QString select =
      QStringLiteral(
          "SELECT S.KAYITNO,S.ADI,S.SOYADI,S.SINIFI,%1,%5,VAL(S.SORUSAYI),S.TOPLAMSURE,"
          "COALESCE(CDATE(S.TESTTARIHI),0)+COALESCE(CDATE(S.TESTBASLANGIC),0) FROM TABLESONUC S%2 "
          "WHERE S.KAYITNO IN (%3) AND COALESCE(S.SINIFI,'')<>'TÜMÜ'%4 ORDER BY S.KAYITNO")
          .arg(runsql::resolved(QStringLiteral("DERS"), QStringLiteral("S.")),
               runsql::testJoin(QStringLiteral("S.")) +
                   runPenaltyJoin(QStringLiteral("S."), QStringLiteral("PZ")),
               QStringLiteral("%3"), QStringLiteral("%4"),
               // The stored NET is rounded text: the net comes from the counts.
               joinedResultNetSql(QStringLiteral("S."), QStringLiteral("PZ")));

  // One student's counted runs: newest first, then only the first N of them. A
  // course is kept as its place in `courseNames` (a school has a handful).
  struct Run {
    double when = 0;
    int course = 0;
    double net = 0;
    double questions = 0;
    int seconds = 0;
  };
  QList<QByteArray> courseBytes;
  QStringList courseNames;
  const auto courseOf = [&](QByteArrayView bytes) {
    for (int i = 0; i < courseBytes.size(); ++i)
      if (courseBytes.at(i) == bytes) return i;
    courseBytes << bytes.toByteArray();
    courseNames << QString::fromUtf8(bytes);
    return int(courseBytes.size() - 1);
  };
  QHash<QString, StudentSums> sums;
  QStringList order;  // students in the order first met, for stable ties
  QByteArray current;
  std::vector<Run> runs;
  double newest = -1;
  StudentSums person;
  const auto finish = [&] {
    if (runs.empty()) return;
    std::stable_sort(runs.begin(), runs.end(),
                     [](const Run& a, const Run& b) { return a.when > b.when; });
    if (c.limit > 0 && runs.size() > size_t(c.limit)) runs.resize(size_t(c.limit));
    for (const Run& r : runs) {
      CourseSum& cs = person.courses[courseNames.at(r.course)];
      if (r.questions > 0) cs.ratioSum += r.net / r.questions;
      ++cs.runs;
      cs.seconds += r.seconds;
    }
    const QString key = QString::fromUtf8(current);
    sums.insert(key, person);
    order << key;
    runs.clear();
  };

  QStringList unique = kayitNos;
  unique.removeDuplicates();
  unique.removeAll(QString());
  for (qsizetype from = 0; from < unique.size(); from += kBatch) {
    const store::InList keys = store::inList(unique.mid(from, kBatch));
    QVariantList params = keys.values;
    params << c.params;
    const Status read = forEachRow(m_store.db(), select.arg(keys.placeholders, c.where), params,
                                   [&](const BulkRow& row) {
                                     if (const QByteArrayView key = row.bytes(0); key != current) {
                                       finish();
                                       current = key.toByteArray();
                                       person = {};
                                       newest = -1;
                                     }
                                     const double when = row.number(8);
                                     // Name and class as on the newest counted run.
                                     if (when > newest) {
                                       newest = when;
                                       person.adi = row.text(1);
                                       person.soyadi = row.text(2);
                                       person.sinifi = row.text(3);
                                     }
                                     runs.push_back(Run{when, courseOf(row.bytes(4)), row.number(5),
                                                        row.number(6), answerSeconds(row.text(7))});
                                   });
    if (!read) return Result<Ranking>::failure(read.error());
  }
  finish();

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
      r.net = 100.0 * it->ratioSum / it->runs;
      r.toplamSure = it->seconds;
      // Genel başarı: the mean of every counted run's percentage, whatever its
      // course; nothing is rounded before it is shown.
      weighted += 100.0 * it->ratioSum;
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
    st.overall.net = runs > 0 ? weighted / runs : 0;
    st.overall.toplamSure = st.courses.isEmpty() ? 0 : seconds / double(st.courses.size());
    st.speed = 100.0 * st.overall.net / (st.overall.toplamSure + 1);
    ranking.students << st;
  }
  // Success first, then speed.
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
    w.setColumnWidth(c, 14);
  }
  int row = 3;
  for (const QStringList& cells : ranking.cells()) {
    for (int c = 0; c < cells.size(); ++c) w.write(row, c, cells.at(c).trimmed());
    ++row;
  }
  return w.close();
}

}  // namespace reports
