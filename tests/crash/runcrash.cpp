// Kills a test run with SIGKILL and checks what the next start finds: every
// question left before the kill stored whole (one answer row per remote), the
// results scored from exactly those questions, and the run taken up again under
// the same key from its first question without answers, to its end.
//
//   derslik-runcrash --cli PATH [--seed N] [--random-kills N]
//
// The run is killed inside the recording of chosen questions, at each step of its
// transaction (a child process runs it through the same core code as derslik-cli,
// with Recording::Hooks killing it), and at seeded random moments (the real
// derslik-cli run simulate, killed from outside).
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <csignal>

#include "CrashKit.h"
#include "Messages.h"
#include "delivery/InterruptedRuns.h"
#include "delivery/RunSession.h"
#include "delivery/SimulatedRun.h"
#include "reports/Scoring.h"
#include "school/DemoSchool.h"
#include "store/Store.h"

namespace {

QTextStream out(stdout);

constexpr int kQuestions = 8;
const QString kClass = QStringLiteral("5-A");
const QDateTime kAt(QDate(2026, 3, 14), QTime(10, 15));

delivery::RunSettings childSettings() {
  delivery::RunSettings s;
  s.duration = delivery::RunSettings::Duration::Fixed;
  s.fixedSeconds = 20;
  s.afterQuestion = delivery::RunSettings::QuestionReport::None;
  s.reportAtEnd = false;
  s.remoteTestScreen = false;
  return s;
}

// --- The child: a run through the core, killed inside the recording of a question

int child(const QString& folder, const QString& step, int question) {
  store::Store store(folder);
  if (!store.open()) return 3;
  RecordedMessages messages;
  delivery::SimulatedRun sim(store, messages);
  int leaving = 0;
  sim.setRecordingHooks({[&](const QString& reached) {
    if (reached == QLatin1String("begin")) ++leaving;
    if (leaving == question && reached == step) ::raise(SIGKILL);
  }});
  delivery::SimulatedRun::Options o;
  o.testNo = QStringLiteral("1");
  o.className = kClass;
  o.settings = childSettings();
  o.at = kAt;
  return sim.run(o).ok() ? 0 : 4;
}

// --- The parent ----------------------------------------------------------------

bool prepare(const QString& folder) {
  store::Store store(folder);
  if (!store.open() || !school::createDemoSchool(store)) return false;
  if (!store.run(QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI,BASLANGICEKRANIGOSTER,"
                                "SORUSAYILARINIGOSTER) VALUES ('1','Kesirler','0','0')")))
    return false;
  for (int i = 1; i <= kQuestions; ++i) {
    const QString soruNo = QStringLiteral("S%1").arg(i);
    if (!store.run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,DOGRUSIK) VALUES (?,?)"),
                   {soruNo, QStringLiteral("ABCDE").mid(i % 5, 1)}) ||
        !store.run(QStringLiteral("INSERT INTO TABLETESTSORU (TESTNO,SORUNO,SURE,TESTSIRANO) "
                                  "VALUES ('1',?,'20',?)"),
                   {soruNo, QString::number(i)}))
      return false;
  }
  return true;
}

using crashkit::copyFolder;

QStringList column(store::Store& store, const QString& sql) {
  return store.column(sql).valueOr({QStringLiteral("HATA")});
}

// The stored answers of questions left: "position/address=answer@time".
QStringList answers(store::Store& store) {
  return column(store, QStringLiteral("SELECT TESTSIRANO||'/'||KUMANDAADRESI||'='||CEVAP||'@'||"
                                      "CEVAPSURESI FROM TABLECEVAP ORDER BY VAL(TESTSIRANO),"
                                      "KUMANDAADRESI"));
}

QStringList results(store::Store& store) {
  return column(store, QStringLiteral("SELECT KUMANDAADRESI||' '||SORUSAYI||' '||NET||' '||"
                                      "TOPLAMSURE||' '||KACINCIOLDU FROM TABLESONUC ORDER BY "
                                      "KUMANDAADRESI"));
}

