#include "reports/RunRevision.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>

#include "reports/Majority.h"
#include "store/Store.h"

namespace reports {

namespace {

QString noSuchQuestion(const QString& position) {
  return QStringLiteral("Uygulamada %1. soru yok.").arg(position);
}

}  // namespace

bool RunRevision::validKey(const QString& letter) {
  return letter.isEmpty() || (letter.size() == 1 && QStringLiteral("ABCDE").contains(letter.at(0)));
}

Status RunRevision::writeKeys(const QList<QPair<QString, QString>>& keys) {
  for (const auto& [position, letter] : keys) {
    if (!validKey(letter))
      return Status::failure(
          QStringLiteral("Geçersiz cevap: %1 (A, B, C, D, E ya da boş olmalıdır)").arg(letter));
    Result<QSqlQuery> q =
        m_store.exec(QStringLiteral("UPDATE TABLEUYGULAMA SET DOGRUSIK=? WHERE TESTTARIHI=? AND "
                                    "TESTBASLANGIC=? AND TESTSIRANO=?"),
                     {letter, m_run.date, m_run.start, position});
    if (!q) return Status::failure(q.error());
    if (q.value().numRowsAffected() <= 0) return Status::failure(noSuchQuestion(position));
  }
  return Scoring(m_store).rescoreRun(m_run);
}

Status RunRevision::setKey(const QString& position, const QString& letter) {
  return setKeys({{position, letter}});
}

Status RunRevision::setKeys(const QList<QPair<QString, QString>>& keys) {
  store::Transaction tx(m_store);
  if (Status s = writeKeys(keys); !s) return s;
  return tx.commit();
}

Result<bool> RunRevision::inProgress() const {
  const Result<QVariant> end = m_store.scalar(
      QStringLiteral("SELECT MAX(NZ(TESTBITIS)) FROM TABLEUYGULAMA WHERE TESTTARIHI=? AND "
                     "TESTBASLANGIC=?"),
      {m_run.date, m_run.start});
  if (!end) return Result<bool>::failure(end.error());
  return end->toString().isEmpty();
}

Result<bool> RunRevision::majorityAsKey(Messages& messages) {
  if (!messages.ask(majorityQuestion(), QStringLiteral("Soru"), Messages::Answer::No)) return false;
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral(
          "SELECT U.TESTSIRANO,C.CEVAP FROM TABLEUYGULAMA U LEFT JOIN TABLECEVAP C ON "
          "C.TESTTARIHI=U.TESTTARIHI AND C.TESTBASLANGIC=U.TESTBASLANGIC AND "
          "C.TESTSIRANO=U.TESTSIRANO WHERE U.TESTTARIHI=? AND U.TESTBASLANGIC=? ORDER BY "
          "VAL(U.TESTSIRANO)"),
      {m_run.date, m_run.start});
  if (!q) return Result<bool>::failure(q.error());
  QStringList positions;
  QHash<QString, QStringList> answers;
  while (q.value().next()) {
    const QString position = q.value().value(0).toString();
    if (!answers.contains(position)) positions << position;
    answers[position] << q.value().value(1).toString();
  }
  QList<QPair<QString, QString>> keys;
  for (const QString& p : positions) keys << qMakePair(p, majorityKey(answers.value(p)));
  if (Status s = setKeys(keys); !s) return Result<bool>::failure(s.error());
  return true;
}

Result<bool> RunRevision::removeQuestion(const QString& position, Messages& messages) {
  const Result<bool> going = inProgress();
  if (!going) return Result<bool>::failure(going.error());
  if (going.value()) {
    messages.warning(removeRefused());
    return false;
  }
  const Result<QVariant> present = m_store.scalar(
      QStringLiteral("SELECT COUNT(*) FROM TABLEUYGULAMA WHERE TESTTARIHI=? AND TESTBASLANGIC=? "
                     "AND TESTSIRANO=?"),
      {m_run.date, m_run.start, position});
  if (!present) return Result<bool>::failure(present.error());
  if (present->toInt() == 0) return Result<bool>::failure(noSuchQuestion(position));
  if (!messages.ask(removeQuestionText(), QStringLiteral("Soru"), Messages::Answer::No))
    return false;

  store::Transaction tx(m_store);
  const QVariantList at{m_run.date, m_run.start, position};
  for (const char* table : {"TABLECEVAP", "TABLEUYGULAMA"}) {
    const QString t = QString::fromLatin1(table);
    if (Status s = m_store.run(
            QStringLiteral("DELETE FROM %1 WHERE TESTTARIHI=? AND TESTBASLANGIC=? AND TESTSIRANO=?")
                .arg(t),
            at);
        !s)
      return Result<bool>::failure(s.error());
    // The questions after it move up one place: positions stay 1, 2, 3 ...
    if (Status s = m_store.run(
            QStringLiteral(
                "UPDATE %1 SET TESTSIRANO=CAST(CAST(VAL(TESTSIRANO) AS INTEGER)-1 AS "
                "TEXT) WHERE TESTTARIHI=? AND TESTBASLANGIC=? AND VAL(TESTSIRANO)>VAL(?)")
                .arg(t),
            at);
        !s)
      return Result<bool>::failure(s.error());
  }
  if (Status s = Scoring(m_store).rescoreRun(m_run); !s) return Result<bool>::failure(s.error());
  if (Status s = tx.commit(); !s) return Result<bool>::failure(s.error());
  return true;
}

Status AnswerKeyEditor::load() {
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral("SELECT NZ(TESTSIRANO),NZ(DOGRUSIK) FROM TABLEUYGULAMA WHERE TESTTARIHI=? AND "
                     "TESTBASLANGIC=? ORDER BY VAL(TESTSIRANO)"),
      {m_run.date, m_run.start});
  if (!q) return Status::failure(q.error());
  m_rows.clear();
  while (q.value().next())
    m_rows << Row{q.value().value(0).toString(), q.value().value(1).toString()};
  m_loaded = m_rows;
  return {};
}

void AnswerKeyEditor::mark(int row, const QString& letter) {
  if (row < 0 || row >= m_rows.size() || !RunRevision::validKey(letter)) return;
  m_rows[row].key = letter;
}

void AnswerKeyEditor::clearAll() {
  for (Row& r : m_rows) r.key.clear();
}

Status AnswerKeyEditor::save() {
  QList<QPair<QString, QString>> keys;
  for (const Row& r : m_rows) keys << qMakePair(r.position, r.key);
  if (Status s = RunRevision(m_store, m_run).setKeys(keys); !s) return s;
  m_loaded = m_rows;
  return {};
}

}  // namespace reports
