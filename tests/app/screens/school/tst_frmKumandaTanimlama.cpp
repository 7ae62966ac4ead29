// The remote screen driven as a teacher would: registering a box of remotes by
// their presses, then pairing them with a class.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "formats/XlsxWriter.h"

#include "SchoolScreenFixture.h"
#include "Screenshot.h"
#include "framework/Sliste.h"
#include "school/DemoSchool.h"
#include "school/Pairing.h"
#include "screens/school/frmDisVeriAl.h"
#include "screens/school/frmKumandaTanimlama.h"
#include "screens/school/frmTanimlamalar.h"

class TestKumandaTanimlama : public QObject {
  Q_OBJECT
  SchoolScreenFixture f;

 private slots:
  void init() { f.init(); }
  void cleanup() { f.cleanup(); }

  // Forty remotes heard, one ticked as the teacher's, finished, then the 30
  // students of 5-A paired automatically: well under a minute, end to end.
  void registerFortyAndPairClass() {
    for (int i = 1; i <= 30; ++i) f.addStudent(i, QStringLiteral("5-A"));
    QElapsedTimer clock;
    clock.start();
    frmKumandaTanimlama w(f.context());
    QList<bool> sent;
    connect(&w.registration(), &school::RemoteRegistration::registrationModeRequested, this,
            [&sent](bool on) { sent << on; });

    w.yeniKayit();
    QCOMPARE(w.frameKumandaTag(), QStringLiteral("YeniKumanda"));
    QVERIFY(w.findChild<QWidget*>(QStringLiteral("frameKumanda"))->isVisibleTo(&w));
    QTRY_VERIFY_WITH_TIMEOUT(sent.contains(true),
                             2000);  // the 500 ms timer holds registration mode

    for (int i = 1; i <= 40; ++i) w.yeniKumandaYakalandi(QStringLiteral("12-%1").arg(i));
    w.yeniKumandaYakalandi(QStringLiteral("12-5"));  // heard again
    QListWidget* lv = w.kumandaListesi();
    QCOMPARE(lv->count(), 40);
    QCOMPARE(lv->item(4)->data(Qt::UserRole).toInt(), 3);
    QCOMPARE(lv->item(5)->data(Qt::UserRole).toInt(), 1);
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblKumandaEtiketiYazdir"))->text(),
             QStringLiteral("40"));
    lv->item(0)->setCheckState(Qt::Checked);  // 12-1 becomes the teacher remote

