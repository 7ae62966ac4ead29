#include <QFile>
#include <QtTest>

#include "JournalFixture.h"
#include "delivery/InterruptedRuns.h"
#include "delivery/RecordingJournal.h"

using delivery::JournalEntry;
using delivery::JournalSender;
using delivery::RecordingJournal;
using Command = delivery::RunSession::Command;

// The journal of a board on the school's server, without a server: the server
// is an address nobody answers at, and the journal is then sent into the data
// folder's own database, which records runs the same way.
class TestJournal : public QObject, public JournalFixture {
  Q_OBJECT

  static store::ServerLogin nobody() {
    return login(QStringLiteral("postgresql://postgres@127.0.0.1:1/derslik"));
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  // Each call comes back as it was written, in order, whatever its texts hold;
  // a refused row stays with its reason.
  void rowsKeepEveryCallWhole() {
    RecordingJournal journal(path(RecordingJournal::fileName()));
    QVERIFY(journal.open().ok());
    JournalEntry q;
    q.run.key = {QStringLiteral("14.03.2026"), QStringLiteral("10:15:00")};
    q.run.description.testNo = QStringLiteral("7");
    q.run.description.testName = QStringLiteral("Türkiye'nin \"İlleri\"");
    q.run.description.className = QStringLiteral("5-A");
    q.run.penalty = reports::Penalty::ThreeWrongs;
    q.run.majorityIsCorrect = true;
    q.run.addresses = {QStringLiteral("10-1"), QStringLiteral("10-2")};
    q.run.virtualKayitNo = QStringLiteral("Işık|Öztürk");
    q.run.leftOut = {{QStringLiteral("10-3"), QStringLiteral("Çağla Şen")}};
    q.position = 3;
    q.soruNo = QStringLiteral("7003");
    q.answers = {{QStringLiteral("10-1"), QStringLiteral("A"), 12},
                 {QStringLiteral("10-2"), QString(), 30}};
    JournalEntry end = q;
    end.kind = JournalEntry::Kind::RunEnd;
    end.run.end = QStringLiteral("10:40:00");
    end.answers.clear();
    JournalEntry other = q;
    other.run.key.start = QStringLiteral("11:00:00");
    for (const JournalEntry& e : {q, other, end}) QVERIFY(journal.append(e).ok());

    const QList<JournalEntry> rows = journal.entries().value();
    QCOMPARE(rows.size(), 3);
    const QList<JournalEntry> written{q, other, end};
    for (int i = 0; i < 3; ++i) {
      const JournalEntry& r = rows.at(i);
      const JournalEntry& w = written.at(i);
      QCOMPARE(r.kind, w.kind);
      QCOMPARE(r.run.key, w.run.key);
      QCOMPARE(r.run.end, w.run.end);
      QCOMPARE(r.run.description, w.run.description);
      QCOMPARE(r.run.penalty, w.run.penalty);
      QCOMPARE(r.run.majorityIsCorrect, w.run.majorityIsCorrect);
      QCOMPARE(r.run.addresses, w.run.addresses);
      QCOMPARE(r.run.virtualKayitNo, w.run.virtualKayitNo);
      QCOMPARE(r.run.leftOut, w.run.leftOut);
      QCOMPARE(r.position, w.position);
      QCOMPARE(r.soruNo, w.soruNo);
      QCOMPARE(r.answers, w.answers);
    }
    QCOMPARE(journal.entries(q.run.key).value().size(), 2);
    QVERIFY(journal.refuse(rows.at(1).no, QStringLiteral("sunucu reddetti")).ok());
    QVERIFY(journal.remove(rows.at(0).no).ok());
    const QList<JournalEntry> left = journal.entries().value();
    QCOMPARE(left.size(), 2);
    QCOMPARE(left.first().refusals, 1);
    QCOMPARE(left.first().error, QStringLiteral("sunucu reddetti"));
  }

  // A board whose server is away goes on with the lesson: every question goes to
  // the journal, a revisited question shows what it recorded, the final page
  // counts on the board. Sent later, the run is stored exactly as one recorded
  // directly, and sending it all again (acknowledgments lost) changes nothing. A
  // run started while the server could not be asked, at a second another board's
  // run has taken, goes under a second of its own.
  void aRunKeptOnTheBoardIsStoredAsIfRecordedDirectly() {
    const QStringList remotes = prepareSchool();
    const reports::RunKey direct = play(remotes);
    QVERIFY(revisitShowedAnswers);
    QVERIFY(!QFile::exists(path(RecordingJournal::fileName())));
    const QString directStatistics = statisticsText(finalStatistics);

    auto* sender = new JournalSender(db(), nobody());
    sender->setRetryDelays(20, 100);
    QSignalSpy offline(sender, &JournalSender::offlineChanged);
    QVERIFY(sender->start().ok());
    wait(60000);
    const reports::RunKey kept = play(remotes);
    QVERIFY(revisitShowedAnswers);
    QVERIFY(kept.start != direct.start);
    QCOMPARE(answerCount(kept), 0);
    QTRY_VERIFY(sender->offline());
    QCOMPARE(offline.first().first().toBool(), true);
    QCOMPARE(sender->pendingCount().value(), kRows);
    QCOMPARE(statisticsText(finalStatistics), directStatistics);

    wait(60000);
    TestSchool::Run theirs;
    theirs.testNo = QStringLiteral("7");
    theirs.key = {clock().now().date().toString(QStringLiteral("dd.MM.yyyy")),
                  clock().timeOfDay().toString(QStringLiteral("HH:mm:ss"))};
    theirs.answers = {{remotes.first(), QString(kQuestions, QLatin1Char('A'))}};
    school().run(theirs);
    const QStringList theirAnswers = answers(theirs.key);
    const reports::RunKey late = play(remotes);
    QCOMPARE(late, theirs.key);
    for (const Messages::Message& m : messages().shown())
      QVERIFY2(m.kind != Messages::Kind::Error, qPrintable(m.text));
    delete sender;

    RecordingJournal journal(path(RecordingJournal::fileName()));
    QVERIFY(journal.open().ok());
    const QList<JournalEntry> all = journal.entries().value();
    delivery::Recording recording(db());
    delivery::JournalPass pass = delivery::sendJournal(journal, db(), recording, false);
    const reports::RunKey moved{late.date, journal.start(late).value().server};
    QVERIFY(moved.start > late.start);
    QCOMPARE(pass.questions, 2 * kRows);
    QCOMPARE(pass.runs, (QList<reports::RunKey>{kept, moved}));
    QCOMPARE(journal.count().value(), 0);
    for (const reports::RunKey& key : {kept, moved}) {
      QCOMPARE(answers(key), answers(direct));
      QCOMPARE(results(key), results(direct));
    }
    QCOMPARE(answers(theirs.key), theirAnswers);

    // The moved run again: its rows keep going to its own second.
    for (const JournalEntry& e : all)
      if (e.run.key == late) QVERIFY(journal.append(e).ok());
    delivery::Recording again(db());
    pass = delivery::sendJournal(journal, db(), again, false);
    QCOMPARE(pass.questions, kRows);
    QCOMPARE(pass.runs, QList<reports::RunKey>{moved});
    QCOMPARE(answerCount(moved), int(remotes.size()) * kQuestions);
    QCOMPARE(results(moved), results(direct));
    QCOMPARE(answers(theirs.key), theirAnswers);
  }

  // A row the server refuses stays in the journal with the reason and does not
  // hold back the rest; tried three times, it waits for the board's next start,
  // which tries it again and names it.
  void aRefusedRowStaysAndTheRestGoOn() {
    const QStringList remotes = prepareSchool();
    JournalEntry refused;
    refused.run.key = {QStringLiteral("14.03.2026"), QStringLiteral("09:00:00")};
    refused.run.description.testNo = QStringLiteral("7");
    refused.run.description.testName = QStringLiteral("Kesirler");
    refused.run.addresses = remotes;
    refused.run.leftOut = {{QStringLiteral("10-9"), QStringLiteral("Çağla Şen")}};
    refused.position = 1;
    refused.answers = {{remotes.first(), QStringLiteral("A"), 3}};
    JournalEntry fine = refused;
    fine.run.key.start = QStringLiteral("10:00:00");
    fine.run.leftOut.clear();
    // The server's copy lacks a table the first row needs.
    exec(QStringLiteral("DROP TABLE TABLEDISARIDAKALAN"));
    RecordingJournal journal(path(RecordingJournal::fileName()));
    QVERIFY(journal.open().ok());
    QVERIFY(journal.append(refused).ok());
    QVERIFY(journal.append(fine).ok());

    for (int go = 1; go <= 3; ++go) {
      delivery::Recording recording(db());
      const delivery::JournalPass pass = delivery::sendJournal(journal, db(), recording, false);
      QVERIFY(!pass.unreachable);
      QCOMPARE(pass.refused.size(), 1);
      QCOMPARE(pass.refused.first().run.key, refused.run.key);
      QVERIFY(!pass.refused.first().error.isEmpty());
      QCOMPARE(pass.runs,
               go == 1 ? QList<reports::RunKey>{fine.run.key} : QList<reports::RunKey>{});
    }
    QCOMPARE(answerCount(fine.run.key), 1);
    delivery::Recording recording(db());
    QCOMPARE(delivery::sendJournal(journal, db(), recording, false).refused.size(), 0);
    QCOMPARE(journal.entries().value().first().refusals, 3);

    // A run with rows still on the board is not offered as interrupted.
    JournalEntry more = fine;
    more.position = 2;
    QVERIFY(journal.append(more).ok());
    const auto interrupted = [] {
      QList<reports::RunKey> keys;
      const QList<delivery::InterruptedRun> runs =
          delivery::InterruptedRuns(db()).find().valueOr({});
      for (const delivery::InterruptedRun& run : runs) keys << run.key;
      return keys;
    };
    auto* sender = new JournalSender(db(), nobody());
    QVERIFY(!interrupted().contains(fine.run.key));
    const QString said = sender->sendLeftovers();
    QVERIFY(interrupted().contains(fine.run.key));
    QVERIFY2(
        said.startsWith(QStringLiteral("Sunucuya gönderilmemiş 1 uygulama gönderildi.\n14.03.2026 "
                                       "09:00:00 tarihli uygulama (Kesirler) gönderilemedi: ")),
        qPrintable(said));
    QCOMPARE(journal.count().value(), 1);
    delete sender;
  }

  // What the board says at its next start: the runs sent, and each it could not
  // send with the server's reason.
  void theStartSaysWhatWasSent() {
    delivery::JournalPass pass;
    const reports::RunKey a{QStringLiteral("14.03.2026"), QStringLiteral("10:15:00")};
    const reports::RunKey b{QStringLiteral("14.03.2026"), QStringLiteral("11:00:00")};
    const reports::RunKey c{QStringLiteral("15.03.2026"), QStringLiteral("09:00:00")};
    pass.runs = {a, b, c};
    JournalEntry refused;
    refused.run.key = c;
    refused.run.description.testName = QStringLiteral("Kesirler");
    refused.error = QStringLiteral("yetki yok");
    pass.refused = {refused, refused};
    QCOMPARE(delivery::leftoversText(pass),
             QStringLiteral("Sunucuya gönderilmemiş 2 uygulama gönderildi.\n15.03.2026 09:00:00 "
                            "tarihli uygulama (Kesirler) gönderilemedi: yetki yok"));
    QCOMPARE(delivery::leftoversText({}), QString());
  }
};

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
