#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <functional>

#include "Result.h"
#include "store/DataLock.h"

class Messages;

namespace store {
class Store;
}

namespace school {

// The school-year rollover: every student moves up one class and one level,
// the year's questions, tests and results stay behind in the backup.
//
// Unlike a plain move of the files, the database files are first COPIED into
// their own backup folder Yedek/<stamp>/ and the copies checked (integrity
// check, row counts of every table); the new main database is built beside the
// old one and put in place by one rename after the swap journal is written (see
// store/RolloverFiles.h), so a kill at any moment leaves either the old year or
// the new one, never a folder without DERSLIK.db. The run holds the data
// folder's lock exclusively: nobody writes into the files while they are copied.
// On any failure before the journal the old files stay in use and nothing changes.
//
// On a school's server (store.onServer()) it runs once for the whole school: the
// backup is the server's school written into this board's Yedek/<stamp>/ and
// checked against the server, then the year changes in one server transaction.
class Rollover {
 public:
  struct Hooks {
    Messages* messages = nullptr;  // the Yes/No questions; none: "Hayır"
    // "Yeniden yapılsın mı?" (derslik-cli answers it from --again); through
    // `messages` when empty. Every question's default button is "Hayır".
    std::function<bool(const QString& question)> askAgain;
    // The first question with its choice "Soru bankası ve testler bu tahtada
    // kalsın": true to go on, `keepBank` (coming in as `keepBank` below) set to
    // the teacher's choice. Through `messages`, with the choice as it came, when
    // empty.
    std::function<bool(const QString& question, bool& keepBank)> askStart;
    // Whether the question bank and the tests stay in the new year (derslik-cli
    // --keep-bank); the old year's runs and results go to the backup either way.
    bool keepBank = false;
    std::function<QDateTime()> now;                // the "server" date; the local clock when empty
    std::function<void()> closeScreens;            // step 6: close every other screen
    std::function<void(const QString&)> progress;  // optional wait text
    // Each step of the run as it is reached, before the next begins ("backup-marked",
    // "journal-written", ...). The crash tests stop the process here.
    std::function<void(const QString& step)> stepReached;
    int lockWaitMs = store::DataLock::kDefaultWaitMs;  // for writers still at work
  };
  enum class Outcome {
    NotOffered,   // start-up: the year is recorded already, or there are no students
    NotAllowed,   // three-button remotes: the rollover never runs
    Declined,     // the teacher answered "Hayır"
    AlreadyDone,  // done this school year already, and not asked to be done again
    Done,
    Failed,  // nothing changed (or, after a failed rename, the next start
             // finishes the swap); `message` says why
  };
  struct Report {
    Outcome outcome = Outcome::NotOffered;
    QString message;      // doneMessage() or the failure text
    QString label;        // school year the run was for
    QString backupStamp;  // backup folder in Yedek, e.g. "2025.9.1-8.5.7"
    bool bankKept = false;
  };

  // 5-A -> 6-A, 9B -> 10B; names without digits or with two digit groups stay.
  static QString SinifNumarasiArttir(const QString& name);
  // As above, never above 12.
  static QString SeviyeArttir(const QString& level);
  // July-December: "year-(year+1)"; January-June: "(year-1)-year".
  static QString schoolYearLabel(const QDate& date);
  // year.month.day-hour.minute.second without leading zeros.
  static QString backupStamp(const QDateTime& when);

  // Says exactly what moves into the backup and what stays, either way of the choice.
  static QString firstQuestion();
  static QString keepBankChoice() {
    return QStringLiteral("Soru bankası ve testler bu tahtada kalsın");
  }
  static QString confirmYearQuestion(const QString& label);
  // Asked when the school year's rollover was done already; `date` "dd.MM.yyyy".
  static QString againQuestion(const QString& date);
  // The day ("dd.MM.yyyy") this school year's rollover was completed; empty when not.
  static Result<QString> completedOn(const store::Store& store, const QString& label);
  static QString doneMessage() { return QStringLiteral("Sınıf atlatma prosedürü tamamlanmıştır."); }
  // On a school's server, to a board that starts it while another runs it.
  static QString runningElsewhereMessage() {
    return QStringLiteral("Sınıf atlatma başka bir tahtada sürüyor.");
  }

  // The menu item mnuSinifAtlatma. The store is closed while the files are
  // replaced and open again on return (also after a failure before the swap).
  static Report SinifAtlatmaUygula(store::Store& store, const Hooks& hooks);
  // Start-up: runs SinifAtlatmaUygula when this school year is not recorded in
  // TABLEOKUL and the school has students.
  static Report offer(store::Store& store, const Hooks& hooks);

  // Tells the teacher how it ended: the done message, or the failure. Nothing for
  // a rollover that was not offered, not allowed, declined or done already.
  static void tell(Messages& messages, const Report& report);

  // The tables carried into the new year, in order.
  static const QStringList& carriedTables();
  // Carried too when the bank stays: questions, curriculum definitions, tests.
  static const QStringList& bankTables();
};

}  // namespace school
