// The report selection: the filters narrow the list and come back on the next
// visit; deleting and merging runs ask for their rights first.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

#include "../../../core/reports/ReportsFixture.h"
#include "framework/Sliste.h"
#include "lists/GridLayout.h"
#include "school/Rollover.h"
#include "school/ValueLists.h"
#include "screens/reports/ReportScreens.h"
#include "screens/reports/frmRaporlar.h"
#include "screens/reports/frmRaporlarBasariListesi.h"
#include "screens/reports/frmRaporlarGoreceli.h"
#include "screens/reports/frmRaporlarMenu.h"
#include "users/RightFlags.h"
#include "users/Rights.h"
#include "users/Session.h"

namespace {

ReportsFixture::Run runOf(const char* date, const char* sinifi, const char* testNo) {
  ReportsFixture::Run run;
  run.key = {QString::fromLatin1(date), QStringLiteral("09:00:00")};
  run.sinifi = QString::fromLatin1(sinifi);
  run.testNo = QString::fromLatin1(testNo);
  run.keys = ReportsFixture::letters("AB");
  run.remotes = {{QStringLiteral("1-1"), QString(), ReportsFixture::letters("AB")}};
  return run;
}

}  // namespace

class TestFrmRaporlarMenu : public QObject {
  Q_OBJECT
  ReportsFixture f;
  ScreenContext context() { return {ReportsFixture::db(), f.messages(), f.rights(), {}}; }

 private slots:
  void init() {
    f.setUp();
    for (const char* c : {"5-A", "5-B"})
      QVERIFY(school::ValueLists(ReportsFixture::db())
                  .add(QStringLiteral("SINIFI"), QString::fromLatin1(c))
                  .ok());
    ReportsFixture::addRun(runOf("12.10.2026", "5-A", "12"));
    ReportsFixture::addRun(runOf("20.10.2026", "5-B", "13"));
    ReportsFixture::addRun(runOf("03.11.2026", "5-A", "13"));
  }
  void cleanup() {
    f.rights().setFlags(users::RightFlags::all(true));
    f.tearDown();
  }

  void filtersNarrowAndAreKept() {
    {
      frmRaporlarMenu screen(context());
      screen.sinifListesi()->setCurrentText(QStringLiteral("TÜMÜ"));
      screen.cmdBul_Click();
      QCOMPARE(screen.runs()->kayitSayisi(), 3);
      // Newest first.
      QCOMPARE(screen.runs()->deger(0, QStringLiteral("TESTTARIHI")), QStringLiteral("03.11.2026"));
      screen.testNoBox()->setText(QStringLiteral("13"));
      screen.cmdBul_Click();
      QCOMPARE(screen.runs()->kayitSayisi(), 2);
      screen.dateRangeBox()->setChecked(true);
      screen.fromBox()->setDate(QDate(2026, 10, 15));
      screen.toBox()->setDate(QDate(2026, 10, 31));
      screen.cmdBul_Click();
      QCOMPARE(screen.runs()->kayitSayisi(), 1);
      screen.testNoBox()->clear();
      screen.dateRangeBox()->setChecked(false);
      screen.sinifListesi()->setCurrentIndex(
          screen.sinifListesi()->findText(QStringLiteral("5-A")));
      screen.cmdBul_Click();
      QCOMPARE(screen.runs()->kayitSayisi(), 2);
    }
    // The next visit starts with the class chosen last.
    frmRaporlarMenu again(context());
    QCOMPARE(again.sinifListesi()->currentText(), QStringLiteral("5-A"));
    QCOMPARE(again.runs()->kayitSayisi(), 2);
  }

