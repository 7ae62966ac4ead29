#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

#include "Result.h"
#include "exchange/PackageFile.h"

namespace store {
class Store;
}

namespace exchange {

// What one board's data folder brought into a school's database.
struct FolderImportReport {
  bool alreadyImported = false;  // nothing was added: the folder came in at `importedAt`
  QDateTime importedAt;
  int studentsAdded = 0;
  int studentsMatched = 0;  // found in the school: the folder's rows point to them
  int remotesAdded = 0;
  int pairingsAdded = 0;
  int cardsAdded = 0;
  int usersAdded = 0;
  int questions = 0;
  int tests = 0;
  int runs = 0;
  int runsSkipped = 0;  // a run of the same date and start time was there already
  qint64 answers = 0;
  qint64 results = 0;
  int files = 0;             // sounds, videos and photos
  bool institution = false;  // the school had no code yet and took the folder's
  // The one line a finished import prints.
  QString summary() const;
};

// `server import-folder`: one board's whole data folder into the school's
// database (the store it is given, normally on the server), in ONE transaction
// of that database, merged the way exchange files are: the questions and tests
// go through the test file's merge (renumbered after the school's largest
// numbers, every test, membership and content following); students are found
// by identity number, else by class and school number, else by name in the
// class, and added under new registration numbers otherwise; remotes by their
// address; pairings and cards follow their students; runs come with their
// answers, results and left-out lists under the same date and start time, their
// test, question and registration numbers following the merge. The folder's
// identity is recorded with the time, so the same folder a second time adds
// nothing and the report says when it came in.
class FolderImport {
 public:
  explicit FolderImport(store::Store& school) : m_school(school) {}

  // A line per step (and the merge's numbering lines).
  void setProgress(Progress progress) { m_progress = std::move(progress); }
  // Called after everything is written, before the commit; a failure it returns
  // rolls the whole import back (tests stop an import there).
  void setBeforeCommit(std::function<Status()> hook) { m_beforeCommit = std::move(hook); }

  Result<FolderImportReport> run(const QString& folder);

 private:
  void step(const QString& text) const {
    if (m_progress) m_progress(text);
  }
  store::Store& m_school;
  Progress m_progress;
  std::function<Status()> m_beforeCommit;
};

}  // namespace exchange
