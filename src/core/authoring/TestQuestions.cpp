#include "authoring/TestQuestions.h"

#include <QSqlQuery>

#include <algorithm>

#include "authoring/Question.h"
#include "authoring/QuestionBank.h"
#include "authoring/RandomSource.h"
#include "authoring/TestCatalog.h"
#include "store/Store.h"

namespace authoring {

namespace {

const char* const kBookletColumns[] = {"BSIRASI", "CSIRASI", "DSIRASI"};

int positive(const QVariant& v) {
  bool ok = false;
  const int n = v.toString().trimmed().toInt(&ok);
  return ok && n > 0 ? n : 0;
}

}  // namespace

bool isValidTime(const QString& time) {
  if (time == texts::kSuresiz) return true;
  bool ok = false;
  const int s = time.toInt(&ok);
  return ok && s >= 1 && s <= 3600;
}

store::Query TestQuestions::gridQuery(const QString& testNo) {
  return {QStringLiteral(
              "SELECT TS.ID AS ID,S.SORUNO AS SORUNUMARASI,TS.TESTSIRANO AS TESTSIRANO,S.SORUNO "
              "AS SORUNO,NZ(S.SEVIYE) AS SEVIYE,NZ(S.DERS) AS DERS,NZ(S.KONU) AS KONU,"
              "NZ(S.SORUICERIK) AS SORUICERIK,NZ(TS.BOLUM) AS BOLUM,NZ(TS.SURE) AS SURE,"
              "NZ(S.DOGRUSIK) AS DOGRUSIK FROM TABLETESTSORU TS INNER JOIN TABLESORU S ON "
              "S.SORUNO=TS.SORUNO WHERE TS.TESTNO=? ORDER BY VAL(TS.TESTSIRANO),TS.ID"),
          {testNo}};
}

Result<QList<TestQuestion>> TestQuestions::list(const QString& testNo) const {
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral("SELECT TS.ID,TS.SORUNO,TS.TESTSIRANO,NZ(TS.SURE),NZ(TS.BOLUM),TS.BSIRASI,"
                     "TS.CSIRASI,TS.DSIRASI,NZ(S.DOGRUSIK),NZ(S.SORUICERIK) FROM TABLETESTSORU TS "
                     "LEFT JOIN TABLESORU S ON S.SORUNO=TS.SORUNO AND S.ID=(SELECT MIN(ID) FROM "
                     "TABLESORU WHERE SORUNO=TS.SORUNO) WHERE TS.TESTNO=? ORDER BY "
                     "VAL(TS.TESTSIRANO),TS.ID"),
      {testNo});
  if (!q) return Result<QList<TestQuestion>>::failure(q.error());
  QList<TestQuestion> out;
  QSqlQuery& r = q.value();
  while (r.next()) {
    TestQuestion t;
    t.id = r.value(0).toInt();
    t.soruNo = r.value(1).toString();
    t.position = positive(r.value(2));
    t.sure = r.value(3).toString();
    t.bolum = r.value(4).toString();
    for (int b = 0; b < 3; ++b) t.booklet[b] = positive(r.value(5 + b));
    t.dogruSik = r.value(8).toString();
    t.soruIcerik = r.value(9).toString();
    out << t;
  }
  return out;
}

Result<int> TestQuestions::count(const QString& testNo) const {
  const Result<QVariant> n =
      m_store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLETESTSORU WHERE TESTNO=?"), {testNo});
  if (!n) return Result<int>::failure(n.error());
  return n->toInt();
}

