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

#include "TempDataFolder.h"

#include <memory>

#include "MessageBoxAnswerer.h"
#include "screens/users/frmGelismisMod.h"
#include "screens/users/frmOturumAc.h"
#include "shell/MainMenuController.h"
#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Parameters.h"
#include "store/Schema.h"
#include "store/Sql.h"
#include "users/PasswordHash.h"
#include "users/Session.h"
#include "users/UserList.h"

Q_DECLARE_METATYPE(users::Option)

namespace {

QStringList storedRows() {
  return store::column(QStringLiteral(
      "SELECT NZ(KULLANICIADI) || '|' || NZ(KULLANICISIFRESI) || '|' || NZ(SAYFAKODU) "
      "FROM TABLEKULLANICIBILGILERI ORDER BY rowid"));
}

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
 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir));
    QVERIFY(store::run(QStringLiteral("INSERT INTO TABLEOKUL (OKULADI) VALUES (' ')")).ok());
    users::UserList list;
    list.add(QStringLiteral("İSMAİL"), QStringLiteral("Doğru'1"), QStringLiteral("-105M-109M"));
    list.add(QStringLiteral("Ayşe"), QStringLiteral("a"));
    QVERIFY(list.save().ok());
  }
  void cleanup() { store::BaglantiKapat(); }

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
    frmOturumAc screen(&session);
    screen.show();
    QSignalSpy loggedIn(&screen, &frmOturumAc::oturumAcildi);
    MessageBoxAnswerer boxes;
    child<QLineEdit>(&screen, "txtKullaniciAdi")->setText(name);
    QLineEdit* pw = child<QLineEdit>(&screen, "txtSifre");
    pw->setText(password);
    QTest::keyClick(pw, Qt::Key_Return);
    QCOMPARE(boxes.seen().size(), 1);
    if (accepted) {
      QCOMPARE(boxes.last(), QStringLiteral("Bilgi|Oturumunuz açılmıştır"));
      QCOMPARE(loggedIn.count(), 1);
      QVERIFY(!screen.isVisible());
      QVERIFY(!session.flags().allows(QStringLiteral("frmSoruHazirlama")));
      QVERIFY(session.flags().allows(QStringLiteral("frmTestHazirlama")));
    } else {
      QCOMPARE(boxes.last(), QStringLiteral("Uyarı|Kullanıcı Adı veya Şifre yanlış"));
      QCOMPARE(loggedIn.count(), 0);
      QVERIFY(screen.isVisible());  // the window stays open
      QVERIFY(pw->text().isEmpty());
      QCOMPARE(session.flags(), users::RightFlags::all(false));
    }
  }

  void logOutFromTheLogInScreen() {
    users::Session session;
    QVERIFY(session.logIn(QStringLiteral("ayşe"), QStringLiteral("a")).ok());
    frmOturumAc screen(&session);
    screen.show();
    QVERIFY(child<QPushButton>(&screen, "cmdOturumKapat")->isVisible());
    QVERIFY(!child<QLineEdit>(&screen, "txtKullaniciAdi")->isVisible());
    MessageBoxAnswerer boxes;
    child<QPushButton>(&screen, "cmdOturumKapat")->click();
    QCOMPARE(boxes.last(), QStringLiteral("Bilgi|Oturumunuz Kapatılmıştır"));
    QVERIFY(!session.loggedIn());
    QCOMPARE(session.flags(), users::RightFlags::all(false));
    QVERIFY(child<QLineEdit>(&screen, "txtKullaniciAdi")->isVisible());
  }

  void optionsAreWrittenAtEachClick_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("option");
    QTest::newRow("advanced") << "chkGelismisMod"
                              << "GELISMISMOD" << int(users::Option::GelismisMod);
    QTest::newRow("kindergarten") << "chkAnaokulu"
                                  << "ANAOKULU" << int(users::Option::Anaokulu);
    QTest::newRow("three buttons") << "Chk3Dugme"
                                   << "UCDUGME" << int(users::Option::UcDugme);
    QTest::newRow("shortcut") << "chkOtomatikKisayol"
                              << "OTOMATIKKISAYOL" << int(users::Option::OtomatikKisayol);
  }
  void optionsAreWrittenAtEachClick() {
    QFETCH(QString, box);
    QFETCH(QString, column);
    QFETCH(int, option);
    frmGelismisMod screen;
    QSignalSpy changed(&screen, &frmGelismisMod::secenekDegisti);
    auto* chk = screen.findChild<QCheckBox*>(box);
    QVERIFY(chk);
    QVERIFY(!chk->isChecked());
    const QString read = QStringLiteral("SELECT %1 FROM TABLEOKUL").arg(column);
    chk->click();
    QCOMPARE(store::scalar(read).toString(), QStringLiteral("1"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(int(changed.last().at(0).value<users::Option>()), option);
    QCOMPARE(changed.last().at(1).toBool(), true);
    chk->click();
    QCOMPARE(store::scalar(read).toString(), QStringLiteral("0"));
    QCOMPARE(changed.last().at(1).toBool(), false);
    frmGelismisMod reopened;
    QVERIFY(!reopened.findChild<QCheckBox*>(box)->isChecked());
  }

  void selectingAUserTicksTheTree() {
    frmGelismisMod screen;
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
    MessageBoxAnswerer boxes;
    QVERIFY(screen.cmdKaydet_Click());
    QCOMPARE(store::scalar(
                 QStringLiteral(
                     "SELECT SAYFAKODU FROM TABLEKULLANICIBILGILERI WHERE KULLANICIADI='Ayşe'"))
                 .toString(),
             QStringLiteral("-120M"));
    // İSMAİL's denied codes were not touched by editing Ayşe's.
    QCOMPARE(store::scalar(
                 QStringLiteral(
                     "SELECT SAYFAKODU FROM TABLEKULLANICIBILGILERI WHERE KULLANICIADI='İSMAİL'"))
                 .toString(),
             QStringLiteral("-105M-109M"));
  }

  // Only the rights of screens that exist are offered, by name; the codes are
  // in the tooltips, and codes not offered keep their stored state.
  void rightsOfBuiltScreensOnly() {
    frmGelismisMod screen({QStringLiteral("frmTanimlamalar"), QStringLiteral("frmKumandaTanimlama"),
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
    MessageBoxAnswerer boxes;
    QVERIFY(screen.cmdKaydet_Click());
    QCOMPARE(store::scalar(
                 QStringLiteral(
                     "SELECT SAYFAKODU FROM TABLEKULLANICIBILGILERI WHERE KULLANICIADI='İSMAİL'"))
                 .toString(),
             QStringLiteral("-104M-105M-109M"));
  }

  void newUserIsSavedWithAHash() {
    frmGelismisMod screen;
    screen.show();
    MessageBoxAnswerer boxes;
    child<QPushButton>(&screen, "cmdYeniKayit")->click();
    QCOMPARE(screen.userList().at(2).name, QStringLiteral("yeni"));
    QCOMPARE(screen.selectedRow(), 2);
    typeInto(child<QLineEdit>(&screen, "txtKullaniciAdi"), QStringLiteral("Türkiye'nin"));
    typeInto(child<QLineEdit>(&screen, "txtSifre"), QStringLiteral("çok gizli"));
    child<QPushButton>(&screen, "cmdKaydet")->click();
    QCOMPARE(boxes.last(), QStringLiteral("Bilgi|Kullanıcı bilgileri kaydedildi."));
    const QStringList rows = storedRows();
    QCOMPARE(rows.size(), 3);
    QVERIFY(rows.at(2).startsWith(QStringLiteral("Türkiye'nin|$argon2id$")));
    QVERIFY(!rows.join(QString()).contains(QStringLiteral("çok gizli")));
    QVERIFY(users::authenticate(QStringLiteral("TÜRKİYE'NİN"), QStringLiteral("çok gizli")).ok());
    QVERIFY(users::authenticate(QStringLiteral("ismail"), QStringLiteral("Doğru'1")).ok());
  }

  void duplicateNameIsRefused() {
    frmGelismisMod screen;
    screen.show();
    const QStringList before = storedRows();
    MessageBoxAnswerer boxes;
    child<QPushButton>(&screen, "cmdYeniKayit")->click();
    QLineEdit* name = child<QLineEdit>(&screen, "txtKullaniciAdi");
    typeInto(name, QStringLiteral("AYŞE"));
    QVERIFY(!screen.cmdKaydet_Click());
    QCOMPARE(boxes.last(), QStringLiteral("Uyarı|Bu kullanıcı adı daha önce kullanılmış\nlütfen "
                                          "farklı bir kullanıcı adı seçiniz"));
    QCOMPARE(storedRows(), before);
    QVERIFY(screen.hasUnsavedChanges());
  }

  void deleteAsksAndKeepsTheLastUser() {
    frmGelismisMod screen;
    screen.show();
    MessageBoxAnswerer boxes(QMessageBox::No);
    screen.selectRow(0);
    screen.cmdSil_Click();
    QCOMPARE(
        boxes.last(),
        QStringLiteral("KULLANICI SİLME|İSMAİL kullanıcısını silmek istediğinize emin misiniz"));
    QCOMPARE(screen.userList().count(), 2);
    boxes.setAnswer(QMessageBox::Yes);
    screen.cmdSil_Click();
    QCOMPARE(screen.userList().count(), 1);
    QCOMPARE(screen.userList().at(0).name, QStringLiteral("Ayşe"));
    screen.cmdSil_Click();
    QCOMPARE(boxes.last(), QStringLiteral("Uyarı|En az bir kullanıcı olmalıdır"));
    QCOMPARE(screen.userList().count(), 1);
    screen.selectRow(-1);
    screen.cmdSil_Click();
    QCOMPARE(boxes.last(),
             QStringLiteral("UYARI|Lütfen en soldaki listeden değişiklik yapmak istediğiniz "
                            "kullanıcıyı seçiniz"));
    // Nothing is stored until "Kaydet"; closing asks, and "Evet" stores the list.
    QCOMPARE(storedRows().size(), 2);
    QVERIFY(screen.close());
    QCOMPARE(storedRows().size(), 1);
  }

  void screenshots() {
    const QString folder = qEnvironmentVariable("DERSLIK_SHOTS");
    if (folder.isEmpty()) QSKIP("DERSLIK_SHOTS not set");
    QDir().mkpath(folder);
    QMainWindow window;
    auto* mdi = new QMdiArea(&window);
    window.setCentralWidget(mdi);
    auto* menu = new shell::MainMenuController(&window, mdi, window.menuBar());
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
    QVERIFY(window.grab().save(folder + QStringLiteral("/users_oturumac.png")));
    menu->setRights(users::RightFlags::all(true));
    auto* page = qobject_cast<frmGelismisMod*>(menu->cmdMenu_Click(8));
    QVERIFY(page);
    page->selectRow(0);
    QTest::qWait(50);
    QVERIFY(window.grab().save(folder + QStringLiteral("/users_gelismismod.png")));
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_MAIN(TestUsersScreens)
#include "tst_users_screens.moc"
