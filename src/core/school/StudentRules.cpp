#include "school/StudentRules.h"

#include "store/Sql.h"

namespace school {

FieldProblem tooLongField(const Student& s) {
  const struct {
    const QString& value;
    const char* caption;
    const char* field;
  } fields[] = {{s.adi, "Adı", "txtAdi"},
                {s.soyadi, "Soyadı", "txtSoyadi"},
                {s.numarasi, "Numarası", "txtNumarasi"},
                {s.sinifi, "Sınıfı", "cmbSinifi"},
                {s.seviye, "Seviyesi", "cmbSeviye"},
                {s.tcKimlik, "T.C. Kimlik No", "txtTCKimlik"}};
  for (const auto& f : fields) {
    if (f.value.size() <= kMaxStudentFieldLength) continue;
    return {QStringLiteral("%1 en çok %2 karakter olabilir (%3 karakter yazıldı).")
                .arg(QString::fromUtf8(f.caption))
                .arg(kMaxStudentFieldLength)
                .arg(f.value.size()),
            QString::fromLatin1(f.field)};
  }
  return {};
}

QString studentWithNumber(const QString& numarasi, const QString& sinifi,
                          const QString& exceptKayitNo) {
  if (numarasi.trimmed().isEmpty()) return {};
  return store::scalar(QStringLiteral("SELECT KAYITNO FROM TABLEOGRENCI WHERE TRIM(NZ(NUMARASI))=? "
                                      "AND NZ(SINIFI)=? AND NZ(SILINDIMI)='' AND KAYITNO IS NOT ? "
                                      "ORDER BY VAL(KAYITNO) LIMIT 1"),
                       {numarasi.trimmed(), sinifi, exceptKayitNo}, QString())
      .toString();
}

QString sameNumberMessage(const QString& numarasi, const QString& sinifi, const QString& kayitNo) {
  const QString who =
      store::scalar(QStringLiteral("SELECT NZ(ADI) || ' ' || NZ(SOYADI) FROM TABLEOGRENCI WHERE "
                                   "KAYITNO=?"),
                    {kayitNo}, QString())
          .toString()
          .trimmed();
  const QString where = sinifi.isEmpty() ? QStringLiteral("Sınıfı boş öğrenciler arasında")
                                         : sinifi + QStringLiteral(" sınıfında");
  return QStringLiteral("%1 %2 numaralı bir öğrenci zaten var (%3, kayıt no %4).")
      .arg(where, numarasi.trimmed(), who, kayitNo);
}

QString levelOfClass(const QString& sinifi, const QStringList& levels) {
  const QString grade = sinifi.section(QLatin1Char('-'), 0, 0).trimmed();
  if (grade.isEmpty()) return {};
  for (const QString& level : levels)
    if (level.startsWith(grade + QLatin1Char('.'))) return level;
  return {};
}

}  // namespace school
