// The import window with workbooks made by the project's own writer.
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "SchoolFixture.h"
#include "formats/XlsxWriter.h"
#include "screens/school/frmDisVeriAl.h"

class TestDisVeriAl : public QObject {
  Q_OBJECT
  SchoolFixture f;

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
    SchoolFixture::ensureLevel();
  }
  void cleanup() { f.cleanup(); }

  // Three data rows into a school whose highest number is 40: 41, 42, 43; the
  // header row is no student; a known identity number updates its student.
  void importSmallSheet() {
    for (int i = 1; i <= 40; ++i) SchoolFixture::addStudent(i, QStringLiteral("5-A"));
    QVERIFY(store::run(
        QStringLiteral("UPDATE TABLEOGRENCI SET TCKIMLIK='12345678905' WHERE KAYITNO='7'")));
    const QString file = makeSheet({
        {QStringLiteral("No"), QStringLiteral("Adı Soyadı"), QStringLiteral("Sınıf"),
         QStringLiteral("TC")},
        {QStringLiteral("501"), QStringLiteral("Ayşe Nur Yıldız"), QStringLiteral("6-B"),
         QString()},
        {QStringLiteral("502"), QStringLiteral("Mehmet O'Neil"), QStringLiteral("6-B"), QString()},
        {QStringLiteral("503"), QStringLiteral("Zeynep Kaya"), QStringLiteral("6-B"), QString()},
        {QStringLiteral("504"), QStringLiteral("Ahmet Demir"), QStringLiteral("6-B"),
         QStringLiteral("12345678905")},
    });
    QVERIFY(!file.isEmpty());

    frmDisVeriAl w;
    w.setResultPath(f.path(QStringLiteral("sonuc.xlsx")));
    QVERIFY(w.dosyaAc(file));
    QCOMPARE(w.sayfaListesi()->count(), 1);
    QCOMPARE(w.sutunListesi()->itemText(1), QStringLiteral("2. Sütun (Adı Soyadı)"));

    w.kaydet();  // no pairs yet
    QCOMPARE(frmMesaj::takeShownTexts(),
             QStringList{QStringLiteral(
                 "Lütfen eşleşme listesine exceldeki sütunların karşılıklarını belirtiniz")});

    w.eslesmeEkle(0, QStringLiteral("Numarası"));
    w.eslesmeEkle(1, QStringLiteral("Adı Soyadı"));
    w.eslesmeEkle(2, QStringLiteral("Sınıfı"));
    w.eslesmeEkle(3, QStringLiteral("T.C.Kimlik No"));
    QCOMPARE(w.eslesmeListesi()->count(), 4);
    QSignalSpy changed(&w, &frmDisVeriAl::ogrencilerDegisti);
    w.kaydet();
    QCOMPARE(frmMesaj::takeShownTexts(), QStringList{});
    QCOMPARE(changed.count(), 1);
    QCOMPARE(w.kaydetButonu()->text(), QStringLiteral("Raporu Kapat"));
    QCOMPARE(f.opened, QStringList{f.path(QStringLiteral("sonuc.xlsx"))});
    QVERIFY(QFile::exists(f.opened.first()));
    QVERIFY(w.sonuc().startsWith(QStringLiteral("3 öğrenci eklendi, 1 öğrenci güncellendi")));

    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 43);
    QCOMPARE(SchoolFixture::count(QStringLiteral(
                 "SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO IN ('41','42','43')")),
             3);
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI='Ayşe Nur' AND "
                                "SOYADI='Yıldız'")),
             1);
    QCOMPARE(
        SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SOYADI=?"),
                             {QStringLiteral("O'Neil")}),
        1);
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI='No' OR ADI LIKE "
                                "'Adı%'")),
             0);
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO='7' AND "
                                "SINIFI='6-B'")),
             1);
  }

  // Without a program for .xlsx the teacher is told where the result is;
  // "Raporu Kapat" brings the screen back to its start, ready for the next list.
  void reportClosedBackToStart() {
    const QString file = makeSheet({{QStringLiteral("Adı"), QStringLiteral("Soyadı")},
                                    {QStringLiteral("Ali"), QStringLiteral("Kaya")}});
    frmDisVeriAl w;
    w.show();
    const QString result = f.path(QStringLiteral("Sonuclar/OgrenciAktarimi.xlsx"));
    w.setResultPath(result);
    QVERIFY(w.dosyaAc(file));
    w.eslesmeEkle(0, QStringLiteral("Adı"));
    w.eslesmeEkle(1, QStringLiteral("Soyadı"));
    f.openerFound = false;
    w.kaydet();
    const QStringList shown = frmMesaj::takeShownTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().endsWith(QStringLiteral("Sonuç dosyası: ") +
                                    QDir::toNativeSeparators(result)),
             qPrintable(shown.first()));
    QCOMPARE(w.kaydetButonu()->text(), QStringLiteral("Raporu Kapat"));
    w.kaydet();
    QVERIFY(w.isVisible());
    QCOMPARE(w.kaydetButonu()->text(), QStringLiteral("Öğrencileri Aktar"));
    QCOMPARE(w.sayfaListesi()->count(), 0);
    QCOMPARE(w.eslesmeListesi()->count(), 0);
    QCOMPARE(w.sonuc(), QString());
    // The next list goes through the same screen.
    QVERIFY(w.dosyaAc(file));
    QCOMPARE(w.sayfaListesi()->count(), 1);
  }

  // A file that is no workbook is refused with a message and adds nothing.
  void malformedFileRefused() {
    QFile bad(f.path(QStringLiteral("bozuk.xlsx")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("PK this is not a workbook");
    bad.close();
    frmDisVeriAl w;
    QVERIFY(!w.dosyaAc(bad.fileName()));
    QCOMPARE(frmMesaj::takeShownTexts().size(), 1);
    QCOMPARE(w.sayfaListesi()->count(), 0);
    QVERIFY(!w.dosyaAc(f.path(QStringLiteral("liste.txt"))));
    QCOMPARE(frmMesaj::takeShownTexts(),
             QStringList{QStringLiteral("Lütfen geçerli bir MS Excel dosyası seçiniz")});
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 0);
  }
};

QTEST_MAIN(TestDisVeriAl)
#include "tst_frmDisVeriAl.moc"
