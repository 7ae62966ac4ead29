#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Sql.h"
#include "store/SqlFunctions.h"

class TestDatabase : public QObject {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(TempDataFolder::renew(m_dir, false)); }
  void cleanup() { store::BaglantiKapat(); }

  void opensNameOrPath() {
    QVERIFY(store::BaglantiAc(QStringLiteral("DERSLIK")).ok());
    QCOMPARE(store::mainDatabasePath(), m_dir->filePath(QStringLiteral("DERSLIK.db")));
    store::BaglantiKapat();
    const QString full = m_dir->filePath(QStringLiteral("baska/ozel"));
    QVERIFY(store::BaglantiAc(full).ok());
    QCOMPARE(store::mainDatabasePath(), full + QStringLiteral(".db"));
    QVERIFY(QFile::exists(full + QStringLiteral(".db")));
  }

  void tableHelpers() {
    QVERIFY(!store::TabloVarMi(QStringLiteral("TABLEX")));
    QVERIFY(store::run(QStringLiteral("CREATE TABLE TABLEX (A TEXT)")).ok());
    QVERIFY(store::TabloVarMi(QStringLiteral("TABLEX")));
    store::TabloSil(QStringLiteral("TABLEX"));
    store::TabloSil(QStringLiteral("TABLEX"));  // a missing table is no error
    QVERIFY(!store::TabloVarMi(QStringLiteral("TABLEX")));
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
  }
  void jetFunctions() {
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QVERIFY(store::BaglantiAc().ok());
    QCOMPARE(store::scalar(sql).toString(), expected);
  }

  void boundInList() {
    QVERIFY(store::run(QStringLiteral("CREATE TABLE T (A TEXT)")).ok());
    for (const char* v : {"a", "Türkiye'nin", "c\"d"})
      QVERIFY(store::run(QStringLiteral("INSERT INTO T VALUES (?)"), {QString::fromUtf8(v)}).ok());
    const store::InList in = store::inList({QStringLiteral("Türkiye'nin"), QStringLiteral("c\"d")});
    QCOMPARE(
        store::scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE A IN (%1)").arg(in.placeholders),
                      in.values)
            .toInt(),
        2);
    const store::InList none = store::inList({});
    QCOMPARE(store::scalar(
                 QStringLiteral("SELECT COUNT(*) FROM T WHERE A IN (%1)").arg(none.placeholders),
                 none.values)
                 .toInt(),
             0);
  }

  void transactionsNestAndRollBack() {
    QVERIFY(store::run(QStringLiteral("CREATE TABLE T (A TEXT)")).ok());
    {
      store::Transaction outer;
      QVERIFY(store::run(QStringLiteral("INSERT INTO T VALUES ('1')")).ok());
      {
        store::Transaction inner;
        QVERIFY(store::run(QStringLiteral("INSERT INTO T VALUES ('2')")).ok());
      }  // inner rolled back
      QVERIFY(outer.commit().ok());
    }
    QCOMPARE(store::column(QStringLiteral("SELECT A FROM T")), QStringList{QStringLiteral("1")});
    {
      store::Transaction failing;
      QVERIFY(store::run(QStringLiteral("INSERT INTO T VALUES ('3')")).ok());
      // The database's English reason goes in parentheses after Turkish words.
      const Status failed = store::run(QStringLiteral("INSERT INTO NOPE VALUES ('x')"));
      QVERIFY(failed.error().startsWith(QStringLiteral("Tablo bulunamadı (")));
      QVERIFY2(failed.error().contains(QStringLiteral("no such table")),
               qPrintable(failed.error()));
    }  // never committed: nothing of it stays
    QCOMPARE(store::scalar(QStringLiteral("SELECT COUNT(*) FROM T")).toInt(), 1);
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
