#include "authoring/TestRenumbering.h"

#include <QSet>
#include <QSqlQuery>

#include "authoring/QuestionKeys.h"
#include "authoring/QuestionMedia.h"
#include "authoring/Test.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "store/ContentStores.h"
#include "store/Numbers.h"
#include "store/Store.h"

namespace authoring {

namespace {

const QString kMap = QStringLiteral("temp.RENUMARA");

// Re-keys `column` of `table` through the map table in one statement, so that
// keys trading places never meet.
Status rekey(store::Store& store, const QString& table, const QString& column) {
  return store.run(QStringLiteral("UPDATE %1 SET %2=(SELECT YENI FROM %3 WHERE ESKI=%1.%2) WHERE "
                                  "%2 IN (SELECT ESKI FROM %3)")
                       .arg(table, column, kMap));
}

QString rekeyedPath(const QString& stored, const QString& from, const QString& to) {
  for (QuestionMedia::Kind kind : {QuestionMedia::Kind::Sound, QuestionMedia::Kind::Video}) {
    const QString prefix = QuestionMedia::folderName(kind) + QLatin1Char('/') + from;
    if (stored.startsWith(prefix + QLatin1Char('.')))
      return QuestionMedia::folderName(kind) + QLatin1Char('/') + to + stored.mid(prefix.size());
  }
  return stored;
}

}  // namespace

Result<TestRenumbering::Report> TestRenumbering::renumber(const QString& testNo,
                                                          const QString& newTestNo) {
  using R = Result<Report>;
  const QString target = newTestNo.trimmed();
  if (!store::isNumberKey(target) || target.startsWith(QLatin1Char('0')))
    return R::failure(QStringLiteral("Yeni test numarası sıfırdan büyük bir tam sayı olmalıdır."));
  if (store::numberOf(target) < 0)
    return R::failure(
        QStringLiteral("Yeni test numarası en çok %1 olabilir.").arg(store::kMaxNumber));
  if (testNo == kFreeTestNo)
    return R::failure(QStringLiteral("Serbest soru testinin numarası değiştirilemez."));

  TestCatalog catalog(m_store);
  Report report;
  report.testNo = target;
  QList<QuestionMedia::Rename> renames;
  const QuestionMedia media(m_store);
  {
    store::Transaction tx(m_store);
    const Result<bool> there = catalog.exists(testNo);
    if (!there) return R::failure(there.error());
    if (!there.value()) return R::failure(TestCatalog::notFoundMessage());
    if (target != testNo) {
      const Result<bool> taken = catalog.exists(target);
      if (!taken) return R::failure(taken.error());
      if (taken.value())
        return R::failure(
            QStringLiteral("%1 numaralı bir test zaten var; başka bir numara giriniz.")
                .arg(target));
    }
    TestQuestions members(m_store);
    if (Status s = members.compact(testNo); !s) return R::failure(s.error());
    const Result<QList<TestQuestion>> rows = members.list(testNo);
    if (!rows) return R::failure(rows.error());
    QSet<QString> moving;
    for (const TestQuestion& t : rows.value()) {
      if (!keys::isLocal(t.soruNo)) continue;  // package keys are never renumbered
      const QString to = keys::renumberedKey(target, t.position);
      if (store::numberOf(to) < 0)
        return R::failure(QStringLiteral("Test %1 numarasını alamaz: %2. sorusu %3 numarasını "
                                         "alacaktı, oysa bir soru numarası en çok %4 olabilir.")
                              .arg(target)
                              .arg(t.position)
                              .arg(to)
                              .arg(store::kMaxNumber));
      if (to != t.soruNo) report.questions << qMakePair(t.soruNo, to);
      moving << t.soruNo;
    }
    // A new key may only be one that this renumbering frees.
    for (const auto& [from, to] : report.questions) {
      if (moving.contains(to)) continue;
      const Result<QVariant> used = m_store.scalar(
          QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLESORU WHERE SORUNO=?) OR EXISTS "
                         "(SELECT 1 FROM TABLEUYGULAMA WHERE SORUNO=?)"),
          {to, to});
      if (!used) return R::failure(used.error());
      if (used->toInt() == 1)
        return R::failure(QStringLiteral("%1 numaralı soru zaten var (%2 numaralı soru bu numarayı "
                                         "alacaktı); test yeniden numaralandırılamadı.")
                              .arg(to, from));
    }
    renames = media.renames(report.questions);
    for (const QuestionMedia::Rename& r : renames) {
      bool freed = false;
      for (const QuestionMedia::Rename& other : renames) freed = freed || other.from == r.to;
      if (!freed && media.exists(r.to))
        return R::failure(
            QStringLiteral("%1 dosyası zaten var; test yeniden numaralandırılamadı.").arg(r.to));
    }

