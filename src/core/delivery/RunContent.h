#pragma once

#include <QList>
#include <QString>

#include "Result.h"
#include "delivery/RunSettings.h"

namespace store {
class Store;
}

namespace delivery {

// One question of the run, in test order; its position in the run is its place
// in this list (from 1), whatever TESTSIRANO says.
struct RunQuestion {
  QString soruNo;
  QString time;       // TABLETESTSORU.SURE: seconds, or "Süresiz"
  QString key;        // TABLESORU.DOGRUSIK (empty when the bank has no row)
  QString mediaFile;  // Sesler/<SORUNO>.* in the data folder, empty when none
};

// A line of the question statistics page ("SEVIYE", "DERS", "ÜNİTE", "SORU
// SAYISI", "SÜRE").
struct QuestionStatisticsRow {
  QString level;
  QString course;
  QString unit;  // cut to 35 characters and "..."
  int questions = 0;
  QString time;  // "450 sn" or "Süresiz"
  bool operator==(const QuestionStatisticsRow&) const = default;
};

// What a run of a test shows, read once when the run opens: its questions and
// whether the test asks for the start screen and the question statistics page.
// The pictures themselves stay in the content stores; a screen reads them by
// SORUNO (questions) and TESTNO (start screen) when it shows them.
struct RunContent {
  QList<RunQuestion> questions;
  bool startScreen = false;         // BASLANGICEKRANIGOSTER not "0"
  bool questionStatistics = false;  // SORUSAYILARINIGOSTER not "0"
  QList<QuestionStatisticsRow> statistics;

  // "Test Bulunamadı" when the test has no row.
  static Result<RunContent> load(store::Store& store, const QString& testNo,
                                 const RunSettings& settings);
  // The question's time under the run's duration mode: seconds, or 0 untimed.
  static int secondsFor(const RunQuestion& question, const RunSettings& settings);
};

}  // namespace delivery
