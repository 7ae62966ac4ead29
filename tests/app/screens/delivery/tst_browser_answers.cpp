#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>

#include "CardScene.h"
#include "RunFixture.h"
#include "WebClient.h"
#include "cards/CardNumbers.h"
#include "cards/CardSettings.h"
#include "framework/BrowserAnswers.h"
#include "framework/CardAnswers.h"
#include "framework/JoinPanel.h"
#include "framework/ReceiverController.h"
#include "game/Race.h"
#include "screens/delivery/DeliveryScreens.h"
#include "screens/delivery/frmOnizleme.h"
#include "screens/game/GameScreens.h"
#include "screens/game/frmOyun.h"
#include "screens/game/frmOyun1.h"
#include "screens/game/frmYoklama.h"
#include "store/BrowserAddress.h"
#include "web/BrowserSettings.h"

using framework::BrowserAnswers;
using Page = delivery::RunSession::Page;

// An activity started with "Tarayıcıdan cevaplansın" ticked, through the
// program's own openings: the class joins from browsers (the loopback stands for
// the school's network), answers into the same run, and the server goes with
// the activity's last window.
class TestBrowserAnswers : public QObject {
  Q_OBJECT

  RunFixture fx;

  ScreenContext context() { return {fx.db(), fx.messages(), fx.rights(), {}}; }

  // The board's server on the loopback, from `port` on.
  static void listenOnLoopback(quint16 port) {
    web::BrowserSettings s;
    s.port = port;
    for (const web::BrowserSettings::Interface& i : web::BrowserSettings::interfaces())
      if (i.address.isLoopback()) s.interfaceName = i.name;
    QVERIFY(!s.interfaceName.isEmpty());
    s.save();
  }
  // A port from which the server's tries are all free now.
  static quint16 freePorts() {
    for (quint16 base = 21000; base < 60000; base += 997) {
      bool free = true;
      for (int i = 0; i < web::AnswerServer::kPortTries && free; ++i) {
        QTcpServer probe;
        free = probe.listen(QHostAddress::LocalHost, quint16(base + i));
      }
      if (free) return base;
    }
    return 0;
  }
  // Ticks the set-up screen's box as the teacher would.
  QWidget* tick(const QString& screen, QWidget* parent) {
    QWidget* row = BrowserAnswers::setupRow(context(), screen, parent);
    auto* box = row->findChild<QCheckBox*>(QStringLiteral("chkTarayicidanCevaplansin"));
    if (!box->isChecked()) box->click();
    return row;
  }
  // 5-A: two students with remotes, a third (Kaya) without one.
  TestSchool::Class& classWithAStudentWithoutARemote() {
    TestSchool::Class& c = fx.school().klass(QStringLiteral("5-A")).students(2).remotes(10);
    c.students(1, QStringLiteral("Kaya"));
    return c;
  }
  static QString decodedQr(const QImage& image, const QString& path) {
    if (!image.save(path)) return QStringLiteral("(kaydedilemedi)");
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"), path});
    if (!zbar.waitForFinished(20000)) return QStringLiteral("(zbarimg çalışmadı: zbar-tools)");
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
  }

 private slots:
  void init() { fx.setUp(); }
  void cleanup() { fx.tearDown(); }