    if (!report.questions.isEmpty()) {
      if (Status s =
              m_store.run(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS RENUMARA (ESKI TEXT "
                                         "PRIMARY KEY, YENI TEXT)"));
          !s)
        return R::failure(s.error());
      if (Status s = m_store.run(QStringLiteral("DELETE FROM ") + kMap); !s)
        return R::failure(s.error());
      for (const auto& [from, to] : report.questions)
        if (Status s = m_store.run(
                QStringLiteral("INSERT INTO %1 (ESKI,YENI) VALUES (?,?)").arg(kMap), {from, to});
            !s)
          return R::failure(s.error());
      // Stored sound and video paths follow their files.
      for (const auto& [from, to] : report.questions) {
        Result<QSqlQuery> paths = m_store.exec(
            QStringLiteral("SELECT ID,NZ(SESDOSYASI),NZ(COZUMVIDEO) FROM TABLESORU WHERE SORUNO=?"),
            {from});
        if (!paths) return R::failure(paths.error());
        QList<QVariantList> updates;
        QSqlQuery& q = paths.value();
        while (q.next())
          updates << QVariantList{rekeyedPath(q.value(1).toString(), from, to),
                                  rekeyedPath(q.value(2).toString(), from, to), q.value(0)};
        for (const QVariantList& u : updates)
          if (Status s = m_store.run(
                  QStringLiteral("UPDATE TABLESORU SET SESDOSYASI=?,COZUMVIDEO=? WHERE ID=?"), u);
              !s)
            return R::failure(s.error());
      }
      for (const char* table : {"TABLESORU", "TABLETESTSORU", "TABLEUYGULAMA", "TABLECEVAP"})
        if (Status s = rekey(m_store, QLatin1String(table), QStringLiteral("SORUNO")); !s)
          return R::failure(s.error());
      store::ContentStores& contents = m_store.contents();
      for (int n : contents.numbers(store::StoreKind::Question)) {
        if (Status s = contents.attach(store::StoreKind::Question, n); !s)
          return R::failure(s.error());
        const QString table = store::ContentStores::tableRef(store::StoreKind::Question, n);
        // Content left behind under a new key belongs to no question.
        if (Status s =
                m_store.run(QStringLiteral("DELETE FROM %1 WHERE SORUNO IN (SELECT YENI FROM "
                                           "%2) AND SORUNO NOT IN (SELECT ESKI FROM %2)")
                                .arg(table, kMap));
            !s)
          return R::failure(s.error());
        if (Status s =
                m_store.run(QStringLiteral("UPDATE %1 SET SORUNO=(SELECT YENI FROM %2 WHERE "
                                           "ESKI=SORUNO) WHERE SORUNO IN (SELECT ESKI FROM %2)")
                                .arg(table, kMap));
            !s)
          return R::failure(s.error());
      }
      if (Status s = m_store.run(QStringLiteral("DROP TABLE ") + kMap); !s)
        return R::failure(s.error());
    }
    if (target != testNo) {
      for (const char* table :
           {"TABLETEST", "TABLETESTSORU", "TABLEUYGULAMA", "TABLECEVAP", "TABLESONUC"})
        if (Status s = m_store.run(
                QStringLiteral("UPDATE %1 SET TESTNO=? WHERE TESTNO=?").arg(QLatin1String(table)),
                {target, testNo});
            !s)
          return R::failure(s.error());
      if (Status s = m_store.contents().rename(store::StoreKind::Test, testNo, target); !s)
        return R::failure(s.error());
    }
    m_store.changed(store::Change::Questions | store::Change::Tests | store::Change::Runs);
    if (Status s = media.apply(renames); !s) return R::failure(s.error());
    if (Status s = tx.commit(); !s) {
      media.revert(renames);
      return R::failure(s.error());
    }
  }
  return report;
}

}  // namespace authoring
