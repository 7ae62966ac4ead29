// The student section driven through its fields and buttons.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QtTest>

#include "SchoolFixture.h"
#include "school/IdentityNumber.h"
#include "screens/school/frmTanimlamalar.h"
#include "widgets/Sliste.h"

class TestTanimlamalar : public QObject {
  Q_OBJECT
  SchoolFixture f;

  static void type(frmTanimlamalar& w, const QString& adi, const QString& soyadi,
                   const QString& numara, const QString& tc) {
    w.txtAdi()->setText(adi);
    w.txtSoyadi()->setText(soyadi);
    w.txtNumarasi()->setText(numara);
    w.txtTCKimlik()->setText(tc);
    w.cmbSinifi()->setEditText(QStringLiteral("5-A"));
    w.cmbSeviye()->setCurrentIndex(w.cmbSeviye()->findText(QStringLiteral("5")));
  }

  // Picks the grid rows whose registration number is `kayitNo`.
  static void pick(Sliste* grid, const QString& kayitNo) {
    grid->SecimiBosalt();
    grid->setFiltreMetni(QStringLiteral("KAYITNO"), kayitNo);
    grid->TumunuSec();
  }

 private slots:
  void init() {
    f.init();
    SchoolFixture::ensureLevel();
  }
  void cleanup() { f.cleanup(); }

