// The main window's start-up and shutdown, and the saved control states of a screen.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "Version.h"
#include "formats/XlsxWriter.h"
#include "screens/activities/frmSanalKumanda.h"
#include "screens/school/SchoolScreens.h"
#include "screens/school/frmDisVeriAl.h"
#include "screens/school/frmKumandaTanimlama.h"
#include "screens/school/frmTanimlamalar.h"
#include "screens/start/frmGenelEkran.h"
#include "screens/start/frmSozlesme.h"
#include "shell/Application.h"
#include "shell/ButtonBar.h"
#include "shell/FormSettings.h"
#include "shell/MDIForm1.h"
#include "shell/MainMenuController.h"
#include "shell/ReceiverController.h"
#include "shell/frmMesaj.h"
#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "store/Schema.h"
#include "store/Sql.h"
#include "users/Session.h"
#include "users/UserList.h"
#include "widgets/FileDialogs.h"
#include "widgets/Sliste.h"

class TestStartup : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir, false));
    frmMesaj::setAutoAnswers({});
    frmMesaj::takeShownTexts();
  }
  void cleanup() {
    frmMesaj::setAutoAnswers({});
    store::BaglantiKapat();
  }

  void firstStartShowsTermsThenInstitution() {
    MDIForm1 w;
    QStringList opened;
    w.setModalRunner([&](QDialog& d) {
      opened << d.objectName();
      if (d.objectName() == QStringLiteral("frmSozlesme")) {
        (void)store::acceptAgreement(QStringLiteral("1.0.0.0"));
        return int(QDialog::Accepted);
      }
      return int(QDialog::Rejected);
    });
    QVERIFY(w.MDIForm1_Load());
    QCOMPARE(opened,
             (QStringList{QStringLiteral("frmSozlesme"), QStringLiteral("frmKurumBilgileri")}));
    // The empty institution table got its one row with a blank name.
    QCOMPARE(store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL")).toInt(), 1);
    QCOMPARE(store::scalar(QStringLiteral("SELECT OKULADI FROM TABLEOKUL")).toString(),
             QStringLiteral(" "));
    // The caption once, without the home page's title appended to it.
    QCOMPARE(w.windowTitle(),
             QStringLiteral("Derslik - Versiyon : ") + QString::fromLatin1(derslik::kVersionText));
    QCOMPARE(w.threeButtonSetting(), QStringLiteral("0"));
    QVERIFY(w.homeScreen());
    QCOMPARE(w.homeScreen()->objectName(), QStringLiteral("frmGenelEkran"));
  }

  void refusedTermsEndTheProgram() {
    MDIForm1 w;
    w.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    frmMesaj::setAutoAnswers({frmMesaj::Tamam});
    QVERIFY(!w.MDIForm1_Load());
    QCOMPARE(frmMesaj::takeShownTexts(), QStringList{frmSozlesme::refusedMessage()});
  }

  // Ctrl+Q while a screen holds unsaved changes asks; "İptal" keeps everything
  // open and the database usable, "Hayır" quits without saving.
  void quitAsksWhileAScreenHasUnsavedChanges() {
    prepareInstalled();
    store::BaglantiKapat();
    MDIForm1 w;
    QVERIFY(loadAsked(w));
    auto* students = qobject_cast<frmTanimlamalar*>(w.mainMenu()->cmdMenu_Click(0));
    QVERIFY(students);
    students->yeniKayit();
    students->txtAdi()->setText(QStringLiteral("Yarım"));
    QAction* quit = w.findChild<QAction*>(QStringLiteral("mnuCikis"));
    QCOMPARE(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    frmMesaj::takeShownTexts();
    frmMesaj::setAutoAnswers({frmMesaj::Iptal});
    quit->trigger();
    QCOMPARE(frmMesaj::takeShownTexts().size(), 1);
    QVERIFY(!w.closing());
    QVERIFY(store::baglantiAcik());
    QVERIFY(w.mainMenu()->currentScreen());
    frmMesaj::setAutoAnswers({frmMesaj::Hayir});
    quit->trigger();
    QVERIFY(w.closing());
    QVERIFY(!store::baglantiAcik());
  }

  // A second click on "Sanal Kumanda" brings the open window forward.
  void virtualRemoteOpensOnce() {
    prepareInstalled();
    store::BaglantiKapat();
    MDIForm1 w;
    QVERIFY(loadAsked(w));
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
    QVERIFY(store::setInstitutionValue(QStringLiteral("UCDUGME"), QStringLiteral("1")).ok());
    QVERIFY(store::setInstitutionValue(QStringLiteral("GELISMISMOD"), QStringLiteral("1")).ok());
    store::BaglantiKapat();
    store::UserSettings::setBool(QStringLiteral("Raporlar"), QStringLiteral("DogruYanlisCevap3"),
                                 true);
    MDIForm1 w;
    QStringList opened;
    w.setModalRunner([&](QDialog& d) {
      opened << d.objectName();
      return int(QDialog::Rejected);
    });
    QVERIFY(w.MDIForm1_Load());
    QVERIFY(opened.isEmpty());
    QCOMPARE(w.threeButtonSetting(), QStringLiteral("1"));
    QVERIFY(w.advancedMode());
    QVERIFY(!store::UserSettings::getBool(QStringLiteral("Raporlar"),
                                          QStringLiteral("DogruYanlisCevap3"), true));
  }

  void demoFillsAnEmptySchoolOnce() {
    prepareInstalled();
    store::BaglantiKapat();
    MDIForm1::Options options;
    options.demo = true;
    int students = 0;
    for (int run = 0; run < 2; ++run) {
      MDIForm1 w(options);
      QVERIFY(loadAsked(w));
      const int now = store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")).toInt();
      if (run == 0) students = now;
      QCOMPARE(now, students);  // the second start adds nobody
      QVERIFY(students >= 60);
      QCOMPARE(store::scalar(
                   QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA WHERE OGRETMENKUMANDASI='1'"))
                   .toInt(),
               1);
      w.close();
    }
  }

  // The bar opens the remote screen; a press from the receiver reaches its
  // registration panel through the routing, and the panel drives the receiver.
  void remoteRegistrationThroughTheMainWindow() {
    prepareInstalled();
    store::BaglantiKapat();
    MDIForm1 w;
    QVERIFY(loadAsked(w));
    auto* screen = qobject_cast<frmKumandaTanimlama*>(w.mainMenu()->cmdMenu_Click(1));
    QVERIFY(screen);
    QCOMPARE(w.mdiArea()->activeSubWindow()->widget(), screen);
    screen->yeniKayit();
    QVERIFY(screen->capturingNewRemotes());
    w.receiverController()->DugmeBasildi(QStringLiteral("12-250"), QStringLiteral("A"),
                                         QStringLiteral("1"));
    w.receiverController()->DugmeBasildi(QStringLiteral("12-251"), QStringLiteral("A"),
                                         QStringLiteral("1"));
    QCOMPARE(screen->registration().count(), 2);
    QVERIFY(screen->bitir().ok());
    QCOMPARE(store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")).toInt(), 2);
  }

  // A school set up today and filled at once is in its school year already: the
  // next start offers no rollover. The question itself never defaults to "Evet".
  void newSchoolIsNotRolledOverAndEnterAnswersNo() {
    {
      MDIForm1 w;
      w.setModalRunner([](QDialog& d) {
        if (d.objectName() == QStringLiteral("frmSozlesme")) {
          (void)store::acceptAgreement(QStringLiteral("1.0.0.0"));
          return int(QDialog::Accepted);
        }
        d.findChild<QLineEdit*>(QStringLiteral("txtKurumKodu"))->setText(QStringLiteral("745231"));
        d.findChild<QLineEdit*>(QStringLiteral("txtKurumAdi"))
            ->setText(QStringLiteral("Yeni Okul"));
        d.findChild<QPushButton*>(QStringLiteral("cmdKaydet"))->click();
        return d.result();
      });
      QVERIFY(w.MDIForm1_Load());
      QVERIFY(store::run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI,SOYADI,NUMARASI,"
                                        "SINIFI,SEVIYE) VALUES ('1','Ali','Can','7','5-A','5')"))
                  .ok());
      w.close();
    }
    frmMesaj::takeShownTexts();
    frmMesaj::setAutoAnswers({frmMesaj::Hayir, frmMesaj::Hayir});
    MDIForm1 w;
    w.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    QVERIFY(w.MDIForm1_Load());
    QVERIFY(frmMesaj::takeShownTexts().isEmpty());
    frmMesaj::setAutoAnswers({});

    // From the menu: the first question, answered with Enter, changes nothing.
    QString asked;
    QString defaultButton;
    QTimer::singleShot(0, this, [&] {
      auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(box);
      asked = box->findChild<QLabel*>(QStringLiteral("lblMesaj"))->text();
      for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->isDefault()) defaultButton = b->text();
      QTest::keyClick(box, Qt::Key_Return);
    });
    w.menuBar()->findChild<QAction*>(QStringLiteral("mnuSinifAtlatma"))->trigger();
    QCOMPARE(defaultButton, QStringLiteral("Hayır"));
    QVERIFY(
        asked.startsWith(QStringLiteral("Yeni eğitim öğretim yılı için program ayarlansın mı?")));
    QVERIFY(!asked.contains(QStringLiteral("internet")));
    QCOMPARE(store::scalar(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI")).toString(),
             QStringLiteral("5-A"));
  }

  void shutdownClosesTheDatabase() {
    prepareInstalled();
    store::BaglantiKapat();
    {
      MDIForm1 w;
      QVERIFY(loadAsked(w));
      QVERIFY(store::baglantiAcik());
      w.close();
      QVERIFY(w.closing());
      QVERIFY(!store::baglantiAcik());
      QVERIFY(w.mdiArea()->subWindowList().isEmpty() ||
              !w.mdiArea()->subWindowList().first()->isVisible());
    }
    QCOMPARE(MDIForm1::instance(), nullptr);
  }

  // With DERSLIK_SHOTS=<folder>, under Xvfb (QT_QPA_PLATFORM=xcb): a first start on
  // an empty data folder to a paired class, photographed screen by screen.
  void firstUseScreenshots() {
    const QString out = qEnvironmentVariable("DERSLIK_SHOTS");
    if (out.isEmpty()) QSKIP("DERSLIK_SHOTS not set");
    QDir().mkpath(out);
    auto shoot = [&out](const QString& name) {
      QTest::qWait(400);
      QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(out + QLatin1Char('/') + name +
                                                                   QStringLiteral(".png")));
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

    MDIForm1 w;
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
    schoolui::setFileOpener([](const QString&) { return false; });
    shootNextMessage(QStringLiteral("05_sonuc_dosyasi"));
    import->kaydet();
    schoolui::setFileOpener({});
    shoot(QStringLiteral("06_aktarim_sonucu"));

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

    // The advanced mode with a user: nobody logged in is refused with the reason.
    users::UserList users;
    users.add(QStringLiteral("Yönetici"), QStringLiteral("y"));
    users.add(QStringLiteral("Ayşe"), QStringLiteral("a"), QStringLiteral("-103M"));
    QVERIFY(users.save().ok());
    QVERIFY(store::setInstitutionValue(QStringLiteral("GELISMISMOD"), QStringLiteral("1")).ok());
    w.mainMenu()->applyStartupRights();
    shootNextMessage(QStringLiteral("10_yetki_yok"));
    QTest::mouseClick(w.mainMenu()->buttonBar()->button(0), Qt::LeftButton);
    shoot(QStringLiteral("11_oturum_ac"));

    // A teacher without the classes right: that button and tile are disabled.
    QVERIFY(w.mainMenu()->session()->logIn(QStringLiteral("ayşe"), QStringLiteral("a")).ok());
    w.closeScreens();
    shoot(QStringLiteral("12_kisitli_kullanici"));
    w.mainMenu()->session()->logOut();
    QVERIFY(w.mainMenu()->session()->logIn(QStringLiteral("yönetici"), QStringLiteral("y")).ok());
    w.mainMenu()->cmdMenu_Click(8);
    shoot(QStringLiteral("13_izin_listesi"));
    w.closeScreens();
    QTimer::singleShot(300, [&shoot] {
      shoot(QStringLiteral("14_ana_menu"));
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    w.mainMenu()->mainMenu()->exec(w.mapToGlobal(QPoint(70, 20)));
    w.findChild<QAction*>(QStringLiteral("mnuSanalKumanda"))->trigger();
    shoot(QStringLiteral("15_sanal_kumanda"));
  }

  void controlStatesRoundTrip() {
    QVERIFY(store::VeritabaniKontrol().ok());
    auto build = [](QWidget& screen, QComboBox*& upper, QComboBox*& lower,
                    QList<QRadioButton*>& options, QCheckBox*& check, QComboBox*& typed) {
      screen.setObjectName(QStringLiteral("frmDeneme"));
      auto* layout = new QVBoxLayout(&screen);
      upper = new QComboBox(&screen);
      upper->setObjectName(QStringLiteral("cmbSeviyeAra"));
      upper->addItems(
          {QStringLiteral("TÜMÜ"), QStringLiteral("5. SINIF"), QStringLiteral("6. SINIF")});
      lower = new QComboBox(&screen);
      lower->setObjectName(QStringLiteral("cmbUniteAra"));
      // The lower list depends on the upper one, as the curriculum lists do.
      QObject::connect(upper, &QComboBox::currentIndexChanged, lower, [upper, lower] {
        lower->clear();
        lower->addItem(QStringLiteral("TÜMÜ"));
        for (int i = 1; i <= upper->currentIndex() * 2; ++i)
          lower->addItem(QStringLiteral("Ünite %1").arg(i));
      });
      layout->addWidget(upper);
      layout->addWidget(lower);
      for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(QStringLiteral("Seçenek %1").arg(i), &screen);
        r->setObjectName(QStringLiteral("optSure"));
        setControlIndex(r, i);
        layout->addWidget(r);
        options << r;
      }
      check = new QCheckBox(&screen);
      check->setObjectName(QStringLiteral("chkKarisik"));
      check->setTristate(true);
      layout->addWidget(check);
      typed = new QComboBox(&screen);
      typed->setObjectName(QStringLiteral("cmbGrup"));
      typed->setEditable(true);
      layout->addWidget(typed);
    };

    {
      QWidget screen;
      QComboBox *upper, *lower, *typed;
      QList<QRadioButton*> options;
      QCheckBox* check;
      build(screen, upper, lower, options, check, typed);
      upper->setCurrentIndex(2);
      lower->setCurrentIndex(3);  // exists only after the upper list is set
      options[1]->setChecked(true);
      check->setCheckState(Qt::PartiallyChecked);
      typed->setCurrentText(QStringLiteral("Türkiye'nin grubu"));
      AyarKaydet(&screen);
      AyarKaydet(&screen);
    }
    QCOMPARE(
        store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEAYAR WHERE FORMADI='frmDeneme'"))
            .toInt(),
        7);
    QCOMPARE(store::column(QStringLiteral(
                 "SELECT INDEKS FROM TABLEAYAR WHERE KONTROLADI='optSure' ORDER BY INDEKS")),
             (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));
    {
      QWidget screen;
      QComboBox *upper, *lower, *typed;
      QList<QRadioButton*> options;
      QCheckBox* check;
      build(screen, upper, lower, options, check, typed);
      AyarYukle(&screen);
      QCOMPARE(upper->currentIndex(), 2);
      QCOMPARE(lower->currentIndex(), 3);
      QVERIFY(options[1]->isChecked());
      QVERIFY(!options[0]->isChecked());
      QCOMPARE(check->checkState(), Qt::PartiallyChecked);
      QCOMPARE(typed->currentText(), QStringLiteral("Türkiye'nin grubu"));
    }
    // A list shorter than the saved position keeps its current selection.
    QVERIFY(
        store::run(QStringLiteral("UPDATE TABLEAYAR SET DEGER='9' WHERE KONTROLADI='cmbSeviyeAra'"))
            .ok());
    {
      QWidget screen;
      QComboBox *upper, *lower, *typed;
      QList<QRadioButton*> options;
      QCheckBox* check;
      build(screen, upper, lower, options, check, typed);
      upper->setCurrentIndex(1);
      AyarYukle(&screen);
      QCOMPARE(upper->currentIndex(), 1);
    }
  }

 private:
  // Start-up with every dialog it opens answered by closing it.
  static bool loadAsked(MDIForm1& w) {
    w.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    return w.MDIForm1_Load();
  }
  void prepareInstalled() {
    QVERIFY(store::VeritabaniKontrol().ok());
    QVERIFY(store::acceptAgreement(QStringLiteral("1.0.0.0")).ok());
    QVERIFY(
        store::saveInstitution(QStringLiteral("123456"), QStringLiteral("Atatürk Ortaokulu")).ok());
  }

  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
