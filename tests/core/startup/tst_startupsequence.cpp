// The data half of the start-up, without a single window: the dialogs and the
// questions are answered through its hooks.
#include <QDir>
#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "TestSchool.h"
#include "school/Rollover.h"
#include "startup/StartupSequence.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "users/UserList.h"

class TestStartupSequence : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;
  QStringList m_calls;  // the hooks in the order they were called

  store::Store& store() { return m_dir->store(); }
  RecordedMessages& messages() { return m_dir->messages(); }
  int count(const QString& sql) { return store().scalar(sql).valueOr(-1).toInt(); }

  // Hooks that accept the terms (when `accept`) and note every call.
  startup::StartupSequence::Hooks hooks(bool accept = true) {
    startup::StartupSequence::Hooks h;
    h.messages = &messages();
    h.showAgreement = [this, accept] {
      m_calls << QStringLiteral("agreement");
      if (accept) (void)store::acceptAgreement(store(), QStringLiteral("1.0.0.0"));
      return accept;
    };
    h.showInstitution = [this] { m_calls << QStringLiteral("institution"); };
    h.closeScreens = [this] { m_calls << QStringLiteral("closeScreens"); };
    h.now = [] { return QDateTime(QDate(2025, 10, 6), QTime(9, 0)); };
    return h;
  }
  void install(const QString& code = QStringLiteral("123456")) {
    QVERIFY(store().open().ok());
    QVERIFY(store::acceptAgreement(store(), QStringLiteral("1.0.0.0")).ok());
    QVERIFY(store::saveInstitution(store(), code, QStringLiteral("Atatürk Ortaokulu")).ok());
  }

 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir, false));
    m_calls.clear();
  }
  void cleanup() { m_dir.reset(); }

  // A first start: the database is made, the terms come before the institution,
  // the blank pictures are written, everything is allowed.
  void firstStart() {
    startup::StartupSequence start(store(), hooks());
    QVERIFY(start.run());
    QVERIFY(store().isOpen());
    QCOMPARE(m_calls, (QStringList{"agreement", "institution"}));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL")), 1);
    QVERIFY(QFile::exists(store().path(QStringLiteral("YeniSoru.dce"))));
    QVERIFY(QFile::exists(store().path(QStringLiteral("YeniCevap.dce"))));
    QCOMPARE(start.rights(), users::initialRights(false, 0));
    QVERIFY(messages().shown().isEmpty());
  }

  void refusedTermsStop() {
    startup::StartupSequence start(store(), hooks(false));
    QVERIFY(!start.run());
    QCOMPARE(m_calls, QStringList{"agreement"});  // no institution screen after a refusal
    QVERIFY(!store::agreementAccepted(store()).valueOr(true));
  }

  // The second start asks nothing; the advanced mode with users allows nothing
  // until a log-in.
  void secondStartAsksNothing() {
    install();
    QVERIFY(store::setOption(store(), store::Institution::Option::AdvancedMode, true).ok());
    users::UserList list;
    list.add(QStringLiteral("Ayşe"), QStringLiteral("a"));
    QVERIFY(list.save(store()).ok());
    store().close();
    store::UserSettings::setBool(QStringLiteral("Raporlar"), QStringLiteral("DogruYanlisCevap2"),
                                 true);
    startup::StartupSequence start(store(), hooks());
    QVERIFY(start.run());
    QVERIFY(m_calls.isEmpty());
    QCOMPARE(start.rights(), users::initialRights(true, 1));
    QVERIFY(!start.rights().flag(1));
    QVERIFY(store().institution().advancedMode);
    QVERIFY(!store::UserSettings::getBool(QStringLiteral("Raporlar"),
                                          QStringLiteral("DogruYanlisCevap2"), true));
  }

  // A data folder that cannot hold the database: said through the messages, and
  // the program ends.
  void unopenableDatabase() {
    QVERIFY(QDir().mkpath(store().mainFile()));  // a folder where the file should be
    startup::StartupSequence start(store(), hooks());
    QVERIFY(!start.run());
    QCOMPARE(messages().shown().size(), 1);
    QVERIFY(messages().lastText().startsWith(QStringLiteral("Veritabanı açılamadı:")));
    QVERIFY(messages().lastText().contains(store().root()));
    QVERIFY(m_calls.isEmpty());
  }

  // A school with students whose year has not been rolled over yet is asked once,
  // through the messages; "Hayır" leaves the students as they are and the year
  // recorded, so the next start does not ask again.
  void rolloverOfferedOncePerYear() {
    install();
    TestSchool(store()).student(QStringLiteral("Ali"), QStringLiteral("5-A"));
    store().close();
    messages().setNextAnswer(Messages::Answer::No);
    QVERIFY(startup::StartupSequence(store(), hooks()).run());
    QCOMPARE(messages().texts(), QStringList{school::Rollover::firstQuestion()});
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI WHERE SINIFI='5-A'")), 1);
    store().close();
    messages().clear();
    QVERIFY(startup::StartupSequence(store(), hooks()).run());
    QVERIFY(messages().shown().isEmpty());
  }

  // --demo fills an empty school once and names it.
  void demoSchool() {
    install(QString());
    store().close();
    startup::StartupSequence::Hooks h = hooks();
    h.demo = true;
    QVERIFY(startup::StartupSequence(store(), h).run());
    const int students = count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI"));
    QVERIFY(students >= 60);
    QCOMPARE(store().institution().code, QStringLiteral("999999"));
    store().close();
    QVERIFY(startup::StartupSequence(store(), h).run());
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")), students);
  }
};

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
