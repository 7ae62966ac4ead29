// Sounds, videos and student photos of boards that share the school's server:
// what one board saves, another plays and shows, through its own cache.
// Runs under tests/support/pgcluster.sh (CTest: tst_serverfiles).
#include <QtTest>

#include <sys/stat.h>

#include "BoardFolder.h"
#include "TestBackend.h"
#include "TestSchool.h"
#include "authoring/QuestionBank.h"
#include "authoring/QuestionForm.h"
#include "authoring/QuestionKeys.h"
#include "authoring/QuestionMedia.h"
#include "authoring/TestRenumbering.h"
#include "delivery/RunContent.h"
#include "exchange/QuestionPackage.h"
#include "reports/RunReport.h"
#include "school/StudentForm.h"
#include "school/StudentPhotos.h"
#include "school/Students.h"
#include "store/ContentCache.h"
#include "store/FolderFiles.h"
#include "store/ServerFolders.h"

using authoring::QuestionMedia;

namespace {

// A board of its own data folder on the school's database.
struct ServerBoard {
  QTemporaryDir dir;
  store::Store store{dir.path()};
  explicit ServerBoard(const store::ServerLogin& login) {
    store.useServer(login);
    if (!store.open()) qFatal("server board did not open");
  }
  bool inCache(const QString& path) const {
    return path.startsWith(QDir(dir.path()).filePath(store::ContentCache::folderName()));
  }
};

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(okunamadı)");
}

ino_t inodeOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QString soundPlayed(store::Store& board, const QString& testNo) {
  const Result<delivery::RunContent> content =
      delivery::RunContent::load(board, testNo, delivery::RunSettings{});
  return content ? content->questions.value(0).mediaFile : QStringLiteral("!") + content.error();
}

}  // namespace

class TestServerFiles : public QObject {
  Q_OBJECT

  QTemporaryDir m_files;
  std::unique_ptr<ServerBoard> m_first;
  std::unique_ptr<ServerBoard> m_second;
  store::Store& first() { return m_first->store; }
  store::Store& second() { return m_second->store; }

