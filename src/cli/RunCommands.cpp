// derslik-cli verbs of running a test: a whole run by a simulated class, through
// the same receiver, session and recording code as the classroom.
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlQuery>
#include <QSqlRecord>

#include "CliCommand.h"
#include "delivery/JournalSender.h"
#include "delivery/SimulatedRun.h"
#include "store/SchemaTables.h"
#include "store/Store.h"
#include "web/ServedRun.h"

namespace cli {

namespace {

const Syntax& simulateSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("run simulate --test T --class C [--answers FILE] [--penalty 0|1|2] "
                            "[--duration tests|fixed:S|none] [--at \"dd.MM.yyyy HH:mm:ss\"] "
                            "[--speed F] [--seed K] [--json]"))
          .value(QStringLiteral("test"))
          .value(QStringLiteral("class"))
          .value(QStringLiteral("answers"))
          .value(QStringLiteral("penalty"))
          .value(QStringLiteral("duration"))
          .value(QStringLiteral("at"))
          .value(QStringLiteral("speed"))
          .value(QStringLiteral("seed"))
          .flag(QStringLiteral("json"));
  return s;
}

const Syntax& freeSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("run free --class C --questions N [--answers FILE] [--majority] "
                            "[--at \"dd.MM.yyyy HH:mm:ss\"] [--json]"))
          .value(QStringLiteral("class"))
          .value(QStringLiteral("questions"))
          .value(QStringLiteral("answers"))
          .flag(QStringLiteral("majority"))
          .value(QStringLiteral("at"))
          .flag(QStringLiteral("json"));
  return s;
}

const Syntax& serveSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("run serve --test T --class C [--port N] [--bind ADRES] "
                            "[--duration tests|fixed:S] [--at \"dd.MM.yyyy HH:mm:ss\"] [--json]"))
          .value(QStringLiteral("test"))
          .value(QStringLiteral("class"))
          .value(QStringLiteral("port"))
          .value(QStringLiteral("bind"))
          .value(QStringLiteral("duration"))
          .value(QStringLiteral("at"))
          .flag(QStringLiteral("json"));
  return s;
}

