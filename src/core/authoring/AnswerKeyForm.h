#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "authoring/BookletOrders.h"

namespace store {
class Store;
}

namespace authoring {

// The answer key form of a test ("Cevap Anahtarı"): one row per question in A
// order with its marked choice, and the grids of booklets B, C and D with an
// "A Sırası" cell (typed) and a "Cevap" cell (the choice of that A question) per
// booklet position. A booklet's grid can be edited only while it is ticked.
// accept() stores the key, the ticks and the ticked orders in one transaction,
// after every ticked order proved to be an order of 1..N; otherwise nothing is
// stored and the message names the booklet and the position.
class AnswerKeyForm {
 public:
  explicit AnswerKeyForm(store::Store& store) : m_store(store) {}

  static QString title() { return QStringLiteral("Cevap Anahtarı"); }
  // Column captions of the booklet grids.
  static QString positionCaption() { return QStringLiteral("A Sırası"); }
  static QString answerCaption() { return QStringLiteral("Cevap"); }

  Status open(const QString& testNo);
  const QString& testNo() const { return m_testNo; }
  int rowCount() const { return int(m_letters.size()); }

  // The marked choice of row `row` (0-based; A position row + 1), or empty.
  QString letter(int row) const { return m_letters.value(row); }
  // A click on a choice cell: marks it, unmarks the other four of the row.
  void mark(int row, const QString& letter);

  bool bookletOn(Booklet booklet) const { return m_on[index(booklet)]; }
  void setBookletOn(Booklet booklet, bool on) { m_on[index(booklet)] = on; }
  // The typed "A Sırası" of booklet position row + 1.
  QString cell(Booklet booklet, int row) const { return m_cells[index(booklet)].value(row); }
  // False (and nothing changes) while the booklet is not ticked.
  bool setCell(Booklet booklet, int row, const QString& text);
  // "Cevap": the marked choice of the A question whose position the cell names.
  QString answer(Booklet booklet, int row) const;
  // "Karıştır": ticks the booklet and fills its cells with the order the seed
  // makes (booklets::shuffledOrder); the seed is kept to be shown.
  void shuffle(Booklet booklet, quint32 seed);
  // The seed of the booklet's last shuffle; 0 when its order was typed or stored.
  quint32 seed(Booklet booklet) const { return m_seeds[index(booklet)]; }
  static QString shuffleCaption() { return QStringLiteral("Karıştır"); }
  static QString seedCaption() { return QStringLiteral("Anahtar:"); }

  // cmdCevapAnahtariTamam.
  Status accept();

 private:
  static int index(Booklet b) { return int(b) - 1; }
  store::Store& m_store;
  QString m_testNo;
  QStringList m_letters;
  bool m_on[3]{};
  QStringList m_cells[3];
  quint32 m_seeds[3]{};
};

}  // namespace authoring
