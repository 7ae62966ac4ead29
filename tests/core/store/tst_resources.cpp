#include <QImage>
#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "store/Resources.h"
#include "store/Store.h"

class TestResources : public QObject {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(TempDataFolder::renew(m_dir, false)); }

  void builtInFilesAreUsable_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : store::resourceNames()) QTest::newRow(qPrintable(name)) << name;
  }
  void builtInFilesAreUsable() {
    QFETCH(QString, name);
    const QByteArray data = store::resourceData(name);
    QVERIFY(!data.isEmpty());
    QVERIFY2(data.size() < 100 * 1024, "built-in files stay small");
    if (name.endsWith(QStringLiteral(".wav"))) {
      QVERIFY(data.startsWith("RIFF") && data.mid(8, 4) == "WAVE");
      return;
    }
    // Pictures, also the .dce ones, are JPEG data that decode.
    const QImage image = QImage::fromData(data, "JPG");
    QVERIFY(!image.isNull());
    if (name.endsWith(QStringLiteral(".dce"))) QCOMPARE(image.size(), QSize(1024, 768));
  }

  void missingOverwriteUnknown() {
    const QString path = m_dir->filePath(QStringLiteral("YeniSoru.dce"));
    // Missing: written.
    QCOMPARE(store::KaynakCikar(m_dir->store(), QStringLiteral("YeniSoru.dce")),
             QStringLiteral("YeniSoru.dce"));
    QCOMPARE(readAll(path), store::resourceData(QStringLiteral("YeniSoru.dce")));

    // Present, no overwrite: the user's file stays.
    writeFile(path, "kullanicinin resmi");
    QCOMPARE(store::KaynakCikar(m_dir->store(), QStringLiteral("YeniSoru.dce"), {}, false),
             QStringLiteral("YeniSoru.dce"));
    QCOMPARE(readAll(path), QByteArray("kullanicinin resmi"));

    // Present, overwrite: replaced whole.
    store::KaynakCikar(m_dir->store(), QStringLiteral("YeniSoru.dce"), {}, true);
    QCOMPARE(readAll(path), store::resourceData(QStringLiteral("YeniSoru.dce")));

    // Unknown: the name comes back, nothing is written, an existing file is untouched.
    const QString unknown = m_dir->filePath(QStringLiteral("Kitapcik.doc"));
    writeFile(unknown, "eski");
    QCOMPARE(store::KaynakCikar(m_dir->store(), QStringLiteral("Kitapcik.doc"), {}, true),
             QStringLiteral("Kitapcik.doc"));
    QCOMPARE(readAll(unknown), QByteArray("eski"));
    QCOMPARE(store::KaynakCikar(m_dir->store(), QStringLiteral("yok.bin")),
             QStringLiteral("yok.bin"));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("yok.bin"))));
  }

  void subFolderIsMade() {
    QCOMPARE(
        store::KaynakCikar(m_dir->store(), QStringLiteral("app6.wav"), QStringLiteral("Sesler")),
        QStringLiteral("app6.wav"));
    QCOMPARE(readAll(m_dir->filePath(QStringLiteral("Sesler/app6.wav"))),
             store::resourceData(QStringLiteral("app6.wav")));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("app6.wav"))));
  }

 private:
  static QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
  }

  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
