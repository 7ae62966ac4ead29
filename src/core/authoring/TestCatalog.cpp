#include "authoring/TestCatalog.h"

#include <QSqlQuery>

#include "authoring/Question.h"
#include "authoring/QuestionKeys.h"
#include "lists/TurkishText.h"
#include "store/ContentStores.h"
#include "store/Store.h"

namespace authoring {

namespace {

const QString kTestColumns = QStringLiteral(
    "TESTNO,NZ(TESTADI),NZ(HAZIRLAYAN),NZ(SEVIYE),NZ(DERS),NZ(UNITE),NZ(KONU),NZ(KAZANIM),"
    "NZ(SORUSAYILARINIGOSTER),NZ(BASLANGICEKRANIGOSTER),NZ(BKITAPCIK),NZ(CKITAPCIK),"
    "NZ(DKITAPCIK),NZ(TESTSIRASI)");

QString flag(const QString& v) { return v == QStringLiteral("1") ? v : QStringLiteral("0"); }

}  // namespace

TestSearch::Usage TestSearch::usageOf(const QString& listText) {
  if (listText == QStringLiteral("UYGULANAN")) return Usage::Run;
  if (listText == QStringLiteral("UYGULANMAYAN")) return Usage::NotRun;
  return Usage::Any;
}

store::Query TestSearch::query() const {
  curriculum::CurriculumFilter::Condition c = curriculum.condition(QStringLiteral("T."));
  if (!curriculum::CurriculumFilter::isAll(hazirlayan)) {
    c.sql += QStringLiteral(" AND T.HAZIRLAYAN=?");
    c.params << hazirlayan;
  }
  if (usage != Usage::Any)
    c.sql +=
        QStringLiteral(" AND %1 EXISTS (SELECT 1 FROM TABLEUYGULAMA U WHERE U.TESTNO=T.TESTNO)")
            .arg(usage == Usage::Run ? QString() : QStringLiteral("NOT"));
  if (!name.trimmed().isEmpty()) {
    c.sql += QStringLiteral(" AND instr(TRFOLD(NZ(T.TESTADI)), ?)>0");
    c.params << lists::turkishFold(name.trimmed());
  }
  return {QStringLiteral("SELECT T.TESTNO AS TESTNO,NZ(T.TESTADI) AS TESTADI,NZ(T.HAZIRLAYAN) AS "
                         "HAZIRLAYAN,COUNT(TS.ID) AS SORUSAYISI,SUM(VAL(NZ(TS.SURE))) AS SURE,"
                         "NZ(T.SEVIYE) AS SEVIYE,NZ(T.DERS) AS DERS,NZ(T.UNITE) AS UNITE,"
                         "NZ(T.KONU) AS KONU FROM TABLETEST T LEFT JOIN TABLETESTSORU TS ON "
                         "TS.TESTNO=T.TESTNO WHERE T.TESTNO<>?%1 GROUP BY T.ID ORDER BY %2")
              .arg(c.sql, keys::orderBy(QStringLiteral("T.TESTNO"))),
          QVariantList{kFreeTestNo} + c.params};
}

Result<Test> TestCatalog::load(const QString& testNo) const {
  Result<QSqlQuery> q =
      m_store.exec(QStringLiteral("SELECT %1 FROM TABLETEST WHERE TESTNO=? ORDER BY ID LIMIT 1")
                       .arg(kTestColumns),
                   {testNo});
  if (!q) return Result<Test>::failure(q.error());
  QSqlQuery& r = q.value();
  if (!r.next()) return Result<Test>::failure(notFoundMessage());
  Test t;
  t.testNo = r.value(0).toString();
  t.testAdi = r.value(1).toString();
  t.hazirlayan = r.value(2).toString();
  t.seviye = r.value(3).toString();
  t.ders = r.value(4).toString();
  t.unite = r.value(5).toString();
  t.konu = r.value(6).toString();
  t.kazanim = r.value(7).toString();
  t.soruSayilariniGoster = flag(r.value(8).toString());
  t.baslangicEkraniGoster = flag(r.value(9).toString());
  t.bKitapcik = flag(r.value(10).toString());
  t.cKitapcik = flag(r.value(11).toString());
  t.dKitapcik = flag(r.value(12).toString());
  t.testSirasi = r.value(13).toString();
  return t;
}

Result<bool> TestCatalog::exists(const QString& testNo) const {
  const Result<QVariant> n = m_store.scalar(
      QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLETEST WHERE TESTNO=?)"), {testNo});
  if (!n) return Result<bool>::failure(n.error());
  return n->toInt() == 1;
}

Result<TestSummary> TestCatalog::summary(const QString& testNo) const {
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral(
          "SELECT COUNT(*), COALESCE(SUM(VAL(NZ(SURE))), 0) FROM TABLETESTSORU WHERE TESTNO=?"),
      {testNo});
  if (!q) return Result<TestSummary>::failure(q.error());
  TestSummary s;
  if (q.value().next()) {
    s.questions = q.value().value(0).toInt();
    s.seconds = int(q.value().value(1).toDouble());
  }
  return s;
}

Status TestCatalog::checkName(const Test& test) const {
  if (test.testAdi.trimmed().isEmpty())
    return Status::failure(QStringLiteral("Lütfen testin adını giriniz."));
  return {};
}

