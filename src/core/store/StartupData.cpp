#include "store/StartupData.h"

#include "store/FactoryLayouts.h"
#include "store/Parameters.h"
#include "store/Sql.h"

namespace store {

Result<bool> applyInstitutionCorrections() {
  const QStringList codes{QStringLiteral("2242451080"), QStringLiteral("2244445982"),
                          QStringLiteral("2242242212")};
  const InList in = inList(codes);
  const int matches =
      scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL WHERE TRIM(NZ(KURUMKODU)) IN (%1)")
                 .arg(in.placeholders),
             in.values, 0)
          .toInt();
  if (matches == 0 || ParametreAl(kInstitutionCorrectionMarker) == QLatin1String("1")) return false;
  Transaction tx;
  const QString sql = QStringLiteral(
      "UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='1' WHERE PARAMETREADI=? AND PARAMETREDEGERI=?");
  const std::pair<const char*, const char*> rows[] = {{"SEVIYE", "ÜNİVERSİTE HAZIRLIK"},
                                                      {"DERS", "TÜRK DİLİ VE EDEBİYATI"},
                                                      {"DERS", "SOSYAL BİLGİLER"},
                                                      {"DERS", "FEN VE TEKNOLOJİ"}};
  for (const auto& [list, value] : rows)
    if (Status s = run(sql, {QString::fromLatin1(list), QString::fromUtf8(value)}); !s)
      return Result<bool>::failure(s.error());
  if (Status s = ParametreKaydet(kInstitutionCorrectionMarker, QStringLiteral("1")); !s)
    return Result<bool>::failure(s.error());
  if (Status s = tx.commit(); !s) return Result<bool>::failure(s.error());
  return true;
}

Status seedRelativeReportLayout() {
  const GridLayout layout = relativeReportLayout();
  const QString where =
      QStringLiteral(" WHERE TUR='W' AND SLISTEADI='Sliste1' AND FORMADI='frmRaporlarGoreceli'");
  Transaction tx;
  if (scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESLISTESUTUNADI") + where, {}, 0).toInt() >
      0) {
    if (Status s = run(QStringLiteral("UPDATE TABLESLISTESUTUNADI SET S5='4650'") + where); !s)
      return s;
  } else if (Status s = insertLayout(layout); !s) {
    return s;
  }
  return tx.commit();
}

}  // namespace store
