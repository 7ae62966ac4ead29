#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include "ReportsFixture.h"
#include "delivery/Recording.h"

using Remote = ReportsFixture::Remote;

namespace {

struct Output {
  int code = -1;
  QString out;
  QString err;
  QJsonDocument json() const { return QJsonDocument::fromJson(out.toUtf8()); }
};

QStringList sortedKeys(const QJsonObject& o) {
  QStringList k = o.keys();
  k.sort();
  return k;
}

}  // namespace

// derslik-cli report ... over runs written by the fixture, as a script sees it.
class TestReportCli : public QObject {
  Q_OBJECT

  ReportsFixture m_fx;

  Output cli(const QStringList& args) {
    // The command line opens the folder itself; the fixture lets go of it first.
    ReportsFixture::db().close();
    QProcess p;
    p.start(QStringLiteral(DERSLIK_CLI),
            QStringList{QStringLiteral("--veri-klasoru"), ReportsFixture::db().root()} + args);
    Output o;
    if (!p.waitForStarted() || !p.waitForFinished(60000)) return o;
    o.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = QString::fromUtf8(p.readAllStandardOutput());
    o.err = QString::fromUtf8(p.readAllStandardError());
    if (!ReportsFixture::db().open().ok()) o.code = -2;
    return o;
  }

  static ReportsFixture::Run classRun(const char* date, const char* start, const char* keys) {
    ReportsFixture::Run run;
    run.key = {QString::fromLatin1(date), QString::fromLatin1(start)};
    run.penalty = QStringLiteral("1");
    run.keys = ReportsFixture::letters(keys);
    return run;
  }