// --at, of every verb.
std::optional<QString> applyStart(const Args& a, delivery::SimulatedRun::Options& o) {
  if (a.has(QStringLiteral("at"))) {
    o.at =
        QDateTime::fromString(a.value(QStringLiteral("at")), QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    if (!o.at.isValid())
      return QStringLiteral(
          "--at \"gg.aa.yyyy SS:dd:ss\" biçiminde olmalı (ör. \"14.03.2026 "
          "10:15:00\").");
  }
  return std::nullopt;
}

// The options as words say them; a word that does not read is a usage error.
std::optional<QString> applyOptions(const Args& a, delivery::SimulatedRun::Options& o) {
  using delivery::RunSettings;
  o.testNo = a.value(QStringLiteral("test"));
  o.className = a.value(QStringLiteral("class"));
  if (o.testNo.isEmpty()) return QStringLiteral("--test gerekli.");
  if (o.className.isEmpty()) return QStringLiteral("--class gerekli.");
  if (a.has(QStringLiteral("penalty"))) {
    const std::optional<reports::Penalty> p =
        reports::penaltyFromOption(a.value(QStringLiteral("penalty")));
    if (!p) return QStringLiteral("--penalty 0, 1 ya da 2 olmalı.");
    o.settings.penalty = *p;
  }
  if (a.has(QStringLiteral("duration"))) {
    const QString d = a.value(QStringLiteral("duration"));
    bool ok = true;
    if (d == QLatin1String("tests")) {
      o.settings.duration = RunSettings::Duration::PerQuestion;
    } else if (d == QLatin1String("none")) {
      o.settings.duration = RunSettings::Duration::Untimed;
    } else if (d.startsWith(QLatin1String("fixed:"))) {
      o.settings.duration = RunSettings::Duration::Fixed;
      o.settings.fixedSeconds = d.mid(6).toInt(&ok);
      ok = ok && o.settings.fixedSeconds > 0 && o.settings.fixedSeconds <= 3600;
    } else {
      ok = false;
    }
    if (!ok) return QStringLiteral("--duration tests, fixed:SANİYE (1-3600) ya da none olmalı.");
  }
  if (const std::optional<QString> wrong = applyStart(a, o)) return wrong;
  if (a.has(QStringLiteral("speed"))) {
    bool ok = false;
    o.speed = a.value(QStringLiteral("speed")).toDouble(&ok);
    if (!ok || o.speed <= 0) return QStringLiteral("--speed sıfırdan büyük bir sayı olmalı.");
  }
  if (a.has(QStringLiteral("seed"))) {
    bool ok = false;
    o.seed = a.value(QStringLiteral("seed")).toUInt(&ok);
    if (!ok) return QStringLiteral("--seed bir sayı olmalı.");
  }
  return std::nullopt;
}

QString jsonText(const QString& text) {
  const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// The run key and its result rows, best first, each row's keys in TABLESONUC's
// column order (a JSON object of Qt's own would sort them).
QString runJson(store::Store& store, const reports::RunKey& key) {
  QStringList rows;
  // The table's own columns: the school's server adds one of its own to each table.
  Result<QSqlQuery> q = store.exec(
      QStringLiteral("SELECT %1 FROM TABLESONUC WHERE TESTTARIHI=? AND TESTBASLANGIC=? ORDER BY "
                     "CAST(KACINCIOLDU AS INTEGER)")
          .arg(store::findMainTable(QStringLiteral("TABLESONUC"))
                   ->columnNames()
                   .join(QLatin1Char(','))),
      {key.date, key.start});
  while (q && q.value().next()) {
    const QSqlRecord r = q.value().record();
    QStringList fields;
    for (int i = 0; i < r.count(); ++i)
      if (r.fieldName(i) != QLatin1String("ID"))
        fields << jsonText(r.fieldName(i)) + QStringLiteral(": ") + jsonText(r.value(i).toString());
    rows << QStringLiteral("    {") + fields.join(QStringLiteral(", ")) + QLatin1Char('}');
  }
  return QStringLiteral(
             "{\n  \"TESTTARIHI\": %1,\n  \"TESTBASLANGIC\": %2,\n  \"TABLESONUC\": [\n%3\n  "
             "]\n}\n")
      .arg(jsonText(key.date), jsonText(key.start), rows.join(QStringLiteral(",\n")));
}

// The answers file of --answers, when given; false after saying why it was not read.
bool readAnswers(const Args& a, delivery::SimulatedRun::Options& o, QTextStream& err) {
  if (!a.has(QStringLiteral("answers"))) return true;
  QFile file(a.value(QStringLiteral("answers")));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    err << "Cevap dosyası okunamadı: " << file.fileName() << '\n';
    return false;
  }
  Result<QList<delivery::ScriptedRemote>> scripted =
      delivery::SimulatedRun::parseAnswers(QString::fromUtf8(file.readAll()));
  if (!scripted) {
    err << scripted.error() << '\n';
    return false;
  }
  o.scripted = scripted.value();
  return true;
}

// A board on the school's server records the run into its journal, sent while
// the run goes on: one line when the server goes away, one when all is sent.
bool startJournal(store::Store& store, QTextStream& out, QTextStream& err) {
  delivery::JournalSender* journal = delivery::JournalSender::of(store);
  if (!journal) return true;
  QObject::connect(journal, &delivery::JournalSender::offlineChanged, journal, [&out](bool away) {
    if (away) out << delivery::JournalSender::offlineText() << '\n' << Qt::flush;
  });
  QObject::connect(journal, &delivery::JournalSender::journalSent, journal, [&out](int questions) {
    out << delivery::JournalSender::sentText(questions) << '\n' << Qt::flush;
  });
  if (Status s = journal->start(); !s) {
    err << s.error() << '\n';
    return false;
  }
  return true;
}

// Waits for the journal to reach the server; false when it could not (it stays
// on the board and goes at the next start).
bool finishJournal(store::Store& store, QTextStream& err) {
  delivery::JournalSender* journal = delivery::JournalSender::of(store);
  if (!journal) return true;
  constexpr int kWaitMs = 60000;
  if (!journal->waitUntilSent(kWaitMs)) {
    err << QStringLiteral(
               "Sunucuya ulaşılamadı: %1 kayıt bu tahtada saklandı, Derslik bir "
               "sonraki açılışta gönderecek.")
               .arg(journal->pendingCount().valueOr(0))
        << '\n';
    return false;
  }
  // The command's own connection may not have outlived the server's absence.
  if (Result<store::CheckReport> opened = store.open(); !opened) {
    err << opened.error() << '\n';
    return false;
  }
  return true;
}

int printRun(store::Store& store, const Args& a, const Result<reports::RunKey>& key,
             QTextStream& out, QTextStream& err) {
  if (!key) {
    err << key.error() << '\n';
    return 1;
  }
  if (!finishJournal(store, err)) return 1;
  // A run started while the server was away may have found its second taken.
  const delivery::JournalSender* journal = delivery::JournalSender::of(store);
  const reports::RunKey sent = journal ? journal->serverKey(key.value()) : key.value();
  if (a.has(QStringLiteral("json"))) {
    out << runJson(store, sent);
  } else {
    out << "TESTTARIHI: " << sent.date << '\n' << "TESTBASLANGIC: " << sent.start << '\n';
  }
  return 0;
}

// The saved run options, as the setup screen would start with them, and the
// choices given here; there is no report screen to open in a terminal. False
// after saying why they were not read.
bool savedSettings(store::Store& store, const Args& a, delivery::SimulatedRun::Options& options,
                   QTextStream& err) {
  Result<delivery::RunSettings> saved = delivery::RunSettings::load(store.db());
  if (!saved) {
    err << saved.error() << '\n';
    return false;
  }
  // The three-button rule is applied where the run is set up, over these.
  delivery::RunSettings settings = saved.value();
  if (a.has(QStringLiteral("penalty"))) settings.penalty = options.settings.penalty;
  if (a.has(QStringLiteral("duration"))) {
    settings.duration = options.settings.duration;
    settings.fixedSeconds = options.settings.fixedSeconds;
  }
  settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
  settings.reportAtEnd = false;
  settings.remoteTestScreen = false;
  options.settings = settings;
  return true;
}

int simulate(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, simulateSyntax(), err, code);
  if (!a) return code;
  delivery::SimulatedRun::Options options;
  if (const std::optional<QString> wrong = applyOptions(*a, options))
    return usageError(err, *wrong, simulateSyntax());
  if (!readAnswers(*a, options, err)) return 1;
  if (!openDatabase(store, err, true)) return 1;

  if (!savedSettings(store, *a, options, err)) return 1;

  CliMessages messages(out, err, false);
  if (!startJournal(store, out, err)) return 1;
  delivery::SimulatedRun run(store, messages);
  return printRun(store, *a, run.run(options), out, err);
}

