#include "store/RunSetupChoices.h"

#include <QStringList>

#include "store/SavedControls.h"

namespace store {

namespace {

// The controls and the tab positions their rows get.
const QString kLevel = QStringLiteral("cmbSeviyeAra");
const QString kCourse = QStringLiteral("cmbDersAra");
const QString kAuthor = QStringLiteral("cmbHazirlayanAra");
const QString kApplied = QStringLiteral("cmbUygulanma");
const QString kClass = QStringLiteral("cmbSinifi");

const QStringList kAppliedStored = {QStringLiteral("TÜMÜ"), QStringLiteral("UYGULANMAYAN"),
                                    QStringLiteral("UYGULANAN")};

}  // namespace

Result<RunSetupChoices> RunSetupChoices::load(const QSqlDatabase& db) {
  Result<SavedControls> saved = SavedControls::load(db, kRunSetupScreen);
  if (!saved) return Result<RunSetupChoices>::failure(saved.error());
  const SavedControls& c = saved.value();
  RunSetupChoices r;
  r.level = c.text(kLevel, r.level);
  r.course = c.text(kCourse, r.course);
  r.author = c.text(kAuthor, r.author);
  // The applied state reads in both forms: its entry, or its place (the same order).
  const int at = int(
      kAppliedStored.indexOf(SavedControls::entry(c.text(kApplied), kAppliedStored, QString())));
  if (at >= 0) r.applied = Applied(at);
  r.className = c.text(kClass, r.className);
  return r;
}

Status RunSetupChoices::save(const QSqlDatabase& db) const {
  Result<SavedControls> saved = SavedControls::load(db, kRunSetupScreen);
  if (!saved) return Status::failure(saved.error());
  SavedControls& c = saved.value();
  c.setText(kLevel, level, 1);
  c.setText(kCourse, course, 2);
  c.setText(kAuthor, author, 7);
  c.setText(kApplied, kAppliedStored.at(int(applied)), 9);
  c.setText(kClass, className, 10);
  return c.save(db);
}

void RunSetupChoices::resetForNewYear() {
  *this = {};
  applied = Applied::NotApplied;
  level.clear();
}

}  // namespace store
