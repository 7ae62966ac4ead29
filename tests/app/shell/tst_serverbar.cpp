// The main window while the school's server goes away and comes back: the
// strip "Sunucuya ulaşılamıyor" appears once for the whole window when a read
// finds the server gone, "Yeniden Dene" and the strip's own retries bring the
// connection back, and the screens are told to read again. Runs under
// tests/support/pgcluster.sh (CTest: tst_serverbar), which it stops and starts.
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "ServerControl.h"
#include "TempDataFolder.h"
#include "framework/ServerUnreachableBar.h"
#include "shell/MDIForm1.h"
#include "store/ServerConnection.h"
#include "store/Store.h"

class TestServerBar : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;

  store::Store& store() { return m_dir->store(); }
  // A read of the kind every screen makes; false when it failed.
  bool read() { return store().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOGRENCI")).ok(); }

 private slots:
  void initTestCase() {
    QVERIFY2(
        testbackend::onServer(),
        "tst_serverbar needs the throwaway cluster: run it through tests/support/pgcluster.sh");
    QVERIFY(TempDataFolder::renew(m_dir));
  }
  void cleanupTestCase() { m_dir.reset(); }

  void stripFollowsTheServer() {
    MDIForm1::Options options;
    options.messages = &m_dir->messages();
    MDIForm1 window(store(), options);
    window.resize(1280, 720);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QList<framework::ServerUnreachableBar*> bars =
        window.findChildren<framework::ServerUnreachableBar*>();
    QCOMPARE(bars.size(), 1);
    framework::ServerUnreachableBar* bar = bars.first();
    bar->setRetryInterval(200);
    auto* retry = bar->findChild<QPushButton*>(QStringLiteral("cmdYenidenDene"));
    QVERIFY(retry);
    QCOMPARE(retry->text(), QStringLiteral("Yeniden Dene"));
    QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("lblSunucuYok"))->text(),
             QStringLiteral("Sunucuya ulaşılamıyor"));
    QVERIFY(read());
    QVERIFY(!bar->isVisible());

    // The server goes away: the first read that finds it out shows the strip.
    QVERIFY(serverControl(QStringLiteral("stop -m immediate")));
    QVERIFY(!read());
    QTRY_VERIFY(bar->isVisible());
    QTRY_VERIFY(bar->geometry().bottom() <
                window.mdiArea()->geometry().top());  // above the screens
    // "Yeniden Dene" while it is still away: the strip stays, the window
    // does not wait on it.
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(retry, Qt::LeftButton);
    QVERIFY(clock.elapsed() < 2000);
    QVERIFY(bar->isVisible());
    QVERIFY(!read());

    // Back: the strip's own retries find it; the screens read again.
    QSignalSpy refresh(&store(), &store::Store::dataChanged);
    QVERIFY(serverControl(QStringLiteral("start")));
    QTRY_VERIFY_WITH_TIMEOUT(!bar->isVisible(), 5000);
    QTRY_COMPARE(refresh.count(), 1);
    QVERIFY(read());

    // Away and back once more, this time through the button.
    QVERIFY(serverControl(QStringLiteral("stop -m immediate")));
    QVERIFY(!read());
    QTRY_VERIFY(bar->isVisible());
    bar->setRetryInterval(60000);
    QVERIFY(serverControl(QStringLiteral("start")));
    QTest::mouseClick(retry, Qt::LeftButton);
    QVERIFY(!bar->isVisible());
    QVERIFY(read());
  }
};

QTEST_MAIN(TestServerBar)
#include "tst_serverbar.moc"