// Whole questions only, scored from exactly those; the number left, or -1.
int judge(store::Store& store, QString& why) {
  if (column(store, QStringLiteral("PRAGMA integrity_check")) != QStringList{"ok"}) {
    why = QStringLiteral("integrity_check");
    return -1;
  }
  const int remotes = column(store, QStringLiteral("SELECT COUNT(DISTINCT KUMANDAADRESI) FROM "
                                                   "TABLECEVAP"))
                          .value(0)
                          .toInt();
  const QStringList perQuestion =
      column(store, QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP GROUP BY TESTSIRANO"));
  for (const QString& n : perQuestion)
    if (n.toInt() != remotes) {
      why = QStringLiteral("yarım soru: %1 satır, %2 kumanda").arg(n).arg(remotes);
      return -1;
    }
  const QStringList left = column(store, QStringLiteral("SELECT DISTINCT TESTSIRANO FROM "
                                                        "TABLECEVAP ORDER BY VAL(TESTSIRANO)"));
  if (column(store, QStringLiteral("SELECT TESTSIRANO FROM TABLEUYGULAMA ORDER BY "
                                   "VAL(TESTSIRANO)")) != left) {
    why = QStringLiteral("soru satırları cevaplarla uyuşmuyor");
    return -1;
  }
  for (int i = 0; i < left.size(); ++i)
    if (left.at(i) != QString::number(i + 1)) {
      why = QStringLiteral("sorular sırayla değil: ") + left.join(QLatin1Char(','));
      return -1;
    }
  const QStringList scored = results(store);
  if (scored.size() != (left.isEmpty() ? 0 : remotes)) {
    why = QStringLiteral("%1 sonuç satırı").arg(scored.size());
    return -1;
  }
  for (const QString& row : scored)
    if (row.section(QLatin1Char(' '), 1, 1).toInt() != left.size()) {
      why = QStringLiteral("yarım puanlanmış: ") + row;
      return -1;
    }
  const QStringList keys = column(
      store, QStringLiteral("SELECT DISTINCT TESTTARIHI||'|'||TESTBASLANGIC FROM TABLECEVAP"));
  if (!left.isEmpty()) {
    const QStringList key = keys.value(0).split(QLatin1Char('|'));
    if (keys.size() != 1 || !reports::Scoring(store).rescoreRun({key.value(0), key.value(1)}) ||
        results(store) != scored) {
      why = QStringLiteral("sonuçlar yeniden hesaplanınca değişti");
      return -1;
    }
  }
  return int(left.size());
}

// The next start: the interrupted run is offered and continued to its end.
bool resume(store::Store& store, int left, QString& why) {
  const QStringList before = answers(store);
  RecordedMessages messages;
  messages.setDefaultAnswer(Messages::Answer::Yes);
  const Result<std::optional<delivery::RunPlan>> offered =
      delivery::InterruptedRuns(store).offer(messages);
  if (!offered) {
    why = offered.error();
    return false;
  }
  if (!offered->has_value()) {
    // Nothing was left yet, or the run had already ended when it was killed.
    const bool ended =
        left == kQuestions &&
        column(store, QStringLiteral("SELECT 1 FROM TABLEUYGULAMA WHERE NZ(TESTBITIS)=''"))
            .isEmpty();
    if (left != 0 && !ended) why = QStringLiteral("yarım kalan uygulama bulunmadı");
    return left == 0 || ended;
  }
  receiver::ManualClock clock(kAt.addSecs(3600));
  delivery::RunSession run(store, messages, clock);
  if (Status s = run.open(**offered); !s) {
    why = s.error();
    return false;
  }
  if (run.position() != 0 && run.position() != left + 1) {
    why = QStringLiteral("%1. sorudan sürdü").arg(run.position());
    return false;
  }
  for (int guard = 0; guard < 1000 && run.page() != delivery::RunSession::Page::Finished; ++guard) {
    clock.advance(1000);
    run.tick();
    if (run.page() == delivery::RunSession::Page::Report) run.reportClosed();
    if (run.page() != delivery::RunSession::Page::Countdown)
      (void)run.trigger(delivery::RunSession::Command::Next);  // false while it is not offered
  }
  const QStringList after = answers(store);
  if (after.mid(0, before.size()) != before) {
    why = QStringLiteral("bırakılmış soruların cevapları değişti");
    return false;
  }
  if (judge(store, why) != kQuestions) return false;
  if (!column(store, QStringLiteral("SELECT 1 FROM TABLEUYGULAMA WHERE NZ(TESTBITIS)=''"))
           .isEmpty()) {
    why = QStringLiteral("bitiş saati eksik");
    return false;
  }
  return true;
}

bool checkFolder(const QString& folder, int expectedLeft, const QString& name) {
  store::Store store(folder);
  QString why;
  if (!store.open()) {
    out << "HATA " << name << ": açılamadı\n";
    return false;
  }
  const int left = judge(store, why);
  bool ok = left >= 0 && (expectedLeft < 0 || left == expectedLeft);
  if (ok && !resume(store, left, why)) ok = false;
  out << (ok ? "tamam " : "HATA ") << name << ": " << left << " soru bırakılmıştı"
      << (why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')')) << '\n';
  return ok;
}

