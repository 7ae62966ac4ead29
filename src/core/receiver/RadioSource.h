#pragma once

#include <QByteArrayView>

#include "activity/PressPipeline.h"
#include "receiver/PressDecoder.h"
#include "receiver/ReportDecoder.h"

namespace receiver {

// The radio receiver as a source of presses: each input report read from the
// receiver (real or simulated) is decoded, and a press in it goes into the press
// pipeline.
class RadioSource {
 public:
  explicit RadioSource(activity::PressPipeline& pipeline) : m_pipeline(pipeline) {}

  // One read of the device (16 data bytes, or 17 with the report number in
  // front); the decoded report, for the diagnostics.
  DecodedReport read(QByteArrayView bytes);

  const PressDecoder& decoder() const { return m_decoder; }

 private:
  activity::PressPipeline& m_pipeline;
  PressDecoder m_decoder;
};

}  // namespace receiver