  void deletingNeedsTheRightAndTakesAnswersAlong() {
    frmRaporlarMenu screen(context());
    screen.sinifListesi()->setCurrentText(QStringLiteral("TÜMÜ"));
    screen.cmdBul_Click();
    screen.runs()->TumunuSec();
    users::RightFlags flags = users::RightFlags::all(true);
    flags.setFlag(users::flagOf(QStringLiteral("115M")), false);
    f.rights().setFlags(flags);
    screen.cmdSil_Click();
    QCOMPARE(f.messages().lastText(), users::kDeniedMessage);
    QCOMPARE(ReportsFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP")), 6);
    // Merging has a right of its own.
    flags.setFlag(users::flagOf(QStringLiteral("120M")), false);
    f.rights().setFlags(flags);
    screen.cmUygulamalariBirlestir_Click();
    QCOMPARE(f.messages().lastText(), users::kDeniedMessage);

    f.rights().setFlags(users::RightFlags::all(true));
    f.messages().setNextAnswer(Messages::Answer::No);
    screen.cmdSil_Click();
    QCOMPARE(screen.runs()->kayitSayisi(), 3);
    f.messages().setNextAnswer(Messages::Answer::Yes);
    screen.cmdSil_Click();
    QCOMPARE(screen.runs()->kayitSayisi(), 0);
    for (const char* table : {"TABLEUYGULAMA", "TABLECEVAP", "TABLESONUC"})
      QCOMPARE(ReportsFixture::count(QStringLiteral("SELECT COUNT(*) FROM ") +
                                     QString::fromLatin1(table)),
               0);
  }

  void openingHandsTheRunOver() {
    frmRaporlarMenu screen(context());
    QList<reports::RunKey> opened;
    screen.setReportOpener([&](const reports::RunKey& key) { opened << key; });
    screen.sinifListesi()->setCurrentText(QStringLiteral("TÜMÜ"));
    screen.cmdBul_Click();
    QTableView* view = screen.runs()->tablo();
    view->setCurrentIndex(view->model()->index(1, 1));
    screen.cmdTestSec_Click();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().date, QStringLiteral("20.10.2026"));
    QCOMPARE(opened.first().start, QStringLiteral("09:00:00"));
    // The same run goes to the presentation with its remotes.
    QList<reports::ResumeRun> resumed;
    screen.setResumer([&](const reports::ResumeRun& run) { resumed << run; });
    screen.cmdDevam_Click();
    QCOMPARE(resumed.size(), 1);
    QCOMPARE(resumed.first().key.date, QStringLiteral("20.10.2026"));
    QCOMPARE(resumed.first().remotes, QStringList{QStringLiteral("1-1")});
  }

