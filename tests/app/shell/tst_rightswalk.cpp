// Every way into a screen or an action of the main window, walked in the
// advanced mode by nobody and by a user without any right: each one that needs a
// right is refused with the reason, nothing behind it opens or runs.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "InstalledSchool.h"
#include "TempDataFolder.h"

#include <memory>

#include "TestSchool.h"
#include "authoring/TestCatalog.h"
#include "screens/authoring/frmTestHazirlama.h"
#include "screens/delivery/frmTestUygula.h"
#include "screens/start/frmGenelEkran.h"
#include "shell/ButtonBar.h"
#include "shell/MDIForm1.h"
#include "shell/MainMenuController.h"
#include "store/Institution.h"
#include "store/Store.h"
#include "users/Rights.h"
#include "users/Session.h"
#include "users/UserList.h"

namespace {

enum class Way { MenuItem, BarButton, Tile, Shortcut };

struct Entry {
  Way way;
  QString name;  // objectName of the item, button or tile; the key sequence of a shortcut
  bool guarded;  // asks for a right
};

// Every way in that the main window offers today. A new item, button or tile
// must be added here (the coverage test below fails until it is).
QList<Entry> ways() {
  auto item = [](const char* n, bool g) { return Entry{Way::MenuItem, QString::fromLatin1(n), g}; };
  return {
      item("mnuEkran_0", true),
      item("mnuEkran_1", true),
      item("mnuEkran_2", true),
      item("mnuEkran_3", true),
      item("mnuEkran_4", true),
      item("mnuEkran_5", true),
      item("mnuEkran_7", true),
      item("mnuEkran_11", false),
      item("GelismisModAyarlari", true),
      item("mnuDisVeriAl", true),
      item("mnuDosyadanSoruAl", true),
      item("mnuDosyadanTestAl", true),
      item("mnuSinifAtlatma", true),
      item("mnuKurumBilgileri", true),
      item("mnuOkulSunucusu", true),
      item("BilgileriOnar", true),
      item("mnuAnaSayfa", false),
      item("mnuAliciTanilama", false),
      item("mnuSanalKumanda", false),
      item("RaporAnimasyonu", false),
      item("mnuDokunmatikTahta", false),
      item("mnuEkranKlavyesi_0", false),
      item("mnuEkranKlavyesi_1", false),
      item("mnuEkranKlavyesi_2", false),
      item("mnuCikis", false),
      item("KolayMenu", false),
      item("TamMenu", false),
      item("OturumAc", false),
      item("mnuDugme_2", false),
      item("mnuDugme_3", false),
      item("mnuDugme_4", false),
      item("mnuDugme_5", false),
      item("mnuDugme_6", false),
      {Way::BarButton, QStringLiteral("cmdMenu_0"), true},
      {Way::BarButton, QStringLiteral("cmdMenu_1"), true},
      {Way::BarButton, QStringLiteral("cmdMenu_2"), true},
      {Way::BarButton, QStringLiteral("cmdMenu_3"), true},
      {Way::BarButton, QStringLiteral("cmdMenu_4"), true},
      {Way::BarButton, QStringLiteral("cmdMenu_5"), true},
      {Way::BarButton, QStringLiteral("cmdMenu_7"), true},
      {Way::BarButton, QStringLiteral("cmdMenu_8"), true},
      {Way::BarButton, QStringLiteral("cmdMenu_9"), false},
      {Way::BarButton, QStringLiteral("cmdMenu_11"), false},
      {Way::Tile, QStringLiteral("cmdKutu0"), true},
      {Way::Tile, QStringLiteral("cmdKutu1"), true},
      {Way::Tile, QStringLiteral("cmdKutu2"), true},
      {Way::Tile, QStringLiteral("cmdKutu3"), true},
      {Way::Tile, QStringLiteral("cmdKutu4"), true},
      {Way::Tile, QStringLiteral("cmdKutu5"), true},
      {Way::Shortcut, QStringLiteral("Ctrl+1"), true},
      {Way::Shortcut, QStringLiteral("Ctrl+2"), true},
      {Way::Shortcut, QStringLiteral("Ctrl+3"), true},
      {Way::Shortcut, QStringLiteral("Ctrl+4"), true},
      {Way::Shortcut, QStringLiteral("Ctrl+5"), true},
      {Way::Shortcut, QStringLiteral("Ctrl+6"), true},
      {Way::Shortcut, QStringLiteral("Ctrl+8"), true},
      {Way::Shortcut, QStringLiteral("Ctrl+9"), true},
  };
}

QString wayName(Way w) {
  switch (w) {
    case Way::MenuItem:
      return QStringLiteral("menu");
    case Way::BarButton:
      return QStringLiteral("bar");
    case Way::Tile:
      return QStringLiteral("tile");
    case Way::Shortcut:
      return QStringLiteral("shortcut");
  }
  return {};
}

QList<QAction*> menuActions(QMenuBar* bar) {
  QList<QAction*> out;
  QList<QAction*> todo = bar->actions();
  while (!todo.isEmpty()) {
    QAction* a = todo.takeFirst();
    if (a->menu()) {
      todo << a->menu()->actions();
      continue;
    }
    if (!a->isSeparator()) out << a;
  }
  return out;
}

}  // namespace

