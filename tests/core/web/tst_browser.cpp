#include <QtTest>

#include "DataFixture.h"
#include "delivery/RunPlan.h"
#include "delivery/RunSettings.h"
#include "store/BrowserAddress.h"
#include "web/BrowserSettings.h"
#include "web/BrowserTakers.h"

using web::BrowserSettings;

// Who may answer an activity from a browser, and the board's settings of the
// server, without a window or a socket.
class TestBrowser : public QObject, public DataFixture {
  Q_OBJECT

  static QStringList numbers(const QList<web::RosterEntry>& roster) {
    QStringList out;
    for (const web::RosterEntry& e : roster) out << e.number;
    return out;
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  // The run's remotes keep their tiles and order; the class's students without a
  // remote join under their browser addresses; a student whose remote the
  // teacher left out may not join from a browser either. A class that had only
  // the virtual remote becomes a class of browsers; a class of nobody stays as
  // it was.
  void theRunsStudentsAndThoseWithoutARemote() {
    TestSchool::Class& c = school().klass(QStringLiteral("5-A")).students(2).remotes(10);
    c.students(2, QStringLiteral("Kaya"));
    Result<QList<web::RosterEntry>> roster = web::classRoster(db(), QStringLiteral("5-A"));
    QVERIFY(roster);
    const QString third = store::browserAddress(c.kayitNos.at(2));
    const QString fourth = store::browserAddress(c.kayitNos.at(3));

    const web::BrowserTakers run =
        web::browserTakers({"10-1"}, {"Öğrenci1 Yılmaz"}, roster.value());
    QCOMPARE(run.addresses, (QStringList{"10-1", third, fourth}));
    QCOMPARE(run.names.mid(1),
             (QStringList{QStringLiteral("Öğrenci%1 Kaya").arg(c.kayitNos.at(2)),
                          QStringLiteral("Öğrenci%1 Kaya").arg(c.kayitNos.at(3))}));
    QCOMPARE(numbers(run.roster), (QStringList{"1", "3", "4"}));

    const QStringList virtualOnly{delivery::RunPlan::kVirtualRemote};
    const web::BrowserTakers browsers =
        web::browserTakers(virtualOnly, virtualOnly, roster.value());
    QCOMPARE(browsers.addresses, (QStringList{third, fourth}));
    QCOMPARE(numbers(browsers.roster), (QStringList{"3", "4"}));

    const web::BrowserTakers nobody = web::browserTakers(virtualOnly, virtualOnly, {});
    QCOMPARE(nobody.addresses, virtualOnly);
    QVERIFY(nobody.roster.isEmpty());

    // Of no one class ("TÜMÜ"): the students of the activity's addresses, from
    // every class, and nobody else of the school.
    school().klass(QStringLiteral("6-B")).students(2, QStringLiteral("Demir")).remotes(20);
    Result<QList<web::RosterEntry>> some = web::rosterOfAddresses(db(), {"20-2", "10-1", fourth});
    QVERIFY(some);
    QStringList names;
    for (const web::RosterEntry& e : some.value()) names << e.surname;
    QCOMPARE(names, (QStringList{"Yılmaz", "Kaya", "Demir"}));
  }

  // Port and interface survive a restart; a chosen interface binds the server to
  // its address, one that is down now leaves it on every interface (the class
  // still answers); the loopback is listed last, never first.
  void portAndInterface() {
    QCOMPARE(BrowserSettings::load(), BrowserSettings{});
    QCOMPARE(BrowserSettings{}.port, 8180);
    BrowserSettings s;
    s.port = 9001;
    s.interfaceName = QStringLiteral("wlan0");
    s.save();
    QCOMPARE(BrowserSettings::load(), s);

    const QList<BrowserSettings::Interface> up{
        {QStringLiteral("eth0"), QHostAddress(QStringLiteral("10.1.2.3"))},
        {QStringLiteral("wlan0"), QHostAddress(QStringLiteral("10.9.8.7"))}};
    web::AnswerServer::Options o = BrowserSettings::serverOptions(s, up);
    QCOMPARE(o.bind, QHostAddress(QStringLiteral("10.9.8.7")));
    QCOMPARE(o.port, 9001);
    o = BrowserSettings::serverOptions(s, up.mid(0, 1));
    QCOMPARE(o.bind, QHostAddress(QHostAddress::AnyIPv4));
    QCOMPARE(BrowserSettings::serverOptions(BrowserSettings{}, up).bind,
             QHostAddress(QHostAddress::AnyIPv4));

    const QList<BrowserSettings::Interface> board = BrowserSettings::interfaces();
    for (int i = 0; i + 1 < board.size(); ++i) QVERIFY(!board.at(i).address.isLoopback());
    QCOMPARE(up.first().caption(), QStringLiteral("eth0 (10.1.2.3)"));
  }

  // Each set-up screen remembers its own box, and ticking it keeps the screen's
  // other saved choices.
  void eachScreenRemembersItsBox() {
    delivery::RunSettings run;
    run.fixedSeconds = 45;
    run.goOnWhenAllAnswered = true;
    QVERIFY(run.save(db().db()).ok());
    QVERIFY(!BrowserSettings::wanted(db().db(), QStringLiteral("frmTestUygula")));
    QVERIFY(BrowserSettings::setWanted(db().db(), QStringLiteral("frmTestUygula"), true).ok());
    QVERIFY(BrowserSettings::wanted(db().db(), QStringLiteral("frmTestUygula")));
    QVERIFY(!BrowserSettings::wanted(db().db(), QStringLiteral("frmOyun")));
    QCOMPARE(delivery::RunSettings::load(db().db()).value(), run);
    QVERIFY(BrowserSettings::setWanted(db().db(), QStringLiteral("frmTestUygula"), false).ok());
    QVERIFY(!BrowserSettings::wanted(db().db(), QStringLiteral("frmTestUygula")));
  }
};

QTEST_GUILESS_MAIN(TestBrowser)
#include "tst_browser.moc"
