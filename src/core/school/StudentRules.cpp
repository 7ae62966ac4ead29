#include "school/StudentRules.h"

#include "store/Store.h"

namespace school {

bool hasControlCharacter(const QString& value) {
  for (QChar c : value)
    if (c.category() == QChar::Other_Control) return true;
  return false;
}

QString controlCharacterMessage(const QString& caption) {
  return QStringLiteral("%1 sekme, satır sonu ya da başka bir denetim karakteri içeremez.")
      .arg(caption);
}

FieldProblem badField(const Student& s) {
  const struct {
    const QString& value;
    const char* caption;
    StudentField field;
  } fields[] = {{s.adi, "Adı", StudentField::Adi},
                {s.soyadi, "Soyadı", StudentField::Soyadi},
                {s.numarasi, "Numarası", StudentField::Numarasi},
                {s.sinifi, "Sınıfı", StudentField::Sinifi},
                {s.seviye, "Seviyesi", StudentField::Seviye},
                {s.tcKimlik, "T.C. Kimlik No", StudentField::TcKimlik}};
  for (const auto& f : fields) {
    if (hasControlCharacter(f.value))
      return {controlCharacterMessage(QString::fromUtf8(f.caption)), f.field};
    if (f.value.size() <= kMaxStudentFieldLength) continue;
    return {QStringLiteral("%1 en çok %2 karakter olabilir (%3 karakter yazıldı).")
                .arg(QString::fromUtf8(f.caption))
                .arg(kMaxStudentFieldLength)
                .arg(f.value.size()),
            f.field};
  }
  return {};
}

Result<QString> studentWithNumber(const store::Store& store, const QString& numarasi,
                                  const QString& sinifi, const QString& exceptKayitNo) {
  if (numarasi.trimmed().isEmpty()) return QString();
  const Result<QVariant> found =
      store.scalar(QStringLiteral("SELECT KAYITNO FROM TABLEOGRENCI WHERE TRIM(NZ(NUMARASI))=? "
                                  "AND NZ(SINIFI)=? AND NZ(SILINDIMI)='' AND KAYITNO IS NOT ? "
                                  "ORDER BY VAL(KAYITNO) LIMIT 1"),
                   {numarasi.trimmed(), sinifi, exceptKayitNo});
  if (!found) return Result<QString>::failure(found.error());
  return found->toString();
}

QString sameNumberMessage(const store::Store& store, const QString& numarasi, const QString& sinifi,
                          const QString& kayitNo) {
  // The name only makes the message clearer: without it the message still stands.
  const QString who =
      store
          .scalar(QStringLiteral("SELECT NZ(ADI) || ' ' || NZ(SOYADI) FROM TABLEOGRENCI WHERE "
                                 "KAYITNO=?"),
                  {kayitNo})
          .valueOr({})
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

QString studentLevel(const QString& given, const QString& sinifi, const QStringList& levels) {
  if (!given.trimmed().isEmpty()) return given.trimmed();
  return levelOfClass(sinifi, levels);
}

}  // namespace school
