// A lesson on the demo school run by a finger only, as a teacher at the board
// without mouse or keyboard runs it: fix a student's name on the screen
// keyboard, start the test, let the class answer, go on, show the answer,
// leave, open the run's report. Nothing but touches reaches the windows. A
// stray finger on the question or the tiles does nothing; two fingers enlarge
// the question; a finger held on a tile opens the tile's menu.
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QWindow>
#include <QtTest>

#include "RunFixture.h"
#include "activity/PressPipeline.h"
#include "framework/PictureTouch.h"
#include "framework/PressRouter.h"
#include "framework/QuestionPicture.h"
#include "framework/RunTilesView.h"
#include "framework/Sliste.h"
#include "framework/TouchSupport.h"
#include "lists/FilterProxy.h"
#include "school/DemoSchool.h"
#include "screens/delivery/frmOnizleme.h"
#include "screens/delivery/frmTestUygula.h"
#include "screens/reports/frmRaporlar.h"
#include "screens/reports/frmRaporlarMenu.h"
#include "screens/school/frmTanimlamalar.h"

using Command = delivery::RunSession::Command;
using Page = delivery::RunSession::Page;

class TestTouchJourney : public QObject {
  Q_OBJECT

  RunFixture fx;
  QPointingDevice* m_finger = QTest::createTouchDevice();
  QPointer<QWindow> m_lastWindow;

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
  void tapRow(Sliste* grid, int row) {
    QWidget* viewport = grid->tablo()->viewport();
    const QPoint at = grid->tablo()->visualRect(grid->proxy()->index(row, 1)).center();
    QTest::touchEvent(viewport, m_finger).press(0, at);
    QTest::touchEvent(viewport, m_finger).release(0, at);
    QTRY_COMPARE(grid->tablo()->currentIndex().row(), row);
  }

  // The screen keyboard (Qt Virtual Keyboard) shows its keys in a window of
  // its own, a Qt Quick scene: a key is an item with a key type.
  static QWindow* keyboardWindow() {
    for (QWindow* w : QGuiApplication::topLevelWindows())
      if (w->inherits("QtVirtualKeyboard::InputView")) return w;
    return nullptr;
  }
  // A finger on the field brings the keyboard up.
  void openKeyboardOn(QLineEdit* field) {
    tap(field);
    QTRY_COMPARE(QGuiApplication::focusWindow(), field->window()->windowHandle());
    // The first time the keyboard's window took the focus (see main()): once more.
    if (!QGuiApplication::inputMethod()->isVisible()) tap(field);
    QTRY_VERIFY2(QGuiApplication::inputMethod()->isVisible() && keyboardWindow(),
                 "ekran klavyesi açılmadı (qt6-virtualkeyboard-plugin kurulu mu?)");
    QVERIFY(field->hasFocus());
  }
  // A finger on the key showing `text` (any case), or on the key of `qtKey`.
  void tapKey(const QString& text, int qtKey = 0) {
    QWindow* keyboard = keyboardWindow();
    QVERIFY(keyboard && keyboard->isVisible());
    QObject* scene = keyboard->property("contentItem").value<QObject*>();
    QVERIFY(scene);
    for (QObject* key : scene->findChildren<QObject*>()) {
      if (key->metaObject()->indexOfProperty("keyType") < 0) continue;
      if (text.isEmpty() ? key->property("key").toInt() != qtKey
                         : key->property("text").toString().compare(text, Qt::CaseInsensitive))
        continue;
      QPointF at(key->property("width").toDouble() / 2, key->property("height").toDouble() / 2);
      bool shown = at.x() > 0 && key->property("enabled").toBool();
      for (QObject* item = key; item; item = item->property("parent").value<QObject*>()) {
        at += QPointF(item->property("x").toDouble(), item->property("y").toDouble());
        shown = shown && item->property("visible").toBool();
      }
      if (!shown) continue;
      QTest::touchEvent(keyboard, m_finger).press(0, at.toPoint());
      QTest::touchEvent(keyboard, m_finger).release(0, at.toPoint());
      return;
    }
    QFAIL(qPrintable(QStringLiteral("Ekran klavyesinde \"%1\" tuşu yok.").arg(text)));
  }

