#include <QSqlQuery>
#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "store/DataMigration.h"
#include "store/Database.h"
#include "store/FieldPass.h"
#include "store/Institution.h"
#include "store/Schema.h"
#include "store/SchemaTables.h"
#include "store/Store.h"
#include "store/StoreFiles.h"

namespace {

QString text(const char* s) { return QString::fromUtf8(s); }

// The running test's store; the helpers run on its main connection unless told
// another one.
store::Store* g_store = nullptr;

Status run(const QString& sql, const QVariantList& params = {}, const QSqlDatabase& db = {}) {
  return store::run(sql, params, db.isValid() ? db : g_store->db());
}
QVariant scalar(const QString& sql, const QVariantList& params = {}) {
  return g_store->scalar(sql, params).valueOr({});
}
QStringList column(const QString& sql, const QVariantList& params = {},
                   const QSqlDatabase& db = {}) {
  return store::column(sql, params, db.isValid() ? db : g_store->db()).valueOr({});
}
QString storeFile(store::StoreKind kind, int n) {
  return store::storePath(g_store->root(), kind, n);
}

void setDataVersion(const QString& version) {
  QVERIFY(run(QStringLiteral("UPDATE TABLEVERSIYON SET VTVERIVERSIYON=?"), {version}).ok());
}

QString dataVersion() {
  return scalar(QStringLiteral("SELECT VTVERIVERSIYON FROM TABLEVERSIYON")).toString();
}

// The next start: close, then check again.
Result<store::CheckReport> restart() {
  g_store->close();
  return g_store->open();
}

QStringList stepsFrom(int first) {
  QStringList out;
  for (int n : {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                20, 21, 22, 23, 24, 25, 33, 35, 37, 38, 39, 40, 41, 42, 43, 44})
    if (n >= first) out << QString::number(n);
  return out;
}

QByteArray blob(const QString& path, const QString& sql, const QString& key) {
  QByteArray out;
  {
    Result<QSqlDatabase> db = store::openFile(QStringLiteral("okuma"), path);
    if (!db) return "<açılamadı>";
    Result<QSqlQuery> q = store::exec(sql, {key}, db.value());
    if (q && q.value().next()) out = q.value().value(0).toByteArray();
  }
  store::closeFile(QStringLiteral("okuma"));
  return out;
}

}  // namespace

