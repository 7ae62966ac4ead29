#include <QRandomGenerator>
#include <QtTest>

#include "receiver/PressDecoder.h"
#include "receiver/ReportDecoder.h"
#include "receiver/ReportDescriptor.h"
#include "receiver/ReportDiagnostics.h"

using namespace receiver;

namespace {
QByteArray bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out.append(char(v));
  return out;
}
}  // namespace

class TestReportDecoder : public QObject {
  Q_OBJECT
 private slots:
  void decodes_data() {
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<bool>("isPress");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    // bytes 1..16
    QTest::newRow("press A") << bytes({1, 1, 0, 7, 200, 21, 1, 10, 4, 0, 0, 0, 0, 0, 0, 0}) << true
                             << "7-200"
                             << "A"
                             << "1"
                             << "-1-1-0-7-200-21-1-10-4-0-0-0-0-0-0-0";
    QTest::newRow("kind 3 same as 4")
        << bytes({1, 1, 0, 7, 200, 21, 1, 10, 3, 0, 0, 0, 0, 0, 0, 0}) << true << "7-200"
        << "A"
        << "1"
        << "-1-1-0-7-200-21-1-10-3-0-0-0-0-0-0-0";
    QTest::newRow("with report number")
        << bytes({0, 1, 1, 0, 12, 201, 22, 181, 10, 4, 0, 0, 0, 0, 0, 0, 0}) << true << "12-201"
        << "X"
        << "181"
        << "-1-1-0-12-201-22-181-10-4-0-0-0-0-0-0-0";
    QTest::newRow("high bytes unsigned")
        << bytes({255, 255, 255, 255, 255, 17, 255, 10, 4, 255, 255, 255, 255, 255, 255, 255})
        << true << "255-255"
        << "E"
        << "255"
        << "-255-255-255-255-255-17-255-10-4-255-255-255-255-255-255-255";
    QTest::newRow("unknown code 23")
        << bytes({1, 1, 0, 3, 4, 23, 9, 10, 4, 0, 0, 0, 0, 0, 0, 0}) << true << "3-4"
        << ""
        << "9"
        << "-1-1-0-3-4-23-9-10-4-0-0-0-0-0-0-0";
    QTest::newRow("type not 10") << bytes({1, 1, 0, 3, 4, 21, 9, 11, 4, 0, 0, 0, 0, 0, 0, 0})
                                 << false << ""
                                 << ""
                                 << ""
                                 << "-1-1-0-3-4-21-9-11-4-0-0-0-0-0-0-0";
    QTest::newRow("byte 9 is 5") << bytes({1, 1, 0, 3, 4, 21, 9, 10, 5, 0, 0, 0, 0, 0, 0, 0})
                                 << false << ""
                                 << ""
                                 << ""
                                 << "-1-1-0-3-4-21-9-10-5-0-0-0-0-0-0-0";
    QTest::newRow("short") << bytes({1, 1, 0, 3, 4, 21, 9, 10, 4}) << false << ""
                           << ""
                           << ""
                           << "-1-1-0-3-4-21-9-10-4";
    QTest::newRow("long") << QByteArray(20, char(10)) << false << ""
                          << ""
                          << "" << QStringLiteral("-10").repeated(20);
    QTest::newRow("empty") << QByteArray() << false << ""
                           << ""
                           << ""
                           << "";
  }
  void decodes() {
    QFETCH(QByteArray, read);
    const DecodedReport r = decodeRead(read);
    QFETCH(bool, isPress);
    QFETCH(QString, address);
    QFETCH(QString, letter);
    QFETCH(QString, code);
    QFETCH(QString, text);
    QCOMPARE(r.isPress, isPress);
    QCOMPARE(r.text, text);
    if (isPress) {
      QCOMPARE(r.address, address);
      QCOMPARE(r.letter, letter);
      QCOMPARE(r.code, code);
    } else {
      QVERIFY(!r.reason.isEmpty());
    }
  }

  void buttonTable() {
    const QStringList expected = {"E", "B", "C", "D", "A", "X"};
    for (int code = 0; code < 256; ++code) {
      const QString letter = buttonLetter(code);
      if (code >= 17 && code <= 22) {
        QCOMPARE(letter, expected[code - 17]);
        QCOMPARE(buttonCode(letter), code);
      } else {
        QVERIFY2(letter.isEmpty(), qPrintable(QString::number(code)));
      }
    }
    QCOMPARE(buttonCode(QStringLiteral("F")), 0);
  }

