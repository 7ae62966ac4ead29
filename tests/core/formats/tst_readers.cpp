#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "BiffFixture.h"
#include "formats/CsvReader.h"
#include "formats/Workbook.h"
#include "formats/XlsReader.h"
#include "formats/XlsxWriter.h"
#include "formats/ZipArchive.h"

using formats::Workbook;
using formats::ZipArchive;
using formats::ZipMember;

namespace {

QByteArray xml(const char* text) { return QByteArray(text); }

// A hand-made xlsx: shared strings with a rich run and a phonetic hint, an
// inline string, numbers (one with a trailing .0, one in exponent form), a gap
// in the columns and a row given out of the running order.
QList<ZipMember> handMadeXlsx() {
  return {
      {QStringLiteral("[Content_Types].xml"),
       xml("<?xml version=\"1.0\"?><Types "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>")},
      {QStringLiteral("xl/workbook.xml"),
       xml("<?xml version=\"1.0\"?><workbook "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
           "relationships\"><sheets>"
           "<sheet name=\"5-A Listesi\" sheetId=\"1\" r:id=\"rId7\"/><sheet name=\"Boş\" "
           "sheetId=\"2\" r:id=\"rId8\"/>"
           "</sheets></workbook>")},
      {QStringLiteral("xl/_rels/workbook.xml.rels"),
       xml("<?xml version=\"1.0\"?><Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId7\" Target=\"worksheets/liste.xml\" Type=\"x\"/>"
           "<Relationship Id=\"rId8\" Target=\"/xl/worksheets/bos.xml\" "
           "Type=\"x\"/></Relationships>")},
      {QStringLiteral("xl/sharedStrings.xml"),
       xml("<?xml version=\"1.0\"?><sst "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<si><t>S.No</t></si><si><t>Adı Soyadı</t></si>"
           "<si><r><t>Çağrı </t></r><r><rPr><b/></rPr><t>Öztürk</t></r><rPh><t>x</t></rPh></si>"
           "<si><t xml:space=\"preserve\"> Türkiye'nin </t></si></sst>")},
      {QStringLiteral("xl/worksheets/liste.xml"),
       xml("<?xml version=\"1.0\"?><worksheet "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" "
           "t=\"s\"><v>1</v></c></row>"
           "<row r=\"3\"><c r=\"A3\"><v>2.0</v></c><c r=\"C3\" t=\"inlineStr\"><is><t>İnci "
           "Işık</t></is></c>"
           "<c r=\"D3\"><v>1.2345678901E10</v></c></row>"
           "<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"C2\" t=\"s\"><v>2</v></c><c "
           "r=\"D2\"><v>0.5</v></c>"
           "<c r=\"E2\" t=\"s\"><v>3</v></c></row>"
           "</sheetData></worksheet>")},
      {QStringLiteral("xl/worksheets/bos.xml"),
       xml("<?xml version=\"1.0\"?><worksheet "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData/></worksheet>")},
  };
}

}  // namespace

class TestReaders : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
  }

  void xlsxSharedAndInlineStrings() {
    const QString path = m_dir->filePath(QStringLiteral("liste.xlsx"));
    QVERIFY(ZipArchive::write(path, handMadeXlsx()).ok());
    Result<Workbook> book = Workbook::open(path);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book->sheetNames(),
             (QStringList{QStringLiteral("5-A Listesi"), QStringLiteral("Boş")}));
    const QList<QStringList>& rows = book->sheet(0).rows;
    QCOMPARE(rows.size(), 3);
    // Empty B keeps C in the third position.
    QCOMPARE(rows.at(0),
             (QStringList{QStringLiteral("S.No"), QString(), QStringLiteral("Adı Soyadı")}));
    QCOMPARE(rows.at(1).value(0), QStringLiteral("1"));
    QCOMPARE(rows.at(1).value(2),
             QStringLiteral("Çağrı Öztürk"));  // runs joined, phonetic hint dropped
    QCOMPARE(rows.at(1).value(3), QStringLiteral("0.5"));
    QCOMPARE(rows.at(1).value(4), QStringLiteral(" Türkiye'nin "));
    QCOMPARE(rows.at(2).value(0), QStringLiteral("2"));  // "2.0" without its ".0"
    QCOMPARE(rows.at(2).value(2), QStringLiteral("İnci Işık"));
    QCOMPARE(rows.at(2).value(3), QStringLiteral("12345678901"));  // identity numbers stay whole
    QVERIFY(book->sheet(1).rows.isEmpty());
  }

  void xlsxWriterRoundTrip() {
    const QString path = m_dir->filePath(QStringLiteral("çıktı.xlsx"));
    formats::XlsxWriter w(path);
    w.addSheet(QStringLiteral("Sayfa/1"));
    w.write(0, 0, QStringLiteral("Başlık"), formats::XlsxWriter::Style::Title);
    w.writeNumber(3, 0, 1);
    w.write(3, 2, QStringLiteral("Ğ\nş"));
    QVERIFY(w.close().ok());
    Result<Workbook> book = Workbook::open(path);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book->sheetNames(), QStringList{QStringLiteral("Sayfa_1")});
    QCOMPARE(book->cell(0, 0, 0), QStringLiteral("Başlık"));
    QCOMPARE(book->cell(0, 3, 0), QStringLiteral("1"));
    QCOMPARE(book->cell(0, 3, 1), QString());
    QCOMPARE(book->cell(0, 3, 2), QStringLiteral("Ğ\nş"));
  }

