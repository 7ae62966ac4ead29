#include <QtTest>

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QToolButton>

#include "CardScene.h"
#include "RunFixture.h"
#include "Screenshot.h"
#include "activity/PressPipeline.h"
#include "cards/CardNumbers.h"
#include "cards/CardSettings.h"
#include "framework/CardAnswers.h"
#include "framework/CardPreview.h"
#include "framework/FileDialogs.h"
#include "framework/ReceiverController.h"
#include "framework/TouchSupport.h"
#include "screens/delivery/DeliveryScreens.h"
#include "screens/delivery/frmOnizleme.h"
#include "screens/game/GameScreens.h"
#include "screens/game/frmYoklama.h"
#include "store/BrowserAddress.h"

using framework::CardAnswers;
using Page = delivery::RunSession::Page;

// Activities answered with printed cards through the program's frame handler:
// frames are read on the worker thread and reach the run as presses.
class TestCardAnswers : public QObject {
  Q_OBJECT

  RunFixture fx;

  ScreenContext context() { return {fx.db(), fx.messages(), fx.rights(), {}}; }

  // Feeds one frame and waits for its read to reach the pipeline.
  static bool feed(CardAnswers& answers, const QImage& frame) {
    QSignalSpy read(&answers, &CardAnswers::frameRead);
    return answers.frameArrived(frame) && read.wait(5000);
  }

 private slots:
  void init() { fx.setUp(); }
  void cleanup() {
    filedialogs::setRunner({});
    fx.tearDown();
  }

  // A five-question run whose answers come from a stream of frames. Each card is
  // first seen once with the letter before its answer and then half turned
  // before it settles: every stored answer is the letter the card settled on.
  void aRunAnsweredFromFrames() {
    fx.addTeacherRemote();
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 5);
    // Two students have no remote: they answer under their card address.
    for (int i = 3; i < 5; ++i)
      QVERIFY(school::Pairing(fx.db()).unpair(remotes.at(i), {QString::number(1001 + i)}).ok());
    fx.addTest(QStringLiteral("7"), QStringLiteral("ABCDA"));
    const auto holders = cards::CardNumbers(fx.db()).giveCards(QStringLiteral("5-A"));
    QVERIFY(holders.ok());
    QStringList addresses;
    QList<int> numbers;
    for (const cards::CardHolder& h : holders.value()) {
      addresses << h.student.address;
      numbers << h.card;
    }
    delivery::RunPlan p = RunFixture::plan(QStringLiteral("7"), addresses);
    p.settings.goOnWhenAllAnswered = true;
    delivery::RunSession& run = fx.open(p);
    activity::PressPipeline pipeline(&fx.clock());
    pipeline.setConsumer(&run);
    std::unique_ptr<CardAnswers> answers(CardAnswers::openWithoutCamera(
        pipeline, holders.value(), QStringLiteral("frmTestUygula"), &fx.clock()));
    answers->followRun(run);
    // Before the questions nothing is read.
    QVERIFY(!answers->frameArrived(QImage(64, 64, QImage::Format_RGB32)));
    fx.throughCountdown();

