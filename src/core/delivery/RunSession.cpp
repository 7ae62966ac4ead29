#include "delivery/RunSession.h"

#include <algorithm>
#include <optional>

#include "delivery/JournalSender.h"
#include "store/Store.h"

namespace delivery {

namespace {

const QString kUntimed = QStringLiteral("Süresiz");
constexpr qint64 kKeyDelayMs = 5000;
constexpr qint64 kCloseDelayMs = 500;
constexpr int kStartCount = 3;
constexpr int kLastSeconds = 10;

}  // namespace

RunSession::RunSession(store::Store& store, Messages& messages, const receiver::Clock& clock,
                       QObject* parent)
    : QObject(parent), m_store(store), m_messages(messages), m_clock(clock), m_recording(store) {
  m_ticker.setInterval(100);
  connect(&m_ticker, &QTimer::timeout, this, &RunSession::tick);
  if (JournalSender* sender = JournalSender::of(store)) {
    m_journal = sender->sink();
    m_sink = m_journal.get();
  }
}

void RunSession::prepare(const RunPlan& plan) {
  m_plan = plan;
  if (m_plan.studentRemotes.isEmpty()) {
    m_plan.studentRemotes = {RunPlan::kVirtualRemote};
    m_plan.names = {RunPlan::kVirtualRemote};
    m_plan.settings.remoteTestScreen = false;
  }
  while (m_plan.names.size() < m_plan.studentRemotes.size())
    m_plan.names << m_plan.studentRemotes.at(m_plan.names.size());
}

Status RunSession::open(const RunPlan& plan) {
  m_free = false;
  prepare(plan);
  Result<RunContent> content =
      RunContent::load(m_store, m_plan.description.testNo, m_plan.settings);
  if (!content) return Status::failure(content.error());
  m_content = content.value();
  if (m_content.questions.isEmpty())
    return Status::failure(QStringLiteral("İçerisinde soru olmayan bir test uygulanamaz"));

  m_steps.clear();
  const bool resuming = !m_plan.resume.isEmpty();
  if (resuming) {
    m_key = m_plan.resume;
    Result<QList<int>> stored = m_sink->storedPositions(m_key);
    if (!stored) return Status::failure(stored.error());
    m_stored = stored.value();
  } else {
    m_key = {m_clock.now().date().toString(QStringLiteral("dd.MM.yyyy")), {}};
    if (m_content.startScreen) m_steps << Step::StartScreen;
    if (m_content.questionStatistics) m_steps << Step::QuestionStatistics;
    if (m_plan.settings.remoteTestScreen && !m_plan.virtualRemoteOnly())
      m_steps << Step::RemoteTest;
  }
  beginSteps();
  return {};
}

Status RunSession::openFree(const RunPlan& plan, int questionLimit) {
  if (plan.studentRemotes.isEmpty()) return Status::failure(noRemoteText());
  prepare(plan);
  m_free = true;
  m_limit = std::max(questionLimit, 0);
  m_freeLeft.clear();
  if (!lesson()) m_plan.description.testNo = RunPlan::kFreeTestNo;
  m_plan.resume = {};
  m_content = {};
  // The run is dated when it opens: there is no start page to wait for.
  m_key = {m_clock.now().date().toString(QStringLiteral("dd.MM.yyyy")), {}};
  Result<QString> start = m_sink->freeStartTime(m_key.date, m_clock.timeOfDay());
  if (!start) return Status::failure(start.error());
  m_key.start = start.value();
  m_steps.clear();
  // A lesson waits on its first page for "Göster (B)": the remote test, or an
  // empty board.
  if (m_plan.settings.remoteTestScreen && !m_plan.virtualRemoteOnly())
    m_steps << Step::RemoteTest;
  else if (lesson())
    m_steps << Step::StartScreen;
  beginSteps();
  return {};
}

void RunSession::beginSteps() {
  m_steps << Step::Questions;
  if (m_plan.settings.reportAtEnd) m_steps << Step::FinalStatistics;
  m_names = m_plan.names;
  m_tiles.reset(m_plan.studentRemotes);
  m_answeredMs = QList<qint64>(m_tiles.size(), -1);
  next();
}

QSet<QString> RunSession::teacherRemotes() const {
  QSet<QString> out(m_plan.teacherRemotes.begin(), m_plan.teacherRemotes.end());
  out.insert(activity::kTeacherPageAddress);
  return out;
}

void RunSession::startTicking() { m_ticker.start(); }

// ---- presses -------------------------------------------------------------------

void RunSession::press(const receiver::AdmittedPress& p) {
  if (m_closed || p.press.Dugme.isEmpty()) return;
  if (p.teacher)
    (void)teacherKey(p.press.Dugme, KeySource::Remote);
  else
    studentPress(p);
}

void RunSession::studentPress(const receiver::AdmittedPress& p) {
  const QString& address = p.press.KumandaAdresi;
  if (m_page == Page::RemoteTest) {
    for (int i = 0; i < m_testTiles.size(); ++i) {
      if (m_testTiles.tiles().at(i).address != address) continue;
      if (m_testTiles.mark(p.press, m_clock.timeOfDay())) {
        emit tileChanged(i);
        emit changed();
      }
      return;
    }
    return;
  }
  // Answers count while the question runs (in a free run, while the vote is
  // open); a paused question takes none.
  if (m_page != Page::Question || m_paused || !votingOpen()) return;
  for (int i = 0; i < m_tiles.size(); ++i) {
    if (m_tiles.tiles().at(i).address != address) continue;
    if (!m_tiles.mark(p.press, m_clock.timeOfDay())) return;
    m_answeredMs[i] = now();
    emit tileChanged(i);
    emit changed();
    if (m_plan.settings.goOnWhenAllAnswered && m_tiles.allAnswered()) next();
    return;
  }
}

activity::AnswerState RunSession::answerState(const QString& address) const {
  activity::AnswerState state;
  state.keys =
      m_store.institution().threeButton() ? QStringLiteral("ABC") : QStringLiteral("ABCDE");
  if (m_closed) return state;
  // The remote test takes a press of every device too, as question 0.
  if (m_page == Page::RemoteTest) {
    state.open = true;
    if (const activity::RemoteTiles::Tile* tile = m_testTiles.find(address))
      state.answer = tile->letter;
    return state;
  }
  if (m_page != Page::Question) return state;
  state.question = position();
  state.open = !m_paused && votingOpen();
  if (const activity::RemoteTiles::Tile* tile = m_tiles.find(address)) state.answer = tile->letter;
  return state;
}

bool RunSession::teacherKey(const QString& letter, KeySource source) {
  if (letter.isEmpty() || m_closed) return false;
  const char key = letter.at(0).toLatin1();
  if (m_confirmingExit) {
    if (key == 'B') return trigger(Command::ConfirmExit);
    if (key == 'A' || key == 'X') return trigger(Command::CancelExit);
    return false;
  }
  switch (key) {
    case 'X':
      return trigger(Command::Exit);
    case 'B':
      if (source == KeySource::Remote && keyDelayActive()) return false;
      return trigger(m_page == Page::Report ? Command::Continue : Command::Next);
    default:
      break;
  }
  if (m_page != Page::Question) return false;
  switch (key) {
    case 'A':
      return trigger(Command::Previous);
    case 'C':
      return trigger(m_free ? Command::ShowAnswer : Command::Replay);
    case 'D':
      return trigger(Command::ToggleCounts);
    case 'E':
      return trigger(Command::Pause);
    case 'G':
      return !m_free && trigger(Command::ShowAnswer);
    default:
      return false;
  }
}

activity::TeacherState RunSession::teacherState() const {
  activity::TeacherState t;
  t.address = activity::kTeacherPageAddress;
  switch (m_page) {
    case Page::Opened:
    case Page::Countdown:
      t.title = QStringLiteral("Test başlıyor");
      break;
    case Page::StartScreen:
      t.title = lesson() ? QStringLiteral("Ders") : QStringLiteral("Başlangıç ekranı");
      break;
    case Page::QuestionStatistics:
      t.title = QStringLiteral("Soru ve süre bilgisi");
      break;
    case Page::RemoteTest:
      t.title = QStringLiteral("Kumanda testi");
      break;
    case Page::Question:
      t.title = QStringLiteral("Soru ") + progressText();
      break;
    case Page::Report:
      t.title = QStringLiteral("Soru raporu");
      break;
    case Page::FinalStatistics:
      t.title = QStringLiteral("Test sonu");
      break;
    case Page::Finished:
      t.title = QStringLiteral("Test bitti");
      break;
  }
  if (m_closed || m_closeAt >= 0) return t;
  if (m_asking) {
    // The board waits for an answer to its own question; no key acts meanwhile.
    t.info = QStringLiteral("Tahtada bir soru açık: tahtadan yanıtlayın.");
    return t;
  }
  if (m_page == Page::Question || m_page == Page::RemoteTest) {
    const activity::RemoteTiles::Counts c = counts();
    QStringList info{QStringLiteral("Cevap veren: %1 / %2")
                         .arg(c.answered + c.blank)
                         .arg(m_page == Page::RemoteTest ? m_testTiles.size() : m_tiles.size())};
    if (m_page == Page::Question && m_paused) info << QStringLiteral("Süre durduruldu");
    if (m_page == Page::Question && m_free)
      info << (m_voting ? QStringLiteral("Oylama açık") : QStringLiteral("Oylama kapalı"));
    if (m_page == Page::Question && m_answerShown) info << QStringLiteral("Cevap: ") + answerText();
    t.info = info.join(QStringLiteral(" · "));
  }
  // The caption without its key letter: "Sonraki Soru (B)" -> "Sonraki Soru".
  const auto add = [&](Command c, const QString& name, const QString& key) {
    if (!isAvailable(c)) return;
    QString text = caption(c);
    if (const qsizetype cut = text.indexOf(QLatin1String(" (")); cut > 0) text.truncate(cut);
    t.commands.append({name, text, key});
  };
  if (m_confirmingExit) {
    add(Command::ConfirmExit, QStringLiteral("onayla"), QStringLiteral("B"));
    add(Command::CancelExit, QStringLiteral("vazgec"), QStringLiteral("A"));
    return t;
  }
  if (m_page == Page::Question) add(Command::Previous, QStringLiteral("geri"), QStringLiteral("A"));
  // A remote's B waits out the key delay after "next"; so does the page's.
  if (!keyDelayActive()) {
    add(Command::Next, QStringLiteral("ileri"), QStringLiteral("B"));
    add(Command::Continue, QStringLiteral("devam"), QStringLiteral("B"));
  }
  add(Command::Pause, QStringLiteral("durdur"), QStringLiteral("E"));
  if (m_free)
    add(Command::ShowAnswer, QStringLiteral("oylama"), QStringLiteral("C"));
  else
    add(Command::ShowAnswer, QStringLiteral("cevap"), QStringLiteral("G"));
  add(Command::Exit, QStringLiteral("cikis"), QStringLiteral("X"));
  return t;
}

QString RunSession::keyboardLetter(int key, bool confirmingExit) {
  switch (key) {
    case Qt::Key_Right:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
    case Qt::Key_B:
      return QStringLiteral("B");
    case Qt::Key_Left:
    case Qt::Key_PageUp:
    case Qt::Key_A:
      return QStringLiteral("A");
    case Qt::Key_C:
      return QStringLiteral("C");
    case Qt::Key_D:
      return QStringLiteral("D");
    case Qt::Key_E:
      return QStringLiteral("E");
    case Qt::Key_Escape:
      return QStringLiteral("X");
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return confirmingExit ? QStringLiteral("B") : QString();
    default:
      return {};
  }
}

// ---- time ----------------------------------------------------------------------

void RunSession::tick() {
  if (m_closed) return;
  const qint64 t = now();
  if (m_closeAt >= 0) {
    if (t < m_closeAt) return;
    m_closeAt = -1;
    m_closed = true;
    m_ticker.stop();
    emit closeRequested();
    return;
  }
  if (m_page == Page::Countdown) {
    if (t - m_countdownFrom >= kStartCount * 1000) return showQuestion();
    if (startCountdown() != m_lastStartCount) {
      m_lastStartCount = startCountdown();
      emit changed();
    }
    return;
  }
  if (m_page != Page::Question || m_seconds <= 0 || held()) return;
  // The countdown shows 0 for a second, then the question is left as by "next";
  // a free question only closes its vote and stays.
  if (questionElapsed() >= qint64(m_seconds + 1) * 1000) return m_free ? setVoting(false) : next();
  if (const int remaining = countdown().remaining; remaining != m_lastRemaining) {
    m_lastRemaining = remaining;
    emit changed();
  }
}

qint64 RunSession::questionElapsed() const {
  const qint64 pausedNow = held() ? now() - m_pausedAt : 0;
  return now() - m_shownMs - m_pausedTotal - pausedNow;
}

RunSession::Countdown RunSession::countdown() const {
  Countdown c;
  if (m_page != Page::Question || m_seconds <= 0) {
    c.remainingText = c.visibleText = kUntimed;
    return c;
  }
  c.timed = true;
  c.total = m_seconds;
  c.remaining = int(std::max<qint64>(m_seconds - questionElapsed() / 1000, 0));
  c.remainingText = QString::number(c.remaining);
  // With the last-ten-seconds option the visible figure keeps the full time
  // until ten seconds are left.
  const int visible =
      m_plan.settings.lastTenSecondsOnly && c.remaining > kLastSeconds ? m_seconds : c.remaining;
  c.visibleText = QString::number(visible) + QStringLiteral(" sn");
  return c;
}

int RunSession::startCountdown() const {
  if (m_page != Page::Countdown) return 0;
  return int(std::clamp<qint64>(kStartCount - (now() - m_countdownFrom) / 1000, 1, kStartCount));
}

bool RunSession::keyDelayActive() const { return m_keyDelayUntil >= 0 && now() < m_keyDelayUntil; }

// ---- commands ------------------------------------------------------------------

bool RunSession::isAvailable(Command command) const {
  if (m_closed || m_closeAt >= 0) return false;
  if (m_confirmingExit) return command == Command::ConfirmExit || command == Command::CancelExit;
  const bool onQuestion = m_page == Page::Question;
  switch (command) {
    case Command::Next:
      return m_page == Page::StartScreen || m_page == Page::QuestionStatistics ||
             m_page == Page::RemoteTest || onQuestion || m_page == Page::FinalStatistics;
    case Command::Previous:
    case Command::ShowAnswer:
      return onQuestion;
    case Command::Solution:
      return onQuestion && !m_free;
    case Command::ToggleCounts:
      return onQuestion && !virtualRemoteOnly();
    case Command::Pause:
      return onQuestion && m_seconds > 0 && votingOpen();
    case Command::Replay:
      return onQuestion && question() != nullptr && !question()->mediaFile.isEmpty();
    case Command::Exit:
      return m_page != Page::Finished && m_page != Page::Report;
    case Command::Continue:
      return m_page == Page::Report;
    case Command::ConfirmExit:
    case Command::CancelExit:
      return false;
  }
  return false;
}

QList<RunSession::Command> RunSession::availableCommands() const {
  QList<Command> out;
  for (Command c : {Command::Previous, Command::ToggleCounts, Command::Pause, Command::Next,
                    Command::ShowAnswer, Command::Replay, Command::Solution, Command::Exit,
                    Command::ConfirmExit, Command::CancelExit, Command::Continue})
    if (isAvailable(c)) out << c;
  return out;
}

bool RunSession::trigger(Command command) {
  if (m_asking || !isAvailable(command)) return false;
  switch (command) {
    case Command::Next:
      if (!confirmNext()) return false;
      next();
      break;
    case Command::Continue:
      reportClosed();
      break;
    case Command::Previous:
      leaveQuestion(-1);
      break;
    case Command::ToggleCounts:
      m_countsShown = !m_countsShown;
      emit changed();
      break;
    case Command::Pause:
      pause(!m_paused);
      break;
    case Command::ShowAnswer:
      if (m_free) {
        setVoting(!m_voting);
        break;
      }
      m_answerShown = !m_answerShown;
      emit changed();
      break;
    case Command::Replay:
      emit replayRequested(question()->mediaFile);
      break;
    case Command::Solution:
      m_solutionShown = !m_solutionShown;
      emit changed();
      break;
    case Command::Exit:
      m_confirmingExit = true;
      emit changed();
      break;
    case Command::ConfirmExit:
      exitRun();
      break;
    case Command::CancelExit:
      m_confirmingExit = false;
      emit changed();
      break;
  }
  return true;
}

QString RunSession::caption(Command command) const {
  switch (command) {
    case Command::Previous:
      return QStringLiteral("Önceki Soru (A)");
    case Command::ToggleCounts:
      return m_countsShown ? QStringLiteral("Öğrencileri Göster (D)")
                           : QStringLiteral("Sayıları Göster (D)");
    case Command::Pause:
      return m_paused ? QStringLiteral("Devam Et (E)") : QStringLiteral("Süreyi Durdur (E)");
    case Command::Next:
      return m_nextCaption;
    case Command::ShowAnswer:
      if (m_free)
        return m_voting ? QStringLiteral("Oylamayı Durdur (C)")
                        : QStringLiteral("Oylamayı Başlat (C)");
      return m_answerShown ? QStringLiteral("Cevabı Gizle") : QStringLiteral("Cevabı Göster");
    case Command::Replay:
      return QStringLiteral("Yeniden Oynat (C)");
    case Command::Solution:
      return m_solutionShown ? QStringLiteral("Soruyu Göster") : QStringLiteral("Çözümü Göster");
    case Command::Exit:
      return QStringLiteral("Çıkış (BOŞ)");
    case Command::ConfirmExit:
      return QStringLiteral("Çık (B)");
    case Command::CancelExit:
      return QStringLiteral("Vazgeç (A)");
    case Command::Continue:
      return QStringLiteral("Teste Devam Et (B)");
  }
  return {};
}

bool RunSession::confirmNext() {
  QString question;
  if (m_page == Page::RemoteTest) {
    const int silent = m_testTiles.size() - m_testTiles.counts().answered;
    if (silent > 0) question = leaveOutQuestion(silent);
  } else if (m_page == Page::Question && !m_free && m_cursor == questionCount() - 1) {
    // Everybody has answered, or the time is over: the test ends as asked.
    const int unanswered = m_tiles.counts().notAnswered;
    const Countdown c = countdown();
    if (unanswered > 0 && (!c.timed || c.remaining > 0)) question = endQuestion(unanswered);
  }
  if (question.isEmpty()) return true;
  const Page page = m_page;
  const int cursor = m_cursor;
  m_asking = true;
  const bool yes = m_messages.ask(question);
  m_asking = false;
  // While the question was open the run may have gone on by itself (the
  // countdown ran out, everybody answered): then there is nothing left to do.
  return yes && !m_closed && m_page == page && m_cursor == cursor;
}

void RunSession::pause(bool on) {
  if (on == m_paused) return;
  changeHold([&] { m_paused = on; });
  emit changed();
}

template <typename Change>
void RunSession::changeHold(Change change) {
  const bool was = held();
  change();
  const bool is = held();
  if (was == is) return;
  if (is)
    m_pausedAt = now();
  else
    m_pausedTotal += now() - m_pausedAt;
}

void RunSession::setVoting(bool open) {
  if (open == m_voting) return;
  changeHold([&] {
    m_voting = open;
    if (open) m_paused = false;
  });
  if (open) {
    // Answer times and the countdown start when the vote opens.
    m_shownMs = now();
    m_pausedTotal = 0;
    m_lastRemaining = m_seconds;
  }
  emit changed();
}

QString RunSession::votingText() const {
  return votingOpen() ? votingOpenText() : votingClosedText();
}

void RunSession::reportClosed() {
  if (m_page != Page::Report) return;
  showQuestion();
}

// ---- the pages -----------------------------------------------------------------

void RunSession::next() {
  m_keyDelayUntil = now() + kKeyDelayMs;
  if (m_steps.isEmpty()) return scheduleClose();
  switch (m_steps.first()) {
    case Step::StartScreen:
      m_steps.removeFirst();
      m_page = Page::StartScreen;
      m_nextCaption = lesson() ? lessonStartCaption()
                      : !m_steps.isEmpty() && m_steps.first() == Step::QuestionStatistics
                          ? QStringLiteral("İleri (B)")
                          : QStringLiteral("Teste Başla (B)");
      break;
    case Step::QuestionStatistics:
      m_steps.removeFirst();
      m_page = Page::QuestionStatistics;
      m_nextCaption = QStringLiteral("Teste Başla (B)");
      break;
    case Step::RemoteTest:
      m_steps.removeFirst();
      m_testTiles.reset(m_plan.studentRemotes);
      m_remoteTestShown = true;
      m_page = Page::RemoteTest;
      m_nextCaption = lesson() ? lessonStartCaption() : QStringLiteral("Teste Başla (B)");
      break;
    case Step::Questions:
      if (!m_questionsBegun) return beginQuestions();
      leaveQuestion(+1);
      return;
    case Step::FinalStatistics:  // reached only through finishRun()
      m_steps.removeFirst();
      break;
  }
  emit changed();
}

void RunSession::beginQuestions() {
  m_questionsBegun = true;
  // Only the remotes that pressed a letter on the remote test take part.
  if (m_remoteTestShown) {
    QStringList addresses;
    QStringList names;
    m_leftOut.clear();
    m_leftOutRemotes.clear();
    for (int i = 0; i < m_testTiles.size(); ++i) {
      if (m_testTiles.tiles().at(i).state != activity::RemoteTiles::State::Answered) {
        m_leftOut << m_plan.names.at(i);
        m_leftOutRemotes << m_plan.studentRemotes.at(i);
        continue;
      }
      addresses << m_plan.studentRemotes.at(i);
      names << m_plan.names.at(i);
    }
    if (addresses.isEmpty()) {
      addresses = names = QStringList{RunPlan::kVirtualRemote};
    }
    m_plan.studentRemotes = addresses;
    m_plan.names = m_names = names;
    m_tiles.reset(addresses);
    m_answeredMs = QList<qint64>(m_tiles.size(), -1);
  }
  if (m_key.start.isEmpty()) {
    Result<QString> start = m_sink->freeStartTime(m_key.date, m_clock.timeOfDay());
    if (!start) return fail(QStringLiteral("Uygulama başlatılamadı."), start.error());
    m_key.start = start.value();
  }
  m_nextCaption = QStringLiteral("Sonraki Soru (B)");
  m_cursor = 0;
  while (m_cursor < questionCount() - 1 && m_stored.contains(m_cursor + 1)) ++m_cursor;
  if (m_stored.contains(m_cursor + 1)) {
    // Every question of an interrupted run was left: only its end is missing.
    m_steps.removeAll(Step::Questions);
    m_end = m_clock.timeOfDay().toString(QStringLiteral("HH:mm:ss"));
    if (Status s = m_sink->RaporIcinHazirla(record()); !s)
      m_messages.error(QStringLiteral("Sonuçlar kaydedilemedi: ") + s.error());
    return finishRun();
  }
  if (virtualRemoteOnly() || m_free) return showQuestion();
  m_page = Page::Countdown;
  m_countdownFrom = now();
  m_lastStartCount = kStartCount;
  emit changed();
}

void RunSession::showQuestion() {
  // A free question has no time of its own: it is timed only in fixed-duration mode.
  if (m_free && m_cursor >= questionCount()) m_content.questions.append({{}, kUntimed, {}, {}});
  m_page = Page::Question;
  m_shownMs = now();
  m_seconds = RunContent::secondsFor(*question(), m_plan.settings);
  m_paused = false;
  m_pausedTotal = 0;
  m_voting = m_free && m_plan.settings.autoStartVoting;
  if (held()) m_pausedAt = now();
  m_lastRemaining = m_seconds;
  m_answerShown = false;
  m_solutionShown = false;
  m_tiles.clearAnswers();
  m_answeredMs.fill(-1);
  // A question seen before shows its stored answers again, with their times.
  Result<QList<TileAnswer>> stored = m_sink->CevaplariAl(m_key, position());
  if (!stored) m_messages.error(QStringLiteral("Cevaplar okunamadı: ") + stored.error());
  for (const TileAnswer& a : stored.valueOr({})) {
    if (a.letter.isEmpty()) continue;
    for (int i = 0; i < m_tiles.size(); ++i) {
      if (m_tiles.tiles().at(i).address != a.address) continue;
      const qint64 at = m_shownMs + qint64(a.seconds) * 1000;
      (void)m_tiles.mark({a.address, a.letter, {}},
                         m_clock.timeOfDay().addMSecs(int(at - m_shownMs)));
      m_answeredMs[i] = at;
    }
  }
  emit questionShown(position(), question()->mediaFile);
  emit changed();
}

bool RunSession::leaveQuestion(int direction) {
  const qint64 t = now();
  QList<TileAnswer> answers;
  for (int i = 0; i < m_tiles.size(); ++i) {
    const activity::RemoteTiles::Tile& tile = m_tiles.tiles().at(i);
    const bool answered = tile.state != activity::RemoteTiles::State::NotAnswered;
    const qint64 at = answered && m_answeredMs.at(i) >= 0 ? m_answeredMs.at(i) : t;
    int seconds = int(std::max<qint64>(at - m_shownMs, 0) / 1000);
    // A timed question runs its own seconds: the second its countdown rests on 0
    // before it moves on is nobody's answer time (60, not 61, for a silent remote).
    if (m_seconds > 0) seconds = std::min(seconds, m_seconds);
    answers.append({tile.address, answered ? tile.letter : QString(), seconds});
  }
  const bool last = direction > 0 && (m_free ? m_limit > 0 && position() >= m_limit
                                             : m_cursor == questionCount() - 1);
  if (m_free && direction > 0 && !m_plan.settings.autoStartVoting) setVoting(false);
  RunRecord run = record();
  if (last) run.end = m_clock.timeOfDay().toString(QStringLiteral("HH:mm:ss"));
  if (Status s = storeQuestion(run, answers); !s) {
    // Nothing of the question was stored: it stays on the screen, its countdown
    // held, so that the teacher can try again.
    if (m_seconds > 0) pause(true);
    fail(QStringLiteral("Cevaplar kaydedilemedi."), s.error());
    return false;
  }
  if (direction < 0) {
    m_cursor = std::max(m_cursor - 1, 0);
    showQuestion();
    return true;
  }
  if (last) {
    m_end = run.end;
    m_steps.removeAll(Step::Questions);
    finishRun();
    return true;
  }
  ++m_cursor;
  if (m_plan.settings.afterQuestion != RunSettings::QuestionReport::None) {
    m_page = Page::Report;
    emit changed();
    emit reportRequested(m_plan.settings.afterQuestion, position() - 1);
    return true;
  }
  showQuestion();
  return true;
}

Status RunSession::storeQuestion(const RunRecord& run, const QList<TileAnswer>& answers) {
  RunQuestion& shown = m_content.questions[m_cursor];
  const bool firstLeave = m_free && !m_freeLeft.contains(position());
  // A free question's picture and its first answers go together: never a
  // picture without its answers, nor answers pointing at a missing picture. A
  // journal keeps the answers apart from the store: the picture is committed
  // first, and at worst stays without answers.
  QString soruNo = shown.soruNo;
  const bool keyed = firstLeave && soruNo.isEmpty() && m_freeQuestionKey;
  std::optional<store::Transaction> tx;
  if (keyed || m_sink->joinsStoreTransaction()) tx.emplace(m_store);
  if (keyed) {
    Result<QString> key = m_freeQuestionKey(position());
    if (!key) return Status::failure(key.error());
    soruNo = key.value();
  }
  if (tx && !m_sink->joinsStoreTransaction())
    if (Status s = tx->commit(); !s) return s;
  if (Status s = m_sink->CevaplariVeritabaninaYaz(run, position(), soruNo, answers); !s) return s;
  if (tx && m_sink->joinsStoreTransaction())
    if (Status s = tx->commit(); !s) return s;
  shown.soruNo = soruNo;
  if (m_free) m_freeLeft.insert(position());
  return {};
}

void RunSession::finishRun() {
  if (!virtualRemoteOnly()) m_notice = resultsText();
  const int lastPosition = questionCount();
  if (m_plan.settings.afterQuestion != RunSettings::QuestionReport::None) {
    m_page = Page::Finished;
    emit changed();
    emit reportRequested(m_plan.settings.afterQuestion, lastPosition);
    return scheduleClose();
  }
  if (!m_steps.isEmpty() && m_steps.first() == Step::FinalStatistics) {
    m_steps.removeFirst();
    Result<RunStatistics> statistics = m_sink->statistics(m_key, questionKeys());
    if (!statistics)
      m_messages.error(QStringLiteral("İstatistikler okunamadı: ") + statistics.error());
    m_statistics = statistics.valueOr({});
    m_notice.clear();
    m_page = Page::FinalStatistics;
    m_nextCaption = QStringLiteral("İleri (B)");
    emit changed();
    return;
  }
  m_page = Page::Finished;
  emit changed();
  scheduleClose();
}

void RunSession::exitRun() {
  m_confirmingExit = false;
  // The questions already left keep their answers; the one on the screen is
  // dropped, as the teacher asked to leave it.
  if (m_questionsBegun && m_end.isEmpty() && !m_key.start.isEmpty()) {
    m_end = m_clock.timeOfDay().toString(QStringLiteral("HH:mm:ss"));
    if (Status s = m_sink->RaporIcinHazirla(record()); !s)
      m_messages.error(QStringLiteral("Sonuçlar kaydedilemedi: ") + s.error());
  }
  m_page = Page::Finished;
  emit changed();
  scheduleClose();
}

void RunSession::scheduleClose() {
  if (m_closeAt < 0) m_closeAt = now() + kCloseDelayMs;
}

void RunSession::fail(const QString& what, const QString& error) {
  m_messages.error(what + QStringLiteral(" (") + error + QLatin1Char(')'));
  emit changed();
}

RunRecord RunSession::record() const {
  RunRecord r;
  r.key = m_key;
  r.end = m_end;
  r.description = m_plan.description;
  r.penalty = m_plan.settings.penalty;
  r.majorityIsCorrect = m_plan.settings.majorityIsCorrect;
  r.addresses = m_plan.studentRemotes;
  r.virtualKayitNo = m_plan.virtualName + QLatin1Char('|') + m_plan.virtualSurname;
  for (qsizetype i = 0; i < m_leftOut.size(); ++i)
    r.leftOut.append({m_leftOutRemotes.value(i), m_leftOut.at(i)});
  return r;
}

QStringList RunSession::questionKeys() const {
  QStringList keys;
  for (const RunQuestion& q : m_content.questions) keys << q.key;
  return keys;
}

// ---- what the window paints ----------------------------------------------------

activity::RemoteTiles::Counts RunSession::counts() const {
  return m_page == Page::RemoteTest ? m_testTiles.counts() : m_tiles.counts();
}

const RunQuestion* RunSession::question() const {
  if (m_cursor < 0 || m_cursor >= questionCount()) return nullptr;
  return &m_content.questions.at(m_cursor);
}

QString RunSession::progressText() const {
  if (m_cursor < 0) return {};
  if (m_free && m_limit == 0) return QString::number(position());
  if (m_free) return QStringLiteral("%1/%2").arg(position()).arg(m_limit);
  return QStringLiteral("%1/%2").arg(position()).arg(questionCount());
}

QString RunSession::answerText() const {
  const RunQuestion* q = question();
  return q ? q->key : QString();
}

QString RunSession::windowTitle() const {
  if (m_key.start.isEmpty()) return QStringLiteral("Önizleme");
  return QStringLiteral("Test Başlangıç Saati : ") + m_key.start + QStringLiteral(" - Test No: ") +
         m_plan.description.testNo + QStringLiteral(" - Test Adı :") + m_plan.description.testName;
}

}  // namespace delivery
