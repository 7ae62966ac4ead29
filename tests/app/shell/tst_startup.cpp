// The main window's start-up and shutdown, and the saved control states of a screen.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "Version.h"
#include "screens/activities/frmSanalKumanda.h"
#include "screens/school/frmKumandaTanimlama.h"
#include "screens/school/frmTanimlamalar.h"
#include "screens/start/frmGenelEkran.h"
#include "screens/start/frmSozlesme.h"
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
    w.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    QVERIFY(w.MDIForm1_Load());
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
    w.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
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
      w.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
      QVERIFY(w.MDIForm1_Load());
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
    w.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    QVERIFY(w.MDIForm1_Load());
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

  void shutdownClosesTheDatabase() {
    prepareInstalled();
    store::BaglantiKapat();
    {
      MDIForm1 w;
      w.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
      QVERIFY(w.MDIForm1_Load());
      QVERIFY(store::baglantiAcik());
      w.close();
      QVERIFY(w.closing());
      QVERIFY(!store::baglantiAcik());
      QVERIFY(w.mdiArea()->subWindowList().isEmpty() ||
              !w.mdiArea()->subWindowList().first()->isVisible());
    }
    QCOMPARE(MDIForm1::instance(), nullptr);
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
