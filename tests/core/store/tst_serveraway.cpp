// A board on the school's server while the server goes away and comes back:
// the connection mends itself, a transaction that lost it fails whole, and
// writes and reads while the server is away fail with the one plain sentence.
// Runs under tests/support/pgcluster.sh (CTest: tst_serveraway), which it stops,
// starts and restarts.
#include <QtTest>

#include "ServerControl.h"
#include "TestBackend.h"
#include "TestSchool.h"
#include "authoring/QuestionBank.h"
#include "school/Pairing.h"
#include "school/StudentForm.h"
#include "store/ServerConnection.h"
#include "store/ServerLink.h"
#include "store/SqlErrors.h"
#include "store/Store.h"

Q_DECLARE_METATYPE(store::Changes)

namespace {

// A board open on a database of its own on the cluster, with one student.
struct ServerStore {
  QTemporaryDir dir;
  store::Store store{dir.path()};
  bool ready = false;
  ServerStore() {
    Result<store::ServerLogin> login = testbackend::freshDatabase();
    if (!login) qFatal("%s", qPrintable(login.error()));
    store.useServer(login.value());
    if (!store.open()) return;
    TestSchool school(store);
    school.student(QStringLiteral("Ayşe"), QStringLiteral("5-A"));
    ready = school.ok();
  }
  int count(const QString& sql) { return store.scalar(sql).valueOr(-1).toInt(); }
};

store::ServerLink& link(ServerStore& s) { return store::ServerLink::of(s.store); }

}  // namespace

class TestServerAway : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY2(
        testbackend::onServer(),
        "tst_serveraway needs the throwaway cluster: run it through tests/support/pgcluster.sh");
  }

  void restartedServerReadAgainAndBrokenTransactionFailsWhole() {
    ServerStore s;
    QVERIFY(s.ready);

    // The server restarts behind the open board: the next read simply works.
    QVERIFY(serverControl(QStringLiteral("restart -m fast")));
    QCOMPARE(s.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
    QVERIFY(link(s).reachable());
    // The new connection keeps the board's limit on a statement.
    QCOMPARE(s.store.scalar(QStringLiteral("SHOW statement_timeout")).valueOr({}).toString(),
             QStringLiteral("30s"));

    // A transaction whose connection goes away in its middle (the server
    // crashes): its later statements do not run on a new connection, where
    // each would stand alone.
    {
      store::Transaction tx(s.store);
      QVERIFY(tx.active());
      QVERIFY(s.store
                  .run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI) VALUES (?,?)"),
                       {QStringLiteral("50"), QStringLiteral("Can")})
                  .ok());
      QVERIFY(serverControl(QStringLiteral("restart -m immediate")));
      const Status second =
          s.store.run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI) VALUES (?,?)"),
                      {QStringLiteral("51"), QStringLiteral("Efe")});
      QVERIFY(!second);
      QCOMPARE(second.error(), store::serverAwayMessage());
      const Status committed = tx.commit();
      QVERIFY(!committed);
      QCOMPARE(committed.error(), store::serverAwayMessage());
    }
    QCOMPARE(s.count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
    QVERIFY(link(s).reachable());
  }

  void awayServerRefusesPlainlyAndComesBack() {
    ServerStore s;
    QVERIFY(s.ready);
    QSignalSpy reachable(&link(s), &store::ServerLink::reachableChanged);
    QSignalSpy changed(&s.store, &store::Store::dataChanged);

    QVERIFY(serverControl(QStringLiteral("stop -m immediate")));
    QElapsedTimer clock;
    clock.start();
    // Writes of every kind say the same plain sentence; none waits.
    const Result<QString> question = authoring::QuestionBank(s.store).add(
        TestSchool::newQuestion(), {TestSchool::plainPicture(), {}});
    QVERIFY(!question);
    QCOMPARE(question.error(), store::serverAwayMessage());
    const Status remote = school::Pairing(s.store).registerRemote(QStringLiteral("11-1"), false);
    QVERIFY(!remote);
    QCOMPARE(remote.error(), store::serverAwayMessage());
    school::StudentForm form(s.store);
    const Status started = form.beginNew();
    QVERIFY(!started);
    QCOMPARE(started.error(), store::serverAwayMessage());
    // So do reads; the screens learn it once.
    const Result<QVariant> read =
        s.store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI"));
    QVERIFY(!read);
    QCOMPARE(read.error(), store::serverAwayMessage());
    QSqlQuery own(s.store.db());  // a grid's or a report's own query
    QVERIFY(!own.exec(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")));
    QCOMPARE(store::queryErrorText(own), store::serverAwayMessage());
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!link(s).reachable());
    QTRY_COMPARE(reachable.count(), 1);
    QCOMPARE(reachable.at(0).at(0).toBool(), false);
    QVERIFY(!link(s).reconnect());

    // Back: the retry opens it, the screens are told to read everything again.
    QVERIFY(serverControl(QStringLiteral("start")));
    changed.clear();
    const Status back = link(s).reconnect();
    QVERIFY2(back.ok(), qPrintable(back.error()));
    QTRY_COMPARE(reachable.count(), 2);
    QCOMPARE(reachable.at(1).at(0).toBool(), true);
    QCOMPARE(changed.count(), 1);
    const auto everything = changed.at(0).at(0).value<store::Changes>();
    QVERIFY(everything.testFlag(store::Change::Students) &&
            everything.testFlag(store::Change::Questions) &&
            everything.testFlag(store::Change::Runs));
    // Nothing of the refused writes is there; they work now.
    QCOMPARE(s.count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA")), 0);
    QVERIFY(authoring::QuestionBank(s.store)
                .add(TestSchool::newQuestion(), {TestSchool::plainPicture(), {}})
                .ok());
    QVERIFY(school::Pairing(s.store).registerRemote(QStringLiteral("11-1"), false).ok());
  }

  // The server's own codes for a connection it cannot keep, whatever words
  // its language gives them, and for a statement stopped at its limit.
  void serverCodesInTurkish() {
    const auto error = [](const char* state, const char* text) {
      return QSqlError(QStringLiteral("QPSQL: Unable to execute"), QString::fromUtf8(text),
                       QSqlError::StatementError, QString::fromLatin1(state));
    };
    for (const char* state : {"08006", "08001", "57P01", "57P02", "57P03"})
      QCOMPARE(store::sqlErrorText(error(state, "bağlantı sonlandırılıyor")),
               store::serverAwayMessage());
    QVERIFY(store::sqlErrorText(error("57014", "canceling statement due to statement timeout"))
                .startsWith(QStringLiteral("İşlem süre sınırında durduruldu")));
  }
};

QTEST_GUILESS_MAIN(TestServerAway)
#include "tst_serveraway.moc"
