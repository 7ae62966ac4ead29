#include "authoring/AnswerKeyForm.h"

#include "authoring/Question.h"
#include "authoring/TestQuestions.h"
#include "store/Store.h"

namespace authoring {

Status AnswerKeyForm::open(const QString& testNo) {
  const Result<QList<TestQuestion>> rows = TestQuestions(m_store).list(testNo);
  if (!rows) return Status::failure(rows.error());
  m_testNo = testNo;
  m_letters.clear();
  for (const TestQuestion& t : rows.value()) m_letters << t.dogruSik;
  const BookletOrders orders(m_store);
  for (Booklet b : {Booklet::B, Booklet::C, Booklet::D}) {
    const Result<bool> on = orders.exists(testNo, b);
    const Result<QList<int>> order = orders.order(testNo, b);
    if (!on) return Status::failure(on.error());
    if (!order) return Status::failure(order.error());
    m_on[index(b)] = on.value();
    m_seeds[index(b)] = 0;
    QStringList& cells = m_cells[index(b)];
    cells.clear();
    for (int p : order.value()) cells << (p > 0 ? QString::number(p) : QString());
  }
  return {};
}

void AnswerKeyForm::mark(int row, const QString& letter) {
  if (row < 0 || row >= m_letters.size() || !texts::kChoices.contains(letter)) return;
  m_letters[row] = letter;
}

bool AnswerKeyForm::setCell(Booklet booklet, int row, const QString& text) {
  if (booklet == Booklet::A || !bookletOn(booklet) || row < 0 || row >= m_letters.size())
    return false;
  m_cells[index(booklet)][row] = text.trimmed();
  m_seeds[index(booklet)] = 0;  // a typed order is no seed's any more
  return true;
}

void AnswerKeyForm::shuffle(Booklet booklet, quint32 seed) {
  if (booklet == Booklet::A) return;
  m_on[index(booklet)] = true;
  QStringList& cells = m_cells[index(booklet)];
  cells.clear();
  for (int p : booklets::shuffledOrder(rowCount(), seed)) cells << QString::number(p);
  m_seeds[index(booklet)] = seed;
}

QString AnswerKeyForm::answer(Booklet booklet, int row) const {
  bool ok = false;
  const int p = cell(booklet, row).toInt(&ok);
  return ok ? letter(p - 1) : QString();
}

Status AnswerKeyForm::accept() {
  const int n = rowCount();
  QList<QList<int>> orders(3);
  for (Booklet b : {Booklet::B, Booklet::C, Booklet::D}) {
    if (!bookletOn(b)) continue;
    for (const QString& c : m_cells[index(b)]) {
      bool ok = false;
      const int p = c.toInt(&ok);
      orders[index(b)] << (ok ? p : 0);
    }
    if (const QString problem = booklets::orderProblem(b, orders[index(b)], n); !problem.isEmpty())
      return Status::failure(problem);
  }
  store::Transaction tx(m_store);
  if (Status s = TestQuestions(m_store).compact(m_testNo); !s) return s;
  const Result<QList<TestQuestion>> rows = TestQuestions(m_store).list(m_testNo);
  if (!rows) return Status::failure(rows.error());
  if (rows->size() != n)
    return Status::failure(QStringLiteral(
        "Testin soruları bu pencere açıldıktan sonra değişti; pencereyi kapatıp yeniden açınız."));
  for (int i = 0; i < n; ++i) {
    // An unmarked row had no choice to begin with: it keeps what it has.
    if (m_letters.at(i).isEmpty() || m_letters.at(i) == rows->at(i).dogruSik) continue;
    if (Status s = m_store.run(QStringLiteral("UPDATE TABLESORU SET DOGRUSIK=? WHERE SORUNO=?"),
                               {m_letters.at(i), rows->at(i).soruNo});
        !s)
      return s;
  }
  BookletOrders stored(m_store);
  for (Booklet b : {Booklet::B, Booklet::C, Booklet::D}) {
    if (Status s = bookletOn(b) ? stored.writeOrder(m_testNo, b, orders[index(b)])
                                : stored.writeExists(m_testNo, b, false);
        !s)
      return s;
  }
  m_store.changed(store::Change::Questions | store::Change::Tests);
  return tx.commit();
}

}  // namespace authoring
