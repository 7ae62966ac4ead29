// Kills the school-year rollover and the student import with SIGKILL and checks
// what the next start finds: the main database there and whole (integrity_check
// ok), the school either wholly in the old year or wholly in the new one, and a
// second run that does not raise the classes twice.
//
//   derslik-crashtest --cli PATH [--seed N] [--random-kills N] [--import-kills N]
//
// The rollover is killed at each of its steps (a child process runs it through
// the same core code as derslik-cli, with Rollover::Hooks::stepReached killing
// the child at the chosen step) and at seeded random moments (the real
// derslik-cli, killed from outside); the import at seeded random moments.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <cstdio>

#include "CrashKit.h"
#include "Messages.h"
#include "school/Rollover.h"
#include "store/RolloverFiles.h"
#include "store/Store.h"
#include "store/StoreFiles.h"

namespace {

QTextStream out(stdout);

const QString kDate = QStringLiteral("02.09.2027");
const QString kLabel = QStringLiteral("2027-2028");
const int kImportRows = 4000;
const QString kImportClass = QStringLiteral("9-Z");

QDateTime rolloverDate() {
  return QDateTime(QDate::fromString(kDate, QStringLiteral("dd.MM.yyyy")), QTime(9, 0));
}

// --- The child: one rollover through the core, killed at a step ------------------

int childRollover(const QString& folder, const QString& killAt, bool listSteps, bool keepBank) {
  store::Store store(folder);
  if (!store::enterDataFolder(folder) || !store.open()) return 3;
  RecordedMessages yes;
  yes.setDefaultAnswer(Messages::Answer::Yes);
  school::Rollover::Hooks hooks;
  hooks.messages = &yes;
  hooks.now = rolloverDate;
  hooks.keepBank = keepBank;
  hooks.stepReached = [&](const QString& step) {
    if (listSteps) {
      out << step << '\n';
      out.flush();
    }
    if (step == killAt) ::raise(SIGKILL);
  };
  const school::Rollover::Report r = school::Rollover::SinifAtlatmaUygula(store, hooks);
  return r.outcome == school::Rollover::Outcome::Done ? 0 : 4;
}

// --- Helpers of the parent ---------------------------------------------------------

using crashkit::copyFolder;
using crashkit::Peek;
using crashkit::Run;
using crashkit::runProcess;

QStringList classesOf(const Peek& db) {
  return db.column(
      QStringLiteral("SELECT KAYITNO || ':' || SINIFI || ':' || SEVIYE FROM TABLEOGRENCI "
                     "ORDER BY CAST(KAYITNO AS INTEGER)"));
}

QStringList raised(const QStringList& classes) {
  QStringList out;
  for (const QString& row : classes) {
    const QStringList p = row.split(QLatin1Char(':'));
    out << p.value(0) + QLatin1Char(':') + school::Rollover::SinifNumarasiArttir(p.value(1)) +
               QLatin1Char(':') + school::Rollover::SeviyeArttir(p.value(2));
  }
  return out;
}

enum class Year { Old, New, Broken };

// What the folder holds after a restart; `why` says what is wrong when Broken.
// `oldContent` is the number of question contents the old year had; the new year
// keeps them when the bank stays (`keepBank`), else starts with none.
Year judge(const QString& folder, const QStringList& oldClasses, int oldContent, bool keepBank,
           QString& why) {
  const QDir dir(folder);
  const QString main = dir.filePath(QStringLiteral("DERSLIK.db"));
  if (!QFile::exists(main)) {
    why = QStringLiteral("DERSLIK.db yok");
    return Year::Broken;
  }
  for (const char* leftover : {"DERSLIK.yeni.db", "DERSLIK.eski.db", "DERSLIK.atlatma"})
    if (dir.exists(QString::fromLatin1(leftover))) {
      why = QString::fromLatin1(leftover) + QStringLiteral(" kaldı");
      return Year::Broken;
    }
  for (const QString& backup :
       QDir(dir.filePath(QStringLiteral("Yedek"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    if (!dir.exists(QStringLiteral("Yedek/%1/TAMAM").arg(backup))) {
      why = QStringLiteral("yarım yedek kaldı: ") + backup;
      return Year::Broken;
    }
  Peek db(main);
  if (!db.ok() || db.column(QStringLiteral("PRAGMA integrity_check")) != QStringList{"ok"}) {
    why = QStringLiteral("integrity_check: ") +
          db.column(QStringLiteral("PRAGMA integrity_check")).join(QLatin1Char(' '));
    return Year::Broken;
  }
  const QStringList classes = classesOf(db);
  const QStringList answers = db.column(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP"));
  const bool completed =
      !db.column(QStringLiteral("SELECT 1 FROM TABLEPARAMETRE WHERE "
                                "PARAMETREADI='SINIFATLATMAYAPILDI' AND PARAMETREDEGERI LIKE '") +
                 kLabel + QStringLiteral("|%'"))
           .isEmpty();
  int content = -1;
  {
    Peek store2(dir.filePath(store::storeFileName(store::StoreKind::Question, 2)));
    if (store2.ok())
      content = store2.column(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")).value(0).toInt();
  }
  if (classes == oldClasses && answers == QStringList{"1"} && !completed && content == oldContent)
    return Year::Old;
  if (classes == raised(oldClasses) && answers == QStringList{"0"} && completed &&
      content == (keepBank ? oldContent : 0)) {
    // The old year whole in exactly one finished backup.
    const QList<store::Backup> backups = store::completeBackups(folder);
    if (backups.size() != 1) {
      why = QStringLiteral("%1 tamamlanmış yedek").arg(backups.size());
      return Year::Broken;
    }
    Peek old(QDir(backups.first().folder).filePath(QStringLiteral("DERSLIK.db")));
    if (classesOf(old) != oldClasses) {
      why = QStringLiteral("yedekteki sınıflar eski değil");
      return Year::Broken;
    }
    return Year::New;
  }
  why = QStringLiteral("karışık durum: sınıflar %1, cevap %2, tamamlandı %3, soru içeriği %4")
            .arg(classes == oldClasses           ? QStringLiteral("eski")
                 : classes == raised(oldClasses) ? QStringLiteral("yeni")
                                                 : QStringLiteral("başka"))
            .arg(answers.join(QLatin1Char(',')))
            .arg(completed ? 1 : 0)
            .arg(content);
  return Year::Broken;
}

struct Tally {
  explicit Tally(QString title) : name(std::move(title)) {}
  QString name;
  int tried = 0;
  int passed = 0;
  int finishedFirst = 0;  // random kills that came after the process had ended
  int oldYear = 0;        // passed, found in the old year (else in the new one)
  QStringList failures;
  void print() const {
    out << name << ": " << tried << " kills tried, " << passed << " passed (" << oldYear
        << " left the old state, " << passed - oldYear << " the new)";
    if (finishedFirst > 0) out << " (" << finishedFirst << " came after the run had finished)";
    out << '\n';
    for (const QString& f : failures) out << "  FAILED " << f << '\n';
    out.flush();
  }
};

class CrashTest {
 public:
  CrashTest(QString cli, quint32 seed) : m_cli(std::move(cli)), m_random(seed) {}

  bool prepare() {
    if (!m_work.isValid()) return false;
    m_template = m_work.filePath(QStringLiteral("okul"));
    if (const Run demo = cli(m_template, {QStringLiteral("demo")}); demo.exitCode != 0) {
      out << "demo: " << demo.output << '\n';
      return false;
    }
    // The year's work the rollover leaves behind: an answer and a question's content.
    {
      Peek probe(QDir(m_template).filePath(QStringLiteral("DERSLIK.db")));
      m_oldClasses = classesOf(probe);
    }
    if (!write(QDir(m_template).filePath(QStringLiteral("DERSLIK.db")),
               QStringLiteral("INSERT INTO TABLECEVAP (KAYITNO,CEVAP) VALUES ('1','A')")) ||
        !write(QDir(m_template).filePath(QStringLiteral("DERSLIK_2.db")),
               QStringLiteral("INSERT INTO TABLESORU (SORUNO,SORU) VALUES ('1',x'FFD8')")))
      return false;
    {
      // The demo school's bank and the row above.
      Peek store2(QDir(m_template).filePath(store::storeFileName(store::StoreKind::Question, 2)));
      m_oldContent =
          store2.column(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")).value(0).toInt();
    }
    QFile csv(m_work.filePath(QStringLiteral("liste.csv")));
    if (!csv.open(QIODevice::WriteOnly)) return false;
    csv.write("Numara;Adı;Soyadı;Sınıfı\n");
    for (int i = 1; i <= kImportRows; ++i)
      csv.write(QStringLiteral("%1;Ad%1;Soyad%1;%2\n").arg(i).arg(kImportClass).toUtf8());
    if (m_oldClasses.size() < 10)
      out << "students: " << m_oldClasses.join(QLatin1Char(' ')) << '\n';
    return m_oldClasses.size() >= 10;
  }

  Tally killAtEachStep(bool keepBank) {
    Tally t(keepBank ? QStringLiteral("rollover keeping the bank, at each step")
                     : QStringLiteral("rollover, at each step"));
    const QString keep = keepBank ? QStringLiteral("--keep-bank") : QString();
    const QString dry = freshCopy();
    const Run listing = runProcess(QCoreApplication::applicationFilePath(),
                                   {QStringLiteral("--child-steps"), dry, QString(), keep});
    QStringList steps = listing.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    steps.removeDuplicates();
    if (listing.exitCode != 0 || steps.size() < 8) {
      t.failures << QStringLiteral("adımlar alınamadı: ") + listing.output;
      return t;
    }
    for (const QString& step : steps) {
      const QString folder = freshCopy();
      const Run r = runProcess(QCoreApplication::applicationFilePath(),
                               {QStringLiteral("--child-rollover"), folder, step, keep});
      ++t.tried;
      if (!r.crashed) {
        t.failures << step + QStringLiteral(": süreç öldürülmedi (") + r.output + QLatin1Char(')');
        continue;
      }
      check(t, step, folder, keepBank);
    }
    return t;
  }

  Tally killRolloverAtRandom(int kills) {
    Tally t(QStringLiteral("rollover, at random moments"));
    const int span = timed(
        {QStringLiteral("rollover"), QStringLiteral("--date"), kDate, QStringLiteral("--yes")});
    for (int i = 0; i < kills; ++i) {
      const QString folder = freshCopy();
      const int delay = m_random.bounded(span + 1);
      const Run r = cli(
          folder,
          {QStringLiteral("rollover"), QStringLiteral("--date"), kDate, QStringLiteral("--yes")},
          delay);
      ++t.tried;
      if (!r.crashed) ++t.finishedFirst;
      check(t, QStringLiteral("%1 ms").arg(delay), folder, false);
    }
    return t;
  }

  Tally killImportAtRandom(int kills) {
    Tally t(QStringLiteral("student import, at random moments"));
    const QStringList import{QStringLiteral("students"),
                             QStringLiteral("import"),
                             m_work.filePath(QStringLiteral("liste.csv")),
                             QStringLiteral("--map"),
                             QStringLiteral("1=NUMARASI,2=ADI,3=SOYADI,4=SINIFI"),
                             QStringLiteral("--level"),
                             QStringLiteral("5. SINIF")};
    const int span = timed(import);
    for (int i = 0; i < kills; ++i) {
      const QString folder = freshCopy();
      const int delay = m_random.bounded(span + 1);
      const Run r = cli(folder, import, delay);
      ++t.tried;
      if (!r.crashed) ++t.finishedFirst;
      const QString where = QStringLiteral("%1 ms").arg(delay);
      cli(folder, {QStringLiteral("students"), QStringLiteral("list")});
      Peek db(QDir(folder).filePath(QStringLiteral("DERSLIK.db")));
      const QStringList integrity = db.column(QStringLiteral("PRAGMA integrity_check"));
      const int added =
          db.column(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='") +
                    kImportClass + QLatin1Char('\''))
              .value(0)
              .toInt();
      const int others = db.column(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE "
                                                  "SINIFI<>'") +
                                   kImportClass + QLatin1Char('\''))
                             .value(0)
                             .toInt();
      if (integrity != QStringList{"ok"})
        t.failures << where + QStringLiteral(": integrity_check ") +
                          integrity.join(QLatin1Char(' '));
      else if ((added != 0 && added != kImportRows) || others != m_oldClasses.size())
        t.failures
            << where +
                   QStringLiteral(": %1 öğrenci aktarılmış, diğerleri %2").arg(added).arg(others);
      else
        ++t.passed;
      if (added == 0 && integrity == QStringList{"ok"}) ++t.oldYear;
    }
    return t;
  }

 private:
  Run cli(const QString& folder, const QStringList& args, int killAfterMs = -1) {
    return runProcess(m_cli, QStringList{QStringLiteral("--veri-klasoru"), folder} + args,
                      killAfterMs);
  }

  // Milliseconds one whole run of the command takes.
  int timed(const QStringList& args) {
    QElapsedTimer clock;
    clock.start();
    cli(freshCopy(), args);
    return int(clock.elapsed());
  }

  QString freshCopy() {
    const QString folder = m_work.filePath(QStringLiteral("deneme%1").arg(++m_copies));
    copyFolder(m_template, folder);
    return folder;
  }

  static bool write(const QString& file, const QString& sql) {
    bool ok = false;
    {
      QSqlDatabase db =
          QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
      db.setDatabaseName(file);
      ok = db.open() && QSqlQuery(db).exec(sql);
      db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    return ok;
  }

  // After the kill: a restart, the judgement, and a second run that must not raise twice.
  void check(Tally& t, const QString& where, const QString& folder, bool keepBank) {
    const Run restart = cli(folder, {QStringLiteral("students"), QStringLiteral("list")});
    QString why;
    const Year year = restart.exitCode == 0
                          ? judge(folder, m_oldClasses, m_oldContent, keepBank, why)
                          : Year::Broken;
    if (year == Year::Broken) {
      t.failures << where + QStringLiteral(": ") +
                        (why.isEmpty() ? QStringLiteral("yeniden açılamadı: ") + restart.output
                                       : why);
      return;
    }
    const Run again = cli(folder, {QStringLiteral("rollover"), QStringLiteral("--date"), kDate,
                                   QStringLiteral("--yes")});
    Peek db(QDir(folder).filePath(QStringLiteral("DERSLIK.db")));
    const bool once = classesOf(db) == raised(m_oldClasses);
    if (!once || (year == Year::Old) != (again.exitCode == 0)) {
      t.failures << where + QStringLiteral(": ikinci çalıştırma (%1, çıkış %2) sınıfları %3")
                                .arg(year == Year::Old ? QStringLiteral("eski yıl")
                                                       : QStringLiteral("yeni yıl"))
                                .arg(again.exitCode)
                                .arg(once ? QStringLiteral("bir kez atlattı")
                                          : QStringLiteral("yanlış bıraktı"));
      return;
    }
    ++t.passed;
    if (year == Year::Old) ++t.oldYear;
  }

  QString m_cli;
  QRandomGenerator m_random;
  QTemporaryDir m_work;
  QString m_template;
  QStringList m_oldClasses;
  int m_oldContent = 0;
  int m_copies = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.value(1) == QStringLiteral("--child-rollover"))
    return childRollover(args.value(2), args.value(3), false, !args.value(4).isEmpty());
  if (args.value(1) == QStringLiteral("--child-steps"))
    return childRollover(args.value(2), QString(), true, !args.value(4).isEmpty());

  QString cliPath;
  quint32 seed = 20250901;
  int randomKills = 24;
  int importKills = 12;
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args.at(i) == QStringLiteral("--cli")) cliPath = args.at(i + 1);
    if (args.at(i) == QStringLiteral("--seed")) seed = args.at(i + 1).toUInt();
    if (args.at(i) == QStringLiteral("--random-kills")) randomKills = args.at(i + 1).toInt();
    if (args.at(i) == QStringLiteral("--import-kills")) importKills = args.at(i + 1).toInt();
  }
  if (cliPath.isEmpty()) {
    fprintf(stderr,
            "usage: derslik-crashtest --cli PATH [--seed N] [--random-kills N] "
            "[--import-kills N]\n");
    return 2;
  }
  out << "seed " << seed << '\n';
  CrashTest test(cliPath, seed);
  if (!test.prepare()) {
    out << "could not prepare the school\n";
    return 1;
  }
  QElapsedTimer clock;
  clock.start();
  const QList<Tally> tallies{test.killAtEachStep(false), test.killAtEachStep(true),
                             test.killRolloverAtRandom(randomKills),
                             test.killImportAtRandom(importKills)};
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
