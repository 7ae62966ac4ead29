// The main window's start-up and shutdown.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "Screenshot.h"
#include "TempDataFolder.h"
#include "TestSchool.h"
#include "Version.h"
#include "formats/XlsxWriter.h"
#include "framework/FileDialogs.h"
#include "framework/ReceiverController.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "framework/frmMesaj.h"
#include "framework/frmSanalKumanda.h"
#include "screens/school/frmDisVeriAl.h"
#include "screens/school/frmKumandaTanimlama.h"
#include "screens/school/frmTanimlamalar.h"
#include "screens/start/frmGenelEkran.h"
#include "screens/start/frmKurumBilgileri.h"
#include "screens/start/frmSozlesme.h"
#include "shell/Application.h"
#include "shell/ButtonBar.h"
#include "shell/MDIForm1.h"
#include "shell/MainMenuController.h"
#include "store/Database.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "users/Session.h"
#include "users/UserList.h"

class TestStartup : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;

  store::Store& store() { return m_dir->store(); }
  MDIForm1::Options options() {
    MDIForm1::Options o;
    o.messages = &m_dir->messages();
    return o;
  }
  int count(const QString& sql) { return store().scalar(sql).valueOr(-1).toInt(); }
  // An installed program: terms accepted, the institution named; the store closed
  // again, as it is before a start.
  void prepareInstalled() {
    QVERIFY(store().open().ok());
    QVERIFY(store::acceptAgreement(store(), QStringLiteral("1.0.0.0")).ok());
    QVERIFY(store::saveInstitution(store(), QStringLiteral("123456"),
                                   QStringLiteral("Atatürk Ortaokulu"))
                .ok());
  }
  static void rejectDialogs(MDIForm1& w) {
    w.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
  }

 private slots:
  void init() { QVERIFY(TempDataFolder::renew(m_dir, false)); }
  void cleanup() { m_dir.reset(); }

  void firstStartShowsTermsThenInstitution() {
    MDIForm1 w(store(), options());
    QStringList opened;
    w.setModalRunner([&](QDialog& d) {
      opened << d.objectName();
      if (d.objectName() == QStringLiteral("frmSozlesme")) {
        (void)store::acceptAgreement(store(), QStringLiteral("1.0.0.0"));
        return int(QDialog::Accepted);
      }
      return int(QDialog::Rejected);
    });
    QVERIFY(w.MDIForm1_Load());
    QCOMPARE(opened,
             (QStringList{QStringLiteral("frmSozlesme"), QStringLiteral("frmKurumBilgileri")}));
    // The empty institution table got its one row with a blank name.
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL")), 1);
    QCOMPARE(store().scalar(QStringLiteral("SELECT OKULADI FROM TABLEOKUL"))->toString(),
             QStringLiteral(" "));
    // The caption once, without the home page's title appended to it.
    // A school without a name yet is told apart by its data folder.
    QCOMPARE(w.windowTitle(), QDir::toNativeSeparators(store().root()) +
                                  QStringLiteral(" - Derslik - Versiyon : ") +
                                  QString::fromLatin1(derslik::kVersionText));
    QCOMPARE(w.threeButtonSetting(), QStringLiteral("0"));
    QVERIFY(w.homeScreen());
    QCOMPARE(w.homeScreen()->objectName(), QStringLiteral("frmGenelEkran"));
  }

  // The institution form says at once that the code takes digits only, and
  // refuses anything else; the name offered is this folder's school's, never the
  // one another data folder left in the user's settings.
  void theInstitutionFormSaysWhatTheCodeTakes() {
    QVERIFY(store().open().ok());
    store::UserSettings::set(QStringLiteral("KurumBilgileri"), QStringLiteral("OkulAdi"),
                             QStringLiteral("Başka Bir Okul"));
    RecordedMessages& messages = m_dir->messages();
    frmKurumBilgileri form({store(), messages, m_dir->session(), {}});
    form.show();
    auto* code = form.findChild<QLineEdit*>(QStringLiteral("txtKurumKodu"));
    auto* name = form.findChild<QLineEdit*>(QStringLiteral("txtKurumAdi"));
    auto* warning = form.findChild<QLabel*>(QStringLiteral("lblKurumKoduUyari"));
    QCOMPARE(name->text(), QString());
    QVERIFY(!warning->isVisible());
    QTest::keyClicks(code, QStringLiteral("7452a1"));
    QCOMPARE(code->text(), QStringLiteral("7452a1"));  // nothing dropped silently
    QVERIFY(warning->isVisible());
    QCOMPARE(warning->text(), QStringLiteral("Kurum kodu yalnızca rakamlardan oluşur"));
    name->setText(QStringLiteral("Yeni Okul"));
    form.findChild<QPushButton*>(QStringLiteral("cmdKaydet"))->click();
    QCOMPARE(messages.lastText(), QStringLiteral("Kurum kodu yalnızca rakamlardan oluşur"));
    QVERIFY(store().institution().code.trimmed().isEmpty());
    code->setText(QStringLiteral("745231"));
    QVERIFY(!warning->isVisible());
    form.findChild<QPushButton*>(QStringLiteral("cmdKaydet"))->click();
    QCOMPARE(store().institution().code, QStringLiteral("745231"));
    QCOMPARE(store().institution().name, QStringLiteral("Yeni Okul"));
  }

  void refusedTermsEndTheProgram() {
    MDIForm1 w(store(), options());
    rejectDialogs(w);
    QVERIFY(!w.MDIForm1_Load());
    QCOMPARE(m_dir->messages().takeTexts(), QStringList{frmSozlesme::refusedMessage()});
  }

  // Ctrl+Q while a screen holds unsaved changes asks; "İptal" keeps everything
  // open and the database usable, "Hayır" quits without saving.
  void quitAsksWhileAScreenHasUnsavedChanges() {
    prepareInstalled();
    store().close();
    MDIForm1 w(store(), options());
    rejectDialogs(w);
    QVERIFY(w.MDIForm1_Load());
    auto* students = qobject_cast<frmTanimlamalar*>(w.mainMenu()->cmdMenu_Click(0));
    QVERIFY(students);
    students->yeniKayit();
    students->txtAdi()->setText(QStringLiteral("Yarım"));
    QAction* quit = w.findChild<QAction*>(QStringLiteral("mnuCikis"));
    QCOMPARE(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    RecordedMessages& messages = m_dir->messages();
    messages.takeTexts();
    messages.setNextAnswer(Messages::Answer::Cancel);
    quit->trigger();
    QCOMPARE(messages.takeTexts().size(), 1);
    QVERIFY(!w.closing());
    QVERIFY(store().isOpen());
    QVERIFY(w.mainMenu()->currentScreen());
    messages.setNextAnswer(Messages::Answer::No);
    quit->trigger();
    QVERIFY(w.closing());
    QVERIFY(!store().isOpen());
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), -1);  // closed
  }

  // A second click on "Sanal Kumanda" brings the open window forward.
  void virtualRemoteOpensOnce() {
    prepareInstalled();
    store().close();
    MDIForm1 w(store(), options());
    rejectDialogs(w);
    QVERIFY(w.MDIForm1_Load());
    QAction* item = w.findChild<QAction*>(QStringLiteral("mnuSanalKumanda"));
    item->trigger();
    QPointer<frmSanalKumanda> first = w.virtualRemote();
    QVERIFY(first);
    item->trigger();
    QCOMPARE(w.virtualRemote(), first.data());
    QCOMPARE(w.findChildren<frmSanalKumanda*>().size(), 1);
    first->close();
    QTRY_VERIFY(!first);
    item->trigger();
    QVERIFY(w.virtualRemote());
  }

  void secondStartAsksNothingAndReadsOptions() {
    prepareInstalled();
    QVERIFY(store::setOption(store(), store::Institution::Option::ThreeButton, true).ok());
    QVERIFY(store::setOption(store(), store::Institution::Option::AdvancedMode, true).ok());
    store().close();
    store::UserSettings::setBool(QStringLiteral("Raporlar"), QStringLiteral("DogruYanlisCevap3"),
                                 true);
    MDIForm1 w(store(), options());
    QStringList opened;
    w.setModalRunner([&](QDialog& d) {
      opened << d.objectName();
      return int(QDialog::Rejected);
    });
    QVERIFY(w.MDIForm1_Load());
    QVERIFY(opened.isEmpty());
    QCOMPARE(w.threeButtonSetting(), QStringLiteral("1"));
    QVERIFY(w.advancedMode());
    QCOMPARE(w.receiverController()->pipeline().threeButtonSetting(), QStringLiteral("1"));
    QVERIFY(!store::UserSettings::getBool(QStringLiteral("Raporlar"),
                                          QStringLiteral("DogruYanlisCevap3"), true));
  }

  void demoFillsAnEmptySchoolOnce() {
    prepareInstalled();
    store().close();
    MDIForm1::Options o = options();
    o.demo = true;
    int students = 0;
    for (int run = 0; run < 2; ++run) {
      MDIForm1 w(store(), o);
      rejectDialogs(w);
      QVERIFY(w.MDIForm1_Load());
      const int now = count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI"));
      if (run == 0) students = now;
      QCOMPARE(now, students);  // the second start adds nobody
      QVERIFY(students >= 60);
      QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA WHERE "
                                    "OGRETMENKUMANDASI='1'")),
               1);
      w.close();
      QVERIFY(!store().isOpen());
    }
  }

  // The bar opens the remote screen; a press from the receiver reaches its
  // registration panel through the routing, and the panel drives the receiver.
  void remoteRegistrationThroughTheMainWindow() {
    prepareInstalled();
    store().close();
    MDIForm1 w(store(), options());
    rejectDialogs(w);
    QVERIFY(w.MDIForm1_Load());
    auto* screen = qobject_cast<frmKumandaTanimlama*>(w.mainMenu()->cmdMenu_Click(1));
    QVERIFY(screen);
    QCOMPARE(w.mdiArea()->activeSubWindow()->widget(), screen);
    QCOMPARE(w.receiverController()->router().activeConsumer(), &screen->registration());
    screen->yeniKayit();
    QVERIFY(screen->capturingNewRemotes());
    w.receiverController()->DugmeBasildi(QStringLiteral("12-250"), QStringLiteral("A"),
                                         QStringLiteral("1"));
    w.receiverController()->DugmeBasildi(QStringLiteral("12-251"), QStringLiteral("A"),
                                         QStringLiteral("1"));
    QCOMPARE(screen->registration().count(), 2);
    QVERIFY(screen->bitir().ok());
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 2);
  }

  // A school set up today and filled at once is in its school year already: the
  // next start offers no rollover. The question itself never defaults to "Evet",
  // and in the message window Enter answers "Hayır".
  void newSchoolIsNotRolledOverAndEnterAnswersNo() {
    {
      MDIForm1 w(store(), options());
      w.setModalRunner([this](QDialog& d) {
        if (d.objectName() == QStringLiteral("frmSozlesme")) {
          (void)store::acceptAgreement(store(), QStringLiteral("1.0.0.0"));
          return int(QDialog::Accepted);
        }
        d.findChild<QLineEdit*>(QStringLiteral("txtKurumKodu"))->setText(QStringLiteral("745231"));
        d.findChild<QLineEdit*>(QStringLiteral("txtKurumAdi"))
            ->setText(QStringLiteral("Yeni Okul"));
        d.findChild<QPushButton*>(QStringLiteral("cmdKaydet"))->click();
        return d.result();
      });
      QVERIFY(w.MDIForm1_Load());
      TestSchool(store()).student(QStringLiteral("Ali"), QStringLiteral("5-A"));
      w.close();
    }
    RecordedMessages& messages = m_dir->messages();
    messages.clear();
    MDIForm1 w(store(), options());
    // The first question says what moves to the backup and what stays, offers
    // to keep the bank (unticked), and answers "Hayır" to Enter.
    QString asked;
    QString keepChoice;
    bool keepTicked = true;
    bool enterSaysNo = false;
    w.setModalRunner([&](QDialog& d) {
      auto* box = qobject_cast<QMessageBox*>(&d);
      if (!box || d.objectName() != QStringLiteral("SinifAtlatmaSorusu"))
        return int(QDialog::Rejected);
      asked = box->text();
      keepChoice = box->checkBox() ? box->checkBox()->text() : QString();
      keepTicked = box->checkBox() && box->checkBox()->isChecked();
      enterSaysNo = box->defaultButton() == box->button(QMessageBox::No);
      return int(QMessageBox::No);
    });
    QVERIFY(w.MDIForm1_Load());
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(asked.isEmpty());  // a new school is not rolled over at start-up

    w.menuBar()->findChild<QAction*>(QStringLiteral("mnuSinifAtlatma"))->trigger();
    QVERIFY(
        asked.startsWith(QStringLiteral("Yeni eğitim öğretim yılı için program ayarlansın mı?")));
    QVERIFY(!asked.contains(QStringLiteral("internet")));
    for (const char* said : {"Bu tahtada kalanlar: öğrenciler",
                             "Yedeğe taşınanlar: bu yılın "
                             "bütün uygulamaları",
                             "soru bankası", "Geçmiş Yıllar"})
      QVERIFY2(asked.contains(QString::fromUtf8(said)), said);
    QCOMPARE(keepChoice, QStringLiteral("Soru bankası ve testler bu tahtada kalsın"));
    QVERIFY(!keepTicked);
    QVERIFY(enterSaysNo);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(store().scalar(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI"))->toString(),
             QStringLiteral("5-A"));
  }

  // "Çıkış" on a screen opened over another (a report over the report selection)
  // returns to the one under it, never to an empty grey frame; screens closed to
  // make room for a new one never cover it.
  void aClosedScreenGivesBackItsPlace() {
    QMainWindow window;
    auto* mdi = new QMdiArea(&window);
    window.setCentralWidget(mdi);
    window.resize(1024, 700);
    window.show();
    // A screen shown is shown inside its frame too: a frame shown over a hidden
    // screen keeps its first picture and never paints a change again.
    auto open = [mdi](const QString& name) {
      auto* w = new QWidget;
      w->setObjectName(name);
      QMdiSubWindow* sub = shell::MainMenuController::showInArea(mdi, w);
      QTest::qWait(20);
      return sub;
    };
    auto shown = [](QMdiSubWindow* sub) { return sub->isVisible() && sub->widget()->isVisible(); };
    QMdiSubWindow* home = open(QStringLiteral("ana"));
    home->setAttribute(Qt::WA_DeleteOnClose, false);
    home->setWindowFlags(Qt::FramelessWindowHint);
    home->showMaximized();
    QMdiSubWindow* selection = open(QStringLiteral("secim"));
    QVERIFY(shown(selection));
    QMdiSubWindow* report = open(QStringLiteral("rapor"));
    QVERIFY(shown(report));
    QCOMPARE(mdi->currentSubWindow(), report);
    QVERIFY(report->widget()->close());
    QTRY_COMPARE(mdi->subWindowList().size(), 2);
    QCOMPARE(mdi->currentSubWindow(), selection);
    QVERIFY(shown(selection) && selection->isMaximized());
    // The bar closes the open screens, then shows the next one: that one stays on top.
    selection->close();
    QMdiSubWindow* next = open(QStringLiteral("sonraki"));
    QTest::qWait(50);
    QCOMPARE(mdi->currentSubWindow(), next);
    QVERIFY(next->isMaximized() && shown(next));
    // From the home screen's tile, as the bar does it.
    next->close();
    QTRY_VERIFY(shown(home));
    QVERIFY(shown(open(QStringLiteral("sorular"))));
  }

  void shutdownClosesTheDatabase() {
    prepareInstalled();
    store().close();
    {
      MDIForm1 w(store(), options());
      rejectDialogs(w);
      QVERIFY(w.MDIForm1_Load());
      QVERIFY(store().isOpen());
      w.close();
      QVERIFY(w.closing());
      QVERIFY(!store().isOpen());
      QVERIFY(w.mdiArea()->subWindowList().isEmpty() ||
              !w.mdiArea()->subWindowList().first()->isVisible());
    }
    QCOMPARE(MDIForm1::instance(), nullptr);
  }

  // The teacher quits while the remote screen registers new remotes: the screen
  // closes first and writes what it heard, then the data closes; nothing the
  // screens do on their way out opens the database again.
  void shutdownWithAScreenOpenNeverReopens() {
    prepareInstalled();
    store().close();
    const QString file = store().mainFile();
    {
      MDIForm1 w(store(), options());
      rejectDialogs(w);
      QVERIFY(w.MDIForm1_Load());
      QPointer<frmKumandaTanimlama> screen =
          qobject_cast<frmKumandaTanimlama*>(w.mainMenu()->cmdMenu_Click(1));
      QVERIFY(screen);
      screen->yeniKayit();
      w.receiverController()->DugmeBasildi(QStringLiteral("7-70"), QStringLiteral("B"),
                                           QStringLiteral("1"));
      QCOMPARE(screen->kumandaListesi()->count(), 1);
      w.close();
      QVERIFY(!store().isOpen());
      // What the panel heard was written before the data closed.
      {
        Result<QSqlDatabase> db = store::openFile(QStringLiteral("check"), file);
        QVERIFY(db.ok());
        QCOMPARE(store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA WHERE "
                                              "KUMANDAADRESI='7-70'"),
                               {}, *db)
                     .valueOr(-1)
                     .toInt(),
                 1);
      }
      store::closeFile(QStringLiteral("check"));
      // The database is gone from under the program: were anything to open it
      // again while the windows are torn down, the file would come back.
      QVERIFY(QFile::remove(file));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!QFile::exists(file));
    QVERIFY(!store().isOpen());
    QVERIFY(!store().run(QStringLiteral("SELECT 1")).ok());
    QVERIFY(!QFile::exists(file));
  }
  // A first start on an empty data folder to a paired class, photographed screen
  // by screen with the real message windows (kept in the folder DERSLIK_SHOTS
  // names, for looking at; under Xvfb with QT_QPA_PLATFORM=xcb as well).
  void firstUseScreenshots() {
    auto shoot = [](const QString& name) {
      QTest::qWait(400);
      QVERIFY2(savePicture(QGuiApplication::primaryScreen()->grabWindow(0),
                           name + QStringLiteral(".png")),
               qPrintable(name));
    };
    // The next message window is shown for real, photographed, then closed.
    auto shootNextMessage = [&shoot](const QString& name) {
      QTimer::singleShot(300, [&shoot, name] {
        shoot(name);
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
      });
    };
    QStandardPaths::setTestModeEnabled(true);
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    shell::setUpApplication(*qApp);  // Qt's own texts in Turkish, as the program starts

    MDIForm1 w(store());  // the program's own message windows
    w.setModalRunner([&](QDialog& d) {
      d.show();
      if (d.objectName() == QStringLiteral("frmSozlesme")) {
        shoot(QStringLiteral("01_ilk_acilis_sozlesme"));
        d.findChild<QCheckBox*>(QStringLiteral("chkKabul"))->setChecked(true);
        d.findChild<QPushButton*>(QStringLiteral("cmdKabul"))->click();
      } else if (d.objectName() == QStringLiteral("frmKurumBilgileri")) {
        d.findChild<QLineEdit*>(QStringLiteral("txtKurumKodu"))->setText(QStringLiteral("765432"));
        d.findChild<QLineEdit*>(QStringLiteral("txtKurumAdi"))
            ->setText(QStringLiteral("Atatürk Ortaokulu"));
        shoot(QStringLiteral("02_ilk_acilis_kurum"));
        d.findChild<QPushButton*>(QStringLiteral("cmdKaydet"))->click();
      }
      return d.result();
    });
    QVERIFY(w.MDIForm1_Load());
    shoot(QStringLiteral("03_ilk_acilis_ana_sayfa"));

    // A class list in the national system's layout, imported through the menu.
    const QString list = m_dir->filePath(QStringLiteral("7-A listesi.xlsx"));
    {
      formats::XlsxWriter x(list);
      x.addSheet(QStringLiteral("Sayfa1"));
      const QStringList head{QStringLiteral("S.No"), QStringLiteral("Öğrenci No"),
                             QStringLiteral("Adı"), QStringLiteral("Soyadı"),
                             QStringLiteral("Sınıfı")};
      for (int c = 0; c < head.size(); ++c) x.write(0, c, head.at(c));
      const QStringList names{"Ayşe",  "Mehmet", "Zeynep", "Ali",   "Elif",  "Çağan",
                              "İrem",  "Oğuz",   "Şule",   "Ümit",  "Gül",   "Kerem",
                              "Derya", "Emre",   "Hülya",  "Burak", "Nehir", "Tolga"};
      for (int r = 0; r < names.size(); ++r) {
        x.write(r + 1, 0, QString::number(r + 1));
        x.write(r + 1, 1, QString::number(300 + r));
        x.write(r + 1, 2, names.at(r));
        x.write(r + 1, 3, QStringLiteral("Yıldız"));
        x.write(r + 1, 4, QStringLiteral("7-A"));
      }
      QVERIFY(x.close());
    }
    filedialogs::setRunner([&](QFileDialog& d) {
      d.show();
      d.setDirectory(m_dir->path());
      d.selectFile(list);
      shoot(QStringLiteral("04_dosya_penceresi"));
      return int(QDialog::Accepted);
    });
    w.findChild<QAction*>(QStringLiteral("mnuDisVeriAl"))->trigger();
    auto* import = qobject_cast<frmDisVeriAl*>(w.mdiArea()->activeSubWindow()->widget());
    QVERIFY(import);
    import->findChild<QPushButton*>(QStringLiteral("cmdGozat"))->click();
    filedialogs::setRunner({});
    import->eOkulListesi();
    import->seviyeListesi()->setCurrentIndex(
        import->seviyeListesi()->findText(QStringLiteral("7. SINIF")));
    framework::setFileOpener([](const QString&) { return false; });
    shootNextMessage(QStringLiteral("05_sonuc_dosyasi"));
    import->kaydet();
    framework::setFileOpener({});
    shoot(QStringLiteral("06_aktarim_sonucu"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='7-A'")), 18);

    // Remotes: registration without a receiver, then sixteen remotes for eighteen students.
    auto* remotes = qobject_cast<frmKumandaTanimlama*>(w.mainMenu()->cmdMenu_Click(1));
    QVERIFY(remotes);
    remotes->yeniKayit();
    shoot(QStringLiteral("07_kayit_alici_yok"));
    for (int i = 1; i <= 16; ++i)
      remotes->yeniKumandaYakalandi(QStringLiteral("12-%1").arg(i * 13));
    QVERIFY(remotes->bitir().ok());
    remotes->sinifSec(QStringLiteral("7-A"));
    remotes->kumandalar()->TumunuSec();
    shootNextMessage(QStringLiteral("08_eslestirme_ozeti"));
    remotes->otomatikEslestir();
    remotes->kumandasizlar()->setChecked(true);
    shoot(QStringLiteral("09_kumandasi_olmayanlar"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 16);

    // The advanced mode with a user: nobody logged in is refused with the reason.
    users::UserList users;
    users.add(QStringLiteral("Yönetici"), QStringLiteral("y"));
    users.add(QStringLiteral("Ayşe"), QStringLiteral("a"), QStringLiteral("-103M"));
    QVERIFY(users.save(store()).ok());
    // Turned on, the advanced mode asks for a log-in at once.
    shootNextMessage(QStringLiteral("10_gelismis_mod_acildi"));
    QVERIFY(store::setOption(store(), store::Institution::Option::AdvancedMode, true).ok());
    w.mainMenu()->applyStartupRights(true, 2);
    shootNextMessage(QStringLiteral("10_yetki_yok"));
    QTest::mouseClick(w.mainMenu()->buttonBar()->button(0), Qt::LeftButton);
    shoot(QStringLiteral("11_oturum_ac"));

    // A teacher without the classes right: that button and tile are disabled.
    QVERIFY(
        w.mainMenu()->session()->logIn(store(), QStringLiteral("ayşe"), QStringLiteral("a")).ok());
    QVERIFY(w.closeScreens());
    shoot(QStringLiteral("12_kisitli_kullanici"));
    QVERIFY(!w.mainMenu()->buttonBar()->button(0)->isEnabled());
    w.mainMenu()->session()->logOut();
    QVERIFY(w.mainMenu()
                ->session()
                ->logIn(store(), QStringLiteral("yönetici"), QStringLiteral("y"))
                .ok());
    w.mainMenu()->cmdMenu_Click(8);
    shoot(QStringLiteral("13_izin_listesi"));
    QVERIFY(w.closeScreens());
    QTimer::singleShot(300, [&shoot] {
      shoot(QStringLiteral("14_ana_menu"));
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    w.mainMenu()->mainMenu()->exec(w.mapToGlobal(QPoint(70, 20)));
    w.findChild<QAction*>(QStringLiteral("mnuSanalKumanda"))->trigger();
    shoot(QStringLiteral("15_sanal_kumanda"));
  }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
