#pragma once

#include <QDateTime>
#include <QPageLayout>
#include <QString>

#include <functional>
#include <memory>

#include "Result.h"
#include "authoring/BookletHeader.h"
#include "authoring/BookletOrders.h"

class QTextDocument;

namespace store {
class Store;
}

namespace authoring {

// What a booklet document holds.
struct BookletOptions {
  enum class Columns { Auto, One, Two };
  Booklet booklet = Booklet::A;
  bool answerKey = false;  // "Testin sonuna cevap anahtarı yazılsın mı"
  HeaderPlacement header = HeaderPlacement::FirstPage;
  // Auto: two columns when every picture fits a column at its own size.
  Columns columns = Columns::Auto;
};

// The booklet of a test as a document, without a word processor: a cover line
// naming the booklet, the test's header (first page, every page or none), each
// question under "Soru <i> :" with its picture scaled to the column width (the
// picture's own pixels are kept, so print resolution is not lost), one or two
// columns, and on request the "Cevap Anahtarı" with "<i>-<X>" pairs. Booklets B-D
// show the questions in their own order with their own key. The same document is
// written as .odt (QTextDocumentWriter) or .pdf (QPdfWriter), or printed: give
// the printer pageLayout() and call QTextDocument::print.
class BookletDocument {
 public:
  // Called before each question: progressText(n, i), i and n.
  using Progress = std::function<void(const QString& text, int i, int n)>;

  explicit BookletDocument(store::Store& store) : m_store(store) {}

  Result<std::unique_ptr<QTextDocument>> build(const QString& testNo, const BookletOptions& options,
                                               const Progress& progress = {});
  // Writes a .pdf or an .odt (by the name's ending); the file appears whole or not at all.
  Status write(const QString& testNo, const QString& path, const BookletOptions& options,
               const Progress& progress = {});

  // A4 portrait with 20 mm margins: the pages the document is laid out for.
  static QPageLayout pageLayout();
  // "Kitapcik <date without dots>-<time without colons>".
  static QString defaultName(const QDateTime& now);
  // The name of booklet `booklet`'s file when several are written at once:
  // "<base> B.pdf" (A keeps the base name).
  static QString fileNameFor(const QString& path, Booklet booklet);
  // "<N> Kayıttan <i>. Kayıt Ekleniyor"
  static QString progressText(int n, int i);
  static QString keyQuestion() {
    return QStringLiteral("Testin sonuna cevap anahtarı yazılsın mı");
  }
  static QString keyHeading() { return QStringLiteral("Cevap Anahtarı"); }
  static QString panelTitle() { return QStringLiteral("Kitapçık Ayarları"); }
  static QString noQuestionsMessage() { return QStringLiteral("Soru Bulunamadı"); }
  // What explains a disabled save or print button (booklet rights).
  static QString noSaveRightText() {
    return QStringLiteral("MS Word Belgesine Kaydetme Yetkiniz Bulunmamaktadır");
  }
  static QString noPrintRightText() { return QStringLiteral("Yazdırma Yetkiniz Bulunmamaktadır"); }

 private:
  store::Store& m_store;
};

}  // namespace authoring