int parent(const QString& cli, quint32 seed, int randomKills) {
  QTemporaryDir dir;
  const QString base = dir.filePath(QStringLiteral("sablon"));
  if (!dir.isValid() || !prepare(base)) {
    out << "HATA: şablon veri klasörü hazırlanamadı\n";
    return 1;
  }
  int failures = 0;
  int n = 0;
  // Inside the recording of the first, a middle and the last question.
  for (int question : {1, 4, kQuestions}) {
    for (const char* step : {"begin", "answers", "question", "results"}) {
      const QString folder = dir.filePath(QStringLiteral("k%1").arg(++n));
      if (!copyFolder(base, folder)) return 1;
      QProcess p;
      p.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--child"), folder, QString::fromLatin1(step),
               QString::number(question)});
      p.waitForFinished(60000);
      const QString name = QStringLiteral("%1. soru, %2").arg(question).arg(QLatin1String(step));
      if (p.exitStatus() != QProcess::CrashExit) {
        out << "HATA " << name << ": süreç öldürülmedi (" << p.exitCode() << ")\n";
        ++failures;
        continue;
      }
      if (!checkFolder(folder, question - 1, name)) ++failures;
    }
  }
  // The real command line, killed from outside at random moments.
  QRandomGenerator random(seed);
  for (int i = 0; i < randomKills; ++i) {
    const QString folder = dir.filePath(QStringLiteral("r%1").arg(i));
    if (!copyFolder(base, folder)) return 1;
    QProcess p;
    p.start(cli, {QStringLiteral("--veri-klasoru"), folder, QStringLiteral("run"),
                  QStringLiteral("simulate"), QStringLiteral("--test"), QStringLiteral("1"),
                  QStringLiteral("--class"), kClass, QStringLiteral("--duration"),
                  QStringLiteral("fixed:20"), QStringLiteral("--speed"), QStringLiteral("400"),
                  QStringLiteral("--seed"), QString::number(i + 1)});
    if (!p.waitForStarted()) return 1;
    const int after = int(random.bounded(100, 500));
    QThread::msleep(quint64(after));
    if (p.state() == QProcess::Running) p.kill();
    p.waitForFinished(60000);
    if (!checkFolder(folder, -1, QStringLiteral("rastgele %1 ms").arg(after))) ++failures;
  }
  const int tried = n + randomKills;
  out << "toplam: " << tried << " öldürme denendi, " << tried - failures << " geçti\n";
  out << (failures == 0 ? "Bütün öldürmelerden sonra uygulama bütün kaldı.\n"
                        : "Bozuk kalan uygulamalar var.\n");
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.value(1) == QLatin1String("--child"))
    return child(args.value(2), args.value(3), args.value(4).toInt());
  const qsizetype cliAt = args.indexOf(QStringLiteral("--cli"));
  const qsizetype seedAt = args.indexOf(QStringLiteral("--seed"));
  const qsizetype killsAt = args.indexOf(QStringLiteral("--random-kills"));
  const QString cli = cliAt > 0 ? args.value(cliAt + 1) : QString();
  const quint32 seed = seedAt > 0 ? args.value(seedAt + 1).toUInt() : 1;
  const int kills = killsAt > 0 ? args.value(killsAt + 1).toInt() : 6;
  if (cli.isEmpty()) {
    out << "Kullanım: derslik-runcrash --cli DERSLIK_CLI [--seed N] [--random-kills N]\n";
    return 2;
  }
  return parent(cli, seed, kills);
}