// The homework check of a class, headless: the free run ends after --questions.
int freeRun(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, freeSyntax(), err, code);
  if (!a) return code;
  delivery::SimulatedRun::Options options;
  options.className = a->value(QStringLiteral("class"));
  if (options.className.isEmpty())
    return usageError(err, QStringLiteral("--class gerekli."), freeSyntax());
  bool ok = false;
  const int questions = a->value(QStringLiteral("questions")).toInt(&ok);
  if (!ok || questions < 1 || questions > 1000)
    return usageError(err, QStringLiteral("--questions 1 ile 1000 arasında bir sayı olmalı."),
                      freeSyntax());
  if (const std::optional<QString> wrong = applyStart(*a, options))
    return usageError(err, *wrong, freeSyntax());
  if (!readAnswers(*a, options, err)) return 1;
  if (!openDatabase(store, err, true)) return 1;

  // The options the homework check reads from the test setup's saved rows;
  // the majority only when asked for here.
  Result<delivery::RunSettings> saved = delivery::RunSettings::loadForFreeQuestions(store.db());
  if (!saved) {
    err << saved.error() << '\n';
    return 1;
  }
  options.settings = saved.value();
  options.settings.majorityIsCorrect = a->has(QStringLiteral("majority"));
  options.settings.remoteTestScreen = false;

  CliMessages messages(out, err, false);
  if (!startJournal(store, out, err)) return 1;
  delivery::SimulatedRun run(store, messages);
  return printRun(store, *a, run.runFree(options, questions), out, err);
}

