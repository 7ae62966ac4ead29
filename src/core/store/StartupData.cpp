#include "store/StartupData.h"

#include "store/FactoryLayouts.h"
#include "store/Parameters.h"
#include "store/Sql.h"
#include "store/Store.h"

namespace store {

Result<bool> applyInstitutionCorrections(Store& store) {
  const QStringList codes{QStringLiteral("2242451080"), QStringLiteral("2244445982"),
                          QStringLiteral("2242242212")};
  const InList in = inList(codes);
  const Result<QVariant> matches = store.scalar(
      QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL WHERE TRIM(NZ(KURUMKODU)) IN (%1)")
          .arg(in.placeholders),
      in.values);
  if (!matches) return Result<bool>::failure(matches.error());
  if (matches->toInt() == 0) return false;
  const Result<QString> marker = ParametreAl(store, kInstitutionCorrectionMarker);
  if (!marker) return Result<bool>::failure(marker.error());
  if (marker.value() == QLatin1String("1")) return false;
  Transaction tx(store);
  const QString sql = QStringLiteral(
      "UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='1' WHERE PARAMETREADI=? AND PARAMETREDEGERI=?");
  const std::pair<const char*, const char*> rows[] = {{"SEVIYE", "ÜNİVERSİTE HAZIRLIK"},
                                                      {"DERS", "TÜRK DİLİ VE EDEBİYATI"},
                                                      {"DERS", "SOSYAL BİLGİLER"},
                                                      {"DERS", "FEN VE TEKNOLOJİ"}};
  for (const auto& [list, value] : rows)
    if (Status s = store.run(sql, {QString::fromLatin1(list), QString::fromUtf8(value)}); !s)
      return Result<bool>::failure(s.error());
  if (Status s = ParametreKaydet(store, kInstitutionCorrectionMarker, QStringLiteral("1")); !s)
    return Result<bool>::failure(s.error());
  store.changed(Change::Lists);
  if (Status s = tx.commit(); !s) return Result<bool>::failure(s.error());
  return true;
}

Status seedRelativeReportLayout(Store& store) {
  const GridLayout layout = relativeReportLayout();
  const QString where =
      QStringLiteral(" WHERE TUR='W' AND SLISTEADI='Sliste1' AND FORMADI='frmRaporlarGoreceli'");
  Transaction tx(store);
  const Result<QVariant> rows =
      store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESLISTESUTUNADI") + where);
  if (!rows) return Status::failure(rows.error());
  if (rows->toInt() > 0) {
    if (Status s = store.run(QStringLiteral("UPDATE TABLESLISTESUTUNADI SET S5='4650'") + where);
        !s)
      return s;
  } else if (Status s = insertLayout(layout, store.db()); !s) {
    return s;
  }
  return tx.commit();
}

}  // namespace store
