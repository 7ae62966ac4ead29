#include <QJsonArray>
#include <QTcpSocket>
#include <QtTest>

#include "RunFixture.h"
#include "WebClient.h"
#include "activity/PressConsumer.h"
#include "school/Pairing.h"
#include "web/AnswerServer.h"
#include "web/ServedRun.h"

namespace {

// An activity as the server sees it: a state to show and the presses it got.
class FakeActivity : public activity::PressConsumer, public activity::AnswerView {
 public:
  activity::AnswerState state{3, true, {}, QStringLiteral("ABC")};
  activity::TeacherState teacher{activity::kTeacherPageAddress,
                                 QStringLiteral("Soru 3/10"),
                                 {},
                                 {{"ileri", "Sonraki Soru", "B"}}};
  QStringList presses;  // "address=letter", "(teacher)" after a teacher's
  void press(const receiver::AdmittedPress& p) override {
    presses << p.press.KumandaAdresi + QLatin1Char('=') + p.press.Dugme +
                   (p.teacher ? QStringLiteral("(teacher)") : QString());
  }
  QSet<QString> teacherRemotes() const override { return {teacher.address}; }
  activity::AnswerState answerState(const QString&) const override { return state; }
  activity::TeacherState teacherState() const override { return teacher; }
};

web::RosterEntry student(const QString& number, const QString& address) {
  return {number, number, QStringLiteral("Ayşe"), QStringLiteral("Yılmaz"), address, true};
}

}  // namespace

class TestAnswerServer : public QObject {
  Q_OBJECT
 private slots:
  void init() { m_run.setUp(); }
  void cleanup() { m_run.tearDown(); }

