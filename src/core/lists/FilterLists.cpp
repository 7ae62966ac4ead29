#include "lists/FilterLists.h"

#include "store/Sql.h"

namespace lists {

namespace {

QStringList withAll(const QStringList& values) {
  QStringList out{kTumu};
  out << values;
  return out;
}

QStringList fixed(std::initializer_list<const char*> values) {
  QStringList out{kTumu};
  for (const char* v : values) out << QString::fromUtf8(v);
  return out;
}

// One level of the curriculum cascade: distinct non-empty values of `field` under
// the choices above it; a "TÜMÜ" choice adds no condition.
QStringList cascade(const QString& field, const QList<std::pair<QString, QString>>& above) {
  QString sql = QStringLiteral("SELECT %1 FROM TABLETANIMLAMALAR WHERE NZ(%1)<>''").arg(field);
  QVariantList params;
  for (const auto& [column, choice] : above) {
    if (choice == kTumu) continue;
    sql += QStringLiteral(" AND %1=?").arg(column);
    params << choice;
  }
  sql += QStringLiteral(" GROUP BY %1 ORDER BY MIN(ID)").arg(field);
  return withAll(store::column(sql, params));
}

}  // namespace

bool ucDugmeAcik() {
  const QString v =
      store::scalar(QStringLiteral("SELECT NZ(UCDUGME) FROM TABLEOKUL"), {}, QString())
          .toString()
          .trimmed();
  return !v.isEmpty() && v != QLatin1String("0");
}

QStringList SeviyeDoldur(bool threeButton) {
  const QStringList values = store::column(
      QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='SEVIYE' "
                     "AND NZ(PARAMETREACIKLAMA)='' ORDER BY rowid"));
  return threeButton ? values : withAll(values);
}

QStringList DersDoldur() {
  return withAll(store::column(
      QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='DERS' "
                     "AND NZ(PARAMETREACIKLAMA)='' ORDER BY PARAMETREDEGERI COLLATE TURKCE")));
}

QStringList UniteDoldur(const QString& level, const QString& course) {
  return cascade(QStringLiteral("UNITE"),
                 {{QStringLiteral("SEVIYE"), level}, {QStringLiteral("DERS"), course}});
}

QStringList KonuDoldur(const QString& level, const QString& course, const QString& unit) {
  return cascade(QStringLiteral("KONU"), {{QStringLiteral("SEVIYE"), level},
                                          {QStringLiteral("DERS"), course},
                                          {QStringLiteral("UNITE"), unit}});
}

QStringList KazanimDoldur(const QString& level, const QString& course, const QString& unit,
                          const QString& topic) {
  return cascade(QStringLiteral("KAZANIM"), {{QStringLiteral("SEVIYE"), level},
                                             {QStringLiteral("DERS"), course},
                                             {QStringLiteral("UNITE"), unit},
                                             {QStringLiteral("KONU"), topic}});
}

QStringList SinifDoldur() {
  return withAll(store::column(
      QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='SINIFI' "
                     "ORDER BY PARAMETREDEGERI COLLATE TURKCE ASC")));
}

QStringList HazirlayanDoldur() {
  return withAll(
      store::column(QStringLiteral("SELECT NZ(HAZIRLAYAN) FROM TABLETEST GROUP BY NZ(HAZIRLAYAN) "
                                   "ORDER BY NZ(HAZIRLAYAN) COLLATE TURKCE")));
}

QStringList GrupDoldur() {
  return withAll(
      store::column(QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE "
                                   "PARAMETREADI='TESTUYGULANANGRUPLAR' ORDER BY rowid")));
}

QStringList PuanDoldur() {
  QStringList out{kTumu};
  for (int i = 0; i <= 100; ++i) out << QString::number(i);
  return out;
}

QStringList SureDoldur() {
  QStringList out{kTumu, QStringLiteral("Süresiz")};
  for (int s = 5; s <= 600; s += 5) out << QString::number(s);
  return out;
}

QStringList SoruTuruDoldur() {
  return fixed({"Bilgi", "Kavrama", "Uygulama", "Analiz", "Sentez", "Değerlendirme"});
}

QStringList CevapDoldur() { return fixed({"A", "B", "C", "D", "E"}); }

QStringList ZorlukDoldur() { return fixed({"Çok Kolay", "Kolay", "Orta", "Zor", "Çok Zor"}); }

}  // namespace lists
