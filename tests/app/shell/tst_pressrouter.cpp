// Presses from the receiver to the activity of the window the teacher looks at.
#include <QtTest>

#include "ShellHarness.h"
#include "StandInScreens.h"
#include "school/RemoteRegistration.h"

using State = activity::RemoteTiles::State;

class TestPressRouter : public QObject {
  Q_OBJECT

  std::unique_ptr<ShellHarness> h;
  StandInActivity* p = nullptr;

  framework::PressRouter& router() { return h->controller->router(); }

 private slots:
  void init() {
    h = std::make_unique<ShellHarness>();
    h->start();
    p = new StandInActivity;
    addActivity(h->mdi, router(), p);
    QCOMPARE(router().activeName(), QStringLiteral("frmOnizleme"));
    QCOMPARE(router().activeConsumer(), p);
  }
  void cleanup() { h->stop(); }

  // A teacher key and a student's answer inside the same moment both arrive, in
  // the order they came; so does a whole class answering at once.
  void everyPressArrivesInOrder() {
    h->press("99-99", "A");
    h->press("3-3", "C");
    QCOMPARE(p->received, (QStringList{"99-99:A*", "3-3:C"}));
    QCOMPARE(p->tiles.find("3-3")->state, State::Answered);

    p->received.clear();
    QStringList expected;
    for (int i = 1; i <= 40; ++i) {
      const QString address = QStringLiteral("20-%1").arg(i);
      const QString letter = QString(QChar(u'A' + i % 5));
      h->press(address, letter);
      expected << address + QLatin1Char(':') + letter;
    }
    h->press("99-99", "B");
    expected << QStringLiteral("99-99:B*");
    QCOMPARE(p->received, expected);
  }

  // Reports read from the receiver take the same road.
  void reportsArrive() {
    h->report(2, 2, "B");
    h->report(99, 99, "E");
    QCOMPARE(p->received, (QStringList{"2-2:B", "99-99:E*"}));
    const activity::RemoteTiles::Tile* t = p->tiles.find("2-2");
    QCOMPARE(t->letter, QStringLiteral("B"));
    QCOMPARE(t->pressedAt, h->clock.timeOfDay());  // the time the press came
    QCOMPARE(p->tiles.counts().answered, 1);
    QCOMPARE(p->tiles.counts().notAnswered, 2);
  }

  // The same press twice inside a second arrives once; a second later it counts again.
  void repeatInsideOneSecond() {
    h->report(1, 1, "X");
    h->clock.advance(300);
    h->report(1, 1, "X");
    QCOMPARE(p->received.size(), 1);
    h->clock.advance(700);
    h->report(1, 1, "X");
    QCOMPARE(p->received.size(), 2);
    QCOMPARE(p->tiles.find("1-1")->state, State::Blank);
  }

  // Teacher remotes are those of the active activity; under the three-button rule
  // a student's E arrives as C while the teacher's E stays E.
  void teacherOfTheActiveActivity() {
    h->controller->setThreeButtonSetting("1");
    h->press("1-1", "E");
    h->press("99-99", "E");
    QCOMPARE(p->received, (QStringList{"1-1:C", "99-99:E*"}));
    auto* other = new StandInActivity(QStringLiteral("frmYoklama"), {"99-99"});
    other->teachers = {QStringLiteral("50-50")};
    addActivity(h->mdi, router(), other);
    h->clock.advance(1000);
    h->press("99-99", "A");
    h->press("50-50", "A");
    QCOMPARE(other->received, (QStringList{"99-99:A", "50-50:A*"}));
    QCOMPARE(p->received.size(), 2);
  }

