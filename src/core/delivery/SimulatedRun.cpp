#include "delivery/SimulatedRun.h"

#include <QElapsedTimer>
#include <QSet>
#include <QSqlQuery>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <random>

#include "delivery/RunSetup.h"
#include "receiver/ClassroomSimulation.h"
#include "receiver/ReportDecoder.h"
#include "school/Remotes.h"
#include "store/Store.h"

namespace delivery {

namespace {

constexpr qint64 kUntimedWindowMs = 20000;  // an untimed question: the class answers in 20 s
// A press on an untimed question comes within the longest time a question can
// be given (--duration fixed:3600).
constexpr int kLongestUntimedSeconds = 3600;

QByteArray reportOf(const QString& address, const QString& letter) {
  const QStringList parts = address.split(QLatin1Char('-'));
  return receiver::pressReport(parts.value(0).toInt(), parts.value(1).toInt(), letter);
}

QString lineError(int line, const QString& text) {
  return QStringLiteral("Cevap dosyası, satır %1: %2").arg(line).arg(text);
}

}  // namespace

SimulatedRun::SimulatedRun(store::Store& store, Messages& messages)
    : m_store(store), m_messages(messages) {}

SimulatedRun::~SimulatedRun() = default;

Result<QList<ScriptedRemote>> SimulatedRun::parseAnswers(const QString& text) {
  using Scripts = QList<ScriptedRemote>;
  Scripts out;
  QSet<QString> addresses;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    const QString line = lines.at(i).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 2 || words.size() > 3)
      return Result<Scripts>::failure(
          lineError(i + 1, QStringLiteral("\"ADRES HARFLER [SANİYELER]\" bekleniyordu.")));
    ScriptedRemote r;
    r.address = words.at(0);
    if (!school::remotes::validAddress(r.address))
      return Result<Scripts>::failure(
          lineError(i + 1, QStringLiteral("geçersiz kumanda adresi: ") + r.address));
    if (addresses.contains(r.address))
      return Result<Scripts>::failure(
          lineError(i + 1, QStringLiteral("kumanda iki kez yazılmış: ") + r.address));
    addresses.insert(r.address);
    r.letters = words.at(1).toUpper();
    for (const QChar c : r.letters)
      if (!QStringLiteral("ABCDEX-").contains(c))
        return Result<Scripts>::failure(lineError(
            i + 1,
            QStringLiteral("geçersiz harf '%1' (A-E, boş tuşu için X, basılmadıysa -)").arg(c)));
    if (words.size() == 3) {
      for (const QString& s : words.at(2).split(QLatin1Char(','))) {
        bool ok = false;
        const double v = s.toDouble(&ok);
        // "inf" and "nan" read as numbers; no press comes at either.
        if (!ok || !std::isfinite(v) || v < 0)
          return Result<Scripts>::failure(lineError(i + 1, QStringLiteral("geçersiz süre: ") + s));
        r.seconds << v;
      }
      if (r.seconds.size() != r.letters.size())
        return Result<Scripts>::failure(
            lineError(i + 1, QStringLiteral("%1 harf için %2 süre verilmiş.")
                                 .arg(r.letters.size())
                                 .arg(r.seconds.size())));
    }
    out.append(r);
  }
  return out;
}

Result<RunSetup::Start> SimulatedRun::classStart() {
  using R = Result<RunSetup::Start>;
  m_sent.clear();
  m_scriptOf.clear();
  for (const ScriptedRemote& r : m_options.scripted) m_scriptOf.insert(r.address, &r);
  m_clock = std::make_unique<receiver::ManualClock>(m_options.at);
  m_pipeline.setClock(m_clock.get());
  m_pipeline.setThreeButtonSetting(m_store.institution().threeButtonSetting);
  receiver::SimulationOptions silent;
  silent.remotes = 0;
  m_receiver = std::make_unique<receiver::SimulatedReceiver>(silent);
  m_receiver->setPlaying(false);
  m_receiver->Connect();

  // The run setup as the teacher would fill it: the class's remotes, all of them.
  Result<RunSetup::Start> start =
      RunSetup(m_store).unattendedStart(m_options.className, m_options.settings);
  if (!start) return start;
  const store::Query students = RunSetup::studentRemotesQuery(m_options.className);
  Result<QSqlQuery> rows = m_store.exec(students.sql, students.params);
  if (!rows) return R::failure(rows.error());
  while (rows.value().next())
    start.value().students.append({rows.value().value(0).toString(),
                                   rows.value().value(3).toString(),
                                   rows.value().value(4).toString()});
  return start;
}

Status SimulatedRun::checkScripts(const RunPlan& plan, int questions) const {
  const QSet<QString> present(plan.studentRemotes.cbegin(), plan.studentRemotes.cend());
  for (const ScriptedRemote& r : m_options.scripted) {
    if (!present.contains(r.address))
      return Status::failure(
          QStringLiteral("Cevap dosyasındaki kumanda bu uygulamada yok: %1 (sınıf %2)")
              .arg(r.address, m_options.className));
    if (r.letters.size() > questions)
      return Status::failure(QStringLiteral("Cevap dosyasında %1 için %2 harf var; testte %3 "
                                            "soru var.")
                                 .arg(r.address)
                                 .arg(r.letters.size())
                                 .arg(questions));
  }
  return {};
}