  // A class answers a served run from browsers: every answer is stored once,
  // under the paired remote's address or the student's browser address.
  void classAnswersServedRun() {
    m_run.addTest(QStringLiteral("7"), QStringLiteral("AB"));
    const QStringList remotes = m_run.addClass(QStringLiteral("5-A"), 4);
    // The fourth student has no remote any more: a browser address.
    QVERIFY(school::Pairing(m_run.db()).unpair(remotes.at(3), {QStringLiteral("1004")}).ok());

    web::ServedRun served(m_run.db(), m_run.messages());
    web::ServedRun::Options o;
    o.testNo = QStringLiteral("7");
    o.className = QStringLiteral("5-A");
    o.settings.duration = delivery::RunSettings::Duration::Fixed;
    o.settings.fixedSeconds = 20;
    o.settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
    o.settings.reportAtEnd = false;
    o.settings.remoteTestScreen = false;
    o.at = QDateTime(QDate(2026, 3, 14), QTime(10, 15));
    o.server.bind = QHostAddress(QHostAddress::LocalHost);
    o.server.port = 0;

    QStringList problems;
    const auto check = [&problems](bool ok, const QString& what) {
      if (!ok) problems << what;
    };
    std::unique_ptr<PushedStates> pushed;
    std::vector<std::unique_ptr<QTcpSocket>> intruders;
    QString url;
    served.setListening([&](const web::AnswerServer& server) {
      url = server.url();
      check(url.startsWith(QLatin1String("http://127.0.0.1:")), url);
      QTimer::singleShot(0, [&, code = server.joinCode()] {
        WebClient web(url);
        QStringList keys;
        for (int n = 1; n <= 4; ++n) {
          const WebClient::Reply r = web.join(code, QString::number(n));
          check(r.status == 200 && r.json.value(QStringLiteral("soyad")) == "S.",
                QStringLiteral("join %1: %2 %3").arg(n).arg(r.status).arg(r.body));
          keys << r.json.value(QStringLiteral("anahtar")).toString();
        }
        check(keys.at(0).size() == 32 && keys.at(0) != keys.at(1), keys.at(0));
        const WebClient::Reply second = web.join(code, QStringLiteral("2"));
        check(second.status == 409 && second.error() == "Bu öğrenci başka bir cihazdan katıldı.",
              QStringLiteral("second device %1").arg(second.status));
        pushed = std::make_unique<PushedStates>(url, keys.at(0));
        // Meanwhile one device holds a request open and another floods the
        // board with what must never reach the run: the class answers as usual.
        const quint16 port = quint16(QUrl(url).port());
        auto* slow = intruders.emplace_back(std::make_unique<QTcpSocket>()).get();
        slow->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        slow->write("POST /api/cevap HTTP/1.1\r\nHost: tahta\r\nContent-Length: 60\r\n\r\n{");
        for (int i = 0; i < 20; ++i) {
          auto* flood = intruders.emplace_back(std::make_unique<QTcpSocket>()).get();
          flood->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
          for (const QByteArray& body :
               {"{\"anahtar\":\"" + keys.at(3).toLatin1() + "\",\"soru\":2,\"cevap\":\"C\"}",
                "{\"anahtar\":\"" + keys.at(3).toLatin1() + "\",\"soru\":1,\"cevap\":\"Q\"}",
                QByteArray("{\"anahtar\":\"0123456789abcdef0123456789abcdef\",\"soru\":1,"
                           "\"cevap\":\"C\"}"),
                QByteArray("{\"anahtar\":[],\"soru\":1}")})
            flood->write("POST /api/cevap HTTP/1.1\r\nHost: tahta\r\nContent-Length: " +
                         QByteArray::number(body.size()) + "\r\n\r\n" + body);
          flood->write("GET /api/../yok HTTP/1.1\r\nHost: tahta\r\n\r\n");
        }

        check(web.waitOpen(keys.at(0), 1), QStringLiteral("question 1 never opened"));
        check(web.answer(keys.at(0), 2, QStringLiteral("A")).status == 409,
              QStringLiteral("an answer to a later question was taken"));
        const WebClient::Reply first = web.answer(keys.at(0), 1, QStringLiteral("A"));
        check(first.status == 200 && first.json.value(QStringLiteral("cevap")) == "A",
              QStringLiteral("answer: %1").arg(first.body));
        // The first letter is final: a change of mind is not stored.
        check(web.answer(keys.at(0), 1, QStringLiteral("C")).json.value("cevap") == "A",
              QStringLiteral("second letter replaced the first"));
        web.answer(keys.at(1), 1, QStringLiteral("B"));
        web.answer(keys.at(2), 1, QStringLiteral("X"));
        // The last answer of the class moves the run on.
        web.answer(keys.at(3), 1, QStringLiteral("D"));
        check(web.waitOpen(keys.at(0), 2), QStringLiteral("question 2 never opened"));
        check(WebClient::waitUntil([&] {
                return !pushed->states.isEmpty() &&
                       pushed->states.last().value(QStringLiteral("soru")).toInt() == 2;
              }),
              QStringLiteral("no push of question 2"));
        for (int i = 0; i < 4; ++i) web.answer(keys.at(i), 2, QStringLiteral("B"));
      });
    });
    const Result<reports::RunKey> key = served.run(o);
    QVERIFY2(key.ok(), qPrintable(key.error()));
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("\n"))));

    const QString answers = QStringLiteral(
        "SELECT KUMANDAADRESI||'='||CEVAP FROM TABLECEVAP WHERE TESTSIRANO=? ORDER BY "
        "KUMANDAADRESI");
    QCOMPARE(m_run.column(answers, {QStringLiteral("1")}),
             QStringList({"10-1=A", "10-2=B", "10-3=X", "900-1004=D"}));
    QCOMPARE(m_run.column(answers, {QStringLiteral("2")}),
             QStringList({"10-1=B", "10-2=B", "10-3=B", "900-1004=B"}));
    // The browser's answers are the student's, in their reports as a remote's are.
    QCOMPARE(m_run.column(QStringLiteral("SELECT DISTINCT KUMANDAADRESI||'='||KAYITNO FROM "
                                         "TABLECEVAP ORDER BY KUMANDAADRESI")),
             QStringList({"10-1=1001", "10-2=1002", "10-3=1003", "900-1004=1004"}));
    // The pushed states followed the run: the student's own letter, then the next question.
    QVERIFY(std::any_of(pushed->states.cbegin(), pushed->states.cend(), [](const QJsonObject& s) {
      return s.value("soru").toInt() == 1 && s.value("cevap") == "A" &&
             s.value("tuslar") == "ABCDE";
    }));
    // The server listens only while the run is open.
    QTcpSocket probe;
    probe.connectToHost(QUrl(url).host(), quint16(QUrl(url).port()));
    QVERIFY(!probe.waitForConnected(1000));
  }

  // The six-digit code opens the teacher's page: exactly the activity's commands
  // of the moment, each a teacher press through the pipeline. The four-digit
  // code opens the class list; both codes share the tries of a device.
  void teacherPageAndClassList() {
    receiver::ManualClock clock;
    activity::PressPipeline pipeline(&clock);
    FakeActivity activity;
    pipeline.setConsumer(&activity);
    web::AnswerServer server(pipeline, activity,
                             {student(QStringLiteral("123"), QStringLiteral("10-1")),
                              student(QStringLiteral("124"), QStringLiteral("900-124"))},
                             &clock);
    QVERIFY(server.start({QHostAddress(QHostAddress::LocalHost), 0, 2000}).ok());
    WebClient web(server.url());
    const auto post = [&](const QString& path, const QJsonObject& body) {
      clock.advance(150);
      return web.post(path, body);
    };
    const auto get = [&](const QString& path) {
      clock.advance(150);
      return web.get(path);
    };

    QCOMPARE(post("/api/ogretmen", {{"kod", server.joinCode()}}).status, 403);
    const WebClient::Reply teacher = post("/api/ogretmen", {{"kod", server.teacherCode()}});
    QCOMPARE(teacher.status, 200);
    const QString key = teacher.json.value(QStringLiteral("anahtar")).toString();
    QCOMPARE(key.size(), 32);
    const QJsonObject offered{
        {"ogretmen", true},
        {"baslik", "Soru 3/10"},
        {"bilgi", ""},
        {"komutlar", QJsonArray{QJsonObject{{"komut", "ileri"}, {"ad", "Sonraki Soru"}}}}};
    QCOMPARE(get("/api/durum?anahtar=" + key).json, offered);

    const WebClient::Reply joined =
        post("/api/katil", WebClient::joinBody(server.joinCode(), "123"));
    const QString studentKey = joined.json.value(QStringLiteral("anahtar")).toString();
    // A command not offered now, a student's key, a teacher key as a student's:
    // nothing reaches the activity.
    QCOMPARE(post("/api/komut", {{"anahtar", key}, {"komut", "cikis"}}).status, 409);
    QCOMPARE(post("/api/komut", {{"anahtar", studentKey}, {"komut", "ileri"}}).status, 401);
    QCOMPARE(post("/api/komut", {{"anahtar", key}}).status, 400);
    QCOMPARE(post("/api/cevap", {{"anahtar", key}, {"soru", 3}, {"cevap", "A"}}).status, 401);
    QVERIFY(activity.presses.isEmpty());
    QCOMPARE(post("/api/komut", {{"anahtar", key}, {"komut", "ileri"}}).json, offered);
    QCOMPARE(activity.presses, QStringList({"901-0=B(teacher)"}));
    // Within the repeat window a second press is a remote's held button.
    const WebClient::Reply again = post("/api/komut", {{"anahtar", key}, {"komut", "ileri"}});
    QCOMPARE(again.status, 409);
    QCOMPARE(activity.presses.size(), 1);

    // What the teacher may do changes with time alone (the key delay): the page
    // hears of it without a change signal.
    PushedStates pushed(server.url(), key);
    QVERIFY(WebClient::waitUntil([&] { return pushed.states.size() == 1; }));
    activity.teacher.commands.append({"cikis", "Çıkış", "X"});
    QVERIFY(WebClient::waitUntil([&] { return pushed.states.size() == 2; }));
    QCOMPARE(pushed.states.last().value("komutlar").toArray().size(), 2);

    // The class list: first names and the surname's initial, who has joined.
    const WebClient::Reply list = get("/api/sinif?kod=" + server.joinCode());
    QCOMPARE(list.status, 200);
    QCOMPARE(list.json.value("ogrenciler").toArray().at(0).toObject(),
             QJsonObject({{"numara", "123"}, {"ad", "Ayşe"}, {"soyad", "Y."}, {"katildi", true}}));
    QCOMPARE(list.json.value("ogrenciler").toArray().at(1).toObject().value("katildi"), false);
    QVERIFY(!list.body.contains("Yılmaz"));
    QCOMPARE(get("/api/sinif?kod=" + server.teacherCode()).status, 403);
    // Ten wrong codes of either kind a minute.
    for (int i = 0; i < 7; ++i) QCOMPARE(get("/api/sinif?kod=0000").status, 403);
    QCOMPARE(post("/api/ogretmen", {{"kod", "000000"}}).status, 403);
    QCOMPARE(post("/api/ogretmen", {{"kod", server.teacherCode()}}).status, 429);
    QCOMPARE(get("/api/sinif?kod=" + server.joinCode()).status, 429);
  }

  // What a device may send, and what never reaches the activity.
  void contractRefusesBadRequests() {
    receiver::ManualClock clock;
    activity::PressPipeline pipeline(&clock);
    FakeActivity activity;
    pipeline.setConsumer(&activity);
    web::AnswerServer server(pipeline, activity,
                             {student(QStringLiteral("123"), QStringLiteral("10-1"))}, &clock);
    QVERIFY(server.start({QHostAddress(QHostAddress::LocalHost), 0, 400}).ok());
    WebClient web(server.url());
    const auto later = [&clock] { clock.advance(150); };
    // The server's clock is ours: no request here is ever refused as too soon
    // unless the test means it.
    const auto join = [&web](const QString& code, const QString& number) {
      return web.post(QStringLiteral("/api/katil"), WebClient::joinBody(code, number));
    };

    const WebClient::Reply page = web.get(QStringLiteral("/"));
    QCOMPARE(page.status, 200);
    QVERIFY(page.body.size() < 100 * 1024);
    QVERIFY(page.body.contains("Boş") && page.body.contains("WebSocket"));
    later();
    QCOMPARE(web.get(QStringLiteral("/sayfa.html")).status, 404);
    later();
    QCOMPARE(web.get(QStringLiteral("/../../etc/passwd")).status, 404);

    later();
    const WebClient::Reply unknown = join(server.joinCode(), QStringLiteral("999"));
    QCOMPARE(unknown.status, 404);
    QCOMPARE(unknown.error(), QStringLiteral("Bu numarada bir öğrenci bu sınıfta yok."));
    later();
    QCOMPARE(web.post(QStringLiteral("/api/katil"), QByteArray("{\"kod\":")).status, 400);
    later();
    QCOMPARE(web.post(QStringLiteral("/api/katil"), QByteArray("[1,2]")).status, 400);
    later();
    const WebClient::Reply joined = join(server.joinCode(), QStringLiteral("123"));
    QCOMPARE(joined.status, 200);
    const QString key = joined.json.value(QStringLiteral("anahtar")).toString();
    QCOMPARE(joined.json.value(QStringLiteral("ad")).toString(), QStringLiteral("Ayşe"));

    // One request per 100 ms per device.
    QCOMPARE(web.get(QStringLiteral("/api/durum?anahtar=") + key).status, 200);
    QCOMPARE(web.get(QStringLiteral("/api/durum?anahtar=") + key).status, 429);
    later();
    QCOMPARE(web.get(QStringLiteral("/api/durum?anahtar=") + key).json,
             QJsonObject({{"soru", 3}, {"acik", true}, {"cevap", ""}, {"tuslar", "ABC"}}));
    later();
    QCOMPARE(web.get(QStringLiteral("/api/durum?anahtar=bilinmeyen")).status, 401);

    // Answers: a letter the activity does not take, a wrong question, a
    // closed question, an oversized or malformed body.
    const auto answer = [&](int question, const QString& letter) {
      later();
      return web.post(QStringLiteral("/api/cevap"),
                      QJsonObject{{"anahtar", key}, {"soru", question}, {"cevap", letter}});
    };
    QCOMPARE(answer(3, QStringLiteral("D")).status, 400);
    QCOMPARE(answer(3, QStringLiteral("AB")).status, 400);
    QCOMPARE(answer(2, QStringLiteral("A")).status, 409);
    activity.state.open = false;
    QCOMPARE(answer(3, QStringLiteral("A")).status, 409);
    // Before the questions (the remote test) an open activity takes question 0.
    activity.state.question = 0;
    QCOMPARE(answer(0, QStringLiteral("A")).status, 409);
    activity.state.open = true;
    QCOMPARE(answer(0, QStringLiteral("A")).status, 200);
    QCOMPARE(activity.presses.takeLast(), QStringLiteral("10-1=A"));
    activity.state.question = 3;
    later();
    QCOMPARE(web.post(QStringLiteral("/api/cevap"), QByteArray("{\"anahtar\":\"") + key.toLatin1() +
                                                        "\",\"soru\":\"3\",\"cevap\":\"A\"}")
                 .status,
             400);
    later();
    QCOMPARE(
        web.post(QStringLiteral("/api/cevap"), QByteArray("{\"anahtar\":\"") + key.toLatin1() +
                                                   "\",\"soru\":3,\"cevap\":\"A\"," +
                                                   "\"dolgu\":\"" + QByteArray(5000, 'x') + "\"}")
            .status,
        413);
    later();
    QCOMPARE(web.post(QStringLiteral("/api/yok"), QByteArray("{}")).status, 404);
    later();
    QCOMPARE(web.get(QStringLiteral("/api/cevap")).status, 405);
    QVERIFY(activity.presses.isEmpty());
    QCOMPARE(answer(3, QStringLiteral("X")).status, 200);
    QCOMPARE(activity.presses, QStringList({"10-1=X"}));

    // Ten wrong codes a minute per device; then even the right one waits.
    for (int i = 0; i < 10; ++i) {
      later();
      QCOMPARE(join(QStringLiteral("0000"), QStringLiteral("123")).status, 403);
    }
    later();
    QCOMPARE(join(server.joinCode(), QStringLiteral("123")).status, 429);
    clock.advance(60000);
    QCOMPARE(join(server.joinCode(), QStringLiteral("123")).status, 409);
    // Freed on the board, the student joins from a new device; the old key is dead.
    server.release(QStringLiteral("123"));
    clock.advance(150);
    const WebClient::Reply again = join(server.joinCode(), QStringLiteral("123"));
    QCOMPARE(again.status, 200);
    clock.advance(150);
    QCOMPARE(web.get(QStringLiteral("/api/durum?anahtar=") + key).status, 401);
    const QString newKey = again.json.value(QStringLiteral("anahtar")).toString();

    // A flood of a body is cut off as it comes; a request that never ends is dropped.
    QTcpSocket flood;
    flood.connectToHost(QHostAddress(QHostAddress::LocalHost), server.port());
    QVERIFY(flood.waitForConnected(2000));
    flood.write("POST /api/cevap HTTP/1.1\r\nHost: tahta\r\nContent-Length: 1000000\r\n\r\n" +
                QByteArray(200000, '{'));
    QVERIFY(
        WebClient::waitUntil([&] { return flood.state() == QAbstractSocket::UnconnectedState; }));
    QVERIFY(flood.readAll().startsWith("HTTP/1.1 413"));
    QTcpSocket slow;
    slow.connectToHost(QHostAddress(QHostAddress::LocalHost), server.port());
    QVERIFY(slow.waitForConnected(2000));
    slow.write("GET /api/durum?anahtar=" + newKey.toLatin1() + " HTTP/1.1\r\nHost: ta");
    QVERIFY(
        WebClient::waitUntil([&] { return slow.state() == QAbstractSocket::UnconnectedState; }));
    QVERIFY(slow.readAll().isEmpty());
    // So is a connection that never sends a byte.
    QTcpSocket idle;
    idle.connectToHost(QHostAddress(QHostAddress::LocalHost), server.port());
    QVERIFY(idle.waitForConnected(2000));
    QVERIFY(
        WebClient::waitUntil([&] { return idle.state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(activity.presses, QStringList({"10-1=X"}));

    // A busy port: the next free one.
    web::AnswerServer neighbour(pipeline, activity, {}, &clock);
    QVERIFY(neighbour.start({QHostAddress(QHostAddress::LocalHost), server.port()}).ok());
    QVERIFY(neighbour.port() > server.port());

    // A WebSocket without a valid key is closed; the key dies with the server.
    PushedStates stranger(server.url(), QStringLiteral("bilinmeyen"));
    QVERIFY(WebClient::waitUntil([&] { return stranger.closed; }));
    QVERIFY(stranger.states.isEmpty());
    PushedStates own(server.url(), newKey);
    QVERIFY(WebClient::waitUntil([&] { return own.states.size() == 1; }));
    activity.state.answer = QStringLiteral("B");
    server.stateChanged();
    server.stateChanged();  // nothing new: nothing sent
    QVERIFY(WebClient::waitUntil([&] { return own.states.size() == 2; }));
    WebClient::pause(50);
    QCOMPARE(own.states.size(), 2);
    QCOMPARE(own.states.last().value("cevap").toString(), QStringLiteral("B"));
    // The page sends nothing over its socket: a big message closes it unread.
    PushedStates chatty(server.url(), newKey);
    QVERIFY(WebClient::waitUntil([&] { return chatty.states.size() == 1; }));
    chatty.send(QString(100000, QLatin1Char('x')));
    QVERIFY(WebClient::waitUntil([&] { return chatty.closed; }));
    QVERIFY(!own.closed);
    // A device's new sockets (a reloaded page) push its oldest out.
    PushedStates second(server.url(), newKey);
    PushedStates third(server.url(), newKey);
    QVERIFY(WebClient::waitUntil([&] { return third.states.size() == 1 && own.closed; }));
    QVERIFY(!second.closed);
    server.stop();
    QVERIFY(WebClient::waitUntil([&] { return second.closed && third.closed; }));
  }

 private:
  RunFixture m_run;
};

QTEST_MAIN(TestAnswerServer)
#include "tst_answerserver.moc"
