#pragma once

#include <QByteArray>
#include <QObject>

#include <optional>

#include "receiver/DeviceInfo.h"

namespace receiver {

// The connection to the receiver as the main window sees it: four events
// (plugged, unplugged, device list changed, a report to read) and the calls the
// window makes. Everything happens on the UI thread; implementations post their
// events into the event loop.
class ReceiverLink : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // Starts watching for devices; devices already present are then reported as
  // plugged, followed by one device-list change. False when watching is impossible.
  virtual bool Connect() = 0;
  // Stops watching and reading; no event arrives afterwards.
  virtual void Disconnect() = 0;
  virtual bool isConnected() const = 0;
  // Vendor name, product name and serial number of the receiver (empty when absent).
  virtual DeviceInfo receiverInfo() const = 0;
  // Switches the report-readable event on (or off) for the receiver.
  virtual void SetReadNotify(bool on) = 0;
  // One input report as read from the device (16 data bytes, or 17 with the report
  // number in front), or nothing when none is waiting.
  virtual std::optional<QByteArray> Read() = 0;
  // Sends one output report (byte 0 is the report number). False when it failed.
  virtual bool writeOutputReport(const QByteArray& report) = 0;

 signals:
  void plugged(const receiver::DeviceInfo& device);
  void unplugged(const receiver::DeviceInfo& device);
  void deviceListChanged();
  void reportReadable();
  // Something a technician should see in the diagnostics (access refused ...).
  void problem(const QString& text);
};

}  // namespace receiver