Status SimulatedRun::checkTimes(const std::function<int(int)>& secondsOf) const {
  for (const ScriptedRemote& r : m_options.scripted)
    for (qsizetype i = 0; i < r.seconds.size(); ++i) {
      const int position = int(i) + 1;
      const int seconds = secondsOf(position);
      const int allowed = seconds > 0 ? seconds : kLongestUntimedSeconds;
      if (r.seconds.at(i) > allowed)
        return Status::failure(
            QStringLiteral("Cevap dosyasında %1 için %2. sorunun basış zamanı (%3 sn) sorunun "
                           "süresinden (%4 sn%5) uzun.")
                .arg(r.address)
                .arg(position)
                .arg(r.seconds.at(i))
                .arg(allowed)
                .arg(seconds > 0 ? QString() : QStringLiteral(", süresiz bir soru için en çok")));
    }
  return {};
}

Result<reports::RunKey> SimulatedRun::run(const Options& options) {
  using Key = Result<reports::RunKey>;
  m_options = options;
  Result<RunSetup::Start> start = classStart();
  if (!start) return Key::failure(start.error());
  RunSetup setup(m_store);
  Result<RunSetup::TestSummary> test = setup.summary(options.testNo);
  if (!test) return Key::failure(test.error());
  start.value().test = test.value();
  start.value().level = test->level;
  const std::optional<RunPlan> plan = setup.start(start.value(), m_messages);
  if (!plan) return Key::failure(RunSetup::emptyTestText());
  if (Status s = checkScripts(plan.value(), test->questions); !s) return Key::failure(s.error());

  m_session = std::make_unique<RunSession>(m_store, m_teacher, *m_clock);
  m_pipeline.setConsumer(m_session.get());
  m_session->recording().setHooks(m_recordingHooks);
  if (Status s = m_session->open(plan.value()); !s) return Key::failure(s.error());
  // Nothing is written before the first question is left.
  const QList<RunQuestion> questions = m_session->content().questions;
  const RunSettings settings = m_session->plan().settings;
  if (Status s = checkTimes([&](int position) {
        return position <= questions.size()
                   ? RunContent::secondsFor(questions.at(position - 1), settings)
                   : 0;
      });
      !s)
    return Key::failure(s.error());
  if (Status s = drive(); !s) return Key::failure(s.error());
  return m_session->runKey();
}

Result<reports::RunKey> SimulatedRun::runFree(const Options& options, int questions) {
  using Key = Result<reports::RunKey>;
  m_options = options;
  Result<RunSetup::Start> start = classStart();
  if (!start) return Key::failure(start.error());
  start.value().test.name = QStringLiteral("Ödev Kontrol");
  const RunPlan plan = RunSetup(m_store).freePlan(start.value());
  if (Status s = checkScripts(plan, questions); !s) return Key::failure(s.error());
  // A free question is timed only in fixed-duration mode.
  const int seconds =
      RunContent::secondsFor({{}, QStringLiteral("Süresiz"), {}, {}}, plan.settings);
  if (Status s = checkTimes([seconds](int) { return seconds; }); !s) return Key::failure(s.error());

  m_session = std::make_unique<RunSession>(m_store, m_teacher, *m_clock);
  m_pipeline.setConsumer(m_session.get());
  m_session->recording().setHooks(m_recordingHooks);
  if (Status s = m_session->openFree(plan, questions); !s) return Key::failure(s.error());
  if (Status s = drive(); !s) return Key::failure(s.error());
  return m_session->runKey();
}

Status SimulatedRun::drive() {
  bool closed = false;
  QObject::connect(m_session.get(), &RunSession::closeRequested, [&closed] { closed = true; });
  m_real.start();
  const Status unfinished = Status::failure(QStringLiteral("Benzetim tamamlanamadı."));
  for (int guard = 0; !closed; ++guard) {
    if (guard > 1000000) return unfinished;
    switch (m_session->page()) {
      case RunSession::Page::StartScreen:
      case RunSession::Page::QuestionStatistics:
      case RunSession::Page::RemoteTest:
      case RunSession::Page::FinalStatistics:
        teacherNext();
        break;
      case RunSession::Page::Countdown:
        advanceTo(m_clock->msecs() + 1000);
        break;
      case RunSession::Page::Question:
        if (!(m_session->freeMode() ? playFreeQuestion() : playQuestion())) return unfinished;
        break;
      case RunSession::Page::Report:
        m_session->reportClosed();
        break;
      case RunSession::Page::Opened:
      case RunSession::Page::Finished:
        advanceTo(m_clock->msecs() + 100);
        break;
    }
  }
  return {};
}

void SimulatedRun::feed(const QByteArray& report) {
  m_receiver->inject(report);
  while (const std::optional<QByteArray> read = m_receiver->Read()) (void)m_radio.read(*read);
}