Status TestQuestions::insertRows(const QString& testNo, const QStringList& keys,
                                 const QStringList& times) {
  const Result<bool> test = TestCatalog(m_store).exists(testNo);
  if (!test) return Status::failure(test.error());
  if (!test.value()) return Status::failure(TestCatalog::notFoundMessage());
  const QuestionBank bank(m_store);
  QStringList seen;
  for (const QString& key : keys) {
    const QString suffix = keys.size() > 1 ? QStringLiteral(" (%1)").arg(key) : QString();
    const Result<bool> live = bank.isLive(key);
    if (!live) return Status::failure(live.error());
    if (!live.value()) return Status::failure(QuestionBank::notFoundMessage() + suffix);
    const Result<QVariant> in = m_store.scalar(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLETESTSORU WHERE TESTNO=? AND SORUNO=?)"),
        {testNo, key});
    if (!in) return Status::failure(in.error());
    if (in->toInt() == 1 || seen.contains(key))
      return Status::failure(alreadyInTestMessage() + suffix);
    seen << key;
  }
  const Result<int> n = count(testNo);
  if (!n) return Status::failure(n.error());
  for (qsizetype i = 0; i < keys.size(); ++i) {
    const QString position = QString::number(n.value() + int(i) + 1);
    const Status s =
        times.isEmpty()
            ? m_store.run(
                  QStringLiteral("INSERT INTO TABLETESTSORU (TESTNO,SORUNO,SURE,TESTSIRANO) "
                                 "SELECT ?,SORUNO,NZ(SURE),? FROM TABLESORU WHERE SORUNO=? "
                                 "ORDER BY ID LIMIT 1"),
                  {testNo, position, keys.at(i)})
            : m_store.run(
                  QStringLiteral("INSERT INTO TABLETESTSORU (TESTNO,SORUNO,SURE,TESTSIRANO) "
                                 "VALUES (?,?,?,?)"),
                  {testNo, keys.at(i), times.value(i), position});
    if (!s) return s;
  }
  return {};
}

Status TestQuestions::add(const QString& testNo, const QStringList& keys) {
  store::Transaction tx(m_store);
  if (Status s = insertRows(testNo, keys, {}); !s) return s;
  m_store.changed(store::Change::Tests);
  return tx.commit();
}

Status TestQuestions::addWithTime(const QString& testNo, const QString& key, const QString& time) {
  if (!isValidTime(time)) return Status::failure(QStringLiteral("Geçersiz süre: ") + time);
  store::Transaction tx(m_store);
  if (Status s = insertRows(testNo, {key}, {time}); !s) return s;
  m_store.changed(store::Change::Tests);
  return tx.commit();
}

Status TestQuestions::remove(const QString& testNo, const QList<int>& ids) {
  store::Transaction tx(m_store);
  for (int id : ids)
    if (Status s = m_store.run(QStringLiteral("DELETE FROM TABLETESTSORU WHERE TESTNO=? AND ID=?"),
                               {testNo, id});
        !s)
      return s;
  if (Status s = compact(testNo); !s) return s;
  m_store.changed(store::Change::Tests);
  return tx.commit();
}

Status TestQuestions::compact(const QString& testNo) {
  const Result<QList<TestQuestion>> rows = list(testNo);
  if (!rows) return Status::failure(rows.error());
  const QList<TestQuestion>& all = rows.value();
  for (qsizetype i = 0; i < all.size(); ++i) {
    if (all.at(i).position == int(i) + 1) continue;
    if (Status s = m_store.run(QStringLiteral("UPDATE TABLETESTSORU SET TESTSIRANO=? WHERE ID=?"),
                               {QString::number(i + 1), all.at(i).id});
        !s)
      return s;
  }
  for (int b = 0; b < 3; ++b) {
    QList<const TestQuestion*> placed;
    for (const TestQuestion& t : all)
      if (t.booklet[b] > 0) placed << &t;
    std::stable_sort(placed.begin(), placed.end(),
                     [b](const TestQuestion* x, const TestQuestion* y) {
                       return x->booklet[b] < y->booklet[b];
                     });
    for (qsizetype i = 0; i < placed.size(); ++i) {
      if (placed.at(i)->booklet[b] == int(i) + 1) continue;
      if (Status s = m_store.run(QStringLiteral("UPDATE TABLETESTSORU SET %1=? WHERE ID=?")
                                     .arg(QLatin1String(kBookletColumns[b])),
                                 {QString::number(i + 1), placed.at(i)->id});
          !s)
        return s;
    }
  }
  return {};
}

