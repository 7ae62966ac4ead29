#include "reports/Scoring.h"

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <cmath>

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

Status queryError(const QSqlQuery& q) {
  return Status::failure(store::sqlErrorText(q.lastError()));
}

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

Status Scoring::rescoreRun(const RunKey& run) {
  const QVariantList key{run.date, run.start};
  store::Transaction tx(m_store);
  const QSqlDatabase db = m_store.db();

  // The question rows are the key; the answers carry a copy of it.
  if (Status s = m_store.run(
          QStringLiteral(
              "UPDATE TABLECEVAP SET DOGRUSIK=U.DOGRUSIK FROM (SELECT TESTSIRANO,"
              "MAX(COALESCE(DOGRUSIK,'')) AS DOGRUSIK FROM TABLEUYGULAMA WHERE TESTTARIHI=? AND "
              "TESTBASLANGIC=? GROUP BY TESTSIRANO) U WHERE TABLECEVAP.TESTTARIHI=? AND "
              "TABLECEVAP.TESTBASLANGIC=? AND TABLECEVAP.TESTSIRANO=U.TESTSIRANO AND "
              "TABLECEVAP.DOGRUSIK IS NOT U.DOGRUSIK"),
          key + key);
      !s)
    return s;

  RunColumns columns;
  Result<QSqlQuery> description = m_store.exec(
      QStringLiteral("SELECT NZ(TESTBITIS),NZ(TESTNO),NZ(TESTADI),NZ(SEVIYE),NZ(DERS),NZ(UNITE),"
                     "NZ(KONU),NZ(KAZANIM),NZ(SINIFI),NZ(GRUP),NZ(ACIKLAMA) FROM TABLEUYGULAMA "
                     "WHERE TESTTARIHI=? AND TESTBASLANGIC=? ORDER BY rowid LIMIT 1"),
      key);
  if (!description) return Status::failure(description.error());
  const bool described = description.value().next();
  if (described) {
    QSqlQuery& d = description.value();
    columns = {d.value(0).toString(), d.value(1).toString(), d.value(2).toString(),
               d.value(3).toString(), d.value(4).toString(), d.value(5).toString(),
               d.value(6).toString(), d.value(7).toString(), d.value(8).toString(),
               d.value(9).toString(), d.value(10).toString()};
  }
  description.value().finish();

  Result<QSqlQuery> answers =
      m_store.exec(QStringLiteral("SELECT KUMANDAADRESI,KAYITNO,CEVAP,DOGRUSIK,CEVAPSURESI,"
                                  "YANLISDOGRUGOTURU,TESTBITIS,TESTNO FROM TABLECEVAP WHERE "
                                  "TESTTARIHI=? AND TESTBASLANGIC=? ORDER BY rowid"),
                   key);
  if (!answers) return Status::failure(answers.error());
  QList<RemoteResult> remotes;
  QHash<QString, qsizetype> byAddress;
  for (QSqlQuery& a = answers.value(); a.next();) {
    const QString address = a.value(0).toString();
    qsizetype at = byAddress.value(address, -1);
    if (at < 0) {
      at = remotes.size();
      byAddress.insert(address, at);
      remotes.append(RemoteResult{});
      remotes.last().address = address;
    }
    RemoteResult& r = remotes[at];
    // A remote is one row whatever its rows say; its latest row names the student
    // and the penalty mode (every row of a run carries the same after a refresh).
    if (const QString k = a.value(1).toString(); !k.isEmpty()) r.kayitNo = k;
    r.penalty = penaltyFromStored(a.value(5).toString());
    // Old runs may have answers that say more than their question rows.
    if (columns.bitis.isEmpty()) columns.bitis = a.value(6).toString();
    if (columns.testNo.isEmpty()) columns.testNo = a.value(7).toString();
    // A question without a key counts as if it had not been asked.
    const Outcome o = outcome(a.value(2).toString(), a.value(3).toString());
    if (o == Outcome::Unscored) continue;
    ++r.rows;
    r.seconds += answerSeconds(a.value(4).toString());
    switch (o) {
      case Outcome::Correct:
        ++r.correct;
        break;
      case Outcome::Wrong:
        ++r.wrong;
        break;
      case Outcome::Blank:
        ++r.blank;
        break;
      case Outcome::Unscored:
        break;
    }
  }
  answers.value().finish();

  // Names of the students on the answers. The virtual remote's answerer has no
  // student row: the answers carry "name|surname" instead.
  QStringList kayitNos;
  for (const RemoteResult& r : remotes)
    if (!r.kayitNo.isEmpty() && !kayitNos.contains(r.kayitNo)) kayitNos << r.kayitNo;
  QHash<QString, QPair<QString, QString>> names;
  if (!kayitNos.isEmpty()) {
    const store::InList in = store::inList(kayitNos);
    Result<QSqlQuery> q = m_store.exec(
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

  if (Status s = m_store.run(
          QStringLiteral("DELETE FROM TABLESONUC WHERE TESTTARIHI=? AND TESTBASLANGIC=?"), key);
      !s)
    return s;
  QSqlQuery insert(db);
  if (!insert.prepare(QStringLiteral(
          "INSERT INTO TABLESONUC (KUMANDAADRESI,KAYITNO,ADI,SOYADI,TESTTARIHI,TESTBASLANGIC,"
          "TESTBITIS,TESTNO,SEVIYE,SINIFI,GRUP,ACIKLAMA,KISISAYI,SORUSAYI,NET,DOGRUSAYI,"
          "YANLISSAYI,BOSSAYI,TOPLAMSURE,TOPLAMSUREGIZLI,KACINCIOLDU,DERS,UNITE,KONU,KAZANIM,"
          "TESTADI) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")))
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
    if (Status s = m_store.run(QStringLiteral("UPDATE TABLECEVAP SET KACINCIOLDU=%1 WHERE "
                                              "TESTTARIHI=? AND TESTBASLANGIC=? AND "
                                              "KACINCIOLDU IS NOT %1")
                                   .arg(rankOf.sql),
                               rankOf.values + key + rankOf.values);
        !s)
      return s;
  }
  m_store.changed(store::Change::Runs);
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
