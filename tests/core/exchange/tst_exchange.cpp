// Question and test files between two installations: each test function has a
// sending data folder (m_from) and a receiving one (m_to). The valid files made
// here are also written to $DERSLIK_FUZZ_CORPUS (when set) as the seed corpus of
// the exchange fuzz target.
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

#include "HostileFiles.h"
#include "PackageDatabaseFile.h"
#include "PeakMemory.h"
#include "TempDataFolder.h"
#include "authoring/BookletOrders.h"
#include "authoring/Question.h"
#include "authoring/QuestionBank.h"
#include "authoring/Test.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "exchange/ImportStaging.h"
#include "exchange/QuestionPackage.h"
#include "exchange/StudentPackage.h"
#include "exchange/TakenFiles.h"
#include "exchange/TestPackage.h"
#include "formats/ZipArchive.h"
#include "store/ContentStores.h"
#include "store/FolderFiles.h"

using exchange::QuestionPackage;
using exchange::TestPackage;
using formats::ZipArchive;
using formats::ZipMember;

namespace {

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& data) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// A small picture that stands for `text` (the bank takes real pictures only).
QByteArray picture(const QString& text) {
  quint32 sum = 0;
  for (QChar c : text) sum = sum * 31 + c.unicode();
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(QColor::fromRgb(sum | 0xff000000u));
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return buffer.data();
}

// A sound or video file of a bank ("Sesler/7.mp3"), wherever the bank keeps them.
bool putFile(const store::Store& s, const QString& relative, const QByteArray& data) {
  return store::FolderFiles(s).put(relative, data).ok();
}
QByteArray storedBytes(const store::Store& s, const QString& relative) {
  return store::FolderFiles(s).read(relative).valueOr(QByteArray("(yok)"));
}

// The selector byte the fuzz target reads first: 0 student, 1 question, 2 test file.
void addToCorpus(const QString& file, char kind) {
  const QString dir = qEnvironmentVariable("DERSLIK_FUZZ_CORPUS");
  if (dir.isEmpty() || !QDir().mkpath(dir)) return;
  writeBytes(QDir(dir).filePath(QFileInfo(file).fileName()), QByteArray(1, kind) + fileBytes(file));
}

}  // namespace

class TestExchange : public QObject {
  Q_OBJECT

  store::Store& from() { return m_from->store(); }
  store::Store& to() { return m_to->store(); }
  QString file(const QString& name) const { return m_from->filePath(name); }

