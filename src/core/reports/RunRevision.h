#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include "Messages.h"
#include "Result.h"
#include "reports/Scoring.h"

namespace store {
class Store;
}

namespace reports {

// Changes to a stored run from its report: the key of one question, the whole
// key, the majority's answers as key, removing a question. Each is one
// transaction that ends with a full re-score (reports::Scoring), so no view ever
// sees a key without its results. The question row holds the key; the scorer
// copies it onto the answers.
class RunRevision {
 public:
  RunRevision(store::Store& store, RunKey run) : m_store(store), m_run(std::move(run)) {}

  // The key of the question at `position` ("" clears it): clicking an option on
  // the per-question page.
  Status setKey(const QString& position, const QString& letter);
  // Several keys at once (the key editor, the command line's --set).
  Status setKeys(const QList<QPair<QString, QString>>& keys);
  // "Çoğunluğun Cevabını Doğru Kabul Et": asks first; every question's key becomes
  // the letter most of the class chose (reports::majorityKey), replacing what was
  // set. False when the teacher said no.
  Result<bool> majorityAsKey(Messages& messages);
  // "Soruyu uygulamadan çıkar": refused while the run goes on; asks; removes the
  // question's answers and row and closes the gap in the positions after it.
  Result<bool> removeQuestion(const QString& position, Messages& messages);

  static QString majorityQuestion() {
    return QStringLiteral(
        "Şu anki cevap anahtarı silinecektir, devam etmek istediğinizden emin misiniz?");
  }
  static QString removeRefused() {
    return QStringLiteral("Uygulama devam ettiğinden bu soruyu silemezsiniz");
  }
  static QString removeQuestionText() {
    return QStringLiteral(
        "! Bu işlemi geri alamazsınız !\nSoruyu uygulamadan çıkarmak istediğinizden emin misiniz?");
  }
  // A key is one of A .. E, or empty.
  static bool validKey(const QString& letter);

 private:
  Status writeKeys(const QList<QPair<QString, QString>>& keys);
  Result<bool> inProgress() const;

  store::Store& m_store;
  RunKey m_run;
};

// The key editor panel (cmdCevapAnahtariDegistir): one row per question with the
// marked option; "Boşalt" clears the marks on screen only, "İptal" drops the
// editor, "Kaydet" writes every row and re-scores.
class AnswerKeyEditor {
 public:
  AnswerKeyEditor(store::Store& store, RunKey run) : m_store(store), m_run(std::move(run)) {}

  struct Row {
    QString position;
    QString key;
    bool operator==(const Row&) const = default;
  };
  // CevapAnahtariDoldur: the run's questions in order with their keys.
  Status load();
  const QList<Row>& rows() const { return m_rows; }
  // Marks `letter` (A .. E, "" for none) on row `row`.
  void mark(int row, const QString& letter);
  void clearAll();
  bool modified() const { return m_rows != m_loaded; }
  Status save();

  static QString caption() { return QStringLiteral("Cevap Anahtarı Değiştir"); }
  static QString saveCaption() { return QStringLiteral("Cevap Anahtarını Kaydet"); }
  static QString clearCaption() { return QStringLiteral("Cevap Anahtarını Boşalt"); }
  static QString majorityCaption() { return QStringLiteral("Çoğunluğun Cevabını Doğru Kabul Et"); }
  static QString cancelCaption() { return QStringLiteral("İptal"); }

 private:
  store::Store& m_store;
  RunKey m_run;
  QList<Row> m_rows;
  QList<Row> m_loaded;
};

}  // namespace reports
