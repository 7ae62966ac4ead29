#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "Result.h"

namespace store {
class Store;
}

namespace authoring {

// Booklets A-D of a test. A is the test's own order (TESTSIRANO); B, C and D
// give each question a second, third and fourth position (BSIRASI ...), and
// TABLETEST.BKITAPCIK ... says whether the booklet exists. An order is written
// as the grids of the answer key form show it: for booklet positions 1..N, the
// A position of the question shown there.
enum class Booklet { A = 0, B = 1, C = 2, D = 3 };

namespace booklets {

// "A".."D" and back; nullopt for any other text.
QString letter(Booklet booklet);
std::optional<Booklet> fromLetter(const QString& text);

// Checks that `aPositions` (one per booklet position) is an order of 1..n: the
// message names the booklet, a position out of range, one given twice or one
// missing. Empty when it is.
QString orderProblem(Booklet booklet, const QList<int>& aPositions, int n);
// Reads "3,1,2" (spaces allowed); an unreadable part is an error naming it.
Result<QList<int>> parseOrder(const QString& text);

// "Karıştır": a random order of 1..n made from `seed`. The same seed gives the
// same order on every board, so a teacher who notes the seed can make the
// booklet again; for n > 1 the order is never A's own.
QList<int> shuffledOrder(int n, quint32 seed);
// A fresh seed short enough to note down (1..99999).
quint32 newSeed();

}  // namespace booklets

// The stored booklet orders of a test.
class BookletOrders {
 public:
  explicit BookletOrders(store::Store& store) : m_store(store) {}

  // For booklet positions 1..N the A position shown there; 0 where no question
  // has that booklet position. For A: 1..N.
  Result<QList<int>> order(const QString& testNo, Booklet booklet) const;
  // Whether booklet B, C or D is ticked (A always exists).
  Result<bool> exists(const QString& testNo, Booklet booklet) const;
  // Stores an order and ticks the booklet, after orderProblem() found nothing
  // (else nothing is stored and the message is the error). One transaction.
  Status setOrder(const QString& testNo, Booklet booklet, const QList<int>& aPositions);
  // Inside the caller's transaction: the same without the transaction and signal.
  Status writeOrder(const QString& testNo, Booklet booklet, const QList<int>& aPositions);
  Status writeExists(const QString& testNo, Booklet booklet, bool on);

 private:
  store::Store& m_store;
};

}  // namespace authoring
