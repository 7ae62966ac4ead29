#include <QFile>
#include <QtTest>

#include "SchoolFixture.h"
#include "formats/Workbook.h"
#include "formats/XlsxWriter.h"
#include "school/StudentImport.h"
#include "school/StudentRules.h"
#include "school/Students.h"

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
    SchoolFixture::school().level(QStringLiteral("5"));
    SchoolFixture::school().level(QStringLiteral("6"));
  }
  void cleanup() { m_fx.tearDown(); }

  void addsAfterHighestNumberAndSkipsHeader() {
    SchoolFixture::addStudent(QStringLiteral("40"), QStringLiteral("Kırkıncı"),
                              QStringLiteral("5-A"));
    StudentImport imp(SchoolFixture::db());
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
    QCOMPARE(SchoolFixture::column(QStringLiteral(
                 "SELECT KAYITNO || '|' || ADI || '|' || SOYADI || '|' || NUMARASI || '|' || "
                 "SEVIYE FROM TABLEOGRENCI WHERE VAL(KAYITNO)>40 ORDER BY VAL(KAYITNO)")),
             (QStringList{QStringLiteral("41|Ali Can|Yılmaz|12.3|5"),
                          QStringLiteral("42|Zeynep|Şahin|7|5"),
                          QStringLiteral("43|Ömer Faruk|Türkiye'nin|8|5")}));
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE ADI IN ('Sıra','Adı')")),
             0);
    QCOMPARE(SchoolFixture::column(QStringLiteral(
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
    StudentImport imp(SchoolFixture::db());
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
    // The result lines: each row, what became of it and why, in the list's order.
    QCOMPARE(report->lines.size(), 2);
    QCOMPARE(report->lines.at(0).outcome, StudentImport::Line::Outcome::Updated);
    QCOMPARE(report->lines.at(0).reason,
             QStringLiteral("T.C. kimlik numarası kayıtlı (kayıt no 7)"));
    QCOMPARE(report->lines.at(1).reason, QStringLiteral("Yeni öğrenci (kayıt no 9)"));
    QCOMPARE(report->summary(), QStringLiteral("1 öğrenci eklendi, 1 öğrenci güncellendi."));
    QCOMPARE(SchoolFixture::column(QStringLiteral(
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
    SchoolFixture::school().institution(QStringLiteral("99"));
    SchoolFixture::school().threeButtons();
    StudentImport imp(SchoolFixture::db());
    imp.setWorkbook(
        book({{QStringLiteral("Ad"), QStringLiteral("Soyad"), QStringLiteral("Sınıf")},
              {QStringLiteral("Şükrü"), QStringLiteral("Çınar"), QStringLiteral("10/B")}}));
    QVERIFY(imp.addPair(0, QStringLiteral("ADI")).ok());
    QVERIFY(imp.addPair(1, QStringLiteral("SOYADI")).ok());
    QVERIFY(imp.addPair(2, QStringLiteral("SINIFI")).ok());
    QVERIFY(imp.run(QStringLiteral("5"), m_fx.path(QStringLiteral("s.xlsx"))).ok());
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT NUMARASI FROM TABLEOGRENCI")),
             QStringLiteral("9910.1ŞükÇın"));
  }

  void refusalsChangeNothing_data() {
    QTest::addColumn<bool>("pairs");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("longCell");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("file");
    QTest::newRow("no pairs")
        << false << "5"
        << ""
        << "Lütfen eşleşme listesine exceldeki sütunların karşılıklarını belirtiniz"
        << "liste.xlsx";
    // The sentence names the kind of file that was chosen.
    QTest::newRow("no pairs, calc sheet")
        << false << "5"
        << ""
        << "Lütfen eşleşme listesine tablodaki sütunların karşılıklarını belirtiniz"
        << "liste.ods";
    QTest::newRow("no pairs, text file")
        << false << "5"
        << ""
        << "Lütfen eşleşme listesine dosyadaki sütunların karşılıklarını belirtiniz"
        << "liste.csv";
    QTest::newRow("no level, no class")
        << true << ""
        << ""
        << "Satır 2: öğrencinin sınıfı da seviyesi de yok; lütfen seviyeyi seçiniz."
        << "";
    QTest::newRow("cell too long")
        << true << "5" << QString(300, QLatin1Char('x'))
        << "Satır 3, sütun 2: değer çok uzun (en çok 255 karakter olabilir)."
        << "";
  }
  void refusalsChangeNothing() {
    QFETCH(bool, pairs);
    QFETCH(QString, level);
    QFETCH(QString, longCell);
    QFETCH(QString, message);
    QFETCH(QString, file);
    StudentImport imp(SchoolFixture::db());
    imp.setWorkbook(
        book({{QStringLiteral("Ad"), QStringLiteral("Soyad")},
              {QStringLiteral("Bir"), QStringLiteral("İki")},
              {QStringLiteral("Üç"), longCell.isEmpty() ? QStringLiteral("Dört") : longCell}}),
        file);
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

  // Importing a list again finds every listed student instead of adding a
  // second copy; only a row that stands for nobody stored is added.
  void reimportFindsListedStudents_data() {
    QTest::addColumn<QStringList>("stored");  // KAYITNO|ADI|SOYADI|NUMARASI|SINIFI|TC|SILINDIMI
    QTest::addColumn<QStringList>("row");     // Adı|Soyadı|No|Sınıf|TC of the one listed row
    QTest::addColumn<QString>("chosenClass");
    QTest::addColumn<int>("updated");
    QTest::addColumn<QString>("after");  // the students afterwards, KAYITNO:ADI:SINIFI
    QTest::newRow("same number, same class")
        << QStringList{"1|Ali|Kaya|501|7-A||"} << QStringList{"Ali", "Kaya", "501", "7-A", ""} << ""
        << 1 << "1:Ali:7-A";
    QTest::newRow("number from the class field")
        << QStringList{"1|Ali|Kaya|501|7-A||"} << QStringList{"Ali", "Kaya", "501", "", ""} << "7-A"
        << 1 << "1:Ali:7-A";
    QTest::newRow("number written with a dash")
        << QStringList{"1|Ali|Kaya|12.3|7-A||"} << QStringList{"Ali", "Kaya", "12-3", "7-A", ""}
        << "" << 1 << "1:Ali:7-A";
    QTest::newRow("same number, other class")
        << QStringList{"1|Ali|Kaya|501|7-B||"} << QStringList{"Ali", "Kaya", "501", "7-A", ""} << ""
        << 0 << "1:Ali:7-B,2:Ali:7-A";
    QTest::newRow("no number: names the Turkish way")
        << QStringList{"1|İLKAY|IŞIKÇI||7-A||"} << QStringList{"ilkay", "ışıkçı", "", "7-A", ""}
        << "" << 1 << "1:ilkay:7-A";
    QTest::newRow("no number: dotted and dotless i differ")
        << QStringList{"1|Ilkay|Işık||7-A||"} << QStringList{"İlkay", "Işık", "", "7-A", ""} << ""
        << 0 << "1:Ilkay:7-A,2:İlkay:7-A";
    QTest::newRow("deleted student is not found")
        << QStringList{"1|Ali|Kaya|501|7-A||01.01.2024 10:00:00"}
        << QStringList{"Ali", "Kaya", "501", "7-A", ""} << "" << 0 << "2:Ali:7-A";
    QTest::newRow("new identity number of a student imported without one")
        << QStringList{"1|Ali|Kaya|501|7-A||"}
        << QStringList{"Ali", "Kaya", "501", "7-A", "10000000146"} << "" << 1 << "1:Ali:7-A";
    QTest::newRow("other identity number is another student")
        << QStringList{"1|Ali|Kaya|501|7-A|10000000078|"}
        << QStringList{"Ali", "Kaya", "501", "7-A", "10000000146"} << "" << 0
        << "1:Ali:7-A,2:Ali:7-A";
    QTest::newRow("two of one name: each found once")
        << QStringList{"1|Ali|Kaya||7-A||", "2|Ali|Kaya||7-A||"}
        << QStringList{"Ali", "Kaya", "", "7-A", ""} << "" << 1 << "1:Ali:7-A,2:Ali:7-A";
  }
  void reimportFindsListedStudents() {
    QFETCH(QStringList, stored);
    QFETCH(QStringList, row);
    QFETCH(QString, chosenClass);
    QFETCH(int, updated);
    QFETCH(QString, after);
    // Rows the student form refuses (no school number, deleted ones) are written as such.
    for (const QString& s : stored) {
      const QStringList f = s.split(QLatin1Char('|'));
      QVERIFY(
          SchoolFixture::db()
              .run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI,SOYADI,NUMARASI,"
                                  "SINIFI,TCKIMLIK,SILINDIMI,SEVIYE) VALUES (?,?,?,?,?,?,?,'5')"),
                   {f[0], f[1], f[2], f[3], f[4], f[5], f[6]})
              .ok());
    }
    StudentImport imp(SchoolFixture::db());
    imp.setWorkbook(book({{QStringLiteral("Adı"), QStringLiteral("Soyadı"), QStringLiteral("No"),
                           QStringLiteral("Sınıf"), QStringLiteral("TC")},
                          row}));
    QVERIFY(imp.addPair(0, QStringLiteral("ADI")).ok());
    QVERIFY(imp.addPair(1, QStringLiteral("SOYADI")).ok());
    QVERIFY(imp.addPair(2, QStringLiteral("NUMARASI")).ok());
    QVERIFY(imp.addPair(3, QStringLiteral("SINIFI")).ok());
    QVERIFY(imp.addPair(4, QStringLiteral("TCKIMLIK")).ok());
    imp.setClassName(chosenClass);
    for (int round = 0; round < 2; ++round) {  // the second round finds what the first added
      auto report = imp.run(QStringLiteral("5"), m_fx.path(QStringLiteral("s.xlsx")));
      QVERIFY2(report.ok(), qPrintable(report.error()));
      QCOMPARE(report->updated, round == 0 ? updated : 1);
      QCOMPARE(report->added, round == 0 ? 1 - updated : 0);
    }
    QCOMPARE(
        SchoolFixture::column(QStringLiteral("SELECT KAYITNO || ':' || ADI || ':' || SINIFI FROM "
                                             "TABLEOGRENCI WHERE NZ(SILINDIMI)='' ORDER BY "
                                             "VAL(KAYITNO)"))
            .join(QLatin1Char(',')),
        after);
    Result<formats::Workbook> result = formats::Workbook::open(m_fx.path(QStringLiteral("s.xlsx")));
    QVERIFY(result.ok());
    QCOMPARE(result->cell(0, 1, 6), QStringLiteral("Güncellendi"));
  }

  // An e-Okul list: title lines above the "S.No" header name the class; the
  // class field gets it and every student without a class of its own too.
  // Without a chosen level a new student takes the level of its class's grade, by
  // the rule a student added by hand follows; a class without one stops it all.
  void levelFollowsTheClassLikeAStudentAddedByHand() {
    SchoolFixture::school().level(QStringLiteral("1. SINIF"));
    SchoolFixture::school().level(QStringLiteral("7. SINIF"));
    StudentImport imp(SchoolFixture::db());
    imp.setWorkbook(book({{QStringLiteral("Ad"), QStringLiteral("Soyad"), QStringLiteral("Sınıf")},
                          {QStringLiteral("Bir"), QStringLiteral("İki"), QString()},
                          {QStringLiteral("Üç"), QStringLiteral("Dört"), QStringLiteral("8-A")}}));
    QVERIFY(imp.addPair(0, QStringLiteral("Adı")).ok());
    QVERIFY(imp.addPair(1, QStringLiteral("Soyadı")).ok());
    QVERIFY(imp.addPair(2, QStringLiteral("Sınıfı")).ok());
    imp.setClassName(QStringLiteral("7-C"));
    const auto refused = imp.run({}, m_fx.path(QStringLiteral("s.xlsx")));
    QVERIFY(!refused.ok());
    QCOMPARE(
        refused.error(),
        QStringLiteral("Satır 3: 8-A sınıfı bir seviye belirtmiyor; lütfen seviyeyi seçiniz."));
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 0);
    imp.setWorkbook(book({{QStringLiteral("Ad"), QStringLiteral("Soyad"), QStringLiteral("Sınıf")},
                          {QStringLiteral("Bir"), QStringLiteral("İki"), QString()}}));
    QVERIFY(imp.addPair(0, QStringLiteral("Adı")).ok());
    QVERIFY(imp.addPair(1, QStringLiteral("Soyadı")).ok());
    imp.setClassName(QStringLiteral("7-C"));
    QVERIFY(imp.run({}, m_fx.path(QStringLiteral("s.xlsx"))).ok());
    QCOMPARE(
        SchoolFixture::column(QStringLiteral("SELECT SINIFI || ':' || SEVIYE FROM TABLEOGRENCI")),
        QStringList{QStringLiteral("7-C:7. SINIF")});
    QCOMPARE(school::studentLevel({}, QStringLiteral("7-C"), imp.levels()),
             QStringLiteral("7. SINIF"));
    QCOMPARE(school::studentLevel(QStringLiteral("5"), QStringLiteral("7-C"), imp.levels()),
             QStringLiteral("5"));
  }

  void classFromTheListsTitle() {
    formats::Workbook b;
    b.addSheet(QStringLiteral("Sayfa1"),
               {{QStringLiteral("T.C. MİLLÎ EĞİTİM BAKANLIĞI")},
                {QStringLiteral("ATATÜRK ORTAOKULU")},
                {QStringLiteral("2024-2025 Eğitim Öğretim Yılı 7. Sınıf / A Şubesi Sınıf Listesi")},
                {},
                {QStringLiteral("S.No"), QStringLiteral("Öğrenci No"), QStringLiteral("Adı"),
                 QStringLiteral("Soyadı"), QStringLiteral("Sınıfı")},
                {QStringLiteral("1"), QStringLiteral("501"), QStringLiteral("Ece"),
                 QStringLiteral("Kaya")},
                {QStringLiteral("2"), QStringLiteral("502"), QStringLiteral("Can"),
                 QStringLiteral("Er"), QStringLiteral("7-B")},
                {QStringLiteral("S.No"), QStringLiteral("Öğrenci No"), QStringLiteral("Adı"),
                 QStringLiteral("Soyadı"), QStringLiteral("Sınıfı")},
                {QStringLiteral("3"), QStringLiteral("503"), QStringLiteral("Nur"),
                 QStringLiteral("Ak")}});
    StudentImport imp(SchoolFixture::db());
    imp.setWorkbook(b);
    QCOMPARE(imp.headerRow(), 4);
    QCOMPARE(imp.className(), QStringLiteral("7-A"));
    QVERIFY(imp.isNationalList());
    // Recognised by its header: paired without asking.
    QVERIFY(imp.presetApplied());
    QCOMPARE(imp.pairs().size(), 4);
    QCOMPARE(imp.columnEntries().at(2), QStringLiteral("3. Sütun (Adı)"));
    QVERIFY(imp.applyNationalPreset().ok());
    auto report = imp.run(QStringLiteral("5"), m_fx.path(QStringLiteral("s.xlsx")));
    QVERIFY2(report.ok(), qPrintable(report.error()));
    QCOMPARE(report->added, 3);  // neither the titles nor the repeated header
    // The row's own class wins; the others take the list's; numbering follows
    // the rows under the header.
    QCOMPARE(
        SchoolFixture::column(QStringLiteral("SELECT KAYITNO || ':' || ADI || ':' || SINIFI FROM "
                                             "TABLEOGRENCI ORDER BY VAL(KAYITNO)")),
        (QStringList{QStringLiteral("1:Ece:7-A"), QStringLiteral("2:Can:7-B"),
                     QStringLiteral("4:Nur:7-A")}));
    QVERIFY(school::Students(SchoolFixture::db())
                .classNames()
                .valueOr({})
                .contains(QStringLiteral("7-A")));
  }

  void classNamedByText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sinifi");
    QTest::newRow("e-Okul") << "7. Sınıf / A Şubesi"
                            << "7-A";
    QTest::newRow("in a sentence") << "2024-2025 ... 11. SINIF / İ ŞUBESİ SINIF LİSTESİ"
                                   << "11-İ";
    QTest::newRow("no dot, no slash") << "5.sınıf b şubesi"
                                      << "5-B";
    QTest::newRow("label first") << "Sınıfı/Şubesi : 9 / C"
                                 << "9-C";
    QTest::newRow("label with dash") << "Sınıf - Şube: 10-D"
                                     << "10-D";
    QTest::newRow("school name only") << "Atatürk Ortaokulu"
                                      << "";
    QTest::newRow("class without section") << "7. Sınıf"
                                           << "";
  }
  void classNamedByText() {
    QFETCH(QString, text);
    QFETCH(QString, sinifi);
    QCOMPARE(StudentImport::classFromText(text), sinifi);
  }

  // One spreadsheet column feeds one field: pairing it twice is refused.
  void oneColumnPairedOnce() {
    StudentImport imp(SchoolFixture::db());
    imp.setWorkbook(book({{QStringLiteral("Ad"), QStringLiteral("Soyad")}}));
    QVERIFY(imp.addPair(0, QStringLiteral("ADI")).ok());
    QCOMPARE(imp.addPair(0, QStringLiteral("SOYADI")).error(),
             QStringLiteral("1. sütun zaten eşleştirilmiş."));
    QCOMPARE(imp.pairs().size(), 1);
  }

  // A name typed over two lines of one cell is one name; a quote left open
  // refuses the file instead of swallowing the rest into one student.
  void csvLineBreaksAndOpenQuotes() {
    const QString good = m_fx.path(QStringLiteral("liste.csv"));
    QFile f(good);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        "Ad;Soyad\n\"Ay\xC5\x9F"
        "e\nNur\";Kaya\n\"Ali\";\"Er\"\n");
    f.close();
    StudentImport imp(SchoolFixture::db());
    QVERIFY(imp.openFile(good).ok());
    QVERIFY(imp.addPair(0, QStringLiteral("ADI")).ok());
    QVERIFY(imp.addPair(1, QStringLiteral("SOYADI")).ok());
    QVERIFY(imp.run(QStringLiteral("5"), m_fx.path(QStringLiteral("s.xlsx"))).ok());
    QCOMPARE(
        SchoolFixture::column(QStringLiteral("SELECT ADI || '|' || SOYADI FROM TABLEOGRENCI ORDER "
                                             "BY VAL(KAYITNO)")),
        (QStringList{QStringLiteral("Ayşe Nur|Kaya"), QStringLiteral("Ali|Er")}));

    const QString bad = m_fx.path(QStringLiteral("acik.csv"));
    QFile g(bad);
    QVERIFY(g.open(QIODevice::WriteOnly));
    g.write("Ad;Soyad\nAli;Er\n\"Veli;Kaya\nAyşe;Nur\n");
    g.close();
    StudentImport second(SchoolFixture::db());
    QCOMPARE(second.openFile(bad).error(), QStringLiteral("Satır 3: kapanmayan tırnak"));
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 2);
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
    StudentImport imp(SchoolFixture::db());
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
    QCOMPARE(SchoolFixture::column(
                 QStringLiteral("SELECT NUMARASI || ADI || SOYADI || SEVIYE FROM TABLEOGRENCI")),
             QStringList{QStringLiteral("1453İlkayIşıkçı6")});
  }

 private:
  SchoolFixture m_fx;
};

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
