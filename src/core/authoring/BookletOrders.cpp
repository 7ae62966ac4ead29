#include "authoring/BookletOrders.h"

#include <numeric>

#include "authoring/RandomSource.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "store/Store.h"

namespace authoring {

namespace {

QString orderColumn(Booklet b) {
  static const QString columns[] = {QStringLiteral("TESTSIRANO"), QStringLiteral("BSIRASI"),
                                    QStringLiteral("CSIRASI"), QStringLiteral("DSIRASI")};
  return columns[int(b)];
}

QString flagColumn(Booklet b) {
  static const QString columns[] = {QString(), QStringLiteral("BKITAPCIK"),
                                    QStringLiteral("CKITAPCIK"), QStringLiteral("DKITAPCIK")};
  return columns[int(b)];
}

}  // namespace

namespace booklets {

QString letter(Booklet booklet) { return QString(QChar(u'A' + int(booklet))); }

std::optional<Booklet> fromLetter(const QString& text) {
  const QString t = text.trimmed().toUpper();
  if (t.size() != 1 || t.at(0) < QLatin1Char('A') || t.at(0) > QLatin1Char('D')) return {};
  return static_cast<Booklet>(t.at(0).unicode() - u'A');
}

QString orderProblem(Booklet booklet, const QList<int>& aPositions, int n) {
  const QString name = letter(booklet) + QStringLiteral(" kitapçığı");
  if (aPositions.size() != n)
    return QStringLiteral("%1 için %2 sıra gerekli, %3 sıra verildi.")
        .arg(name)
        .arg(n)
        .arg(aPositions.size());
  QList<int> firstAt(n + 1, 0);  // booklet position where each A position appears first
  for (int k = 1; k <= n; ++k) {
    const int p = aPositions.at(k - 1);
    if (p < 1 || p > n)
      return QStringLiteral("%1: %2. sırada yazılan A sırası (%3) 1 ile %4 arasında olmalıdır.")
          .arg(name)
          .arg(k)
          .arg(p)
          .arg(n);
    if (firstAt[p] != 0)
      return QStringLiteral("%1: A sırasındaki %2. soru iki kez yazılmış (%3. ve %4. sırada).")
          .arg(name)
          .arg(p)
          .arg(firstAt[p])
          .arg(k);
    firstAt[p] = k;
  }
  for (int p = 1; p <= n; ++p)
    if (firstAt[p] == 0)
      return QStringLiteral("%1: A sırasındaki %2. soru hiçbir sıraya yazılmamış.")
          .arg(name)
          .arg(p);
  return {};
}

Result<QList<int>> parseOrder(const QString& text) {
  QList<int> out;
  for (const QString& part : text.split(QLatin1Char(','))) {
    bool ok = false;
    const int p = part.trimmed().toInt(&ok);
    if (!ok)
      return Result<QList<int>>::failure(
          QStringLiteral("Sıra bir sayı olmalıdır: \"%1\"").arg(part.trimmed()));
    out << p;
  }
  return out;
}

QList<int> shuffledOrder(int n, quint32 seed) {
  RandomSource random(seed);
  QList<int> order = random.permutation(n);
  QList<int> own(n);
  std::iota(own.begin(), own.end(), 1);
  // Drawn again from the same engine: still one order per seed.
  while (n > 1 && order == own) order = random.permutation(n);
  return order;
}

quint32 newSeed() { return quint32(RandomSource().below(99999)) + 1; }

}  // namespace booklets

Result<QList<int>> BookletOrders::order(const QString& testNo, Booklet booklet) const {
  const Result<QList<TestQuestion>> rows = TestQuestions(m_store).list(testNo);
  if (!rows) return Result<QList<int>>::failure(rows.error());
  const int n = int(rows->size());
  QList<int> out(n, 0);
  for (const TestQuestion& t : rows.value()) {
    const int k = booklet == Booklet::A ? t.position : t.booklet[int(booklet) - 1];
    if (k >= 1 && k <= n && out[k - 1] == 0) out[k - 1] = t.position;
  }
  return out;
}

Result<bool> BookletOrders::exists(const QString& testNo, Booklet booklet) const {
  if (booklet == Booklet::A) return true;
  const Result<QVariant> v = m_store.scalar(
      QStringLiteral("SELECT NZ(%1) FROM TABLETEST WHERE TESTNO=?").arg(flagColumn(booklet)),
      {testNo});
  if (!v) return Result<bool>::failure(v.error());
  return v->toString() == QStringLiteral("1");
}

Status BookletOrders::writeOrder(const QString& testNo, Booklet booklet,
                                 const QList<int>& aPositions) {
  if (booklet == Booklet::A)
    return Status::failure(QStringLiteral("A kitapçığının sırası testin kendi sırasıdır."));
  const Result<int> n = TestQuestions(m_store).count(testNo);
  if (!n) return Status::failure(n.error());
  if (const QString problem = booklets::orderProblem(booklet, aPositions, n.value());
      !problem.isEmpty())
    return Status::failure(problem);
  for (int k = 1; k <= n.value(); ++k)
    if (Status s = m_store.run(QStringLiteral("UPDATE TABLETESTSORU SET %1=? WHERE TESTNO=? AND "
                                              "VAL(TESTSIRANO)=?")
                                   .arg(orderColumn(booklet)),
                               {QString::number(k), testNo, aPositions.at(k - 1)});
        !s)
      return s;
  return writeExists(testNo, booklet, true);
}

Status BookletOrders::writeExists(const QString& testNo, Booklet booklet, bool on) {
  if (booklet == Booklet::A) return {};
  return m_store.run(
      QStringLiteral("UPDATE TABLETEST SET %1=? WHERE TESTNO=?").arg(flagColumn(booklet)),
      {on ? QStringLiteral("1") : QStringLiteral("0"), testNo});
}

Status BookletOrders::setOrder(const QString& testNo, Booklet booklet,
                               const QList<int>& aPositions) {
  store::Transaction tx(m_store);
  const Result<bool> test = TestCatalog(m_store).exists(testNo);
  if (!test) return Status::failure(test.error());
  if (!test.value()) return Status::failure(TestCatalog::notFoundMessage());
  if (Status s = TestQuestions(m_store).compact(testNo); !s) return s;
  if (Status s = writeOrder(testNo, booklet, aPositions); !s) return s;
  m_store.changed(store::Change::Tests);
  return tx.commit();
}

}  // namespace authoring
