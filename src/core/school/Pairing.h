#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "school/Query.h"

namespace school {

// The register of remotes (TABLEKUMANDA) and their pairing with students
// (TABLEESLESME): a student remote serves at most one student per class.
// The grid queries of frmKumandaTanimlama live here; "TÜMÜ" as class means all.
class Pairing {
 public:
  static inline const QString kAllClasses = QStringLiteral("TÜMÜ");

  // cmbSinifi: "TÜMÜ" followed by the classes.
  static QStringList classFilterEntries();
  // SlisteKumandalarOgretmen: KUMANDAADRESI, KISISAYISI.
  static Query teacherRemotesQuery();
  // SlisteKumandalar: KUMANDAADRESI, KISISAYISI, SECILENSINIFTA (0 for "TÜMÜ").
  static Query studentRemotesQuery(const QString& sinifi);
  // Both student grids when no remote is selected.
  static Query noStudentsQuery();
  // SlisteEslesme: students paired with the remote.
  static Query pairedStudentsQuery(const QString& address, const QString& sinifi);
  // SlisteOgrenciler: students not paired with any remote and not in a class
  // where this remote already has a student.
  static Query availableStudentsQuery(const QString& address, const QString& sinifi);

  // cmdEkle / cmdCikart: one transaction each. Pairing refuses a student that
  // would make the remote serve two students of one class.
  static Status pair(const QString& address, const QStringList& kayitNos);
  static Status unpair(const QString& address, const QStringList& kayitNos);

  // cmdOtomatikEslestir: each address, in the given order, gets the first
  // unpaired student of the class (registration order) unless it already has a
  // student of that class. The number of pairings made.
  // Only registered student remotes are paired: an unknown, malformed or
  // teacher address refuses the whole list.
  static Result<int> autoPair(const QStringList& addresses, const QString& sinifi);
  static Status checkStudentRemotes(const QStringList& addresses);
  // What the teacher is told after the automatic pairing of a class: "29 öğrenci
  // eşleştirildi; 2 öğrencinin kumandası yok: ADI SOYADI, ...".
  static QString autoPairSummary(int made, const QString& sinifi);
  // "ADI SOYADI" of the students of the class (all classes for "TÜMÜ") who have
  // no remote, by name.
  static QStringList studentsWithoutRemote(const QString& sinifi);
  // SlisteOgrenciler with the filter "Kumandası olmayanlar": those students.
  static Query withoutRemoteQuery(const QString& sinifi);
  static QString waitText() { return QStringLiteral("Lütfen Bekleyiniz..."); }

  // cmdSil: the question, then removal of the remotes with their pairings.
  static QString deleteQuestion(const QStringList& addresses);
  static Status removeRemotes(const QStringList& addresses);

  // Registers (replaces) one remote; its pairings stay.
  static Status registerRemote(const QString& address, bool teacher);
  // "12-201": two numbers 0-255 joined by a hyphen.
  static bool validAddress(const QString& address);
};

}  // namespace school
