#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "exchange/PackageFile.h"

#include <QHash>

namespace store {
class Store;
}

namespace exchange {

class PackageQuestions;

// Test files (".ckp", and ".ckt" from the main menu): a ZIP archive with the
// package "Tst.mds" (TABLESORU of every question of the tests, TABLETEST with
// the start screen BASLANGICEKRANI and header BASLIK, TABLETESTSORU with the
// booklet orders) and the inner media archives. An archive that holds a ".ckp"
// instead of the package (a test file handed on inside another archive) is
// read as that file.
//
// Reading: numeric tests and questions get the next free numbers, distributed
// ones (keys not starting with a digit) keep their keys and replace their older
// copies; tests come with their questions, memberships, booklet orders,
// pictures, start screens, headers and media; missing curriculum definitions
// and authors are added. One file is one transaction: a bad file adds nothing.
class TestPackage {
 public:
  static inline const QString kMember = QStringLiteral("Tst.mds");
  // A package carries at most PackageQuestions::kMaxQuestions questions; a test
  // places a question once, so the question rows of its tests can reach that
  // count only when every question is in one test (or in ten tests of a tenth).
  // More is no package any school wrote, and the rows are held in memory.
  static constexpr int kMaxTests = 10000;
  static constexpr int kMaxMemberships = 100000;

  explicit TestPackage(store::Store& store) : m_store(store) {}

  static QString writeDialogTitle() { return QStringLiteral("Testin Verileceği Dosya"); }
  static QString readDialogTitle() { return QStringLiteral("Testin Alınacağı Dosya"); }
  static QString fileFilter() { return QStringLiteral("Test Dosyası (*.ckp)"); }
  // The test screen also reads a test file inside an archive.
  static QString readFileFilter() { return QStringLiteral("Test Dosyası (*.ckp *.rar *.zip)"); }
  // The main menu's item.
  static QString menuFileFilter() { return QStringLiteral("Test Dosyası (*.ckt)"); }
  static QString writeDefaultName() { return QStringLiteral("Test.ckp"); }

  static QString writtenMessage() { return QStringLiteral("Test dosyası oluşturuldu"); }
  static QString writeFailedMessage() { return QStringLiteral("Dosya oluşturulamadı"); }
  static QString addedMessage(int count) {
    return QStringLiteral("%1 adet test eklendi").arg(count);
  }
  // With the numbers the tests got: "Test eklendi (Test No: 12)".
  static QString menuAddedMessage(const QStringList& testNos = {}) {
    return QStringLiteral("Test eklendi") + numbersText(testNos);
  }
  static QString addedMessage(int count, const QStringList& testNos) {
    return addedMessage(count) + numbersText(testNos);
  }
  // " (Test No: 12, 13)"; empty for none.
  static QString numbersText(const QStringList& testNos) {
    return testNos.isEmpty()
               ? QString()
               : QStringLiteral(" (Test No: %1)").arg(testNos.join(QStringLiteral(", ")));
  }
  static QString readFailedMessage() {
    return QStringLiteral("Testler alınamadı, lütfen dosyanın düzgün olduğundan emin olunuz.");
  }

  // Writes the tests with these keys (every one must exist) with their questions.
  Status write(const QStringList& testNos, const QString& archivePath);
  // Reads a test file; the number of tests added. `progress` is told how far
  // the numbering of the questions and then of the tests has come.
  // The file is remembered as taken (TakenFiles) in the same transaction.
  // `onlyIfNew`: a file that another board took meanwhile (after the caller
  // looked, TakenFiles) is refused in the writing transaction and adds nothing.
  Result<int> read(const QString& archivePath, const Progress& progress = {},
                   bool onlyIfNew = false);
  // The numbers the tests of the last read() got, in the file's order.
  const QStringList& addedTests() const { return m_addedTests; }
  // Package key -> number in the bank, of the last read() or merge().
  const QHash<QString, QString>& testKeys() const { return m_testKeys; }

  // The package's tables for the tests `testNos` and the questions
  // `questionNos`: what write() puts in a file, and what a data folder taken into
  // a school's server goes through.
  static Status writeTables(PackageWriter& package, const QStringList& testNos,
                            const QStringList& questionNos);
  // Merges an open package into the bank inside the caller's transaction: the
  // questions through `questions` (loaded here), then the tests, each renumbered
  // where the bank has its number, every reference following. The number of tests.
  Result<int> merge(PackageDatabase& package, const PackageFile::Unpacked& unpacked,
                    PackageQuestions& questions, const Progress& progress = {});
  // A whole data folder may hold no test; a test file must.
  void setTestsRequired(bool required) { m_testsRequired = required; }
  // "Testler Numaralandırılıyor : <i>/<n>", every tenth test.
  static QString numberingText(int index, int count);

 private:
  store::Store& m_store;
  QStringList m_addedTests;
  QHash<QString, QString> m_testKeys;
  bool m_testsRequired = true;
};

}  // namespace exchange
