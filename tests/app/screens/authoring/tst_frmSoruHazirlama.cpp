// The question bank screen driven through its buttons and boxes.
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QtTest>

#include "AuthoringScreenFixture.h"
#include "QtTranslations.h"
#include "Screenshot.h"
#include "authoring/QuestionForm.h"
#include "curriculum/OfferedValues.h"
#include "framework/ScreenRegistry.h"
#include "framework/Sliste.h"
#include "screens/authoring/AuthoringScreens.h"
#include "screens/authoring/PictureBox.h"
#include "screens/authoring/frmSoruHazirlama.h"

using Nav = frmSoruHazirlama::Nav;

class TestSoruHazirlama : public QObject {
  Q_OBJECT
  AuthoringScreenFixture f;

  static QString label(QWidget& w, const char* name) {
    return w.findChild<QLabel*>(QLatin1String(name))->text();
  }
  static QPushButton* buttonOf(QWidget& w, const char* name) {
    return w.findChild<QPushButton*>(QLatin1String(name));
  }
  QByteArray storedPicture(const QString& key) {
    return authoring::QuestionBank(f.store()).pictures(key).valueOr({}).question;
  }
  static QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

 private slots:
  void init() { f.init(); }
  void cleanup() { f.cleanup(); }

  void bothScreensAreOnTheBarUnderTheirWindowNames() {
    framework::ScreenRegistry registry;
    authoringui::registerAuthoringScreens(registry, f.context());
    for (int index : {2, 3}) {
      QVERIFY(registry.has(index));
      // The bar's rights check and the press routing go by the window name.
      QVERIFY(registry.needsRight(index));
      std::unique_ptr<QWidget> screen(registry.entry(index).factory(nullptr));
      QCOMPARE(screen->objectName(), registry.entry(index).windowName);
    }
  }