  // A question in the sending bank whose unit names it.
  QString addQuestion(const QString& unit, const QString& answer = QStringLiteral("B")) {
    authoring::Question q;
    q.seviye = QStringLiteral("7. SINIF");
    q.ders = QStringLiteral("FEN BİLİMLERİ");
    q.unite = unit;
    q.konu = QStringLiteral("Konu ") + unit;
    q.dogruSik = answer;
    q.sure = QStringLiteral("30");
    const Result<QString> key = authoring::QuestionBank(from()).add(
        q, {picture(QStringLiteral("soru-") + unit), picture(QStringLiteral("cozum-") + unit)});
    if (!key) qWarning() << key.error();
    return key.valueOr({});
  }
  QString addTest(const QString& name, const QStringList& questions) {
    authoring::Test t;
    t.testAdi = name;
    t.hazirlayan = QStringLiteral("Ayşe Öğretmen");
    t.seviye = QStringLiteral("7. SINIF");
    t.ders = QStringLiteral("FEN BİLİMLERİ");
    const Result<QString> key =
        authoring::TestCatalog(from()).create(t, picture(QStringLiteral("acilis-") + name));
    if (!key) return {};
    if (!authoring::TestQuestions(from()).add(key.value(), questions)) return {};
    return key.value();
  }
  static QStringList column(store::Store& s, const QString& sql, const QVariantList& p = {}) {
    return s.column(sql, p).valueOr({});
  }
  static int count(store::Store& s, const QString& sql, const QVariantList& p = {}) {
    return s.scalar(sql, p).valueOr(-1).toInt();
  }
  // Files in the receiving media folders and any working folder left behind.
  QStringList leftovers() const {
    QStringList out;
    if (m_to->store().onServer())
      out << m_to->store()
                 .column(QStringLiteral("SELECT \"YOL\" FROM \"DERSLIKDOSYA\" ORDER BY 1"))
                 .valueOr({});
    for (const QString& folder : {QStringLiteral("Sesler"), QStringLiteral("Videolar")})
      for (const QString& f : QDir(m_to->filePath(folder)).entryList(QDir::Files))
        out << folder + QLatin1Char('/') + f;
    for (const QString& d : QDir(m_to->path()).entryList({QStringLiteral("paket-*")}, QDir::Dirs))
      out << d;
    return out;
  }

 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_from));
    QVERIFY(TempDataFolder::renew(m_to));
  }
  void cleanup() {
    m_to.reset();
    m_from.reset();
  }

  // Read into an empty bank: 1..n in the order of the numbers in the file, with
  // pictures, sound files under the new numbers and the units defined; read
  // again: n more under the next numbers.
  void questionFileNumbersInFileOrderAndTwiceAddsTwice() {
    QStringList keys;
    for (int i = 1; i <= 9; ++i) keys << addQuestion(QStringLiteral("Ünite %1").arg(i));
    QCOMPARE(keys.last(), QStringLiteral("9"));
    QVERIFY(putFile(from(), QStringLiteral("Sesler/7.mp3"), "ses-7"));
    QVERIFY(putFile(from(), QStringLiteral("Videolar/5.mp4"), "video-5"));
    const QString cks = file(QStringLiteral("Sorular.cks"));
    QVERIFY(QuestionPackage(from()).write(
        {QStringLiteral("9"), QStringLiteral("5"), QStringLiteral("7")}, cks));
    addToCorpus(cks, 1);
    // A stale file under a number the import hands out belongs to no question.
    QVERIFY(putFile(to(), QStringLiteral("Sesler/2.wav"), "eski"));

    Result<int> added = QuestionPackage(to()).read(cks);
    QVERIFY2(added, qPrintable(added.error()));
    QCOMPARE(added.value(), 3);
    QCOMPARE(column(to(), QStringLiteral("SELECT SORUNO||':'||UNITE||':'||KONU FROM TABLESORU "
                                         "ORDER BY VAL(SORUNO)")),
             QStringList({QStringLiteral("1:Ünite 5:Konu Ünite 5"),
                          QStringLiteral("2:Ünite 7:Konu Ünite 7"),
                          QStringLiteral("3:Ünite 9:Konu Ünite 9")}));
    Result<authoring::QuestionPictures> pictures =
        authoring::QuestionBank(to()).pictures(QStringLiteral("2"));
    QVERIFY(pictures);
    QCOMPARE(pictures->question, picture(QStringLiteral("soru-Ünite 7")));
    QCOMPARE(pictures->solution, picture(QStringLiteral("cozum-Ünite 7")));
    QCOMPARE(storedBytes(to(), QStringLiteral("Sesler/2.mp3")), QByteArray("ses-7"));
    QCOMPARE(storedBytes(to(), QStringLiteral("Videolar/1.mp4")), QByteArray("video-5"));
    QCOMPARE(column(to(), QStringLiteral("SELECT NZ(SESDOSYASI)||'|'||NZ(COZUMVIDEO) FROM "
                                         "TABLESORU ORDER BY VAL(SORUNO)")),
             QStringList({QStringLiteral("|Videolar/1.mp4"), QStringLiteral("Sesler/2.mp3|"),
                          QStringLiteral("|")}));
    QCOMPARE(count(to(), QStringLiteral("SELECT COUNT(*) FROM TABLETANIMLAMALAR WHERE "
                                        "TANIMADI='UNITELER' AND UNITE='Ünite 7' AND "
                                        "SEVIYE='7. SINIF'")),
             1);
    QCOMPARE(count(to(), QStringLiteral("SELECT COUNT(*) FROM TABLETANIMLAMALAR WHERE "
                                        "TANIMADI='KONULAR' AND KONU='Konu Ünite 7'")),
             1);

    added = QuestionPackage(to()).read(cks);
    QVERIFY2(added, qPrintable(added.error()));
    QCOMPARE(column(to(), QStringLiteral("SELECT SORUNO FROM TABLESORU ORDER BY VAL(SORUNO)")),
             QStringList({"1", "2", "3", "4", "5", "6"}));
    QCOMPARE(storedBytes(to(), QStringLiteral("Sesler/5.mp3")), QByteArray("ses-7"));
    // Definitions are not doubled by the second read.
    QCOMPARE(count(to(), QStringLiteral("SELECT COUNT(*) FROM TABLETANIMLAMALAR WHERE "
                                        "TANIMADI='UNITELER' AND UNITE='Ünite 7'")),
             1);
    QCOMPARE(leftovers(),
             QStringList({"Sesler/2.mp3", "Sesler/5.mp3", "Videolar/1.mp4", "Videolar/4.mp4"}));
    // The readings left no marker of their moves behind.
    QCOMPARE(count(to(), QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE WHERE "
                                        "PARAMETREADI='PAKETALIMI'")),
             0);
  }

  // What a reading killed after staging its files leaves, as the next start
  // finds it: committed (the marker row is there) the files are moved in, also
  // when some of them were moved before the kill; rolled back nothing arrives.
  // Either way the work folder and the marker go. A folder another reading
  // still holds is left alone.
  void killedReadingIsSettled_data() {
    QTest::addColumn<bool>("committed");
    QTest::newRow("commit sonrası") << true;
    QTest::newRow("commit öncesi") << false;
  }
  void killedReadingIsSettled() {
    QFETCH(bool, committed);
    using Kind = authoring::QuestionMedia::Kind;
    const QString folder = m_to->filePath(QStringLiteral("paket-k1ll3d"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeBytes(QDir(folder).filePath(QStringLiteral("0")), "yeni ses 5"));
    QVERIFY(writeBytes(QDir(folder).filePath(QStringLiteral("1")), "yeni video 5"));
    // Question 6's sound was moved in before the kill; 5 had a stale video.
    QVERIFY(putFile(to(), QStringLiteral("Sesler/6.wav"), "yeni ses 6"));
    QVERIFY(putFile(to(), QStringLiteral("Videolar/5.avi"), "eski"));
    QVERIFY(putFile(to(), QStringLiteral("Videolar/7.mp4"), "eski"));
    exchange::StagingManifest moves;
    moves.marker = QStringLiteral("d3a1");
    moves.keys = QStringList{QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7")};
    moves.files = {{Kind::Sound, QStringLiteral("5"), QStringLiteral("0"), QStringLiteral(".mp3")},
                   {Kind::Video, QStringLiteral("5"), QStringLiteral("1"), QStringLiteral(".mp4")},
                   {Kind::Sound, QStringLiteral("6"), QStringLiteral("2"), QStringLiteral(".wav")}};
    QVERIFY(moves.write(folder));
    if (committed) QVERIFY(moves.addMarker(to()));

    {
      const exchange::WorkFolder live(to());
      QVERIFY(live.isValid());
      QCOMPARE(exchange::repairStagedImports(to()), QStringList());
      QVERIFY(QFileInfo::exists(live.path()));
      QVERIFY(QFileInfo::exists(folder));
    }
    const QStringList said = exchange::repairStagedImports(to());
    QCOMPARE(said.size(), committed ? 1 : 0);
    if (committed)
      QCOMPARE(leftovers(), QStringList({"Sesler/5.mp3", "Sesler/6.wav", "Videolar/5.mp4"}));
    else
      QCOMPARE(leftovers(), QStringList({"Sesler/6.wav", "Videolar/5.avi", "Videolar/7.mp4"}));
    if (committed) {
      QCOMPARE(storedBytes(to(), QStringLiteral("Sesler/5.mp3")), QByteArray("yeni ses 5"));
      QCOMPARE(storedBytes(to(), QStringLiteral("Sesler/6.wav")), QByteArray("yeni ses 6"));
    }
    QCOMPARE(count(to(), QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE WHERE "
                                        "PARAMETREADI='PAKETALIMI'")),
             0);
    QCOMPARE(exchange::repairStagedImports(to()), QStringList());
  }

  // Tests travel with their questions, start screens, booklet orders and
  // authors; two files sharing a question keep two copies of it; a test file
  // inside another archive reads as the test file.
  void testFilesKeepTheirQuestionsApart() {
    const QString q1 = addQuestion(QStringLiteral("A"));
    const QString q2 = addQuestion(QStringLiteral("B"));
    const QString q3 = addQuestion(QStringLiteral("C"));
    const QString t1 = addTest(QStringLiteral("Birinci"), {q1, q2});
    const QString t2 = addTest(QStringLiteral("İkinci"), {q2, q3});
    QVERIFY(!t1.isEmpty() && !t2.isEmpty());
    QVERIFY(authoring::BookletOrders(from()).setOrder(t1, authoring::Booklet::B, {2, 1}));
    QVERIFY(putFile(from(), QStringLiteral("Sesler/2.ogg"), "ses-2"));
    const QString a = file(QStringLiteral("a.ckp"));
    const QString b = file(QStringLiteral("b.ckp"));
    QVERIFY(TestPackage(from()).write({t1}, a));
    QVERIFY(TestPackage(from()).write({t2}, b));
    addToCorpus(a, 2);
    // The student reader shares the archive layer: a seed for it too.
    QVERIFY(
        from().run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI,SOYADI,SINIFI) "
                                  "VALUES ('1','Ali','Er','5-A')")));
    const QString ckk = file(QStringLiteral("Kayit.ckk"));
    QVERIFY(exchange::StudentPackage(from()).write({QStringLiteral("1")}, ckk));
    addToCorpus(ckk, 0);
    // A local question and test already there: the new ones come after them.
    authoring::Test local;
    local.testAdi = QStringLiteral("Yerel");
    QVERIFY(authoring::TestCatalog(to()).create(local));

    for (const QString& path : {a, b}) {
      const Result<int> added = TestPackage(to()).read(path);
      QVERIFY2(added, qPrintable(added.error()));
      QCOMPARE(added.value(), 1);
    }
    QCOMPARE(column(to(), QStringLiteral("SELECT TESTNO||':'||TESTADI FROM TABLETEST ORDER BY "
                                         "VAL(TESTNO)")),
             QStringList({"1:Yerel", "2:Birinci", "3:İkinci"}));
    // Question B is in both files: two copies, each in its own test.
    QCOMPARE(
        column(to(), QStringLiteral("SELECT T.TESTNO||':'||S.UNITE||':'||T.TESTSIRANO||':'||"
                                    "NZ(T.BSIRASI) FROM TABLETESTSORU T JOIN TABLESORU S ON "
                                    "S.SORUNO=T.SORUNO ORDER BY VAL(T.TESTNO),VAL(TESTSIRANO)")),
        QStringList({"2:A:1:2", "2:B:2:1", "3:B:1:", "3:C:2:"}));
    QCOMPARE(count(to(), QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), 4);
    QCOMPARE(column(to(), QStringLiteral("SELECT NZ(BKITAPCIK) FROM TABLETEST WHERE TESTNO='2'")),
             QStringList({"1"}));
    const Result<store::StoreContent> screen =
        to().contents().read(store::StoreKind::Test, QStringLiteral("3"));
    QVERIFY(screen);
    QCOMPARE(screen->first, picture(QStringLiteral("acilis-İkinci")));
    QCOMPARE(count(to(),
                   QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE WHERE "
                                  "PARAMETREADI='HAZIRLAYAN' AND PARAMETREDEGERI=?"),
                   {QStringLiteral("Ayşe Öğretmen")}),
             1);
    // Question 2 of the sender went out twice and came in as 2 and 3.
    QCOMPARE(leftovers(), QStringList({"Sesler/2.ogg", "Sesler/3.ogg"}));

    const QString wrapped = file(QStringLiteral("paylasim.ckt"));
    QVERIFY(ZipArchive::write(wrapped, {{QStringLiteral("klasor/Deneme.ckp"), fileBytes(a)}}));
    const Result<int> added = TestPackage(to()).read(wrapped);
    QVERIFY2(added, qPrintable(added.error()));
    QCOMPARE(column(to(), QStringLiteral("SELECT TESTADI FROM TABLETEST WHERE TESTNO='4'")),
             QStringList({"Birinci"}));
  }

  // A file read before is known by its bytes, whatever its name: a reading of
  // several files leaves it out (adding nothing) unless told to read it again;
  // a refused file is not remembered. The tests read say which numbers they got.
  void aFileTakenBeforeIsKnownByItsBytes() {
    const QString t = addTest(QStringLiteral("Kesirler"), {addQuestion(QStringLiteral("A"))});
    const QString original = file(QStringLiteral("Kesirler.ckp"));
    QVERIFY(TestPackage(from()).write({t}, original));
    const QString copy = file(QStringLiteral("Kopya.ckp"));
    QVERIFY(QFile::copy(original, copy));
    const QString cut = file(QStringLiteral("Kesik.ckp"));
    QVERIFY(writeBytes(cut, fileBytes(original).left(300)));
    authoring::Test local;
    local.testAdi = QStringLiteral("Yerel");
    QVERIFY(authoring::TestCatalog(to()).create(local));

    const exchange::TakenFiles taken(to());
    QVERIFY(!taken.find(original).value());
    TestPackage tests(to());
    QCOMPARE(tests.read(original).valueOr(-1), 1);
    QCOMPARE(tests.addedTests(), QStringList{QStringLiteral("2")});
    QCOMPARE(TestPackage::menuAddedMessage(tests.addedTests()),
             QStringLiteral("Test eklendi (Test No: 2)"));
    const auto before = taken.find(copy);
    QVERIFY(before && before.value());
    QCOMPARE(before.value()->fileName, QStringLiteral("Kesirler.ckp"));
    QCOMPARE(before.value()->date, QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    QCOMPARE(exchange::TakenFiles::takenText(copy, *before.value()),
             QStringLiteral("Kopya.ckp dosyası daha önce alınmıştı (%1, %2, Kesirler.ckp adıyla).")
                 .arg(before.value()->date, before.value()->time));

    const auto read = [&tests](const QString& path, bool onlyIfNew) {
      return tests.read(path, {}, onlyIfNew);
    };
    QStringList asked;
    exchange::ImportOutcome outcome = exchange::readFiles(
        {copy, cut}, read, {}, &taken, [&](const QString& path, const exchange::TakenFile&) {
          asked << QFileInfo(path).fileName();
          return false;
        });
    QCOMPARE(asked, QStringList{QStringLiteral("Kopya.ckp")});
    QCOMPARE(outcome.added, 0);
    QCOMPARE(outcome.skipped.size(), 1);
    QCOMPARE(outcome.failures.size(), 1);  // the cut file, read and refused
    QCOMPARE(count(to(), QStringLiteral("SELECT COUNT(*) FROM TABLETEST")), 2);
    QVERIFY(!taken.find(cut).value());

    outcome = exchange::readFiles({copy}, read, {}, &taken,
                                  [](const QString&, const exchange::TakenFile&) { return true; });
    QCOMPARE(outcome.added, 1);
    QCOMPARE(tests.addedTests(), QStringList{QStringLiteral("3")});
    QCOMPARE(taken.find(original).value()->fileName, QStringLiteral("Kopya.ckp"));
  }

  // Keys that do not start with a digit are distributed content: read again,
  // they replace their older copies instead of doubling.
  void distributedContentIsReplaced() {
    const QString q = addQuestion(QStringLiteral("Dağıtılan"));
    const QString local = addQuestion(QStringLiteral("Yerel"));
    const QString t = addTest(QStringLiteral("Eski ad"), {q, local});
    const QString dq = QStringLiteral("DS000000000001");
    const QString dt = QStringLiteral("DT000000000001");
    for (const QString& sql : {QStringLiteral("UPDATE TABLESORU SET SORUNO=? WHERE SORUNO=?"),
                               QStringLiteral("UPDATE TABLETESTSORU SET SORUNO=? WHERE SORUNO=?")})
      QVERIFY(from().run(sql, {dq, q}));
    QVERIFY(from().contents().rename(store::StoreKind::Question, q, dq));
    for (const QString& sql : {QStringLiteral("UPDATE TABLETEST SET TESTNO=? WHERE TESTNO=?"),
                               QStringLiteral("UPDATE TABLETESTSORU SET TESTNO=? WHERE TESTNO=?")})
      QVERIFY(from().run(sql, {dt, t}));
    QVERIFY(from().contents().rename(store::StoreKind::Test, t, dt));
    const QString first = file(QStringLiteral("ilk.ckp"));
    QVERIFY(TestPackage(from()).write({dt}, first));
    QVERIFY(from().run(QStringLiteral("UPDATE TABLETEST SET TESTADI='Yeni ad'")));
    QVERIFY(from().run(QStringLiteral("UPDATE TABLESORU SET DOGRUSIK='E' WHERE SORUNO=?"), {dq}));
    const QString second = file(QStringLiteral("yeni.ckp"));
    QVERIFY(TestPackage(from()).write({dt}, second));

    for (const QString& path : {first, second}) {
      const Result<int> added = TestPackage(to()).read(path);
      QVERIFY2(added, qPrintable(added.error()));
    }
    QCOMPARE(column(to(), QStringLiteral("SELECT TESTNO||':'||TESTADI FROM TABLETEST")),
             QStringList({dt + QStringLiteral(":Yeni ad")}));
    QCOMPARE(column(to(),
                    QStringLiteral("SELECT SORUNO||':'||DOGRUSIK FROM TABLESORU WHERE "
                                   "SORUNO=?"),
                    {dq}),
             QStringList({dq + QStringLiteral(":E")}));
    // The numeric question came twice; the test holds the newer copy only.
    QCOMPARE(count(to(), QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), 3);
    QCOMPARE(column(to(),
                    QStringLiteral("SELECT SORUNO FROM TABLETESTSORU WHERE TESTNO=? ORDER "
                                   "BY VAL(TESTSIRANO)"),
                    {dt}),
             QStringList({dq, QStringLiteral("2")}));
    Result<store::StoreContent> pictures = to().contents().read(store::StoreKind::Question, dq);
    QVERIFY(pictures);
    QCOMPARE(pictures->first, picture(QStringLiteral("soru-Dağıtılan")));
  }

  // Only distributed keys (14 characters, a letter first, a running number
  // last) replace the board's copy. Any other key that does not start with a
  // digit is the sender's own and is numbered here: a test file carrying "S1"
  // leaves the board's free question S1 (asked in a past run) as it was.
  void otherLettersAreNumberedNotReplaced() {
    authoring::Question free;
    free.dogruSik = QStringLiteral("D");
    const Result<QString> boardS1 =
        authoring::QuestionBank(to()).add(free, {picture(QStringLiteral("tahtadaki")), {}}, {},
                                          authoring::QuestionBank::KeyKind::Free);
    QCOMPARE(boardS1.valueOr({}), QStringLiteral("S1"));
    const QString q = addQuestion(QStringLiteral("Gelen"), QStringLiteral("A"));
    const QString t = addTest(QStringLiteral("Gelen test"), {q});
    for (const QString& sql :
         {QStringLiteral("UPDATE TABLESORU SET SORUNO='S1' WHERE SORUNO=?"),
          QStringLiteral("UPDATE TABLETESTSORU SET SORUNO='S1' WHERE SORUNO=?")})
      QVERIFY(from().run(sql, {q}));
    QVERIFY(from().contents().rename(store::StoreKind::Question, q, QStringLiteral("S1")));
    for (const QString& sql :
         {QStringLiteral("UPDATE TABLETEST SET TESTNO='SERBEST' WHERE TESTNO=?"),
          QStringLiteral("UPDATE TABLETESTSORU SET TESTNO='SERBEST' WHERE "
                         "TESTNO=?")})
      QVERIFY(from().run(sql, {t}));
    const QString ckp = file(QStringLiteral("harfli.ckp"));
    QVERIFY(TestPackage(from()).write({QStringLiteral("SERBEST")}, ckp));

    const Result<int> added = TestPackage(to()).read(ckp);
    QVERIFY2(added, qPrintable(added.error()));
    QCOMPARE(column(to(), QStringLiteral("SELECT SORUNO||':'||DOGRUSIK||':'||NZ(SILINDIMI) FROM "
                                         "TABLESORU ORDER BY SORUNO")),
             QStringList({"1:A:", "S1:D:1"}));
    QCOMPARE(to().contents().read(store::StoreKind::Question, QStringLiteral("S1"))->first,
             picture(QStringLiteral("tahtadaki")));
    QCOMPARE(to().contents().read(store::StoreKind::Question, QStringLiteral("1"))->first,
             picture(QStringLiteral("soru-Gelen")));
    QCOMPARE(column(to(), QStringLiteral("SELECT TESTNO||':'||SORUNO FROM TABLETESTSORU")),
             QStringList({"1:1"}));
  }

  // A package of the older layout has no UNITE: its KONU is the unit.
  void olderLayoutTopicBecomesUnit() {
    const QString path = file(QStringLiteral("eski.cks"));
    const QByteArray db = packageDatabase(
        file(QStringLiteral("eski.db")),
        {QStringLiteral("CREATE TABLE TABLESORU (SEVIYE TEXT, DERS TEXT, KONU TEXT, SORUNO TEXT, "
                        "SORUICERIK TEXT, DOGRUSIK TEXT, TURU TEXT, ZORLUK TEXT, PUAN TEXT, SURE "
                        "TEXT, SESDOSYASI TEXT, ACIKLAMA TEXT, ANKETSORUSUMU TEXT, SORU BLOB, "
                        "COZUM BLOB)"),
         QStringLiteral("INSERT INTO TABLESORU (SEVIYE,DERS,KONU,SORUNO,DOGRUSIK,SORU) VALUES "
                        "('6. SINIF','MATEMATİK','Kesirler','12','C',x'89504e47'),"
                        "('6. SINIF','MATEMATİK','Oranlar','4','A',NULL)")});
    QVERIFY(ZipArchive::write(path, {{QuestionPackage::kMember, db}}));
    addToCorpus(path, 1);
    const Result<int> added = QuestionPackage(to()).read(path);
    QVERIFY2(added, qPrintable(added.error()));
    QCOMPARE(added.value(), 2);
    QCOMPARE(column(to(), QStringLiteral("SELECT SORUNO||':'||UNITE||':'||NZ(KONU)||':'||"
                                         "NZ(KAZANIM)||':'||DOGRUSIK FROM TABLESORU ORDER BY "
                                         "VAL(SORUNO)")),
             QStringList({"1:Oranlar:::A", "2:Kesirler:::C"}));
    QCOMPARE(column(to(), QStringLiteral("SELECT UNITE FROM TABLETANIMLAMALAR WHERE "
                                         "TANIMADI='UNITELER' AND DERS='MATEMATİK' AND "
                                         "SEVIYE='6. SINIF' ORDER BY UNITE")),
             QStringList({"Kesirler", "Oranlar"}));
  }

  void badFilesAddNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");  // a part of the error
    QTest::newRow("cut question file") << "kesik.cks"
                                       << "Dosya";
    QTest::newRow("member ../ outside the folder") << "yol.cks"
                                                   << "güvenli";
    QTest::newRow("oversized member") << "bomba.cks"
                                      << "katından";
    QTest::newRow("package without TABLESORU") << "tablosuz.cks"
                                               << "TABLESORU tablosu yok";
    QTest::newRow("test package without TABLETESTSORU") << "uyeliksiz.ckp"
                                                        << "TABLETESTSORU tablosu yok";
    QTest::newRow("test names a question it does not carry") << "eksik.ckp"
                                                             << "numaralı soru yok";
    QTest::newRow("sound archive damaged after good rows") << "sesbozuk.cks"
                                                           << "Dosya";
    QTest::newRow("picture in a text column") << "ikili.cks"
                                              << "metin değil";
  }
  void badFilesAddNothing() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    const QString q = addQuestion(QStringLiteral("Var"));
    QVERIFY(putFile(from(), QStringLiteral("Sesler/1.mp3"), "ses"));
    const QString t = addTest(QStringLiteral("Var"), {q});
    const QString path = file(name);
    QVERIFY(make(name, path, q, t));
    const QStringList before =
        column(to(), QStringLiteral("SELECT COUNT(*) FROM TABLESORU UNION ALL SELECT COUNT(*) "
                                    "FROM TABLETEST UNION ALL SELECT COUNT(*) FROM "
                                    "TABLETANIMLAMALAR"));

    const Result<int> added = name.endsWith(QStringLiteral(".cks"))
                                  ? QuestionPackage(to()).read(path)
                                  : TestPackage(to()).read(path);
    QVERIFY(!added);
    QVERIFY2(added.error().contains(refusal), qPrintable(added.error()));
    QCOMPARE(column(to(), QStringLiteral("SELECT COUNT(*) FROM TABLESORU UNION ALL SELECT "
                                         "COUNT(*) FROM TABLETEST UNION ALL SELECT COUNT(*) FROM "
                                         "TABLETANIMLAMALAR")),
             before);
    QVERIFY(to().contents().read(store::StoreKind::Question, QStringLiteral("1"))->first.isEmpty());
    QCOMPARE(leftovers(), QStringList());
  }

  // A file's values pass the rules of the question screen and questions add:
  // one bad value adds nothing, and the message names the question and the field.
  void badValuesAddNothing_data() {
    QTest::addColumn<QString>("member");  // the package changed: Sru.mds or Tst.mds
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("said");
    const QString q = QStringLiteral("Dosyadaki 1 numaralı soru: ");
    const auto row = [](const char* name, const QString& member, const QString& change,
                        const QString& said) { QTest::newRow(name) << member << change << said; };
    const QString cks = QuestionPackage::kMember;
    const QString ckp = TestPackage::kMember;
    row("answer key Z", cks, "UPDATE TABLESORU SET DOGRUSIK='Z'", q + "Doğru şık \"Z\" olamaz");
    // Longer than a key can be: refused by the package's limits, before any value is read.
    row("answer key 3.5", cks, "UPDATE TABLESORU SET DOGRUSIK='3.5'",
        "Dosyadaki TABLESORU tablosunda 1 numaralı kaydın DOGRUSIK değeri çok uzun");
    row("no answer key", cks, "UPDATE TABLESORU SET DOGRUSIK=''",
        q + authoring::QuestionBank::noCorrectChoiceMessage());
    row("time abc", cks, "UPDATE TABLESORU SET SURE='abc'", q + "Süre \"abc\" olamaz");
    row("time far below zero", cks, "UPDATE TABLESORU SET SURE=-99999999999",
        q + "Süre \"-99999999999\" olamaz");
    row("type ???", cks, "UPDATE TABLESORU SET TURU='?\?\?'", q + "Soru türü \"???\" olamaz");
    row("difficulty", cks, "UPDATE TABLESORU SET ZORLUK='Kolaycık'",
        q + "Zorluk \"Kolaycık\" olamaz");
    row("points 3.5", cks, "UPDATE TABLESORU SET PUAN='3.5'", q + "Puan \"3.5\" olamaz");
    row("test file, answer key Z", ckp, "UPDATE TABLESORU SET DOGRUSIK='Z'",
        q + "Doğru şık \"Z\" olamaz");
    row("test file, time the test gives", ckp, "UPDATE TABLETESTSORU SET SURE='abc'",
        "Dosyadaki 1 numaralı testin 1 numaralı sorusu: Süre \"abc\" olamaz");
  }
  void badValuesAddNothing() {
    QFETCH(QString, member);
    QFETCH(QString, change);
    QFETCH(QString, said);
    const QString q = addQuestion(QStringLiteral("Var"));
    const QString t = addTest(QStringLiteral("Var"), {q});
    const bool test = member == TestPackage::kMember;
    const QString good = file(test ? QStringLiteral("iyi.ckp") : QStringLiteral("iyi.cks"));
    QVERIFY(test ? TestPackage(from()).write({t}, good) : QuestionPackage(from()).write({q}, good));
    const QString db = file(QStringLiteral("paket.db"));
    QVERIFY(writeBytes(db, ZipArchive::readMember(good, member).valueOr({})));
    const QString bad = file(test ? QStringLiteral("kotu.ckp") : QStringLiteral("kotu.cks"));
    QVERIFY(zip(bad, {{member, packageDatabase(db, {change})}}));

    const Result<int> added = test ? TestPackage(to()).read(bad) : QuestionPackage(to()).read(bad);
    QVERIFY(!added);
    QVERIFY2(added.error().startsWith(said), qPrintable(added.error()));
    QCOMPARE(count(to(), QStringLiteral("SELECT (SELECT COUNT(*) FROM TABLESORU)+(SELECT COUNT(*) "
                                        "FROM TABLETEST)+(SELECT COUNT(*) FROM "
                                        "TABLETANIMLAMALAR WHERE UNITE='Var')")),
             0);
    QCOMPARE(leftovers(), QStringList());
  }

  // A package table without rowid is read like any other, in the order of its keys.
  void aTableWithoutRowidReadsLikeAnyOther() {
    const QString path = file(QStringLiteral("rowidsiz.cks"));
    const QByteArray db = packageDatabase(
        file(QStringLiteral("rowidsiz.db")),
        {QStringLiteral("CREATE TABLE TABLESORU (SORUNO TEXT PRIMARY KEY, SEVIYE TEXT, DERS TEXT, "
                        "UNITE TEXT, DOGRUSIK TEXT, SURE TEXT) WITHOUT ROWID"),
         QStringLiteral("INSERT INTO TABLESORU VALUES ('7','6. SINIF','MATEMATİK','Oranlar','E',"
                        "'45'),('3','6. SINIF','MATEMATİK','Kesirler','B','Süresiz')")});
    QVERIFY(ZipArchive::write(path, {{QuestionPackage::kMember, db}}));
    const Result<int> added = QuestionPackage(to()).read(path);
    QVERIFY2(added, qPrintable(added.error()));
    QCOMPARE(column(to(), QStringLiteral("SELECT SORUNO||':'||UNITE||':'||DOGRUSIK FROM "
                                         "TABLESORU ORDER BY VAL(SORUNO)")),
             QStringList({"1:Kesirler:B", "2:Oranlar:E"}));
  }

  // Small files that ask for gigabytes (long defaults lent to every row, a
  // million rows, a thousand columns): each is refused for its reason before
  // its values are read, quickly, in little memory, adding nothing.
  void hostilePackagesRefusedSmall_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("defaults of 65,000 characters") << "varsayilan.cks"
                                                   << "tablo tanımı çok uzun";
    QTest::newRow("the same, 40,000 rows") << "varsayilan-buyuk.cks"
                                           << "tablo tanımı çok uzun";
    QTest::newRow("a default within the schema limit") << "varsayilan-kisa.cks"
                                                       << "dosyanın kendisinden büyük";
    QTest::newRow("36 MB of question texts") << "metin.cks"
                                             << "en çok 32 MB metin";
    QTest::newRow("200 columns") << "sutun.cks"
                                 << "çok fazla sütun";
    QTest::newRow("a unit of 5,000 characters") << "uzun-ad.cks"
                                                << "1 numaralı kaydın UNITE değeri çok uzun (en "
                                                   "çok 255";
    QTest::newRow("test rows with long defaults") << "varsayilan.ckp"
                                                  << "tablo tanımı çok uzun";
    QTest::newRow("a million test rows") << "milyon.ckp"
                                         << "TABLETESTSORU tablosunda çok fazla satır var";
  }
  void hostilePackagesRefusedSmall() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    const QString path = file(name);
    QVERIFY(hostile::write(name, path));
    const qint64 databaseBytes = QFileInfo(m_to->filePath(QStringLiteral("DERSLIK.db"))).size();

    const PeakMemory memory;
    QElapsedTimer clock;
    clock.start();
    const Result<int> added = name.endsWith(QStringLiteral(".cks"))
                                  ? QuestionPackage(to()).read(path)
                                  : TestPackage(to()).read(path);
    const qint64 ms = clock.elapsed();
    qInfo("%s: %lld ms, %.1f MB", qPrintable(name), ms, memory.grownMb());
    QVERIFY(!added);
    QVERIFY2(added.error().contains(refusal), qPrintable(added.error()));
    QVERIFY2(memory.grownMb() < 100 * PeakMemory::kSanitizerFactor,
             qPrintable(QString::number(memory.grownMb())));
    QVERIFY2(ms < 5000, qPrintable(QString::number(ms)));
    QCOMPARE(count(to(), QStringLiteral("SELECT (SELECT COUNT(*) FROM TABLESORU)+(SELECT COUNT(*) "
                                        "FROM TABLETEST)+(SELECT COUNT(*) FROM TABLETESTSORU)")),
             0);
    QVERIFY(QFileInfo(m_to->filePath(QStringLiteral("DERSLIK.db"))).size() <
            databaseBytes + 1024 * 1024);
    QCOMPARE(leftovers(), QStringList());
  }

 private:
  static bool zip(const QString& path, const QList<ZipMember>& members) {
    return ZipArchive::write(path, members).ok();
  }
  bool make(const QString& name, const QString& path, const QString& q, const QString& t) {
    const QString cks = file(QStringLiteral("iyi.cks"));
    const QString ckp = file(QStringLiteral("iyi.ckp"));
    if (!QuestionPackage(from()).write({q}, cks) || !TestPackage(from()).write({t}, ckp))
      return false;
    const QByteArray good = fileBytes(cks);
    const QByteArray package = ZipArchive::readMember(cks, QuestionPackage::kMember).valueOr({});
    if (name == QStringLiteral("kesik.cks")) return writeBytes(path, good.left(good.size() / 2));
    if (name == QStringLiteral("yol.cks")) {
      // Written under a harmless name of the same length, then renamed inside.
      QByteArray data;
      if (!ZipArchive::write(path, {{QuestionPackage::kMember, package},
                                    {QStringLiteral("aa/Sesler/1.mp3"), "x"}}))
        return false;
      data = fileBytes(path);
      data.replace("aa/Sesler/1.mp3", "../Sesler/1.mp3");
      return writeBytes(path, data);
    }
    if (name == QStringLiteral("bomba.cks"))
      return zip(path, {{QuestionPackage::kMember, package},
                        {QStringLiteral("sslr.zip"), QByteArray(64 * 1024 * 1024, '\0')}});
    if (name == QStringLiteral("tablosuz.cks"))
      return zip(path, {{QuestionPackage::kMember,
                         packageDatabase(path + QStringLiteral(".db"),
                                         {QStringLiteral("CREATE TABLE TABLEX (SORUNO TEXT)")})}});
    if (name == QStringLiteral("uyeliksiz.ckp") || name == QStringLiteral("eksik.ckp")) {
      const QString db = path + QStringLiteral(".db");
      if (!writeBytes(db, ZipArchive::readMember(ckp, TestPackage::kMember).valueOr({})))
        return false;
      const QString sql = name == QStringLiteral("eksik.ckp")
                              ? QStringLiteral("UPDATE TABLETESTSORU SET SORUNO='99'")
                              : QStringLiteral("DROP TABLE TABLETESTSORU");
      return zip(path, {{TestPackage::kMember, packageDatabase(db, {sql})}});
    }
    if (name == QStringLiteral("sesbozuk.cks"))
      return zip(path, {{QuestionPackage::kMember, package},
                        {QStringLiteral("sslr.zip"), "PK\x03\x04 kesik"}});
    if (name == QStringLiteral("ikili.cks")) {
      const QString db = path + QStringLiteral(".db");
      if (!writeBytes(db, package)) return false;
      return zip(path,
                 {{QuestionPackage::kMember,
                   packageDatabase(db, {QStringLiteral("UPDATE TABLESORU SET DERS=x'0001'")})}});
    }
    return false;
  }

  std::unique_ptr<TempDataFolder> m_from;
  std::unique_ptr<TempDataFolder> m_to;
};

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
