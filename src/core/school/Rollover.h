#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <functional>

class Messages;

namespace store {
class Store;
}

namespace school {

// The school-year rollover: every student moves up one class and one level,
// the year's questions, tests and results stay behind in the backup.
//
// Unlike a plain move of the files, the database files are first COPIED into
// Yedek and the copies checked (integrity check, row counts of every table);
// the new main database is built beside the old one and only put in place when
// it is complete. On any failure the old files stay in use and nothing changes.
class Rollover {
 public:
  struct Hooks {
    Messages* messages = nullptr;                  // the two Yes/No questions; none: "Hayır"
    std::function<QDateTime()> now;                // the "server" date; the local clock when empty
    std::function<void()> closeScreens;            // step 6: close every other screen
    std::function<void(const QString&)> progress;  // optional wait text
  };
  enum class Outcome {
    NotOffered,  // start-up: the year is recorded already, or there are no students
    NotAllowed,  // three-button remotes: the rollover never runs
    Declined,    // the teacher answered "Hayır"
    Done,
    Failed,  // nothing changed; `message` says why
  };
  struct Report {
    Outcome outcome = Outcome::NotOffered;
    QString message;      // doneMessage() or the failure text
    QString label;        // school year the run was for
    QString backupStamp;  // e.g. "2025.9.1-8.5.7"
  };

  // 5-A -> 6-A, 9B -> 10B; names without digits or with two digit groups stay.
  static QString SinifNumarasiArttir(const QString& name);
  // As above, never above 12.
  static QString SeviyeArttir(const QString& level);
  // July-December: "year-(year+1)"; January-June: "(year-1)-year".
  static QString schoolYearLabel(const QDate& date);
  // year.month.day-hour.minute.second without leading zeros.
  static QString backupStamp(const QDateTime& when);

  static QString firstQuestion();
  static QString confirmYearQuestion(const QString& label);
  static QString doneMessage() { return QStringLiteral("Sınıf atlatma prosedürü tamamlanmıştır."); }

  // The menu item mnuSinifAtlatma. The store is closed while the files are
  // replaced and open again on return (also after a failure).
  static Report SinifAtlatmaUygula(store::Store& store, const Hooks& hooks);
  // Start-up: runs SinifAtlatmaUygula when this school year is not recorded in
  // TABLEOKUL and the school has students.
  static Report offer(store::Store& store, const Hooks& hooks);

  // Tells the teacher how it ended: the done message, or the failure. Nothing for
  // a rollover that was not offered, not allowed or declined.
  static void tell(Messages& messages, const Report& report);

  // The tables carried into the new year, in order.
  static const QStringList& carriedTables();
};

}  // namespace school
