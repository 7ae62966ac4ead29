#include "delivery/JournalSender.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "delivery/RunTally.h"
#include "reports/Majority.h"
#include "store/Store.h"

namespace delivery {

namespace {

constexpr int kMaxRefusals = 3;

bool reachable(store::Store& server) {
  return server.isOpen() && server.scalar(QStringLiteral("SELECT 1")).ok();
}

void addRun(QList<reports::RunKey>& runs, const reports::RunKey& key) {
  if (!runs.contains(key)) runs.append(key);
}

const QString kTimeFormat = QStringLiteral("HH:mm:ss");

// The run's key on the server. A start taken without the server is checked
// before the run's first row goes: a second another board's run has taken
// gives this run the next free one.
Result<reports::RunKey> keyOnServer(RecordingJournal& journal, store::Store& server,
                                    const reports::RunKey& key) {
  using R = Result<reports::RunKey>;
  Result<RecordingJournal::Start> start = journal.start(key);
  if (!start) return R::failure(start.error());
  if (!start->unchecked)
    return start->server.isEmpty() ? key : reports::RunKey{key.date, start->server};
  Result<QString> free =
      Recording(server).freeStartTime(key.date, QTime::fromString(key.start, kTimeFormat));
  if (!free) return R::failure(free.error());
  if (Status s = journal.setServerStart(key, free.value()); !s) return R::failure(s.error());
  return reports::RunKey{key.date, free.value()};
}

}  // namespace

JournalPass sendJournal(RecordingJournal& journal, store::Store& server, Recording& recording,
                        bool retryRefused) {
  JournalPass pass;
  QSet<qint64> tried;
  // Rows written while the pass runs are sent by it too.
  for (bool more = true; more;) {
    more = false;
    Result<QList<JournalEntry>> rows = journal.entries();
    if (!rows) {
      pass.reason = rows.error();
      return pass;
    }
    for (JournalEntry& e : rows.value()) {
      if (tried.contains(e.no) || (!retryRefused && e.refusals >= kMaxRefusals)) continue;
      tried.insert(e.no);
      more = true;
      if (!server.isOpen()) {
        if (Result<store::CheckReport> opened = server.open(); !opened) {
          pass.unreachable = true;
          pass.reason = opened.error();
          return pass;
        }
      }
      const Result<reports::RunKey> key = keyOnServer(journal, server, e.run.key);
      RunRecord run = e.run;
      run.key = key.valueOr(e.run.key);
      const Status sent =
          !key ? Status::failure(key.error())
          : e.kind == JournalEntry::Kind::Question
              ? recording.CevaplariVeritabaninaYaz(run, e.position, e.soruNo, e.answers)
              : recording.RaporIcinHazirla(run, e.position);
      if (!sent) {
        // A lost connection is the server's absence, not this row's fault: the
        // row stays as it is and the whole journal waits.
        if (!reachable(server)) {
          server.close();
          pass.unreachable = true;
          pass.reason = sent.error();
          return pass;
        }
        if (Status s = journal.refuse(e.no, sent.error()); !s) {
          pass.reason = s.error();
          return pass;
        }
        e.error = sent.error();
        pass.refused.append(e);
        continue;
      }
      // Committed on the server; should the board die before the row goes, the
      // row is sent again and replaces the same answers.
      if (Status s = journal.remove(e.no); !s) {
        pass.reason = s.error();
        return pass;
      }
      if (e.kind == JournalEntry::Kind::Question) ++pass.questions;
      addRun(pass.runs, run.key);
    }
  }
  return pass;
}

QString leftoversText(const JournalPass& pass) {
  QStringList lines;
  QList<reports::RunKey> failed;
  for (const JournalEntry& e : pass.refused) addRun(failed, e.run.key);
  int sent = 0;
  for (const reports::RunKey& key : pass.runs)
    if (!failed.contains(key)) ++sent;
  if (sent > 0) lines << QStringLiteral("Sunucuya gönderilmemiş %1 uygulama gönderildi.").arg(sent);
  for (const reports::RunKey& key : failed) {
    const auto it = std::find_if(pass.refused.begin(), pass.refused.end(),
                                 [&key](const JournalEntry& e) { return e.run.key == key; });
    lines << QStringLiteral("%1 %2 tarihli uygulama (%3) gönderilemedi: %4")
                 .arg(key.date, key.start, it->run.description.testName, it->error);
  }
  if (pass.unreachable || !pass.reason.isEmpty())
    lines << QStringLiteral("Bu tahtada bekleyen cevaplar daha sonra gönderilecek (%1).")
                 .arg(pass.reason);
  return lines.join(QLatin1Char('\n'));
}

// ---- the worker thread ----------------------------------------------------------

class JournalWorker : public QObject {
 public:
  JournalWorker(JournalSender* sender, QString root, QString journalPath, store::ServerLogin login,
                int firstDelay, int maxDelay)
      : m_sender(sender),
        m_root(std::move(root)),
        m_journalPath(std::move(journalPath)),
        m_login(std::move(login)),
        m_first(firstDelay),
        m_max(maxDelay),
        m_delay(firstDelay) {}

