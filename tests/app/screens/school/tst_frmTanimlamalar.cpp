// The student section driven through its fields and buttons.
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "SchoolScreenFixture.h"
#include "framework/FileDialogs.h"
#include "framework/Sliste.h"
#include "school/IdentityNumber.h"
#include "screens/school/frmTanimlamalar.h"

class TestTanimlamalar : public QObject {
  Q_OBJECT
  SchoolScreenFixture f;

  static void type(frmTanimlamalar& w, const QString& adi, const QString& soyadi,
                   const QString& numara, const QString& tc) {
    w.txtAdi()->setText(adi);
    w.txtSoyadi()->setText(soyadi);
    w.txtNumarasi()->setText(numara);
    w.txtTCKimlik()->setText(tc);
    w.cmbSinifi()->setEditText(QStringLiteral("5-A"));
    w.cmbSeviye()->setCurrentIndex(w.cmbSeviye()->findText(QStringLiteral("5")));
  }

  static void typeInto(QWidget* box, const QString& text) {
    for (const QChar c : text)
      QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  static QPushButton* buttonOf(QWidget& w, const char* name) {
    return w.findChild<QPushButton*>(QLatin1String(name));
  }
  static void clickRow(Sliste* grid, int row) {
    QTableView* view = grid->tablo();
    const QRect cell = view->visualRect(view->model()->index(row, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
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
    f.ensureLevel();
  }
  void cleanup() { f.cleanup(); }

  void addStudentWithApostrophe() {
    frmTanimlamalar w(f.context());
    w.yeniKayit();
    QCOMPARE(w.form().saveButtonCaption(), QStringLiteral("Ekle"));
    type(w, QStringLiteral("Ayşe'nur"), QStringLiteral("D'Angelo"), QStringLiteral("7"), QString());
    w.kaydet();
    QCOMPARE(f.shown(), QStringList{});
    QCOMPARE(
        f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI=? AND SOYADI=? AND "
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
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SOYADI=?"),
                     {QStringLiteral("Türkiye'nin")}),
             1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
  }

  // The student section driven by the mouse and keyboard alone: each button reaches
  // its action, the fields follow the mode, a refused save puts the cursor where
  // the teacher must type.
  void studentButtonsByClicking() {
    f.addStudent(1, QStringLiteral("5-A"));
    frmTanimlamalar w(f.context());
    w.resize(1200, 700);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QPushButton* add = buttonOf(w, "cmdYeniKayit");
    QPushButton* save = buttonOf(w, "cmdKaydet");
    QPushButton* cancel = buttonOf(w, "cmdVazgec");
    QPushButton* remove = buttonOf(w, "cmdSil");
    QVERIFY(add && save && cancel && remove);
    QVERIFY(!save->isEnabled());
    QVERIFY(!w.txtAdi()->isEnabled());

    QTest::mouseClick(add, Qt::LeftButton);
    QVERIFY(save->isEnabled());
    QCOMPARE(save->text(), QStringLiteral("Ekle"));
    QVERIFY(w.txtAdi()->hasFocus());
    typeInto(w.txtAdi(), QStringLiteral("Ayşe"));
    QTest::mouseClick(save, Qt::LeftButton);  // no surname yet
    QCOMPARE(f.shown(), QStringList{school::StudentForm::emptyFieldsMessage()});
    QVERIFY(w.txtSoyadi()->hasFocus());
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);

    typeInto(w.txtSoyadi(), QStringLiteral("Şen"));
    QTest::mouseClick(save, Qt::LeftButton);  // no number yet
    QCOMPARE(f.shown(), QStringList{school::StudentForm::emptyFieldsMessage()});
    QVERIFY(w.txtNumarasi()->hasFocus());
    typeInto(w.txtNumarasi(), QStringLiteral("412"));
    w.cmbSinifi()->lineEdit()->selectAll();
    typeInto(w.cmbSinifi()->lineEdit(), QStringLiteral("5-B"));
    QTest::mouseClick(save, Qt::LeftButton);  // no level yet
    QCOMPARE(f.shown(), QStringList{school::StudentForm::levelMissingMessage()});
    QVERIFY(w.cmbSeviye()->hasFocus());
    QTest::keyClick(w.cmbSeviye(), Qt::Key_Down);  // the first offered level
    const QString level = w.cmbSeviye()->currentText();
    QVERIFY(!level.isEmpty());
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(f.shown(), QStringList{});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI=? AND SOYADI=? "
                                    "AND NUMARASI='412' AND SINIFI='5-B' AND SEVIYE=?"),
                     {QStringLiteral("Ayşe"), QStringLiteral("Şen"), level}),
             1);
    QVERIFY(!save->isEnabled());
    QCOMPARE(w.ogrenciListesi()->kayitSayisi(), 2);