Result<QString> TestCatalog::create(Test test, const std::optional<QByteArray>& startScreen) {
  if (Status s = checkName(test); !s) return Result<QString>::failure(s.error());
  store::Transaction tx(m_store);
  const Result<qint64> next = keys::nextTestNumber(m_store);
  if (!next) return Result<QString>::failure(next.error());
  test.testNo = QString::number(next.value());
  if (Status s = m_store.run(
          QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI,HAZIRLAYAN,SEVIYE,DERS,UNITE,KONU,"
                         "KAZANIM,SORUSAYILARINIGOSTER,BASLANGICEKRANIGOSTER,BKITAPCIK,CKITAPCIK,"
                         "DKITAPCIK,TESTSIRASI) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
          {test.testNo, stored(test.testAdi), stored(test.hazirlayan), stored(test.seviye),
           stored(test.ders), stored(test.unite), stored(test.konu), stored(test.kazanim),
           flag(test.soruSayilariniGoster), flag(test.baslangicEkraniGoster), flag(test.bKitapcik),
           flag(test.cKitapcik), flag(test.dKitapcik), stored(test.testSirasi)});
      !s)
    return Result<QString>::failure(s.error());
  if (startScreen) {
    if (Status s = m_store.contents().write(store::StoreKind::Test, test.testNo, *startScreen,
                                            std::nullopt);
        !s)
      return Result<QString>::failure(s.error());
  }
  m_store.changed(store::Change::Tests | store::Change::Lists);
  if (Status s = tx.commit(); !s) return Result<QString>::failure(s.error());
  return test.testNo;
}

Status TestCatalog::update(const Test& test, const std::optional<QByteArray>& startScreen) {
  if (Status s = checkName(test); !s) return s;
  store::Transaction tx(m_store);
  const Result<bool> there = exists(test.testNo);
  if (!there) return Status::failure(there.error());
  if (!there.value()) return Status::failure(notFoundMessage());
  if (Status s = m_store.run(
          QStringLiteral("UPDATE TABLETEST SET TESTADI=?,HAZIRLAYAN=?,SEVIYE=?,DERS=?,UNITE=?,"
                         "KONU=?,KAZANIM=?,SORUSAYILARINIGOSTER=?,BASLANGICEKRANIGOSTER=? WHERE "
                         "TESTNO=?"),
          {stored(test.testAdi), stored(test.hazirlayan), stored(test.seviye), stored(test.ders),
           stored(test.unite), stored(test.konu), stored(test.kazanim),
           flag(test.soruSayilariniGoster), flag(test.baslangicEkraniGoster), test.testNo});
      !s)
    return s;
  if (startScreen) {
    if (Status s = m_store.contents().write(store::StoreKind::Test, test.testNo, *startScreen,
                                            std::nullopt);
        !s)
      return s;
  }
  m_store.changed(store::Change::Tests | store::Change::Lists);
  return tx.commit();
}

Status TestCatalog::applyToQuestions(const QString& testNo) {
  store::Transaction tx(m_store);
  const Result<Test> test = load(testNo);
  if (!test) return Status::failure(test.error());
  if (Status s = m_store.run(
          QStringLiteral("UPDATE TABLESORU SET SEVIYE=?,DERS=?,UNITE=?,KONU=? WHERE SORUNO IN "
                         "(SELECT SORUNO FROM TABLETESTSORU WHERE TESTNO=?)"),
          {test->seviye, test->ders, test->unite, test->konu, testNo});
      !s)
    return s;
  m_store.changed(store::Change::Questions | store::Change::Tests);
  return tx.commit();
}

Status TestCatalog::remove(const QStringList& testNos) {
  store::Transaction tx(m_store);
  for (const QString& t : testNos) {
    for (const char* table : {"TABLETEST", "TABLETESTSORU"})
      if (Status s = m_store.run(
              QStringLiteral("DELETE FROM %1 WHERE TESTNO=?").arg(QLatin1String(table)), {t});
          !s)
        return s;
    if (Status s = m_store.contents().remove(store::StoreKind::Test, t); !s) return s;
  }
  m_store.changed(store::Change::Tests | store::Change::Lists);
  return tx.commit();
}

Result<QByteArray> TestCatalog::startScreen(const QString& testNo) const {
  Result<store::StoreContent> c = m_store.contents().read(store::StoreKind::Test, testNo);
  if (!c) return Result<QByteArray>::failure(c.error());
  return c->first;
}

Result<QByteArray> TestCatalog::header(const QString& testNo) const {
  Result<store::StoreContent> c = m_store.contents().read(store::StoreKind::Test, testNo);
  if (!c) return Result<QByteArray>::failure(c.error());
  return c->second;
}

Status TestCatalog::setHeader(const QString& testNo, const QByteArray& header) {
  store::Transaction tx(m_store);
  const Result<bool> there = exists(testNo);
  if (!there) return Status::failure(there.error());
  if (!there.value()) return Status::failure(notFoundMessage());
  if (Status s = m_store.contents().write(store::StoreKind::Test, testNo, std::nullopt, header); !s)
    return s;
  m_store.changed(store::Change::Tests);
  return tx.commit();
}

}  // namespace authoring