  void addStudentWithApostrophe() {
    frmTanimlamalar w;
    w.yeniKayit();
    QCOMPARE(w.form().saveButtonCaption(), QStringLiteral("Ekle"));
    type(w, QStringLiteral("Ayşe'nur"), QStringLiteral("D'Angelo"), QStringLiteral("7"), QString());
    w.kaydet();
    QCOMPARE(frmMesaj::takeShownTexts(), QStringList{});
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI=? AND SOYADI=? AND "
                                "SINIFI='5-A' AND KAYITNO='1'"),
                 {QStringLiteral("Ayşe'nur"), QStringLiteral("D'Angelo")}),
             1);
    QCOMPARE(w.ogrenciListesi()->kayitSayisi(), 1);

    // Editing carries the new name; the caption tells the mode.
    w.ogrenciSec(QStringLiteral("1"));
    QCOMPARE(w.form().saveButtonCaption(), QStringLiteral("Düzelt"));
    QCOMPARE(w.txtAdi()->text(), QStringLiteral("Ayşe'nur"));
    w.txtSoyadi()->setText(QStringLiteral("Türkiye'nin"));
    w.kaydet();
    QCOMPARE(
        SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SOYADI=?"),
                             {QStringLiteral("Türkiye'nin")}),
        1);
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
  }

  void identityNumber_data() {
    QTest::addColumn<QString>("tc");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("saved");
    QTest::newRow("empty") << QString() << QList<int>{} << QString() << true;
    QTest::newRow("valid") << QStringLiteral("12345678905") << QList<int>{} << QString() << true;
    QTest::newRow("ten digits") << QStringLiteral("1234567890") << QList<int>{}
                                << school::IdentityNumber::wrongLengthMessage() << false;
    QTest::newRow("checksum no") << QStringLiteral("12345678901") << QList<int>{frmMesaj::Hayir}
                                 << school::IdentityNumber::wrongChecksumQuestion() << false;
    QTest::newRow("checksum yes") << QStringLiteral("12345678901") << QList<int>{frmMesaj::Evet}
                                  << school::IdentityNumber::wrongChecksumQuestion() << true;
  }
  void identityNumber() {
    QFETCH(QString, tc);
    QFETCH(QList<int>, answers);
    QFETCH(QString, shown);
    QFETCH(bool, saved);
    frmTanimlamalar w;
    w.yeniKayit();
    type(w, QStringLiteral("Ali"), QStringLiteral("Kaya"), QStringLiteral("12"), tc);
    SchoolFixture::answers(answers);
    w.kaydet();
    QCOMPARE(frmMesaj::takeShownTexts(), shown.isEmpty() ? QStringList{} : QStringList{shown});
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")),
             saved ? 1 : 0);
    // A refused save keeps what was typed.
    if (!saved) QCOMPARE(w.txtAdi()->text(), QStringLiteral("Ali"));
  }

  void emptyNameRefused() {
    frmTanimlamalar w;
    w.yeniKayit();
    type(w, QString(), QStringLiteral("Kaya"), QStringLiteral("12"), QString());
    w.kaydet();
    QCOMPARE(frmMesaj::takeShownTexts(), QStringList{school::StudentForm::emptyFieldsMessage()});
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 0);
  }

  // The level list shows what is stored, also after the lists were refilled, and
  // a new student cannot be saved without one.
  void levelIsChosenAndShownAsStored() {
    SchoolFixture::ensureLevel(QStringLiteral("1. SINIF"));
    QVERIFY(store::run(
        QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE) "
                       "VALUES ('1','1','Eski','Kayıt','5-A','')")));
    frmTanimlamalar w;
    w.yeniKayit();
    QCOMPARE(w.cmbSeviye()->currentText(), QString());
    type(w, QStringLiteral("Ali"), QStringLiteral("Kaya"), QStringLiteral("12"), QString());
    w.cmbSeviye()->setCurrentIndex(-1);
    w.kaydet();
    QCOMPARE(frmMesaj::takeShownTexts(), QStringList{school::StudentForm::levelMissingMessage()});
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
    w.cmbSeviye()->setCurrentIndex(w.cmbSeviye()->findText(QStringLiteral("1. SINIF")));
    w.kaydet();
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SEVIYE='1. SINIF'")),
             1);
    // The old student without a level: the list stays empty, whatever refills it.
    w.ogrenciSec(QStringLiteral("1"));
    QCOMPARE(w.cmbSeviye()->currentText(), QString());
    w.sekmeler()->setCurrentIndex(1);
    w.sekmeler()->setCurrentIndex(0);
    QCOMPARE(w.cmbSeviye()->currentText(), QString());
    QCOMPARE(w.cmbSeviye()->currentIndex(), -1);
  }

  // Closing the screen with unsaved fields asks; "İptal" keeps it open.
  void closingAsksForUnsavedFields() {
    frmTanimlamalar w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.close());  // nothing typed: nothing asked
    QCOMPARE(frmMesaj::takeShownTexts(), QStringList{});
    w.show();
    w.yeniKayit();
    type(w, QStringLiteral("Ali"), QStringLiteral("Kaya"), QStringLiteral("12"), QString());
    SchoolFixture::answers({frmMesaj::Iptal});
    QVERIFY(!w.close());
    QCOMPARE(frmMesaj::takeShownTexts().size(), 1);
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 0);
    SchoolFixture::answers({frmMesaj::Evet});
    QVERIFY(w.close());
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
  }

  // A student with answers stays marked (and loses its pairing); one without is removed.
  void softDelete() {
    SchoolFixture::addStudent(1, QStringLiteral("5-A"));
    SchoolFixture::addStudent(2, QStringLiteral("5-A"));
    QVERIFY(store::run(
        QStringLiteral("INSERT INTO TABLEESLESME (KUMANDAADRESI,KAYITNO) VALUES ('1-1','1')")));
    QVERIFY(store::run(
        QStringLiteral("INSERT INTO TABLECEVAP (TESTNO,KAYITNO,CEVAP) VALUES ('1','1','A')")));
    frmTanimlamalar w;
    QCOMPARE(w.ogrenciListesi()->kayitSayisi(), 2);
    pick(w.ogrenciListesi(), QStringLiteral("1"));
    SchoolFixture::answers({frmMesaj::Hayir});
    w.sil();
    QCOMPARE(
        frmMesaj::takeShownTexts(),
        QStringList{QStringLiteral("Bu 1 numaralı kaydı silmek istediğinizden emin misiniz?")});
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE NZ(SILINDIMI)=''")),
             2);

    w.ogrenciListesi()->setFiltreMetni(QStringLiteral("KAYITNO"), QString());
    w.ogrenciListesi()->TumunuSec();
    SchoolFixture::answers({frmMesaj::Evet});
    w.sil();
    QCOMPARE(frmMesaj::takeShownTexts(),
             QStringList{QStringLiteral("Bu 2 kaydı silmek istediğinizden emin misiniz?")});
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO='1' AND "
                                "NZ(SILINDIMI)<>''")),
             1);
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 0);
    QCOMPARE(w.ogrenciListesi()->kayitSayisi(), 0);
  }

  // Picked students written to a record file come back under new numbers.
  void recordFileRoundTrip() {
    SchoolFixture::addStudent(1, QStringLiteral("5-A"), QStringLiteral("Can'su"));
    SchoolFixture::addStudent(2, QStringLiteral("5-A"));
    frmTanimlamalar w;
    const QString file = f.path(QStringLiteral("Kayit.ckk"));
    w.kayitVer(file);  // nothing picked
    QCOMPARE(frmMesaj::takeShownTexts().size(), 1);
    QVERIFY(!QFile::exists(file));
    w.ogrenciListesi()->TumunuSec();
    w.kayitVer(file);
    QCOMPARE(frmMesaj::takeShownTexts(), QStringList{QStringLiteral("Kayıt dosyası oluşturuldu")});
    w.kayitAl(file);
    QCOMPARE(frmMesaj::takeShownTexts(), QStringList{QStringLiteral("2 adet kayit eklendi")});
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI=?"),
                                  {QStringLiteral("Can'su")}),
             2);
    QCOMPARE(w.ogrenciListesi()->kayitSayisi(), 4);

    QFile bad(f.path(QStringLiteral("bozuk.ckk")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a zip");
    bad.close();
    w.kayitAl(bad.fileName());
    const QStringList shown = frmMesaj::takeShownTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().startsWith(QStringLiteral("Kayıtlar alınamadı")));
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 4);
  }

  // Bulk change of the class through the lists section.
  void bulkClassChange() {
    SchoolFixture::addStudent(1, QStringLiteral("5-A"));
    SchoolFixture::addStudent(2, QStringLiteral("5-A"));
    frmTanimlamalar w;
    w.listeSec(QStringLiteral("Sınıflar"));
    w.txtTanim()->setText(QStringLiteral("6-B"));
    w.tanimKaydet();
    QVERIFY(w.txtTanim()->text().isEmpty());
    w.txtTanim()->setText(QStringLiteral("6-B"));
    w.tanimKaydet();  // the same value again
    QCOMPARE(frmMesaj::takeShownTexts(),
             QStringList{QStringLiteral("Bu tanım daha önce eklenmiş")});
    w.sliste2()->setFiltreMetni(QStringLiteral("PARAMETREDEGERI"), QStringLiteral("6-B"));
    w.sliste2()->TumunuSec();
    pick(w.sliste1(), QStringLiteral("2"));
    w.topluUygula();
    QCOMPARE(frmMesaj::takeShownTexts(), QStringList{});
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='6-B'")),
             1);
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO='2' AND "
                                "SINIFI='6-B'")),
             1);
  }
};

QTEST_MAIN(TestTanimlamalar)
#include "tst_frmTanimlamalar.moc"
