// Kills the operations that write the main database and a content store together
// at every call that changes a file, and checks what the next start finds.
//
//   derslik-writecrash --cli PATH --preload libkillatwrite.so [--stride N]
//                      [--only NAME] [--from K]
//
// Each operation (renumbering a test, reading a question file and a test file,
// saving a new question, deleting one) runs once uninterrupted with the preload
// library counting its writes (write, pwrite, fsync, rename, unlink ... on files):
// N of them. Then for k = 1, 1 + stride, ... N it runs again on a fresh copy of the
// school, killed with SIGKILL just before write k. The folder is then opened as the
// program opens it (derslik-cli, which rolls back what a kill left), and it must
// hold the school as it was before the operation or as the uninterrupted run left
// it: the same question and test numbers in TABLESORU, TABLETEST, TABLETESTSORU
// and in the content stores, every question with its picture and no picture
// without its question, every database whole (integrity_check ok).
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

#include "CrashKit.h"

namespace {

using crashkit::Run;

QTextStream out(stdout);

struct School {
  QStringList questions;    // TABLESORU.SORUNO
  QStringList tests;        // TABLETEST.TESTNO
  QStringList memberships;  // TABLETESTSORU TESTNO:SORUNO
  QStringList pictures;     // question store keys
  QStringList covers;       // test store keys
  QString fault;            // a database that is not whole
  bool operator==(const School& o) const {
    return questions == o.questions && tests == o.tests && memberships == o.memberships &&
           pictures == o.pictures && covers == o.covers;
  }
  QString text() const {
    return QStringLiteral("%1 soru, %2 resim, %3 test, %4 kapak, %5 test sorusu")
        .arg(questions.size())
        .arg(pictures.size())
        .arg(tests.size())
        .arg(covers.size())
        .arg(memberships.size());
  }
};

QStringList sorted(QStringList list) {
  list.sort();
  return list;
}

School schoolIn(const QString& folder) {
  School s;
  const QDir dir(folder);
  {
    // Read-write: a kill leaves a journal beside a content store that only a
    // writer may roll back, exactly as the program does when it next reads it.
    crashkit::Peek main(dir.filePath(QStringLiteral("DERSLIK.db")), crashkit::Peek::ReadWrite);
    if (!main.ok()) s.fault = QStringLiteral("DERSLIK.db açılamadı");
    s.questions = sorted(main.column(QStringLiteral("SELECT SORUNO FROM TABLESORU")));
    s.tests = sorted(main.column(QStringLiteral("SELECT TESTNO FROM TABLETEST")));
    s.memberships = sorted(main.column(
        QStringLiteral("SELECT TESTNO||':'||SORUNO||':'||TESTSIRANO FROM TABLETESTSORU")));
  }
  static const QRegularExpression store(QStringLiteral("^DERSLIK_(T?)\\d+\\.db$"));
  for (const QString& name : dir.entryList({QStringLiteral("*.db")}, QDir::Files)) {
    crashkit::Peek db(dir.filePath(name), crashkit::Peek::ReadWrite);
    const QStringList check = db.column(QStringLiteral("PRAGMA integrity_check"));
    if (s.fault.isEmpty() && check != QStringList{QStringLiteral("ok")})
      s.fault = name + QStringLiteral(": integrity_check ") + check.join(QLatin1Char(' '));
    const QRegularExpressionMatch m = store.match(name);
    if (!m.hasMatch()) continue;
    if (m.captured(1).isEmpty())
      s.pictures += db.column(QStringLiteral("SELECT SORUNO FROM TABLESORU"));
    else
      s.covers += db.column(QStringLiteral("SELECT TESTNO FROM TABLETEST"));
  }
  s.pictures = sorted(s.pictures);
  s.covers = sorted(s.covers);
  return s;
}

// A question without its picture or a picture without its question; empty when none.
QString pictureFault(const School& s) {
  const QSet<QString> questions(s.questions.cbegin(), s.questions.cend());
  const QSet<QString> pictures(s.pictures.cbegin(), s.pictures.cend());
  for (const QString& q : s.questions)
    if (!pictures.contains(q)) return QStringLiteral("%1 sorusunun resmi yok").arg(q);
  for (const QString& p : s.pictures)
    if (!questions.contains(p)) return QStringLiteral("%1 resmi sorusuz kaldı").arg(p);
  if (s.pictures.size() != QSet<QString>(s.pictures.cbegin(), s.pictures.cend()).size())
    return QStringLiteral("bir sorunun iki resmi var");
  return {};
}

struct Operation {
  QString name;
  QStringList args;
};

struct Tally {
  QString name;
  long writes = 0;
  int tried = 0;
  int passed = 0;
  int before = 0;  // left the school as before the operation
  int notKilled = 0;
  QStringList failures;
  void print() const {
    out << name << ": " << writes << " writes, " << tried << " kills tried, " << passed
        << " passed (" << before << " as before, " << passed - before << " as after)";
    if (notKilled > 0) out << " (" << notKilled << " ran to the end)";
    out << '\n';
    for (const QString& f : failures.mid(0, 12)) out << "  FAILED " << f << '\n';
    if (failures.size() > 12) out << "  ... " << failures.size() - 12 << " more\n";
    out.flush();
  }
};

class WriteCrash {
 public:
  WriteCrash(QString cli, QString preload) : m_cli(std::move(cli)), m_preload(std::move(preload)) {}

