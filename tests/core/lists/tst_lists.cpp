#include <QLocale>
#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "curriculum/CurriculumFilter.h"
#include "curriculum/CurriculumLists.h"
#include "lists/DefinitionTemplates.h"
#include "lists/Definitions.h"
#include "lists/FilterLists.h"
#include "lists/FilterProxy.h"
#include "lists/GridLayout.h"
#include "lists/RowFilter.h"
#include "lists/SutunBaslik.h"
#include "lists/TableModel.h"
#include "lists/TurkishText.h"
#include "store/Institution.h"
#include "store/Store.h"

using lists::LayoutColumn;

class TestLists : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;
  static inline store::Store* s_store = nullptr;

  static store::Store& db() { return *s_store; }
  static void exec(const QString& sql, const QVariantList& params = {}) {
    const Status s = db().run(sql, params);
    QVERIFY2(s.ok(), qPrintable(s.error()));
  }
  static int count(const QString& sql) { return db().scalar(sql)->toInt(); }
  static void student(const QString& kayitNo, const QString& adi, const QString& soyadi,
                      const QString& sinifi, const QString& tarih) {
    exec(QStringLiteral(
             "INSERT INTO TABLEOGRENCI (KAYITNO, ADI, SOYADI, SINIFI, SEVIYE) VALUES (?,?,?,?,?)"),
         {kayitNo, adi, soyadi, sinifi, tarih});
  }
  static void param(const QString& name, const QString& value, const QString& marker = {}) {
    exec(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI, PARAMETREDEGERI, "
                        "PARAMETREACIKLAMA) VALUES (?,?,?)"),
         {name, value, marker});
  }
  static void definition(const QString& level, const QString& course, const QString& unit,
                         const QString& topic, const QString& outcome) {
    exec(QStringLiteral("INSERT INTO TABLETANIMLAMALAR (SEVIYE, DERS, UNITE, KONU, KAZANIM) VALUES "
                        "(?,?,?,?,?)"),
         {level, course, unit, topic, outcome});
  }
  // The visible values of one grid column, in order.
  static QStringList shown(const lists::FilterProxy& proxy, int column) {
    QStringList out;
    for (int r = 0; r < proxy.rowCount(); ++r) out << proxy.index(r, column).data().toString();
    return out;
  }

 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir));
    QVERIFY(m_dir->emptySeededLists());
    s_store = &m_dir->store();
  }
  void cleanup() {
    s_store = nullptr;
    m_dir.reset();
  }

  void turkishCase_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::newRow("dotted and dotless") << "ılık istanbul"
                                        << "ILIK İSTANBUL"
                                        << "ılık istanbul";
    QTest::newRow("capitals") << "IŞIK İĞNE"
                              << "IŞIK İĞNE"
                              << "ışık iğne";
    QTest::newRow("letters") << "İğüşöç"
                             << "İĞÜŞÖÇ"
                             << "iğüşöç";
    QTest::newRow("apostrophe") << "Türkiye'nin"
                                << "TÜRKİYE'NİN"
                                << "türkiye'nin";
  }
  void turkishCase() {
    QFETCH(QString, text);
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QCOMPARE(lists::turkishUpper(text), upper);
    QCOMPARE(lists::turkishLower(text), lower);
    // Same answer as the Turkish locale, so SQL (TRUPPER/TRLOWER) and code agree.
    const QLocale tr(QLocale::Turkish, QLocale::Turkey);
    QCOMPARE(lists::turkishUpper(text), tr.toUpper(text));
    QCOMPARE(lists::turkishLower(text), tr.toLower(text));
  }

  // Searches and filters read "â î û" as "a i u" (the fold); SQL's TRFOLD agrees.
  void circumflexFolds() {
    QCOMPARE(lists::turkishFold(u"Sade HÂLİ, Kâtip ve Û"), QStringLiteral("sade hali, katip ve u"));
    QCOMPARE(lists::turkishFold(u"ha\u0302li"), QStringLiteral("hali"));
    QCOMPARE(lists::turkishFold(u"IŞIK"), QStringLiteral("ışık"));  // dotless stays dotless
    QCOMPARE(db().scalar(QStringLiteral("SELECT TRFOLD(?)"), {QStringLiteral("Hâlâ İYİ")})
                 .valueOr({})
                 .toString(),
             QStringLiteral("hala iyi"));
  }

  void captionMap() {
    QCOMPARE(lists::sutunBaslik(QStringLiteral("KUMANDAADRESI")), QStringLiteral("Kumanda No"));
    QCOMPARE(lists::sutunBaslik(QStringLiteral("TOPLAMSURE")), QStringLiteral("Süre"));
    QCOMPARE(lists::sutunBaslik(QStringLiteral("BOSSAYI")), QStringLiteral("B"));
    QCOMPARE(lists::sutunBaslik(QStringLiteral("BILINMEYEN")), QStringLiteral("BILINMEYEN"));
    QCOMPARE(lists::sutunAdiBasliktan(QStringLiteral("Adı Soyadı")), QStringLiteral("ADI"));
    QCOMPARE(lists::sutunAdiBasliktan(QStringLiteral(" SINIFI ")), QStringLiteral("SINIFI"));
    QCOMPARE(lists::sutunAdiBasliktan(QStringLiteral("t.c.kimlik no")), QStringLiteral("TCKIMLIK"));
    QCOMPARE(lists::sutunAdiBasliktan(QStringLiteral("Telefon")), QString());
    QVERIFY(lists::icSutunMu(QStringLiteral("silindimi")));
    QVERIFY(!lists::icSutunMu(QStringLiteral("ADI")));
  }

  void columnKinds() {
    student(QStringLiteral("1"), QStringLiteral("Ali"), QStringLiteral("Kaya"),
            QStringLiteral("5-A"), QStringLiteral("01.02.2025"));
    student(QStringLiteral("2"), QStringLiteral("Can"), QString(), QStringLiteral("5-B"),
            QString());
    lists::TableModel m;
    const Status s =
        m.load(db().db(),
               QStringLiteral("SELECT KAYITNO, ADI, SEVIYE AS TARIH, VAL(KAYITNO) * 1.5 AS NET "
                              "FROM TABLEOGRENCI WHERE ADI<>? ORDER BY ID"),
               {QStringLiteral("Türkiye'nin")});
    QVERIFY2(s.ok(), qPrintable(s.error()));
    QCOMPARE(m.rows(), 2);
    QCOMPARE(m.kind(0), lists::ColumnKind::Text);  // stored as text: keys stay text
    QCOMPARE(m.kind(1), lists::ColumnKind::Text);
    QCOMPARE(m.kind(2), lists::ColumnKind::Date);  // empty cells do not spoil a date column
    QCOMPARE(m.kind(3), lists::ColumnKind::Number);
    QCOMPARE(m.text(1, 3), QStringLiteral("3.0"));
    QCOMPARE(m.number(1, 3), 3.0);
    QVERIFY(!m.load(db().db(), QStringLiteral("SELECT NOPE FROM TABLEOGRENCI")).ok());
    QCOMPARE(m.rows(), 2);  // a failed load keeps what was shown
    QVERIFY(m.load(db().db(), QStringLiteral("SELECT KAYITNO FROM TABLEOGRENCI"), {},
                   {{QStringLiteral("kayitno"), lists::ColumnKind::Number}})
                .ok());
    QCOMPARE(m.kind(0), lists::ColumnKind::Number);
  }

  void filterRules_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");  // KAYITNO of the rows kept
    QTest::newRow("two words in any order") << 1 << "yılmaz ayşe" << QStringList{"1", "3"};
    QTest::newRow("words in order") << 1 << "ayşe yılmaz" << QStringList{"1", "3"};
    QTest::newRow("turkish case dotted") << 1 << "iğüşöç" << QStringList{"4"};
    QTest::newRow("turkish case dotless") << 1 << "ışık" << QStringList{"5"};
    QTest::newRow("i is not ı") << 1 << "isik" << QStringList{};
    QTest::newRow("circumflex as its letter") << 1 << "kâya" << QStringList{"2"};
    QTest::newRow("apostrophe and percent removed") << 1 << "a%y'şe" << QStringList{"1", "2", "3"};
    QTest::newRow("valid date one day") << 2 << "01.02.2025" << QStringList{"1", "4"};
    QTest::newRow("short date form") << 2 << "1.2.2025" << QStringList{"1", "4"};
    QTest::newRow("invalid date filters nothing")
        << 2 << "31.02.2025" << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("no date filters nothing")
        << 2 << "şubat" << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("number equal") << 3 << "4,5" << QStringList{"3"};
    QTest::newRow("number text") << 3 << "4.5" << QStringList{"3"};
    QTest::newRow("not a number") << 3 << "dört" << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("blank box") << 1 << "   " << QStringList{"1", "2", "3", "4", "5"};
  }
  void filterRules() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    student("1", "Ayşe Nur", "Yılmaz", "5-A", "01.02.2025");
    student("2", "Ayşe", "Kaya", "5-A", "02.02.2025");
    student("3", "Yılmaz Ayşe", "Demir", "5-B", "03.02.2025");
    student("4", "İğüşöç", "Öz", "6-A", "01.02.2025 10:20:00");
    student("5", "IŞIK", "Er", "6-A", "");
    lists::TableModel m;
    QVERIFY(m.load(db().db(),
                   QStringLiteral("SELECT KAYITNO, ADI || ' ' || SOYADI AS ADI, SEVIYE AS TARIH, "
                                  "VAL(KAYITNO) * 1.5 AS NET FROM TABLEOGRENCI ORDER BY ID"))
                .ok());
    lists::FilterProxy proxy;
    proxy.setTableModel(&m);
    proxy.setColumns({{0, "No"}, {1, "Ad"}, {2, "Tarih"}, {3, "Net"}});
    QStringList texts(4);
    texts[column] = text;
    proxy.setFilterTexts(texts);
    proxy.refilter();
    QCOMPARE(shown(proxy, 0), expected);
  }

  void sorting() {
    const char* names[] = {"Zeki", "çelik", "Can", "İnci", "Ilgın", "dağ", "Ömer", "Oya"};
    int i = 0;
    for (const char* n : names) {
      const QString key = QString::number(QList<int>{10, 2, 33, 4, 1, 100, 7, 20}.at(i++));
      student(key, QString::fromUtf8(n), "", "", "");
    }
    lists::TableModel m;
    QVERIFY(m.load(db().db(),
                   QStringLiteral(
                       "SELECT KAYITNO, ADI, VAL(KAYITNO) AS N FROM TABLEOGRENCI ORDER BY ID"))
                .ok());
    lists::FilterProxy proxy;
    proxy.setTableModel(&m);
    proxy.setColumns({{0, "No"}, {1, "Ad"}, {2, "N"}, {-1, "Yok"}});
    proxy.sortByColumn(1, Qt::AscendingOrder);
    QCOMPARE(shown(proxy, 1),
             (QStringList{"Can", "çelik", "dağ", "Ilgın", "İnci", "Oya", "Ömer", "Zeki"}));
    proxy.sortByColumn(1, Qt::DescendingOrder);
    QCOMPARE(shown(proxy, 1).first(), QStringLiteral("Zeki"));
    // Keys are text but order by their value, as numbers in text do.
    proxy.sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(shown(proxy, 0), (QStringList{"1", "2", "4", "7", "10", "20", "33", "100"}));
    proxy.sortByColumn(2, Qt::DescendingOrder);
    QCOMPARE(shown(proxy, 0).first(), QStringLiteral("100"));
    // A sorted list filters in its order; a missing column shows empty cells.
    QStringList texts(4);
    texts[1] = "i";
    proxy.setFilterTexts(texts);
    proxy.refilter();
    QCOMPARE(shown(proxy, 1), (QStringList{"Zeki", "İnci", "çelik"}));  // "Ilgın" has no dotted i
    QCOMPARE(shown(proxy, 3), (QStringList{"", "", ""}));
    QCOMPARE(proxy.proxyRow(proxy.sourceRow(2)), 2);
  }

  // Remote addresses sort by their two numbers in the grid as in SQL.
  void remoteAddressesSortByNumber() {
    for (const char* a : {"108-88", "23-229", "9-1", "23-30", "12-201", "12-21"})
      exec(QStringLiteral("INSERT INTO TABLEKUMANDA (KUMANDAADRESI) VALUES (?)"),
           {QString::fromLatin1(a)});
    lists::TableModel m;
    QVERIFY(m.load(db().db(), QStringLiteral("SELECT KUMANDAADRESI FROM TABLEKUMANDA ORDER BY ID"))
                .ok());
    lists::FilterProxy proxy;
    proxy.setTableModel(&m);
    proxy.setColumns({{0, "Kumanda No"}});
    proxy.sortByColumn(0, Qt::AscendingOrder);
    const QStringList expected{"9-1", "12-21", "12-201", "23-30", "23-229", "108-88"};
    QCOMPARE(shown(proxy, 0), expected);
    QCOMPARE(db().column(QStringLiteral("SELECT KUMANDAADRESI FROM TABLEKUMANDA ORDER BY "
                                        "KUMANDAADRESI COLLATE KUMANDA"))
                 .value(),
             expected);
  }

  void layoutRoundTrip() {
    const lists::GridIdentity id{"frmSiniflar", "Sliste1", "1"};
    QVERIFY(!lists::GridLayout::exists(db(), id).value());
    QVERIFY(lists::GridLayout::load(db(), id)->isEmpty());
    const QList<LayoutColumn> columns = {
        {"Soyadı", "SOYADI", 1500, LayoutColumn::Visibility::Shown},
        {"Öğrencinin Adı", "ADI", 2000, LayoutColumn::Visibility::Hidden},
        {"ID", "ID", 0, LayoutColumn::Visibility::Internal},
    };
    QVERIFY(lists::GridLayout::save(db(), id, columns, {24, 11}).ok());
    QCOMPARE(*lists::GridLayout::load(db(), id), columns);
    QCOMPARE(lists::GridLayout::loadAppearance(db(), id).fontSize, 11);
    QCOMPARE(lists::GridLayout::loadAppearance(db(), id).rowHeight, 24);
    // Another tag of the same grid is another layout.
    QVERIFY(lists::GridLayout::load(db(), {"frmSiniflar", "Sliste1", "Silinmeyen"})->isEmpty());
    // Saving again replaces: four rows per identity.
    QVERIFY(lists::GridLayout::save(db(), id, columns.mid(0, 1), {}).ok());
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESLISTESUTUNADI"), 4);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESLISTESUTUNBILGILERI"), 1);
    QVERIFY(lists::GridLayout::reset(db(), id).ok());
    QVERIFY(!lists::GridLayout::exists(db(), id).value());
  }

  void saveWidths() {
    const lists::GridIdentity id{"frmX", "Sliste1", ""};
    const QStringList result = {"ID", "KAYITNO", "ADI", "GIZLI"};
    // Without a layout: four rows from the result columns.
    QVERIFY(lists::GridLayout::saveWidths(db(), id, result, {{"ADI", "Ad", 2100}}, {"GIZLI"}).ok());
    QList<LayoutColumn> l = *lists::GridLayout::load(db(), id);
    QCOMPARE(l.size(), 4);
    QCOMPARE(l[0].visibility, LayoutColumn::Visibility::Internal);
    QCOMPARE(l[1], (LayoutColumn{"Kayıt No", "KAYITNO", 1000, LayoutColumn::Visibility::Hidden}));
    QCOMPARE(l[2], (LayoutColumn{"Ad", "ADI", 2100, LayoutColumn::Visibility::Shown}));
    QCOMPARE(l[3].visibility, LayoutColumn::Visibility::Internal);
    // With a layout: only the widths change.
    QVERIFY(
        lists::GridLayout::saveWidths(db(), id, result, {{"ADI", "Başka", 900}, {"YOK", "", 5}}, {})
            .ok());
    l = *lists::GridLayout::load(db(), id);
    QCOMPARE(l[2], (LayoutColumn{"Ad", "ADI", 900, LayoutColumn::Visibility::Shown}));
    QCOMPARE(count("SELECT COUNT(*) FROM TABLESLISTESUTUNADI"), 4);
    QCOMPARE(lists::GridLayout::twipsToPixels(1440, 96), 96);
    QCOMPARE(lists::GridLayout::pixelsToTwips(96, 96), 1440);
    QCOMPARE(lists::GridLayout::twipsToPixels(1000, 120), 83);
  }

  void layoutEdges() {
    // An empty slot ends the layout; a too wide or unreadable width is bounded.
    QVariantList p{"f", "g", "t"};
    exec(
        "INSERT INTO TABLESLISTESUTUNADI (FORMADI,SLISTEADI,AYRAC,TUR,S1,S2,S3) VALUES "
        "(?,?,?,'D','A','','C')",
        p);
    exec(
        "INSERT INTO TABLESLISTESUTUNADI (FORMADI,SLISTEADI,AYRAC,TUR,S1) VALUES "
        "(?,?,?,'W','99999')",
        p);
    const QList<LayoutColumn> l = *lists::GridLayout::load(db(), {"f", "g", "t"});
    QCOMPARE(l.size(), 1);
    QCOMPARE(l[0].widthTwips, 32000);
    QCOMPARE(l[0].caption, QStringLiteral("A"));
    QCOMPARE(l[0].visibility, LayoutColumn::Visibility::Shown);
  }

  void filterLists() {
    param("SEVIYE", "5. Sınıf");
    param("SEVIYE", "1. Sınıf");
    param("SEVIYE", "Eski", "1");
    param("DERS", "Türkçe");
    param("DERS", "Çevre");
    param("DERS", "Coğrafya");
    param("DERS", "Gizli Ders", "1");
    QCOMPARE(curriculum::SeviyeDoldur(db()), (QStringList{"TÜMÜ", "5. Sınıf", "1. Sınıf"}));
    QCOMPARE(curriculum::DersDoldur(db()), (QStringList{"TÜMÜ", "Coğrafya", "Çevre", "Türkçe"}));
    // Three-button remotes (any setting but "0"): no "TÜMÜ" among the levels.
    QVERIFY(store::setOption(db(), store::Institution::Option::ThreeButton, true).ok());
    QCOMPARE(curriculum::SeviyeDoldur(db()), (QStringList{"5. Sınıf", "1. Sınıf"}));
    QCOMPARE(lists::SureDoldur().size(), 122);
    QCOMPARE(lists::SureDoldur().mid(0, 3), (QStringList{"TÜMÜ", "Süresiz", "5"}));
    QCOMPARE(lists::SureDoldur().last(), QStringLiteral("600"));
    QCOMPARE(lists::PuanDoldur().size(), 102);
    QCOMPARE(lists::ZorlukDoldur().at(1), QStringLiteral("Çok Kolay"));
    QCOMPARE(lists::CevapDoldur().size(), 6);
    QCOMPARE(lists::SoruTuruDoldur().last(), QStringLiteral("Değerlendirme"));
  }

  void cascade() {
    definition("5", "Matematik", "Sayılar", "Toplama", "K1");
    definition("5", "Matematik", "Sayılar", "Çıkarma", "K2");
    definition("6", "Matematik", "Sayılar", "Bölme", "K3");
    definition("6", "Matematik", "Kesirler", "Kesir", "");
    definition("5", "Türkçe", "Okuma", "Hikâye", "K'4");
    definition("5", "Türkçe", "", "", "");
    const QString all = lists::kTumu;
    using curriculum::CurriculumFilter;
    auto units = [&](const QString& level, const QString& course) {
      return curriculum::UniteDoldur(db(), CurriculumFilter{level, course});
    };
    QCOMPARE(units("5", "Matematik"), (QStringList{all, "Sayılar"}));
    QCOMPARE(units(all, "Matematik"), (QStringList{all, "Sayılar", "Kesirler"}));
    QCOMPARE(units("7", "Matematik"), QStringList{all});
    QCOMPARE(units(all, all), (QStringList{all, "Sayılar", "Kesirler", "Okuma"}));
    // A choice below the list does not narrow it: the unit list ignores the topic.
    QCOMPARE(curriculum::UniteDoldur(db(), {"5", "Matematik", all, "Bölme"}),
             (QStringList{all, "Sayılar"}));
    QCOMPARE(curriculum::KonuDoldur(db(), {all, "Matematik", "Sayılar"}),
             (QStringList{all, "Toplama", "Çıkarma", "Bölme"}));
    QCOMPARE(curriculum::KonuDoldur(db(), {"5", all, all}),
             (QStringList{all, "Toplama", "Çıkarma", "Hikâye"}));
    QCOMPARE(curriculum::KazanimDoldur(db(), {all, all, "Kesirler", all}), QStringList{all});
    QCOMPARE(curriculum::KazanimDoldur(db(), {"5", "Türkçe", "Okuma", "Hikâye"}),
             (QStringList{all, "K'4"}));
    exec(
        "INSERT INTO TABLETEST (TESTNO, HAZIRLAYAN) VALUES ('1','Öğretmen'), ('2','Ali'), "
        "('3','Ali')");
    QCOMPARE(lists::HazirlayanDoldur(db()), (QStringList{all, "Ali", "Öğretmen"}));
  }

  // One filter gives every search its condition: a choice of "TÜMÜ" or nothing
  // adds no term, values are bound, never written into the statement.
  void curriculumFilterCondition() {
    using curriculum::CurriculumFilter;
    const CurriculumFilter all;
    QCOMPARE(all.condition().sql, QString());
    const CurriculumFilter some{"5. SINIF", lists::kTumu, "Türkiye'nin Yerleri", "", "K1"};
    const CurriculumFilter::Condition c = some.condition(QStringLiteral("T."));
    QCOMPARE(c.sql, QStringLiteral(" AND T.SEVIYE=? AND T.UNITE=? AND T.KAZANIM=?"));
    QCOMPARE(c.params, (QVariantList{QStringLiteral("5. SINIF"),
                                     QStringLiteral("Türkiye'nin Yerleri"), QStringLiteral("K1")}));
    definition("5. SINIF", "Sosyal", "Türkiye'nin Yerleri", "Dağlar", "K1");
    definition("5. SINIF", "Sosyal", "Türkiye'nin Yerleri", "Ovalar", "K2");
    definition("6. SINIF", "Sosyal", "Türkiye'nin Yerleri", "Göller", "K1");
    const CurriculumFilter::Condition rows = some.condition();
    QCOMPARE(
        db().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLETANIMLAMALAR WHERE 1=1") + rows.sql,
                    rows.params)
            ->toInt(),
        1);
    // The lists above a field narrow it; the field itself and those below do not.
    QCOMPARE(some.above(CurriculumFilter::Field::Topic),
             (CurriculumFilter{"5. SINIF", lists::kTumu, "Türkiye'nin Yerleri", {}, {}}));
  }

  void markers_data() {
    QTest::addColumn<QString>("templ");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("params");
    QTest::newRow("quoted") << "UPDATE T SET A='@@@YENI' WHERE A='@@@ESKI'"
                            << "UPDATE T SET A=? WHERE A=?" << QVariantList{"n'1", "o"};
    QTest::newRow("bare") << "SELECT * FROM T WHERE A=@@@ESKI"
                          << "SELECT * FROM T WHERE A=?" << QVariantList{"o"};
    QTest::newRow("inside literal") << "SELECT 'x@@@YENIy' FROM T"
                                    << "SELECT ('x' || ? || 'y') FROM T" << QVariantList{"n'1"};
    QTest::newRow("escaped quote kept") << "SELECT 'it''s' FROM T WHERE A='@@@YENI'"
                                        << "SELECT 'it''s' FROM T WHERE A=?" << QVariantList{"n'1"};
    QTest::newRow("jet delete") << "DELETE *  FROM T WHERE A='@@@ESKI'"
                                << "DELETE FROM T WHERE A=?" << QVariantList{"o"};
  }
  void markers() {
    QFETCH(QString, templ);
    QFETCH(QString, sql);
    QFETCH(QVariantList, params);
    const lists::BoundSql b = lists::bindMarkers(templ, QStringLiteral("n'1"), QStringLiteral("o"));
    QCOMPARE(b.sql, sql);
    QCOMPARE(b.params, params);
  }

  void definitionSource() {
    QCOMPARE(
        lists::DefinitionSource::fromEntries({"AlınacakTablo|T", "AlınacakField"}, "|").error(),
        QStringLiteral("Combonun ayracı düzgün yazılmamış"));
    const auto s = lists::DefinitionSource::fromEntries(
        {"AlınacakTablo|TABLEPARAMETRE", "AlınacakField|PARAMETREDEGERI",
         "WhereParametresiSabit|PARAMETREADI=DERS", "Ayrac||"},
        "|");
    QVERIFY(s.ok());
    QCOMPARE(s->table, QStringLiteral("TABLEPARAMETRE"));
    const auto t = lists::DefinitionTemplates::fromSource(*s);
    QVERIFY(t.ok());
    QCOMPARE(
        t->select,
        QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE NZ(PARAMETREADI)='DERS'"));
    QCOMPARE(
        t->insert,
        QStringLiteral(
            "INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) VALUES ('DERS','@@@YENI')"));
    QVERIFY(!lists::DefinitionTemplates::fromSource({"T; DROP", "A", "", "|"}).ok());
    QVERIFY(!lists::DefinitionTemplates::fromSource({"T", "A", "B C=1", "|"}).ok());
  }

  void definitions() {
    param("KONULAR", "ESKİ");
    param("KONULAR", "ESKİ");
    param("BASKA", "ESKİ");
    const auto t = lists::DefinitionTemplates::fromSource(
        {"TABLEPARAMETRE", "PARAMETREDEGERI", "PARAMETREADI=KONULAR", "|"});
    lists::Definitions d(db(), *t);
    const QString name = QStringLiteral("TÜRKİYE'NİN İLLERİ");
    QVERIFY(!*d.exists(name));
    QVERIFY(d.add(name).ok());
    QVERIFY(*d.exists(name));
    QVERIFY(*d.exists(QStringLiteral("türkiye'nin illeri")));  // case does not make a new name
    QCOMPARE(*d.names(), (QStringList{"ESKİ", "ESKİ", name}));
    QVERIFY(d.rename(QStringLiteral("ESKİ"), QStringLiteral("YENİ'Sİ")).ok());
    QCOMPARE(*d.names(), (QStringList{"YENİ'Sİ", "YENİ'Sİ", name}));
    QCOMPARE(db().scalar("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='BASKA'")
                 ->toString(),
             QStringLiteral("ESKİ"));  // outside the fixed conditions: untouched
    QVERIFY(d.remove({QStringLiteral("YENİ'Sİ"), name}).ok());
    QVERIFY(d.names()->isEmpty());
    QCOMPARE(count("SELECT COUNT(*) FROM TABLEPARAMETRE"), 1);
  }
};

QTEST_GUILESS_MAIN(TestLists)
#include "tst_lists.moc"
