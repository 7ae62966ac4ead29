// The school-year rollover of a school on its server, against the same rollover
// of the same school on a board's own files. Runs under tests/support/pgcluster.sh
// (CTest: tst_serverrollover).
#include <QSqlRecord>
#include <QtTest>

#include "BoardFolder.h"
#include "TempDataFolder.h"
#include "TestSchool.h"
#include "school/Rollover.h"
#include "store/ContentStores.h"
#include "store/Database.h"
#include "store/FolderFiles.h"
#include "store/RolloverFiles.h"
#include "store/SchemaTables.h"
#include "store/ServerFolders.h"

using school::Rollover;
using testsupport::Board;

namespace {

// Two classes with remotes, a teacher remote, a test with one recorded run and
// a bank question outside it.
void fillSchool(TestSchool& s) {
  TestSchool::Class& a = s.klass(QStringLiteral("5-A")).students(3).remotes(10);
  s.klass(QStringLiteral("7-B"), QStringLiteral("7. SINIF")).students(2).remotes(20);
  s.teacherRemote();
  const QString t = s.test(QStringLiteral("Deneme"), QStringLiteral("ABCA"));
  s.run(t, {{a.addresses.at(0), QStringLiteral("ABCA")},
            {a.addresses.at(1), QStringLiteral("AB-D")},
            {a.addresses.at(2), QStringLiteral("CCCA")}});
  s.question(QStringLiteral("D"));
  QVERIFY(s.ok());
}

// Every row of every main table as text, sorted, without the numbers a backend
// hands out itself; the folder's own identity and the version row are a
// board's, not the school's.
QMap<QString, QStringList> contents(const QSqlDatabase& db) {
  QMap<QString, QStringList> out;
  for (const store::TableDef& t : store::mainTables()) {
    // The agreement carries the second each school was made in, a second apart
    // on a busy machine; that the rollover keeps it is the board test's part.
    if (t.name == QStringLiteral("TABLEVERSIYON") || t.name == QStringLiteral("TABLESOZLESME"))
      continue;
    QStringList columns;
    for (const store::ColumnDef& c : t.columns)
      if (c.kind != store::ColumnDef::Kind::AutoNumber) columns << c.name;
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), t.name);
    if (t.name == QStringLiteral("TABLEPARAMETRE"))
      sql += QStringLiteral(" WHERE PARAMETREADI NOT IN ('%1','%2','%3')")
                 .arg(store::kFolderIdentity, store::kSchoolIdentity, store::kExportedFrom);
    Result<QSqlQuery> q = store::exec(sql, {}, db);
    if (!q) {
      out.insert(t.name, {q.error()});
      continue;
    }
    QStringList rows;
    while (q.value().next()) {
      QStringList cells;
      for (int i = 0; i < q.value().record().count(); ++i) cells << q.value().value(i).toString();
      rows << cells.join(QLatin1Char('|'));
    }
    rows.sort();
    out.insert(t.name, rows);
  }
  return out;
}

// Table by table, so that a difference names its table and rows.
void sameContents(const QMap<QString, QStringList>& actual,
                  const QMap<QString, QStringList>& expected) {
  for (auto t = expected.cbegin(); t != expected.cend(); ++t)
    QVERIFY2(actual.value(t.key()) == t.value(),
             qPrintable(QStringLiteral("%1:\n%2\n---\n%3")
                            .arg(t.key(), actual.value(t.key()).join(QLatin1Char('\n')),
                                 t.value().join(QLatin1Char('\n')))));
}

int count(store::Store& s, const QString& sql) { return s.scalar(sql).valueOr(-1).toInt(); }

QString classOf(store::Store& s, const QString& kayitNo) {
  return s.scalar(QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI WHERE KAYITNO=?"), {kayitNo})
      .valueOr({})
      .toString();
}

// Another board of the same school: a data folder of its own on the same server.
struct OtherBoard {
  QTemporaryDir dir;
  store::Store store{dir.path()};
  explicit OtherBoard(const store::Store& first) {
    const Result<store::ServerAddress> address = store::ServerAddress::parse(first.serverUrl());
    if (!address) qFatal("%s", qPrintable(address.error()));
    store.useServer({address.value(), QString()});
    if (!store.open()) qFatal("second board did not open");
  }
};

}  // namespace