  bool prepare() {
    if (!m_work.isValid()) return false;
    const QString source = m_work.filePath(QStringLiteral("kaynak"));
    m_template = m_work.filePath(QStringLiteral("okul"));
    if (!ok(cli(source, {QStringLiteral("demo")}), "demo") ||
        !ok(cli(m_template, {QStringLiteral("demo")}), "demo"))
      return false;
    const School s = schoolIn(source);
    m_questionFile = m_work.filePath(QStringLiteral("Sorular.cks"));
    m_testFile = m_work.filePath(QStringLiteral("Test.ckp"));
    if (!ok(cli(source, QStringList{QStringLiteral("questions"), QStringLiteral("export")} +
                            s.questions.mid(0, 2) +
                            QStringList{QStringLiteral("--out"), m_questionFile}),
            "questions export") ||
        !ok(cli(source, QStringList{QStringLiteral("tests"), QStringLiteral("export")} +
                            s.tests.mid(0, 1) + QStringList{QStringLiteral("--out"), m_testFile}),
            "tests export"))
      return false;
    m_picture = m_work.filePath(QStringLiteral("soru.png"));
    QFile png(m_picture);
    // A 1x1 PNG: the question's picture.
    const QByteArray bytes = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAAMBAQDJ/"
        "pLvAAAAAElFTkSuQmCC");
    if (!png.open(QIODevice::WriteOnly) || png.write(bytes) != bytes.size()) return false;
    png.close();
    const School t = schoolIn(m_template);
    if (!t.fault.isEmpty() || !pictureFault(t).isEmpty() || t.tests.isEmpty()) {
      out << "demo school not whole: " << t.fault << pictureFault(t) << '\n';
      return false;
    }
    m_firstTest = t.tests.first();
    m_lastQuestion = t.questions.last();
    return true;
  }

  QList<Operation> operations() const {
    return {
        {QStringLiteral("renumber a test"),
         {QStringLiteral("tests"), QStringLiteral("renumber"), m_firstTest, QStringLiteral("500")}},
        {QStringLiteral("question file import"),
         {QStringLiteral("questions"), QStringLiteral("import"), m_questionFile}},
        {QStringLiteral("test file import"),
         {QStringLiteral("tests"), QStringLiteral("import"), m_testFile}},
        {QStringLiteral("question save"),
         {QStringLiteral("questions"), QStringLiteral("add"), QStringLiteral("--picture"),
          m_picture, QStringLiteral("--answer"), QStringLiteral("C")}},
        {QStringLiteral("question delete"),
         {QStringLiteral("questions"), QStringLiteral("delete"), m_lastQuestion}},
    };
  }

  Tally killAtEveryWrite(const Operation& op, int stride, int from) {
    Tally t;
    t.name = op.name;
    const School before = schoolIn(m_template);
    const QString whole = freshCopy();
    const QString countFile = m_work.filePath(QStringLiteral("yazma-sayisi"));
    QFile::remove(countFile);
    const Run first =
        cli(whole, op.args, {{QStringLiteral("DERSLIK_WRITE_COUNT_FILE"), countFile}});
    const School after = schoolIn(whole);
    QFile count(countFile);
    if (count.open(QIODevice::ReadOnly)) t.writes = count.readAll().trimmed().toLong();
    if (first.exitCode != 0 || first.crashed || after == before || t.writes == 0 ||
        !after.fault.isEmpty() || !pictureFault(after).isEmpty()) {
      t.failures << QStringLiteral("kesintisiz çalışma: %1 %2 %3 (%4 yazma)")
                        .arg(first.output, after.fault, pictureFault(after))
                        .arg(t.writes);
      return t;
    }
    QDir(whole).removeRecursively();
    for (long k = from; k <= t.writes; k += stride) {
      const QString folder = freshCopy();
      const Run r =
          cli(folder, op.args, {{QStringLiteral("DERSLIK_KILL_AT_WRITE"), QString::number(k)}});
      ++t.tried;
      if (!r.crashed) ++t.notKilled;
      const QString fault = judge(t, folder, before, after);
      if (fault.isEmpty())
        ++t.passed;
      else
        t.failures << QStringLiteral("yazma %1: ").arg(k) + fault;
      QDir(folder).removeRecursively();
    }
    return t;
  }

