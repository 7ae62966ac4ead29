#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>

#include "../core/formats/BiffFixture.h"
#include "PackageDatabaseFile.h"
#include "formats/ZipArchive.h"

// Small files that grow into big ones when read: packages whose tables lend
// every row a long default value or carry a million rows, spreadsheets whose
// XML parts unpack to hundreds of megabytes, a workbook claiming millions of
// cells. The tests build them full size at test time; the fuzz seeds are the
// same shapes written small (`scale` < 1), so that the fuzzer starts from files
// that expand.
namespace hostile {

// The shapes, by file name; the extension says which reader takes it.
inline QStringList names() {
  return {QStringLiteral("varsayilan.cks"),
          QStringLiteral("varsayilan-buyuk.cks"),
          QStringLiteral("varsayilan-kisa.cks"),
          QStringLiteral("metin.cks"),
          QStringLiteral("sutun.cks"),
          QStringLiteral("uzun-ad.cks"),
          QStringLiteral("varsayilan.ckp"),
          QStringLiteral("milyon.ckp"),
          QStringLiteral("varsayilan.ckk"),
          QStringLiteral("paylasilan.xlsx"),
          QStringLiteral("cop.xlsx"),
          QStringLiteral("icerik.ods"),
          QStringLiteral("boyut.xls"),
          QStringLiteral("uzun.csv")};
}

namespace detail {

inline qint64 scaled(qint64 n, double scale) {
  return std::max<qint64>(2, static_cast<qint64>(double(n) * scale));
}

// `count` copies of `unit`, every `every`-th one with a pseudo-random token in
// place of "#": the token is what keeps the ZIP ratio under the archive limit,
// so that the part is unpacked rather than refused at once.
inline QByteArray varied(const QByteArray& unit, qint64 count, int every) {
  QByteArray out;
  out.reserve(unit.size() * count + count / every * 8);
  const qsizetype mark = unit.indexOf('#');
  std::uint32_t state = 12345;
  for (qint64 i = 0; i < count; ++i) {
    if (i % every == 0) {
      state = state * 1664525u + 1013904223u;
      out += unit.left(mark) + QByteArray::number(state, 36) + unit.mid(mark + 1);
    } else {
      out += unit.left(mark) + unit.mid(mark + 1);
    }
  }
  return out;
}

inline bool zip(const QString& path, const QList<formats::ZipMember>& members) {
  return formats::ZipArchive::write(path, members).ok();
}

inline QString longText(int chars) { return QString(chars, QLatin1Char('x')); }

// `rows` rows of `table` with only `stored` in them, then each of `added`
// added with ALTER TABLE and a 65,000-character default: every row reads it.
inline QStringList defaultsTable(const QString& table, const QStringList& stored,
                                 const QString& values, qint64 rows, const QStringList& added,
                                 int defaultChars = 65000) {
  QStringList sql{QStringLiteral("CREATE TABLE %1 (%2)").arg(table, stored.join(QLatin1Char(','))),
                  QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                                 "WHERE i<%1) INSERT INTO %2 SELECT %3 FROM n")
                      .arg(rows)
                      .arg(table, values)};
  for (const QString& c : added)
    sql << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 TEXT DEFAULT '%3'")
               .arg(table, c, longText(defaultChars));
  return sql;
}

inline bool package(const QString& path, const QString& member, const QStringList& sql) {
  const QByteArray db = packageDatabase(path + QStringLiteral(".db"), sql);
  QFile::remove(path + QStringLiteral(".db"));
  return !db.isEmpty() && zip(path, {{member, db}});
}

inline QByteArray xlsxWorkbook() {
  return "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheets>"
         "<sheet name=\"S\" sheetId=\"1\"/></sheets></workbook>";
}

inline QByteArray xlsxSheet(const QByteArray& rows) {
  return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
         "<sheetData>" +
         rows + "</sheetData></worksheet>";
}

}  // namespace detail

