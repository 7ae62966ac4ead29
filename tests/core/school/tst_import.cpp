#include <QFile>
#include <QtTest>

#include "SchoolFixture.h"
#include "formats/Workbook.h"
#include "formats/XlsxWriter.h"
#include "school/StudentImport.h"

using school::StudentImport;

namespace {

formats::Workbook book(const QList<QStringList>& rows) {
  formats::Workbook b;
  b.addSheet(QStringLiteral("Liste"), rows);
  return b;
}

const QStringList kHeader{QStringLiteral("Sıra"), QStringLiteral("Adı Soyadı"),
                          QStringLiteral("No"), QStringLiteral("Şube"), QStringLiteral("TC")};

}  // namespace

class TestImport : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    m_fx.setUp();
    QVERIFY(store::run(
                QStringLiteral(
                    "INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) "
                    "VALUES ('SEVIYE','5',''),('SEVIYE','6','')"))
                .ok());
  }
  void cleanup() { m_fx.tearDown(); }

  void addsAfterHighestNumberAndSkipsHeader() {
    SchoolFixture::addStudent(QStringLiteral("40"), QStringLiteral("Kırkıncı"),
                              QStringLiteral("5-A"));
    StudentImport imp;
    imp.setWorkbook(book({kHeader,
                          {QStringLiteral("1"), QStringLiteral("Ali Can Yılmaz"),
                           QStringLiteral("12-3"), QStringLiteral("5-B"), QString()},
                          {QStringLiteral("2"), QStringLiteral("Zeynep Şahin"), QStringLiteral("7"),
                           QStringLiteral("5-B")},
                          {QStringLiteral("3"), QStringLiteral("Ömer Faruk Türkiye'nin"),
                           QStringLiteral("8"), QStringLiteral("5-C")}}));
    QCOMPARE(imp.columnEntries().at(1), QStringLiteral("2. Sütun (Adı Soyadı)"));
    QVERIFY(imp.addPair(1, QStringLiteral("Adı Soyadı")).ok());
    QVERIFY(imp.addPair(2, QStringLiteral("Numarası")).ok());
    QVERIFY(imp.addPair(3, QStringLiteral("Sınıfı")).ok());
    QVERIFY(!imp.addPair(0, QStringLiteral("Adı")).ok());  // the name is already paired
    QCOMPARE(imp.pairTexts().first(), QStringLiteral("2. Sütun (Adı Soyadı) => Adı Soyadı"));
    QStringList progress;
    const QString resultPath = m_fx.path(QStringLiteral("sonuc.xlsx"));
    auto report =
        imp.run(QStringLiteral("5"), resultPath, [&](const QString& t) { progress << t; });
    QVERIFY2(report.ok(), qPrintable(report.error()));
    QCOMPARE(report->added, 3);
    QCOMPARE(progress, (QStringList{QStringLiteral("Excel Dosyasına Bağlanılıyor..."),
                                    QStringLiteral("Bilgiler Kaydediliyor..."),
                                    QStringLiteral("Rapor Hazırlanıyor...")}));
    QCOMPARE(store::column(QStringLiteral(
                 "SELECT KAYITNO || '|' || ADI || '|' || SOYADI || '|' || NUMARASI || '|' || "
                 "SEVIYE FROM TABLEOGRENCI WHERE VAL(KAYITNO)>40 ORDER BY VAL(KAYITNO)")),
             (QStringList{QStringLiteral("41|Ali Can|Yılmaz|12.3|5"),
                          QStringLiteral("42|Zeynep|Şahin|7|5"),
                          QStringLiteral("43|Ömer Faruk|Türkiye'nin|8|5")}));
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI IN ('Sıra','Adı')")),
             0);
    QCOMPARE(store::column(QStringLiteral(
                 "SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='SINIFI' "
                 "ORDER BY 1")),
             (QStringList{QStringLiteral("5-A"), QStringLiteral("5-B"), QStringLiteral("5-C")}));
    QCOMPARE(
        store::UserSettings::get(QStringLiteral("Raporlar"), QStringLiteral("DogruYanlisCevap4")),
        QStringLiteral("0"));
    Result<formats::Workbook> result = formats::Workbook::open(resultPath);
    QVERIFY(result.ok());
    QCOMPARE(result->sheetNames(), QStringList{QStringLiteral("XLSONUC")});
    QCOMPARE(
        result->sheet(0).rows.at(0),
        (QStringList{QStringLiteral("Adı Soyadı"), QStringLiteral("No"), QStringLiteral("Şube"),
                     QStringLiteral("Seviye"), QStringLiteral("Sonuç")}));
    QCOMPARE(result->sheet(0).rows.at(1).last(), QStringLiteral("Eklendi"));
    QCOMPARE(result->sheet(0).rows.size(), 4);
  }

  void updatesByIdentityNumber() {
    SchoolFixture::addStudent(QStringLiteral("7"), QStringLiteral("Eski"), QStringLiteral("5-A"),
                              QStringLiteral("5"), QStringLiteral("10000000023"));
    StudentImport imp;
    imp.setWorkbook(book({{QStringLiteral("Ad"), QStringLiteral("Soyad"), QStringLiteral("TC"),
                           QStringLiteral("Sınıf")},
                          {QStringLiteral("Yeni"), QStringLiteral("Adlı"),
                           QStringLiteral("10000000023"), QStringLiteral("6-A")},
                          {QStringLiteral("Ayşe Nur"), QStringLiteral("Kaya"),
                           QStringLiteral("20000000046"), QStringLiteral("6-A")}}));
    QVERIFY(imp.addPair(0, QStringLiteral("ADI")).ok());
    QVERIFY(imp.addPair(1, QStringLiteral("SOYADI")).ok());
    QVERIFY(imp.addPair(2, QStringLiteral("TCKIMLIK")).ok());
    QVERIFY(imp.addPair(3, QStringLiteral("SINIFI")).ok());
    auto report = imp.run(QStringLiteral("6"), m_fx.path(QStringLiteral("s.xlsx")));
    QVERIFY2(report.ok(), qPrintable(report.error()));
    QCOMPARE(report->updated, 1);
    QCOMPARE(report->added, 1);
    QCOMPARE(store::column(QStringLiteral(
                 "SELECT KAYITNO || '|' || ADI || '|' || SOYADI || '|' || SINIFI || '|' || "
                 "SEVIYE FROM TABLEOGRENCI ORDER BY VAL(KAYITNO)")),
             (QStringList{QStringLiteral("7|Yeni|Adlı|6-A|5"),
                          // m = 7, second data row -> 9; a first name with a space stays whole
                          QStringLiteral("9|Ayşe Nur|Kaya|6-A|6")}));
    Result<formats::Workbook> result = formats::Workbook::open(m_fx.path(QStringLiteral("s.xlsx")));
    QVERIFY(result.ok());
    QCOMPARE(result->sheet(0).rows.at(1).last(), QStringLiteral("Eklendi"));
    QCOMPARE(result->sheet(0).rows.at(2).last(), QStringLiteral("Güncellendi"));
  }

  void threeButtonSchoolNumbers() {
    QVERIFY(
        store::run(QStringLiteral("INSERT INTO TABLEOKUL (KURUMKODU,UCDUGME) VALUES ('99','1')"))
            .ok());
    StudentImport imp;
    imp.setWorkbook(
        book({{QStringLiteral("Ad"), QStringLiteral("Soyad"), QStringLiteral("Sınıf")},
              {QStringLiteral("Şükrü"), QStringLiteral("Çınar"), QStringLiteral("10/B")}}));
    QVERIFY(imp.addPair(0, QStringLiteral("ADI")).ok());
    QVERIFY(imp.addPair(1, QStringLiteral("SOYADI")).ok());
    QVERIFY(imp.addPair(2, QStringLiteral("SINIFI")).ok());
    QVERIFY(imp.run(QStringLiteral("5"), m_fx.path(QStringLiteral("s.xlsx"))).ok());
    QCOMPARE(store::scalar(QStringLiteral("SELECT NUMARASI FROM TABLEOGRENCI")).toString(),
             QStringLiteral("9910.1ŞükÇın"));
  }

  void refusalsChangeNothing_data() {
    QTest::addColumn<bool>("pairs");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("longCell");
    QTest::addColumn<QString>("message");
    QTest::newRow("no pairs")
        << false << "5"
        << ""
        << "Lütfen eşleşme listesine exceldeki sütunların karşılıklarını belirtiniz";
    QTest::newRow("no level") << true << ""
                              << ""
                              << "Kayıt eklemek için lütfen tanımlamalardan seviye ekleyiniz";
    QTest::newRow("cell too long")
        << true << "5" << QString(300, QLatin1Char('x'))
        << "Satır 3, sütun 2: değer çok uzun (en çok 255 karakter olabilir).";
  }
  void refusalsChangeNothing() {
    QFETCH(bool, pairs);
    QFETCH(QString, level);
    QFETCH(QString, longCell);
    QFETCH(QString, message);
    StudentImport imp;
    imp.setWorkbook(
        book({{QStringLiteral("Ad"), QStringLiteral("Soyad")},
              {QStringLiteral("Bir"), QStringLiteral("İki")},
              {QStringLiteral("Üç"), longCell.isEmpty() ? QStringLiteral("Dört") : longCell}}));
    if (pairs) {
      QVERIFY(imp.addPair(0, QStringLiteral("Adı")).ok());
      QVERIFY(imp.addPair(1, QStringLiteral("Soyadı")).ok());
    }
    auto report = imp.run(level, m_fx.path(QStringLiteral("s.xlsx")));
    QVERIFY(!report.ok());
    QCOMPARE(report.error(), message);
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 0);
    QVERIFY(!QFile::exists(m_fx.path(QStringLiteral("s.xlsx"))));
  }

  void nationalListPresetFromFile() {
    const QString path = m_fx.path(QStringLiteral("e-okul.xlsx"));
    {
      formats::XlsxWriter w(path);
      w.addSheet(QStringLiteral("Sınıf Listesi"));
      const QStringList header{QStringLiteral("S.No"), QStringLiteral("Öğrenci No"),
                               QStringLiteral("Adı"), QStringLiteral("Soyadı"),
                               QStringLiteral("Cinsiyeti")};
      for (int c = 0; c < header.size(); ++c) w.write(0, c, header.at(c));
      w.writeNumber(1, 0, 1);
      w.writeNumber(1, 1, 1453);
      w.write(1, 2, QStringLiteral("İlkay"));
      w.write(1, 3, QStringLiteral("Işıkçı"));
      w.write(1, 4, QStringLiteral("Kız"));
      QVERIFY(w.close().ok());
    }
    StudentImport imp;
    QCOMPARE(imp.openFile(m_fx.path(QStringLiteral("liste.txt"))).error(),
             QStringLiteral("Lütfen geçerli bir MS Excel dosyası seçiniz"));
    QVERIFY(imp.openFile(path).ok());
    QCOMPARE(imp.sheetNames(), QStringList{QStringLiteral("Sınıf Listesi")});
    QVERIFY(imp.isNationalList());
    QVERIFY(imp.applyNationalPreset().ok());
    QCOMPARE(imp.pairTexts(), (QStringList{QStringLiteral("2. Sütun (Öğrenci No) => Numarası"),
                                           QStringLiteral("3. Sütun (Adı) => Adı"),
                                           QStringLiteral("4. Sütun (Soyadı) => Soyadı")}));
    QVERIFY(imp.run(QStringLiteral("6"), m_fx.path(QStringLiteral("s.xlsx"))).ok());
    QCOMPARE(store::column(
                 QStringLiteral("SELECT NUMARASI || ADI || SOYADI || SEVIYE FROM TABLEOGRENCI")),
             QStringList{QStringLiteral("1453İlkayIşıkçı6")});
  }

 private:
  SchoolFixture m_fx;
};

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
