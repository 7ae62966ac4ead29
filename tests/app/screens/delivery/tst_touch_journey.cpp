// A lesson on the demo school run by a finger only, as a teacher at the board
// without mouse or keyboard runs it: start the test, let the class answer, go
// on, show the answer, leave. Nothing but touches reaches the windows. A stray
// finger on the question or the tiles does nothing; two fingers enlarge the
// question; a finger held on a tile opens the tile's menu.
#include <QPushButton>
#include <QtTest>

#include "RunFixture.h"
#include "activity/PressPipeline.h"
#include "framework/PictureTouch.h"
#include "framework/PressRouter.h"
#include "framework/QuestionPicture.h"
#include "framework/RunTilesView.h"
#include "framework/TouchSupport.h"
#include "school/DemoSchool.h"
#include "screens/delivery/frmOnizleme.h"
#include "screens/delivery/frmTestUygula.h"

using Command = delivery::RunSession::Command;
using Page = delivery::RunSession::Page;

class TestTouchJourney : public QObject {
  Q_OBJECT

  RunFixture fx;
  QPointingDevice* m_finger = QTest::createTouchDevice();

  ScreenContext context() { return {fx.db(), fx.messages(), fx.rights(), {}}; }

  // A finger on the middle of a control: down, up, where it stands.
  void tap(QWidget* target) {
    QVERIFY(target);
    QVERIFY2(target->isVisible(), qPrintable(target->objectName()));
    QWidget* window = target->window();
    const QPoint at = target->mapTo(window, target->rect().center());
    QTest::touchEvent(window, m_finger).press(0, at);
    QTest::touchEvent(window, m_finger).release(0, at);
  }

 private slots:
  void initTestCase() { framework::TouchSupport::install(*qApp); }
  void init() {
    fx.setUp();
    framework::TouchSupport::instance()->setTouchBoard(true, board::kMinimumTargetPixels);
  }
  void cleanup() {
    framework::TouchSupport::instance()->setTouchBoard(false);
    fx.tearDown();
  }