 private:
  static bool ok(const Run& r, const char* what) {
    if (r.exitCode != 0 || r.crashed) out << what << ": " << r.output << '\n';
    return r.exitCode == 0 && !r.crashed;
  }

  Run cli(const QString& folder, const QStringList& args,
          const QList<QPair<QString, QString>>& preloadEnv = {}) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!preloadEnv.isEmpty()) {
      env.insert(QStringLiteral("LD_PRELOAD"), m_preload);
      for (const auto& [name, value] : preloadEnv) env.insert(name, value);
    }
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(m_cli, QStringList{QStringLiteral("--veri-klasoru"), folder} + args);
    Run r;
    if (!p.waitForStarted()) return r;
    p.waitForFinished(300000);  // a demo school on a busy machine takes its time
    r.exitCode = p.exitCode();
    r.crashed = p.exitStatus() == QProcess::CrashExit;
    r.output = QString::fromUtf8(p.readAll()).trimmed();
    return r;
  }

  QString freshCopy() {
    const QString folder = m_work.filePath(QStringLiteral("deneme%1").arg(++m_copies));
    crashkit::copyFolder(m_template, folder);
    return folder;
  }

  // After the kill: the start that recovers, then the judgement. Empty when whole.
  QString judge(Tally& t, const QString& folder, const School& before, const School& after) const {
    const Run restart = cli(folder, {QStringLiteral("tests"), QStringLiteral("list")});
    if (restart.exitCode != 0) return QStringLiteral("yeniden açılamadı: ") + restart.output;
    const School now = schoolIn(folder);
    if (!now.fault.isEmpty()) return now.fault;
    if (QString fault = pictureFault(now); !fault.isEmpty())
      return fault + QStringLiteral(" (%1)").arg(now.text());
    if (now == before) {
      ++t.before;
      return {};
    }
    if (now == after) return {};
    return QStringLiteral("yarım kaldı: %1 (önce %2, sonra %3)")
        .arg(now.text(), before.text(), after.text());
  }

  QString m_cli;
  QString m_preload;
  QTemporaryDir m_work;
  QString m_template;
  QString m_questionFile;
  QString m_testFile;
  QString m_picture;
  QString m_firstTest;
  QString m_lastQuestion;
  int m_copies = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  QString cliPath;
  QString preload;
  QString only;
  int stride = 1;
  int from = 1;
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args.at(i) == QStringLiteral("--cli")) cliPath = args.at(i + 1);
    if (args.at(i) == QStringLiteral("--preload")) preload = args.at(i + 1);
    if (args.at(i) == QStringLiteral("--stride")) stride = std::max(1, args.at(i + 1).toInt());
    if (args.at(i) == QStringLiteral("--from")) from = std::max(1, args.at(i + 1).toInt());
    if (args.at(i) == QStringLiteral("--only")) only = args.at(i + 1);
  }
  if (cliPath.isEmpty() || preload.isEmpty()) {
    fprintf(stderr,
            "usage: derslik-writecrash --cli PATH --preload LIB [--stride N] [--from K] "
            "[--only NAME]\n");
    return 2;
  }
  WriteCrash test(cliPath, preload);
  if (!test.prepare()) {
    out << "could not prepare the school\n";
    return 1;
  }
  out << "killed at every " << (stride == 1 ? QString() : QStringLiteral("%1th ").arg(stride))
      << "write from write " << from << '\n';
  out.flush();
  QElapsedTimer clock;
  clock.start();
  int tried = 0;
  int passed = 0;
  for (const Operation& op : test.operations()) {
    if (!only.isEmpty() && !op.name.contains(only)) continue;
    QElapsedTimer opClock;
    opClock.start();
    const Tally t = test.killAtEveryWrite(op, stride, from);
    t.print();
    out << "  (" << opClock.elapsed() / 1000.0 << " s)\n";
    out.flush();
    tried += t.tried;
    passed += t.passed;
    if (t.tried == 0) tried += 1;  // the uninterrupted run failed
  }
  out << "total: " << tried << " kills tried, " << passed << " passed, in "
      << clock.elapsed() / 1000.0 << " s\n";
  return tried > 0 && passed == tried ? 0 : 1;
}
