#include "delivery/Recording.h"

#include <QSqlQuery>

#include "delivery/RunTally.h"
#include "lists/FilterLists.h"
#include "reports/Majority.h"
#include "store/Dialect.h"
#include "store/SqlErrors.h"
#include "store/Store.h"

namespace delivery {

namespace {

const QString kTimeFormat = QStringLiteral("HH:mm:ss");

QVariantList runParams(const reports::RunKey& key) { return {key.date, key.start}; }

}  // namespace

Status Recording::CevaplariVeritabaninaYaz(const RunRecord& run, int position,
                                           const QString& soruNo,
                                           const QList<TileAnswer>& answers) {
  const QString sira = QString::number(position);
  store::Transaction tx(m_store);
  step(QStringLiteral("begin"));
  // The run is scored whole where its stored results may not be those of a whole
  // rescore yet (the first question this recording leaves, e.g. of a resumed run)
  // and at its end; every other question is scored on its own.
  const bool whole = !run.end.isEmpty() || m_scoredWhole != run.key;
  reports::Scoring scoring(m_store);
  Result<QList<reports::StoredAnswer>> replaced =
      whole ? Result<QList<reports::StoredAnswer>>(QList<reports::StoredAnswer>())
            : scoring.questionAnswers(run.key, position);
  if (!replaced) return Status::failure(replaced.error());
  // A revisited question is stored afresh: its earlier rows go in the same
  // transaction that writes the new ones.
  if (Status s = m_store.run(QStringLiteral("DELETE FROM TABLECEVAP WHERE TESTTARIHI=? AND "
                                            "TESTBASLANGIC=? AND TESTSIRANO=?"),
                             runParams(run.key) << sira);
      !s)
    return s;
  QSqlQuery insert(m_store.db());
  if (!insert.prepare(
          store::dialectOf(m_store.db())
              .prepare(QStringLiteral(
                  "INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTNO,SORUNO,TESTSIRANO,"
                  "KUMANDAADRESI,CEVAP,CEVAPSURESI) VALUES (?,?,?,?,?,?,?,?)"))))
    return Status::failure(store::sqlErrorText(insert.lastError()));
  // The letters are those the press pipeline let through (a three-button
  // remote's E arrives as C there).
  for (const TileAnswer& a : answers) {
    for (const QVariant& v :
         store::texts({run.key.date, run.key.start, run.description.testNo, soruNo, sira, a.address,
                       a.letter, reports::answerTimeText(a.seconds)}))
      insert.addBindValue(v);
    if (!insert.exec()) return Status::failure(store::sqlErrorText(insert.lastError()));
  }
  step(QStringLiteral("answers"));

  // The run's start is stored with its first question, and with it who was left
  // out before it began.
  if (!run.leftOut.isEmpty()) {
    Result<QVariant> started = m_store.scalar(
        QStringLiteral("SELECT COUNT(*) FROM TABLEUYGULAMA WHERE TESTTARIHI=? AND TESTBASLANGIC=?"),
        runParams(run.key));
    if (!started) return Status::failure(started.error());
    if (started->toInt() == 0) {
      if (Status s = m_store.run(QStringLiteral("DELETE FROM TABLEDISARIDAKALAN WHERE "
                                                "TESTTARIHI=? AND TESTBASLANGIC=?"),
                                 runParams(run.key));
          !s)
        return s;
      for (const auto& [address, name] : run.leftOut)
        if (Status s = m_store.run(
                QStringLiteral("INSERT INTO TABLEDISARIDAKALAN (TESTTARIHI,TESTBASLANGIC,"
                               "KUMANDAADRESI,ADISOYADI) VALUES (?,?,?,?)"),
                store::texts(runParams(run.key) << address << name));
            !s)
          return s;
    }
  }

  Result<QVariant> known = m_store.scalar(
      QStringLiteral("SELECT COUNT(*) FROM TABLEUYGULAMA WHERE TESTTARIHI=? AND TESTBASLANGIC=? "
                     "AND TESTNO=? AND SORUNO=? AND TESTSIRANO=?"),
      store::texts(runParams(run.key) << run.description.testNo << soruNo << sira));
  if (!known) return Status::failure(known.error());
  if (known->toInt() == 0) {
    // A free question starts without a key, whatever row its picture has: the
    // report screen or the class's majority gives it one.
    const bool free =
        run.description.testNo.compare(RunPlan::kFreeTestNo, Qt::CaseInsensitive) == 0 ||
        run.description.testNo == RunPlan::kLessonTestNo;
    Result<QVariant> key =
        free ? Result<QVariant>(QVariant(QString()))
             : m_store.scalar(
                   QStringLiteral("SELECT NZ(DOGRUSIK) FROM TABLESORU WHERE SORUNO=? LIMIT 1"),
                   {soruNo});
    if (!key) return Status::failure(key.error());
    if (Status s = m_store.run(
            QStringLiteral("INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,TESTNO,SORUNO,"
                           "TESTSIRANO,DOGRUSIK) VALUES (?,?,?,?,?,?)"),
            store::texts(runParams(run.key)
                         << run.description.testNo << soruNo << sira << key->toString()));
        !s)
      return s;
  }
  step(QStringLiteral("question"));
  if (whole) step(QStringLiteral("whole"));
  if (Status s = refresh(run, position, whole ? nullptr : &replaced.value()); !s) return s;
  step(QStringLiteral("results"));
  if (Status s = tx.commit(); !s) return s;
  if (whole) m_scoredWhole = run.key;
  return {};
}

Status Recording::RaporIcinHazirla(const RunRecord& run, int position) {
  store::Transaction tx(m_store);
  if (Status s = refresh(run, position, nullptr); !s) return s;
  if (Status s = tx.commit(); !s) return s;
  m_scoredWhole = run.key;
  return {};
}

Status Recording::refresh(const RunRecord& run, int position,
                          const QList<reports::StoredAnswer>* replaced) {
  const QVariantList key = runParams(run.key);
  // Refreshing one question touches its own rows only: the rest of the run had
  // the same refresh when its questions were left.
  const bool one = replaced != nullptr && position > 0;
  const QString onePosition = one ? QStringLiteral(" AND TESTSIRANO=?") : QString();
  const QVariantList where = one ? key + QVariantList{QString::number(position)} : key;
  // Students and penalty mode on every answer of the run. A remote's student is
  // the one it is paired with in the run's class; a remote without one (or with
  // a student of another class only) keeps an empty KAYITNO. A browser address
  // is its student's own.
  if (run.addresses == QStringList{RunPlan::kVirtualRemote}) {
    if (Status s = m_store.run(
            QStringLiteral("UPDATE TABLECEVAP SET TESTBITIS=?,YANLISDOGRUGOTURU=?,KAYITNO=? WHERE "
                           "TESTTARIHI=? AND TESTBASLANGIC=?%1 AND (TESTBITIS IS NOT ? OR "
                           "YANLISDOGRUGOTURU IS NOT ? OR KAYITNO IS NOT ?)")
                .arg(onePosition),
            store::texts(
                QVariantList{run.end, reports::storedPenalty(run.penalty), run.virtualKayitNo} +
                where +
                QVariantList{run.end, reports::storedPenalty(run.penalty), run.virtualKayitNo}));
        !s)
      return s;
  } else {
    const QString sinifi =
        run.description.className == lists::kTumu ? QString() : run.description.className;
    Result<QSqlQuery> paired = m_store.exec(
        QStringLiteral(
            "SELECT A.ADRES,COALESCE(NULLIF(TARAYICIOGRENCISI(A.ADRES),''),(SELECT E.KAYITNO FROM "
            "TABLEESLESME E INNER JOIN TABLEOGRENCI O ON O.KAYITNO=E.KAYITNO WHERE "
            "E.KUMANDAADRESI=A.ADRES AND (?='' OR O.SINIFI=?) ORDER BY E.rowid LIMIT 1)) FROM "
            "(SELECT DISTINCT KUMANDAADRESI AS ADRES FROM TABLECEVAP WHERE "
            "TESTTARIHI=? AND TESTBASLANGIC=?%1) A")
            .arg(onePosition),
        store::texts(QVariantList{sinifi, sinifi} + where));
    if (!paired) return Status::failure(paired.error());
    QList<QPair<QString, QString>> students;
    while (paired.value().next())
      students.append({paired.value().value(0).toString(), paired.value().value(1).toString()});
    paired.value().finish();
    if (!students.isEmpty()) {
      // One pass over the run's answers, writing only the rows that change.
      const store::CaseMap student =
          store::caseMap(QStringLiteral("KUMANDAADRESI"), students, QStringLiteral("KAYITNO"));
      const QVariantList set = store::texts({run.end, reports::storedPenalty(run.penalty)});
      if (Status s = m_store.run(
              QStringLiteral("UPDATE TABLECEVAP SET TESTBITIS=?,YANLISDOGRUGOTURU=?,KAYITNO=%1 "
                             "WHERE TESTTARIHI=? AND TESTBASLANGIC=?%2 AND (TESTBITIS IS NOT ? OR "
                             "YANLISDOGRUGOTURU IS NOT ? OR KAYITNO IS NOT %1)")
                  .arg(student.sql, onePosition),
              set + student.values + where + set + student.values);
          !s)
        return s;
    }
  }

  // The run's description on its question rows.
  const RunDescription& d = run.description;
  if (Status s = m_store.run(
          QStringLiteral("UPDATE TABLEUYGULAMA SET TESTBITIS=?,TESTADI=?,SEVIYE=?,SINIFI=?,DERS=?,"
                         "UNITE=?,KONU=?,KAZANIM=?,GRUP=?,ACIKLAMA=?,YANLISDOGRUGOTURU=? WHERE "
                         "TESTTARIHI=? AND TESTBASLANGIC=?%1")
              .arg(onePosition),
          store::texts(QVariantList{run.end, d.testName, d.level, d.className, d.course, d.unit,
                                    d.topic, d.outcome, d.group, d.description,
                                    reports::storedPenalty(run.penalty)} +
                       where));
      !s)
    return s;

  // The class's majority decides a question that has no key.
  if (run.majorityIsCorrect && position > 0) {
    Result<QStringList> letters = m_store.column(
        QStringLiteral("SELECT NZ(CEVAP) FROM TABLECEVAP WHERE TESTTARIHI=? AND TESTBASLANGIC=? "
                       "AND TESTSIRANO=?"),
        key + QVariantList{QString::number(position)});
    if (!letters) return Status::failure(letters.error());
    if (const QString majority = reports::majorityKey(letters.value()); !majority.isEmpty()) {
      if (Status s = m_store.run(
              QStringLiteral("UPDATE TABLEUYGULAMA SET DOGRUSIK=? WHERE TESTTARIHI=? AND "
                             "TESTBASLANGIC=? AND TESTSIRANO=? AND NZ(DOGRUSIK)=''"),
              QVariantList{majority} + key + QVariantList{QString::number(position)});
          !s)
        return s;
    }
  }
  // Keys onto the answers, result rows and ranks.
  if (one) return reports::Scoring(m_store).scoreQuestion(run.key, position, *replaced);
  return reports::Scoring(m_store).rescoreRun(run.key);
}

Result<QList<TileAnswer>> Recording::CevaplariAl(const reports::RunKey& run, int position) const {
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral("SELECT NZ(KUMANDAADRESI),NZ(CEVAP),NZ(CEVAPSURESI) FROM TABLECEVAP WHERE "
                     "TESTTARIHI=? AND TESTBASLANGIC=? AND TESTSIRANO=? ORDER BY rowid"),
      runParams(run) << QString::number(position));
  if (!q) return Result<QList<TileAnswer>>::failure(q.error());
  QList<TileAnswer> out;
  while (q.value().next())
    out.append({q.value().value(0).toString(), q.value().value(1).toString(),
                reports::answerSeconds(q.value().value(2).toString())});
  return out;
}

