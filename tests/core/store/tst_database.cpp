// The store: its data folder, the main connection's life, statements, transactions
// and the change signals.
#include <QSignalSpy>
#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "store/ContentStores.h"
#include "store/Database.h"
#include "store/Sql.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"

Q_DECLARE_METATYPE(store::Changes)

class TestDatabase : public QObject {
  Q_OBJECT

  store::Store& db() { return m_dir->store(); }

 private slots:
  void init() { QVERIFY(TempDataFolder::renew(m_dir)); }
  void cleanup() { m_dir.reset(); }

  // Each store is its data folder: two of them in one process keep apart.
  void storesKeepTheirOwnFolder() {
    QCOMPARE(db().mainFile(), m_dir->filePath(QStringLiteral("DERSLIK.db")));
    QVERIFY(QFile::exists(db().mainFile()));
    QTemporaryDir other;
    store::Store second(other.path());
    QVERIFY(second.open().ok());
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO) VALUES ('1')")).ok());
    QCOMPARE(second.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI"))->toInt(), 0);
    QCOMPARE(db().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI"))->toInt(), 1);
    QCOMPARE(second.path(QStringLiteral("Yedek/x.db")),
             other.filePath(QStringLiteral("Yedek/x.db")));
  }

  // After close() every use is an error, and nothing opens the file again: a
  // deleted database stays deleted.
  void closedStoreNeverReopens() {
    db().close();
    QVERIFY(!db().isOpen());
    for (const char* suffix : {"", "-wal", "-shm"})
      QFile::remove(db().mainFile() + QLatin1String(suffix));
    const Status s = db().run(QStringLiteral("SELECT 1"));
    QVERIFY(!s.ok());
    QCOMPARE(s.error(), QStringLiteral("Veritabanı bağlantısı kapalı."));
    QVERIFY(!db().scalar(QStringLiteral("SELECT 1")).ok());
    store::Transaction tx(db());
    QVERIFY(!tx.active());
    QVERIFY(!tx.commit().ok());
    QVERIFY(!QFile::exists(db().mainFile()));
    // Opening on purpose makes it whole again.
    QVERIFY(db().open().ok());
    QVERIFY(db().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")).ok());
  }

  // A change is told once its transaction is committed: at once without one, at
  // the outermost commit inside nested ones, never after a rollback.
  void changesAfterTheCommit() {
    qRegisterMetaType<store::Changes>();
    QSignalSpy students(&db(), &store::Store::studentsChanged);
    QSignalSpy remotes(&db(), &store::Store::remotesChanged);
    QSignalSpy all(&db(), &store::Store::dataChanged);
    db().changed(store::Change::Students);
    QCOMPARE(students.size(), 1);
    {
      store::Transaction outer(db());
      {
        store::Transaction inner(db());
        db().changed(store::Change::Students);
        QVERIFY(inner.commit().ok());
      }
      {
        store::Transaction dropped(db());
        db().changed(store::Change::Remotes);
      }  // rolled back: its change is forgotten
      db().changed(store::Change::Pairings);
      QCOMPARE(students.size(), 1);  // nothing before the outer commit
      QVERIFY(outer.commit().ok());
    }
    QCOMPARE(students.size(), 2);
    QCOMPARE(remotes.size(), 0);
    QCOMPARE(all.size(), 2);
    QCOMPARE(all.last().at(0).value<store::Changes>(),
             store::Changes(store::Change::Students) | store::Change::Pairings);
    {
      store::Transaction failed(db());
      db().changed(store::Change::Students);
    }
    QCOMPARE(students.size(), 2);
  }

  // The institution is read once into a value; a write through the store is seen
  // at once and told.
  void institutionIsOneValue() {
    QSignalSpy told(&db(), &store::Store::institutionChanged);
    QCOMPARE(db().institution().threeButtonSetting, QStringLiteral("0"));
    QVERIFY(!db().institution().threeButton());
    QVERIFY(store::setOption(db(), store::Institution::Option::ThreeButton, true).ok());
    QVERIFY(db().institution().threeButton());
    QCOMPARE(told.size(), 1);
    // Any value other than "0" is three-button mode (an old "2" too), blank is "0".
    QVERIFY(db().run(QStringLiteral("UPDATE TABLEOKUL SET UCDUGME='2'")).ok());
    QVERIFY(db().reloadInstitution().ok());
    QVERIFY(db().institution().threeButton());
    QVERIFY(db().run(QStringLiteral("UPDATE TABLEOKUL SET UCDUGME='  '")).ok());
    QVERIFY(db().reloadInstitution().ok());
    QCOMPARE(db().institution().threeButtonSetting, QStringLiteral("0"));
  }

  void tableHelpers() {
    const QSqlDatabase c = db().db();
    QVERIFY(!store::TabloVarMi(QStringLiteral("TABLEX"), c));
    QVERIFY(db().run(QStringLiteral("CREATE TABLE TABLEX (A TEXT)")).ok());
    QVERIFY(store::TabloVarMi(QStringLiteral("TABLEX"), c));
    store::TabloSil(QStringLiteral("TABLEX"), c);
    store::TabloSil(QStringLiteral("TABLEX"), c);  // a missing table is no error
    QVERIFY(!store::TabloVarMi(QStringLiteral("TABLEX"), c));
  }

  void jetFunctions_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("val prefix") << "SELECT VAL('12abc')"
                                << "12";
    QTest::newRow("val empty") << "SELECT VAL('')"
                               << "0";
    QTest::newRow("val null") << "SELECT VAL(NULL)"
                              << "0";
    QTest::newRow("val decimal") << "SELECT VAL(' -3.5x')"
                                 << "-3.5";
    QTest::newRow("val comma ends") << "SELECT VAL('1,5')"
                                    << "1";
    QTest::newRow("isnumeric yes") << "SELECT ISNUMERIC(' 1,5 ')"
                                   << "1";
    QTest::newRow("isnumeric no") << "SELECT ISNUMERIC('12a')"
                                  << "0";
    QTest::newRow("isnumeric empty") << "SELECT ISNUMERIC('')"
                                     << "0";
    QTest::newRow("nz") << "SELECT NZ(NULL) || 'x'"
                        << "x";
    QTest::newRow("mid") << "SELECT MID('updated6-A',8)"
                         << "6-A";
    QTest::newRow("upper tr") << "SELECT TRUPPER('istanbul ılık')"
                              << "İSTANBUL ILIK";
    QTest::newRow("lower tr") << "SELECT TRLOWER('IŞIK İĞNE')"
                              << "ışık iğne";
    QTest::newRow("date order") << "SELECT CDATE('02.01.2025') > CDATE('31.12.2024')"
                                << "1";
    QTest::newRow("time order") << "SELECT CDATE('10:00:00') > CDATE('9:59:59')"
                                << "1";
    QTest::newRow("date time") << "SELECT CDATE('01.01.2025 12:00:00') - CDATE('01.01.2025')"
                               << "0.5";
    QTest::newRow("bad date") << "SELECT CDATE('31.02.2025') IS NULL"
                              << "1";
    QTest::newRow("collation")
        << "SELECT group_concat(x, ',') FROM (SELECT x FROM (SELECT 'Zeki' x UNION SELECT 'Çelik' "
           "UNION SELECT 'Can' UNION SELECT 'Ömer' UNION SELECT 'Oya') ORDER BY x COLLATE TURKCE)"
        << "Can,Çelik,Oya,Ömer,Zeki";
    // The school's rules reach SQL through the functions that decide them in C++.
    QTest::newRow("teacher") << "SELECT OGRETMENMI('1') || OGRETMENMI(' 1 ') || OGRETMENMI('0') || "
                                "OGRETMENMI('') || OGRETMENMI(NULL) || OGRETMENMI('True')"
                             << "110000";
    QTest::newRow("school number") << "SELECT OKULNO('123', '5-A', '7', 'Ayşenur', 'Yılmaz')"
                                   << "1235.A7AyşYıl";
    QTest::newRow("school number clean") << "SELECT OKULNOTEMIZLE('12/3\\4-5')"
                                         << "12.3.4.5";
    QTest::newRow("content digest")
        << "SELECT ICERIKOZETI(x'616263')"
        << "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  }
  void jetFunctions() {
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(db().scalar(sql)->toString(), expected);
  }

  void boundInList() {
    QVERIFY(db().run(QStringLiteral("CREATE TABLE T (A TEXT)")).ok());
    for (const char* v : {"a", "Türkiye'nin", "c\"d"})
      QVERIFY(db().run(QStringLiteral("INSERT INTO T VALUES (?)"), {QString::fromUtf8(v)}).ok());
    const store::InList in = store::inList({QStringLiteral("Türkiye'nin"), QStringLiteral("c\"d")});
    QCOMPARE(
        db().scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE A IN (%1)").arg(in.placeholders),
                    in.values)
            ->toInt(),
        2);
    const store::InList none = store::inList({});
    QCOMPARE(
        db().scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE A IN (%1)").arg(none.placeholders),
                    none.values)
            ->toInt(),
        0);
    // A failing statement is a failure, never a made-up value.
    QVERIFY(!db().scalar(QStringLiteral("SELECT COUNT(*) FROM NOPE")).ok());
  }

