#include "reports/ProgressReport.h"

#include <limits>

#include <QSqlQuery>

#include <cmath>

#include "formats/XlsxWriter.h"
#include "reports/Penalty.h"
#include "store/Parameters.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"

namespace reports {

namespace {

double round2(double v) { return std::round(v * 100.0) / 100.0; }
double share(double part, double whole) { return whole > 0 ? 100.0 * part / whole : 0; }

const char* const kColumns[] = {
    "TESTTARIHI", "TESTBASLANGIC", "TESTBITIS", "TESTNO",     "TESTADI", "SORUSAYISI",  "SEVIYE",
    "DERS",       "UNITE",         "KONU",      "KAZANIM",    "SINIFI",  "GRUP",        "ACIKLAMA",
    "KISISAYISI", "NETORAN",       "DOGRUORAN", "YANLISORAN", "BOSORAN", "SINIFNETORAN"};

}  // namespace

ProgressReport::ProgressReport(const store::Store& store, Subject kind, QStringList subjects,
                               RunCriteria criteria)
    : m_store(store),
      m_kind(kind),
      m_subjects(std::move(subjects)),
      m_criteria(std::move(criteria)) {}

QString ProgressReport::counter() const {
  return QStringLiteral("%1/%2").arg(m_index + 1).arg(count());
}

QStringList ProgressReport::columnNames() {
  QStringList names;
  for (const char* c : kColumns) names << QString::fromLatin1(c);
  return names;
}

QStringList ProgressReport::captions() {
  return {
      QStringLiteral("Test Tarihi"), QStringLiteral("Başlangıç"),     QStringLiteral("Bitiş"),
      QStringLiteral("Test No"),     QStringLiteral("Test Adı"),      QStringLiteral("Soru Sayısı"),
      QStringLiteral("Seviye"),      QStringLiteral("Ders"),          QStringLiteral("Ünite"),
      QStringLiteral("Konu"),        QStringLiteral("Kazanım"),       QStringLiteral("Sınıfı"),
      QStringLiteral("Grup"),        QStringLiteral("Açıklama"),      QStringLiteral("Kişi Sayısı"),
      QStringLiteral("Net Oran"),    QStringLiteral("Doğru Oran"),    QStringLiteral("Yanlış Oran"),
      QStringLiteral("Boş Oran"),    QStringLiteral("Sınıf Net Oran")};
}

QStringList ProgressReport::cells(const ProgressRow& r) {
  const auto f = [](double v) { return QString::number(v, 'f', 2); };
  return {r.testTarihi,   r.testBaslangic,
          r.testBitis,    r.testNo,
          r.testAdi,      QString::number(r.soruSayisi),
          r.seviye,       r.ders,
          r.unite,        r.konu,
          r.kazanim,      r.sinifi,
          r.grup,         r.aciklama,
          r.kisiSayisi,   f(r.netOran),
          f(r.dogruOran), f(r.yanlisOran),
          f(r.bosOran),   r.sinifNetOran ? f(*r.sinifNetOran) : QString()};
}

QList<double> ProgressReport::subjectSeries() const {
  QList<double> s;
  for (const ProgressRow& r : m_rows) s << round2(r.netOran);
  return s;
}

QList<double> ProgressReport::classSeries() const {
  QList<double> s;
  if (m_kind == Subject::Class) return s;
  for (const ProgressRow& r : m_rows) s << round2(r.sinifNetOran.value_or(0));
  return s;
}

int ProgressReport::chartKind() {
  return store::UserSettings::get(QStringLiteral("RaporGoreceli"), QStringLiteral("Grafik"),
                                  QStringLiteral("0"))
      .toInt();
}

void ProgressReport::setChartKind(int kind) {
  store::UserSettings::set(QStringLiteral("RaporGoreceli"), QStringLiteral("Grafik"),
                           QString::number(kind));
}

Status ProgressReport::show(int index) {
  if (index < 0 || index >= count())
    return Status::failure(QStringLiteral("Gösterilecek kayıt yok."));
  const QString subject = m_subjects.at(index);
  Result<QString> title = titleOf(subject);
  if (!title) return Status::failure(title.error());
  Result<QList<ProgressRow>> rows = rowsOf(subject);
  if (!rows) return Status::failure(rows.error());
  m_index = index;
  m_title = title.value();
  m_rows = rows.value();
  return {};
}

Result<QString> ProgressReport::titleOf(const QString& subject) const {
  if (m_kind == Subject::Class)
    return subject + QStringLiteral(" Sınıfına Yapılan Uygulamaların İstatistiği");
  const Result<QVariant> name = m_store.scalar(
      QStringLiteral("SELECT NZ(ADI) || ' ' || NZ(SOYADI) FROM TABLEOGRENCI WHERE KAYITNO=? "
                     "LIMIT 1"),
      {subject});
  if (!name) return Result<QString>::failure(name.error());
  return (name->isNull() ? QStringLiteral("...") : name->toString()) +
         QStringLiteral(" İsimli Öğrencinin Girdiği Uygulamaların İstatistiği");
}

Status ProgressReport::exportXlsx(const QString& path) const {
  using formats::XlsxWriter;
  XlsxWriter w(path);
  w.addSheet(QStringLiteral("Sayfa1"));
  w.write(0, 0, m_title, XlsxWriter::Style::Title);
  const QStringList caps = captions();
  for (int c = 0; c < caps.size(); ++c) {
    w.write(2, c, caps.at(c), XlsxWriter::Style::Header);
    w.setColumnWidth(c, c == 4 ? 30 : 12);
  }
  int row = 3;
  for (const ProgressRow& r : m_rows) {
    const QStringList cellsOfRow = cells(r);
    for (int c = 0; c < cellsOfRow.size(); ++c) {
      bool number = false;
      const double v = cellsOfRow.at(c).toDouble(&number);
      // The percentages are numbers a teacher charts; the rest stays text.
      if (number && c >= 15)
        w.writeNumber(row, c, v);
      else
        w.write(row, c, cellsOfRow.at(c));
    }
    ++row;
  }
  return w.close();
}

Result<QList<ProgressRow>> ProgressReport::rowsOf(const QString& subject) const {
  if (const QString p = m_criteria.problem(); !p.isEmpty())
    return Result<QList<ProgressRow>>::failure(p);
  const RunCriteria::Sql c = m_criteria.sql(QStringLiteral("A."));
  const bool student = m_kind == Subject::Student;
  // The whole run's success beside a student's: every result row of that run,
  // whoever it belongs to; asked of each picked run (P), outside the grouping.
  const QString classNet =
      student ? QStringLiteral(
                    ",(SELECT SUM(%1) FROM TABLESONUC C WHERE NZ(C.TESTNO)=P.TESTNO "
                    "AND C.TESTTARIHI=P.TESTTARIHI AND C.TESTBASLANGIC=P.TESTBASLANGIC),"
                    "(SELECT SUM(VAL(C.SORUSAYI)) FROM TABLESONUC C WHERE NZ(C.TESTNO)=P.TESTNO "
                    "AND C.TESTTARIHI=P.TESTTARIHI AND C.TESTBASLANGIC=P.TESTBASLANGIC)")
                    .arg(resultNetSql(QStringLiteral("C.")))
              : QStringLiteral(",NULL,NULL");
  QStringList groupList, selectList;
  for (const char* column :
       {"TESTTARIHI", "TESTBASLANGIC", "TESTBITIS", "TESTNO", "TESTADI", "SORUSAYI", "SEVIYE",
        "DERS", "UNITE", "KONU", "KAZANIM", "SINIFI", "GRUP", "ACIKLAMA", "KISISAYI"}) {
    const QString name = QString::fromLatin1(column);
    groupList << QStringLiteral("NZ(A.%1)").arg(name);
    selectList << QStringLiteral("NZ(A.%1) AS %1").arg(name);
  }
  const QString groups = groupList.join(QLatin1Char(','));
  // The newest runs are picked first, then shown oldest first.
  const QString sql =
      QStringLiteral(
          "SELECT P.*%2 FROM (SELECT %6,SUM(%7),SUM(VAL(A.SORUSAYI)),"
          "SUM(VAL(A.DOGRUSAYI)),SUM(VAL(A.YANLISSAYI)),SUM(VAL(A.BOSSAYI)) FROM "
          "TABLESONUC A WHERE %3=?%4 GROUP BY %1 ORDER BY %5 LIMIT ?) AS P ORDER BY "
          "CDATE(TESTTARIHI) ASC, CDATE(TESTBASLANGIC) ASC")
          .arg(groups, classNet, student ? QStringLiteral("A.KAYITNO") : QStringLiteral("A.SINIFI"),
               c.where,
               // Newest first by the grouped columns, as the server needs them.
               QStringLiteral("CDATE(NZ(A.TESTTARIHI)) DESC, CDATE(NZ(A.TESTBASLANGIC)) DESC"),
               selectList.join(QLatin1Char(',')),
               // The stored NET is rounded text: the net comes from the counts.
               resultNetSql(QStringLiteral("A.")));
  QVariantList params{subject};
  // No limit is a limit no school reaches: the server takes no negative one.
  params << c.params << (c.limit > 0 ? c.limit : std::numeric_limits<int>::max());
  Result<QSqlQuery> q = m_store.exec(sql, params);
  if (!q) return Result<QList<ProgressRow>>::failure(q.error());
  QList<ProgressRow> rows;
  QSqlQuery& r = q.value();
  while (r.next()) {
    ProgressRow p;
    p.testTarihi = r.value(0).toString();
    p.testBaslangic = r.value(1).toString();
    p.testBitis = r.value(2).toString();
    p.testNo = r.value(3).toString();
    p.testAdi = r.value(4).toString();
    p.soruSayisi = int(store::jetVal(r.value(5).toString()));
    p.seviye = r.value(6).toString();
    p.ders = r.value(7).toString();
    p.unite = r.value(8).toString();
    p.konu = r.value(9).toString();
    p.kazanim = r.value(10).toString();
    p.sinifi = r.value(11).toString();
    p.grup = r.value(12).toString();
    p.aciklama = r.value(13).toString();
    p.kisiSayisi = r.value(14).toString();
    const double questions = r.value(16).toDouble();
    p.netOran = share(r.value(15).toDouble(), questions);
    p.dogruOran = share(r.value(17).toDouble(), questions);
    p.yanlisOran = share(r.value(18).toDouble(), questions);
    p.bosOran = share(r.value(19).toDouble(), questions);
    if (student) p.sinifNetOran = share(r.value(20).toDouble(), r.value(21).toDouble());
    rows << p;
  }
  return rows;
}

}  // namespace reports
