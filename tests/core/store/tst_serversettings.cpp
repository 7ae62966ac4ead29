// The board's school-server settings: the file that holds the password, which
// server a board starts on, and the question when that server cannot be opened.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include "Messages.h"
#include "store/ServerSettings.h"
#include "store/Store.h"

namespace {

const QString kPassword = QStringLiteral("gİzli=\"şifre\";#[x] 42");

int modeOf(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
  return int(st.st_mode & 07777);
}

store::ServerSettings school() {
  store::ServerSettings s;
  s.host = QStringLiteral("sunucu.okul.local");
  s.port = 6543;
  s.database = QStringLiteral("ataturk_oo");
  s.user = QStringLiteral("tahta");
  s.password = kPassword;
  s.useOnThisBoard = true;
  return s;
}

}  // namespace

class TestServerSettings : public QObject {
  Q_OBJECT

 private slots:
  // Only the owner may read the file, also when an older file was readable by
  // all; every field, the password with its quotes and signs too, comes back.
  void theFileKeepsThePasswordToItsOwner() {
    QTemporaryDir dir;
    const QString path = dir.filePath(store::ServerSettings::fileName());
    QVERIFY(store::ServerSettings::load(dir.path()).ok());
    QVERIFY(!store::ServerSettings::load(dir.path())->useOnThisBoard);

    {
      QFile old(path);
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write("{}");
    }
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
    QVERIFY(school().save(dir.path()).ok());
    QCOMPARE(modeOf(path), 0600);

    const Result<store::ServerSettings> back = store::ServerSettings::load(dir.path());
    QVERIFY2(back.ok(), qPrintable(back.error()));
    QCOMPARE(back->host, QStringLiteral("sunucu.okul.local"));
    QCOMPARE(back->port, 6543);
    QCOMPARE(back->database, QStringLiteral("ataturk_oo"));
    QCOMPARE(back->user, QStringLiteral("tahta"));
    QCOMPARE(back->password, kPassword);
    QVERIFY(back->useOnThisBoard);

    // A damaged file is said, with no part of it.
    QFile broken(path);
    QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write(kPassword.toUtf8());
    broken.close();
    const Result<store::ServerSettings> damaged = store::ServerSettings::load(dir.path());
    QVERIFY(!damaged);
    QVERIFY(damaged.error().startsWith(QStringLiteral("Okul sunucusu ayarları okunamadı")));
    QVERIFY(!damaged.error().contains(kPassword));
  }

  // Which server a board starts on, and with which password.
  void theServerABoardStartsOn() {
    const store::ServerSettings settings = school();
    store::ServerSettings unused = settings;
    unused.useOnThisBoard = false;

    // Nothing given, nothing to use: the data folder.
    QVERIFY(!store::boardServerLogin({}, {}, unused)->has_value());
    // The board's settings.
    auto own = store::boardServerLogin({}, {}, settings);
    QVERIFY(own.ok() && own->has_value());
    QCOMPARE((*own)->address.url(),
             QStringLiteral("postgresql://tahta@sunucu.okul.local:6543/ataturk_oo"));
    QCOMPARE((*own)->password, kPassword);
    // A given address wins; its password is the one given with it, else the
    // settings' one for the same address, else none (libpq's ~/.pgpass).
    const QString same = QStringLiteral("postgresql://tahta@sunucu.okul.local:6543/ataturk_oo");
    auto given = store::boardServerLogin(same, QStringLiteral("stdin"), unused);
    QCOMPARE((*given)->password, QStringLiteral("stdin"));
    QCOMPARE((*store::boardServerLogin(same, {}, unused))->password, kPassword);
    auto other = store::boardServerLogin(
        QStringLiteral("postgresql://baska@sunucu.okul.local:6543/ataturk_oo"), {}, settings);
    QVERIFY(other.ok());
    QCOMPARE((*other)->address.user, QStringLiteral("baska"));
    QVERIFY((*other)->password.isEmpty());

    // Settings that cannot name a server are refused with the reason.
    store::ServerSettings noHost = settings;
    noHost.host.clear();
    const auto missing = store::boardServerLogin({}, {}, noHost);
    QVERIFY(!missing && missing.error().contains(QStringLiteral("makine adını")));
  }

  // A board set to a server that does not answer asks before it goes on with its
  // own data, and ends when told so; neither the question nor Log.txt holds the
  // password.
  void anUnreachableServerIsAskedAbout_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Evet: the board's own data") << true;
    QTest::newRow("Hayır: the program ends") << false;
  }
  void anUnreachableServerIsAskedAbout() {
    QFETCH(bool, yes);
    QTemporaryDir dir;
    store::Store store(dir.path());
    QFile log(store.path(QStringLiteral("Log.txt")));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.close();
    store::ServerSettings settings = school();
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = 1;  // nobody listens there
    const Result<store::ServerLogin> login = settings.login();
    QVERIFY(login.ok());

    RecordedMessages messages;
    messages.setNextAnswer(yes ? Messages::Answer::Yes : Messages::Answer::No);
    // The wait line goes before the question comes.
    QStringList waits;
    const store::BoardData chosen =
        store::chooseBoardData(store, login.value(), messages, [&](const QString& text) {
          waits << QStringLiteral("%1 %2").arg(messages.shown().size()).arg(text);
        });
    QCOMPARE(waits, (QStringList{QStringLiteral("0 Okul sunucusuna bağlanılıyor: 127.0.0.1:1"),
                                 QStringLiteral("0 ")}));
    QCOMPARE(chosen, yes ? store::BoardData::OwnFolder : store::BoardData::Quit);
    QVERIFY(!store.onServer());
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.shown().first().kind, Messages::Kind::Question);
    const QString question = messages.lastText();
    QVERIFY2(question.startsWith(QStringLiteral("Okul sunucusuna ulaşılamıyor: 127.0.0.1:1")),
             qPrintable(question));
    QVERIFY(question.endsWith(QStringLiteral("Bu tahtanın kendi verileriyle devam edilsin mi?")));
    QVERIFY(!question.contains(kPassword));

    if (yes) {
      // The folder opens as if no server had been named.
      QVERIFY2(store.open().ok(), qPrintable(store.mainFile()));
      QVERIFY(QFile::exists(store.mainFile()));
    }
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    QVERIFY(logged.contains(QStringLiteral("Okul sunucusuna ulaşılamıyor")));
    QVERIFY(!logged.contains(kPassword));
  }
};

QTEST_GUILESS_MAIN(TestServerSettings)
#include "tst_serversettings.moc"
