// Files made to hurt: each is built here by a small generator and handed to the
// student import or the student package reader. Each must be refused (or read
// within its bounds) in under 2 s and 100 MB, and add nothing.
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <functional>

#include "../formats/BiffFixture.h"
#include "HostileFiles.h"
#include "PackageDatabaseFile.h"
#include "PeakMemory.h"
#include "SchoolFixture.h"
#include "exchange/StudentPackage.h"
#include "formats/ZipArchive.h"
#include "school/StudentImport.h"

using formats::ZipArchive;
using formats::ZipMember;

namespace {

QByteArray odsContent(const QByteArray& table) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
         "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
         "<office:spreadsheet><table:table table:name=\"S\">" +
         table + "</table:table></office:spreadsheet></office:body></office:document-content>";
}

QList<ZipMember> xlsxParts(const QByteArray& sheetData) {
  return {{QStringLiteral("xl/workbook.xml"),
           "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheets>"
           "<sheet name=\"S\" sheetId=\"1\"/></sheets></workbook>"},
          {QStringLiteral("xl/worksheets/sheet1.xml"),
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData>" +
               sheetData + "</sheetData></worksheet>"}};
}

// Marks the member `name` of a ZIP archive as a symbolic link in its central
// directory (Unix mode 0120777 in the external attributes).
void markAsLink(QByteArray& zip, const QByteArray& name) {
  for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4)) {
    const quint16 nameLength = qFromLittleEndian<quint16>(zip.constData() + at + 28);
    if (zip.mid(at + 46, nameLength) != name) continue;
    zip[at + 5] = 3;  // made on Unix
    qToLittleEndian<quint32>(0120777u << 16, zip.data() + at + 38);
  }
}

const QString kStudents = QStringLiteral(
    "CREATE TABLE TABLEOGRENCI (KAYITNO TEXT, NUMARASI TEXT, ADI TEXT, SOYADI TEXT, SINIFI TEXT, "
    "SEVIYE TEXT, TCKIMLIK TEXT, SILINDIMI TEXT)");

}  // namespace

class TestHostile : public QObject {
  Q_OBJECT
 private slots:
  void init() { m_fx.setUp(); }
  void cleanup() { m_fx.tearDown(); }

