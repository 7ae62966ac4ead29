// The test composition screen driven through its buttons, grids and dialogs.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include "AuthoringScreenFixture.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "framework/Sliste.h"
#include "screens/authoring/AnswerKeyDialog.h"
#include "screens/authoring/AutoSelectionDialog.h"
#include "screens/authoring/BookletDialog.h"
#include "screens/authoring/frmKirpmaMenu.h"
#include "screens/authoring/frmTestHazirlama.h"

using authoring::Booklet;

class TestTestHazirlama : public QObject {
  Q_OBJECT
  AuthoringScreenFixture f;

  // The keys of the test's grid in position order.
  static QStringList gridKeys(frmTestHazirlama& w) {
    QStringList out;
    Sliste* grid = w.testQuestions();
    for (int r = 0; r < grid->kayitSayisi(); ++r)
      out << grid->deger(r, QStringLiteral("SORUNUMARASI"));
    return out;
  }
  // A saved test named "Deneme" with questions 1..n.
  void savedTest(frmTestHazirlama& w, int n) {
    for (int i = 0; i < n; ++i) QVERIFY(!f.addQuestion().isEmpty());
    w.findChild<QLineEdit*>(QStringLiteral("txtTestAdi"))->setText(QStringLiteral("Deneme"));
    emit w.findChild<QLineEdit*>(QStringLiteral("txtTestAdi"))->textEdited(QString());
    w.kaydet();
    QCOMPARE(f.shown(), QStringList{});
    QVERIFY(w.form().savedTestShown());
    auto* box = w.findChild<QLineEdit*>(QStringLiteral("txtSoruNo"));
    for (int i = 1; i <= n; ++i) {
      box->setText(QString::number(i));
      w.soruNoEkle();
    }
  }

 private slots:
  void init() { f.init(); }
  void cleanup() { f.cleanup(); }

