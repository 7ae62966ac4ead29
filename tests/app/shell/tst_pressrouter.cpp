#include <QtTest>

#include "ShellHarness.h"
#include "StandInScreens.h"

using receiver::colors::kAnswered;
using receiver::colors::kNotAnswered;
using receiver::colors::kWhite;

class TestPressRouter : public QObject {
  Q_OBJECT

  std::unique_ptr<ShellHarness> h;
  StandInPresentation* p = nullptr;

  StandInPresentation* openPresentation() {
    auto* pres = new StandInPresentation;
    pres->mdi = h->mdi;
    pres->tiles.setAddresses({"1-1", "2-2", "3-3"});
    pres->testTiles.setAddresses({"1-1", "2-2", "3-3"});
    addScreen(h->mdi, pres);
    return pres;
  }

 private slots:
  void init() {
    h = std::make_unique<ShellHarness>();
    h->start();
    p = openPresentation();
    QCOMPARE(h->controller->router().activeName(), QStringLiteral("frmOnizleme"));
  }
  void cleanup() {
    h->controller.reset();
    h.reset();
  }

  // A student's press marks the tile at once and becomes the pending press.
  void presentationMarksTile() {
    h->report(2, 2, "B");
    const MemoryBoard::Tile* t = p->tiles.find("2-2");
    QVERIFY(t->tag.startsWith(QStringLiteral("B|")));
    QCOMPARE(t->color, kAnswered);
    QCOMPARE(p->counts.answered, 1);
    QCOMPARE(p->counts.notAnswered, 2);
    QCOMPARE(h->controller->pendingAddress(), QStringLiteral("2-2"));
    QVERIFY(h->controller->Timer2().isActive());
    QVERIFY(h->controller->buttonHeld());
    // The Timer2 tick runs by itself 100 ms later, once.
    QTRY_VERIFY(!h->controller->Timer2().isActive());
    QCOMPARE(p->nav.total(), 0);
    h->controller->DugmeBirakildi();
    QVERIFY(!h->controller->buttonHeld());
  }

  // Two students inside one tick: both tiles are marked, only the later press is
  // dispatched. A teacher A (previous question) followed by a student press in the
  // same tick therefore does nothing on the screen.
  void twoPressesInOneTick() {
    h->press("99-99", "A");
    h->press("3-3", "C");
    QCOMPARE(h->controller->pendingAddress(), QStringLiteral("3-3"));
    h->press("1-1", "D");
    QCOMPARE(p->tiles.find("3-3")->color, kAnswered);
    QCOMPARE(p->tiles.find("1-1")->color, kAnswered);
    QCOMPARE(p->counts.answered, 2);
    QCOMPARE(h->controller->pendingAddress(), QStringLiteral("1-1"));
    QVERIFY(h->tick());
    QVERIFY(!h->tick());
    QCOMPARE(p->nav.total(), 0);
  }

  // The same press twice inside a second marks once; a second later it counts again.
  void repeatInsideOneSecond() {
    h->report(1, 1, "X");
    QCOMPARE(p->tiles.find("1-1")->color, kWhite);
    const int changes = p->tiles.changes;
    h->clock.advance(300);
    h->report(1, 1, "X");
    QCOMPARE(p->tiles.changes, changes);
    h->clock.advance(700);
    h->report(1, 1, "X");
    QCOMPARE(p->tiles.changes, changes + 1);
  }

  // Paused: no tile changes and no student press goes on; the teacher can still
  // resume with E.
  void pausedPresentation() {
    p->running = false;
    h->press("1-1", "A");
    QCOMPARE(p->tiles.changes, 0);
    QCOMPARE(p->countUpdates, 0);
    QVERIFY(!h->controller->Timer2().isActive());
    h->press("99-99", "E");
    QVERIFY(h->tick());
    QCOMPARE(p->nav.clicks[2], 1);
  }

  void remoteTestTab() {
    p->tab = 4;
    h->press("2-2", "X");
    const MemoryBoard::Tile* t = p->testTiles.find("2-2");
    QCOMPARE(t->color, kNotAnswered);
    QVERIFY(t->tag.startsWith(QStringLiteral("X|")));
    QCOMPARE(t->toolTip, QStringLiteral("1"));
    h->press("3-3", "E");
    QCOMPARE(p->testTiles.find("3-3")->color, kAnswered);
    QCOMPARE(p->tiles.changes, 0);
    QVERIFY(h->tick());
    QCOMPARE(p->gridRefreshes, 1);
  }

