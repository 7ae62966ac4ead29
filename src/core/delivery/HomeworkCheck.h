#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

#include "Messages.h"
#include "Result.h"
#include "curriculum/CurriculumFilter.h"
#include "delivery/RunPlan.h"
#include "delivery/RunSetup.h"

namespace delivery {

// The homework check (frmSerbestBilgileri, "Ödev Kontrol") without its widgets:
// the answers to a test solved on paper are collected question by question as a
// free run that ends at the question count. Its options are those saved on the
// test setup screen (RunSettings::loadForFreeQuestions); the screen keeps its own
// "Testteki Soruları Kırp ve Kaydet" choice and, per user, the last level and
// course.
struct HomeworkCheck {
  QString questionsText;  // txtSoruSayisi, as typed
  QString testName;       // txtTestAdi
  curriculum::CurriculumFilter curriculum;
  QString className;  // cmbSinifi
  QString group, description;
  bool clip = false;                    // chkKirpma
  QList<RunSetup::RemoteRow> students;  // selected rows; none: the virtual remote
  QStringList teachers;

  // The run to open with RunSession::openFree(plan, questions()), or nothing
  // after telling the teacher what is wrong with the count.
  std::optional<RunPlan> plan(const RunSettings& settings, const RunSetup& setup,
                              Messages& messages) const;
  // The typed count, or -1 when it is not a whole number from 1 to 1000.
  int questions() const;
  static QString badCountText() {
    return QStringLiteral("Soru sayısı 1 ile 1000 arasında bir sayı olmalıdır.");
  }

  static Result<bool> loadClip(const QSqlDatabase& db);
  static Status saveClip(const QSqlDatabase& db, bool on);
  // The last level and course chosen (section "SerbestAyar").
  static curriculum::CurriculumFilter lastCurriculum();
  static void rememberCurriculum(const curriculum::CurriculumFilter& chosen);

  static inline const QString kScreen = QStringLiteral("frmSerbestBilgileri");
};

}  // namespace delivery
