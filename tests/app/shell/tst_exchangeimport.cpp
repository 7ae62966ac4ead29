// The main menu's "Dosyadan Test Al" over several files: the file dialog, the
// progress window counting the files, and one message naming what was added
// and which file was refused. Under DERSLIK_SHOTS the progress window and the
// message are saved as pictures.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <QtTest>

#include "InstalledSchool.h"
#include "Screenshot.h"
#include "TempDataFolder.h"

#include <memory>

#include "authoring/Test.h"
#include "authoring/TestCatalog.h"
#include "exchange/TestPackage.h"
#include "framework/FileDialogs.h"
#include "framework/frmIslem.h"
#include "framework/frmMesaj.h"
#include "shell/MDIForm1.h"
#include "store/Parameters.h"

namespace {

// The main window with a smaller window drawn over it where it stands.
QPixmap over(QWidget* window, QWidget* top) {
  QPixmap shot = window->grab();
  QPainter p(&shot);
  const QPixmap front = top->grab();
  p.drawPixmap((shot.width() - front.width()) / 2, (shot.height() - front.height()) / 2, front);
  return shot;
}

}  // namespace

class TestExchangeImport : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;
  store::Store& store() { return m_dir->store(); }

 private slots:
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir, false));
    QVERIFY(store().open().ok());
    QVERIFY(testsupport::installedSchool(store()).ok());
  }
  void cleanup() {
    filedialogs::setRunner({});
    m_dir.reset();
  }

  void severalTestFilesFromTheMenu() {
    // Three test files, the last one cut short.
    QStringList files;
    for (const char* name : {"Kesirler", "Oranlar"}) {
      authoring::Test t;
      t.testAdi = QString::fromUtf8(name);
      const Result<QString> key = authoring::TestCatalog(store()).create(t);
      QVERIFY(key);
      files << m_dir->filePath(t.testAdi + QStringLiteral(".ckt"));
      QVERIFY(exchange::TestPackage(store()).write({key.value()}, files.last()));
    }
    QFile good(files.first());
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    files << m_dir->filePath(QStringLiteral("Bozuk.ckt"));
    QFile cut(files.last());
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 3));
    cut.close();
    store().close();

    MDIForm1::Options options;
    options.messages = &m_dir->messages();
    MDIForm1 window(store(), options);
    window.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    QVERIFY(window.MDIForm1_Load());
    window.resize(1280, 720);
    m_dir->messages().takeTexts();

    QString title, filter;
    filedialogs::setRunner([&](QFileDialog& d) {
      title = d.windowTitle();
      filter = d.nameFilters().join(QLatin1Char(';'));
      d.setDirectory(m_dir->path());
      QStringList quoted;
      for (const QString& f : files)
        quoted << QLatin1Char('"') + QFileInfo(f).fileName() + QLatin1Char('"');
      d.selectFile(quoted.join(QLatin1Char(' ')));
      return int(QDialog::Accepted);
    });
    QStringList progress;
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, this, [&] {
      frmIslem* islem = nullptr;
      for (frmIslem* w : window.findChildren<frmIslem*>())
        if (w->isVisible()) islem = w;
      if (!islem || progress.contains(islem->text())) return;
      progress << islem->text();
      if (progress.size() == 2)
        QVERIFY(savePicture(over(&window, islem), QStringLiteral("test_alma_ilerleme.png")));
    });
    watch.start();
    QAction* item = window.menuBar()->findChild<QAction*>(QStringLiteral("mnuDosyadanTestAl"));
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("Dosyadan Test Al"));
    item->trigger();
    watch.stop();

    QCOMPARE(title, QStringLiteral("Testin Alınacağı Dosya"));
    QVERIFY2(filter.contains(QStringLiteral("*.ckt")), qPrintable(filter));
    QCOMPARE(progress, QStringList({QStringLiteral("1/3 dosya işleniyor..."),
                                    QStringLiteral("2/3 dosya işleniyor..."),
                                    QStringLiteral("3/3 dosya işleniyor...")}));
    const QList<Messages::Message>& shown = m_dir->messages().shown();
    QCOMPARE(shown.size(), 1);
    const QString text = shown.first().text;
    QVERIFY2(text.startsWith(QStringLiteral("2 adet test eklendi (Test No: 3, 4)\n")),
             qPrintable(text));
    QVERIFY2(text.contains(exchange::TestPackage::readFailedMessage()), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Bozuk.ckt: ")), qPrintable(text));
    QCOMPARE(store().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLETEST")).valueOr(0).toInt(),
             4);

    frmMesaj message(&window, shown.first());
    message.show();
    QVERIFY(savePicture(over(&window, &message), QStringLiteral("test_alma_sonuc.png")));
  }

  // One file from the menu says the number its test got; the same file again
  // is asked about ("Hayır" by default) and adds nothing. The menu writes the
  // home key as printed on the keyboard, and the key brings the home page back.
  void oneFileTwiceFromTheMenuAndTheHomeKey() {
    authoring::Test t;
    t.testAdi = QStringLiteral("Kesirler");
    const Result<QString> key = authoring::TestCatalog(store()).create(t);
    QVERIFY(key);
    const QString path = m_dir->filePath(QStringLiteral("Kesirler.ckt"));
    QVERIFY(exchange::TestPackage(store()).write({key.value()}, path));
    store().close();

    MDIForm1::Options options;
    options.messages = &m_dir->messages();
    MDIForm1 window(store(), options);
    window.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    QVERIFY(window.MDIForm1_Load());
    m_dir->messages().takeTexts();
    filedialogs::setRunner([&](QFileDialog& d) {
      d.setDirectory(m_dir->path());
      d.selectFile(QFileInfo(path).fileName());
      return int(QDialog::Accepted);
    });
    QAction* item = window.menuBar()->findChild<QAction*>(QStringLiteral("mnuDosyadanTestAl"));
    item->trigger();
    QCOMPARE(m_dir->messages().takeTexts(),
             QStringList{QStringLiteral("Test eklendi (Test No: 2)")});
    item->trigger();
    const QList<Messages::Message>& shown = m_dir->messages().shown();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown.at(1).kind, Messages::Kind::Question);
    QCOMPARE(shown.at(1).defaultAnswer, Messages::Answer::No);
    QVERIFY2(
        shown.at(1).text.startsWith(QStringLiteral("Kesirler.ckt dosyası daha önce alınmıştı (")),
        qPrintable(shown.at(1).text));
    QVERIFY2(shown.at(2).text.startsWith(QStringLiteral("Hiçbir şey eklenmedi.")),
             qPrintable(shown.at(2).text));
    QCOMPARE(store().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLETEST")).valueOr(0).toInt(),
             2);

    QAction* home = window.menuBar()->findChild<QAction*>(QStringLiteral("mnuAnaSayfa"));
    QVERIFY(home);
    QCOMPARE(home->text(), QStringLiteral("Ana Sayfa\tCtrl+Home"));
    QVERIFY(home->shortcut().isEmpty());
    QSignalSpy pressed(home, &QAction::triggered);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Home));
    QCOMPARE(pressed.count(), 1);
  }
};

QTEST_MAIN(TestExchangeImport)
#include "tst_exchangeimport.moc"
