#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "school/Student.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace school {

// The student records: numbering, loading, soft delete and purge, and the rule
// that no remote serves two students of one class.
class Students {
 public:
  // Columns of the grid queries that screens read back.
  static inline const QString kKayitNo = QStringLiteral("KAYITNO");

  explicit Students(store::Store& store) : m_store(store) {}

  // The active students of the student grid, in registration order.
  static store::Query activeListQuery();
  // Students that were deleted but are kept for their answers; SILINDIMI is
  // shown under the caption SILINMETARIHI.
  static store::Query deletedListQuery();

  // The registration number a new student gets: the largest numeric KAYITNO + 1
  // (deleted students included; 1 for an empty table; store::nextNumber). Every
  // way a student is added (the form, the import, student files, the demo
  // school) numbers from here.
  Result<qint64> nextRegistrationNumber() const;

  // Loads one student; its level is made offered when it is hidden.
  Result<Student> load(const QString& kayitNo);

  // "Bu 7 numaralı kaydı silmek istediğinizden emin misiniz?" / "Bu 3 kaydı ...".
  static QString deleteQuestion(const QStringList& kayitNos);
  // Soft delete: marks each student with `now` ("dd.MM.yyyy HH:mm:ss"), removes
  // its pairings and photo, then purges every marked student without answers.
  // One transaction. Returns the number of rows removed for good.
  Result<int> remove(const QStringList& kayitNos,
                     const QDateTime& now = QDateTime::currentDateTime());
  // Deletes marked students that have no stored answer; the number removed.
  Result<int> purge();

  // When `kayitNo` moves to `newClass` and one of its remotes already serves a
  // student of that class, the student's pairings are removed. Runs inside the
  // caller's transaction.
  Status releaseConflictingPairings(const QString& kayitNo, const QString& newClass);
  // The classes as offered in class lists: the "SINIFI" value list plus the
  // students' classes, sorted.
  Result<QStringList> classNames() const;
  Result<bool> any() const;
  // True when a student (deleted ones too) has the registration number.
  Result<bool> exists(const QString& kayitNo) const;

 private:
  store::Store& m_store;
};

}  // namespace school
