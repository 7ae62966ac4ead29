#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "CardScene.h"

namespace {

struct Run {
  int code = -1;
  QString out;
  QString err;
};

Run cli(const QString& folder, const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(DERSLIK_CLI),
          QStringList{QStringLiteral("--veri-klasoru"), folder} + args);
  Run r;
  if (!p.waitForFinished(60000)) return r;
  r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

}  // namespace

// derslik-cli cards: printing a class's cards, a new card, reading photos; the
// output as a script reads it.
class TestCardsCli : public QObject {
  Q_OBJECT
 private slots:
  void printNewAndRead() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("veri"));
    int number = 100;
    for (const char* name : {"Ayşe", "Can", "Işıl"})
      QCOMPARE(cli(folder, {"students", "add", QString::fromUtf8(name), "Öztürk",
                            QString::number(++number), "--class", "7-A", "--level", "7"})
                   .code,
               0);
    const QString pdf = dir.filePath(QStringLiteral("kartlar.pdf"));

    // Wrong words change nothing.
    QCOMPARE(cli(folder, {"cards", "print", "--out", pdf}).code, 2);
    QCOMPARE(cli(folder, {"cards", "print", "--class", "7-A", "--out", pdf, "--size", "A3"}).code,
             2);
    Run r = cli(folder, {"cards", "print", "--class", "9-Z", "--out", pdf});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("9-Z sınıfında öğrenci yok.\n"));

    r = cli(folder, {"cards", "print", "--class", "7-A", "--out", pdf, "--size", "A4", "--json"});
    QCOMPARE(r.code, 0);
    QVERIFY(QFileInfo(pdf).size() > 1000);
    QCOMPARE(
        r.out.section(QLatin1Char('\n'), 1, 1),
        QStringLiteral(
            "  {\"KAYITNO\": \"1\", \"ADI\": \"Ayşe\", \"SOYADI\": \"Öztürk\", \"KART\": 1},"));
    const QJsonArray printed = QJsonDocument::fromJson(r.out.toUtf8()).array();
    QCOMPARE(printed.size(), 3);
    QCOMPARE(printed.at(2).toObject().value("KART").toInt(), 3);
    // The class list shows each card.
    QVERIFY(cli(folder, {"students", "list"}).out.contains(QStringLiteral("\t7-A\t7\t\t3\n")));

    // Card 2 is lost: a new number, and the old card is nobody's any more.
    r = cli(folder, {"cards", "new", "2"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("Yeni kart: 4 (eski kart artık okunmaz)\n"));

    CardScene scene(5);
    scene.options.hands = 0;
    const CardScene::Picture pic = scene.picture(1280, 720, 4, {1, 2, 4, 500});
    const QString photo = dir.filePath(QStringLiteral("sınıf.jpg"));
    QVERIFY(pic.image.save(photo, "JPG", 80));
    r = cli(folder, {"cards", "read", photo, "--class", "7-A", "--json"});
    QCOMPARE(r.code, 0);
    QVERIFY2(
        r.out.startsWith(QStringLiteral("{\"okunan\": [\n  {\"KART\": 1, \"KAYITNO\": \"1\", "
                                        "\"ADI\": \"Ayşe\", \"SOYADI\": \"Öztürk\", \"CEVAP\": ")),
        qPrintable(r.out));
    const QJsonObject read = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QMap<int, QString> letters;
    for (const CardScene::Card& c : pic.cards) letters.insert(c.card, QString(c.letter));
    QStringList known, unknown;
    for (const QJsonValue& v : read.value("okunan").toArray()) {
      const QJsonObject o = v.toObject();
      known << QStringLiteral("%1:%2:%3")
                   .arg(o.value("KART").toInt())
                   .arg(o.value("KAYITNO").toString(), o.value("CEVAP").toString());
      QVERIFY(o.value("GUVEN").toDouble() > 0);
      QCOMPARE(o.value("KOSELER").toArray().size(), 4);
    }
    for (const QJsonValue& v : read.value("bilinmeyen").toArray())
      unknown << QStringLiteral("%1:%2")
                     .arg(v.toObject().value("KART").toInt())
                     .arg(v.toObject().value("CEVAP").toString());
    QCOMPARE(known, QStringList({"1:1:" + letters[1], "4:2:" + letters[4]}));
    QCOMPARE(unknown, QStringList({"2:" + letters[2], "500:" + letters[500]}));

    // Plain: one line per card.
    r = cli(folder, {"cards", "read", photo, "--class", "7-A"});
    QCOMPARE(
        r.out.section(QLatin1Char('\n'), 0, 1),
        QStringLiteral("KART\tKAYITNO\tADI\tSOYADI\tCEVAP\n1\t1\tAyşe\tÖztürk\t") + letters[1]);
    r = cli(folder, {"cards", "read", photo, "--class", "9-Z"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("9-Z sınıfında öğrenci yok.\n"));
    r = cli(folder, {"cards", "read", photo, dir.filePath(QStringLiteral("yok.jpg"))});
    QCOMPARE(r.code, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.startsWith(QStringLiteral("Fotoğraf okunamadı: ")));
  }
};

QTEST_MAIN(TestCardsCli)
#include "tst_cards_cli.moc"
