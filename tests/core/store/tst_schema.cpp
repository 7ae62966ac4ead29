#include <QSqlRecord>
#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "store/Database.h"
#include "store/FieldPass.h"
#include "store/Schema.h"
#include "store/SchemaTables.h"
#include "store/StartupData.h"
#include "store/Store.h"
#include "store/StoreFiles.h"

namespace {

QString text(const char* s) { return QString::fromUtf8(s); }

// The connection the helpers below run on: the store's, or a bare one on the main
// file while a test lays out an old database by hand.
QSqlDatabase g_db;
const QString kBare = QStringLiteral("eski");

Status run(const QString& sql, const QVariantList& params = {}) {
  return store::run(sql, params, g_db);
}
QVariant scalar(const QString& sql, const QVariantList& params = {}, const QVariant& none = {}) {
  const Result<QVariant> v = store::scalar(sql, params, g_db);
  return v && !v->isNull() ? v.value() : none;
}
QStringList column(const QString& sql) { return store::column(sql, {}, g_db).valueOr({}); }

// Every table's definition and every row, to tell whether a pass changed anything.
QString snapshot() {
  QString out;
  for (const QString& sql :
       column(QStringLiteral("SELECT type || ':' || name || ':' || NZ(sql) FROM "
                             "sqlite_master WHERE name NOT LIKE 'sqlite%' ORDER BY name")))
    out += sql + QLatin1Char('\n');
  for (const QString& table : column(QStringLiteral(
           "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%' "
           "ORDER BY name"))) {
    Result<QSqlQuery> q =
        store::exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table), {}, g_db);
    while (q && q.value().next()) {
      QStringList cells;
      for (int i = 0; i < q.value().record().count(); ++i) cells << q.value().value(i).toString();
      out += table + QLatin1Char('|') + cells.join(QLatin1Char('|')) + QLatin1Char('\n');
    }
  }
  return out;
}

QString parameterMarker(const char* list, const char* value) {
  return scalar(QStringLiteral(
                    "SELECT NZ(PARAMETREACIKLAMA) FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                    "PARAMETREDEGERI=?"),
                {text(list), text(value)}, QStringLiteral("<yok>"))
      .toString();
}

QString layoutSlot(const char* form, const char* grid, const char* variant, const char* kind,
                   int slot) {
  return scalar(
             QStringLiteral(
                 "SELECT S%1 FROM TABLESLISTESUTUNADI WHERE FORMADI=? AND SLISTEADI=? AND AYRAC=? "
                 "AND TUR=?")
                 .arg(slot),
             {text(form), text(grid), text(variant), text(kind)}, QStringLiteral("<yok>"))
      .toString();
}

}  // namespace

class TestSchema : public QObject {
  Q_OBJECT

  // The start-up check (Store::open runs it) on the test's data folder.
  Result<store::CheckReport> check() {
    const Result<store::CheckReport> r = m_dir->store().open();
    g_db = m_dir->store().db();
    return r;
  }
  void closeStore() {
    g_db = QSqlDatabase();
    m_dir->store().close();
  }
  // A bare connection on the main file, without any check: the way to lay out an
  // old database before the program first sees it.
  bool openBare() {
    Result<QSqlDatabase> bare = store::openFile(kBare, m_dir->store().mainFile());
    if (bare) g_db = bare.value();
    return bare.ok();
  }
  void closeBare() {
    g_db = QSqlDatabase();
    store::closeFile(kBare);
  }

 private slots:
  void init() { QVERIFY(TempDataFolder::renew(m_dir, false)); }
  void cleanup() {
    closeBare();
    closeStore();
    m_dir.reset();
  }

