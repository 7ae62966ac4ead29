#include <QProcess>
#include <QtTest>

#include "ServerControl.h"
#include "TempDataFolder.h"
#include "TestSchool.h"
#include "delivery/JournalSender.h"
#include "delivery/RecordingJournal.h"

// derslik-cli on the school's server whose server goes away in mid-run.
class TestJournalCli : public QObject {
  Q_OBJECT
 private slots:
  // The run goes on without waiting, says in one line that the answers are kept
  // on the board and in one more that they were sent; the server then holds the
  // whole run and the journal is empty.
  void aRunOutlivesTheServersAbsence() {
    QVERIFY2(testbackend::onServer(), "tests/support/pgcluster.sh altında çalışmalı");
    TempDataFolder folder;
    QVERIFY(folder.ok());
    TestSchool school(folder.store());
    school.teacherRemote();
    school.klass(QStringLiteral("5-A")).students(6).remotes();
    TestSchool::Test test;
    test.keys = QStringLiteral("ABCDEABCDE");
    test.number = QStringLiteral("90");
    QCOMPARE(school.test(test), test.number);
    const QString url = folder.store().serverUrl();
    folder.store().close();

    // Ten questions of 10 s at 25 times the speed: four seconds, the server
    // away from the first to the third.
    QProcess cli;
    cli.start(QStringLiteral(DERSLIK_CLI),
              {"--veri-klasoru", folder.path(), "--sunucu", url, "run", "simulate", "--test", "90",
               "--class", "5-A", "--duration", "fixed:10", "--speed", "25"});
    QVERIFY(cli.waitForStarted());
    QThread::msleep(1000);
    QVERIFY(serverControl(QStringLiteral("stop -m immediate")));
    QThread::msleep(1500);
    QVERIFY(serverControl(QStringLiteral("start")));
    QVERIFY(cli.waitForFinished(60000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QVERIFY2(cli.exitCode() == 0, qPrintable(err));
    qInfo("%s", qPrintable(out.trimmed()));
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.count(delivery::JournalSender::offlineText()), 1);
    const qsizetype sent =
        lines.indexOf(QRegularExpression(QStringLiteral("^Sunucuya gönderildi: \\d+ soru$")));
    QVERIFY2(sent > lines.indexOf(delivery::JournalSender::offlineText()), qPrintable(out));
    QVERIFY(lines.last().startsWith(QStringLiteral("TESTBASLANGIC: ")));

    QVERIFY(folder.store().open().ok());
    const QString start = lines.last().mid(15);
    QCOMPARE(folder.store()
                 .scalar(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE TESTBASLANGIC=?"),
                         {start})
                 .valueOr(-1)
                 .toInt(),
             60);
    delivery::RecordingJournal journal(folder.filePath(delivery::RecordingJournal::fileName()));
    QVERIFY(journal.open().ok());
    QCOMPARE(journal.count().value(), 0);
  }

  void cleanup() {
    QVERIFY(serverControl(QStringLiteral("status")) || serverControl(QStringLiteral("start")));
  }
};

QTEST_MAIN(TestJournalCli)
#include "tst_journal_cli.moc"
