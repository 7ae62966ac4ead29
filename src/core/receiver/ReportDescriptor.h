#pragma once

#include <QByteArrayView>

namespace receiver {

// Length in bytes of the longest output report a HID report descriptor declares
// (without the report number), or 0 when it declares none. Output reports are
// padded to this length: devices may ignore shorter ones.
int outputReportLength(QByteArrayView descriptor);

}  // namespace receiver
