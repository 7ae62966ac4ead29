#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace school {

// The register of remotes (TABLEKUMANDA) and their pairing with students
// (TABLEESLESME): a student remote serves at most one student per class.
// The grid queries of frmKumandaTanimlama live here; "TÜMÜ" as class means all.
class Pairing {
 public:
  // Columns of the grid queries that screens read back.
  static inline const QString kAddress = QStringLiteral("KUMANDAADRESI");
  static inline const QString kKayitNo = QStringLiteral("KAYITNO");

  explicit Pairing(store::Store& store) : m_store(store) {}

  // cmbSinifi: "TÜMÜ" followed by the classes.
  Result<QStringList> classFilterEntries() const;
  // SlisteKumandalarOgretmen: KUMANDAADRESI, KISISAYISI.
  static store::Query teacherRemotesQuery();
  // SlisteKumandalar: KUMANDAADRESI, KISISAYISI, SECILENSINIFTA (0 for "TÜMÜ").
  static store::Query studentRemotesQuery(const QString& sinifi);
  // Both student grids when no remote is selected.
  static store::Query noStudentsQuery();
  // SlisteEslesme: students paired with the remote.
  static store::Query pairedStudentsQuery(const QString& address, const QString& sinifi);
  // SlisteOgrenciler: students not paired with any remote and not in a class
  // where this remote already has a student.
  static store::Query availableStudentsQuery(const QString& address, const QString& sinifi);

  // Addresses of the registered teacher / student remotes, in registration order.
  Result<QStringList> teacherAddresses() const;
  Result<QStringList> studentAddresses() const;

  // cmdEkle / cmdCikart: one transaction each. Pairing refuses a student that
  // would make the remote serve two students of one class.
  Status pair(const QString& address, const QStringList& kayitNos);
  Status unpair(const QString& address, const QStringList& kayitNos);

  // cmdOtomatikEslestir: each address, in the given order, gets the first
  // unpaired student of the class (registration order) unless it already has a
  // student of that class. The number of pairings made.
  // Only registered student remotes are paired: an unknown, malformed or
  // teacher address refuses the whole list.
  Result<int> autoPair(const QStringList& addresses, const QString& sinifi);
  // cmdOtomatikEslestir with no remote chosen: what to do.
  static QString noRemotesChosenMessage() {
    return QStringLiteral(
        "Otomatik eşleştirme için önce soldaki \"Öğrenci Kumandaları\" listesinden "
        "kumandaları seçiniz. Hepsini seçmek için listenin sol üst köşesindeki kutuyu "
        "işaretleyiniz.");
  }
  // Before the automatic pairing of `sinifi`: when some of the remotes already
  // serve students of other classes, the question that says so (a remote serves
  // one student in each class, so both classes will use it); empty when none does
  // or when every student of the class has a remote already (nothing would change).
  Result<QString> sharedRemotesQuestion(const QStringList& addresses, const QString& sinifi) const;
  Status checkStudentRemotes(const QStringList& addresses) const;
  // What the teacher is told after the automatic pairing of a class: "29 öğrenci
  // eşleştirildi; 2 öğrencinin kumandası yok: ADI SOYADI, ...".
  QString autoPairSummary(int made, const QString& sinifi) const;
  // "ADI SOYADI" of the students of the class (all classes for "TÜMÜ") who have
  // no remote, by name.
  Result<QStringList> studentsWithoutRemote(const QString& sinifi) const;
  // SlisteOgrenciler with the filter "Kumandası olmayanlar": those students.
  static store::Query withoutRemoteQuery(const QString& sinifi);
  static QString waitText() { return QStringLiteral("Lütfen Bekleyiniz..."); }

  // cmdSil: the question, then removal of the remotes with their pairings.
  static QString deleteQuestion(const QStringList& addresses);
  Status removeRemotes(const QStringList& addresses);

  // Registers (replaces) one remote; its pairings stay.
  Status registerRemote(const QString& address, bool teacher);

 private:
  store::Store& m_store;
};

}  // namespace school
