#include "reports/Scoring.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>

#include "store/Dialect.h"
#include "store/ServerConnection.h"
#include "store/SqlErrors.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"

namespace reports {

namespace {

const QString kBlankKey = QStringLiteral("X");

// What one remote did in the run.
struct RemoteResult {
  QString address;
  QString kayitNo;
  Penalty penalty = Penalty::FourWrongs;
  QString adi;
  QString soyadi;
  int rows = 0;
  int correct = 0;
  int wrong = 0;
  int blank = 0;
  int seconds = 0;
  qint64 order = 0;  // netTwelfths
};

// What every result row of the run repeats.
struct RunColumns {
  QString bitis, testNo, testAdi, seviye, ders, unite, konu, kazanim, sinifi, grup, aciklama;
};

Status queryError(const QSqlQuery& q) { return Status::failure(store::queryErrorText(q)); }

// Runs a prepared statement with `values` bound in order (unset texts as '').
Status execPrepared(QSqlQuery& q, const QVariantList& values) {
  for (const QVariant& v : store::texts(values)) q.addBindValue(v);
  if (!q.exec()) return queryError(q);
  return {};
}

}  // namespace

Outcome outcome(const QString& answer, const QString& key) {
  if (!isScored(key)) return Outcome::Unscored;
  if (answer.isEmpty() || answer == kBlankKey) return Outcome::Blank;
  return answer == key ? Outcome::Correct : Outcome::Wrong;
}

QString netText(double value) {
  const double rounded = std::round(value * 100.0) / 100.0;
  if (rounded == 0.0) return QStringLiteral("0");  // never "-0"
  return QString::number(rounded, 'g', 15);
}

QString percent(double count, int total) {
  if (total <= 0) return QStringLiteral("0.00");
  return QString::number(100.0 * count / total, 'f', 2);
}

int answerSeconds(const QString& text) {
  const QStringList parts = text.trimmed().split(QLatin1Char(':'));
  int seconds = 0;
  for (const QString& part : parts) {
    bool ok = false;
    const int v = part.trimmed().toInt(&ok);
    if (!ok || v < 0) return 0;
    seconds = seconds * 60 + v;
  }
  return seconds;
}

QString answerTimeText(int seconds) {
  seconds = std::max(seconds, 0);
  return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString totalTimeText(int seconds) {
  seconds = std::max(seconds, 0);
  return QStringLiteral("%1:%2")
      .arg(seconds / 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

namespace {

// The one place where an answer meets the scoring rules: counted for its remote
// (sign 1) or taken back off it (sign -1).
void count(RemoteResult& r, const StoredAnswer& a, int sign) {
  const Outcome o = outcome(a.answer, a.key);
  // A question without a key counts as if it had not been asked.
  if (o == Outcome::Unscored) return;
  r.rows += sign;
  r.seconds += sign * answerSeconds(a.time);
  switch (o) {
    case Outcome::Correct:
      r.correct += sign;
      break;
    case Outcome::Wrong:
      r.wrong += sign;
      break;
    case Outcome::Blank:
      r.blank += sign;
      break;
    case Outcome::Unscored:
      break;
  }
}

// The remotes of a run in the order they were first met.
struct Remotes {
  QList<RemoteResult> list;
  QHash<QString, qsizetype> at;

  RemoteResult& of(const QString& address) {
    qsizetype i = at.value(address, -1);
    if (i < 0) {
      i = list.size();
      at.insert(address, i);
      list.append(RemoteResult{});
      list.last().address = address;
    }
    return list[i];
  }
};

// The question rows are the key; the answers carry a copy of it (of one question's
// answers when `position` is given).
Status copyKeys(store::Store& store, const QVariantList& key, int position = 0) {
  QVariantList one;
  if (position > 0) one << QString::number(position);
  return store.run(
      QStringLiteral(
          "UPDATE TABLECEVAP SET DOGRUSIK=U.DOGRUSIK FROM (SELECT TESTSIRANO,"
          "MAX(COALESCE(DOGRUSIK,'')) AS DOGRUSIK FROM TABLEUYGULAMA WHERE TESTTARIHI=? "
          "AND TESTBASLANGIC=?%1 GROUP BY TESTSIRANO) U WHERE TABLECEVAP.TESTTARIHI=? AND "
          "TABLECEVAP.TESTBASLANGIC=?%2 AND TABLECEVAP.TESTSIRANO=U.TESTSIRANO AND "
          "TABLECEVAP.DOGRUSIK IS NOT U.DOGRUSIK")
          .arg(position > 0 ? QStringLiteral(" AND TESTSIRANO=?") : QString(),
               position > 0 ? QStringLiteral(" AND TABLECEVAP.TESTSIRANO=?") : QString()),
      key + one + key + one);
}

// What every result row of the run repeats, from its first question row.
Result<RunColumns> runColumns(store::Store& store, const QVariantList& key) {
  Result<QSqlQuery> d = store.exec(
      QStringLiteral("SELECT NZ(TESTBITIS),NZ(TESTNO),NZ(TESTADI),NZ(SEVIYE),NZ(DERS),NZ(UNITE),"
                     "NZ(KONU),NZ(KAZANIM),NZ(SINIFI),NZ(GRUP),NZ(ACIKLAMA) FROM TABLEUYGULAMA "
                     "WHERE TESTTARIHI=? AND TESTBASLANGIC=? ORDER BY rowid LIMIT 1"),
      key);
  if (!d) return Result<RunColumns>::failure(d.error());
  RunColumns c;
  if (QSqlQuery& q = d.value(); q.next())
    c = {q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
         q.value(4).toString(), q.value(5).toString(), q.value(6).toString(), q.value(7).toString(),
         q.value(8).toString(), q.value(9).toString(), q.value(10).toString()};
  return c;
}

// Answers of the run (of one question when `position` is given) in stored order;
// each also tells its TESTBITIS and TESTNO through `seen`, when asked.
Status readAnswers(store::Store& store, const QVariantList& key, int position,
                   const std::function<void(const StoredAnswer&, const QSqlQuery&)>& seen) {
  QVariantList values = key;
  if (position > 0) values << QString::number(position);
  Result<QSqlQuery> q = store.exec(
      QStringLiteral(
          "SELECT NZ(KUMANDAADRESI),NZ(KAYITNO),NZ(CEVAP),NZ(DOGRUSIK),NZ(CEVAPSURESI),"
          "NZ(YANLISDOGRUGOTURU),TESTBITIS,TESTNO FROM TABLECEVAP WHERE TESTTARIHI=? AND "
          "TESTBASLANGIC=?%1 ORDER BY rowid")
          .arg(position > 0 ? QStringLiteral(" AND TESTSIRANO=?") : QString()),
      values);
  if (!q) return Status::failure(q.error());
  for (QSqlQuery& a = q.value(); a.next();)
    seen({a.value(0).toString(), a.value(1).toString(), a.value(2).toString(),
          a.value(3).toString(), a.value(4).toString(), a.value(5).toString()},
         a);
  q.value().finish();
  return {};
}

// Names, nets and ranks of `remotes`, written as the run's TABLESONUC rows; the
// ranks go onto the run's answers (onto one question's when `position` is given).
Status storeResults(store::Store& store, const RunKey& run, QList<RemoteResult> remotes,
                    const RunColumns& columns, int position) {
  const QVariantList key{run.date, run.start};
  // Names of the students on the answers. The virtual remote's answerer has no
  // student row: the answers carry "name|surname" instead.
  QStringList kayitNos;
  for (const RemoteResult& r : remotes)
    if (!r.kayitNo.isEmpty() && !kayitNos.contains(r.kayitNo)) kayitNos << r.kayitNo;
  QHash<QString, QPair<QString, QString>> names;
  if (!kayitNos.isEmpty()) {
    const store::InList in = store::inList(kayitNos);
    Result<QSqlQuery> q = store.exec(
        QStringLiteral("SELECT KAYITNO,NZ(ADI),NZ(SOYADI) FROM TABLEOGRENCI WHERE KAYITNO IN (%1) "
                       "ORDER BY rowid")
            .arg(in.placeholders),
        in.values);
    if (!q) return Status::failure(q.error());
    while (q.value().next()) {
      const QString k = q.value().value(0).toString();
      if (!names.contains(k))
        names.insert(k, {q.value().value(1).toString(), q.value().value(2).toString()});
    }
  }
  for (RemoteResult& r : remotes) {
    if (names.contains(r.kayitNo)) {
      r.adi = names.value(r.kayitNo).first;
      r.soyadi = names.value(r.kayitNo).second;
    } else if (const qsizetype bar = r.kayitNo.indexOf(QLatin1Char('|')); bar >= 0) {
      r.adi = r.kayitNo.left(bar);
      r.soyadi = r.kayitNo.mid(bar + 1);
    }
    r.order = netTwelfths(r.correct, r.wrong, r.penalty);
  }

  // Higher net first, then the shorter total time; the remote's address settles
  // what is left, so every remote has a rank of its own and the same every time.
  std::stable_sort(remotes.begin(), remotes.end(),
                   [](const RemoteResult& a, const RemoteResult& b) {
                     if (a.order != b.order) return a.order > b.order;
                     if (a.seconds != b.seconds) return a.seconds < b.seconds;
                     return store::compareRemoteAddresses(a.address, b.address) < 0;
                   });

  if (Status s = store.run(
          QStringLiteral("DELETE FROM TABLESONUC WHERE TESTTARIHI=? AND TESTBASLANGIC=?"), key);
      !s)
    return s;
  QSqlQuery insert(store.db());
  if (!insert.prepare(
          store::dialectOf(store.db())
              .prepare(QStringLiteral(
                  "INSERT INTO TABLESONUC "
                  "(KUMANDAADRESI,KAYITNO,ADI,SOYADI,TESTTARIHI,TESTBASLANGIC,"
                  "TESTBITIS,TESTNO,SEVIYE,SINIFI,GRUP,ACIKLAMA,KISISAYI,SORUSAYI,NET,DOGRUSAYI,"
                  "YANLISSAYI,BOSSAYI,TOPLAMSURE,TOPLAMSUREGIZLI,KACINCIOLDU,DERS,UNITE,KONU,"
                  "KAZANIM,"
                  "TESTADI) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"))))
    return queryError(insert);
  const QString people = QString::number(remotes.size());
  QList<QPair<QString, QString>> ranks;
  for (qsizetype i = 0; i < remotes.size(); ++i) {
    const RemoteResult& r = remotes.at(i);
    const QString rank = QString::number(i + 1);
    if (Status s = execPrepared(insert, {r.address,
                                         r.kayitNo,
                                         r.adi,
                                         r.soyadi,
                                         run.date,
                                         run.start,
                                         columns.bitis,
                                         columns.testNo,
                                         columns.seviye,
                                         columns.sinifi,
                                         columns.grup,
                                         columns.aciklama,
                                         people,
                                         QString::number(r.rows),
                                         netText(net(r.correct, r.wrong, r.penalty)),
                                         QString::number(r.correct),
                                         QString::number(r.wrong),
                                         QString::number(r.blank),
                                         totalTimeText(r.seconds),
                                         QString::number(r.seconds / 86400.0, 'g', 15),
                                         rank,
                                         columns.ders,
                                         columns.unite,
                                         columns.konu,
                                         columns.kazanim,
                                         columns.testAdi});
        !s)
      return s;
    ranks.append({r.address, rank});
  }
  // The ranks onto the answers in one pass, touching only rows that change.
  if (!ranks.isEmpty()) {
    const store::CaseMap rankOf =
        store::caseMap(QStringLiteral("KUMANDAADRESI"), ranks, QStringLiteral("KACINCIOLDU"));
    QVariantList where = key;
    if (position > 0) where << QString::number(position);
    if (Status s = store.run(
            QStringLiteral("UPDATE TABLECEVAP SET KACINCIOLDU=%1 WHERE "
                           "TESTTARIHI=? AND TESTBASLANGIC=?%2 AND "
                           "KACINCIOLDU IS NOT %1")
                .arg(rankOf.sql, position > 0 ? QStringLiteral(" AND TESTSIRANO=?") : QString()),
            rankOf.values + where + rankOf.values);
        !s)
      return s;
  }
  store.changed(store::Change::Runs);
  return {};
}

}  // namespace

Status Scoring::rescoreRun(const RunKey& run) {
  const QVariantList key{run.date, run.start};
  store::Transaction tx(m_store);
  if (Status s = copyKeys(m_store, key); !s) return s;
  Result<RunColumns> described = runColumns(m_store, key);
  if (!described) return Status::failure(described.error());
  RunColumns columns = described.value();
  Remotes remotes;
  if (Status s = readAnswers(m_store, key, 0,
                             [&](const StoredAnswer& a, const QSqlQuery& q) {
                               RemoteResult& r = remotes.of(a.address);
                               // A remote is one row whatever its rows say; its latest row
                               // names the student and the penalty mode (every row of a run
                               // carries the same after a refresh).
                               if (!a.kayitNo.isEmpty()) r.kayitNo = a.kayitNo;
                               r.penalty = penaltyFromStored(a.penalty);
                               // Old runs may have answers that say more than their
                               // question rows.
                               if (columns.bitis.isEmpty()) columns.bitis = q.value(6).toString();
                               if (columns.testNo.isEmpty()) columns.testNo = q.value(7).toString();
                               count(r, a, 1);
                             });
      !s)
    return s;
  if (Status s = storeResults(m_store, run, remotes.list, columns, 0); !s) return s;
  return tx.commit();
}

Result<QList<StoredAnswer>> Scoring::questionAnswers(const RunKey& run, int position) const {
  QList<StoredAnswer> out;
  if (Status s = readAnswers(m_store, {run.date, run.start}, position,
                             [&](const StoredAnswer& a, const QSqlQuery&) { out.append(a); });
      !s)
    return Result<QList<StoredAnswer>>::failure(s.error());
  return out;
}

Status Scoring::scoreQuestion(const RunKey& run, int position,
                              const QList<StoredAnswer>& replaced) {
  const QVariantList key{run.date, run.start};
  store::Transaction tx(m_store);
  if (Status s = copyKeys(m_store, key, position); !s) return s;
  Result<RunColumns> columns = runColumns(m_store, key);
  if (!columns) return Status::failure(columns.error());

  // The results as stored, which the question's answers change.
  Result<QSqlQuery> stored = m_store.exec(
      QStringLiteral("SELECT NZ(KUMANDAADRESI),NZ(KAYITNO),VAL(SORUSAYI),VAL(DOGRUSAYI),"
                     "VAL(YANLISSAYI),VAL(BOSSAYI),NZ(TOPLAMSURE) FROM TABLESONUC WHERE "
                     "TESTTARIHI=? AND TESTBASLANGIC=? ORDER BY rowid"),
      key);
  if (!stored) return Status::failure(stored.error());
  Remotes remotes;
  bool carried = !columns->testNo.isEmpty();
  for (QSqlQuery& q = stored.value(); q.next();) {
    const QString address = q.value(0).toString();
    if (remotes.at.contains(address)) carried = false;
    RemoteResult& r = remotes.of(address);
    r.kayitNo = q.value(1).toString();
    r.rows = q.value(2).toInt();
    r.correct = q.value(3).toInt();
    r.wrong = q.value(4).toInt();
    r.blank = q.value(5).toInt();
    r.seconds = answerSeconds(q.value(6).toString());
  }
  stored.value().finish();

  // Every answer stored has its remote in the results.
  for (const StoredAnswer& a : replaced) {
    if (!remotes.at.contains(a.address)) carried = false;
    count(remotes.of(a.address), a, -1);
  }
  QSet<QString> answered;
  if (Status s = readAnswers(m_store, key, position,
                             [&](const StoredAnswer& a, const QSqlQuery&) {
                               // A remote new to the results has answered nothing before.
                               const bool known = remotes.at.contains(a.address);
                               RemoteResult& r = remotes.of(a.address);
                               // The student of a remote changed within the run: its
                               // earlier answers decide which one it is.
                               if (known && a.kayitNo != r.kayitNo) carried = false;
                               if (!known) r.kayitNo = a.kayitNo;
                               r.penalty = penaltyFromStored(a.penalty);
                               answered.insert(a.address);
                               count(r, a, 1);
                             });
      !s)
    return s;
  // Only a remote's latest answer tells its penalty mode: one that did not answer
  // this question would need its earlier ones.
  for (const RemoteResult& r : remotes.list)
    if (!answered.contains(r.address)) carried = false;
  if (!carried) {
    if (Status s = rescoreRun(run); !s) return s;
    return tx.commit();
  }
  if (Status s = storeResults(m_store, run, remotes.list, columns.value(), position); !s) return s;
  return tx.commit();
}

Status Scoring::scoreRunsWithoutResults() {
  Result<QSqlQuery> q = m_store.exec(QStringLiteral(
      "SELECT DISTINCT C.TESTTARIHI,C.TESTBASLANGIC FROM TABLECEVAP C WHERE NOT EXISTS (SELECT 1 "
      "FROM TABLESONUC S WHERE S.TESTTARIHI=C.TESTTARIHI AND S.TESTBASLANGIC=C.TESTBASLANGIC)"));
  if (!q) return Status::failure(q.error());
  QList<RunKey> runs;
  while (q.value().next())
    runs << RunKey{q.value().value(0).toString(), q.value().value(1).toString()};
  q.value().finish();
  store::Transaction tx(m_store);
  for (const RunKey& run : runs)
    if (Status s = rescoreRun(run); !s) return s;
  return tx.commit();
}

}  // namespace reports
