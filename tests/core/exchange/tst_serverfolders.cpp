// A board's data folder into the school's server (import-folder) and the
// server's school out as a data folder (export-folder). Runs under
// tests/support/pgcluster.sh (CTest: tst_serverfolders).
#include <QtTest>

#include "BoardFolder.h"
#include "TempDataFolder.h"
#include "TestSchool.h"
#include "exchange/FolderImport.h"
#include "reports/RunReport.h"
#include "reports/SuccessRanking.h"
#include "school/StudentPhotos.h"
#include "school/ValueLists.h"
#include "store/ContentStores.h"
#include "store/Parameters.h"
#include "store/ServerFolders.h"

namespace {

using testsupport::Board;

// The figures a school is judged by after a move.
QMap<QString, qint64> figures(store::Store& s) {
  QMap<QString, qint64> f;
  for (const char* table :
       {"TABLEOGRENCI", "TABLEKUMANDA", "TABLEESLESME", "TABLESORU", "TABLETEST", "TABLETESTSORU",
        "TABLEUYGULAMA", "TABLECEVAP", "TABLESONUC"})
    f.insert(QLatin1String(table),
             s.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
                 .valueOr(-1)
                 .toLongLong());
  f.insert(QStringLiteral("runs"),
           s.scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT TESTTARIHI, "
                                   "TESTBASLANGIC FROM TABLESONUC) R"))
               .valueOr(-1)
               .toLongLong());
  return f;
}

// Every answer's stored key against the key of the question it names: a
// renumbering that left a run pointing at another board's question shows here.
qint64 answersOnWrongQuestions(store::Store& s) {
  return s
      .scalar(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP C JOIN TABLESORU Q ON "
                             "Q.SORUNO=C.SORUNO WHERE Q.DOGRUSIK<>C.DOGRUSIK"))
      .valueOr(-1)
      .toLongLong();
}

QStringList rankingLines(store::Store& s) {
  reports::SuccessRanking ranking(s);
  reports::RunCriteria criteria;
  criteria.lastRuns = 10;
  const Result<QStringList> students = ranking.studentsOf(QStringLiteral("5-A"));
  if (!students) return {students.error()};
  const Result<reports::Ranking> built = ranking.build(students.value(), criteria);
  if (!built) return {built.error()};
  QStringList lines;
  for (const QStringList& row : built->cells()) lines << row.join(QLatin1Char('|'));
  return lines;
}

// A start screen that tells boards apart without a window system: its size.
QByteArray startScreen(const QString& keys) {
  return TestSchool::picture(keys,
                             {100 + int(keys.at(0).unicode()), 50 + int(keys.at(1).unicode())});
}

// A board with a class of four, a test of four questions and one run of it.
void fillBoard(Board& b, const QString& keys, const QString& date) {
  TestSchool::Class& c = b.school->klass(QStringLiteral("5-A")).students(4).remotes();
  TestSchool::Test t;
  t.name = QStringLiteral("Kesirler ") + keys;
  t.keys = keys;
  t.pages = true;
  const QString testNo = b.school->test(t);
  QVERIFY(b.store.contents().write(store::StoreKind::Test, testNo, startScreen(keys), {}).ok());
  TestSchool::Run run;
  run.testNo = testNo;
  run.key = {date, QStringLiteral("10:00:00")};
  run.answers = {{c.addresses.at(0), keys},
                 {c.addresses.at(1), QStringLiteral("AAAA")},
                 {c.addresses.at(2), QStringLiteral("B-C-")},
                 {c.addresses.at(3), QStringLiteral("----")}};
  b.school->run(run);
  QVERIFY(b.school->ok());
}

}  // namespace