  // The box is remembered; the student without a remote gets a tile; the start
  // page's QR code reads back (zbarimg) as the address with the code, the
  // teacher's code is on the set-up screen only; a browser answer lights the
  // tile; a second device is refused until freed; leaving the run stops the
  // server.
  void aRunAnsweredFromBrowsersUntilItsWindowCloses() {
    const quint16 port = freePorts();
    QVERIFY(port);
    listenOnLoopback(port);
    TestSchool::Class& c = classWithAStudentWithoutARemote();
    const QString browser = store::browserAddress(c.kayitNos.at(2));
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"), {}, QStringLiteral("Kesirler"), true);

    QWidget setup;
    QWidget* row = tick(QStringLiteral("frmTestUygula"), &setup);
    auto* status = row->findChild<QLabel*>(QStringLiteral("lblTarayiciDurum"));
    QWidget again;
    QVERIFY(BrowserAnswers::setupRow(context(), QStringLiteral("frmTestUygula"), &again)
                ->findChild<QCheckBox*>()
                ->isChecked());

    framework::ReceiverController receiver(nullptr);
    QPointer<frmOnizleme> run;
    receiver.router().setActiveWindowProvider([&run] { return run.data(); });
    run = deliveryui::openPresentation(context(), receiver,
                                       RunFixture::plan(QStringLiteral("7"), c.addresses), {},
                                       QStringLiteral("frmTestUygula"));
    QVERIFY(run);
    QCOMPARE(run->session().tiles().size(), 3);
    QVERIFY(run->session().tiles().find(browser));
    BrowserAnswers* answers = BrowserAnswers::running(QStringLiteral("frmTestUygula"));
    QVERIFY(answers);
    web::AnswerServer& server = answers->server();
    QCOMPARE(server.url(), QStringLiteral("http://127.0.0.1:%1/").arg(port));
    QVERIFY(status->text().contains(server.teacherCode()));
    QVERIFY(status->text().contains(server.joinCode()));

    QCOMPARE(run->session().page(), Page::StartScreen);
    run->resize(1366, 768);
    QCoreApplication::processEvents();
    auto* panel = run->findChild<JoinPanel*>();
    QVERIFY(panel && panel->large());
    QCOMPARE(panel->code(), server.joinCode());
    QCOMPARE(panel->address(), QStringLiteral("http://127.0.0.1:%1").arg(port));
    QCOMPARE(decodedQr(run->grab().toImage(), fx.path(QStringLiteral("baslangic.png"))),
             QStringLiteral("http://127.0.0.1:%1/?kod=%2").arg(port).arg(server.joinCode()));
    // One screen: the presentation is the teacher's screen too, and shows the
    // teacher's code only when asked.
    auto* offer = run->findChild<QPushButton*>(QStringLiteral("cmdOgretmenKodu"));
    QVERIFY(offer && offer->isVisible());
    QVERIFY(!offer->text().contains(server.teacherCode()));
    QVERIFY(!offer->geometry().intersects(panel->geometry()));
    QTest::mouseClick(offer, Qt::LeftButton);
    QVERIFY(offer->text().contains(server.teacherCode()));
    QVERIFY(!offer->geometry().intersects(panel->geometry()));
    QTest::mouseClick(offer, Qt::LeftButton);
    QVERIFY(!offer->text().contains(server.teacherCode()));

    WebClient web(server.url());
    const WebClient::Reply joined = web.join(server.joinCode(), QStringLiteral("3"));
    QCOMPARE(joined.status, 200);
    const QString key = joined.json.value(QStringLiteral("anahtar")).toString();
    QCOMPARE(web.join(server.joinCode(), QStringLiteral("3")).status, 409);
    QVERIFY(!answers->releaseDevice(c.addresses.at(0)));  // nobody joined on it
    QVERIFY(answers->releaseDevice(browser));
    const QString second = web.join(server.joinCode(), QStringLiteral("3"))
                               .json.value(QStringLiteral("anahtar"))
                               .toString();
    QVERIFY(!second.isEmpty());
    QCOMPARE(web.state(key).status, 401);  // the freed device is out

    while (run->session().page() != Page::Question && run->session().page() != Page::Countdown)
      QTest::keyClick(run, Qt::Key_Right);
    QVERIFY(web.waitOpen(second, 1, 6000));
    QVERIFY(!panel->large());
    QCOMPARE(web.answer(second, 1, QStringLiteral("B")).status, 200);
    QCOMPARE(run->session().tiles().find(browser)->letter, QStringLiteral("B"));

    // The teacher reads the run's summary with the run over for the devices.
    std::optional<bool> listeningAtTheEnd;
    connect(run, &frmOnizleme::finished, this,
            [&listeningAtTheEnd, &server] { listeningAtTheEnd = server.listening(); });
    QTest::keyClick(run, Qt::Key_Escape);
    QTest::keyClick(run, Qt::Key_Return);
    QTRY_VERIFY(listeningAtTheEnd.has_value());
    QVERIFY(!*listeningAtTheEnd);
    QTRY_VERIFY(run.isNull());
    QTRY_VERIFY(!BrowserAnswers::running(QStringLiteral("frmTestUygula")));
    QCOMPARE(web.get(QStringLiteral("/")).status, 0);  // nobody listens
    QVERIFY(status->text().isEmpty());
  }