    // A click on a row edits that student; "Vazgeç" leaves it unchanged.
    w.ogrenciListesi()->setFiltreMetni(QStringLiteral("KAYITNO"), QStringLiteral("1"));
    QTRY_COMPARE(w.ogrenciListesi()->gorunenKayitSayisi(), 1);
    clickRow(w.ogrenciListesi(), 0);
    QCOMPARE(save->text(), QStringLiteral("Düzelt"));
    QCOMPARE(w.txtAdi()->text(), QStringLiteral("Öğrenci1"));
    w.txtAdi()->selectAll();
    typeInto(w.txtAdi(), QStringLiteral("Deniz"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(!save->isEnabled());
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI='Deniz'")), 0);

    // The picked row goes after "Evet"; "Hayır" keeps it.
    clickRow(w.ogrenciListesi(), 0);
    f.answers({Messages::Answer::No});
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(
        f.shown(),
        QStringList{QStringLiteral("Bu 1 numaralı kaydı silmek istediğinizden emin misiniz?")});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 2);
    f.answers({Messages::Answer::Yes});
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(f.shown().size(), 1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO='1'")), 0);
    QCOMPARE(w.ogrenciListesi()->kayitSayisi(), 1);
  }

  void identityNumber_data() {
    QTest::addColumn<QString>("tc");
    QTest::addColumn<QList<Messages::Answer>>("answers");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("saved");
    QTest::newRow("empty") << QString() << QList<Messages::Answer>{} << QString() << true;
    QTest::newRow("valid") << QStringLiteral("12345678905") << QList<Messages::Answer>{}
                           << QString() << true;
    QTest::newRow("ten digits") << QStringLiteral("1234567890") << QList<Messages::Answer>{}
                                << school::IdentityNumber::wrongLengthMessage() << false;
    QTest::newRow("checksum no") << QStringLiteral("12345678901")
                                 << QList<Messages::Answer>{Messages::Answer::No}
                                 << school::IdentityNumber::wrongChecksumQuestion() << false;
    QTest::newRow("checksum yes") << QStringLiteral("12345678901")
                                  << QList<Messages::Answer>{Messages::Answer::Yes}
                                  << school::IdentityNumber::wrongChecksumQuestion() << true;
  }
  void identityNumber() {
    QFETCH(QString, tc);
    QFETCH(QList<Messages::Answer>, answers);
    QFETCH(QString, shown);
    QFETCH(bool, saved);
    frmTanimlamalar w(f.context());
    w.yeniKayit();
    type(w, QStringLiteral("Ali"), QStringLiteral("Kaya"), QStringLiteral("12"), tc);
    f.answers(answers);
    w.kaydet();
    QCOMPARE(f.shown(), shown.isEmpty() ? QStringList{} : QStringList{shown});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), saved ? 1 : 0);
    // A refused save keeps what was typed.
    if (!saved) QCOMPARE(w.txtAdi()->text(), QStringLiteral("Ali"));
  }

  void emptyNameRefused() {
    frmTanimlamalar w(f.context());
    w.yeniKayit();
    type(w, QString(), QStringLiteral("Kaya"), QStringLiteral("12"), QString());
    w.kaydet();
    QCOMPARE(f.shown(), QStringList{school::StudentForm::emptyFieldsMessage()});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 0);
  }

  // The level list shows what is stored, also after the lists were refilled, and
  // a new student cannot be saved without one.
  void levelIsChosenAndShownAsStored() {
    f.ensureLevel(QStringLiteral("1. SINIF"));
    // An older student without a level, which the form no longer saves.
    f.exec(
        QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE) "
                       "VALUES ('1','1','Eski','Kayıt','5-A','')"));
    frmTanimlamalar w(f.context());
    w.yeniKayit();
    QCOMPARE(w.cmbSeviye()->currentText(), QString());
    type(w, QStringLiteral("Ali"), QStringLiteral("Kaya"), QStringLiteral("12"), QString());
    w.cmbSeviye()->setCurrentIndex(-1);
    w.kaydet();
    QCOMPARE(f.shown(), QStringList{school::StudentForm::levelMissingMessage()});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
    w.cmbSeviye()->setCurrentIndex(w.cmbSeviye()->findText(QStringLiteral("1. SINIF")));
    w.kaydet();
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SEVIYE='1. SINIF'")),
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
    frmTanimlamalar w(f.context());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.close());  // nothing typed: nothing asked
    QCOMPARE(f.shown(), QStringList{});
    w.show();
    w.yeniKayit();
    type(w, QStringLiteral("Ali"), QStringLiteral("Kaya"), QStringLiteral("12"), QString());
    f.answers({Messages::Answer::Cancel});
    QVERIFY(!w.close());
    QCOMPARE(f.shown().size(), 1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 0);
    f.answers({Messages::Answer::Yes});
    QVERIFY(w.close());
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
  }

  // A student with answers stays marked (and loses its pairing); one without is removed.
  void softDelete() {
    f.addStudent(1, QStringLiteral("5-A"));
    f.addStudent(2, QStringLiteral("5-A"));
    f.school().pair(QStringLiteral("1-1"), {QStringLiteral("1")});
    f.school().run(f.school().test(QStringLiteral("Deneme"), QStringLiteral("A")),
                   {{QStringLiteral("1-1"), QStringLiteral("A")}});
    frmTanimlamalar w(f.context());
    QCOMPARE(w.ogrenciListesi()->kayitSayisi(), 2);
    pick(w.ogrenciListesi(), QStringLiteral("1"));
    f.answers({Messages::Answer::No});
    w.sil();
    QCOMPARE(
        f.shown(),
        QStringList{QStringLiteral("Bu 1 numaralı kaydı silmek istediğinizden emin misiniz?")});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE NZ(SILINDIMI)=''")),
             2);

    w.ogrenciListesi()->setFiltreMetni(QStringLiteral("KAYITNO"), QString());
    w.ogrenciListesi()->TumunuSec();
    f.answers({Messages::Answer::Yes});
    w.sil();
    QCOMPARE(f.shown(),
             QStringList{QStringLiteral("Bu 2 kaydı silmek istediğinizden emin misiniz?")});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO='1' AND "
                                    "NZ(SILINDIMI)<>''")),
             1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 0);
    QCOMPARE(w.ogrenciListesi()->kayitSayisi(), 0);
  }

  // Picked students written to a record file come back under new numbers.
  void recordFileRoundTrip() {
    f.addStudent(1, QStringLiteral("5-A"), QStringLiteral("Can'su"));
    f.addStudent(2, QStringLiteral("5-A"));
    frmTanimlamalar w(f.context());
    const QString file = f.path(QStringLiteral("Kayit.ckk"));
    w.kayitVer(file);  // nothing picked
    QCOMPARE(f.shown().size(), 1);
    QVERIFY(!QFile::exists(file));
    w.ogrenciListesi()->TumunuSec();
    w.kayitVer(file);
    QCOMPARE(f.shown(), QStringList{QStringLiteral("Kayıt dosyası oluşturuldu")});
    w.kayitAl(file);
    QCOMPARE(f.shown(), QStringList{QStringLiteral("2 adet kayit eklendi")});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI=?"),
                     {QStringLiteral("Can'su")}),
             2);
    QCOMPARE(w.ogrenciListesi()->kayitSayisi(), 4);

    QFile bad(f.path(QStringLiteral("bozuk.ckk")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a zip");
    bad.close();
    w.kayitAl(bad.fileName());
    const QStringList shown = f.shown();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().startsWith(QStringLiteral("Kayıtlar alınamadı")));
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 4);
  }

  // "Kartları Yazdır" prints the selected student's class; "Yeni Kart" replaces
  // the selected student's card.
  void cardButtons() {
    f.addStudent(1, QStringLiteral("5-A"));
    f.addStudent(2, QStringLiteral("5-A"));
    f.addStudent(3, QStringLiteral("6-A"));
    frmTanimlamalar w(f.context());
    const QString pdf = f.path(QStringLiteral("Kartlar_5-A.pdf"));
    filedialogs::setRunner([&](QFileDialog& d) {
      d.selectFile(pdf);
      return int(QDialog::Accepted);
    });
    buttonOf(w, "cmdKartYazdir")->click();
    QCOMPARE(f.shown(),
             QStringList{"Kartları yazdırılacak sınıfın bir öğrencisini listeden seçiniz."});
    w.ogrenciSec(QStringLiteral("2"));
    buttonOf(w, "cmdKartYazdir")->click();
    filedialogs::setRunner({});
    QCOMPARE(f.shown(), QStringList{QStringLiteral("2 kart yazıldı: ") + pdf});
    QVERIFY(QFileInfo(pdf).size() > 1000);
    f.answers({Messages::Answer::Yes});
    buttonOf(w, "cmdYeniKart")->click();
    QCOMPARE(
        f.shown().value(1),
        QStringLiteral("Yeni kart numarası: 3. Kartı \"Kartları Yazdır\" ile basabilirsiniz."));
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEKART WHERE NZ(IPTAL)=''")), 2);
  }

  // Bulk change of the class through the lists section.
  void bulkClassChange() {
    f.addStudent(1, QStringLiteral("5-A"));
    f.addStudent(2, QStringLiteral("5-A"));
    frmTanimlamalar w(f.context());
    w.listeSec(QStringLiteral("Sınıflar"));
    w.txtTanim()->setText(QStringLiteral("6-B"));
    w.tanimKaydet();
    QVERIFY(w.txtTanim()->text().isEmpty());
    w.txtTanim()->setText(QStringLiteral("6-B"));
    w.tanimKaydet();  // the same value again
    QCOMPARE(f.shown(), QStringList{QStringLiteral("Bu tanım daha önce eklenmiş")});
    w.sliste2()->setFiltreMetni(QStringLiteral("PARAMETREDEGERI"), QStringLiteral("6-B"));
    w.sliste2()->TumunuSec();
    pick(w.sliste1(), QStringLiteral("2"));
    w.topluUygula();
    QCOMPARE(f.shown(), QStringList{});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='6-B'")), 1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO='2' AND "
                                    "SINIFI='6-B'")),
             1);
  }
};

QTEST_MAIN(TestTanimlamalar)
#include "tst_frmTanimlamalar.moc"