 private slots:
  void init() {
    m_fx.setUp();
    ReportsFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("Can"),
                               QStringLiteral("5-A"));
    ReportsFixture::addStudent(QStringLiteral("2"), QStringLiteral("Ece"), QStringLiteral("Su"),
                               QStringLiteral("5-A"));
    ReportsFixture::Run run = classRun("12.10.2026", "09:00:00", "ABCDEABCDE");
    run.remotes = {
        Remote{QStringLiteral("1-1"), QStringLiteral("1"), ReportsFixture::letters("ABCDEBBBBB")},
        Remote{QStringLiteral("1-2"), QStringLiteral("2"), ReportsFixture::letters("ABCDEABCD-")},
        Remote{QStringLiteral("1-3"), {}, ReportsFixture::letters("AAAAAAAAAA")}};
    ReportsFixture::addRun(run);
    ReportsFixture::Run later = classRun("19.10.2026", "09:00:00", "AB");
    later.testNo = QStringLiteral("13");
    later.ders = QStringLiteral("TÜRKÇE");
    later.remotes = {
        Remote{QStringLiteral("1-1"), QStringLiteral("1"), ReportsFixture::letters("AB")}};
    ReportsFixture::addRun(later);
  }
  void cleanup() { m_fx.tearDown(); }

  void runsAndOneRun() {
    Output o = cli({QStringLiteral("report"), QStringLiteral("runs")});
    QCOMPARE(o.code, 0);
    const QStringList lines = o.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).startsWith(QStringLiteral("TESTTARIHI\tTESTBASLANGIC\tTESTBITIS\tTESTNO")));
    QVERIFY(lines.at(1).startsWith(QStringLiteral("19.10.2026\t09:00:00")));
    o = cli({QStringLiteral("report"), QStringLiteral("runs"), QStringLiteral("--test"),
             QStringLiteral("12"), QStringLiteral("--from"), QStringLiteral("01.10.2026"),
             QStringLiteral("--json")});
    QCOMPARE(o.code, 0);
    QCOMPARE(o.json().array().size(), 1);
    QCOMPARE(o.json().array().at(0)[QStringLiteral("SORUSAYISI")].toString(), QStringLiteral("10"));
    QCOMPARE(cli({QStringLiteral("report"), QStringLiteral("runs"), QStringLiteral("--from"),
                  QStringLiteral("32.10.2026")})
                 .code,
             2);

    o = cli({QStringLiteral("report"), QStringLiteral("run"), QStringLiteral("12.10.2026"),
             QStringLiteral("09:00:00"), QStringLiteral("--json")});
    QCOMPARE(o.code, 0);
    const QJsonObject doc = o.json().object();
    QCOMPARE(sortedKeys(doc), (QStringList{QStringLiteral("leftOut"), QStringLiteral("questions"),
                                           QStringLiteral("students")}));
    QVERIFY(doc[QStringLiteral("leftOut")].toArray().isEmpty());
    const QJsonArray students = doc[QStringLiteral("students")].toArray();
    QCOMPARE(students.size(), 3);
    QCOMPARE(students.at(0)[QStringLiteral("KAYITNO")].toString(), QStringLiteral("2"));
    QCOMPARE(students.at(1)[QStringLiteral("NET")].toString(), QStringLiteral("4.67"));
    QCOMPARE(students.at(1)[QStringLiteral("KACINCIOLDU")].toString(), QStringLiteral("2"));
    const QJsonObject q10 = doc[QStringLiteral("questions")].toArray().at(9).toObject();
    QCOMPARE(sortedKeys(q10), (QStringList{"A", "B", "BOS", "C", "D", "DOGRUORAN", "DOGRUSIK", "E",
                                           "SORUNO", "TESTSIRANO"}));
    QCOMPARE(q10[QStringLiteral("A")].toInt(), 1);
    QCOMPARE(q10[QStringLiteral("BOS")].toInt(), 1);
    QCOMPARE(q10[QStringLiteral("DOGRUORAN")].toDouble(), 0.0);

    o = cli({QStringLiteral("report"), QStringLiteral("run"), QStringLiteral("12.10.2026"),
             QStringLiteral("10:00:00")});
    QCOMPARE(o.code, 1);
    QVERIFY(o.err.contains(QStringLiteral("Uygulama bulunamadı: 12.10.2026 10:00:00")));
  }

  // Students left out at the remote check are stored with the run's first question
  // and named by its report; a run without any, or from a file older than that
  // record, names nobody.
  void studentsLeftOut() {
    delivery::RunRecord r;
    r.key = {QStringLiteral("26.10.2026"), QStringLiteral("09:00:00")};
    r.description.testNo = QStringLiteral("12");
    r.description.className = QStringLiteral("5-A");
    r.addresses = {QStringLiteral("1-1")};
    r.leftOut = {{QStringLiteral("1-2"), QStringLiteral("Ece Su")},
                 {QStringLiteral("1-3"), QStringLiteral("1-3")}};
    delivery::Recording recording(ReportsFixture::db());
    QVERIFY(recording.CevaplariVeritabaninaYaz(r, 1, QStringLiteral("S1"), {{"1-1", "A", 4}}).ok());
    QVERIFY(recording.CevaplariVeritabaninaYaz(r, 2, QStringLiteral("S2"), {{"1-1", "B", 4}}).ok());

    Output o = cli({QStringLiteral("report"), QStringLiteral("run"), QStringLiteral("26.10.2026"),
                    QStringLiteral("09:00:00")});
    QCOMPARE(o.code, 0);
    QCOMPARE(o.out.split(QLatin1Char('\n')).value(1),
             QStringLiteral("Testin Dışında Kalan (2): Ece Su, 1-3"));
    o = cli({QStringLiteral("report"), QStringLiteral("run"), QStringLiteral("26.10.2026"),
             QStringLiteral("09:00:00"), QStringLiteral("--json")});
    const QJsonArray leftOut = o.json().object()[QStringLiteral("leftOut")].toArray();
    QCOMPARE(leftOut.size(), 2);
    QCOMPARE(leftOut.at(0)[QStringLiteral("KUMANDAADRESI")].toString(), QStringLiteral("1-2"));
    QCOMPARE(leftOut.at(0)[QStringLiteral("ADISOYADI")].toString(), QStringLiteral("Ece Su"));
    const QString pdf = m_fx.path(QStringLiteral("rapor.pdf"));
    QCOMPARE(cli({QStringLiteral("report"), QStringLiteral("export"), QStringLiteral("26.10.2026"),
                  QStringLiteral("09:00:00"), QStringLiteral("--out"), pdf})
                 .code,
             0);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(text.readAllStandardOutput())
                .contains(QStringLiteral("Testin Dışında Kalan (2): Ece Su, 1-3")));

    o = cli({QStringLiteral("report"), QStringLiteral("run"), QStringLiteral("12.10.2026"),
             QStringLiteral("09:00:00")});
    QCOMPARE(o.code, 0);
    QVERIFY(!o.out.contains(QStringLiteral("Testin Dışında")));
    // A data folder from before: the record comes with the next start, empty.
    QVERIFY(ReportsFixture::db().run(QStringLiteral("DROP TABLE TABLEDISARIDAKALAN")).ok());
    o = cli({QStringLiteral("report"), QStringLiteral("run"), QStringLiteral("12.10.2026"),
             QStringLiteral("09:00:00"), QStringLiteral("--json")});
    QCOMPARE(o.code, 0);
    QVERIFY(o.json().object()[QStringLiteral("leftOut")].toArray().isEmpty());
  }

  void keyAndRemovalRescore() {
    const QStringList run{QStringLiteral("report"), QStringLiteral("key"),
                          QStringLiteral("12.10.2026"), QStringLiteral("09:00:00")};
    QCOMPARE(cli(run).code, 2);
    QCOMPARE(cli(run + QStringList{QStringLiteral("--set"), QStringLiteral("1=F")}).code, 2);
    // Two keys for one question: neither is taken, nothing is rescored.
    const QString net = ReportsFixture::text(
        QStringLiteral("SELECT NET FROM TABLESONUC WHERE KAYITNO='1' AND TESTTARIHI='12.10.2026'"));
    for (const char* twice : {"1=A,1=B", "6=B,06=C"}) {
      const Output refused =
          cli(run + QStringList{QStringLiteral("--set"), QString::fromLatin1(twice)});
      QCOMPARE(refused.code, 2);
      QVERIFY2(refused.err.contains(QStringLiteral("sorunun anahtarı iki kez verilmiş")),
               qPrintable(refused.err));
    }
    QCOMPARE(ReportsFixture::text(QStringLiteral(
                 "SELECT NET FROM TABLESONUC WHERE KAYITNO='1' AND TESTTARIHI='12.10.2026'")),
             net);
    QCOMPARE(cli(run + QStringList{QStringLiteral("--set"), QStringLiteral("1=A"),
                                   QStringLiteral("--majority")})
                 .code,
             2);
    // Keys 6..10 made B: the first student's answers are all right now.
    Output o =
        cli(run + QStringList{QStringLiteral("--set"), QStringLiteral("6=B,7=b,8=B,9=B,10=B")});
    QCOMPARE(o.code, 0);
    QCOMPARE(ReportsFixture::text(QStringLiteral("SELECT NET FROM TABLESONUC WHERE KAYITNO='1' AND "
                                                 "TESTTARIHI='12.10.2026'")),
             QStringLiteral("10"));
    QCOMPARE(cli(run + QStringList{QStringLiteral("--set"), QStringLiteral("11=A")}).code, 1);
    o = cli(run + QStringList{QStringLiteral("--majority")});
    QCOMPARE(o.code, 0);
    // Question 2: B twice, A once.
    QCOMPARE(ReportsFixture::text(
                 QStringLiteral("SELECT DOGRUSIK FROM TABLEUYGULAMA WHERE TESTSIRANO='2' "
                                "AND TESTTARIHI='12.10.2026'")),
             QStringLiteral("B"));

    o = cli({QStringLiteral("report"), QStringLiteral("remove-question"),
             QStringLiteral("12.10.2026"), QStringLiteral("09:00:00"), QStringLiteral("3")});
    QCOMPARE(o.code, 0);
    QCOMPARE(ReportsFixture::text(
                 QStringLiteral("SELECT MAX(CAST(TESTSIRANO AS INTEGER)) FROM TABLECEVAP "
                                "WHERE TESTTARIHI='12.10.2026'")),
             QStringLiteral("9"));

    // An empty key leaves the question out of the scoring, and the report says so.
    QCOMPARE(cli(run + QStringList{QStringLiteral("--set"), QStringLiteral("1=")}).code, 0);
    QCOMPARE(ReportsFixture::column(QStringLiteral("SELECT DISTINCT SORUSAYI FROM TABLESONUC WHERE "
                                                   "TESTTARIHI='12.10.2026'")),
             QStringList{QStringLiteral("8")});
    const QStringList report{QStringLiteral("report"), QStringLiteral("run"),
                             QStringLiteral("12.10.2026"), QStringLiteral("09:00:00")};
    o = cli(report);
    QCOMPARE(o.code, 0);
    QCOMPARE(o.out.split(QLatin1Char('\n')).value(1), QStringLiteral("1. soru puanlanmadı"));
    QCOMPARE(cli(run + QStringList{QStringLiteral("--set"), QStringLiteral("1=A")}).code, 0);
    QCOMPARE(cli(report).out.split(QLatin1Char('\n')).value(1), QString());
  }

  void itemsRankingProgress() {
    Output o = cli({QStringLiteral("report"), QStringLiteral("items"), QStringLiteral("12.10.2026"),
                    QStringLiteral("09:00:00"), QStringLiteral("--json")});
    QCOMPARE(o.code, 0);
    const QJsonObject items = o.json().object();
    for (const char* k : {"questions", "kr20", "mean", "sd", "sem"})
      QVERIFY2(items.contains(QString::fromLatin1(k)), k);
    const QJsonObject first = items[QStringLiteral("questions")].toArray().at(0).toObject();
    for (const char* k :
         {"TESTSIRANO", "facility", "discrimination", "upperLower", "blank", "options", "flags"})
      QVERIFY2(first.contains(QString::fromLatin1(k)), k);
    QCOMPARE(sortedKeys(first[QStringLiteral("options")][QStringLiteral("A")].toObject()),
             (QStringList{QStringLiteral("count"), QStringLiteral("pointBiserial"),
                          QStringLiteral("share")}));
    QCOMPARE(first[QStringLiteral("facility")].toDouble(), 1.0);
    QVERIFY(first[QStringLiteral("flags")].toArray().contains(QStringLiteral("çok kolay")));
    QCOMPARE(cli({QStringLiteral("report"), QStringLiteral("items"), QStringLiteral("--test"),
                  QStringLiteral("12")})
                 .code,
             0);
    QCOMPARE(cli({QStringLiteral("report"), QStringLiteral("items")}).code, 2);

    o = cli({QStringLiteral("report"), QStringLiteral("ranking"), QStringLiteral("--class"),
             QStringLiteral("5-A"), QStringLiteral("--last"), QStringLiteral("2"),
             QStringLiteral("--json")});
    QCOMPARE(o.code, 0);
    const QJsonArray rows = o.json().array();
    // Ece (one run), Ali (overall, maths, Turkish): overall rows first.
    QCOMPARE(rows.size(), 5);
    QCOMPARE(sortedKeys(rows.at(0).toObject()),
             (QStringList{"ADI", "DERS", "KAYITNO", "NET", "SINIFI", "SOYADI", "TESTSAYISI",
                          "TOPLAMSURE"}));
    QCOMPARE(rows.at(2)[QStringLiteral("DERS")].toString(), QStringLiteral(" GENEL"));
    QCOMPARE(rows.at(2)[QStringLiteral("TESTSAYISI")].toInt(), 2);
    QCOMPARE(cli({QStringLiteral("report"), QStringLiteral("ranking")}).code, 2);
    QCOMPARE(cli({QStringLiteral("report"), QStringLiteral("ranking"), QStringLiteral("--last"),
                  QStringLiteral("2"), QStringLiteral("--from"), QStringLiteral("01.01.2026"),
                  QStringLiteral("--to"), QStringLiteral("01.02.2026")})
                 .code,
             2);

    o = cli({QStringLiteral("report"), QStringLiteral("progress"), QStringLiteral("--student"),
             QStringLiteral("1"), QStringLiteral("--from"), QStringLiteral("01.10.2026"),
             QStringLiteral("--to"), QStringLiteral("31.10.2026"), QStringLiteral("--json")});
    QCOMPARE(o.code, 0);
    const QJsonArray progress = o.json().array();
    QCOMPARE(progress.size(), 2);
    QCOMPARE(progress.at(0)[QStringLiteral("TESTTARIHI")].toString(), QStringLiteral("12.10.2026"));
    QCOMPARE(progress.at(1)[QStringLiteral("NETORAN")].toDouble(), 100.0);
    for (const char* k : {"TESTBASLANGIC", "SORUSAYISI", "DOGRUORAN", "YANLISORAN", "BOSORAN",
                          "SINIFNETORAN", "KISISAYISI"})
      QVERIFY2(progress.at(0).toObject().contains(QString::fromLatin1(k)), k);
    // A registration number nobody has is an error, not an empty report.
    for (const char* nobody : {"abc", "-1", "999999"}) {
      o = cli({QStringLiteral("report"), QStringLiteral("progress"), QStringLiteral("--student"),
               QString::fromLatin1(nobody), QStringLiteral("--last"), QStringLiteral("5")});
      QCOMPARE(o.code, 2);
      QCOMPARE(
          o.err,
          QStringLiteral("%1 kayıt numaralı bir öğrenci yok.\n").arg(QString::fromLatin1(nobody)));
      QCOMPARE(o.out, QString());
    }
  }

  void filesFromARun() {
    const QString xlsx = m_fx.path(QStringLiteral("cevaplar.xlsx"));
    const QStringList run{QStringLiteral("report"), QStringLiteral("export"),
                          QStringLiteral("12.10.2026"), QStringLiteral("09:00:00"),
                          QStringLiteral("--out")};
    QCOMPARE(cli(run + QStringList{xlsx}).code, 0);
    QVERIFY(QFileInfo(xlsx).size() > 0);
    const QString sheets = m_fx.path(QStringLiteral("belgeler.pdf"));
    QCOMPARE(cli(run + QStringList{sheets, QStringLiteral("--sheets")}).code, 0);
    QVERIFY(QFileInfo(sheets).size() > 0);
    QCOMPARE(cli(run + QStringList{xlsx, QStringLiteral("--sheets")}).code, 2);
    QCOMPARE(cli(run + QStringList{m_fx.path(QStringLiteral("x.doc"))}).code, 2);

    // Not a survey: said so, nothing written.
    const Output o = cli({QStringLiteral("report"), QStringLiteral("survey"),
                          QStringLiteral("12.10.2026"), QStringLiteral("09:00:00")});
    QCOMPARE(o.code, 1);
    QVERIFY(o.err.contains(QStringLiteral("bir anket değil")));
  }
};

QTEST_MAIN(TestReportCli)
#include "tst_report_cli.moc"
