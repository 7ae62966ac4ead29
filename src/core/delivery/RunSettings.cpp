#include "delivery/RunSettings.h"

#include <algorithm>

#include "store/Institution.h"
#include "store/SavedControls.h"

namespace delivery {

namespace {

// The controls and the tab positions their rows get (the factory rows' positions
// where there were factory rows).
const QString kSure = QStringLiteral("optSure");
const QString kSureList = QStringLiteral("cmbSure");
const QString kGoturu = QStringLiteral("optGoturu");
const QString kReport = QStringLiteral("cmbSoruRaporuGoster");
const QString kRemoteTest = QStringLiteral("optKumandaTest");
const QString kStatistics = QStringLiteral("optIstatistik");
const QString kAllAnswered = QStringLiteral("chkHerkesCevapVerinceGec");
const QString kLastTen = QStringLiteral("chkSon5Saniye");
const QString kMajority = QStringLiteral("chkCogunlukCevabi");
const QString kAutoVote = QStringLiteral("chkOylamaOtomatikBaslasin");

template <typename E>
E fromIndex(int index, int count, E fallback) {
  return index >= 0 && index < count ? static_cast<E>(index) : fallback;
}

}  // namespace

RunSettings RunSettings::effective(const store::Institution& institution) const {
  RunSettings r = *this;
  if (!institution.threeButton()) return r;
  r.afterQuestion = QuestionReport::QuestionStatistics;
  r.duration = Duration::Fixed;
  r.fixedSeconds = 90;
  r.goOnWhenAllAnswered = true;
  return r;
}

QStringList RunSettings::questionReportEntries() {
  return {QStringLiteral("Rapor Gösterme"),           QStringLiteral("Genel Durum Grafiği"),
          QStringLiteral("Soru Bazlı İstatistikler"), QStringLiteral("Öğrenci Dağılım Grafiği"),
          QStringLiteral("Öğrenci Cevapları"),        QStringLiteral("Öğrencinin Testteki Durumu")};
}

int RunSettings::secondsAt(int position) {
  return position >= 1 && position < durationCount() ? position * 5 : 0;
}

int RunSettings::positionOf(int seconds) {
  if (seconds <= 0) return 0;  // "Süresiz"
  return std::clamp((seconds + 2) / 5, 1, durationCount() - 1);
}

Result<RunSettings> RunSettings::load(const QSqlDatabase& db) {
  Result<store::SavedControls> saved = store::SavedControls::load(db, kRunSetupScreen);
  if (!saved) return Result<RunSettings>::failure(saved.error());
  const store::SavedControls& c = saved.value();
  RunSettings r;
  r.duration = fromIndex(c.selectedOption(kSure, int(r.duration)), 3, r.duration);
  // Position 0 is "Süresiz" (kept as 0 seconds); a position out of range keeps the default.
  if (const int position = c.position(kSureList, positionOf(r.fixedSeconds));
      position == 0 || secondsAt(position) > 0)
    r.fixedSeconds = secondsAt(position);
  r.penalty = fromIndex(c.selectedOption(kGoturu, int(r.penalty)), 3, r.penalty);
  r.afterQuestion = fromIndex(c.position(kReport, int(r.afterQuestion)), 6, r.afterQuestion);
  r.remoteTestScreen = c.selectedOption(kRemoteTest, r.remoteTestScreen ? 0 : 1) == 0;
  r.reportAtEnd = c.selectedOption(kStatistics, r.reportAtEnd ? 0 : 1) == 0;
  r.goOnWhenAllAnswered = c.checked(kAllAnswered, r.goOnWhenAllAnswered);
  r.lastTenSecondsOnly = c.checked(kLastTen, r.lastTenSecondsOnly);
  r.majorityIsCorrect = c.checked(kMajority, r.majorityIsCorrect);
  r.autoStartVoting = c.checked(kAutoVote, r.autoStartVoting);
  return r;
}

Result<RunSettings> RunSettings::loadForFreeQuestions(const QSqlDatabase& db) {
  Result<RunSettings> all = load(db);
  if (!all) return all;
  Result<store::SavedControls> saved = store::SavedControls::load(db, kRunSetupScreen);
  if (!saved) return Result<RunSettings>::failure(saved.error());
  RunSettings r;
  r.duration = all->duration;
  r.fixedSeconds = all->fixedSeconds;
  const QString fixed = saved->text(kSureList);
  if (r.duration == Duration::Fixed &&
      (fixed == QLatin1String("0") || fixed == QStringLiteral("Süresiz")))
    r.duration = Duration::Untimed;
  r.penalty = all->penalty;
  r.remoteTestScreen = all->remoteTestScreen;
  r.goOnWhenAllAnswered = all->goOnWhenAllAnswered;
  r.majorityIsCorrect = all->majorityIsCorrect;
  r.autoStartVoting = all->autoStartVoting;
  r.afterQuestion = QuestionReport::None;
  r.reportAtEnd = false;
  return r;
}

Status RunSettings::save(const QSqlDatabase& db) const {
  Result<store::SavedControls> saved = store::SavedControls::load(db, kRunSetupScreen);
  if (!saved) return Status::failure(saved.error());
  store::SavedControls& c = saved.value();
  c.selectOption(kSure, int(duration), 3, 20);
  c.setPosition(kSureList, positionOf(fixedSeconds), 19);
  c.selectOption(kGoturu, int(penalty), 3, 30);
  c.setPosition(kReport, int(afterQuestion), 48);
  c.selectOption(kRemoteTest, remoteTestScreen ? 0 : 1, 2, 40);
  c.selectOption(kStatistics, reportAtEnd ? 0 : 1, 2, 42);
  c.setChecked(kAllAnswered, goOnWhenAllAnswered, 23);
  c.setChecked(kLastTen, lastTenSecondsOnly, 24);
  c.setChecked(kMajority, majorityIsCorrect, 44);
  c.setChecked(kAutoVote, autoStartVoting, 45);
  return c.save(db);
}

}  // namespace delivery
