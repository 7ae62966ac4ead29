#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "Screenshot.h"
#include "WidgetTestBase.h"
#include "framework/FilterListFill.h"
#include "framework/Sliste.h"
#include "framework/TanimEkle.h"
#include "framework/frmParametreEkle.h"

class TestTanimEkle : public QObject {
  Q_OBJECT

  WidgetTestBase m_base;

  store::Store& store() { return m_base.store(); }
  QStringList stored(const QString& name) {
    return store()
        .column(QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI=? "
                               "ORDER BY rowid"),
                {name})
        .valueOr({});
  }
  QString valueOf(const QString& sql) { return store().scalar(sql)->toString(); }
  void param(const QString& name, const QString& value, const QString& marker = {}) {
    QVERIFY(store()
                .run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI, PARAMETREDEGERI, "
                                    "PARAMETREACIKLAMA) VALUES (?,?,?)"),
                     {name, value, marker})
                .ok());
  }
  static void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->clear();
    for (const QChar c : text)
      QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  static void pickRows(TanimEkle* e, const QList<int>& rows) {
    QTableView* view = e->TanimSliste()->tablo();
    view->clearSelection();
    for (int r : rows)
      view->selectionModel()->select(view->model()->index(r, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (!rows.isEmpty())
      view->selectionModel()->setCurrentIndex(view->model()->index(rows.first(), 0),
                                              QItemSelectionModel::NoUpdate);
    // A selection change is reported through the grid's signal; make it fire again
    // now that the current row is set.
    view->selectionModel()->select(view->model()->index(rows.value(0), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }

 private slots:
  void init() { QVERIFY(m_base.setUp()); }
  void cleanup() { m_base.tearDown(); }

  void addRenameDeleteWithApostrophe() {
    param("DERS", "FEN");
    param("DERS", "GİZLİ", "1");
    frmParametreEkle w(m_base.context(), QStringLiteral("DERS"), QStringLiteral("Dersler"));
    w.show();
    TanimEkle* e = w.tanimEkle();
    QCOMPARE(e->TanimSliste()->kayitSayisi(), 1);  // hidden courses are not offered
    QCOMPARE(e->durum(), QStringLiteral("Seçim Yapmanız Bekleniyor."));

    // Add: Turkish capitals, Enter saves.
    e->cmdYeniKayit_Click();
    QCOMPARE(e->durum(), QStringLiteral("Yeni Bir Kayıt Eklemek Üzeresiniz. "));
    auto* text = e->findChild<QLineEdit*>(QStringLiteral("txtTanim"));
    typeInto(text, QStringLiteral("türkiye'nin ılık iklimi"));
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(stored("DERS"), (QStringList{"FEN", "GİZLİ", "TÜRKİYE'NİN ILIK İKLİMİ"}));
    QCOMPARE(e->TanimSliste()->kayitSayisi(), 2);
    QCOMPARE(
        valueOf("SELECT PARAMETREACIKLAMA FROM TABLEPARAMETRE WHERE PARAMETREDEGERI LIKE 'T%'"),
        QString());

    // Duplicate, other case: refused, nothing written.
    e->cmdYeniKayit_Click();
    e->setTextTanim(QStringLiteral("Türkiye'nin Ilık İklimi"));
    QVERIFY(!e->cmdKaydet_Click());
    QCOMPARE(m_base.messages().shown().last().title, QStringLiteral("Uyarı!"));
    QCOMPARE(m_base.lastText(),
             QStringLiteral("Eklemeye çalıştığınız TÜRKİYE'NİN ILIK İKLİMİ isimli tanım daha "
                            "önceden programa eklenmiş. Lütfen kontrol edip tekrar deneyiniz."));
    QCOMPARE(stored("DERS").size(), 3);

    // Empty name refused.
    e->setTextTanim(QStringLiteral("   "));
    QVERIFY(!e->cmdKaydet_Click());
    QCOMPARE(
        m_base.lastText(),
        QStringLiteral("Boş bir tanımlama yapamazsınız. Lütfen kontrol edip tekrar deneyiniz."));

    // Rename the apostrophe name; a rename to another existing name is refused.
    pickRows(e, {1});
    QVERIFY(e->duzeltmeModu());
    QCOMPARE(e->TextTanim(), QStringLiteral("TÜRKİYE'NİN ILIK İKLİMİ"));
    QCOMPARE(e->durum(),
             QStringLiteral("TÜRKİYE'NİN ILIK İKLİMİ İsimli Tanım Üzerinde İşlem Yapmaktasınız."));
    QCOMPARE(e->findChild<QPushButton*>(QStringLiteral("cmdKaydet"))->text(),
             QStringLiteral("Düzelt"));
    e->setTextTanim(QStringLiteral("fen"));
    QVERIFY(!e->cmdKaydet_Click());
    e->setTextTanim(QStringLiteral("dünya'nın iklimi"));
    QVERIFY(e->cmdKaydet_Click());
    QCOMPARE(stored("DERS"), (QStringList{"FEN", "GİZLİ", "DÜNYA'NIN İKLİMİ"}));

    // Delete two with the count question; "No" keeps them.
    e->TanimSliste()->TumunuSec();
    m_base.messages().setNextAnswer(Messages::Answer::No);
    QVERIFY(!e->cmdSil_Click());
    QCOMPARE(e->durum(), QStringLiteral("Şu an tüm kayıtları silmek için seçtiniz."));
    QCOMPARE(m_base.lastText(),
             QStringLiteral("2 adet kayıt silinecektir. Devam etmek istediğinize emin misiniz?"));
    QCOMPARE(stored("DERS").size(), 3);
    pickRows(e, {1});
    QVERIFY(e->cmdSil_Click());
    QCOMPARE(
        m_base.lastText(),
        QStringLiteral(
            "DÜNYA'NIN İKLİMİ isimli kayıt silinecektir. Devam etmek istediğinize emin misiniz?"));
    QCOMPARE(stored("DERS"), (QStringList{"FEN", "GİZLİ"}));
  }

  void renameChangesEveryRowAndCaseOnly() {
    for (const char* v : {"Sayılar", "Sayılar", "Kesirler"})
      QVERIFY(store()
                  .run("INSERT INTO TABLETANIMLAMALAR (DERS, UNITE) VALUES ('MAT', ?)",
                       {QString::fromUtf8(v)})
                  .ok());
    QVERIFY(
        store().run("INSERT INTO TABLETANIMLAMALAR (DERS, UNITE) VALUES ('FEN', 'Sayılar')").ok());
    TanimEkle e(m_base.context(), QStringLiteral("frmTanimlamalar"));
    QVERIFY(e.BilgileriAl({"TABLETANIMLAMALAR", "UNITE", "DERS=MAT", "|"}).ok());
    QCOMPARE(e.TanimSliste()->kayitSayisi(), 3);
    pickRows(&e, {0});
    e.setTextTanim(QStringLiteral("sayılar"));  // only the case changes: not a duplicate of itself
    QVERIFY(e.cmdKaydet_Click());
    QCOMPARE(store()
                 .column("SELECT UNITE FROM TABLETANIMLAMALAR WHERE DERS='MAT' ORDER BY ID")
                 .valueOr({}),
             (QStringList{"SAYILAR", "SAYILAR", "Kesirler"}));
    QCOMPARE(valueOf("SELECT UNITE FROM TABLETANIMLAMALAR WHERE DERS='FEN'"),
             QStringLiteral("Sayılar"));
  }

  void templatesAndNumbers() {
    TanimEkle e(m_base.context(), QStringLiteral("frmTanimlamalar"));
    lists::DefinitionTemplates t;
    t.select =
        QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI='PUAN'");
    t.insert = QStringLiteral(
        "INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) VALUES ('PUAN','@@@YENI')");
    e.setFieldAdi(QStringLiteral("PARAMETREDEGERI"));
    e.setTemplates(t);
    e.setTextTanim(QStringLiteral("5"));
    QVERIFY(!e.cmdKaydet_Click());
    QCOMPARE(m_base.lastText(), QStringLiteral("sqlTekrarlananKayıtKontrol sql tanımı yapılmamış"));
    t.duplicate = QStringLiteral(
        "SELECT * FROM TABLEPARAMETRE WHERE PARAMETREADI='PUAN' AND PARAMETREDEGERI='@@@YENI'");
    e.setTemplates(t);
    e.setSadeSayi(true);
    auto* text = e.findChild<QLineEdit*>(QStringLiteral("txtTanim"));
    typeInto(text, QStringLiteral("0a7"));
    QCOMPARE(m_base.lastText(), QStringLiteral("Sıfırdan farklı bir sayı giriniz"));
    QCOMPARE(text->text(), QStringLiteral("7"));
    QVERIFY(e.cmdKaydet_Click());
    QCOMPARE(stored("PUAN"), QStringList{"7"});
  }

  void hostReloadsOnClose() {
    param("SINIFI", "5-A");
    param("SINIFI", "5-B");
    QComboBox host;
    host.setObjectName(QStringLiteral("cmbSinifi"));
    filtre::SinifDoldur(&host, store());
    host.setCurrentText(QStringLiteral("5-B"));
    frmParametreEkle w(m_base.context(), QStringLiteral("SINIFI"), QStringLiteral("Sınıflar"));
    w.setGelenKontrol(&host, [this](QComboBox* c) { filtre::SinifDoldur(c, store()); });
    QSignalSpy closed(w.tanimEkle(), &TanimEkle::kapandi);
    QSignalSpy changed(&w, &frmParametreEkle::parametrelerDegisti);
    w.show();
    w.tanimEkle()->setTextTanim(QStringLiteral("4-c"));
    QVERIFY(w.tanimEkle()->cmdKaydet_Click());
    w.tanimEkle()->cmdCikis_Click();
    QCOMPARE(closed.size(), 1);
    QCOMPARE(closed.first().first().toString(), QStringLiteral("cmbSinifi"));
    QCOMPARE(changed.size(), 1);
    QVERIFY(!w.isVisible());
    QCOMPARE(host.count(), 4);  // "TÜMÜ", "4-C", "5-A", "5-B"
    QCOMPARE(host.currentText(), QStringLiteral("5-B"));
  }

  void screenshot() {
    PICTURES_ONLY();
    for (const char* v : {"MATEMATİK", "TÜRKÇE", "FEN BİLİMLERİ", "SOSYAL BİLGİLER", "İNGİLİZCE"})
      param("DERS", QString::fromUtf8(v));
    frmParametreEkle w(m_base.context(), QStringLiteral("DERS"), QStringLiteral("Dersler"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    pickRows(w.tanimEkle(), {1});
    QVERIFY(saveScreenshot(&w, QStringLiteral("grid_tanimekle.png")));
  }
};

QTEST_MAIN(TestTanimEkle)
#include "tst_tanimekle.moc"