class TestServerRollover : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_server;
  RecordedMessages m_yes;
  store::Store& server() { return m_server->store(); }

  // Every question answered "Evet", on 06.09.2027; again only when `again`.
  Rollover::Hooks hooks(bool keepBank = false, bool again = false) {
    m_yes.setDefaultAnswer(Messages::Answer::Yes);
    Rollover::Hooks h;
    h.messages = &m_yes;
    h.keepBank = keepBank;
    h.askAgain = [again](const QString&) { return again; };
    h.now = [] { return QDateTime(QDate(2027, 9, 6), QTime(8, 30)); };
    return h;
  }

 private slots:
  void initTestCase() {
    QVERIFY2(testbackend::onServer(),
             "tst_serverrollover needs the throwaway cluster: run it through "
             "tests/support/pgcluster.sh");
  }
  void init() {
    QVERIFY(TempDataFolder::renew(m_server));
    QVERIFY(testsupport::installedSchool(server()).ok());
  }
  void cleanup() { m_server.reset(); }

  // The same school rolled over on a board and on the server gives the same new
  // year, either way of the bank choice; the server's old year is whole in the
  // backup of the board that ran it, checked and marked.
  void serverYearEqualsTheBoardYear_data() {
    QTest::addColumn<bool>("keepBank");
    QTest::newRow("bank to the backup") << false;
    QTest::newRow("bank kept") << true;
  }
  void serverYearEqualsTheBoardYear() {
    QFETCH(bool, keepBank);
    Board board;
    fillSchool(*board.school);
    TestSchool onServer(server());
    fillSchool(onServer);
    sameContents(contents(server().db()), contents(board.store.db()));
    // The school year's label is recorded before the questions: the backup has it.
    QMap<QString, QStringList> oldYear = contents(server().db());
    oldYear.remove(QStringLiteral("TABLEOKUL"));
    // A bank question's sound and a student's photo, on either side.
    for (store::Store* s : {&board.store, &server()})
      for (const char* file : {"Sesler/1.mp3", "Fotograflar/1.jpg"})
        QVERIFY(store::FolderFiles(*s).put(QString::fromLatin1(file), QByteArray(file)).ok());
    const int questions = count(server(), QStringLiteral("SELECT COUNT(*) FROM TABLESORU"));

    const Rollover::Report onBoard = Rollover::SinifAtlatmaUygula(board.store, hooks(keepBank));
    QVERIFY2(onBoard.outcome == Rollover::Outcome::Done, qPrintable(onBoard.message));
    QStringList steps;
    Rollover::Hooks h = hooks(keepBank);
    h.stepReached = [&steps](const QString& step) { steps << step; };
    const Rollover::Report r = Rollover::SinifAtlatmaUygula(server(), h);
    QVERIFY2(r.outcome == Rollover::Outcome::Done, qPrintable(r.message));
    QCOMPARE(r.message, Rollover::doneMessage());
    QCOMPARE(r.bankKept, keepBank);
    QVERIFY(steps.indexOf(QStringLiteral("backup-marked")) <
            steps.indexOf(QStringLiteral("new-filled")));

    const QMap<QString, QStringList> newYear = contents(server().db());
    sameContents(newYear, contents(board.store.db()));
    QCOMPARE(classOf(server(), QStringLiteral("4")), QStringLiteral("8-B"));
    QCOMPARE(count(server(), QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP")), 0);
    QCOMPARE(count(server(), QStringLiteral("SELECT COUNT(*) FROM %1")
                                 .arg(store::ContentStores::tableRef(store::StoreKind::Question,
                                                                     store::kFirstStore))),
             keepBank ? questions : 0);
    QCOMPARE(Rollover::completedOn(server(), QStringLiteral("2027-2028")).value(),
             QStringLiteral("06.09.2027"));
    // The sound goes with the bank (the new year's question 1 plays nothing of
    // the old one's) and is in the backup; photos stay with the students.
    for (store::Store* s : {&board.store, &server()}) {
      QCOMPARE(store::FolderFiles(*s).exists(QStringLiteral("Sesler/1.mp3")), keepBank);
      QVERIFY(store::FolderFiles(*s).exists(QStringLiteral("Fotograflar/1.jpg")));
      QFile kept(QDir(store::completeBackups(s->root()).last().folder)
                     .filePath(QStringLiteral("Sesler/1.mp3")));
      QVERIFY(keepBank || (kept.open(QIODevice::ReadOnly) && kept.readAll() == "Sesler/1.mp3"));
    }

    const QList<store::Backup> backups = store::completeBackups(server().root());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(backups.first().stamp, r.backupStamp);
    QVERIFY(store::exportComplete(backups.first().folder));
    const QString name = QStringLiteral("t-backup");
    {
      Result<QSqlDatabase> old = store::openFile(
          name, QDir(backups.first().folder).filePath(QStringLiteral("DERSLIK.db")));
      QVERIFY(old.ok());
      sameContents(contents(old.value()), oldYear);
    }
    store::closeFile(name);
    {
      Result<QSqlDatabase> pictures = store::openFile(
          name,
          store::storePath(backups.first().folder, store::StoreKind::Question, store::kFirstStore));
      QVERIFY(pictures.ok());
      QCOMPARE(store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESORU"), {}, pictures.value())
                   .valueOr(-1)
                   .toInt(),
               questions);
    }
    store::closeFile(name);
  }

  // A second board that starts the rollover while the first runs it is told so
  // and changes nothing; once the first is done, the year is done for it too.
  void oneRolloverForTheWholeSchool() {
    TestSchool s(server());
    fillSchool(s);
    OtherBoard other(server());
    Rollover::Report meanwhile;
    QString classMeanwhile;
    Rollover::Hooks first = hooks();
    first.stepReached = [&](const QString& step) {
      if (step != QStringLiteral("locked")) return;
      meanwhile = Rollover::SinifAtlatmaUygula(other.store, hooks());
      classMeanwhile = classOf(other.store, QStringLiteral("1"));
    };
    const Rollover::Report r = Rollover::SinifAtlatmaUygula(server(), first);
    QVERIFY2(r.outcome == Rollover::Outcome::Done, qPrintable(r.message));
    QCOMPARE(meanwhile.outcome, Rollover::Outcome::Failed);
    QCOMPARE(meanwhile.message, QStringLiteral("Sınıf atlatma başka bir tahtada sürüyor."));
    QCOMPARE(classMeanwhile, QStringLiteral("5-A"));
    QVERIFY(store::completeBackups(other.store.root()).isEmpty());

    const Rollover::Report after = Rollover::SinifAtlatmaUygula(other.store, hooks());
    QCOMPARE(after.outcome, Rollover::Outcome::AlreadyDone);
    QCOMPARE(classOf(server(), QStringLiteral("1")), QStringLiteral("6-A"));
    // Asked for again, the other board runs it: the lock was let go.
    QCOMPARE(Rollover::SinifAtlatmaUygula(other.store, hooks(false, true)).outcome,
             Rollover::Outcome::Done);
    QCOMPARE(classOf(server(), QStringLiteral("1")), QStringLiteral("7-A"));
  }

  // A backup that cannot be made changes nothing on the server.
  void failedBackupChangesNothing() {
    TestSchool s(server());
    fillSchool(s);
    QFile blocker(QDir(server().root()).filePath(QStringLiteral("Yedek")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QMap<QString, QStringList> before = contents(server().db());
    const Rollover::Report r = Rollover::SinifAtlatmaUygula(server(), hooks());
    QCOMPARE(r.outcome, Rollover::Outcome::Failed);
    QVERIFY(r.message.contains(QStringLiteral("Sunucudaki hiçbir veri değiştirilmedi")));
    // The school year's label, recorded before the questions, is the only change.
    QMap<QString, QStringList> after = contents(server().db());
    after.remove(QStringLiteral("TABLEOKUL"));
    QMap<QString, QStringList> expected = before;
    expected.remove(QStringLiteral("TABLEOKUL"));
    QCOMPARE(after, expected);
    QVERIFY(blocker.remove());
    QCOMPARE(Rollover::SinifAtlatmaUygula(server(), hooks()).outcome, Rollover::Outcome::Done);
  }
};

QTEST_GUILESS_MAIN(TestServerRollover)
#include "tst_serverrollover.moc"