class TestRightsWalk : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir, false));
    QVERIFY(store().open().ok());
    QVERIFY(testsupport::installedSchool(store()).ok());
    QVERIFY(store::setOption(store(), store::Institution::Option::AdvancedMode, true).ok());
    TestSchool(store()).student(QStringLiteral("Ali"), QStringLiteral("5-A"));
    QStringList all;
    for (const users::Right& r : users::rights()) all << r.code;
    users::UserList list;
    list.add(QStringLiteral("Yönetici"), QStringLiteral("y"));
    list.add(QStringLiteral("Kısıtlı"), QStringLiteral("k"), users::deniedText(all));
    QVERIFY(list.save(store()).ok());
    store().close();

    MDIForm1::Options options;
    options.messages = &messages();  // anything unexpected is answered at once and recorded
    m_window = std::make_unique<MDIForm1>(store(), options);
    m_modals.clear();
    m_window->setModalRunner([this](QDialog& d) {
      m_modals << d.objectName();
      return int(QDialog::Rejected);
    });
    QVERIFY(m_window->MDIForm1_Load());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    messages().takeTexts();
  }
  void cleanup() {
    m_window.reset();
    m_dir.reset();
  }

  void walk_data() {
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("guarded");
    for (bool loggedIn : {false, true})
      for (const Entry& e : ways())
        QTest::addRow("%s, %s %s", loggedIn ? "user without rights" : "nobody",
                      qPrintable(wayName(e.way)), qPrintable(e.name))
            << loggedIn << int(e.way) << e.name << e.guarded;
  }
  void walk() {
    QFETCH(bool, loggedIn);
    QFETCH(int, way);
    QFETCH(QString, name);
    QFETCH(bool, guarded);
    shell::MainMenuController* menu = m_window->mainMenu();
    if (loggedIn)
      QVERIFY(menu->session()->logIn(store(), QStringLiteral("kısıtlı"), QStringLiteral("k")));
    messages().takeTexts();

    QWidget* widget = nullptr;
    QAction* action = nullptr;
    switch (Way(way)) {
      case Way::MenuItem:
        action = m_window->findChild<QAction*>(name);
        QVERIFY2(action, qPrintable(name));
        break;
      case Way::BarButton:
        widget = menu->buttonBar()->findChild<QToolButton*>(name);
        break;
      case Way::Tile:
        widget = m_window->homeScreen()->findChild<QPushButton*>(name);
        break;
      case Way::Shortcut:
        // The item that carries it: a hidden item's shortcut does nothing.
        for (QAction* a : menuActions(m_window->menuBar()))
          if (a->shortcut() == QKeySequence(name)) action = a;
        QVERIFY2(action, qPrintable(name));
        break;
    }
    if (Way(way) == Way::BarButton || Way(way) == Way::Tile) QVERIFY2(widget, qPrintable(name));
    if (!guarded) {
      // Not subject to rights: usable whoever is (not) logged in.
      if (action) QCOMPARE(users::requiredFlag(shell::MainMenuController::rightKeyOf(action)), 0);
      if (widget) QVERIFY(widget->isEnabled());
      return;
    }

    // What a user can reach at all: a hidden item or button is no way in.
    const bool shown = action ? action->isVisible() : (!widget || !widget->isHidden());
    const bool enabled = action ? action->isEnabled() : (!widget || widget->isEnabled());
    // Without anybody logged in the way answers; a logged-in user who lacks the
    // right can never use it: it is disabled (or hidden).
    if (shown) QVERIFY2(enabled != loggedIn, qPrintable(name));

    const QStringList screensBefore = openScreens();
    switch (Way(way)) {
      case Way::MenuItem:
        if (shown) action->trigger();
        break;
      case Way::BarButton:
      case Way::Tile:
        if (shown) QTest::mouseClick(widget, Qt::LeftButton);
        break;
      case Way::Shortcut:
        QTest::keySequence(m_window.get(), QKeySequence(name));
        break;
    }
    QVERIFY(m_modals.isEmpty());  // no dialog behind it opened
    QCOMPARE(store()
                 .scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='5-A'"))
                 .valueOr(-1)
                 .toInt(),
             1);  // the rollover did not run
    const QStringList texts = messages().takeTexts();
    const QStringList screens = openScreens();
    if (!loggedIn && shown && enabled) {
      // Told why, then offered the log-in.
      QCOMPARE(texts, QStringList{users::kDeniedMessage});
      QCOMPARE(screens,
               (QStringList{QStringLiteral("frmGenelEkran"), QStringLiteral("frmOturumAc")}));
    } else {
      // Nothing happened at all (a disabled or hidden way).
      QCOMPARE(texts, QStringList{});
      QCOMPARE(screens, screensBefore);
    }
  }

  // A logged-in user without the right who still reaches the check (a caller
  // that does not look at the enabled state) is told why and stays where he is.
  void checkRefusesAUserWithoutTheRight() {
    shell::MainMenuController* menu = m_window->mainMenu();
    QVERIFY(menu->session()->logIn(store(), QStringLiteral("kısıtlı"), QStringLiteral("k")));
    messages().takeTexts();
    QVERIFY(!menu->requireRight(QStringLiteral("mnuDisVeriAl")));
    QVERIFY(!menu->cmdMenu_Click(0));
    QCOMPARE(messages().takeTexts(), (QStringList{users::kDeniedMessage, users::kDeniedMessage}));
    QCOMPARE(openScreens(), QStringList{QStringLiteral("frmGenelEkran")});
    // The administrator gets through every way.
    menu->session()->logOut();
    QVERIFY(menu->session()->logIn(store(), QStringLiteral("yönetici"), QStringLiteral("y")));
    QVERIFY(menu->buttonBar()->button(0)->isEnabled());
    QVERIFY(
        m_window->homeScreen()->findChild<QPushButton*>(QStringLiteral("cmdKutu0"))->isEnabled());
    QCOMPARE(menu->cmdMenu_Click(0)->objectName(), QStringLiteral("frmTanimlamalar"));
  }

  // A screen opened by one user asks for its right again at every click: after
  // "Oturumu Kapat" "Testi Başlat" and "Dersi Başlat" start nothing (the log-in
  // opens in the screen's place); a right taken away while the screen is open
  // is refused the same way, and the screen goes.
  void aScreenAsksAgainAtEveryClick_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("screenName");
    QTest::newRow("Test Uygula") << 4 << "frmTestUygula";
    QTest::newRow("Ders Uygula") << 7 << "frmDersUygula";
  }
  void aScreenAsksAgainAtEveryClick() {
    QFETCH(int, index);
    QFETCH(QString, screenName);
    shell::MainMenuController* menu = m_window->mainMenu();
    QVERIFY(menu->session()->logIn(store(), QStringLiteral("yönetici"), QStringLiteral("y")));
    QWidget* screen = menu->cmdMenu_Click(index);
    QVERIFY(screen);
    QCOMPARE(screen->objectName(), screenName);
    menu->OturumAc_Click();
    messages().takeTexts();
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("cmdOnizleme")),
                      Qt::LeftButton);
    QTRY_COMPARE(openScreens(),
                 (QStringList{QStringLiteral("frmGenelEkran"), QStringLiteral("frmOturumAc")}));
    QCOMPARE(messages().takeTexts(), QStringList{users::kDeniedMessage});
    QCOMPARE(presentations(), 0);

    QVERIFY(menu->session()->logIn(store(), QStringLiteral("yönetici"), QStringLiteral("y")));
    screen = menu->cmdMenu_Click(index);
    users::RightFlags flags = menu->session()->flags();
    flags.setFlag(users::flagOf(QStringLiteral("100M")), false);
    menu->session()->setFlags(flags);
    messages().takeTexts();
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("cmdOnizleme")),
                      Qt::LeftButton);
    QTRY_COMPARE(openScreens(), QStringList{QStringLiteral("frmGenelEkran")});
    QCOMPARE(messages().takeTexts(), QStringList{users::kDeniedMessage});
    QCOMPARE(presentations(), 0);
  }

  // "Testi Düzenle" on the run set-up opens the test screen on the chosen test,
  // through the test screen's own right.
  void editingTheChosenTestOpensIt() {
    authoring::Test test;
    test.testAdi = QStringLiteral("Kesirler");
    const QString testNo = authoring::TestCatalog(store()).create(test).valueOr({});
    QVERIFY(!testNo.isEmpty());
    shell::MainMenuController* menu = m_window->mainMenu();
    QVERIFY(menu->session()->logIn(store(), QStringLiteral("yönetici"), QStringLiteral("y")));
    auto* setup = qobject_cast<frmTestUygula*>(menu->cmdMenu_Click(4));
    QVERIFY(setup && setup->selectTest(testNo));
    QTest::mouseClick(setup->findChild<QPushButton*>(QStringLiteral("cmdTestiDuzenle")),
                      Qt::LeftButton);
    QTRY_COMPARE(openScreens(), (QStringList{QStringLiteral("frmGenelEkran"),
                                             QStringLiteral("frmTestHazirlama")}));
    auto* tests = m_window->findChild<frmTestHazirlama*>();
    QVERIFY(tests);
    QCOMPARE(tests->form().fields().testNo, testNo);
    QCOMPARE(tests->form().fields().testAdi, QStringLiteral("Kesirler"));
  }

  // The rollover is the administrator's: a teacher who may edit the classes but
  // not enter the advanced page cannot start it from the menu.
  void theRolloverIsTheAdministrators() {
    users::UserList list = users::UserList::load(store()).value();
    list.add(QStringLiteral("Ayşe"), QStringLiteral("a"), QStringLiteral("-108M"));
    QVERIFY(list.save(store()).ok());
    shell::MainMenuController* menu = m_window->mainMenu();
    QVERIFY(menu->session()->logIn(store(), QStringLiteral("ayşe"), QStringLiteral("a")));
    QVERIFY(!m_window->findChild<QAction*>(QStringLiteral("mnuSinifAtlatma"))->isEnabled());
    messages().takeTexts();
    QVERIFY(!menu->requireRight(QStringLiteral("mnuSinifAtlatma")));
    QCOMPARE(messages().takeTexts(), QStringList{users::kDeniedMessage});
    QCOMPARE(menu->cmdMenu_Click(0)->objectName(), QStringLiteral("frmTanimlamalar"));
  }

  // Turning the advanced mode on takes effect at once: with users stored nobody
  // may do anything before logging in. The log-in form closes on success, and
  // the window's caption names the school and the user.
  void theAdvancedModeTakesEffectAtOnce() {
    shell::MainMenuController* menu = m_window->mainMenu();
    QVERIFY(store::setOption(store(), store::Institution::Option::AdvancedMode, false).ok());
    QVERIFY(menu->session()->allows(QStringLiteral("frmTanimlamalar")));
    QVERIFY(menu->cmdMenu_Click(0));
    messages().takeTexts();
    QVERIFY(store::setOption(store(), store::Institution::Option::AdvancedMode, true).ok());
    QVERIFY(!menu->session()->allows(QStringLiteral("frmTanimlamalar")));
    QCOMPARE(openScreens(),
             (QStringList{QStringLiteral("frmGenelEkran"), QStringLiteral("frmOturumAc")}));
    QCOMPARE(messages().takeTexts().size(), 1);

    QWidget* login = menu->currentScreen();
    login->findChild<QLineEdit*>(QStringLiteral("txtKullaniciAdi"))
        ->setText(QStringLiteral("yönetici"));
    login->findChild<QLineEdit*>(QStringLiteral("txtSifre"))->setText(QStringLiteral("y"));
    QTest::mouseClick(login->findChild<QPushButton*>(QStringLiteral("cmdKaydet")), Qt::LeftButton);
    QTRY_COMPARE(openScreens(), QStringList{QStringLiteral("frmGenelEkran")});
    QVERIFY(menu->session()->allows(QStringLiteral("frmTanimlamalar")));
    QVERIFY2(m_window->windowTitle().startsWith(QStringLiteral("Atatürk Ortaokulu - Derslik")),
             qPrintable(m_window->windowTitle()));
    QVERIFY(m_window->windowTitle().endsWith(QStringLiteral(" - Kullanıcı:[Yönetici]")));
  }

  // Every screen fits the main area beside the button bar on a 1280×800 and on a
  // 1366×768 screen (about 1050 × 690): beyond it, its buttons fall off the edge.
  void everyScreenFitsALaptop() {
    shell::MainMenuController* menu = m_window->mainMenu();
    QVERIFY(menu->session()->logIn(store(), QStringLiteral("yönetici"), QStringLiteral("y")));
    QStringList tooLarge;
    for (int i = 0; i < shell::ButtonBar::kButtonCount; ++i) {
      if (!menu->registry().has(i)) continue;
      QWidget* screen = menu->cmdMenu_Click(i);
      if (!screen) continue;
      const QSize least = screen->minimumSizeHint().expandedTo(screen->minimumSize());
      if (least.width() > 1050 || least.height() > 690)
        tooLarge << QStringLiteral("%1 %2×%3")
                        .arg(screen->objectName())
                        .arg(least.width())
                        .arg(least.height());
    }
    QVERIFY2(tooLarge.isEmpty(), qPrintable(tooLarge.join(QStringLiteral(", "))));
  }

  // Every item, button and tile of the window is one of the walked ways.
  void everyWayIsWalked() {
    QStringList known;
    for (const Entry& e : ways()) known << e.name;
    for (QAction* a : menuActions(m_window->menuBar()))
      QVERIFY2(known.contains(a->objectName()), qPrintable(a->objectName() + a->text()));
    shell::MainMenuController* menu = m_window->mainMenu();
    for (int i = 0; i < shell::ButtonBar::kButtonCount; ++i)
      if (menu->registry().has(i))
        QVERIFY2(known.contains(menu->buttonBar()->button(i)->objectName()),
                 qPrintable(menu->buttonBar()->button(i)->objectName()));
    for (QPushButton* tile : m_window->homeScreen()->findChildren<QPushButton*>())
      if (tile->objectName().startsWith(QStringLiteral("cmdKutu")))
        QVERIFY2(known.contains(tile->objectName()), qPrintable(tile->objectName()));
  }

 private:
  store::Store& store() { return m_dir->store(); }
  RecordedMessages& messages() { return m_dir->messages(); }
  QStringList openScreens() const {
    QStringList names;
    for (QMdiSubWindow* sub : m_window->mdiArea()->subWindowList())
      if (sub->widget()) names << sub->widget()->objectName();
    names.sort();
    return names;
  }

  static int presentations() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == QStringLiteral("frmOnizleme") && w->isVisible()) ++n;
    return n;
  }

  std::unique_ptr<TempDataFolder> m_dir;
  std::unique_ptr<MDIForm1> m_window;
  QStringList m_modals;
};

QTEST_MAIN(TestRightsWalk)
#include "tst_rightswalk.moc"
