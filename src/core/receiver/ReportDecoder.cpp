#include "receiver/ReportDecoder.h"

#include <array>

namespace receiver {

namespace {

constexpr std::array<const char*, 6> kLetters = {"E", "B", "C", "D", "A", "X"};

QString bytesText(QByteArrayView data) {
  QString text;
  text.reserve(data.size() * 4);
  for (char c : data) {
    text += QLatin1Char('-');
    text += QString::number(quint8(c));
  }
  return text;
}

}  // namespace

QString buttonLetter(int code) {
  const int i = code - 16;
  if (i < 1 || i > 6) return {};
  return QString::fromLatin1(kLetters[size_t(i - 1)]);
}

int buttonCode(const QString& letter) {
  for (size_t i = 0; i < kLetters.size(); ++i)
    if (letter == QLatin1String(kLetters[i])) return int(i) + 17;
  return 0;
}

DecodedReport decodeReport(QByteArrayView data) {
  DecodedReport r;
  r.text = bytesText(data);
  if (data.size() != kReportDataSize) {
    r.reason = QStringLiteral("Hatalı rapor: %1 bayt (16 bekleniyor)").arg(data.size());
    return r;
  }
  r.wellFormed = true;
  auto byte = [&](int i) { return int(quint8(data[i - 1])); };
  if (byte(8) != 10 || (byte(9) != 3 && byte(9) != 4)) {
    r.reason =
        QStringLiteral("Düğme raporu değil (8. bayt %1, 9. bayt %2)").arg(byte(8)).arg(byte(9));
    return r;
  }
  r.isPress = true;
  r.address = QString::number(byte(4)) + QLatin1Char('-') + QString::number(byte(5));
  r.buttonCode = byte(6);
  r.letter = buttonLetter(r.buttonCode);
  r.code = QString::number(byte(7));
  return r;
}

DecodedReport decodeRead(QByteArrayView read) {
  if (read.size() == kReportDataSize + 1) return decodeReport(read.sliced(1));
  return decodeReport(read);
}

QByteArray pressReport(int addressHigh, int addressLow, const QString& letter, int code, int kind) {
  QByteArray data(kReportDataSize, '\0');
  data[0] = 1;
  data[1] = 1;
  data[3] = char(addressHigh);
  data[4] = char(addressLow);
  data[5] = char(buttonCode(letter));
  data[6] = char(code);
  data[7] = 10;
  data[8] = char(kind);
  return data;
}

}  // namespace receiver
