#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include "Result.h"

namespace store {
class Store;
}

namespace authoring {

// Renumbering a test (a double-click on its number): the test gets key N and
// each of its questions with a local key becomes N followed by its three-digit
// position (test 12, position 5: 12005). A question is re-keyed everywhere it is
// referenced: every test's membership, every question content store, its sound
// and video file names, recorded runs (TABLEUYGULAMA, TABLECEVAP); the test's own
// key changes in TABLETEST, its test store row and its recorded runs
// (TABLEUYGULAMA, TABLECEVAP, TABLESONUC). All statements run in one transaction;
// the files are renamed after the statements and renamed back when the commit
// fails. A key that another test or question already has is refused, and
// nothing changes.
class TestRenumbering {
 public:
  struct Report {
    QString testNo;                            // the new test key
    QList<QPair<QString, QString>> questions;  // old key -> new key
  };

  explicit TestRenumbering(store::Store& store) : m_store(store) {}

  Result<Report> renumber(const QString& testNo, const QString& newTestNo);

  // The input box of the test screen: its text and its second line.
  static QString prompt() {
    return QStringLiteral("Testin numarasını değiştirmek için yeni test numarasını giriniz");
  }
  static QString promptDetail() {
    return QStringLiteral(
        "Bu testteki soruların numaralarını da değiştirecektir. Değişiklikten emin değilseniz "
        "İptal'e basınız");
  }

 private:
  store::Store& m_store;
};

}  // namespace authoring