Status TestQuestions::move(const QString& testNo, const QList<int>& ids, bool up) {
  store::Transaction tx(m_store);
  const Result<QList<TestQuestion>> rows = list(testNo);
  if (!rows) return Status::failure(rows.error());
  QList<TestQuestion> order = rows.value();
  const qsizetype n = order.size();
  auto selected = [&](qsizetype i) { return ids.contains(order.at(i).id); };
  if (up) {
    for (qsizetype i = 1; i < n; ++i)
      if (selected(i) && !selected(i - 1)) order.swapItemsAt(i, i - 1);
  } else {
    for (qsizetype i = n - 2; i >= 0; --i)
      if (selected(i) && !selected(i + 1)) order.swapItemsAt(i, i + 1);
  }
  for (qsizetype i = 0; i < n; ++i) {
    if (order.at(i).position == int(i) + 1) continue;
    if (Status s = m_store.run(QStringLiteral("UPDATE TABLETESTSORU SET TESTSIRANO=? WHERE ID=?"),
                               {QString::number(i + 1), order.at(i).id});
        !s)
      return s;
  }
  m_store.changed(store::Change::Tests);
  return tx.commit();
}

Status TestQuestions::moveUp(const QString& testNo, const QList<int>& ids) {
  return move(testNo, ids, true);
}

Status TestQuestions::moveDown(const QString& testNo, const QList<int>& ids) {
  return move(testNo, ids, false);
}

Status TestQuestions::setSection(const QString& testNo, const QList<int>& ids,
                                 const QString& section) {
  store::Transaction tx(m_store);
  for (int id : ids)
    if (Status s =
            m_store.run(QStringLiteral("UPDATE TABLETESTSORU SET BOLUM=? WHERE TESTNO=? AND ID=?"),
                        {stored(section.trimmed()), testNo, id});
        !s)
      return s;
  m_store.changed(store::Change::Tests);
  return tx.commit();
}

Status TestQuestions::setTime(const QString& testNo, const QList<int>& ids, const QString& time) {
  if (!isValidTime(time)) return Status::failure(QStringLiteral("Geçersiz süre: ") + time);
  store::Transaction tx(m_store);
  for (int id : ids)
    if (Status s =
            m_store.run(QStringLiteral("UPDATE TABLETESTSORU SET SURE=? WHERE TESTNO=? AND ID=?"),
                        {time, testNo, id});
        !s)
      return s;
  m_store.changed(store::Change::Tests);
  return tx.commit();
}

Status TestQuestions::shuffle(const QString& testNo, RandomSource& random) {
  store::Transaction tx(m_store);
  // Gaps left by older data close first, so that R is a permutation of 1..N.
  if (Status s = compact(testNo); !s) return s;
  const Result<QList<TestQuestion>> rows = list(testNo);
  if (!rows) return Status::failure(rows.error());
  const QList<int> r = random.permutation(int(rows->size()));
  for (qsizetype i = 0; i < rows->size(); ++i) {
    if (r.at(i) == rows->at(i).position) continue;
    if (Status s = m_store.run(QStringLiteral("UPDATE TABLETESTSORU SET TESTSIRANO=? WHERE ID=?"),
                               {QString::number(r.at(i)), rows->at(i).id});
        !s)
      return s;
  }
  m_store.changed(store::Change::Tests);
  return tx.commit();
}

Result<QString> TestQuestions::statistics(const QString& testNo) const {
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral("SELECT COUNT(*),NZ(S.SEVIYE),NZ(S.DERS),NZ(S.KONU) FROM TABLETESTSORU TS "
                     "INNER JOIN TABLESORU S ON S.SORUNO=TS.SORUNO WHERE TS.TESTNO=? GROUP BY "
                     "NZ(S.SEVIYE),NZ(S.DERS),NZ(S.KONU) ORDER BY 2,3,4"),
      {testNo});
  if (!q) return Result<QString>::failure(q.error());
  QStringList lines;
  while (q.value().next()) {
    QStringList parts;
    for (int c = 1; c <= 3; ++c) {
      const QString v = q.value().value(c).toString().trimmed();
      if (!v.isEmpty()) parts << v;
    }
    QString line = QStringLiteral("%1 SORU").arg(q.value().value(0).toInt());
    if (!parts.isEmpty())
      line += QStringLiteral("  (") + parts.join(QStringLiteral(" - ")) + QLatin1Char(')');
    lines << line;
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace authoring