  QString file(const QString& name, const QByteArray& content) {
    const QString path = m_files.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) return {};
    return path;
  }
  // The first board gives a question of its bank these files.
  Status setFiles(const QString& key, const authoring::QuestionBank::MediaChange& media) {
    authoring::QuestionBank bank(first());
    return bank.update(bank.load(key).value(), std::nullopt, media);
  }
  QString photoFile(const QString& name, QColor color) {
    QImage picture(30, 40, QImage::Format_RGB32);
    picture.fill(color);
    const QString path = m_files.filePath(name);
    return picture.save(path) ? path : QString();
  }

 private slots:
  void initTestCase() {
    QVERIFY2(testbackend::onServer(),
             "tst_serverfiles needs the throwaway cluster: run it through "
             "tests/support/pgcluster.sh");
  }
  void init() {
    const Result<store::ServerLogin> login = testbackend::freshDatabase();
    QVERIFY2(login.ok(), qPrintable(login.error()));
    m_first = std::make_unique<ServerBoard>(login.value());
    m_second = std::make_unique<ServerBoard>(login.value());
  }
  void cleanup() {
    m_second.reset();
    m_first.reset();
  }

  void whatOneBoardSavesAnotherPlaysAndShowsFromItsCache() {
    TestSchool school(first());
    const QString testNo = school.test(QStringLiteral("Sesli"), QStringLiteral("A"));
    const QString key = school.questionsOf(testNo).value(0);
    QVERIFY(setFiles(key, {file(QStringLiteral("soru.MP3"), "ID3 ilk ses"),
                           file(QStringLiteral("cozum.mp4"), "video")}));
    TestSchool::Class& c = school.klass(QStringLiteral("5-A")).students(1).remotes();
    school::StudentForm form(first());
    QVERIFY(form.edit(c.kayitNos.at(0)).ok());
    form.choosePhoto(photoFile(QStringLiteral("vesikalık.png"), Qt::blue));
    RecordedMessages messages;
    QVERIFY(form.save(messages).ok());
    const reports::RunKey run = school.run(testNo, {{c.addresses.at(0), QStringLiteral("A")}});
    QVERIFY(school.ok());
    // Nothing of it went into the first board's own folder.
    for (const char* folder : {"Sesler", "Videolar", "Fotograflar"})
      QVERIFY(!QDir(first().path(QLatin1String(folder))).exists());

    // The second board plays the sound, as a file with a player's ending.
    const QString sound = soundPlayed(second(), testNo);
    QVERIFY2(m_second->inCache(sound), qPrintable(sound));
    QVERIFY(sound.endsWith(QStringLiteral(".mp3")));
    QCOMPARE(bytesOf(sound), QByteArray("ID3 ilk ses"));
    // The question form finds the video; the run report shows the photo.
    authoring::QuestionForm questions(second());
    QVERIFY(questions.open().ok());
    QVERIFY(questions.show(key).ok());
    QCOMPARE(bytesOf(questions.videoPath()), QByteArray("video"));
    reports::RunReport report(second(), run);
    QVERIFY(report.load().ok());
    QCOMPARE(QImage(report.participants().value(0).photo).size(), QSize(30, 40));
    // Played again: the kept file, not a new copy.
    const ino_t kept = inodeOf(sound);
    QCOMPARE(soundPlayed(second(), testNo), sound);
    QCOMPARE(inodeOf(sound), kept);

    // The files come out with the school, checked against the server.
    const QString out = m_files.filePath(QStringLiteral("disari"));
    const Result<store::FolderFigures> written = store::exportFolder(first(), out);
    QVERIFY2(written.ok(), qPrintable(written.error()));
    QCOMPARE(written->files, 3);
    QCOMPARE(bytesOf(QDir(out).filePath(QStringLiteral("Sesler/%1.mp3").arg(key))),
             QByteArray("ID3 ilk ses"));

    // A question file read on a board puts its sound and video on the school's server.
    testsupport::Board board;
    const QString packed = authoring::QuestionBank(board.store)
                               .add(TestSchool::newQuestion(), {TestSchool::plainPicture(), {}},
                                    {file(QStringLiteral("paket.ogg"), "paket sesi"),
                                     file(QStringLiteral("paket.mp4"), "paket videosu")})
                               .valueOr({});
    const QString cks = m_files.filePath(QStringLiteral("Sorular.cks"));
    QVERIFY(exchange::QuestionPackage(board.store).write({packed}, cks));
    const QString next = QString::number(authoring::keys::nextQuestionNumber(second()).value());
    const Result<int> read = exchange::QuestionPackage(second()).read(cks);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(bytesOf(QuestionMedia(first()).find(next, QuestionMedia::Kind::Sound)),
             QByteArray("paket sesi"));
    QCOMPARE(bytesOf(QuestionMedia(first()).find(next, QuestionMedia::Kind::Video)),
             QByteArray("paket videosu"));
    QCOMPARE(authoring::QuestionBank(first()).load(next)->sesDosyasi,
             QStringLiteral("Sesler/%1.ogg").arg(next));
    // Written on a server board, the file carries the sound back to a board's folder.
    const QString back = m_files.filePath(QStringLiteral("Geri.cks"));
    QVERIFY(exchange::QuestionPackage(first()).write({next}, back));
    const QString there = QString::number(authoring::keys::nextQuestionNumber(board.store).value());
    QVERIFY(exchange::QuestionPackage(board.store).read(back));
    QCOMPARE(bytesOf(board.store.path(QStringLiteral("Sesler/%1.ogg").arg(there))),
             QByteArray("paket sesi"));
  }

  void changesRenumberingAndRemovalsAreRowsOfTheirTransaction() {
    TestSchool school(first());
    const QString testNo = school.test(QStringLiteral("Sesli"), QStringLiteral("AB"));
    const QString key = school.questionsOf(testNo).value(0);
    QVERIFY(setFiles(key, {file(QStringLiteral("a.mp3"), "eski ses"), std::nullopt}));
    authoring::QuestionBank bank(first());
    QCOMPARE(bytesOf(soundPlayed(second(), testNo)), QByteArray("eski ses"));

    // Another sound of another kind replaces the first: the second board never
    // plays the old one again.
    QVERIFY(setFiles(key, {file(QStringLiteral("b.wav"), "yeni ses"), std::nullopt}));
    const QString played = soundPlayed(second(), testNo);
    QVERIFY(played.endsWith(QStringLiteral(".wav")));
    QCOMPARE(bytesOf(played), QByteArray("yeni ses"));
    QCOMPARE(QuestionMedia(second()).stored(key, QuestionMedia::Kind::Sound),
             QStringList{QStringLiteral("Sesler/%1.wav").arg(key)});

    // A renumbering carries the sound to the question's new number.
    const Result<authoring::TestRenumbering::Report> renumbered =
        authoring::TestRenumbering(first()).renumber(testNo, QStringLiteral("40"));
    QVERIFY2(renumbered.ok(), qPrintable(renumbered.error()));
    const QString moved = school.questionsOf(QStringLiteral("40")).value(0);
    QVERIFY(moved != key);
    QVERIFY(QuestionMedia(second()).stored(key, QuestionMedia::Kind::Sound).isEmpty());
    QCOMPARE(bank.load(moved)->sesDosyasi, QStringLiteral("Sesler/%1.wav").arg(moved));
    QCOMPARE(bytesOf(soundPlayed(second(), QStringLiteral("40"))), QByteArray("yeni ses"));

    // A save whose commit fails leaves neither the question nor its sound.
    const store::FolderFiles files(first());
    QVERIFY(first().run(QStringLiteral(
        "CREATE FUNCTION reddet() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION "
        "'reddedildi'; END $$")));
    QVERIFY(first().run(QStringLiteral(
        "CREATE CONSTRAINT TRIGGER reddet AFTER INSERT ON \"DERSLIKDOSYA\" DEFERRABLE INITIALLY "
        "DEFERRED FOR EACH ROW EXECUTE FUNCTION reddet()")));
    const Result<QString> failed =
        bank.add(TestSchool::newQuestion(), {TestSchool::plainPicture(), {}},
                 {file(QStringLiteral("c.mp3"), "kayıp ses"), std::nullopt});
    QVERIFY(!failed.ok());
    QCOMPARE(first().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESORU"))->toInt(), 2);
    QCOMPARE(first().scalar(QStringLiteral("SELECT COUNT(*) FROM \"DERSLIKDOSYA\""))->toInt(), 1);
    QVERIFY(first().run(QStringLiteral("DROP TRIGGER reddet ON \"DERSLIKDOSYA\"")));
    // A chosen photo that is no picture: no student either.
    school::StudentForm form(first());
    QVERIFY(form.beginNew().ok());
    form.student().adi = QStringLiteral("Fotoğraflı");
    form.student().soyadi = QStringLiteral("Öğrenci");
    form.student().numarasi = QStringLiteral("7");
    form.student().seviye = QStringLiteral("5. SINIF");
    form.choosePhoto(file(QStringLiteral("bozuk.png"), "resim değil"));
    RecordedMessages messages;
    QVERIFY(!form.save(messages).ok());
    QCOMPARE(first().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI"))->toInt(), 0);

    // Deleting the question and the student takes their rows with them.
    const QString kayitNo = school.student(QStringLiteral("Zeynep"), QStringLiteral("5-A"));
    QVERIFY(TestSchool::photo(first(), kayitNo, photoFile(QStringLiteral("z.png"), Qt::red)).ok());
    QVERIFY(school::StudentPhotos(second()).has(kayitNo));
    QVERIFY(school::Students(first()).remove({kayitNo}, QDateTime::currentDateTime()).ok());
    QVERIFY(!school::StudentPhotos(second()).has(kayitNo));
    QVERIFY(school::StudentPhotos(second()).displayPath(kayitNo).endsWith(
        QStringLiteral("ResimYok.jpg")));
    QVERIFY(bank.remove({moved}).ok());
    QVERIFY(files.named(QStringLiteral("Sesler"), moved).isEmpty());
    QVERIFY(soundPlayed(second(), QStringLiteral("40")).isEmpty());
  }
};

QTEST_MAIN(TestServerFiles)
#include "tst_serverfiles.moc"