  // A new data folder is made whole: current versions, every table and column,
  // content stores, layouts and value lists; no old step runs on it.
  void newDatabaseIsWhole() {
    const Result<store::CheckReport> report = check();
    QVERIFY2(report.ok(), qPrintable(report.error()));
    QVERIFY(report->created);
    QVERIFY(report->stepsRun.isEmpty());
    QVERIFY(!report->structureChecked);
    QCOMPARE(scalar(QStringLiteral("SELECT VTVERIVERSIYON FROM TABLEVERSIYON")).toString(),
             QStringLiteral("44"));
    QCOMPARE(scalar(QStringLiteral("SELECT VTYAPIVERSIYON FROM TABLEVERSIYON")).toString(),
             store::structureVersion());
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEVERSIYON")).toInt(), 1);
    for (const store::TableDef& t : store::mainTables())
      QCOMPARE(store::tableColumns(t.name, g_db), t.columnNames());
    QVERIFY(QFile::exists(store::storePath(m_dir->path(), store::StoreKind::Question, 2)));
    QVERIFY(QFile::exists(store::storePath(m_dir->path(), store::StoreKind::Test, 2)));

    // Factory layouts with their later replacements, the appearance row and the
    // relative report grid.
    QCOMPARE(layoutSlot("frmTestUygula", "SlisteTestler", "", "W", 2), QStringLiteral("5985"));
    QCOMPARE(layoutSlot("frmTestHazirlama", "SlisteTestler", "", "W", 1), QStringLiteral("1080"));
    QCOMPARE(layoutSlot("frmRaporlarMenu", "SlisteTestler", "", "C", 10), text("Aktarıldı"));
    QCOMPARE(layoutSlot("frmRaporlarMenu", "SlisteOgrenciSinif", "Silinmeyen", "D", 6),
             QStringLiteral("KAYITNO"));
    QCOMPARE(layoutSlot("frmTanimlamalar", "SlisteOgrenciler", "", "V", 2), QStringLiteral("2"));
    QCOMPARE(layoutSlot("frmRaporlarGoreceli", "Sliste1", "1", "W", 5), QStringLiteral("4650"));
    QCOMPARE(layoutSlot("frmRaporlarGoreceli", "Sliste1", "1", "W", 13), QStringLiteral("0"));
    QCOMPARE(layoutSlot("frmRaporlarGoreceli", "Sliste1", "1", "C", 20), text("Sınıf Net Oran"));
    QCOMPARE(layoutSlot("frmRaporlarGoreceli", "Sliste1", "1", "C", 21), QString());
    QCOMPARE(
        scalar(QStringLiteral(
                   "SELECT SATIRYUKSELIGI || '/' || FONTBOYU FROM TABLESLISTESUTUNBILGILERI WHERE "
                   "FORMADI='frmRaporlar' AND SLISTEADI='SlisteVerilenCevaplar'"))
            .toString(),
        QStringLiteral("270/10"));

    // Offered (empty marker) and hidden ("1") values, as the steps would leave them.
    QCOMPARE(parameterMarker("SEVIYE", "OKUL ÖNCESİ"), QString());
    QCOMPARE(parameterMarker("SEVIYE", "12. SINIF"), QString());
    QCOMPARE(parameterMarker("DERS", "MATEMATİK"), QString());
    QCOMPARE(parameterMarker("DERS", "FEN BİLİMLERİ"), QString());
    QCOMPARE(parameterMarker("DERS", "FEN VE TEKNOLOJİ"), QStringLiteral("1"));
    QCOMPARE(parameterMarker("DERS", "KAVRAMLAR"), QStringLiteral("1"));
    QCOMPARE(parameterMarker("SEVIYE", "TOEFL"), QStringLiteral("1"));
    QCOMPARE(parameterMarker("SEVIYE", "OKUL ÖNCESİ 3 YAŞ"), QStringLiteral("1"));
    QCOMPARE(parameterMarker("SEVIYE", "OKUL ÖNCESİ 4 YAŞ"), QString());
    QCOMPARE(parameterMarker("DERS", "İLKOKULA HAZIRLIK"), QString());
    QCOMPARE(scalar(QStringLiteral(
                        "SELECT COUNT(*) FROM TABLEPARAMETRE WHERE PARAMETREDEGERI='GRAMMAR'"))
                 .toInt(),
             1);
    QVERIFY(
        scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE WHERE PARAMETREADI='SEVIYE' AND "
                              "PARAMETREACIKLAMA=''"))
            .toInt() >= 15);

    // The next start finds everything in place and changes nothing.
    const QString before = snapshot();
    closeStore();
    const Result<store::CheckReport> again = check();
    QVERIFY(again.ok());
    QVERIFY(!again->created);
    QVERIFY(!again->structureChecked);
    QVERIFY(again->stepsRun.isEmpty());
    QCOMPARE(again->oldDataVersion, 44);
    QCOMPARE(snapshot(), before);
  }

  // The field pass runs whenever the stored structure version is not exactly the
  // program's, older or newer; it brings back a missing column.
  void structureVersionTriggersFieldPass_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("deleteRow");
    QTest::addColumn<bool>("expected");
    QTest::newRow("same") << store::structureVersion() << false << false;
    QTest::newRow("older") << QStringLiteral("0.9.0.7") << false << true;
    QTest::newRow("newer") << QStringLiteral("99.0.0.1") << false << true;
    QTest::newRow("empty") << QString() << false << true;
    QTest::newRow("no row") << QString() << true << true;
  }
  void structureVersionTriggersFieldPass() {
    QFETCH(QString, stored);
    QFETCH(bool, deleteRow);
    QFETCH(bool, expected);
    QVERIFY(check().ok());
    QVERIFY(run(QStringLiteral("UPDATE TABLEVERSIYON SET VTYAPIVERSIYON=?"), {stored}).ok());
    if (deleteRow) QVERIFY(run(QStringLiteral("DELETE FROM TABLEVERSIYON")).ok());
    QVERIFY(run(QStringLiteral("ALTER TABLE TABLEOKUL DROP COLUMN UCDUGME")).ok());
    closeStore();

    const Result<store::CheckReport> report = check();
    QVERIFY2(report.ok(), qPrintable(report.error()));
    QCOMPARE(report->structureChecked, expected);
    QCOMPARE(
        store::tableColumns(QStringLiteral("TABLEOKUL"), g_db).contains(QStringLiteral("UCDUGME")),
        expected);
    if (expected)
      QCOMPARE(scalar(QStringLiteral("SELECT VTYAPIVERSIYON FROM TABLEVERSIYON")).toString(),
               store::structureVersion());
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEVERSIYON")).toInt(), 1);
  }

  // A database of an early program: few tables and columns, no version table,
  // no autonumbers, an obsolete column. Everything arrives, nothing is lost, and
  // a second pass changes nothing.
  void fieldPassOnOldLayout() {
    QVERIFY(openBare());
    for (const char* sql :
         {"CREATE TABLE TABLEOGRENCI (KAYITNO TEXT, NUMARASI TEXT, ADI TEXT, SOYADI TEXT, SINIFI "
          "TEXT, SEVIYE TEXT)",
          "INSERT INTO TABLEOGRENCI VALUES ('1','11','Ayşe','Türkiye''nin','5-A','5. SINIF')",
          "INSERT INTO TABLEOGRENCI VALUES ('2','12','Ömer','Işık','5-A',NULL)",
          "CREATE INDEX IX_ESKI ON TABLEOGRENCI (ADI)",
          "CREATE TABLE TABLESONUC (KUMANDAADRESI TEXT, KAYITNO TEXT, NET TEXT)",
          "INSERT INTO TABLESONUC VALUES ('12-201','1','7.5')",
          "INSERT INTO TABLESONUC VALUES ('12-202','2','3')",
          "INSERT INTO TABLESONUC VALUES ('12-203','2','4')",
          "CREATE TABLE TABLEOKUL (KURUMKODU TEXT, SINIFKODU TEXT)",
          "INSERT INTO TABLEOKUL VALUES ('123456','X')",
          "CREATE TABLE TABLECEVAP (TESTTARIHI TEXT, TESTBASLANGIC TEXT, KUMANDAADRESI TEXT, CEVAP "
          "TEXT)",
          "INSERT INTO TABLECEVAP VALUES ('01.02.2010','10:00:00','12-201','A')"})
      QVERIFY2(run(text(sql)).ok(), sql);
    closeBare();

    const Result<store::CheckReport> report = check();
    QVERIFY2(report.ok(), qPrintable(report.error()));
    QVERIFY(report->structureChecked);
    QCOMPARE(report->failedStep, 0);
    QCOMPARE(report->stepsRun.first(), QStringLiteral("2"));

    for (const store::TableDef& t : store::mainTables()) {
      const QStringList have = store::tableColumns(t.name, g_db);
      for (const QString& c : t.columnNames())
        QVERIFY2(have.contains(c), qPrintable(t.name + "." + c));
    }
    QVERIFY(!store::tableColumns(QStringLiteral("TABLEOKUL"), g_db)
                 .contains(QStringLiteral("SINIFKODU")));
    QCOMPARE(column(QStringLiteral(
                 "SELECT ID || ':' || KAYITNO || ':' || ADI || ':' || SOYADI || ':' || "
                 "NZ(SEVIYE) FROM TABLEOGRENCI ORDER BY ID")),
             QStringList({text("1:1:Ayşe:Türkiye'nin:5. SINIF"), text("2:2:Ömer:Işık:")}));
    // The three old result rows keep their values; the run that had none gets its own,
    // scored again when the runs are ranked: its one answer has no key, so it counts
    // nowhere.
    QCOMPARE(column(QStringLiteral(
                 "SELECT ID || ':' || KUMANDAADRESI || ':' || NET FROM TABLESONUC ORDER BY "
                 "ID")),
             QStringList({QStringLiteral("1:12-201:7.5"), QStringLiteral("2:12-202:3"),
                          QStringLiteral("3:12-203:4"), QStringLiteral("5:12-201:0")}));
    const QStringList resultColumns = store::tableColumns(QStringLiteral("TABLESONUC"), g_db);
    QCOMPARE(resultColumns.indexOf(QStringLiteral("ID")),
             resultColumns.indexOf(QStringLiteral("KACINCIOLDU")) + 1);
    QCOMPARE(store::tableColumns(QStringLiteral("TABLEOGRENCI"), g_db).first(),
             QStringLiteral("ID"));
    QCOMPARE(scalar(QStringLiteral("SELECT KURUMKODU FROM TABLEOKUL")).toString(),
             QStringLiteral("123456"));
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP")).toInt(), 1);
    // The new autonumber goes on counting; the old index survived the rebuild.
    QVERIFY(run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO) VALUES ('3')")).ok());
    QCOMPARE(scalar(QStringLiteral("SELECT ID FROM TABLEOGRENCI WHERE KAYITNO='3'")).toInt(), 3);
    QCOMPARE(
        scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='IX_ESKI'")).toInt(),
        1);
    QCOMPARE(scalar(QStringLiteral("SELECT VTVERIVERSIYON FROM TABLEVERSIYON")).toString(),
             QStringLiteral("44"));

    const QString before = snapshot();
    QVERIFY(store::runFieldPass(g_db).ok());
    QCOMPARE(snapshot(), before);
  }

  void fieldOperations() {
    QVERIFY(openBare());
    const QSqlDatabase db = g_db;
    QCOMPARE(store::AlanEkle(QStringLiteral("TABLEYENI"), QStringLiteral("A"),
                             store::FieldType::Text, db),
             2);
    QCOMPARE(store::AlanEkle(QStringLiteral("TABLEYENI"), QStringLiteral("B"),
                             store::FieldType::Memo, db),
             1);
    QCOMPARE(store::AlanEkle(QStringLiteral("TABLEYENI"), QStringLiteral("b"),
                             store::FieldType::Text, db),
             0);
    QCOMPARE(store::AlanEkle(QStringLiteral("TABLEYENI"), QStringLiteral("N"),
                             store::FieldType::Long, db),
             1);
    QVERIFY(run(QStringLiteral("INSERT INTO TABLEYENI (A) VALUES ('x'),('y')")).ok());
    QCOMPARE(scalar(QStringLiteral("SELECT NZ(B) || N FROM TABLEYENI WHERE A='x'")).toString(),
             QStringLiteral("0"));
    QCOMPARE(store::OtomatikSayiEkle(QStringLiteral("TABLEYENI"), QStringLiteral("ID"), db), 1);
    QCOMPARE(store::OtomatikSayiEkle(QStringLiteral("TABLEYENI"), QStringLiteral("ID"), db), 0);
    QCOMPARE(store::tableColumns(QStringLiteral("TABLEYENI"), db),
             QStringList({QStringLiteral("ID"), QStringLiteral("A"), QStringLiteral("B"),
                          QStringLiteral("N")}));
    QCOMPARE(column(QStringLiteral("SELECT ID || A FROM TABLEYENI ORDER BY ID")),
             QStringList({QStringLiteral("1x"), QStringLiteral("2y")}));
    // A known main table missing at the first call arrives whole.
    QCOMPARE(store::AlanEkle(QStringLiteral("TABLEKUMANDA"), QStringLiteral("OGRETMENKUMANDASI"),
                             store::FieldType::Text, db),
             2);
    QCOMPARE(store::tableColumns(QStringLiteral("TABLEKUMANDA"), db),
             store::findMainTable(QStringLiteral("TABLEKUMANDA"))->columnNames());

    // Dropping: an indexed column needs the rebuild; a missing one is no error.
    QVERIFY(run(QStringLiteral("CREATE INDEX IX_A ON TABLEYENI (A)")).ok());
    store::AlanSil(QStringLiteral("TABLEYENI"), QStringLiteral("A"), db);
    store::AlanSil(QStringLiteral("TABLEYENI"), QStringLiteral("A"), db);
    store::AlanSil(QStringLiteral("TABLEYOK"), QStringLiteral("A"), db);
    QCOMPARE(store::tableColumns(QStringLiteral("TABLEYENI"), db),
             QStringList({QStringLiteral("ID"), QStringLiteral("B"), QStringLiteral("N")}));
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEYENI")).toInt(), 2);
    QVERIFY(run(QStringLiteral("INSERT INTO TABLEYENI (B) VALUES ('z')")).ok());
    QCOMPARE(scalar(QStringLiteral("SELECT ID FROM TABLEYENI WHERE B='z'")).toInt(), 3);
  }

  void institutionCorrections_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("applies");
    QTest::newRow("listed") << QStringLiteral("2244445982") << true;
    QTest::newRow("other") << QStringLiteral("2244445983") << false;
  }
  void institutionCorrections() {
    QFETCH(QString, code);
    QFETCH(bool, applies);
    QVERIFY(check().ok());
    QVERIFY(
        run(QStringLiteral("INSERT INTO TABLEOKUL (KURUMKODU,OKULADI) VALUES (?, 'Okul')"), {code})
            .ok());
    QVERIFY(run(QStringLiteral("INSERT INTO TABLEPARAMETRE VALUES ('SEVIYE',?,'')"),
                {text("ÜNİVERSİTE HAZIRLIK")})
                .ok());
    const Result<bool> first = store::applyInstitutionCorrections(m_dir->store());
    QVERIFY(first.ok());
    QCOMPARE(first.value(), applies);
    const QString hidden = applies ? QStringLiteral("1") : QString();
    QCOMPARE(parameterMarker("SEVIYE", "ÜNİVERSİTE HAZIRLIK"), hidden);
    QCOMPARE(parameterMarker("DERS", "TÜRK DİLİ VE EDEBİYATI"), hidden);
    QCOMPARE(parameterMarker("DERS", "SOSYAL BİLGİLER"), hidden);
    QCOMPARE(parameterMarker("DERS", "MATEMATİK"), QString());
    // Once done, a value the user offers again stays offered.
    QVERIFY(run(QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='' WHERE "
                               "PARAMETREDEGERI='SOSYAL BİLGİLER'"))
                .ok());
    const Result<bool> second = store::applyInstitutionCorrections(m_dir->store());
    QVERIFY(second.ok());
    QVERIFY(!second.value());
    QCOMPARE(parameterMarker("DERS", "SOSYAL BİLGİLER"), QString());
  }

  void relativeReportLayoutSeed() {
    QVERIFY(check().ok());
    const QString rows = QStringLiteral(
        "SELECT COUNT(*) FROM TABLESLISTESUTUNADI WHERE FORMADI='frmRaporlarGoreceli'");
    QVERIFY(
        run(QStringLiteral("DELETE FROM TABLESLISTESUTUNADI WHERE FORMADI='frmRaporlarGoreceli'"))
            .ok());
    QVERIFY(store::seedRelativeReportLayout(m_dir->store()).ok());
    QCOMPARE(scalar(rows).toInt(), 4);
    QCOMPARE(layoutSlot("frmRaporlarGoreceli", "Sliste1", "1", "D", 15),
             QStringLiteral("KISISAYISI"));
    QCOMPARE(layoutSlot("frmRaporlarGoreceli", "Sliste1", "1", "V", 20), QStringLiteral("1"));
    QVERIFY(run(QStringLiteral("UPDATE TABLESLISTESUTUNADI SET S5='100', S6='200' WHERE "
                               "FORMADI='frmRaporlarGoreceli' AND TUR='W'"))
                .ok());
    QVERIFY(store::seedRelativeReportLayout(m_dir->store()).ok());
    QCOMPARE(scalar(rows).toInt(), 4);
    QCOMPARE(layoutSlot("frmRaporlarGoreceli", "Sliste1", "1", "W", 5), QStringLiteral("4650"));
    QCOMPARE(layoutSlot("frmRaporlarGoreceli", "Sliste1", "1", "W", 6), QStringLiteral("200"));
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
