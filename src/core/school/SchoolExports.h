#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"

namespace store {
class Store;
}

namespace school {

// Pairing lists and labels written as .xlsx: title in A1, column headers in row
// 3, data from row 4 with the running number "SN" in column A.
class SchoolExports {
 public:
  explicit SchoolExports(const store::Store& store) : m_store(store) {}

  static QString fileFilter() { return QStringLiteral("Excel Dosyası (*.xlsx)"); }
  // The file name offered for a list ("TÜMÜ Etiket" -> "TÜMÜ Etiket.xlsx"): Turkish
  // letters stay; only characters no file name may hold (on this disk or on a
  // memory stick) become "-".
  static QString proposedFileName(const QString& title);
  // Asked after a file was written; on Yes the screen opens it with the desktop's
  // default application (QDesktopServices::openUrl).
  static QString openQuestion() {
    return QStringLiteral("Raporunuz başarıyla hazırlandı, Raporu şimdi açmak ister misiniz?");
  }

  // cmdEslesmeListesi: "<class> SINIFI EŞLEŞME LİSTESİ"; SN, Kumanda No, Numarası, Adı,
  // Soyadı. Every student of the class, the ones without a remote with an empty Kumanda No.
  Status pairingList(const QString& sinifi, const QString& path) const;
  // cmdEtiket: one label per paired student of the class ("ADI" line break
  // "SOYADI", by name); a second sheet lists the student-remote addresses.
  Status classLabels(const QString& sinifi, const QString& path) const;
  // Labels of several classes: per address the students of those classes,
  // "ADI SOYADI (SINIFI)" one per line.
  Status multiClassLabels(const QStringList& classes, const QString& path) const;
  // Remote number labels (double-click on the count): every address given, or
  // every registered remote when the list is empty.
  Status remoteNumberLabels(const QStringList& addresses, const QString& path) const;
  // Where the remote number labels go by default: derslik_kumanda.xlsx in the data folder.
  QString remoteNumberLabelsPath() const;

 private:
  const store::Store& m_store;
};

}  // namespace school