  void freeQuestioning_data() {
    QTest::addColumn<bool>("green");
    QTest::addColumn<bool>("marked");
    QTest::newRow("voting closed") << false << false;
    QTest::newRow("voting open") << true << true;
  }
  void freeQuestioning() {
    p->free = true;
    QFETCH(bool, green);
    p->green = green;
    h->press("1-1", "A");
    QTEST(p->tiles.find("1-1")->color == kAnswered, "marked");
    QVERIFY(h->controller->Timer2().isActive());  // pending either way
  }

  void noListOfRemotes() {
    p->hasRemotes = false;
    h->press("1-1", "A");
    QCOMPARE(p->countUpdates, 0);
    QVERIFY(h->controller->Timer2().isActive());
  }

  // A held tile marking lets one press through unmarked when the display mode is
  // not normal, then marks again.
  void heldMarking() {
    p->held = true;
    p->mode = QStringLiteral("buyuk");
    h->press("1-1", "A");
    QCOMPARE(p->tiles.changes, 0);
    QVERIFY(!p->held);
    h->press("2-2", "A");
    QCOMPARE(p->tiles.changes, 1);
  }

  void teacherKeysAct() {
    // Every key acts only on a visible and enabled button.
    const QList<std::tuple<QString, int, bool, int>> rows = {
        {"A", 2, false, 0}, {"B", 2, false, 3},  {"B", 0, false, 3},
        {"C", 2, false, 5}, {"C", 2, true, 4},   {"D", 2, false, 1},
        {"E", 2, false, 2}, {"A", 0, false, -1}, {"E", 1, false, -1}};
    for (const auto& [button, tab, free, clicked] : rows) {
      for (int state = 0; state < 3; ++state) {  // 0 usable, 1 hidden, 2 disabled
        for (QPushButton* b : p->nav.buttons) {
          b->setVisible(state != 1);
          b->setEnabled(state != 2);
        }
        p->nav.clicks.fill(0);
        p->tab = tab;
        p->free = free;
        p->green = true;
        h->clock.advance(1000);
        h->press("99-99", button);
        QVERIFY(h->tick());
        const QString what = QStringLiteral("%1 tab %2 state %3").arg(button).arg(tab).arg(state);
        for (int i = 0; i < 6; ++i)
          QVERIFY2(p->nav.clicks[i] == (i == clicked && state == 0 ? 1 : 0), qPrintable(what));
      }
    }
    // A student pressing the same keys never drives the screen.
    p->nav.clicks.fill(0);
    for (QString b : {"A", "B", "C", "D", "E", "X"}) {
      h->press("1-1", b);
      h->tick();
    }
    QCOMPARE(p->nav.total(), 0);
  }

  // Three-button remotes: a student's E arrives as C, the teacher's E stays E.
  void threeButtonRule() {
    h->controller->setThreeButtonSetting("1");
    p->tab = 4;
    h->press("1-1", "E");
    QVERIFY(p->testTiles.find("1-1")->tag.startsWith(QStringLiteral("C|")));
    p->tab = 2;
    h->press("99-99", "E");
    QVERIFY(h->tick());
    QCOMPARE(p->nav.clicks[2], 1);
    QCOMPARE(p->nav.clicks[5], 0);
  }

  // X opens the exit confirmation only while the exit button is usable; on the
  // confirmation B ends the test and A goes back.
  void exitConfirmation() {
    QAbstractButton* exit = p->cmdCikis();
    exit->hide();
    h->press("99-99", "X");
    QVERIFY(h->tick());
    QVERIFY(!p->confirmation);
    QCOMPARE(p->tag, QString());

    exit->show();
    h->clock.advance(1000);
    h->press("99-99", "X");
    QVERIFY(h->tick());
    QCOMPARE(p->tag, QStringLiteral("Onay"));
    QVERIFY(p->confirmation);
    QCOMPARE(h->controller->router().activeName(), QStringLiteral("frmCikisOnay"));

    // A second X while asking changes nothing.
    h->clock.advance(1000);
    h->press("99-99", "X");
    QVERIFY(h->tick());
    QCOMPARE(p->tag, QStringLiteral("Onay"));

    h->press("99-99", "A");  // cancel
    QCOMPARE(h->controller->router().activeName(), QStringLiteral("frmOnizleme"));
    QVERIFY(h->tick());
    QCOMPARE(p->tag, QString());
    QCOMPARE(p->confirmationsClosed, 1);
    QCOMPARE(p->ended, 0);
    QCOMPARE(p->nav.clicks[0], 0);  // A cancelled, it did not go back a question

    h->clock.advance(1000);
    h->press("99-99", "X");
    QVERIFY(h->tick());
    QVERIFY(p->confirmation);
    h->press("99-99", "B");  // confirm
    QVERIFY(h->tick());
    QCOMPARE(p->ended, 1);
    QCOMPARE(p->confirmationsClosed, 2);
    QCOMPARE(p->nav.clicks[3], 0);
  }

