#include "exchange/TestPackage.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include "authoring/QuestionKeys.h"
#include "authoring/QuestionRules.h"
#include "exchange/PackageDatabase.h"
#include "exchange/PackageFile.h"
#include "exchange/PackageQuestions.h"
#include "exchange/TakenFiles.h"
#include "store/ContentStores.h"
#include "store/Dialect.h"
#include "store/Numbers.h"
#include "store/ServerConnection.h"
#include "store/Sql.h"
#include "store/SqlErrors.h"
#include "store/Store.h"

namespace exchange {

namespace {

const QString kTestNo = QStringLiteral("TESTNO");

// Every TABLETEST column (booklet flags included) and every TABLETESTSORU
// column (positions, sections, booklet orders) travels.
QStringList testColumns() { return carriedColumns(QStringLiteral("TABLETEST"), {kTestNo}); }
QStringList membershipColumns() {
  QStringList columns{QStringLiteral("SORUNO")};
  return columns +
         carriedColumns(QStringLiteral("TABLETESTSORU"), {kTestNo, QStringLiteral("SORUNO")});
}

Status insertRows(store::Store& store, const QString& table, const QStringList& columns,
                  const QList<QStringList>& rows) {
  QSqlQuery insert(store.db());
  if (!insert.prepare(store::dialectOf(store.db())
                          .prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                       .arg(table, columns.join(QLatin1Char(',')),
                                            QStringList(columns.size(), QStringLiteral("?"))
                                                .join(QLatin1Char(','))))))
    return Status::failure(store::queryErrorText(insert));
  for (const QStringList& row : rows) {
    for (qsizetype i = 0; i < row.size(); ++i) insert.bindValue(static_cast<int>(i), row.at(i));
    if (!insert.exec()) return Status::failure(store::queryErrorText(insert));
  }
  return {};
}

Status addAuthors(store::Store& store, const QList<PackageRecord>& tests) {
  QSet<QString> done;
  for (const PackageRecord& t : tests) {
    const QString author = t.value(QStringLiteral("HAZIRLAYAN")).trimmed();
    if (author.isEmpty() || done.contains(author)) continue;
    done.insert(author);
    if (Status s = store.run(
            QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,"
                           "PARAMETREACIKLAMA) SELECT 'HAZIRLAYAN',?,'' WHERE NOT EXISTS (SELECT "
                           "1 FROM TABLEPARAMETRE WHERE PARAMETREADI='HAZIRLAYAN' AND "
                           "PARAMETREDEGERI=?)"),
            {author, author});
        !s)
      return s;
  }
  if (!done.isEmpty()) store.changed(store::Change::Lists);
  return {};
}

}  // namespace

Status TestPackage::writeTables(PackageWriter& package, const QStringList& testNos,
                                const QStringList& questionNos) {
  const store::InList tests = store::inList(testNos);
  if (Status s = PackageQuestions::writeTable(package, questionNos); !s) return s;
  Result<QString> content = package.store().contents().unionSql(store::StoreKind::Test);
  if (!content) return Status::failure(content.error());
  if (Status s = package.copy(
          QStringLiteral("TABLETEST"),
          QStringLiteral("SELECT T.*,AA.BASLANGICEKRANI AS BASLANGICEKRANI,AA.BASLIK AS "
                         "BASLIK,T.TESTNO AS DISTABLOTESTNO FROM TABLETEST T LEFT JOIN %1 AA ON "
                         "AA.TESTNO=T.TESTNO WHERE T.TESTNO IN (%2) ORDER BY VAL(T.TESTNO)")
              .arg(content.value(), tests.placeholders),
          tests.values);
      !s)
    return s;
  // In the order the bank keeps them (the order SQLite's own copy gave).
  return package.copy(
      QStringLiteral("TABLETESTSORU"),
      QStringLiteral("SELECT * FROM TABLETESTSORU WHERE TESTNO IN (%1) ORDER BY rowid")
          .arg(tests.placeholders),
      tests.values);
}