 private slots:
  void initTestCase() {
    framework::TouchSupport::install(*qApp);
    // The offscreen platform gives the focus to every window it shows, the
    // keyboard's too (a desktop honours its never taking the focus), and the
    // keyboard then closes for want of a field. A tool tip is the one kind of
    // window offscreen leaves unfocused: so made, it stays up as on a board.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
      if (now && now->inherits("QtVirtualKeyboard::InputView")) {
        now->setFlags((now->flags() & ~Qt::WindowType_Mask) | Qt::ToolTip);
        if (m_lastWindow) m_lastWindow->requestActivate();
      } else {
        m_lastWindow = now;
      }
    });
  }
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

    // A student's name put right on the screen keyboard, in Turkish.
    {
      frmTanimlamalar students(context());
      students.resize(1920, 1080);
      students.show();
      QVERIFY(QTest::qWaitForWindowActive(&students));
      tapRow(students.ogrenciListesi(), 1);
      const QString kayitNo = students.form().student().kayitNo;
      QVERIFY(!kayitNo.isEmpty());
      QLineEdit* name = students.txtAdi();
      openKeyboardOn(name);
      for (qsizetype i = name->text().size(); i > 0; --i) tapKey({}, Qt::Key_Backspace);
      QCOMPARE(name->text(), QString());
      for (const QString& letter : QStringList{QStringLiteral("a"), QStringLiteral("y"),
                                               QStringLiteral("ş"), QStringLiteral("e")})
        tapKey(letter);
      QCOMPARE(name->text(), QStringLiteral("Ayşe"));  // a name begins in capitals
      tap(students.findChild<QPushButton*>(QStringLiteral("cmdKaydet")));
      QCOMPARE(fx.column(QStringLiteral("SELECT ADI FROM TABLEOGRENCI WHERE KAYITNO=?"), {kayitNo}),
               QStringList{QStringLiteral("Ayşe")});
    }

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

    // The run's report, by finger: the list of runs, the run, "Raporu Aç".
    frmRaporlarMenu runs(context());
    std::unique_ptr<frmRaporlar> report;
    runs.setReportOpener([this, &report](const reports::RunKey& key) {
      report = std::make_unique<frmRaporlar>(context(), key);
    });
    runs.resize(1920, 1080);
    runs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&runs));
    tap(runs.findChild<QPushButton*>(QStringLiteral("cmdBul")));
    QCOMPARE(runs.runs()->kayitSayisi(), 1);
    tapRow(runs.runs(), 0);
    tap(runs.findChild<QPushButton*>(QStringLiteral("cmdTestSec")));
    QVERIFY(report && report->loaded());
    report->resize(1920, 1080);
    report->show();
    QVERIFY(QTest::qWaitForWindowExposed(report.get()));
    QVERIFY2(report->titleLabel()->text().contains(QStringLiteral("Kesirler")),
             qPrintable(report->titleLabel()->text()));
    // Every other student answered the first question right.
    int right = 0;
    for (const reports::ReportParticipant& p : report->report().participants()) right += p.correct;
    QCOMPARE(right, int((remotes.size() + 1) / 2));
  }
};

int main(int argc, char** argv) {
  // The board's own keyboard, chosen and in Turkish as Derslik chooses it on a
  // board (main.cpp); Qt Quick draws it without a graphics card here.
  qputenv("QT_IM_MODULE", "qtvirtualkeyboard");
  qputenv("QT_QUICK_BACKEND", "software");
  qunsetenv("LC_ALL");
  qputenv("LC_CTYPE", "C.UTF-8");
  qputenv("LANG", "tr_TR.UTF-8");
  // Kept to the end: in Qt 6.4 the keyboard's window goes after the application
  // object and crashes on its way out.
  auto* app = new QApplication(argc, argv);
  TestTouchJourney test;
  const int failed = QTest::qExec(&test, argc, argv);
  Q_UNUSED(app);
  return failed;
}
#include "tst_touch_journey.moc"