  // After the rollover the old year's runs are in the backup only: "Geçmiş
  // Yıllar" opens them with every report, offers nothing that would change the
  // old year, and leaves the backup's files as they were.
  void pastYearsOpenTheBackupReadOnly() {
    RecordedMessages yes;
    yes.setDefaultAnswer(Messages::Answer::Yes);
    school::Rollover::Hooks hooks;
    hooks.messages = &yes;
    hooks.now = [] { return QDateTime(QDate(2027, 9, 6), QTime(8, 0)); };
    const school::Rollover::Report done =
        school::Rollover::SinifAtlatmaUygula(ReportsFixture::db(), hooks);
    QVERIFY2(done.outcome == school::Rollover::Outcome::Done, qPrintable(done.message));

    frmRaporlarMenu today(context());
    today.setPastYearsOpener([] {});
    today.sinifListesi()->setCurrentText(QStringLiteral("TÜMÜ"));
    today.cmdBul_Click();
    QCOMPARE(today.runs()->kayitSayisi(), 0);
    QVERIFY(!today.findChild<QPushButton*>(QStringLiteral("cmdGecmisYillar"))->isHidden());

    const QList<reportsui::PastYear> years = reportsui::pastYears(ReportsFixture::db());
    QCOMPARE(years.size(), 1);
    QCOMPARE(years.first().label, QStringLiteral("2026-2027"));  // done for 2027-2028
    const QString backupMain =
        QDir(years.first().backupFolder).filePath(QStringLiteral("DERSLIK.db"));
    QFile file(backupMain);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    QPointer<frmRaporlarMenu> old = reportsui::openPastYear(context(), years.first());
    QVERIFY(old);
    QVERIFY(old->pastYear());
    QVERIFY(old->findChild<QLabel*>(QStringLiteral("lblGecmisYil"))
                ->text()
                .contains(QStringLiteral("2026-2027")));
    old->sinifListesi()->setCurrentText(QStringLiteral("TÜMÜ"));
    old->cmdBul_Click();
    QCOMPARE(old->runs()->kayitSayisi(), 3);
    for (const char* name : {"cmdSil", "cmUygulamalariBirlestir", "cmdDevam", "cmdGecmisYillar"})
      QVERIFY2(old->findChild<QPushButton*>(QString::fromLatin1(name))->isHidden(), name);
    QTableView* view = old->runs()->tablo();
    view->setCurrentIndex(view->model()->index(0, 1));
    old->cmdTestSec_Click();
    frmRaporlar* report = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* r = qobject_cast<frmRaporlar*>(w)) report = r;
    QVERIFY(report);  // every report as today, read from the old year
    QVERIFY(report->loaded());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    delete report;
    delete old.data();
  }

  void rankingOfTheChosenClass() {
    ReportsFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("Kaya"),
                               QStringLiteral("5-A"));
    ReportsFixture::addStudent(QStringLiteral("2"), QStringLiteral("Ayşe"), QStringLiteral("Demir"),
                               QStringLiteral("5-A"));
    ReportsFixture::addStudent(QStringLiteral("3"), QStringLiteral("Can"), QStringLiteral("Şahin"),
                               QStringLiteral("5-B"));
    ReportsFixture::Run run = runOf("05.11.2026", "5-A", "12");
    run.remotes = {{QStringLiteral("2-1"), QStringLiteral("1"), ReportsFixture::letters("AB")},
                   {QStringLiteral("2-2"), QStringLiteral("2"), ReportsFixture::letters("A-")}};
    ReportsFixture::addRun(run);
    frmRaporlarMenu screen(context());
    screen.sinifListesi()->setCurrentIndex(screen.sinifListesi()->findText(QStringLiteral("5-A")));
    // A date range that ends before it starts is refused before anything opens.
    screen.dateRangeBox()->setChecked(true);
    screen.fromBox()->setDate(QDate(2026, 11, 30));
    screen.toBox()->setDate(QDate(2026, 11, 1));
    QVERIFY(!screen.cmdTestSec2_Click());
    QVERIFY(f.messages().lastText().contains(QStringLiteral("Başlangıç tarihi")));

    screen.dateRangeBox()->setChecked(false);
    screen.lastRunsBox()->setValue(5);
    std::unique_ptr<frmRaporlarBasariListesi> ranking(screen.cmdTestSec2_Click());
    QVERIFY(ranking && ranking->loaded());
    // Only the chosen class, best first; the podium has as many names as students.
    QCOMPARE(ranking->list()->rowCount(), 2);
    QCOMPARE(ranking->list()->item(0, 1)->text(), QStringLiteral("Ali"));
    QCOMPARE(ranking->podiumNames(),
             QStringList({QStringLiteral("Ali Kaya"), QStringLiteral("Ayşe Demir")}));
    QVERIFY(ranking->titleLabel()->text().contains(QStringLiteral("SON YAPILAN 5")));
    // The progress of the same students, one after the other.
    std::unique_ptr<frmRaporlarGoreceli> progress(
        screen.openProgress(reports::ProgressReport::Subject::Student));
    QVERIFY(progress && progress->loaded());
    QCOMPARE(progress->counterLabel()->text(), QStringLiteral("1/2"));
    const QString first = progress->titleLabel()->text();
    progress->step(1);
    QCOMPARE(progress->counterLabel()->text(), QStringLiteral("2/2"));
    QVERIFY(progress->titleLabel()->text() != first);
    progress->step(1);  // past the last: stays
    QCOMPARE(progress->counterLabel()->text(), QStringLiteral("2/2"));
    QCOMPARE(progress->table()->rowCount(), 1);
    const QString xlsx = f.path(QStringLiteral("Basari_Listesi.xlsx"));
    f.messages().setNextAnswer(Messages::Answer::No);
    ranking->cmdExcel_Click(xlsx);
    QVERIFY(QFileInfo(xlsx).size() > 0);
  }

  // The class and student pages decide whose ranking and progress are shown;
  // nothing opens before something is picked.
  void classAndStudentPagesPickTheSubjects() {
    ReportsFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("Kaya"),
                               QStringLiteral("5-A"));
    ReportsFixture::addStudent(QStringLiteral("3"), QStringLiteral("Can"), QStringLiteral("Şahin"),
                               QStringLiteral("5-B"));
    ReportsFixture::addStudent(QStringLiteral("4"), QStringLiteral("Eda"), QStringLiteral("Kurt"),
                               QStringLiteral("5-B"));
    QVERIFY(ReportsFixture::db()
                .run(QStringLiteral("UPDATE TABLEOGRENCI SET SILINDIMI='01.09.2026 10:00:00' "
                                    "WHERE KAYITNO='4'"))
                .ok());
    ReportsFixture::Run run = runOf("05.11.2026", "5-A", "12");
    run.remotes = {{QStringLiteral("2-1"), QStringLiteral("1"), ReportsFixture::letters("AB")},
                   {QStringLiteral("2-3"), QStringLiteral("3"), ReportsFixture::letters("A-")},
                   {QStringLiteral("2-4"), QStringLiteral("4"), ReportsFixture::letters("B-")}};
    ReportsFixture::addRun(run);
    frmRaporlarMenu screen(context());
    auto pick = [](Sliste* list, const QString& column, const QString& value) {
      for (int r = 0; r < list->proxy()->rowCount(); ++r)
        if (list->deger(r, column) == value)
          list->tablo()->selectionModel()->select(
              list->tablo()->model()->index(r, 0),
              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };

    screen.cmdGore_Click(frmRaporlarMenu::Page::Classes);
    QCOMPARE(screen.classes()->kayitSayisi(), 2);
    QVERIFY(screen.findChild<QPushButton*>(QStringLiteral("cmdSil"))->isHidden());
    QVERIFY(!screen.cmdTestSec2_Click());
    QVERIFY(f.messages().lastText().contains(QStringLiteral("sınıf seçiniz")));
    pick(screen.classes(), QStringLiteral("SINIFI"), QStringLiteral("5-B"));
    std::unique_ptr<frmRaporlarBasariListesi> ranking(screen.cmdTestSec2_Click());
    QVERIFY(ranking && ranking->loaded());
    QCOMPARE(ranking->list()->rowCount(), 1);  // the deleted student is not in the class
    QCOMPARE(ranking->list()->item(0, 1)->text(), QStringLiteral("Can"));
    std::unique_ptr<frmRaporlarGoreceli> classProgress(
        screen.openProgress(reports::ProgressReport::Subject::Class));
    QVERIFY(classProgress && classProgress->loaded());
    QCOMPARE(classProgress->counterLabel()->text(), QStringLiteral("1/1"));

    screen.cmdGore_Click(frmRaporlarMenu::Page::Students);
    QVERIFY(screen.findChild<QPushButton*>(QStringLiteral("cmdSinifGelisimi"))->isHidden());
    QCOMPARE(screen.students()->kayitSayisi(), 2);
    screen.deletedStudentsBox()->setChecked(true);
    QCOMPARE(screen.students()->kayitSayisi(), 1);
    QCOMPARE(screen.students()->deger(0, QStringLiteral("SILINMETARIHI")),
             QStringLiteral("01.09.2026 10:00:00"));
    // A deleted student's results still count in their own statistics.
    pick(screen.students(), QStringLiteral("KAYITNO"), QStringLiteral("4"));
    std::unique_ptr<frmRaporlarGoreceli> progress(
        screen.openProgress(reports::ProgressReport::Subject::Student));
    QVERIFY(progress && progress->loaded());
    QCOMPARE(progress->table()->rowCount(), 1);

    screen.cmdGore_Click(frmRaporlarMenu::Page::Runs);
    QVERIFY(!screen.findChild<QPushButton*>(QStringLiteral("cmdSil"))->isHidden());
  }

  // The shipped layout cuts the date short: it is widened until the teacher
  // saves widths of their own, which then stay.
  void theDateShowsWholeAndASavedWidthStays() {
    const auto dateColumn = [](Sliste* list) {
      int grid = 0;
      for (const lists::LayoutColumn& c : list->currentLayout()) {
        if (c.visibility == lists::LayoutColumn::Visibility::Internal) continue;
        if (c.column == QStringLiteral("TESTTARIHI")) return grid;
        ++grid;
      }
      return -1;
    };
    int wide = 0;
    {
      frmRaporlarMenu screen(context());
      QTableView* view = screen.runs()->tablo();
      const int at = dateColumn(screen.runs());
      QVERIFY(at >= 0);
      wide = view->columnWidth(at);
      QVERIFY(wide > QFontMetrics(view->font()).horizontalAdvance(QStringLiteral("20.10.2026")));
      view->horizontalHeader()->resizeSection(at, 50);
      screen.runs()->TabloDuzeniniKaydet();
    }
    frmRaporlarMenu again(context());
    QVERIFY(std::abs(again.runs()->tablo()->columnWidth(dateColumn(again.runs())) - 50) <= 1);
  }
};

QTEST_MAIN(TestFrmRaporlarMenu)
#include "tst_frmRaporlarMenu.moc"