  void refusedQuicklyAndSmall_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");  // a part of the message; empty: read within bounds
    QTest::newRow("ods asks for 2^31 spaces") << "bosluk.ods"
                                              << "karakterden uzun";
    QTest::newRow("ods repeats a full row a million times") << "tekrar.ods"
                                                            << "hücre sayısı";
    QTest::newRow("xlsx cells at column XFD") << "uzak.xlsx"
                                              << "";
    QTest::newRow("xlsx row past the sheet's end") << "satir.xlsx"
                                                   << "çok fazla satır";
    QTest::newRow("xls claims 65536 x 256 cells") << "boyut.xls"
                                                  << "taşıyamaz";
    QTest::newRow("zip bomb in a workbook") << "bomba.xlsx"
                                            << "katından";
    QTest::newRow("member is a link") << "baglanti.xlsx"
                                      << "bağlantı";
    QTest::newRow("member outside the folder") << "yol.xlsx"
                                               << "güvenli";
    QTest::newRow("not an archive") << "metin.xlsx"
                                    << "Dosya tanınmadı";
    QTest::newRow("csv quote never closed") << "tirnak.csv"
                                            << "Satır 2: kapanmayan tırnak";
    QTest::newRow("package table is a recursive view") << "gorunum.ckk"
                                                       << "sıradan bir tablo";
    QTest::newRow("package carries a trigger") << "tetik.ckk"
                                               << "tetikleyici";
    QTest::newRow("package name is a blob") << "ikili.ckk"
                                            << "Satır 2: ADI metin değil";
    QTest::newRow("package name too long") << "uzun.ckk"
                                           << "Satır 1: ADI çok uzun";
    QTest::newRow("package name empty") << "bos.ckk"
                                        << "Satır 1: öğrencinin adı boş";
    QTest::newRow("package bomb") << "bomba.ckk"
                                  << "katından";
    QTest::newRow("package lends a long default to 20,000 rows") << "varsayilan.ckk"
                                                                 << "tablo tanımı çok uzun";
  }
  void refusedQuicklyAndSmall() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    SchoolFixture::addStudent(QStringLiteral("1"), QStringLiteral("Var"), QStringLiteral("5-A"));
    const QString path = m_fx.path(name);
    QVERIFY(make(name, path));

    const PeakMemory memory;
    QElapsedTimer clock;
    clock.start();
    QString error;
    if (name.endsWith(QStringLiteral(".ckk"))) {
      const Result<int> added = exchange::StudentPackage(SchoolFixture::db()).read(path);
      if (!added) error = added.error();
    } else {
      school::StudentImport imp(SchoolFixture::db());
      const Status opened = imp.openFile(path);
      if (!opened) {
        error = opened.error();
      } else {
        QVERIFY(imp.columnEntries().size() <= formats::Workbook::kMaxColumns);
        (void)imp.addPair(0, QStringLiteral("ADI"));
        (void)imp.run(QStringLiteral("5"), m_fx.path(QStringLiteral("s.xlsx")));
      }
    }
    const qint64 ms = clock.elapsed();
    const double mb = memory.grownMb();
    qInfo("%s: %lld ms, %.1f MB, \"%s\"", qPrintable(name), ms, mb, qPrintable(error));

    if (refusal.isEmpty())
      QVERIFY2(error.isEmpty(), qPrintable(error));
    else
      QVERIFY2(error.contains(refusal), qPrintable(error));
    QVERIFY2(ms < 2000, qPrintable(QString::number(ms)));
    QVERIFY2(mb < 100 * PeakMemory::kSanitizerFactor, qPrintable(QString::number(mb)));
    QCOMPARE(SchoolFixture::count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), 1);
  }

  // Parts that unpack to hundreds of megabytes (shared strings no cell needs,
  // junk parts, a content.xml of a million rows) are parsed as they unpack or
  // passed over unread; what is kept stops at the workbook's bounds; an .xls
  // whose four sheets claim 16 million cells each is refused before the reader
  // library reserves them.
  void bigPartsStreamedWithinBounds_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");  // empty: read
    QTest::newRow("xlsx, 200 MB of shared strings") << "paylasilan.xlsx"
                                                    << "fazla veri var (en çok 128 MB)";
    QTest::newRow("xlsx, two junk parts of 250 MB") << "cop.xlsx"
                                                    << "";
    QTest::newRow("ods, 250 MB content.xml") << "icerik.ods"
                                             << "çok fazla satır";
    QTest::newRow("xls, four sheets of 65536 x 256") << "boyut.xls"
                                                     << "taşıyamaz";
    QTest::newRow("csv, 300 columns of 300 characters") << "uzun.csv"
                                                        << "";
  }
  void bigPartsStreamedWithinBounds() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    const QString path = m_fx.path(name);
    QVERIFY(hostile::write(name, path));
    const PeakMemory memory;
    QElapsedTimer clock;
    clock.start();
    school::StudentImport imp(SchoolFixture::db());
    const Status opened = imp.openFile(path);
    const qint64 ms = clock.elapsed();
    qInfo("%s: %lld ms, %.1f MB, \"%s\"", qPrintable(name), ms, memory.grownMb(),
          qPrintable(opened.ok() ? QString() : opened.error()));
    if (refusal.isEmpty())
      QVERIFY2(opened, qPrintable(opened.error()));
    else
      QVERIFY2(!opened && opened.error().contains(refusal), qPrintable(opened.error()));
    QVERIFY2(memory.grownMb() < 250 * PeakMemory::kSanitizerFactor,
             qPrintable(QString::number(memory.grownMb())));
    QVERIFY2(ms < 30000, qPrintable(QString::number(ms)));  // under 6 s on an idle machine
  }

 private:
  bool zip(const QString& path, const QList<ZipMember>& members) {
    return ZipArchive::write(path, members).ok();
  }
  bool bytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
  }
  bool package(const QString& path, const QStringList& sql) {
    const QByteArray db = packageDatabase(path + QStringLiteral(".db"), sql);
    return !db.isEmpty() && zip(path, {{exchange::StudentPackage::kMember, db}});
  }

  bool make(const QString& name, const QString& path) {
    if (name == QStringLiteral("bosluk.ods"))
      return zip(path, {{QStringLiteral("content.xml"),
                         odsContent("<table:table-row><table:table-cell office:value-type="
                                    "\"string\"><text:p>A<text:s text:c=\"2147483647\"/>B"
                                    "</text:p></table:table-cell></table:table-row>")}});
    if (name == QStringLiteral("tekrar.ods"))
      return zip(path, {{QStringLiteral("content.xml"),
                         odsContent("<table:table-row table:number-rows-repeated=\"2147483647\">"
                                    "<table:table-cell table:number-columns-repeated="
                                    "\"2147483647\" office:value-type=\"string\"><text:p>x"
                                    "</text:p></table:table-cell></table:table-row>")}});
    if (name == QStringLiteral("uzak.xlsx")) {
      QByteArray rows;
      for (int r = 1; r <= 20000; ++r)
        rows += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"XFD" + QByteArray::number(r) +
                "\" t=\"inlineStr\"><is><t>x</t></is></c></row>";
      return zip(path, xlsxParts(rows));
    }
    if (name == QStringLiteral("satir.xlsx"))
      return zip(path, xlsxParts("<row r=\"2000000\"><c r=\"A2000000\" t=\"inlineStr\"><is><t>x"
                                 "</t></is></c></row>"));
    if (name == QStringLiteral("boyut.xls"))
      return bytes(path, BiffFixture::workbook(QStringLiteral("S"),
                                               {{0, 0, QStringLiteral("Ad")}, {65535, 255, 1.0}}));
    if (name == QStringLiteral("bomba.xlsx"))
      return zip(path, xlsxParts(QByteArray(64 * 1024 * 1024, ' ')));
    if (name == QStringLiteral("baglanti.xlsx")) {
      if (!zip(path, xlsxParts({}))) return false;
      QFile f(path);
      if (!f.open(QIODevice::ReadWrite)) return false;
      QByteArray data = f.readAll();
      markAsLink(data, "xl/worksheets/sheet1.xml");
      f.seek(0);
      return f.write(data) == data.size();
    }
    if (name == QStringLiteral("yol.xlsx")) {
      // Written under a harmless name of the same length, then renamed inside.
      const QByteArray harmless = "aa/aa/evil.xml";
      if (!zip(path, xlsxParts({}) << ZipMember{QString::fromLatin1(harmless), "x"})) return false;
      QFile f(path);
      if (!f.open(QIODevice::ReadWrite)) return false;
      QByteArray data = f.readAll();
      data.replace(harmless, "../../evil.xml");
      f.seek(0);
      return f.write(data) == data.size();
    }
    if (name == QStringLiteral("metin.xlsx")) return bytes(path, "Ad;Soyad\nAli;Er\n");
    if (name == QStringLiteral("tirnak.csv"))
      return bytes(path, "Ad;Soyad\n\"Ali;Er\n" + QByteArray(100000, 'x') + "\n");
    if (name == QStringLiteral("gorunum.ckk"))
      return package(path,
                     {QStringLiteral("CREATE VIEW TABLEOGRENCI AS WITH RECURSIVE n(i) AS (SELECT 1 "
                                     "UNION ALL SELECT i+1 FROM n) SELECT i AS KAYITNO, 'Ad'||i AS "
                                     "ADI FROM n ORDER BY random()")});
    if (name == QStringLiteral("tetik.ckk"))
      return package(path, {kStudents,
                            QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI) VALUES "
                                           "('1','Ali')"),
                            QStringLiteral("CREATE TABLE X (A)"),
                            QStringLiteral("CREATE TRIGGER T AFTER INSERT ON X BEGIN "
                                           "DELETE FROM TABLEOGRENCI; END")});
    if (name == QStringLiteral("ikili.ckk"))
      return package(path,
                     {kStudents, QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI) VALUES "
                                                "('1','Ali'),('2',x'00ff00ff')")});
    if (name == QStringLiteral("uzun.ckk"))
      return package(path, {kStudents, QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI) "
                                                      "VALUES ('1',printf('%.300c','x'))")});
    if (name == QStringLiteral("bos.ckk"))
      return package(path, {kStudents, QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI) "
                                                      "VALUES ('1','   ')")});
    if (name == QStringLiteral("varsayilan.ckk")) return hostile::write(name, path);
    if (name == QStringLiteral("bomba.ckk"))
      return zip(path, {{exchange::StudentPackage::kMember, QByteArray(64 * 1024 * 1024, '\0')}});
    return false;
  }

  SchoolFixture m_fx;
};

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
