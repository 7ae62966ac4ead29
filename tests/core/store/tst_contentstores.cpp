#include <QRandomGenerator>
#include <QSqlQuery>
#include <QtTest>

#include "FileHash.h"

#include "TempDataFolder.h"

#include <memory>

#include "store/Compaction.h"
#include "store/ContentStores.h"
#include "store/Database.h"
#include "store/Repair.h"
#include "store/Store.h"
#include "store/StoreFiles.h"

using store::ContentStores;
using store::StoreKind;

Q_DECLARE_METATYPE(StoreKind)

namespace {

// The data folder of the running test function.
QString g_root;
QString storeFile(StoreKind kind, int n) { return store::storePath(g_root, kind, n); }

QByteArray randomBytes(int size, quint32 seed) {
  QRandomGenerator gen(seed);
  QByteArray out(size, Qt::Uninitialized);
  for (int i = 0; i < size; ++i) out[i] = char(gen.bounded(256));
  return out;
}

void makeStores(StoreKind kind, const QList<int>& numbers) {
  for (int n : numbers) QVERIFY(store::createStoreFile(kind, storeFile(kind, n)).ok());
}

// Writes a row straight into a store file, behind the content API (for layouts the
// API itself would not produce, such as one key in two stores).
void putRaw(int n, const QString& key, const QByteArray& soru) {
  const QString name = QStringLiteral("raw");
  {
    Result<QSqlDatabase> db = store::openFile(name, storeFile(StoreKind::Question, n));
    QVERIFY(db.ok());
    QVERIFY(store::run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,SORU,COZUM) VALUES (?,?,?)"),
                       {key, soru, QByteArray("cozum")}, db.value())
                .ok());
  }
  store::closeFile(name);
}

int rowsIn(StoreKind kind, int n, const QString& key) {
  const QString table =
      kind == StoreKind::Question ? QStringLiteral("TABLESORU") : QStringLiteral("TABLETEST");
  const QString column =
      kind == StoreKind::Question ? QStringLiteral("SORUNO") : QStringLiteral("TESTNO");
  const QString name = QStringLiteral("count");
  int rows = -1;
  {
    Result<QSqlDatabase> db = store::openFile(name, storeFile(kind, n));
    if (db)
      rows = store::scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2=?").arg(table, column),
                           {key}, db.value())
                 .valueOr(-1)
                 .toInt();
  }
  store::closeFile(name);
  return rows;
}

}  // namespace

class TestContentStores : public QObject {
  Q_OBJECT

