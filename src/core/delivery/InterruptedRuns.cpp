#include "delivery/InterruptedRuns.h"

#include <QSqlQuery>

#include <algorithm>

#include "delivery/JournalSender.h"
#include "lists/FilterLists.h"
#include "school/Pairing.h"
#include "store/Parameters.h"
#include "store/Store.h"

namespace delivery {

namespace {

// Runs the teacher chose not to continue: "date start" texts, kept per user so
// that nothing in the data changes.
const QString kSection = QStringLiteral("Test Uygulama");
const QString kDeclined = QStringLiteral("DevamEdilmeyenler");

QString keyText(const reports::RunKey& key) { return key.date + QLatin1Char(' ') + key.start; }

QStringList declined() {
  return store::UserSettings::get(kSection, kDeclined).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

}  // namespace

Result<QList<InterruptedRun>> InterruptedRuns::find() const {
  using Runs = QList<InterruptedRun>;
  // A run's rows all describe it alike: any of them (MAX) names it.
  Result<QSqlQuery> q = m_store.exec(QStringLiteral(
      "SELECT TESTTARIHI,TESTBASLANGIC,MAX(NZ(TESTNO)),MAX(NZ(TESTADI)),MAX(NZ(SEVIYE)),"
      "MAX(NZ(SINIFI)),MAX(NZ(GRUP)),MAX(NZ(ACIKLAMA)),MAX(NZ(DERS)),MAX(NZ(UNITE)),MAX(NZ(KONU)),"
      "MAX(NZ(KAZANIM)),MAX(NZ(YANLISDOGRUGOTURU)),COUNT(*) FROM "
      "TABLEUYGULAMA WHERE NZ(TESTBITIS)='' AND UPPER(NZ(TESTNO)) NOT IN ('SERBEST','DERS','') "
      "GROUP BY TESTTARIHI,TESTBASLANGIC ORDER BY CDATE(TESTTARIHI) DESC,CDATE(TESTBASLANGIC) "
      "DESC"));
  if (!q) return Result<Runs>::failure(q.error());
  const QStringList skipped = declined();
  // A run this board has not finished sending is not interrupted.
  const JournalSender* journal = JournalSender::of(m_store);
  const QList<reports::RunKey> sending =
      journal ? journal->pendingRuns() : QList<reports::RunKey>();
  Runs runs;
  while (q.value().next()) {
    const QSqlQuery& r = q.value();
    InterruptedRun run;
    run.key = {r.value(0).toString(), r.value(1).toString()};
    if (skipped.contains(keyText(run.key)) || sending.contains(run.key)) continue;
    run.description = {r.value(2).toString(), r.value(3).toString(), r.value(4).toString(),
                       r.value(5).toString(), r.value(6).toString(), r.value(7).toString(),
                       r.value(8).toString(), r.value(9).toString(), r.value(10).toString(),
                       r.value(11).toString()};
    run.penalty = reports::penaltyFromStored(r.value(12).toString());
    run.questionsLeft = r.value(13).toInt();
    runs.append(run);
  }
  q.value().finish();
  for (InterruptedRun& run : runs) {
    Result<QVariant> count =
        m_store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLETESTSORU WHERE TESTNO=?"),
                       {run.description.testNo});
    if (!count) return Result<Runs>::failure(count.error());
    run.questionCount = count->toInt();
    Result<QStringList> addresses =
        m_store.column(QStringLiteral("SELECT KUMANDAADRESI FROM TABLECEVAP WHERE TESTTARIHI=? AND "
                                      "TESTBASLANGIC=? GROUP BY KUMANDAADRESI ORDER BY MIN(rowid)"),
                       {run.key.date, run.key.start});
    if (!addresses) return Result<Runs>::failure(addresses.error());
    run.addresses = addresses.value();
    if (run.addresses == QStringList{RunPlan::kVirtualRemote}) {
      Result<QVariant> who =
          m_store.scalar(QStringLiteral("SELECT NZ(KAYITNO) FROM TABLECEVAP WHERE TESTTARIHI=? AND "
                                        "TESTBASLANGIC=? AND NZ(KAYITNO)<>'' LIMIT 1"),
                         {run.key.date, run.key.start});
      if (!who) return Result<Runs>::failure(who.error());
      run.virtualKayitNo = who->toString();
    }
  }
  return runs;
}

QString InterruptedRuns::question(const InterruptedRun& run) {
  return QStringLiteral(
             "Yarım kalan bir uygulama var: %1 %2, %3, %4 numaralı \"%5\" testi, %6/%7 soru "
             "cevaplandı, devam edilsin mi?")
      .arg(run.key.date, run.key.start, run.description.className, run.description.testNo,
           run.description.testName)
      .arg(run.questionsLeft)
      .arg(run.questionCount);
}

Result<RunPlan> InterruptedRuns::plan(const InterruptedRun& run) const {
  Result<RunSettings> settings = RunSettings::load(m_store.db());
  if (!settings) return Result<RunPlan>::failure(settings.error());
  RunPlan plan;
  plan.description = run.description;
  plan.settings = settings->effective(m_store.institution());
  plan.settings.penalty = run.penalty;
  plan.settings.remoteTestScreen = false;
  plan.resume = run.key;
  Result<QStringList> teachers = school::Pairing(m_store).teacherAddresses();
  if (!teachers) return Result<RunPlan>::failure(teachers.error());
  plan.teacherRemotes = teachers.value();
  plan.studentRemotes = run.addresses;
  if (plan.virtualRemoteOnly()) {
    plan.names = plan.studentRemotes;
    plan.virtualName = run.virtualKayitNo.section(QLatin1Char('|'), 0, 0);
    plan.virtualSurname = run.virtualKayitNo.section(QLatin1Char('|'), 1);
    return plan;
  }
  // Each tile is named after the student its answers were recorded for.
  for (const QString& address : run.addresses) {
    Result<QSqlQuery> q = m_store.exec(
        QStringLiteral("SELECT TRIM(NZ(O.ADI)||' '||NZ(O.SOYADI)) FROM TABLECEVAP C INNER JOIN "
                       "TABLEOGRENCI O ON O.KAYITNO=C.KAYITNO WHERE C.TESTTARIHI=? AND "
                       "C.TESTBASLANGIC=? AND C.KUMANDAADRESI=? AND NZ(C.KAYITNO)<>'' LIMIT 1"),
        {run.key.date, run.key.start, address});
    if (!q) return Result<RunPlan>::failure(q.error());
    const QString name = q.value().next() ? q.value().value(0).toString() : QString();
    plan.names << (name.isEmpty() ? address : name);
  }
  return plan;
}

Result<std::optional<RunPlan>> InterruptedRuns::offer(Messages& messages) const {
  using Offer = std::optional<RunPlan>;
  Result<QList<InterruptedRun>> runs = find();
  if (!runs) return Result<Offer>::failure(runs.error());
  if (runs->isEmpty()) return Offer();
  const InterruptedRun& newest = runs->first();
  if (!messages.ask(question(newest), QStringLiteral("Yarım Kalan Uygulama"))) {
    QStringList skipped = declined();
    skipped << keyText(newest.key);
    store::UserSettings::set(kSection, kDeclined, skipped.join(QLatin1Char(';')));
    return Offer();
  }
  Result<RunPlan> plan = this->plan(newest);
  if (!plan) return Result<Offer>::failure(plan.error());
  return Offer(plan.value());
}

}  // namespace delivery
