#include "cards/CardSettings.h"

#include "store/SavedControls.h"

namespace cards {

namespace {
const QString kCheckBox = QStringLiteral("chkKartlarlaCevaplansin");
const QString kCamera = QStringLiteral("cmbKamera");
const QString kPicture = QStringLiteral("txtKartResmi");
// After the browser box (90) in the screen's tab order.
constexpr int kTab = 91;
}  // namespace

Result<CardSettings> CardSettings::load(const QSqlDatabase& db, const QString& screen) {
  Result<store::SavedControls> saved = store::SavedControls::load(db, screen);
  if (!saved) return Result<CardSettings>::failure(saved.error());
  CardSettings s;
  s.wanted = saved->checked(kCheckBox, false);
  s.camera = saved->text(kCamera);
  s.stillPicture = saved->text(kPicture);
  return s;
}

Status CardSettings::save(const QSqlDatabase& db, const QString& screen) const {
  Result<store::SavedControls> saved = store::SavedControls::load(db, screen);
  if (!saved) return Status::failure(saved.error());
  store::SavedControls& c = saved.value();
  c.setChecked(kCheckBox, wanted, kTab);
  c.setText(kCamera, camera, kTab + 1);
  c.setText(kPicture, stillPicture, kTab + 2);
  return c.save(db);
}

}  // namespace cards
