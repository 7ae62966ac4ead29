#include <QtTest>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "PaintedTiles.h"
#include "RunFixture.h"
#include "Screenshot.h"
#include "delivery/HomeworkCheck.h"
#include "delivery/LessonSetup.h"
#include "delivery/Recording.h"
#include "framework/RunTilesView.h"
#include "framework/Sliste.h"
#include "framework/frmKirpma.h"
#include "lists/FilterLists.h"
#include "screens/delivery/DeliveryScreens.h"
#include "screens/delivery/RunSetupWidgets.h"
#include "screens/delivery/frmDersUygula.h"
#include "screens/delivery/frmOnizleme.h"
#include "screens/delivery/frmSerbestBilgileri.h"
#include "screens/delivery/frmSerbestTamEkran.h"
#include "screens/delivery/frmTestUygula.h"
#include "users/Rights.h"
#include "users/Session.h"

using Command = delivery::RunSession::Command;
using Page = delivery::RunSession::Page;

// The homework check and the lesson set-up, driven through their windows, and
// the presentation they open.
class TestFreeForms : public QObject {
  Q_OBJECT

  RunFixture fx;
  QPointer<frmOnizleme> window;

  ScreenContext context() { return {fx.db(), fx.messages(), fx.rights(), {}}; }

  frmOnizleme* presentFree(const delivery::RunPlan& plan, int limit) {
    window = new frmOnizleme(context(), fx.clock());
    const Status s = window->SerbestAyarla(plan, limit);
    if (!s.ok()) qWarning("%s", qPrintable(s.error()));
    window->resize(1366, 768);
    window->show();
    return window;
  }
  QColor paintedTile(int index) { return ::paintedTile(window, index); }
  void wait(qint64 ms) {
    fx.clock().advance(ms);
    if (window) window->session().tick();
  }
  void press(const QString& address, const QString& letter, bool teacher = false) {
    window->session().press(
        {{address, letter, QStringLiteral("1")}, teacher, fx.clock().timeOfDay()});
  }
  void teacher(const QString& letter) {
    wait(6000);  // past the five seconds the teacher's B waits after "next"
    press(QStringLiteral("99-1"), letter, true);
  }
  // The clipping surface that opened last, with a rectangle dragged over it.
  static frmKirpma* dragOnSurface() {
    frmKirpma* surface = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* k = qobject_cast<frmKirpma*>(w); k && k->isVisible()) surface = k;
    if (!surface) return nullptr;
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(100, 80));
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 200), surface->mapToGlobal(QPointF(300, 200)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(300, 200));
    return surface;
  }

 private slots:
  void init() {
    fx.setUp();
    fx.addTeacherRemote();
  }
  void cleanup() {
    if (window) {
      window->session().trigger(Command::Exit);
      window->session().trigger(Command::ConfirmExit);
      wait(1000);
      delete window.data();
    }
    fx.tearDown();
  }

  // The form refuses a count that is not a number, hands over the class's
  // remotes with the options saved on the run screen, keeps its clipping choice
  // and the last level and course; the run it starts ends at its count, each
  // clipped question kept as its picture.
  void theHomeworkCheckEndsAtItsCount() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 3);
    delivery::RunSettings saved;
    saved.duration = delivery::RunSettings::Duration::Fixed;
    saved.fixedSeconds = 30;
    saved.remoteTestScreen = false;
    saved.majorityIsCorrect = true;
    QVERIFY(saved.save(fx.db().db()).ok());

    struct Started {
      delivery::RunPlan plan;
      int questions = 0;
      bool clip = false;
    };
    std::optional<Started> started;
    auto form = std::make_unique<frmSerbestBilgileri>(context());
    form->setStartRun([&started](const delivery::RunPlan& plan, int questions, bool clip) {
      started = Started{plan, questions, clip};
      return true;
    });
    form->resize(1366, 768);
    form->show();
    QVERIFY(form->lblAyarlar()->text().contains(QStringLiteral("her soru 30 sn")));
    form->txtTestAdi()->setText(QStringLiteral("Türkiye'nin Kesirleri"));
    form->cmbSinifi()->setCurrentText(QStringLiteral("5-A"));
    emit form->cmbSinifi()->activated(form->cmbSinifi()->currentIndex());
    QCOMPARE(form->grids()->students()->kayitSayisi(), 3);
    form->cmdSerbest_Click();
    QVERIFY(!started);
    QCOMPARE(fx.messages().lastText(), delivery::HomeworkCheck::badCountText());

    form->txtSoruSayisi()->setText(QStringLiteral("2"));
    form->cmbDers()->setCurrentIndex(form->cmbDers()->findText(QStringLiteral("MATEMATİK")));
    QCOMPARE(form->cmbDers()->currentText(), QStringLiteral("MATEMATİK"));
    form->chkKirpma()->click();
    QTest::qWait(20);
    QVERIFY(saveScreenshot(form.get(), QStringLiteral("homework-check-1366x768.png")));
    form->cmdSerbest_Click();
    QVERIFY(started);
    QCOMPARE(started->questions, 2);
    QVERIFY(started->clip);
    QCOMPARE(started->plan.description.testNo, QStringLiteral("SERBEST"));
    QCOMPARE(started->plan.description.testName, QStringLiteral("Türkiye'nin Kesirleri"));
    QCOMPARE(started->plan.studentRemotes, remotes);
    QCOMPARE(started->plan.settings.fixedSeconds, 30);
    QVERIFY(started->plan.settings.majorityIsCorrect);
    QVERIFY(!started->plan.settings.reportAtEnd);
    // Opened again: the clipping choice and the course are those of last time.
    form = std::make_unique<frmSerbestBilgileri>(context());
    QVERIFY(form->chkKirpma()->isChecked());
    QCOMPARE(form->cmbDers()->currentText(), QStringLiteral("MATEMATİK"));
    form.reset();

    presentFree(started->plan, started->questions);
    window->setClipping(started->clip);
    // What the class sees on the board: a page of the paper test.
    QImage board(1366, 768, QImage::Format_RGB32);
    board.fill(Qt::white);
    {
      QPainter p(&board);
      QFont f = p.font();
      f.setPixelSize(26);
      p.setFont(f);
      p.drawText(QRect(110, 90, 1100, 200), Qt::TextWordWrap,
                 QStringLiteral("1. Türkiye'nin en uzun akarsuyu hangisidir?\n"
                                "A) Fırat  B) Kızılırmak  C) Sakarya  D) Dicle  E) Yeşilırmak"));
    }
    window->setGrabber([board] { return board; });
    frmSerbestTamEkran* bar = window->controlBar();
    QVERIFY(bar->cmdKirp()->isVisibleTo(bar));
    QCOMPARE(bar->cmdKirp()->text(), QStringLiteral("Soruyu Kırp"));
    bar->cmdKirp()->click();
    QTest::qWait(20);
    frmKirpma* surface = dragOnSurface();
    QVERIFY(surface);
    QPushButton* keep = surface->findChild<QPushButton*>(QStringLiteral("cmdKaydet"));
    QVERIFY(keep && !surface->findChild<QPushButton*>(QStringLiteral("cmdSikA")));
    QTest::qWait(20);
    QVERIFY(saveScreenshot(surface, QStringLiteral("homework-clip-surface.png")));
    keep->click();
    QVERIFY(window->isVisible());
    QCOMPARE(bar->cmdKirp()->text(), QStringLiteral("Yeniden Kırp"));
    QTest::qWait(20);
    QVERIFY(saveScreenshot(bar, QStringLiteral("homework-bar-clipped.png")));

    for (int q = 1; q <= 2; ++q) {
      teacher(QStringLiteral("C"));
      press(remotes.at(0), QStringLiteral("B"));
      press(remotes.at(1), QStringLiteral("B"));
      teacher(QStringLiteral("B"));
    }
    QCOMPARE(window->session().page(), Page::Finished);
    QCOMPARE(fx.count("SELECT COUNT(DISTINCT TESTSIRANO) FROM TABLEUYGULAMA"), 2);
    QVERIFY(!fx.text("SELECT TESTBITIS FROM TABLEUYGULAMA LIMIT 1").isEmpty());
    const QString key = fx.text("SELECT SORUNO FROM TABLEUYGULAMA WHERE TESTSIRANO='1'");
    QVERIFY(key.startsWith(QLatin1Char('S')));
    QCOMPARE(fx.text("SELECT SILINDIMI||DERS FROM TABLESORU WHERE SORUNO=?", {key}),
             QStringLiteral("1MATEMATİK"));
    QCOMPARE(fx.text("SELECT NZ(SORUNO) FROM TABLEUYGULAMA WHERE TESTSIRANO='2'"), QString());
    QCOMPARE(fx.text("SELECT DOGRUSIK FROM TABLEUYGULAMA WHERE TESTSIRANO='1'"),
             QStringLiteral("B"));  // the majority
  }

  // The homework check as the class sees it: each question's tiles are its own
  // (painted, not only counted), the last "Sonraki Soru (B)" at the bottom ends
  // the check like the bar's, and the summary counts every question.
  void theHomeworkCheckShowsTheQuestionOnScreen() {
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 3);
    delivery::RunPlan plan = RunFixture::plan(QStringLiteral("SERBEST"), remotes);
    plan.settings.autoStartVoting = true;
    presentFree(plan, 3);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QColor waiting = RunTilesView::colorOf(activity::RemoteTiles::State::NotAnswered);
    const QColor answered = RunTilesView::colorOf(activity::RemoteTiles::State::Answered);
    for (int q = 1; q <= 3; ++q) {
      QCOMPARE(window->session().position(), q);
      QCOMPARE(paintedTile(0), waiting);
      press(remotes.at(0), QStringLiteral("A"));
      press(remotes.at(1), QStringLiteral("B"));
      QCOMPARE(paintedTile(0), answered);
      QTest::mouseClick(window->cmdNav(Command::Next), Qt::LeftButton);
    }
    QCOMPARE(window->session().page(), Page::Finished);
    const delivery::RunStatistics s =
        delivery::Recording(fx.db()).statistics(window->session().runKey()).valueOr({});
    QCOMPARE(s.questions, 3);
    QVERIFY(deliveryui::runSummaryText(s).contains(QStringLiteral("Soru: 3")));
  }

  // Beside the button bar of a 1366×768 screen the main area is about 1130 × 680:
  // the run set-up fits it, "Testi Başlat" included. "Test Ver" needs a chosen
  // test and a right of its own.
  void theRunSetupFitsALaptopScreen() {
    frmTestUygula setup(context());
    const QSize least = setup.minimumSizeHint();
    QVERIFY2(least.width() <= 1100 && least.height() <= 680,
             qPrintable(QStringLiteral("%1×%2").arg(least.width()).arg(least.height())));
    QPushButton* give = setup.findChild<QPushButton*>(QStringLiteral("cmdTestVer"));
    give->click();
    QCOMPARE(fx.messages().lastText(), QStringLiteral("Dosyaya verilecek testi listeden seçin."));
    users::RightFlags flags = users::RightFlags::all(true);
    flags.setFlag(users::requiredFlag(QStringLiteral("TestVer")), false);
    fx.rights().setFlags(flags);
    give->click();
    QCOMPARE(fx.messages().lastText(), users::kDeniedMessage);
    fx.rights().setFlags(users::RightFlags::all(true));
  }

  // "Ödev Kontrol" on the run screen needs its own right besides the screen's.
  void theHomeworkCheckHasItsOwnRight() {
    frmTestUygula setup(context());
    int opened = 0;
    setup.setOpenHomework([&opened] { ++opened; });
    users::RightFlags flags = users::RightFlags::all(true);
    flags.setFlag(users::flagOf(QStringLiteral("101M")), false);
    fx.rights().setFlags(flags);
    setup.findChild<QPushButton*>(QStringLiteral("cmdOdevKontrol"))->click();
    QCOMPARE(opened, 0);
    QCOMPARE(fx.messages().lastText(), users::kDeniedMessage);
    fx.rights().setFlags(users::RightFlags::all(true));
    setup.findChild<QPushButton*>(QStringLiteral("cmdOdevKontrol"))->click();
    QCOMPARE(opened, 1);
  }

  // The lesson set-up lists every class's remotes under "TÜMÜ" (a remote
  // without a student once, with empty names), keeps each choice per user as it
  // is clicked (the class by its name, whatever classes come before it), and starts a lesson whose
  // presentation restores its own report choice.
  void theLessonSetUpKeepsItsChoices() {
    fx.addClass(QStringLiteral("5-A"), 2);
    fx.addClass(QStringLiteral("6-B"), 2, 20);
    fx.school().remote(QStringLiteral("30-1"));
    std::optional<delivery::RunPlan> started;
    auto lesson = std::make_unique<frmDersUygula>(context());
    lesson->setStartRun([&started](const delivery::RunPlan& plan) {
      started = plan;
      return true;
    });
    lesson->resize(1366, 768);
    lesson->show();
    QCOMPARE(lesson->cmbSinifi()->itemText(0), lists::kTumu);
    QCOMPARE(lesson->grids()->students()->kayitSayisi(), 5);
    QCOMPARE(lesson->grids()->teachers()->kayitSayisi(), 1);

    lesson->cmbSinifi()->setCurrentText(QStringLiteral("6-B"));
    emit lesson->cmbSinifi()->activated(lesson->cmbSinifi()->currentIndex());
    QCOMPARE(lesson->grids()->students()->kayitSayisi(), 2);
    lesson->optSure()->button(2)->click();
    lesson->cmbSure()->setCurrentIndex(6);  // 30 s
    emit lesson->cmbSure()->activated(6);
    lesson->optGoturu()->button(2)->click();
    lesson->optIstatistik()->button(0)->click();
    lesson->optKumandaTest()->button(1)->click();
    lesson->chkHerkesCevapVerinceGec()->click();
    const delivery::LessonSetup::Choices chosen = lesson->choices();
    QTest::qWait(20);
    QVERIFY(saveScreenshot(lesson.get(), QStringLiteral("lesson-setup-1366x768.png")));
    fx.addClass(QStringLiteral("5-C"), 1, 40);  // listed before the kept class
    lesson = std::make_unique<frmDersUygula>(context());
    QCOMPARE(lesson->choices(), chosen);
    QCOMPARE(lesson->cmbSinifi()->currentText(), QStringLiteral("6-B"));
    QCOMPARE(lesson->cmbSure()->currentText(), QStringLiteral("30"));
    QVERIFY(lesson->chkHerkesCevapVerinceGec()->isChecked());

    lesson->setStartRun([&started](const delivery::RunPlan& plan) {
      started = plan;
      return true;
    });
    lesson->txtAciklama()->setText(QStringLiteral("Çarpanlar"));
    lesson->cmdOnizleme_Click();
    QVERIFY(started);
    QCOMPARE(started->description.testNo, QStringLiteral("DERS"));
    QCOMPARE(started->description.className, QStringLiteral("6-B"));
    QCOMPARE(started->description.description, QStringLiteral("Çarpanlar"));
    QCOMPARE(started->studentRemotes, (QStringList{"20-1", "20-2"}));
    QCOMPARE(started->settings.fixedSeconds, 30);
    QCOMPARE(started->settings.penalty, delivery::RunSettings::Penalty::FourWrongs);
    lesson.reset();

    presentFree(*started, 0);
    QCOMPARE(window->session().page(), Page::StartScreen);
    QCOMPARE(window->cmdNav(Command::Next)->text(), QStringLiteral("Göster (B)"));
    QVERIFY(window->cmbDersRaporGoster()->isVisibleTo(window));
    QCOMPARE(window->cmbDersRaporGoster()->currentIndex(), 3);
    window->cmbDersRaporGoster()->setCurrentIndex(0);
    emit window->cmbDersRaporGoster()->activated(0);
    window->chkSoruIcerigi()->click();
    QCOMPARE(delivery::LessonSetup::PreviewChoices::load().reportIndex, 0);
    QVERIFY(delivery::LessonSetup::PreviewChoices::load().questionText);
    QVERIFY(window->clipping());
    QTest::qWait(20);
    QVERIFY(saveScreenshot(window, QStringLiteral("lesson-start-1366x768.png")));
    // With no report after a question, "next" goes straight on.
    teacher(QStringLiteral("B"));
    QCOMPARE(window->session().page(), Page::Question);
    QVERIFY(window->controlBar()->cmdKirp()->isVisibleTo(window->controlBar()));
    teacher(QStringLiteral("C"));
    press(QStringLiteral("20-1"), QStringLiteral("D"));
    teacher(QStringLiteral("B"));
    QCOMPARE(window->session().position(), 2);
    QCOMPARE(fx.column("SELECT DISTINCT TESTNO FROM TABLECEVAP"), QStringList{"DERS"});
  }
};

QTEST_MAIN(TestFreeForms)
#include "tst_free_forms.moc"
