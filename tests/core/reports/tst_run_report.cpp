#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include "ReportsFixture.h"
#include "formats/Workbook.h"
#include "reports/ReportExports.h"
#include "reports/ReportNavigator.h"
#include "reports/RunReport.h"
#include "reports/RunRevision.h"

using reports::ReportNavigator;
using reports::RunReport;
using Remote = ReportsFixture::Remote;

namespace {

QString pdfText(const QString& path) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) return {};
  QProcess p;
  p.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

receiver::AdmittedPress teacherPress(const QString& key, bool teacher = true) {
  return {{QStringLiteral("1-1"), key, {}}, teacher, QTime(10, 0)};
}

}  // namespace

class TestRunReport : public QObject {
  Q_OBJECT

  ReportsFixture m_fx;
  static store::Store& db() { return ReportsFixture::db(); }

  // Ten questions A..E repeated; a paired student with 6 right and 4 wrong, the
  // virtual remote, and two remotes without a student.
  static ReportsFixture::Run tenQuestionRun(const QString& penalty) {
    ReportsFixture::Run run;
    run.penalty = penalty;
    run.keys = ReportsFixture::letters("ABCDEABCDE");
    run.remotes = {
        Remote{QStringLiteral("12-201"), QStringLiteral("1"), ReportsFixture::letters("ABCDEBBBBB"),
               QStringLiteral("0:20")},
        Remote{QStringLiteral("0-0"), QStringLiteral("Ayşe|Yılmaz"),
               ReportsFixture::letters("ABCDEAB-X-"), QStringLiteral("0:05")},
        Remote{QStringLiteral("12-203"), {}, ReportsFixture::letters("AAAAAAAAAA")},
        Remote{QStringLiteral("12-204"),
               {},
               ReportsFixture::letters("AAAAAAAAAA"),
               QStringLiteral("0:30")},
    };
    return run;
  }

  static RunReport loaded(const reports::RunKey& key = ReportsFixture::Run().key) {
    RunReport r(db(), key);
    const Status s = r.load();
    if (!s) qWarning() << s.error();
    return r;
  }

