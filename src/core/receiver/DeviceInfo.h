#pragma once

#include <QMetaType>
#include <QString>

namespace receiver {

// The classroom receiver's USB identity; every other HID device is ignored.
inline constexpr int kVendorId = 0x2268;
inline constexpr int kProductId = 0x07D1;

struct DeviceInfo {
  int vendorId = 0;
  int productId = 0;
  QString vendorName;
  QString productName;
  QString serialNumber;
  QString node;  // /dev/hidrawN, or a made-up name for simulated devices

  bool isReceiver() const { return vendorId == kVendorId && productId == kProductId; }
};

}  // namespace receiver

Q_DECLARE_METATYPE(receiver::DeviceInfo)
