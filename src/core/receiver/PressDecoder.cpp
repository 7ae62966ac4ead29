#include "receiver/PressDecoder.h"

namespace receiver {

std::optional<DugmeSinyali> PressDecoder::feed(const DecodedReport& report) {
  if (!report.isPress) return std::nullopt;
  m_address = report.address;
  if (!report.letter.isEmpty()) m_letter = report.letter;
  return DugmeSinyali{m_address, m_letter, report.code};
}

}  // namespace receiver
