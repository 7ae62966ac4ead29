#include <QImage>
#include <QSqlRecord>
#include <QtTest>

#include <thread>

#include "PackageDatabaseFile.h"
#include "SchoolFixture.h"
#include "curriculum/OfferedValues.h"
#include "curriculum/Units.h"
#include "exchange/StudentPackage.h"
#include "formats/ZipArchive.h"
#include "lists/SutunBaslik.h"
#include "school/BulkChange.h"
#include "school/IdentityNumber.h"
#include "school/StudentForm.h"
#include "school/StudentPhotos.h"
#include "school/StudentRules.h"
#include "school/Students.h"
#include "store/Institution.h"

using school::IdentityNumber;
using school::StudentForm;
using school::Students;

class TestStudents : public QObject {
  Q_OBJECT

  static store::Store& db() { return SchoolFixture::db(); }
  RecordedMessages& messages() { return m_fx.messages(); }
  school::StudentPhotos photos() { return school::StudentPhotos(db()); }

 private slots:
  void init() { m_fx.setUp(); }
  void cleanup() { m_fx.tearDown(); }

  void identityNumberRules_data() {
    QTest::addColumn<QString>("tc");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("message");
    // 1+0+0+0+0+0+0+0+0+2 = 3 -> a valid number ends in 3.
    QTest::newRow("empty accepted") << "" << false << false << true << "";
    QTest::newRow("valid") << "10000000023" << false << false << true << "";
    QTest::newRow("ten digits refused")
        << "1000000002" << true << false << false << "Lütfen TC kimlik noyu kontrol ediniz";
    QTest::newRow("checksum no") << "10000000024" << false << true << false << "";
    QTest::newRow("checksum yes") << "10000000024" << true << true << true << "";
  }
  void identityNumberRules() {
    QFETCH(QString, tc);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(bool, saved);
    QFETCH(QString, message);
    StudentForm form(db());
    QVERIFY(form.beginNew().ok());
    QCOMPARE(form.saveButtonCaption(), QStringLiteral("Ekle"));
    form.student().adi = QStringLiteral("Ayşe");
    form.student().soyadi = QStringLiteral("Yılmaz'oğlu");
    form.student().numarasi = QStringLiteral("12");
    form.student().seviye = QStringLiteral("5. SINIF");
    form.student().tcKimlik = tc;
    messages().setNextAnswer(answer ? Messages::Answer::Yes : Messages::Answer::No);
    const Status s = form.save(messages());
    QCOMPARE(s.ok(), saved);
    QCOMPARE(s.error(), message);
    const QStringList questions = messages().texts();
    QCOMPARE(questions.isEmpty(), !asked);
    if (asked) QCOMPARE(questions.first(), IdentityNumber::wrongChecksumQuestion());
    if (!saved) QCOMPARE(form.focusField(), StudentForm::Field::TcKimlik);
    QCOMPARE(
        SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SOYADI=?"),
                             {QStringLiteral("Yılmaz'oğlu")}),
        saved ? 1 : 0);
  }

  void emptyFieldsRefused() {
    StudentForm form(db());
    QVERIFY(form.beginNew().ok());
    QVERIFY(!form.hasChanges());
    form.student().adi = QStringLiteral("Ali");
    QVERIFY(form.hasChanges());
    QCOMPARE(form.save(messages()).error(), StudentForm::emptyFieldsMessage());
    QCOMPARE(form.focusField(), StudentForm::Field::Soyadi);
    // Without a level the student would drop out of every list chosen by level.
    form.student().soyadi = QStringLiteral("Kaya");
    form.student().numarasi = QStringLiteral("7");
    QCOMPARE(form.save(messages()).error(), StudentForm::levelMissingMessage());
    QCOMPARE(form.focusField(), StudentForm::Field::Seviye);
    form.student().seviye = QStringLiteral("   ");
    QCOMPARE(form.save(messages()).error(), StudentForm::levelMissingMessage());
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 0);
    form.student().seviye = QStringLiteral("5. SINIF");
    QVERIFY(form.save(messages()).ok());
    QVERIFY(!form.hasChanges());
    QVERIFY(form.edit(QStringLiteral("1")).ok());
    QVERIFY(!form.hasChanges());
    form.student().sinifi = QStringLiteral("5-B");
    QVERIFY(form.hasChanges());
  }

  // A class's grade names its level; "1-A" is not in "10. SINIF" nor "10-A" in "1. SINIF".
  void levelOfClassTakesTheWholeGrade() {
    const QStringList levels{QStringLiteral("1. SINIF"), QStringLiteral("10. SINIF"),
                             QStringLiteral("ANASINIFI")};
    QCOMPARE(school::levelOfClass(QStringLiteral("10-A"), levels), QStringLiteral("10. SINIF"));
    QCOMPARE(school::levelOfClass(QStringLiteral("1-A"), levels), QStringLiteral("1. SINIF"));
    QCOMPARE(school::levelOfClass(QStringLiteral("9-A"), levels), QString());
    QCOMPARE(school::levelOfClass(QString(), levels), QString());
  }

  // The form and derslik-cli students add keep the import's limits: no field
  // over 255 characters, each one line (a tab or a line break would split the
  // lists written from it), and one school number once per class.
  void lengthAndNumberRules() {
    auto add = [this](const QString& adi, const QString& numarasi, const QString& sinifi) {
      StudentForm form(db());
      [&] { QVERIFY(form.beginNew().ok()); }();
      form.student().adi = adi;
      form.student().soyadi = QStringLiteral("Yılmaz");
      form.student().numarasi = numarasi;
      form.student().sinifi = sinifi;
      form.student().seviye = QStringLiteral("5. SINIF");
      const Status s = form.save(messages());
      return std::make_pair(s.ok() ? QString() : s.error(), form.focusField());
    };
    const auto longName =
        add(QString(256, QChar(u'ş')), QStringLiteral("1"), QStringLiteral("5-A"));
    QCOMPARE(longName.first,
             QStringLiteral("Adı en çok 255 karakter olabilir (256 karakter yazıldı)."));
    QCOMPARE(longName.second, StudentForm::Field::Adi);
    QVERIFY(
        add(QString(255, QChar(u'ş')), QStringLiteral("1"), QStringLiteral("5-A")).first.isEmpty());
    for (const QString& name : {QStringLiteral("Ali\tVeli"), QStringLiteral("Ali\nVeli")}) {
      const auto split = add(name, QStringLiteral("7"), QStringLiteral("5-A"));
      QCOMPARE(split.first,
               QStringLiteral("Adı sekme, satır sonu ya da başka bir denetim karakteri içeremez."));
      QCOMPARE(split.second, StudentForm::Field::Adi);
    }
    const auto twice = add(QStringLiteral("Veli"), QStringLiteral(" 1 "), QStringLiteral("5-A"));
    QVERIFY2(
        twice.first.startsWith(QStringLiteral("5-A sınıfında 1 numaralı bir öğrenci zaten var")),
        qPrintable(twice.first));
    QCOMPARE(twice.second, StudentForm::Field::Numarasi);
    QVERIFY(
        add(QStringLiteral("Veli"), QStringLiteral("1"), QStringLiteral("5-B")).first.isEmpty());
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 2);
    // Editing a student keeps its own number; a deleted student frees it.
    StudentForm form(db());
    QVERIFY(form.edit(QStringLiteral("1")).ok());
    form.student().soyadi = QStringLiteral("Kaya");
    QVERIFY(form.save(messages()).ok());
    QVERIFY(Students(db()).remove({QStringLiteral("1")}).ok());
    QVERIFY(add(QStringLiteral("Can"), QStringLiteral("1"), QStringLiteral("5-A")).first.isEmpty());
  }

  void registrationNumbersAfterPurge() {
    QCOMPARE(Students(db()).nextRegistrationNumber().value(), qint64(1));
    for (int i = 1; i <= 5; ++i) {
      StudentForm form(db());
      QVERIFY(form.beginNew().ok());
      QCOMPARE(form.student().kayitNo, QString::number(i));
      form.student().adi = QStringLiteral("Öğrenci");
      form.student().soyadi = QString::number(i);
      form.student().numarasi = QString::number(i);
      form.student().seviye = QStringLiteral("5. SINIF");
      QVERIFY(form.save(messages()).ok());
    }
    QCOMPARE(Students(db()).remove({QStringLiteral("5")}).value(), 1);
    QCOMPARE(Students(db()).nextRegistrationNumber().value(), qint64(5));
  }

  void softDeleteKeepsStudentsWithAnswers() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Cevaplı"),
                              QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("2"), QStringLiteral("Cevapsız"),
                              QStringLiteral("5-A"));
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("1"));
    SchoolFixture::pair(QStringLiteral("12-202"), QStringLiteral("2"));
    SchoolFixture::school().run(SchoolFixture::school().test(QStringLiteral("Deneme"), "A"),
                                {{QStringLiteral("12-201"), QStringLiteral("A")}});
    QVERIFY(TestSchool::photo(db(), QStringLiteral("1"), photos().placeholderPath()).ok());
    QVERIFY(photos().has(QStringLiteral("1")));
    QCOMPARE(Students::deleteQuestion({QStringLiteral("1")}),
             QStringLiteral("Bu 1 numaralı kaydı silmek istediğinizden emin misiniz?"));
    QCOMPARE(Students::deleteQuestion({QStringLiteral("1"), QStringLiteral("2")}),
             QStringLiteral("Bu 2 kaydı silmek istediğinizden emin misiniz?"));
    const QDateTime when(QDate(2025, 3, 4), QTime(9, 5, 7));
    QCOMPARE(Students(db()).remove({QStringLiteral("1"), QStringLiteral("2")}, when).value(), 1);
    QCOMPARE(
        SchoolFixture::text(QStringLiteral("SELECT SILINDIMI FROM TABLEOGRENCI WHERE KAYITNO='1'")),
        QStringLiteral("04.03.2025 09:05:07"));
    QCOMPARE(
        SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO='2'")),
        0);
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 0);
    QVERIFY(!photos().has(QStringLiteral("1")));
    QVERIFY(photos().displayPath(QStringLiteral("1")).endsWith(QStringLiteral("ResimYok.jpg")));
    // The active list no longer shows it; numbering still counts it.
    QCOMPARE(SchoolFixture::column(Students::activeListQuery().sql).size(), 0);
    QCOMPARE(Students(db()).nextRegistrationNumber().value(), qint64(2));
  }

  void classChangePairingRule_data() {
    QTest::addColumn<bool>("remoteUsedInNewClass");
    QTest::newRow("remote used there: pairing removed") << true;
    QTest::newRow("remote free there: pairing kept") << false;
  }
  void classChangePairingRule() {
    QFETCH(bool, remoteUsedInNewClass);
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Gezgin"), QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("2"), QStringLiteral("Yerli"), QStringLiteral("6-A"));
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("1"));
    SchoolFixture::pair(remoteUsedInNewClass ? QStringLiteral("12-201") : QStringLiteral("12-202"),
                        QStringLiteral("2"));
    SchoolFixture::school().run(SchoolFixture::school().test(QStringLiteral("Deneme"), "A"),
                                {{QStringLiteral("12-201"), QStringLiteral("A")}});
    StudentForm form(db());
    QVERIFY(form.edit(QStringLiteral("1")).ok());
    QCOMPARE(form.saveButtonCaption(), QStringLiteral("Düzelt"));
    form.student().sinifi = QStringLiteral("6-A");
    form.student().adi = QStringLiteral("Gezgin Can");
    QVERIFY(form.save(messages()).ok());
    QCOMPARE(
        SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME WHERE KAYITNO='1'")),
        remoteUsedInNewClass ? 0 : 1);
    QCOMPARE(
        SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME WHERE KAYITNO='2'")),
        1);
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT ADI FROM TABLESONUC WHERE KAYITNO='1'")),
             QStringLiteral("Gezgin Can"));
  }

  void bulkClassChangeNeverSharesARemote() {
    // Two students of different classes share remote 12-201 and both move to 7-A.
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Bir"), QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("2"), QStringLiteral("İki"), QStringLiteral("6-A"));
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("1"));
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("2"));
    const school::BulkChange::Target* t = school::BulkChange::target(QStringLiteral("Sınıflar"));
    QVERIFY(t);
    QVERIFY(school::BulkChange(db())
                .apply(*t, QStringLiteral("7-A"), {QStringLiteral("1"), QStringLiteral("2")})
                .ok());
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='7-A'")),
             2);
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME WHERE KUMANDAADRESI='12-201'")),
             1);
    // Test rows through their own map entry, with a filter.
    TestSchool::Test fen;
    fen.ders = QStringLiteral("Fen");
    for (const char* level : {"5", "6"}) {
      fen.seviye = QString::fromLatin1(level);
      SchoolFixture::school().test(fen);
    }
    const school::BulkChange::Target* ders =
        school::BulkChange::target(QStringLiteral("Test Ders"));
    school::BulkChange::TestFilter filter;
    filter.curriculum.level = QStringLiteral("6");
    filter.curriculum.course = QStringLiteral("TÜMÜ");
    const store::Query rows = school::BulkChange::rowsQuery(*ders, filter);
    QCOMPARE(SchoolFixture::column(rows.sql, rows.params), QStringList{QStringLiteral("2")});
    QVERIFY(school::BulkChange(db())
                .apply(*ders, QStringLiteral("Türkçe"), {QStringLiteral("2")})
                .ok());
    QCOMPARE(SchoolFixture::column(QStringLiteral("SELECT DERS FROM TABLETEST ORDER BY TESTNO")),
             (QStringList{QStringLiteral("Fen"), QStringLiteral("Türkçe")}));
  }

  void hidingAUsedCourseKeepsItOffered() {
    curriculum::OfferedValues courses(db(), curriculum::OfferedValues::Kind::Course);
    QVERIFY(courses.add(QStringLiteral("Matematik")).ok());
    QVERIFY(courses.add(QStringLiteral("Müzik")).ok());
    QCOMPARE(courses.add(QStringLiteral("Müzik")).error(),
             QStringLiteral("Bu tanım daha önce eklenmiş"));
    authoring::Question math = TestSchool::newQuestion();
    math.ders = QStringLiteral("Matematik");
    SchoolFixture::school().question(math);
    const Result<QStringList> kept =
        courses.hide({QStringLiteral("Matematik"), QStringLiteral("Müzik")});
    QVERIFY(kept.ok());
    QCOMPARE(kept.value(), QStringList{QStringLiteral("Matematik")});
    QCOMPARE(courses.offeredValues().value(), QStringList{QStringLiteral("Matematik")});
    QCOMPARE(courses.hiddenValues().value(), QStringList{QStringLiteral("Müzik")});
    QVERIFY(courses.offer({QStringLiteral("Müzik")}).ok());
    QCOMPARE(courses.hiddenValues().value(), QStringList());
  }

  // Each use has its own flag: a level that only students use is not shown as
  // used by questions, and still stays offered.
  void usedFlagsSayWhatUsesAValue() {
    curriculum::OfferedValues levels(db(), curriculum::OfferedValues::Kind::Level);
    QVERIFY(levels.add(QStringLiteral("5. SINIF")).ok());
    QVERIFY(levels.add(QStringLiteral("6. SINIF")).ok());
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"),
                              QStringLiteral("5. SINIF"));
    TestSchool::Test sixth;
    sixth.seviye = QStringLiteral("6. SINIF");
    SchoolFixture::school().test(sixth);
    const store::Query q = levels.offeredQuery();
    Result<QSqlQuery> rows = db().exec(q.sql, q.params);
    QVERIFY(rows.ok());
    QSqlRecord header = rows.value().record();
    QCOMPARE(header.fieldName(1), QStringLiteral("KULLANILMISSORU"));
    QCOMPARE(header.fieldName(2), QStringLiteral("KULLANILMISOGRENCI"));
    QCOMPARE(header.fieldName(3), QStringLiteral("KULLANILMISTEST"));
    QStringList flags;
    while (rows.value().next())
      flags << QStringLiteral("%1:%2%3%4")
                   .arg(rows.value().value(0).toString(), rows.value().value(1).toString(),
                        rows.value().value(2).toString(), rows.value().value(3).toString());
    QCOMPARE(flags, (QStringList{QStringLiteral("5. SINIF:010"), QStringLiteral("6. SINIF:001")}));
    QCOMPARE(levels.hide({QStringLiteral("5. SINIF"), QStringLiteral("6. SINIF")}).value(),
             (QStringList{QStringLiteral("5. SINIF"), QStringLiteral("6. SINIF")}));
    // For courses the second flag is the unit definitions.
    curriculum::OfferedValues courses(db(), curriculum::OfferedValues::Kind::Course);
    QVERIFY(courses.add(QStringLiteral("Fen")).ok());
    QVERIFY(
        curriculum::Units(db())
            .add({QStringLiteral("5. SINIF"), QStringLiteral("Fen"), QStringLiteral("Canlılar")})
            .ok());
    const store::Query c = courses.offeredQuery();
    QCOMPARE(SchoolFixture::column(
                 QStringLiteral("SELECT KULLANILMISSORU || KULLANILMISUNITE FROM (%1)").arg(c.sql),
                 c.params),
             QStringList{QStringLiteral("01")});
    QCOMPARE(lists::sutunBaslik(QStringLiteral("KULLANILMISOGRENCI")),
             QStringLiteral("Öğrencide Kullanılmış"));
  }

  void unitsRenameCarriesAndRefusesDuplicates() {
    const curriculum::Units::Key unit{QStringLiteral("5"), QStringLiteral("Fen"),
                                      QStringLiteral("Canlılar")};
    QVERIFY(curriculum::Units(db()).add(unit).ok());
    QCOMPARE(curriculum::Units(db()).add(unit).error(),
             QStringLiteral("Bu seviye ve ders için bu konu daha önce tanımlanmış"));
    QCOMPARE(curriculum::Units(db())
                 .add({QStringLiteral("5"), QStringLiteral("Fen"), QString()})
                 .error(),
             QStringLiteral("Ünite bilgisi boş bırakılamaz"));
    // The same unit name in another course is a different unit.
    QVERIFY(curriculum::Units(db())
                .add({QStringLiteral("6"), QStringLiteral("Fen"), QStringLiteral("Canlılar")})
                .ok());
    authoring::Question living = TestSchool::newQuestion();
    living.seviye = QStringLiteral("5");
    living.ders = QStringLiteral("Fen");
    living.unite = QStringLiteral("Canlılar");
    SchoolFixture::school().question(living);
    const curriculum::Units::Key renamed{QStringLiteral("5"), QStringLiteral("Fen"),
                                         QStringLiteral("Canlılar Dünyası")};
    QVERIFY(curriculum::Units(db()).rename(unit, renamed).ok());
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT UNITE FROM TABLESORU")), renamed.unite);
    QVERIFY(curriculum::Units(db()).remove(renamed).ok());
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLETANIMLAMALAR WHERE UNITE='Canlılar'")),
             1);
  }

  void studentFileRoundTrip() {
    SchoolFixture::addStudent(QStringLiteral("3"), QStringLiteral("Şule"), QStringLiteral("5-A"),
                              QStringLiteral("5"), QStringLiteral("10000000023"));
    SchoolFixture::addStudent(QStringLiteral("10"), QStringLiteral("Ümit"), QStringLiteral("5-A"));
    const QString file = m_fx.path(QStringLiteral("Kayit.ckk"));
    QVERIFY(exchange::StudentPackage(db())
                .write({QStringLiteral("3"), QStringLiteral("10")}, file)
                .ok());
    for (int round = 0; round < 2; ++round) {
      const Result<int> added = exchange::StudentPackage(db()).read(file);
      QVERIFY2(added.ok(), qPrintable(added.error()));
      QCOMPARE(added.value(), 2);
    }
    // Read twice: 11, 12 and then 13, 14, in the order of the numbers in the file.
    QCOMPARE(SchoolFixture::column(QStringLiteral(
                 "SELECT KAYITNO || ADI || NZ(TCKIMLIK) FROM TABLEOGRENCI ORDER BY VAL(KAYITNO)")),
             (QStringList{QStringLiteral("3Şule10000000023"), QStringLiteral("10Ümit"),
                          QStringLiteral("11Şule10000000023"), QStringLiteral("12Ümit"),
                          QStringLiteral("13Şule10000000023"), QStringLiteral("14Ümit")}));
    // A name in a file from elsewhere is one line too.
    const QString split = m_fx.path(QStringLiteral("sekmeli.ckk"));
    QVERIFY(formats::ZipArchive::write(
                split, {{exchange::StudentPackage::kMember,
                         packageDatabase(m_fx.path(QStringLiteral("sekmeli.db")),
                                         {QStringLiteral("CREATE TABLE TABLEOGRENCI (KAYITNO TEXT, "
                                                         "ADI TEXT, SOYADI TEXT)"),
                                          QStringLiteral("INSERT INTO TABLEOGRENCI VALUES "
                                                         "('1',char(65,9,66),'Can')")})}})
                .ok());
    const Result<int> refused = exchange::StudentPackage(db()).read(split);
    QVERIFY(!refused.ok());
    QCOMPARE(refused.error(),
             QStringLiteral("Satır 1: ADI sekme, satır sonu ya da başka bir denetim karakteri "
                            "içeremez."));
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 6);
  }

  // Two boards of one school read the same student file at the same moment: both
  // append (reading never merges), and no registration number is given twice.
  void twoBoardsReadTheSameFileAtOnce() {
    for (int s = 1; s <= 30; ++s)
      SchoolFixture::addStudent(QString::number(s), QStringLiteral("Ad%1").arg(s),
                                QStringLiteral("6-B"));
    QStringList all;
    for (int s = 1; s <= 30; ++s) all << QString::number(s);
    const QString file = m_fx.path(QStringLiteral("Sinif.ckk"));
    QVERIFY(exchange::StudentPackage(db()).write(all, file).ok());
    QTemporaryDir other;
    Result<int> there = Result<int>::failure(QString());
    std::thread board([&] {
      std::unique_ptr<store::Store> second = m_fx.folder().otherBoard(other.path());
      if (Result<store::CheckReport> opened = second->open(); !opened) {
        there = Result<int>::failure(opened.error());
        return;
      }
      there = exchange::StudentPackage(*second).read(file);
      second->close();
    });
    const Result<int> here = exchange::StudentPackage(db()).read(file);
    board.join();
    QVERIFY2(here.ok(), qPrintable(here.error()));
    QVERIFY2(there.ok(), qPrintable(there.error()));
    QCOMPARE(here.value() + there.value(), 60);
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 90);
    QCOMPARE(
        SchoolFixture::count(QStringLiteral("SELECT COUNT(DISTINCT KAYITNO) FROM TABLEOGRENCI")),
        90);
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT MAX(VAL(KAYITNO)) FROM TABLEOGRENCI")),
             QStringLiteral("90"));
  }

  void badStudentFileAddsNothing_data() {
    QTest::addColumn<QList<formats::ZipMember>>("members");
    QTest::newRow("no package") << QList<formats::ZipMember>{{QStringLiteral("x.txt"), "x"}};
    QTest::newRow("package not a database")
        << QList<formats::ZipMember>{{QStringLiteral("Kyt.mds"), QByteArray(8192, 'z')}};
  }
  void badStudentFileAddsNothing() {
    QFETCH(QList<formats::ZipMember>, members);
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Var"), QStringLiteral("5-A"));
    const QString file = m_fx.path(QStringLiteral("bozuk.ckk"));
    QVERIFY(formats::ZipArchive::write(file, members).ok());
    const Result<int> added = exchange::StudentPackage(db()).read(file);
    QVERIFY(!added.ok());
    QVERIFY(!added.error().isEmpty());
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
    // The shared connection is usable afterwards (the package was detached).
    QVERIFY(exchange::StudentPackage(db())
                .write({QStringLiteral("1")}, m_fx.path(QStringLiteral("iyi.ckk")))
                .ok());
  }

  void photoCopiedOnSaveAndRemoved() {
    const QString png = m_fx.path(QStringLiteral("vesikalık.png"));
    QImage picture(30, 40, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(png));
    StudentForm form(db());
    QVERIFY(form.beginNew().ok());
    QVERIFY(form.photoToShow().endsWith(QStringLiteral("ResimYok.jpg")));
    form.student().adi = QStringLiteral("Fotoğraflı");
    form.student().soyadi = QStringLiteral("Öğrenci");
    form.student().numarasi = QStringLiteral("1");
    form.student().seviye = QStringLiteral("5. SINIF");
    form.choosePhoto(png);
    QCOMPARE(form.photoToShow(), png);
    QVERIFY(form.save(messages()).ok());
    QVERIFY(photos().has(QStringLiteral("1")));
    const QString stored = photos().path(QStringLiteral("1"));
    QCOMPARE(QImage(stored).size(), QSize(30, 40));  // converted to JPEG
    QVERIFY(form.edit(QStringLiteral("1")).ok());
    QCOMPARE(form.photoToShow(), stored);
    form.removePhoto();
    QVERIFY(form.save(messages()).ok());
    QVERIFY(!photos().has(QStringLiteral("1")));
  }

  // Three-button mode is any setting other than "0": the form numbers the students
  // itself, as the import does.
  void automaticSchoolNumberInThreeButtonMode_data() {
    QTest::addColumn<QString>("setting");
    QTest::newRow("1") << QStringLiteral("1");
    QTest::newRow("an old 2") << QStringLiteral("2");
  }
  void automaticSchoolNumberInThreeButtonMode() {
    QFETCH(QString, setting);
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEOKUL (KURUMKODU,UCDUGME) VALUES ('7382',?)"),
                     {setting})
                .ok());
    QVERIFY(db().reloadInstitution().ok());
    StudentForm form(db());
    QVERIFY(form.beginNew().ok());
    form.student().adi = QStringLiteral("Ayşe");
    form.student().soyadi = QStringLiteral("Öztürk");
    form.student().sinifi = QStringLiteral("5/A-2");
    QVERIFY(form.fieldsChanged());
    QCOMPARE(form.student().numarasi, QStringLiteral("73825.A1AyşÖzt"));
  }

 private:
  SchoolFixture m_fx;
};

QTEST_GUILESS_MAIN(TestStudents)
#include "tst_students.moc"