    CardScene scene(27);
    scene.options.hands = 0;
    scene.options.maxOffQuarter = 8;
    QMap<QString, QString> shown;  // "position:address" → letter
    for (int q = 1; q <= 5; ++q) {
      QCOMPARE(run.position(), q);
      CardScene::Picture settled = scene.picture(1280, 720, 5, numbers);
      // One frame a quarter turn back (another letter), one halfway between.
      for (int step : {1, 0}) {
        CardScene::Picture turning = settled;
        for (CardScene::Card& c : turning.cards) c.turn -= step ? 90 : 45;
        fx.clock().advance(70);
        QVERIFY(feed(*answers, scene.moved(turning).image));
      }
      QCOMPARE(answers->cardsCounted(), 0);
      for (int frame = 0; frame < 8 && run.position() == q && run.page() == Page::Question;
           ++frame) {
        fx.clock().advance(70);
        QVERIFY(feed(*answers, settled.image));
        settled = scene.moved(settled);
      }
      for (const CardScene::Card& c : settled.cards)
        shown.insert(QStringLiteral("%1:%2").arg(q).arg(addresses.at(numbers.indexOf(c.card))),
                     QString(c.letter));
    }
    QCOMPARE(run.page(), Page::Finished);
    const QStringList stored = fx.column(QStringLiteral(
        "SELECT TESTSIRANO||':'||KUMANDAADRESI||'='||CEVAP FROM TABLECEVAP ORDER BY rowid"));
    QCOMPARE(stored.size(), 25);
    for (const QString& row : stored)
      QCOMPARE(row.section(QLatin1Char('='), 1), shown.value(row.section(QLatin1Char('='), 0, 0)));
    // Once the run is over, frames are dropped.
    QVERIFY(!answers->frameArrived(QImage(64, 64, QImage::Format_RGB32)));
  }

  // The set-up remembers the box and the still picture chosen instead of a
  // camera; the run it opens gives the student without a remote a card tile,
  // reads the picture again and again, and the preview in the corner counts
  // the cards read while the question is open.
  void aRunOnAStillPictureWithItsPreview() {
    TestSchool::Class& c = fx.school().klass(QStringLiteral("5-A")).students(2).remotes(10);
    c.students(1, QStringLiteral("Kaya"));
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"));
    const auto holders = cards::CardNumbers(fx.db()).giveCards(QStringLiteral("5-A"));
    QVERIFY(holders.ok());
    QList<int> numbers;
    for (const cards::CardHolder& h : holders.value()) numbers << h.card;
    CardScene scene(5);
    scene.options.hands = 0;
    scene.options.maxOffQuarter = 5;
    scene.options.minTag = 90;
    const CardScene::Picture pic = scene.picture(1280, 720, 3, numbers);
    const QString photo = fx.path(QStringLiteral("sınıf.png"));
    QVERIFY(pic.image.save(photo));

    const QString screen = QStringLiteral("frmTestUygula");
    {
      QWidget setup;
      QWidget* row = CardAnswers::setupRow(context(), screen, &setup);
      auto* box = row->findChild<QCheckBox*>(QStringLiteral("chkKartlarlaCevaplansin"));
      auto* camera = row->findChild<QComboBox*>(QStringLiteral("cmbKamera"));
      QVERIFY(!box->isChecked());
      box->click();
      filedialogs::setRunner([&photo](QFileDialog& d) {
        d.selectFile(photo);
        return int(QDialog::Accepted);
      });
      const int choose = camera->count() - 1;
      camera->setCurrentIndex(choose);
      emit camera->activated(choose);
    }
    QWidget again;
    QWidget* row = CardAnswers::setupRow(context(), screen, &again);
    QVERIFY(row->findChild<QCheckBox*>(QStringLiteral("chkKartlarlaCevaplansin"))->isChecked());
    QCOMPARE(row->findChild<QComboBox*>(QStringLiteral("cmbKamera"))->currentText(),
             QStringLiteral("Resim: sınıf.png"));

    framework::ReceiverController receiver(nullptr);
    QPointer<frmOnizleme> run;
    receiver.router().setActiveWindowProvider([&run] { return run.data(); });
    run = deliveryui::openPresentation(
        context(), receiver, RunFixture::plan(QStringLiteral("7"), c.addresses), {}, screen);
    QVERIFY(run);
    const QString cardAddress = store::cardAddress(c.kayitNos.at(2));
    QCOMPARE(run->session().tiles().size(), 3);
    QVERIFY(run->session().tiles().find(cardAddress));
    CardAnswers* answers = CardAnswers::running(screen);
    QVERIFY(answers);
    CardPreview* preview = answers->preview();
    QVERIFY(preview && !preview->isVisible());
    run->resize(1366, 768);
    run->show();
    while (run->session().page() != Page::Question && run->session().page() != Page::Countdown)
      QTest::keyClick(run, Qt::Key_Right);
    QTRY_VERIFY_WITH_TIMEOUT(preview->isVisible(), 6000);
    QTRY_COMPARE_WITH_TIMEOUT(preview->countText(), QStringLiteral("3 / 3 kart okundu"), 5000);
    QCOMPARE(preview->parentWidget(), run.data());
    QVERIFY(preview->geometry().left() > run->width() / 2);  // in the corner
    QString letter;
    for (const CardScene::Card& k : pic.cards)
      if (k.card == numbers.at(2)) letter = QString(k.letter);
    QCOMPARE(run->session().tiles().find(cardAddress)->letter, letter);
    preview->findChild<QToolButton*>()->click();
    QCOMPARE(preview->geometry(), run->rect());

    delete run;
    QTRY_VERIFY(!CardAnswers::running(screen));
  }

  // A photo of the class pasted (Ctrl+V or "Yapıştır") or opened on the preview
  // is read as the camera's frames are and counts at once; a clipboard without
  // a picture, or a file that is none, is said on the preview and reads nothing.
  void aPhotoPastedOrOpenedCountsAtOnce() {
    TestSchool::Class& c = fx.school().klass(QStringLiteral("5-A")).students(3).remotes(10);
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"));
    const auto holders = cards::CardNumbers(fx.db()).giveCards(QStringLiteral("5-A"));
    QVERIFY(holders.ok());
    QList<int> numbers;
    for (const cards::CardHolder& h : holders.value()) numbers << h.card;
    delivery::RunSession& run = fx.open(RunFixture::plan(QStringLiteral("7"), c.addresses));
    activity::PressPipeline pipeline(&fx.clock());
    pipeline.setConsumer(&run);
    std::unique_ptr<CardAnswers> answers(CardAnswers::openWithoutCamera(
        pipeline, holders.value(), QStringLiteral("frmTestUygula"), &fx.clock()));
    answers->followRun(run);
    QWidget window;
    window.resize(1280, 720);
    answers->showOn(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    fx.throughCountdown();
    CardPreview* preview = answers->preview();
    QVERIFY(preview->isVisible());
    CardScene scene(11);
    scene.options.hands = 0;
    scene.options.maxOffQuarter = 5;
    scene.options.minTag = 90;
    // Every card of the photo has answered, with the letter on top.
    const auto answeredAsShown = [&](const CardScene::Picture& pic) {
      QCOMPARE(answers->cardsCounted(), 3);
      QCOMPARE(preview->countText(), QStringLiteral("3 / 3 kart okundu"));
      for (const CardScene::Card& k : pic.cards)
        QCOMPARE(run.tiles().find(c.addresses.at(numbers.indexOf(k.card)))->letter,
                 QString(k.letter));
    };

    QGuiApplication::clipboard()->setText(QStringLiteral("Ayşe Kaya"));
    QTest::mouseClick(preview->findChild<QToolButton*>(QStringLiteral("cmdKartYapistir")),
                      Qt::LeftButton);
    QCOMPARE(preview->notice(),
             QStringLiteral("Panoda resim yok: fotoğrafı kopyalayıp yeniden yapıştırınız."));
    QVERIFY(!answers->reading());
    QCOMPARE(run.counts().answered, 0);

    const CardScene::Picture first = scene.picture(1600, 900, 3, numbers);
    QGuiApplication::clipboard()->setImage(first.image);
    QSignalSpy read(answers.get(), &CardAnswers::frameRead);
    QTest::keyClick(&window, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(read.wait(5000));
    answeredAsShown(first);
    QVERIFY(preview->notice().isEmpty());

    // The next question, from a photo file; a file that is no picture first.
    QVERIFY(run.trigger(delivery::RunSession::Command::Next));
    QCOMPARE(run.position(), 2);
    QCOMPARE(answers->cardsCounted(), 0);
    QFile notAPicture(fx.path(QStringLiteral("sınıf.jpg")));
    QVERIFY(notAPicture.open(QIODevice::WriteOnly) && notAPicture.write("metin") > 0);
    notAPicture.close();
    const CardScene::Picture second = scene.picture(1600, 900, 3, numbers);
    const QString photo = fx.path(QStringLiteral("sınıf.png"));
    QVERIFY(second.image.save(photo));
    QString chosen = notAPicture.fileName();
    filedialogs::setRunner([&chosen](QFileDialog& d) {
      d.selectFile(chosen);
      return int(QDialog::Accepted);
    });
    auto* open = preview->findChild<QToolButton*>(QStringLiteral("cmdKartResimAc"));
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(preview->notice(), QStringLiteral("sınıf.jpg bir resim olarak açılamadı."));
    QCOMPARE(read.count(), 1);
    chosen = photo;
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(read.wait(5000));
    answeredAsShown(second);
  }

  // On a board the run's commands stand in a column: the preview takes the
  // column's free top and covers no command, tile or counter, the exit's
  // question with its buttons neither.
  void onABoardThePreviewCoversNoCommand() {
    framework::TouchSupport::install(*qApp)->setTouchBoard(true, board::kMinimumTargetPixels);
    const auto boardOff =
        qScopeGuard([] { framework::TouchSupport::instance()->setTouchBoard(false); });
    TestSchool::Class& c = fx.school().klass(QStringLiteral("5-A")).students(12).remotes(10);
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"));
    QVERIFY(cards::CardNumbers(fx.db()).giveCards(QStringLiteral("5-A")).ok());
    cards::CardSettings s;
    s.wanted = true;
    s.stillPicture = fx.path(QStringLiteral("oda.png"));
    QImage room(320, 180, QImage::Format_RGB32);
    room.fill(Qt::gray);
    QVERIFY(room.save(s.stillPicture) &&
            s.save(fx.db().db(), QStringLiteral("frmTestUygula")).ok());
    framework::ReceiverController receiver(nullptr);
    std::unique_ptr<frmOnizleme> run(deliveryui::openPresentation(
        context(), receiver, RunFixture::plan(QStringLiteral("7"), c.addresses), {},
        QStringLiteral("frmTestUygula")));
    QVERIFY(run);
    run->resize(1920, 1080);
    run->show();
    CardPreview* preview = CardAnswers::running(QStringLiteral("frmTestUygula"))->preview();
    const auto coversNothing = [&] {
      QTRY_VERIFY(preview->isVisible());
      QCoreApplication::processEvents();
      auto* column = run->findChild<QWidget*>(QStringLiteral("frameKomutlar"));
      QVERIFY(column->height() > column->width());
      for (QWidget* w : run->findChildren<QWidget*>()) {
        const bool command = qobject_cast<QAbstractButton*>(w) && !preview->isAncestorOf(w);
        const bool shown = w->objectName() == QLatin1String("frameKumandalar") ||
                           w->objectName().startsWith(QLatin1String("lbl"));
        if (!(command || shown) || !w->isVisible()) continue;
        const QRect at(w->mapTo(run.get(), QPoint(0, 0)), w->size());
        QVERIFY2(!at.intersects(preview->geometry()), qPrintable(w->objectName()));
      }
    };
    while (run->session().page() != Page::Question && run->session().page() != Page::Countdown)
      QTest::keyClick(run.get(), Qt::Key_Right);
    QTRY_COMPARE_WITH_TIMEOUT(run->session().page(), Page::Question, 6000);
    coversNothing();
    QTest::keyClick(run.get(), Qt::Key_Escape);  // the exit asked: another column
    QVERIFY(run->session().confirmingExit());
    coversNothing();
  }

  // A camera that is not there, or a picture that does not open: the teacher is
  // told why in Turkish, and the run opens with the remotes alone (no tile for
  // a card that could never be read).
  void noCameraTheRunGoesOnWithTheRemotes() {
    TestSchool::Class& c = fx.school().klass(QStringLiteral("5-A")).students(2).remotes(10);
    c.students(1, QStringLiteral("Kaya"));
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"));
    QVERIFY(cards::CardNumbers(fx.db()).giveCards(QStringLiteral("5-A")).ok());
    QFile notAPicture(fx.path(QStringLiteral("foto.jpg")));
    QVERIFY(notAPicture.open(QIODevice::WriteOnly) && notAPicture.write("metin") > 0);
    notAPicture.close();
    const QString screen = QStringLiteral("frmTestUygula");
    framework::ReceiverController receiver(nullptr);
    for (const QString& picture : {QString(), notAPicture.fileName()}) {
      cards::CardSettings s;
      s.wanted = true;
      s.camera = QStringLiteral("takili-olmayan-kamera");
      s.stillPicture = picture;
      QVERIFY(s.save(fx.db().db(), screen).ok());
      fx.messages().takeTexts();
      QPointer<frmOnizleme> run = deliveryui::openPresentation(
          context(), receiver, RunFixture::plan(QStringLiteral("7"), c.addresses), {}, screen);
      QVERIFY(run);
      const QStringList said = fx.messages().takeTexts();
      QCOMPARE(said.size(), 1);
      QVERIFY2(said.first().startsWith(QStringLiteral("Kartlarla cevaplama başlatılamadı: ")),
               qPrintable(said.first()));
      QVERIFY(said.first().endsWith(QStringLiteral("Etkinlik diğer cevap yollarıyla sürüyor.")));
      QCOMPARE(run->session().tiles().size(), 2);
      QVERIFY(!CardAnswers::running(screen));
      QVERIFY(!run->findChild<CardPreview*>());
      delete run;
    }
  }

  // The game's roll call: a player's card held up marks them present.
  void theRollCallTakesCards() {
    TestSchool::Class& c = fx.school().klass(QStringLiteral("5-A")).students(3).remotes(10);
    const auto holders = cards::CardNumbers(fx.db()).giveCards(QStringLiteral("5-A"));
    QVERIFY(holders.ok());
    QList<int> numbers;
    for (const cards::CardHolder& h : holders.value()) numbers << h.card;
    CardScene scene(3);
    scene.options.hands = 0;
    scene.options.minTag = 90;
    const QString photo = fx.path(QStringLiteral("yoklama.png"));
    QVERIFY(scene.picture(1280, 720, 2, numbers).image.save(photo));
    cards::CardSettings s;
    s.wanted = true;
    s.stillPicture = photo;
    QVERIFY(s.save(fx.db().db(), QStringLiteral("frmOyun")).ok());
    framework::ReceiverController receiver(nullptr);
    QPointer<frmYoklama> roll =
        gameui::openAttendance(context(), receiver, game::Players{c.addresses, c.addresses},
                               nullptr, receiver::SteadyClock::instance(), {});
    QVERIFY(roll);
    QTRY_COMPARE_WITH_TIMEOUT(roll->attendance().presentCount(), 2, 5000);
    QVERIFY(CardAnswers::running(QStringLiteral("frmOyun")));
    delete roll;
    QTRY_VERIFY(!CardAnswers::running(QStringLiteral("frmOyun")));
  }

  // A photo of a class holding cards 1..16 (the demo school's first class has
  // them after "Kartları Yazdır"), to open as the still picture of a run.
  void classPhoto() {
    PICTURES_ONLY();
    CardScene scene(16);
    scene.options.hands = 1;
    scene.options.minTag = 70;
    scene.options.maxTag = 150;
    scene.options.maxOffQuarter = 8;
    scene.options.maxTilt = 25;
    QList<int> numbers;
    for (int i = 1; i <= 16; ++i) numbers << i;
    QVERIFY(savePicture(QPixmap::fromImage(scene.picture(1920, 1080, 16, numbers).image),
                        QStringLiteral("kart_sinifi.png")));
  }
};

QTEST_MAIN(TestCardAnswers)
#include "tst_card_answers.moc"
