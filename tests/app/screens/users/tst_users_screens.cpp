#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

#include "Screenshot.h"
#include "TempDataFolder.h"
#include "screens/users/UserScreens.h"
#include "screens/users/frmGelismisMod.h"
#include "screens/users/frmOturumAc.h"
#include "shell/MainMenuController.h"
#include "store/Institution.h"
#include "store/Store.h"
#include "users/PasswordHash.h"
#include "users/Session.h"
#include "users/UserList.h"

namespace {

QTreeWidgetItem* rightNode(QTreeWidget* tree, const QString& code) {
  for (int g = 0; g < tree->topLevelItemCount(); ++g)
    for (int c = 0; c < tree->topLevelItem(g)->childCount(); ++c)
      if (tree->topLevelItem(g)->child(c)->toolTip(0).endsWith(code))
        return tree->topLevelItem(g)->child(c);
  return nullptr;
}

// Types like a user (textEdited is emitted), Turkish letters included.
void typeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  edit->insert(text);
}

template <typename T>
T* child(QWidget* w, const char* name) {
  T* found = w->findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("missing %s", name);
  return found;
}

}  // namespace

class TestUsersScreens : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;

  store::Store& store() { return m_dir->store(); }
  RecordedMessages& messages() { return m_dir->messages(); }
  ScreenContext context() { return {store(), messages(), m_dir->session(), {}}; }
  QString lastShown() {
    const auto& shown = messages().shown();
    return shown.isEmpty() ? QString() : shown.last().title + QLatin1Char('|') + shown.last().text;
  }
  QString text(const QString& sql) { return store().scalar(sql).valueOr({}).toString(); }
  QStringList storedRows() {
    return store()
        .column(QStringLiteral(
            "SELECT NZ(KULLANICIADI) || '|' || NZ(KULLANICISIFRESI) || '|' || NZ(SAYFAKODU) "
            "FROM TABLEKULLANICIBILGILERI ORDER BY rowid"))
        .valueOr({});
  }

 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir));
    QVERIFY(store::ensureInstitutionRow(store()).ok());
    QVERIFY(store().reloadInstitution().ok());
    users::UserList list;
    list.add(QStringLiteral("İSMAİL"), QStringLiteral("Doğru'1"), QStringLiteral("-105M-109M"));
    list.add(QStringLiteral("Ayşe"), QStringLiteral("a"));
    QVERIFY(list.save(store()).ok());
  }
  void cleanup() { m_dir.reset(); }

  void logInScreen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("right") << "ismail"
                           << "Doğru'1" << true;
    QTest::newRow("wrong password") << "ismail"
                                    << "doğru'1" << false;
    QTest::newRow("wrong name") << "ISMAIL"
                                << "Doğru'1" << false;
  }
  void logInScreen() {
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    users::Session session;
    session.setFlags(users::initialRights(true, 2));
    frmOturumAc screen(context(), &session);
    screen.show();
    QSignalSpy loggedIn(&screen, &frmOturumAc::oturumAcildi);
    child<QLineEdit>(&screen, "txtKullaniciAdi")->setText(name);
    QLineEdit* pw = child<QLineEdit>(&screen, "txtSifre");
    pw->setText(password);
    QTest::keyClick(pw, Qt::Key_Return);
    QCOMPARE(messages().shown().size(), 1);
    if (accepted) {
      QCOMPARE(lastShown(), QStringLiteral("Bilgi|Oturumunuz açılmıştır"));
      QCOMPARE(loggedIn.count(), 1);
      QVERIFY(!screen.isVisible());
      QVERIFY(!session.flags().allows(QStringLiteral("frmSoruHazirlama")));
      QVERIFY(session.flags().allows(QStringLiteral("frmTestHazirlama")));
    } else {
      QCOMPARE(lastShown(), QStringLiteral("Uyarı|Kullanıcı Adı veya Şifre yanlış"));
      QCOMPARE(loggedIn.count(), 0);
      QVERIFY(screen.isVisible());  // the window stays open
      QVERIFY(pw->text().isEmpty());
      QCOMPARE(session.flags(), users::RightFlags::all(false));
    }
  }

  void logOutFromTheLogInScreen() {
    users::Session session;
    QVERIFY(session.logIn(store(), QStringLiteral("ayşe"), QStringLiteral("a")).ok());
    frmOturumAc screen(context(), &session);
    screen.show();
    QVERIFY(child<QPushButton>(&screen, "cmdOturumKapat")->isVisible());
    QVERIFY(!child<QLineEdit>(&screen, "txtKullaniciAdi")->isVisible());
    child<QPushButton>(&screen, "cmdOturumKapat")->click();
    QCOMPARE(lastShown(), QStringLiteral("Bilgi|Oturumunuz Kapatılmıştır"));
    QVERIFY(!session.loggedIn());
    QCOMPARE(session.flags(), users::RightFlags::all(false));
    QVERIFY(child<QLineEdit>(&screen, "txtKullaniciAdi")->isVisible());
  }

  void optionsAreWrittenAtEachClick_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("option");
    QTest::newRow("advanced") << "chkGelismisMod"
                              << "GELISMISMOD" << int(store::Institution::Option::AdvancedMode);
    QTest::newRow("kindergarten") << "chkAnaokulu"
                                  << "ANAOKULU" << int(store::Institution::Option::Kindergarten);
    QTest::newRow("three buttons") << "Chk3Dugme"
                                   << "UCDUGME" << int(store::Institution::Option::ThreeButton);
    QTest::newRow("shortcut") << "chkOtomatikKisayol"
                              << "OTOMATIKKISAYOL"
                              << int(store::Institution::Option::DesktopShortcut);
  }
  void optionsAreWrittenAtEachClick() {
    QFETCH(QString, box);
    QFETCH(QString, column);
    QFETCH(int, option);
    const auto which = store::Institution::Option(option);
    QCOMPARE(store::Institution::column(which), column);
    frmGelismisMod screen(context());
    QSignalSpy changed(&store(), &store::Store::institutionChanged);
    auto* chk = screen.findChild<QCheckBox*>(box);
    QVERIFY(chk);
    QVERIFY(!chk->isChecked());
    const QString read = QStringLiteral("SELECT %1 FROM TABLEOKUL").arg(column);
    chk->click();
    QCOMPARE(text(read), QStringLiteral("1"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(store().institution().option(which));  // every reader sees it at once
    chk->click();
    QCOMPARE(text(read), QStringLiteral("0"));
    QCOMPARE(changed.count(), 2);
    QVERIFY(!store().institution().option(which));
    frmGelismisMod reopened(context());
    QVERIFY(!reopened.findChild<QCheckBox*>(box)->isChecked());
  }

  void selectingAUserTicksTheTree() {
    frmGelismisMod screen(context());
    auto* list = child<QTreeWidget>(&screen, "lvKullanicilar");
    auto* tree = child<QTreeWidget>(&screen, "TVIzinler");
    QCOMPARE(list->topLevelItemCount(), 2);
    int nodes = 0;
    for (int g = 0; g < tree->topLevelItemCount(); ++g)
      nodes += tree->topLevelItem(g)->childCount();
    QCOMPARE(nodes, 21);
    QCOMPARE(rightNode(tree, QStringLiteral("105M"))->text(0), QStringLiteral("Soru Hazırlama"));
    screen.selectRow(0);
    QCOMPARE(rightNode(tree, QStringLiteral("105M"))->checkState(0), Qt::Unchecked);
    QCOMPARE(rightNode(tree, QStringLiteral("109M"))->checkState(0), Qt::Unchecked);
    QCOMPARE(rightNode(tree, QStringLiteral("100M"))->checkState(0), Qt::Checked);
    screen.selectRow(1);
    QCOMPARE(rightNode(tree, QStringLiteral("105M"))->checkState(0), Qt::Checked);
    // Unticking a right of Ayşe, then saving, stores her denied codes.
    rightNode(tree, QStringLiteral("120M"))->setCheckState(0, Qt::Unchecked);
    QVERIFY(screen.hasUnsavedChanges());
    QVERIFY(screen.cmdKaydet_Click());
    QCOMPARE(text(QStringLiteral(
                 "SELECT SAYFAKODU FROM TABLEKULLANICIBILGILERI WHERE KULLANICIADI='Ayşe'")),
             QStringLiteral("-120M"));
    // İSMAİL's denied codes were not touched by editing Ayşe's.
    QCOMPARE(text(QStringLiteral(
                 "SELECT SAYFAKODU FROM TABLEKULLANICIBILGILERI WHERE KULLANICIADI='İSMAİL'")),
             QStringLiteral("-105M-109M"));
  }

  // Only the rights of screens that exist are offered, by name; the codes are
  // in the tooltips, and codes not offered keep their stored state.
  void rightsOfBuiltScreensOnly() {
    frmGelismisMod screen(context(),
                          {QStringLiteral("frmTanimlamalar"), QStringLiteral("frmKumandaTanimlama"),
                           QStringLiteral("frmGelismisMod")});
    auto* tree = child<QTreeWidget>(&screen, "TVIzinler");
    QCOMPARE(tree->columnCount(), 1);
    QStringList listed;
    for (int g = 0; g < tree->topLevelItemCount(); ++g)
      for (int c = 0; c < tree->topLevelItem(g)->childCount(); ++c)
        listed << tree->topLevelItem(g)->child(c)->text(0);
    QCOMPARE(listed,
             (QStringList{QStringLiteral("Tanımlamalar"), QStringLiteral("Kumanda Tanımlama"),
                          QStringLiteral("Gelişmiş Mod Sayfasına Giriş")}));
    QCOMPARE(rightNode(tree, QStringLiteral("104M"))->toolTip(0),
             QStringLiteral("İzin kodu: 104M"));
    QVERIFY(!rightNode(tree, QStringLiteral("105M")));
    screen.selectRow(0);  // İSMAİL: -105M-109M, both of screens not built
    auto* list = child<QTreeWidget>(&screen, "lvKullanicilar");
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("—"));
    rightNode(tree, QStringLiteral("104M"))->setCheckState(0, Qt::Unchecked);
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("Kumanda Tanımlama"));
    QVERIFY(screen.cmdKaydet_Click());
    QCOMPARE(text(QStringLiteral(
                 "SELECT SAYFAKODU FROM TABLEKULLANICIBILGILERI WHERE KULLANICIADI='İSMAİL'")),
             QStringLiteral("-104M-105M-109M"));
  }

  void newUserIsSavedWithAHash() {
    frmGelismisMod screen(context());
    screen.show();
    child<QPushButton>(&screen, "cmdYeniKayit")->click();
    QCOMPARE(screen.userList().at(2).name, QStringLiteral("yeni"));
    QCOMPARE(screen.selectedRow(), 2);
    typeInto(child<QLineEdit>(&screen, "txtKullaniciAdi"), QStringLiteral("Türkiye'nin"));
    typeInto(child<QLineEdit>(&screen, "txtSifre"), QStringLiteral("çok gizli"));
    child<QPushButton>(&screen, "cmdKaydet")->click();
    QCOMPARE(lastShown(), QStringLiteral("Bilgi|Kullanıcı bilgileri kaydedildi."));
    const QStringList rows = storedRows();
    QCOMPARE(rows.size(), 3);
    QVERIFY(rows.at(2).startsWith(QStringLiteral("Türkiye'nin|$argon2id$")));
    QVERIFY(!rows.join(QString()).contains(QStringLiteral("çok gizli")));
    QVERIFY(users::authenticate(store(), QStringLiteral("TÜRKİYE'NİN"), QStringLiteral("çok gizli"))
                .ok());
    QVERIFY(users::authenticate(store(), QStringLiteral("ismail"), QStringLiteral("Doğru'1")).ok());
  }

  void duplicateNameIsRefused() {
    frmGelismisMod screen(context());
    screen.show();
    const QStringList before = storedRows();
    child<QPushButton>(&screen, "cmdYeniKayit")->click();
    QLineEdit* name = child<QLineEdit>(&screen, "txtKullaniciAdi");
    typeInto(name, QStringLiteral("AYŞE"));
    QVERIFY(!screen.cmdKaydet_Click());
    QCOMPARE(lastShown(), QStringLiteral("Uyarı|Bu kullanıcı adı daha önce kullanılmış\nlütfen "
                                         "farklı bir kullanıcı adı seçiniz"));
    QCOMPARE(storedRows(), before);
    QVERIFY(screen.hasUnsavedChanges());
  }

  void deleteAsksAndKeepsTheLastUser() {
    frmGelismisMod screen(context());
    screen.show();
    messages().setNextAnswer(Messages::Answer::No);
    screen.selectRow(0);
    screen.cmdSil_Click();
    QCOMPARE(
        lastShown(),
        QStringLiteral("KULLANICI SİLME|İSMAİL kullanıcısını silmek istediğinize emin misiniz"));
    QCOMPARE(screen.userList().count(), 2);
    messages().setDefaultAnswer(Messages::Answer::Yes);
    screen.cmdSil_Click();
    QCOMPARE(screen.userList().count(), 1);
    QCOMPARE(screen.userList().at(0).name, QStringLiteral("Ayşe"));
    screen.cmdSil_Click();
    QCOMPARE(lastShown(), QStringLiteral("Uyarı|En az bir kullanıcı olmalıdır"));
    QCOMPARE(screen.userList().count(), 1);
    screen.selectRow(-1);
    screen.cmdSil_Click();
    QCOMPARE(lastShown(),
             QStringLiteral("UYARI|Lütfen en soldaki listeden değişiklik yapmak istediğiniz "
                            "kullanıcıyı seçiniz"));
    // Nothing is stored until "Kaydet"; closing asks, and "Evet" stores the list.
    QCOMPARE(storedRows().size(), 2);
    QVERIFY(screen.close());
    QCOMPARE(storedRows().size(), 1);
  }

  void screenshots() {
    PICTURES_ONLY();
    QMainWindow window;
    auto* mdi = new QMdiArea(&window);
    window.setCentralWidget(mdi);
    auto* menu = new shell::MainMenuController(&window, mdi, window.menuBar(), context());
    usersui::registerUserScreens(menu->registry(), context(), *menu->session());
    auto* dock = new QDockWidget(&window);
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(menu->buttonBar());
    window.addDockWidget(Qt::LeftDockWidgetArea, dock);
    window.setWindowTitle(QStringLiteral("Derslik"));
    window.resize(1280, 800);
    menu->applyStartupRights(true, 2);
    menu->DugmeleriDuzenle();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    menu->cmdMenu_Click(9);
    QTest::qWait(50);
    QVERIFY(saveScreenshot(&window, QStringLiteral("users_oturumac.png")));
    menu->setRights(users::RightFlags::all(true));
    auto* page = qobject_cast<frmGelismisMod*>(menu->cmdMenu_Click(8));
    QVERIFY(page);
    page->selectRow(0);
    QTest::qWait(50);
    QVERIFY(saveScreenshot(&window, QStringLiteral("users_gelismismod.png")));
  }
};

QTEST_MAIN(TestUsersScreens)
#include "tst_users_screens.moc"
