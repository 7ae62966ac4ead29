#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

#include "Result.h"
#include "delivery/RecordingJournal.h"
#include "delivery/RecordingSink.h"
#include "store/ServerAddress.h"

namespace store {
class Store;
}

namespace delivery {

class JournalWorker;

// What one go at sending the journal achieved.
struct JournalPass {
  int questions = 0;            // question rows the server committed
  QList<reports::RunKey> runs;  // the runs those rows (and run ends) belong to, in order
  bool unreachable = false;     // stopped because the server could not be reached
  QString reason;               // why it stopped early
  QList<JournalEntry> refused;  // rows the server refused: they stay in the journal
};

// Sends the journal's rows in order, each in one transaction on `server`
// (Recording(server)), and drops a row only once the server has committed it.
// Stops at the first row the server cannot be reached for (the row stays); a
// row the server answers with an error is marked refused and the rest go on.
// Rows refused three times are left out unless `retryRefused`.
JournalPass sendJournal(RecordingJournal& journal, store::Store& server, Recording& recording,
                        bool retryRefused);

// A board on the school's server: its runs record into the journal (fast and on
// the board) and a worker thread with a server connection of its own sends the
// journal in order, at once while the server answers, and at growing intervals
// (1, 2, 4 … 30 s) while it does not. The lesson never waits for the server.
//
//   auto* sender = new delivery::JournalSender(store, login);  // the store's child
//   QString said = sender->sendLeftovers();                    // start-up
//   sender->start();
//   connect(sender, &JournalSender::offlineChanged, label, &QLabel::setVisible);
//
// Every RunSession made on a store with a sender records through it (of()).
class JournalSender : public QObject {
  Q_OBJECT
 public:
  JournalSender(store::Store& store, const store::ServerLogin& login);
  ~JournalSender() override;

  // The sender attached to the store, or null (a board on its data folder).
  static JournalSender* of(const store::Store& store);
  static QString offlineText() {
    return QStringLiteral("Sunucu bağlantısı yok — cevaplar bu tahtada saklanıyor");
  }
  static QString sentText(int questions) {
    return QStringLiteral("Sunucuya gönderildi: %1 soru").arg(questions);
  }

  // The journal file of a data folder.
  static QString journalPath(const store::Store& store);
  // At the board's start, on the store's own connection (open on the server):
  // sends what an earlier session could not, and says so; empty when the journal
  // was empty. Call it before start().
  QString sendLeftovers();
  // Starts the worker, which sends whatever the journal holds.
  Status start();
  // The delays between tries while the server does not answer (tests shorten them).
  void setRetryDelays(int firstMs, int maxMs);

  // Writes one recording call to the journal (one transaction) and wakes the worker.
  Status record(const JournalEntry& entry);
  Result<QList<JournalEntry>> pending(const reports::RunKey& run) const;
  Result<int> pendingCount() const;
  // The run's start second was taken without the server (RecordingJournal).
  Status startWithoutServer(const reports::RunKey& run);
  // The key a run of this board has on the server (another second when its own
  // was taken by another board's run meanwhile).
  reports::RunKey serverKey(const reports::RunKey& run) const;
  // The runs (their keys on the server) with rows still in the journal: on the
  // server they look unfinished, but they are not interrupted.
  QList<reports::RunKey> pendingRuns() const;
  // The journal holds rows the server could not be reached for.
  bool offline() const { return m_offline; }
  // Runs the event loop until the journal is empty or `ms` have passed.
  bool waitUntilSent(int ms);

  // The recording a RunSession on this board uses.
  std::unique_ptr<RecordingSink> sink();

 signals:
  void offlineChanged(bool offline);
  // The journal is empty again after the server was away: the questions sent.
  void journalSent(int questions);

 private:
  friend class JournalWorker;
  // From the worker after each go.
  void reported(bool unreachable, int pending, int questions);

  store::Store& m_store;
  store::ServerLogin m_login;
  RecordingJournal m_journal;
  QThread m_thread;
  JournalWorker* m_worker = nullptr;
  int m_firstDelay = 1000;
  int m_maxDelay = 30000;
  bool m_offline = false;
  bool m_outage = false;  // the server was away since the journal was last empty
  int m_sentSinceOutage = 0;
};

// The message of the board's start when it sent what an earlier session left.
QString leftoversText(const JournalPass& pass);

}  // namespace delivery
