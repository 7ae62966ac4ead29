// The run report screen: what the teacher does to a run from its report (fix
// the key, take the majority, drop a question) reaches the database once and
// every page shows the re-scored figures; the display choices persist.
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

#include <cmath>

#include "../../../core/reports/ReportsFixture.h"
#include "Screenshot.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "reports/ReportOptions.h"
#include "reports/RunList.h"
#include "screens/reports/QuestionSketch.h"
#include "screens/reports/ReportScreens.h"
#include "screens/reports/frmRaporlar.h"
#include "screens/reports/frmRaporlarBasariListesi.h"
#include "screens/reports/frmRaporlarGoreceli.h"
#include "screens/reports/frmRaporlarMenu.h"
#include "store/ContentStores.h"
#include "store/Parameters.h"

using Page = reports::ReportNavigator::Page;
using Action = reports::ReportNavigator::Action;

namespace {

// Four questions, keys A B C D; three students and a remote nobody is paired with.
ReportsFixture::Run sampleRun() {
  ReportsFixture::Run run;
  run.keys = ReportsFixture::letters("ABCD");
  run.remotes = {{QStringLiteral("1-1"), QStringLiteral("1"), ReportsFixture::letters("ABCD")},
                 {QStringLiteral("1-2"), QStringLiteral("2"), ReportsFixture::letters("ABDD")},
                 {QStringLiteral("1-3"), QString(), ReportsFixture::letters("BBXD")},
                 {QStringLiteral("1-4"), QStringLiteral("3"), ReportsFixture::letters("B---")}};
  return run;
}

int column(const QTableWidget* t, const QString& caption) {
  for (int c = 0; c < t->columnCount(); ++c)
    if (t->horizontalHeaderItem(c)->text() == caption) return c;
  return -1;
}

// The "Doğru" cell of a remote's row in the answers table.
QString correctOf(const QTableWidget* t, const QString& address) {
  const int kumanda = column(t, QStringLiteral("Kumanda"));
  for (int r = 0; r < t->rowCount(); ++r)
    if (t->item(r, kumanda)->text() == address)
      return t->item(r, column(t, QStringLiteral("Doğru")))->text();
  return {};
}

}  // namespace

class TestFrmRaporlar : public QObject {
  Q_OBJECT
  ReportsFixture f;
  ScreenContext context() { return {ReportsFixture::db(), f.messages(), f.rights(), {}}; }

