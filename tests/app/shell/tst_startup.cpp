// The main window's start-up and shutdown.
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "screens/school/frmKumandaTanimlama.h"
#include "screens/start/frmGenelEkran.h"
#include "shell/MDIForm1.h"
#include "shell/MainMenuController.h"
#include "shell/ReceiverController.h"
#include "store/Database.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "widgets/frmMesaj.h"

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
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("Derslik - Versiyon : ")));
    QCOMPARE(w.threeButtonSetting(), QStringLiteral("0"));
    QVERIFY(w.homeScreen());
    QCOMPARE(w.homeScreen()->objectName(), QStringLiteral("frmGenelEkran"));
  }

  void refusedTermsEndTheProgram() {
    MDIForm1 w(store(), options());
    rejectDialogs(w);
    QVERIFY(!w.MDIForm1_Load());
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
    QCOMPARE(w.receiverController()->gate().threeButtonSetting(), QStringLiteral("1"));
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
      QVERIFY(store()
                  .run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI,SOYADI,NUMARASI,"
                                      "SINIFI,SEVIYE) VALUES ('1','Ali','Can','7','5-A','5')"))
                  .ok());
      w.close();
    }
    RecordedMessages& messages = m_dir->messages();
    messages.clear();
    MDIForm1 w(store(), options());
    rejectDialogs(w);
    QVERIFY(w.MDIForm1_Load());
    QVERIFY(messages.shown().isEmpty());

    // From the menu: the first question's default answer changes nothing.
    w.menuBar()->findChild<QAction*>(QStringLiteral("mnuSinifAtlatma"))->trigger();
    QCOMPARE(messages.shown().size(), 1);
    const Messages::Message& asked = messages.shown().first();
    QCOMPARE(asked.defaultAnswer, Messages::Answer::No);
    QVERIFY(asked.text.startsWith(
        QStringLiteral("Yeni eğitim öğretim yılı için program ayarlansın mı?")));
    QVERIFY(!asked.text.contains(QStringLiteral("internet")));
    QCOMPARE(store().scalar(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI"))->toString(),
             QStringLiteral("5-A"));

    // The message window: "Hayır" is the default button, and Enter presses it.
    QString defaultButton;
    QTimer::singleShot(0, this, [&] {
      auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(box);
      QCOMPARE(box->findChild<QLabel*>(QStringLiteral("lblMesaj"))->text(), asked.text);
      for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->isDefault()) defaultButton = b->text();
      QTest::keyClick(box, Qt::Key_Return);
    });
    WidgetMessages window(&w);
    QCOMPARE(window.show(asked), Messages::Answer::No);
    QCOMPARE(defaultButton, QStringLiteral("Hayır"));
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
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
