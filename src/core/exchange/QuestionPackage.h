#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"
#include "exchange/PackageFile.h"
#include "exchange/TakenFiles.h"

namespace store {
class Store;
}

namespace exchange {

// Question files (".cks"): a ZIP archive with the package "Sru.mds" (TABLESORU
// with the pictures) and the inner media archives. Reading appends every
// question under the next free numbers (see PackageQuestions); one file is one
// transaction, so a bad file adds nothing.
class QuestionPackage {
 public:
  static inline const QString kMember = QStringLiteral("Sru.mds");

  explicit QuestionPackage(store::Store& store) : m_store(store) {}

  // File dialogs of the question screen; filters in the form QFileDialog takes.
  static QString writeDialogTitle() { return QStringLiteral("Soruların Verileceği Dosya"); }
  static QString readDialogTitle() { return QStringLiteral("Soruların Alınacağı Dosya"); }
  static QString fileFilter() { return QStringLiteral("Soru Dosyası (*.cks)"); }
  static QString writeDefaultName() { return QStringLiteral("Sorular.cks"); }

  static QString writtenMessage() { return QStringLiteral("Soru dosyası oluşturuldu"); }
  static QString writeFailedMessage() { return QStringLiteral("Dosya oluşturulamadı"); }
  static QString addedMessage(int count) {
    return QStringLiteral("%1 adet soru eklendi").arg(count);
  }
  // The main menu's item reads one file and says only this.
  static QString menuAddedMessage() { return QStringLiteral("Sorular eklendi"); }
  static QString readFailedMessage() {
    return QStringLiteral("Sorular alınamadı, lütfen dosyanın düzgün olduğundan emin olunuz.");
  }

  // Writes the questions with these keys (every one must exist).
  Status write(const QStringList& keys, const QString& archivePath);
  // Reads a question file; the number of questions added. The error names what
  // was wrong; screens show readFailedMessage() with it. `progress` is told
  // how far the numbering has come. The file is remembered as taken
  // (TakenFiles) in the same transaction.
  // `onlyIfNew`: a file that another board took meanwhile (after the caller
  // looked, TakenFiles) is refused in the writing transaction and adds nothing.
  Result<int> read(const QString& archivePath, const Progress& progress = {},
                   bool onlyIfNew = false);

 private:
  store::Store& m_store;
};

// Several exchange files read one after another, each in its own transaction:
// what the good ones added stays when another is refused.
struct ImportOutcome {
  int added = 0;
  QStringList failures;  // "<file>: <error>" per refused file
  QStringList skipped;   // TakenFiles::takenText() per file taken before and left out
};
// `read` reads one file; `progress` is told (i, n) before file i of n. With
// `taken`, a file read before is read again only when `again` says so; the
// others are left out (skipped) and add nothing. `read` is told `onlyIfNew`
// for a file not taken before: taken meanwhile by another board, it is skipped too.
ImportOutcome readFiles(const QStringList& paths,
                        const std::function<Result<int>(const QString&, bool onlyIfNew)>& read,
                        const std::function<void(int, int)>& progress = {},
                        const TakenFiles* taken = nullptr, const ReadAgain& again = {});
// "2/5 dosya işleniyor..."
QString fileProgressText(int index, int count);

}  // namespace exchange