  void contentDecidesOverTheName() {
    const QString path = m_dir->filePath(QStringLiteral("aslinda-xlsx.xls"));
    QVERIFY(ZipArchive::write(path, handMadeXlsx()).ok());
    Result<Workbook> book = Workbook::open(path);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book->cell(0, 1, 2), QStringLiteral("Çağrı Öztürk"));
  }

  void ods() {
    const QByteArray content(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:"
        "spreadsheet>"
        "<table:table table:name=\"Şube\">"
        "<table:table-row><table:table-cell "
        "office:value-type=\"string\"><text:p>No</text:p></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"2\"/>"
        "<table:table-cell office:value-type=\"string\"><text:p>Ad<text:s "
        "text:c=\"2\"/>Soyad</text:p>"
        "</table:table-cell><table:table-cell "
        "table:number-columns-repeated=\"16380\"/></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell/></table:table-row>"
        "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"41\">"
        "<text:p>41,00</text:p></table:table-cell><table:table-cell office:value-type=\"string\">"
        "<text:p>Gül</text:p><text:p>Şen</text:p></table:table-cell></table:table-row>"
        "<table:table-row "
        "table:number-rows-repeated=\"1048570\"><table:table-cell/></table:table-row>"
        "</table:table></office:spreadsheet></office:body></office:document-content>");
    const QString path = m_dir->filePath(QStringLiteral("liste.ods"));
    QVERIFY(ZipArchive::write(path, {{QStringLiteral("mimetype"),
                                      "application/vnd.oasis.opendocument.spreadsheet"},
                                     {QStringLiteral("content.xml"), content}})
                .ok());
    Result<Workbook> book = Workbook::open(path);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book->sheetNames(), QStringList{QStringLiteral("Şube")});
    const QList<QStringList>& rows = book->sheet(0).rows;
    QCOMPARE(rows.size(), 4);  // the trailing million empty rows are dropped
    QCOMPARE(rows.at(0), (QStringList{QStringLiteral("No"), QString(), QString(),
                                      QStringLiteral("Ad  Soyad")}));
    QVERIFY(rows.at(1).isEmpty());
    QCOMPARE(rows.at(3), (QStringList{QStringLiteral("41"), QStringLiteral("Gül\nŞen")}));
  }

  void csv_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("second");
    // Windows-1254: Ş=0xDE ı=0xFD ğ=0xF0 İ=0xDD
    QTest::newRow("1254 semicolon")
        << QByteArray(
               "No;Ad;Soyad\r\n12;\xDD"
               "smail;\xDE"
               "a\xF0\xFD"
               "r\r\n")
        << QStringList{QStringLiteral("12"), QStringLiteral("İsmail"), QStringLiteral("Şağır")};
    QTest::newRow("utf8 comma quoted")
        << QByteArray("\xEF\xBB\xBFNo,Ad,Soyad\n7,\"Ayşe, Nur\",\"Türkiye'nin \"\"en\"\"\"\n")
        << QStringList{QStringLiteral("7"), QStringLiteral("Ayşe, Nur"),
                       QStringLiteral("Türkiye'nin \"en\"")};
    QTest::newRow("empty cells keep positions")
        << QByteArray("A;B;C\n;;x\n") << QStringList{QString(), QString(), QStringLiteral("x")};
  }
  void csv() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, second);
    const QString path = m_dir->filePath(QStringLiteral("liste.csv"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    Result<Workbook> book = Workbook::open(path);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book->sheetNames(), QStringList{QStringLiteral("liste")});
    QCOMPARE(book->sheet(0).rows.size(), 2);
    QCOMPARE(book->sheet(0).rows.at(1), second);
  }

  void xls() {
    const QString path = m_dir->filePath(QStringLiteral("liste.xls"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        BiffFixture::workbook(QStringLiteral("Şube 5-A"), {{0, 0, QStringLiteral("S.No")},
                                                           {0, 2, QStringLiteral("Adı")},
                                                           {1, 0, 1.0},
                                                           {1, 1, 12345678901.0},
                                                           {1, 2, QStringLiteral("Çiğdem Işık")},
                                                           {2, 0, 2.5}}));
    f.close();
    Result<Workbook> book = Workbook::open(path);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book->sheetNames(), QStringList{QStringLiteral("Şube 5-A")});
    QCOMPARE(book->sheet(0).rows.at(0),
             (QStringList{QStringLiteral("S.No"), QString(), QStringLiteral("Adı")}));
    QCOMPARE(book->sheet(0).rows.at(1),
             (QStringList{QStringLiteral("1"), QStringLiteral("12345678901"),
                          QStringLiteral("Çiğdem Işık")}));
    QCOMPARE(book->sheet(0).rows.at(2), QStringList{QStringLiteral("2.5")});
  }

  // A shared string cut by the record's end goes on in a CONTINUE record (with
  // its own width flag); the next string's formatting runs follow its text.
  void xlsSharedStringAcrossRecords() {
    using B = BiffFixture;
    const QString name = QStringLiteral("Çiğdem Işık");
    const auto wide = [](const QString& s) {
      QByteArray b;
      for (QChar c : s) b += B::u16(c.unicode());
      return b;
    };
    B::Extra split;
    split.sst = B::u32(2) + B::u32(2) + B::u16(static_cast<quint16>(name.size())) +
                QByteArray(1, '\x01') + wide(name.left(4));
    split.globals = B::record(0x003C, QByteArray(1, '\x01') + wide(name.mid(4)) + B::u16(2) +
                                          QByteArray(1, '\x09') + B::u16(1) +
                                          wide(QStringLiteral("Ad")) + B::u32(0));
    const QString path = m_dir->filePath(QStringLiteral("bolunmus.xls"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        B::workbook(QStringLiteral("liste"), {{0, 0, name}, {0, 1, QStringLiteral("Ad")}}, split));
    f.close();
    Result<Workbook> book = Workbook::open(path);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book->sheet(0).rows.at(0), (QStringList{name, QStringLiteral("Ad")}));
  }

  // Shapes the .xls library would mishandle (copy past a buffer by a length it
  // trusts, reserve memory for a size it guesses, count dates for minutes) are
  // refused before it opens the file, saying what is wrong.
  void xlsHostileShapesRefused_data() {
    using B = BiffFixture;
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QList<B::Entry> cells{{0, 0, QStringLiteral("Ad")}, {1, 0, 1.0}};
    const auto book = [&](const B::Extra& extra) {
      return B::workbook(QStringLiteral("liste"), cells, extra);
    };
    const auto number = [](quint16 row, quint16 column, quint16 format, double value) {
      QByteArray bits(8, '\0');
      qToLittleEndian(value, bits.data());
      return B::record(0x0203, B::u16(row) + B::u16(column) + B::u16(format) + bits);
    };

    QByteArray longName = book({});
    longName.replace(B::kRootEntryAt + 0x40, 2, B::u16(0xFFFF));
    QTest::newRow("directory name past its field") << longName << "iç dizinindeki bir ad";
    QByteArray noBof = book({});
    noBof.replace(B::kStreamAt, 2, B::u16(0x0001));
    QTest::newRow("stream not opened by BOF") << noBof << "Dosya bozuk";
    QByteArray shortStream = book({});
    shortStream.replace(B::kBookEntryAt + 0x78, 4, B::u32(600));
    QTest::newRow("stream shorter than its sectors") << shortStream << "bölümleri söylenen";
    // The last sector leads back to the first: a claimed 2 GB would be read round and round.
    QByteArray loop = book({});
    const auto lastSector = static_cast<quint32>((loop.size() - B::kStreamAt) / 512 + 1);
    loop.replace(512 + 4 * lastSector, 4, B::u32(2));
    loop.replace(B::kBookEntryAt + 0x78, 4, B::u32(0x7FFFFFF0));
    QTest::newRow("stream chain in a loop") << loop << "bölümleri söylenen";

    B::Extra label;
    label.sheet = B::record(0x0204, B::u16(1) + B::u16(0) + B::u16(0) + B::u16(30000) +
                                        QByteArray(1, '\x01') + B::u16('A'));
    QTest::newRow("cell text past its record") << book(label) << "hücre metni";
    B::Extra twice;  // the library would keep the first text of the cell forever
    twice.sheet = B::record(0x0204, B::u16(0) + B::u16(0) + B::u16(0) + B::u16(2) +
                                        QByteArray(1, '\0') + QByteArray("Ad"));
    QTest::newRow("one cell written twice") << book(twice) << "aynı hücre iki kez";
    B::Extra resized;  // each size reserves the sheet's cells anew, the old ones kept
    resized.sheet = B::record(0x0200, B::u32(0) + B::u32(2) + B::u16(0) + B::u16(1) + B::u16(0));
    QTest::newRow("sheet sized twice") << book(resized) << "boyutu birden çok kez";
    B::Extra split;  // 5000 characters begun, 10 bytes given in the next record
    split.sst = B::u32(1) + B::u32(1) + B::u16(5000) + QByteArray(1, '\x01') + QByteArray(20, 'a');
    split.globals = B::record(0x003C, QByteArray(1, '\x01') + QByteArray(10, 'b'));
    QTest::newRow("shared text past its continuation") << book(split) << "paylaşılan metin";
    B::Extra format;
    format.globals = B::record(0x041E, B::u16(164) + B::u16(40000) + QByteArray("\0yy", 3));
    QTest::newRow("number format past its record") << book(format) << "sayı biçimi";
    B::Extra styles;
    for (int i = 0; i < 8193; ++i) styles.globals += B::record(0x00E0, QByteArray(20, '\0'));
    QTest::newRow("more cell formats than the table") << book(styles) << "hücre biçimi";
    B::Extra date;  // format 14 is a date: the library counts 5,000,000 days from 1900
    date.globals = B::record(0x00E0, B::u16(0) + B::u16(14) + QByteArray(16, '\0'));
    QTest::newRow("date past year 9999")
        << B::workbook(QStringLiteral("liste"), {{0, 0, QStringLiteral("Ad")}, {1, 0, 5e6}}, date)
        << "9999";
    B::Extra unsized;  // no DIMENSIONS: sized from the farthest cell
    unsized.sized = false;
    unsized.sheet = number(65535, 255, 0, 1.0);
    QTest::newRow("unsized sheet with a far cell") << book(unsized) << "65536 satır × 256 sütun";
    B::Extra texts;  // the library would hold 4 bytes for each of 4,000,500 characters
    for (int i = 0; i < 500; ++i)
      texts.sheet += B::record(0x0204, B::u16(1) + B::u16(0) + B::u16(0) + B::u16(8001) +
                                           QByteArray(1, '\0') + QByteArray(8001, 'a'));
    QTest::newRow("more text than a list") << book(texts) << "çok uzun";
  }
  void xlsHostileShapesRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = m_dir->filePath(QStringLiteral("kotu.xls"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    Result<Workbook> book = Workbook::open(path);
    QVERIFY(!book.ok());
    QVERIFY2(book.error().contains(message), qPrintable(book.error()));
  }
  void xlsTooLargeRefusedUnread() {
    const QString path = m_dir->filePath(QStringLiteral("buyuk.xls"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(BiffFixture::workbook(QStringLiteral("liste"), {{0, 0, 1.0}}));
    QVERIFY(f.resize(formats::XlsReader::kMaxBytes + 1));  // sparse: nothing to write
    f.close();
    Result<Workbook> book = Workbook::open(path);
    QVERIFY(!book.ok());
    QVERIFY2(book.error().contains(QStringLiteral("çok büyük")), qPrintable(book.error()));
  }

  void badFilesGiveTurkishErrors_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("xlsx not a zip") << "a.xlsx" << QByteArray("this is not a zip");
    QTest::newRow("xls not biff") << "a.xls" << QByteArray(4096, 'x');
    QTest::newRow("ods not a zip") << "a.ods" << QByteArray("PK\x03\x04garbage");
    QTest::newRow("unknown kind") << "a.docx" << QByteArray("x");
  }
  void badFilesGiveTurkishErrors() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString path = m_dir->filePath(name);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    Result<Workbook> book = Workbook::open(path);
    QVERIFY(!book.ok());
    QVERIFY(!book.error().isEmpty());
  }

  void brokenSheetNamesThePart() {
    QList<ZipMember> parts = handMadeXlsx();
    for (ZipMember& m : parts)
      if (m.name == QStringLiteral("xl/worksheets/liste.xml")) m.data.chop(30);  // cut mid-element
    const QString path = m_dir->filePath(QStringLiteral("kirik.xlsx"));
    QVERIFY(ZipArchive::write(path, parts).ok());
    Result<Workbook> book = Workbook::open(path);
    QVERIFY(!book.ok());
    QVERIFY2(book.error().contains(QStringLiteral("xl/worksheets/liste.xml")),
             qPrintable(book.error()));
  }

  void unsafeMembersRefused_data() {
    QTest::addColumn<QString>("member");
    QTest::newRow("parent") << "../dis.txt";
    QTest::newRow("nested parent") << "a/../../dis.txt";
    QTest::newRow("absolute") << "/etc/x";
    QTest::newRow("drive") << "C:/x";
  }
  void unsafeMembersRefused() {
    QFETCH(QString, member);
    QVERIFY(!ZipArchive::safeMemberName(member));
    // An archive carrying such a member (written past our own check with a
    // harmless name, then patched) is refused whole when read.
    const QString safe = QString(member.size(), QLatin1Char('a'));
    const QString path = m_dir->filePath(QStringLiteral("kotu.zip"));
    QVERIFY(ZipArchive::write(path, {{QStringLiteral("iyi.txt"), "1"}, {safe, "2"}}).ok());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    QCOMPARE(bytes.count(safe.toUtf8()), 2);  // local header and central directory
    bytes.replace(safe.toUtf8(), member.toUtf8());
    f.seek(0);
    f.write(bytes);
    f.close();
    Result<QList<ZipMember>> read = ZipArchive::readAll(path);
    QVERIFY(!read.ok());
    QVERIFY(read.error().contains(QStringLiteral("güvenli")));
  }

  void turkishMemberNames() {
    const QString path = m_dir->filePath(QStringLiteral("adlar.zip"));
    QVERIFY(ZipArchive::write(path, {{QStringLiteral("Öğrenci Şubesi/ılık.txt"), "içerik"}}).ok());
    Result<QByteArray> data =
        ZipArchive::readMember(path, QStringLiteral("Öğrenci Şubesi/ılık.txt"));
    QVERIFY2(data.ok(), qPrintable(data.error()));
    QCOMPARE(data.value(), QByteArray("içerik"));
  }

 private:
  std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestReaders)
#include "tst_readers.moc"
