#include "store/FactoryLayouts.h"

#include <QStringList>

#include "store/Sql.h"

namespace store {

namespace {

struct Col {
  const char* caption;
  const char* field;
  int width;
  int visibility;
};

GridLayout layout(const char* form, const char* grid, const char* variant,
                  std::initializer_list<Col> cols) {
  GridLayout l{QString::fromUtf8(form), QString::fromUtf8(grid), QString::fromUtf8(variant), {}};
  for (const Col& c : cols)
    l.columns.append({QString::fromUtf8(c.caption), QString::fromUtf8(c.field),
                      QString::number(c.width), QString::number(c.visibility)});
  return l;
}

GridLayout testList(const char* form, std::initializer_list<int> widths) {
  // Same columns as the factory list, new widths.
  QList<GridLayout> all = factoryLayouts();
  GridLayout out;
  for (const GridLayout& l : all)
    if (l.form == QString::fromUtf8(form) && l.grid == QStringLiteral("SlisteTestler")) out = l;
  Q_ASSERT(out.columns.size() == static_cast<int>(widths.size()));
  int i = 0;
  for (int w : widths) out.columns[i++].width = QString::number(w);
  return out;
}

}  // namespace

QList<GridLayout> factoryLayouts() {
  return {
      layout("frmTanimlamalar", "SlisteAltKonu", "",
             {{"ID", "ID", 0, 1},
              {"Seviye", "SEVIYE", 1860, 1},
              {"Ders", "DERS", 1980, 1},
              {"Konu", "KONU", 2700, 1},
              {"Alt Konu", "ALTKONU", 4125, 1}}),
      layout("frmOnizleme", "Sliste1", "",
             {{"SORUNUMARASI", "SORUNUMARASI", 0, 1},
              {"Soru No", "SORUNO", 960, 1},
              {"Seviye", "SEVIYE", 960, 1},
              {"Ders", "DERS", 1890, 1},
              {"Konu", "KONU", 960, 1},
              {"Soru İçeriği", "SORUICERIK", 4920, 1}}),
      layout("frmSoruHazirlama", "Sliste1", "",
             {{"SORUNUMARASI", "SORUNUMARASI", 0, 2},
              {"Soru No", "SORUNO", 735, 1},
              {"Soru İçeriği", "SORUICERIK", 6855, 1},
              {"Seviye", "SEVIYE", 2730, 1},
              {"Ders", "DERS", 2685, 1},
              {"Konu", "KONU", 2160, 1}}),
      layout("frmRaporlar", "SlisteOgrenciCevaplari", "",
             {{"Sıra No", "TESTSIRANO", 690, 1},
              {"Cevap", "CEVAP", 705, 1},
              {"Doğru Şık", "DOGRUSIK", 810, 1},
              {"Süre", "CEVAPSURESI", 1020, 1}}),
      layout("frmTestHazirlama", "SlisteTestler", "",
             {{"Test No", "TESTNO", 675, 1},
              {"Test Adı", "TESTADI", 6555, 1},
              {"Soru", "SORUSAYISI", 435, 1},
              {"Ders", "DERS", 2955, 1},
              {"Süre", "SURE", 555, 1},
              {"Hazırlayan", "HAZIRLAYAN", 1770, 1},
              {"Seviye", "SEVIYE", 2580, 1},
              {"Konu", "KONU", 960, 1},
              {"Alt Konu", "ALTKONU", 960, 1}}),
      layout("frmTestUygula", "SlisteTestler", "",
             {{"Test No", "TESTNO", 675, 1},
              {"Test Adı", "TESTADI", 6555, 1},
              {"Soru", "SORUSAYISI", 435, 1},
              {"Ders", "DERS", 2895, 1},
              {"Süre", "SURE", 480, 1},
              {"Seviye", "SEVIYE", 1785, 1},
              {"Hazırlayan", "HAZIRLAYAN", 1410, 1},
              {"Konu", "KONU", 1020, 1},
              {"Alt Konu", "ALTKONU", 960, 1}}),
      layout("frmKumandaTanimlama", "SlisteOgrenciler", "",
             {{"ID", "ID", 1000, 2},
              {"Kayıt No", "KAYITNO", 765, 1},
              {"Adı", "ADI", 2505, 1},
              {"Soyadı", "SOYADI", 1770, 1},
              {"Numarası", "NUMARASI", 900, 1},
              {"Sınıfı", "SINIFI", 1410, 1},
              {"Seviye", "SEVIYE", 975, 0}}),
      layout("frmTanimlamalar", "SlisteOgrenciler", "",
             {{"ID", "ID", 0, 2},
              {"SILINDIMI", "SILINDIMI", 0, 2},
              {"Kayıt No", "KAYITNO", 870, 1},
              {"T.C.Kimlik No", "TCKIMLIK", 1230, 1},
              {"Adı", "ADI", 2445, 1},
              {"Soyadı", "SOYADI", 1740, 1},
              {"Numarası", "NUMARASI", 795, 1},
              {"Sınıfı", "SINIFI", 1530, 1},
              {"Seviye", "SEVIYE", 1770, 1}}),
      layout(
          "frmTanimlamalar", "SlisteKonu", "",
          {{"Seviye", "SEVIYE", 1635, 1}, {"Ders", "DERS", 2955, 1}, {"Ünite", "UNITE", 6105, 1}}),
      layout("frmKumandaTanimlama", "SlisteKumandalar", "",
             {{"Kumanda No", "KUMANDAADRESI", 1110, 1},
              {"Kişi Sayısı", "KISISAYISI", 1110, 1},
              {"SECILENSINIFTA", "SECILENSINIFTA", 0, 1}}),
      layout("frmKumandaTanimlama", "SlisteEslesme", "",
             {{"ID", "ID", 0, 2},
              {"Kayıt No", "KAYITNO", 765, 1},
              {"Adı", "ADI", 2505, 1},
              {"Soyadı", "SOYADI", 1770, 1},
              {"Numarası", "NUMARASI", 900, 1},
              {"Sınıfı", "SINIFI", 1410, 1},
              {"Seviye", "SEVIYE", 975, 0}}),
      layout("frmKumandaTanimlama", "SlisteKumandalarOgretmen", "",
             {{"Kumanda No", "KUMANDAADRESI", 1110, 1}, {"Kişi Sayısı", "KISISAYISI", 1110, 1}}),
      layout("frmKumandaTanimlama", "SlisteEslesmeSinif", "", {{"Sınıfı", "SINIFI", 2055, 1}}),
      layout("frmRaporlarMenu", "SlisteOgrenciSinif", "1", {{"Sınıfı", "SINIFI", 2265, 1}}),
      layout("frmRaporlarMenu", "SlisteOgrenciSinif", "Silinmeyen",
             {{"Adı", "ADI", 1260, 1},
              {"Soyadı", "SOYADI", 990, 1},
              {"Numarası", "NUMARASI", 960, 1},
              {"Sınıfı", "SINIFI", 960, 1},
              {"Seviye", "SEVIYE", 960, 1},
              {"Kayıt No", "KAYITNO", 960, 1}}),
      layout("frmRaporlarMenu", "SlisteTestler", "",
             {{"AKTARILDI2", "AKTARILDI2", 1000, 2},
              {"Test Tarihi", "TESTTARIHI", 975, 1},
              {"Başlangıç", "TESTBASLANGIC", 975, 1},
              {"Bitiş", "TESTBITIS", 840, 1},
              {"Test No", "TESTNO", 675, 1},
              {"Test Adı", "TESTADI", 5100, 1},
              {"Aktarıldı", "AKTARILDI", 1700, 1},
              {"Soru", "SORUSAYISI", 435, 1},
              {"Ders", "DERS", 3000, 1},
              {"Sınıfı", "SINIFI", 630, 1},
              {"Seviye", "SEVIYE", 1875, 1},
              {"Ünite", "UNITE", 5265, 1},
              {"Konu", "KONU", 975, 1},
              {"Kazanım", "KAZANIM", 975, 1},
              {"Grup", "GRUP", 975, 1},
              {"Açıklama", "ACIKLAMA", 975, 1}}),
  };
}

QList<GridLayout> testListLayouts() {
  return {testList("frmTestHazirlama", {1080, 6165, 435, 2955, 555, 1770, 2580, 960, 960}),
          testList("frmTestUygula", {1080, 5985, 435, 2895, 480, 1785, 1410, 1020, 960})};
}

GridLayout reportMenuTestLayout() {
  return layout("frmRaporlarMenu", "SlisteTestler", "",
                {{"AKTARILDI2", "AKTARILDI2", 1000, 0},
                 {"Test Tarihi", "TESTTARIHI", 975, 1},
                 {"Başlangıç", "TESTBASLANGIC", 975, 1},
                 {"Bitiş", "TESTBITIS", 840, 1},
                 {"Test No", "TESTNO", 675, 1},
                 {"Test Adı", "TESTADI", 4545, 1},
                 {"Soru", "SORUSAYISI", 435, 1},
                 {"Ders", "DERS", 1440, 1},
                 {"Sınıfı", "SINIFI", 630, 1},
                 {"Aktarıldı", "AKTARILDI", 1695, 1},
                 {"Seviye", "SEVIYE", 1110, 1},
                 {"Ünite", "UNITE", 5265, 1},
                 {"Konu", "KONU", 975, 1},
                 {"Kazanım", "KAZANIM", 975, 1},
                 {"Grup", "GRUP", 975, 1},
                 {"Açıklama", "ACIKLAMA", 975, 1}});
}

GridLayout relativeReportLayout() {
  return layout("frmRaporlarGoreceli", "Sliste1", "1",
                {{"Test Tarihi", "TESTTARIHI", 960, 1},
                 {"Başlangıç", "TESTBASLANGIC", 960, 1},
                 {"Bitiş", "TESTBITIS", 960, 1},
                 {"Test No", "TESTNO", 960, 1},
                 {"Test Adı", "TESTADI", 4650, 1},
                 {"Soru Sayısı", "SORUSAYISI", 960, 1},
                 {"Seviye", "SEVIYE", 960, 1},
                 {"Ders", "DERS", 960, 1},
                 {"Ünite", "UNITE", 960, 1},
                 {"Konu", "KONU", 960, 1},
                 {"Kazanım", "KAZANIM", 960, 1},
                 {"Sınıfı", "SINIFI", 960, 1},
                 {"Grup", "GRUP", 0, 1},
                 {"Açıklama", "ACIKLAMA", 960, 1},
                 {"Kişi Sayısı", "KISISAYISI", 960, 1},
                 {"Net Oran", "NETORAN", 960, 1},
                 {"Doğru Oran", "DOGRUORAN", 960, 1},
                 {"Yanlış Oran", "YANLISORAN", 960, 1},
                 {"Boş Oran", "BOSORAN", 960, 1},
                 {"Sınıf Net Oran", "SINIFNETORAN", 960, 1}});
}

QList<GridLayout> currentFactoryLayouts() {
  QList<GridLayout> out = factoryLayouts();
  QList<GridLayout> later = testListLayouts();
  later << reportMenuTestLayout();
  for (const GridLayout& l : later) {
    for (GridLayout& o : out)
      if (o.form == l.form && o.grid == l.grid && o.variant == l.variant) o = l;
  }
  return out;
}

Status insertLayout(const GridLayout& layout, const QSqlDatabase& db) {
  const int n = static_cast<int>(layout.columns.size());
  QStringList slotNames;
  QStringList marks;
  for (int i = 1; i <= n; ++i) {
    slotNames << QStringLiteral("S%1").arg(i);
    marks << QStringLiteral("?");
  }
  const QString sql =
      QStringLiteral(
          "INSERT INTO TABLESLISTESUTUNADI (FORMADI,SLISTEADI,AYRAC,TUR%1%2) "
          "VALUES (?,?,?,?%3%4)")
          .arg(n ? QStringLiteral(",") : QString(), slotNames.join(QLatin1Char(',')),
               n ? QStringLiteral(",") : QString(), marks.join(QLatin1Char(',')));
  for (const QString& kind :
       {QStringLiteral("C"), QStringLiteral("D"), QStringLiteral("W"), QStringLiteral("V")}) {
    QVariantList params{layout.form, layout.grid, layout.variant, kind};
    for (const GridColumn& c : layout.columns) {
      if (kind == QLatin1String("C"))
        params << c.caption;
      else if (kind == QLatin1String("D"))
        params << c.field;
      else if (kind == QLatin1String("W"))
        params << c.width;
      else
        params << c.visibility;
    }
    if (Status s = run(sql, params, db); !s) return s;
  }
  return {};
}

Status replaceLayout(const GridLayout& layout, const QSqlDatabase& db) {
  if (Status s =
          run(QStringLiteral("DELETE FROM TABLESLISTESUTUNADI WHERE FORMADI=? AND SLISTEADI=? AND "
                             "NZ(AYRAC)=?"),
              {layout.form, layout.grid, layout.variant}, db);
      !s)
    return s;
  return insertLayout(layout, db);
}

}  // namespace store
