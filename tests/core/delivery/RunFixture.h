#pragma once

#include <QtTest>

#include <memory>

#include "DataFixture.h"
#include "authoring/TestQuestions.h"
#include "delivery/RunPlan.h"
#include "delivery/RunSession.h"
#include "receiver/Clock.h"
#include "store/Numbers.h"
#include "store/Store.h"

// A data folder with a school built through TestSchool: classes with students
// paired to remotes 10-1 … 10-n, a teacher remote 99-1, and tests whose questions
// carry keys and times. Each test function gets a fresh one.
class RunFixture : public DataFixture {
 public:
  void setUp() {
    DataFixture::setUp();
    m_clock =
        std::make_unique<receiver::ManualClock>(QDateTime(QDate(2026, 3, 14), QTime(10, 15, 0)));
  }
  void tearDown() {
    m_session.reset();
    DataFixture::tearDown();
  }
  receiver::ManualClock& clock() { return *m_clock; }

  // A test whose question i (from 1) has key keys[i-1] and time times[i-1]; its
  // questions are numbered after the test (test 7: 7001, 7002, ...).
  void addTest(const QString& testNo, const QString& keys, const QStringList& times = {},
               const QString& name = QStringLiteral("Kesirler"), bool pages = false) {
    if (!store::isNumberKey(testNo)) return addOldTest(testNo, keys);
    TestSchool::Test t;
    t.name = name;
    t.keys = keys;
    t.times = times;
    t.pages = pages;
    t.number = testNo;
    QCOMPARE(school().test(t), testNo);
  }
  // A test under a key Derslik never gives (older data): written as such.
  void addOldTest(const QString& testNo, const QString& keys) {
    exec(QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI) VALUES (?,'Kesirler')"), {testNo});
    for (int i = 0; i < keys.size(); ++i) {
      const QString soruNo = school().question(QString(keys.at(i)));
      QVERIFY(authoring::TestQuestions(db()).add(testNo, {soruNo}).ok());
    }
  }
  // Students 1..n of `sinifi`, paired with remotes <first>-1 … <first>-n.
  QStringList addClass(const QString& sinifi, int n, int first = 10) {
    return school()
        .klass(sinifi)
        .students(n, QStringLiteral("Soyadı%1").arg(first), first * 100 + 1)
        .remotes(first)
        .addresses;
  }
  void addTeacherRemote(const QString& address = QStringLiteral("99-1")) {
    school().teacherRemote(address);
  }
  // A plan for `testNo` with these remotes; no pages before or after the questions.
  static delivery::RunPlan plan(const QString& testNo, const QStringList& remotes,
                                const QString& sinifi = QStringLiteral("5-A")) {
    delivery::RunPlan p;
    p.description.testNo = testNo;
    p.description.testName = QStringLiteral("Kesirler");
    p.description.className = sinifi;
    p.description.level = QStringLiteral("5. SINIF");
    p.settings.duration = delivery::RunSettings::Duration::PerQuestion;
    p.settings.afterQuestion = delivery::RunSettings::QuestionReport::None;
    p.settings.reportAtEnd = false;
    p.settings.remoteTestScreen = false;
    p.teacherRemotes = {QStringLiteral("99-1")};
    p.studentRemotes = remotes;
    p.names = remotes;
    return p;
  }

  delivery::RunSession& open(const delivery::RunPlan& p) {
    m_session = std::make_unique<delivery::RunSession>(db(), messages(), clock());
    const Status s = m_session->open(p);
    if (!s.ok()) qWarning("%s", qPrintable(s.error()));
    return *m_session;
  }
  delivery::RunSession& openFree(const delivery::RunPlan& p, int limit = 0) {
    m_session = std::make_unique<delivery::RunSession>(db(), messages(), clock());
    const Status s = m_session->openFree(p, limit);
    if (!s.ok()) qWarning("%s", qPrintable(s.error()));
    return *m_session;
  }
  delivery::RunSession& session() { return *m_session; }

  // Moves the clock in one-second steps, ticking the run as its timer would.
  void wait(qint64 ms) {
    while (ms > 0) {
      const qint64 step = std::min<qint64>(ms, 1000);
      m_clock->advance(step);
      ms -= step;
      if (m_session) m_session->tick();
    }
  }
  // Past the "TEST BAŞLIYOR" countdown.
  void throughCountdown() {
    if (m_session->page() == delivery::RunSession::Page::Countdown) wait(3000);
  }
  void press(const QString& address, const QString& letter, bool teacher = false) {
    m_session->press({{address, letter, QStringLiteral("1")}, teacher, m_clock->timeOfDay()});
  }
  void teacher(const QString& letter) { press(QStringLiteral("99-1"), letter, true); }

  // The stored answers of a question: "address=letter@time" in tile order.
  QStringList stored(int position) {
    return column(QStringLiteral("SELECT KUMANDAADRESI||'='||CEVAP||'@'||CEVAPSURESI FROM "
                                 "TABLECEVAP WHERE TESTSIRANO=? ORDER BY rowid"),
                  {QString::number(position)});
  }

 private:
  std::unique_ptr<receiver::ManualClock> m_clock;
  std::unique_ptr<delivery::RunSession> m_session;
};
