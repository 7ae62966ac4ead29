#pragma once

#include <QByteArrayView>
#include <QString>

namespace receiver {

// Size of the receiver's input report data (bytes 1 to 16 of the buffer; byte 0
// is the HID report number, which is never looked at).
inline constexpr int kReportDataSize = 16;

// What one input report says. Decoding is a pure function of the bytes.
struct DecodedReport {
  bool wellFormed = false;  // exactly 16 data bytes
  bool isPress = false;     // byte 8 = 10 and byte 9 = 3 or 4
  QString text;             // "-b1-b2-...-b16", shown in the diagnostics
  QString address;          // "b4-b5" (presses only)
  int buttonCode = 0;       // byte 6
  QString letter;           // from the button table; empty for an unknown code
  QString code;             // decimal text of byte 7
  QString reason;           // why the report is not a press (Turkish)
};

// The button table: 17 E, 18 B, 19 C, 20 D, 21 A, 22 X; anything else is empty.
QString buttonLetter(int code);
// The inverse, for simulators and the virtual remote; 0 for an unknown letter.
int buttonCode(const QString& letter);

// `data` holds bytes 1..16 of the report (16 bytes). A read that also carries
// the report number (17 bytes) goes through `decodeRead`.
DecodedReport decodeReport(QByteArrayView data);
// Decodes what one read of the device returned: 16 bytes of data, or 17 with the
// report number in front. Any other length is a malformed report.
DecodedReport decodeRead(QByteArrayView read);

// The 16 data bytes of a press report from `address` ("b4-b5") with `letter`.
QByteArray pressReport(int addressHigh, int addressLow, const QString& letter, int code = 1,
                       int kind = 4);

}  // namespace receiver
