#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

#include "Messages.h"
#include "Result.h"
#include "activity/AnswerView.h"
#include "activity/PressConsumer.h"
#include "activity/RemoteTiles.h"
#include "delivery/Recording.h"
#include "delivery/RecordingSink.h"
#include "delivery/RunContent.h"
#include "delivery/RunPlan.h"
#include "receiver/Clock.h"

namespace store {
class Store;
}

namespace delivery {

// The run of a test in class, whole, without a window: the pages from the start
// screen to the final statistics, the question under the cursor with its
// countdown, one tile per remote, the three counters, pause, answer and solution,
// the exit confirmation, and the recording of each question as it is left.
// frmOnizleme paints what this says and turns its buttons into trigger(); the
// press routing hands it every admitted press (it is the run's PressConsumer).
//
//   delivery::RunSession run(store, messages, clock);
//   if (Status s = run.open(plan); !s) return messages.error(s.error());
//   router.attach(window, &run);          // presses (activity::PressPipeline)
//   run.startTicking();                    // or call tick() from a timer of your own
//   connect(&run, &RunSession::changed, window, &QWidget::update);
//
// Everything follows the injected clock: tick() applies the time that has passed
// (countdown, time-out, the 3-2-1 start, the 5-second key delay, the deferred
// close), so tests and derslik-cli run a whole lesson in milliseconds.
class RunSession : public QObject, public activity::PressConsumer, public activity::AnswerView {
  Q_OBJECT
 public:
  // The page the window shows.
  enum class Page {
    Opened,              // nothing shown yet
    StartScreen,         // the test's start screen (TEST store BASLANGICEKRANI)
    QuestionStatistics,  // questionStatistics(): questions and time per unit
    RemoteTest,          // testTiles(): who has pressed a letter
    Countdown,           // "TEST BAŞLIYOR" 3-2-1 (startCountdown())
    Question,            // the question under the cursor, tiles or counters
    Report,              // an after-question report is open over the run
    FinalStatistics,     // finalStatistics()
    Finished,            // the run is over; closeRequested follows
  };
  // The screen's buttons. Each acts only while isAvailable(); a teacher remote's
  // key presses the button its letter stands for, under the same rule.
  enum class Command {
    Previous,      // cmdNav(0) "Önceki Soru (A)"
    ToggleCounts,  // cmdNav(1) tiles <-> counters table (D)
    Pause,         // cmdNav(2) stop / resume the countdown (E)
    Next,          // cmdNav(3) next page or question (B)
    ShowAnswer,    // cmdNav(4) show / hide the key
    Replay,        // cmdNav(5) play the question's sound or video again (C)
    Solution,      // cmdSoruCevapGoster question <-> solution
    Exit,          // cmdCikis "Çıkış (BOŞ)": asks first
    ConfirmExit,   // the exit confirmation: B
    CancelExit,    // the exit confirmation: A
    Continue,      // the after-question report: "Teste Devam Et (B)"
  };
  // Where a teacher key comes from: a remote's B waits out the key delay after
  // "next" (a held button keeps sending); the keyboard's does not.
  enum class KeySource { Remote, Keyboard };
  struct Countdown {
    bool timed = false;
    int total = 0;          // the progress bar's maximum
    int remaining = 0;      // lblSure and the progress bar's value
    QString remainingText;  // "27" or "Süresiz"
    QString visibleText;    // lblSureGorunen: "27 sn" (see lastTenSecondsOnly), or "Süresiz"
    bool operator==(const Countdown&) const = default;
  };

  RunSession(store::Store& store, Messages& messages, const receiver::Clock& clock,
             QObject* parent = nullptr);

  // Opens the run (TestGoster): reads the test, builds the pages and the tiles
  // and shows the first page. A plan with `resume` set takes an interrupted run up
  // again at its first question without stored answers.
  Status open(const RunPlan& plan);
  // Opens a free run (test number "SERBEST"): questions numbered 1, 2, 3 … with no
  // test behind them, each asked over whatever the board shows. Presses count
  // only while the vote is open (ShowAnswer, the teacher's C, opens and closes
  // it); the countdown runs only in fixed-duration mode and only while the vote
  // is open, and its time-out closes the vote without leaving the question.
  // `questionLimit` > 0 is the homework check: the run ends after that question.
  // A plan with the test number "DERS" is a lesson run: it keeps that number and
  // first shows an empty board (Page::StartScreen) or the remote test, whose
  // button reads "Göster (B)".
  // Refused without any student remote (RunSetup gives "0-0" for none).
  Status openFree(const RunPlan& plan, int questionLimit = 0);