Status TestPackage::write(const QStringList& testNos, const QString& archivePath) {
  const auto failed = [](const QString& why) {
    return Status::failure(writeFailedMessage() + QStringLiteral(" (") + why + QLatin1Char(')'));
  };
  if (testNos.isEmpty()) return Status::failure(writeFailedMessage());
  if (Status s = keysExist(m_store, QStringLiteral("TABLETEST"), kTestNo, testNos); !s)
    return failed(s.error());
  const store::InList tests = store::inList(testNos);
  Result<QStringList> questions = m_store.column(
      QStringLiteral("SELECT DISTINCT SORUNO FROM TABLETESTSORU WHERE TESTNO IN (%1)")
          .arg(tests.placeholders),
      tests.values);
  if (!questions) return failed(questions.error());
  Result<QList<formats::ZipMember>> media =
      PackageQuestions::mediaMembers(m_store, questions.value());
  if (!media) return failed(media.error());
  const auto fill = [&](PackageWriter& package) {
    return writeTables(package, testNos, questions.value());
  };
  return PackageFile(m_store).write(archivePath, kMember, fill, media.value());
}

QString TestPackage::numberingText(int index, int count) {
  return QStringLiteral("Testler Numaralandırılıyor : %1/%2").arg(index).arg(count);
}

Result<int> TestPackage::merge(PackageDatabase& package, const PackageFile::Unpacked& unpacked,
                               PackageQuestions& questions, const Progress& progress) {
  m_addedTests.clear();
  m_testKeys.clear();
  using R = Result<int>;
  // Everything is read and checked before the first row is written.
  if (Status s = questions.load(package); !s) return R::failure(s.error());
  const QStringList carriedTest = testColumns();
  const QStringList carriedMembership = membershipColumns();
  Result<PackageTable> testTable =
      PackageTable::open(package, QStringLiteral("TABLETEST"), {kTestNo});
  if (!testTable) return R::failure(testTable.error());
  const bool currentLayout = testTable->has(QStringLiteral("UNITE"));
  Result<QList<PackageRecord>> tests = testTable->read(kTestNo, carriedTest, kMaxTests);
  if (!tests) return R::failure(tests.error());
  if (tests->isEmpty() && m_testsRequired) return R::failure(QStringLiteral("Dosyada test yok."));
  QSet<QString> testKeys;
  for (const PackageRecord& t : tests.value()) {
    if (testKeys.contains(t.key))
      return R::failure(QStringLiteral("Dosyada %1 numaralı test iki kez var.").arg(t.key));
    testKeys.insert(t.key);
  }
  Result<PackageTable> memberTable = PackageTable::open(package, QStringLiteral("TABLETESTSORU"),
                                                        {kTestNo, QStringLiteral("SORUNO")});
  if (!memberTable) return R::failure(memberTable.error());
  Result<QList<PackageRecord>> members =
      memberTable->read(kTestNo, carriedMembership, kMaxMemberships);
  if (!members) return R::failure(members.error());

  if (Status s = questions.assignKeys(true); !s) return R::failure(s.error());
  for (const PackageRecord& m : members.value()) {
    const QString question = m.value(QStringLiteral("SORUNO")).trimmed();
    if (!testKeys.contains(m.key))
      return R::failure(QStringLiteral("Dosyada %1 numaralı test yok.").arg(m.key));
    // The time a test gives its question follows the question's own rule.
    if (Status s = authoring::checkTime(m.value(QStringLiteral("SURE"))); !s)
      return R::failure(QStringLiteral("Dosyadaki %1 numaralı testin %2 numaralı sorusu: %3")
                            .arg(m.key, question, s.error()));
    // A distributed question may be in the bank already; any other must come along.
    if (!questions.keys().contains(question) && !authoring::keys::isDistributed(question))
      return R::failure(QStringLiteral("Dosyada %1 numaralı soru yok.").arg(question));
  }
  const Result<qint64> nextTest = authoring::keys::nextTestNumber(m_store);
  if (!nextTest) return R::failure(nextTest.error());
  if (Status s = store::checkNumbers(nextTest.value(), tests->size()); !s)
    return R::failure(s.error());
  qint64 number = nextTest.value();
  QHash<QString, QString> testKey;
  for (const PackageRecord& t : tests.value())
    testKey.insert(t.key,
                   authoring::keys::isDistributed(t.key) ? t.key : QString::number(number++));
  m_testKeys = testKey;

  if (Status s = questions.stageMedia(unpacked); !s) return R::failure(s.error());

  // Distributed tests replace their older copies.
  store::ContentStores& contents = m_store.contents();
  for (const PackageRecord& t : tests.value()) {
    if (!authoring::keys::isDistributed(t.key)) continue;
    for (const char* table : {"TABLETEST", "TABLETESTSORU"})
      if (Status s = m_store.run(
              QStringLiteral("DELETE FROM %1 WHERE TESTNO=?").arg(QLatin1String(table)), {t.key});
          !s)
        return R::failure(s.error());
    if (Status s = contents.remove(store::StoreKind::Test, t.key); !s) return R::failure(s.error());
  }
  if (Status s = questions.write(package, unpacked.packageBytes); !s) return R::failure(s.error());

  QList<QStringList> rows;
  QList<CurriculumPlace> places;
  for (const PackageRecord& t : tests.value()) {
    if (progress && (rows.size() + 1) % 10 == 0)
      progress(numberingText(int(rows.size()) + 1, int(tests->size())));
    const CurriculumPlace place = placeOf(t, currentLayout);
    places << place;
    QStringList row{testKey.value(t.key)};
    for (const QString& c : carriedTest) {
      if (c == QStringLiteral("UNITE"))
        row << place.unit;
      else if (c == QStringLiteral("KONU"))
        row << place.topic;
      else if (c == QStringLiteral("KAZANIM"))
        row << place.outcome;
      else
        row << t.value(c);
    }
    rows << row;
  }
  if (Status s = insertRows(m_store, QStringLiteral("TABLETEST"),
                            QStringList{kTestNo} + carriedTest, rows);
      !s)
    return R::failure(s.error());

  rows.clear();
  for (const PackageRecord& m : members.value()) {
    const QString question = m.value(QStringLiteral("SORUNO")).trimmed();
    QStringList row{testKey.value(m.key), questions.keys().value(question, question)};
    for (const QString& c : carriedMembership.mid(1)) row << m.value(c);
    rows << row;
  }
  if (Status s = insertRows(m_store, QStringLiteral("TABLETESTSORU"),
                            QStringList{kTestNo} + carriedMembership, rows);
      !s)
    return R::failure(s.error());

  // Start screens and headers.
  const Status content = forEachPicturePair(
      package, QStringLiteral("TABLETEST"), kTestNo, QStringLiteral("BASLANGICEKRANI"),
      QStringLiteral("BASLIK"),
      [&](const QString& packageKey, const QByteArray& screen, const QByteArray& header) {
        const QString key = testKey.value(packageKey);
        return key.isEmpty() ? Status()
                             : contents.write(store::StoreKind::Test, key, screen, header);
      });
  if (!content) return R::failure(content.error());

  if (Status s = addDefinitions(m_store, places); !s) return R::failure(s.error());
  if (Status s = addAuthors(m_store, tests.value()); !s) return R::failure(s.error());
  if (Status s = offerLevelsAndCourses(m_store, places); !s) return R::failure(s.error());
  m_store.changed(store::Change::Tests);
  for (const PackageRecord& t : tests.value()) m_addedTests << testKey.value(t.key);
  return static_cast<int>(tests->size());
}

