// Kills the reading of a question file (.cks) and of a test file (.ckp) with
// SIGKILL at seeded random moments and checks what the next start finds: every
// database whole (integrity_check ok), the file either wholly read or not at all
// (the rows of TABLESORU, TABLETEST and TABLETESTSORU as before, or as before
// plus the whole file), no sound or video file without its question and no
// question without its file, nothing left over in the data folder (the reader's
// work folder included), and a second reading that adds the file whole. Kills
// between the commit and the moving of the files in are finished by the
// restart; how many came there is shown (see Tally).
//
//   derslik-packagecrash --cli PATH [--seed N] [--kills N]
//
// The files are written by derslik-cli from a demo school whose questions carry
// sounds and videos, and read by derslik-cli into copies of another demo school.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

#include "CrashKit.h"

namespace {

using crashkit::Peek;
using crashkit::Run;

QTextStream out(stdout);

constexpr int kSounds = 20;
constexpr int kVideos = 3;
const QString kWorkPrefix = QStringLiteral("paket-");

struct Counts {
  int questions = 0, tests = 0, memberships = 0;
  bool operator==(const Counts&) const = default;
  Counts operator+(const Counts& o) const {
    return {questions + o.questions, tests + o.tests, memberships + o.memberships};
  }
  Counts operator-(const Counts& o) const {
    return {questions - o.questions, tests - o.tests, memberships - o.memberships};
  }
  QString text() const {
    return QStringLiteral("%1 soru, %2 test, %3 test sorusu")
        .arg(questions)
        .arg(tests)
        .arg(memberships);
  }
};

Counts countsOf(const QString& folder) {
  Peek db(QDir(folder).filePath(QStringLiteral("DERSLIK.db")));
  return {db.count(QStringLiteral("TABLESORU")), db.count(QStringLiteral("TABLETEST")),
          db.count(QStringLiteral("TABLETESTSORU"))};
}

QStringList entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                QDir::NoDotAndDotDot);
}

// Every database of the folder whole; empty when so.
QString integrityFault(const QString& folder) {
  for (const QString& name : QDir(folder).entryList({QStringLiteral("*.db")}, QDir::Files)) {
    Peek db(QDir(folder).filePath(name));
    const QStringList result = db.column(QStringLiteral("PRAGMA integrity_check"));
    if (!db.ok() || result != QStringList{QStringLiteral("ok")})
      return name + QStringLiteral(": integrity_check ") + result.join(QLatin1Char(' '));
  }
  return {};
}

// Every sound and video file belongs to a question; empty when so.
QString mediaFault(const QString& folder) {
  Peek db(QDir(folder).filePath(QStringLiteral("DERSLIK.db")));
  const QStringList keyList = db.column(QStringLiteral("SELECT SORUNO FROM TABLESORU"));
  const QSet<QString> keys(keyList.cbegin(), keyList.cend());
  for (const char* kind : {"Sesler", "Videolar"}) {
    const QString media = QDir(folder).filePath(QLatin1String(kind));
    for (const QString& name : entries(media)) {
      const QString key = name.left(name.lastIndexOf(QLatin1Char('.')));
      if (name.startsWith(QLatin1Char('.')) || !keys.contains(key))
        return QStringLiteral("%1/%2 sorusuz kaldı").arg(QLatin1String(kind), name);
    }
  }
  return {};
}

// The first row naming a sound or video file that is not there; empty when none.
QString missingMedia(const QString& folder) {
  Peek db(QDir(folder).filePath(QStringLiteral("DERSLIK.db")));
  for (const QString& stored : db.column(QStringLiteral(
           "SELECT SESDOSYASI FROM TABLESORU WHERE COALESCE(SESDOSYASI,'')<>'' UNION ALL "
           "SELECT COZUMVIDEO FROM TABLESORU WHERE COALESCE(COZUMVIDEO,'')<>''")))
    if (!QFileInfo::exists(QDir(folder).filePath(stored)))
      return stored + QStringLiteral(" kayıtlı ama dosyası yok");
  return {};
}

struct Tally {
  explicit Tally(QString title) : name(std::move(title)) {}
  QString name;
  int tried = 0;
  int passed = 0;
  int finishedFirst = 0;  // kills that came after the reading had ended
  int absent = 0;         // passed with the file not read (else read whole)
  // Kills between the commit and the moving of the files into the media
  // folders, whose moves the restart made.
  int movesFinished = 0;
  QStringList failures;
  void print() const {
    out << name << ": " << tried << " kills tried, " << passed << " passed (" << absent
        << " left the file unread, " << passed - absent << " read whole)";
    if (finishedFirst > 0) out << " (" << finishedFirst << " came after the reading had finished)";
    if (movesFinished > 0)
      out << " (" << movesFinished << " came after the commit; the restart moved the files in)";
    out << '\n';
    for (const QString& f : failures) out << "  FAILED " << f << '\n';
    out.flush();
  }
};

