#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

#include "Result.h"
#include "reports/ItemAnalysis.h"
#include "reports/Participants.h"
#include "reports/ReportOptions.h"
#include "reports/Scoring.h"

namespace store {
class Store;
}

namespace reports {

// A student left out of a run at its remote check: the remote had not pressed
// when the teacher went on.
struct LeftOutStudent {
  QString address;  // KUMANDAADRESI
  QString name;     // as the tiles showed it
  bool operator==(const LeftOutStudent&) const = default;
};

// "Testin Dışında Kalan (2)": the caption the run's final page gives them.
QString leftOutCaption(int count);

// What a run's question rows say about the run itself.
struct RunInfo {
  RunKey key;
  QString testBitis, testNo, testAdi, seviye, sinifi, grup, aciklama;
  QString ders, unite, konu, kazanim;
  Penalty penalty = Penalty::FourWrongs;  // YANLISDOGRUGOTURU
  QString aktarildi;                      // AKTARILDI
  QList<LeftOutStudent> leftOut;          // TABLEDISARIDAKALAN, in tile order

  // A run without an end time is still being presented.
  bool inProgress() const { return testBitis.isEmpty(); }
  bool isLessonRun() const;  // test number "DERS"
  bool isFreeRun() const;    // test number "SERBEST"
  // "12.10.2026 Tarihinde 09:00:00-09:40:00 Arası 5-A Sınıfına Yapılan 12 Numaralı
  // Kesirler İsimli Testin Uygulama Raporu"
  QString title() const;
  // "12.10.2026 (09:00:00-09:40:00)": the group label of the general chart.
  QString chartGroup() const;
};

// A count with its share: 100 × count / whole, "0.00".
struct Count {
  int count = 0;
  QString percent = QStringLiteral("0.00");
};

// One bar (or pie slice) of a chart.
struct Bar {
  QString label;
  double value = 0;
};

struct ReportQuestion {
  QString position;  // TESTSIRANO
  QString soruNo;
  QString key;      // DOGRUSIK of the question row (the run's key)
  QString content;  // SORUICERIK of the bank's question, when there is one
  // Without a key the question is out of the scoring until one is given.
  bool scored() const { return isScored(key); }
};

struct AnswerCell {
  QString answer;  // "A".."E", "X", or empty when the remote did not answer
  QString time;    // CEVAPSURESI
  Outcome outcome = Outcome::Blank;
  // The answer, and with `withTime` its time below it.
  QString text(bool withTime) const;
  // How the answer stands: "Doğru", "Yanlış", "Boş" (the blank key), "Cevapsız"
  // (no press), or empty for a letter on a question without a key.
  QString state() const;
};

// One remote of the run, as scored: rank order.
struct ReportParticipant {
  QString address;
  QString kayitNo;
  PersonName name;
  QString sinifi;  // the student's class (the run's class for a remote without one)
  int rank = 0;
  double netValue = 0;  // from the counts and the run's penalty, never rounded
  QString net;          // netValue as shown and stored: "7.33"
  int questions = 0;    // questions counted (those with a key)
  int correct = 0, wrong = 0, blank = 0;
  QString totalTime;
  QString photo;              // Fotograflar/<KAYITNO>.jpg when there is one
  QList<AnswerCell> answers;  // per question, in question order
  // 100 × net / questions counted, "0.00".
  QString netPercent() const;
};

// Answers counted: correct, wrong and blank (of the questions with a key), and the
// letters chosen (of every question), each with its share of the answers counted.
struct AnswerTally {
  Count correct, wrong, blank;
  std::array<Count, 5> options;  // A .. E
  Count optionBlank;             // "X" or no answer
};

// "Doğru-Yanlış İstatistiği" / "Cevap Dağılım İstatistiği": the whole run.
struct GeneralView : AnswerTally {
  int questions = 0;
  // "Cevap anahtarı girilmedi" when no question has a key, else "3. soru
  // puanlanmadı" / "3, 5. sorular puanlanmadı"; empty when every one counts.
  QString unscoredNote;
  int participants = 0;
  // Who was left out at the remote check: "Testin Dışında Kalan (2)" and "Ali Can,
  // Ece Nur"; both empty when nobody was.
  QString leftOutCaption;
  QString leftOutNames;
  int answers = 0;
  QString chartGroup;
  QList<Bar> correctnessBars;   // "Doğru", "Yanlış", "Boş"
  QList<Bar> distributionBars;  // "A" .. "E", "Boş"
};

// "Verilen Cevaplar" and the class table: one row per remote in rank order, the
// first answer per question, the key under each question number.
struct AnswersTable {
  QStringList captions;  // "Sıra", "Kumanda", "Adı", "Soyadı", "1\nA" ..., "Net", ...
  QList<QStringList> rows;
  QStringList photos;  // per row: the photo's path or empty (the class table shows them)
  static constexpr int kFirstQuestionColumn = 4;
};

struct QuestionAnswerRow {
  QString address;
  PersonName name;
  AnswerCell answer;
  QString state;  // CEVAPDURUMU: AnswerCell::state()
};

// TestSoruBazliGoster: one question of the run.
struct QuestionView : AnswerTally {
  int index = -1;
  int count = 0;
  ReportQuestion question;
  // "Cevap anahtarı girilmedi: bu soru puanlanmadı." for a question without a key.
  QString unscoredNote;
  int participants = 0;
  QList<Bar> bars;  // "A" .. "E" and "Boş", as the options say
  QList<QuestionAnswerRow> correctList, wrongList, blankList;
  QList<QuestionAnswerRow> all;  // the single list, with CEVAPDURUMU
};

struct StudentAnswerRow {
  QString position;  // TESTSIRANO
  QString answer;
  QString key;
  QString time;
  QString state;  // "Doğru", "Yanlış", "Puanlanmadı"; empty for a blank
};

// TestOgrenciBazliGoster: one remote of the run.
struct StudentView {
  int index = -1;
  int count = 0;
  ReportParticipant participant;
  int participants = 0;
  Count correct, wrong, blank;
  QList<StudentAnswerRow> rows;
  QList<Bar> bars;  // "Doğru", "Yanlış", "Boş"
};

// TestOgrenciDagilim: one bar per remote, "ADI SOYADI - NET: %46.67".
struct DistributionView {
  QList<Bar> bars;
  QString caption;  // "25 kişi"
};

// The report of one run (frmRaporlar): reads the run's questions, answers and
// results once and gives every view as plain values; the screen draws them. Load
// again after a change (Store::runsChanged). A run whose stored results do not
// cover every remote that answered is scored again first.
//
//   reports::RunReport report(store, {date, start});
//   if (Status s = report.load(); !s) ...
//   report.general(options).correct.percent ...
class RunReport {
 public:
  RunReport(store::Store& store, RunKey run);

