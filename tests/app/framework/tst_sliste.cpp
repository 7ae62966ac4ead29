#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "Screenshot.h"
#include "WidgetTestBase.h"
#include "framework/Sliste.h"
#include "framework/frmSlisteDuzenle.h"
#include "store/FactoryLayouts.h"

namespace {
const QString kSql = QStringLiteral(
    "SELECT ID, KAYITNO, ADI, SOYADI, SINIFI, SEVIYE AS TESTTARIHI FROM TABLEOGRENCI WHERE "
    "NZ(SILINDIMI)=? ORDER BY ID");
}

class TestSliste : public QObject {
  Q_OBJECT

  WidgetTestBase m_base;
  std::unique_ptr<QWidget> m_host;
  Sliste* m_grid = nullptr;

  void student(const QString& no, const QString& adi, const QString& soyadi, const QString& sinif,
               const QString& tarih) {
    QVERIFY(
        m_base.store()
            .run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO, ADI, SOYADI, SINIFI, SEVIYE) "
                                "VALUES (?,?,?,?,?)"),
                 {no, adi, soyadi, sinif, tarih})
            .ok());
  }
  QStringList values(const QString& name) const {
    QStringList out;
    const int c = m_grid->tableModel()->columnIndex(name);
    for (int r = 0; r < m_grid->gorunenKayitSayisi(); ++r)
      out << m_grid->tableModel()->text(m_grid->proxy()->sourceRow(r), c);
    return out;
  }
  void fill() { QVERIFY(m_grid->ListeDoldurYeni(kSql, {QString()}).ok()); }
  void type(const QString& columnName, const QString& text) {
    QLineEdit* box = m_grid->filtreKutusu(columnName);
    QVERIFY(box);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    // Key by key, as typed (keyClicks knows only ASCII).
    for (const QChar c : text)
      QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  void clickHeader(int section) {
    QHeaderView* h = m_grid->tablo()->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(section) + 5, h->height() / 2));
  }

 private slots:
  void init() {
    QVERIFY(m_base.setUp());
    student("1", "Ayşe Nur", "Yılmaz", "5-A", "01.02.2025");
    student("2", "Mehmet", "Kaya", "5-A", "02.02.2025");
    student("3", "Nur Ayşe", "Çelik", "5-B", "01.02.2025");
    student("4", "İğüşöç", "Öztürk", "6-A", "03.02.2025");
    student("5", "IŞIK", "Can", "6-A", "");
    student("6", "Türkiye'nin", "Dağ", "6-B", "04.02.2025");
    m_host = std::make_unique<QWidget>();
    m_host->setObjectName(QStringLiteral("frmOgrenciler"));
    m_grid = new Sliste(
        m_base.context(),
        {QStringLiteral("frmOgrenciler"), QStringLiteral("Sliste1"), QStringLiteral("1")},
        m_host.get());
    m_grid->setFiltreGecikmesi(50);
    m_host->resize(900, 500);
    m_grid->resize(900, 500);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
  }
  void cleanup() {
    m_host.reset();
    m_base.tearDown();
  }

  void emptySqlRefused() {
    QVERIFY(!m_grid->ListeDoldurYeni(QStringLiteral("  ")).ok());
    QCOMPARE(
        m_base.lastText(),
        QStringLiteral("Güncellenecek sql gelmemiş lütfen program satıcınız ile temasa geçin."));
    QVERIFY(!m_grid->ListeDoldurYeni(QStringLiteral("SELECT NOPE FROM TABLEOGRENCI")).ok());
    QCOMPARE(m_base.messages().shown().last().title, QStringLiteral("Hata"));
  }

  void fillShowsMappedCaptionsWithoutInternalColumns() {
    fill();
    QCOMPARE(m_grid->kayitSayisi(), 6);
    QList<QString> captions;
    for (int c = 0; c < m_grid->proxy()->columnCount(); ++c)
      captions << m_grid->proxy()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(captions, (QList<QString>{"Kayıt No", "Adı", "Soyadı", "Sınıfı", "Test Tarihi"}));
    QCOMPARE(m_grid->deger(0, QStringLiteral("ID")), QStringLiteral("1"));  // readable, not shown
    QCOMPARE(m_grid->findChildren<QLineEdit*>(QStringLiteral("txtFiltre")).size(), 5);
  }

  void filters_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("two words any order") << "ADI"
                                         << "ayşe nur" << QStringList{"1", "3"};
    QTest::newRow("turkish case") << "ADI"
                                  << "iğüşöç" << QStringList{"4"};
    QTest::newRow("dotless capital") << "ADI"
                                     << "ışık" << QStringList{"5"};
    QTest::newRow("apostrophe removed") << "ADI"
                                        << "türkiye'nin" << QStringList{};
    QTest::newRow("valid date") << "TESTTARIHI"
                                << "01.02.2025" << QStringList{"1", "3"};
    QTest::newRow("invalid date") << "TESTTARIHI"
                                  << "30.02.2025" << QStringList{"1", "2", "3", "4", "5", "6"};
  }
  void filters() {
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QStringList, kept);
    fill();
    QSignalSpy resets(m_grid->proxy(), &QAbstractItemModel::modelReset);
    type(column, typed);
    QTRY_COMPARE(resets.size(), 1);  // the whole burst of keys refilters once
    QTest::qWait(80);
    QCOMPARE(resets.size(), 1);
    QCOMPARE(values(QStringLiteral("KAYITNO")), kept);
    QVERIFY(!m_grid->filtreKutusu(column)->text().contains(QLatin1Char('\'')));
    QVERIFY(m_grid->filtreKutusu(column)->hasFocus());
  }

  void apostropheFilterFindsName() {
    fill();
    type(QStringLiteral("ADI"), QStringLiteral("türkiye'n"));
    QCOMPARE(m_grid->filtreKutusu(QStringLiteral("ADI"))->text(), QStringLiteral("türkiyen"));
    QTRY_COMPARE(m_grid->gorunenKayitSayisi(), 0);
    // "Türkiye'nin" can still be found by a word without the apostrophe.
    type(QStringLiteral("ADI"), QStringLiteral("türkiye nin"));
    QTRY_COMPARE(values(QStringLiteral("KAYITNO")), QStringList{"6"});
  }

  void filterStaysAcrossFills() {
    fill();
    m_grid->setFiltreMetni(QStringLiteral("SINIFI"), QStringLiteral("6-"));
    QCOMPARE(m_grid->gorunenKayitSayisi(), 3);
    student("7", "Yeni", "Öğrenci", "6-C", "");
    fill();
    QCOMPARE(m_grid->kayitSayisi(), 7);
    QCOMPARE(m_grid->gorunenKayitSayisi(), 4);
    QCOMPARE(m_grid->filtreKutusu(QStringLiteral("SINIFI"))->text(), QStringLiteral("6-"));
  }

  void headerClickSortsAscendingThenDescending() {
    fill();
    clickHeader(2);  // Soyadı
    QCOMPARE(values(QStringLiteral("SOYADI")),
             (QStringList{"Can", "Çelik", "Dağ", "Kaya", "Öztürk", "Yılmaz"}));
    QCOMPARE(m_grid->tablo()->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(2);
    QCOMPARE(values(QStringLiteral("SOYADI")).first(), QStringLiteral("Yılmaz"));
    clickHeader(2);
    QCOMPARE(values(QStringLiteral("SOYADI")).first(), QStringLiteral("Can"));
    clickHeader(4);  // dates sort by day, the empty one first
    QCOMPARE(values(QStringLiteral("KAYITNO")), (QStringList{"5", "1", "3", "2", "4", "6"}));
    m_grid->setBasligaTiklayincaSirala(false);
    clickHeader(2);
    QCOMPARE(values(QStringLiteral("KAYITNO")).first(), QStringLiteral("5"));
  }

  void selectAllAndPicks() {
    fill();
    QSignalSpy changed(m_grid, &Sliste::secimDegisti);
    auto* box = m_grid->findChild<QCheckBox*>(QStringLiteral("chkTumunuSec"));
    QVERIFY(box && box->isVisible());
    box->click();
    QCOMPARE(m_grid->SeciliKayitlariVer().size(), 6);
    QCOMPARE(changed.size(), 1);
    box->click();
    QVERIFY(m_grid->SeciliKayitlariVer().isEmpty());
    QCOMPARE(m_grid->SeciliKayitDegerleriniVerString(QStringLiteral("KAYITNO")), QString());
    // Pick two rows with the mouse (Ctrl adds).
    QTableView* view = m_grid->tablo();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(m_grid->proxy()->index(0, 0)).center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      view->visualRect(m_grid->proxy()->index(1, 0)).center());
    QCOMPARE(m_grid->SeciliKayitDegerleriniVerString(QStringLiteral("KAYITNO")),
             QStringLiteral("'1','2'"));
    QVERIFY(!box->isChecked());
    // A filter keeps the picks of the rows that stay; the select-all box follows.
    m_grid->setFiltreMetni(QStringLiteral("SINIFI"), QStringLiteral("5-A"));
    QCOMPARE(m_grid->SeciliKayitDegerleriniVer(QStringLiteral("ADI")),
             (QStringList{"Ayşe Nur", "Mehmet"}));
    QVERIFY(box->isChecked());
    m_grid->setFiltreMetni(QStringLiteral("SINIFI"), QString());
    QCOMPARE(m_grid->SeciliKayitlariVer(), (QList<int>{0, 1}));
    m_grid->TumunuSec();
    m_grid->setFiltreMetni(QStringLiteral("ADI"), QStringLiteral("Nur"));
    clickHeader(0);
    clickHeader(0);
    QCOMPARE(m_grid->SeciliKayitDegerleriniVer(QStringLiteral("KAYITNO")), (QStringList{"3", "1"}));
    m_grid->SecimiBosalt();
    QVERIFY(m_grid->SeciliKayitlariVer().isEmpty());
    // An apostrophe inside a value keeps the text a well-formed list.
    m_grid->setFiltreMetni(QStringLiteral("ADI"), QString());
    m_grid->setFiltreMetni(QStringLiteral("KAYITNO"), QStringLiteral("6"));
    m_grid->TumunuSec();
    QCOMPARE(m_grid->SeciliKayitDegerleriniVerString(QStringLiteral("ADI")),
             QStringLiteral("'Türkiye''nin'"));
    m_grid->setOperationMode(Sliste::OperationMode::TekSatir);
    QVERIFY(!box->isVisible());
  }

  void hideAndShowColumns() {
    fill();
    QVERIFY(m_grid->SutunGizleSutunAdiIle(QStringLiteral("soyadi")));
    QVERIFY(m_grid->tablo()->isColumnHidden(2));
    QVERIFY(!m_grid->filtreKutusu(QStringLiteral("SOYADI"))->isVisible());
    QVERIFY(!m_grid->SutunGizleSutunAdiIle(QStringLiteral("YOK")));
    fill();  // the choice holds across fills and filters
    QVERIFY(m_grid->tablo()->isColumnHidden(2));
    m_grid->setFiltreMetni(QStringLiteral("ADI"), QStringLiteral("ayşe"));
    QVERIFY(m_grid->tablo()->isColumnHidden(2));
    QVERIFY(!m_grid->filtreKutusu(QStringLiteral("SOYADI"))->isVisible());
    QVERIFY(m_grid->SutunGosterSutunAdiIle(QStringLiteral("SOYADI")));
    QVERIFY(!m_grid->tablo()->isColumnHidden(2));
    QVERIFY(m_grid->filtreKutusu(QStringLiteral("SOYADI"))->isVisible());
  }

  void filterBoxesFollowColumns() {
    fill();
    QHeaderView* h = m_grid->tablo()->horizontalHeader();
    auto check = [&] {
      for (int i = 0; i < h->count(); ++i) {
        QLineEdit* box = m_grid->filtreKutusu(m_grid->tableModel()->columnNames().at(i + 1));
        if (h->isSectionHidden(i)) continue;
        const int boxLeft = box->mapTo(m_grid, QPoint(0, 0)).x();
        const int sectionLeft =
            h->viewport()->mapTo(m_grid, QPoint(h->sectionViewportPosition(i), 0)).x();
        QCOMPARE(boxLeft, sectionLeft);
        QCOMPARE(box->width(), h->sectionSize(i) - 1);
      }
    };
    check();
    h->resizeSection(1, 400);
    check();
    h->resizeSection(0, 500);
    m_grid->tablo()->horizontalScrollBar()->setValue(120);
    check();
    m_grid->SutunGizleSutunAdiIle(QStringLiteral("ADI"));
    check();
  }

  void saveWidthsAndReload() {
    fill();
    m_grid->tablo()->horizontalHeader()->resizeSection(1, 150);
    m_grid->TabloDuzeniniKaydet();
    QCOMPARE(m_base.messages().shown().last().title, QStringLiteral("Uyarı!"));
    QCOMPARE(m_base.lastText(), QStringLiteral("Tablo Düzeni Kaydedildi"));
    QCOMPARE(
        m_base.store()
            .scalar("SELECT COUNT(*) FROM TABLESLISTESUTUNADI WHERE FORMADI='frmOgrenciler' AND "
                    "SLISTEADI='Sliste1' AND AYRAC='1'")
            ->toInt(),
        4);
    QCOMPARE(m_base.store().scalar("SELECT S1 FROM TABLESLISTESUTUNADI WHERE TUR='V'")->toString(),
             QStringLiteral("2"));
    // Another grid of the same screen and tag reads the widths back.
    Sliste other(m_base.context(),
                 {QStringLiteral("frmOgrenciler"), QStringLiteral("Sliste1"), QStringLiteral("1")},
                 m_host.get());
    QVERIFY(other.ListeDoldurYeni(kSql, {QString()}).ok());
    QVERIFY(qAbs(other.tablo()->horizontalHeader()->sectionSize(1) - 150) <= 1);
    // Another tag keeps its own (no) layout.
    Sliste otherTag(
        m_base.context(),
        {QStringLiteral("frmOgrenciler"), QStringLiteral("Sliste1"), QStringLiteral("Silinmeyen")},
        m_host.get());
    QVERIFY(otherTag.ListeDoldurYeni(kSql, {QString()}).ok());
    QVERIFY(qAbs(otherTag.tablo()->horizontalHeader()->sectionSize(1) - 150) > 1);
  }

  // A grid keeps the layout of its own screen wherever it is shown: built alone,
  // inside the main window's screen area, or beside another screen's grid of the
  // same name.
  void gridInsideMainWindowKeepsItsLayout() {
    QMainWindow main;
    main.setObjectName(QStringLiteral("MDIForm1"));
    auto* mdi = new QMdiArea(&main);
    main.setCentralWidget(mdi);
    main.resize(1200, 700);
    auto* screen = new QWidget;
    screen->setObjectName(QStringLiteral("frmKumandaTanimlama"));
    auto* grid =
        new Sliste(m_base.context(),
                   {QStringLiteral("frmKumandaTanimlama"), QStringLiteral("Sliste1")}, screen);
    (new QVBoxLayout(screen))->addWidget(grid);
    QVERIFY(grid->ListeDoldurYeni(kSql, {QString()}).ok());  // filled before it is placed
    QMdiSubWindow* sub = mdi->addSubWindow(screen);
    sub->showMaximized();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    grid->tablo()->horizontalHeader()->resizeSection(1, 170);
    grid->TabloDuzeniniKaydet();
    const QString rows = QStringLiteral("SELECT COUNT(*) FROM TABLESLISTESUTUNADI WHERE FORMADI=?");
    QCOMPARE(m_base.store().scalar(rows, {QStringLiteral("frmKumandaTanimlama")})->toInt(), 4);
    QCOMPARE(m_base.store().scalar(rows, {QStringLiteral("MDIForm1")})->toInt(), 0);
    QVERIFY(grid->ListeDoldurYeni(kSql, {QString()}).ok());
    QVERIFY(qAbs(grid->tablo()->horizontalHeader()->sectionSize(1) - 170) <= 1);
    // The test fixture's own "Sliste1" (of frmOgrenciler) has no layout from it.
    fill();
    QVERIFY(qAbs(m_grid->tablo()->horizontalHeader()->sectionSize(1) - 170) > 1);
  }

  void layoutWindow() {
    fill();
    frmSlisteDuzenle w(m_grid);
    QCOMPARE(w.windowTitle(), QStringLiteral("frmOgrenciler formundaki Sliste1 listesinin düzeni"));
    QCOMPARE(w.list()->rowCount(), 5);  // ID is not offered
    QCOMPARE(w.listedColumns().first().column, QStringLiteral("KAYITNO"));

    w.list()->selectRow(1);
    QCOMPARE(w.captionBox()->text(), QStringLiteral("Adı"));
    w.captionBox()->setText(QStringLiteral("  "));
    QVERIFY(!w.cmdDegistir_Click());
    QCOMPARE(m_base.lastText(),
             QStringLiteral("Sütun adı boş olamaz. Lütfen kontrol edip tekrar deneyiniz."));
    w.captionBox()->setText(QStringLiteral("Öğrencinin Adı"));
    w.widthBox()->setText(QStringLiteral("32001"));
    QVERIFY(!w.cmdDegistir_Click());
    QCOMPARE(
        m_base.lastText(),
        QStringLiteral(
            "Sütun genişlik değeri 32000'den büyük olmaz. Lütfen kontrol edip tekrar deneyiniz."));
    QCOMPARE(w.widthBox()->selectedText(), QStringLiteral("32001"));
    w.widthBox()->setText(QStringLiteral("32000"));
    QVERIFY(w.cmdDegistir_Click());
    QCOMPARE(w.listedColumns().at(1).widthTwips, 32000);
    w.widthBox()->setText(QStringLiteral("3000"));
    QVERIFY(w.cmdDegistir_Click());
    w.cmdYukari_Click();  // Adı first
    QCOMPARE(w.listedColumns().first().caption, QStringLiteral("Öğrencinin Adı"));
    w.list()->item(4, 0)->setCheckState(Qt::Unchecked);  // hide the date
    auto* toggle = w.findChild<QPushButton*>(QStringLiteral("CmdSecimleriBosalt"));
    QCOMPARE(toggle->text(), QStringLiteral("Tümünü Seç"));
    w.CmdSecimleriBosalt_Click();
    QCOMPARE(toggle->text(), QStringLiteral("Tüm Seçimleri Boşalt"));
    w.CmdSecimleriBosalt_Click();
    QCOMPARE(toggle->text(), QStringLiteral("Tümünü Seç"));
    for (int r = 0; r < 4; ++r) w.list()->item(r, 0)->setCheckState(Qt::Checked);
    w.findChild<QLineEdit*>(QStringLiteral("TxtListeFont"))->setText(QStringLiteral("12"));
    QVERIFY(w.cmdKaydet_Click());

    QCOMPARE(m_grid->proxy()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Öğrencinin Adı"));
    QCOMPARE(m_grid->tablo()->horizontalHeader()->sectionSize(0), 200);  // 3000 twips at 96 dpi
    QVERIFY(m_grid->tablo()->isColumnHidden(4));
    QCOMPARE(m_grid->tablo()->font().pointSize(), 12);
    QCOMPARE(m_base.store().scalar("SELECT S6 FROM TABLESLISTESUTUNADI WHERE TUR='D'")->toString(),
             QStringLiteral("ID"));
    QCOMPARE(m_base.store().scalar("SELECT S6 FROM TABLESLISTESUTUNADI WHERE TUR='V'")->toString(),
             QStringLiteral("2"));
    QCOMPARE(m_base.store().scalar("SELECT S5 FROM TABLESLISTESUTUNADI WHERE TUR='V'")->toString(),
             QStringLiteral("0"));
    // A hidden column is offered again, unchecked.
    frmSlisteDuzenle again(m_grid);
    QCOMPARE(again.list()->rowCount(), 5);
    QCOMPARE(again.list()->item(4, 0)->checkState(), Qt::Unchecked);
  }

  void layoutReset() {
    fill();
    QVERIFY(lists::GridLayout::save(m_base.store(), m_grid->identity(),
                                    {{"Ad", "ADI", 2000, lists::LayoutColumn::Visibility::Shown},
                                     {"ID", "ID", 0, lists::LayoutColumn::Visibility::Internal}},
                                    {})
                .ok());
    m_grid->DuzenKaydedeBasildi();
    QCOMPARE(m_grid->proxy()->columnCount(), 1);
    frmSlisteDuzenle w(m_grid);
    m_base.messages().setNextAnswer(Messages::Answer::No);
    QVERIFY(!w.cmdAyarlariSifirla_Click());
    QVERIFY(lists::GridLayout::exists(m_base.store(), m_grid->identity()).value());
    QVERIFY(w.cmdAyarlariSifirla_Click());
    QCOMPARE(m_base.messages().shown().last().title, QStringLiteral("ÖNEMLİ"));
    QCOMPARE(m_base.lastText(),
             QStringLiteral("Bu uyarıya Evet dediğinizde listenizin başlıkları,\ngenişlikleri ve "
                            "görünürlükleri yazılımın ilk haline dönecektir.\nDevam etmek "
                            "istediğinize emin misiniz?"));
    QVERIFY(!lists::GridLayout::exists(m_base.store(), m_grid->identity()).value());
    QCOMPARE(m_grid->proxy()->columnCount(), 5);
    QCOMPARE(m_grid->proxy()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Adı"));
  }

  // Widths the program shipped (set for another font) never cut a caption or a
  // short value ("Numaras", "Kayıt Nc"); a width the teacher saved stays as it is.
  void shippedWidthsNeverCutCaptionsOrShortValues() {
    const lists::GridIdentity id{QStringLiteral("frmKumandaTanimlama"),
                                 QStringLiteral("SlisteOgrenciler")};
    const QString sql =
        QStringLiteral("SELECT ID, KAYITNO, ADI, SOYADI, NUMARASI, SINIFI FROM TABLEOGRENCI");
    for (const store::GridLayout& l : store::currentFactoryLayouts())
      if (l.form == id.form && l.grid == id.grid && l.variant.isEmpty())
        QVERIFY(store::replaceLayout(l, m_base.store().db()).ok());  // as a new database has it
    Sliste shipped(m_base.context(), id, m_host.get());
    QVERIFY(lists::GridLayout::exists(m_base.store(), id).value());
    QVERIFY(shipped.ListeDoldurYeni(sql).ok());
    QHeaderView* header = shipped.tablo()->horizontalHeader();
    const QFontMetrics cells(shipped.tablo()->font());
    for (int c = 0; c < shipped.proxy()->columnCount(); ++c)
      QVERIFY2(header->sectionSize(c) >= header->sectionSizeHint(c),
               qPrintable(shipped.sutunAdi(c)));
    const int sinifi = 4;
    QCOMPARE(shipped.sutunAdi(sinifi), QStringLiteral("SINIFI"));
    QVERIFY(header->sectionSize(sinifi) > cells.horizontalAdvance(QStringLiteral("5-A")));

    header->resizeSection(0, 20);  // the teacher's own choice
    shipped.TabloDuzeniniKaydet();
    Sliste again(m_base.context(), id, m_host.get());
    QVERIFY(again.ListeDoldurYeni(sql).ok());
    QVERIFY(std::abs(again.tablo()->horizontalHeader()->sectionSize(0) - 20) <= 1);
    QCOMPARE(lists::GridLayout::fittedWidth(20, 80, 400), 80);  // a long value may be cut
    QCOMPARE(lists::GridLayout::fittedWidth(20, 30, 60), 60);
    QCOMPARE(lists::GridLayout::fittedWidth(0, 80, 30), 0);
  }

  void missingLayoutColumnStaysEmpty() {
    QVERIFY(lists::GridLayout::save(
                m_base.store(), m_grid->identity(),
                {{"Ad", "ADI", 1500, lists::LayoutColumn::Visibility::Shown},
                 {"Eski", "ESKISUTUN", 1500, lists::LayoutColumn::Visibility::Shown}},
                {})
                .ok());
    fill();
    QCOMPARE(m_grid->proxy()->columnCount(), 2);
    QCOMPARE(m_grid->proxy()->index(0, 1).data().toString(), QString());
    m_grid->setFiltreMetni(QStringLiteral("ESKISUTUN"), QStringLiteral("x"));
    QCOMPARE(m_grid->gorunenKayitSayisi(), 6);  // no column, no term
  }

  void screenshots() {
    PICTURES_ONLY();
    for (int i = 0; i < 60; ++i)
      student(QString::number(100 + i), QStringLiteral("Öğrenci %1").arg(i),
              QStringLiteral("Şahin"), QStringLiteral("7-%1").arg(QChar(u'A' + i % 4)),
              QStringLiteral("%1.03.2025").arg(10 + i % 18));
    m_host->resize(1280, 800);
    m_grid->resize(1280, 800);
    fill();
    type(QStringLiteral("ADI"), QStringLiteral("öğrenci 1"));
    QTRY_VERIFY(m_grid->gorunenKayitSayisi() < 20);
    m_grid->tablo()->selectRow(1);
    clickHeader(3);
    QVERIFY(saveScreenshot(m_host.get(), QStringLiteral("grid_list.png")));
    frmSlisteDuzenle w(m_grid);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.list()->selectRow(2);
    QVERIFY(saveScreenshot(&w, QStringLiteral("grid_layout_window.png")));
  }
};

QTEST_MAIN(TestSliste)
#include "tst_sliste.moc"
