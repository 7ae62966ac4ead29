#include <QDir>
#include <QFile>
#include <QSqlRecord>
#include <QtTest>

#include "SchoolFixture.h"
#include "school/Rollover.h"
#include "store/DataLock.h"
#include "store/Database.h"
#include "store/FolderFiles.h"
#include "store/Institution.h"
#include "store/RolloverFiles.h"
#include "store/RunSetupChoices.h"
#include "store/StoreFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using school::Rollover;

namespace {

// Every row of a table as text, in a stable order (classes and levels left out
// where the rollover changes them).
QStringList dump(const QString& table, const QString& columns = QStringLiteral("*")) {
  QStringList out;
  Result<QSqlQuery> q =
      SchoolFixture::db().exec(QStringLiteral("SELECT %1 FROM %2").arg(columns, table));
  if (!q) return {QStringLiteral("HATA: ") + q.error()};
  while (q.value().next()) {
    QStringList cells;
    for (int i = 0; i < q.value().record().count(); ++i) cells << q.value().value(i).toString();
    out << cells.join(QLatin1Char('|'));
  }
  out.sort();
  return out;
}

QString root() { return SchoolFixture::db().root(); }

QString storeFile(store::StoreKind kind, int n) { return store::storePath(root(), kind, n); }

}  // namespace

class TestRollover : public QObject {
  Q_OBJECT

  static store::Store& db() { return SchoolFixture::db(); }
  static QString recordedSchoolYear() {
    return SchoolFixture::text(QStringLiteral("SELECT NZ(SINIFATLATMADONEM) FROM TABLEOKUL"));
  }
  static Rollover::Report offer(const Rollover::Hooks& hooks) {
    return Rollover::offer(db(), hooks);
  }
  static Rollover::Report run(const Rollover::Hooks& hooks) {
    return Rollover::SinifAtlatmaUygula(db(), hooks);
  }
  // Every question answered "Evet", on 07.09.2026.
  Rollover::Hooks yesOnSeptember7() {
    m_yes.setDefaultAnswer(Messages::Answer::Yes);
    Rollover::Hooks hooks;
    hooks.messages = &m_yes;
    hooks.now = [] { return QDateTime(QDate(2026, 9, 7), QTime(8, 30)); };
    return hooks;
  }

 private slots:
  void init() { m_fx.setUp(); }
  void cleanup() { m_fx.tearDown(); }

