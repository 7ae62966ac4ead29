#pragma once

#include <QHash>
#include <QQueue>

#include "receiver/ReceiverLink.h"

class QSocketNotifier;
struct udev;
struct udev_monitor;
struct udev_device;

namespace receiver {

// The receiver through the kernel's hidraw interface: udev finds it and watches
// plug and unplug; its /dev/hidrawN node is read without blocking through a socket
// notifier on the UI thread. Reports are read as soon as the descriptor is
// readable and queued, one readable event per report, so a slow reader never makes
// the notifier spin.
class HidrawReceiver : public ReceiverLink {
  Q_OBJECT
 public:
  static constexpr int kQueueLimit = 4096;

  explicit HidrawReceiver(QObject* parent = nullptr);
  ~HidrawReceiver() override;

  bool Connect() override;
  void Disconnect() override;
  bool isConnected() const override { return m_connected; }
  DeviceInfo receiverInfo() const override { return m_receiver; }
  void SetReadNotify(bool on) override;
  std::optional<QByteArray> Read() override;
  bool writeOutputReport(const QByteArray& report) override;

  // Uses an already open descriptor as the receiver's device node (tests feed it
  // through a socket pair; the reading code is the same). Reports the device as
  // plugged and the device list as changed. With `owned` the descriptor is
  // closed when the device goes away.
  void attachDescriptor(int fd, const DeviceInfo& info, bool owned = true);
  int descriptor() const { return m_fd; }

 private:
  void enumerate();
  void monitorReadable();
  void deviceReadable();
  void added(const DeviceInfo& info);
  void removed(const QString& node);
  bool openDevice(const DeviceInfo& info);
  void closeDevice();
  void deviceLost();
  static DeviceInfo infoFor(udev_device* dev);

  bool m_connected = false;
  udev* m_udev = nullptr;
  udev_monitor* m_monitor = nullptr;
  QSocketNotifier* m_monitorNotifier = nullptr;

  int m_fd = -1;
  bool m_ownsFd = true;
  bool m_readNotify = false;
  QSocketNotifier* m_readNotifier = nullptr;
  DeviceInfo m_receiver;
  QHash<QString, DeviceInfo> m_known;  // hidraw node -> identity seen when added
  QQueue<QByteArray> m_queue;
  int m_outputLength = 0;  // from the device's report descriptor; 0 when unknown
};

}  // namespace receiver