class TestMigration : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir));
    g_store = &m_dir->store();
  }
  void cleanup() {
    g_store = nullptr;
    m_dir.reset();
  }

  void versionDecidesSteps_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("deleteRow");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("after");
    QTest::newRow("43") << QStringLiteral("43") << false << QStringList{QStringLiteral("44")}
                        << "44";
    QTest::newRow("44") << QStringLiteral("44") << false << QStringList() << "44";
    QTest::newRow("empty") << QString() << false << stepsFrom(2) << "44";
    QTest::newRow("missing row") << QString() << true << stepsFrom(2) << "44";
    QTest::newRow("not a number") << QStringLiteral("abc") << false << stepsFrom(2) << "44";
    QTest::newRow("leading number") << QStringLiteral("21x") << false << stepsFrom(22) << "44";
    QTest::newRow("between steps") << QStringLiteral("27") << false << stepsFrom(33) << "44";
    // A newer program's version is neither run nor lowered.
    QTest::newRow("newer") << QStringLiteral("45") << false << QStringList() << "45";
  }
  void versionDecidesSteps() {
    QFETCH(QString, stored);
    QFETCH(bool, deleteRow);
    QFETCH(QStringList, steps);
    QFETCH(QString, after);
    setDataVersion(stored);
    if (deleteRow) QVERIFY(run(QStringLiteral("DELETE FROM TABLEVERSIYON")).ok());
    const Result<store::CheckReport> report = restart();
    QVERIFY2(report.ok(), qPrintable(report.error()));
    QCOMPARE(report->failedStep, 0);
    QCOMPARE(report->stepsRun, steps);
    QCOMPARE(dataVersion(), after);
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEVERSIYON")).toInt(), 1);
    // A second start runs nothing.
    const Result<store::CheckReport> again = restart();
    QVERIFY(again.ok());
    QVERIFY(again->stepsRun.isEmpty());
  }

  void dersEkle_data() {
    QTest::addColumn<bool>("emptyTable");
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("added");
    QTest::newRow("empty table") << true << false << 0;
    QTest::newRow("already listed") << false << true << 0;
    QTest::newRow("new value") << false << false << 1;
  }
  void dersEkle() {
    QFETCH(bool, emptyTable);
    QFETCH(bool, present);
    QFETCH(int, added);
    const QString name = text("TÜRKİYE'NİN \"COĞRAFYASI\"");
    QVERIFY(run(QStringLiteral("DELETE FROM TABLEPARAMETRE")).ok());
    if (!emptyTable)
      QVERIFY(
          run(QStringLiteral("INSERT INTO TABLEPARAMETRE VALUES ('DERS','MATEMATİK','')")).ok());
    if (present)
      QVERIFY(run(QStringLiteral("INSERT INTO TABLEPARAMETRE VALUES ('DERS',?,'')"), {name}).ok());
    // The same text in another list does not count.
    if (!emptyTable)
      QVERIFY(
          run(QStringLiteral("INSERT INTO TABLEPARAMETRE VALUES ('SEVIYE',?,'')"), {name}).ok());
    const int before = scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE")).toInt();
    QVERIFY(store::DersEkle(name, g_store->db()).ok());
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE")).toInt(), before + added);
    if (added)
      QCOMPARE(
          scalar(QStringLiteral(
                     "SELECT PARAMETREACIKLAMA FROM TABLEPARAMETRE WHERE PARAMETREADI='DERS' AND "
                     "PARAMETREDEGERI=?"),
                 {name})
              .toString(),
          QStringLiteral("1"));
    QVERIFY(store::SeviyeEkle(QStringLiteral("YENİ SEVİYE"), g_store->db()).ok());
    QCOMPARE(
        scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE WHERE PARAMETREADI='SEVIYE'"))
            .toInt(),
        emptyTable ? 0 : 2);
  }

  // Step 11 ranks every stored run by the one scorer, from its answers: equal nets
  // go by the shorter total time; a total of 100 minutes is longer than one of 99.
  void step11RanksTies() {
    struct Row {
      const char* remote;
      const char* net;
      const char* answers;  // two answers, key A
      const char* time;     // of the first answer
      const char* run;
    };
    const Row rows[] = {
        {"1-1", "1", "AB", "2:10", "10:00:00"},  {"1-2", "1", "AB", "1:50", "10:00:00"},
        {"1-3", "2", "AA", "5:00", "10:00:00"},  {"1-4", "1", "BA", "100:00", "10:00:00"},
        {"1-5", "1", "AB", "99:00", "10:00:00"}, {"1-6", "0", "BB", "0:10", "10:00:00"},
        {"2-1", "0", "BX", "0:10", "11:00:00"},  {"2-2", "1", "AX", "0:20", "11:00:00"}};
    for (const Row& r : rows) {
      QVERIFY(
          run(QStringLiteral("INSERT INTO TABLESONUC (KUMANDAADRESI,NET,TESTTARIHI,TESTBASLANGIC) "
                             "VALUES (?,?,'01.03.2012',?)"),
              {text(r.remote), text(r.net), text(r.run)})
              .ok());
      for (int q = 1; q <= 2; ++q)
        QVERIFY(run(QStringLiteral(
                        "INSERT INTO TABLECEVAP (KUMANDAADRESI,TESTTARIHI,TESTBASLANGIC,TESTSIRANO,"
                        "CEVAP,DOGRUSIK,CEVAPSURESI,YANLISDOGRUGOTURU) VALUES "
                        "(?,'01.03.2012',?,?,?,'A',?,'0')"),
                    {text(r.remote), text(r.run), q, QString(QLatin1Char(r.answers[q - 1])),
                     q == 1 ? text(r.time) : QStringLiteral("0:00")})
                    .ok());
    }
    setDataVersion(QStringLiteral("10"));
    const Result<store::CheckReport> report = restart();
    QVERIFY(report.ok());
    QVERIFY(report->stepsRun.contains(QStringLiteral("11")));
    QCOMPARE(
        column(QStringLiteral("SELECT KUMANDAADRESI || '=' || KACINCIOLDU FROM TABLESONUC ORDER BY "
                              "TESTBASLANGIC, CAST(KACINCIOLDU AS INTEGER)")),
        QStringList({"1-3=1", "1-2=2", "1-1=3", "1-5=4", "1-4=5", "1-6=6", "2-2=1", "2-1=2"}));
    QCOMPARE(scalar(QStringLiteral(
                        "SELECT COUNT(*) FROM TABLECEVAP C JOIN TABLESONUC S ON "
                        "S.KUMANDAADRESI=C.KUMANDAADRESI AND S.TESTBASLANGIC=C.TESTBASLANGIC WHERE "
                        "C.KACINCIOLDU=S.KACINCIOLDU"))
                 .toInt(),
             16);
  }

  // Moving the old KONU level to UNITE keeps every other column and the autonumbers.
  void step8KeepsEveryColumn() {
    QVERIFY(
        run(QStringLiteral(
                "INSERT INTO TABLESORU (SORUNO,KONU,KAZANIM,COZUMVIDEO,SESDOSYASI,DOGRUSIK) VALUES "
                "('5','Sayılar','eski','cozum.mp4','ses.wav','C')"))
            .ok());
    QVERIFY(run(QStringLiteral(
                    "INSERT INTO TABLETEST (TESTNO,KONU,BKITAPCIK,CKITAPCIK,DKITAPCIK,TESTSIRASI,"
                    "BASLANGICEKRANIGOSTER) VALUES ('3','Kesirler','ABCD','BCDA','CDAB','2','1')"))
                .ok());
    QVERIFY(run(QStringLiteral("INSERT INTO TABLETANIMLAMALAR (TANIMADI,SEVIYE,DERS,KONU) VALUES "
                               "('KONULAR','5. SINIF','MATEMATİK','Sayılar')"))
                .ok());
    const int questionId =
        scalar(QStringLiteral("SELECT ID FROM TABLESORU WHERE SORUNO='5'")).toInt();
    setDataVersion(QStringLiteral("7"));
    const Result<store::CheckReport> report = restart();
    QVERIFY(report.ok());
    QCOMPARE(report->failedStep, 0);
    QCOMPARE(column(QStringLiteral(
                 "SELECT ID || '|' || UNITE || '|' || KONU || '|' || KAZANIM || '|' || "
                 "COZUMVIDEO || '|' || SESDOSYASI || '|' || DOGRUSIK FROM TABLESORU")),
             QStringList{QStringLiteral("%1|Sayılar|||cozum.mp4|ses.wav|C").arg(questionId)});
    QCOMPARE(column(QStringLiteral(
                 "SELECT UNITE || '|' || KONU || '|' || BKITAPCIK || CKITAPCIK || DKITAPCIK "
                 "|| '|' || TESTSIRASI || '|' || BASLANGICEKRANIGOSTER FROM TABLETEST")),
             QStringList{text("Kesirler||ABCDBCDACDAB|2|1")});
    QCOMPARE(
        scalar(QStringLiteral("SELECT UNITE || '|' || KONU FROM TABLETANIMLAMALAR")).toString(),
        text("Sayılar|"));
    for (const char* table : {"TABLESORU", "TABLETEST", "TABLETANIMLAMALAR"})
      QCOMPARE(store::tableColumns(QString::fromLatin1(table), g_store->db()),
               store::findMainTable(QString::fromLatin1(table))->columnNames());
    QVERIFY(run(QStringLiteral("INSERT INTO TABLESORU (SORUNO) VALUES ('6')")).ok());
    QCOMPARE(scalar(QStringLiteral("SELECT ID FROM TABLESORU WHERE SORUNO='6'")).toInt(),
             questionId + 1);
  }

  // Binary content of the old main tables moves to question store 2 and test
  // store T2; results are built from the recorded answers.
  void step7MovesContentAndBuildsResults() {
    for (const char* sql :
         {"ALTER TABLE TABLESORU ADD COLUMN SORU BLOB",
          "ALTER TABLE TABLESORU ADD COLUMN COZUM BLOB",
          "ALTER TABLE TABLETEST ADD COLUMN BASLANGICEKRANI BLOB",
          "ALTER TABLE TABLETEST ADD COLUMN BASLIK BLOB",
          "INSERT INTO TABLESORU (SORUNO,SORU,COZUM) VALUES ('1',x'00ff10',x'0102')",
          "INSERT INTO TABLESORU (SORUNO,SORU,COZUM) VALUES ('2',x'aabb',NULL)",
          "INSERT INTO TABLETEST (TESTNO,BASLANGICEKRANI,BASLIK) VALUES ('T1',x'cafe',x'beef')",
          "INSERT INTO TABLEOGRENCI (KAYITNO,ADI,SOYADI) VALUES ('10','Ali','Veli''oğlu')",
          "INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,SINIFI,GRUP,SEVIYE) VALUES "
          "('02.03.2011','09:00:00','5-A','G1','5. SINIF')"})
      QVERIFY2(run(text(sql)).ok(), sql);
    // Student 10 on remote 1-1: correct, wrong, wrong, wrong, blank "X", no answer.
    const char* answers[][3] = {{"A", "A", "00:30"}, {"B", "C", "00:35"}, {"C", "D", "00:10"},
                                {"D", "A", "00:05"}, {"X", "B", "00:00"}, {"", "C", "00:00"}};
    int position = 0;
    for (const auto& a : answers)
      QVERIFY(
          run(QStringLiteral(
                  "INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTBITIS,TESTNO,TESTSIRANO,"
                  "KUMANDAADRESI,KAYITNO,CEVAP,DOGRUSIK,CEVAPSURESI,YANLISDOGRUGOTURU) VALUES "
                  "('02.03.2011','09:00:00','09:20:00','T1',?,'1-1','10',?,?,?,'1')"),
              {++position, text(a[0]), text(a[1]), text(a[2])})
              .ok());
    // A second student who got everything right, on remote 1-2.
    for (int p = 1; p <= 6; ++p)
      QVERIFY(
          run(QStringLiteral(
                  "INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTBITIS,TESTNO,TESTSIRANO,"
                  "KUMANDAADRESI,KAYITNO,CEVAP,DOGRUSIK,CEVAPSURESI,YANLISDOGRUGOTURU) VALUES "
                  "('02.03.2011','09:00:00','09:20:00','T1',?,'1-2','11','A','A','01:00','1')"),
              {p})
              .ok());
    // Remote 1-3 was paired anew halfway: still one remote, one result row.
    for (int p = 1; p <= 6; ++p)
      QVERIFY(
          run(QStringLiteral(
                  "INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTBITIS,TESTNO,TESTSIRANO,"
                  "KUMANDAADRESI,KAYITNO,CEVAP,DOGRUSIK,CEVAPSURESI,YANLISDOGRUGOTURU) VALUES "
                  "('02.03.2011','09:00:00','09:20:00','T1',?,'1-3',?,'A','A','00:10','1')"),
              {p, p <= 3 ? QStringLiteral("12") : QStringLiteral("13")})
              .ok());
    // The question store already exists with content of another question: the
    // old content must go in all the same.
    {
      Result<QSqlDatabase> q2 =
          store::openFile(QStringLiteral("q2"), storeFile(store::StoreKind::Question, 2));
      QVERIFY(q2.ok());
      QVERIFY(run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,SORU) VALUES ('99',x'99')"), {},
                  q2.value())
                  .ok());
    }
    store::closeFile(QStringLiteral("q2"));
    QVERIFY(QFile::remove(storeFile(store::StoreKind::Test, 2)));
    setDataVersion(QStringLiteral("6"));

    const Result<store::CheckReport> report = restart();
    QVERIFY2(report.ok(), qPrintable(report.error()));
    QCOMPARE(report->failedStep, 0);
    QVERIFY(report->stepsRun.contains(QStringLiteral("7")));

    const QStringList questionColumns =
        store::tableColumns(QStringLiteral("TABLESORU"), g_store->db());
    QVERIFY(!questionColumns.contains(QStringLiteral("SORU")));
    QVERIFY(!questionColumns.contains(QStringLiteral("COZUM")));
    QVERIFY(!store::tableColumns(QStringLiteral("TABLETEST"), g_store->db())
                 .contains(QStringLiteral("BASLIK")));
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")).toInt(), 2);
    g_store->close();

    const QString q2 = storeFile(store::StoreKind::Question, 2);
    const QString t2 = storeFile(store::StoreKind::Test, 2);
    QCOMPARE(
        blob(q2, QStringLiteral("SELECT SORU FROM TABLESORU WHERE SORUNO=?"), QStringLiteral("1")),
        QByteArray::fromHex("00ff10"));
    QCOMPARE(
        blob(q2, QStringLiteral("SELECT COZUM FROM TABLESORU WHERE SORUNO=?"), QStringLiteral("1")),
        QByteArray::fromHex("0102"));
    QCOMPARE(
        blob(q2, QStringLiteral("SELECT SORU FROM TABLESORU WHERE SORUNO=?"), QStringLiteral("2")),
        QByteArray::fromHex("aabb"));
    QCOMPARE(
        blob(q2, QStringLiteral("SELECT SORU FROM TABLESORU WHERE SORUNO=?"), QStringLiteral("99")),
        QByteArray::fromHex("99"));
    QCOMPARE(blob(t2, QStringLiteral("SELECT BASLANGICEKRANI FROM TABLETEST WHERE TESTNO=?"),
                  QStringLiteral("T1")),
             QByteArray::fromHex("cafe"));
    QCOMPARE(blob(t2, QStringLiteral("SELECT BASLIK FROM TABLETEST WHERE TESTNO=?"),
                  QStringLiteral("T1")),
             QByteArray::fromHex("beef"));

    QVERIFY(g_store->open().ok());
    // By the one scorer: 1 correct, 3 wrong at three-wrong-cancel-one: net 0; blank and
    // no answer are blanks; a remote is one row, ranked by net, then time.
    QCOMPARE(
        column(QStringLiteral("SELECT "
                              "KUMANDAADRESI||'|'||KAYITNO||'|'||ADI||'|'||SOYADI||'|'||SORUSAYI|"
                              "|'|'||DOGRUSAYI||'|'||"
                              "YANLISSAYI||'|'||BOSSAYI||'|'||NET||'|'||TOPLAMSURE||'|'||"
                              "KISISAYI||'|'||SINIFI||'|'||GRUP||'|'||"
                              "SEVIYE||'|'||KACINCIOLDU FROM TABLESONUC ORDER BY KUMANDAADRESI")),
        QStringList({text("1-1|10|Ali|Veli'oğlu|6|1|3|2|0|01:20|3|5-A|G1|5. SINIF|3"),
                     text("1-2|11|||6|6|0|0|6|06:00|3|5-A|G1|5. SINIF|2"),
                     text("1-3|13|||6|6|0|0|6|01:00|3|5-A|G1|5. SINIF|1")}));
    QCOMPARE(
        scalar(QStringLiteral(
                   "SELECT CAST(ROUND(CDBL(TOPLAMSUREGIZLI)*86400) AS INTEGER) FROM TABLESONUC "
                   "WHERE KUMANDAADRESI='1-1'"))
            .toInt(),
        80);
  }

  // The version and the steps it stands for commit together: a failing step
  // leaves the version of the last step that succeeded and runs again next time.
  void failedStepRunsAgain() {
    QVERIFY(run(QStringLiteral("INSERT INTO TABLEAYAR (FORMADI,KONTROLADI,DEGER) VALUES "
                               "('frmTestUygula','cmbSeviyeAra','3')"))
                .ok());
    QVERIFY(run(QStringLiteral(
                    "DELETE FROM TABLEPARAMETRE WHERE PARAMETREDEGERI IN ('ERKEN OKUR YAZARLIK',"
                    "'İLKOKULA HAZIRLIK')"))
                .ok());
    QVERIFY(run(QStringLiteral("CREATE TRIGGER BOZUK BEFORE INSERT ON TABLEPARAMETRE BEGIN SELECT "
                               "RAISE(ABORT,'disk dolu'); END"))
                .ok());
    setDataVersion(QStringLiteral("41"));

    const Result<store::CheckReport> failed = restart();
    QVERIFY(failed.ok());  // the program still starts
    QCOMPARE(failed->failedStep, 44);
    QVERIFY(failed->error.contains(QStringLiteral("disk dolu")));
    QCOMPARE(failed->stepsRun, QStringList({QStringLiteral("42"), QStringLiteral("43")}));
    QVERIFY(!failed->messages.isEmpty());
    QVERIFY(failed->messages.last().contains(QStringLiteral("44")));
    QCOMPARE(dataVersion(), QStringLiteral("43"));
    QCOMPARE(scalar(QStringLiteral("SELECT DEGER FROM TABLEAYAR")).toString(), QStringLiteral("2"));

    QVERIFY(run(QStringLiteral("DROP TRIGGER BOZUK")).ok());
    const Result<store::CheckReport> retried = restart();
    QVERIFY(retried.ok());
    QCOMPARE(retried->failedStep, 0);
    QCOMPARE(retried->stepsRun, QStringList{QStringLiteral("44")});
    QCOMPARE(dataVersion(), QStringLiteral("44"));
    QCOMPARE(scalar(QStringLiteral("SELECT DEGER FROM TABLEAYAR")).toString(),
             QStringLiteral("2"));  // not twice
    QCOMPARE(
        scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE WHERE PARAMETREADI='DERS' AND "
                              "PARAMETREACIKLAMA='' AND PARAMETREDEGERI IN ('ERKEN OKUR YAZARLIK',"
                              "'İLKOKULA HAZIRLIK')"))
            .toInt(),
        2);
  }

  // Steps that hand a message and the institution screen to the window layer.
  void stepsReportMessages() {
    QVERIFY(
        run(QStringLiteral("INSERT INTO TABLEUYGULAMA (TESTTARIHI,AKTARILDI) VALUES ('01.04.2014',"
                           "'15.04.2014 10:11:12'),('01.05.2014','15.05.2014 10:11:12')"))
            .ok());
    QVERIFY(run(QStringLiteral(
                    "INSERT INTO TABLEOKUL (KURUMKODU,OKULADI) VALUES ('1','Papatya Anaokulu')"))
                .ok());
    setDataVersion(QStringLiteral("20"));
    const Result<store::CheckReport> report = restart();
    QVERIFY(report.ok());
    QCOMPARE(report->messages.size(), 2);
    QVERIFY(
        report->messages.at(0).startsWith(text("Değerli Öğretmenimiz,\nTeknik bir problemden")));
    QCOMPARE(report->messages.at(1), text("Lütfen bir sonraki pencerede kurumunuzu seçiniz"));
    QVERIFY(report->openInstitutionScreen);
    QCOMPARE(
        scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEUYGULAMA WHERE AKTARILDI<>''")).toInt(),
        0);
    QCOMPARE(scalar(QStringLiteral("SELECT ANAOKULU FROM TABLEOKUL")).toString(),
             QStringLiteral("1"));
  }

  // With three-button remotes the student numbers are rebuilt and cleaned.
  void threeButtonNumbers_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("number");
    QTest::newRow("off") << QStringLiteral(" ") << QStringLiteral("12/3");
    QTest::newRow("on") << QStringLiteral("1") << text("KOD5.A7AyşÖzt");
  }
  void threeButtonNumbers() {
    QFETCH(QString, setting);
    QFETCH(QString, number);
    QVERIFY(
        run(QStringLiteral("INSERT INTO TABLEOKUL (KURUMKODU,UCDUGME) VALUES ('KOD',?)"), {setting})
            .ok());
    QCOMPARE(store::Institution::read(g_store->db())->threeButtonSetting,
             setting.trimmed().isEmpty() ? QStringLiteral("0") : setting);
    QVERIFY(
        run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,SINIFI,ADI,SOYADI) VALUES "
                           "('7','12/3','5-A','Ayşe','Öztürk')"))
            .ok());
    setDataVersion(QStringLiteral("32"));
    QVERIFY(restart().ok());
    QCOMPARE(scalar(QStringLiteral("SELECT NUMARASI FROM TABLEOGRENCI")).toString(), number);
  }

  // Step 20 removes the distributed sample tests everywhere, the last test store included.
  void step20DeletesSampleTests() {
    Result<QSqlDatabase> t3 =
        store::openFile(QStringLiteral("t3"), storeFile(store::StoreKind::Test, 3));
    QVERIFY(t3.ok());
    QVERIFY(
        store::createStoreFile(store::StoreKind::Test, storeFile(store::StoreKind::Test, 3)).ok());
    t3 = store::openFile(QStringLiteral("t3"), storeFile(store::StoreKind::Test, 3));
    QVERIFY(
        run(QStringLiteral("INSERT INTO TABLETEST (TESTNO) VALUES ('ABCE01XX050'),('ABCE01XX150')"),
            {}, t3.value())
            .ok());
    store::closeFile(QStringLiteral("t3"));
    for (const char* no : {"ABCE01XX050", "ABCE01XX150", "7"}) {
      QVERIFY(run(QStringLiteral("INSERT INTO TABLETEST (TESTNO) VALUES (?)"), {text(no)}).ok());
      QVERIFY(run(QStringLiteral("INSERT INTO TABLETESTSORU (TESTNO,SORUNO) VALUES (?,'1')"),
                  {text(no)})
                  .ok());
    }
    setDataVersion(QStringLiteral("19"));
    const Result<store::CheckReport> report = restart();
    QVERIFY(report.ok());
    QCOMPARE(report->failedStep, 0);
    QCOMPARE(column(QStringLiteral("SELECT TESTNO FROM TABLETEST ORDER BY TESTNO")),
             QStringList({QStringLiteral("7"), QStringLiteral("ABCE01XX150")}));
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLETESTSORU")).toInt(), 2);
    g_store->close();
    t3 = store::openFile(QStringLiteral("t3"), storeFile(store::StoreKind::Test, 3));
    QCOMPARE(column(QStringLiteral("SELECT TESTNO FROM TABLETEST"), {}, t3.value()),
             QStringList{QStringLiteral("ABCE01XX150")});
    store::closeFile(QStringLiteral("t3"));
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_GUILESS_MAIN(TestMigration)
#include "tst_migration.moc"
