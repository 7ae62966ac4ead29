#pragma once

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include "Messages.h"
#include "Result.h"
#include "curriculum/CurriculumFilter.h"
#include "reports/Scoring.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace reports {

// The search of the report selection (frmRaporlarMenu): curriculum, class, group,
// description, test number and an optional date range. "TÜMÜ" or empty leaves a
// choice out. The list choices are kept per user in "RaporlarMenu"; a user who
// never searched starts with the class last chosen for a test run.
struct RunFilter {
  curriculum::CurriculumFilter curriculum;  // the course (unit ...) as the run resolves it
  QString sinifi;
  QString grup;
  QString aciklama;
  QString testNo;
  bool dateRange = false;  // chkTarihAraligi "Tarih Aralığına Göre"
  QDate from;              // DTBaslangic
  QDate to;                // DTBitis

  static QString section() { return QStringLiteral("RaporlarMenu"); }
  static Result<RunFilter> load(const store::Store& store);
  void save() const;
};

// One run of the list: its identity and what the list shows of it.
struct RunRow {
  RunKey key;
  QString testBitis;
  QString testNo;
  QString testAdi;
  int soruSayisi = 0;
  QString seviye, ders, unite, konu, kazanim;  // resolved: the test's, or a free run's own
  QString sinifi, grup, aciklama;
  QString aktarildi;

  enum class Opens { Report, ExpectationSurvey, LeadershipSurvey };
  // The two built-in surveys open their evaluation instead of the report.
  Opens opens() const;
  bool inProgress() const { return testBitis.isEmpty(); }
};

// What the presentation needs to take a run up again ("Uygulamaya Devam Et"): the
// run, its remotes (those that answered it) and, in the same order, the name each
// tile shows: the student of that remote's answers, or the address.
struct ResumeRun {
  RunKey key;
  QString testNo;
  QString testAdi;
  QStringList remotes;
  QStringList names;
};

// The run page of the report selection: finds, lists, deletes and merges stored
// runs, and gives the class and student pages their lists.
class RunList {
 public:
  explicit RunList(store::Store& store) : m_store(store) {}

  // "Bul": keeps the filter, repairs interrupted runs, and lists the runs newest
  // first.
  Result<QList<RunRow>> find(const RunFilter& filter);
  // Runs that never got an end time get their start time as end time, in all three
  // tables, in one transaction (from then on they are listed as finished).
  Status repairUnfinished();
  // The list as a grid statement (columns as the SlisteTestler layout names them,
  // AKTARILDI2 included) and as rows.
  static store::Query listQuery(const RunFilter& filter);
  Result<QList<RunRow>> rows(const RunFilter& filter) const;
  // One run, whatever the filter; an empty result when there is no such run.
  Result<QList<RunRow>> run(const RunKey& key) const;

  // Rows are coloured by upload state. There is no upload service: every run is
  // "not uploaded" (white).
  enum class Upload { NotUploaded, Uploaded };
  static Upload uploadState(const RunRow& row);
  static QColor colour(Upload state);

  // "Seçili Uygulama Kayıtlarını Sil": asks, then removes the runs' question rows,
  // answers and results in one transaction. False when the teacher said no.
  Result<bool> deleteRuns(const QList<RunKey>& runs, Messages& messages);
  static QString deleteQuestion(int count);
  // "Birleştir": the "Beklenti Anketi" runs among `runs` (selection order) move
  // their answers into the first, which then carries the class "Beklenti Anketi".
  // Other runs are left as they are. Returns how many runs were merged in.
  Result<int> mergeSurveyRuns(const QList<RunKey>& runs);
  // What "Uygulamaya Devam Et" hands to the presentation.
  Result<ResumeRun> resume(const RunKey& key) const;

  // The class page's list (one column SINIFI) and the student page's (ADI,
  // SOYADI, NUMARASI, SINIFI, SEVIYE, KAYITNO; deleted students with their
  // deletion time SILINMETARIHI, newest first).
  static store::Query classesQuery();
  static store::Query studentsQuery(bool deleted);

  static QString expectationSurvey() { return QStringLiteral("Beklenti Anketi"); }
  static QString leadershipSurvey() { return QStringLiteral("Liderlik Tarzı"); }

 private:
  store::Store& m_store;
};

}  // namespace reports