  // The picture chosen and the row are saved together; a refused save keeps
  // the chosen picture for the next try and writes nothing.
  void savingKeepsPictureAndRowTogether() {
    frmSoruHazirlama w(f.context());
    QCOMPARE(label(w, "lblSoruNo"), QStringLiteral("Soru No: 1"));
    QCOMPARE(buttonOf(w, "cmdKaydet")->text(), QStringLiteral("Ekle"));
    QCOMPARE(buttonOf(w, "cmdSil")->text(), QStringLiteral("İptal"));
    const QString file = f.pictureFile(QStringLiteral("kirmizi.png"), Qt::red);
    w.resimDosyasi(file);
    QVERIFY(!w.picture()->picture().isNull());

    w.kaydet();  // no correct choice yet
    QCOMPARE(f.shown(), QStringList{authoring::QuestionBank::noCorrectChoiceMessage()});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), 0);
    QCOMPARE(bytesOf(w.form().pictureToShow()), bytesOf(file));

    QComboBox* choice = w.list(QStringLiteral("cmbDogruSik"));
    choice->setCurrentIndex(choice->findText(QStringLiteral("C")));
    w.kaydet();
    QCOMPARE(f.shown(), QStringList{});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU WHERE SORUNO='1' AND "
                                    "DOGRUSIK='C'")),
             1);
    QCOMPARE(storedPicture(QStringLiteral("1")), bytesOf(file));
    QCOMPARE(buttonOf(w, "cmdKaydet")->text(), QStringLiteral("Kaydet"));
    QCOMPARE(buttonOf(w, "cmdSil")->text(), QStringLiteral("Sil"));
    QCOMPARE(label(w, "lblSoruSayac"), QStringLiteral("1/1"));

    // The solution view takes its own picture; the question picture stays.
    w.soruCevapGoster();
    QCOMPARE(buttonOf(w, "cmdSoruCevapGoster")->text(), QStringLiteral("Soruyu Göster"));
    const QString solution = f.pictureFile(QStringLiteral("yesil.png"), Qt::green);
    w.resimDosyasi(solution);
    w.kaydet();
    const auto pictures = authoring::QuestionBank(f.store()).pictures(QStringLiteral("1"));
    QVERIFY(pictures);
    QCOMPARE(pictures->question, bytesOf(file));
    QCOMPARE(pictures->solution, bytesOf(solution));
  }

  void surveyQuestionNeedsNoCorrectChoice() {
    frmSoruHazirlama w(f.context());
    w.testAnket();
    QCOMPARE(w.findChild<QStackedWidget*>(QStringLiteral("SSTab1"))->currentIndex(), 1);
    w.list(QStringLiteral("cmbKonuAnket"))->setEditText(QStringLiteral("Okul memnuniyeti"));
    w.text(QStringLiteral("txtAciklamaAnket"))->setText(QStringLiteral("Veli'nin görüşü"));
    emit w.text(QStringLiteral("txtAciklamaAnket"))->textEdited(QString());
    w.kaydet();
    QCOMPARE(f.shown(), QStringList{});
    const auto q = authoring::QuestionBank(f.store()).load(QStringLiteral("1"));
    QVERIFY(q);
    QVERIFY(q->anket);
    QCOMPARE(q->unite, QStringLiteral("Okul memnuniyeti"));
    QCOMPARE(q->aciklama, QStringLiteral("Veli'nin görüşü"));
    QCOMPARE(q->dogruSik, QString());
  }

  // Numeric keys by value, distributed 14-character keys after them; the
  // buttons of an end are off and the 20-steps clamp.
  void navigationFollowsKeyOrder() {
    for (int i = 0; i < 11; ++i) QVERIFY(!f.addQuestion().isEmpty());  // 1..11
    frmSoruHazirlama w(f.context());
    QCOMPARE(label(w, "lblSoruSayac"), QStringLiteral("0/11"));
    w.gezin(Nav::First);
    QCOMPARE(w.form().keyText(), QStringLiteral("1"));
    QVERIFY(!buttonOf(w, "cmdNav0")->isEnabled());
    QVERIFY(!buttonOf(w, "cmdNav1")->isEnabled());
    w.gezin(Nav::Next);
    QCOMPARE(w.form().keyText(), QStringLiteral("2"));
    w.gezin(Nav::Forward20);
    QCOMPARE(w.form().keyText(), QStringLiteral("11"));  // not "2" after "10" as text
    QCOMPARE(label(w, "lblSoruSayac"), QStringLiteral("11/11"));
    QVERIFY(!buttonOf(w, "cmdNav2")->isEnabled());
    w.gezin(Nav::Previous);
    QCOMPARE(w.form().keyText(), QStringLiteral("10"));
    w.gezin(Nav::Back20);
    QCOMPARE(w.form().keyText(), QStringLiteral("1"));
  }

  // The search panel: the last-added count, choosing, and deleting many only
  // with the right.
  void searchChooseAndDeleteMany() {
    for (int i = 0; i < 5; ++i) QVERIFY(!f.addQuestion().isEmpty());
    frmSoruHazirlama w(f.context());
    w.sorulariGoster();
    QVERIFY(w.searchShown());
    QCOMPARE(w.sliste1()->kayitSayisi(), 5);

    w.text(QStringLiteral("txtSonEklenen"))->setText(QStringLiteral("0"));
    w.bul();
    QCOMPARE(f.shown().size(), 1);  // "Sıfırdan farklı ..."
    w.text(QStringLiteral("txtSonEklenen"))->setText(QStringLiteral("2"));
    w.bul();
    QCOMPARE(w.sliste1()->SeciliKayitDegerleriniVer(QStringLiteral("SORUNUMARASI")), QStringList{});
    QCOMPARE(w.sliste1()->kayitSayisi(), 2);
    w.sliste1()->TumunuSec();
    w.soruSec();
    QVERIFY(!w.searchShown());
    QCOMPARE(w.form().navigationSet(), (QStringList{QStringLiteral("4"), QStringLiteral("5")}));
    QCOMPARE(w.form().keyText(), QStringLiteral("4"));

    w.sorulariGoster();
    w.sliste1()->TumunuSec();
    f.deny(QStringLiteral("TopluSoruSil"));
    QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("cmdSecilileriSil"))->isEnabled());
    w.secilileriSil();  // a shortcut or a stale click still meets the check
    QCOMPARE(f.shown(), QStringList{users::kDeniedMessage});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), 5);

    f.rights().setFlags(users::RightFlags::all(true));
    QVERIFY(w.findChild<QPushButton*>(QStringLiteral("cmdSecilileriSil"))->isEnabled());
    f.answers({Messages::Answer::Yes});
    w.secilileriSil();
    QCOMPARE(f.shown(), QStringList{authoring::QuestionForm::removeManyQuestion(2)});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), 3);
    // Still the two last added: now 2 and 3.
    QCOMPARE(w.sliste1()->kayitSayisi(), 2);
    // The question shown was among them: the screen moves to a live one.
    QCOMPARE(w.form().keyText(), QStringLiteral("1"));

    // The search lists come back by their texts: a course listed before the
    // chosen one since leaves it chosen.
    QComboBox* course = w.list(QStringLiteral("cmbDersAra"));
    course->setCurrentIndex(course->count() - 1);
    const QString chosen = course->currentText();
    w.bul();
    using curriculum::OfferedValues;
    QVERIFY(OfferedValues(f.store(), OfferedValues::Kind::Course).add(QStringLiteral("AAA")));
    frmSoruHazirlama again(f.context());
    QCOMPARE(again.list(QStringLiteral("cmbDersAra"))->currentText(), chosen);
  }

  // cmdSoruVer writes the questions chosen in the grid, cmdSoruAl reads several
  // files and counts what all of them added; each behind its right, also when
  // the click comes while the button is disabled.
  void questionFilesThroughTheButtons() {
    for (int i = 0; i < 3; ++i) QVERIFY(!f.addQuestion().isEmpty());
    frmSoruHazirlama w(f.context());
    w.sorulariGoster();
    QPushButton* give = buttonOf(w, "cmdSoruVer");
    QPushButton* take = buttonOf(w, "cmdSoruAl");
    QVERIFY(!give->isEnabled());  // nothing chosen yet
    QVERIFY(take->isEnabled());
    w.sliste1()->TumunuSec();
    QVERIFY(give->isEnabled());

    QStringList titles, filters;
    QStringList answer;  // the files the dialog "chooses"
    bool shot = false;
    derslik::loadQtTranslations(*QCoreApplication::instance());
    filedialogs::setRunner([&](QFileDialog& d) {
      titles << d.windowTitle();
      filters << d.nameFilters().join(QLatin1Char(';'));
      d.setDirectory(f.folder().path());
      if (d.acceptMode() == QFileDialog::AcceptOpen && !shot) {
        // Under DERSLIK_SHOTS: the reading dialog as the teacher sees it.
        d.resize(820, 480);
        d.show();
        QCoreApplication::processEvents();
        shot = savePicture(d.grab(), QStringLiteral("soru_al_pencere.png"));
        d.hide();
      }
      QStringList quoted;
      for (const QString& a : answer) quoted << QLatin1Char('"') + a + QLatin1Char('"');
      d.selectFile(quoted.join(QLatin1Char(' ')));
      return int(QDialog::Accepted);
    });
    f.deny(QStringLiteral("SoruVer"));
    QVERIFY(!give->isEnabled());
    w.soruVer();
    QCOMPARE(f.shown(), QStringList{users::kDeniedMessage});
    QVERIFY(titles.isEmpty());
    f.rights().setFlags(users::RightFlags::all(true));

    answer = QStringList{QStringLiteral("Sorular")};
    give->click();
    QCOMPARE(f.shown(), QStringList{QStringLiteral("Soru dosyası oluşturuldu")});
    const QString written = f.path(QStringLiteral("Sorular.cks"));
    QVERIFY(QFile::exists(written));
    QVERIFY(QFile::copy(written, f.path(QStringLiteral("Kopya.cks"))));

    // The copy has the bytes of a file taken a moment before: asked, and taken on "Evet".
    answer = QStringList{QStringLiteral("Sorular.cks"), QStringLiteral("Kopya.cks")};
    f.answers({Messages::Answer::Yes});
    take->click();
    const QStringList told = f.shown();
    QCOMPARE(told.size(), 2);
    QVERIFY2(told.first().startsWith(QStringLiteral("Kopya.cks dosyası daha önce alınmıştı (")),
             qPrintable(told.first()));
    QCOMPARE(told.last(), QStringLiteral("6 adet soru eklendi"));
    QVERIFY(shot);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), 9);
    QCOMPARE(titles, (QStringList{QStringLiteral("Soruların Verileceği Dosya"),
                                  QStringLiteral("Soruların Alınacağı Dosya")}));
    QCOMPARE(filters, (QStringList{QStringLiteral("Soru Dosyası (*.cks)"),
                                   QStringLiteral("Soru Dosyası (*.cks)")}));
    // The grid shows what arrived.
    QCOMPARE(w.sliste1()->kayitSayisi(), 9);

    f.deny(QStringLiteral("SoruAl"));
    QVERIFY(!take->isEnabled());
    w.soruAl();
    QCOMPARE(f.shown(), QStringList{users::kDeniedMessage});
    QCOMPARE(titles.size(), 2);
  }

  // The editing lists hold values, not the search's "TÜMÜ"; a unit not defined
  // yet is typed and saved; a save says so under the buttons; "Yeni" starts
  // without the description; a copy keeps topic and outcome.
  void editingListsTakeValuesAndSavingSaysSo() {
    frmSoruHazirlama w(f.context());
    for (const char* name : {"cmbSeviye", "cmbDers", "cmbUnite", "cmbKonu", "cmbKazanim",
                             "cmbSoruTuru", "cmbZorluk", "cmbPuan", "cmbSeviyeAnket"}) {
      QComboBox* c = w.list(QLatin1String(name));
      QVERIFY2(c->findText(QStringLiteral("TÜMÜ")) < 0, name);
    }
    QCOMPARE(w.list(QStringLiteral("cmbPuan"))->currentText(), QString());
    QComboBox* level = w.list(QStringLiteral("cmbSeviye"));
    QVERIFY(level->count() > 0);
    level->setCurrentIndex(0);
    QComboBox* course = w.list(QStringLiteral("cmbDers"));
    course->setCurrentIndex(0);
    QComboBox* unit = w.list(QStringLiteral("cmbUnite"));
    QVERIFY(unit->isEditable());
    unit->setEditText(QStringLiteral("Yeni Ünite"));
    w.list(QStringLiteral("cmbKonu"))->setEditText(QStringLiteral("Yeni Konu"));
    w.list(QStringLiteral("cmbKazanim"))->setEditText(QStringLiteral("K.1"));
    QComboBox* choice = w.list(QStringLiteral("cmbDogruSik"));
    choice->setCurrentIndex(choice->findText(QStringLiteral("B")));
    w.text(QStringLiteral("txtAciklama"))->setText(QStringLiteral("İlk sorunun notu"));
    emit w.text(QStringLiteral("txtAciklama"))->textEdited(QString());
    w.kaydet();
    QCOMPARE(f.shown(), QStringList{});
    QCOMPARE(label(w, "lblDurum"), QStringLiteral("Soru 1 kaydedildi."));
    const auto saved = authoring::QuestionBank(f.store()).load(QStringLiteral("1"));
    QVERIFY(saved);
    QCOMPARE(saved->seviye, level->itemText(0));
    QCOMPARE(saved->unite, QStringLiteral("Yeni Ünite"));
    QCOMPARE(saved->puan, QString());
    QCOMPARE(saved->turu, QString());
    // The typed unit is offered from now on.
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLETANIMLAMALAR WHERE "
                                    "TANIMADI='UNITELER' AND UNITE='Yeni Ünite'")),
             1);

    w.cogalt();
    const auto copy = authoring::QuestionBank(f.store()).load(QStringLiteral("2"));
    QVERIFY(copy);
    QCOMPARE(copy->konu, QStringLiteral("Yeni Konu"));
    QCOMPARE(copy->kazanim, QStringLiteral("K.1"));
    QCOMPARE(label(w, "lblDurum"), QStringLiteral("Soru 1 çoğaltıldı: yeni soru 2."));

    w.yeniKayit();
    QCOMPARE(w.text(QStringLiteral("txtAciklama"))->text(), QString());
    QCOMPARE(level->currentText(), saved->seviye);
  }

  // A question without text shows the top of its picture under "Soru İçeriği".
  void pictureQuestionsShowTheirPictureInTheList() {
    QVERIFY(!f.addQuestion().isEmpty());  // a blue picture, no text
    frmSoruHazirlama w(f.context());
    w.resize(1200, 700);
    w.show();
    w.sorulariGoster();
    QCOMPARE(w.sliste1()->kayitSayisi(), 1);
    QTableView* view = w.sliste1()->tablo();
    int column = -1;
    for (int c = 0; c < view->model()->columnCount(); ++c)
      if (w.sliste1()->sutunAdi(c) == QStringLiteral("SORUICERIK")) column = c;
    QVERIFY(column >= 0);
    QCoreApplication::processEvents();
    const QImage cell =
        view->viewport()->grab(view->visualRect(view->model()->index(0, column))).toImage();
    int blue = 0;
    for (int y = 0; y < cell.height(); ++y)
      for (int x = 0; x < cell.width(); ++x) {
        const QColor c = cell.pixelColor(x, y);
        if (c.blue() > 200 && c.red() < 60 && c.green() < 60) ++blue;
      }
    QVERIFY2(blue > 100, qPrintable(QString::number(blue)));
  }

  void previewAsksForASavedQuestion() {
    frmSoruHazirlama w(f.context());
    w.onizleme();
    QCOMPARE(f.shown(), QStringList{authoring::QuestionForm::saveFirstMessage()});

    // A saved question is shown full screen as the class would see it.
    QVERIFY(!f.addQuestion().isEmpty());
    frmSoruHazirlama saved(f.context());
    saved.gezin(Nav::First);
    saved.onizleme();
    QWidget* preview = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == QStringLiteral("frmTestOnizleme")) preview = top;
    QVERIFY(preview);
    QCOMPARE(preview->findChild<QLabel*>(QStringLiteral("lblSayac"))->text(),
             QStringLiteral("1/1"));
    preview->close();
  }
};

QTEST_MAIN(TestSoruHazirlama)
#include "tst_frmSoruHazirlama.moc"