  // A window an activity opens over itself (the clipping surface, the control
  // bar, a message) takes the presses for the activity without being attached;
  // a window of the main window stands for its active screen.
  void windowsOfAnActivityTakeItsPresses_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    QTest::newRow("clipping") << "frmKirpma" << int(Qt::Window);
    QTest::newRow("control bar") << "frmSerbestTamEkran" << int(Qt::Tool);
    QTest::newRow("message") << "frmMesaj" << int(Qt::Dialog);
  }
  void windowsOfAnActivityTakeItsPresses() {
    QFETCH(QString, name);
    QFETCH(int, type);
    auto* helper = new StandInScreen(name);
    helper->setParent(p, Qt::WindowFlags(type));
    QWidget* shown = helper;
    router().setActiveWindowProvider([&shown] { return shown; });
    QCOMPARE(router().activeName(), QStringLiteral("frmOnizleme"));
    h->press("2-2", "D");
    h->press("99-99", "B");
    QCOMPARE(p->received, (QStringList{"2-2:D", "99-99:B*"}));
    auto* panel = new StandInScreen(QStringLiteral("frmAliciTanilama"));
    panel->setParent(h->main.get(), Qt::Tool);
    shown = panel;
    QCOMPARE(router().activeConsumer(), p);
    auto* unowned = new StandInScreen(QStringLiteral("frmKirpma"));
    shown = unowned;
    QVERIFY(!router().activeConsumer());
    router().setActiveWindowProvider({});
    delete unowned;
    delete helper;
  }

  // A window without an activity drops the press; so do a detached activity and
  // one whose window has closed.
  void noActivityDropsPress() {
    addScreen(h->mdi, new StandInScreen(QStringLiteral("frmSinifTanimlama")));
    h->press("1-1", "A");
    QVERIFY(p->received.isEmpty());
    QVERIFY(!router().activeConsumer());

    auto* detached = new StandInActivity(QStringLiteral("frmYoklama"));
    addActivity(h->mdi, router(), detached);
    router().detach(detached);
    h->press("2-2", "A");
    QVERIFY(detached->received.isEmpty());

    auto* closed = new StandInActivity(QStringLiteral("frmOyun1"));
    addActivity(h->mdi, router(), closed);
    delete closed->parentWidget();
    h->mdi->setActiveSubWindow(h->mdi->subWindowList().first());
    h->press("3-3", "A");
    QCOMPARE(p->received, QStringList{"3-3:A"});
  }

  // A window the routing made active while the window system lags behind stays
  // the target until the user goes elsewhere (the virtual remote presses for the
  // screen that opened it).
  void focusOverrideEnds() {
    auto* clip = new StandInScreen(QStringLiteral("frmKirpma"));
    addScreen(h->mdi, clip);
    QWidget* shown = clip;
    router().setActiveWindowProvider([&shown] { return shown; });
    router().focusWindow(p);
    QCOMPARE(router().activeName(), QStringLiteral("frmOnizleme"));
    h->press("2-2", "D");
    QCOMPARE(p->received, QStringList{"2-2:D"});
    auto* game = new StandInActivity(QStringLiteral("frmOyun1"));
    addActivity(h->mdi, router(), game);
    shown = game;
    QCOMPARE(router().activeName(), QStringLiteral("frmOyun1"));
    shown = clip;
    QCOMPARE(router().activeName(), QStringLiteral("frmKirpma"));
    router().setActiveWindowProvider({});
  }

  // An activity in its own top-level window takes the presses while it is active;
  // a message box in front of it does not.
  void topLevelActivity() {
    auto* full = new StandInActivity(QStringLiteral("frmOnizleme"), {"8-8"});
    router().attach(full, full);
    full->show();
    full->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(full));
    h->press("8-8", "A");
    QCOMPARE(full->received, QStringList{"8-8:A"});
    delete full;
    QWidget box;
    box.setObjectName("qt_msgbox");
    box.show();
    box.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &box);
    h->press("1-1", "A");
    QCOMPARE(p->received, QStringList{"1-1:A"});  // the child screen behind it
  }

  void noActiveWindow() {
    router().setActiveWindowProvider([] { return nullptr; });
    h->press("1-1", "A");
    QVERIFY(p->received.isEmpty());
  }

  // The remote screen's registration is an activity like any other: the presses
  // it hears are the new remotes, and it holds the receiver in registration mode.
  void registrationCapturesRemotes() {
    school::RemoteRegistration registration(h->store());
    auto* screen = new StandInScreen(QStringLiteral("frmKumandaTanimlama"));
    addScreen(h->mdi, screen);
    router().attach(screen, &registration);
    connect(&registration, &school::RemoteRegistration::registrationModeRequested,
            h->controller.get(), [this](bool on) { (void)h->controller->WriteSomeData(on); });
    h->report(12, 200, "A");  // not registering yet
    QCOMPARE(registration.count(), 0);
    registration.startNewRemotes();
    QTRY_VERIFY(!h->sim->writtenReports().isEmpty());  // held every 500 ms
    QCOMPARE(h->sim->writtenReports().last(), QByteArray("\0\1\0\0", 4));
    h->report(12, 201, "A");
    h->report(12, 202, "B");
    QCOMPARE(registration.count(), 2);
    QCOMPARE(registration.items().at(0).address, QStringLiteral("12-201"));
    QVERIFY(registration.finish().ok());
    QCOMPARE(h->sim->writtenReports().last(), QByteArray(4, '\0'));
    QCOMPARE(h->store().scalar("SELECT COUNT(*) FROM TABLEKUMANDA")->toInt(), 2);
  }
};

QTEST_MAIN(TestPressRouter)
#include "tst_pressrouter.moc"