  void aTestRunByFingerOnly() {
    // The demo school's classes and remotes, with a short test of its own.
    QVERIFY(school::createDemoSchool(fx.db()).ok());
    const QString testNo = QStringLiteral("7");
    fx.addTest(testNo, QStringLiteral("ABC"));

    // The set-up: the test picked, "Testi Başlat" by finger.
    frmTestUygula setup(context());
    std::optional<delivery::RunPlan> plan;
    setup.setStartRun([&plan](const delivery::RunPlan& p) {
      plan = p;
      return true;
    });
    setup.resize(1920, 1080);
    setup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&setup));
    QVERIFY(setup.selectTest(testNo));
    tap(setup.findChild<QPushButton*>(QStringLiteral("cmdOnizleme")));
    QVERIFY(plan);
    plan->settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
    plan->settings.remoteTestScreen = false;
    setup.hide();

    // The presentation, taking the class's presses as in the program.
    QPointer<frmOnizleme> window = new frmOnizleme(context(), fx.clock());
    QVERIFY(window->Ayarla(*plan).ok());
    framework::PressRouter router;
    router.setActiveWindowProvider([&window] { return window.data(); });
    router.attach(window, &window->presses());
    activity::PressPipeline presses(&fx.clock());
    presses.setTarget([&router] { return router.activeConsumer(); });
    QSignalSpy finished(window.data(), &frmOnizleme::finished);
    window->resize(1920, 1080);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    auto wait = [&](qint64 ms) {
      for (; ms > 0; ms -= 500) {
        fx.clock().advance(500);
        if (window) window->session().tick();
      }
    };
    const QStringList remotes = plan->studentRemotes;
    QVERIFY(remotes.size() >= 4);
    auto answer = [&](const QString& letter) {
      for (int i = 0; i < remotes.size(); i += 2)
        QCOMPARE(presses.feed({remotes.at(i), letter, -1, QStringLiteral("1")}),
                 activity::PressPipeline::Outcome::Delivered);
    };

    // The commands stand in one column, out of the question's way.
    QWidget* column = window->findChild<QWidget*>(QStringLiteral("frameKomutlar"));
    QVERIFY(column);
    QVERIFY(column->geometry().left() > window->width() / 2);

    wait(3000);
    QCOMPARE(window->session().page(), Page::Question);
    // The tiles have a menu here (as with browser answers): a finger held on a
    // tile opens it, with the ring; the question still ignores a held finger.
    auto* tiles = window->findChild<RunTilesView*>(QStringLiteral("frameKumandalar"));
    QSignalSpy tileMenu(tiles, &RunTilesView::tileMenuRequested);
    const QPoint onQuestion(window->width() / 4, window->height() / 2);
    QTest::touchEvent(window.data(), m_finger).press(0, onQuestion);
    QTest::qWait(framework::TouchSupport::kHoldMilliseconds / 2);
    QVERIFY(!framework::TouchSupport::instance()->holdCueShown());  // no menu is coming
    QTest::qWait(framework::TouchSupport::kHoldMilliseconds);
    QTest::touchEvent(window.data(), m_finger).release(0, onQuestion);
    QCOMPARE(window->session().position(), 1);
    QCOMPARE(window->session().page(), Page::Question);
    QCOMPARE(tileMenu.count(), 0);
    const QPoint tileCentre =
        RunTilesView::tileRect(1, int(remotes.size()), tiles->rect()).center();
    const QPoint onTile = tiles->mapTo(window.data(), tileCentre);
    // The tests' virtual screen is 800 pixels wide: the tiles are brought onto it
    // (a held finger is found on the screen, as on the board).
    window->move(-800, 0);
    QTest::touchEvent(window.data(), m_finger).press(0, onTile);
    QTRY_VERIFY(framework::TouchSupport::instance()->holdCueShown());
    QTRY_COMPARE(tileMenu.count(), 1);
    QTest::touchEvent(window.data(), m_finger).release(0, onTile);
    QCOMPARE(tileMenu.first().first().toString(), tiles->addressAt(tileCentre));
    QVERIFY(!tileMenu.first().first().toString().isEmpty());
    QCOMPARE(window->session().page(), Page::Question);

    // Two fingers on the question enlarge it; a double tap fits it again.
    auto* picture = window->findChild<QuestionPicture*>(QStringLiteral("imgSoru"));
    const QPoint mid = picture->mapTo(window.data(), picture->rect().center());
    QTest::touchEvent(window.data(), m_finger)
        .press(0, mid - QPoint(50, 0))
        .press(1, mid + QPoint(50, 0));
    for (int i = 1; i <= 5; ++i)
      QTest::touchEvent(window.data(), m_finger)
          .move(0, mid - QPoint(50 + 20 * i, 0))
          .move(1, mid + QPoint(50 + 20 * i, 0));
    QTest::touchEvent(window.data(), m_finger)
        .release(0, mid - QPoint(150, 0))
        .release(1, mid + QPoint(150, 0));
    QVERIFY(picture->touch()->zoom().scale() > 2.5);
    tap(picture);
    tap(picture);
    QCOMPARE(picture->touch()->zoom().scale(), 1.0);
    QCOMPARE(window->session().position(), 1);

    answer(QStringLiteral("A"));
    QCOMPARE(window->session().counts().answered, int((remotes.size() + 1) / 2));
    wait(1000);
    tap(window->cmdNav(Command::Next));
    QCOMPARE(window->session().position(), 2);
    answer(QStringLiteral("B"));
    QCOMPARE(window->session().counts().answered, int((remotes.size() + 1) / 2));
    wait(1000);
    tap(window->cmdNav(Command::ShowAnswer));
    QVERIFY(window->session().answerShown());
    tap(window->cmdNav(Command::Exit));
    QVERIFY(window->session().confirmingExit());
    tap(window->cmdNav(Command::ConfirmExit));
    wait(1000);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(fx.stored(1).filter(QStringLiteral("=A@")).size(), int((remotes.size() + 1) / 2));
    delete window.data();
  }
};

QTEST_MAIN(TestTouchJourney)
#include "tst_touch_journey.moc"