// A small list each spreadsheet reader reads as it should (fuzz seeds).
inline bool writeValid(const QString& extension, const QString& path) {
  using namespace detail;
  if (extension == QStringLiteral("xlsx"))
    return zip(path,
               {{QStringLiteral("xl/workbook.xml"), xlsxWorkbook()},
                {QStringLiteral("xl/worksheets/sheet1.xml"),
                 xlsxSheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\">"
                           "<v>1</v></c></row><row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>Ali"
                           "</t></is></c><c r=\"B2\"><v>12</v></c></row>")},
                {QStringLiteral("xl/sharedStrings.xml"),
                 "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                 "<si><t>Adı</t></si><si><r><t>Numa</t></r><r><t>rası</t></r></si></sst>"}});
  if (extension == QStringLiteral("ods"))
    return zip(path,
               {{QStringLiteral("content.xml"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
                 "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                 "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                 "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
                 "<office:spreadsheet><table:table table:name=\"S\"><table:table-row>"
                 "<table:table-cell office:value-type=\"string\"><text:p>Adı</text:p>"
                 "</table:table-cell><table:table-cell table:number-columns-repeated=\"2\"/>"
                 "<table:table-cell office:value-type=\"float\" office:value=\"12\"><text:p>12"
                 "</text:p></table:table-cell></table:table-row></table:table>"
                 "</office:spreadsheet></office:body></office:document-content>"}});
  QByteArray data;
  if (extension == QStringLiteral("xls"))
    data = BiffFixture::workbook(
        QStringLiteral("S"),
        {{0, 0, QStringLiteral("Adı")}, {1, 0, QStringLiteral("Ali")}, {1, 1, 12.0}});
  else if (extension == QStringLiteral("csv"))
    data = "S.No;Adı;Soyadı\n1;\"Ali; Veli\";Öz\n2;Ayşe;\"\"\"Kaya\"\"\"\n";
  else
    return false;
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Writes the shape `name` to `path`; scale 1 is the size that made the trouble.
inline bool write(const QString& name, const QString& path, double scale = 1.0) {
  using namespace detail;
  const QString question = QStringLiteral("Sru.mds");
  const QString test = QStringLiteral("Tst.mds");
  if (name == QStringLiteral("varsayilan.cks") || name == QStringLiteral("varsayilan-buyuk.cks"))
    return package(
        path, question,
        defaultsTable(
            QStringLiteral("TABLESORU"),
            {QStringLiteral("SORUNO"), QStringLiteral("SEVIYE"), QStringLiteral("DERS"),
             QStringLiteral("UNITE")},
            QStringLiteral("i,'5. SINIF','MATEMATİK','Sayılar'"),
            scaled(name.contains(QStringLiteral("buyuk")) ? 40000 : 1000, scale),
            {QStringLiteral("KONU"), QStringLiteral("KAZANIM"), QStringLiteral("SORUICERIK"),
             QStringLiteral("DOGRUSIK"), QStringLiteral("TURU"), QStringLiteral("ZORLUK"),
             QStringLiteral("PUAN"), QStringLiteral("SURE"), QStringLiteral("ACIKLAMA"),
             QStringLiteral("ANKETSORUSUMU")}));
  const QString questionTable = QStringLiteral(
      "CREATE TABLE TABLESORU (SORUNO TEXT, SEVIYE TEXT, DERS TEXT, UNITE TEXT, SORUICERIK TEXT)");
  if (name == QStringLiteral("varsayilan-kisa.cks"))
    // A default short enough for the schema's limit, lent to every row.
    return package(path, question,
                   defaultsTable(QStringLiteral("TABLESORU"),
                                 {QStringLiteral("SORUNO"), QStringLiteral("SEVIYE"),
                                  QStringLiteral("DERS"), QStringLiteral("UNITE")},
                                 QStringLiteral("i,'5','M','U'"), scaled(2000, scale),
                                 {QStringLiteral("SORUICERIK")}, 60000));
  if (name == QStringLiteral("metin.cks"))
    // Question texts really stored, 36 MB of them.
    return package(path, question,
                   {questionTable,
                    QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                                   "WHERE i<%1) INSERT INTO TABLESORU SELECT i,'5','M','U',"
                                   "hex(randomblob(200))||printf('%.59600c','x') FROM n")
                        .arg(scaled(600, scale))});
  if (name == QStringLiteral("sutun.cks")) {
    QStringList columns;
    for (int c = 0; c < 200; ++c) columns << QStringLiteral("C%1 TEXT").arg(c);
    return package(path, question,
                   {QStringLiteral("CREATE TABLE TABLESORU (SORUNO TEXT, SEVIYE TEXT, DERS TEXT, "
                                   "UNITE TEXT, %1)")
                        .arg(columns.join(QLatin1Char(','))),
                    QStringLiteral("INSERT INTO TABLESORU (SORUNO) VALUES ('1')")});
  }
  if (name == QStringLiteral("uzun-ad.cks"))
    return package(path, question,
                   {questionTable, QStringLiteral("INSERT INTO TABLESORU VALUES ('1','5','M',"
                                                  "printf('%.5000c','U'),'')")});
  if (name == QStringLiteral("varsayilan.ckp") || name == QStringLiteral("milyon.ckp")) {
    QStringList sql{
        QStringLiteral("CREATE TABLE TABLESORU (SORUNO TEXT, SEVIYE TEXT, DERS TEXT, UNITE TEXT)"),
        QStringLiteral("CREATE TABLE TABLETEST (TESTNO TEXT, TESTADI TEXT)"),
        QStringLiteral("INSERT INTO TABLETEST VALUES ('1','Deneme')")};
    if (name == QStringLiteral("milyon.ckp")) {
      sql << QStringLiteral(
                 "CREATE TABLE TABLETESTSORU (TESTNO TEXT, SORUNO TEXT, SURE TEXT, TESTSIRANO "
                 "TEXT, BOLUM TEXT, BSIRASI TEXT, CSIRASI TEXT, DSIRASI TEXT)")
          << QStringLiteral(
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE "
                 "i<%1) INSERT INTO TABLETESTSORU SELECT '1','S'||i,'30',i,'','','','' "
                 "FROM n")
                 .arg(scaled(1000000, scale));
    } else {
      sql << defaultsTable(
          QStringLiteral("TABLETESTSORU"), {QStringLiteral("TESTNO"), QStringLiteral("SORUNO")},
          QStringLiteral("'1','S'||i"), scaled(2500, scale),
          {QStringLiteral("SURE"), QStringLiteral("TESTSIRANO"), QStringLiteral("BOLUM"),
           QStringLiteral("BSIRASI"), QStringLiteral("CSIRASI"), QStringLiteral("DSIRASI")});
    }
    return package(path, test, sql);
  }
  if (name == QStringLiteral("varsayilan.ckk"))
    return package(
        path, QStringLiteral("Kyt.mds"),
        defaultsTable(
            QStringLiteral("TABLEOGRENCI"), {QStringLiteral("KAYITNO"), QStringLiteral("ADI")},
            QStringLiteral("i,'Ali'"), scaled(20000, scale),
            {QStringLiteral("NUMARASI"), QStringLiteral("SOYADI"), QStringLiteral("SINIFI"),
             QStringLiteral("SEVIYE"), QStringLiteral("TCKIMLIK")}));
  if (name == QStringLiteral("paylasilan.xlsx")) {
    // 200 MB of shared strings that no cell needs.
    const qint64 strings = scaled(200'000'000 / 17, scale);
    return zip(path, {{QStringLiteral("xl/workbook.xml"), xlsxWorkbook()},
                      {QStringLiteral("xl/worksheets/sheet1.xml"),
                       xlsxSheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>")},
                      {QStringLiteral("xl/sharedStrings.xml"),
                       "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                           varied("<si><t>a#</t></si>", strings, 75) + "</sst>"}});
  }
  if (name == QStringLiteral("cop.xlsx")) {
    // Two parts of 250 MB that no sheet names.
    const QByteArray junk = varied("<x>#</x>    ", scaled(250'000'000 / 12, scale), 95);
    return zip(path, {{QStringLiteral("xl/workbook.xml"), xlsxWorkbook()},
                      {QStringLiteral("xl/worksheets/sheet1.xml"),
                       xlsxSheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Ad</t></is></c>"
                                 "</row>")},
                      {QStringLiteral("xl/cop1.xml"), junk},
                      {QStringLiteral("xl/cop2.xml"), junk}});
  }
  if (name == QStringLiteral("icerik.ods")) {
    // 250 MB of cells, each a row of its own.
    const QByteArray cells = varied(
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>#</text:p>"
        "</table:table-cell></table:table-row>",
        scaled(250'000'000 / 120, scale), 12);
    return zip(path, {{QStringLiteral("content.xml"),
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
                       "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                       "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                       "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
                       "<office:spreadsheet><table:table table:name=\"S\">" +
                           cells +
                           "</table:table></office:spreadsheet></office:body></office:document-"
                           "content>"}});
  }
  if (name == QStringLiteral("boyut.xls")) {
    QFile f(path);
    const QByteArray data =
        BiffFixture::claimingWorkbook(4, 65536, 256, scaled(4'300'000, scale) + 4096);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
  }
  if (name == QStringLiteral("uzun.csv")) {
    // Every row wider and every cell longer than a list has them.
    QByteArray row = "Ad";
    for (int c = 0; c < 300; ++c) row += ';' + QByteArray(int(scaled(300, scale)), 'x');
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    for (qint64 r = scaled(100, scale); r > 0; --r)
      if (f.write(row + '\n') != row.size() + 1) return false;
    return true;
  }
  return false;
}

}  // namespace hostile