  // ---- driving it
  QSet<QString> teacherRemotes() const override;
  void press(const receiver::AdmittedPress& press) override;
  // Applies the time that has passed on the clock.
  void tick();
  // Calls tick() every 100 ms of real time (the program; tests and the command
  // line call tick() themselves after moving their clock).
  void startTicking();
  bool isAvailable(Command command) const;
  QList<Command> availableCommands() const;
  // What the student of `address` sees on their own device; answers are taken
  // exactly when a remote's press would count (studentPress()).
  activity::AnswerState answerState(const QString& address) const override;
  // The teacher's page: the commands a teacher key would carry out now.
  activity::TeacherState teacherState() const override;
  // Runs the command when it is available; false when it was not.
  bool trigger(Command command);
  // The after-question report was closed ("Teste Devam Et"): the next question.
  void reportClosed();
  // A teacher key: a teacher remote's letter ("A".."E", "X" for the blank key) or
  // the keyboard's key for it (keyboardLetter()). It presses the button it stands
  // for on the page shown, under the same rule as a click: B (→, space) goes on,
  // A (←) goes back, C plays again (opens / closes the vote in a free run), D
  // shows the counts, E pauses, BOŞ (Esc) leaves; in the exit confirmation B
  // leaves and A or BOŞ stays. G, a key only the teacher's page has, shows or
  // hides the answer of a test's question. False when it stands for nothing now.
  bool teacherKey(const QString& letter, KeySource source = KeySource::Remote);
  // The teacher-remote letter a keyboard key (Qt::Key) stands for; empty for none.
  // Enter is B only in the exit confirmation.
  static QString keyboardLetter(int key, bool confirmingExit);

  // ---- what the window paints
  Page page() const { return m_page; }
  QString caption(Command command) const;
  const RunPlan& plan() const { return m_plan; }
  const RunContent& content() const { return m_content; }
  reports::RunKey runKey() const { return m_key; }
  QString windowTitle() const;
  // The question's tiles (answers), their names, and those of the remote test.
  const activity::RemoteTiles& tiles() const { return m_tiles; }
  const QStringList& names() const { return m_names; }
  const activity::RemoteTiles& testTiles() const { return m_testTiles; }
  // lblCevapVeren, lblBos, lblCevapVermeyen (of the remote test on its page).
  activity::RemoteTiles::Counts counts() const;
  // In a free run: the questions shown so far.
  int questionCount() const { return int(m_content.questions.size()); }
  int position() const { return m_cursor + 1; }  // 1-based; 0 before the first question
  const RunQuestion* question() const;
  QString progressText() const;  // lblSayac: "3/10"
  Countdown countdown() const;
  bool paused() const { return m_paused; }
  bool countsShown() const { return m_countsShown; }
  bool answerShown() const { return m_answerShown; }
  QString answerText() const;  // lblCevap: the key
  bool solutionShown() const { return m_solutionShown; }
  bool confirmingExit() const { return m_confirmingExit; }
  // After "next" the teacher remote's B waits five seconds.
  bool keyDelayActive() const;
  int startCountdown() const;  // 3, 2, 1 on the Countdown page
  // The virtual remote answers ("0-0" only): the window shows it instead of tiles.
  bool virtualRemoteOnly() const { return m_plan.virtualRemoteOnly(); }
  // Shown over the run while its results are being written (empty otherwise).
  QString notice() const { return m_notice; }
  const QList<QuestionStatisticsRow>& questionStatistics() const { return m_content.statistics; }
  const RunStatistics& finalStatistics() const { return m_statistics; }
  // The students whose remotes did not press on the remote test, left out of the
  // run (their names as the tiles showed them).
  const QStringList& leftOut() const { return m_leftOut; }
  Recording& recording() { return m_recording; }

  // ---- free runs
  bool freeMode() const { return m_free; }
  bool lesson() const { return m_free && m_plan.description.testNo == RunPlan::kLessonTestNo; }
  // Voting open (the question frame green); always true outside free runs.
  bool votingOpen() const { return !m_free || m_voting; }
  // The homework check's question count; 0 for free questioning without an end.
  int questionLimit() const { return m_limit; }
  // The report after each question, changed while the run goes on (the
  // lesson's cmbDersRaporGoster).
  void setQuestionReport(RunSettings::QuestionReport report) {
    m_plan.settings.afterQuestion = report;
  }
  // The control bar's two lines: "SORU İÇİN\nHAZIRLANINIZ" or "SORUYU\nİŞARETLEYİNİZ".
  QString votingText() const;
  // Called when a free question is left for the first time, inside the
  // transaction that stores its answers, with the question's position: the
  // SORUNO the answers are stored under (a clipped picture kept as a free
  // question). A failure stores nothing of the question; empty or unset: the
  // question has no row in the bank and no key until one is set on the report
  // screen.
  using FreeQuestionKey = std::function<Result<QString>(int position)>;
  void setFreeQuestionKey(FreeQuestionKey key) { m_freeQuestionKey = std::move(key); }
  // The free question on the screen has not been left yet: a picture clipped
  // now is kept with it.
  bool freeQuestionNew() const {
    return m_free && m_page == Page::Question && !m_freeLeft.contains(position());
  }

