// The hand query of derslik-cli sql: one reading statement, nothing written
// anywhere, bounded in time and size; and database errors in Turkish words.
#include <QDir>
#include <QtTest>

#include "FileHash.h"

#include "TempDataFolder.h"

#include <memory>

#include <sqlite3.h>

#include "store/Database.h"
#include "store/ReadOnlyQuery.h"
#include "store/Sql.h"
#include "store/SqlErrors.h"

class TestReadOnlyQuery : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir));
    QVERIFY(m_dir->store()
                .run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI,SINIFI) VALUES "
                                    "('1','Ayşe','5-A'),('2',NULL,'5-A')"))
                .ok());
    // As derslik-cli finds it: no program has the file open.
    m_dir->store().close();
    m_main = m_dir->store().mainFile();
  }
  void cleanup() { m_dir.reset(); }

  void readsOneStatement_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("select") << "SELECT KAYITNO, NZ(ADI) AS ADI FROM TABLEOGRENCI ORDER BY 1"
                            << QStringList{"KAYITNO\tADI", "1\tAyşe", "2\t"};
    QTest::newRow("trailing semicolon and comment")
        << "SELECT COUNT(*) AS N FROM TABLEOGRENCI; -- sayı\n"
        << QStringList{"N", "2"};
    QTest::newRow("recursive cte")
        << "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x<3) SELECT x FROM c"
        << QStringList{"x", "1", "2", "3"};
    QTest::newRow("reading pragma") << "PRAGMA table_info(TABLEKUMANDA)" << QStringList{};
    QTest::newRow("blob shown by size")
        << "SELECT x'0102ff' AS B" << QStringList{"B", "[ikili veri: 3 bayt]"};
  }
  void readsOneStatement() {
    QFETCH(QString, sql);
    QFETCH(QStringList, rows);
    QStringList got;
    const Status s = store::runReadOnlyQuery(
        m_main, sql, [&](const QStringList& row) { got << row.join(QLatin1Char('\t')); });
    QVERIFY2(s.ok(), qPrintable(s.error()));
    if (!rows.isEmpty())
      QCOMPARE(got, rows);
    else
      QVERIFY(got.size() > 2);
  }

  // Whatever the statement, the database file keeps every byte and no file appears.
  void writesNothing_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("message");
    const QString readOnly = QStringLiteral("Yalnızca okuma sorgularına izin verilir");
    QTest::newRow("insert") << "INSERT INTO TABLEOGRENCI (KAYITNO) VALUES ('9')" << readOnly;
    QTest::newRow("update") << "UPDATE TABLEOGRENCI SET ADI='x'" << readOnly;
    QTest::newRow("drop") << "DROP TABLE TABLEOGRENCI" << readOnly;
    QTest::newRow("journal mode") << "PRAGMA journal_mode=DELETE" << readOnly;
    QTest::newRow("user version") << "PRAGMA user_version=7" << readOnly;
    QTest::newRow("writable schema") << "PRAGMA writable_schema=ON" << readOnly;
    QTest::newRow("attach") << "ATTACH DATABASE '@/baska.db' AS b" << readOnly;
    QTest::newRow("vacuum into") << "VACUUM INTO '@/kopya.db'" << readOnly;
    QTest::newRow("load extension") << "SELECT load_extension('@/x.so')" << readOnly;
    QTest::newRow("begin") << "BEGIN IMMEDIATE" << readOnly;
    QTest::newRow("two statements")
        << "SELECT 1; DELETE FROM TABLEOGRENCI" << store::onlyOneStatementMessage();
    QTest::newRow("two selects") << "SELECT 1; SELECT 2" << store::onlyOneStatementMessage();
    QTest::newRow("empty") << "  -- yalnızca not"
                           << "Sorgu boş.";
    QTest::newRow("syntax") << "SELEC 1"
                            << "Sorgu yazımı hatalı";
  }
  void writesNothing() {
    QFETCH(QString, sql);
    QFETCH(QString, message);
    const QString outside = m_dir->filePath(QStringLiteral("disari"));
    QVERIFY(QDir().mkpath(outside));
    sql.replace(QLatin1Char('@'), outside);
    const QByteArray before = fileHash(m_main);
    QStringList rows;
    const Status s = store::runReadOnlyQuery(
        m_main, sql, [&](const QStringList& row) { rows << row.join(QLatin1Char('\t')); });
    QVERIFY(!s.ok());
    QVERIFY2(s.error().startsWith(message), qPrintable(s.error()));
    QVERIFY(!s.error().contains(QStringLiteral("not an error")));
    QCOMPARE(fileHash(m_main), before);
    QVERIFY(QDir(outside).isEmpty());
    // Still in the journal mode the program left it in.
    store::Store& data = m_dir->store();
    QVERIFY(data.open().ok());
    QCOMPARE(data.scalar(QStringLiteral("PRAGMA journal_mode"))->toString(), QStringLiteral("truncate"));
    QCOMPARE(data.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI"))->toInt(), 2);
    data.close();
  }

  void boundedInTimeAndSize() {
    store::ReadOnlyLimits limits;
    limits.timeoutMs = 300;
    limits.maxValueBytes = 100000;
    QElapsedTimer clock;
    clock.start();
    Status s = store::runReadOnlyQuery(
        m_main,
        QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) "
                       "SELECT COUNT(*) FROM c"),
        [](const QStringList&) {}, limits);
    QVERIFY(!s.ok());
    QVERIFY2(s.error().contains(QStringLiteral("durduruldu")), qPrintable(s.error()));
    QVERIFY(clock.elapsed() < 3000);
    s = store::runReadOnlyQuery(
        m_main, QStringLiteral("SELECT zeroblob(1000000000)"), [](const QStringList&) {}, limits);
    QVERIFY(!s.ok());
    QVERIFY2(s.error().startsWith(QStringLiteral("Değer ya da sonuç çok büyük")),
             qPrintable(s.error()));
    limits.maxResultBytes = 50000;
    int rows = 0;
    s = store::runReadOnlyQuery(
        m_main,
        QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE "
                       "x<100000) SELECT x, printf('%.50c', 'a') FROM c"),
        [&](const QStringList&) { ++rows; }, limits);
    QVERIFY(!s.ok());
    QVERIFY(s.error().startsWith(QStringLiteral("Sonuç çok büyük")));
    QVERIFY(rows < 2000);
  }

  // Library texts never stand alone: Turkish words first, the library's in parentheses.
  void errorsInTurkish_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("shown");
    QTest::newRow("corrupt") << SQLITE_CORRUPT << "database disk image is malformed"
                             << "Dosya bozuk (database disk image is malformed)";
    QTest::newRow("extended corrupt")
        << (SQLITE_CORRUPT | (1 << 8)) << "database disk image is malformed"
        << "Dosya bozuk (database disk image is malformed)";
    QTest::newRow("not a database") << SQLITE_NOTADB << "file is not a database"
                                    << "Dosya bir veritabanı değil (file is not a database)";
    QTest::newRow("not an error") << SQLITE_OK << "not an error"
                                  << "Veritabanı hatası";
    QTest::newRow("no such table") << SQLITE_ERROR << "no such table: X"
                                   << "Tablo bulunamadı (no such table: X)";
    QTest::newRow("full") << SQLITE_FULL << "database or disk is full"
                          << "Disk dolu (database or disk is full)";
    QTest::newRow("busy")
        << SQLITE_BUSY << "database is locked"
        << "Veritabanı başka bir işlem tarafından kullanılıyor (database is locked)";
  }
  void errorsInTurkish() {
    QFETCH(int, code);
    QFETCH(QString, library);
    QFETCH(QString, shown);
    QCOMPARE(store::sqliteErrorText(code, library), shown);
  }

  void openingAForeignFileSaysSoInTurkish() {
    const QString junk = m_dir->filePath(QStringLiteral("bozuk.db"));
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    const Result<QSqlDatabase> db = store::openFile(QStringLiteral("t-junk"), junk);
    QVERIFY(!db.ok());
    QVERIFY2(db.error().startsWith(QStringLiteral("Dosya bir veritabanı değil (")),
             qPrintable(db.error()));
    store::closeFile(QStringLiteral("t-junk"));
    const Status s = store::runReadOnlyQuery(junk, QStringLiteral("SELECT 1 FROM TABLEOGRENCI"),
                                             [](const QStringList&) {});
    QVERIFY(s.error().startsWith(QStringLiteral("Dosya bir veritabanı değil (")));
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
  QString m_main;
};

QTEST_GUILESS_MAIN(TestReadOnlyQuery)
#include "tst_readonlyquery.moc"