class PackageCrash {
 public:
  PackageCrash(QString cli, quint32 seed) : m_cli(std::move(cli)), m_random(seed) {}

  bool prepare() {
    if (!m_work.isValid()) return false;
    const QString source = m_work.filePath(QStringLiteral("kaynak"));
    m_template = m_work.filePath(QStringLiteral("hedef"));
    if (!demo(source) || !demo(m_template) || !addMedia(source)) return false;
    m_questionFile = m_work.filePath(QStringLiteral("Sorular.cks"));
    m_testFile = m_work.filePath(QStringLiteral("Test.ckp"));
    Peek db(QDir(source).filePath(QStringLiteral("DERSLIK.db")));
    const QStringList questions = db.column(QStringLiteral("SELECT SORUNO FROM TABLESORU"));
    const QStringList tests = db.column(QStringLiteral("SELECT TESTNO FROM TABLETEST"));
    const Run q = cli(source, QStringList{QStringLiteral("questions"), QStringLiteral("export")} +
                                  questions + QStringList{QStringLiteral("--out"), m_questionFile});
    const Run t = cli(source, QStringList{QStringLiteral("tests"), QStringLiteral("export")} +
                                  tests + QStringList{QStringLiteral("--out"), m_testFile});
    if (q.exitCode != 0 || t.exitCode != 0) {
      out << "export: " << q.output << t.output << '\n';
      return false;
    }
    m_templateEntries = entries(m_template);
    return true;
  }

  Tally killAtRandom(const QString& title, const QStringList& import, int kills) {
    Tally t(title);
    // One whole reading: how long it takes and what it adds.
    const QString whole = freshCopy();
    const Counts before = countsOf(whole);
    QElapsedTimer clock;
    clock.start();
    const Run first = cli(whole, import);
    const int span = int(clock.elapsed());
    const Counts package = countsOf(whole) - before;
    const QString wholeFault = mediaFault(whole) + missingMedia(whole);
    if (first.exitCode != 0 || package.questions == 0 || !wholeFault.isEmpty()) {
      t.failures << QStringLiteral("kesintisiz okuma: ") + first.output + wholeFault;
      return t;
    }
    for (int i = 0; i < kills; ++i) {
      const QString folder = freshCopy();
      const int delay = m_random.bounded(span + 1);
      const Run r = cli(folder, import, delay);
      ++t.tried;
      if (!r.crashed) ++t.finishedFirst;
      const QString fault = check(t, folder, before, package, import);
      if (fault.isEmpty())
        ++t.passed;
      else
        t.failures << QStringLiteral("%1 ms: ").arg(delay) + fault;
    }
    return t;
  }

  QStringList questionImport() const {
    return {QStringLiteral("questions"), QStringLiteral("import"), m_questionFile};
  }
  QStringList testImport() const {
    return {QStringLiteral("tests"), QStringLiteral("import"), m_testFile};
  }

 private:
  Run cli(const QString& folder, const QStringList& args, int killAfterMs = -1) const {
    return crashkit::runProcess(m_cli, QStringList{QStringLiteral("--veri-klasoru"), folder} + args,
                                killAfterMs);
  }

  bool demo(const QString& folder) const {
    const Run r = cli(folder, {QStringLiteral("demo")});
    if (r.exitCode != 0) out << "demo: " << r.output << '\n';
    return r.exitCode == 0;
  }

  // Sounds for the first questions (one of them in a test) and a few videos,
  // large enough that copying them takes part of the reading.
  static bool addMedia(const QString& folder) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
    db.setDatabaseName(QDir(folder).filePath(QStringLiteral("DERSLIK.db")));
    bool ok = db.open();
    const QStringList keys =
        ok ? crashkit::Peek(db.databaseName())
                 .column(
                     QStringLiteral("SELECT SORUNO FROM (SELECT SORUNO FROM TABLETESTSORU LIMIT 1) "
                                    "UNION SELECT SORUNO FROM (SELECT SORUNO FROM TABLESORU "
                                    "ORDER BY CAST(SORUNO AS INTEGER) LIMIT %1)")
                         .arg(kSounds))
           : QStringList();
    for (int i = 0; ok && i < keys.size(); ++i) {
      const bool video = i < kVideos;
      const QString stored =
          (video ? QStringLiteral("Videolar/%1.mp4") : QStringLiteral("Sesler/%1.mp3"))
              .arg(keys.at(i));
      QDir(folder).mkpath(QFileInfo(QDir(folder).filePath(stored)).path());
      QFile file(QDir(folder).filePath(stored));
      QByteArray bytes(300000, '\0');
      for (qsizetype b = 0; b < bytes.size(); ++b) bytes[b] = char(b * 7919 % 251);
      ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
      QSqlQuery q(db);
      q.prepare(QStringLiteral("UPDATE TABLESORU SET %1=? WHERE SORUNO=?")
                    .arg(video ? QStringLiteral("COZUMVIDEO") : QStringLiteral("SESDOSYASI")));
      q.addBindValue(stored);
      q.addBindValue(keys.at(i));
      ok = ok && q.exec() && q.numRowsAffected() == 1;
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    return ok && keys.size() > kVideos;
  }