 private slots:
  void init() {
    f.setUp();
    ReportsFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("Kaya"),
                               QStringLiteral("5-A"));
    ReportsFixture::addStudent(QStringLiteral("2"), QStringLiteral("Ayşe"), QStringLiteral("Demir"),
                               QStringLiteral("5-A"));
    ReportsFixture::addStudent(QStringLiteral("3"), QStringLiteral("Can"), QStringLiteral("Şahin"),
                               QStringLiteral("5-A"));
    framework::setFileOpener([](const QString&) { return true; });
  }
  void cleanup() {
    framework::setFileOpener({});
    f.tearDown();
  }

  // Beside the button bar the main area is about 1050 × 720 on a 1280×800 and
  // 1130 × 680 on a 1366×768 screen: every page of the report fits both, the
  // buttons at the bottom included.
  void theReportFitsALaptopScreen() {
    const ReportsFixture::Run run = sampleRun();
    ReportsFixture::addRun(run);
    frmRaporlar screen(context(), run.key);
    const QSize least = screen.minimumSizeHint();
    QVERIFY2(least.width() <= 1050 && least.height() <= 680,
             qPrintable(QStringLiteral("%1×%2").arg(least.width()).arg(least.height())));
  }

  void keyEditorSavesOnceAndEveryPageFollows() {
    const ReportsFixture::Run run = sampleRun();
    ReportsFixture::addRun(run);
    frmRaporlar screen(context(), run.key);
    QVERIFY(screen.titleLabel()->text().contains(QStringLiteral("Kesirler")));
    screen.navigator().setPage(Page::Answers);
    QCOMPARE(correctOf(screen.answersTable(), QStringLiteral("1-1")), QStringLiteral("4"));
    // The unpaired remote is listed under its address.
    QCOMPARE(correctOf(screen.answersTable(), QStringLiteral("1-3")), QStringLiteral("2"));

    // Marks, "Boşalt" and "İptal" write nothing.
    screen.cmdCevapAnahtariDegistir_Click();
    QVERIFY(screen.keyEditorOpen());
    screen.markKey(0, QStringLiteral("C"));
    screen.cmdCevapAnahtariniBosalt_Click();
    screen.cmdCevapAnahtariIptal_Click();
    QVERIFY(!screen.keyEditorOpen());
    QCOMPARE(ReportsFixture::text(QStringLiteral("SELECT DOGRUSIK FROM TABLEUYGULAMA WHERE "
                                                 "TESTSIRANO='1'")),
             QStringLiteral("A"));

    // Saved: question 1's key is C; the table under the question number, the
    // counts and the results all change.
    screen.cmdCevapAnahtariDegistir_Click();
    screen.findChild<QPushButton*>(QStringLiteral("optCevap_0_C"))->click();
    screen.findChild<QPushButton*>(QStringLiteral("cmdCevapAnahtariniKaydet"))->click();
    QVERIFY(!screen.keyEditorOpen());
    QCOMPARE(screen.navigator().page(), Page::General);
    QCOMPARE(screen.report().general(screen.options()).correct.count, 7);
    screen.navigator().setPage(Page::Answers);
    QCOMPARE(screen.answersTable()->horizontalHeaderItem(4)->text(), QStringLiteral("1\nC"));
    QCOMPARE(correctOf(screen.answersTable(), QStringLiteral("1-1")), QStringLiteral("3"));
    QCOMPARE(ReportsFixture::text(QStringLiteral("SELECT DOGRUSAYI FROM TABLESONUC WHERE "
                                                 "KUMANDAADRESI='1-1'")),
             QStringLiteral("3"));
    QVERIFY(f.messages().texts().isEmpty());
  }

  void oneKeyFromTheQuestionPage() {
    const ReportsFixture::Run run = sampleRun();
    ReportsFixture::addRun(run);
    frmRaporlar screen(context(), run.key);
    screen.navigator().setPage(Page::Question);
    screen.findChild<QComboBox*>(QStringLiteral("cmbTestSiraNo"))->setCurrentIndex(2);
    QCOMPARE(screen.navigator().question(), 2);
    auto* right = screen.findChild<QTableWidget*>(QStringLiteral("SlisteDogru"));
    QCOMPARE(right->rowCount(), 1);  // Ali chose C
    screen.findChild<QPushButton*>(QStringLiteral("lblABCDE_D"))->click();
    QCOMPARE(screen.findChild<QLabel*>(QStringLiteral("lblDogruSik"))->text(),
             QStringLiteral("Sorunun Cevabı: D"));
    QCOMPARE(screen.navigator().question(), 2);
    QCOMPARE(right->rowCount(), 1);
    QCOMPARE(right->item(0, 1)->text(), QStringLiteral("Ayşe Demir"));
    // Clicking the key again leaves the question without one: nobody is right.
    screen.findChild<QPushButton*>(QStringLiteral("lblABCDE_D"))->click();
    QCOMPARE(right->rowCount(), 0);
    QCOMPARE(ReportsFixture::text(QStringLiteral("SELECT DOGRUSIK FROM TABLECEVAP WHERE "
                                                 "TESTSIRANO='3' AND KUMANDAADRESI='1-2'")),
             QString());
  }

  void majorityAndRemovalAskFirst() {
    ReportsFixture::Run run = sampleRun();
    run.keys = ReportsFixture::letters("EEEE");
    ReportsFixture::addRun(run);
    frmRaporlar screen(context(), run.key);
    f.messages().setNextAnswer(Messages::Answer::No);
    screen.cmdCogunlukCevabiDogru_Click();
    QCOMPARE(screen.report().general(screen.options()).correct.count, 0);
    f.messages().setNextAnswer(Messages::Answer::Yes);
    screen.cmdCogunlukCevabiDogru_Click();
    // A A B B ties to A; B B B; C D (X and silence not counted) ties to C; D D D.
    QCOMPARE(screen.report().questions().at(0).key, QStringLiteral("A"));
    QCOMPARE(screen.report().questions().at(2).key, QStringLiteral("C"));

    screen.navigator().setPage(Page::Question);
    screen.navigator().setQuestion(1);
    f.messages().setNextAnswer(Messages::Answer::No);
    screen.cmdSoruSil_Click();
    QCOMPARE(screen.report().questions().size(), 4);
    f.messages().setNextAnswer(Messages::Answer::Yes);
    screen.cmdSoruSil_Click();
    auto* positions = screen.findChild<QComboBox*>(QStringLiteral("cmbTestSiraNo"));
    QCOMPARE(positions->count(), 3);
    QCOMPARE(positions->itemText(2), QStringLiteral("3"));
    QCOMPARE(ReportsFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP")), 12);
  }

  void removalRefusedWhileTheRunGoesOn() {
    ReportsFixture::Run run = sampleRun();
    run.end.clear();
    ReportsFixture::addRun(run);
    frmRaporlar screen(context(), run.key);
    screen.navigator().setPage(Page::Question);
    screen.cmdSoruSil_Click();
    QCOMPARE(f.messages().lastText(), reports::RunRevision::removeRefused());
    QCOMPARE(screen.report().questions().size(), 4);
    // Opened by the run: back to it instead of leaving.
    screen.navigator().setOpenedFromRun(true);
    screen.navigator().setPage(Page::General);
    auto* back =
        screen.findChild<QPushButton*>(QStringLiteral("cmdNav_%1").arg(int(Action::BackToRun)));
    auto* exit = screen.findChild<QPushButton*>(QStringLiteral("cmdNav_%1").arg(int(Action::Exit)));
    QVERIFY(back->isEnabled());
    QVERIFY(!exit->isEnabled());
    QSignalSpy toRun(&screen, &frmRaporlar::backToRunRequested);
    back->click();
    QCOMPARE(toRun.size(), 1);
  }

  void navigationOptionsAndExport() {
    const ReportsFixture::Run run = sampleRun();
    ReportsFixture::addRun(run);
    frmRaporlar screen(context(), run.key);
    auto* tabs = screen.findChild<QTabBar*>(QStringLiteral("tabRaporlar"));
    // The teacher's remote and the tabs move the same page.
    screen.findChild<QCheckBox*>(QStringLiteral("chkOgretmenKumandasi"))->setChecked(true);
    screen.navigator().setTeacherRemotes({QStringLiteral("9-9")});
    receiver::AdmittedPress press;
    press.press.KumandaAdresi = QStringLiteral("9-9");
    press.press.Dugme = QStringLiteral("B");
    press.teacher = true;
    screen.navigator().press(press);
    QCOMPARE(tabs->currentIndex(), int(Page::Question));
    tabs->setCurrentIndex(int(Page::Student));
    QCOMPARE(screen.navigator().page(), Page::Student);
    auto* studentLabel = screen.findChild<QLabel*>(QStringLiteral("lblOgrenci"));
    QVERIFY(studentLabel->text().contains(QStringLiteral("Ali Kaya")));
    // Names can be kept off the projector.
    screen.findChild<QCheckBox*>(QStringLiteral("chkOgrencileriGoster"))->setChecked(false);
    QVERIFY(!studentLabel->text().contains(QStringLiteral("Ali Kaya")));

    screen.findChild<QCheckBox*>(QStringLiteral("chkSureleriGoster"))->setChecked(true);
    QVERIFY(reports::ReportOptions::load().showTimes);
    QVERIFY(!reports::ReportOptions::load().showStudents);
    screen.navigator().setPage(Page::Answers);
    QVERIFY(screen.answersTable()->item(0, 4)->text().contains(QStringLiteral("0:10")));

    const QString xlsx = f.path(QStringLiteral("Verilen_Cevaplar.xlsx"));
    f.messages().setNextAnswer(Messages::Answer::No);
    screen.exportAnswers(xlsx);
    QVERIFY(QFileInfo(xlsx).size() > 0);
    QVERIFY(f.messages().lastText().startsWith(QStringLiteral("Raporunuz başarıyla")));
    const QString sheets = f.path(QStringLiteral("Sonuc_Belgeleri.pdf"));
    screen.exportSheets(sheets);
    QVERIFY(QFileInfo(sheets).size() > 0);
  }

  // The teacher draws over the shown question; the stored picture stays as it
  // was, a key change keeps the drawing, another question starts clean.
  void drawingOverTheQuestionLeavesThePictureAlone() {
    const ReportsFixture::Run run = sampleRun();
    ReportsFixture::addRun(run);
    QImage stored(200, 100, QImage::Format_RGB32);
    stored.fill(Qt::white);
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(stored.save(&buffer, "PNG"));
    QVERIFY(ReportsFixture::db()
                .contents()
                .write(store::StoreKind::Question, QStringLiteral("S1"), png, std::nullopt)
                .ok());
    frmRaporlar screen(context(), run.key);
    screen.resize(1280, 800);
    screen.show();
    screen.navigator().setPage(Page::Question);
    QuestionSketch* sketch = screen.sketch();
    QCOMPARE(sketch->picture().size(), QSize(200, 100));
    const QPoint a(sketch->width() / 2 - 20, sketch->height() / 2);
    const QPoint b(sketch->width() / 2 + 20, sketch->height() / 2 + 5);
    auto stroke = [&] {
      QTest::mousePress(sketch, Qt::LeftButton, {}, a);
      QTest::mouseMove(sketch, b);
      QTest::mouseRelease(sketch, Qt::LeftButton, {}, b);
    };
    stroke();  // the pen is not taken up yet: nothing is drawn
    QCOMPARE(sketch->strokeCount(), 0);
    auto* colour = screen.findChild<QPushButton*>(QStringLiteral("cmdRenk"));
    colour->menu()->actions().at(1)->trigger();  // blue, and the pen is up
    screen.findChild<QPushButton*>(QStringLiteral("cmdKalinlik"))
        ->menu()
        ->actions()
        .last()
        ->trigger();
    QVERIFY(screen.findChild<QPushButton*>(QStringLiteral("cmdKalem"))->isChecked());
    stroke();
    QCOMPARE(sketch->strokeCount(), 1);
    QCOMPARE(sketch->penColour(), QuestionSketch::colours().at(1).colour);
    QCOMPARE(sketch->penWidth(), QuestionSketch::widths().last().width);
    const QImage drawn = sketch->grab().toImage();
    QCOMPARE(drawn.pixelColor(sketch->width() / 2, sketch->height() / 2 + 2),
             QuestionSketch::colours().at(1).colour);
    QCOMPARE(sketch->picture(), stored.convertToFormat(sketch->picture().format()));
    QCOMPARE(ReportsFixture::db()
                 .contents()
                 .read(store::StoreKind::Question, QStringLiteral("S1"))
                 ->first,
             png);

    screen.lblABCDE_Click(QStringLiteral("B"));  // re-scored and read again
    QCOMPARE(sketch->strokeCount(), 1);
    screen.findChild<QPushButton*>(QStringLiteral("cmdTemizle"))->click();
    QCOMPARE(sketch->strokeCount(), 0);
    stroke();
    screen.trigger(Action::NextQuestion);
    QCOMPARE(sketch->strokeCount(), 0);
    QVERIFY(sketch->picture().isNull());  // question 2 has no picture
  }

  // The item analysis of the run, or of its test over every run, on screen and
  // in a workbook.
  void itemAnalysisOfTheRunOrOfTheTest() {
    const ReportsFixture::Run run = sampleRun();
    ReportsFixture::addRun(run);
    ReportsFixture::Run later = sampleRun();
    later.key.date = QStringLiteral("19.10.2026");
    ReportsFixture::addRun(later);
    frmRaporlar screen(context(), run.key);
    screen.navigator().setPage(Page::Items);
    auto* summary = screen.findChild<QLabel*>(QStringLiteral("lblMadde"));
    QVERIFY(summary->text().contains(QStringLiteral("Öğrenci sayısı: 4")));
    screen.findChild<QCheckBox*>(QStringLiteral("chkTumUygulamalar"))->setChecked(true);
    QVERIFY(summary->text().contains(QStringLiteral("Öğrenci sayısı: 8")));
    QCOMPARE(screen.findChild<QTableWidget*>(QStringLiteral("SlisteMaddeAnalizi"))->rowCount(), 4);
    const QString xlsx = f.path(QStringLiteral("Madde_Analizi.xlsx"));
    f.messages().setNextAnswer(Messages::Answer::No);
    screen.exportItems(xlsx);
    QVERIFY(QFileInfo(xlsx).size() > 0);
  }

  void closesWhenItsRunIsDeleted() {
    const ReportsFixture::Run run = sampleRun();
    ReportsFixture::addRun(run);
    frmRaporlar screen(context(), run.key);
    screen.show();
    f.messages().setNextAnswer(Messages::Answer::Yes);
    QVERIFY(reports::RunList(ReportsFixture::db()).deleteRuns({run.key}, f.messages()).value());
    QVERIFY(!screen.isVisible());
    QCOMPARE(f.messages().texts().size(), 1);  // the deletion's question, no error
  }

  void openRunReportRefusesAMissingRun() {
    QVERIFY(!reportsui::openRunReport(context(),
                                      {QStringLiteral("01.01.2020"), QStringLiteral("08:00:00")}));
    QVERIFY(!f.messages().texts().isEmpty());
  }

  // Pictures of every page for looking at them: a data folder with runs
  // (DERSLIK_SHOT_DATA) into DERSLIK_SHOTS, at a projector's and a laptop's size.
  void screenshots() {
    PICTURES_ONLY();
    const QString data = qEnvironmentVariable("DERSLIK_SHOT_DATA");
    if (data.isEmpty()) QSKIP("DERSLIK_SHOT_DATA is not set");
    store::Store shotStore(data);
    QVERIFY(shotStore.open().ok());
    RecordedMessages messages;
    const ScreenContext ctx{shotStore, messages, f.rights(), {}};
    const auto runs = reports::RunList(shotStore).rows(reports::RunFilter{});
    QVERIFY(runs.ok() && !runs->isEmpty());
    for (const QSize size : {QSize(1280, 800), QSize(1920, 1080)}) {
      const QString tag = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
      frmRaporlar screen(ctx, runs->first().key);
      screen.resize(size);
      screen.show();
      for (int p = 0; p < reports::ReportNavigator::kPages; ++p) {
        screen.navigator().setPage(Page(p));
        if (Page(p) == Page::Student) screen.navigator().setStudent(1);
        QCoreApplication::processEvents();
        QVERIFY(saveScreenshot(&screen, QStringLiteral("rapor_%1_%2.png").arg(p).arg(tag)));
      }
      screen.navigator().setPage(Page::General);
      screen.trigger(Action::ToggleGeneral);
      QVERIFY(saveScreenshot(&screen, QStringLiteral("rapor_0b_%1.png").arg(tag)));
      screen.cmdCevapAnahtariDegistir_Click();
      QCoreApplication::processEvents();
      QVERIFY(saveScreenshot(&screen, QStringLiteral("rapor_anahtar_%1.png").arg(tag)));
      screen.cmdCevapAnahtariIptal_Click();
      // The drawing tools in use: a red ring and a thick blue underline.
      screen.navigator().setPage(Page::Question);
      QCoreApplication::processEvents();
      QuestionSketch* sketch = screen.sketch();
      const QRect room = sketch->rect().adjusted(40, 30, -40, -30);
      auto draw = [&](const QList<QPoint>& points) {
        QTest::mousePress(sketch, Qt::LeftButton, {}, points.first());
        for (const QPoint& p : points) QTest::mouseMove(sketch, p);
        QTest::mouseRelease(sketch, Qt::LeftButton, {}, points.last());
      };
      sketch->setDrawing(true);
      QList<QPoint> ring;
      for (int i = 0; i <= 36; ++i)
        ring << room.center() +
                    QPoint(int(90 * std::cos(i * M_PI / 18)), int(40 * std::sin(i * M_PI / 18)));
      draw(ring);
      sketch->setPenColour(QuestionSketch::colours().at(1).colour);
      sketch->setPenWidth(QuestionSketch::widths().at(2).width);
      draw({room.bottomLeft(), room.bottomLeft() + QPoint(room.width() / 2, 0)});
      QVERIFY(saveScreenshot(&screen, QStringLiteral("rapor_cizim_%1.png").arg(tag)));
      screen.navigator().setPage(Page::Items);
      screen.findChild<QCheckBox*>(QStringLiteral("chkTumUygulamalar"))->setChecked(true);
      QCoreApplication::processEvents();
      QVERIFY(saveScreenshot(&screen, QStringLiteral("rapor_madde_test_%1.png").arg(tag)));
      frmRaporlarMenu menu(ctx);
      menu.resize(size);
      menu.show();
      QCoreApplication::processEvents();
      QVERIFY(saveScreenshot(&menu, QStringLiteral("raporlar_menu_%1.png").arg(tag)));
      menu.cmdGore_Click(frmRaporlarMenu::Page::Classes);
      menu.classes()->tablo()->selectRow(0);
      QCoreApplication::processEvents();
      QVERIFY(saveScreenshot(&menu, QStringLiteral("raporlar_sinif_%1.png").arg(tag)));
      menu.cmdGore_Click(frmRaporlarMenu::Page::Students);
      menu.students()->tablo()->selectRow(1);
      QCoreApplication::processEvents();
      QVERIFY(saveScreenshot(&menu, QStringLiteral("raporlar_ogrenci_%1.png").arg(tag)));
      menu.cmdGore_Click(frmRaporlarMenu::Page::Runs);
      menu.sinifListesi()->setCurrentIndex(menu.sinifListesi()->findText(QStringLiteral("5-A")));
      std::unique_ptr<frmRaporlarBasariListesi> ranking(menu.cmdTestSec2_Click());
      QVERIFY(ranking);
      ranking->resize(size);
      ranking->cmdListe_Click();
      QVERIFY(saveScreenshot(ranking.get(), QStringLiteral("basari_liste_%1.png").arg(tag)));
      ranking->cmdGrafik_Click();
      QVERIFY(saveScreenshot(ranking.get(), QStringLiteral("basari_grafik_%1.png").arg(tag)));
      ranking->cmdBasariKursusu_Click();
      QVERIFY(saveScreenshot(ranking.get(), QStringLiteral("basari_kursu_%1.png").arg(tag)));
      for (auto kind :
           {reports::ProgressReport::Subject::Student, reports::ProgressReport::Subject::Class}) {
        std::unique_ptr<frmRaporlarGoreceli> progress(menu.openProgress(kind));
        QVERIFY(progress);
        progress->resize(size);
        QVERIFY(saveScreenshot(progress.get(),
                               QStringLiteral("gelisim_%1_%2.png").arg(int(kind)).arg(tag)));
      }
    }
  }
};

QTEST_MAIN(TestFrmRaporlar)
#include "tst_frmRaporlar.moc"