  void autoAdvance_data() {
    QTest::addColumn<bool>("option");
    QTest::addColumn<int>("answering");
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("advanced");
    QTest::newRow("all answered") << true << 3 << 2 << true;
    QTest::newRow("one missing") << true << 2 << 2 << false;
    QTest::newRow("option off") << false << 3 << 2 << false;
  }
  void autoAdvance() {
    QFETCH(bool, option);
    p->advance = option;
    QFETCH(int, answering);
    const QStringList who = {"1-1", "2-2", "3-3"};
    for (int i = 0; i < answering; ++i) h->press(who[i], "A");
    QVERIFY(h->tick());
    QTEST(p->nav.clicks[3] == 1, "advanced");
  }

  void clippingActsOnPresentation_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("clipping") << "frmKirpma";
    QTest::newRow("clipping menu") << "frmKirpmaMenu";
  }
  void clippingActsOnPresentation() {
    QFETCH(QString, name);
    addScreen(h->mdi, new StandInScreen(name));
    QCOMPARE(h->controller->router().activeName(), name);
    h->press("2-2", "D");
    QCOMPARE(h->controller->router().activeName(), QStringLiteral("frmOnizleme"));
    QCOMPARE(p->tiles.find("2-2")->color, kAnswered);
    QCOMPARE(h->controller->pendingAddress(), QStringLiteral("2-2"));
    h->press("99-99", "B");
    QVERIFY(h->tick());
    QCOMPARE(p->nav.clicks[3], 1);
  }

  // A window the routing made active while the window system lags behind stays
  // the target until the user goes elsewhere.
  void focusOverrideEnds() {
    auto* clip = new StandInScreen(QStringLiteral("frmKirpma"));
    addScreen(h->mdi, clip);
    QWidget* shown = clip;
    h->controller->router().setActiveWindowProvider([&shown] { return shown; });
    h->press("2-2", "D");
    QCOMPARE(h->controller->router().activeName(), QStringLiteral("frmOnizleme"));
    h->controller->DugmeBirakildi();  // Timer2 stopped: the override must not stick
    auto* game = new StandInAttendance(QStringLiteral("frmOyun1"));
    addScreen(h->mdi, game);
    shown = game;
    QCOMPARE(h->controller->router().activeName(), QStringLiteral("frmOyun1"));
    shown = clip;
    QCOMPARE(h->controller->router().activeName(), QStringLiteral("frmKirpma"));
    h->controller->router().setActiveWindowProvider({});
  }

  void registration() {
    auto* r = new StandInRegistration;
    addScreen(h->mdi, r);
    h->report(12, 201, "A");
    QCOMPARE(r->captured.size(), 1);
    QCOMPARE(r->captured[0].KumandaAdresi, QStringLiteral("12-201"));
    QVERIFY(!h->controller->Timer2().isActive());
    r->capturing = false;
    h->report(12, 202, "A");
    QCOMPARE(r->captured.size(), 1);
    QVERIFY(h->controller->WriteSomeData(true));
    QCOMPARE(h->sim->writtenReports().last(), QByteArray("\0\1\0\0", 4));
    QVERIFY(h->controller->WriteSomeData(false));
    QCOMPARE(h->sim->writtenReports().last(), QByteArray(4, '\0'));
  }

  // Attendance: the tile is marked at once (no tooltip), the screen gets the
  // press on the tick; the same press twice inside a second counts once.
  void attendance() {
    auto* a = new StandInAttendance;
    a->tiles.setAddresses({"4-4", "5-5"});
    addScreen(h->mdi, a);
    h->press("5-5", "A");
    QCOMPARE(a->tiles.find("5-5")->color, kAnswered);
    QCOMPARE(a->tiles.find("5-5")->toolTip, QString());
    QVERIFY(h->tick());
    QCOMPARE(a->taken, QStringList{"5-5-A"});
    h->clock.advance(400);
    h->press("5-5", "A");
    QCOMPARE(a->tiles.changes, 1);
    QVERIFY(!h->tick());
    QCOMPARE(a->taken.size(), 1);
  }

  void game() {
    auto* g = new StandInAttendance(QStringLiteral("frmOyun1"));
    g->tiles.setAddresses({"5-5"});
    addScreen(h->mdi, g);
    h->press("5-5", "C");
    QCOMPARE(g->tiles.changes, 0);  // the game marks nothing itself here
    QVERIFY(h->tick());
    QCOMPARE(g->taken, QStringList{"5-5-C"});
  }

  void unknownWindowDropsPress() {
    addScreen(h->mdi, new StandInScreen(QStringLiteral("frmSinifTanimlama")));
    h->press("1-1", "A");
    QVERIFY(!h->controller->Timer2().isActive());
    QCOMPARE(p->tiles.changes, 0);
  }

  // A presentation in its own top-level window takes the presses while it is
  // active; the virtual remote or a message box in front of it does not.
  void topLevelPresentation() {
    auto* full = new StandInPresentation;
    full->tiles.setAddresses({"8-8"});
    full->show();
    full->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(full));
    QCOMPARE(h->controller->router().activeName(), QStringLiteral("frmOnizleme"));
    h->press("8-8", "A");
    QCOMPARE(full->tiles.changes, 1);
    delete full;
    QWidget box;
    box.setObjectName("qt_msgbox");
    box.show();
    box.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &box);
    h->press("1-1", "A");
    QCOMPARE(p->tiles.changes, 1);  // the child screen behind it
  }

  void noActiveWindow() {
    h->controller->router().setActiveWindowProvider([] { return nullptr; });
    h->press("1-1", "A");
    QVERIFY(!h->controller->Timer2().isActive());
  }

  void reportKeys_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("clicked");
    QTest::newRow("A previous report") << "A" << 0 << 3 << "nav0";
    QTest::newRow("B next report") << "B" << 3 << 3 << "nav3";
    QTest::newRow("E export") << "E" << 0 << 3 << "nav2";
    QTest::newRow("X exit") << "X" << 0 << 3 << "cikis";
    QTest::newRow("C on questions") << "C" << 1 << 3 << "soru1";
    QTest::newRow("C on general") << "C" << 0 << 3 << "command1";
    QTest::newRow("C on students") << "C" << 5 << 3 << "nav4";
    QTest::newRow("C on empty students") << "C" << 5 << 0 << "";
    QTest::newRow("C elsewhere") << "C" << 2 << 3 << "";
    QTest::newRow("D on questions") << "D" << 1 << 3 << "soru2";
    QTest::newRow("D on students") << "D" << 5 << 3 << "nav1";
    QTest::newRow("D on general") << "D" << 0 << 3 << "";
  }
  void reportKeys() {
    QFETCH(QString, button);
    QFETCH(QString, clicked);
    auto* r = new StandInReport;
    QFETCH(int, tab);
    QFETCH(int, rows);
    r->tab = tab;
    r->rows = rows;
    addScreen(h->mdi, r);
    h->press("99-99", button);
    QVERIFY(h->tick());
    const QMap<QString, int> got = {
        {"nav0", r->nav.clicks[0]},      {"nav1", r->nav.clicks[1]},
        {"nav2", r->nav.clicks[2]},      {"nav3", r->nav.clicks[3]},
        {"nav4", r->nav.clicks[4]},      {"soru1", r->navSoru.clicks[1]},
        {"soru2", r->navSoru.clicks[2]}, {"cikis", r->other.clicks[0]},
        {"command1", r->other.clicks[1]}};
    QCOMPARE(r->totalClicks(), clicked.isEmpty() ? 0 : 1);
    if (!clicked.isEmpty()) QCOMPARE(got.value(clicked), 1);
  }

  void reportNeedsTeacherState() {
    auto* r = new StandInReport;
    addScreen(h->mdi, r);
    h->press("1-1", "A");  // a student
    QVERIFY(h->tick());
    QCOMPARE(r->totalClicks(), 0);
    r->commands = false;
    h->press("99-99", "B");
    QVERIFY(!h->tick());
    r->commands = true;
    r->teachers.clear();
    h->clock.advance(1000);
    h->press("99-99", "B");
    QVERIFY(h->tick());
    QCOMPARE(r->totalClicks(), 0);
    r->cmdNav(3)->setEnabled(false);
    r->teachers = {"99-99"};
    h->clock.advance(1000);
    h->press("99-99", "B");
    QVERIFY(h->tick());
    QCOMPARE(r->totalClicks(), 0);
  }

  // A drawing overlay over the report: the report's teacher keys still work, and
  // its teacher remote keeps its E under the three-button rule.
  void drawingOverReport() {
    auto* r = new StandInReport;
    addScreen(h->mdi, r);
    addScreen(h->mdi, new StandInScreen(QStringLiteral("frmCizimEkrani")));
    h->controller->setThreeButtonSetting("1");
    h->press("99-99", "E");
    QVERIFY(h->tick());
    QCOMPARE(r->nav.clicks[2], 1);
  }
};

QTEST_MAIN(TestPressRouter)
#include "tst_pressrouter.moc"
