#include "receiver/RadioSource.h"

namespace receiver {

DecodedReport RadioSource::read(QByteArrayView bytes) {
  const DecodedReport report = decodeRead(bytes);
  if (const std::optional<DugmeSinyali> press = m_decoder.feed(report))
    m_pipeline.feed({press->KumandaAdresi, press->Dugme, -1, press->SinyalKodu});
  return report;
}

}  // namespace receiver