    QVERIFY(w.bitir().ok());
    QCOMPARE(sent.last(), false);
    QVERIFY(w.frameKumandaTag().isEmpty());
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 40);
    QCOMPARE(
        f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA WHERE OGRETMENKUMANDASI='1'")),
        1);
    QCOMPARE(w.ogretmenKumandalari()->kayitSayisi(), 1);
    QCOMPARE(w.kumandalar()->kayitSayisi(), 39);

    w.sinifSec(QStringLiteral("5-A"));
    w.kumandalar()->TumunuSec();
    w.otomatikEslestir();
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 30);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(DISTINCT KAYITNO) FROM TABLEESLESME")), 30);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(DISTINCT KUMANDAADRESI) FROM TABLEESLESME")), 30);
    QCOMPARE(
        f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME WHERE KUMANDAADRESI='12-1'")), 0);
    // Pairing again changes nothing: every remote already has its student of 5-A.
    w.kumandalar()->TumunuSec();
    w.otomatikEslestir();
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 30);
    QVERIFY(clock.elapsed() < 60000);
  }

  // Re-registering a known remote replaces its row with the new teacher mark and
  // keeps its pairing; closing the screen finishes an open panel.
  void reRegisterKeepsPairingsAndCloseFinishes() {
    f.addStudent(1, QStringLiteral("5-A"));
    f.school().remote(QStringLiteral("1-1"));
    f.school().pair(QStringLiteral("1-1"), {QStringLiteral("1")});
    {
      frmKumandaTanimlama w(f.context());
      w.yeniKayit();
      w.yeniKumandaYakalandi(QStringLiteral("1-1"));
      w.yeniKumandaYakalandi(QStringLiteral("1-2"));
      w.kumandaListesi()->item(0)->setCheckState(Qt::Checked);
      w.close();
      QVERIFY(!w.kayitPaneliAcik());
    }
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 2);
    QCOMPARE(f.count(QStringLiteral(
                 "SELECT OGRETMENKUMANDASI FROM TABLEKUMANDA WHERE KUMANDAADRESI='1-1'")),
             1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME WHERE KUMANDAADRESI='1-1'")),
             1);
  }

  // A new receiver learns the stored remotes: presses are not captured and
  // finishing writes nothing.
  void newReceiverCapturesNothing() {
    f.school().teacherRemote(QStringLiteral("3-3"));
    frmKumandaTanimlama w(f.context());
    w.yeniAlici();
    QCOMPARE(w.frameKumandaTag(), QStringLiteral("YeniAlici"));
    QCOMPARE(w.kumandaListesi()->count(), 1);
    QCOMPARE(w.kumandaListesi()->item(0)->checkState(), Qt::Checked);
    // Listed because registered, not because heard.
    QCOMPARE(w.sayiBasligi()->text(), QStringLiteral("Kayıtlı kumanda sayısı:"));
    w.yeniKumandaYakalandi(QStringLiteral("9-9"));
    QCOMPARE(w.kumandaListesi()->count(), 1);
    QVERIFY(w.bitir().ok());
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 1);
  }

  // Without a receiver the panel says how to attach one; plugging it in clears that.
  void registrationSaysWhenNoReceiver() {
    frmKumandaTanimlama w(f.context());
    w.show();
    w.setReceiverPresent(false);
    w.yeniKayit();
    QVERIFY(w.aliciUyarisi()->isVisible());
    QVERIFY(w.aliciUyarisi()->text().startsWith(QStringLiteral("Alıcı bağlı değil")));
    QCOMPARE(w.sayiBasligi()->text(), QStringLiteral("Duyulan kumanda sayısı:"));
    w.setReceiverPresent(true);
    QVERIFY(!w.aliciUyarisi()->isVisible());
    QVERIFY(w.bitir().ok());
  }

  // The automatic pairing says what it needs when no remote is chosen, and asks
  // before giving another class the remotes one class already uses.
  void autoPairingSaysWhatToDoAndAsksBeforeSharing() {
    for (int i = 1; i <= 3; ++i) f.addStudent(i, QStringLiteral("7-A"));
    for (int i = 4; i <= 6; ++i) f.addStudent(i, QStringLiteral("7-B"));
    for (const char* a : {"1-1", "1-2", "1-3"}) f.school().remote(QString::fromLatin1(a));
    frmKumandaTanimlama w(f.context());
    w.sinifSec(QStringLiteral("7-A"));
    f.shown();
    w.otomatikEslestir();
    QCOMPARE(f.shown(), QStringList{school::Pairing::noRemotesChosenMessage()});
    w.kumandalar()->TumunuSec();
    w.otomatikEslestir();  // nobody else uses them: no question
    QCOMPARE(f.shown().size(), 1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 3);

    w.sinifSec(QStringLiteral("7-B"));
    w.kumandalar()->TumunuSec();
    f.answers({Messages::Answer::No});
    w.otomatikEslestir();
    const QStringList asked = f.shown();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().startsWith(QStringLiteral(
                 "Seçilen 3 kumandanın 3 tanesi başka sınıflarda da öğrenciyle eşleştirilmiş "
                 "(7-A: 3 kumanda).")),
             qPrintable(asked.first()));
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 3);
    w.kumandalar()->TumunuSec();
    f.answers({Messages::Answer::Yes});
    w.otomatikEslestir();
    QCOMPARE(f.shown().size(), 2);  // the question, then the summary
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 6);
  }

  // The automatic pairing tells who is left, and the filter lists them.
  void pairingSummaryAndStudentsWithoutRemote() {
    for (int i = 1; i <= 3; ++i) f.addStudent(i, QStringLiteral("5-A"));
    for (const char* a : {"1-1", "1-2"}) f.school().remote(QString::fromLatin1(a));
    frmKumandaTanimlama w(f.context());
    w.sinifSec(QStringLiteral("5-A"));
    w.kumandalar()->TumunuSec();
    f.shown();
    w.otomatikEslestir();
    QCOMPARE(f.shown(),
             QStringList{QStringLiteral(
                 "2 öğrenci eşleştirildi; 1 öğrencinin kumandası yok: Öğrenci3 Yılmaz")});
    w.kumandasizlar()->setChecked(true);
    QCOMPARE(w.ogrenciler()->kayitSayisi(), 1);
    QCOMPARE(w.ogrenciler()->deger(0, QStringLiteral("KAYITNO")), QStringLiteral("3"));
    w.kumandasizlar()->setChecked(false);
    QCOMPARE(w.ogrenciler()->kayitSayisi(), 0);  // no remote picked
  }

  // Pairing by hand offers no student of a class the remote already serves.
  void pairByHandAndDelete() {
    f.addStudent(1, QStringLiteral("5-A"));
    f.addStudent(2, QStringLiteral("5-A"));
    f.addStudent(3, QStringLiteral("6-B"));
    f.school().remote(QStringLiteral("4-4"));
    frmKumandaTanimlama w(f.context());
    w.kumandaSec(QStringLiteral("4-4"));
    QCOMPARE(w.ogrenciler()->kayitSayisi(), 3);
    w.ogrenciler()->setFiltreMetni(QStringLiteral("KAYITNO"), QStringLiteral("1"));
    w.ogrenciler()->TumunuSec();
    w.ekle();
    QCOMPARE(w.eslesme()->kayitSayisi(), 1);
    QCOMPARE(w.ogrenciler()->kayitSayisi(), 1);  // only 3 of 6-B is still offered
    QCOMPARE(w.ogrenciler()->deger(0, QStringLiteral("KAYITNO")), QStringLiteral("3"));

    w.kumandalar()->TumunuSec();
    f.answers({Messages::Answer::No, Messages::Answer::Yes});
    w.sil();
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 1);
    w.kumandalar()->TumunuSec();
    w.sil();
    QCOMPARE(f.shown().last(),
             QStringLiteral("4-4 numaralı kumandayı silmek istediğinizden emin misiniz?"));
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 0);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 0);
  }

  // Double-clicking the count writes the remote number labels, asks, and opens them.
  void remoteLabelsAskAndOpen() {
    f.school().remote(QStringLiteral("5-5"));
    frmKumandaTanimlama w(f.context());
    f.answers({Messages::Answer::Yes});
    QTest::mouseDClick(w.findChild<QLabel*>(QStringLiteral("lblKumandaEtiketiYazdir")),
                       Qt::LeftButton);
    QCOMPARE(f.shown(), QStringList{QStringLiteral(
                            "Raporunuz başarıyla hazırlandı, Raporu şimdi açmak ister misiniz?")});
    QCOMPARE(f.opened.size(), 1);
    QVERIFY(QFile::exists(f.opened.first()));
    // The same by the button a finger can press.
    f.answers({Messages::Answer::Yes});
    w.findChild<QPushButton*>(QStringLiteral("cmdNumaraEtiketleri"))->click();
    QCOMPARE(f.opened.size(), 2);
    QVERIFY(w.eslesmeListesiYaz(f.path(QStringLiteral("liste.xlsx"))).ok());
    QVERIFY(QFile::exists(f.path(QStringLiteral("liste.xlsx"))));
  }

  // The three screens with the demo school paint at both sizes (kept in the
  // folder DERSLIK_SHOTS names, for looking at).
  void screenshots() {
    PICTURES_ONLY();
    QVERIFY(school::createDemoSchool(f.store()).ok());
    auto shoot = [](QWidget& w, const QString& name, QSize size) {
      w.resize(size);
      w.show();
      QCoreApplication::processEvents();
      QVERIFY(saveScreenshot(&w, QStringLiteral("school_") + name + QStringLiteral(".png")));
    };
    {
      frmTanimlamalar w(f.context());
      w.ogrenciSec(QStringLiteral("3"));
      shoot(w, QStringLiteral("tanimlamalar_ogrenciler"), {1280, 800});
      shoot(w, QStringLiteral("tanimlamalar_ogrenciler_1920"), {1920, 1080});
      for (int i = 1; i < w.sekmeler()->count(); ++i) {
        w.sekmeler()->setCurrentIndex(i);
        shoot(w, QStringLiteral("tanimlamalar_sekme%1").arg(i), {1280, 800});
      }
    }
    {
      frmKumandaTanimlama w(f.context());
      w.sinifSec(QStringLiteral("5-A"));
      w.kumandaSec(w.kumandalar()->deger(2, QStringLiteral("KUMANDAADRESI")));
      shoot(w, QStringLiteral("kumanda"), {1280, 800});
      w.yeniKayit();
      for (int i = 1; i <= 12; ++i) w.yeniKumandaYakalandi(QStringLiteral("40-%1").arg(i));
      for (int i = 1; i <= 5; ++i) w.yeniKumandaYakalandi(QStringLiteral("40-%1").arg(i));
      shoot(w, QStringLiteral("kumanda_kayit"), {1280, 800});
      shoot(w, QStringLiteral("kumanda_kayit_1920"), {1920, 1080});
      w.registration().startNewReceiver();
      (void)w.bitir();
    }
    {
      formats::XlsxWriter x(f.path(QStringLiteral("sinif.xlsx")));
      x.addSheet(QStringLiteral("Sınıf Listesi"));
      const QStringList head{QStringLiteral("S.No"), QStringLiteral("Öğrenci No"),
                             QStringLiteral("Adı"), QStringLiteral("Soyadı"),
                             QStringLiteral("Cinsiyeti")};
      for (int c = 0; c < head.size(); ++c) x.write(0, c, head[c]);
      x.write(1, 0, QStringLiteral("1"));
      x.write(1, 2, QStringLiteral("Elif"));
      QVERIFY(x.close().ok());
      frmDisVeriAl w(f.context());
      QVERIFY(w.dosyaAc(f.path(QStringLiteral("sinif.xlsx"))));
      w.eOkulListesi();
      shoot(w, QStringLiteral("disverial"), {1280, 800});
    }
  }
};

QTEST_MAIN(TestKumandaTanimlama)
#include "tst_frmKumandaTanimlama.moc"
