// What the program sets up before its first window: Qt's own texts in Turkish,
// the file dialogs, and one running program per data folder.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "framework/FileDialogs.h"
#include "shell/Application.h"
#include "shell/SingleInstance.h"

class TestApplication : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    shell::setUpApplication(*qApp);
  }
  void init() { QVERIFY(TempDataFolder::renew(m_dir, false)); }
  void cleanup() { filedialogs::setRunner({}); }

  void qtSpeaksTurkish() {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Bilgi"), QStringLiteral("Metin"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("Tamam"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("İptal"));
    QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No);
    QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text().remove(QLatin1Char('&')),
             QStringLiteral("Evet"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QString lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text();
    QVERIFY2(!lookIn.contains(QStringLiteral("Look in")), qPrintable(lookIn));
    QCOMPARE(dialog.labelText(QFileDialog::Reject).remove(QLatin1Char('&')),
             QStringLiteral("İptal"));
  }

  // The marks of Turkish capitals are drawn as dark as their letters: "TÜMÜ"
  // never fades to "TUMU". The dots are what "Ü" has and "U" has not.
  void turkishMarksAreDrawnDark() {
    const auto draw = [](const QString& text) {
      QLabel label(text);
      label.setFont(QApplication::font());
      label.adjustSize();
      QImage image(label.size(), QImage::Format_RGB32);
      image.fill(Qt::white);
      label.render(&image, {}, {}, QWidget::DrawChildren);  // on white, without the window's grey
      return image;
    };
    for (const auto& [marked, plain] : {std::pair{QStringLiteral("Ü"), QStringLiteral("U")},
                                        std::pair{QStringLiteral("Ö"), QStringLiteral("O")},
                                        std::pair{QStringLiteral("Ş"), QStringLiteral("S")}}) {
      const QImage a = draw(marked);
      const QImage b = draw(plain);
      QCOMPARE(a.size(), b.size());
      int darkest = 255;
      for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
          if (qGray(a.pixel(x, y)) < 250 && qGray(b.pixel(x, y)) > 250)
            darkest = std::min(darkest, qGray(a.pixel(x, y)));
      QVERIFY2(darkest < 100, qPrintable(marked + QStringLiteral(": ") + QString::number(darkest)));
    }
  }

  // The desktop appends the display name to every caption that does not end with
  // it; the main window's caption already names the program.
  void noDisplayNameIsAppended() {
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
  }

  void fileDialogsStartInDocumentsAndRemember() {
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY(QDir().mkpath(docs));
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("Listeler"))));
    const QString chosen = m_dir->filePath(QStringLiteral("Listeler/TÜMÜ Etiket.xlsx"));
    QStringList folders, names;
    bool nameTakesTyping = false;
    filedialogs::setRunner([&](QFileDialog& d) {
      folders << d.directory().absolutePath();
      auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      d.show();
      // The name box has the keyboard, and the offered name is shown as it is
      // (not selected: white on blue hides the dots of Ü).
      nameTakesTyping = name && QTest::qWaitFor([name] { return name->hasFocus(); }) &&
                        name->isEnabled() && !name->isReadOnly() && !name->hasSelectedText();
      names << name->text();
      d.selectFile(chosen);
      return int(QDialog::Accepted);
    });
    QCOMPARE(
        filedialogs::saveFile(nullptr, QStringLiteral("Excel"), QStringLiteral("Kaydet"),
                              QStringLiteral("TÜMÜ Etiket.xlsx"),
                              QStringLiteral("Excel Dosyası (*.xlsx)"), QStringLiteral("xlsx")),
        chosen);
    QVERIFY(nameTakesTyping);
    QCOMPARE(names.last(), QStringLiteral("TÜMÜ Etiket.xlsx"));
    // The next dialog of the same kind opens where the last file went; another
    // kind still starts in the documents folder.
    filedialogs::saveFile(nullptr, QStringLiteral("Excel"), QStringLiteral("Kaydet"),
                          QStringLiteral("a.xlsx"), QString(), QStringLiteral("xlsx"));
    filedialogs::openFile(nullptr, QStringLiteral("Fotograf"), QStringLiteral("Fotoğraf Seç"),
                          QString());
    QCOMPARE(folders,
             (QStringList{QDir(docs).absolutePath(), m_dir->filePath(QStringLiteral("Listeler")),
                          QDir(docs).absolutePath()}));
    // A remembered folder that is gone falls back to the documents folder.
    QVERIFY(QDir(m_dir->filePath(QStringLiteral("Listeler"))).removeRecursively());
    QCOMPARE(filedialogs::startFolder(QStringLiteral("Excel")), docs);
  }

  // Under Xvfb: the save dialog of the label export as the teacher sees it.
  void screenshot() {
    const QString folder = qEnvironmentVariable("DERSLIK_SHOTS");
    if (folder.isEmpty()) QSKIP("DERSLIK_SHOTS not set");
    QDir().mkpath(folder);
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    filedialogs::setRunner([&](QFileDialog& d) {
      d.resize(900, 560);
      d.show();
      QTest::qWait(400);
      d.grab().save(folder + QStringLiteral("/dosya_penceresi.png"));
      return int(QDialog::Rejected);
    });
    filedialogs::saveFile(nullptr, QStringLiteral("Excel"), QStringLiteral("Kaydet"),
                          QStringLiteral("TÜMÜ Etiket.xlsx"),
                          QStringLiteral("Excel Dosyası (*.xlsx)"), QStringLiteral("xlsx"));
  }

  void oneProgramPerDataFolder() {
    const QString folder = m_dir->filePath(QStringLiteral("veri"));
    shell::SingleInstance first(folder);
    QSignalSpy asked(&first, &shell::SingleInstance::bringToFrontRequested);
    QCOMPARE(first.claim(), shell::SingleInstance::Outcome::First);
    {
      shell::SingleInstance second(folder);
      QCOMPARE(second.claim(), shell::SingleInstance::Outcome::OtherBroughtUp);
    }
    QTRY_COMPARE(asked.count(), 1);
    // Another data folder is another program.
    shell::SingleInstance other(m_dir->filePath(QStringLiteral("baska")));
    QCOMPARE(other.claim(), shell::SingleInstance::Outcome::First);
    QVERIFY(shell::SingleInstance::serverName(folder) !=
            shell::SingleInstance::serverName(m_dir->filePath(QStringLiteral("baska"))));
  }

  void lockedFolderWithoutAnswerIsSaid() {
    const QString folder = m_dir->filePath(QStringLiteral("veri"));
    QVERIFY(QDir().mkpath(folder));
    // Held by something that does not answer on the folder's socket.
    QLockFile held(QDir(folder).filePath(QStringLiteral("derslik.lock")));
    QVERIFY(held.tryLock());
    shell::SingleInstance second(folder);
    QCOMPARE(second.claim(), shell::SingleInstance::Outcome::OtherUnreachable);
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