Result<int> TestPackage::read(const QString& archivePath, const Progress& progress,
                              bool onlyIfNew) {
  m_addedTests.clear();
  // An unreadable file is refused below, with the reason.
  const QByteArray hash = TakenFiles::contentHash(archivePath).valueOr({});
  PackageQuestions questions(m_store);
  questions.setProgress(progress);
  PackageFile::ReadOptions options;
  options.wanted = &PackageQuestions::isMediaArchive;
  options.wrapperSuffix = QStringLiteral(".ckp");
  options.maxValueBytes = PackageQuestions::kMaxPictureBytes;
  const auto apply = [&](PackageDatabase& package,
                         const PackageFile::Unpacked& unpacked) -> Result<int> {
    if (onlyIfNew && !hash.isEmpty())
      if (Status s = TakenFiles(m_store).refuseTaken(hash, archivePath); !s)
        return Result<int>::failure(s.error());
    Result<int> added = merge(package, unpacked, questions, progress);
    if (!added) return added;
    if (!hash.isEmpty())
      if (Status s = TakenFiles(m_store).remember(hash, archivePath, QDateTime::currentDateTime());
          !s)
        return Result<int>::failure(s.error());
    return added;
  };
  Result<int> added = PackageFile(m_store).read(archivePath, kMember, apply, options);
  if (added)
    questions.finish();
  else {
    questions.discard();
    m_addedTests.clear();
  }
  return added;
}

}  // namespace exchange