  // A student without a remote who answers from a browser and holds up a card
  // is one tile, under the browser's address: on the remote check their last
  // press counts, whichever way it came.
  void browserAndCardOfOneStudentAreOneTile() {
    const quint16 port = freePorts();
    QVERIFY(port);
    listenOnLoopback(port);
    TestSchool::Class& c = classWithAStudentWithoutARemote();
    const QString browser = store::browserAddress(c.kayitNos.at(2));
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"));
    const auto holders = cards::CardNumbers(fx.db()).giveCards(QStringLiteral("5-A"));
    QVERIFY(holders.ok());
    const QString screen = QStringLiteral("frmTestUygula");
    QWidget setup;
    tick(screen, &setup);
    // The camera stands for a still picture of an empty room: the card comes
    // as a photo.
    QImage room(320, 240, QImage::Format_RGB32);
    room.fill(Qt::gray);
    cards::CardSettings s;
    s.wanted = true;
    s.stillPicture = fx.path(QStringLiteral("oda.png"));
    QVERIFY(room.save(s.stillPicture) && s.save(fx.db().db(), screen).ok());

    framework::ReceiverController receiver(nullptr);
    QPointer<frmOnizleme> run;
    receiver.router().setActiveWindowProvider([&run] { return run.data(); });
    delivery::RunPlan plan = RunFixture::plan(QStringLiteral("7"), c.addresses);
    plan.settings.remoteTestScreen = true;
    run = deliveryui::openPresentation(context(), receiver, plan, {}, screen);
    QVERIFY(run);
    QCOMPARE(run->session().tiles().size(), 3);
    QVERIFY(run->session().tiles().find(browser));
    framework::CardAnswers* cardAnswers = framework::CardAnswers::running(screen);
    QVERIFY(cardAnswers);
    web::AnswerServer& server = BrowserAnswers::running(screen)->server();
    WebClient web(server.url());
    const QString key = web.join(server.joinCode(), QStringLiteral("3"))
                            .json.value(QStringLiteral("anahtar"))
                            .toString();
    QVERIFY(!key.isEmpty());
    while (run->session().page() != Page::RemoteTest) QTest::keyClick(run, Qt::Key_Right);
    QVERIFY(web.waitOpen(key, 0, 6000));

    int card = 0;
    for (const cards::CardHolder& h : holders.value())
      if (h.student.kayitNo == c.kayitNos.at(2)) card = h.card;
    CardScene scene(4);
    scene.options.hands = 0;
    scene.options.maxOffQuarter = 5;
    scene.options.minTag = 120;
    const CardScene::Picture photo = scene.picture(1280, 720, 1, {card});
    const QString held(photo.cards.first().letter);
    const QString other = held == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
    const auto letter = [&run, &browser] {
      return run->session().testTiles().find(browser)->letter;
    };
    QCOMPARE(web.answer(key, 0, other).status, 200);
    QCOMPARE(letter(), other);
    QVERIFY(cardAnswers->stillArrived(photo.image));
    QTRY_COMPARE_WITH_TIMEOUT(letter(), held, 5000);
    QString last;
    for (const char* l : {"A", "B", "C"})
      if (QLatin1String(l) != held && QLatin1String(l) != other) last = QString::fromLatin1(l);
    QCOMPARE(web.answer(key, 0, last).status, 200);
    QCOMPARE(letter(), last);
    QCOMPARE(run->session().testTiles().size(), 3);
    delete run;
  }

