#include "lists/FilterLists.h"

#include "store/Store.h"

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

}  // namespace

QStringList SinifDoldur(const store::Store& store) {
  return withAll(store
                     .column(QStringLiteral(
                         "SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='SINIFI' "
                         "ORDER BY PARAMETREDEGERI COLLATE TURKCE ASC"))
                     .valueOr({}));
}

QStringList HazirlayanDoldur(const store::Store& store) {
  return withAll(
      store
          .column(QStringLiteral("SELECT NZ(HAZIRLAYAN) FROM TABLETEST GROUP BY NZ(HAZIRLAYAN) "
                                 "ORDER BY NZ(HAZIRLAYAN) COLLATE TURKCE"))
          .valueOr({}));
}

QStringList GrupDoldur(const store::Store& store) {
  return withAll(store
                     .column(QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE "
                                            "PARAMETREADI='TESTUYGULANANGRUPLAR' ORDER BY rowid"))
                     .valueOr({}));
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