  void classNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("klass");
    QTest::addColumn<QString>("level");
    QTest::newRow("5-A") << "5-A"
                         << "6-A"
                         << "6-A";
    QTest::newRow("9B") << "9B"
                        << "10B"
                        << "10B";
    QTest::newRow("no digits") << "Anasınıfı"
                               << "Anasınıfı"
                               << "Anasınıfı";
    QTest::newRow("two groups 5-A2") << "5-A2"
                                     << "5-A2"
                                     << "5-A2";
    QTest::newRow("two groups 5-A-2") << "5-A-2"
                                      << "5-A-2"
                                      << "5-A-2";
    QTest::newRow("level 8") << "8"
                             << "9"
                             << "9";
    QTest::newRow("level 11") << "11"
                              << "12"
                              << "12";
    QTest::newRow("level 12 stays") << "12"
                                    << "13"
                                    << "12";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
  }
  void classNames() {
    QFETCH(QString, name);
    QFETCH(QString, klass);
    QFETCH(QString, level);
    QCOMPARE(Rollover::SinifNumarasiArttir(name), klass);
    QCOMPARE(Rollover::SeviyeArttir(name), level);
  }

  void labelsAndStamp() {
    QCOMPARE(Rollover::schoolYearLabel(QDate(2026, 3, 15)), QStringLiteral("2025-2026"));
    QCOMPARE(Rollover::schoolYearLabel(QDate(2026, 9, 1)), QStringLiteral("2026-2027"));
    QCOMPARE(Rollover::schoolYearLabel(QDate(2026, 6, 30)), QStringLiteral("2025-2026"));
    QCOMPARE(Rollover::schoolYearLabel(QDate(2026, 7, 1)), QStringLiteral("2026-2027"));
    QCOMPARE(Rollover::backupStamp(QDateTime(QDate(2025, 9, 1), QTime(8, 5, 7))),
             QStringLiteral("2025.9.1-8.5.7"));
  }

  void noStillRecordsTheLabel() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    RecordedMessages messages;  // every question's default: "Hayır"
    Rollover::Hooks hooks;
    hooks.now = [] { return QDateTime(QDate(2026, 3, 2), QTime(10, 0)); };
    hooks.messages = &messages;
    const Rollover::Report r = offer(hooks);
    QCOMPARE(r.outcome, Rollover::Outcome::Declined);
    QCOMPARE(messages.texts(), QStringList{Rollover::firstQuestion()});
    QCOMPARE(messages.shown().first().title, QStringLiteral("Sınıf Atlatma"));
    QCOMPARE(messages.shown().first().defaultAnswer, Messages::Answer::No);
    QVERIFY(messages.lastText().contains(
        QStringLiteral("\r\n\r\n- Öğrenciler bir üst sınıfa geçirilecek (5-A → 6-A")));
    QCOMPARE(recordedSchoolYear(), QStringLiteral("2025-2026"));
    // Start-up does not ask again this school year; the menu item still does.
    QCOMPARE(offer(hooks).outcome, Rollover::Outcome::NotOffered);
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(run(hooks).outcome, Rollover::Outcome::Declined);
    QCOMPARE(messages.shown().size(), 2);
    // A "No" to the year confirmation changes nothing either.
    messages.clear();
    messages.setNextAnswer(Messages::Answer::Yes);
    QCOMPARE(run(hooks).outcome, Rollover::Outcome::Declined);
    QCOMPARE(messages.lastText(), Rollover::confirmYearQuestion(QStringLiteral("2025-2026")));
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI")),
             QStringLiteral("5-A"));
    QVERIFY(!QDir(m_fx.path(QStringLiteral("Yedek"))).exists() ||
            QDir(m_fx.path(QStringLiteral("Yedek"))).isEmpty());
  }

  void threeButtonSchoolsNeverRollOver() {
    SchoolFixture::school().threeButtons();
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    Rollover::Hooks hooks = yesOnSeptember7();
    QCOMPARE(run(hooks).outcome, Rollover::Outcome::NotAllowed);
    QCOMPARE(recordedSchoolYear(), QString());
    QVERIFY(m_yes.shown().isEmpty());
  }

  void fullRunCarriesTheSchoolAndEmptiesTheYear() {
    // The school...
    int k = 0;
    for (const char* c : {"5-A", "6-A", "7-A"})
      for (int i = 0; i < 3; ++i) {
        ++k;
        SchoolFixture::addStudent(QString::number(k), QStringLiteral("Öğr%1").arg(k),
                                  QString::fromLatin1(c), QString::fromLatin1(c).left(1));
      }
    SchoolFixture::addStudent(QString::number(++k), QStringLiteral("Son"), QStringLiteral("12-Fen"),
                              QStringLiteral("12"));
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("1"));
    // Answer cards: a student's card and the number it replaced.
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEKART (KARTNO,KAYITNO,IPTAL) VALUES "
                                    "('1','2','1'),('4','2','')"))
                .ok());
    QVERIFY(
        db().run(QStringLiteral("INSERT INTO TABLEKUMANDA (KUMANDAADRESI,OGRETMENKUMANDASI) VALUES "
                                "('12-201','0'),('12-200','1')"))
            .ok());
    QVERIFY(db()
                .run(QStringLiteral(
                    "INSERT INTO TABLEOKUL (KURUMKODU,OKULADI,UCDUGME,SONSORUINDIRMEZAMANI) VALUES "
                    "('1','Okul''un Adı','0','01.01.2026')"))
                .ok());
    QVERIFY(db().run(QStringLiteral(
                         "INSERT INTO TABLEKULLANICIBILGILERI (KULLANICIADI) VALUES ('öğretmen')"))
                .ok());
    QVERIFY(
        db().run(QStringLiteral(
                     "INSERT INTO TABLEAYAR (FORMADI,KONTROLADI,INDEKS,DEGER) VALUES "
                     "('frmTestUygula','cmbDersAra','-','4'),('frmTestUygula','cmbSinifi','-','3'),"
                     "('frmX','chk','-','1')"))
            .ok());
    QVERIFY(
        db()
            .run(QStringLiteral(
                "INSERT INTO TABLESLISTESUTUNADI (FORMADI,SLISTEADI,S1) VALUES ('f','s','ADI')"))
            .ok());
    QVERIFY(
        db().run(QStringLiteral(
                     "INSERT INTO TABLESLISTESUTUNBILGILERI (FORMADI,SLISTEADI) VALUES ('f','s')"))
            .ok());
    QVERIFY(db().run(QStringLiteral(
                         "INSERT INTO TABLESOZLESME (SOZLESMEKABULTARIHI) VALUES ('01.09.2025')"))
                .ok());
    QVERIFY(db()
                .run(QStringLiteral(
                    "INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) "
                    "VALUES "
                    "('DERS','Fen',''),('SEVIYE','5',''),('SEVIYE','9',''),('HAZIRLAYAN','Ben',''),"
                    "('SINIFI','Eski Sınıf','')"))
                .ok());
    // ... and the year's work.
    QVERIFY(
        db().run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,DERS) VALUES ('1','Fen')")).ok());
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLETEST (TESTNO) VALUES ('1')")).ok());
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLETESTSORU (TESTNO,SORUNO) VALUES ('1','1')"))
                .ok());
    QVERIFY(
        db().run(QStringLiteral("INSERT INTO TABLECEVAP (KAYITNO,CEVAP) VALUES ('1','A')")).ok());
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLESONUC (KAYITNO,NET) VALUES ('1','3')")).ok());
    QVERIFY(db().run(QStringLiteral(
                         "INSERT INTO TABLETANIMLAMALAR (TANIMADI,UNITE) VALUES ('UNITELER','U')"))
                .ok());
    {
      Result<QSqlDatabase> content =
          store::openFile(QStringLiteral("t-store"), storeFile(store::StoreKind::Question, 2));
      QVERIFY(content.ok());
      QVERIFY(store::run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,SORU) VALUES ('1',x'FFD8')"),
                         {}, content.value())
                  .ok());
    }
    store::closeFile(QStringLiteral("t-store"));
    QVERIFY(
        store::createStoreFile(store::StoreKind::Test, storeFile(store::StoreKind::Test, 3)).ok());
    // Question 1's sound and video, and a student's photo.
    const store::FolderFiles files(db());
    for (const char* file : {"Sesler/1.mp3", "Videolar/1.mp4", "Fotograflar/1.jpg"})
      QVERIFY(files.put(QString::fromLatin1(file), QByteArray(file)).ok());

    const QStringList untouched{QStringLiteral("TABLEESLESME"),
                                QStringLiteral("TABLEKART"),
                                QStringLiteral("TABLEKULLANICIBILGILERI"),
                                QStringLiteral("TABLEKUMANDA"),
                                QStringLiteral("TABLESLISTESUTUNADI"),
                                QStringLiteral("TABLESLISTESUTUNBILGILERI"),
                                QStringLiteral("TABLESOZLESME")};
    QHash<QString, QStringList> before;
    for (const QString& t : untouched) before.insert(t, dump(t));
    const QStringList studentsBefore = dump(
        QStringLiteral("TABLEOGRENCI"), QStringLiteral("ID,KAYITNO,NUMARASI,ADI,SOYADI,TCKIMLIK"));
    const QStringList otherSettings =
        dump(QStringLiteral("TABLEAYAR WHERE FORMADI<>'frmTestUygula'"));

    Rollover::Hooks hooks = yesOnSeptember7();
    bool closed = false;
    hooks.closeScreens = [&] { closed = true; };
    const Rollover::Report r = run(hooks);
    QVERIFY2(r.outcome == Rollover::Outcome::Done, qPrintable(r.message));
    QCOMPARE(r.message, QStringLiteral("Sınıf atlatma prosedürü tamamlanmıştır."));
    QVERIFY(closed);
    QVERIFY(db().isOpen());  // on the new database
    QCOMPARE(
        m_yes.lastText(),
        QStringLiteral(
            "İçinde bulunduğumuz eğitim öğretim yılının 2026-2027 olduğunu doğruluyor musunuz?"));

    // Classes and levels up by one, none twice; 12 stays 12.
    QCOMPARE(dump(QStringLiteral("TABLEOGRENCI"), QStringLiteral("KAYITNO,SINIFI,SEVIYE")),
             (QStringList{QStringLiteral("10|13-Fen|12"), QStringLiteral("1|6-A|6"),
                          QStringLiteral("2|6-A|6"), QStringLiteral("3|6-A|6"),
                          QStringLiteral("4|7-A|7"), QStringLiteral("5|7-A|7"),
                          QStringLiteral("6|7-A|7"), QStringLiteral("7|8-A|8"),
                          QStringLiteral("8|8-A|8"), QStringLiteral("9|8-A|8")}));
    QCOMPARE(dump(QStringLiteral("TABLEOGRENCI"),
                  QStringLiteral("ID,KAYITNO,NUMARASI,ADI,SOYADI,TCKIMLIK")),
             studentsBefore);
    for (const QString& t : untouched) QCOMPARE(dump(t), before.value(t));
    QCOMPARE(dump(QStringLiteral("TABLEAYAR WHERE FORMADI<>'frmTestUygula'")), otherSettings);
    // The test-run screen's search lists start the new year over.
    const store::RunSetupChoices search = store::RunSetupChoices::load(db().db()).value();
    QCOMPARE(search.course, QStringLiteral("TÜMÜ"));
    QCOMPARE(search.author, QStringLiteral("TÜMÜ"));
    QCOMPARE(search.level, QString());  // the first level
    QCOMPARE(search.applied, store::RunSetupChoices::Applied::NotApplied);
    QCOMPARE(search.className, QString());  // the first class
    // The year's work is gone from the working files.
    for (const char* t : {"TABLESORU", "TABLETEST", "TABLETESTSORU", "TABLECEVAP", "TABLESONUC",
                          "TABLETANIMLAMALAR"})
      QCOMPARE(SchoolFixture::count(
                   QStringLiteral("SELECT COUNT(*) FROM %1").arg(QString::fromLatin1(t))),
               0);
    QVERIFY(!QFile::exists(storeFile(store::StoreKind::Test, 3)));
    QVERIFY(QFile::exists(storeFile(store::StoreKind::Question, 2)));
    {
      Result<QSqlDatabase> content =
          store::openFile(QStringLiteral("t-store"), storeFile(store::StoreKind::Question, 2));
      QVERIFY(content.ok());
      QCOMPARE(store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESORU"), {}, content.value())
                   ->toInt(),
               0);
    }
    store::closeFile(QStringLiteral("t-store"));
    // Value lists and the school row.
    QCOMPARE(dump(QStringLiteral("TABLEPARAMETRE WHERE PARAMETREADI='SINIFI'"),
                  QStringLiteral("PARAMETREDEGERI")),
             (QStringList{QStringLiteral("13-Fen"), QStringLiteral("6-A"), QStringLiteral("7-A"),
                          QStringLiteral("8-A")}));
    // The folder stays the same folder (its identity, which the school's server knows).
    QCOMPARE(dump(QStringLiteral("TABLEPARAMETRE WHERE PARAMETREADI='VERIKLASORUKIMLIGI'"),
                  QStringLiteral("PARAMETREADI"))
                 .size(),
             1);
    QCOMPARE(dump(QStringLiteral(
                      "TABLEPARAMETRE WHERE PARAMETREADI NOT IN ('SINIFI','VERIKLASORUKIMLIGI')"),
                  QStringLiteral("PARAMETREADI,PARAMETREDEGERI,NZ(PARAMETREACIKLAMA)")),
             (QStringList{QStringLiteral("DERS|Fen|1"), QStringLiteral("HAZIRLAYAN|Ben|1"),
                          QStringLiteral("SEVIYE|12|"), QStringLiteral("SEVIYE|5|1"),
                          QStringLiteral("SEVIYE|6|"), QStringLiteral("SEVIYE|7|"),
                          QStringLiteral("SEVIYE|8|"), QStringLiteral("SEVIYE|9|1"),
                          QStringLiteral("SINIFATLATMAYAPILDI|2026-2027|07.09.2026 08:30:00|")}));
    QCOMPARE(dump(QStringLiteral("TABLEOKUL"),
                  QStringLiteral("OKULADI,SINIFATLATMADONEM,SONSORUINDIRMEZAMANI")),
             QStringList{QStringLiteral("Okul'un Adı|2026-2027|")});
    // The old year, whole, in its own finished backup folder.
    const QList<store::Backup> backups = store::completeBackups(root());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(backups.first().stamp, r.backupStamp);
    QCOMPARE(QDir(backups.first().folder).entryList(QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("DERSLIK.db"), QStringLiteral("DERSLIK_2.db"),
                          QStringLiteral("DERSLIK_T2.db"), QStringLiteral("DERSLIK_T3.db"),
                          QStringLiteral("TAMAM")}));
    {
      Result<QSqlDatabase> old =
          store::openFile(QStringLiteral("t-old"),
                          QDir(backups.first().folder).filePath(QStringLiteral("DERSLIK.db")));
      QVERIFY(old.ok());
      QCOMPARE(store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP"), {}, old.value())
                   ->toInt(),
               1);
      QCOMPARE(store::scalar(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI WHERE KAYITNO='1'"),
                             {}, old.value())
                   ->toString(),
               QStringLiteral("5-A"));
    }
    store::closeFile(QStringLiteral("t-old"));
    QVERIFY(!store::rolloverInterrupted(root()));
    // The bank's media went with it: the new year's question 1 plays no old sound.
    for (const char* file : {"Sesler/1.mp3", "Videolar/1.mp4"}) {
      QVERIFY2(!files.exists(QString::fromLatin1(file)), file);
      QFile kept(QDir(backups.first().folder).filePath(QString::fromLatin1(file)));
      QVERIFY2(kept.open(QIODevice::ReadOnly) && kept.readAll() == QByteArray(file), file);
    }
    QVERIFY(files.exists(QStringLiteral("Fotograflar/1.jpg")));
  }

  // "Soru bankası ve testler bu tahtada kalsın": questions with their pictures,
  // curriculum definitions and tests stay; the year's runs and results go to the
  // backup all the same. A kill after the journal finishes the same way.
  void keptBankStaysWithTheNewYear() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"),
                              QStringLiteral("5"));
    for (const char* sql :
         {"INSERT INTO TABLESORU (SORUNO,DERS) VALUES ('1','Fen')",
          "INSERT INTO TABLETEST (TESTNO) VALUES ('1')",
          "INSERT INTO TABLETESTSORU (TESTNO,SORUNO) VALUES ('1','1')",
          "INSERT INTO TABLETANIMLAMALAR (TANIMADI,UNITE) VALUES ('UNITELER','U')",
          "INSERT INTO TABLECEVAP (KAYITNO,CEVAP) VALUES ('1','A')",
          "INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTNO) VALUES ('01.03.2026','1')",
          "INSERT INTO TABLESONUC (KAYITNO,NET) VALUES ('1','3')"})
      QVERIFY(db().run(QString::fromLatin1(sql)).ok());
    {
      Result<QSqlDatabase> content =
          store::openFile(QStringLiteral("t-store"), storeFile(store::StoreKind::Question, 2));
      QVERIFY(content.ok());
      QVERIFY(store::run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,SORU) VALUES ('1',x'FFD8')"),
                         {}, content.value())
                  .ok());
    }
    store::closeFile(QStringLiteral("t-store"));
    const store::FolderFiles files(db());
    QVERIFY(files.put(QStringLiteral("Sesler/1.mp3"), "ID3").ok());
    auto count = [](const char* table) {
      return SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM ") +
                                  QString::fromLatin1(table));
    };
    auto pictures = [] {
      Result<QSqlDatabase> content =
          store::openFile(QStringLiteral("t-store"), storeFile(store::StoreKind::Question, 2));
      const int n = content ? store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESORU"), {},
                                            content.value())
                                  .valueOr(-1)
                                  .toInt()
                            : -1;
      store::closeFile(QStringLiteral("t-store"));
      return n;
    };

    Rollover::Hooks hooks = yesOnSeptember7();
    QString asked;
    hooks.askStart = [&asked](const QString& question, bool& keepBank) {
      asked = question;
      keepBank = true;
      return true;
    };
    const Rollover::Report r = run(hooks);
    QVERIFY2(r.outcome == Rollover::Outcome::Done, qPrintable(r.message));
    QVERIFY(r.bankKept);
    QVERIFY(asked.contains(Rollover::keepBankChoice()));
    for (const char* t : {"TABLESORU", "TABLETEST", "TABLETESTSORU", "TABLETANIMLAMALAR"})
      QCOMPARE(count(t), 1);
    for (const char* t : {"TABLECEVAP", "TABLEUYGULAMA", "TABLESONUC"}) QCOMPARE(count(t), 0);
    QCOMPARE(pictures(), 1);
    QVERIFY(files.exists(QStringLiteral("Sesler/1.mp3")));
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI")),
             QStringLiteral("6-A"));

    // Killed right after the journal: the next start finishes it, the bank kept.
    const store::Backup backup = store::completeBackups(root()).last();
    db().close();
    QVERIFY(QFile::copy(QDir(root()).filePath(QStringLiteral("DERSLIK.db")),
                        store::stagedMainPath(root())));
    QVERIFY(store::writeSwapJournal(root(), backup, true).ok());
    QVERIFY(store::recoverInterruptedRollover(root()).ok());
    QVERIFY(db().open().ok());
    QCOMPARE(pictures(), 1);
    QCOMPARE(count("TABLESORU"), 1);
    QVERIFY(files.exists(QStringLiteral("Sesler/1.mp3")));
  }

  void failureKeepsTheOldFiles() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    SchoolFixture::pair(QStringLiteral("12-201"), QStringLiteral("1"));
    SchoolFixture::school().run(SchoolFixture::school().test(QStringLiteral("Deneme"), "A"),
                                {{QStringLiteral("12-201"), QStringLiteral("A")}});
    // A content store that is not a database stops the backup check.
    QFile bad(storeFile(store::StoreKind::Question, 4));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(4096, 'x'));
    bad.close();
    Rollover::Hooks hooks = yesOnSeptember7();
    const Rollover::Report r = run(hooks);
    QCOMPARE(r.outcome, Rollover::Outcome::Failed);
    QVERIFY(r.message.contains(QStringLiteral("eski dosyalar kullanılmaya devam ediyor")));
    QVERIFY(db().isOpen());
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI")),
             QStringLiteral("5-A"));
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP")), 1);
    QVERIFY(QDir(m_fx.path(QStringLiteral("Yedek")))
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                .isEmpty());
    QVERIFY(!QFile::exists(m_fx.path(QStringLiteral("DERSLIK.yeni.db"))));
  }

  // A school that starts in December is in its school year: the first save of
  // the institution records it, and the students entered next are not promoted
  // at the next start.
  void newSchoolIsInItsYearAlready() {
    const QDate december(2025, 12, 3);
    QVERIFY(store::saveInstitution(db(), QStringLiteral("745231"), QStringLiteral("Yeni Okul"),
                                   december)
                .ok());
    QCOMPARE(recordedSchoolYear(), QStringLiteral("2025-2026"));
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    RecordedMessages messages;
    Rollover::Hooks hooks;
    hooks.messages = &messages;
    hooks.now = [] { return QDateTime(QDate(2026, 1, 5), QTime(9, 0)); };
    QCOMPARE(offer(hooks).outcome, Rollover::Outcome::NotOffered);
    QVERIFY(messages.shown().isEmpty());
    // Later saves leave the recorded year alone; September offers the new one.
    QVERIFY(store::saveInstitution(db(), QStringLiteral("745231"),
                                   QStringLiteral("Yeni Okulun Adı"), QDate(2026, 9, 2))
                .ok());
    QCOMPARE(recordedSchoolYear(), QStringLiteral("2025-2026"));
    hooks.now = [] { return QDateTime(QDate(2026, 9, 2), QTime(9, 0)); };
    QCOMPARE(offer(hooks).outcome, Rollover::Outcome::Declined);
    QCOMPARE(messages.shown().size(), 1);
    QVERIFY(!messages.lastText().contains(QStringLiteral("internet")));
  }

  // Two runs in one school year raise the classes twice only when asked to.
  void secondRunInTheSameYearOnlyOnRequest() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    Rollover::Hooks hooks = yesOnSeptember7();
    QStringList againAsked;
    bool again = false;
    hooks.askAgain = [&](const QString& q) {
      againAsked << q;
      return again;
    };
    QCOMPARE(run(hooks).outcome, Rollover::Outcome::Done);
    QVERIFY(againAsked.isEmpty());
    QCOMPARE(Rollover::completedOn(db(), QStringLiteral("2026-2027")).value(),
             QStringLiteral("07.09.2026"));
    const Rollover::Report refused = run(hooks);
    QCOMPARE(refused.outcome, Rollover::Outcome::AlreadyDone);
    QCOMPARE(againAsked,
             QStringList{QStringLiteral("Bu eğitim-öğretim yılı için sınıf atlatma 07.09.2026 "
                                        "tarihinde yapıldı. Yeniden yapılsın mı?")});
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI")),
             QStringLiteral("6-A"));
    QCOMPARE(store::completeBackups(root()).size(), 1);
    // Asked for: done again at once, in a backup folder of its own.
    again = true;
    QCOMPARE(run(hooks).outcome, Rollover::Outcome::Done);
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI")),
             QStringLiteral("7-A"));
    const QList<store::Backup> backups = store::completeBackups(root());
    QCOMPARE(backups.size(), 2);
    QVERIFY(backups.first().stamp != backups.last().stamp);
    // A new school year asks nothing extra.
    againAsked.clear();
    hooks.now = [] { return QDateTime(QDate(2027, 9, 6), QTime(8, 30)); };
    QCOMPARE(run(hooks).outcome, Rollover::Outcome::Done);
    QVERIFY(againAsked.isEmpty());
  }

  // A backup is a folder whose marker was written; one without it is never
  // counted and goes at the next start. Two in one second get two folders.
  void backupFoldersAndTheirMarker() {
    const QString stamp = Rollover::backupStamp(QDateTime(QDate(2026, 9, 1), QTime(8, 5, 7)));
    const Result<store::Backup> first = store::createBackupFolder(root(), stamp);
    const Result<store::Backup> second = store::createBackupFolder(root(), stamp);
    QVERIFY(first.ok() && second.ok());
    QCOMPARE(first->stamp, QStringLiteral("2026.9.1-8.5.7"));
    QCOMPARE(second->stamp, QStringLiteral("2026.9.1-8.5.7-2"));
    QVERIFY(store::copyIntoBackup(db().mainFile(), first.value()).ok());
    QVERIFY(store::completeBackups(root()).isEmpty());
    QVERIFY(store::markBackupComplete(second.value()).ok());
    QCOMPARE(store::completeBackups(root()).size(), 1);
    QCOMPARE(store::completeBackups(root()).first().stamp, second->stamp);
    QVERIFY(store::rolloverInterrupted(root()));
    const Result<QStringList> said = store::recoverInterruptedRollover(root());
    QVERIFY(said.ok());
    QCOMPARE(said->size(), 1);
    QVERIFY(said->first().contains(QStringLiteral("(Yedek/2026.9.1-8.5.7)")));
    QVERIFY(!QFileInfo::exists(first->folder));
    QVERIFY(QFileInfo::exists(second->folder));
    QVERIFY(!store::rolloverInterrupted(root()));
  }

  // A file that is already damaged is named as the file in use, not as its copy.
  void damagedFileIsNamedAsTheOneInUse() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    const QString damaged = storeFile(store::StoreKind::Question, 3);
    {
      QVERIFY(store::createStoreFile(store::StoreKind::Question, damaged).ok());
      Result<QSqlDatabase> db = store::openFile(QStringLiteral("t-bad"), damaged);
      QVERIFY(db.ok());
      store::Transaction tx(db.value());
      for (int i = 0; i < 400; ++i)
        QVERIFY(store::run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,SORU) VALUES (?,?)"),
                           {QString::number(i), QByteArray(600, char('a' + i % 26))}, db.value())
                    .ok());
      QVERIFY(tx.commit().ok());
      QVERIFY(store::run(QStringLiteral("PRAGMA journal_mode=DELETE"), {}, db.value()).ok());
    }
    store::closeFile(QStringLiteral("t-bad"));
    QFile file(damaged);
    QVERIFY(file.size() > 40 * 4096);
    QVERIFY(file.open(QIODevice::ReadWrite));
    for (int page = 20; page < 30; ++page) {
      file.seek(page * 4096 + 8);
      file.write(QByteArray(64, '\xff'));
    }
    file.close();
    Rollover::Hooks hooks = yesOnSeptember7();
    const Rollover::Report r = run(hooks);
    QCOMPARE(r.outcome, Rollover::Outcome::Failed);
    QVERIFY2(r.message.contains(QStringLiteral("Kullanılan veritabanı dosyası DERSLIK_3.db bozuk")),
             qPrintable(r.message));
    QVERIFY2(!r.message.contains(QStringLiteral("Yedek")), qPrintable(r.message));
    QVERIFY(store::completeBackups(root()).isEmpty());
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI")),
             QStringLiteral("5-A"));
  }

  // The rollover runs alone: it waits for writers that hold the folder, and a
  // program that starts while it runs writes nothing.
  void rolloverAndWritersExcludeEachOther() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    QVERIFY(store::enterDataFolder(root(), 0).ok());
    // Another process is the only thing flock tells apart by its open file.
    const int other =
        ::open(QFile::encodeName(store::DataLock::filePath(root())).constData(), O_RDWR);
    QVERIFY(other >= 0);
    QCOMPARE(::flock(other, LOCK_SH | LOCK_NB), 0);
    Rollover::Hooks hooks = yesOnSeptember7();
    hooks.lockWaitMs = 200;
    const Rollover::Report busy = run(hooks);
    QCOMPARE(busy.outcome, Rollover::Outcome::Failed);
    QVERIFY(busy.message.contains(store::DataLock::folderInUseMessage()));
    QVERIFY(!QFileInfo::exists(store::backupRoot(root())) ||
            QDir(store::backupRoot(root())).isEmpty());
    QCOMPARE(store::DataLock::mode(root()), store::DataLock::Mode::Shared);
    // The other process runs a rollover now: this one may not start writing.
    QCOMPARE(::flock(other, LOCK_UN), 0);
    store::DataLock::release();
    QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), 0);
    const Result<QStringList> entered = store::enterDataFolder(root(), 200);
    QVERIFY(!entered.ok());
    QCOMPARE(entered.error(), store::DataLock::rolloverRunningMessage());
    ::close(other);
    QVERIFY(store::enterDataFolder(root(), 200).ok());
    QCOMPARE(run(hooks).outcome, Rollover::Outcome::Done);
    QCOMPARE(store::DataLock::mode(root()), store::DataLock::Mode::Shared);
    store::DataLock::release();
  }

  // What a kill leaves behind at each point of a run, and what the next start
  // makes of it: the old year whole, or the new year whole; DERSLIK.db always there.
  void interruptedRunIsFinishedOrUndone_data() {
    QTest::addColumn<QStringList>("leftovers");
    QTest::addColumn<QString>("expectedClass");
    QTest::addColumn<bool>("storesKept");
    QTest::newRow("building the new file") << QStringList{"staged"} << "5-A" << true;
    QTest::newRow("journal written") << QStringList{"staged", "journal"} << "6-A" << false;
    QTest::newRow("new file in place") << QStringList{"swapped", "journal"} << "6-A" << false;
    QTest::newRow("older version between its renames")
        << QStringList{"staged", "retired"} << "5-A" << true;
    QTest::newRow("older version after its renames")
        << QStringList{"swapped", "retired"} << "6-A" << true;
    QTest::newRow("half-written backup") << QStringList{"halfBackup"} << "5-A" << true;
  }
  void interruptedRunIsFinishedOrUndone() {
    QFETCH(QStringList, leftovers);
    QFETCH(QString, expectedClass);
    QFETCH(bool, storesKept);
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    db().close();
    const QString main = db().mainFile();
    const QString newYear = m_fx.path(QStringLiteral("yeni-yil.db"));
    QVERIFY(QFile::copy(main, newYear));
    {
      Result<QSqlDatabase> db = store::openFile(QStringLiteral("t-new"), newYear);
      QVERIFY(db.ok());
      QVERIFY(
          store::run(QStringLiteral("UPDATE TABLEOGRENCI SET SINIFI='6-A'"), {}, db.value()).ok());
    }
    store::closeFile(QStringLiteral("t-new"));
    const Result<store::Backup> backup =
        store::createBackupFolder(root(), QStringLiteral("2026.9.7-8.30.0"));
    QVERIFY(backup.ok());
    if (!leftovers.contains(QStringLiteral("halfBackup")))
      QVERIFY(store::markBackupComplete(backup.value()).ok());
    if (leftovers.contains(QStringLiteral("staged")))
      QVERIFY(QFile::rename(newYear, store::stagedMainPath(root())));
    if (leftovers.contains(QStringLiteral("swapped"))) {
      QVERIFY(QFile::rename(main, m_fx.path(QStringLiteral("eski-yil.db"))));
      QVERIFY(QFile::rename(newYear, main));
      if (leftovers.contains(QStringLiteral("retired")))
        QVERIFY(QFile::rename(m_fx.path(QStringLiteral("eski-yil.db")),
                              m_fx.path(QStringLiteral("DERSLIK.eski.db"))));
    } else if (leftovers.contains(QStringLiteral("retired"))) {
      QVERIFY(QFile::rename(main, m_fx.path(QStringLiteral("DERSLIK.eski.db"))));
    }
    if (leftovers.contains(QStringLiteral("journal"))) {
      // As a run leaves it at its commit point (the new file may be in place already).
      QFile journal(store::swapJournalPath(root()));
      QVERIFY(journal.open(QIODevice::WriteOnly));
      journal.write("Yedek/2026.9.7-8.30.0\n");
    }

    QVERIFY(store::rolloverInterrupted(root()));
    // Until the swap is finished DERSLIK.db may be the old year's file: never opened.
    if (leftovers.contains(QStringLiteral("journal"))) {
      QVERIFY(!db().open().ok());
      QVERIFY(!db().isOpen());
    }
    const Result<QStringList> entered = store::enterDataFolder(root(), 0);
    QVERIFY2(entered.ok(), qPrintable(entered.error()));
    QCOMPARE(entered->size(), 1);  // what was found and done, in one sentence
    QVERIFY(!store::rolloverInterrupted(root()));
    QVERIFY(QFileInfo::exists(main));
    QCOMPARE(QFileInfo::exists(storeFile(store::StoreKind::Question, 2)), storesKept);
    QVERIFY(db().open().ok());
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI")), expectedClass);
    QCOMPARE(SchoolFixture::text(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    store::DataLock::release();
  }

  // A data folder with a school in it never gets an empty main database.
  void missingMainDatabaseIsNotMadeEmpty() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    Rollover::Hooks hooks = yesOnSeptember7();
    const Rollover::Report r = run(hooks);
    QCOMPARE(r.outcome, Rollover::Outcome::Done);
    db().close();
    const QString main = db().mainFile();
    for (const char* suffix : {"", "-wal", "-shm"})
      QFile::remove(main + QString::fromLatin1(suffix));
    const Result<store::CheckReport> check = db().open();
    QVERIFY(!check.ok());
    QVERIFY2(check.error().contains(QStringLiteral("boş bir veritabanı oluşturulmadı")),
             qPrintable(check.error()));
    QVERIFY(check.error().contains(QStringLiteral("Yedek/") + r.backupStamp));
    QVERIFY(!db().isOpen());
    QVERIFY(!QFileInfo::exists(main));
  }

 private:
  SchoolFixture m_fx;
  RecordedMessages m_yes;
};

QTEST_GUILESS_MAIN(TestRollover)
#include "tst_rollover.moc"
