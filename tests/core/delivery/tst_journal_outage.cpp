#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include "JournalFixture.h"
#include "ServerControl.h"
#include "SilentListener.h"
#include "delivery/RecordingJournal.h"

using delivery::JournalSender;
using delivery::RecordingJournal;

namespace {

// The child process of killedWhileSending: a board started on the data folder,
// sending what its journal holds.
int sendAsChild(const QString& folder, const QString& url) {
  store::Store store(folder);
  const store::ServerLogin login = JournalFixture::login(url);
  store.useServer(login);
  if (!store.open()) return 2;
  auto* sender = new JournalSender(store, login);
  sender->setRetryDelays(50, 200);
  if (!sender->start()) return 2;
  return sender->waitUntilSent(30000) ? 0 : 1;
}

}  // namespace

// A board on the school's server whose server goes away and comes back during a
// run and while its journal is being sent, and whose process dies while sending:
// the server ends up with every answer once and the results of the same run
// recorded without any outage. Each moment is chosen at random (the seed is
// printed).
class TestJournalOutage : public QObject, public JournalFixture {
  Q_OBJECT

  QRandomGenerator m_random{QRandomGenerator::global()->generate()};

  store::ServerLogin serverLogin() { return login(db().serverUrl()); }
  JournalSender* attach() {
    auto* sender = new JournalSender(db(), serverLogin());
    sender->setRetryDelays(50, 400);
    if (!sender->start()) return nullptr;
    return sender;
  }
  struct Outage {
    QStringList remotes;
    reports::RunKey reference;  // the run recorded with the server there
    JournalSender* sender = nullptr;
    reports::RunKey key;  // the same run a minute later, the server stopped as it began
  };
  Outage runWithoutServer() {
    Outage o;
    o.remotes = prepareSchool();
    o.reference = play(o.remotes);
    o.sender = attach();
    wait(60000);
    bool ok = true;
    const reports::RunKey key = play(o.remotes, [&](int q) {
      if (q == 1) ok = serverControl(QStringLiteral("stop -m immediate"));
    });
    if (ok) o.key = key;
    return o;
  }
  // A new process of the board, sending its journal.
  void startBoard(QProcess& board) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DERSLIK_GUNLUK_KLASOR"), folder().path());
    env.insert(QStringLiteral("DERSLIK_GUNLUK_SUNUCU"), db().serverUrl());
    board.setProcessEnvironment(env);
    board.start(QCoreApplication::applicationFilePath(), {});
  }
  // After the run: everything on the server once, as in the run without an outage.
  void checkSameAs(const reports::RunKey& reference, const reports::RunKey& key, int remotes) {
    QVERIFY(db().open().ok());  // the test's own connection did not survive the outage
    QCOMPARE(answerCount(key), remotes * kQuestions);
    QCOMPARE(answers(key), answers(reference));
    QCOMPARE(results(key), results(reference));
  }

 private slots:
  void initTestCase() {
    QVERIFY2(testbackend::onServer(), "tests/support/pgcluster.sh altında çalışmalı");
    QVERIFY(!qEnvironmentVariable("DERSLIK_TEST_PGCTL").isEmpty());
  }
  void init() { setUp(); }
  void cleanup() {
    tearDown();
    // A failed check must not leave the next test without its server.
    QVERIFY(serverControl(QStringLiteral("status")) || serverControl(QStringLiteral("start")));
  }

  void serverStoppedDuringTheRun() {
    const QStringList remotes = prepareSchool();
    const reports::RunKey reference = play(remotes);
    const int stopAt = 4 + int(m_random.bounded(8));
    const int downFor = 3 + int(m_random.bounded(4));
    JournalSender* sender = attach();
    QVERIFY(sender);
    QSignalSpy sent(sender, &JournalSender::journalSent);
    wait(60000);
    bool ok = true;
    qint64 slowestDrainMs = 0;
    const reports::RunKey key = play(remotes, [&](int q) {
      // In class a question takes a minute: what was left before is on the server
      // (timed once the sender's connection stands).
      if (q < stopAt) {
        QElapsedTimer drain;
        drain.start();
        ok = ok && sender->waitUntilSent(5000);
        if (q > 2) slowestDrainMs = std::max(slowestDrainMs, drain.elapsed());
      }
      if (q == stopAt)
        ok =
            ok && sender->waitUntilSent(5000) && serverControl(QStringLiteral("stop -m immediate"));
      if (q == stopAt + downFor) ok = ok && serverControl(QStringLiteral("start"));
    });
    QVERIFY(ok);
    qInfo("a question left was on the server within %lld ms", slowestDrainMs);
    QVERIFY(revisitShowedAnswers);
    QVERIFY2(sender->waitUntilSent(20000), "the journal was not sent");
    qInfo(
        "server down from question %d for %d questions; slowest question change %lld ms; "
        "sent after the outage: %s",
        stopAt, downFor, slowestChangeMs,
        sent.isEmpty() ? "-" : qPrintable(sent.last().first().toString()));
    QVERIFY(slowestChangeMs < 1000);
    checkSameAs(reference, key, int(remotes.size()));
    QCOMPARE(sender->pendingCount().value(), 0);
  }

  void serverStoppedWhileTheJournalIsSent() {
    const Outage o = runWithoutServer();
    QVERIFY(o.sender && !o.key.start.isEmpty());
    const auto& [remotes, reference, sender, key] = o;
    const int written = sender->pendingCount().value();
    QCOMPARE(written, kRows);
    QVERIFY(serverControl(QStringLiteral("start")));
    // Stopped again once the sending has begun, a few rows in.
    const int leaving = 1 + int(m_random.bounded(4));
    QElapsedTimer sending;
    sending.start();
    while (sender->pendingCount().valueOr(written) > written - leaving && sending.elapsed() < 20000)
      QThread::usleep(300);
    QVERIFY(serverControl(QStringLiteral("stop -m immediate")));
    const int left = sender->pendingCount().value();
    QTest::qWait(int(m_random.bounded(300)));
    QVERIFY(serverControl(QStringLiteral("start")));
    QVERIFY2(sender->waitUntilSent(30000), "the journal was not sent");
    qInfo("stopped with %d of %d rows left", left, written);
    QVERIFY(left <= written - leaving);
    checkSameAs(reference, key, int(remotes.size()));
  }

  void killedWhileSending() {
    const Outage o = runWithoutServer();
    QVERIFY(o.sender && !o.key.start.isEmpty());
    const auto& [remotes, reference, sender, key] = o;
    delete sender;  // the board is switched off with its journal full
    QVERIFY(serverControl(QStringLiteral("start")));
    RecordingJournal journal(folder().filePath(RecordingJournal::fileName()));
    QVERIFY(journal.open().ok());
    QStringList left;
    for (int kill = 0; kill < 3 && journal.count().value() > 0; ++kill) {
      QProcess child;
      startBoard(child);
      QVERIFY(child.waitForStarted());
      QThread::msleep(100 + m_random.bounded(600));
      child.kill();
      QVERIFY(child.waitForFinished());
      left << QString::number(journal.count().value());
    }
    QProcess last;
    startBoard(last);
    QVERIFY(last.waitForFinished(40000));
    QCOMPARE(last.exitCode(), 0);
    qInfo("rows left after each kill: %s of %d", qPrintable(left.join(QStringLiteral(", "))),
          kRows);
    QCOMPARE(journal.count().value(), 0);
    checkSameAs(reference, key, int(remotes.size()));
  }

  // A server that takes the connection and never answers: the lesson does not
  // wait for it, and the teacher is told within seconds.
  void aServerThatNeverAnswers() {
    const QStringList remotes = prepareSchool();
    const SilentListener hole;
    store::ServerLogin login = serverLogin();
    login.address.host = QStringLiteral("127.0.0.1");
    login.address.port = hole.port();
    auto* sender = new JournalSender(db(), login);
    QVERIFY(sender->start().ok());
    QElapsedTimer since;
    const reports::RunKey key = play(remotes, [&](int q) {
      if (q == 2) since.start();
    });
    qInfo("slowest question change %lld ms", slowestChangeMs);
    QVERIFY(slowestChangeMs < 100);
    QTRY_VERIFY_WITH_TIMEOUT(sender->offline(), 5000);
    qInfo("noticed after %lld ms", since.elapsed());
    QCOMPARE(sender->pending(key).value().size(), kRows);
  }
};

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("DERSLIK_GUNLUK_KLASOR")) {
    QCoreApplication app(argc, argv);
    return sendAsChild(qEnvironmentVariable("DERSLIK_GUNLUK_KLASOR"),
                       qEnvironmentVariable("DERSLIK_GUNLUK_SUNUCU"));
  }
  QGuiApplication app(argc, argv);
  TestJournalOutage test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_journal_outage.moc"
