#include <QtTest>

#include "ReportsFixture.h"
#include "formats/Workbook.h"
#include "reports/ProgressReport.h"
#include "reports/SuccessRanking.h"

using reports::ProgressReport;
using reports::RunCriteria;
using reports::SuccessRanking;

namespace {

// One stored result row, as the scorer leaves it, and its run's penalty on a
// question row. Without counts the net is all correct answers.
struct Row {
  const char* kayitNo;
  const char* date;
  const char* start;
  const char* testNo;
  const char* ders;  // as recorded on the result row
  const char* net;
  int questions;
  const char* time = "01:00";
  const char* sinifi = "5-A";
  int correct = 0, wrong = 0, blank = 0;
  const char* penalty = "0";
};

void add(const Row& r) {
  const QString kayitNo = QString::fromUtf8(r.kayitNo);
  const bool counted = r.correct || r.wrong || r.blank;
  const int correct = counted ? r.correct : QByteArray(r.net).toInt();
  QVERIFY(ReportsFixture::db()
              .run(QStringLiteral("INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,TESTNO,"
                                  "TESTSIRANO,YANLISDOGRUGOTURU) VALUES (?,?,?,'1',?)"),
                   {QString::fromUtf8(r.date), QString::fromUtf8(r.start),
                    QString::fromUtf8(r.testNo), QString::fromUtf8(r.penalty)})
              .ok());
  QVERIFY(ReportsFixture::db()
              .run(QStringLiteral(
                       "INSERT INTO TABLESONUC (KUMANDAADRESI,KAYITNO,ADI,SOYADI,TESTTARIHI,"
                       "TESTBASLANGIC,TESTBITIS,TESTNO,SINIFI,KISISAYI,SORUSAYI,NET,DOGRUSAYI,"
                       "YANLISSAYI,BOSSAYI,TOPLAMSURE,DERS,TESTADI) VALUES "
                       "(?,?,?,?,?,?,'23:00:00',?,?,'25',?,?,?,?,?,?,?,'Deneme')"),
                   {QStringLiteral("1-") + kayitNo, kayitNo, QStringLiteral("Ad") + kayitNo,
                    QStringLiteral("Soyad") + kayitNo, QString::fromUtf8(r.date),
                    QString::fromUtf8(r.start), QString::fromUtf8(r.testNo),
                    QString::fromUtf8(r.sinifi), QString::number(r.questions),
                    QString::fromUtf8(r.net), QString::number(correct), QString::number(r.wrong),
                    QString::number(r.blank), QString::fromUtf8(r.time), QString::fromUtf8(r.ders)})
              .ok());
}

RunCriteria last(int n) {
  RunCriteria c;
  c.lastRuns = n;
  return c;
}

const reports::RankingRow* course(const reports::RankedStudent& s, const char* ders) {
  for (const reports::RankingRow& r : s.courses)
    if (r.ders == QString::fromUtf8(ders)) return &r;
  return nullptr;
}

}  // namespace

class TestRankingProgress : public QObject {
  Q_OBJECT

  ReportsFixture m_fx;
  static store::Store& db() { return ReportsFixture::db(); }

