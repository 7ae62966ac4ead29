#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"

namespace store {
class Store;
}

namespace exchange {

// Student record files (".ckk"): a ZIP archive with the package "Kyt.mds" that
// holds TABLEOGRENCI. Reading appends the students under new registration numbers
// (largest local number + 1, + 2, ... in the order of their numbers in the file),
// so nothing present is overwritten; a bad file adds nothing.
class StudentPackage {
 public:
  static inline const QString kMember = QStringLiteral("Kyt.mds");
  static constexpr int kMaxStudents = 100000;

  explicit StudentPackage(store::Store& store) : m_store(store) {}

  // File dialogs of cmdKayitVer / cmdKayitAl.
  static QString writeDialogTitle() { return QStringLiteral("Kayıtların Verileceği Dosya"); }
  static QString readDialogTitle() { return QStringLiteral("Kayıtların Alınacağı Dosya"); }
  // Filters are in the form QFileDialog takes.
  static QString fileFilter() { return QStringLiteral("Kayıt Dosyası (*.ckk)"); }
  static QString writeDefaultName() { return QStringLiteral("Kayit.ckk"); }
  static QString readDefaultName() { return QStringLiteral("Kayıt"); }

  // Messages of the student screen.
  static QString writtenMessage() { return QStringLiteral("Kayıt dosyası oluşturuldu"); }
  static QString writeFailedMessage() { return QStringLiteral("Dosya oluşturulamadı"); }
  static QString addedMessage(int count) {
    return QStringLiteral("%1 adet kayit eklendi").arg(count);
  }
  static QString readFailedMessage() {
    return QStringLiteral("Kayıtlar alınamadı, lütfen dosyanın düzgün olduğundan emin olunuz.");
  }

  // Writes the students with these registration numbers to `archivePath`.
  Status write(const QStringList& kayitNos, const QString& archivePath);
  // Reads a student file; the number of students added. Every value is checked
  // as the spreadsheet import checks it (text, at most 255 characters, a first
  // name present); one bad row refuses the whole file, named by its row. The
  // error text names what was wrong; the screen shows readFailedMessage() with it.
  Result<int> read(const QString& archivePath);

 private:
  store::Store& m_store;
};

}  // namespace exchange