  // In the thread: its own connections, then a first go.
  void begin() {
    m_journal = std::make_unique<RecordingJournal>(m_journalPath);
    m_server = std::make_unique<store::Store>(m_root);
    m_server->useServer(m_login);
    m_retry = new QTimer(this);
    m_retry->setSingleShot(true);
    QObject::connect(m_retry, &QTimer::timeout, this, [this] { attempt(); });
    attempt();
  }
  // A row was written: sent at once, unless a retry is already waiting its turn.
  void poke() {
    if (m_retry && !m_retry->isActive()) attempt();
  }
  void end() {
    delete m_retry;
    m_retry = nullptr;
    m_recording.reset();
    m_server.reset();
    m_journal.reset();
  }

 private:
  void attempt() {
    if (Status s = m_journal->open(); !s) return;
    if (!m_recording) m_recording = std::make_unique<Recording>(*m_server);
    const JournalPass pass = sendJournal(*m_journal, *m_server, *m_recording, false);
    if (pass.unreachable) {
      // A new connection scores its first question whole again.
      m_recording.reset();
      m_retry->start(m_delay);
      m_delay = std::min(m_delay * 2, m_max);
    } else {
      m_delay = m_first;
    }
    const int pending = m_journal->count().valueOr(-1);
    QMetaObject::invokeMethod(
        m_sender,
        [sender = m_sender, unreachable = pass.unreachable, pending, n = pass.questions] {
          sender->reported(unreachable, pending, n);
        },
        Qt::QueuedConnection);
  }

  JournalSender* m_sender;
  QString m_root;
  QString m_journalPath;
  store::ServerLogin m_login;
  int m_first;
  int m_max;
  int m_delay;
  std::unique_ptr<RecordingJournal> m_journal;
  std::unique_ptr<store::Store> m_server;
  std::unique_ptr<Recording> m_recording;
  QTimer* m_retry = nullptr;
};

// ---- what a run on the board records through ------------------------------------

namespace {

// Writes into the journal; reads what the run recorded from memory first, then
// from the journal's rows not sent yet, then from the server when it answers.
class JournalSink final : public RecordingSink {
 public:
  JournalSink(JournalSender& sender, store::Store& store) : m_sender(sender), m_store(store) {}