  // A transaction starts as the writer: while another connection writes it waits
  // its turn (here shortened) and does not start, rather than starting deferred
  // and failing at its first write once it has read.
  void transactionsStartAsTheWriter() {
    store::Store other(m_dir->path());
    QVERIFY(other.open().ok());
    QVERIFY(other.run(QStringLiteral("PRAGMA busy_timeout=200")).ok());
    store::Transaction writing(db());
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO) VALUES ('1')")).ok());
    {
      store::Transaction second(other);
      QVERIFY(!second.active());
    }
    QVERIFY(writing.commit().ok());
    store::Transaction now(other);
    QVERIFY(now.active());
    QVERIFY(other.run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO) VALUES ('2')")).ok());
    QVERIFY(now.commit().ok());
    QCOMPARE(db().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI"))->toInt(), 2);
  }

  // A data folder an older version left in WAL, its WALs still holding committed
  // rows (as after a power cut): opening it switches the main database and each
  // content store to the rollback journal, the only mode in which SQLite commits
  // them together, and keeps those rows.
  void walFolderOfAnOlderVersionIsTakenOver() {
    const QString content = db().contents().path(store::StoreKind::Question, 2);
    const QString main = db().mainFile();
    QVERIFY(QFile::exists(content));
    db().close();
    QTemporaryDir old;
    {
      QSqlDatabase a = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("a"));
      QSqlDatabase b = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("b"));
      a.setDatabaseName(main);
      b.setDatabaseName(content);
      QVERIFY(a.open() && b.open());
      for (const QSqlDatabase& c : {a, b})
        for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA wal_autocheckpoint=0"})
          QVERIFY(store::run(QString::fromLatin1(pragma), {}, c).ok());
      QVERIFY(store::run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO) VALUES ('7')"), {}, a));
      QVERIFY(store::run(QStringLiteral("INSERT INTO TABLESORU (SORUNO) VALUES ('77')"), {}, b));
      for (const QString& file : {main, content})
        for (const char* suffix : {"", "-wal"})
          QVERIFY(QFile::copy(file + QLatin1String(suffix),
                              old.filePath(QFileInfo(file).fileName() + QLatin1String(suffix))));
      a.close();
      b.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("a"));
    QSqlDatabase::removeDatabase(QStringLiteral("b"));
    QVERIFY(QFileInfo(old.filePath(QStringLiteral("DERSLIK.db-wal"))).size() > 0);

    store::Store taken(old.path());
    QVERIFY(taken.open().ok());
    QCOMPARE(taken.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE KAYITNO='7'"))
                 ->toInt(),
             1);
    QVERIFY(taken.contents().attach(store::StoreKind::Question, 2).ok());
    QCOMPARE(taken.scalar(QStringLiteral("SELECT COUNT(*) FROM SORU2.TABLESORU WHERE SORUNO='77'"))
                 ->toInt(),
             1);
    for (const char* schema : {"main", "SORU2"}) {
      QCOMPARE(taken.scalar(QStringLiteral("PRAGMA %1.journal_mode").arg(QLatin1String(schema)))
                   ->toString(),
               QStringLiteral("truncate"));
      QCOMPARE(
          taken.scalar(QStringLiteral("PRAGMA %1.synchronous").arg(QLatin1String(schema)))->toInt(),
          2);  // FULL
    }
    QVERIFY(
        QDir(old.path()).entryList({QStringLiteral("*-wal"), QStringLiteral("*-shm")}).isEmpty());
  }

  void transactionsNestAndRollBack() {
    QVERIFY(db().run(QStringLiteral("CREATE TABLE T (A TEXT)")).ok());
    {
      store::Transaction outer(db());
      QVERIFY(db().run(QStringLiteral("INSERT INTO T VALUES ('1')")).ok());
      {
        store::Transaction inner(db());
        QVERIFY(db().run(QStringLiteral("INSERT INTO T VALUES ('2')")).ok());
      }  // inner rolled back
      QVERIFY(outer.commit().ok());
    }
    QCOMPARE(db().column(QStringLiteral("SELECT A FROM T")).value(),
             QStringList{QStringLiteral("1")});
    {
      store::Transaction failing(db());
      QVERIFY(db().run(QStringLiteral("INSERT INTO T VALUES ('3')")).ok());
      // The database's English reason goes in parentheses after Turkish words.
      const Status failed = db().run(QStringLiteral("INSERT INTO NOPE VALUES ('x')"));
      QVERIFY(failed.error().startsWith(QStringLiteral("Tablo bulunamadı (")));
      QVERIFY2(failed.error().contains(QStringLiteral("no such table")),
               qPrintable(failed.error()));
    }  // never committed: nothing of it stays
    QCOMPARE(db().scalar(QStringLiteral("SELECT COUNT(*) FROM T"))->toInt(), 1);
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
