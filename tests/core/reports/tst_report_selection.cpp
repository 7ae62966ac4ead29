#include <QtTest>

#include "ReportsFixture.h"
#include "delivery/RunSettings.h"
#include "delivery/RunSetup.h"
#include "store/SavedControls.h"
#include "reports/RunList.h"
#include "store/Parameters.h"

using reports::RunFilter;
using reports::RunList;
using Remote = ReportsFixture::Remote;

namespace {

ReportsFixture::Run run(const char* date, const char* start, const char* testNo,
                        const char* testAdi, const char* sinifi) {
  ReportsFixture::Run r;
  r.key = {QString::fromUtf8(date), QString::fromUtf8(start)};
  r.testNo = QString::fromUtf8(testNo);
  r.testAdi = QString::fromUtf8(testAdi);
  r.sinifi = QString::fromUtf8(sinifi);
  r.keys = ReportsFixture::letters("AB");
  r.remotes = {Remote{QStringLiteral("1-1"), QStringLiteral("1"), ReportsFixture::letters("AB")},
               Remote{QStringLiteral("1-2"), {}, ReportsFixture::letters("B-")}};
  return r;
}

QStringList keys(const QList<reports::RunRow>& rows) {
  QStringList k;
  for (const reports::RunRow& r : rows) k << r.key.date + QLatin1Char(' ') + r.key.start;
  return k;
}

int rowsOf(const reports::RunKey& key) {
  int n = 0;
  for (const char* table : {"TABLEUYGULAMA", "TABLECEVAP", "TABLESONUC"})
    n += ReportsFixture::count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE TESTTARIHI=? AND "
                                              "TESTBASLANGIC=?")
                                   .arg(QString::fromLatin1(table)),
                               {key.date, key.start});
  return n;
}

}  // namespace

class TestReportSelection : public QObject {
  Q_OBJECT

  ReportsFixture m_fx;
  static store::Store& db() { return ReportsFixture::db(); }