  Status load();
  bool loaded() const { return m_loaded; }

  const RunKey& key() const { return m_info.key; }
  const RunInfo& info() const { return m_info; }
  QString title() const { return m_info.title(); }
  const QList<ReportQuestion>& questions() const { return m_questions; }
  const QList<ReportParticipant>& participants() const { return m_participants; }
  // The entries of cmbTestSiraNo "Testin Kaçıncı Sorusu": the question positions.
  QStringList positions() const;
  int questionIndexOf(const QString& position) const;

  GeneralView general(const ReportOptions& options) const;
  AnswersTable answersTable(const ReportOptions& options) const;
  QuestionView question(int index, const ReportOptions& options) const;
  StudentView student(int index, const ReportOptions& options) const;
  DistributionView distribution() const;
  // The stored picture of a question (the bytes of a JPEG or PNG file); empty
  // when the question was typed or has no bank row any more.
  Result<QByteArray> questionPicture(int index) const;
  // The questions without a key, by position ("3", "5").
  QStringList unscoredPositions() const;
  // Which questions worked; questions without a key are left out and named.
  ItemAnalysis::Findings itemAnalysis() const;

  // Rank among the remotes of the same class and that class's average net (the
  // result sheets for parents).
  struct ClassStanding {
    int rank = 0;
    int of = 0;
    QString average;
  };
  ClassStanding classStanding(int participant) const;

 private:
  Status read();

  store::Store& m_store;
  RunInfo m_info;
  QList<ReportQuestion> m_questions;
  QList<ReportParticipant> m_participants;
  int m_optionCount = ItemAnalysis::kOptions;
  bool m_loaded = false;
};

// The texts of the answer states; a blank is "Boş" (the key pressed) or
// "Cevapsız" (nothing pressed), as the answer says.
QString stateText(Outcome outcome, const QString& answer = QStringLiteral("X"));
// "3. soru puanlanmadı", "3, 5. sorular puanlanmadı", or "Cevap anahtarı girilmedi"
// when none of `total` questions has a key; empty when none is left out.
QString unscoredText(const QStringList& positions, int total);

}  // namespace reports