class TestServerFolders : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_server;
  store::Store& server() { return m_server->store(); }

  Result<exchange::FolderImportReport> importFolder(const QString& folder) {
    return exchange::FolderImport(server()).run(folder);
  }

 private slots:
  void initTestCase() {
    QVERIFY2(testbackend::onServer(),
             "tst_serverfolders needs the throwaway cluster: run it through "
             "tests/support/pgcluster.sh");
  }
  void init() { QVERIFY(TempDataFolder::renew(m_server)); }
  void cleanup() { m_server.reset(); }

  void importBringsTheFolderWholeAndExportGivesItBack() {
    Board board;
    fillBoard(board, QStringLiteral("ABCD"), QStringLiteral("01.10.2026"));
    const QMap<QString, qint64> before = figures(board.store);
    const QStringList ranking = rankingLines(board.store);
    QCOMPARE(ranking.size(), 4);

    QStringList progress;
    exchange::FolderImport importer(server());
    importer.setProgress([&progress](const QString& line) { progress.append(line); });
    const Result<exchange::FolderImportReport> report = importer.run(board.path());
    QVERIFY2(report.ok(), qPrintable(report.error()));
    QVERIFY(!progress.isEmpty());
    QCOMPARE(report->studentsAdded, 4);
    QCOMPARE(report->runs, 1);
    QCOMPARE(report->answers, 16);
    QCOMPARE(figures(server()), before);
    QCOMPARE(answersOnWrongQuestions(server()), 0);

    // Out again: any single board opens the copy and sees the same school.
    const QString out = m_server->filePath(QStringLiteral("disari"));
    const Result<store::FolderFigures> written = store::exportFolder(server(), out);
    QVERIFY2(written.ok(), qPrintable(written.error()));
    QVERIFY(store::exportComplete(out));
    QCOMPARE(written->questionContents, 4);
    QCOMPARE(written->testContents, 1);
    store::Store copy(out);
    QVERIFY(copy.open().ok());
    QCOMPARE(figures(copy), before);
    QCOMPARE(rankingLines(copy), ranking);
    const QString testNo = copy.scalar(QStringLiteral("SELECT TESTNO FROM TABLETEST"))->toString();
    QCOMPARE(copy.contents().read(store::StoreKind::Test, testNo)->first,
             startScreen(QStringLiteral("ABCD")));
    reports::RunReport original(board.store,
                                {QStringLiteral("01.10.2026"), QStringLiteral("10:00:00")});
    reports::RunReport copied(copy, {QStringLiteral("01.10.2026"), QStringLiteral("10:00:00")});
    QVERIFY(original.load().ok());
    QVERIFY(copied.load().ok());
    QCOMPARE(copied.general({}).correct.percent, original.general({}).correct.percent);
    QCOMPARE(copied.general({}).blank.count, original.general({}).blank.count);
    reports::RunReport served(server(), {QStringLiteral("01.10.2026"), QStringLiteral("10:00:00")});
    const Status loaded = served.load();
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    QCOMPARE(served.general({}).correct.percent, original.general({}).correct.percent);
    QCOMPARE(served.general({}).blank.count, original.general({}).blank.count);
    // The copy is a folder of its own: it gets an identity of its own.
    QVERIFY(store::ParametreAl(copy, store::kFolderIdentity).value() !=
            store::ParametreAl(board.store, store::kFolderIdentity).value());
    copy.close();
    // Nor is the copy taken back in as another board: it would double the school.
    const Result<exchange::FolderImportReport> back = importFolder(out);
    QVERIFY(!back.ok());
    QCOMPARE(back.error(), store::exportedCopyMessage());
    QCOMPARE(figures(server()), before);

    // A folder that holds anything is never written into.
    const Result<store::FolderFigures> again = store::exportFolder(server(), out);
    QVERIFY(!again.ok());
    QVERIFY(again.error().contains(QStringLiteral("boş değil")));
    QVERIFY(QFileInfo::exists(QDir(out).filePath(QStringLiteral("DERSLIK.db"))));
  }

  void collidingNumbersKeepEveryQuestionAndEveryReference() {
    Board first, second;
    fillBoard(first, QStringLiteral("ABCD"), QStringLiteral("01.10.2026"));
    fillBoard(second, QStringLiteral("DCBA"), QStringLiteral("02.10.2026"));
    // The same pupil known to both boards (by identity number) is one student.
    TestSchool::Student shared;
    shared.adi = QStringLiteral("Zeynep");
    shared.sinifi = QStringLiteral("6-B");
    shared.tcKimlik = QStringLiteral("10000000146");
    const QString zeynep = first.school->student(shared);
    shared.numarasi = QStringLiteral("77");
    second.school->student(shared);
    QVERIFY(
        school::ValueLists(first.store).add(QStringLiteral("SINIFI"), QStringLiteral("5-A")).ok());
    for (const char* c : {"5-A", "6-B"})
      QVERIFY(
          school::ValueLists(second.store).add(QStringLiteral("SINIFI"), QLatin1String(c)).ok());
    // Her photo on the first board, a sound on the second board's fifth question.
    const QString jpg = first.dir.filePath(QStringLiteral("z.jpg"));
    const QString mp3 = second.dir.filePath(QStringLiteral("s.mp3"));
    {
      QFile f(jpg);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(TestSchool::picture(QStringLiteral("Z"), {30, 40}, "JPG"));
      QFile m(mp3);
      QVERIFY(m.open(QIODevice::WriteOnly));
      m.write("ID3 ses");
    }
    // A free question on each board, both "S5": each stays a free question.
    for (Board* b : {&first, &second})
      QCOMPARE(authoring::QuestionBank(b->store)
                   .add(TestSchool::newQuestion(), {TestSchool::plainPicture(), {}}, {},
                        authoring::QuestionBank::KeyKind::Free)
                   .valueOr({}),
               QStringLiteral("S5"));
    QVERIFY(TestSchool::photo(first.store, zeynep, jpg).ok());
    QCOMPARE(authoring::QuestionBank(second.store)
                 .add(TestSchool::newQuestion(), {TestSchool::plainPicture(), {}}, {mp3, {}})
                 .valueOr({}),
             QStringLiteral("5"));
    const QString taken =
        QStringLiteral("SELECT COUNT(*) FROM TABLESORU WHERE SORUNO IN ('1','2','3','4')");
    QCOMPARE(first.store.scalar(taken)->toInt(), 4);
    QCOMPARE(second.store.scalar(taken)->toInt(), 4);

    QVERIFY(importFolder(first.path()).ok());
    const Result<exchange::FolderImportReport> report = importFolder(second.path());
    QVERIFY2(report.ok(), qPrintable(report.error()));
    // 5-A's four by class and school number, Zeynep by her identity number.
    QCOMPARE(report->studentsMatched, 5);
    QCOMPARE(report->studentsAdded, 0);

    QCOMPARE(server().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESORU"))->toInt(), 11);
    QCOMPARE(
        server().scalar(QStringLiteral("SELECT COUNT(DISTINCT SORUNO) FROM TABLESORU"))->toInt(),
        11);
    QCOMPARE(server()
                 .scalar(QStringLiteral("SELECT COUNT(DISTINCT SORUNO) FROM TABLESORU WHERE "
                                        "SORUNO LIKE 'S%' AND SILINDIMI='1'"))
                 ->toInt(),
             2);
    QCOMPARE(server()
                 .scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE TCKIMLIK=?"),
                         {shared.tcKimlik})
                 ->toInt(),
             1);
    // Each test holds its own board's questions, in order, with their pictures.
    for (const QString& keys : {QStringLiteral("ABCD"), QStringLiteral("DCBA")}) {
      const QString testNo =
          server()
              .scalar(QStringLiteral("SELECT TESTNO FROM TABLETEST WHERE TESTADI=?"),
                      {QStringLiteral("Kesirler ") + keys})
              ->toString();
      const QStringList key =
          server()
              .column(QStringLiteral("SELECT Q.DOGRUSIK FROM TABLETESTSORU T JOIN "
                                     "TABLESORU Q ON Q.SORUNO=T.SORUNO WHERE T.TESTNO=? "
                                     "ORDER BY VAL(T.TESTSIRANO)"),
                      {testNo})
              .value();
      QCOMPARE(key.join(QString()), keys);
      QCOMPARE(server().contents().read(store::StoreKind::Test, testNo)->first, startScreen(keys));
      const QString run = server()
                              .scalar(QStringLiteral("SELECT DISTINCT TESTNO FROM TABLESONUC "
                                                     "WHERE TESTADI=?"),
                                      {QStringLiteral("Kesirler ") + keys})
                              ->toString();
      QCOMPARE(run, testNo);
    }
    // The sound follows its question's new number; it and the photo come out
    // again with the school.
    const QString sound =
        server()
            .scalar(QStringLiteral("SELECT SORUNO FROM TABLESORU WHERE SESDOSYASI<>''"))
            ->toString();
    QCOMPARE(sound, QStringLiteral("9"));
    QCOMPARE(server()
                 .scalar(QStringLiteral("SELECT SESDOSYASI FROM TABLESORU WHERE SORUNO='9'"))
                 ->toString(),
             QStringLiteral("Sesler/9.mp3"));
    const QString out = m_server->filePath(QStringLiteral("disari"));
    const Result<store::FolderFigures> written = store::exportFolder(server(), out);
    QVERIFY2(written.ok(), qPrintable(written.error()));
    QCOMPARE(written->files, 2);
    QFile exportedSound(QDir(out).filePath(QStringLiteral("Sesler/9.mp3")));
    QVERIFY(exportedSound.open(QIODevice::ReadOnly));
    QCOMPARE(exportedSound.readAll(), QByteArray("ID3 ses"));
    const QString kayitNo = server()
                                .scalar(QStringLiteral("SELECT KAYITNO FROM TABLEOGRENCI WHERE "
                                                       "TCKIMLIK=?"),
                                        {shared.tcKimlik})
                                ->toString();
    QFile exportedPhoto(QDir(out).filePath(QStringLiteral("Fotograflar/%1.jpg").arg(kayitNo)));
    QFile boardPhoto(school::StudentPhotos(first.store).path(zeynep));
    QVERIFY(exportedPhoto.open(QIODevice::ReadOnly) && boardPhoto.open(QIODevice::ReadOnly));
    QCOMPARE(exportedPhoto.readAll(), boardPhoto.readAll());

    // The boards' classes are the school's, once each.
    QCOMPARE(server()
                 .column(QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE "
                                        "PARAMETREADI='SINIFI' ORDER BY 1"))
                 .value(),
             (QStringList{QStringLiteral("5-A"), QStringLiteral("6-B")}));
    QCOMPARE(answersOnWrongQuestions(server()), 0);
    QCOMPARE(server()
                 .scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESONUC S WHERE NOT EXISTS "
                                        "(SELECT 1 FROM TABLEOGRENCI O WHERE O.KAYITNO=S.KAYITNO)"))
                 ->toInt(),
             0);
  }

  void theSameFolderTwiceAddsNothingAndSaysWhen() {
    Board board;
    fillBoard(board, QStringLiteral("ABCA"), QStringLiteral("03.10.2026"));
    const QString identity = store::ParametreAl(board.store, store::kFolderIdentity).value();
    QVERIFY(!identity.isEmpty());
    const Result<exchange::FolderImportReport> first = importFolder(board.path());
    QVERIFY2(first.ok(), qPrintable(first.error()));
    const QMap<QString, qint64> once = figures(server());

    // Reopened and worked on, the folder is still the same folder.
    board.store.close();
    QVERIFY(board.store.open().ok());
    QCOMPARE(store::ParametreAl(board.store, store::kFolderIdentity).value(), identity);
    const Result<exchange::FolderImportReport> second = importFolder(board.path());
    QVERIFY2(second.ok(), qPrintable(second.error()));
    QVERIFY(second->alreadyImported);
    QCOMPARE(second->summary(),
             QStringLiteral("Bu veri klasörü %1'de sunucuya aktarıldı.")
                 .arg(first->importedAt.toString(QStringLiteral("dd.MM.yyyy HH:mm"))));
    QCOMPARE(figures(server()), once);

    // An older folder without an identity gets one at its next open, and keeps it.
    QVERIFY(board.store
                .run(QStringLiteral("DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI=?"),
                     {store::kFolderIdentity})
                .ok());
    board.store.close();
    QVERIFY(board.store.open().ok());
    const QString made = store::ParametreAl(board.store, store::kFolderIdentity).value();
    QVERIFY(!made.isEmpty() && made != identity);
    board.store.close();
    QVERIFY(board.store.open().ok());
    QCOMPARE(store::ParametreAl(board.store, store::kFolderIdentity).value(), made);
  }

  void theFirstBoardNamesANewSchool() {
    // A server just made by `server init` has no institution yet.
    QVERIFY(server().run(QStringLiteral("UPDATE TABLEOKUL SET KURUMKODU='',OKULADI=''")).ok());
    const auto code = [this] {
      return server()
          .scalar(QStringLiteral("SELECT KURUMKODU || '/' || OKULADI FROM TABLEOKUL"))
          .value()
          .toString();
    };
    Board first, second;
    first.school->institution(QStringLiteral("738201"), QStringLiteral("Atatürk Ortaokulu"));
    second.school->institution(QStringLiteral("111111"), QStringLiteral("Başka Okul"));
    const Result<exchange::FolderImportReport> named = importFolder(first.path());
    QVERIFY2(named.ok(), qPrintable(named.error()));
    QVERIFY(named->institution);
    QVERIFY(
        named->summary().endsWith(QStringLiteral("Okulun kurum bilgileri bu klasörden alındı.")));
    QCOMPARE(code(), QStringLiteral("738201/Atatürk Ortaokulu"));
    QCOMPARE(server().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL"))->toInt(), 1);
    // The next board joins the school; it does not rename it.
    const Result<exchange::FolderImportReport> joined = importFolder(second.path());
    QVERIFY2(joined.ok(), qPrintable(joined.error()));
    QVERIFY(!joined->institution);
    QCOMPARE(code(), QStringLiteral("738201/Atatürk Ortaokulu"));
  }

  void aFailedImportLeavesTheServerAsItWas() {
    Board earlier, board;
    fillBoard(earlier, QStringLiteral("ABCD"), QStringLiteral("04.10.2026"));
    fillBoard(board, QStringLiteral("BBCC"), QStringLiteral("05.10.2026"));
    QVERIFY(importFolder(earlier.path()).ok());
    const QMap<QString, qint64> before = figures(server());
    const QStringList parameters =
        server()
            .column(QStringLiteral("SELECT PARAMETREADI || PARAMETREDEGERI FROM TABLEPARAMETRE "
                                   "ORDER BY 1"))
            .value();

    exchange::FolderImport failing(server());
    failing.setBeforeCommit([] { return Status::failure(QStringLiteral("durduruldu")); });
    const Result<exchange::FolderImportReport> failed = failing.run(board.path());
    QVERIFY(!failed.ok());
    QCOMPARE(figures(server()), before);
    QCOMPARE(server()
                 .column(QStringLiteral("SELECT PARAMETREADI || PARAMETREDEGERI FROM "
                                        "TABLEPARAMETRE ORDER BY 1"))
                 .value(),
             parameters);
    QCOMPARE(server().contents().read(store::StoreKind::Question, QStringLiteral("5"))->found(),
             false);

    // Not recorded as taken in: the next try brings it.
    const Result<exchange::FolderImportReport> retried = importFolder(board.path());
    QVERIFY2(retried.ok(), qPrintable(retried.error()));
    QVERIFY(!retried->alreadyImported);
    QCOMPARE(retried->questions, 4);

    // Not a data folder: said so, nothing written.
    QTemporaryDir empty;
    const Result<exchange::FolderImportReport> none = importFolder(empty.path());
    QVERIFY(!none.ok());
    QVERIFY(none.error().contains(QStringLiteral("DERSLIK.db yok")));
  }
};

QTEST_GUILESS_MAIN(TestServerFolders)
#include "tst_serverfolders.moc"