  // Any bytes at all: never a crash, a press only when the layout says so, and the
  // text always lists every byte.
  void fuzz() {
    QRandomGenerator rng(20261206);
    for (int i = 0; i < 200000; ++i) {
      const int size = int(rng.bounded(40));
      QByteArray data(size, '\0');
      for (char& c : data) c = char(rng.bounded(256));
      if (size == 16 && rng.bounded(4) == 0) {  // make presses likely enough
        data[7] = 10;
        data[8] = char(3 + rng.bounded(2));
      }
      const DecodedReport r = decodeRead(data);
      const QByteArrayView body =
          size == 17 ? QByteArrayView(data).sliced(1) : QByteArrayView(data);
      QCOMPARE(r.text.count(QLatin1Char('-')), body.size());
      QCOMPARE(r.wellFormed, body.size() == 16);
      const bool press = body.size() == 16 && quint8(body[7]) == 10 &&
                         (quint8(body[8]) == 3 || quint8(body[8]) == 4);
      QCOMPARE(r.isPress, press);
      if (press) {
        QCOMPARE(r.address, QStringLiteral("%1-%2").arg(quint8(body[3])).arg(quint8(body[4])));
        QCOMPARE(r.code, QString::number(quint8(body[6])));
        // The text split at "-" gives the same fields as the bytes.
        const QStringList parts = r.text.split(QLatin1Char('-'));
        QCOMPARE(parts[4] + QLatin1Char('-') + parts[5], r.address);
        QCOMPARE(parts[7], r.code);
      }
    }
  }

  // An unknown button code goes on with the previous letter; before any known
  // letter it goes with an empty one.
  void unknownCodeKeepsLetter() {
    PressDecoder d;
    auto press = [&](int hi, int lo, int code) {
      QByteArray data = pressReport(hi, lo, QStringLiteral("A"));
      data[5] = char(code);
      return d.feed(decodeReport(data));
    };
    auto first = press(5, 6, 23);
    QVERIFY(first);
    QCOMPARE(first->Dugme, QString());
    QCOMPARE(first->KumandaAdresi, QStringLiteral("5-6"));
    QCOMPARE(press(5, 6, 18)->Dugme, QStringLiteral("B"));
    auto unknown = press(9, 9, 23);
    QCOMPARE(unknown->Dugme, QStringLiteral("B"));
    QCOMPARE(unknown->KumandaAdresi, QStringLiteral("9-9"));
    // A report that is not a press changes nothing.
    QVERIFY(!d.feed(decodeReport(QByteArray(16, '\0'))));
    QCOMPARE(d.currentAddress(), QStringLiteral("9-9"));
    QCOMPARE(press(1, 2, 0)->Dugme, QStringLiteral("B"));
  }

  void pressReportRoundTrip() {
    for (const QString letter : {"A", "B", "C", "D", "E", "X"}) {
      const DecodedReport r = decodeReport(pressReport(12, 201, letter, 181, 3));
      QVERIFY(r.isPress);
      QCOMPARE(r.address, QStringLiteral("12-201"));
      QCOMPARE(r.letter, letter);
      QCOMPARE(r.code, QStringLiteral("181"));
      QVERIFY(r.text.startsWith(QStringLiteral("-1-1-0")));
    }
  }

  void outputLength_data() {
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<int>("length");
    // Vendor page, 16 bytes in, 16 bytes out.
    QTest::newRow("16 out") << QByteArray::fromHex(
                                   "0600FF0901A10115002600FF7508951009018102951009019102C0")
                            << 16;
    QTest::newRow("8 out, no id") << QByteArray::fromHex(
                                         "0600FF0901A1017508954009018102950809019102C0")
                                  << 8;
    // Two numbered output reports: the longer counts.
    QTest::newRow("by report id") << QByteArray::fromHex(
                                         "0600FF0901A1018501750895040901910285027508952009019102C0")
                                  << 32;
    QTest::newRow("input only") << QByteArray::fromHex("0600FF0901A1017508951009018102C0") << 0;
    QTest::newRow("push pop") << QByteArray::fromHex("75089504A49508B49102") << 4;
    QTest::newRow("truncated") << QByteArray::fromHex("7508951091") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("long item skipped") << QByteArray::fromHex("FE0200AABB750895039102") << 3;
  }
  void outputLength() {
    QFETCH(QByteArray, descriptor);
    QTEST(outputReportLength(descriptor), "length");
  }

  void descriptorFuzz() {
    QRandomGenerator rng(7);
    for (int i = 0; i < 20000; ++i) {
      QByteArray data(int(rng.bounded(64)), '\0');
      for (char& c : data) c = char(rng.bounded(256));
      const int n = outputReportLength(data);
      QVERIFY(n >= 0 && n <= 4096);
    }
  }

  // The list is cleared before the 47th entry: it never holds more than 46.
  void diagnosticsListCap() {
    ReportDiagnostics d;
    for (int i = 1; i <= 46; ++i) d.add(QStringLiteral("r%1").arg(i));
    QCOMPARE(d.recent().size(), 46);
    QCOMPARE(d.recent().last(), QStringLiteral("r46"));
    d.add(QStringLiteral("r47"));
    QCOMPARE(d.recent(), QStringList{QStringLiteral("r47")});
    QCOMPARE(d.lastReport(), QStringLiteral("r47"));
    for (int i = 48; i <= 200; ++i) {
      d.add(QStringLiteral("r%1").arg(i));
      QVERIFY(d.recent().size() <= 46);
    }
    QCOMPARE(d.reportCount(), 200);
  }
};

QTEST_GUILESS_MAIN(TestReportDecoder)
#include "tst_reportdecoder.moc"