Result<QList<int>> Recording::storedPositions(const reports::RunKey& run) const {
  Result<QStringList> positions =
      m_store.column(QStringLiteral("SELECT TESTSIRANO FROM TABLEUYGULAMA WHERE TESTTARIHI=? AND "
                                    "TESTBASLANGIC=? GROUP BY TESTSIRANO ORDER BY VAL(TESTSIRANO)"),
                     runParams(run));
  if (!positions) return Result<QList<int>>::failure(positions.error());
  QList<int> out;
  for (const QString& p : positions.value()) out << p.toInt();
  return out;
}

Result<QString> Recording::freeStartTime(const QString& date, const QTime& wanted) const {
  QTime t = QTime(wanted.hour(), wanted.minute(), wanted.second());
  for (int tries = 0; tries < 3600; ++tries, t = t.addSecs(1)) {
    const QString start = t.toString(kTimeFormat);
    Result<QVariant> used = m_store.scalar(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEUYGULAMA WHERE TESTTARIHI=? AND "
                       "TESTBASLANGIC=?) OR EXISTS (SELECT 1 FROM TABLECEVAP WHERE TESTTARIHI=? "
                       "AND TESTBASLANGIC=?) OR EXISTS (SELECT 1 FROM TABLESONUC WHERE "
                       "TESTTARIHI=? AND TESTBASLANGIC=?)"),
        {date, start, date, start, date, start});
    if (!used) return Result<QString>::failure(used.error());
    if (used->toInt() == 0) return start;
  }
  return Result<QString>::failure(QStringLiteral("Uygulamanın başlangıç saati belirlenemedi."));
}

Result<RunStatistics> Recording::statistics(const reports::RunKey& run) const {
  Result<QSqlQuery> q = m_store.exec(
      // Questions by their place in the run: free questions and homework answers
      // all have the same empty SORUNO.
      QStringLiteral("SELECT NZ(KUMANDAADRESI),NZ(TESTSIRANO),NZ(CEVAP),NZ(DOGRUSIK),NZ(TESTBITIS) "
                     "FROM TABLECEVAP WHERE TESTTARIHI=? AND TESTBASLANGIC=?"),
      runParams(run));
  if (!q) return Result<RunStatistics>::failure(q.error());
  QList<TalliedAnswer> answers;
  while (q.value().next())
    answers.append({q.value().value(0).toString(), q.value().value(1).toString(),
                    q.value().value(2).toString(), q.value().value(3).toString(),
                    q.value().value(4).toString()});
  return tallyRun(run, answers);
}

}  // namespace delivery
