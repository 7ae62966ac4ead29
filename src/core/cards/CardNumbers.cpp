#include "cards/CardNumbers.h"

#include <QSet>
#include <QSqlQuery>

#include "cards/CardReader.h"
#include "store/BrowserAddress.h"
#include "store/Sql.h"
#include "store/Store.h"

namespace cards {

Result<QHash<QString, int>> CardNumbers::allCards() const {
  using R = Result<QHash<QString, int>>;
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral("SELECT NZ(KAYITNO),KARTNO FROM TABLEKART WHERE NZ(IPTAL)='' ORDER BY ID"));
  if (!q) return R::failure(q.error());
  QHash<QString, int> out;
  while (q.value().next()) out.insert(q.value().value(0).toString(), q.value().value(1).toInt());
  return out;
}

Result<QList<CardHolder>> CardNumbers::classCards(const QString& className) const {
  using R = Result<QList<CardHolder>>;
  Result<QList<activity::RosterEntry>> roster =
      activity::classRoster(m_store, className, &store::cardAddress);
  if (!roster) return R::failure(roster.error());
  Result<QHash<QString, int>> cards = allCards();
  if (!cards) return R::failure(cards.error());
  QList<CardHolder> out;
  for (const activity::RosterEntry& e : roster.value())
    out.append({e, cards.value().value(e.kayitNo, 0)});
  return out;
}

Result<int> CardNumbers::freeNumber(const QString& className) const {
  // Every number a student of the class has ever held, replaced ones too.
  Result<QStringList> used =
      m_store.column(QStringLiteral("SELECT K.KARTNO FROM TABLEKART K JOIN TABLEOGRENCI O ON "
                                    "O.KAYITNO=K.KAYITNO WHERE O.SINIFI=?"),
                     {className});
  if (!used) return Result<int>::failure(used.error());
  QSet<int> taken;
  for (const QString& n : used.value()) taken.insert(n.toInt());
  for (int n = 1; n <= CardReader::kLastCard; ++n)
    if (!taken.contains(n)) return n;
  return Result<int>::failure(
      QStringLiteral("%1 sınıfına verilecek kart numarası kalmadı (en çok %2 kart).")
          .arg(className)
          .arg(CardReader::kLastCard));
}

Status CardNumbers::give(const QString& kayitNo, const QString& className) {
  if (Status s = m_store.run(
          QStringLiteral("UPDATE TABLEKART SET IPTAL='1' WHERE KAYITNO=? AND NZ(IPTAL)=''"),
          {kayitNo});
      !s)
    return s;
  Result<int> n = freeNumber(className);
  if (!n) return Status::failure(n.error());
  return m_store.run(QStringLiteral("INSERT INTO TABLEKART (KARTNO,KAYITNO,IPTAL) VALUES (?,?,'')"),
                     {QString::number(n.value()), kayitNo});
}

Result<QList<CardHolder>> CardNumbers::giveCards(const QString& className) {
  using R = Result<QList<CardHolder>>;
  {
    store::Transaction tx(m_store);
    Result<QList<CardHolder>> now = classCards(className);
    if (!now) return now;
    // Who held a number first keeps it: order by when the card was given.
    Result<QStringList> order = m_store.column(
        QStringLiteral("SELECT K.KAYITNO FROM TABLEKART K JOIN TABLEOGRENCI O ON "
                       "O.KAYITNO=K.KAYITNO WHERE O.SINIFI=? AND NZ(K.IPTAL)='' ORDER BY K.ID"),
        {className});
    if (!order) return R::failure(order.error());
    QSet<int> held;
    QStringList needing;
    for (const QString& kayitNo : order.value()) {
      for (const CardHolder& h : now.value()) {
        if (h.student.kayitNo != kayitNo) continue;
        if (held.contains(h.card)) needing << kayitNo;
        held.insert(h.card);
      }
    }
    for (const CardHolder& h : now.value())
      if (h.card == 0) needing << h.student.kayitNo;
    if (needing.isEmpty()) return now;
    for (const QString& kayitNo : needing)
      if (Status s = give(kayitNo, className); !s) return R::failure(s.error());
    // A student's card belongs with the student (the class list shows it).
    m_store.changed(store::Change::Students);
    if (Status s = tx.commit(); !s) return R::failure(s.error());
  }
  return classCards(className);
}

Result<int> CardNumbers::newCard(const QString& kayitNo) {
  Result<QVariant> className = m_store.scalar(
      QStringLiteral("SELECT SINIFI FROM TABLEOGRENCI WHERE KAYITNO=? AND NZ(SILINDIMI)=''"),
      {kayitNo});
  if (!className) return Result<int>::failure(className.error());
  if (className->isNull())
    return Result<int>::failure(
        QStringLiteral("%1 kayıt numaralı öğrenci bulunamadı.").arg(kayitNo));
  store::Transaction tx(m_store);
  if (Status s = give(kayitNo, className->toString()); !s) return Result<int>::failure(s.error());
  Result<QVariant> card = m_store.scalar(
      QStringLiteral("SELECT KARTNO FROM TABLEKART WHERE KAYITNO=? AND NZ(IPTAL)=''"), {kayitNo});
  if (!card) return Result<int>::failure(card.error());
  m_store.changed(store::Change::Students);
  if (Status s = tx.commit(); !s) return Result<int>::failure(s.error());
  return card->toInt();
}

}  // namespace cards
