#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"
#include "authoring/QuestionSearch.h"

namespace store {
class Store;
}

namespace authoring {

class RandomSource;

// One row of a selection: its criteria and how many questions it asks for.
struct SelectionRow {
  QuestionSearch criteria{};
  int count = 0;
};

// What a selection did.
struct SelectionReport {
  int asked = 0;
  int added = 0;
  QStringList keys;             // the questions added, in their new order
  QList<SelectionReport> rows;  // per blueprint row (empty for a single row)
  // "10 soru eklendi", or "7 soru eklendi; ölçütlere uyan başka soru yok" when
  // fewer than asked (for a blueprint, the rows that fell short are named).
  QString message() const;
};

// Automatic question selection ("Otomatik Soru Seçme"): K questions drawn at
// random, uniformly and without replacement, from the live questions that match
// the criteria and are not in the test yet; they are appended at the next
// positions with their own time as the per-test time. A blueprint is several
// such rows applied one after the other (no question twice). Everything in one
// transaction; store.changed(Tests) after it.
class AutoSelection {
 public:
  // Called with (i, K) before the i-th question is added: "Eklenen : <i>/<K>".
  using Progress = std::function<void(int i, int k)>;

  AutoSelection(store::Store& store, RandomSource& random) : m_store(store), m_random(random) {}

  Result<SelectionReport> run(const QString& testNo, const SelectionRow& row,
                              const Progress& progress = {});
  Result<SelectionReport> runBlueprint(const QString& testNo, const QList<SelectionRow>& rows,
                                       const Progress& progress = {});

  static QString title() { return QStringLiteral("Otomatik Soru Seçme"); }
  static QString progressText(int i, int k) {
    return QStringLiteral("Eklenen : %1/%2").arg(i).arg(k);
  }
  // The count box: digits, not zero.
  static Result<int> parseCount(const QString& text);

 private:
  Result<SelectionReport> draw(const QString& testNo, const SelectionRow& row, int firstPosition,
                               const Progress& progress, int done, int total);
  store::Store& m_store;
  RandomSource& m_random;
};

}  // namespace authoring