// A run answered from the students' browsers on this network, in real time.
int serve(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, serveSyntax(), err, code);
  if (!a) return code;
  delivery::SimulatedRun::Options options;
  // Nobody is at the board to end an untimed question: no "none" here.
  const QString durationWrong =
      QStringLiteral("--duration tests ya da fixed:SANİYE (1-3600) olmalı.");
  if (a->value(QStringLiteral("duration")) == QLatin1String("none"))
    return usageError(err, durationWrong, serveSyntax());
  if (const std::optional<QString> wrong = applyOptions(*a, options))
    return usageError(err, wrong->startsWith(QLatin1String("--duration")) ? durationWrong : *wrong,
                      serveSyntax());
  web::ServedRun::Options served;
  if (a->has(QStringLiteral("port"))) {
    bool ok = false;
    const int port = a->value(QStringLiteral("port")).toInt(&ok);
    if (!ok || port < 1 || port > 65535)
      return usageError(err, QStringLiteral("--port 1 ile 65535 arasında bir sayı olmalı."),
                        serveSyntax());
    served.server.port = quint16(port);
  }
  if (a->has(QStringLiteral("bind"))) {
    const QHostAddress bind(a->value(QStringLiteral("bind")));
    if (bind.isNull())
      return usageError(err, QStringLiteral("--bind bir IP adresi olmalı (ör. 10.1.2.3)."),
                        serveSyntax());
    served.server.bind = bind;
  }
  if (!openDatabase(store, err, true)) return 1;
  if (!savedSettings(store, *a, options, err)) return 1;
  served.testNo = options.testNo;
  served.className = options.className;
  served.settings = options.settings;
  served.at = options.at;
  served.receiver = true;

  CliMessages messages(out, err, false);
  web::ServedRun run(store, messages);
  run.setListening([&out](const web::AnswerServer& server) {
    out << "Katılım: " << server.url() << " Kod: " << server.joinCode() << '\n';
    out.flush();
  });
  return printRun(store, *a, run.run(served), out, err);
}

QString runUsage() {
  return simulateSyntax().usage + QStringLiteral(" | ") + freeSyntax().usage.mid(4) +
         QStringLiteral(" | ") + serveSyntax().usage.mid(4);
}

int runVerb(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  if (words.value(0) == QStringLiteral("simulate")) return simulate(store, words.mid(1), out, err);
  if (words.value(0) == QStringLiteral("free")) return freeRun(store, words.mid(1), out, err);
  if (words.value(0) == QStringLiteral("serve")) return serve(store, words.mid(1), out, err);
  return subCommandError(err, words, runUsage());
}

}  // namespace

QList<CliCommand> runCommands() {
  return {{QStringLiteral("run"),
           runUsage() + QStringLiteral("   bir testi ya da serbest soruları sanal bir sınıfla "
                                       "ya da öğrencilerin tarayıcılarıyla baştan sona "
                                       "uygular ve kaydeder"),
           runVerb}};
}

}  // namespace cli