void SimulatedRun::advanceTo(qint64 ms) {
  while (m_clock->msecs() < ms) {
    m_clock->advance(std::min<qint64>(1000, ms - m_clock->msecs()));
    m_session->tick();
    if (m_options.speed > 0) {
      const qint64 due = qint64(double(m_clock->msecs()) / m_options.speed);
      if (const qint64 wait = due - m_real.elapsed(); wait > 0) QThread::msleep(quint64(wait));
    }
  }
}

void SimulatedRun::teacherKey(const QString& letter, RunSession::Command button) {
  const QStringList teachers = m_session->plan().teacherRemotes;
  if (teachers.isEmpty() || !school::remotes::validAddress(teachers.first())) {
    m_session->trigger(button);
    return;
  }
  feed(reportOf(teachers.first(), letter));
}

void SimulatedRun::teacherNext() {
  while (m_session->keyDelayActive()) advanceTo(m_clock->msecs() + 1000);
  teacherKey(QStringLiteral("B"), RunSession::Command::Next);
}

QList<SimulatedRun::Event> SimulatedRun::eventsOf(int position, qint64 window) const {
  const quint32 seed = m_options.seed * 1009u + quint32(position);
  std::mt19937 random(seed);
  QList<Event> events;
  QStringList unscripted;
  for (const QString& address : m_session->plan().studentRemotes) {
    const ScriptedRemote* scripted = m_scriptOf.value(address);
    if (!scripted) {
      unscripted << address;
      continue;
    }
    const QString letter = scripted->letters.mid(position - 1, 1);
    if (letter.isEmpty() || letter == QLatin1String("-")) continue;
    const qint64 at = scripted->seconds.isEmpty()
                          ? std::uniform_int_distribution<qint64>(
                                1000, std::max<qint64>(1000, window * 9 / 10))(random)
                          : qint64(scripted->seconds.at(position - 1) * 1000);
    events.append({at, address, letter});
  }
  if (!unscripted.isEmpty()) {
    receiver::SimulationOptions sim;
    sim.remotes = int(unscripted.size());
    sim.addresses = unscripted;
    sim.seed = seed;
    sim.questionMs = window;
    sim.medianThinkMs = double(window) / 3;
    receiver::ClassroomSimulation classroom(sim);
    for (const receiver::SimulatedReport& r : classroom.question(0, window)) {
      const receiver::DecodedReport d = receiver::decodeReport(r.data);
      events.append({r.atMs, d.address, d.letter});
    }
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const Event& a, const Event& b) { return a.at < b.at; });
  return events;
}

bool SimulatedRun::playQuestion() {
  const int position = m_session->position();
  const qint64 shown = m_clock->msecs();
  const RunSession::Countdown countdown = m_session->countdown();
  const qint64 window = countdown.timed ? qint64(countdown.total) * 1000 : kUntimedWindowMs;
  const auto stillHere = [&] {
    return m_session->page() == RunSession::Page::Question && m_session->position() == position;
  };
  for (const Event& e : eventsOf(position, window)) {
    advanceTo(shown + e.at);
    if (!stillHere()) return true;
    m_sent.append({position, e.address, e.letter, m_clock->msecs() - shown});
    feed(reportOf(e.address, e.letter));
    if (!stillHere()) return true;
  }
  if (countdown.timed) {
    // The countdown runs out (or everybody has answered already).
    for (int s = 0; s <= countdown.total + 2 && stillHere(); ++s)
      advanceTo(m_clock->msecs() + 1000);
    return !stillHere();
  }
  advanceTo(m_clock->msecs() + 1000);
  if (stillHere()) teacherNext();
  return !stillHere();
}

bool SimulatedRun::playFreeQuestion() {
  const int position = m_session->position();
  // The teacher asks the question, then opens the vote.
  advanceTo(m_clock->msecs() + 2000);
  if (!m_session->votingOpen()) teacherKey(QStringLiteral("C"), RunSession::Command::ShowAnswer);
  if (!m_session->votingOpen()) return false;
  const qint64 opened = m_clock->msecs();
  const RunSession::Countdown countdown = m_session->countdown();
  const qint64 window = countdown.timed ? qint64(countdown.total) * 1000 : kUntimedWindowMs;
  const auto voting = [&] {
    return m_session->page() == RunSession::Page::Question && m_session->position() == position &&
           m_session->votingOpen();
  };
  for (const Event& e : eventsOf(position, window)) {
    advanceTo(opened + e.at);
    if (!voting()) break;
    m_sent.append({position, e.address, e.letter, m_clock->msecs() - opened});
    feed(reportOf(e.address, e.letter));
  }
  if (countdown.timed) {
    // The countdown closes the vote, on the question.
    for (int s = 0; s <= countdown.total + 2 && voting(); ++s) advanceTo(m_clock->msecs() + 1000);
  } else {
    advanceTo(m_clock->msecs() + 1000);
    if (voting()) teacherKey(QStringLiteral("C"), RunSession::Command::ShowAnswer);
  }
  const auto stillHere = [&] {
    return m_session->page() == RunSession::Page::Question && m_session->position() == position;
  };
  if (stillHere()) teacherNext();
  return !stillHere();
}

}  // namespace delivery
