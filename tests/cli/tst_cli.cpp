#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "FileHash.h"
#include "TestSchool.h"
#include "store/BrowserAddress.h"
#include "store/Institution.h"
#include "store/Store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <memory>

namespace {

struct Run {
  int code = -1;
  QString out;
  QString err;
};

Run cli(const QString& folder, const QStringList& args, const QByteArray& input = {}) {
  QProcess p;
  p.start(QStringLiteral(DERSLIK_CLI),
          QStringList{QStringLiteral("--veri-klasoru"), folder} + args);
  Run r;
  if (!p.waitForStarted()) return r;
  p.write(input);
  p.closeWriteChannel();
  p.waitForFinished(60000);
  r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

// Name, size and modification time of every entry of the folder, recursively.
QStringList folderState(const QString& folder) {
  QStringList state;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    state << QStringLiteral("%1 %2 %3")
                 .arg(info.filePath())
                 .arg(info.size())
                 .arg(info.lastModified().toMSecsSinceEpoch());
  }
  state.sort();
  return state;
}

}  // namespace

class TestCli : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->filePath(QStringLiteral("veri"));
  }

  // Every command refuses a word it does not know before it touches the data.
  void wrongWordsAreNamedAndChangeNothing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("said");
    auto row = [](const char* name, const QStringList& args, const QString& said) {
      QTest::newRow(name) << args << said;
    };
    const QString missing = QStringLiteral("Eksik argüman");
    row("init stray", {"init", "fazla"}, "Fazla argüman: fazla");
    row("init unknown", {"init", "--force"}, "Bilinmeyen seçenek: --force");
    row("version unknown", {"version", "--verbose"}, "Bilinmeyen seçenek: --verbose");
    row("demo stray", {"demo", "evet"}, "Fazla argüman: evet");
    row("sql missing", {"sql"}, missing);
    row("sql stray", {"sql", "SELECT 1", "SELECT 2"}, "Fazla argüman: SELECT 2");
    row("sql unknown", {"sql", "--write", "SELECT 1"}, "Bilinmeyen seçenek: --write");
    row("students add missing", {"students", "add", "Ali", "Can"}, missing);
    row("students add stray", {"students", "add", "Ali", "Can", "12", "fazla"},
        "Fazla argüman: fazla");
    row("students add no value", {"students", "add", "Ali", "Can", "12", "--class"},
        "--class seçeneği bir değer bekliyor.");
    row("students add value is an option",
        {"students", "add", "Ali", "Can", "12", "--class", "--yes"},
        "--class seçeneği bir değer bekliyor.");
    row("students add unknown", {"students", "add", "Ali", "Can", "12", "--sinif", "5-A"},
        "Bilinmeyen seçenek: --sinif");
    row("students add twice",
        {"students", "add", "Ali", "Can", "12", "--class", "5-A", "--class=6-A"},
        "--class seçeneği bir kez verilebilir.");
    row("students add flag with value", {"students", "add", "Ali", "Can", "12", "--yes=1"},
        "--yes seçeneği değer almaz.");
    row("students add short option", {"students", "add", "Ali", "Can", "12", "-y"},
        "Bilinmeyen seçenek: -y");
    row("students list stray", {"students", "list", "5-A"}, "Fazla argüman: 5-A");
    row("students import unknown", {"students", "import", "liste.csv", "--sayfa", "1"},
        "Bilinmeyen seçenek: --sayfa");
    row("students import no value", {"students", "import", "liste.csv", "--map"},
        "--map seçeneği bir değer bekliyor.");
    row("students unknown sub", {"students", "remove", "1"}, "Bilinmeyen alt komut: remove");
    row("remotes add unknown", {"remotes", "add", "12-201", "--ogretmen"},
        "Bilinmeyen seçenek: --ogretmen");
    row("remotes add stray", {"remotes", "add", "12-201", "12-202"}, "Fazla argüman: 12-202");
    row("pair auto unknown", {"pair", "auto", "--class", "5-A", "--all"},
        "Bilinmeyen seçenek: --all");
    row("pair auto no value", {"pair", "auto", "--class"}, "--class seçeneği bir değer bekliyor.");
    row("pair auto stray", {"pair", "auto", "5-A", "--class", "5-A"}, "Fazla argüman: 5-A");
    row("rollover unknown", {"rollover", "--yes", "--force"}, "Bilinmeyen seçenek: --force");
    row("rollover no value", {"rollover", "--date"}, "--date seçeneği bir değer bekliyor.");
    row("rollover stray", {"rollover", "evet"}, "Fazla argüman: evet");
    row("users add unknown", {"users", "add", "ali", "--password-stdin", "--admin"},
        "Bilinmeyen seçenek: --admin");
    row("users add deny without codes", {"users", "add", "ali", "--password-stdin", "--deny"},
        "--deny seçeneği en az bir değer bekliyor.");
    row("users list stray", {"users", "list", "ali"}, "Fazla argüman: ali");
    row("login-check stray", {"login-check", "ali", "veli", "--password-stdin"},
        "Fazla argüman: veli");
    row("login-check unknown", {"login-check", "ali", "--password-stdin", "--verbose"},
        "Bilinmeyen seçenek: --verbose");
    row("decode missing", {"decode", "1", "2", "3"}, missing);
    row("decode unknown", {"decode", "--hex", "1"}, "Bilinmeyen seçenek: --hex");
    row("simulate no value", {"simulate", "--remotes"}, "--remotes seçeneği bir değer bekliyor.");
    row("simulate unknown", {"simulate", "--remotes", "5", "--speed", "2"},
        "Bilinmeyen seçenek: --speed");
    row("run unknown sub", {"run", "start"}, "Bilinmeyen alt komut: start");
    row("run simulate no test", {"run", "simulate", "--class", "5-A"}, "--test gerekli.");
    row("run simulate no class", {"run", "simulate", "--test", "1"}, "--class gerekli.");
    const QStringList run = {"run", "simulate", "--test", "1", "--class", "5-A"};
    row("run simulate penalty", run + QStringList{"--penalty", "3"},
        "--penalty 0, 1 ya da 2 olmalı.");
    row("run simulate duration", run + QStringList{"--duration", "fixed:0"},
        "--duration tests, fixed:SANİYE (1-3600) ya da none olmalı.");
    row("run simulate at", run + QStringList{"--at", "2026-03-14 10:00"}, "--at \"gg.aa.yyyy");
    row("run simulate speed", run + QStringList{"--speed", "0"},
        "--speed sıfırdan büyük bir sayı olmalı.");
    row("run simulate unknown", run + QStringList{"--remotes", "30"},
        "Bilinmeyen seçenek: --remotes");
    const QStringList serve = {"run", "serve", "--test", "1", "--class", "5-A"};
    row("run serve no test", {"run", "serve", "--class", "5-A"}, "--test gerekli.");
    row("run serve untimed", serve + QStringList{"--duration", "none"},
        "--duration tests ya da fixed:SANİYE (1-3600) olmalı.");
    row("run serve duration", serve + QStringList{"--duration", "fixed:0"},
        "--duration tests ya da fixed:SANİYE (1-3600) olmalı.");
    row("run serve port", serve + QStringList{"--port", "70000"},
        "--port 1 ile 65535 arasında bir sayı olmalı.");
    row("run serve bind", serve + QStringList{"--bind", "okul-tahtasi"},
        "--bind bir IP adresi olmalı (ör. 10.1.2.3).");
    row("run serve unknown", serve + QStringList{"--speed", "2"}, "Bilinmeyen seçenek: --speed");
    row("run free no class", {"run", "free", "--questions", "3"}, "--class gerekli.");
    row("run free questions", {"run", "free", "--class", "5-A", "--questions", "0"},
        "--questions 1 ile 1000 arasında bir sayı olmalı.");
    row("run free unknown", {"run", "free", "--class", "5-A", "--questions", "2", "--test", "1"},
        "Bilinmeyen seçenek: --test");
  }
  void wrongWordsAreNamedAndChangeNothing() {
    QFETCH(QStringList, args);
    QFETCH(QString, said);
    const Run r = cli(m_folder, args);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.startsWith(said), qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("Kullanım: derslik-cli ")));
    QVERIFY(QDir(m_folder).isEmpty());
  }

  // While a rollover holds the data folder, a writer waits a moment, then says
  // so and writes nothing.
  void writersWaitForTheRollover() {
    QCOMPARE(cli(m_folder, {QStringLiteral("demo")}).code, 0);
    const int rollover = ::open(
        QFile::encodeName(m_folder + QStringLiteral("/derslik.veri.lock")).constData(), O_RDWR);
    QVERIFY(rollover >= 0);
    QCOMPARE(::flock(rollover, LOCK_EX | LOCK_NB), 0);
    for (const QStringList& args :
         {QStringList{"students", "add", "Yeni", "Kişi", "999", "--class", "5-A"},
          QStringList{"remotes", "add", "12-250"}, QStringList{"sql", "SELECT 1"}}) {
      const Run r = cli(m_folder, args);
      QCOMPARE(r.code, 1);
      QVERIFY2(r.err.startsWith(QStringLiteral("Sınıf atlatma sürüyor")), qPrintable(r.err));
    }
    ::close(rollover);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE NUMARASI='999'")), 0);
    QCOMPARE(
        count(QStringLiteral("SELECT COUNT(*) FROM TABLEKUMANDA WHERE KUMANDAADRESI='12-250'")), 0);
    QCOMPARE(cli(m_folder, {"students", "add", "Yeni", "Kişi", "999", "--class", "5-A"}).code, 0);
  }

  void rolloverOnceASchoolYearUnlessAgain() {
    QCOMPARE(cli(m_folder, {QStringLiteral("demo")}).code, 0);
    const QStringList rollover{"rollover", "--date", "02.09.2027", "--yes"};
    QCOMPARE(cli(m_folder, rollover).code, 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='6-A'")), 24);
    const Run refused = cli(m_folder, rollover);
    QCOMPARE(refused.code, 1);
    QVERIFY(
        refused.out.contains(QStringLiteral("Bu eğitim-öğretim yılı için sınıf atlatma 02.09.2027 "
                                            "tarihinde yapıldı. Yeniden yapılsın mı?")));
    QVERIFY2(refused.err.contains(QStringLiteral("--again")), qPrintable(refused.err));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='6-A'")), 24);
    QCOMPARE(cli(m_folder, rollover + QStringList{"--again"}).code, 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='7-A'")), 24);
    // The school is never replaced by an empty one when its database goes missing.
    QVERIFY(QFile::remove(m_folder + QStringLiteral("/DERSLIK.db")));
    const Run missing = cli(m_folder, {QStringLiteral("students"), QStringLiteral("list")});
    QCOMPARE(missing.code, 1);
    QVERIFY2(missing.err.contains(QStringLiteral("boş bir veritabanı oluşturulmadı")),
             qPrintable(missing.err));
    QVERIFY(!QFile::exists(m_folder + QStringLiteral("/DERSLIK.db")));
  }

  // --keep-bank: the question bank and the tests stay with the new year; the
  // year's runs go to the backup all the same.
  void rolloverCanKeepTheBank() {
    QCOMPARE(cli(m_folder, {QStringLiteral("demo")}).code, 0);
    const int questions = count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU"));
    const int tests = count(QStringLiteral("SELECT COUNT(*) FROM TABLETEST"));
    QVERIFY(questions > 0 && tests > 0);
    const Run kept = cli(m_folder, {"rollover", "--date", "02.09.2027", "--yes", "--keep-bank"});
    QCOMPARE(kept.code, 0);
    QVERIFY2(kept.out.contains(QStringLiteral("Soru bankası ve testler bu tahtada kaldı.")),
             qPrintable(kept.out));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), questions);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLETEST")), tests);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEUYGULAMA")), 0);
  }

  void sqlReadsAndNeverWrites() {
    QCOMPARE(cli(m_folder, {QStringLiteral("demo")}).code, 0);
    const QString main = m_folder + QStringLiteral("/DERSLIK.db");
    const QByteArray before = fileHash(main);
    const QStringList files = folderState(m_folder);
    Run r = cli(m_folder, {"sql", "SELECT COUNT(*) AS N FROM TABLEOGRENCI WHERE SINIFI='5-A'"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("N\n24\n"));
    r = cli(m_folder, {"sql", "PRAGMA journal_mode=DELETE"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("Yalnızca okuma sorgularına izin verilir")));
    r = cli(m_folder, {"sql", "SELECT 1; SELECT 2"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Yalnızca bir sorgu")), qPrintable(r.err));
    QCOMPARE(fileHash(main), before);
    // Not a file of the folder made, changed or touched: no -wal, no -shm.
    QCOMPARE(folderState(m_folder), files);

    // A folder an older version left in WAL is read as it is, too.
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("w"));
      db.setDatabaseName(main);
      QVERIFY(db.open());
      QSqlQuery q(db);
      QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode=WAL")));
      db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("w"));
    const QStringList walFiles = folderState(m_folder);
    r = cli(m_folder, {"sql", "SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='5-A'"});
    QCOMPARE(r.out, QStringLiteral("COUNT(*)\n24\n"));
    QCOMPARE(folderState(m_folder), walFiles);
  }

  // Three processes adding questions (the main database and a content store in
  // each commit) at once: each waits its turn, none fails, no number is given
  // twice. DERSLIK_WRITERS_SECONDS sets how long (10 s).
  void threeWritersWaitTheirTurn() {
    QCOMPARE(cli(m_folder, {QStringLiteral("init")}).code, 0);
    const int seconds = qEnvironmentVariableIsSet("DERSLIK_WRITERS_SECONDS")
                            ? qEnvironmentVariableIntValue("DERSLIK_WRITERS_SECONDS")
                            : 10;
    QElapsedTimer clock;
    clock.start();
    std::array<std::unique_ptr<QProcess>, 3> writers;
    int added = 0;
    QStringList failures;
    auto start = [&](std::unique_ptr<QProcess>& p, int writer) {
      p = std::make_unique<QProcess>();
      p->start(QStringLiteral(DERSLIK_CLI),
               {QStringLiteral("--veri-klasoru"), m_folder, QStringLiteral("questions"),
                QStringLiteral("add"), QStringLiteral("--text"),
                QStringLiteral("Yazar %1, soru %2").arg(writer).arg(added),
                QStringLiteral("--answer"), QStringLiteral("B")});
    };
    for (int w = 0; w < 3; ++w) start(writers[w], w);
    for (bool running = true; running;) {
      running = false;
      for (int w = 0; w < 3; ++w) {
        std::unique_ptr<QProcess>& p = writers[w];
        if (!p) continue;
        running = true;
        if (!p->waitForFinished(10)) continue;
        if (p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0)
          failures << QString::fromUtf8(p->readAllStandardError());
        else
          ++added;
        p.reset();
        if (clock.elapsed() < seconds * 1000) start(p, w);
      }
    }
    QVERIFY2(failures.isEmpty(), qPrintable(QStringLiteral("%1 of %2 failed: %3")
                                                .arg(failures.size())
                                                .arg(failures.size() + added)
                                                .arg(failures.value(0))));
    QVERIFY(added >= 3);
    const Run r =
        cli(m_folder, {"sql", "SELECT COUNT(*)||' '||COUNT(DISTINCT SORUNO) FROM TABLESORU"});
    QCOMPARE(r.out, QStringLiteral("COUNT(*)||' '||COUNT(DISTINCT SORUNO)\n%1 %1\n").arg(added));
  }

  void studentsAndPairingKeepTheSchoolsRules() {
    QCOMPARE(cli(m_folder, {QStringLiteral("demo")}).code, 0);
    Run r = cli(m_folder, {"students", "add", QString(300, QLatin1Char('a')), "Soyad", "5000"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("en çok 255 karakter")));
    r = cli(m_folder, {"students", "add", "Yeni", "Kişi", "101", "--class", "5-A"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("101 numaralı bir öğrenci zaten var")),
             qPrintable(r.err));
    // Every student has a level: without --level the class's grade gives it.
    r = cli(m_folder, {"students", "add", "Yeni", "Kişi", "5001"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("--level")), qPrintable(r.err));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE NUMARASI='5001'")), 0);
    r = cli(m_folder, {"students", "add", "Yeni", "Kişi", "5002", "--class", "6-B"});
    QCOMPARE(r.code, 0);
    // One whole line, as a script reads it.
    QVERIFY2(QRegularExpression(QStringLiteral("^Öğrenci eklendi, kayıt no: \\d+\n$"))
                 .match(r.out)
                 .hasMatch(),
             qPrintable(r.out));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE NUMARASI='5002' AND "
                                  "SEVIYE='6. SINIF'")),
             1);
    const int pairs = count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME"));
    QCOMPARE(cli(m_folder, {"students", "add", "Yeni", "Kişi", "101", "--class", "8-X", "--level",
                            "7. SINIF"})
                 .code,
             0);
    r = cli(m_folder, {"pair", "auto", "--class", "8-X", "--remotes", "12-201,99-99,abc"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("Tanıtılmamış kumanda: 99-99")));
    QVERIFY(r.err.contains(QStringLiteral("Geçersiz kumanda adresi: abc")));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), pairs);
    QCOMPARE(cli(m_folder, {"pair", "auto", "--class", "8-X", "--remotes", "12-201"}).code, 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), pairs + 1);
    // A class nobody has is a mistyped one, not a class without remotes.
    for (const QStringList& args :
         {QStringList{"pair", "auto", "--class", "NOPE"},
          QStringList{"pair", "auto", "--class", "NOPE", "--remotes", "12-202"}}) {
      r = cli(m_folder, args);
      QCOMPARE(r.code, 2);
      QCOMPARE(r.err, QStringLiteral("NOPE adında bir sınıf yok.\n"));
    }
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEESLESME")), pairs + 1);
  }

  // A name is one line: a tab or a line break is refused on the way in, and
  // one that came in before is escaped on the way out, so every row of the
  // list has its seven columns.
  void tabsAndLineBreaksNeverSplitTheList() {
    QCOMPARE(cli(m_folder, {QStringLiteral("init")}).code, 0);
    const Run refused =
        cli(m_folder, {"students", "add", "Ali\tVeli", "Can", "12", "--level", "5. SINIF"});
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.startsWith(QStringLiteral("Adı sekme, satır sonu")),
             qPrintable(refused.err));
    {
      store::Store data(m_folder);
      QVERIFY(data.open().ok());
      QVERIFY(data.run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,"
                                      "SINIFI,SEVIYE) VALUES ('1','7',?,?,'5-A','5. SINIF')"),
                       {QStringLiteral("Ali\tVeli"), QStringLiteral("Can\nKaya\\")})
                  .ok());
    }
    const Run list = cli(m_folder, {"students", "list"});
    QCOMPARE(list.code, 0);
    QCOMPARE(list.out,
             QStringLiteral("KAYITNO\tNUMARASI\tADI\tSOYADI\tSINIFI\tSEVIYE\tTCKIMLIK\tKART\n"
                            "1\t7\tAli\\tVeli\tCan\\nKaya\\\\\t5-A\t5. SINIF\t\t\n"));
  }

  // The password is all of standard input but one final line break.
  void passwordsFromStandardInput_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<int>("code");
    QTest::newRow("same") << QByteArray("gizli\n") << QByteArray("gizli") << 0;
    QTest::newRow("second line counts")
        << QByteArray("gizli\nikinci\n") << QByteArray("gizli\n") << 1;
    QTest::newRow("two lines") << QByteArray("gizli\nikinci\n") << QByteArray("gizli\nikinci") << 0;
    QTest::newRow("one break only") << QByteArray("gizli\n\n") << QByteArray("gizli\n") << 1;
    QTest::newRow("windows break") << QByteArray("gizli\r\n") << QByteArray("gizli") << 0;
    QTest::newRow("turkish") << QByteArray("şifreİı\n") << QByteArray("şifreİı\n") << 0;
  }
  void passwordsFromStandardInput() {
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, typed);
    QFETCH(int, code);
    QCOMPARE(cli(m_folder, {QStringLiteral("init")}).code, 0);
    QCOMPARE(cli(m_folder, {"users", "add", "ayşe", "--password-stdin"}, stored).code, 0);
    QCOMPARE(cli(m_folder, {"login-check", "AYŞE", "--password-stdin"}, typed).code, code);
  }

  void unusableCredentialsAreRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QString>("said");
    QTest::newRow("invalid utf-8")
        << "ali" << QByteArray("\xff\xfe\xfd") << "Şifre geçerli bir UTF-8";
    QTest::newRow("empty") << "ali" << QByteArray() << "Şifre boş olamaz.";
    QTest::newRow("only a line break") << "ali" << QByteArray("\n") << "Şifre boş olamaz.";
    QTest::newRow("control character in name")
        << "ali\x1b[2J" << QByteArray("x") << "Kullanıcı adında";
  }
  void unusableCredentialsAreRefused() {
    QFETCH(QString, name);
    QFETCH(QByteArray, password);
    QFETCH(QString, said);
    QCOMPARE(cli(m_folder, {QStringLiteral("init")}).code, 0);
    for (const char* command : {"users add", "login-check"}) {
      const Run r = cli(m_folder,
                        QString::fromLatin1(command).split(QLatin1Char(' ')) +
                            QStringList{name, QStringLiteral("--password-stdin")},
                        password);
      QCOMPARE(r.code, 2);
      QVERIFY2(r.err.startsWith(said), qPrintable(r.err));
    }
    QCOMPARE(cli(m_folder, {"users", "list"}).out,
             QStringLiteral("KULLANICIADI\tIZINVERILMEYENLER\n"));
  }

  // The demo bank is what a new teacher first runs: no question may offer the
  // same answer twice (one of them would be marked wrong).
  void demoQuestionsOfferDistinctChoices() {
    QCOMPARE(cli(m_folder, {QStringLiteral("demo")}).code, 0);
    const Run r = cli(m_folder, {"questions", "list", "--json"});
    QCOMPARE(r.code, 0);
    const QJsonArray questions = QJsonDocument::fromJson(r.out.toUtf8()).array();
    QVERIFY(questions.size() > 100);
    for (const QJsonValue& q : questions) {
      const QStringList lines = q[QStringLiteral("SORUICERIK")].toString().split(QLatin1Char('\n'));
      QStringList choices;
      for (const QString& line : lines)
        if (line.size() > 3 && line.at(1) == QLatin1Char(')')) choices << line.mid(3);
      const QSet<QString> distinct(choices.begin(), choices.end());
      QVERIFY2(distinct.size() == choices.size(),
               qPrintable(q[QStringLiteral("SORUNO")].toString()));
    }
  }

  // A whole run by the demo class, recorded like any other: the run key, the
  // result rows as JSON in the table's column order, every row under the date the
  // run was opened although it ends after midnight.
  void runSimulateRecordsAWholeRun() {
    QCOMPARE(cli(m_folder, {QStringLiteral("demo")}).code, 0);
    {
      store::Store data(m_folder);
      QVERIFY(data.open().ok());
      TestSchool::Test t;
      t.name = QStringLiteral("Kesirler");
      t.keys = QStringLiteral("ABCDE");
      t.number = QStringLiteral("90");
      QCOMPARE(TestSchool(data).test(t), t.number);
    }
    const Run first =
        cli(m_folder, {"sql",
                       "SELECT E.KUMANDAADRESI FROM TABLEESLESME E INNER JOIN TABLEOGRENCI "
                       "O ON O.KAYITNO=E.KAYITNO WHERE O.SINIFI='5-A' ORDER BY E.rowid "
                       "LIMIT 1"});
    const QString remote = first.out.split(QLatin1Char('\n')).value(1);
    QVERIFY(!remote.isEmpty());
    const QString answers = m_dir->filePath(QStringLiteral("cevaplar.txt"));
    QFile file(answers);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((remote + QStringLiteral(" ABCXE 1,2,3,4,5\n")).toUtf8());
    file.close();

    const QStringList run = {
        "run",    "simulate",  "--test", "90",         "--class",  "5-A",  "--answers",
        answers,  "--penalty", "2",      "--duration", "fixed:20", "--at", "14.03.2026 23:59:30",
        "--seed", "3"};
    Run r = cli(m_folder, run + QStringList{"--json"});
    QCOMPARE(r.code, 0);
    const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QCOMPARE(json.value(QStringLiteral("TESTTARIHI")).toString(), QStringLiteral("14.03.2026"));
    QCOMPARE(json.value(QStringLiteral("TESTBASLANGIC")).toString(), QStringLiteral("23:59:30"));
    const QJsonArray rows = json.value(QStringLiteral("TABLESONUC")).toArray();
    QCOMPARE(rows.size(), 24);
    QVERIFY(r.out.contains(QStringLiteral("{\"KUMANDAADRESI\": ")));
    for (const QJsonValue& row : rows) {
      if (row[QStringLiteral("KUMANDAADRESI")].toString() != remote) continue;
      QCOMPARE(row[QStringLiteral("DOGRUSAYI")].toString(), QStringLiteral("4"));
      QCOMPARE(row[QStringLiteral("BOSSAYI")].toString(), QStringLiteral("1"));
      QCOMPARE(row[QStringLiteral("TOPLAMSURE")].toString(), QStringLiteral("00:15"));
      QCOMPARE(row[QStringLiteral("SINIFI")].toString(), QStringLiteral("5-A"));
    }
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE TESTTARIHI='14.03.2026'")),
             120);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE TESTBITIS LIKE '00:%'")),
             120);

    // The same moment again is another run, a second later.
    r = cli(m_folder, run);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("TESTTARIHI: 14.03.2026\nTESTBASLANGIC: 23:59:31\n"));

    // A bad answers file says where, and records nothing.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("12-201 ABQ\n");
    file.close();
    r = cli(m_folder, run);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("Cevap dosyası, satır 1: geçersiz harf 'Q' (A-E, boş tuşu için "
                                   "X, basılmadıysa -)\n"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP")), 240);
  }

  // Three-button remotes: the run is set up with 90 seconds a question whatever
  // --duration says, as the screen does; an answer after 25 seconds counts.
  void threeButtonRemotesKeepTheirNinetySeconds() {
    QCOMPARE(cli(m_folder, {QStringLiteral("demo")}).code, 0);
    {
      store::Store data(m_folder);
      QVERIFY(data.open().ok());
      QVERIFY(store::setOption(data, store::Institution::Option::ThreeButton, true).ok());
    }
    const QString remote =
        cli(m_folder, {"sql",
                       "SELECT E.KUMANDAADRESI FROM TABLEESLESME E INNER JOIN TABLEOGRENCI "
                       "O ON O.KAYITNO=E.KAYITNO WHERE O.SINIFI='5-A' ORDER BY E.rowid LIMIT 1"})
            .out.split(QLatin1Char('\n'))
            .value(1);
    const QString test =
        cli(m_folder, {"sql", "SELECT TESTNO FROM TABLETEST ORDER BY rowid LIMIT 1"})
            .out.split(QLatin1Char('\n'))
            .value(1);
    QVERIFY(!remote.isEmpty() && !test.isEmpty());
    const QString answers = m_dir->filePath(QStringLiteral("uc.txt"));
    QFile file(answers);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((remote + QStringLiteral(" A 25\n")).toUtf8());
    file.close();
    const Run r =
        cli(m_folder, {"run", "simulate", "--test", test, "--class", "5-A", "--answers", answers,
                       "--duration", "fixed:20", "--at", "14.03.2026 10:00:00", "--seed", "3"});
    QCOMPARE(r.code, 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE TESTSIRANO='1' AND "
                                  "CEVAP='A' AND CEVAPSURESI='0:25' AND KUMANDAADRESI='%1'")
                       .arg(remote)),
             1);
  }

  // A homework check by the demo class: one letter per free question, the
  // majority key where asked, recorded under SERBEST and ended at its count.
  void runFreeRecordsAHomeworkCheck() {
    QCOMPARE(cli(m_folder, {QStringLiteral("demo")}).code, 0);
    const Run all = cli(m_folder, {"sql",
                                   "SELECT DISTINCT E.KUMANDAADRESI FROM TABLEESLESME E INNER JOIN "
                                   "TABLEOGRENCI O ON O.KAYITNO=E.KAYITNO WHERE O.SINIFI='5-A'"});
    const QStringList remotes = all.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
    QVERIFY(remotes.size() > 2);
    // Everybody A, then blank; on the third only the first remote answers.
    QString script;
    for (const QString& remote : remotes)
      script += remote + (remote == remotes.first() ? QStringLiteral(" AXB\n") : " AX-\n");
    const QString answers = m_dir->filePath(QStringLiteral("serbest.txt"));
    QFile file(answers);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(script.toUtf8());
    file.close();
    const Run r = cli(m_folder, {"run", "free", "--class", "5-A", "--questions", "3", "--answers",
                                 answers, "--majority", "--at", "14.03.2026 10:00:00"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("TESTTARIHI: 14.03.2026\nTESTBASLANGIC: 10:00:00\n"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEUYGULAMA WHERE TESTNO='SERBEST' AND "
                                  "TESTBITIS<>''")),
             3);
    const Run keys = cli(m_folder, {"sql",
                                    "SELECT DOGRUSIK FROM TABLEUYGULAMA WHERE TESTNO='SERBEST' "
                                    "ORDER BY CAST(TESTSIRANO AS INTEGER)"});
    QCOMPARE(keys.out.split(QLatin1Char('\n')).mid(1, 3), (QStringList{"A", "", "B"}));
  }

  // A student who answered from a browser without a remote is "Tarayıcı" in the
  // text a person reads; the JSON keeps the address for other programs.
  void reportRunSaysTarayiciForABrowserAddress() {
    QString browser;
    {
      store::Store data(m_folder);
      QVERIFY(data.open().ok());
      TestSchool school(data);
      TestSchool::Class& c = school.klass(QStringLiteral("5-A")).students(2).remotes(10);
      TestSchool::Test t;
      t.keys = QStringLiteral("AB");
      t.number = QStringLiteral("3");
      QCOMPARE(school.test(t), t.number);
      browser = store::browserAddress(c.kayitNos.at(1));
      school.run(t.number,
                 {{c.addresses.at(0), QStringLiteral("AB")}, {browser, QStringLiteral("BA")}});
      QVERIFY(school.ok());
    }
    const QStringList run{"report", "run", "12.10.2026", "09:00:00"};
    const Run text = cli(m_folder, run);
    QCOMPARE(text.code, 0);
    QVERIFY2(text.out.contains(QStringLiteral("Tarayıcı")), qPrintable(text.out));
    QVERIFY(!text.out.contains(browser));
    QVERIFY(text.out.contains(QStringLiteral("10-1")));
    const Run json = cli(m_folder, run + QStringList{"--json"});
    QCOMPARE(json.code, 0);
    QVERIFY(json.out.contains(browser));
    QVERIFY(!json.out.contains(QStringLiteral("Tarayıcı")));
  }

 private:
  int count(const QString& sql) {
    const Run r = cli(m_folder, {QStringLiteral("sql"), sql});
    return r.code == 0 ? r.out.split(QLatin1Char('\n')).value(1).toInt() : -1;
  }

  std::unique_ptr<QTemporaryDir> m_dir;
  QString m_folder;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
