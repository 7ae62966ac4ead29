#pragma once

#include <QList>
#include <QString>

#include <optional>

#include "Result.h"
#include "delivery/Recording.h"

namespace delivery {

// One recording call a board on the school's server has not sent yet: a question
// left (CevaplariVeritabaninaYaz) or a run's results made final at its end
// (RaporIcinHazirla), with everything the call needs.
struct JournalEntry {
  enum class Kind { Question, RunEnd };
  qint64 no = 0;  // the order it was written in
  Kind kind = Kind::Question;
  RunRecord run;
  int position = 0;
  QString soruNo;
  QList<TileAnswer> answers;
  int refusals = 0;  // times the server refused it (not counting an unreachable server)
  QString error;     // the server's last refusal
};

// The journal of a board on the school's server: Gunluk.db in its data folder, a
// SQLite file of its own (never the main connection), one row per recording call
// in the order they were made. Each thread that uses it opens a connection of
// its own. A row is written in one transaction, and it leaves only after the
// server has committed the call; replaying a call replaces what it wrote, so a
// row sent twice counts once.
class RecordingJournal {
 public:
  static QString fileName() { return QStringLiteral("Gunluk.db"); }

  explicit RecordingJournal(QString path);
  ~RecordingJournal();
  RecordingJournal(const RecordingJournal&) = delete;
  RecordingJournal& operator=(const RecordingJournal&) = delete;

  // Opens the file, creating it (and its tables) when missing; every read and
  // write opens it first.
  Status open() const;
  const QString& path() const { return m_path; }

  Status append(const JournalEntry& entry);
  // Every row in order; with `run`, only that run's.
  Result<QList<JournalEntry>> entries(const std::optional<reports::RunKey>& run = {}) const;
  Result<int> count() const;
  Status remove(qint64 no);
  // The server refused the row (it stays, to be tried again and reported).
  Status refuse(qint64 no, const QString& reason);

  // A run whose start second was taken without asking the server: another board
  // may have started a run at the same second. Its first sending checks, and the
  // run goes to the server under a second of its own (serverStart).
  Status startWithoutServer(const reports::RunKey& run);
  struct Start {
    bool unchecked = false;  // taken without the server and not checked yet
    QString server;          // the start the run has on the server (empty: its own)
  };
  Result<Start> start(const reports::RunKey& run) const;
  Status setServerStart(const reports::RunKey& run, const QString& serverStart);

 private:
  QString m_path;
  QString m_connection;
  mutable bool m_open = false;
};

}  // namespace delivery
