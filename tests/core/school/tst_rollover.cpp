#include <QDir>
#include <QFile>
#include <QSqlRecord>
#include <QtTest>

#include "SchoolFixture.h"
#include "delivery/RunSettings.h"
#include "school/Rollover.h"
#include "store/Database.h"
#include "store/StoreFiles.h"

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

QString storeFile(store::StoreKind kind, int n) {
  return store::storePath(SchoolFixture::db().root(), kind, n);
}

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
    RecordedMessages messages;
    messages.setDefaultAnswer(Messages::Answer::No);
    Rollover::Hooks hooks;
    hooks.now = [] { return QDateTime(QDate(2026, 3, 2), QTime(10, 0)); };
    hooks.messages = &messages;
    const Rollover::Report r = offer(hooks);
    QCOMPARE(r.outcome, Rollover::Outcome::Declined);
    QCOMPARE(messages.texts(), QStringList{Rollover::firstQuestion()});
    QCOMPARE(messages.shown().first().title, QStringLiteral("Sınıf Atlatma"));
    QVERIFY(messages.lastText().contains(
        QStringLiteral("\r\n\r\n- Öğrenciler bir üst sınıfa geçirilecek\r\n")));
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
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEOKUL (UCDUGME) VALUES ('1')")).ok());
    QVERIFY(db().reloadInstitution().ok());
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    RecordedMessages messages;
    Rollover::Hooks hooks;
    hooks.messages = &messages;
    QCOMPARE(run(hooks).outcome, Rollover::Outcome::NotAllowed);
    QCOMPARE(recordedSchoolYear(), QString());
    QVERIFY(messages.shown().isEmpty());
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

    const QStringList untouched{QStringLiteral("TABLEESLESME"),
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

    RecordedMessages messages;
    Rollover::Hooks hooks;
    hooks.now = [] { return QDateTime(QDate(2026, 9, 7), QTime(8, 30)); };
    hooks.messages = &messages;
    bool closed = false;
    hooks.closeScreens = [&] { closed = true; };
    const Rollover::Report r = run(hooks);
    QVERIFY2(r.outcome == Rollover::Outcome::Done, qPrintable(r.message));
    QCOMPARE(r.message, QStringLiteral("Sınıf atlatma prosedürü tamamlanmıştır."));
    QVERIFY(closed);
    QVERIFY(db().isOpen());  // on the new database
    QCOMPARE(
        messages.lastText(),
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
    const delivery::RunSetupChoices search = delivery::RunSetupChoices::load(db().db()).value();
    QCOMPARE(search.course, 0);
    QCOMPARE(search.author, 0);
    QCOMPARE(search.level, 1);
    QCOMPARE(search.applied, 1);
    QCOMPARE(search.classIndex, 1);
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
    QCOMPARE(dump(QStringLiteral("TABLEPARAMETRE WHERE PARAMETREADI<>'SINIFI'"),
                  QStringLiteral("PARAMETREADI,PARAMETREDEGERI,NZ(PARAMETREACIKLAMA)")),
             (QStringList{QStringLiteral("DERS|Fen|1"), QStringLiteral("HAZIRLAYAN|Ben|1"),
                          QStringLiteral("SEVIYE|12|"), QStringLiteral("SEVIYE|5|1"),
                          QStringLiteral("SEVIYE|6|"), QStringLiteral("SEVIYE|7|"),
                          QStringLiteral("SEVIYE|8|"), QStringLiteral("SEVIYE|9|1")}));
    QCOMPARE(dump(QStringLiteral("TABLEOKUL"),
                  QStringLiteral("OKULADI,SINIFATLATMADONEM,SONSORUINDIRMEZAMANI")),
             QStringList{QStringLiteral("Okul'un Adı|2026-2027|")});
    // The old year, whole, in Yedek.
    const QStringList backups =
        QDir(m_fx.path(QStringLiteral("Yedek"))).entryList(QDir::Files, QDir::Name);
    QCOMPARE(backups.size(), 4);
    for (const QString& b : backups)
      QVERIFY2(b.startsWith(r.backupStamp + QLatin1Char('-')), qPrintable(b));
    {
      Result<QSqlDatabase> old =
          store::openFile(QStringLiteral("t-old"),
                          m_fx.path(QStringLiteral("Yedek/%1-DERSLIK.db").arg(r.backupStamp)));
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
  }

  void failureKeepsTheOldFiles() {
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("5-A"));
    QVERIFY(
        db().run(QStringLiteral("INSERT INTO TABLECEVAP (KAYITNO,CEVAP) VALUES ('1','A')")).ok());
    // A content store that is not a database stops the backup check.
    QFile bad(storeFile(store::StoreKind::Question, 4));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(4096, 'x'));
    bad.close();
    RecordedMessages messages;
    Rollover::Hooks hooks;
    hooks.messages = &messages;
    hooks.now = [] { return QDateTime(QDate(2026, 9, 7), QTime(8, 30)); };
    const Rollover::Report r = run(hooks);
    QCOMPARE(r.outcome, Rollover::Outcome::Failed);
    QVERIFY(r.message.contains(QStringLiteral("eski dosyalar kullanılmaya devam ediyor")));
    QVERIFY(db().isOpen());
    QCOMPARE(SchoolFixture::text(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI")),
             QStringLiteral("5-A"));
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP")), 1);
    QVERIFY(QDir(m_fx.path(QStringLiteral("Yedek"))).entryList(QDir::Files).isEmpty());
    QVERIFY(!QFile::exists(m_fx.path(QStringLiteral("DERSLIK.yeni.db"))));
  }

 private:
  SchoolFixture m_fx;
};

QTEST_GUILESS_MAIN(TestRollover)
#include "tst_rollover.moc"