 private slots:
  void init() {
    m_fx.setUp();
    ReportsFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali Can"),
                               QStringLiteral("Öztürk"), QStringLiteral("5-A"));
  }
  void cleanup() { m_fx.tearDown(); }

  void everyViewOfARun() {
    ReportsFixture::addRun(tenQuestionRun(QStringLiteral("1")));
    const RunReport r = loaded();
    QVERIFY(r.loaded());
    QCOMPARE(r.title(),
             QStringLiteral("12.10.2026 Tarihinde 09:00:00-09:40:00 Arası 5-A Sınıfına "
                            "Yapılan 12 Numaralı Kesirler İsimli Testin Uygulama Raporu"));
    // A run for the whole school ("TÜMÜ") names no class.
    ReportsFixture::Run school = tenQuestionRun(QStringLiteral("1"));
    school.key.start = QStringLiteral("11:00:00");
    school.sinifi = QStringLiteral("TÜMÜ");
    ReportsFixture::addRun(school);
    QVERIFY(!loaded(school.key).title().contains(QStringLiteral("Sınıfına")));
    // Free questions have no name.
    school.key.start = QStringLiteral("12:00:00");
    school.testAdi.clear();
    ReportsFixture::addRun(school);
    QVERIFY2(loaded(school.key).title().endsWith(QStringLiteral("Numaralı Testin Uygulama Raporu")),
             qPrintable(loaded(school.key).title()));
    const reports::ReportOptions options;

    // Ranks: the virtual remote (7 right) first, the student (6 right, 4 wrong:
    // 6 - 4/3 = 4.67), then the unpaired remotes, equal nets by the shorter time.
    const QList<reports::ReportParticipant>& p = r.participants();
    QCOMPARE(p.size(), 4);
    QCOMPARE(p.at(0).name.adi, QStringLiteral("Ayşe"));
    QCOMPARE(p.at(0).name.soyadi, QStringLiteral("Yılmaz"));
    QCOMPARE(p.at(1).name.full(), QStringLiteral("Ali Can Öztürk"));
    QCOMPARE(p.at(1).net, QStringLiteral("4.67"));
    QCOMPARE(p.at(2).address, QStringLiteral("12-203"));
    QCOMPARE(p.at(2).name.adi, QStringLiteral("12-203"));
    QCOMPARE(p.at(3).name.adi, QStringLiteral("12-204"));

    const reports::GeneralView g = r.general(options);
    QCOMPARE(g.questions, 10);
    QCOMPARE(g.participants, 4);
    QCOMPARE(g.answers, 40);
    // Correct: 7 + 6 + 2 + 2; blank: the virtual remote's two empties and its "X".
    QCOMPARE(g.correct.count, 17);
    QCOMPARE(g.correct.percent, QStringLiteral("42.50"));
    QCOMPARE(g.blank.count, 3);
    QCOMPARE(g.options[0].count, 23);  // A
    QCOMPARE(g.optionBlank.count, 3);
    QCOMPARE(g.chartGroup, QStringLiteral("12.10.2026 (09:00:00-09:40:00)"));
    QCOMPARE(g.correctnessBars.size(), 3);
    reports::ReportOptions noBlanks;
    noBlanks.hideBlanksInCharts = true;
    noBlanks.hideUnchosenOptions = true;
    QCOMPARE(r.general(noBlanks).correctnessBars.size(), 2);
    QCOMPARE(r.general(noBlanks).distributionBars.size(), 5);  // A..E all chosen, no "Boş"

    const reports::AnswersTable t = r.answersTable(options);
    QCOMPARE(t.captions.at(4), QStringLiteral("1\nA"));
    QCOMPARE(t.captions.at(13), QStringLiteral("10\nE"));
    QCOMPARE(t.rows.at(0).mid(0, 4),
             (QStringList{QStringLiteral("01"), QStringLiteral("0-0"), QStringLiteral("Ayşe"),
                          QStringLiteral("Yılmaz")}));
    QCOMPARE(t.rows.at(1).at(13), QStringLiteral("B"));
    QCOMPARE(t.rows.at(1).mid(14),
             (QStringList{QStringLiteral("4.67"), QStringLiteral("6"), QStringLiteral("4"),
                          QStringLiteral("0"), QStringLiteral("03:20")}));
    reports::ReportOptions times;
    times.showTimes = true;
    QCOMPARE(r.answersTable(times).rows.at(1).at(4), QStringLiteral("A\n0:20"));

    // Question 9 (key D): none right, three wrong (B, A, A), the "X" is blank.
    const reports::QuestionView q = r.question(r.questionIndexOf(QStringLiteral("9")), options);
    QCOMPARE(q.question.key, QStringLiteral("D"));
    QCOMPARE(q.correct.count, 0);
    QCOMPARE(q.wrong.count, 3);
    QCOMPARE(q.blank.count, 1);
    QCOMPARE(q.blankList.at(0).name.adi, QStringLiteral("Ayşe"));
    QCOMPARE(q.options[0].count, 2);
    QCOMPARE(q.options[0].percent, QStringLiteral("50.00"));
    QCOMPARE(q.all.at(0).state, QStringLiteral("Boş"));

    const reports::StudentView s = r.student(1, options);
    QCOMPARE(s.participant.rank, 2);
    QCOMPARE(s.rows.size(), 10);
    QCOMPARE(s.rows.at(0).state, QStringLiteral("Doğru"));
    QCOMPARE(s.rows.at(9).state, QStringLiteral("Yanlış"));
    QCOMPARE(s.correct.percent, QStringLiteral("60.00"));

    const reports::DistributionView d = r.distribution();
    QCOMPARE(d.caption, QStringLiteral("4 kişi"));
    QCOMPARE(d.bars.at(1).label, QStringLiteral("Ali Can Öztürk - NET: %46.67"));
  }

  void penaltyModesAndTheBlankKey() {
    // Mode "2": 6 - 4/4 = 5.
    ReportsFixture::Run run = tenQuestionRun(QStringLiteral("2"));
    // A key of "X" never makes an "X" right: it stays blank.
    run.keys[8] = QStringLiteral("X");
    ReportsFixture::addRun(run);
    const RunReport r = loaded();
    QCOMPARE(r.participants().at(1).net, QStringLiteral("5"));
    const reports::QuestionView q = r.question(8, {});
    QCOMPARE(q.correct.count, 0);
    QCOMPARE(q.blank.count, 1);
  }

  // 8 right, 2 wrong of 10, three wrongs cancel one: the net is stored as "7.33",
  // every share comes from the counts: 73.33 %, never 73.30.
  void percentagesComeFromTheCounts() {
    ReportsFixture::Run run;
    run.penalty = QStringLiteral("1");
    run.keys = ReportsFixture::letters("AAAAAAAAAA");
    run.remotes = {Remote{QStringLiteral("12-201"), QStringLiteral("1"),
                          ReportsFixture::letters("AAAAAAAABB")}};
    ReportsFixture::addRun(run);
    const RunReport r = loaded();
    QCOMPARE(r.participants().at(0).net, QStringLiteral("7.33"));
    QCOMPARE(r.participants().at(0).netPercent(), QStringLiteral("73.33"));
    QCOMPARE(r.distribution().bars.at(0).label, QStringLiteral("Ali Can Öztürk - NET: %73.33"));
  }

  // An empty key takes the question out of every figure until a key is set again.
  void aQuestionWithAnEmptyKeyIsNotScored() {
    ReportsFixture::Run run;
    run.penalty = QStringLiteral("2");
    run.keys = ReportsFixture::letters("ABCDEABCDE");
    run.remotes = {Remote{QStringLiteral("12-201"), QStringLiteral("1"),
                          ReportsFixture::letters("ABCDEABCDE")},
                   Remote{QStringLiteral("12-203"), {}, ReportsFixture::letters("BBCDEABCDE")},
                   Remote{QStringLiteral("12-204"), {}, ReportsFixture::letters("-BCDEABCDE")}};
    ReportsFixture::addRun(run);
    reports::RunRevision revision(db(), run.key);
    QVERIFY(revision.setKeys({{QStringLiteral("1"), QString()}}).ok());
    const QString stored = QStringLiteral(
        "SELECT KUMANDAADRESI||'='||SORUSAYI||'/'||DOGRUSAYI||'/'||YANLISSAYI||'/'||BOSSAYI||'/'||"
        "NET FROM TABLESONUC ORDER BY KUMANDAADRESI");
    QCOMPARE(ReportsFixture::column(stored),
             (QStringList{QStringLiteral("12-201=9/9/0/0/9"), QStringLiteral("12-203=9/9/0/0/9"),
                          QStringLiteral("12-204=9/9/0/0/9")}));
    const RunReport r = loaded();
    QCOMPARE(r.participants().at(0).netPercent(), QStringLiteral("100.00"));
    const reports::GeneralView g = r.general({});
    QCOMPARE(g.unscoredNote, QStringLiteral("1. soru puanlanmadı"));
    QCOMPARE(g.correct.count, 27);
    QCOMPARE(g.correct.percent, QStringLiteral("100.00"));
    const reports::QuestionView q = r.question(0, {});
    QVERIFY(!q.unscoredNote.isEmpty());
    QCOMPARE(q.correct.count + q.wrong.count + q.blank.count, 0);
    QVERIFY(q.wrongList.isEmpty());
    QCOMPARE(q.options[0].count, 1);  // the letters chosen still show
    QStringList states;
    for (const reports::QuestionAnswerRow& row : q.all) states << row.state;
    QCOMPARE(states, (QStringList{QString(), QString(), QStringLiteral("Cevapsız")}));
    QCOMPARE(r.student(1, {}).rows.at(0).state, QStringLiteral("Puanlanmadı"));
    QCOMPARE(r.itemAnalysis().leftOut, QStringList{QStringLiteral("1")});
    const QString xlsx = m_fx.path(reports::ReportExports::answersFileName());
    QVERIFY(reports::ReportExports::answersXlsx(r, {}, xlsx).ok());
    QCOMPARE(formats::Workbook::open(xlsx)->cell(0, 1, 0), QStringLiteral("1. soru puanlanmadı"));

    // A key again brings it back: 12-203's B is wrong, 12-204 left it blank.
    QVERIFY(revision.setKeys({{QStringLiteral("1"), QStringLiteral("A")}}).ok());
    QCOMPARE(ReportsFixture::column(stored), (QStringList{QStringLiteral("12-201=10/10/0/0/10"),
                                                          QStringLiteral("12-203=10/9/1/0/8.75"),
                                                          QStringLiteral("12-204=10/9/0/1/9")}));
    QVERIFY(loaded().general({}).unscoredNote.isEmpty());
  }

  // Free questions start without a key: neither right nor wrong until one is given;
  // the blank key is "Boş", no press "Cevapsız".
  void freeQuestionsBeforeTheirKey() {
    ReportsFixture::Run run;
    run.testNo = QStringLiteral("SERBEST");
    run.keys = QStringList{QString(), QString()};
    run.remotes = {Remote{QStringLiteral("12-201"), QStringLiteral("1"), {"A", ""}},
                   Remote{QStringLiteral("12-203"), {}, {"X", "B"}}};
    ReportsFixture::addRun(run);
    const RunReport r = loaded();
    const reports::GeneralView g = r.general({});
    QCOMPARE(g.unscoredNote, QStringLiteral("Cevap anahtarı girilmedi"));
    QCOMPARE(g.wrong.count, 0);
    QCOMPARE(g.wrong.percent, QStringLiteral("0.00"));
    QCOMPARE(r.participants().at(0).questions, 0);
    QCOMPARE(r.participants().at(0).netPercent(), QStringLiteral("0.00"));
    QStringList states;
    for (int i = 0; i < 2; ++i)
      for (const reports::QuestionAnswerRow& row : r.question(i, {}).all)
        states << row.address + QLatin1Char('=') + row.state;
    QCOMPARE(states, (QStringList{QStringLiteral("12-201="), QStringLiteral("12-203=Boş"),
                                  QStringLiteral("12-201=Cevapsız"), QStringLiteral("12-203=")}));
    QVERIFY(r.question(0, {}).wrongList.isEmpty());
  }

  void keyChangesRescoreEveryRemote() {
    ReportsFixture::addRun(tenQuestionRun(QStringLiteral("0")));
    reports::AnswerKeyEditor editor(db(), ReportsFixture::Run().key);
    QVERIFY(editor.load().ok());
    QCOMPARE(editor.rows().size(), 10);
    QCOMPARE(editor.rows().at(1).key, QStringLiteral("B"));
    // Every key A: the two unpaired remotes now answered all ten right, each in
    // its own result row.
    for (int i = 0; i < 10; ++i) editor.mark(i, QStringLiteral("A"));
    QVERIFY(editor.modified());
    QVERIFY(editor.save().ok());
    QVERIFY(!editor.modified());
    QCOMPARE(ReportsFixture::column(QStringLiteral("SELECT KUMANDAADRESI || '=' || NET FROM "
                                                   "TABLESONUC ORDER BY VAL(KACINCIOLDU)")),
             (QStringList{QStringLiteral("12-203=10"), QStringLiteral("12-204=10"),
                          QStringLiteral("0-0=2"), QStringLiteral("12-201=1")}));
    QCOMPARE(ReportsFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE DOGRUSIK<>'A'")),
             0);
    QCOMPARE(
        ReportsFixture::count(QStringLiteral("SELECT COUNT(DISTINCT KACINCIOLDU) FROM TABLECEVAP")),
        4);

    // One key from the question page; a letter that is no option is refused.
    reports::RunRevision revision(db(), ReportsFixture::Run().key);
    QVERIFY(revision.setKey(QStringLiteral("2"), QStringLiteral("B")).ok());
    QCOMPARE(loaded().participants().at(0).net, QStringLiteral("9"));
    QVERIFY(!revision.setKey(QStringLiteral("2"), QStringLiteral("F")).ok());
    // A list with a position the run does not have changes nothing at all.
    const Status bad = revision.setKeys(
        {{QStringLiteral("1"), QStringLiteral("C")}, {QStringLiteral("11"), QStringLiteral("A")}});
    QVERIFY(!bad.ok());
    QVERIFY(bad.error().contains(QStringLiteral("11. soru")));
    QCOMPARE(ReportsFixture::text(
                 QStringLiteral("SELECT DOGRUSIK FROM TABLEUYGULAMA WHERE TESTSIRANO='1'")),
             QStringLiteral("A"));
  }

  void majorityAsKeyCountsLettersOnly() {
    ReportsFixture::Run run;
    run.keys = ReportsFixture::letters("EEE");
    // Question 1: most did not answer; of the letters C and B tie: B.
    // Question 2: only blanks: no key. Question 3: A by three.
    run.remotes = {Remote{QStringLiteral("1-1"), {}, ReportsFixture::letters("-XA")},
                   Remote{QStringLiteral("1-2"), {}, ReportsFixture::letters("--A")},
                   Remote{QStringLiteral("1-3"), {}, ReportsFixture::letters("X-A")},
                   Remote{QStringLiteral("1-4"), {}, ReportsFixture::letters("C-B")},
                   Remote{QStringLiteral("1-5"), {}, ReportsFixture::letters("B-C")}};
    ReportsFixture::addRun(run);
    reports::RunRevision revision(db(), run.key);
    m_fx.messages().setNextAnswer(Messages::Answer::No);
    QCOMPARE(revision.majorityAsKey(m_fx.messages()).value(), false);
    QCOMPARE(m_fx.messages().lastText(), reports::RunRevision::majorityQuestion());
    QCOMPARE(ReportsFixture::column(
                 QStringLiteral("SELECT DOGRUSIK FROM TABLEUYGULAMA ORDER BY TESTSIRANO")),
             ReportsFixture::letters("EEE"));
    m_fx.messages().setNextAnswer(Messages::Answer::Yes);
    QCOMPARE(revision.majorityAsKey(m_fx.messages()).value(), true);
    QCOMPARE(ReportsFixture::column(
                 QStringLiteral("SELECT NZ(DOGRUSIK) FROM TABLEUYGULAMA ORDER BY TESTSIRANO")),
             (QStringList{QStringLiteral("B"), QString(), QStringLiteral("A")}));
    QCOMPARE(ReportsFixture::text(
                 QStringLiteral("SELECT NET FROM TABLESONUC WHERE KUMANDAADRESI='1-5'")),
             QStringLiteral("1"));
  }

  void removingQuestionThreeOfTen() {
    ReportsFixture::Run run;
    run.keys = ReportsFixture::letters("ABCDEABCDE");
    run.remotes = {
        Remote{QStringLiteral("1-1"), QStringLiteral("1"), ReportsFixture::letters("ABCDEABCDE")}};
    ReportsFixture::addRun(run);
    reports::RunRevision revision(db(), run.key);

    m_fx.messages().setNextAnswer(Messages::Answer::No);
    QCOMPARE(revision.removeQuestion(QStringLiteral("3"), m_fx.messages()).value(), false);
    QCOMPARE(ReportsFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEUYGULAMA")), 10);
    QVERIFY(!revision.removeQuestion(QStringLiteral("11"), m_fx.messages()).ok());

    m_fx.messages().setNextAnswer(Messages::Answer::Yes);
    QCOMPARE(revision.removeQuestion(QStringLiteral("3"), m_fx.messages()).value(), true);
    QCOMPARE(m_fx.messages().lastText(), reports::RunRevision::removeQuestionText());
    // The old 4 .. 10 are 3 .. 9, in the question rows and in the answers.
    const QStringList positions{"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    QCOMPARE(ReportsFixture::column(
                 QStringLiteral("SELECT TESTSIRANO FROM TABLEUYGULAMA ORDER BY VAL(TESTSIRANO)")),
             positions);
    QCOMPARE(ReportsFixture::column(
                 QStringLiteral("SELECT TESTSIRANO FROM TABLECEVAP ORDER BY VAL(TESTSIRANO)")),
             positions);
    QCOMPARE(ReportsFixture::text(QStringLiteral(
                 "SELECT SORUNO || DOGRUSIK FROM TABLEUYGULAMA WHERE TESTSIRANO='3'")),
             QStringLiteral("S4D"));
    QCOMPARE(
        ReportsFixture::text(QStringLiteral("SELECT CEVAP FROM TABLECEVAP WHERE TESTSIRANO='3'")),
        QStringLiteral("D"));
    QCOMPARE(ReportsFixture::text(QStringLiteral("SELECT SORUSAYI || '/' || NET FROM TABLESONUC")),
             QStringLiteral("9/9"));
  }

  void noRemovalWhileTheRunGoesOn() {
    ReportsFixture::Run run;
    run.end.clear();
    run.keys = ReportsFixture::letters("AB");
    run.remotes = {Remote{QStringLiteral("1-1"), {}, ReportsFixture::letters("AB")}};
    ReportsFixture::addRun(run);
    reports::RunRevision revision(db(), run.key);
    m_fx.messages().setNextAnswer(Messages::Answer::Yes);
    QCOMPARE(revision.removeQuestion(QStringLiteral("1"), m_fx.messages()).value(), false);
    QCOMPARE(m_fx.messages().lastText(), reports::RunRevision::removeRefused());
    QCOMPARE(ReportsFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP")), 2);
    // Key changes are allowed while it runs.
    QVERIFY(revision.setKey(QStringLiteral("1"), QStringLiteral("B")).ok());
    QVERIFY(loaded(run.key).info().inProgress());
  }

  void staleResultsAreRebuiltOnLoad() {
    ReportsFixture::addRun(tenQuestionRun(QStringLiteral("0")));
    QVERIFY(db().run(QStringLiteral("DELETE FROM TABLESONUC WHERE KUMANDAADRESI='12-204'")).ok());
    const RunReport r = loaded();
    QCOMPARE(r.participants().size(), 4);
    for (const reports::ReportParticipant& p : r.participants()) QVERIFY(p.rank > 0);
    QCOMPARE(ReportsFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLESONUC")), 4);
    RunReport missing(db(), {QStringLiteral("01.01.2020"), QStringLiteral("08:00:00")});
    QVERIFY(!missing.load().ok());
  }

  void teacherKeysPressOnlyWhatIsAvailable() {
    ReportNavigator nav;
    nav.setCounts(3, 2);
    nav.setTeacherRemotes({QStringLiteral("1-1")});
    QSignalSpy exitSpy(&nav, &ReportNavigator::exitRequested);
    QSignalSpy exportSpy(&nav, &ReportNavigator::exportRequested);

    // Commands are off until the screen takes them; a student press never acts.
    nav.press(teacherPress(QStringLiteral("B")));
    QCOMPARE(nav.page(), ReportNavigator::Page::General);
    QVERIFY(nav.teacherRemotes().isEmpty());
    nav.setTeacherCommands(true);
    nav.press(teacherPress(QStringLiteral("B"), false));
    QCOMPARE(nav.page(), ReportNavigator::Page::General);

    nav.press(teacherPress(QStringLiteral("A")));  // no page before the first
    QCOMPARE(nav.page(), ReportNavigator::Page::General);
    nav.press(teacherPress(QStringLiteral("C")));  // the other general statistics
    QVERIFY(nav.showsOptionDistribution());
    nav.press(teacherPress(QStringLiteral("B")));
    QCOMPARE(nav.page(), ReportNavigator::Page::Question);
    nav.press(teacherPress(QStringLiteral("D")));
    nav.press(teacherPress(QStringLiteral("D")));
    nav.press(teacherPress(QStringLiteral("D")));  // stays on the last of three
    QCOMPARE(nav.question(), 2);
    nav.press(teacherPress(QStringLiteral("C")));
    QCOMPARE(nav.question(), 1);
    nav.setPage(ReportNavigator::Page::Student);
    nav.press(teacherPress(QStringLiteral("D")));
    QCOMPARE(nav.student(), 1);
    QVERIFY(!nav.available(ReportNavigator::Action::NextStudent));
    nav.press(teacherPress(QStringLiteral("E")));
    QCOMPARE(exportSpy.count(), 1);
    nav.press(teacherPress(QStringLiteral("X")));
    QCOMPARE(exitSpy.count(), 1);
    // Opened from the run, the blank key goes back to the test instead.
    nav.setOpenedFromRun(true);
    QSignalSpy backSpy(&nav, &ReportNavigator::backToRunRequested);
    nav.press(teacherPress(QStringLiteral("X")));
    QCOMPARE(backSpy.count(), 1);
    QCOMPARE(exitSpy.count(), 1);
  }

  void displayOptionsAreKeptPerUser() {
    QCOMPARE(reports::ReportOptions::load(), reports::ReportOptions());
    reports::ReportOptions o;
    o.showTimes = true;
    o.singleList = true;
    o.chartKind = 2;
    o.save();
    QCOMPARE(reports::ReportOptions::load(), o);
    QCOMPARE(store::UserSettings::get(QStringLiteral("Raporlar"), QStringLiteral("SureleriGoster")),
             QStringLiteral("True"));
  }

  void exportsOfTheReport() {
    ReportsFixture::addRun(tenQuestionRun(QStringLiteral("1")));
    const RunReport r = loaded();
    const QString xlsx = m_fx.path(reports::ReportExports::answersFileName());
    QVERIFY(reports::ReportExports::answersXlsx(r, {}, xlsx).ok());
    const Result<formats::Workbook> book = formats::Workbook::open(xlsx);
    QVERIFY(book.ok());
    QCOMPARE(book->sheetNames(), QStringList{QStringLiteral("Verilen Cevaplar")});
    QCOMPARE(book->cell(0, 0, 0), r.title());
    QCOMPARE(book->cell(0, 2, 4), QStringLiteral("1\nA"));
    QCOMPARE(book->cell(0, 4, 2), QStringLiteral("Ali Can"));
    QCOMPARE(book->cell(0, 4, 14), QStringLiteral("4.67"));

    const QString views = m_fx.path(QStringLiteral("rapor.pdf"));
    QVERIFY(reports::ReportExports::viewsPdf(r, {}, views).ok());
    const QString sheets = m_fx.path(QStringLiteral("belgeler.pdf"));
    QVERIFY(reports::ReportExports::resultSheetsPdf(r, sheets).ok());
    QVERIFY(QFileInfo(views).size() > 1000);
    // A student with no right answer: "%0.00" once became a place marker for the
    // figures after it.
    const QRegularExpression zero(QStringLiteral(
        "Doğru: 0 \\(%0\\.00\\) &nbsp; Yanlış: \\d+ \\(%\\d+\\.\\d\\d\\) &nbsp; Boş: \\d+ "
        "\\(%\\d+\\.\\d\\d\\)"));
    QVERIFY(zero.match(reports::ReportExports::viewsHtml(r, {})).hasMatch());
    // Ali Can's sheet marks each answer against the key: right, wrong, right ...
    QVERIFY(reports::ReportExports::resultSheetsHtml(r).contains(
        QStringLiteral("<tr><td>Sonuç</td><td>D</td><td>D</td><td>D</td><td>D</td><td>D</td>"
                       "<td>Y</td><td>D</td><td>Y</td><td>Y</td><td>Y</td></tr>")));
    const QString text = pdfText(sheets);
    if (text.isEmpty()) QSKIP("pdftotext yok");
    // One page per remote; the student is 1st of the two in class 5-A whose nets
    // are 4.67 and 2 (the virtual remote and the unpaired ones have the run's class).
    QCOMPARE(text.count(QStringLiteral("Öğrenci Sonuç Belgesi")), 4);
    QVERIFY(text.contains(QStringLiteral("Ali Can Öztürk")));
    QVERIFY(pdfText(views).contains(QStringLiteral("Madde Analizi")));
    const QString page = m_fx.path(QStringLiteral("soru.pdf"));
    QVERIFY(reports::ReportExports::pagePdf(r, {}, ReportNavigator::Page::Question, 8, page).ok());
    QVERIFY(pdfText(page).contains(QStringLiteral("9. Soru")));
  }

  // A class of 40 and 50 questions: "Verilen Cevaplar" turns sideways, splits the
  // questions over tables that each repeat the names, and never breaks a name.
  void wideTablesStayReadable() {
    ReportsFixture::addStudent(QStringLiteral("2"), QStringLiteral("Muhammed Emin Abdülkadir"),
                               QStringLiteral("Karabulutoğlu"), QStringLiteral("5-A"));
    ReportsFixture::Run run;
    for (int q = 0; q < 50; ++q) run.keys << QString(QStringLiteral("ABCDE").at(q % 5));
    for (int i = 0; i < 40; ++i)
      run.remotes << Remote{QStringLiteral("12-%1").arg(201 + i),
                            i < 2 ? QString::number(i + 1) : QString(),
                            QStringList(50, QString(QStringLiteral("ABCDE").at(i % 5)))};
    ReportsFixture::addRun(run);
    const QString views = m_fx.path(QStringLiteral("rapor.pdf"));
    QVERIFY(reports::ReportExports::viewsPdf(loaded(), {}, views).ok());
    const QString text = pdfText(views);
    if (text.isEmpty()) QSKIP("pdftotext yok");
    QVERIFY(text.contains(QStringLiteral("Muhammed Emin Abdülkadir")));
    QVERIFY(text.contains(QStringLiteral("Karabulutoğlu")));
    const qsizetype answers = text.indexOf(QStringLiteral("Verilen Cevaplar"));
    const QString table = text.mid(answers, text.indexOf(QStringLiteral("Soru Bazlı")) - answers);
    // The names head every slice of questions, and every page of a slice.
    QVERIFY(table.count(QStringLiteral("Soyadı")) >= 2);
    QVERIFY(table.contains(QRegularExpression(QStringLiteral("\\b50\\b"))));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {views});
    QVERIFY(info.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(QStringLiteral("842 x 595")));
  }
};

QTEST_MAIN(TestRunReport)
#include "tst_run_report.moc"