 private slots:
  void init() {
    m_fx.setUp();
    ReportsFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("Can"),
                               QStringLiteral("5-A"));
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI,DERS,UNITE) VALUES "
                                    "('12','Kesirler','MATEMATİK','Kesirler'),"
                                    "('13','Fiiller','TÜRKÇE','Fiiller')"))
                .ok());
  }
  void cleanup() { m_fx.tearDown(); }

  void findListsNewestFirstWithEveryFilter() {
    ReportsFixture::addRun(run("02.10.2026", "09:00:00", "12", "Kesirler", "5-A"));
    ReportsFixture::addRun(run("15.10.2026", "08:30:00", "13", "Fiiller", "5-A"));
    ReportsFixture::addRun(run("15.10.2026", "10:00:00", "12", "Kesirler", "6-B"));
    ReportsFixture::Run free = run("01.11.2025", "11:00:00", "SERBEST", "Serbest Soru", "5-A");
    free.ders = QStringLiteral("FEN BİLİMLERİ");
    ReportsFixture::addRun(free);
    // An interrupted run: no end time anywhere.
    ReportsFixture::Run cut = run("16.10.2026", "13:00:00", "12", "Kesirler", "5-A");
    cut.end.clear();
    ReportsFixture::addRun(cut);

    RunList list(db());
    RunFilter all;
    const Result<QList<reports::RunRow>> found = list.find(all);
    QVERIFY(found.ok());
    QCOMPARE(keys(found.value()),
             (QStringList{"16.10.2026 13:00:00", "15.10.2026 10:00:00", "15.10.2026 08:30:00",
                          "02.10.2026 09:00:00", "01.11.2025 11:00:00"}));
    // Interrupted runs end when they started, in all three tables.
    QCOMPARE(found->first().testBitis, QStringLiteral("13:00:00"));
    QCOMPARE(ReportsFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE NZ(TESTBITIS)='' "
                                "OR TESTBITIS IS NULL")),
             0);
    QCOMPARE(found->at(1).soruSayisi, 2);
    QCOMPARE(found->at(1).ders, QStringLiteral("MATEMATİK"));       // the test's course
    QCOMPARE(found->last().ders, QStringLiteral("FEN BİLİMLERİ"));  // a free run's own

    RunFilter f;
    f.sinifi = QStringLiteral("5-A");
    f.curriculum.course = QStringLiteral("MATEMATİK");
    QCOMPARE(keys(list.rows(f).value()),
             (QStringList{"16.10.2026 13:00:00", "02.10.2026 09:00:00"}));
    f = {};
    f.curriculum.course = QStringLiteral("FEN BİLİMLERİ");
    QCOMPARE(list.rows(f)->size(), 1);
    f = {};
    f.testNo = QStringLiteral("13");
    QCOMPARE(keys(list.rows(f).value()), QStringList{"15.10.2026 08:30:00"});
    f = {};
    f.dateRange = true;
    f.from = QDate(2026, 10, 2);
    f.to = QDate(2026, 10, 15);
    QCOMPARE(list.rows(f)->size(), 3);
    f.sinifi = QStringLiteral("TÜMÜ");
    f.grup = QStringLiteral("TÜMÜ");
    QCOMPARE(list.rows(f)->size(), 3);
    QCOMPARE(RunList::uploadState(found->first()), RunList::Upload::NotUploaded);
    QCOMPARE(RunList::colour(RunList::Upload::NotUploaded), QColor(Qt::white));
  }

  void filterChoicesAreKeptPerUser() {
    // Never searched: the class of the last test run, by name. The run set-up
    // lists the virtual remote, then every class, with or without a parameter
    // row (5-B has only students); an older Derslik stored the place in that list,
    // which is read against that list once.
    for (const char* c : {"5-A", "6-B"})
      QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) "
                                      "VALUES ('SINIFI',?)"),
                       {QString::fromLatin1(c)})
                  .ok());
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI,SINIFI) VALUES "
                                    "('1','Ece','5-B')"))
                .ok());
    store::SavedControls old(delivery::kRunSetupScreen);
    old.setPosition(QStringLiteral("cmbSinifi"), 2, 10);
    old.setPosition(QStringLiteral("cmbUygulanma"), 2, 9);
    QVERIFY(old.save(db().db()).ok());
    const delivery::RunSetupChoices chosen =
        delivery::RunSetup(db()).loadOptions().value().choices;
    QCOMPARE(chosen.className, QStringLiteral("5-B"));
    QCOMPARE(chosen.applied, delivery::RunSetupChoices::Applied::Applied);
    QCOMPARE(store::SavedControls::load(db().db(), delivery::kRunSetupScreen)
                 ->text(QStringLiteral("cmbSinifi")),
             QStringLiteral("5-B"));
    QCOMPARE(RunFilter::load(db())->sinifi, QStringLiteral("5-B"));
    QCOMPARE(RunFilter::load(db())->curriculum.level, QStringLiteral("TÜMÜ"));

    RunFilter f;
    f.sinifi = QStringLiteral("5-A");
    f.grup = QStringLiteral("Sabah");
    f.curriculum.course = QStringLiteral("TÜRKÇE");
    QVERIFY(RunList(db()).find(f).ok());
    const RunFilter back = RunFilter::load(db()).value();
    QCOMPARE(back.sinifi, QStringLiteral("5-A"));
    QCOMPARE(back.grup, QStringLiteral("Sabah"));
    QCOMPARE(back.curriculum.course, QStringLiteral("TÜRKÇE"));
    QCOMPARE(store::UserSettings::get(QStringLiteral("RaporlarMenu"), QStringLiteral("DersAra")),
             QStringLiteral("TÜRKÇE"));
  }

  void deletingRunsTakesAnswersAndResults() {
    const ReportsFixture::Run a = run("02.10.2026", "09:00:00", "12", "Kesirler", "5-A");
    const ReportsFixture::Run b = run("03.10.2026", "09:00:00", "12", "Kesirler", "5-A");
    ReportsFixture::addRun(a);
    ReportsFixture::addRun(b);
    RunList list(db());
    m_fx.messages().setNextAnswer(Messages::Answer::No);
    QCOMPARE(list.deleteRuns({a.key}, m_fx.messages()).value(), false);
    QCOMPARE(m_fx.messages().lastText(),
             QStringLiteral(
                 "Seçili 1 adet uygulamanın kayıtlarını silmek istediğinizden emin misiniz?"));
    QCOMPARE(rowsOf(a.key), 2 + 4 + 2);
    m_fx.messages().setNextAnswer(Messages::Answer::Yes);
    QCOMPARE(list.deleteRuns({a.key}, m_fx.messages()).value(), true);
    QCOMPARE(rowsOf(a.key), 0);
    QCOMPARE(rowsOf(b.key), 8);
  }

  void onlyExpectationSurveysMerge() {
    const ReportsFixture::Run target =
        run("02.10.2026", "09:00:00", "90", "Beklenti Anketi", "5-A");
    ReportsFixture::Run other = run("02.10.2026", "10:00:00", "90", "Beklenti Anketi", "6-B");
    other.remotes = {Remote{QStringLiteral("2-1"), {}, ReportsFixture::letters("BA")}};
    const ReportsFixture::Run test = run("02.10.2026", "11:00:00", "12", "Kesirler", "5-A");
    for (const auto& r : {target, other, test}) ReportsFixture::addRun(r);
    RunList list(db());

    // A test first: nothing merges into it.
    QVERIFY(!list.mergeSurveyRuns({test.key, target.key}).ok());
    QVERIFY(!list.mergeSurveyRuns({target.key}).ok());
    QCOMPARE(rowsOf(test.key), 8);

    const Result<int> merged = list.mergeSurveyRuns({target.key, other.key, test.key});
    QVERIFY(merged.ok());
    QCOMPARE(merged.value(), 1);
    QCOMPARE(rowsOf(other.key), 0);
    QCOMPARE(rowsOf(test.key), 8);
    QCOMPARE(ReportsFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE TESTTARIHI=? AND "
                                "TESTBASLANGIC=?"),
                 {target.key.date, target.key.start}),
             6);
    QCOMPARE(
        ReportsFixture::column(QStringLiteral("SELECT DISTINCT SINIFI FROM TABLEUYGULAMA WHERE "
                                              "TESTBASLANGIC='09:00:00'")),
        QStringList{QStringLiteral("Beklenti Anketi")});
    QCOMPARE(list.run(target.key)->first().opens(), reports::RunRow::Opens::ExpectationSurvey);
    QCOMPARE(list.run(test.key)->first().opens(), reports::RunRow::Opens::Report);
  }

  void resumingKeepsNamesBesideTheirRemotes() {
    const ReportsFixture::Run r = run("02.10.2026", "09:00:00", "12", "Kesirler", "5-A");
    ReportsFixture::addRun(r);
    const Result<reports::ResumeRun> resume = RunList(db()).resume(r.key);
    QVERIFY(resume.ok());
    QCOMPARE(resume->remotes, (QStringList{QStringLiteral("1-1"), QStringLiteral("1-2")}));
    QCOMPARE(resume->names, (QStringList{QStringLiteral("Ali Can"), QStringLiteral("1-2")}));
    QCOMPARE(resume->testNo, QStringLiteral("12"));
    QVERIFY(!RunList(db()).resume({QStringLiteral("01.01.2001"), QStringLiteral("08:00:00")}).ok());
  }

  void pagesOfClassesAndStudents() {
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) "
                                    "VALUES ('SINIFI','Ç-1'),('SINIFI','C-1'),('SEVIYE','x')"))
                .ok());
    const store::Query classes = RunList::classesQuery();
    QCOMPARE(ReportsFixture::column(classes.sql, classes.params),
             (QStringList{QStringLiteral("C-1"), QStringLiteral("Ç-1")}));
    QVERIFY(
        db().run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI,SOYADI,SILINDIMI) VALUES "
                                "('2','Eski','Öğrenci','01.02.2026 10:00:00'),"
                                "('3','Daha','Eski','01.01.2026 10:00:00')"))
            .ok());
    const store::Query active = RunList::studentsQuery(false);
    QCOMPARE(ReportsFixture::column(active.sql, active.params), QStringList{QStringLiteral("Ali")});
    const store::Query gone = RunList::studentsQuery(true);
    QCOMPARE(ReportsFixture::column(gone.sql, gone.params),
             (QStringList{QStringLiteral("Eski"), QStringLiteral("Daha")}));
  }
};

QTEST_MAIN(TestReportSelection)
#include "tst_report_selection.moc"