  static QString pausedText() { return QStringLiteral("TEST DURDURULDU"); }
  static QString startingText() { return QStringLiteral("TEST BAŞLIYOR"); }
  static QString resultsText() { return QStringLiteral("SONUÇLAR\nHAZIRLANIYOR"); }
  static QString exitQuestion() { return QStringLiteral("Uygulamadan çıkılsın mı?"); }
  static QString noRemoteText() {
    return QStringLiteral("Kumanda olmadan serbest soru sor kullanılamaz");
  }
  static QString votingClosedText() { return QStringLiteral("SORU İÇİN\nHAZIRLANINIZ"); }
  static QString votingOpenText() { return QStringLiteral("SORUYU\nİŞARETLEYİNİZ"); }
  static QString lessonStartCaption() { return QStringLiteral("Göster (B)"); }
  static QString leaveOutQuestion(int silent) {
    return QStringLiteral(
               "%1 kumanda henüz basmadı. Bu öğrenciler testin dışında kalacak. Devam edilsin mi?")
        .arg(silent);
  }
  static QString endQuestion(int unanswered) {
    return QStringLiteral("Test bitirilsin mi? %1 öğrenci bu soruyu henüz cevaplamadı.")
        .arg(unanswered);
  }

 signals:
  // Anything the window paints changed.
  void changed();
  // A press changed tile `index` of tiles() (or of testTiles() on the remote test).
  void tileChanged(int index);
  // A question is shown: its picture, and its sound or video when `mediaFile` is set.
  void questionShown(int position, const QString& mediaFile);
  // "Yeniden Oynat": play the file again.
  void replayRequested(const QString& mediaFile);
  // Open the report screen on this run for the question at `position`.
  void reportRequested(delivery::RunSettings::QuestionReport report, int position);
  // The run is over: close the window (half a second after the end).
  void closeRequested();

 private:
  enum class Step { StartScreen, QuestionStatistics, RemoteTest, Questions, FinalStatistics };

  void next();
  void beginQuestions();
  void showQuestion();
  bool leaveQuestion(int direction);
  // Stores the answers of the question on the screen (with a free question's
  // key the first time it is left), whole or not at all.
  Status storeQuestion(const RunRecord& run, const QList<TileAnswer>& answers);
  void finishRun();
  void exitRun();
  // Next on the remote test or on the last question with time left asks first
  // when somebody has not pressed; false when the teacher stays.
  bool confirmNext();
  void studentPress(const receiver::AdmittedPress& press);
  void pause(bool on);
  // The countdown stands still while paused or, in a free run, while the vote is closed.
  bool held() const { return m_paused || (m_free && !m_voting); }
  template <typename Change>
  void changeHold(Change change);
  void setVoting(bool open);
  // The plan with its names filled in and the virtual remote for no remote.
  void prepare(const RunPlan& plan);
  // After the pages before them: the questions, the final statistics, the tiles,
  // and the first page shown.
  void beginSteps();
  void scheduleClose();
  RunRecord record() const;
  // The key of each question by position, as the run shows it.
  QStringList questionKeys() const;
  qint64 now() const { return m_clock.msecs(); }
  qint64 questionElapsed() const;
  void fail(const QString& what, const QString& error);

  store::Store& m_store;
  Messages& m_messages;
  const receiver::Clock& m_clock;
  Recording m_recording;
  // Where the run records: the store itself, or on a board on the school's
  // server its journal (delivery::JournalSender attached to the store).
  DirectRecording m_direct{m_recording};
  std::unique_ptr<RecordingSink> m_journal;
  RecordingSink* m_sink = &m_direct;
  QTimer m_ticker;

  RunPlan m_plan;
  RunContent m_content;
  QList<Step> m_steps;
  Page m_page = Page::Opened;
  reports::RunKey m_key;
  QString m_end;
  bool m_questionsBegun = false;
  bool m_remoteTestShown = false;
  int m_cursor = -1;
  QList<int> m_stored;  // positions left before (a resumed run)

  QStringList m_names;
  activity::RemoteTiles m_tiles;
  activity::RemoteTiles m_testTiles{{}, activity::RemoteTiles::Rule::LastPress};
  QList<qint64> m_answeredMs;  // clock time of each tile's answer, -1 while none

  qint64 m_shownMs = 0;
  int m_seconds = 0;
  bool m_paused = false;
  qint64 m_pausedAt = 0;
  qint64 m_pausedTotal = 0;
  int m_lastRemaining = -1;
  qint64 m_countdownFrom = 0;
  int m_lastStartCount = 0;
  qint64 m_keyDelayUntil = -1;
  qint64 m_closeAt = -1;
  bool m_closed = false;

  bool m_confirmingExit = false;
  bool m_asking = false;  // a question to the teacher is open: no command meanwhile
  QStringList m_leftOut;
  QStringList m_leftOutRemotes;  // their remotes, in the same order
  bool m_countsShown = false;
  bool m_answerShown = false;
  bool m_solutionShown = false;
  QString m_nextCaption;
  QString m_notice;
  RunStatistics m_statistics;

  bool m_free = false;
  bool m_voting = false;
  int m_limit = 0;
  FreeQuestionKey m_freeQuestionKey;
  QSet<int> m_freeLeft;  // positions of the free questions left at least once
};

}  // namespace delivery