  store::Store& db() { return m_dir->store(); }
  ContentStores& cs() { return m_dir->store().contents(); }

 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir));
    g_root = m_dir->path();
  }
  void cleanup() { m_dir.reset(); }

  void probing_data() {
    QTest::addColumn<StoreKind>("kind");
    QTest::addColumn<QList<int>>("extra");
    QTest::addColumn<QList<int>>("seen");
    QTest::addColumn<int>("created");
    QTest::addColumn<QList<int>>("seenAfter");
    const auto q = StoreKind::Question;
    QTest::newRow("only 2") << q << QList<int>{} << QList<int>{2} << 3 << QList<int>{2, 3};
    QTest::newRow("2 3 4") << q << QList<int>{3, 4} << QList<int>{2, 3, 4} << 5
                           << QList<int>{2, 3, 4, 5};
    // 5 stays unseen behind the gap until the gap is filled.
    QTest::newRow("gap") << q << QList<int>{3, 5} << QList<int>{2, 3} << 4
                         << QList<int>{2, 3, 4, 5};
    QTest::newRow("test gap") << StoreKind::Test << QList<int>{3, 5} << QList<int>{2, 3} << 4
                              << QList<int>{2, 3, 4, 5};
  }
  void probing() {
    QFETCH(StoreKind, kind);
    QFETCH(QList<int>, extra);
    QFETCH(QList<int>, seen);
    QFETCH(int, created);
    QFETCH(QList<int>, seenAfter);
    makeStores(kind, extra);
    QCOMPARE(cs().numbers(kind), seen);
    const QString last =
        (kind == StoreKind::Question ? cs().SonSoruDeposu() : cs().SonTestDeposu()).value();
    QCOMPARE(last, ContentStores::tableRef(kind, seen.last()));
    QCOMPARE(kind == StoreKind::Question ? cs().SonSoruDeposuYolu() : cs().SonTestDeposuYolu(),
             storeFile(kind, seen.last()));
    Result<QString> path =
        kind == StoreKind::Question ? cs().YeniSoruDeposu() : cs().YeniTestDeposu();
    QVERIFY2(path.ok(), qPrintable(path.error()));
    QCOMPARE(path.value(), storeFile(kind, created));
    QCOMPARE(cs().numbers(kind), seenAfter);
  }

  void storeTwoIsAssumed() {
    // With store 2 alone, every number is "in" store 2 and its file is not consulted.
    QVERIFY(QFile::remove(storeFile(StoreKind::Question, 2)));
    QCOMPARE(cs().find(StoreKind::Question, QStringLiteral("5")).value(), 2);
    QCOMPARE(cs().SoruDeposuBul(QStringLiteral("5")).value(), QStringLiteral("SORU2.TABLESORU"));
    Result<QString> path = cs().YeniSoruDeposu();
    QVERIFY(path.ok());
    QCOMPARE(path.value(), storeFile(StoreKind::Question, 2));
  }

  void findOrder() {
    makeStores(StoreKind::Question, {3, 4, 6});
    putRaw(2, QStringLiteral("7"), "from 2");
    putRaw(3, QStringLiteral("7"), "from 3");
    putRaw(4, QStringLiteral("7"), "from 4");
    putRaw(2, QStringLiteral("8"), "only 2");
    putRaw(6, QStringLiteral("9"), "behind gap");
    putRaw(4, QStringLiteral("10"), "only 4");

    QCOMPARE(cs().find(StoreKind::Question, QStringLiteral("7")).value(), 3);
    QCOMPARE(cs().SoruDeposuBul(QStringLiteral("7")).value(), QStringLiteral("SORU3.TABLESORU"));
    QCOMPARE(cs().find(StoreKind::Question, QStringLiteral("10")).value(), 4);
    QCOMPARE(cs().find(StoreKind::Question, QStringLiteral("8")).value(), 2);
    QCOMPARE(cs().find(StoreKind::Question, QStringLiteral("9")).value(), 2);

    struct Case {
      const char* key;
      QByteArray soru;
      int store;
    };
    for (const Case& c :
         {Case{"7", "from 3", 3}, Case{"8", "only 2", 2}, Case{"10", "only 4", 4}}) {
      Result<store::StoreContent> got = cs().read(StoreKind::Question, QString::fromLatin1(c.key));
      QVERIFY(got.ok());
      QCOMPARE(got->first, c.soru);
      QCOMPARE(got->second, QByteArray("cozum"));
      QCOMPARE(got->store, c.store);
    }
    Result<store::StoreContent> hidden = cs().read(StoreKind::Question, QStringLiteral("9"));
    QVERIFY(hidden.ok());
    QVERIFY(!hidden->found());
  }

  void roundTrip() {
    makeStores(StoreKind::Question, {3});
    const QString key = QStringLiteral("Türkiye'nin \"1\"");
    const QByteArray soru = randomBytes(300 * 1024, 1);
    const QByteArray cozum = randomBytes(120 * 1024, 2);
    QVERIFY(cs().write(StoreKind::Question, key, soru, cozum).ok());
    Result<store::StoreContent> got = cs().read(StoreKind::Question, key);
    QVERIFY(got.ok() && got->found());
    QCOMPARE(got->store, 3);
    QVERIFY(got->first == soru);
    QVERIFY(got->second == cozum);

    // A second save replaces, in place, only what it was given.
    const QByteArray newCozum = randomBytes(50 * 1024, 3);
    QVERIFY(cs().write(StoreKind::Question, key, std::nullopt, newCozum).ok());
    got = cs().read(StoreKind::Question, key);
    QVERIFY(got->first == soru);
    QVERIFY(got->second == newCozum);
    QCOMPARE(rowsIn(StoreKind::Question, 3, key), 1);

    // Duplicate question: content under the new number in the newest store.
    makeStores(StoreKind::Question, {4});
    QVERIFY(cs().copy(StoreKind::Question, key, QStringLiteral("12")).ok());
    got = cs().read(StoreKind::Question, QStringLiteral("12"));
    QCOMPARE(got->store, 4);
    QVERIFY(got->first == soru);
    QVERIFY(got->second == newCozum);
    // Copying a number without content writes nothing.
    QVERIFY(cs().copy(StoreKind::Question, QStringLiteral("404"), QStringLiteral("405")).ok());
    QVERIFY(!cs().read(StoreKind::Question, QStringLiteral("405"))->found());

    QVERIFY(cs().rename(StoreKind::Question, QStringLiteral("12"), QStringLiteral("13")).ok());
    QVERIFY(!cs().read(StoreKind::Question, QStringLiteral("12"))->found());
    QVERIFY(cs().read(StoreKind::Question, QStringLiteral("13"))->first == soru);

    QVERIFY(cs().remove(StoreKind::Question, key).ok());
    QVERIFY(!cs().read(StoreKind::Question, key)->found());
    QCOMPARE(rowsIn(StoreKind::Question, 3, key), 0);
    QVERIFY(cs().read(StoreKind::Question, QStringLiteral("13"))->found());
  }

  void testContentIsOneRow() {
    // Start screen and booklet header arrive separately and share one row.
    const QByteArray screen = randomBytes(40 * 1024, 4);
    const QByteArray header = randomBytes(20 * 1024, 5);
    QVERIFY(cs().write(StoreKind::Test, QStringLiteral("3"), screen, std::nullopt).ok());
    QVERIFY(cs().write(StoreKind::Test, QStringLiteral("3"), std::nullopt, header).ok());
    QVERIFY(cs().write(StoreKind::Test, QStringLiteral("3"), std::nullopt, header).ok());
    QCOMPARE(rowsIn(StoreKind::Test, 2, QStringLiteral("3")), 1);
    Result<store::StoreContent> got = cs().read(StoreKind::Test, QStringLiteral("3"));
    QVERIFY(got->first == screen);
    QVERIFY(got->second == header);
  }

  void thresholdStartsNewStore() {
    cs().setSizeLimit(64 * 1024);
    const QByteArray picture = randomBytes(100 * 1024, 6);
    for (int i = 1; i <= 3; ++i)
      QVERIFY(cs().write(StoreKind::Question, QString::number(i), picture, picture).ok());
    QCOMPARE(cs().numbers(StoreKind::Question), (QList<int>{2, 3, 4}));
    for (int i = 1; i <= 3; ++i)
      QCOMPARE(cs().read(StoreKind::Question, QString::number(i))->store, i + 1);

    // Inside a transaction that is rolled back: the new store stays (empty), the content goes.
    {
      store::Transaction tx(db());
      QVERIFY(cs().write(StoreKind::Question, QStringLiteral("4"), picture, picture).ok());
      QCOMPARE(cs().read(StoreKind::Question, QStringLiteral("4"))->store, 5);
    }
    QVERIFY(!cs().read(StoreKind::Question, QStringLiteral("4"))->found());
    QCOMPARE(cs().last(StoreKind::Question), 5);
  }

  void rollbackLeavesNoContent() {
    makeStores(StoreKind::Question, {3});
    const QByteArray picture = randomBytes(10 * 1024, 7);
    QVERIFY(cs().write(StoreKind::Question, QStringLiteral("1"), picture, picture).ok());
    // The next statements attach on a fresh connection, inside the transaction.
    db().close();
    QVERIFY(db().open().ok());
    {
      store::Transaction tx(db());
      QVERIFY(tx.active());
      QVERIFY(db().run(QStringLiteral("INSERT INTO TABLESORU (SORUNO) VALUES ('2')")).ok());
      QVERIFY(cs().write(StoreKind::Question, QStringLiteral("2"), picture, picture).ok());
      QVERIFY(cs().copy(StoreKind::Question, QStringLiteral("1"), QStringLiteral("3")).ok());
      QVERIFY(cs().remove(StoreKind::Question, QStringLiteral("1")).ok());
      QVERIFY(cs().write(StoreKind::Test, QStringLiteral("1"), picture, std::nullopt).ok());
    }
    QCOMPARE(db().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESORU"))->toInt(), 0);
    QVERIFY(!cs().read(StoreKind::Question, QStringLiteral("2"))->found());
    QVERIFY(!cs().read(StoreKind::Question, QStringLiteral("3"))->found());
    QVERIFY(cs().read(StoreKind::Question, QStringLiteral("1"))->first == picture);
    QVERIFY(!cs().read(StoreKind::Test, QStringLiteral("1"))->found());
  }

  void unionOverStores() {
    // One store: the derived table is the single select, with no UNION ALL.
    Result<QString> bare = cs().TestIcerikBirlesim();
    QVERIFY(bare.ok());
    QCOMPARE(bare.value(),
             QStringLiteral("(SELECT TESTNO,BASLANGICEKRANI,BASLIK FROM TEST2.TABLETEST)"));

    makeStores(StoreKind::Question, {3, 4});
    for (int i = 1; i <= 4; ++i)
      QVERIFY(db().run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,DOGRUSIK) VALUES (?,'A')"),
                       {QString::number(i)})
                  .ok());
    putRaw(2, QStringLiteral("1"), "s1");
    putRaw(3, QStringLiteral("2"), "s2");
    putRaw(4, QStringLiteral("3"), "s3");  // question 4 has no content and drops out
    Result<QString> source = cs().SoruKaynagi();
    QVERIFY2(source.ok(), qPrintable(source.error()));
    QCOMPARE(source->count(QStringLiteral("UNION ALL")), 2);
    Result<QSqlQuery> q = db().exec(
        QStringLiteral("SELECT SORUNO,DISTABLOSORUNO,SORU,DOGRUSIK FROM %1 ORDER BY VAL(SORUNO)")
            .arg(source.value()));
    QVERIFY2(q.ok(), qPrintable(q.error()));
    QStringList rows;
    while (q.value().next())
      rows << QStringList{q.value().value(0).toString(), q.value().value(1).toString(),
                          q.value().value(2).toString(), q.value().value(3).toString()}
                  .join(QLatin1Char('|'));
    QCOMPARE(rows, (QStringList{"1|1|s1|A", "2|2|s2|A", "3|3|s3|A"}));

    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI) VALUES ('5','Deneme')"))
                .ok());
    QVERIFY(
        cs().write(StoreKind::Test, QStringLiteral("5"), QByteArray("ekran"), std::nullopt).ok());
    Result<QString> tests = cs().TestKaynagi();
    QVERIFY(tests.ok());
    QCOMPARE(db().scalar(QStringLiteral(
                             "SELECT TESTADI || '/' || BASLANGICEKRANI || '/' || DISTABLOTESTNO "
                             "FROM %1 AS T WHERE TESTNO=?")
                             .arg(tests.value()),
                         {QStringLiteral("5")})
                 ->toString(),
             QStringLiteral("Deneme/ekran/5"));

    QStringList visited;
    QVERIFY(cs().forEach(StoreKind::Question,
                         [&](const QString& key, const store::StoreContent& c) {
                           visited << key + QLatin1Char('@') + QString::number(c.store);
                           return true;
                         })
                .ok());
    QCOMPARE(visited, (QStringList{"1@2", "2@3", "3@4"}));
  }

  void moreStoresThanSlots() {
    // Twelve stores do not fit on one connection; reads, writes and deletes still work.
    QList<int> extra;
    for (int n = 3; n <= 13; ++n) extra << n;
    makeStores(StoreKind::Question, extra);
    for (int n = 2; n <= 13; ++n) putRaw(n, QStringLiteral("k%1").arg(n), QByteArray::number(n));
    (void)cs().attachAll();
    const QStringList attached = cs().attached();
    QVERIFY(attached.size() <= store::kMaxAttachedStores);
    QVERIFY(attached.contains(QStringLiteral("SORU13")));
    QVERIFY(attached.contains(QStringLiteral("TEST2")));

    for (int n = 2; n <= 13; ++n) {
      Result<store::StoreContent> got =
          cs().read(StoreKind::Question, QStringLiteral("k%1").arg(n));
      QVERIFY2(got.ok(), qPrintable(got.error()));
      QCOMPARE(got->store, n);
      QCOMPARE(got->first, QByteArray::number(n));
    }
    int rows = 0;
    QVERIFY(cs().forEach(StoreKind::Question,
                         [&](const QString&, const store::StoreContent&) {
                           ++rows;
                           return true;
                         })
                .ok());
    QCOMPARE(rows, 12);

    Result<QString> source = cs().SoruKaynagi();
    QVERIFY(!source.ok());
    QVERIFY(source.error().contains(QStringLiteral("içerik deposu")));

    {
      store::Transaction tx(db());
      QVERIFY(cs().remove(StoreKind::Question, QStringLiteral("k3")).ok());
      QVERIFY(cs().remove(StoreKind::Question, QStringLiteral("k5")).ok());
      QVERIFY(
          cs().write(StoreKind::Question, QStringLiteral("new"), QByteArray("x"), QByteArray("y"))
              .ok());
      QVERIFY(tx.commit().ok());
    }
    QVERIFY(!cs().read(StoreKind::Question, QStringLiteral("k3"))->found());
    QVERIFY(!cs().read(StoreKind::Question, QStringLiteral("k5"))->found());
    QCOMPARE(cs().read(StoreKind::Question, QStringLiteral("new"))->store, 13);
    QVERIFY(cs().attached().size() <= store::kMaxAttachedStores);
  }

  void compactionShrinksAndKeeps() {
    const QByteArray picture = randomBytes(200 * 1024, 8);
    for (int i = 1; i <= 20; ++i)
      QVERIFY(cs().write(StoreKind::Question, QString::number(i), picture, picture).ok());
    for (int i = 1; i <= 18; ++i)
      QVERIFY(cs().remove(StoreKind::Question, QString::number(i)).ok());
    const QString path = storeFile(StoreKind::Question, 2);

    // Not while the main connection has the file attached.
    QVERIFY(!store::VeritabaniSikistir(path).ok());

    db().close();
    const qint64 before = QFileInfo(path).size();
    Status s = store::VeritabaniSikistir(path);
    QVERIFY2(s.ok(), qPrintable(s.error()));
    QVERIFY(db().open().ok());
    QVERIFY(QFileInfo(path).size() < before / 4);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("tmpDERSLIK_2.db"))));
    for (const char* k : {"19", "20"})
      QVERIFY(cs().read(StoreKind::Question, QLatin1String(k))->first == picture);
    QVERIFY(!store::VeritabaniSikistir(m_dir->filePath(QStringLiteral("yok.db"))).ok());
  }

  void failedCompactionKeepsOriginal() {
    QVERIFY(cs().write(StoreKind::Question, QStringLiteral("1"), QByteArray("soru"),
                       QByteArray("cozum"))
                .ok());
    db().close();
    const QString path = storeFile(StoreKind::Question, 2);
    const QByteArray hash = fileHash(path);
    // The temporary name is taken by a folder with a file in it: the copy cannot be made.
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("tmpDERSLIK_2.db/x")));
    Status s = store::VeritabaniSikistir(path);
    QVERIFY(!s.ok());
    QVERIFY(s.error().contains(QStringLiteral("DERSLIK_2.db")));
    QCOMPARE(fileHash(path), hash);
    QVERIFY(db().open().ok());
    QCOMPARE(cs().read(StoreKind::Question, QStringLiteral("1"))->first, QByteArray("soru"));
  }

  void repairCompactsEveryStore() {
    makeStores(StoreKind::Question, {3, 5});
    makeStores(StoreKind::Test, {3});
    const QString main = db().mainFile();
    QCOMPARE(store::repairFiles(g_root, main, false), QStringList{main});
    QCOMPARE(store::repairFiles(g_root, main, true),
             (QStringList{main, storeFile(StoreKind::Question, 2),
                          storeFile(StoreKind::Question, 3), storeFile(StoreKind::Question, 5),
                          storeFile(StoreKind::Test, 2), storeFile(StoreKind::Test, 3)}));

    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLESORU (SORUNO) VALUES ('1')")).ok());
    QVERIFY(cs().write(StoreKind::Question, QStringLiteral("1"), QByteArray("a"), QByteArray("b"))
                .ok());
    QStringList seen;
    Status s = store::BilgileriOnar(db(), true, [&](const QString& file, int index, int total) {
      seen << QStringLiteral("%1 %2/%3").arg(file).arg(index).arg(total);
    });
    QVERIFY2(s.ok(), qPrintable(s.error()));
    QCOMPARE(seen.size(), 6);
    QCOMPARE(seen.first(), QStringLiteral("DERSLIK.db 1/6"));
    QVERIFY(db().isOpen());
    QCOMPARE(db().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESORU"))->toInt(), 1);
    QCOMPARE(cs().read(StoreKind::Question, QStringLiteral("1"))->first, QByteArray("a"));

    // A file that cannot be compacted is reported; the connection is open again anyway.
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("tmpDERSLIK_3.db/x")));
    s = store::BilgileriOnar(db(), true);
    QVERIFY(!s.ok());
    QVERIFY(s.error().contains(QStringLiteral("DERSLIK_3.db")));
    QVERIFY(!s.error().contains(QStringLiteral("DERSLIK_5.db")));
    QVERIFY(db().isOpen());
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_GUILESS_MAIN(TestContentStores)
#include "tst_contentstores.moc"
