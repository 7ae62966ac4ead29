#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

#include "TempDataFolder.h"

#include <memory>

#include "store/Store.h"
#include "users/PasswordHash.h"
#include "users/RightFlags.h"
#include "users/Session.h"
#include "users/UserList.h"

namespace {

// The running test's store.
store::Store* g_store = nullptr;
store::Store& db() { return *g_store; }

QStringList storedRows() {
  QStringList rows;
  Result<QSqlQuery> q = db().exec(QStringLiteral(
      "SELECT NZ(KULLANICIADI) || '|' || NZ(KULLANICISIFRESI) || '|' || NZ(SAYFAKODU) "
      "FROM TABLEKULLANICIBILGILERI ORDER BY rowid"));
  while (q && q.value().next()) rows << q.value().value(0).toString();
  return rows;
}

void storeUsers(const QList<std::pair<QString, QString>>& namesAndDenied) {
  users::UserList list;
  for (const auto& [name, denied] : namesAndDenied)
    list.add(name, name + QStringLiteral("-pw"), denied);
  QVERIFY2(list.save(db()).ok(), "users saved");
}

}  // namespace

class TestUsers : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir));
    g_store = &m_dir->store();
  }
  void cleanup() {
    g_store = nullptr;
    m_dir.reset();
  }

  void passwordsAreSaltedHashes() {
    const QString typed = QStringLiteral("Türkiye'nin Şifresi");
    const Result<QString> a = users::hashPassword(typed);
    const Result<QString> b = users::hashPassword(typed);
    QVERIFY(a.ok() && b.ok());
    QVERIFY(a.value().startsWith(QLatin1String("$argon2id$")));
    QVERIFY(!a.value().contains(typed));
    QVERIFY(a.value() != b.value());  // a fresh salt each time
    QVERIFY(users::verifyPassword(a.value(), typed));
    QVERIFY(users::verifyPassword(b.value(), typed));
    QVERIFY(!users::verifyPassword(a.value(), QStringLiteral("türkiye'nin şifresi")));
    QVERIFY(!users::verifyPassword(a.value(), QString()));
  }

  void storedListHoldsNoTypedPassword() {
    users::UserList list;
    list.add(QStringLiteral("Ayşe"), QStringLiteral("s3cr3t"));
    QVERIFY(list.save(db()).ok());
    const QStringList rows = storedRows();
    QCOMPARE(rows.size(), 1);
    QVERIFY(!rows.first().contains(QLatin1String("s3cr3t")));
    // Saving again keeps the hash of a user whose password was not changed.
    Result<users::UserList> loaded = users::UserList::load(db());
    QVERIFY(loaded.ok());
    QVERIFY(loaded.value().save(db()).ok());
    QCOMPARE(storedRows(), rows);
  }

  void userNamesFollowTurkishCase_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("dotted capital") << "İSMAİL"
                                    << "ismail" << true;
    QTest::newRow("dotless capital") << "ISMAIL"
                                     << "ısmaıl" << true;
    QTest::newRow("I is not i") << "ISMAIL"
                                << "ismail" << false;
    QTest::newRow("ş ğ ç") << "ŞÜKRÜ ÇAĞLAR"
                           << "şükrü çağlar" << true;
    QTest::newRow("spaces around") << "  ayşe "
                                   << "AYŞE" << true;
    QTest::newRow("different") << "ayşe"
                               << "ayşen" << false;
  }
  void userNamesFollowTurkishCase() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(users::sameUserName(a, b), same);
  }

  void logInChecksNameAndPassword_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("exact") << "İSMAİL"
                           << "Gizli'1" << true;
    QTest::newRow("name in lower case") << "ismail"
                                        << "Gizli'1" << true;
    QTest::newRow("dotless I is another name") << "ISMAIL"
                                               << "Gizli'1" << false;
    QTest::newRow("password case matters") << "ismail"
                                           << "gizli'1" << false;
    QTest::newRow("wrong password") << "ismail"
                                    << "yanlis" << false;
    QTest::newRow("unknown user") << "ahmet"
                                  << "Gizli'1" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
  }
  void logInChecksNameAndPassword() {
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    users::UserList list;
    list.add(QStringLiteral("İSMAİL"), QStringLiteral("Gizli'1"), QStringLiteral("-105M-109M"));
    list.add(QStringLiteral("Ayşe"), QStringLiteral("Gizli'1"));
    QVERIFY(list.save(db()).ok());

    users::Session session;
    session.setFlags(users::initialRights(true, 2));
    const users::RightFlags before = session.flags();
    QSignalSpy rightsSpy(&session, &users::Session::rightsChanged);
    const Status s = session.logIn(db(), name, password);
    QCOMPARE(s.ok(), accepted);
    if (!accepted) {
      QCOMPARE(s.error(), QStringLiteral("Kullanıcı Adı veya Şifre yanlış"));
      QCOMPARE(session.flags(), before);  // a wrong password changes no flag
      QCOMPARE(rightsSpy.count(), 0);
      QVERIFY(!session.loggedIn());
      return;
    }
    QCOMPARE(session.userName(), QStringLiteral("İSMAİL"));
    // Every right except question preparation and question import.
    QVERIFY(!session.flags().allows(QStringLiteral("frmSoruHazirlama")));
    QVERIFY(!session.flags().allows(QStringLiteral("SoruAl")));
    QStringList granted = session.flags().grantedCodes();
    QCOMPARE(granted.size(), 19);
    QVERIFY(!granted.contains(QStringLiteral("105M")) && !granted.contains(QStringLiteral("109M")));
    QVERIFY(session.flags().allows(QStringLiteral("frmTestHazirlama")));
    QVERIFY(session.flags().flag(users::kFlagAdvancedSettings));

    session.logOut();
    QCOMPARE(session.flags(), users::RightFlags::all(false));
    QVERIFY(session.userName().isEmpty());
  }

  void oldTypedPasswordIsHashedAtLogIn() {
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEKULLANICIBILGILERI (KULLANICIADI, "
                                    "KULLANICISIFRESI, SAYFAKODU) VALUES ('Eski', 'abc', '-102M')"))
                .ok());
    QVERIFY(!users::authenticate(db(), QStringLiteral("eski"), QStringLiteral("ABC")).ok());
    const Result<users::Account> a =
        users::authenticate(db(), QStringLiteral("ESKİ"), QStringLiteral("abc"));
    QVERIFY(a.ok());
    QCOMPARE(a->denied, QStringLiteral("-102M"));
    const QString stored =
        db().scalar(QStringLiteral("SELECT KULLANICISIFRESI FROM TABLEKULLANICIBILGILERI"))
            ->toString();
    QVERIFY(users::isPasswordHash(stored));
    QVERIFY(users::authenticate(db(), QStringLiteral("eski"), QStringLiteral("abc")).ok());
  }

  void typedPasswordsOfOlderInstallationsAreHashed() {
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEKULLANICIBILGILERI (KULLANICIADI, "
                                    "KULLANICISIFRESI) VALUES ('Eski', 'abc'), ('Boş', NULL)"))
                .ok());
    QVERIFY(users::hashTypedPasswords(db()).ok());
    const QStringList stored =
        db().column(QStringLiteral("SELECT KULLANICISIFRESI FROM TABLEKULLANICIBILGILERI")).value();
    QCOMPARE(stored.size(), 2);
    for (const QString& s : stored) QVERIFY(users::isPasswordHash(s));
    QVERIFY(users::authenticate(db(), QStringLiteral("eski"), QStringLiteral("abc")).ok());
    QVERIFY(users::authenticate(db(), QStringLiteral("BOŞ"), QString()).ok());
    QVERIFY(users::hashTypedPasswords(db()).ok());  // nothing left to do
    QCOMPARE(
        db().column(QStringLiteral("SELECT KULLANICISIFRESI FROM TABLEKULLANICIBILGILERI")).value(),
        stored);
  }

  void somebodyKeepsTheUserListRight() {
    users::UserList list;
    list.add(QStringLiteral("Ali"), QStringLiteral("x"), QStringLiteral("-108M"));
    const Status s = list.save(db());
    QVERIFY(!s.ok());
    QCOMPARE(
        s.error(),
        QStringLiteral("En az bir kullanıcının \"Gelişmiş Mod Sayfasına Giriş\" izni olmalıdır."));
    QCOMPARE(users::userCount(db()).value(), 0);
    list.add(QStringLiteral("Veli"), QStringLiteral("y"), QStringLiteral("-105M"));
    QVERIFY(list.save(db()).ok());
  }

  void duplicateNameWritesNothing_data() {
    QTest::addColumn<QString>("second");
    QTest::newRow("same spelling") << "Ayşe";
    QTest::newRow("Turkish upper case") << "AYŞE";
    QTest::newRow("trailing space") << "ayşe ";
  }
  void duplicateNameWritesNothing() {
    QFETCH(QString, second);
    storeUsers({{QStringLiteral("Mehmet"), QStringLiteral("-100M")}});
    const QStringList before = storedRows();

    Result<users::UserList> list = users::UserList::load(db());
    QVERIFY(list.ok());
    list.value().setName(0, QStringLiteral("Ayşe"));  // a rename too must not be written
    list.value().add(second, QStringLiteral("x"));
    const Status s = list.value().save(db());
    QVERIFY(!s.ok());
    QCOMPARE(s.error(), QStringLiteral("Bu kullanıcı adı daha önce kullanılmış\nlütfen farklı "
                                       "bir kullanıcı adı seçiniz"));
    QCOMPARE(storedRows(), before);
  }

  void emptyNameIsRefused() {
    users::UserList list;
    list.add(QStringLiteral("   "), QStringLiteral("x"));
    QVERIFY(!list.save(db()).ok());
    QCOMPARE(users::userCount(db()).value(), 0);
  }

  void namesWithControlCharactersAreRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("line break") << QStringLiteral("ali\nveli");
    QTest::newRow("escape") << QStringLiteral("ali\x1b[31m");
    QTest::newRow("nul") << QString(QStringLiteral("ali") + QChar(0));
    QTest::newRow("from invalid utf-8") << QString::fromUtf8("ali\xff");
  }
  void namesWithControlCharactersAreRefused() {
    QFETCH(QString, name);
    QVERIFY(!users::userNameProblem(name).isEmpty());
    users::UserList list;
    list.add(name, QStringLiteral("x"));
    QVERIFY(!list.save(db()).ok());
    QCOMPARE(users::userCount(db()).value(), 0);
    QVERIFY(users::userNameProblem(QStringLiteral("Ayşe Öğretmen")).isEmpty());
  }

  // The time of a refused log-in does not tell whether the name has an account.
  void unknownNameCostsAsMuchAsAKnownOne() {
    storeUsers({{QStringLiteral("ayşe"), QString()}});
    // Taken in turns, so that a busy machine slows both alike.
    QList<qint64> known;
    QList<qint64> unknown;
    const std::pair<QString, QList<qint64>*> turns[] = {{QStringLiteral("AYŞE"), &known},
                                                        {QStringLiteral("kimse"), &unknown}};
    for (int i = 0; i < 7; ++i) {
      for (const auto& [name, times] : turns) {
        QElapsedTimer clock;
        clock.start();
        (void)users::authenticate(db(), name, QStringLiteral("yanlış"));
        times->append(clock.nsecsElapsed());
      }
    }
    std::sort(known.begin(), known.end());
    std::sort(unknown.begin(), unknown.end());
    // Without the dummy verification an unknown name answered in a fifth of the time.
    QVERIFY2(unknown.at(3) * 2 > known.at(3),
             qPrintable(QStringLiteral("bilinen %1 ms, bilinmeyen %2 ms")
                            .arg(known.at(3) / 1e6)
                            .arg(unknown.at(3) / 1e6)));
  }

  void lastUserCannotBeRemoved() {
    storeUsers({{QStringLiteral("Ali"), QString()}, {QStringLiteral("Veli"), QString()}});
    Result<users::UserList> list = users::UserList::load(db());
    QVERIFY(list.ok());
    QVERIFY(list.value().remove(0).ok());
    const Status s = list.value().remove(0);
    QVERIFY(!s.ok());
    QCOMPARE(s.error(), QStringLiteral("En az bir kullanıcı olmalıdır"));
    QCOMPARE(list.value().count(), 1);
    QVERIFY(list.value().save(db()).ok());
    QCOMPARE(users::userCount(db()).value(), 1);
    QCOMPARE(list.value().at(0).name, QStringLiteral("Veli"));
  }

  void apostropheNamesAndDeniedCodesRoundTrip() {
    storeUsers({{QStringLiteral("Türkiye'nin Öğretmeni"), users::deniedText({"119M", "101M"})}});
    Result<users::UserList> list = users::UserList::load(db());
    QVERIFY(list.ok());
    QCOMPARE(list.value().at(0).name, QStringLiteral("Türkiye'nin Öğretmeni"));
    QCOMPARE(list.value().at(0).denied, QStringLiteral("-101M-119M"));
    QCOMPARE(users::deniedCodes(list.value().at(0).denied),
             (QStringList{QStringLiteral("101M"), QStringLiteral("119M")}));
    QCOMPARE(list.value().find(QStringLiteral("TÜRKİYE'NİN ÖĞRETMENİ")), 0);
  }

  void initialRights_data() {
    QTest::addColumn<bool>("advanced");
    QTest::addColumn<int>("userCount");
    QTest::addColumn<int>("allowedFlags");
    QTest::newRow("simple mode") << false << 0 << 22;
    QTest::newRow("simple mode with users") << false << 3 << 22;
    QTest::newRow("advanced with users") << true << 1 << 0;
    QTest::newRow("advanced without users") << true << 0 << 22;
  }
  void initialRights() {
    QFETCH(bool, advanced);
    QFETCH(int, userCount);
    QFETCH(int, allowedFlags);
    const users::RightFlags f = users::initialRights(advanced, userCount);
    int allowed = 0;
    for (int n = 1; n <= users::kFlagCount; ++n) allowed += f.flag(n) ? 1 : 0;
    QCOMPARE(allowed, allowedFlags);
    if (allowedFlags > 0) {
      QCOMPARE(f.text(12), QStringLiteral("0"));
      QCOMPARE(f.text(3), QStringLiteral("1"));
    }
  }

  void everyCodeHasItsOwnFlag() {
    QCOMPARE(users::rights().size(), 21);
    QSet<int> flags;
    for (const users::Right& r : users::rights()) {
      QVERIFY(r.flag >= 1 && r.flag <= users::kFlagCount);
      QVERIFY(r.flag != users::kFlagOnlineLesson);
      flags.insert(r.flag);
    }
    QCOMPARE(flags.size(), 21);
    QCOMPARE(users::flagOf(QStringLiteral("108M")), users::kFlagAdvancedSettings);
    for (const users::Requirement& q : users::requirements())
      QVERIFY2(q.flag > 0 && (q.code.isEmpty() || users::flagOf(q.code) == q.flag),
               qPrintable(q.key));
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_GUILESS_MAIN(TestUsers)
#include "tst_users.moc"