  QString freshCopy() {
    const QString folder = m_work.filePath(QStringLiteral("deneme%1").arg(++m_copies));
    crashkit::copyFolder(m_template, folder);
    return folder;
  }

  // After the kill: a restart, the judgement, and a second reading. Empty when whole.
  QString check(Tally& t, const QString& folder, const Counts& before, const Counts& package,
                const QStringList& import) const {
    const Run restart = cli(folder, {QStringLiteral("tests"), QStringLiteral("list")});
    if (restart.exitCode != 0) return QStringLiteral("yeniden açılamadı: ") + restart.output;
    if (QString fault = integrityFault(folder); !fault.isEmpty()) return fault;
    const Counts after = countsOf(folder);
    if (after != before && after != before + package)
      return QStringLiteral("yarım okuma: %1 (önce %2)").arg(after.text(), before.text());
    if (after == before) ++t.absent;
    if (QString fault = mediaFault(folder); !fault.isEmpty()) return fault;
    if (QString fault = missingMedia(folder); !fault.isEmpty()) return fault;
    if (restart.output.contains(QStringLiteral("yerine kondu"))) ++t.movesFinished;
    {
      Peek db(QDir(folder).filePath(QStringLiteral("DERSLIK.db")));
      if (!db.column(QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE "
                                    "PARAMETREADI='PAKETALIMI'"))
               .isEmpty())
        return QStringLiteral("dosya okumasının işareti kaldı");
    }
    for (const QString& name : entries(folder)) {
      // SQLite's own files beside a database (WAL, shared memory) are not leftovers.
      const QString owner = name.left(name.lastIndexOf(QLatin1Char('-')));
      if (m_templateEntries.contains(name) || name == QStringLiteral("Sesler") ||
          name == QStringLiteral("Videolar") || m_templateEntries.contains(owner))
        continue;
      return name + (name.startsWith(kWorkPrefix) ? QStringLiteral(" çalışma klasörü kaldı")
                                                  : QStringLiteral(" artık dosya olarak kaldı"));
    }
    // A reading whose commit the kill let through is remembered: read it again on purpose.
    const Run again = cli(folder, import + QStringList{QStringLiteral("--again")});
    if (again.exitCode != 0) return QStringLiteral("ikinci okuma: ") + again.output;
    if (countsOf(folder) != after + package)
      return QStringLiteral("ikinci okuma sonrası %1 (öldürme sonrası %2)")
          .arg(countsOf(folder).text(), after.text());
    if (QString fault = mediaFault(folder); !fault.isEmpty())
      return QStringLiteral("ikinci okuma: ") + fault;
    return {};
  }

  QString m_cli;
  QRandomGenerator m_random;
  QTemporaryDir m_work;
  QString m_template;
  QStringList m_templateEntries;
  QString m_questionFile;
  QString m_testFile;
  int m_copies = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  QString cliPath;
  quint32 seed = 20260315;
  int kills = 12;
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args.at(i) == QStringLiteral("--cli")) cliPath = args.at(i + 1);
    if (args.at(i) == QStringLiteral("--seed")) seed = args.at(i + 1).toUInt();
    if (args.at(i) == QStringLiteral("--kills")) kills = args.at(i + 1).toInt();
  }
  if (cliPath.isEmpty()) {
    fprintf(stderr, "usage: derslik-packagecrash --cli PATH [--seed N] [--kills N]\n");
    return 2;
  }
  out << "seed " << seed << '\n';
  PackageCrash test(cliPath, seed);
  if (!test.prepare()) {
    out << "could not prepare the files\n";
    return 1;
  }
  QElapsedTimer clock;
  clock.start();
  const QList<Tally> tallies{
      test.killAtRandom(QStringLiteral("question file, at random moments"), test.questionImport(),
                        kills),
      test.killAtRandom(QStringLiteral("test file, at random moments"), test.testImport(), kills)};
  int tried = 0;
  int passed = 0;
  for (const Tally& t : tallies) {
    t.print();
    tried += t.tried;
    passed += t.passed;
  }
  out << "total: " << tried << " kills tried, " << passed << " passed, in "
      << clock.elapsed() / 1000.0 << " s\n";
  return tried > 0 && passed == tried ? 0 : 1;
}