  Status CevaplariVeritabaninaYaz(const RunRecord& run, int position, const QString& soruNo,
                                  const QList<TileAnswer>& answers) override {
    JournalEntry e;
    e.run = run;
    e.position = position;
    e.soruNo = soruNo;
    e.answers = answers;
    if (Status s = m_sender.record(e); !s) return s;
    known(run.key)[position] = answers;
    m_last = run;
    return {};
  }
  Status RaporIcinHazirla(const RunRecord& run, int position) override {
    JournalEntry e;
    e.kind = JournalEntry::Kind::RunEnd;
    e.run = run;
    e.position = position;
    if (Status s = m_sender.record(e); !s) return s;
    m_last = run;
    return {};
  }
  Result<QList<TileAnswer>> CevaplariAl(const reports::RunKey& run, int position) override {
    const QMap<int, QList<TileAnswer>> mine = answersOf(run);
    if (mine.contains(position)) return mine.value(position);
    // Only a run taken up again has questions on the server that the board does
    // not know; nothing known when the server is away: nothing shown.
    if (m_sender.offline() || !m_onServer.value(name(run)).contains(position))
      return QList<TileAnswer>();
    return Recording(m_store).CevaplariAl(run, position).valueOr({});
  }
  Result<QList<int>> storedPositions(const reports::RunKey& run) override {
    QList<int> out = answersOf(run).keys();
    if (!m_sender.offline()) {
      const QList<int> stored = Recording(m_store).storedPositions(run).valueOr({});
      m_onServer[name(run)] = QSet<int>(stored.begin(), stored.end());
      out += stored;
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
  }
  Result<QString> freeStartTime(const QString& date, const QTime& wanted) override {
    // Without the server the wanted second is taken, and checked when the run is sent.
    Result<QString> asked = m_sender.offline() ? Result<QString>::failure(QString())
                                               : Recording(m_store).freeStartTime(date, wanted);
    QString start = asked.valueOr(wanted.toString(kTimeFormat));
    // Nor may it be that of a run of this board still waiting in the journal.
    QTime t = QTime::fromString(start, kTimeFormat);
    while (!m_sender.pending({date, start}).valueOr({}).isEmpty()) {
      t = t.addSecs(1);
      start = t.toString(kTimeFormat);
    }
    if (!asked || start != asked.value())
      if (Status s = m_sender.startWithoutServer({date, start}); !s)
        return Result<QString>::failure(s.error());
    return start;
  }
  Result<RunStatistics> statistics(const reports::RunKey& run, const QStringList& keys) override {
    if (m_sender.pending(run).valueOr({JournalEntry()}).isEmpty() && !m_sender.offline()) {
      if (Result<RunStatistics> read = Recording(m_store).statistics(m_sender.serverKey(run)))
        return read;
    }
    // Counted on the board from what the run recorded, as the server will.
    QList<TalliedAnswer> rows;
    const QMap<int, QList<TileAnswer>> answers = answersOf(run);
    for (auto it = answers.begin(); it != answers.end(); ++it) {
      QString key = keys.value(it.key() - 1);
      if (key.isEmpty() && m_last.majorityIsCorrect) {
        QStringList letters;
        for (const TileAnswer& a : it.value()) letters << a.letter;
        key = reports::majorityKey(letters);
      }
      for (const TileAnswer& a : it.value())
        rows.append({a.address, QString::number(it.key()), a.letter, key, m_last.end});
    }
    return tallyRun(run, rows);
  }
  bool joinsStoreTransaction() const override { return false; }

 private:
  static QString name(const reports::RunKey& run) {
    return run.date + QLatin1Char(' ') + run.start;
  }
  QMap<int, QList<TileAnswer>>& known(const reports::RunKey& run) { return m_known[name(run)]; }
  // The run's answers by position: the journal's unsent rows, under what this
  // session recorded itself.
  QMap<int, QList<TileAnswer>> answersOf(const reports::RunKey& run) {
    QMap<int, QList<TileAnswer>> out;
    for (const JournalEntry& e : m_sender.pending(run).valueOr({}))
      if (e.kind == JournalEntry::Kind::Question) out[e.position] = e.answers;
    const QMap<int, QList<TileAnswer>>& mine = known(run);
    for (auto it = mine.begin(); it != mine.end(); ++it) out[it.key()] = it.value();
    return out;
  }

  JournalSender& m_sender;
  store::Store& m_store;
  QHash<QString, QMap<int, QList<TileAnswer>>> m_known;
  QHash<QString, QSet<int>> m_onServer;  // positions the server held when the run opened
  RunRecord m_last;
};

}  // namespace

// ---- the sender -----------------------------------------------------------------

JournalSender::JournalSender(store::Store& store, const store::ServerLogin& login)
    : QObject(&store), m_store(store), m_login(login), m_journal(journalPath(store)) {
  m_thread.setObjectName(QStringLiteral("derslik-gunluk"));
}

JournalSender::~JournalSender() {
  if (m_worker) {
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->end(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
  }
}

JournalSender* JournalSender::of(const store::Store& store) {
  return store.findChild<JournalSender*>(QString(), Qt::FindDirectChildrenOnly);
}

QString JournalSender::journalPath(const store::Store& store) {
  return store.path(RecordingJournal::fileName());
}

QString JournalSender::sendLeftovers() {
  if (Status s = m_journal.open(); !s) return s.error();
  if (m_journal.count().valueOr(0) == 0) return {};
  Recording recording(m_store);
  return leftoversText(sendJournal(m_journal, m_store, recording, true));
}

Status JournalSender::start() {
  if (m_worker) return {};
  if (Status s = m_journal.open(); !s) return s;
  m_worker =
      new JournalWorker(this, m_store.root(), m_journal.path(), m_login, m_firstDelay, m_maxDelay);
  m_worker->moveToThread(&m_thread);
  m_thread.start();
  QMetaObject::invokeMethod(
      m_worker, [w = m_worker] { w->begin(); }, Qt::QueuedConnection);
  return {};
}

void JournalSender::setRetryDelays(int firstMs, int maxMs) {
  m_firstDelay = firstMs;
  m_maxDelay = maxMs;
}

Status JournalSender::record(const JournalEntry& entry) {
  if (Status s = m_journal.append(entry); !s)
    return Status::failure(QStringLiteral("Cevaplar bu tahtaya kaydedilemedi: ") + s.error());
  if (m_worker)
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->poke(); }, Qt::QueuedConnection);
  return {};
}

Result<QList<JournalEntry>> JournalSender::pending(const reports::RunKey& run) const {
  return m_journal.entries(run);
}

Result<int> JournalSender::pendingCount() const { return m_journal.count(); }

QList<reports::RunKey> JournalSender::pendingRuns() const {
  QList<reports::RunKey> runs;
  for (const JournalEntry& e : m_journal.entries().valueOr({})) addRun(runs, serverKey(e.run.key));
  return runs;
}

Status JournalSender::startWithoutServer(const reports::RunKey& run) {
  return m_journal.startWithoutServer(run);
}

reports::RunKey JournalSender::serverKey(const reports::RunKey& run) const {
  const RecordingJournal::Start start = m_journal.start(run).valueOr({});
  return start.server.isEmpty() ? run : reports::RunKey{run.date, start.server};
}

bool JournalSender::waitUntilSent(int ms) {
  const QDeadlineTimer deadline(ms);
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (m_journal.count().valueOr(-1) == 0) {
      // The worker's last word (journalSent) comes after its last row went.
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      return true;
    }
    if (deadline.hasExpired()) return false;
    QThread::msleep(5);
  }
}

std::unique_ptr<RecordingSink> JournalSender::sink() {
  return std::make_unique<JournalSink>(*this, m_store);
}

void JournalSender::reported(bool unreachable, int pending, int questions) {
  m_sentSinceOutage += questions;
  const bool offline = unreachable && pending != 0;
  if (offline != m_offline) {
    m_offline = offline;
    if (offline) {
      m_outage = true;
      m_sentSinceOutage = 0;
    }
    emit offlineChanged(offline);
  }
  if (pending != 0) return;
  if (std::exchange(m_outage, false)) emit journalSent(m_sentSinceOutage);
  m_sentSinceOutage = 0;
}

}  // namespace delivery