  void questionsOnlyForASavedTest() {
    frmTestHazirlama w(f.context());
    QVERIFY(!w.tabs()->isTabEnabled(1));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblSoruSayisi"))->text(),
             QStringLiteral("0 Soru"));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblSure"))->text(), QStringLiteral("Süresiz"));
    savedTest(w, 3);
    QVERIFY(w.tabs()->isTabEnabled(1));
    QCOMPARE(gridKeys(w), (QStringList{"1", "2", "3"}));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblSoruSayisi"))->text(),
             QStringLiteral("3 Soru"));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblSure"))->text(), QStringLiteral("90 sn"));

    auto* box = w.findChild<QLineEdit*>(QStringLiteral("txtSoruNo"));
    box->setText(QStringLiteral("2"));
    w.soruNoEkle();
    box->setText(QStringLiteral("99"));
    w.soruNoEkle();
    QCOMPARE(f.shown(), (QStringList{authoring::TestQuestions::alreadyInTestMessage(),
                                     authoring::QuestionBank::notFoundMessage()}));
    QCOMPARE(gridKeys(w), (QStringList{"1", "2", "3"}));
  }

  // Moved rows stay picked, so pressing again keeps moving the same question;
  // removal closes the gap.
  void movesKeepThePickAndRemovalClosesUp() {
    frmTestHazirlama w(f.context());
    savedTest(w, 4);
    w.pickPositions({4});
    w.yukari();
    w.yukari();
    QCOMPARE(gridKeys(w), (QStringList{"1", "4", "2", "3"}));
    QCOMPARE(w.testQuestions()->SeciliKayitDegerleriniVer(QStringLiteral("SORUNUMARASI")),
             QStringList{"4"});
    w.asagi();
    QCOMPARE(gridKeys(w), (QStringList{"1", "2", "4", "3"}));

    w.pickPositions({1, 2});
    w.yukari();  // a block at the top stays
    QCOMPARE(gridKeys(w), (QStringList{"1", "2", "4", "3"}));
    w.soruSil();
    QCOMPARE(gridKeys(w), (QStringList{"4", "3"}));
    const auto rows = authoring::TestQuestions(f.store()).list(w.form().fields().testNo);
    QVERIFY(rows);
    QCOMPARE(rows->at(0).position, 1);
    QCOMPARE(rows->at(1).position, 2);
  }

  // The correct choice clicked in the detail changes the question in every test.
  void correctChoiceClickChangesTheQuestion() {
    frmTestHazirlama w(f.context());
    savedTest(w, 2);
    w.pickPositions({2});
    auto* c = w.findChild<QPushButton*>(QStringLiteral("lblABCDE2"));
    QVERIFY(c->isEnabled());
    QVERIFY(!c->isChecked());
    w.dogruSik(2);
    QVERIFY(c->isChecked());
    QCOMPARE(authoring::QuestionBank(f.store()).load(QStringLiteral("2"))->dogruSik,
             QStringLiteral("C"));
  }

  // Booklet B typed as 3,1,2 is stored as the positions of each A question; an
  // order with a position twice is refused and stores nothing, key included.
  void answerKeyWithBookletOrders() {
    frmTestHazirlama w(f.context());
    savedTest(w, 3);
    const QString testNo = w.form().fields().testNo;
    AnswerKeyDialog d(f.context());
    QVERIFY(d.open(testNo).ok());
    QTableWidget* grid = d.bookletTable(Booklet::B);
    QVERIFY(!grid->isEnabled());
    d.bookletBox(Booklet::B)->setChecked(true);
    QVERIFY(grid->isEnabled());
    for (const auto& [row, text] : {std::pair{0, "1"}, {1, "1"}, {2, "2"}})
      grid->item(row, 0)->setText(QString::fromLatin1(text));
    d.keyTable()->cellClicked(0, 4);  // question 1 becomes E
    d.tamam();
    QCOMPARE(f.shown().size(), 1);
    QCOMPARE(authoring::QuestionBank(f.store()).load(QStringLiteral("1"))->dogruSik,
             QStringLiteral("A"));

    grid = d.bookletTable(Booklet::B);
    grid->item(0, 0)->setText(QStringLiteral("3"));
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("A"));  // the answer of A question 3
    d.tamam();
    QCOMPARE(f.shown(), QStringList{});
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(authoring::BookletOrders(f.store()).order(testNo, Booklet::B).valueOr({}),
             (QList<int>{3, 1, 2}));
    QCOMPARE(authoring::QuestionBank(f.store()).load(QStringLiteral("1"))->dogruSik,
             QStringLiteral("E"));

    AnswerKeyDialog again(f.context());
    QVERIFY(again.open(testNo).ok());
    QVERIFY(again.bookletBox(Booklet::B)->isChecked());
    QCOMPARE(again.bookletTable(Booklet::B)->item(1, 1)->text(), QStringLiteral("E"));
  }

  // "Karıştır" makes a booklet's order at once and shows its seed; the seed
  // typed again makes the same order, which "Tamam" stores.
  void aShuffledBookletShowsItsSeed() {
    frmTestHazirlama w(f.context());
    savedTest(w, 6);
    AnswerKeyDialog d(f.context());
    QVERIFY(d.open(w.form().fields().testNo).ok());
    const auto cells = [&d] {
      QStringList out;
      QTableWidget* grid = d.bookletTable(Booklet::C);
      for (int r = 0; r < grid->rowCount(); ++r) out << grid->item(r, 0)->text();
      return out;
    };
    d.shuffleButton(Booklet::C)->click();
    QVERIFY(d.bookletBox(Booklet::C)->isChecked());
    QVERIFY(d.bookletTable(Booklet::C)->isEnabled());
    const QString seed = d.seedBox(Booklet::C)->text();
    QVERIFY(seed.toUInt() > 0);
    const QStringList first = cells();
    QStringList expected;
    for (int p : authoring::booklets::shuffledOrder(6, seed.toUInt()))
      expected << QString::number(p);
    QCOMPARE(first, expected);

    d.seedBox(Booklet::C)->setText(QString::number(seed.toUInt() % 99999 + 1));
    emit d.seedBox(Booklet::C)->returnPressed();
    QVERIFY(cells() != first);
    d.seedBox(Booklet::C)->setText(seed);
    emit d.seedBox(Booklet::C)->returnPressed();
    QCOMPARE(cells(), first);
    d.tamam();
    QCOMPARE(f.shown(), QStringList{});
    QCOMPARE(
        authoring::BookletOrders(f.store()).order(w.form().fields().testNo, Booklet::C).valueOr({}),
        authoring::booklets::shuffledOrder(6, seed.toUInt()));
  }

  // A clip of the screen becomes the test's next question with the choice
  // picked; the part of the capture taken is the one framed, whatever the
  // surface's size.
  void clipsBecomeQuestionsOfTheTest() {
    frmTestHazirlama w(f.context());
    savedTest(w, 2);
    QImage screen(800, 600, QImage::Format_RGB32);
    screen.fill(Qt::white);
    frmKirpmaMenu menu(f.context());
    menu.setGrabber([&screen] { return screen; });
    QVERIFY(menu.startForTest(w.form().fields().testNo).ok());
    QCOMPARE(menu.findChild<QPushButton*>(QStringLiteral("cmdKirp"))->text(),
             QStringLiteral("3. Soruyu Kırp"));
    menu.kirp();
    QTRY_VERIFY(menu.surface());
    frmKirpma* surface = menu.surface();
    surface->resize(400, 300);  // half the capture's pixels
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(150, 125));
    QCOMPARE(surface->selection(), QRect(100, 100, 200, 150));
    QTest::mouseClick(surface->findChild<QPushButton*>(QStringLiteral("cmdSikD")), Qt::LeftButton);

    QCOMPARE(f.shown(), QStringList{});
    const auto q = authoring::QuestionBank(f.store()).load(QStringLiteral("3"));
    QVERIFY(q);
    QCOMPARE(q->dogruSik, QStringLiteral("D"));
    const QImage stored = QImage::fromData(
        authoring::QuestionBank(f.store()).pictures(QStringLiteral("3")).valueOr({}).question);
    QCOMPARE(stored.size(), QSize(200, 150));
    QCOMPARE(gridKeys(w), (QStringList{"1", "2", "3"}));
    QCOMPARE(menu.findChild<QPushButton*>(QStringLiteral("cmdKirp"))->text(),
             QStringLiteral("4. Soruyu Kırp"));
  }

  // A blueprint's rows are drawn together (no question twice); asking for more
  // than the bank holds adds what there is and says so.
  void automaticSelectionAndBlueprint() {
    frmTestHazirlama w(f.context());
    savedTest(w, 0);
    for (int i = 0; i < 6; ++i) QVERIFY(!f.addQuestion().isEmpty());
    AutoSelectionDialog d(f.context(), w.form());
    d.countBox()->setText(QStringLiteral("2"));
    d.satirEkle();
    d.countBox()->setText(QStringLiteral("3"));
    d.satirEkle();
    QCOMPARE(d.blueprint().size(), 2);
    d.ekle();
    QCOMPARE(f.shown().size(), 1);
    QStringList keys = gridKeys(w);
    QCOMPARE(keys.size(), 5);
    keys.removeDuplicates();
    QCOMPARE(keys.size(), 5);

    AutoSelectionDialog more(f.context(), w.form());
    more.countBox()->setText(QStringLiteral("4"));
    more.ekle();
    authoring::SelectionReport expected;
    expected.asked = 4;
    expected.added = 1;
    QCOMPARE(f.shown(), QStringList{expected.message()});
    QCOMPARE(gridKeys(w).size(), 6);
  }

  // One file per booklet chosen, each named after its booklet; without the
  // right the button is off and the action refused.
  void bookletFilesFollowChoicesAndRights() {
    frmTestHazirlama w(f.context());
    savedTest(w, 3);
    const QString testNo = w.form().fields().testNo;
    QVERIFY(authoring::BookletOrders(f.store()).setOrder(testNo, Booklet::B, {3, 1, 2}).ok());
    const QString path = f.store().path(QStringLiteral("Kitapcik.pdf"));
    {
      BookletDialog d(f.context(), w.form());
      QVERIFY(d.bookletBox(1)->isEnabled());   // B exists
      QVERIFY(!d.bookletBox(2)->isEnabled());  // C does not
      d.bookletBox(1)->setChecked(true);
      d.kaydet(path);
      QCOMPARE(f.shown().size(), 1);  // where the files are
      QVERIFY(QFile::exists(path));
      QVERIFY(QFile::exists(authoring::BookletDocument::fileNameFor(path, Booklet::B)));
    }
    f.deny(QStringLiteral("KitapcikKaydet"));
    BookletDialog d(f.context(), w.form());
    QVERIFY(!d.findChild<QPushButton*>(QStringLiteral("cmdKitapcikWord"))->isEnabled());
    QVERIFY(QFile::remove(path));
    d.kaydet(path);
    QCOMPARE(f.shown(), QStringList{users::kDeniedMessage});
    QVERIFY(!QFile::exists(path));
  }

  void searchAndNumbers() {
    frmTestHazirlama w(f.context());
    savedTest(w, 1);
    QVERIFY(f.store()
                .run(QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI) VALUES "
                                    "('Serbest','Serbest')"))
                .ok());
    w.testleriBul();
    QCOMPARE(w.tests()->kayitSayisi(), 1);
    QCOMPARE(w.tests()->deger(0, QStringLiteral("TESTNO")), QStringLiteral("1"));

    w.yeniKayit();
    QCOMPARE(w.form().fields().testNo, QStringLiteral("2"));
    auto* number = w.findChild<QLineEdit*>(QStringLiteral("txtTestNoAra"));
    for (const char* typed : {"Serbest", "7"}) {
      number->setText(QString::fromLatin1(typed));
      w.testNoSec();
      QCOMPARE(f.shown(), QStringList{authoring::TestCatalog::notFoundMessage()});
    }
    number->setText(QStringLiteral("1"));
    w.testNoSec();
    QCOMPARE(w.form().fields().testAdi, QStringLiteral("Deneme"));
    QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtTestAdi"))->text(),
             QStringLiteral("Deneme"));

    // Deleting many needs its right, whichever way it is asked for.
    w.tests()->TumunuSec();
    f.deny(QStringLiteral("TopluTestSil"));
    QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("cmdSecilileriSil"))->isEnabled());
    w.secilileriSil();
    QCOMPARE(f.shown(), QStringList{users::kDeniedMessage});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLETEST WHERE TESTNO='1'")), 1);

    // The search choices come back by their texts: an author listed before the
    // chosen one since leaves it chosen.
    authoring::Test t;
    t.testAdi = QStringLiteral("Sesler");
    t.hazirlayan = QStringLiteral("Zeynep Öğretmen");
    QVERIFY(authoring::TestCatalog(f.store()).create(t));
    const QString authorList = QStringLiteral("cmbHazirlayanAra");
    {
      frmTestHazirlama first(f.context());
      first.findChild<QComboBox*>(authorList)->setCurrentText(t.hazirlayan);
      first.testleriBul();
    }
    t.hazirlayan = QStringLiteral("Ayşe Öğretmen");
    QVERIFY(authoring::TestCatalog(f.store()).create(t));
    frmTestHazirlama again(f.context());
    QCOMPARE(again.findChild<QComboBox*>(authorList)->currentText(),
             QStringLiteral("Zeynep Öğretmen"));
  }

  // cmdTestVer writes the shown test with its questions, cmdTestAl reads it back
  // and, unlike the main menu's item, says how many tests one file added.
  void testFilesThroughTheButtons() {
    frmTestHazirlama w(f.context());
    auto* give = w.findChild<QPushButton*>(QStringLiteral("cmdTestVer"));
    auto* take = w.findChild<QPushButton*>(QStringLiteral("cmdTestAl"));
    QVERIFY(!give->isEnabled());  // a new test is not saved yet
    savedTest(w, 2);
    QVERIFY(give->isEnabled());
    QStringList titles, filters;
    filedialogs::setRunner([&](QFileDialog& d) {
      titles << d.windowTitle();
      filters << d.nameFilters().join(QLatin1Char(';'));
      d.setDirectory(f.folder().path());
      d.selectFile(QStringLiteral("Test.ckp"));
      return int(QDialog::Accepted);
    });
    give->click();
    QCOMPARE(f.shown(), QStringList{QStringLiteral("Test dosyası oluşturuldu")});
    take->click();
    QCOMPARE(f.shown(), QStringList{QStringLiteral("1 adet test eklendi (Test No: 2)")});
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLETESTSORU WHERE TESTNO='2'")), 2);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), 4);
    QCOMPARE(titles, (QStringList{QStringLiteral("Testin Verileceği Dosya"),
                                  QStringLiteral("Testin Alınacağı Dosya")}));
    QCOMPARE(filters.first(), QStringLiteral("Test Dosyası (*.ckp)"));
    QVERIFY2(filters.last().contains(QStringLiteral("*.rar")), qPrintable(filters.last()));

    f.deny(QStringLiteral("TestVer"));
    QVERIFY(!give->isEnabled());
    w.testVer();
    QCOMPARE(f.shown(), QStringList{users::kDeniedMessage});
    QCOMPARE(titles.size(), 2);
  }
};

QTEST_MAIN(TestTestHazirlama)
#include "tst_frmTestHazirlama.moc"
