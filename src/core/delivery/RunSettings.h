#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "reports/Penalty.h"
#include "store/RunSetupChoices.h"

namespace store {
struct Institution;
}

namespace delivery {

// The run options of the test-run screen (frmTestUygula): how long each question
// runs, how wrong answers count, which report follows each question and the end
// of the run, and the free-questioning choices. The presentation gets them as this
// value when a run starts; free questioning reads the same stored options.
//
// Stored as the screen's control rows of TABLEAYAR (store::SavedControls), in the
// layout the data has always had; load() and save() are the only code that knows
// those rows. A value never read from the database has the factory defaults.
struct RunSettings {
  // optSure(0..2): the index is what is stored.
  enum class Duration { PerQuestion = 0, Untimed = 1, Fixed = 2 };
  // optGoturu(0..2): the index is the penalty's stored number.
  using Penalty = reports::Penalty;
  // cmbSoruRaporuGoster: the position in the list is what is stored.
  enum class QuestionReport {
    None = 0,                 // "Rapor Gösterme"
    GeneralChart = 1,         // "Genel Durum Grafiği"
    QuestionStatistics = 2,   // "Soru Bazlı İstatistikler"
    StudentDistribution = 3,  // "Öğrenci Dağılım Grafiği"
    StudentAnswers = 4,       // "Öğrenci Cevapları"
    StudentStatus = 5,        // "Öğrencinin Testteki Durumu"
  };

  Duration duration = Duration::Fixed;
  int fixedSeconds = 90;  // cmbSure: 5 .. 600 in steps of 5
  Penalty penalty = Penalty::None;
  QuestionReport afterQuestion = QuestionReport::QuestionStatistics;
  bool remoteTestScreen = true;      // optKumandaTest: "Göster" before the first question
  bool reportAtEnd = true;           // optIstatistik: "Rapor Göster" at the end
  bool goOnWhenAllAnswered = false;  // chkHerkesCevapVerinceGec
  bool lastTenSecondsOnly = false;   // chkSon5Saniye: the countdown shows only at the end
  bool majorityIsCorrect = false;    // chkCogunlukCevabi (free questioning)
  bool autoStartVoting = false;      // chkOylamaOtomatikBaslasin (free questioning)

  // The settings a test run of `institution` really runs with: a school with
  // three-button remotes always gets the statistics after each question, a fixed
  // 90 seconds and going on when everybody answered, whatever was saved or asked
  // for. Applied where a run is set up (RunSetup::start, resuming), so the screen
  // and the command line cannot differ.
  RunSettings effective(const store::Institution& institution) const;

  // cmbSoruRaporuGoster (and the lesson's cmbDersRaporGoster), in QuestionReport order.
  static QStringList questionReportEntries();

  // The fixed durations offered, in order: "Süresiz" (0) first, then 5 .. 600.
  static int secondsAt(int position);  // 0 for "Süresiz" or a position out of range
  static int positionOf(int seconds);  // the nearest offered duration; 0 for 0 seconds
  static int durationCount() { return 121; }

  static Result<RunSettings> load(const QSqlDatabase& db);
  // The options the homework check takes from the same rows: duration (a stored
  // "Süresiz" is untimed), penalty, remote test, go-on-when-all-answered, majority
  // and auto-start voting; it opens no report after a question nor at the end.
  static Result<RunSettings> loadForFreeQuestions(const QSqlDatabase& db);
  // Stores the options, keeping the screen's other saved choices.
  Status save(const QSqlDatabase& db) const;

  bool operator==(const RunSettings&) const = default;
};

// The search choices of the same screen; their stored form lives below the run
// set-up, where the report selection and the rollover reach it too.
using store::kRunSetupScreen;
using store::RunSetupChoices;

}  // namespace delivery