  // Every port the server would try is taken: the teacher is told in Turkish and
  // the run opens with the remotes.
  void noPortLeftTheRunGoesOnWithTheRemotes() {
    const quint16 port = freePorts();
    QVERIFY(port);
    listenOnLoopback(port);
    std::vector<std::unique_ptr<QTcpServer>> taken;
    for (int i = 0; i < web::AnswerServer::kPortTries; ++i) {
      taken.push_back(std::make_unique<QTcpServer>());
      QVERIFY(taken.back()->listen(QHostAddress::LocalHost, quint16(port + i)));
    }
    const QStringList remotes = fx.addClass(QStringLiteral("5-A"), 2);
    fx.addTest(QStringLiteral("7"), QStringLiteral("AB"));
    QWidget setup;
    tick(QStringLiteral("frmDersUygula"), &setup);
    framework::ReceiverController receiver(nullptr);
    fx.messages().takeTexts();
    QPointer<frmOnizleme> run = deliveryui::openFreePresentation(
        context(), receiver, RunFixture::plan(QStringLiteral("DERS"), remotes), 0, {}, false,
        QStringLiteral("frmDersUygula"));
    QVERIFY(run);
    const QStringList said = fx.messages().takeTexts();
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().startsWith(QStringLiteral("Tarayıcıdan cevaplama başlatılamadı: ")),
             qPrintable(said.first()));
    QVERIFY(said.first().endsWith(QStringLiteral("Etkinlik kumandalarla sürüyor.")));
    QVERIFY(!BrowserAnswers::running(QStringLiteral("frmDersUygula")));
    QVERIFY(!run->findChild<JoinPanel*>());
    delete run;
  }

  // The game: a student without a remote plays from a browser, joined once for
  // the roll call and the race; the server goes with the race.
  void aGameFromABrowserJoinedOnce() {
    const quint16 port = freePorts();
    QVERIFY(port);
    listenOnLoopback(port);
    TestSchool::Class& c = fx.school().klass(QStringLiteral("5-A")).students(1).remotes(10);
    c.students(1, QStringLiteral("Kaya"));
    const QString browser = store::browserAddress(c.kayitNos.at(1));
    frmOyun setup(context());
    tick(QStringLiteral("frmOyun"), &setup);
    setup.selectClass(QStringLiteral("5-A"));
    std::optional<game::Players> players;
    setup.setStartAttendance([&players](const game::Players& p) { players = p; });
    setup.cmdYoklama_Click();
    QVERIFY(players);
    QCOMPARE(players->addresses, (QStringList{c.addresses.at(0), browser}));

    framework::ReceiverController receiver(nullptr);
    receiver.setClock(&fx.clock());
    QPointer<QWidget> board;
    receiver.router().setActiveWindowProvider([&board] { return board.data(); });
    QPointer<frmYoklama> roll = gameui::openAttendance(context(), receiver, *players, nullptr,
                                                       fx.clock(), setup.browserRoster());
    board = roll;
    // The box on the board turns the server off and on again, with a new code.
    auto* box = roll->findChild<QCheckBox*>(QStringLiteral("chkTarayicidanCevaplansin"));
    QVERIFY(box && box->isChecked());
    box->click();
    QVERIFY(!BrowserAnswers::running(QStringLiteral("frmOyun")));
    QVERIFY(!roll->findChild<JoinPanel*>());
    box->click();
    BrowserAnswers* answers = BrowserAnswers::running(QStringLiteral("frmOyun"));
    QVERIFY(answers);
    QVERIFY(roll->findChild<JoinPanel*>()->large());
    WebClient web(answers->server().url());
    const QString key = web.join(answers->server().joinCode(), QStringLiteral("2"))
                            .json.value(QStringLiteral("anahtar"))
                            .toString();
    QVERIFY(!key.isEmpty());
    QCOMPARE(web.answer(key, 1, QStringLiteral("C")).status, 200);
    QCOMPARE(roll->attendance().presentCount(), 1);

    roll->cmdBasla_Click();
    frmOyun1* race = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* r = qobject_cast<frmOyun1*>(w)) race = r;
    QVERIFY(race);
    board = race;
    QTRY_VERIFY(roll.isNull());
    QVERIFY(BrowserAnswers::running(QStringLiteral("frmOyun")));
    QCOMPARE(web.state(key).json.value(QStringLiteral("tuslar")).toString(), QStringLiteral("AB"));
    for (const char* letter : {"A", "B"}) {
      fx.clock().advance(1000);
      QCOMPARE(web.answer(key, 1, QString::fromLatin1(letter)).status, 200);
    }
    QCOMPARE(race->race().lanes().first().steps, 2);
    race->close();
    QTRY_VERIFY(!BrowserAnswers::running(QStringLiteral("frmOyun")));
    QCOMPARE(web.get(QStringLiteral("/")).status, 0);
  }
};

QTEST_MAIN(TestBrowserAnswers)
#include "tst_browser_answers.moc"
