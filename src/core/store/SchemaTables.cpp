#include "store/SchemaTables.h"

#include <QSqlError>
#include <QSqlQuery>

#include "store/Database.h"
#include "store/Dialect.h"
#include "store/SqlErrors.h"

namespace store {

namespace {

TableDef table(const char* name, std::initializer_list<const char*> columns) {
  TableDef t;
  t.name = QString::fromLatin1(name);
  for (const char* c : columns) {
    QString n = QString::fromLatin1(c);
    ColumnDef::Kind kind = ColumnDef::Kind::Text;
    if (n.endsWith(QLatin1Char('#'))) {  // autonumber
      n.chop(1);
      kind = ColumnDef::Kind::AutoNumber;
    } else if (n.endsWith(QLatin1Char('*'))) {  // memo
      n.chop(1);
      kind = ColumnDef::Kind::Memo;
    }
    t.columns.append({n, kind});
  }
  return t;
}

QList<TableDef> buildTables() {
  QList<TableDef> t;
  t << table("TABLEOGRENCI", {"ID#", "KAYITNO", "NUMARASI", "ADI", "SOYADI", "SINIFI", "SEVIYE",
                              "TCKIMLIK", "SILINDIMI"});
  t << table("TABLEKUMANDA", {"ID#", "KUMANDAADRESI", "OGRETMENKUMANDASI"});
  // Answer cards given to students (cards/CardNumbers.h): IPTAL marks a card
  // replaced by a new one, whose number is then refused.
  t << table("TABLEKART", {"ID#", "KARTNO", "KAYITNO", "IPTAL"});
  t << table("TABLEESLESME", {"KUMANDAADRESI", "KAYITNO"});
  t << table("TABLESORU", {"ID#", "SEVIYE", "DERS", "UNITE", "KONU", "KAZANIM", "SORUNO",
                           "SORUICERIK", "DOGRUSIK", "TURU", "ZORLUK", "PUAN", "SURE",
                           "SESDOSYASI*", "ACIKLAMA", "ANKETSORUSUMU", "SILINDIMI", "COZUMVIDEO"});
  t << table("TABLETEST", {"ID#", "TESTNO", "TESTADI", "HAZIRLAYAN", "SEVIYE", "DERS", "UNITE",
                           "KONU", "KAZANIM", "SORUSAYILARINIGOSTER", "BASLANGICEKRANIGOSTER",
                           "BKITAPCIK", "CKITAPCIK", "DKITAPCIK", "TESTSIRASI"});
  t << table("TABLETESTSORU", {"ID#", "TESTNO", "SORUNO", "SURE", "TESTSIRANO", "BOLUM", "BSIRASI",
                               "CSIRASI", "DSIRASI"});
  t << table("TABLETANIMLAMALAR",
             {"ID#", "TANIMADI", "SEVIYE", "DERS", "UNITE", "KONU", "KAZANIM"});
  t << table("TABLEPARAMETRE", {"PARAMETREADI", "PARAMETREDEGERI", "PARAMETREACIKLAMA"});
  t << table("TABLEINTERNETTEST", {"ID#", "DOSYAADI", "YUKLENMETARIHI"});
  // Question and test files read in (exchange/TakenFiles.h).
  t << table("TABLEALINANDOSYA", {"ID#", "DOSYAOZETI", "DOSYAADI", "ALINMATARIHI", "ALINMASAATI"});
  t << table("TABLEUYGULAMA",
             {"TESTTARIHI", "TESTBASLANGIC", "TESTBITIS", "SEVIYE", "SINIFI", "GRUP", "ACIKLAMA",
              "TESTNO", "SORUNO", "TESTSIRANO", "DOGRUSIK", "YANLISDOGRUGOTURU", "DERS", "UNITE",
              "KONU", "KAZANIM", "TESTADI", "AKTARILDI", "ANAOKULUAKTARILDI"});
  t << table("TABLECEVAP", {"TESTTARIHI", "TESTBASLANGIC", "TESTBITIS", "TESTNO", "SORUNO",
                            "TESTSIRANO", "KUMANDAADRESI", "KAYITNO", "CEVAP", "CEVAPSURESI",
                            "DOGRUSIK", "YANLISDOGRUGOTURU", "KACINCIOLDU"});
  // Students left out of a run at its remote check (their remotes had not pressed).
  t << table("TABLEDISARIDAKALAN",
             {"ID#", "TESTTARIHI", "TESTBASLANGIC", "KUMANDAADRESI", "ADISOYADI"});
  t << table("TABLESONUC",
             {"KUMANDAADRESI", "KAYITNO",    "ADI",      "SOYADI",     "TESTTARIHI",
              "TESTBASLANGIC", "TESTBITIS",  "TESTNO",   "SEVIYE",     "SINIFI",
              "GRUP",          "ACIKLAMA",   "KISISAYI", "SORUSAYI",   "NET",
              "DOGRUSAYI",     "YANLISSAYI", "BOSSAYI",  "TOPLAMSURE", "TOPLAMSUREGIZLI",
              "KACINCIOLDU",   "ID#",        "DERS",     "UNITE",      "KONU",
              "KAZANIM",       "TESTADI"});
  t << table("TABLEAYAR", {"FORMADI", "KONTROLADI", "INDEKS", "DEGER", "TABINDEX"});
  {
    TableDef layout = table("TABLESLISTESUTUNADI", {"FORMADI", "SLISTEADI", "AYRAC", "TUR"});
    for (int i = 1; i <= 100; ++i) layout.columns.append({QStringLiteral("S%1").arg(i)});
    t << layout;
  }
  t << table("TABLESLISTESUTUNBILGILERI",
             {"FORMADI", "SLISTEADI", "AYRAC", "SATIRYUKSELIGI", "FONTBOYU"});
  t << table("TABLEKULLANICIBILGILERI",
             {"KULLANICIADI", "KULLANICISIFRESI", "GELISMISMOD", "SORUAL", "SORUVER", "TESTAL",
              "TESTVER", "KITAPCIKVER", "KITAPCIKYAZDIR", "SAYFAKODU"});
  t << table("TABLEOKUL",
             {"KURUMKODU", "OKULADI", "SINIFATLATMADONEM", "SONSORUINDIRMEZAMANI", "ANAOKULU",
              "UCDUGME", "OTOMATIKKISAYOL", "GELISMISMOD", "SORUDUZELTMEGUNCELLEMETARIHI"});
  t << table("TABLEGENEL", {"OKULADI", "BASLIK"});
  t << table("TABLESOZLESME", {"SOZLESMEKABULTARIHI", "VERSIYON"});
  t << table("TABLEVERSIYON", {"VTYAPIVERSIYON", "VTVERIVERSIYON"});
  for (const char* name : {"TABLETABLETUYGULAMA", "TABLETABLETARSIV"})
    t << table(name, {"DURUM", "NUMARASI", "TESTTARIHI", "TESTBASLANGICSAATI", "TESTBITISSAATI",
                      "DURDU", "DURDURULANSURE", "KALANSURE", "SORUSIRASI*", "CEVAP*",
                      "ISARETLENEN", "BOS", "DOGRUSIK", "NET", "KACINCIOLDU", "IP", "ID#"});
  return t;
}

}  // namespace

QStringList TableDef::columnNames() const {
  QStringList names;
  for (const ColumnDef& c : columns) names << c.name;
  return names;
}

const QList<TableDef>& mainTables() {
  static const QList<TableDef> tables = buildTables();
  return tables;
}

const StoreTableDef& storeTable(bool questions) {
  // The content columns hold pictures and pages: binary.
  const auto make = [](const char* name, const char* key,
                       std::initializer_list<const char*> content, const char* index) {
    StoreTableDef d{table(name, {"ID#", key}), QString::fromLatin1(index)};
    for (const char* c : content)
      d.table.columns.append({QString::fromLatin1(c), ColumnDef::Kind::Blob});
    return d;
  };
  static const StoreTableDef question =
      make("TABLESORU", "SORUNO", {"SORU", "COZUM"},
           "CREATE INDEX IF NOT EXISTS IX_SORUNO ON TABLESORU (SORUNO)");
  static const StoreTableDef test =
      make("TABLETEST", "TESTNO", {"BASLANGICEKRANI", "BASLIK"},
           "CREATE INDEX IF NOT EXISTS IX_TESTNO ON TABLETEST (TESTNO)");
  return questions ? question : test;
}

const TableDef* findMainTable(const QString& name) {
  for (const TableDef& t : mainTables())
    if (t.name.compare(name, Qt::CaseInsensitive) == 0) return &t;
  return nullptr;
}

QString createTableSql(const TableDef& table, const Dialect& dialect) {
  QStringList cols;
  for (const ColumnDef& c : table.columns) cols << dialect.columnSql(c);
  cols << dialect.hiddenColumns(table);
  return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
      .arg(table.name, cols.join(QStringLiteral(", ")));
}

Status createIndexes(const QSqlDatabase& db) {
  static const char* const statements[] = {
      "CREATE INDEX IF NOT EXISTS IX_UYGULAMA_RUN ON TABLEUYGULAMA (TESTTARIHI, TESTBASLANGIC)",
      // Leaving, showing and scoring a question read its own rows only.
      "CREATE INDEX IF NOT EXISTS IX_UYGULAMA_RUN_SIRA ON TABLEUYGULAMA (TESTTARIHI, "
      "TESTBASLANGIC, TESTSIRANO)",
      "CREATE INDEX IF NOT EXISTS IX_CEVAP_RUN ON TABLECEVAP (TESTTARIHI, TESTBASLANGIC)",
      "CREATE INDEX IF NOT EXISTS IX_CEVAP_RUN_SIRA ON TABLECEVAP (TESTTARIHI, TESTBASLANGIC, "
      "TESTSIRANO)",
      "CREATE INDEX IF NOT EXISTS IX_CEVAP_KAYITNO ON TABLECEVAP (KAYITNO)",
      "CREATE INDEX IF NOT EXISTS IX_CEVAP_SORUNO ON TABLECEVAP (SORUNO)",
      "CREATE INDEX IF NOT EXISTS IX_SONUC_RUN ON TABLESONUC (TESTTARIHI, TESTBASLANGIC)",
      "CREATE INDEX IF NOT EXISTS IX_DISARIDAKALAN_RUN ON TABLEDISARIDAKALAN (TESTTARIHI, "
      "TESTBASLANGIC)",
      "CREATE INDEX IF NOT EXISTS IX_SONUC_KAYITNO ON TABLESONUC (KAYITNO)",
      "CREATE INDEX IF NOT EXISTS IX_SORU_SORUNO ON TABLESORU (SORUNO)",
      // The question searches narrow by level and course first.
      "CREATE INDEX IF NOT EXISTS IX_SORU_SEVIYE_DERS ON TABLESORU (SEVIYE, DERS)",
      "CREATE INDEX IF NOT EXISTS IX_TEST_TESTNO ON TABLETEST (TESTNO)",
      "CREATE INDEX IF NOT EXISTS IX_TESTSORU_TESTNO ON TABLETESTSORU (TESTNO)",
      "CREATE INDEX IF NOT EXISTS IX_TESTSORU_SORUNO ON TABLETESTSORU (SORUNO)",
      "CREATE INDEX IF NOT EXISTS IX_OGRENCI_KAYITNO ON TABLEOGRENCI (KAYITNO)",
      // The import finds a listed student by identity number, or by school
      // number within the class (and reads a class's names at once).
      "CREATE INDEX IF NOT EXISTS IX_OGRENCI_TCKIMLIK ON TABLEOGRENCI (TCKIMLIK)",
      "CREATE INDEX IF NOT EXISTS IX_OGRENCI_SINIF_NUMARA ON TABLEOGRENCI (SINIFI, NUMARASI)",
      "CREATE INDEX IF NOT EXISTS IX_KUMANDA_ADRES ON TABLEKUMANDA (KUMANDAADRESI)",
      "CREATE INDEX IF NOT EXISTS IX_ESLESME_ADRES ON TABLEESLESME (KUMANDAADRESI)",
      "CREATE INDEX IF NOT EXISTS IX_ESLESME_KAYITNO ON TABLEESLESME (KAYITNO)",
      "CREATE INDEX IF NOT EXISTS IX_KART_KAYITNO ON TABLEKART (KAYITNO)",
      "CREATE INDEX IF NOT EXISTS IX_PARAMETRE_AD ON TABLEPARAMETRE (PARAMETREADI)",
      "CREATE INDEX IF NOT EXISTS IX_AYAR_FORM ON TABLEAYAR (FORMADI)",
      "CREATE INDEX IF NOT EXISTS IX_SLISTE_FORM ON TABLESLISTESUTUNADI (FORMADI, SLISTEADI)",
  };
  QSqlQuery q(db);
  const Dialect& dialect = dialectOf(db);
  for (const char* s : statements) {
    // An old database may still lack a column an index needs; the field pass adds
    // it and the index follows at the next check.
    (void)q.exec(dialect.prepare(QString::fromLatin1(s)));
  }
  return {};
}

Status createMainTables(const QSqlDatabase& db) {
  QSqlQuery q(db);
  const Dialect& dialect = dialectOf(db);
  for (const TableDef& t : mainTables()) {
    if (!q.exec(dialect.prepare(createTableSql(t, dialect))))
      return Status::failure(sqlErrorText(q.lastError()));
  }
  return createIndexes(db);
}

}  // namespace store
