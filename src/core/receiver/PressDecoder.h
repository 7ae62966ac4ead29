#pragma once

#include <QByteArrayView>

#include <optional>

#include "receiver/DugmeSinyali.h"
#include "receiver/ReportDecoder.h"

namespace receiver {

// Turns the stream of input reports into presses. It remembers the current
// address and button letter between reports: a press whose button code is not in
// the table goes on with the previous letter (empty before the first known one).
class PressDecoder {
 public:
  // The press in `report`, or nothing when the report is not a press.
  std::optional<DugmeSinyali> feed(const DecodedReport& report);

  const QString& currentAddress() const { return m_address; }
  const QString& currentLetter() const { return m_letter; }

 private:
  QString m_address;
  QString m_letter;
};

}  // namespace receiver
