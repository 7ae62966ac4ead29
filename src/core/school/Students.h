#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"
#include "school/Query.h"
#include "school/Student.h"

namespace school {

// The student records: numbering, loading, soft delete and purge, and the rule
// that no remote serves two students of one class.
class Students {
 public:
  // The active students of the student grid, in registration order.
  static Query activeListQuery();
  // Students that were deleted but are kept for their answers; SILINDIMI is
  // shown under the caption SILINMETARIHI.
  static Query deletedListQuery();

  // Largest numeric KAYITNO + 1 (deleted students included; 1 for an empty table).
  static int nextRegistrationNumber();

  // Loads one student; its level is made offered when it is hidden.
  static Result<Student> load(const QString& kayitNo);

  // "Bu 7 numaralı kaydı silmek istediğinizden emin misiniz?" / "Bu 3 kaydı ...".
  static QString deleteQuestion(const QStringList& kayitNos);
  // Soft delete: marks each student with `now` ("dd.MM.yyyy HH:mm:ss"), removes
  // its pairings and photo, then purges every marked student without answers.
  // One transaction. Returns the number of rows removed for good.
  static Result<int> remove(const QStringList& kayitNos, const QDateTime& now = QDateTime::currentDateTime());
  // Deletes marked students that have no stored answer; the number removed.
  static Result<int> purge();

  // When `kayitNo` moves to `newClass` and one of its remotes already serves a
  // student of that class, the student's pairings are removed. Runs on the
  // shared connection inside the caller's transaction.
  static Status releaseConflictingPairings(const QString& kayitNo, const QString& newClass);
  // The classes as offered in class lists: the "SINIFI" value list plus the
  // students' classes, sorted.
  static QStringList classNames();
};

}  // namespace school
