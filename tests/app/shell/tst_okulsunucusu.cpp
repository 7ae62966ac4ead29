// "Okul Sunucusu" against a throwaway PostgreSQL cluster (CTest runs it through
// tests/support/pgcluster.sh): trying good and bad connections, keeping the
// settings for the next start, and that next start.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <memory>

#include "BoardFolder.h"
#include "TempDataFolder.h"
#include "TestBackend.h"
#include "screens/start/frmOkulSunucusu.h"
#include "store/ServerDatabase.h"
#include "store/ServerSettings.h"
#include "store/Store.h"

namespace {

const QString kPassword = QStringLiteral("gizli-parola");  // the cluster's "parolali" role

store::ServerLogin fresh(bool schema) {
  Result<store::ServerLogin> login = testbackend::freshDatabase(schema);
  if (!login) qFatal("%s", qPrintable(login.error()));
  return login.value();
}

}  // namespace

class TestOkulSunucusu : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;
  std::unique_ptr<frmOkulSunucusu> m_form;

  RecordedMessages& messages() { return m_dir->messages(); }

  void fill(const store::ServerLogin& login) {
    m_form->findChild<QLineEdit*>(QStringLiteral("txtMakine"))->setText(login.address.host);
    m_form->findChild<QSpinBox*>(QStringLiteral("txtPort"))->setValue(login.address.port);
    m_form->findChild<QLineEdit*>(QStringLiteral("txtVeritabani"))->setText(login.address.database);
    m_form->findChild<QLineEdit*>(QStringLiteral("txtKullanici"))->setText(login.address.user);
    m_form->findChild<QLineEdit*>(QStringLiteral("txtSifre"))->setText(login.password);
  }
  void click(const char* name) {
    QTest::mouseClick(m_form->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
  }
  QString result() const { return m_form->findChild<QLabel*>(QStringLiteral("lblSonuc"))->text(); }
  Result<store::ServerSettings> saved() {
    return store::ServerSettings::load(m_dir->store().root());
  }
  void openForm() {
    m_form = std::make_unique<frmOkulSunucusu>(
        ScreenContext{m_dir->store(), messages(), m_dir->session(), {}});
    m_form->show();
  }

 private slots:
  void initTestCase() {
    QVERIFY2(testbackend::onServer(),
             "tst_okulsunucusu needs the throwaway cluster: run it through "
             "tests/support/pgcluster.sh");
  }
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir));
    openForm();
  }
  void cleanup() {
    m_form.reset();
    m_dir.reset();
  }

  // "Bağlantıyı Dene" says whether it connected and the state of the database
  // there, or why not; it writes nothing and never shows the password.
  void tryingTheConnection_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ready") << "ready"
                           << "Bağlantı kuruldu. Sunucudaki Derslik veritabanı kullanıma hazır";
    QTest::newRow("empty database") << "empty"
                                    << "server init";
    QTest::newRow("wrong password") << "refused" << store::loginRefusedMessage();
    QTest::newRow("closed port") << "closed"
                                 << "Okul sunucusuna ulaşılamıyor: 127.0.0.1:1 ";
    QTest::newRow("no host") << "unnamed"
                             << "makine adını";
  }
  void tryingTheConnection() {
    QFETCH(QString, server);
    QFETCH(QString, expected);
    store::ServerLogin login = fresh(server != QLatin1String("empty"));
    login.address.user = QStringLiteral("parolali");
    login.password =
        server == QLatin1String("refused") ? QStringLiteral("yanlis-parola-77") : kPassword;
    if (server == QLatin1String("closed")) login.address.port = 1;
    if (server == QLatin1String("unnamed")) login.address.host.clear();
    fill(login);
    click("cmdBaglantiyiDene");
    QVERIFY2(result().contains(expected), qPrintable(result()));
    if (server == QLatin1String("empty"))
      QVERIFY2(result().contains(login.address.url()), qPrintable(result()));
    QVERIFY(!result().contains(kPassword));
    QVERIFY(!result().contains(QStringLiteral("yanlis-parola")));
    QVERIFY(messages().texts().isEmpty());
    // Trying keeps nothing.
    QVERIFY(!saved()->useOnThisBoard);
    QVERIFY(saved()->host.isEmpty());
  }

  // "Bu Tahtada Kullan" keeps the fields (the file only its owner reads) and says
  // they take effect at the next start; that start opens the server. A server
  // that does not answer is kept only when confirmed; "Tahtanın Kendi Verilerini
  // Kullan" goes back to the folder at the next start.
  void usingItOnThisBoard() {
    store::ServerLogin login = fresh(true);
    login.address.user = QStringLiteral("parolali");
    login.password = kPassword;
    fill(login);
    click("cmdBuTahtadaKullan");
    QCOMPARE(messages().takeTexts(), QStringList{frmOkulSunucusu::nextStartMessage(true)});
    QVERIFY(saved()->useOnThisBoard);
    QCOMPARE(saved()->password, kPassword);

    // The next start of this board.
    {
      store::Store next(m_dir->store().root());
      const auto chosen = store::boardServerLogin({}, {}, saved().value());
      QVERIFY(chosen.ok() && chosen->has_value());
      QCOMPARE(store::chooseBoardData(next, chosen.value(), messages()), store::BoardData::Server);
      QCOMPARE(next.serverUrl(), login.address.url());
      QVERIFY(next.open().ok());
      QVERIFY(messages().takeTexts().isEmpty());
    }

    store::ServerLogin nowhere = login;
    nowhere.address.port = 1;
    fill(nowhere);
    messages().setNextAnswer(Messages::Answer::No);
    click("cmdBuTahtadaKullan");
    const QStringList asked = messages().takeTexts();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().endsWith(QStringLiteral("Ayarlar yine de kaydedilsin mi?")),
             qPrintable(asked.first()));
    QCOMPARE(saved()->port, login.address.port);

    click("cmdKendiVerileri");
    QCOMPARE(messages().takeTexts(), QStringList{frmOkulSunucusu::nextStartMessage(false)});
    QVERIFY(!saved()->useOnThisBoard);
    QCOMPARE(saved()->database, login.address.database);
    // The fields come back when the screen opens again.
    openForm();
    QCOMPARE(m_form->findChild<QLineEdit*>(QStringLiteral("txtVeritabani"))->text(),
             login.address.database);
    QVERIFY(!m_form->findChild<QPushButton*>(QStringLiteral("cmdKendiVerileri"))->isEnabled());
  }

  // "Bu Tahtanın Verilerini Sunucuya Aktar": from a board on its own folder only;
  // asked first; the whole folder goes in beside the window and the line says what
  // came; a second time says when it was done.
  void bringingThisBoardsData() {
    QPushButton* bring = m_form->findChild<QPushButton*>(QStringLiteral("cmdVerileriAktar"));
    QCOMPARE(bring->isEnabled(), !m_dir->store().onServer());
    testsupport::Board board;
    board.school->klass(QStringLiteral("5-A")).students(3).remotes();
    QVERIFY(board.school->ok());
    m_form = std::make_unique<frmOkulSunucusu>(
        ScreenContext{board.store, messages(), m_dir->session(), {}});
    m_form->show();
    store::ServerLogin login = fresh(true);
    login.address.user = QStringLiteral("parolali");
    login.password = kPassword;
    fill(login);
    messages().setNextAnswer(Messages::Answer::No);
    click("cmdVerileriAktar");
    QCOMPARE(messages().takeTexts().size(), 1);
    QVERIFY(result().isEmpty());
    messages().setNextAnswer(Messages::Answer::Yes);
    click("cmdVerileriAktar");
    QVERIFY2(result().startsWith(QStringLiteral("Veri klasörü sunucuya aktarıldı: 3 öğrenci")),
             qPrintable(result()));
    QVERIFY(m_form->findChild<QPushButton*>(QStringLiteral("cmdKapat"))->isEnabled());
    messages().setNextAnswer(Messages::Answer::Yes);
    click("cmdVerileriAktar");
    QVERIFY2(result().startsWith(QStringLiteral("Bu veri klasörü ")), qPrintable(result()));
    QVERIFY(!result().contains(kPassword));
    m_form.reset();
  }
};

QTEST_MAIN(TestOkulSunucusu)
#include "tst_okulsunucusu.moc"
