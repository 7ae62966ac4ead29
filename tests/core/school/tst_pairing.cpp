#include <QSignalSpy>
#include <QtTest>

#include "SchoolFixture.h"
#include "formats/Workbook.h"
#include "lists/FilterLists.h"
#include "school/DemoSchool.h"
#include "school/Pairing.h"
#include "school/RemoteRegistration.h"
#include "school/SchoolExports.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"

using school::Pairing;
using school::RemoteRegistration;

namespace {
QStringList rows(const store::Query& q) { return SchoolFixture::column(q.sql, q.params); }
}  // namespace

class TestPairing : public QObject {
  Q_OBJECT

  static store::Store& db() { return SchoolFixture::db(); }
  static Pairing pairing() { return Pairing(db()); }
  static school::SchoolExports exports() { return school::SchoolExports(db()); }

 private slots:
  void init() { m_fx.setUp(); }
  void cleanup() { m_fx.tearDown(); }

  void autoPairingOneFreeStudentTwoRemotes() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Eşli"), QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("2"), QStringLiteral("Boşta"), QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("3"), QStringLiteral("Başka"), QStringLiteral("6-A"));
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("1"));
    for (const char* a : {"12-201", "12-202", "12-203"})
      QVERIFY(pairing().registerRemote(QString::fromLatin1(a), false).ok());
    QCOMPARE(pairing().autoPair({}, QStringLiteral("5-A")).value(), 0);
    // 12-201 already has a 5-A student; of 12-202 and 12-203 only the first gets the free one.
    const Result<int> made = pairing().autoPair(
        {QStringLiteral("12-201"), QStringLiteral("12-202"), QStringLiteral("12-203")},
        QStringLiteral("5-A"));
    QCOMPARE(made.value(), 1);
    QCOMPARE(SchoolFixture::column(QStringLiteral(
                 "SELECT KUMANDAADRESI || ':' || KAYITNO FROM TABLEESLESME ORDER BY 1")),
             (QStringList{QStringLiteral("12-201:1"), QStringLiteral("12-202:2")}));
    QCOMPARE(pairing().autoPair({QStringLiteral("12-203")}, QStringLiteral("5-A")).value(), 0);
    // One remote may serve one student in each of several classes, but the
    // teacher is asked first when a chosen remote serves another class already.
    QCOMPARE(
        pairing().sharedRemotesQuestion({QStringLiteral("12-203")}, QStringLiteral("6-A")).value(),
        QString());
    QVERIFY(pairing()
                .sharedRemotesQuestion(
                    {QStringLiteral("12-201"), QStringLiteral("12-202"), QStringLiteral("12-203")},
                    QStringLiteral("5-A"))
                .value()
                .isEmpty());  // their own class is no other class
    QCOMPARE(pairing()
                 .sharedRemotesQuestion(
                     {QStringLiteral("12-201"), QStringLiteral("12-202"), QStringLiteral("12-203")},
                     QStringLiteral("6-A"))
                 .value()
                 .section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("Seçilen 3 kumandanın 2 tanesi başka sınıflarda da öğrenciyle "
                            "eşleştirilmiş (5-A: 2 kumanda)."));
    QCOMPARE(pairing().autoPair({QStringLiteral("12-201")}, QStringLiteral("6-A")).value(), 1);
    const store::Query grid = Pairing::studentRemotesQuery(QStringLiteral("5-A"));
    Result<QSqlQuery> q = db().exec(grid.sql, grid.params);
    QVERIFY(q.ok());
    QStringList seen;
    while (q.value().next())
      seen << QStringLiteral("%1 %2 %3")
                  .arg(q.value().value(0).toString(), q.value().value(1).toString(),
                       q.value().value(2).toString());
    QCOMPARE(seen, (QStringList{QStringLiteral("12-201 2 1"), QStringLiteral("12-202 1 1"),
                                QStringLiteral("12-203 0 0")}));
  }

  void autoPairingFollowsRegistrationOrder() {
    // Rows inserted out of order: "natural order" means registration numbers.
    for (const char* k : {"10", "2", "9"})
      SchoolFixture::addStudent(QString::fromLatin1(k), QStringLiteral("Ö"), QStringLiteral("5-A"));
    for (const char* a : {"1-1", "1-2", "1-3"})
      QVERIFY(pairing().registerRemote(QString::fromLatin1(a), false).ok());
    QCOMPARE(pairing()
                 .autoPair({QStringLiteral("1-1"), QStringLiteral("1-2"), QStringLiteral("1-3")},
                           QStringLiteral("5-A"))
                 .value(),
             3);
    QCOMPARE(SchoolFixture::column(
                 QStringLiteral("SELECT KAYITNO FROM TABLEESLESME ORDER BY KUMANDAADRESI")),
             (QStringList{QStringLiteral("2"), QStringLiteral("9"), QStringLiteral("10")}));
  }

  // Only remotes the school registered are paired, and no teacher remote; one
  // address that is not one refuses the whole list.
  void autoPairingTakesOnlyRegisteredStudentRemotes_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown") << "12-250"
                             << "Tanıtılmamış kumanda: 12-250";
    QTest::newRow("malformed") << "12-2500"
                               << "Geçersiz kumanda adresi: 12-2500";
    QTest::newRow("not an address") << "'; DROP"
                                    << "Geçersiz kumanda adresi: '; DROP";
    QTest::newRow("teacher") << "12-200"
                             << "Öğretmen kumandası öğrenciyle eşleştirilmez: 12-200";
  }
  void autoPairingTakesOnlyRegisteredStudentRemotes() {
    QFETCH(QString, address);
    QFETCH(QString, message);
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("2"), QStringLiteral("Ayşe"), QStringLiteral("5-A"));
    QVERIFY(pairing().registerRemote(QStringLiteral("12-201"), false).ok());
    QVERIFY(pairing().registerRemote(QStringLiteral("12-200"), true).ok());
    const Result<int> made =
        pairing().autoPair({QStringLiteral("12-201"), address}, QStringLiteral("5-A"));
    QVERIFY(!made.ok());
    QVERIFY2(made.error().startsWith(message), qPrintable(made.error()));
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 0);
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 2);
  }

  void availableStudentsRule() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Eşli"), QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("2"), QStringLiteral("Sınıfdaşı"),
                              QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("3"), QStringLiteral("Altıncı"),
                              QStringLiteral("6-A"));
    SchoolFixture::addStudent(QStringLiteral("4"), QStringLiteral("Başkasında"),
                              QStringLiteral("6-A"));
    SchoolFixture::addStudent(QStringLiteral("5"), QStringLiteral("Silinmiş"),
                              QStringLiteral("6-A"));
    QVERIFY(
        db().run(QStringLiteral(
                     "UPDATE TABLEOGRENCI SET SILINDIMI='01.01.2025 10:00:00' WHERE KAYITNO='5'"))
            .ok());
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("1"));
    SchoolFixture::pair(QStringLiteral("12-209"), QStringLiteral("4"));
    QCOMPARE(rows(Pairing::availableStudentsQuery(QStringLiteral("12-201"), lists::kTumu)),
             QStringList{QStringLiteral("3")});
    QCOMPARE(rows(Pairing::availableStudentsQuery(QStringLiteral("12-201"), QStringLiteral("5-A"))),
             QStringList());
    QCOMPARE(rows(Pairing::availableStudentsQuery(QStringLiteral("12-202"), QStringLiteral("5-A"))),
             QStringList{QStringLiteral("2")});
    QCOMPARE(rows(Pairing::pairedStudentsQuery(QStringLiteral("12-201"), lists::kTumu)),
             QStringList{QStringLiteral("1")});
    QCOMPARE(rows(Pairing::pairedStudentsQuery(QStringLiteral("12-201"), QStringLiteral("6-A"))),
             QStringList());
    // Pairing by hand never puts two students of one class on a remote.
    QVERIFY(
        pairing().pair(QStringLiteral("12-202"), {QStringLiteral("2"), QStringLiteral("3")}).ok());
    QVERIFY(pairing().pair(QStringLiteral("12-201"), {QStringLiteral("2")}).ok());
    QCOMPARE(
        SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME WHERE KAYITNO='2'")),
        1);
    QVERIFY(pairing().unpair(QStringLiteral("12-202"), {QStringLiteral("2")}).ok());
    QCOMPARE(
        SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME WHERE KAYITNO='2'")),
        0);
  }

  void registrationIconsAndFinish() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Eşli"), QStringLiteral("5-A"));
    QVERIFY(pairing().registerRemote(QStringLiteral("12-201"), true).ok());
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("1"));
    RemoteRegistration reg(db());
    QSignalSpy mode(&reg, &RemoteRegistration::registrationModeRequested);
    reg.startNewRemotes();
    QCOMPARE(reg.tag(), QStringLiteral("YeniKumanda"));
    QVERIFY(reg.instructionText().startsWith(QStringLiteral("Öğretmen Kumandası yapmak")));
    // The registration is the screen's press consumer: a routed press is a remote heard.
    activity::PressConsumer& consumer = reg;
    consumer.press(
        {{QStringLiteral("12-201"), QStringLiteral("A"), QStringLiteral("1")}, false, {}});
    QCOMPARE(reg.items().at(0).icon, 1);
    QCOMPARE(reg.count(), 1);
    reg.heard(QStringLiteral("12-202"));
    reg.heard(QStringLiteral("12-201"));
    QCOMPARE(reg.items().at(0).icon, 3);
    reg.heard(QStringLiteral("12-201"));
    QCOMPARE(reg.items().at(0).icon, 3);
    QCOMPARE(reg.count(), 2);
    QCOMPARE(mode.count(), 4);  // each press re-sends the registration mode
    QVERIFY(mode.wait(1000));   // and so does the 500 ms timer
    reg.setTeacher(QStringLiteral("12-202"), true);
    mode.clear();
    QVERIFY(reg.finish().ok());
    QCOMPARE(mode.last().at(0).toBool(), false);
    QVERIFY(!reg.isOpen());
    // 12-201 replaced (teacher mark from its unticked box), its pairing kept.
    QCOMPARE(SchoolFixture::column(QStringLiteral(
                 "SELECT KUMANDAADRESI || '=' || OGRETMENKUMANDASI FROM TABLEKUMANDA ORDER BY 1")),
             (QStringList{QStringLiteral("12-201=0"), QStringLiteral("12-202=1")}));
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME WHERE KUMANDAADRESI='12-201'")),
             1);
    QCOMPARE(rows(Pairing::teacherRemotesQuery()), QStringList{QStringLiteral("12-202")});

    // Re-learning lists the register, captures nothing and writes nothing: the
    // listed remotes are registered ones, none of them heard.
    reg.startNewReceiver();
    QCOMPARE(reg.tag(), QStringLiteral("YeniAlici"));
    QCOMPARE(reg.count(), 2);
    QCOMPARE(reg.countCaption(), QStringLiteral("Kayıtlı kumanda sayısı:"));
    for (const RemoteRegistration::Item& item : reg.items()) QCOMPARE(item.icon, 0);
    reg.heard(QStringLiteral("99-99"));
    QCOMPARE(reg.count(), 2);
    QVERIFY(reg.finish().ok());
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 2);
  }

  // Without a receiver the panel says so and how to attach one, instead of
  // waiting at a count of 0.
  void registrationWithoutReceiver() {
    RemoteRegistration reg(db());
    QSignalSpy changed(&reg, &RemoteRegistration::itemsChanged);
    reg.setReceiverPresent(false);
    QCOMPARE(reg.noReceiverText(), QString());  // closed: nothing to say
    reg.startNewRemotes();
    QCOMPARE(reg.countCaption(), QStringLiteral("Duyulan kumanda sayısı:"));
    const QString text = reg.noReceiverText();
    QVERIFY(text.startsWith(QStringLiteral("Alıcı bağlı değil")));
    QVERIFY(text.contains(QStringLiteral("USB")));
    QVERIFY(text.contains(QStringLiteral("--simulasyon")));
    changed.clear();
    reg.setReceiverPresent(true);  // plugged in while the panel is open
    QCOMPARE(changed.count(), 1);
    QCOMPARE(reg.noReceiverText(), QString());
    QVERIFY(reg.finish().ok());
  }

  // Addresses order by their two numbers, in every list and in the grid.
  void addressesSortByNumber() {
    for (const char* a : {"108-88", "23-229", "23-30", "9-1"})
      QVERIFY(pairing().registerRemote(QString::fromLatin1(a), false).ok());
    QVERIFY(pairing().registerRemote(QStringLiteral("200-3"), true).ok());
    const QStringList numeric{QStringLiteral("9-1"), QStringLiteral("23-30"),
                              QStringLiteral("23-229"), QStringLiteral("108-88")};
    QCOMPARE(rows(Pairing::studentRemotesQuery(lists::kTumu)), numeric);
    RemoteRegistration reg(db());
    reg.startNewReceiver();
    QStringList listed;
    for (const RemoteRegistration::Item& item : reg.items()) listed << item.address;
    QCOMPARE(listed, numeric + QStringList{QStringLiteral("200-3")});
    QVERIFY(reg.finish().ok());
    QCOMPARE(store::compareRemoteAddresses(QStringLiteral("23-229"), QStringLiteral("108-88")), -1);
    QCOMPARE(store::compareRemoteAddresses(QStringLiteral("12-21"), QStringLiteral("12-201")), -1);
    QCOMPARE(store::compareRemoteAddresses(QStringLiteral("0-0"), QStringLiteral("0-0")), 0);
    // Anything that is no address comes after the addresses.
    QCOMPARE(store::compareRemoteAddresses(QStringLiteral("abc"), QStringLiteral("255-255")), 1);
  }

  // The automatic pairing says what it did and who is left; those students are
  // listed by the filter and in the pairing list, with an empty remote.
  void studentsLeftWithoutRemote() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Zeynep"), QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("2"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("3"), QStringLiteral("Çağla"), QStringLiteral("5-A"));
    SchoolFixture::addStudent(QStringLiteral("4"), QStringLiteral("Başka"), QStringLiteral("6-A"));
    QVERIFY(pairing().registerRemote(QStringLiteral("1-1"), false).ok());
    const Result<int> made = pairing().autoPair({QStringLiteral("1-1")}, QStringLiteral("5-A"));
    QCOMPARE(made.value(), 1);
    QCOMPARE(pairing().studentsWithoutRemote(QStringLiteral("5-A")).value(),
             (QStringList{QStringLiteral("Ali Soyad2"), QStringLiteral("Çağla Soyad3")}));
    QCOMPARE(pairing().autoPairSummary(*made, QStringLiteral("5-A")),
             QStringLiteral("1 öğrenci eşleştirildi; 2 öğrencinin kumandası yok: Ali Soyad2, "
                            "Çağla Soyad3"));
    QCOMPARE(rows(Pairing::withoutRemoteQuery(QStringLiteral("5-A"))),
             (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
    QCOMPARE(rows(Pairing::withoutRemoteQuery(lists::kTumu)).size(), 3);

    const QString list = m_fx.path(QStringLiteral("eslesme.xlsx"));
    QVERIFY(exports().pairingList(QStringLiteral("5-A"), list).ok());
    Result<formats::Workbook> book = formats::Workbook::open(list);
    QVERIFY(book.ok());
    QCOMPARE(book->sheet(0).rows.size(), 3 + 3);
    QStringList lines;
    for (int r = 3; r < 6; ++r)
      lines << book->cell(0, r, 1) + QLatin1Char('|') + book->cell(0, r, 3);
    QCOMPARE(lines, (QStringList{QStringLiteral("|Ali"), QStringLiteral("|Çağla"),
                                 QStringLiteral("1-1|Zeynep")}));

    SchoolFixture::addStudent(QStringLiteral("5"), QStringLiteral("Son"), QStringLiteral("7-A"));
    QVERIFY(pairing().registerRemote(QStringLiteral("1-2"), false).ok());
    QCOMPARE(pairing().autoPairSummary(
                 pairing().autoPair({QStringLiteral("1-2")}, QStringLiteral("7-A")).value(),
                 QStringLiteral("7-A")),
             QStringLiteral("1 öğrenci eşleştirildi; sınıfın bütün öğrencilerinin kumandası var."));
  }

  // The offered file name keeps Turkish letters; only what no file name may
  // hold is replaced.
  void proposedFileNames() {
    QCOMPARE(school::SchoolExports::proposedFileName(QStringLiteral("TÜMÜ Etiket")),
             QStringLiteral("TÜMÜ Etiket.xlsx"));
    QCOMPARE(school::SchoolExports::proposedFileName(QStringLiteral("7/A Eşleşme Listesi")),
             QStringLiteral("7-A Eşleşme Listesi.xlsx"));
  }

  void fortyRemotesRegisteredAndPaired() {
    for (int i = 1; i <= 40; ++i)
      SchoolFixture::addStudent(QString::number(i), QStringLiteral("Öğrenci%1").arg(i),
                                QStringLiteral("8-B"));
    RemoteRegistration reg(db());
    reg.startNewRemotes();
    for (int round = 0; round < 2; ++round)
      for (int i = 0; i < 41; ++i) reg.heard(QStringLiteral("20-%1").arg(100 + i));
    reg.setTeacher(QStringLiteral("20-140"), true);
    QVERIFY(reg.finish().ok());
    const QStringList remotes = rows(Pairing::studentRemotesQuery(QStringLiteral("8-B")));
    QCOMPARE(remotes.size(), 40);
    QCOMPARE(pairing().autoPair(remotes, QStringLiteral("8-B")).value(), 40);
    QCOMPARE(SchoolFixture::count(
                 QStringLiteral("SELECT COUNT(DISTINCT KUMANDAADRESI) FROM TABLEESLESME")),
             40);
  }

  // A teacher remote is one whose OGRETMENKUMANDASI is "1", in every list that
  // tells them apart; an old "True" or "2" is a student remote everywhere.
  void oneTeacherRule() {
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEKUMANDA (KUMANDAADRESI,OGRETMENKUMANDASI) "
                                    "VALUES ('1-1','1'),('1-2','True'),('1-3',' 1'),('1-4',NULL)"))
                .ok());
    QCOMPARE(rows(Pairing::teacherRemotesQuery()),
             (QStringList{QStringLiteral("1-1"), QStringLiteral("1-3")}));
    QCOMPARE(rows(Pairing::studentRemotesQuery(lists::kTumu)),
             (QStringList{QStringLiteral("1-2"), QStringLiteral("1-4")}));
    QCOMPARE(pairing().teacherAddresses().value(),
             (QStringList{QStringLiteral("1-1"), QStringLiteral("1-3")}));
    QCOMPARE(pairing().studentAddresses().value(),
             (QStringList{QStringLiteral("1-2"), QStringLiteral("1-4")}));
    RemoteRegistration reg(db());
    reg.startNewReceiver();
    QStringList teachers;
    for (const auto& item : reg.items())
      if (item.teacher) teachers << item.address;
    QCOMPARE(teachers, (QStringList{QStringLiteral("1-1"), QStringLiteral("1-3")}));
    QVERIFY(reg.finish().ok());
  }

  // Pairing is told once committed; a pairing that cannot check its rule writes
  // nothing and says so.
  void pairingChangesAndFailures() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Bir"), QStringLiteral("5-A"));
    QSignalSpy told(&db(), &store::Store::pairingsChanged);
    QVERIFY(pairing().pair(QStringLiteral("12-201"), {QStringLiteral("1")}).ok());
    QCOMPARE(told.size(), 1);
    QVERIFY(db().run(QStringLiteral("ALTER TABLE TABLEOGRENCI RENAME TO TABLEOGRENCI_YOK")).ok());
    QVERIFY(!pairing().pair(QStringLiteral("12-202"), {QStringLiteral("1")}).ok());
    QCOMPARE(told.size(), 1);
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 1);
  }

  void deleteRemotes() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Eşli"), QStringLiteral("5-A"));
    QVERIFY(pairing().registerRemote(QStringLiteral("12-201"), false).ok());
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("1"));
    QCOMPARE(Pairing::deleteQuestion({QStringLiteral("12-201")}),
             QStringLiteral("12-201 numaralı kumandayı silmek istediğinizden emin misiniz?"));
    QCOMPARE(Pairing::deleteQuestion({QStringLiteral("1-1"), QStringLiteral("1-2")}),
             QStringLiteral("2 adet kumandayı silmek istediğinizden emin misiniz?"));
    QVERIFY(pairing().removeRemotes({QStringLiteral("12-201")}).ok());
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 0);
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), 0);
  }

  void demoSchoolAndExports() {
    QVERIFY(school::createDemoSchool(db()).ok());
    QVERIFY(school::createDemoSchool(db()).ok());  // a second call adds nothing
    const QStringList classes =
        SchoolFixture::column(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI GROUP BY SINIFI"));
    QCOMPARE(classes.size(), 3);
    for (const QString& c : classes) {
      const int n = SchoolFixture::count(
          QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI=?"), {c});
      QVERIFY(n >= 20 && n <= 30);
      // Every student paired, no remote twice in a class.
      QCOMPARE(SchoolFixture::count(
                   QStringLiteral("SELECT COUNT(DISTINCT E.KUMANDAADRESI) FROM TABLEESLESME E JOIN "
                                  "TABLEOGRENCI O ON O.KAYITNO=E.KAYITNO WHERE O.SINIFI=?"),
                   {c}),
               n);
    }
    QCOMPARE(rows(Pairing::teacherRemotesQuery()).size(), 1);

    const QString list = m_fx.path(QStringLiteral("eslesme.xlsx"));
    QVERIFY(exports().pairingList(QStringLiteral("5-A"), list).ok());
    Result<formats::Workbook> book = formats::Workbook::open(list);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book->cell(0, 0, 0), QStringLiteral("5-A SINIFI EŞLEŞME LİSTESİ"));
    QCOMPARE(book->cell(0, 2, 0), QStringLiteral("SN"));
    QCOMPARE(book->cell(0, 3, 0), QStringLiteral("1"));
    QVERIFY(book->cell(0, 3, 1).startsWith(QStringLiteral("12-")));
    const int students = SchoolFixture::count(
        QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='5-A'"));
    QCOMPARE(book->sheet(0).rows.size(), 3 + students);
    QCOMPARE(book->cell(0, 2 + students, 0), QString::number(students));

    const QString labels = m_fx.path(QStringLiteral("etiket.xlsx"));
    QVERIFY(
        exports().multiClassLabels({QStringLiteral("5-A"), QStringLiteral("6-B")}, labels).ok());
    book = formats::Workbook::open(labels);
    QVERIFY(book.ok());
    // A remote of both classes carries two lines, one per class.
    QCOMPARE(book->cell(0, 3, 2).count(QLatin1Char('\n')), 1);
    QVERIFY(book->cell(0, 3, 2).contains(QStringLiteral("(5-A)")));
    QVERIFY(exports().classLabels(QStringLiteral("7-C"), m_fx.path(QStringLiteral("e.xlsx"))).ok());
    QVERIFY(exports().remoteNumberLabels({}, exports().remoteNumberLabelsPath()).ok());
  }

 private:
  SchoolFixture m_fx;
};

QTEST_GUILESS_MAIN(TestPairing)
#include "tst_pairing.moc"
