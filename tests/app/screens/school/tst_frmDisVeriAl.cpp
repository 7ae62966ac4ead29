// The import window with workbooks made by the project's own writer.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "SchoolScreenFixture.h"
#include "formats/XlsxWriter.h"
#include "screens/school/frmDisVeriAl.h"

class TestDisVeriAl : public QObject {
  Q_OBJECT
  SchoolScreenFixture f;

  QString makeSheet(const QList<QStringList>& rows) {
    const QString p = f.path(QStringLiteral("liste.xlsx"));
    formats::XlsxWriter w(p);
    w.addSheet(QStringLiteral("Sayfa1"));
    for (int r = 0; r < rows.size(); ++r)
      for (int c = 0; c < rows[r].size(); ++c) w.write(r, c, rows[r][c]);
    if (!w.close()) return {};
    return p;
  }

 private slots:
  void init() {
    f.init();
    f.ensureLevel();
  }
  void cleanup() { f.cleanup(); }

  // Three data rows into a school whose highest number is 40: 41, 42, 43; the
  // header row is no student; a known identity number updates its student.
  void importSmallSheet() {
    for (int i = 1; i <= 40; ++i) f.addStudent(i, QStringLiteral("5-A"));
    f.exec(QStringLiteral("UPDATE TABLEOGRENCI SET TCKIMLIK='12345678905' WHERE KAYITNO='7'"));
    const QString file = makeSheet({
        {QStringLiteral("No"), QStringLiteral("Adı Soyadı"), QStringLiteral("Sınıf"),
         QStringLiteral("TC")},
        {QStringLiteral("501"), QStringLiteral("Ayşe Nur Yıldız"), QStringLiteral("6-B"),
         QString()},
        {QStringLiteral("502"), QStringLiteral("Mehmet O'Neil"), QStringLiteral("6-B"), QString()},
        {QStringLiteral("503"), QStringLiteral("Zeynep Kaya"), QStringLiteral("6-B"), QString()},
        {QStringLiteral("504"), QStringLiteral("Ahmet Demir"), QStringLiteral("6-B"),
         QStringLiteral("12345678905")},
        {QStringLiteral("505"), QString(), QStringLiteral("6-B"), QString()},
    });
    QVERIFY(!file.isEmpty());

    frmDisVeriAl w(f.context());
    w.setResultPath(f.path(QStringLiteral("sonuc.xlsx")));
    QVERIFY(w.dosyaAc(file));
    QCOMPARE(w.sayfaListesi()->count(), 1);
    QCOMPARE(w.sutunListesi()->itemText(1), QStringLiteral("2. Sütun (Adı Soyadı)"));

    w.kaydet();  // no pairs yet
    QCOMPARE(f.shown(),
             QStringList{QStringLiteral(
                 "Lütfen eşleşme listesine exceldeki sütunların karşılıklarını belirtiniz")});

    w.eslesmeEkle(0, QStringLiteral("Numarası"));
    w.eslesmeEkle(1, QStringLiteral("Adı Soyadı"));
    w.eslesmeEkle(2, QStringLiteral("Sınıfı"));
    w.eslesmeEkle(3, QStringLiteral("T.C.Kimlik No"));
    QCOMPARE(w.eslesmeListesi()->count(), 4);
    QSignalSpy changed(&f.store(), &store::Store::studentsChanged);
    w.kaydet();
    QCOMPARE(f.shown(), QStringList{});
    QCOMPARE(changed.count(), 1);
    QCOMPARE(w.kaydetButonu()->text(), QStringLiteral("Raporu Kapat"));
    QCOMPARE(w.sonuc(),
             QStringLiteral("3 öğrenci eklendi, 1 öğrenci güncellendi, 1 satır alınmadı."));
    // The result sheet: every row of the list, what became of it and why.
    QVERIFY(w.sonucGosteriliyor());
    QTableWidget* sheet = w.sonucTablosu();
    QCOMPARE(sheet->rowCount(), 5);
    const auto row = [sheet](int r) {
      QStringList cells;
      for (int c = 0; c < sheet->columnCount(); ++c) cells << sheet->item(r, c)->text();
      return cells.join(QLatin1Char('|'));
    };
    QCOMPARE(row(0),
             QStringLiteral("2|Ayşe Nur|Yıldız|501|6-B|Eklendi|Yeni öğrenci (kayıt no 41)"));
    QCOMPARE(row(3), QStringLiteral("5|Ahmet|Demir|504|6-B|Güncellendi|T.C. kimlik numarası "
                                    "kayıtlı (kayıt no 7)"));
    QCOMPARE(row(4), QStringLiteral("6|||505|6-B|Alınmadı|Adı boş"));
    // The workbook of the same result opens on request.
    QVERIFY(f.opened.isEmpty());
    w.findChild<QPushButton*>(QStringLiteral("cmdSonucAc"))->click();
    QCOMPARE(f.opened, QStringList{f.path(QStringLiteral("sonuc.xlsx"))});
    QVERIFY(QFile::exists(f.opened.first()));

    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 43);
    QCOMPARE(f.count(QStringLiteral(
                 "SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO IN ('41','42','43')")),
             3);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI='Ayşe Nur' AND "
                                    "SOYADI='Yıldız'")),
             1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SOYADI=?"),
                     {QStringLiteral("O'Neil")}),
             1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI='No' OR ADI LIKE "
                                    "'Adı%'")),
             0);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO='7' AND "
                                    "SINIFI='6-B'")),
             1);
  }

  // An e-Okul list names its class in a title line: the class field takes it and
  // the students get it. "Raporu Kapat" brings the screen back to its start; a
  // result sheet no program opens is shown by its place.
  void classFromTitleThenStartOver() {
    f.ensureLevel(QStringLiteral("7. SINIF"));
    const QString file = makeSheet({
        {QStringLiteral("ATATÜRK ORTAOKULU")},
        {QStringLiteral("7. Sınıf / A Şubesi Sınıf Listesi")},
        {QStringLiteral("S.No"), QStringLiteral("Öğrenci No"), QStringLiteral("Adı"),
         QStringLiteral("Soyadı")},
        {QStringLiteral("1"), QStringLiteral("501"), QStringLiteral("Ece"), QStringLiteral("Kaya")},
        {QStringLiteral("2"), QStringLiteral("502"), QStringLiteral("Can"), QStringLiteral("Er")},
    });
    QVERIFY(!file.isEmpty());
    frmDisVeriAl w(f.context());
    w.show();
    w.setResultPath(f.path(QStringLiteral("Sonuclar/OgrenciAktarimi.xlsx")));
    QVERIFY(w.dosyaAc(file));
    QCOMPARE(w.sinifListesi()->currentText(), QStringLiteral("7-A"));
    QCOMPARE(w.seviyeListesi()->currentText(), QStringLiteral("7. SINIF"));
    // Its layout is recognised and its columns paired without a click.
    QCOMPARE(w.eslesmeListesi()->count(), 3);
    QCOMPARE(w.sonuc(),
             QStringLiteral("e-Okul sınıf listesi tanındı: sütunlar kendiliğinden eşleştirildi."));
    w.eOkulListesi();
    QCOMPARE(w.eslesmeListesi()->count(), 3);
    f.desktopOpens = false;
    w.kaydet();
    QCOMPARE(f.shown(), QStringList{});
    w.findChild<QPushButton*>(QStringLiteral("cmdSonucAc"))->click();
    QCOMPARE(f.shown(), QStringList{QStringLiteral("Sonuç dosyası: ") +
                                    QDir::toNativeSeparators(
                                        f.path(QStringLiteral("Sonuclar/OgrenciAktarimi.xlsx")))});
    QCOMPARE(f.column(QStringLiteral(
                 "SELECT ADI || ':' || SINIFI FROM TABLEOGRENCI ORDER BY VAL(KAYITNO)")),
             (QStringList{QStringLiteral("Ece:7-A"), QStringLiteral("Can:7-A")}));
    QCOMPARE(w.kaydetButonu()->text(), QStringLiteral("Raporu Kapat"));

    w.kaydet();              // "Raporu Kapat"
    QVERIFY(w.isVisible());  // the screen stays, ready for the next list
    QCOMPARE(w.kaydetButonu()->text(), QStringLiteral("Öğrencileri Aktar"));
    QVERIFY(w.dosyaKutusu()->text().isEmpty());
    QCOMPARE(w.sayfaListesi()->count(), 0);
    QCOMPARE(w.eslesmeListesi()->count(), 0);
    QVERIFY(w.sinifListesi()->currentText().isEmpty());
    QVERIFY(w.sonuc().isEmpty());
    // The class just imported is offered for the next list.
    QVERIFY(w.sinifListesi()->findText(QStringLiteral("7-A")) >= 0);

    // The same list again: nobody doubles.
    QVERIFY(w.dosyaAc(file));
    w.kaydet();
    QVERIFY(w.sonuc().startsWith(QStringLiteral("0 öğrenci eklendi, 2 öğrenci güncellendi")));
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 2);
  }

  // A file that is no workbook is refused with a message and adds nothing.
  void malformedFileRefused() {
    QFile bad(f.path(QStringLiteral("bozuk.xlsx")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("PK this is not a workbook");
    bad.close();
    frmDisVeriAl w(f.context());
    QVERIFY(!w.dosyaAc(bad.fileName()));
    QCOMPARE(f.shown().size(), 1);
    QCOMPARE(w.sayfaListesi()->count(), 0);
    QVERIFY(!w.dosyaAc(f.path(QStringLiteral("liste.txt"))));
    QCOMPARE(f.shown(), QStringList{QStringLiteral("Lütfen geçerli bir MS Excel dosyası seçiniz")});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 0);
  }
};

QTEST_MAIN(TestDisVeriAl)
#include "tst_frmDisVeriAl.moc"