 private slots:
  void init() {
    m_fx.setUp();
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI,DERS) VALUES "
                                    "('M','Kesirler','MATEMATİK'),('T','Fiiller','TÜRKÇE'),"
                                    "('F','Işık','FEN BİLİMLERİ')"))
                .ok());
  }
  void cleanup() { m_fx.tearDown(); }

  void courseAndOverallFigures() {
    // Student 1: three runs of one course, 8 of 10, 6 of 10 and 10 of 20:
    // 100 * (0.8 + 0.6 + 0.5) / 3 = 63.33. The course is the test's, whatever the
    // result row says.
    add({"1", "01.10.2026", "09:00:00", "M", "", "8", 10, "02:00"});
    add({"1", "02.10.2026", "09:00:00", "M", "", "6", 10, "105:03"});
    add({"1", "03.10.2026", "09:00:00", "M", "", "10", 20, "00:57"});
    // Student 2: 80.00 over two runs of one course, 50.00 in one of another:
    // overall (2 * 80 + 50) / 3 = 70.00. A free run counts with its own course.
    add({"2", "01.10.2026", "10:00:00", "T", "", "8", 10});
    add({"2", "02.10.2026", "10:00:00", "T", "", "16", 20});
    add({"2", "03.10.2026", "10:00:00", "SERBEST", "FEN BİLİMLERİ", "5", 10});
    // A run recorded for "TÜMÜ" never counts.
    add({"2", "04.10.2026", "10:00:00", "T", "", "0", 10, "01:00", "TÜMÜ"});

    const Result<reports::Ranking> r =
        SuccessRanking(db()).build({QStringLiteral("1"), QStringLiteral("2")}, last(10));
    QVERIFY2(r.ok(), qPrintable(r.error()));
    QCOMPARE(r->students.size(), 2);
    const reports::RankedStudent& first = r->students.at(0);
    const reports::RankedStudent& second = r->students.at(1);
    QCOMPARE(first.overall.kayitNo, QStringLiteral("2"));
    QCOMPARE(first.overall.net, 70.0);
    QCOMPARE(first.overall.testSayisi, 3);
    QCOMPARE(course(first, "TÜRKÇE")->net, 80.0);
    QCOMPARE(course(first, "FEN BİLİMLERİ")->testSayisi, 1);
    QCOMPARE(QString::number(second.overall.net, 'f', 2), QStringLiteral("63.33"));
    QCOMPARE(second.courseCell(QStringLiteral("MATEMATİK")), QStringLiteral("63.33 (3)"));
    // Times: whole minutes from 100 on, "105:03" is 6303 s: 120 + 6303 + 57.
    QCOMPARE(course(second, "MATEMATİK")->toplamSure, 6480.0);
    // The overall time is the plain average of the course times (60 + 60 and 60).
    QCOMPARE(first.overall.toplamSure, 90.0);
    QCOMPARE(first.overallCell(), QStringLiteral("70.00"));
    QCOMPARE(first.speedCell(), QStringLiteral("76.92"));
    QCOMPARE(r->courses, (QStringList{QStringLiteral("FEN BİLİMLERİ"), QStringLiteral("MATEMATİK"),
                                      QStringLiteral("TÜRKÇE")}));
    QCOMPARE(r->captions().mid(4, 2),
             (QStringList{QStringLiteral("GENEL"), QStringLiteral("HIZ")}));
    QCOMPARE(r->podium(),
             (QStringList{QStringLiteral("Ad2 Soyad2"), QStringLiteral("Ad1 Soyad1")}));
    QCOMPARE(r->bars().at(0).label, QStringLiteral("Ad2 Soyad2 (5-A)"));
    const QList<reports::RankingRow> table = r->tableRows();
    QCOMPARE(table.size(), 5);  // overall + two courses, overall + one course
    QCOMPARE(table.first().ders, QStringLiteral(" GENEL"));

    const QString path = m_fx.path(QStringLiteral("liste.xlsx"));
    QVERIFY(SuccessRanking::exportXlsx(r.value(), RunCriteria::View::List, path).ok());
    const Result<formats::Workbook> book = formats::Workbook::open(path);
    QVERIFY(book.ok());
    QCOMPARE(book->sheetNames(), QStringList{QStringLiteral("Sayfa1")});
    QCOMPARE(book->cell(0, 0, 0), r->title(RunCriteria::View::List));
    QCOMPARE(book->cell(0, 3, 0), QStringLiteral("2"));
    QCOMPARE(book->cell(0, 4, 7), QStringLiteral("63.33 (3)"));  // after GENEL, HIZ, FEN
  }

  void theLastRunsAcrossCourses() {
    // Newest two: a Turkish run and a science run; the older maths run is out.
    add({"1", "01.10.2026", "09:00:00", "M", "", "10", 10});
    add({"1", "05.10.2026", "09:00:00", "T", "", "5", 10});
    add({"1", "05.10.2026", "14:00:00", "F", "", "2", 10});
    const reports::Ranking r = SuccessRanking(db()).build({QStringLiteral("1")}, last(2)).value();
    const reports::RankedStudent& s = r.students.first();
    QCOMPARE(s.overall.testSayisi, 2);
    QVERIFY(!course(s, "MATEMATİK"));
    QCOMPARE(s.overall.net, 35.0);

    RunCriteria range;
    range.limit = RunCriteria::Limit::DateRange;
    range.from = QDate(2026, 10, 1);
    range.to = QDate(2026, 10, 4);
    QCOMPARE(SuccessRanking(db()).build({QStringLiteral("1")}, range)->students.first().overall.net,
             100.0);
    range.curriculum.course = QStringLiteral("TÜRKÇE");
    QCOMPARE(range.title(), QStringLiteral("01.10.2026 İLE 04.10.2026 TARİHLERİ ARASINDA YAPILAN "
                                           "UYGULAMA İÇİN DERS:TÜRKÇE KRİTERLERİNE UYGUN BAŞARI "
                                           "LİSTESİDİR"));
    QCOMPARE(last(5).title(RunCriteria::View::Podium),
             QStringLiteral("SON YAPILAN 5 UYGULAMA İÇİN KRİTERLERİNE UYGUN BAŞARI KÜRSÜSÜDÜR"));
    range.to = QDate(2026, 9, 1);
    QVERIFY(!SuccessRanking(db()).build({QStringLiteral("1")}, range).ok());
    QVERIFY(!SuccessRanking(db()).build({QStringLiteral("1")}, last(0)).ok());
  }

  // 8 right and 2 wrong of 10 with three wrongs cancelling one: net 7.333…, kept
  // as "7.33". Every percentage is 73.33, never 73.30 from the rounded text.
  void figuresComeFromTheCountsNotTheRoundedNet() {
    add({"1", "01.10.2026", "09:00:00", "M", "", "7.33", 10, "01:00", "5-A", 8, 2, 0, "1"});
    add({"2", "01.10.2026", "09:00:00", "M", "", "10", 10, "01:00", "5-A", 10, 0, 0, "1"});
    const reports::Ranking r =
        SuccessRanking(db()).build({QStringLiteral("1"), QStringLiteral("2")}, last(5)).value();
    const reports::RankedStudent& s = r.students.at(1);
    QCOMPARE(QString::number(s.overall.net, 'f', 2), QStringLiteral("73.33"));
    QCOMPARE(s.courseCell(QStringLiteral("MATEMATİK")), QStringLiteral("73.33 (1)"));
    QCOMPARE(s.overallCell(), QStringLiteral("73.33"));

    ProgressReport p(db(), ProgressReport::Subject::Student, {QStringLiteral("1")}, last(5));
    const Result<QList<reports::ProgressRow>> read = p.rowsOf(QStringLiteral("1"));
    QVERIFY2(read.ok(), qPrintable(read.error()));
    const QList<reports::ProgressRow> rows = read.value();
    QCOMPARE(ProgressReport::cells(rows.at(0)).at(15), QStringLiteral("73.33"));
    // The class beside it: (7.333… + 10) / 20.
    QCOMPARE(QString::number(rows.at(0).sinifNetOran.value(), 'f', 2), QStringLiteral("86.67"));
  }

  void equalSuccessGoesToTheFaster() {
    add({"1", "01.10.2026", "09:00:00", "M", "", "5", 10, "10:00"});
    add({"2", "01.10.2026", "09:00:00", "M", "", "5", 10, "02:00"});
    add({"3", "01.10.2026", "09:00:00", "M", "", "9", 10, "20:00"});
    const reports::Ranking r = SuccessRanking(db())
                                   .build({QStringLiteral("1"), QStringLiteral("2"),
                                           QStringLiteral("3"), QStringLiteral("4")},
                                          last(3))
                                   .value();
    QStringList order;
    for (const reports::RankedStudent& s : r.students) order << s.overall.kayitNo;
    // Student 4 has no run: not listed.
    QCOMPARE(order, (QStringList{QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1")}));
    QCOMPARE(SuccessRanking(db()).studentsOf(QStringLiteral("TÜMÜ"))->size(), 0);
    // The list shows plain figures (a negative one too) and names every column,
    // the runs of a test without a course included.
    add({"4", "02.10.2026", "09:00:00", "", "", "-1", 10, "01:00", "5-A", 1, 8, 1, "1"});
    const reports::Ranking all =
        SuccessRanking(db()).build({QStringLiteral("1"), QStringLiteral("4")}, last(3)).value();
    QVERIFY(!all.captions().contains(QString()));
    QVERIFY(all.captions().contains(QStringLiteral("Dersi Belirtilmemiş")));
    const QStringList last = all.cells().constLast();
    QVERIFY2(
        last.at(4).startsWith(QLatin1Char('-')) && !last.at(4).startsWith(QStringLiteral("-0")),
        qPrintable(last.at(4)));
  }

  void progressOfAStudentBesideTheClass() {
    ReportsFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("Can"),
                               QStringLiteral("5-A"));
    // The student: 7.5 of 10. The whole run: nets summing to 150 over 200 rows.
    add({"1", "01.10.2026", "09:00:00", "M", "", "7.5", 10, "01:00", "5-A", 8, 2, 0, "2"});
    for (int i = 2; i <= 20; ++i)
      add({QByteArray::number(i).constData(), "01.10.2026", "09:00:00", "M", "", "7.5", 10, "01:00",
           "5-A", 8, 2, 0, "2"});
    add({"1", "08.10.2026", "09:00:00", "M", "", "4", 10, "01:00", "5-A", 4, 3, 3});
    add({"1", "20.09.2026", "09:00:00", "T", "", "10", 10, "01:00", "5-A", 10, 0, 0});

    ProgressReport p(db(), ProgressReport::Subject::Student,
                     {QStringLiteral("1"), QStringLiteral("99")}, last(5));
    QVERIFY(p.show(0).ok());
    QCOMPARE(p.counter(), QStringLiteral("1/2"));
    QCOMPARE(p.title(),
             QStringLiteral("Ali Can İsimli Öğrencinin Girdiği Uygulamaların İstatistiği"));
    // Three runs where five were asked for, oldest first.
    QCOMPARE(p.rows().size(), 3);
    QCOMPARE(p.rows().at(0).testTarihi, QStringLiteral("20.09.2026"));
    const reports::ProgressRow& run = p.rows().at(1);
    QCOMPARE(run.netOran, 75.0);
    QCOMPARE(run.sinifNetOran.value(), 75.0);
    QCOMPARE(run.dogruOran, 80.0);
    QCOMPARE(ProgressReport::cells(run).at(15), QStringLiteral("75.00"));
    QCOMPARE(p.rows().at(2).bosOran, 30.0);
    QCOMPARE(p.subjectSeries(), (QList<double>{100, 75, 40}));
    QCOMPARE(p.classSeries().size(), 3);
    const QString path = m_fx.path(QStringLiteral("gelisim.xlsx"));
    QVERIFY(p.exportXlsx(path).ok());
    const Result<formats::Workbook> book = formats::Workbook::open(path);
    QVERIFY(book.ok());
    QCOMPARE(book->cell(0, 0, 0), p.title());
    QCOMPARE(book->cell(0, 2, 19), QStringLiteral("Sınıf Net Oran"));
    QCOMPARE(book->cell(0, 4, 19), QStringLiteral("75"));
    QVERIFY(p.hasNext());
    QVERIFY(p.next().ok());
    QCOMPARE(p.title(), QStringLiteral("... İsimli Öğrencinin Girdiği Uygulamaların İstatistiği"));
    QVERIFY(p.rows().isEmpty());
    QVERIFY(!p.next().ok());
    QCOMPARE(p.counter(), QStringLiteral("2/2"));

    // The last two only.
    QCOMPARE(ProgressReport(db(), ProgressReport::Subject::Student, {}, last(2))
                 .rowsOf(QStringLiteral("1"))
                 ->size(),
             2);
  }

  void progressOfAClass() {
    for (const char* date : {"03.10.2026", "01.10.2026", "02.10.2026"}) {
      add({"1", date, "09:00:00", "M", "", "6", 10, "01:00", "5-A", 6, 4, 0});
      add({"2", date, "09:00:00", "M", "", "2", 10, "01:00", "5-A", 2, 4, 4});
    }
    add({"3", "02.10.2026", "09:00:00", "M", "", "10", 10, "01:00", "6-B", 10, 0, 0});
    ProgressReport p(db(), ProgressReport::Subject::Class, {QStringLiteral("5-A")}, last(10));
    QVERIFY(p.show(0).ok());
    QCOMPARE(p.title(), QStringLiteral("5-A Sınıfına Yapılan Uygulamaların İstatistiği"));
    QCOMPARE(p.rows().size(), 3);
    QCOMPARE(p.rows().at(0).testTarihi, QStringLiteral("01.10.2026"));
    // 8 of 20 rows: 40 %; correct 8, wrong 8, blank 4 of 20.
    QCOMPARE(p.rows().at(1).netOran, 40.0);
    QCOMPARE(p.rows().at(1).yanlisOran, 40.0);
    QCOMPARE(p.rows().at(1).bosOran, 20.0);
    QVERIFY(!p.rows().at(1).sinifNetOran);
    QVERIFY(p.classSeries().isEmpty());
    QCOMPARE(ProgressReport::captions().size(), ProgressReport::columnNames().size());
    ProgressReport::setChartKind(1);
    QCOMPARE(ProgressReport::chartKind(), 1);
  }
};

QTEST_MAIN(TestRankingProgress)
#include "tst_ranking_progress.moc"
