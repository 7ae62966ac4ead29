#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "Screenshot.h"
#include "TempDataFolder.h"
#include "screens/users/UserScreens.h"
#include "shell/ButtonBar.h"
#include "shell/MainMenuController.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "users/Rights.h"
#include "users/Session.h"
#include "users/UserList.h"

namespace {

QWidget* makeScreen(const QString& name) {
  auto* w = new QWidget;
  w->setObjectName(name);
  return w;
}

QStringList openScreenNames(QMdiArea* mdi) {
  QStringList names;
  for (QMdiSubWindow* sub : mdi->subWindowList()) names << sub->widget()->objectName();
  names.sort();
  return names;
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class TestMainMenu : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir));

    m_window = std::make_unique<QMainWindow>();
    m_mdi = new QMdiArea(m_window.get());
    m_window->setCentralWidget(m_mdi);
    m_menu = new shell::MainMenuController(m_window.get(), m_mdi, m_window->menuBar(), context());
    usersui::registerUserScreens(m_menu->registry(), context(), *m_menu->session());
    auto* dock = new QDockWidget(m_window.get());
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(m_menu->buttonBar());
    m_window->addDockWidget(Qt::LeftDockWidgetArea, dock);
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7}) {
      const QString name = m_menu->registry().entry(i).windowName;
      m_menu->registry().registerScreen(i, [name](QWidget*) { return makeScreen(name); });
    }
    m_home = makeScreen(QStringLiteral("frmGenelEkran"));
    m_mdi->addSubWindow(m_home)->showMaximized();
    m_window->resize(1280, 800);
    m_dir->messages().takeTexts();
  }
  void cleanup() {
    m_window.reset();
    flushDeletes();
    m_dir.reset();
  }

  void rightTestOpensLogIn_data() {
    QTest::addColumn<bool>("advanced");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("opened");
    QTest::newRow("simple mode, question bank") << false << 2 << "frmSoruHazirlama";
    QTest::newRow("simple mode, reports") << false << 5 << "frmRaporlarMenu";
    QTest::newRow("simple mode, advanced page") << false << 8 << "frmGelismisMod";
    QTest::newRow("advanced, question bank") << true << 2 << "frmOturumAc";
    QTest::newRow("advanced, classes") << true << 0 << "frmOturumAc";
    QTest::newRow("advanced, a lesson needs the run right") << true << 7 << "frmOturumAc";
    QTest::newRow("simple mode, lesson") << false << 7 << "frmDersUygula";
    QTest::newRow("advanced, user admin needs its right") << true << 8 << "frmOturumAc";
  }
  void rightTestOpensLogIn() {
    QFETCH(bool, advanced);
    QFETCH(int, index);
    QFETCH(QString, opened);
    m_menu->applyStartupRights(advanced, 1);
    QWidget* screen = m_menu->cmdMenu_Click(index);
    QVERIFY(screen);
    QCOMPARE(screen->objectName(), opened);
    QCOMPARE(m_menu->currentScreen(), screen);
    QVERIFY(screen->parentWidget()->isMaximized());
    // Refused: the user is told why before the log-in screen opens.
    const bool refused = opened == QStringLiteral("frmOturumAc");
    QCOMPARE(m_dir->messages().takeTexts(),
             refused ? QStringList{users::kDeniedMessage} : QStringList{});
    // The opened screen's button takes the pressed look, every other one the normal look.
    const int pressed = refused ? 9 : index;
    QCOMPARE(m_menu->buttonBar()->pressed(), pressed);
    for (int i = 0; i < shell::ButtonBar::kButtonCount; ++i) {
      QToolButton* b = m_menu->buttonBar()->button(i);
      QCOMPARE(b->isChecked(), i == pressed);
      QCOMPARE(b->font().underline(), i == pressed);
    }
  }

  void oneMainScreenAtATime() {
    m_menu->applyStartupRights(false, 0);
    QPointer<QWidget> first = m_menu->cmdMenu_Click(3);
    QVERIFY(first);
    QPointer<QWidget> again = m_menu->cmdMenu_Click(3);  // the same screen, opened anew
    flushDeletes();
    QVERIFY(first.isNull());
    QVERIFY(again);
    QCOMPARE(openScreenNames(m_mdi),
             (QStringList{QStringLiteral("frmGenelEkran"), QStringLiteral("frmTestHazirlama")}));
    m_menu->cmdMenu_Click(5);
    flushDeletes();
    QVERIFY(again.isNull());
    QCOMPARE(openScreenNames(m_mdi),
             (QStringList{QStringLiteral("frmGenelEkran"), QStringLiteral("frmRaporlarMenu")}));
    QVERIFY(m_home);
  }

  void hiddenButtonsCloseUp() {
    m_menu->applyStartupRights(false, 0);
    for (int i = 2; i <= 6; ++i)
      QVERIFY(store::ParametreKaydet(store(), QStringLiteral("Dugme%1").arg(i), QStringLiteral("0"))
                  .ok());
    m_menu->DugmeleriDuzenle();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    shell::ButtonBar* bar = m_menu->buttonBar();
    QCOMPARE(bar->shownButtons(), (QList<int>{0, 1, 7, 8}));
    for (int i = 2; i <= 6; ++i) {
      QVERIFY(!m_menu->mnuDugme(i)->isChecked());
      QVERIFY(!bar->button(i)->isVisible());
    }
    // From the top, one under another, without gaps.
    const QList<int> shown = bar->shownButtons();
    QVERIFY(bar->button(shown.first())->y() < 20);
    for (qsizetype k = 1; k < shown.size(); ++k) {
      const QRect above = bar->button(shown.at(k - 1))->geometry();
      const QRect here = bar->button(shown.at(k))->geometry();
      QVERIFY(here.top() > above.bottom());
      QVERIFY(here.top() - above.bottom() <= 10);
      QVERIFY(here.height() >= shell::ButtonBar::kMinButtonHeight);
    }
  }

  void everyButtonFitsAt800Pixels() {
    m_menu->applyStartupRights(true, 0);  // advanced mode: the log-in button too
    m_menu->setRights(users::RightFlags::all(true));
    for (int i : {10, 11, 12}) {
      const QString name = m_menu->registry().entry(i).windowName;
      m_menu->registry().registerScreen(i, [name](QWidget*) { return makeScreen(name); });
    }
    m_menu->DugmeleriDuzenle();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    shell::ButtonBar* bar = m_menu->buttonBar();
    QCOMPARE(bar->shownButtons().size(), 13);
    QVERIFY(bar->button(12)->geometry().bottom() < bar->height());
    QVERIFY(bar->button(12)->height() >= shell::ButtonBar::kMinButtonHeight);
  }

  void buttonsOfMissingScreensAreHidden() {
    m_menu->applyStartupRights(false, 0);
    m_menu->DugmeleriDuzenle();
    shell::ButtonBar* bar = m_menu->buttonBar();
    QVERIFY(!bar->buttonShown(10));
    QVERIFY(!m_menu->cmdMenu_Click(10));
    QVERIFY(!m_window->findChild<QAction*>(QStringLiteral("mnuEkran_10")));
    auto* fresh = new shell::MainMenuController(m_window.get(), m_mdi, new QMenuBar(m_window.get()),
                                                context());
    QVERIFY(!fresh->mnuDugme(2)->isVisible());  // no screen behind it yet
    fresh->registry().registerScreen(2, [](QWidget*) { return makeScreen("frmSoruHazirlama"); });
    QVERIFY(fresh->mnuDugme(2)->isVisible());
    QVERIFY(!fresh->mnuDugme(3)->isVisible());
    m_menu->registry().registerScreen(10, [](QWidget*) { return makeScreen("frmIletisim"); });
    QVERIFY(bar->buttonShown(10));
    auto* item = m_window->findChild<QAction*>(QStringLiteral("mnuEkran_10"));
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("İletişim"));
    QVERIFY(m_menu->cmdMenu_Click(10));
  }

  void shortcutsAreShownInTooltips() {
    m_menu->applyStartupRights(false, 0);
    QToolButton* b = m_menu->buttonBar()->button(2);
    QVERIFY2(b->toolTip().startsWith(QStringLiteral("Soru Hazırlama (")), qPrintable(b->toolTip()));
    QCOMPARE(m_window->findChild<QAction*>(QStringLiteral("mnuEkran_2"))->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+3")));
    QVERIFY(b->height() >= shell::ButtonBar::kMinButtonHeight || b->minimumSizeHint().height() > 0);
  }

  void keyboardMovesAlongTheShownButtons() {
    m_menu->applyStartupRights(false, 0);
    QVERIFY(store::ParametreKaydet(store(), QStringLiteral("Dugme1"), QStringLiteral("0")).ok());
    m_menu->DugmeleriDuzenle();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    shell::ButtonBar* bar = m_menu->buttonBar();
    bar->button(0)->setFocus();
    QTest::keyClick(bar->button(0), Qt::Key_Down);  // skips the hidden button 1
    QCOMPARE(QApplication::focusWidget(), bar->button(2));
    QTest::keyClick(bar->button(2), Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), bar->button(0));
    QTest::keyClick(bar->button(0), Qt::Key_Up);  // wraps to the last shown button
    QCOMPARE(QApplication::focusWidget(), bar->button(8));
    QTest::keyClick(bar->button(2), Qt::Key_Return);
    QCOMPARE(m_menu->currentScreen()->objectName(), QStringLiteral("frmSoruHazirlama"));
    QCOMPARE(bar->pressed(), 2);
  }

  void menuItemsChangeTheBar() {
    m_menu->applyStartupRights(false, 0);
    m_menu->DugmeleriDuzenle();
    QVERIFY(m_menu->tamMenuAction()->isChecked());
    m_menu->mnuDugme_Click(3);
    QCOMPARE(store::ParametreAl(store(), QStringLiteral("Dugme3")).valueOr({}),
             QStringLiteral("0"));
    QCOMPARE(store::UserSettings::get(QStringLiteral("Anamenu"), QStringLiteral("Dugmeler3")),
             QStringLiteral("False"));
    QVERIFY(!m_menu->buttonBar()->buttonShown(3));
    QVERIFY(!m_menu->tamMenuAction()->isChecked());
    m_menu->mnuDugme_Click(3);
    QVERIFY(m_menu->buttonBar()->buttonShown(3));

    m_menu->kolayMenuAction()->trigger();
    QVERIFY(m_menu->kolayMenuAction()->isChecked());
    QVERIFY(!m_menu->tamMenuAction()->isChecked());
    QVERIFY(m_menu->kolayMenuAction()->actionGroup()->isExclusive());
    QCOMPARE(m_menu->buttonBar()->shownButtons(), (QList<int>{3, 4, 5, 6, 7, 8}));
    m_menu->TamMenuYaz();
    QVERIFY(!m_menu->kolayMenuAction()->isChecked());
    QVERIFY(m_menu->tamMenuAction()->isChecked());
    QCOMPARE(m_menu->buttonBar()->shownButtons(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  }

  // The simplified set keeps the everyday screens; while none of them is built it
  // cannot be chosen, and hidden buttons never leave the bar without the built ones.
  void simplifiedSetKeepsAWayToTheScreens() {
    auto* bar = new QMenuBar(m_window.get());
    shell::MainMenuController fresh(m_window.get(), m_mdi, bar, context());
    usersui::registerUserScreens(fresh.registry(), context(), *fresh.session());
    for (int i : {0, 1})
      fresh.registry().registerScreen(i, [](QWidget*) { return makeScreen("ekran"); });
    fresh.applyStartupRights(false, 0);
    fresh.DugmeleriDuzenle();
    QVERIFY(!fresh.kolayMenuAction()->isEnabled());
    for (int i = 0; i <= 2; ++i)
      QVERIFY(store::ParametreKaydet(store(), QStringLiteral("Dugme%1").arg(i), QStringLiteral("0"))
                  .ok());
    fresh.DugmeleriDuzenle();
    QVERIFY(fresh.kolayMenuAction()->isChecked());
    QCOMPARE(fresh.buttonBar()->shownButtons(), (QList<int>{0, 1, 8}));
    fresh.registry().registerScreen(3, [](QWidget*) { return makeScreen("frmTestHazirlama"); });
    QVERIFY(fresh.kolayMenuAction()->isEnabled());
    QCOMPARE(fresh.buttonBar()->shownButtons(), (QList<int>{3, 8}));
  }

  void logInAndOutThroughTheMenu() {
    users::UserList list;
    list.add(QStringLiteral("İSMAİL"), QStringLiteral("pw'1"), QStringLiteral("-105M-108M"));
    list.add(QStringLiteral("Yönetici"), QStringLiteral("y"));
    QVERIFY(list.save(store()).ok());
    m_menu->applyStartupRights(true, 2);
    QVERIFY(m_menu->oturumAcAction()->isVisible());
    QVERIFY(!m_menu->gelismisModAction()->isVisible());
    QVERIFY(m_menu->buttonBar()->buttonShown(9));
    QSignalSpy users(m_menu, &shell::MainMenuController::userChanged);

    QWidget* login = m_menu->cmdMenu_Click(4);
    QCOMPARE(login->objectName(), QStringLiteral("frmOturumAc"));
    QPointer<QWidget> loginAlive = login;
    login->findChild<QLineEdit*>(QStringLiteral("txtKullaniciAdi"))
        ->setText(QStringLiteral("ismail"));
    login->findChild<QLineEdit*>(QStringLiteral("txtSifre"))->setText(QStringLiteral("pw'1"));
    QTest::mouseClick(login->findChild<QPushButton*>(QStringLiteral("cmdKaydet")), Qt::LeftButton);
    QCOMPARE(lastShown(), QStringLiteral("Bilgi|Oturumunuz açılmıştır"));
    flushDeletes();
    QVERIFY(loginAlive.isNull());                  // the window closed
    QCOMPARE(m_menu->buttonBar()->pressed(), -1);  // and no button stays pressed for it
    QCOMPARE(users.count(), 1);
    QCOMPARE(users.first().first().toString(), QStringLiteral("İSMAİL"));
    QCOMPARE(m_menu->oturumAcAction()->text(), QStringLiteral("Oturumu Kapat"));
    QCOMPARE(m_menu->buttonBar()->button(9)->text(), QStringLiteral("Oturumu Kapat"));
    QVERIFY(!m_menu->gelismisModAction()->isVisible());  // 108M denied
    QCOMPARE(m_menu->cmdMenu_Click(4)->objectName(), QStringLiteral("frmTestUygula"));
    // A right this user never has: the button is disabled, a click elsewhere is told.
    QVERIFY(!m_menu->buttonBar()->button(2)->isEnabled());
    QVERIFY(!m_window->findChild<QAction*>(QStringLiteral("mnuEkran_2"))->isEnabled());
    QVERIFY(m_menu->buttonBar()->button(4)->isEnabled());
    m_dir->messages().takeTexts();
    QVERIFY(!m_menu->cmdMenu_Click(2));
    QCOMPARE(m_dir->messages().takeTexts(), QStringList{users::kDeniedMessage});
    QCOMPARE(m_menu->currentScreen()->objectName(), QStringLiteral("frmTestUygula"));

    m_menu->OturumAc_Click();
    QCOMPARE(lastShown(), QStringLiteral("Bilgi|Oturumunuz Kapatılmıştır"));
    QCOMPARE(users.last().first().toString(), QString());
    QCOMPARE(m_menu->rights(), users::RightFlags::all(false));
    QCOMPARE(m_menu->oturumAcAction()->text(), QStringLiteral("Oturum Aç"));
    QCOMPARE(m_menu->buttonBar()->button(9)->text(), QStringLiteral("Oturum Aç"));
    QCOMPARE(m_menu->cmdMenu_Click(4)->objectName(), QStringLiteral("frmOturumAc"));
  }

  void simpleModeHidesLogIn() {
    m_menu->applyStartupRights(false, 3);
    QVERIFY(!m_menu->oturumAcAction()->isVisible());
    QVERIFY(m_menu->gelismisModAction()->isVisible());
    QVERIFY(!m_menu->buttonBar()->buttonShown(9));
    QVERIFY(!m_menu->rights().flag(12));
  }

  void switchingAdvancedModeOffGivesEveryRight() {
    users::UserList list;
    list.add(QStringLiteral("Ayşe"), QStringLiteral("x"));
    QVERIFY(list.save(store()).ok());
    QVERIFY(store::setOption(store(), store::Institution::Option::AdvancedMode, true).ok());
    m_menu->applyStartupRights(true, 1);
    QVERIFY(m_menu->session()->logIn(store(), QStringLiteral("ayşe"), QStringLiteral("x")).ok());
    QSignalSpy options(m_menu, &shell::MainMenuController::institutionOptionChanged);
    QWidget* page = m_menu->cmdMenu_Click(8);
    QCOMPARE(page->objectName(), QStringLiteral("frmGelismisMod"));
    auto* chk = page->findChild<QCheckBox*>(QStringLiteral("chkGelismisMod"));
    QVERIFY(chk);
    QVERIFY(chk->isChecked());  // as stored
    chk->click();               // off
    QCOMPARE(options.count(), 1);
    QVERIFY(!store().institution().advancedMode);
    QVERIFY(!m_menu->session()->loggedIn());
    QVERIFY(!m_menu->oturumAcAction()->isVisible());
    QCOMPARE(m_menu->rights(), users::initialRights(false, 0));
  }

  void captionSurvivesTheLogInWindow() {
    users::UserList list;
    list.add(QStringLiteral("Ayşe"), QStringLiteral("a"));
    QVERIFY(list.save(store()).ok());
    m_menu->applyStartupRights(true, 1);
    const QString base = QStringLiteral("Derslik - Versiyon : 1.0.0.0");
    m_window->setWindowTitle(base);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    connect(m_menu, &shell::MainMenuController::userChanged, m_window.get(),
            [this](const QString& name) {
              m_window->setWindowTitle(
                  shell::MainMenuController::captionWithUser(m_window->windowTitle(), name));
            });
    QWidget* login = m_menu->cmdMenu_Click(9);
    QCOMPARE(m_window->windowTitle(), base);
    login->findChild<QLineEdit*>(QStringLiteral("txtKullaniciAdi"))
        ->setText(QStringLiteral("ayşe"));
    login->findChild<QLineEdit*>(QStringLiteral("txtSifre"))->setText(QStringLiteral("a"));
    login->findChild<QPushButton*>(QStringLiteral("cmdKaydet"))->click();
    flushDeletes();
    const QString withUser = base + QStringLiteral(" - Kullanıcı:[Ayşe]");
    QCOMPARE(m_window->windowTitle(), withUser);
    QWidget* lesson = m_menu->cmdMenu_Click(7);
    lesson->setWindowTitle(QStringLiteral("Ders"));  // a screen renaming itself
    QCOMPARE(m_window->windowTitle(), withUser);
    m_menu->OturumAc_Click();
    QCOMPARE(m_window->windowTitle(), base);
  }

  void captionCarriesTheUser() {
    const QString base = QStringLiteral("Derslik - Versiyon : 1.0.0.0");
    const QString with = shell::MainMenuController::captionWithUser(base, QStringLiteral("Ayşe"));
    QCOMPARE(with, base + QStringLiteral(" - Kullanıcı:[Ayşe]"));
    QCOMPARE(shell::MainMenuController::captionWithUser(with, QStringLiteral("Ali")),
             base + QStringLiteral(" - Kullanıcı:[Ali]"));
    QCOMPARE(shell::MainMenuController::captionWithUser(with, QString()), base);
  }

  void screenshot() {
    PICTURES_ONLY();
    m_menu->applyStartupRights(false, 0);
    m_menu->DugmeleriDuzenle();
    m_window->setWindowTitle(QStringLiteral("Derslik"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_menu->cmdMenu_Click(2);
    QTest::qWait(50);
    QVERIFY(saveScreenshot(m_window.get(), QStringLiteral("users_bar.png")));
    m_menu->KolayMenuYaz();
    QTest::qWait(50);
    QVERIFY(saveScreenshot(m_window.get(), QStringLiteral("users_bar_kolay.png")));
    m_menu->TamMenuYaz();
    m_menu->applyStartupRights(true, 0);
    m_menu->setRights(users::RightFlags::all(true));
    for (int i : {10, 11, 12}) {
      const QString name = m_menu->registry().entry(i).windowName;
      m_menu->registry().registerScreen(i, [name](QWidget*) { return makeScreen(name); });
    }
    m_menu->cmdMenu_Click(4);
    QTest::qWait(50);
    QVERIFY(saveScreenshot(m_window.get(), QStringLiteral("users_bar_full.png")));
  }

 private:
  store::Store& store() { return m_dir->store(); }
  ScreenContext context() { return {m_dir->store(), m_dir->messages(), m_dir->session(), {}}; }
  QString lastShown() {
    const auto& shown = m_dir->messages().shown();
    return shown.isEmpty() ? QString() : shown.last().title + QLatin1Char('|') + shown.last().text;
  }

  std::unique_ptr<TempDataFolder> m_dir;
  std::unique_ptr<QMainWindow> m_window;
  QMdiArea* m_mdi = nullptr;
  shell::MainMenuController* m_menu = nullptr;
  QPointer<QWidget> m_home;
};

QTEST_MAIN(TestMainMenu)
#include "tst_mainmenu.moc"
