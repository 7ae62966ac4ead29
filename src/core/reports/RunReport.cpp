#include "reports/RunReport.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

#include "curriculum/CurriculumFilter.h"
#include "school/StudentPhotos.h"
#include "store/BrowserAddress.h"
#include "store/ContentStores.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"

namespace reports {

namespace {

const QString kLetters = QStringLiteral("ABCDE");

Count countOf(int count, int whole) { return {count, percent(count, whole)}; }

int optionIndex(const QString& answer) {
  return answer.size() == 1 ? int(kLetters.indexOf(answer.at(0))) : -1;
}

// Counts answers by how they scored and by the letter chosen. Answers to a question
// without a key count among the letters only.
struct Tally {
  int answers = 0;                // of every question
  int scored = 0;                 // of the questions with a key
  std::array<int, 4> outcomes{};  // by Outcome
  std::array<int, 5> letters{};
  void add(const AnswerCell& a) {
    ++answers;
    ++outcomes[size_t(a.outcome)];
    if (a.outcome != Outcome::Unscored) ++scored;
    if (const int o = optionIndex(a.answer); o >= 0) ++letters[size_t(o)];
  }
  void fill(AnswerTally& t) const {
    t.correct = countOf(outcomes[size_t(Outcome::Correct)], scored);
    t.wrong = countOf(outcomes[size_t(Outcome::Wrong)], scored);
    t.blank = countOf(outcomes[size_t(Outcome::Blank)], scored);
    int chosen = 0;
    for (size_t i = 0; i < letters.size(); ++i) {
      t.options[i] = countOf(letters[i], answers);
      chosen += letters[i];
    }
    t.optionBlank = countOf(answers - chosen, answers);
  }
};

// Correct, wrong and blank as bars, blanks left out when the options say so.
QList<Bar> correctnessBars(const Count& correct, const Count& wrong, const Count& blank,
                           const ReportOptions& options) {
  QList<Bar> bars{{QStringLiteral("Doğru"), double(correct.count)},
                  {QStringLiteral("Yanlış"), double(wrong.count)}};
  if (!options.hideBlanksInCharts) bars << Bar{QStringLiteral("Boş"), double(blank.count)};
  return bars;
}

QList<Bar> optionBars(const std::array<Count, 5>& options, const Count& blank, int optionCount,
                      const ReportOptions& o) {
  QList<Bar> bars;
  for (int i = 0; i < optionCount; ++i) {
    if (o.hideUnchosenOptions && options[size_t(i)].count == 0) continue;
    bars << Bar{QString(kLetters.at(i)), double(options[size_t(i)].count)};
  }
  if (!o.hideBlanksInCharts) bars << Bar{QStringLiteral("Boş"), double(blank.count)};
  return bars;
}

}  // namespace

QString stateText(Outcome outcome, const QString& answer) {
  switch (outcome) {
    case Outcome::Correct:
      return QStringLiteral("Doğru");
    case Outcome::Wrong:
      return QStringLiteral("Yanlış");
    case Outcome::Blank:
    case Outcome::Unscored:
      break;
  }
  if (answer.isEmpty()) return QStringLiteral("Cevapsız");
  if (answer == QLatin1String("X")) return QStringLiteral("Boş");
  return {};  // a letter on a question without a key is neither right nor wrong
}

QString unscoredText(const QStringList& positions, int total) {
  if (positions.isEmpty()) return {};
  if (positions.size() >= total) return QStringLiteral("Cevap anahtarı girilmedi");
  if (positions.size() == 1) return positions.first() + QStringLiteral(". soru puanlanmadı");
  return positions.join(QStringLiteral(", ")) + QStringLiteral(". sorular puanlanmadı");
}

QString AnswerCell::state() const { return stateText(outcome, answer); }

bool RunInfo::isLessonRun() const {
  return testNo.compare(QLatin1String("DERS"), Qt::CaseInsensitive) == 0;
}

bool RunInfo::isFreeRun() const {
  return testNo.compare(QLatin1String("SERBEST"), Qt::CaseInsensitive) == 0;
}

QString RunInfo::title() const {
  QString t = key.date + QStringLiteral(" Tarihinde ") + key.start + QLatin1Char('-') + testBitis +
              QStringLiteral(" Arası ");
  if (!curriculum::CurriculumFilter::isAll(sinifi)) t += sinifi + QStringLiteral(" Sınıfına ");
  t += QStringLiteral("Yapılan ") + testNo + QStringLiteral(" Numaralı ");
  // Free questions asked on the spot have no name: no empty "İsimli".
  if (!testAdi.trimmed().isEmpty()) t += testAdi + QStringLiteral(" İsimli ");
  t += isLessonRun() ? QStringLiteral("Dersin") : QStringLiteral("Testin");
  return t + QStringLiteral(" Uygulama Raporu");
}

QString RunInfo::chartGroup() const {
  return key.date + QStringLiteral(" (") + key.start + QLatin1Char('-') + testBitis +
         QLatin1Char(')');
}

QString AnswerCell::text(bool withTime) const {
  if (!withTime || time.isEmpty()) return answer;
  return answer + QLatin1Char('\n') + time;
}

QString ReportParticipant::netPercent() const { return percent(netValue, questions); }

RunReport::RunReport(store::Store& store, RunKey run) : m_store(store) {
  m_info.key = std::move(run);
}

Status RunReport::load() {
  m_loaded = false;
  if (Status s = read(); !s) return s;
  // Results that miss a remote with answers (or list one without) are from before
  // the last change: score the run again, once, and read what it wrote.
  bool complete = true;
  for (const ReportParticipant& p : m_participants)
    if (p.rank <= 0) complete = false;
  if (!complete) {
    if (Status s = Scoring(m_store).rescoreRun(m_info.key); !s) return s;
    if (Status s = read(); !s) return s;
  }
  m_optionCount = m_store.institution().threeButton() ? 3 : ItemAnalysis::kOptions;
  m_loaded = true;
  return {};
}

Status RunReport::read() {
  const QVariantList run{m_info.key.date, m_info.key.start};
  const RunKey key = m_info.key;
  m_info = RunInfo{};
  m_info.key = key;
  m_questions.clear();
  m_participants.clear();

  Result<QSqlQuery> info = m_store.exec(
      QStringLiteral("SELECT MAX(NZ(TESTBITIS)),MAX(NZ(TESTNO)),MAX(NZ(TESTADI)),MAX(NZ(SEVIYE)),"
                     "MAX(NZ(SINIFI)),MAX(NZ(GRUP)),MAX(NZ(ACIKLAMA)),MAX(NZ(DERS)),MAX(NZ(UNITE)),"
                     "MAX(NZ(KONU)),MAX(NZ(KAZANIM)),MAX(NZ(YANLISDOGRUGOTURU)),MAX(NZ(AKTARILDI)),"
                     "COUNT(*) FROM TABLEUYGULAMA WHERE TESTTARIHI=? AND TESTBASLANGIC=?"),
      run);
  if (!info) return Status::failure(info.error());
  if (!info.value().next() || info.value().value(13).toInt() == 0)
    return Status::failure(QStringLiteral("Uygulama bulunamadı: %1 %2").arg(key.date, key.start));
  {
    const QSqlQuery& r = info.value();
    RunInfo& i = m_info;
    i.testBitis = r.value(0).toString();
    i.testNo = r.value(1).toString();
    i.testAdi = r.value(2).toString();
    i.seviye = r.value(3).toString();
    i.sinifi = r.value(4).toString();
    i.grup = r.value(5).toString();
    i.aciklama = r.value(6).toString();
    i.ders = r.value(7).toString();
    i.unite = r.value(8).toString();
    i.konu = r.value(9).toString();
    i.kazanim = r.value(10).toString();
    i.penalty = penaltyFromStored(r.value(11).toString());
    i.aktarildi = r.value(12).toString();
  }

  Result<QSqlQuery> leftOut = m_store.exec(
      QStringLiteral("SELECT NZ(KUMANDAADRESI),NZ(ADISOYADI) FROM TABLEDISARIDAKALAN WHERE "
                     "TESTTARIHI=? AND TESTBASLANGIC=? ORDER BY rowid"),
      run);
  if (!leftOut) return Status::failure(leftOut.error());
  while (leftOut.value().next())
    m_info.leftOut << LeftOutStudent{leftOut.value().value(0).toString(),
                                     leftOut.value().value(1).toString()};

  Result<QSqlQuery> questions = m_store.exec(
      QStringLiteral("SELECT NZ(U.TESTSIRANO),NZ(U.SORUNO),NZ(U.DOGRUSIK),(SELECT "
                     "NZ(S.SORUICERIK) FROM TABLESORU S WHERE S.SORUNO=U.SORUNO LIMIT 1) FROM "
                     "TABLEUYGULAMA U WHERE U.TESTTARIHI=? AND U.TESTBASLANGIC=? ORDER BY "
                     "VAL(U.TESTSIRANO),U.rowid"),
      run);
  if (!questions) return Status::failure(questions.error());
  QHash<QString, int> questionAt;
  while (questions.value().next()) {
    const QSqlQuery& r = questions.value();
    const QString position = r.value(0).toString();
    if (questionAt.contains(position)) continue;
    questionAt.insert(position, int(m_questions.size()));
    m_questions << ReportQuestion{position, r.value(1).toString(), r.value(2).toString(),
                                  r.value(3).toString()};
  }

  Result<QSqlQuery> results = m_store.exec(
      QStringLiteral("SELECT NZ(KUMANDAADRESI),NZ(KAYITNO),NZ(ADI),NZ(SOYADI),NZ(NET),"
                     "VAL(SORUSAYI),VAL(DOGRUSAYI),VAL(YANLISSAYI),VAL(BOSSAYI),NZ(TOPLAMSURE),"
                     "VAL(KACINCIOLDU),(SELECT NZ(O.SINIFI) FROM TABLEOGRENCI O WHERE "
                     "O.KAYITNO=TABLESONUC.KAYITNO LIMIT 1) FROM TABLESONUC WHERE TESTTARIHI=? AND "
                     "TESTBASLANGIC=? ORDER BY VAL(KACINCIOLDU),rowid"),
      run);
  if (!results) return Status::failure(results.error());
  QHash<QString, int> participantAt;
  const school::StudentPhotos photos(m_store);
  const QList<AnswerCell> unanswered(m_questions.size());
  while (results.value().next()) {
    const QSqlQuery& r = results.value();
    ReportParticipant p;
    p.address = r.value(0).toString();
    if (participantAt.contains(p.address)) continue;
    p.kayitNo = r.value(1).toString();
    p.name = displayName(p.address, p.kayitNo, r.value(2).toString(), r.value(3).toString());
    p.questions = r.value(5).toInt();
    p.correct = r.value(6).toInt();
    p.wrong = r.value(7).toInt();
    // The stored NET is rounded text: the figures come from the counts.
    p.netValue = reports::net(p.correct, p.wrong, m_info.penalty);
    p.net = netText(p.netValue);
    p.blank = r.value(8).toInt();
    p.totalTime = r.value(9).toString();
    p.rank = r.value(10).toInt();
    p.sinifi = r.value(11).toString();
    if (p.sinifi.isEmpty()) p.sinifi = m_info.sinifi;
    p.answers = unanswered;
    participantAt.insert(p.address, int(m_participants.size()));
    m_participants << p;
  }
  results.value().finish();
  // After the rows are read: on a server a photo is a query of its own.
  for (ReportParticipant& p : m_participants) p.photo = photos.path(p.kayitNo);

  Result<QSqlQuery> answers = m_store.exec(
      QStringLiteral("SELECT NZ(KUMANDAADRESI),NZ(KAYITNO),NZ(TESTSIRANO),NZ(CEVAP),"
                     "NZ(CEVAPSURESI) FROM TABLECEVAP WHERE TESTTARIHI=? AND TESTBASLANGIC=? "
                     "ORDER BY rowid"),
      run);
  if (!answers) return Status::failure(answers.error());
  QSet<QPair<int, int>> seen;
  while (answers.value().next()) {
    const QSqlQuery& r = answers.value();
    const QString address = r.value(0).toString();
    int p = participantAt.value(address, -1);
    if (p < 0) {
      // Answers of a remote the results do not know yet: load() scores again.
      ReportParticipant missing;
      missing.address = address;
      missing.kayitNo = r.value(1).toString();
      missing.answers = unanswered;
      p = int(m_participants.size());
      participantAt.insert(address, p);
      m_participants << missing;
    }
    const int q = questionAt.value(r.value(2).toString(), -1);
    if (q < 0 || seen.contains({p, q})) continue;  // the first answer counts
    seen.insert({p, q});
    AnswerCell& cell = m_participants[p].answers[q];
    cell.answer = r.value(3).toString();
    cell.time = r.value(4).toString();
    cell.outcome = outcome(cell.answer, m_questions.at(q).key);
  }
  return {};
}

Result<QByteArray> RunReport::questionPicture(int index) const {
  if (index < 0 || index >= m_questions.size() || m_questions.at(index).soruNo.isEmpty())
    return QByteArray();
  const Result<store::StoreContent> content =
      m_store.contents().read(store::StoreKind::Question, m_questions.at(index).soruNo);
  if (!content) return Result<QByteArray>::failure(content.error());
  return content->first;
}

QStringList RunReport::positions() const {
  QStringList p;
  for (const ReportQuestion& q : m_questions) p << q.position;
  return p;
}

int RunReport::questionIndexOf(const QString& position) const {
  for (int i = 0; i < m_questions.size(); ++i)
    if (m_questions.at(i).position == position) return i;
  return -1;
}

QStringList RunReport::unscoredPositions() const {
  QStringList positions;
  for (const ReportQuestion& q : m_questions)
    if (!q.scored()) positions << q.position;
  return positions;
}

QString leftOutCaption(int count) { return QStringLiteral("Testin Dışında Kalan (%1)").arg(count); }

GeneralView RunReport::general(const ReportOptions& options) const {
  GeneralView g;
  g.questions = int(m_questions.size());
  g.unscoredNote = unscoredText(unscoredPositions(), g.questions);
  g.participants = int(m_participants.size());
  if (!m_info.leftOut.isEmpty()) {
    QStringList names;
    for (const LeftOutStudent& l : m_info.leftOut) names << l.name;
    g.leftOutCaption = leftOutCaption(int(names.size()));
    g.leftOutNames = names.join(QStringLiteral(", "));
  }
  g.chartGroup = m_info.chartGroup();
  Tally tally;
  for (const ReportParticipant& p : m_participants)
    for (const AnswerCell& a : p.answers) tally.add(a);
  g.answers = tally.answers;
  tally.fill(g);
  g.correctnessBars = correctnessBars(g.correct, g.wrong, g.blank, options);
  g.distributionBars = optionBars(g.options, g.optionBlank, m_optionCount, options);
  return g;
}

AnswersTable RunReport::answersTable(const ReportOptions& options) const {
  AnswersTable t;
  t.captions << QStringLiteral("Sıra") << QStringLiteral("Kumanda") << QStringLiteral("Adı")
             << QStringLiteral("Soyadı");
  for (const ReportQuestion& q : m_questions) t.captions << q.position + QLatin1Char('\n') + q.key;
  t.captions << QStringLiteral("Net") << QStringLiteral("Doğru") << QStringLiteral("Yanlış")
             << QStringLiteral("Boş") << QStringLiteral("Süre");
  for (const ReportParticipant& p : m_participants) {
    QStringList row{QStringLiteral("%1").arg(p.rank, 2, 10, QLatin1Char('0')),
                    store::shownAddress(p.address), p.name.adi, p.name.soyadi};
    for (const AnswerCell& a : p.answers) row << a.text(options.showTimes);
    row << p.net << QString::number(p.correct) << QString::number(p.wrong)
        << QString::number(p.blank) << p.totalTime;
    t.rows << row;
    t.photos << p.photo;
  }
  return t;
}

QuestionView RunReport::question(int index, const ReportOptions& options) const {
  QuestionView v;
  v.count = int(m_questions.size());
  if (index < 0 || index >= v.count) return v;
  v.index = index;
  v.question = m_questions.at(index);
  if (!v.question.scored())
    v.unscoredNote = QStringLiteral("Cevap anahtarı girilmedi: bu soru puanlanmadı.");
  v.participants = int(m_participants.size());
  Tally tally;
  for (const ReportParticipant& p : m_participants) {
    const AnswerCell& a = p.answers.at(index);
    tally.add(a);
    const QuestionAnswerRow row{p.address, p.name, a, a.state()};
    if (a.outcome == Outcome::Correct)
      v.correctList << row;
    else if (a.outcome == Outcome::Wrong)
      v.wrongList << row;
    else if (a.outcome == Outcome::Blank || optionIndex(a.answer) < 0)
      v.blankList << row;
    v.all << row;
  }
  tally.fill(v);
  v.bars = optionBars(v.options, v.optionBlank, m_optionCount, options);
  return v;
}

StudentView RunReport::student(int index, const ReportOptions& options) const {
  StudentView v;
  v.count = int(m_participants.size());
  if (index < 0 || index >= v.count) return v;
  v.index = index;
  v.participant = m_participants.at(index);
  v.participants = v.count;
  const ReportParticipant& p = v.participant;
  v.correct = countOf(p.correct, p.questions);
  v.wrong = countOf(p.wrong, p.questions);
  v.blank = countOf(p.blank, p.questions);
  for (int q = 0; q < m_questions.size(); ++q) {
    const AnswerCell& a = p.answers.at(q);
    const QString state = a.outcome == Outcome::Blank      ? QString()
                          : a.outcome == Outcome::Unscored ? QStringLiteral("Puanlanmadı")
                                                           : stateText(a.outcome);
    v.rows << StudentAnswerRow{m_questions.at(q).position, a.answer, m_questions.at(q).key, a.time,
                               state};
  }
  v.bars = correctnessBars(v.correct, v.wrong, v.blank, options);
  return v;
}

DistributionView RunReport::distribution() const {
  DistributionView d;
  for (const ReportParticipant& p : m_participants) {
    const QString pct = p.netPercent();
    d.bars << Bar{p.name.full() + QStringLiteral(" - NET: %") + pct, pct.toDouble()};
  }
  d.caption = QStringLiteral("%1 kişi").arg(m_participants.size());
  return d;
}

ItemAnalysis::Findings RunReport::itemAnalysis() const {
  ItemAnalysis::Input in;
  in.respondents = int(m_participants.size());
  in.optionCount = m_optionCount;
  for (int q = 0; q < m_questions.size(); ++q) {
    ItemAnalysis::Item item{
        m_questions.at(q).position, m_questions.at(q).soruNo, m_questions.at(q).key, {}};
    item.responses.reserve(size_t(m_participants.size()));
    for (const ReportParticipant& p : m_participants) {
      const AnswerCell& a = p.answers.at(q);
      item.responses.push_back({optionIndex(a.answer), a.outcome == Outcome::Correct});
    }
    in.items << item;
  }
  return ItemAnalysis::compute(in);
}

RunReport::ClassStanding RunReport::classStanding(int participant) const {
  ClassStanding s;
  if (participant < 0 || participant >= m_participants.size()) return s;
  const QString sinifi = m_participants.at(participant).sinifi;
  double sum = 0;
  for (int i = 0; i < m_participants.size(); ++i) {
    const ReportParticipant& p = m_participants.at(i);
    if (p.sinifi != sinifi) continue;
    ++s.of;
    sum += p.netValue;
    if (i <= participant) s.rank = s.of;  // participants are in rank order
  }
  s.average = QString::number(s.of > 0 ? sum / s.of : 0, 'f', 2);
  return s;
}

}  // namespace reports
